#pragma once
// A data handler over bytes in memory, for tests and the fuzz target.
// Reads stop at the end; writes grow the bytes up to an optional limit, so
// a damaged offset cannot make the handler allocate without bound.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "store/DataHandler.h"
#include "store/Exception.h"

class MemoryDataHandler : public DataHandler_ {
public:
  explicit MemoryDataHandler(std::vector<uint8_t> bytes = {}, uint64_t limit = UINT64_MAX)
      : fBytes(std::move(bytes)), fLimit(limit) {}

  uint64_t Read(void* buffer, uint64_t count) override {
    const uint64_t left = fPosition < fBytes.size() ? fBytes.size() - fPosition : 0;
    const uint64_t n = std::min(count, left);
    if (n) std::memcpy(buffer, fBytes.data() + fPosition, static_cast<std::size_t>(n));
    fPosition += n;
    return n;
  }

  uint64_t Write(const void* buffer, uint64_t count) override {
    const uint64_t room = fPosition < fLimit ? fLimit - fPosition : 0;
    const uint64_t n = std::min(count, room);
    if (n == 0 || fPosition + n > SIZE_MAX) return 0;
    if (fPosition + n > fBytes.size()) fBytes.resize(static_cast<std::size_t>(fPosition + n));
    std::memcpy(fBytes.data() + fPosition, buffer, static_cast<std::size_t>(n));
    fPosition += n;
    return n;
  }

  void Flush() override { ++fFlushes; }
  bool IsValid() override { return true; }

  void Seek(int64_t position, SeekFrom origin) override {
    int64_t base = 0;
    if (origin == SeekFrom::Current) base = static_cast<int64_t>(fPosition);
    if (origin == SeekFrom::End) base = static_cast<int64_t>(fBytes.size());
    const bool refused = position < 0 ? position == INT64_MIN || base < -position
                                      : position > INT64_MAX - base;
    if (refused) {
      throw IOError("MemoryDataHandler, cannot seek");
    }
    fPosition = static_cast<uint64_t>(base + position);
  }

  uint64_t Tell() override { return fPosition; }

  std::vector<uint8_t>& Bytes() { return fBytes; }
  int Flushes() const { return fFlushes; }

private:
  std::vector<uint8_t> fBytes;
  uint64_t fLimit;
  uint64_t fPosition = 0;
  int fFlushes = 0;
};
