#pragma once
// The store's value encoding: one tag byte before every value, numbers
// big-endian, strings and fixed-capacity blocks counted, objects framed by
// a begin and an end tag. While the scramble flag is on (the default) the
// bytes of strings and blocks are XORed with 0x2D.
#include <cstdint>
#include <string>

#include "DataHandler.h"

enum StreamTag : uint8_t {
  kTagBeginObject = 1,
  kTagEndObject = 2,
  kTagInt32 = 9,
  kTagUInt32 = 10,
  kTagString = 15,
  kTagBlock = 16,
  kTagBool = 18,
  kTagLast = 19,  // above this a tag is invalid
};

// The raw transfer is the derived class's; everything else is here.
class Stream : public DataHandler_ {
public:
  static constexpr uint8_t kScrambleByte = 0x2D;

  void WriteBytes(const void* buffer, uint32_t count);
  // `count` zero bytes, written a chunk at a time.
  void WriteZeros(uint64_t count);
  void ReadBytes(void* buffer, uint32_t count);
  void WriteByte(uint8_t byte);
  uint8_t ReadByte();
  void WriteBigEndian32(uint32_t value);
  uint32_t ReadBigEndian32();
  void WriteTag(uint8_t tag) { WriteByte(tag); }
  // An end tag throws EndOfObject; any other wrong tag throws "Bad Tag".
  uint8_t ExpectTag(uint8_t tag);

  void WriteInt32(int32_t value);
  void ReadInt32(int32_t& value);
  void WriteUInt32(uint32_t value);
  void ReadUInt32(uint32_t& value);
  void WriteBool(bool value);
  void ReadBool(bool& value);
  void WriteString(const std::string& text);
  void ReadString(std::string& text);
  // Stores the text cut to the capacity and zero padding up to it.
  void WriteBlock(const std::string& text, uint32_t capacity);
  void ReadBlock(std::string& text);

  void WriteBeginObject() { WriteTag(kTagBeginObject); }
  void WriteEndObject() { WriteTag(kTagEndObject); }
  void ReadBeginObject() { ExpectTag(kTagBeginObject); }
  // Drops values up to and including the next end tag, so fields written by
  // a newer version of a class are passed over.
  void SkipToEndOfObject();

  // Only before anything was written: reader and writer must agree.
  void SetScramble(bool on);
  bool GetScramble() const { return fScramble; }
  int32_t GetBytesWritten() const { return fBytesWritten; }

  // Throws StreamReadError unless count bytes are left before the end. A
  // length read from the data is checked with it before it is trusted.
  void RequireRemaining(uint64_t count);

private:
  void DropBytes(uint64_t count);
  void ReadScrambled(std::string& text, uint32_t count);

  int32_t fBytesWritten = 0;
  bool fScramble = true;
};

// A stream over another data handler, which it does not own and which must
// outlive it. Users share the target's position, so each seeks first.
class StreamDataHandler : public Stream {
public:
  explicit StreamDataHandler(DataHandler_* target) : fTarget(target) {}

  uint64_t Read(void* buffer, uint64_t count) override { return fTarget->Read(buffer, count); }
  uint64_t Write(const void* buffer, uint64_t count) override {
    return fTarget->Write(buffer, count);
  }
  void Flush() override { fTarget->Flush(); }
  bool IsValid() override { return fTarget->IsValid(); }
  void Seek(int64_t position, SeekFrom origin) override { fTarget->Seek(position, origin); }
  uint64_t Tell() override { return fTarget->Tell(); }

private:
  DataHandler_* fTarget;
};
