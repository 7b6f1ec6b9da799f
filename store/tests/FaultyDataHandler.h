#pragma once
// A data handler over a MemoryDataHandler that fails as files do, from its
// N-th write on:
// - Refuse: every write throws, until Heal (a disk gone bad);
// - Cut: the same, and the bytes not yet flushed are lost as well (the
//   file is cut back to its size at the last flush: a crash);
// - Drop: writes "succeed" but never arrive, and the next flush fails; then
//   all is well again (a buffered write that failed on its way out);
// - Once: that one write throws (a passing error, then a retry);
// - Short: that one write comes back short (a full disk): a write that
//   grows the file stores half of its bytes, one inside the file none.
#include <cstdint>

#include "MemoryDataHandler.h"
#include "store/DataHandler.h"
#include "store/Exception.h"

class FaultyDataHandler : public DataHandler_ {
public:
  enum class Mode { Refuse, Cut, Drop, Once, Short };

  // failAt counts from 1; 0 never fails.
  FaultyDataHandler(MemoryDataHandler& target, int failAt, Mode mode)
      : fTarget(target), fFailAt(failAt), fMode(mode), fFlushedSize(target.Bytes().size()) {}

  uint64_t Read(void* buffer, uint64_t count) override { return fTarget.Read(buffer, count); }

  uint64_t Write(const void* buffer, uint64_t count) override {
    ++fWrites;
    if (fFailAt == 0 || fWrites < fFailAt) return fTarget.Write(buffer, count);
    switch (fMode) {
      case Mode::Refuse:
        break;
      case Mode::Cut:
        if (fTarget.Bytes().size() > fFlushedSize) fTarget.Bytes().resize(fFlushedSize);
        break;
      case Mode::Drop:
        fTarget.Seek(static_cast<int64_t>(count), SeekFrom::Current);
        return count;
      case Mode::Once:
        fFailAt = 0;
        break;
      case Mode::Short:
        fFailAt = 0;
        return WriteHalf(buffer, count);
    }
    throw WriteError("FaultyDataHandler, write refused");
  }

  void Flush() override {
    if (fMode == Mode::Drop && fFailAt != 0 && fWrites >= fFailAt) {
      fFailAt = 0;
      throw WriteError("FaultyDataHandler, flush failed");
    }
    fTarget.Flush();
    fFlushedSize = fTarget.Bytes().size();
  }
  bool IsValid() override { return true; }
  void Seek(int64_t position, SeekFrom origin) override { fTarget.Seek(position, origin); }
  uint64_t Tell() override { return fTarget.Tell(); }

  // No more failures: the disk has room again.
  void Heal() { fFailAt = 0; }
  // Fails again, at the failAt-th write from now on.
  void Arm(int failAt, Mode mode) {
    fWrites = 0;
    fFailAt = failAt;
    fMode = mode;
  }
  int Writes() const { return fWrites; }

private:
  uint64_t WriteHalf(const void* buffer, uint64_t count) {
    const bool grows = fTarget.Tell() + count > fTarget.Bytes().size();
    const uint64_t kept = grows ? count / 2 : 0;
    return kept == 0 ? 0 : fTarget.Write(buffer, kept);
  }

  MemoryDataHandler& fTarget;
  int fFailAt;
  Mode fMode;
  uint64_t fFlushedSize;
  int fWrites = 0;
};

// A name for messages and test names.
inline const char* ModeName(FaultyDataHandler::Mode mode) {
  switch (mode) {
    case FaultyDataHandler::Mode::Refuse: return "Refused";
    case FaultyDataHandler::Mode::Cut: return "Cut";
    case FaultyDataHandler::Mode::Drop: return "Dropped";
    case FaultyDataHandler::Mode::Once: return "FailedOnce";
    case FaultyDataHandler::Mode::Short: return "Short";
  }
  return "Unknown";
}

constexpr FaultyDataHandler::Mode kAllFaults[] = {
    FaultyDataHandler::Mode::Refuse, FaultyDataHandler::Mode::Cut, FaultyDataHandler::Mode::Drop,
    FaultyDataHandler::Mode::Once, FaultyDataHandler::Mode::Short};
