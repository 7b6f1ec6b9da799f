#include "SampleTable.h"

#include <algorithm>
#include <cstring>

namespace qtf {

namespace {

constexpr uint64_t kMaxTime = uint64_t(1) << 62;

bool IsUncompressedSound(FourCC f) {
  return f == Tag("raw ") || f == Tag("twos") || f == Tag("sowt") || f == Tag("NONE") ||
         f == Tag("in24") || f == Tag("in32") || f == Tag("fl32") || f == Tag("fl64") ||
         f == Tag("ulaw") || f == Tag("alaw");
}

// Bytes of a sound chunk whose table gives the constant size 1: the old way
// of counting sound in frames, whose real size comes from the description.
bool SoundFrameBytes(const SampleDescription& d, uint32_t count, uint64_t& bytes) {
  SoundFormat sf;
  if (!ReadSoundFormat(d, sf)) return false;
  if (sf.samplesPerPacket > 0 && sf.bytesPerFrame > 0) {
    uint64_t packets = (uint64_t(count) + sf.samplesPerPacket - 1) / sf.samplesPerPacket;
    bytes = packets * sf.bytesPerFrame;
    return true;
  }
  if (IsUncompressedSound(d.format) && sf.channels > 0 && sf.bitsPerSample > 0) {
    bytes = uint64_t(count) * sf.channels * ((sf.bitsPerSample + 7u) / 8u);
    return true;
  }
  return false;
}

}  // namespace

uint16_t SampleDescription::DataRefIndex() const {
  ByteReader r(entry);
  uint16_t index = 0;
  if (!r.Skip(14) || !r.ReadU16(index)) return 0;
  return index;
}

bool ReadSoundFormat(const SampleDescription& d, SoundFormat& out) {
  ByteReader r(d.entry);
  uint16_t revision, compressionId, packetSize;
  uint32_t vendor;
  SoundFormat sf;
  if (!r.Skip(16) || !r.ReadU16(sf.version) || !r.ReadU16(revision) || !r.ReadU32(vendor) ||
      !r.ReadU16(sf.channels) || !r.ReadU16(sf.bitsPerSample) || !r.ReadU16(compressionId) ||
      !r.ReadU16(packetSize) || !r.ReadU32(sf.sampleRate))
    return false;
  if (sf.version == 1) {
    uint32_t bytesPerPacket, bytesPerSample;
    if (!r.ReadU32(sf.samplesPerPacket) || !r.ReadU32(bytesPerPacket) ||
        !r.ReadU32(sf.bytesPerFrame) || !r.ReadU32(bytesPerSample))
      return false;
  } else if (sf.version == 2) {
    uint32_t structSize, channels, marker, bitsPerChannel, flags, bytesPerPacket, framesPerPacket;
    uint64_t rateBits;
    if (!r.ReadU32(structSize) || !r.ReadU64(rateBits) || !r.ReadU32(channels) ||
        !r.ReadU32(marker) || !r.ReadU32(bitsPerChannel) || !r.ReadU32(flags) ||
        !r.ReadU32(bytesPerPacket) || !r.ReadU32(framesPerPacket))
      return false;
    double rate;
    static_assert(sizeof rate == sizeof rateBits, "IEEE double");
    std::memcpy(&rate, &rateBits, sizeof rate);
    sf.channels = channels > 0xFFFF ? 0 : uint16_t(channels);
    sf.bitsPerSample = bitsPerChannel > 0xFFFF ? 0 : uint16_t(bitsPerChannel);
    sf.sampleRate = (rate > 0 && rate < 65536.0) ? uint32_t(rate * 65536.0) : 0;
    sf.samplesPerPacket = framesPerPacket;
    sf.bytesPerFrame = bytesPerPacket;
  }
  out = sf;
  return true;
}

bool ReadVideoFormat(const SampleDescription& d, VideoFormat& out) {
  ByteReader r(d.entry);
  VideoFormat vf;
  uint8_t nameLength;
  std::vector<uint8_t> name;
  // size, format, reserved, data ref index, version, revision, vendor,
  // temporal and spatial quality: 32 bytes before the width.
  if (!r.Skip(32) || !r.ReadU16(vf.width) || !r.ReadU16(vf.height) || !r.Skip(14) ||
      !r.ReadU8(nameLength) || !r.ReadBytes(31, name) || !r.ReadU16(vf.depth))
    return false;
  if (nameLength > 31) nameLength = 31;
  vf.compressorName.assign(name.begin(), name.begin() + nameLength);
  out = vf;
  return true;
}

Status SampleTable::Index(FourCC mediaType) {
  runFirstSample_.clear();
  runStartTime_.clear();
  sizePrefix_.clear();
  duration_ = 0;
  countsFrames_ = false;

  if (constantSize == 0 && sizes.size() != sampleCount)
    return Status::Fail(Fault::Corrupt, "sample size table does not match its count");

  // Time-to-sample runs must cover every sample exactly once.
  uint64_t first = 0, time = 0;
  runFirstSample_.reserve(times.size());
  runStartTime_.reserve(times.size());
  for (const TimeRun& run : times) {
    runFirstSample_.push_back(first);
    runStartTime_.push_back(time);
    first += run.count;
    time += uint64_t(run.count) * run.duration;
    if (time > kMaxTime) return Status::Fail(Fault::Corrupt, "media duration overflows");
  }
  if (first != sampleCount)
    return Status::Fail(Fault::Corrupt, "time-to-sample table counts " + std::to_string(first) +
                                            " samples, size table " + std::to_string(sampleCount));
  duration_ = time;

  if (sampleCount > 0 && descriptions.empty())
    return Status::Fail(Fault::Corrupt, "samples without a sample description");

  if (constantSize == 0) {
    sizePrefix_.resize(size_t(sampleCount) + 1);
    uint64_t total = 0;
    for (uint32_t i = 0; i < sampleCount; ++i) {
      sizePrefix_[i] = total;
      total += sizes[i];
    }
    sizePrefix_[sampleCount] = total;
  }

  // Chunks hold consecutive samples; all of them together hold every sample.
  uint64_t sample = 0;
  for (size_t i = 0; i < chunks.size(); ++i) {
    Chunk& c = chunks[i];
    if (c.description < 1 || c.description > descriptions.size())
      return Status::Fail(Fault::Corrupt, "chunk " + std::to_string(i + 1) +
                                              " names a missing sample description");
    c.firstSample = sample;
    if (uint64_t(c.sampleCount) > uint64_t(sampleCount) - std::min<uint64_t>(sample, sampleCount))
      return Status::Fail(Fault::Corrupt, "chunks hold more samples than the size table");
    sample += c.sampleCount;
    if (constantSize == 0) {
      c.bytes = sizePrefix_[c.firstSample + c.sampleCount] - sizePrefix_[c.firstSample];
    } else if (constantSize == 1 && mediaType == Tag("soun") &&
               SoundFrameBytes(descriptions[c.description - 1], c.sampleCount, c.bytes)) {
      if (c.bytes != c.sampleCount) countsFrames_ = true;
    } else {
      c.bytes = uint64_t(c.sampleCount) * constantSize;
    }
  }
  if (sample != sampleCount)
    return Status::Fail(Fault::Corrupt, "chunks hold " + std::to_string(sample) +
                                            " samples, the size table " +
                                            std::to_string(sampleCount));

  if (!allSync) {
    uint32_t previous = 0;
    for (uint32_t s : syncSamples) {
      if (s <= previous || s > sampleCount)
        return Status::Fail(Fault::Corrupt, "sync sample table out of order or range");
      previous = s;
    }
  }
  return {};
}

Status SampleTable::CheckInside(uint64_t fileSize) const {
  for (size_t i = 0; i < chunks.size(); ++i) {
    const Chunk& c = chunks[i];
    if (c.offset > fileSize || c.bytes > fileSize - c.offset)
      return Status::Fail(Fault::Truncated,
                          "chunk " + std::to_string(i + 1) + " lies outside the file");
  }
  return {};
}

uint64_t SampleTable::SampleTime(uint32_t sample) const {
  if (runFirstSample_.empty()) return 0;
  size_t run = size_t(std::upper_bound(runFirstSample_.begin(), runFirstSample_.end(),
                                       uint64_t(sample)) - runFirstSample_.begin());
  if (run == 0) return 0;
  --run;
  // Zero-length runs share their first sample with the next run; the upper
  // bound above already stepped past them.
  return runStartTime_[run] + (sample - runFirstSample_[run]) * uint64_t(times[run].duration);
}

uint32_t SampleTable::SampleDuration(uint32_t sample) const {
  if (runFirstSample_.empty()) return 0;
  size_t run = size_t(std::upper_bound(runFirstSample_.begin(), runFirstSample_.end(),
                                       uint64_t(sample)) - runFirstSample_.begin());
  return run == 0 ? 0 : times[run - 1].duration;
}

bool SampleTable::SampleAtTime(uint64_t time, uint32_t& sample) const {
  if (sampleCount == 0 || time >= duration_) return false;
  size_t run = size_t(std::upper_bound(runStartTime_.begin(), runStartTime_.end(), time) -
                      runStartTime_.begin());
  // time < duration_, so some run with a positive length contains it.
  while (run > 0 && (times[run - 1].count == 0 || times[run - 1].duration == 0)) --run;
  if (run == 0) return false;
  --run;
  uint64_t within = (time - runStartTime_[run]) / times[run].duration;
  if (within >= times[run].count) within = times[run].count - 1;
  sample = uint32_t(runFirstSample_[run] + within);
  return true;
}

uint32_t SampleTable::ChunkOfSample(uint32_t sample) const {
  auto it = std::upper_bound(chunks.begin(), chunks.end(), uint64_t(sample),
                             [](uint64_t s, const Chunk& c) { return s < c.firstSample; });
  size_t index = size_t(it - chunks.begin());
  // Empty chunks share their first sample with the next; take the one that holds it.
  while (index > 0 && chunks[index - 1].sampleCount == 0) --index;
  return index == 0 ? 0 : uint32_t(index - 1);
}

bool SampleTable::SampleRange(uint32_t sample, uint64_t& offset, uint64_t& size) const {
  if (sample >= sampleCount || countsFrames_ || chunks.empty()) return false;
  const Chunk& c = chunks[ChunkOfSample(sample)];
  if (sample < c.firstSample || sample >= c.firstSample + c.sampleCount) return false;
  if (constantSize == 0) {
    offset = c.offset + (sizePrefix_[sample] - sizePrefix_[c.firstSample]);
    size = sizes[sample];
  } else {
    offset = c.offset + (sample - c.firstSample) * uint64_t(constantSize);
    size = constantSize;
  }
  return true;
}

bool SampleTable::IsSync(uint32_t sample) const {
  if (allSync) return true;
  return std::binary_search(syncSamples.begin(), syncSamples.end(), sample + 1);
}

}  // namespace qtf
