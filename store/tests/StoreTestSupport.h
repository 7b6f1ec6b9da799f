#pragma once
// Shared by the store's tests: byte strings, streams over memory, and a
// small stored class.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "MemoryDataHandler.h"
#include "store/Stream.h"

using Bytes = std::vector<uint8_t>;

// Concatenates pieces: numbers below 256 are single bytes, strings their
// characters.
struct Piece {
  Piece(int byte) : bytes{static_cast<uint8_t>(byte)} {}
  Piece(const char* text) : bytes(text, text + std::char_traits<char>::length(text)) {}
  Piece(const Bytes& b) : bytes(b) {}
  Bytes bytes;
};

inline Bytes Join(std::initializer_list<Piece> pieces) {
  Bytes out;
  for (const Piece& p : pieces) out.insert(out.end(), p.bytes.begin(), p.bytes.end());
  return out;
}

inline Bytes BigEndian32(uint32_t v) {
  return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

inline Bytes Scrambled(const std::string& text) {
  Bytes out;
  for (char c : text) out.push_back(static_cast<uint8_t>(c) ^ 0x2D);
  return out;
}

inline std::string Hex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

// A stream over bytes in memory; the memory outlives the stream.
struct MemoryStream {
  explicit MemoryStream(Bytes bytes = {}, bool scramble = true)
      : memory(std::move(bytes)), stream(&memory) {
    stream.SetScramble(scramble);
  }
  MemoryDataHandler memory;
  StreamDataHandler stream;
};

// What a writer puts on a fresh stream.
inline Bytes Encode(const std::function<void(Stream&)>& write, bool scramble = true) {
  MemoryStream s({}, scramble);
  write(s.stream);
  return s.memory.Bytes();
}
