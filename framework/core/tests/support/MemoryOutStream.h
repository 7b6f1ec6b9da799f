#pragma once
// An output stream into memory, for tests that write framework streams and
// read them back.
#include "CP_OutStream.h"

#include <cstdint>
#include <vector>

namespace kxtest {

class MemoryOutStream : public CP_OutStream {
 public:
  explicit MemoryOutStream(int32_t version = 6) : CP_OutStream(version) {}

  void Write(const void* buffer, uint32_t count) override {
    const uint8_t* b = static_cast<const uint8_t*>(buffer);
    fBytes.insert(fBytes.end(), b, b + count);
    ++fWrites;
  }

  // The 12 header bytes as this machine writes them: 'L', 'VORN', version,
  // flag word.
  void WriteHeader(int32_t version, int16_t flag) {
    WriteInt16(0x004C).WriteInt32(int32_t(0x564F524E)).WriteInt32(version).WriteInt16(flag);
  }

  const std::vector<uint8_t>& Bytes() const { return fBytes; }
  int Writes() const { return fWrites; }

 private:
  std::vector<uint8_t> fBytes;
  int fWrites = 0;
};

}  // namespace kxtest
