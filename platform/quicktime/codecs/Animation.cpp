// 'rle ' (Animation): run-length coded lines over the previous picture.
//
// A sample: a 32-bit size (its high bits carry flags; not trusted), a 16-bit
// header and, when the header has bit 3, the first line and the number of
// lines it changes (each followed by 2 unused bytes). Shorter than 8 bytes:
// the picture does not change. Each changed line: a skip byte (n - 1 units
// to leave alone), then codes: -1 ends the line, 0 is followed by another
// skip byte, a positive code n is followed by n units copied, a code -n below
// -1 by one unit repeated n times.
//
// A unit is one pixel at 16 (x1r5g5b5), 24 (r, g, b) and 32 bits (a, r, g,
// b); at the indexed depths it is 4 bytes of packed pixels (16 pixels at 2
// bits, 8 at 4, 4 at 8), at 1 bit 2 bytes (16 pixels).
#include "Codecs.h"

#include <algorithm>

namespace qtc {

namespace {

struct Units {
  size_t bytes = 1;   // per unit
  size_t pixels = 1;  // per unit
};

Units UnitsOf(uint16_t bits) {
  switch (bits) {
    case 1: return {2, 16};
    case 2: return {4, 16};
    case 4: return {4, 8};
    case 8: return {4, 4};
    case 16: return {2, 1};
    case 24: return {3, 1};
    default: return {4, 1};
  }
}

// One line being decoded: writes land in the row only while they are inside it.
class Line {
 public:
  Line(const VideoInfo& info, uint32_t* row) : info_(info), units_(UnitsOf(info.bits)), row_(row) {}

  void Skip(size_t units) { x_ += units * units_.pixels; }

  // Copies count units from in, which holds count * units_.bytes bytes.
  void Copy(const uint8_t* in, size_t count) {
    if (info_.bits == 24) {
      if (x_ < info_.width) RgbRow(in, row_ + x_, size_t(std::min<uint64_t>(count, info_.width - x_)));
      x_ += count;
      return;
    }
    if (units_.pixels == 1) {
      for (size_t i = 0; i < count; ++i, in += units_.bytes) Put(Colour(in));
      return;
    }
    uint32_t pixels[16];
    for (size_t i = 0; i < count; ++i, in += units_.bytes) {
      Expand(in, pixels);
      for (size_t k = 0; k < units_.pixels; ++k) Put(pixels[k]);
    }
  }

  // Repeats the unit at in count times.
  void Repeat(const uint8_t* in, size_t count) {
    if (units_.pixels == 1) {
      uint32_t c = Colour(in);
      uint64_t end = std::min<uint64_t>(x_ + count, info_.width);
      if (x_ < end) std::fill(row_ + x_, row_ + end, c);
      x_ += count;
      return;
    }
    uint32_t pixels[16];
    Expand(in, pixels);
    size_t i = 0;
    for (; i < count && x_ < info_.width; ++i)
      for (size_t k = 0; k < units_.pixels; ++k) Put(pixels[k]);
    x_ += (count - i) * units_.pixels;  // the rest falls outside the row
  }

  size_t UnitBytes() const { return units_.bytes; }

 private:
  void Put(uint32_t c) {
    if (x_ < info_.width) row_[x_] = c;
    ++x_;
  }

  uint32_t Colour(const uint8_t* in) const {
    switch (info_.bits) {
      case 16: return Rgb555At(in);
      case 24: return Rgb(in[0], in[1], in[2]);
      default: return ArgbAt(in);
    }
  }

  // The packed pixels of one indexed unit, most significant bits first.
  void Expand(const uint8_t* in, uint32_t* out) const {
    const unsigned bits = info_.bits, mask = (1u << bits) - 1;
    size_t n = 0;
    for (size_t b = 0; b < units_.bytes; ++b)
      for (int shift = 8 - int(bits); shift >= 0; shift -= int(bits)) out[n++] = info_.palette[(in[b] >> shift) & mask];
  }

  const VideoInfo& info_;
  const Units units_;
  uint32_t* row_;
  uint64_t x_ = 0;  // may run past the row; wide enough never to wrap
};

// A skip byte counts one more than the units it skips.
size_t Skipped(uint8_t code) { return code > 0 ? code - 1u : 0u; }

// Decodes one line's codes; false when the sample ends inside it.
bool DecodeLine(qtf::ByteReader& r, Line& line) {
  uint8_t skip;
  if (!r.ReadU8(skip)) return false;
  line.Skip(Skipped(skip));
  for (;;) {
    uint8_t byte;
    if (!r.ReadU8(byte)) return false;
    int code = int8_t(byte);
    if (code == -1) return true;
    if (code == 0) {
      if (!r.ReadU8(skip)) return false;
      line.Skip(Skipped(skip));
    } else if (code > 0) {
      size_t bytes = size_t(code) * line.UnitBytes();
      if (bytes > r.Remaining()) return false;
      line.Copy(r.Current(), size_t(code));
      (void)r.Skip(bytes);
    } else {
      if (line.UnitBytes() > r.Remaining()) return false;
      line.Repeat(r.Current(), size_t(-code));
      (void)r.Skip(line.UnitBytes());
    }
  }
}

}  // namespace

DecodeResult DecodeAnimation(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame) {
  if (size < 8) return DecodeResult::Ok;
  qtf::ByteReader r(data, size);
  uint32_t chunkSize;
  uint16_t header;
  (void)r.ReadU32(chunkSize);
  (void)r.ReadU16(header);
  uint32_t first = 0, lines = info.height;
  if (header & 0x0008) {
    uint16_t start, count;
    if (!r.ReadU16(start) || !r.Skip(2) || !r.ReadU16(count) || !r.Skip(2)) return DecodeResult::Damaged;
    first = start;
    lines = count;
  }
  bool fits = first <= info.height && lines <= info.height - first;
  if (!fits) lines = first < info.height ? info.height - first : 0;
  for (uint32_t y = first; y < first + lines; ++y) {
    Line line(info, &frame.pixels[size_t(y) * info.width]);
    if (!DecodeLine(r, line)) return DecodeResult::Damaged;
  }
  return fits ? DecodeResult::Ok : DecodeResult::Damaged;
}

}  // namespace qtc
