#pragma once
// The play-list order of the engine: a linear congruential generator of its
// own, so that one seed always gives one order, and the in-place shuffle
// that keeps a few entries where they are.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <utility>

class GH_PlaylistRandom {
 public:
  void Seed(uint32_t seed) { fState = seed; }
  // 0 to 32767.
  int32_t Draw() {
    fState = fState * 1103515245u + 12345u;
    return int32_t((fState >> 16) & 0x7FFF);
  }
  uint32_t GetState() const { return fState; }

 private:
  uint32_t fState = 0;
};

// The index that a draw r gives for m of at least 2: the integer part of
// m * (r * (1 / 32767)), each product rounded to double; a draw of 32767
// gives m - 1. Draws whose exact quotient is a whole number (23405 of 7
// is 5) fall one lower when a product keeps more precision than a double,
// so the engine's floating point must be plain double (SSE2 on 32 bits).
inline int32_t ShuffleIndexOfDraw(int32_t r, int32_t m) {
  const double kStep = 1.0 / 32767.0;
  const double t = double(r) * kStep;
  int32_t j = int32_t(double(m) * t);
  return j == m ? m - 1 : j;
}

inline int32_t ShuffleIndex(GH_PlaylistRandom& random, int32_t m) { return ShuffleIndexOfDraw(random.Draw(), m); }

// Exchanges each entry from the first on with one at or after it.
template <typename Iterator>
void ShuffleRange(Iterator first, Iterator last, GH_PlaylistRandom& random) {
  const auto n = std::distance(first, last);
  if (n < 2) return;
  for (std::ptrdiff_t i = 0; i <= std::ptrdiff_t(n) - 2; ++i) {
    const int32_t j = ShuffleIndex(random, int32_t(n - i));
    if (j != 0) {
      using std::swap;
      swap(*std::next(first, i), *std::next(first, i + j));
    }
  }
}

// Leading entries with a negative sort order keep their places; the run of
// entries that lie directly on the CD (parent type 1) after them is shuffled
// among itself; the entry after that run keeps its place; everything after
// it is shuffled together.
template <typename List>
void ShuffleEntries(List& list, uint32_t seed) {
  GH_PlaylistRandom random;
  random.Seed(seed);
  if (list.empty()) return;
  auto first = list.begin();
  while (first != list.end() && first->sortOrder < 0) ++first;
  auto middle = first;
  while (middle != list.end() && middle->parentType == 1) ++middle;
  ShuffleRange(first, middle, random);
  if (middle == list.end()) return;
  ShuffleRange(std::next(middle), list.end(), random);
}
