#pragma once
// Film bytes in memory that answer a read past their end as a film file
// does: with EOFException.
#include <vector>

#include "../../tests/MemoryDataHandler.h"

class FilmBytesHandler : public MemoryDataHandler {
public:
  using MemoryDataHandler::MemoryDataHandler;

  uint64_t Read(void* buffer, uint64_t count) override {
    const uint64_t n = MemoryDataHandler::Read(buffer, count);
    if (n != count) throw EOFException("FilmBytesHandler EOF");
    return n;
  }
};
