#include "Decoder.h"

#include "Codecs.h"

#include <algorithm>

namespace qtc {

namespace {

bool KnownPixelDepth(uint16_t depth) {
  switch (depth) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32:
    case 33: case 34: case 36: case 40:
      return true;
    default:
      return false;
  }
}

}  // namespace

struct VideoDecoder::State {
  VideoInfo info;
  bool described = false;  // the description was long enough to read
  std::unique_ptr<CinepakDecoder> cinepak;
};

VideoDecoder::VideoDecoder(const qtf::SampleDescription& description) : state_(new State) {
  state_->info.codec = description.format;
  state_->described = ReadVideoInfo(description, state_->info);
  if (state_->info.codec == qtf::Tag("cvid")) state_->cinepak.reset(new CinepakDecoder);
}

VideoDecoder::~VideoDecoder() = default;

qtf::FourCC VideoDecoder::Codec() const { return state_->info.codec; }
uint16_t VideoDecoder::Width() const { return state_->info.width; }
uint16_t VideoDecoder::Height() const { return state_->info.height; }
uint16_t VideoDecoder::Depth() const { return state_->info.depth; }

bool VideoDecoder::Supported() const {
  const VideoInfo& info = state_->info;
  if (!state_->described || info.width == 0 || info.height == 0 || info.width > kMaxFrameSide ||
      info.height > kMaxFrameSide)
    return false;
  if (info.codec == qtf::Tag("raw ") || info.codec == qtf::Tag("rle ")) return KnownPixelDepth(info.depth);
  return info.codec == qtf::Tag("jpeg") || info.codec == qtf::Tag("cvid");
}

DecodeResult VideoDecoder::Decode(const uint8_t* sample, size_t size, Frame& frame) {
  const VideoInfo& info = state_->info;
  bool sizeAccepted = info.width <= kMaxFrameSide && info.height <= kMaxFrameSide;
  uint16_t width = sizeAccepted ? info.width : 0, height = sizeAccepted ? info.height : 0;
  if (frame.width != width || frame.height != height || frame.pixels.size() != size_t(width) * height) {
    frame.width = width;
    frame.height = height;
    frame.pixels.assign(size_t(width) * height, 0);
  }
  if (!Supported()) {
    std::fill(frame.pixels.begin(), frame.pixels.end(), 0);
    return DecodeResult::Unsupported;
  }
  if (sample == nullptr) size = 0;
  switch (info.codec) {
    case qtf::Tag("raw "): return DecodeRaw(info, sample, size, frame);
    case qtf::Tag("rle "): return DecodeAnimation(info, sample, size, frame);
    case qtf::Tag("jpeg"): return DecodePhotoJpeg(info, sample, size, frame);
    default: return state_->cinepak->Decode(info, sample, size, frame);
  }
}

}  // namespace qtc
