// 'raw ' video and the video sample description both encoders use.
#include "VideoEncoder.h"

namespace film {

namespace {

void PutPixel(Bytes& out, uint32_t rgb, uint16_t depth) {
  const uint8_t r = uint8_t(rgb >> 16), g = uint8_t(rgb >> 8), b = uint8_t(rgb);
  switch (depth) {
    case 16: {
      const uint16_t v = uint16_t(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      out.push_back(uint8_t(v >> 8));
      out.push_back(uint8_t(v));
      break;
    }
    case 24:
      out.insert(out.end(), {r, g, b});
      break;
    default:
      out.insert(out.end(), {0xFF, r, g, b});
  }
}

}  // namespace

bool EncodableDepth(uint16_t depth) { return depth == 16 || depth == 24 || depth == 32; }

qtf::SampleDescription VideoDescription(qtf::FourCC codec, uint16_t width, uint16_t height, uint16_t depth,
                                        const std::string& compressorName) {
  qtf::ByteWriter w;
  w.U32(86);
  w.U32(codec);
  w.Zeros(6);
  w.U16(1);             // data reference
  w.U16(0);             // version
  w.U16(0);             // revision
  w.U32(0);             // vendor
  w.U32(0);             // temporal quality
  w.U32(0x200);         // spatial quality: normal
  w.U16(width);
  w.U16(height);
  w.U32(72 << 16);      // 72 dpi across
  w.U32(72 << 16);      // and down
  w.U32(0);             // data size
  w.U16(1);             // frames per sample
  qtf::ByteWriter name;
  name.PascalString(compressorName.substr(0, 31));
  Bytes field = name.Data();
  field.resize(32, 0);
  w.Bytes(field);
  w.U16(depth);
  w.U16(0xFFFF);        // no colour table
  qtf::SampleDescription d;
  d.format = codec;
  d.entry = std::move(w.Data());
  return d;
}

Bytes EncodeRaw(const Picture& picture, uint16_t depth) {
  Bytes out;
  out.reserve(picture.Pixels().size() * (depth / 8));
  for (uint32_t rgb : picture.Pixels()) PutPixel(out, rgb, depth);
  return out;
}

void AppendPixel(Bytes& out, uint32_t rgb, uint16_t depth) { PutPixel(out, rgb, depth); }

}  // namespace film
