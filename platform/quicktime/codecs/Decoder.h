#pragma once
// Video decoding: one sample of a video media, as its sample description
// describes it, becomes a picture of the description's size. Platform-free.
//
// Codecs: 'raw ' (1, 2, 4, 8, 16, 24 and 32 bits, and the gray depths 33..40),
// 'rle ' (Animation, the same depths), 'jpeg' (Photo-JPEG) and 'cvid'
// (Cinepak). Indexed depths use the description's colour table, or the
// standard table of their depth when it has none.
//
// Use: one VideoDecoder per sample description of a track, kept while the
// track plays. Decode every sample in order from a key sample on, into the
// same Frame: 'rle ' and 'cvid' samples that are not key samples change only
// part of the previous picture, and 'cvid' keeps code books between samples.
// After a jump, decode from the key sample at or before the new time.
#include "SampleTable.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qtc {

// A picture. Rows run top to bottom, each pixel is 0x00RRGGBB: in memory on
// a little-endian machine B, G, R, 0, the layout of a top-down 32-bit DIB.
struct Frame {
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint32_t> pixels;  // width * height

  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + size_t(x)]; }
};

enum class DecodeResult {
  Ok,           // the frame shows the sample
  Unsupported,  // a codec or depth we do not decode: the frame is black
  Damaged,      // the sample is cut short or damaged: what was readable is shown
};

// Descriptions larger than this are refused: their frame stays empty.
constexpr uint32_t kMaxFrameSide = 4096;

class VideoDecoder {
 public:
  // Reads the description (untrusted) once; the decoder keeps what it needs.
  explicit VideoDecoder(const qtf::SampleDescription& description);
  ~VideoDecoder();
  VideoDecoder(const VideoDecoder&) = delete;
  VideoDecoder& operator=(const VideoDecoder&) = delete;

  qtf::FourCC Codec() const;
  uint16_t Width() const;
  uint16_t Height() const;
  uint16_t Depth() const;
  // A codec and depth we decode, at a size we accept.
  bool Supported() const;

  // Decodes one sample into frame. A frame of another size than the
  // description's is first made that size and black; otherwise it must hold
  // the picture of the previous sample of this description. Any bytes are
  // safe: a damaged sample leaves a picture and an answer, never a crash.
  DecodeResult Decode(const uint8_t* sample, size_t size, Frame& frame);

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace qtc
