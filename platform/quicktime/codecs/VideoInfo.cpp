// What a video sample description says, with the colour tables an indexed
// picture uses when the description carries none.
#include "Codecs.h"

#include <algorithm>

namespace qtc {

namespace {

// Size, format, reserved, data reference, version, revision, vendor,
// qualities, width, height, resolutions, data size, frame count, name.
constexpr size_t kDepthOffset = 82;

// The standard 16-colour table.
constexpr uint32_t kStandard16[16] = {
    0xFFFFFF, 0xFCF305, 0xFF6402, 0xDD0806, 0xF20884, 0x4600A5, 0x0000D4, 0x02ABEA,
    0x1FB714, 0x006411, 0x562C05, 0x90713A, 0xC0C0C0, 0x808080, 0x404040, 0x000000};

// The standard 256-colour table: a 6x6x6 cube from white down (its black
// left out), then ten-step ramps of red, green, blue and gray, then black.
void Standard256(std::array<uint32_t, 256>& p) {
  for (uint32_t i = 0; i < 215; ++i) {
    uint32_t r = 0xFF - 0x33 * (i / 36), g = 0xFF - 0x33 * (i / 6 % 6), b = 0xFF - 0x33 * (i % 6);
    p[i] = Rgb(r, g, b);
  }
  const uint32_t ramp[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
  for (uint32_t k = 0; k < 10; ++k) {
    p[215 + k] = Rgb(ramp[k], 0, 0);
    p[225 + k] = Rgb(0, ramp[k], 0);
    p[235 + k] = Rgb(0, 0, ramp[k]);
    p[245 + k] = Rgb(ramp[k], ramp[k], ramp[k]);
  }
  p[255] = 0;
}

void StandardTable(uint16_t bits, std::array<uint32_t, 256>& p) {
  switch (bits) {
    case 1:
      p[0] = 0xFFFFFF;
      p[1] = 0;
      break;
    case 2:
      p[0] = 0xFFFFFF;
      p[1] = 0xACACAC;
      p[2] = 0x555555;
      p[3] = 0;
      break;
    case 4:
      for (int i = 0; i < 16; ++i) p[i] = kStandard16[i];
      break;
    default:
      Standard256(p);
  }
}

// Gray indices run from white at 0 to black at the last one.
void GrayTable(uint16_t bits, std::array<uint32_t, 256>& p) {
  uint32_t last = (1u << bits) - 1;
  for (uint32_t i = 0; i <= last; ++i) {
    uint32_t v = 255 - i * 255 / last;
    p[i] = Rgb(v, v, v);
  }
}

// A colour table inside the description: seed, flags, count - 1, then
// entries of four 16-bit values (a zero, red, green, blue), in pixel order.
// Entries past the end or past what the depth can index are left alone.
void ReadColourTable(qtf::ByteReader r, uint16_t bits, std::array<uint32_t, 256>& p) {
  uint32_t seed;
  uint16_t flags, last;
  if (!r.ReadU32(seed) || !r.ReadU16(flags) || !r.ReadU16(last)) return;
  uint32_t count = std::min<uint32_t>(uint32_t(last) + 1, 1u << bits);
  for (uint32_t i = 0; i < count; ++i) {
    uint16_t value, red, green, blue;
    if (!r.ReadU16(value) || !r.ReadU16(red) || !r.ReadU16(green) || !r.ReadU16(blue)) return;
    p[i] = Rgb(red >> 8, green >> 8, blue >> 8);
  }
}

}  // namespace

bool ReadVideoInfo(const qtf::SampleDescription& d, VideoInfo& out) {
  VideoInfo info;
  info.codec = d.format;
  qtf::VideoFormat vf;
  if (!qtf::ReadVideoFormat(d, vf)) return false;
  info.width = vf.width;
  info.height = vf.height;
  info.depth = vf.depth;
  bool gray = info.depth == 33 || info.depth == 34 || info.depth == 36 || info.depth == 40;
  info.bits = gray ? uint16_t(info.depth - 32) : info.depth;
  bool indexed = info.bits == 1 || info.bits == 2 || info.bits == 4 || info.bits == 8;
  if (gray) {
    GrayTable(info.bits, info.palette);
  } else if (indexed) {
    StandardTable(info.bits, info.palette);
    qtf::ByteReader r(d.entry);
    int16_t tableId = -1;
    // Colour table 0 means the table follows in the description.
    if (r.Skip(kDepthOffset + 2) && r.ReadI16(tableId) && tableId == 0) ReadColourTable(r, info.bits, info.palette);
  }
  out = info;
  return true;
}

}  // namespace qtc
