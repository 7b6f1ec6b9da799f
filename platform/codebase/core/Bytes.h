#pragma once
// Little- and big-endian loads and stores, and a reader that never reads
// past its end. Everything a table or memo file holds goes through these.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace xbase {

inline uint16_t LoadU16LE(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline uint32_t LoadU32LE(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t LoadU16BE(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
inline uint32_t LoadU32BE(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
inline void StoreU16LE(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void StoreU32LE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
inline void StoreU16BE(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v >> 8);
  p[1] = uint8_t(v);
}
inline void StoreU32BE(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (24 - 8 * i));
}

// Reads fixed-size pieces from a byte range; a read that does not fit
// fails and leaves the position where it was.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  size_t Remaining() const { return size_ - pos_; }
  size_t Position() const { return pos_; }

  [[nodiscard]] bool ReadU8(uint8_t& v) {
    if (Remaining() < 1) return false;
    v = data_[pos_++];
    return true;
  }
  [[nodiscard]] bool ReadU16LE(uint16_t& v) {
    if (Remaining() < 2) return false;
    v = LoadU16LE(data_ + pos_);
    pos_ += 2;
    return true;
  }
  [[nodiscard]] bool ReadU32LE(uint32_t& v) {
    if (Remaining() < 4) return false;
    v = LoadU32LE(data_ + pos_);
    pos_ += 4;
    return true;
  }
  [[nodiscard]] bool ReadBytes(size_t n, const uint8_t*& p) {
    if (n > Remaining()) return false;
    p = data_ + pos_;
    pos_ += n;
    return true;
  }
  [[nodiscard]] bool Skip(size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

}  // namespace xbase
