// 'rle ' (Animation). A sample: its 32-bit size, the header 0x0008, the
// first line and the number of lines it codes (each followed by 2 unused
// bytes), then each line: a skip byte (n + 1 to leave n pixels alone), codes
// and -1 at the end of the line. Code 0 is followed by another skip byte, a
// positive code n by n pixels to copy, a code -n by one pixel to repeat n
// times. A skip byte is never 0: readers differ on what it means.
#include "VideoEncoder.h"

#include <algorithm>

namespace film {

namespace {

constexpr int kMaxSkip = 254;    // per skip byte
constexpr int kMaxCopy = 127;    // pixels per copy code
constexpr int kMaxRepeat = 128;  // pixels per repeat code; -1 would end the line

// What a pixel becomes at the depth: two pixels that store alike are alike.
uint32_t Stored(uint32_t rgb, uint16_t depth) {
  if (depth != 16) return rgb & 0xFFFFFF;
  return rgb & 0xF8F8F8;
}

class LineCoder {
 public:
  LineCoder(const uint32_t* line, const uint32_t* previous, int width, uint16_t depth, Bytes& out)
      : line_(line), previous_(previous), width_(width), depth_(depth), out_(out) {}

  void Code() {
    int x = 0;
    int skip = 0;
    while (x < width_ && Unchanged(x)) ++x, ++skip;
    Skip(skip, /*first=*/true);
    while (x < width_) {
      if (Unchanged(x)) {
        int n = 0;
        while (x < width_ && Unchanged(x)) ++x, ++n;
        if (x < width_) Skip(n, /*first=*/false);  // pixels left alone at the end need no code
        continue;
      }
      int end = x;
      while (end < width_ && !Unchanged(end)) ++end;
      Changed(x, end);
      x = end;
    }
    out_.push_back(0xFF);
  }

 private:
  bool Unchanged(int x) const {
    return previous_ && Stored(line_[x], depth_) == Stored(previous_[x], depth_);
  }
  bool Equal(int a, int b) const { return Stored(line_[a], depth_) == Stored(line_[b], depth_); }

  void Skip(int n, bool first) {
    if (first) {
      const int k = std::min(n, kMaxSkip);
      out_.push_back(uint8_t(k + 1));
      n -= k;
    }
    while (n > 0) {
      const int k = std::min(n, kMaxSkip);
      out_.push_back(0);
      out_.push_back(uint8_t(k + 1));
      n -= k;
    }
  }

  // Pixels [from, to): repeats where a pixel repeats, copies between.
  void Changed(int from, int to) {
    int i = from;
    while (i < to) {
      int run = 1;
      while (i + run < to && run < kMaxRepeat && Equal(i + run, i)) ++run;
      if (run >= 2) {
        out_.push_back(uint8_t(-run));
        AppendPixel(out_, line_[i], depth_);
        i += run;
        continue;
      }
      // Copy up to the next repeat; pixel i starts none, so at least one is copied.
      int j = i;
      while (j < to && j - i < kMaxCopy && !(j + 1 < to && Equal(j + 1, j))) ++j;
      out_.push_back(uint8_t(j - i));
      for (int k = i; k < j; ++k) AppendPixel(out_, line_[k], depth_);
      i = j;
    }
  }

  const uint32_t* line_;
  const uint32_t* previous_;
  const int width_;
  const uint16_t depth_;
  Bytes& out_;
};

void PutU16(Bytes& out, uint16_t v) {
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

}  // namespace

Bytes EncodeAnimation(const Picture& picture, const Picture* previous, uint16_t depth) {
  const int width = picture.Width(), height = picture.Height();
  if (previous && (previous->Width() != width || previous->Height() != height)) previous = nullptr;
  const uint32_t* now = picture.Pixels().data();
  const uint32_t* before = previous ? previous->Pixels().data() : nullptr;

  auto lineChanged = [&](int y) {
    if (!before) return true;
    for (int x = 0; x < width; ++x) {
      const size_t i = size_t(y) * size_t(width) + size_t(x);
      if (Stored(now[i], depth) != Stored(before[i], depth)) return true;
    }
    return false;
  };
  int first = 0;
  while (first < height && !lineChanged(first)) ++first;
  if (first == height) return Bytes{0, 0, 0, 4};  // shorter than 8 bytes: nothing changes
  int last = height - 1;
  while (last > first && !lineChanged(last)) --last;

  Bytes out(4, 0);  // the size, written at the end
  PutU16(out, 0x0008);
  PutU16(out, uint16_t(first));
  PutU16(out, 0);
  PutU16(out, uint16_t(last - first + 1));
  PutU16(out, 0);
  for (int y = first; y <= last; ++y) {
    const size_t row = size_t(y) * size_t(width);
    LineCoder(now + row, before ? before + row : nullptr, width, depth, out).Code();
  }
  const uint32_t size = uint32_t(out.size());
  for (int i = 0; i < 4; ++i) out[size_t(i)] = uint8_t(size >> (8 * (3 - i)));
  return out;
}

}  // namespace film
