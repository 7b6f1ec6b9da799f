#pragma once
// Bounded big-endian reading and writing of film bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qtf {

using FourCC = uint32_t;

constexpr FourCC Tag(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// 'abcd' for printing; bytes outside printable ASCII become '?'.
std::string TagText(FourCC tag);

// Reads never pass the end and move only on success.
class ByteReader {
 public:
  ByteReader() = default;
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

  size_t Remaining() const { return size_ - pos_; }
  size_t Position() const { return pos_; }
  const uint8_t* Current() const { return data_ + pos_; }

  [[nodiscard]] bool ReadU8(uint8_t& v) {
    if (Remaining() < 1) return false;
    v = data_[pos_++];
    return true;
  }
  [[nodiscard]] bool ReadU16(uint16_t& v) {
    uint64_t x;
    if (!ReadBE(2, x)) return false;
    v = uint16_t(x);
    return true;
  }
  [[nodiscard]] bool ReadU32(uint32_t& v) {
    uint64_t x;
    if (!ReadBE(4, x)) return false;
    v = uint32_t(x);
    return true;
  }
  [[nodiscard]] bool ReadU64(uint64_t& v) { return ReadBE(8, v); }
  [[nodiscard]] bool ReadI16(int16_t& v) {
    uint16_t x;
    if (!ReadU16(x)) return false;
    v = int16_t(x);
    return true;
  }
  [[nodiscard]] bool ReadI32(int32_t& v) {
    uint32_t x;
    if (!ReadU32(x)) return false;
    v = int32_t(x);
    return true;
  }
  [[nodiscard]] bool ReadI64(int64_t& v) {
    uint64_t x;
    if (!ReadU64(x)) return false;
    v = int64_t(x);
    return true;
  }
  [[nodiscard]] bool Skip(size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }
  [[nodiscard]] bool ReadBytes(size_t n, std::vector<uint8_t>& out) {
    if (n > Remaining()) return false;
    out.assign(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return true;
  }
  // The next n bytes as a reader of their own; this reader moves past them.
  [[nodiscard]] bool Sub(size_t n, ByteReader& out) {
    if (n > Remaining()) return false;
    out = ByteReader(data_ + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  bool ReadBE(size_t n, uint64_t& v) {
    if (n > Remaining()) return false;
    uint64_t x = 0;
    for (size_t i = 0; i < n; ++i) x = (x << 8) | data_[pos_ + i];
    pos_ += n;
    v = x;
    return true;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t pos_ = 0;
};

class ByteWriter {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) { BE(v, 2); }
  void U32(uint32_t v) { BE(v, 4); }
  void U64(uint64_t v) { BE(v, 8); }
  void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
  void Bytes(const std::vector<uint8_t>& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
  void Bytes(const uint8_t* p, size_t n) { bytes_.insert(bytes_.end(), p, p + n); }
  // A length byte and up to 255 characters.
  void PascalString(const std::string& s);

  // Starts an atom; EndAtom writes its size once the body is complete.
  size_t BeginAtom(FourCC type);
  void EndAtom(size_t start);

  size_t Size() const { return bytes_.size(); }
  std::vector<uint8_t>& Data() { return bytes_; }

 private:
  void BE(uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bytes_.push_back(uint8_t(v >> (8 * i)));
  }
  std::vector<uint8_t> bytes_;
};

// What went wrong while reading or writing a film, and which check said so.
enum class Fault {
  None,
  Missing,      // the file is not there
  Io,           // it could not be read or written
  NoMovie,      // well-formed atoms but no movie in them
  Truncated,    // a size or offset points past the end
  Corrupt,      // a value no film can have
  Unsupported,  // valid, but beyond what this library handles
  Changed,      // the file is not the one the movie was made from
};

struct Status {
  Fault fault = Fault::None;
  std::string what;

  bool Ok() const { return fault == Fault::None; }
  static Status Fail(Fault f, std::string text) { return Status{f, std::move(text)}; }
};

// a*b/c rounded to nearest, saturating at the largest value; c > 0. Converts
// times between time scales.
uint64_t MulDiv(uint64_t a, uint32_t b, uint32_t c);

}  // namespace qtf
