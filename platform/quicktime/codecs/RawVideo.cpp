// 'raw ': uncompressed rows, top to bottom. Indexed pixels are packed most
// significant bits first; 16-bit pixels are big-endian x1r5g5b5, 24-bit ones
// r, g, b and 32-bit ones a, r, g, b (the alpha is not shown).
#include "Codecs.h"

#include <algorithm>

namespace qtc {

namespace {

void IndexedRow(const VideoInfo& info, const uint8_t* in, uint32_t* out, size_t width) {
  const unsigned bits = info.bits, perByte = 8 / bits, mask = (1u << bits) - 1;
  for (size_t x = 0; x < width; ++x) {
    unsigned shift = 8 - bits * (unsigned(x % perByte) + 1);
    out[x] = info.palette[(in[x / perByte] >> shift) & mask];
  }
}

void Row(const VideoInfo& info, const uint8_t* in, uint32_t* out, size_t width) {
  switch (info.bits) {
    case 16:
      for (size_t x = 0; x < width; ++x, in += 2) out[x] = Rgb555At(in);
      break;
    case 24:
      RgbRow(in, out, width);
      break;
    case 32:
      for (size_t x = 0; x < width; ++x, in += 4) out[x] = ArgbAt(in);
      break;
    default:
      IndexedRow(info, in, out, width);
  }
}

}  // namespace

DecodeResult DecodeRaw(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame) {
  const size_t width = info.width, height = info.height;
  const size_t rowBytes = (width * info.bits + 7) / 8;
  // Writers may pad rows; a sample that divides evenly into taller rows has them.
  size_t stride = rowBytes;
  if (size % height == 0 && size / height > rowBytes) stride = size / height;
  size_t rows = std::min(height, size / stride);
  for (size_t y = 0; y < rows; ++y) Row(info, data + y * stride, &frame.pixels[y * width], width);
  // Rows the sample does not hold show black rather than an older picture.
  std::fill(frame.pixels.begin() + rows * width, frame.pixels.end(), 0);
  return rows == height ? DecodeResult::Ok : DecodeResult::Damaged;
}

}  // namespace qtc
