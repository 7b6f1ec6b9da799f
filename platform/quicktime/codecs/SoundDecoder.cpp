// Sound samples to 16-bit PCM. 'ima4' packets: per channel, a 16-bit header
// (the predictor's top 9 bits, then a 7-bit step index) and 32 bytes of
// 4-bit codes, the low half of each byte first; the channels' packets follow
// one another.
#include "SoundDecoder.h"

#include <algorithm>

namespace qtc {

namespace {

constexpr uint16_t kMaxChannels = 16;
constexpr uint32_t kImaBlockBytes = 34;
constexpr uint32_t kImaBlockFrames = 64;

constexpr int16_t kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int8_t kImaIndexChange[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

// One channel's block of 64 frames, written every `stride` samples. The
// header's predictor keeps only the top 9 bits, so the running state goes on
// while it agrees with the header (same step index, same top bits) and
// starts from the header otherwise: at the first block, after a jump, or
// where the stream was damaged.
void DecodeImaBlock(const uint8_t* in, SoundDecoder::ImaState& state, int16_t* out, size_t stride) {
  int header = (in[0] << 8) | in[1];
  int headerPredictor = int16_t(header & 0xFF80), headerIndex = std::min(header & 0x7F, 88);
  if (!state.started || state.index != headerIndex || (state.predictor & ~0x7F) != headerPredictor) {
    state.predictor = headerPredictor;
    state.index = headerIndex;
    state.started = true;
  }
  int predictor = state.predictor, index = state.index;
  for (uint32_t i = 0; i < kImaBlockFrames; ++i) {
    int code = (in[2 + i / 2] >> ((i & 1) * 4)) & 0x0F;
    int step = kImaSteps[index];
    int diff = step >> 3;
    if (code & 4) diff += step;
    if (code & 2) diff += step >> 1;
    if (code & 1) diff += step >> 2;
    predictor += (code & 8) ? -diff : diff;
    predictor = std::clamp(predictor, -32768, 32767);
    index = std::clamp(index + kImaIndexChange[code], 0, 88);
    out[i * stride] = int16_t(predictor);
  }
  state.predictor = predictor;
  state.index = index;
}

}  // namespace

SoundDecoder::SoundDecoder(const qtf::SampleDescription& description) : format_(description.format) {
  qtf::SoundFormat sf;
  if (!qtf::ReadSoundFormat(description, sf) || sf.channels == 0 || sf.channels > kMaxChannels) return;
  channels_ = sf.channels;
  bits_ = sf.bitsPerSample;
  sampleRate_ = sf.sampleRate;
  if (format_ == qtf::Tag("ima4")) {
    framesPerPacket_ = kImaBlockFrames;
    ima_.resize(channels_);
    bytesPerPacket_ = kImaBlockBytes * channels_;
    supported_ = true;
    return;
  }
  bool pcm = format_ == qtf::Tag("twos") || format_ == qtf::Tag("sowt") || format_ == qtf::Tag("raw ");
  bool sizeKnown = bits_ == 8 || (bits_ == 16 && format_ != qtf::Tag("raw "));
  if (!pcm || !sizeKnown) return;
  framesPerPacket_ = 1;
  bytesPerPacket_ = uint32_t(channels_) * (bits_ / 8u);
  supported_ = true;
}

size_t SoundDecoder::Decode(const uint8_t* bytes, size_t size, std::vector<int16_t>& out) {
  if (!supported_ || bytes == nullptr) return 0;
  const size_t packets = size / bytesPerPacket_, frames = packets * framesPerPacket_;
  const size_t first = out.size(), samples = frames * channels_;
  out.resize(first + samples);
  int16_t* o = out.data() + first;
  if (format_ == qtf::Tag("ima4")) {
    for (size_t p = 0; p < packets; ++p)
      for (size_t c = 0; c < channels_; ++c)
        DecodeImaBlock(bytes + (p * channels_ + c) * kImaBlockBytes, ima_[c], o + p * kImaBlockFrames * channels_ + c,
                       channels_);
  } else if (bits_ == 8) {
    // 'raw ' is offset binary: 128 is silence.
    const int offset = format_ == qtf::Tag("raw ") ? 128 : 0;
    for (size_t i = 0; i < samples; ++i) o[i] = int16_t((int(offset ? bytes[i] : int8_t(bytes[i])) - offset) * 256);
  } else if (format_ == qtf::Tag("twos")) {
    for (size_t i = 0; i < samples; ++i) o[i] = int16_t((bytes[2 * i] << 8) | bytes[2 * i + 1]);
  } else {
    for (size_t i = 0; i < samples; ++i) o[i] = int16_t((bytes[2 * i + 1] << 8) | bytes[2 * i]);
  }
  return frames;
}

}  // namespace qtc
