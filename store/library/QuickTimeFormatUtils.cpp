#include "QuickTimeFormatUtils.h"

#include <cstdint>
#include <string>

#include "store/Exception.h"

namespace {

uint64_t BigEndian(const uint8_t* bytes, int count) {
  uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

void ReadExactly(DataHandler_* handler, void* buffer, uint64_t count) {
  if (handler->Read(buffer, count) != count) throw EOFException("Atom data ends early");
}

AtomReader::AtomReader(DataHandler_* handler) : fHandler(handler) { ReadHeader(); }

void AtomReader::ReadHeader() {
  fRemaining = 0;
  fStart = fHandler->Tell();
  uint8_t head[8];
  ReadExactly(fHandler, head, 8);
  fSize = BigEndian(head, 4);
  fType = static_cast<uint32_t>(BigEndian(head + 4, 4));
  fHeaderLength = 8;
  if (fSize == 1) {
    uint8_t wide[8];
    ReadExactly(fHandler, wide, 8);
    fSize = BigEndian(wide, 8);
    fHeaderLength = 16;
  }
  if (fSize >= fHeaderLength) {
    const uint64_t payload = fSize - fHeaderLength;
    fRemaining = payload > static_cast<uint64_t>(INT64_MAX) ? INT64_MAX
                                                            : static_cast<int64_t>(payload);
  } else {
    fRemaining = -static_cast<int64_t>(fHeaderLength - fSize);
  }
}

void AtomReader::Next() {
  if (!fHandler->IsValid()) throw Assertion("Not implemented", 61, "QuickTimeFormatUtils");
  // A size of 0 (an atom running to the end of the file) or one below the
  // header would lead back to this atom again: the scan ends here.
  if (fRemaining < 0) {
    throw EOFException("Atom at offset " + std::to_string(fStart) +
                       " does not move the scan forward");
  }
  const uint64_t position = fHandler->Tell();
  const uint64_t size = fHandler->Size();
  if (position > size || static_cast<uint64_t>(fRemaining) > size - position) {
    throw EOFException("Atom at offset " + std::to_string(fStart) + " runs past the end");
  }
  fHandler->Seek(fRemaining, SeekFrom::Current);
  ReadHeader();
}

bool AtomFinder::Find(DataHandler_* handler, AtomPath path) {
  if (!handler->IsValid()) throw Assertion("Assertion failed", 52, "AtomFinder");
  if (path.empty()) throw Assertion("Assertion failed", 89, "AtomFinder");
  AtomReader reader(handler);
  const uint32_t wanted = path.back();
  path.pop_back();
  while (reader.GetType() != wanted) reader.Next();
  if (!path.empty()) return Find(handler, path);
  return true;
}

void AtomFinder::FindOrThrow(DataHandler_* handler, const AtomPath& path) {
  if (path.empty()) throw Assertion("Assertion failed", 89, "AtomFinder");
  if (!Find(handler, path)) throw ErrorNo(0, "Could not find atom searched");
}
