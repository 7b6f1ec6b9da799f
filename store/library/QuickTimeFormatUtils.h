#pragma once
// Walking the atoms of a film file through a data handler: each atom is a
// big-endian size that counts its own header, a four-character type and a
// payload. A size of 1 means a 64-bit size follows the type.
#include <cstdint>
#include <vector>

#include "store/DataHandler.h"

constexpr uint32_t AtomType(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// The header of the atom at a handler position. Reads past the end of the
// data throw EOFException; so does every atom that would not move the scan
// forward or that runs past the end, so that a scan over damaged data ends
// as "not found".
class AtomReader {
public:
  // Reads the header at the handler's position, leaving it at the payload.
  explicit AtomReader(DataHandler_* handler);

  // Passes over the rest of the payload and reads the next header.
  void Next();

  uint32_t GetType() const { return fType; }
  uint64_t GetSize() const { return fSize; }
  uint64_t GetStart() const { return fStart; }
  uint32_t GetHeaderLength() const { return fHeaderLength; }
  // The payload bytes not yet passed; below 0 when the size is below the
  // header (a size of 0 among them).
  int64_t GetRemaining() const { return fRemaining; }

private:
  void ReadHeader();

  uint64_t fSize = 0;
  int64_t fRemaining = 0;
  uint64_t fStart = 0;
  uint32_t fType = 0;
  uint32_t fHeaderLength = 8;
  DataHandler_* fHandler;
};

// Atom types, innermost first: the last element names the outermost atom.
using AtomPath = std::vector<uint32_t>;

class AtomFinder {
public:
  // Scans forward from the handler's position, atom by atom, for the last
  // type of the path, then inside it for the one before, and so on. The
  // scan does not stop at the end of an enclosing atom. On success the
  // handler is at the innermost atom's payload; an atom not found ends in
  // the EOFException of reading past the end.
  static bool Find(DataHandler_* handler, AtomPath path);
  // The same; a false result becomes ErrorNo "Could not find atom searched".
  static void FindOrThrow(DataHandler_* handler, const AtomPath& path);
};

// Reads exactly count bytes or throws EOFException.
void ReadExactly(DataHandler_* handler, void* buffer, uint64_t count);
