#include "Stream.h"

#include <algorithm>
#include <vector>

#include "Exception.h"

namespace {
constexpr uint32_t kChunk = 512;

// Payload bytes after each tag when skipping; strings and blocks are counted.
constexpr uint8_t kSkipSize[kTagLast + 1] = {
    0, 0, 0, 1, 1, 4, 4, 2, 2, 4, 4, 8, 8, 4, 8, 0, 0, 0, 1, 0,
};
}  // namespace

void Stream::WriteBytes(const void* buffer, uint32_t count) {
  fBytesWritten = static_cast<int32_t>(static_cast<uint32_t>(fBytesWritten) + count);
  if (Write(buffer, count) != count) throw StreamWriteError("");
}

void Stream::WriteZeros(uint64_t count) {
  static constexpr uint32_t kZeroChunk = 65536;
  const std::vector<uint8_t> zeros(kZeroChunk, 0);
  for (uint64_t left = count; left > 0;) {
    const uint32_t n = left < kZeroChunk ? static_cast<uint32_t>(left) : kZeroChunk;
    WriteBytes(zeros.data(), n);
    left -= n;
  }
}

void Stream::ReadBytes(void* buffer, uint32_t count) {
  if (Read(buffer, count) != count) throw StreamReadError("");
}

void Stream::WriteByte(uint8_t byte) { WriteBytes(&byte, 1); }

uint8_t Stream::ReadByte() {
  uint8_t byte = 0;
  ReadBytes(&byte, 1);
  return byte;
}

void Stream::WriteBigEndian32(uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
                            static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
  WriteBytes(bytes, 4);
}

uint32_t Stream::ReadBigEndian32() {
  uint8_t b[4];
  ReadBytes(b, 4);
  return (static_cast<uint32_t>(b[0]) << 24) | (static_cast<uint32_t>(b[1]) << 16) |
         (static_cast<uint32_t>(b[2]) << 8) | b[3];
}

uint8_t Stream::ExpectTag(uint8_t tag) {
  const uint8_t found = ReadByte();
  if (found == tag) return found;
  if (found == kTagEndObject) throw EndOfObject();
  // A string where another value was expected is consumed whole first.
  if (found == kTagString) {
    const uint32_t length = ReadBigEndian32();
    RequireRemaining(length);
    DropBytes(length);
  }
  throw Exception("Bad Tag");
}

void Stream::WriteInt32(int32_t value) {
  WriteTag(kTagInt32);
  WriteBigEndian32(static_cast<uint32_t>(value));
}

void Stream::ReadInt32(int32_t& value) {
  ExpectTag(kTagInt32);
  value = static_cast<int32_t>(ReadBigEndian32());
}

void Stream::WriteUInt32(uint32_t value) {
  WriteTag(kTagUInt32);
  WriteBigEndian32(value);
}

void Stream::ReadUInt32(uint32_t& value) {
  ExpectTag(kTagUInt32);
  value = ReadBigEndian32();
}

void Stream::WriteBool(bool value) {
  WriteTag(kTagBool);
  WriteByte(value ? 1 : 0);
}

void Stream::ReadBool(bool& value) {
  ExpectTag(kTagBool);
  value = ReadByte() == 1;
}

void Stream::WriteString(const std::string& text) {
  WriteTag(kTagString);
  const uint32_t length = static_cast<uint32_t>(text.size());
  WriteBigEndian32(length);
  uint8_t chunk[kChunk];
  for (uint32_t done = 0; done < length;) {
    const uint32_t n = std::min(kChunk, length - done);
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t c = static_cast<uint8_t>(text[done + i]);
      chunk[i] = fScramble ? static_cast<uint8_t>(c ^ kScrambleByte) : c;
    }
    WriteBytes(chunk, n);
    done += n;
  }
}

void Stream::ReadString(std::string& text) {
  ExpectTag(kTagString);
  const uint32_t length = ReadBigEndian32();
  RequireRemaining(length);
  ReadScrambled(text, length);
}

void Stream::WriteBlock(const std::string& text, uint32_t capacity) {
  const uint32_t used = static_cast<uint32_t>(std::min<std::size_t>(text.size(), capacity));
  WriteTag(kTagBlock);
  WriteBigEndian32(used);
  WriteBigEndian32(capacity);
  uint8_t chunk[kChunk];
  for (uint32_t done = 0; done < capacity;) {
    const uint32_t n = std::min(kChunk, capacity - done);
    for (uint32_t i = 0; i < n; ++i) {
      const uint32_t at = done + i;
      if (at < used) {
        const uint8_t c = static_cast<uint8_t>(text[at]);
        chunk[i] = fScramble ? static_cast<uint8_t>(c ^ kScrambleByte) : c;
      } else {
        chunk[i] = 0;  // padding is never scrambled
      }
    }
    WriteBytes(chunk, n);
    done += n;
  }
}

void Stream::ReadBlock(std::string& text) {
  ExpectTag(kTagBlock);
  const uint32_t used = ReadBigEndian32();
  const uint32_t capacity = ReadBigEndian32();
  // The padding is capacity - used bytes: a larger used length is damage.
  if (used > capacity) throw StreamReadError("Block length above its capacity");
  RequireRemaining(capacity);
  ReadScrambled(text, used);
  DropBytes(capacity - used);
}

void Stream::SkipToEndOfObject() {
  for (;;) {
    const uint8_t tag = ReadByte();
    if (tag > kTagLast) throw StreamReadError("");
    if (tag == kTagEndObject) return;
    if (tag == kTagString) {
      const uint32_t length = ReadBigEndian32();
      RequireRemaining(length);
      DropBytes(length);
    } else if (tag == kTagBlock) {
      // A block is passed over whole: its used length, capacity and bytes.
      const uint32_t used = ReadBigEndian32();
      const uint32_t capacity = ReadBigEndian32();
      if (used > capacity) throw StreamReadError("Block length above its capacity");
      RequireRemaining(capacity);
      DropBytes(capacity);
    } else {
      DropBytes(kSkipSize[tag]);
    }
  }
}

void Stream::SetScramble(bool on) {
  if (fBytesWritten != 0) throw Assertion("Assertion failed", 45, "Stream");
  fScramble = on;
}

void Stream::RequireRemaining(uint64_t count) {
  const uint64_t position = Tell();
  const uint64_t size = Size();
  if (position > size || count > size - position) {
    throw StreamReadError("Length runs past the end of the data");
  }
}

void Stream::DropBytes(uint64_t count) {
  uint8_t chunk[kChunk];
  while (count > 0) {
    const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(kChunk, count));
    ReadBytes(chunk, n);
    count -= n;
  }
}

void Stream::ReadScrambled(std::string& text, uint32_t count) {
  text.resize(count);
  if (count == 0) return;
  ReadBytes(&text[0], count);
  if (fScramble) {
    for (char& c : text) c = static_cast<char>(static_cast<uint8_t>(c) ^ kScrambleByte);
  }
}
