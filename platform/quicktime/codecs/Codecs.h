#pragma once
// Shared by the decoders: what a video sample description says, read once,
// and each codec's entry point. Every entry point gets a frame already of the
// description's size, holding the previous picture.
#include "Decoder.h"

#include <array>
#include <memory>

namespace qtc {

struct VideoInfo {
  qtf::FourCC codec = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t depth = 0;   // as stored: 1..32, or 33..40 for gray
  uint16_t bits = 0;    // bits per pixel: depth, or depth - 32 for gray
  bool indexed = false; // pixels are indices into the palette
  std::array<uint32_t, 256> palette{};  // 0x00RRGGBB
};

// Reads width, height, depth and the colour table (the description's own,
// or the standard one of its depth). False when the description is cut
// short before its depth.
bool ReadVideoInfo(const qtf::SampleDescription& d, VideoInfo& out);

// Packs 8-bit components.
inline uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return (r << 16) | (g << 8) | b; }

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
