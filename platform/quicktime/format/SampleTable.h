#pragma once
// A media's sample table: where each sample lies in the file, how long it
// lasts and which description it follows. Held compactly, as the file holds
// it, with a small index for look-ups; memory grows with the tables, never
// with the media.
#include "Bytes.h"

#include <string>
#include <vector>

namespace qtf {

// One entry of the sample description table, kept whole so that it can be
// written back unchanged: size, format, 6 reserved bytes, data reference
// index, then the format's own fields.
struct SampleDescription {
  FourCC format = 0;
  std::vector<uint8_t> entry;

  uint16_t DataRefIndex() const;
};

struct SoundFormat {
  uint16_t version = 0;
  uint16_t channels = 0;
  uint16_t bitsPerSample = 0;
  uint32_t sampleRate = 0;        // 16.16
  uint32_t samplesPerPacket = 0;  // from a version 1 or 2 description
  uint32_t bytesPerFrame = 0;     // bytes of one packet, all channels
};
bool ReadSoundFormat(const SampleDescription& d, SoundFormat& out);

struct VideoFormat {
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t depth = 0;
  std::string compressorName;
};
bool ReadVideoFormat(const SampleDescription& d, VideoFormat& out);

class SampleTable {
 public:
  struct TimeRun {
    uint32_t count = 0;
    uint32_t duration = 0;
  };
  struct Chunk {
    uint64_t offset = 0;
    uint32_t sampleCount = 0;
    uint32_t description = 1;  // 1-based
    // Filled by Index():
    uint64_t firstSample = 0;  // 0-based
    uint64_t bytes = 0;
  };

  // The tables. Whoever changes them calls Index() before the next look-up.
  std::vector<SampleDescription> descriptions;
  std::vector<TimeRun> times;
  std::vector<Chunk> chunks;
  uint32_t sampleCount = 0;
  uint32_t constantSize = 0;    // 0: sizes holds one size per sample
  std::vector<uint32_t> sizes;
  bool allSync = true;          // no sync table: every sample is a key sample
  std::vector<uint32_t> syncSamples;  // 1-based, increasing

  // Checks that the tables agree with each other and builds the look-up
  // index. mediaType decides how sound chunks are measured.
  Status Index(FourCC mediaType);
  // Checks that every chunk lies inside a file of this size.
  Status CheckInside(uint64_t fileSize) const;

  uint64_t Duration() const { return duration_; }
  uint64_t SampleTime(uint32_t sample) const;        // 0-based sample
  uint32_t SampleDuration(uint32_t sample) const;
  // The sample shown at a media time; false past the end.
  bool SampleAtTime(uint64_t time, uint32_t& sample) const;
  // The chunk that holds a sample.
  uint32_t ChunkOfSample(uint32_t sample) const;
  // Byte position and size of one sample. Not for sound counted in frames,
  // where a sample is part of a packet: read those by chunk.
  bool SampleRange(uint32_t sample, uint64_t& offset, uint64_t& size) const;
  bool IsSync(uint32_t sample) const;
  // Sound whose samples are single frames (constant size 1 over packets).
  bool CountsFrames() const { return countsFrames_; }

 private:
  std::vector<uint64_t> runFirstSample_;
  std::vector<uint64_t> runStartTime_;
  std::vector<uint64_t> sizePrefix_;  // variable sizes only: bytes before each sample
  uint64_t duration_ = 0;
  bool countsFrames_ = false;
};

}  // namespace qtf
