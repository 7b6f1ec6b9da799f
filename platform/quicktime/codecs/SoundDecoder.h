#pragma once
// Sound decoding: the bytes of a sound media become interleaved signed 16-bit
// samples, as many channels as the description has. Platform-free.
//
// Formats: 'raw ' (8-bit, offset binary), 'twos' (signed, big-endian, 8 or 16
// bits), 'sowt' (signed, little-endian, 8 or 16 bits) and 'ima4' (IMA ADPCM,
// packets of 34 bytes per channel holding 64 frames).
//
// Use: read a sound media by chunk (SampleTable::Chunk::bytes) and hand each
// chunk's bytes to Decode. Bytes after the last whole packet are ignored; a
// chunk never splits a packet.
#include "SampleTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qtc {

class SoundDecoder {
 public:
  // Reads the description (untrusted) once.
  explicit SoundDecoder(const qtf::SampleDescription& description);

  // A format, sample size and channel count we decode.
  bool Supported() const { return supported_; }
  qtf::FourCC Format() const { return format_; }
  uint16_t Channels() const { return channels_; }
  // Frames per second, 16.16, as the description says.
  uint32_t SampleRate() const { return sampleRate_; }
  // A packet is the smallest unit decoded: one frame of PCM, or one IMA
  // block of 64 frames per channel.
  uint32_t FramesPerPacket() const { return framesPerPacket_; }
  uint32_t BytesPerPacket() const { return bytesPerPacket_; }

  // Appends the frames of the whole packets in bytes to out (channels
  // interleaved) and answers how many frames that was; 0 when unsupported.
  // 'ima4' carries each channel's state on from one call to the next while
  // the packets agree with it, so chunks in order decode seamlessly and a
  // chunk after a jump starts afresh.
  size_t Decode(const uint8_t* bytes, size_t size, std::vector<int16_t>& out);

  struct ImaState {
    bool started = false;
    int predictor = 0;
    int index = 0;
  };

 private:
  bool supported_ = false;
  qtf::FourCC format_ = 0;
  uint16_t channels_ = 0;
  uint16_t bits_ = 0;
  uint32_t sampleRate_ = 0;
  uint32_t framesPerPacket_ = 0;
  uint32_t bytesPerPacket_ = 0;
  std::vector<ImaState> ima_;  // one per channel
};

}  // namespace qtc
