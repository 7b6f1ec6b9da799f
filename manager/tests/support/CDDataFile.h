#pragma once
// Builds the version-3 data file of a film CD ("BinFile.GHC") byte by byte,
// for the tests that register a CD.
#include "CDDatabase.h"
#include "CDRegistration.h"
#include "DatabaseTestSupport.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace cdfile {

using Bytes = std::vector<uint8_t>;

inline void PutI32(Bytes& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}
inline void PutText(Bytes& b, size_t at, const std::string& text) {
  std::memcpy(b.data() + at, text.data(), text.size());
}

inline Bytes Header(int32_t items, int32_t actions) {
  Bytes b(cdimport::kV3HeaderSize, 0);
  PutI32(b, 0, items);
  PutI32(b, 4, actions);
  return b;
}

// One 552-byte item record: number, parent, kind, text, file, alias root.
inline Bytes Item(int32_t number, int32_t parent, int32_t kind, const std::string& text,
                  const std::string& file, const std::string& alias) {
  Bytes b(cdimport::kV3ItemSize, 0);
  PutI32(b, 0, number);
  PutI32(b, 4, 5);  // sort order
  PutI32(b, 8, parent);
  PutI32(b, 12, kind);
  PutI32(b, 16, 1);  // parent kind
  PutText(b, 20, text);
  PutI32(b, 120, 0x10003);  // icon: the low 16 bits are kept
  for (int i = 0; i < 7; ++i) PutI32(b, 124 + 4 * size_t(i), i + 1);  // loop .. background track
  PutText(b, 152, "films");
  PutText(b, 402, file);
  PutText(b, 462, alias);
  return b;
}

inline Bytes ActionBytes(int32_t id, const std::string& text, const std::string& alias, const std::string& sprite) {
  ActionRecord a = dbtest::Action(id, 1, text, alias, sprite);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(&a);
  return Bytes(p, p + sizeof a);
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace cdfile
