#include "Bytes.h"

#include <cassert>
#include <limits>

namespace qtf {

std::string TagText(FourCC tag) {
  std::string s;
  for (int i = 3; i >= 0; --i) {
    char c = char((tag >> (8 * i)) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

void ByteWriter::PascalString(const std::string& s) {
  size_t n = s.size() > 255 ? 255 : s.size();
  U8(uint8_t(n));
  Bytes(reinterpret_cast<const uint8_t*>(s.data()), n);
}

size_t ByteWriter::BeginAtom(FourCC type) {
  size_t start = bytes_.size();
  U32(0);
  U32(type);
  return start;
}

void ByteWriter::EndAtom(size_t start) {
  uint64_t size = bytes_.size() - start;
  // Atoms we build in memory stay far below 4 GB; the media data is written elsewhere.
  assert(size <= 0xFFFFFFFFu);
  for (int i = 0; i < 4; ++i) bytes_[start + i] = uint8_t(size >> (8 * (3 - i)));
}

uint64_t MulDiv(uint64_t a, uint32_t b, uint32_t c) {
  assert(c > 0);
  const uint64_t kMax = std::numeric_limits<uint64_t>::max();
  uint64_t q = a / c, r = a % c;
  // r < c <= 2^32 - 1, so r*b + c/2 stays below 2^64.
  uint64_t tail = (r * b + c / 2) / c;
  if (b != 0 && q > (kMax - tail) / b) return kMax;
  return q * b + tail;
}

}  // namespace qtf
