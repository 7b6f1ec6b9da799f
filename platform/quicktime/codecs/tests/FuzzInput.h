#pragma once
// The decoders' fuzz input: a kind (byte 0, an index into kFuzzKinds, or
// past it a whole film), width and height (bytes 1 and 2), flags (byte 3:
// bit 0 gives indexed depths a colour table), then samples, each after its
// 16-bit big-endian length, decoded in order.
#include <cstdint>

namespace codectest {

struct FuzzKind {
  const char* format;
  uint16_t depth;     // video; 0 for sound
  uint16_t channels;  // sound
  uint16_t bits;      // sound
};

inline constexpr FuzzKind kFuzzKinds[] = {
    {"raw ", 1, 0, 0},  {"raw ", 2, 0, 0},  {"raw ", 4, 0, 0},  {"raw ", 8, 0, 0},  {"raw ", 16, 0, 0},
    {"raw ", 24, 0, 0}, {"raw ", 32, 0, 0}, {"raw ", 36, 0, 0}, {"raw ", 40, 0, 0}, {"rle ", 1, 0, 0},
    {"rle ", 2, 0, 0},  {"rle ", 4, 0, 0},  {"rle ", 8, 0, 0},  {"rle ", 16, 0, 0}, {"rle ", 24, 0, 0},
    {"rle ", 32, 0, 0}, {"rle ", 34, 0, 0}, {"rle ", 40, 0, 0}, {"jpeg", 24, 0, 0}, {"cvid", 24, 0, 0},
    {"cvid", 8, 0, 0},  {"cvid", 40, 0, 0}, {"raw ", 0, 1, 8},  {"twos", 0, 2, 8},  {"twos", 0, 2, 16},
    {"sowt", 0, 1, 16}, {"ima4", 0, 1, 16}, {"ima4", 0, 2, 16},
};
inline constexpr uint8_t kFuzzKindCount = sizeof kFuzzKinds / sizeof kFuzzKinds[0];
inline constexpr uint8_t kFuzzFilm = 0xFF;  // the rest is a film, drawn at a few times

}  // namespace codectest
