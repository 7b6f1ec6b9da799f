#pragma once
// A data handler over a MemoryDataHandler that breaks like a disk during a
// crash: from the N-th write on every write fails, and in the cutting mode
// the bytes not yet flushed are lost as well (the file is cut back to its
// size at the last flush).
#include <cstdint>

#include "MemoryDataHandler.h"
#include "store/DataHandler.h"
#include "store/Exception.h"

class FaultyDataHandler : public DataHandler_ {
public:
  enum class Mode { Refuse, Cut };

  // failAt counts from 1; 0 never fails.
  FaultyDataHandler(MemoryDataHandler& target, int failAt, Mode mode)
      : fTarget(target), fFailAt(failAt), fMode(mode), fFlushedSize(target.Bytes().size()) {}

  uint64_t Read(void* buffer, uint64_t count) override { return fTarget.Read(buffer, count); }

  uint64_t Write(const void* buffer, uint64_t count) override {
    ++fWrites;
    if (fFailAt != 0 && fWrites >= fFailAt) {
      if (fMode == Mode::Cut && fTarget.Bytes().size() > fFlushedSize) {
        fTarget.Bytes().resize(fFlushedSize);
      }
      throw WriteError("FaultyDataHandler, write refused");
    }
    return fTarget.Write(buffer, count);
  }

  void Flush() override {
    fTarget.Flush();
    fFlushedSize = fTarget.Bytes().size();
  }
  bool IsValid() override { return true; }
  void Seek(int64_t position, SeekFrom origin) override { fTarget.Seek(position, origin); }
  uint64_t Tell() override { return fTarget.Tell(); }

  int Writes() const { return fWrites; }

private:
  MemoryDataHandler& fTarget;
  int fFailAt;
  Mode fMode;
  uint64_t fFlushedSize;
  int fWrites = 0;
};
