#pragma once
// Shared by the decoders: what a video sample description says, read once,
// and each codec's entry point. Every entry point gets a frame already of the
// description's size, holding the previous picture.
#include "Decoder.h"

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace qtc {

struct VideoInfo {
  qtf::FourCC codec = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t depth = 0;   // as stored: 1..32, or 33..40 for gray
  uint16_t bits = 0;    // bits per pixel: depth, or depth - 32 for gray
  std::array<uint32_t, 256> palette{};  // 0x00RRGGBB, for 8 bits and fewer
};

// Reads width, height, depth and the colour table (the description's own,
// or the standard one of its depth). False when the description is cut
// short before its depth.
bool ReadVideoInfo(const qtf::SampleDescription& d, VideoInfo& out);

// Packs 8-bit components.
inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

// A big-endian x1r5g5b5 pixel; each 5-bit component widened by repeating its
// top bits.
inline uint32_t Rgb555At(const uint8_t* p) {
  uint32_t v = (uint32_t(p[0]) << 8) | p[1];
  auto widen = [](uint32_t c) { return (c << 3) | (c >> 2); };
  return Rgb(widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
}

// Bytes r, g, b (and one more that is ignored) as a pixel, in one load: read
// big-endian, the first three bytes are the top three.
inline uint32_t RgbAt(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return __builtin_bswap32(v) >> 8;  // every machine we build for is little-endian
}

// Bytes a, r, g, b as a pixel; the alpha is not shown.
inline uint32_t ArgbAt(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return __builtin_bswap32(v) & 0xFFFFFF;
}

// Rows of pixels: n pixels of r, g, b bytes, or of r, g, b, a bytes (the
// alpha not shown). Nothing past the last pixel is read.
void RgbRow(const uint8_t* in, uint32_t* out, size_t n);
void RgbaRow(const uint8_t* in, uint32_t* out, size_t n);

// Every way of doing them this processor can run, the plain one first; the
// last is the one used.
struct RowConverters {
  const char* name;
  void (*rgb)(const uint8_t* in, uint32_t* out, size_t n);
  void (*rgba)(const uint8_t* in, uint32_t* out, size_t n);
};
std::vector<RowConverters> RowConvertersHere();

DecodeResult DecodeRaw(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame);
DecodeResult DecodeAnimation(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame);
DecodeResult DecodePhotoJpeg(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame);

// Cinepak keeps code books from one sample to the next.
class CinepakDecoder {
 public:
  CinepakDecoder();
  ~CinepakDecoder();
  DecodeResult Decode(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame);

  struct Books;

 private:
  std::unique_ptr<Books> books_;
};

}  // namespace qtc
