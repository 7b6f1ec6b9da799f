#include "Decoder.h"

namespace qtc {

struct VideoDecoder::State {
  qtf::FourCC codec = 0;
  uint16_t width = 0, height = 0, depth = 0;
};

VideoDecoder::VideoDecoder(const qtf::SampleDescription& description) : state_(new State) {
  qtf::VideoFormat vf;
  state_->codec = description.format;
  if (qtf::ReadVideoFormat(description, vf)) {
    state_->width = vf.width;
    state_->height = vf.height;
    state_->depth = vf.depth;
  }
}

VideoDecoder::~VideoDecoder() = default;

qtf::FourCC VideoDecoder::Codec() const { return state_->codec; }
uint16_t VideoDecoder::Width() const { return state_->width; }
uint16_t VideoDecoder::Height() const { return state_->height; }
uint16_t VideoDecoder::Depth() const { return state_->depth; }
bool VideoDecoder::Supported() const { return false; }

DecodeResult VideoDecoder::Decode(const uint8_t*, size_t, Frame& frame) {
  frame.width = state_->width;
  frame.height = state_->height;
  frame.pixels.assign(size_t(frame.width) * frame.height, 0);
  return DecodeResult::Unsupported;
}

}  // namespace qtc
