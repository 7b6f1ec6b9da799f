// 'cvid' (Cinepak): 4x4 blocks drawn from code books of 2x2 pixels.
//
// A sample: flags (1 byte), length (3 bytes, counting the whole sample),
// width, height and the number of strips (2 bytes each). Each strip: an id,
// its size (counting its 12-byte header), then top, left, bottom and right;
// the strips lie one below the other, each as tall as bottom - top. Inside a
// strip, chunks of id and size (counting their 4-byte header):
//   0x20xx  V4 code book, 0x22xx V1 code book; with 0x0100 only the entries
//           whose bit is set in 32-bit masks are replaced; with 0x0400 the
//           entries are 4 luma bytes, otherwise 4 luma and 2 signed chroma.
//   0x3000  every block: a mask bit, set for V4 (4 indices), clear for V1
//           (1 index)
//   0x3100  every block: a mask bit, clear to keep the block, set for a
//           second bit that chooses V4 or V1 as above
//   0x3200  every block V1
// A V1 entry covers the block with each of its pixels doubled; a V4 block
// takes one entry per quarter. Each strip keeps its code books from sample
// to sample; unless flags bit 0 is set, a strip starts from the code books
// the strip above it has just ended with.
#include "Codecs.h"

#include <algorithm>

namespace qtc {

namespace {

// More strips than any writer makes; beyond them a sample is damaged.
constexpr size_t kMaxStrips = 64;

struct Entry {
  uint32_t pixel[4];  // top left, top right, bottom left, bottom right
};

struct StripBooks {
  Entry v1[256];
  Entry v4[256];
};

uint32_t Clamp(int v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); }

// Cinepak's own colour space: r = y + 2v, g = y - u/2 - v, b = y + 2u, the
// halving rounding toward zero.
uint32_t Colour(int y, int u, int v) { return Rgb(Clamp(y + 2 * v), Clamp(y - u / 2 - v), Clamp(y + 2 * u)); }

// Reads one entry; false when the chunk ends inside it.
bool ReadEntry(qtf::ByteReader& r, bool lumaOnly, const VideoInfo& info, Entry& e) {
  uint8_t y[4], u = 0, v = 0;
  for (uint8_t& b : y)
    if (!r.ReadU8(b)) return false;
  if (!lumaOnly && (!r.ReadU8(u) || !r.ReadU8(v))) return false;
  // At 8 bits with a colour table, the luma bytes are its indices.
  bool paletted = info.depth == 8;
  for (int i = 0; i < 4; ++i) e.pixel[i] = paletted ? info.palette[y[i]] : Colour(y[i], int8_t(u), int8_t(v));
  return true;
}

void ReadBook(qtf::ByteReader r, uint16_t id, const VideoInfo& info, Entry* book) {
  const bool selective = id & 0x0100, lumaOnly = id & 0x0400;
  if (!selective) {
    for (int i = 0; i < 256 && ReadEntry(r, lumaOnly, info, book[i]); ++i) {
    }
    return;
  }
  int i = 0;
  uint32_t mask;
  while (i < 256 && r.ReadU32(mask)) {
    for (uint32_t bit = 0x80000000u; bit != 0 && i < 256; bit >>= 1, ++i)
      if ((mask & bit) && !ReadEntry(r, lumaOnly, info, book[i])) return;
  }
}

// Mask bits, read 32 at a time as they are needed.
class Bits {
 public:
  explicit Bits(qtf::ByteReader& r) : r_(r) {}
  bool Next(bool& bit) {
    if (left_ == 0) {
      if (!r_.ReadU32(word_)) return false;
      left_ = 32;
    }
    bit = (word_ & 0x80000000u) != 0;
    word_ <<= 1;
    --left_;
    return true;
  }

 private:
  qtf::ByteReader& r_;
  uint32_t word_ = 0;
  int left_ = 0;
};

class Painter {
 public:
  explicit Painter(Frame& frame) : f_(frame) {}

  void V1(int x, int y, const Entry& e) {
    const uint32_t* p = e.pixel;
    uint32_t block[16] = {p[0], p[0], p[1], p[1], p[0], p[0], p[1], p[1],
                          p[2], p[2], p[3], p[3], p[2], p[2], p[3], p[3]};
    Put(x, y, block);
  }

  void V4(int x, int y, const Entry& a, const Entry& b, const Entry& c, const Entry& d) {
    uint32_t block[16] = {a.pixel[0], a.pixel[1], b.pixel[0], b.pixel[1], a.pixel[2], a.pixel[3], b.pixel[2], b.pixel[3],
                          c.pixel[0], c.pixel[1], d.pixel[0], d.pixel[1], c.pixel[2], c.pixel[3], d.pixel[2], d.pixel[3]};
    Put(x, y, block);
  }

 private:
  void Put(int x, int y, const uint32_t* block) {
    const int w = f_.width, h = f_.height;
    if (x + 4 <= w && y + 4 <= h) {
      for (int row = 0; row < 4; ++row) std::copy(block + 4 * row, block + 4 * row + 4, &f_.pixels[size_t(y + row) * w + x]);
      return;
    }
    for (int row = 0; row < 4 && y + row < h; ++row)
      for (int col = 0; col < 4 && x + col < w; ++col) f_.pixels[size_t(y + row) * w + x + col] = block[4 * row + col];
  }

  Frame& f_;
};

enum class Coding { Intra, Inter, V1Only };

// Draws the blocks of one strip; false when the chunk ends before its blocks.
bool DrawBlocks(qtf::ByteReader r, Coding coding, const StripBooks& books, int top, int bottom, Frame& frame) {
  Painter painter(frame);
  Bits bits(r);
  for (int y = top; y < bottom; y += 4) {
    for (int x = 0; x < frame.width; x += 4) {
      bool v4 = false, bit;
      if (coding == Coding::Inter) {
        if (!bits.Next(bit)) return false;
        if (!bit) continue;
      }
      if (coding != Coding::V1Only && !bits.Next(v4)) return false;
      if (v4) {
        uint8_t i[4];
        if (!r.ReadU8(i[0]) || !r.ReadU8(i[1]) || !r.ReadU8(i[2]) || !r.ReadU8(i[3])) return false;
        painter.V4(x, y, books.v4[i[0]], books.v4[i[1]], books.v4[i[2]], books.v4[i[3]]);
      } else {
        uint8_t i;
        if (!r.ReadU8(i)) return false;
        painter.V1(x, y, books.v1[i]);
      }
    }
  }
  return true;
}

}  // namespace

struct CinepakDecoder::Books {
  std::vector<StripBooks> strips;
};

CinepakDecoder::CinepakDecoder() : books_(new Books) {}
CinepakDecoder::~CinepakDecoder() = default;

DecodeResult CinepakDecoder::Decode(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame) {
  qtf::ByteReader r(data, size);
  uint8_t flags, lengthHigh;
  uint16_t lengthLow, width, height, strips;
  if (!r.ReadU8(flags) || !r.ReadU8(lengthHigh) || !r.ReadU16(lengthLow) || !r.ReadU16(width) ||
      !r.ReadU16(height) || !r.ReadU16(strips))
    return DecodeResult::Damaged;
  // Writers may pad a sample: its own length says where the picture ends.
  size_t length = (size_t(lengthHigh) << 16) | lengthLow;
  if (length >= 10 && length < size) r = qtf::ByteReader(data + 10, length - 10);

  bool damaged = false;
  std::vector<StripBooks>& books = books_->strips;
  int y = 0;
  for (size_t s = 0; s < strips; ++s) {
    if (s >= kMaxStrips) return DecodeResult::Damaged;
    if (books.size() <= s) books.resize(s + 1);  // new code books start black
    uint16_t id, stripSize, top, left, bottom, right;
    if (!r.ReadU16(id) || !r.ReadU16(stripSize) || !r.ReadU16(top) || !r.ReadU16(left) || !r.ReadU16(bottom) ||
        !r.ReadU16(right) || stripSize < 12)
      return DecodeResult::Damaged;
    qtf::ByteReader body;
    if (!r.Sub(stripSize - 12u, body)) {  // cut short: draw what is there
      damaged = true;
      (void)r.Sub(r.Remaining(), body);
    }
    if (s > 0 && !(flags & 1)) books[s] = books[s - 1];
    const int stripTop = y;
    y = std::min<int>(y + std::max(0, int(bottom) - int(top)), frame.height);

    while (body.Remaining() >= 4) {
      uint16_t chunkId = 0, chunkSize = 0;
      (void)body.ReadU16(chunkId);  // four bytes remain
      (void)body.ReadU16(chunkSize);
      qtf::ByteReader chunk;
      if (chunkSize < 4) return DecodeResult::Damaged;
      if (!body.Sub(chunkSize - 4u, chunk)) {
        damaged = true;
        (void)body.Sub(body.Remaining(), chunk);
      }
      if ((chunkId & 0xF800) == 0x2000) {
        ReadBook(chunk, chunkId, info, (chunkId & 0x0200) ? books[s].v1 : books[s].v4);
        continue;
      }
      Coding coding;
      switch (chunkId & 0xFF00) {
        case 0x3000: coding = Coding::Intra; break;
        case 0x3100: coding = Coding::Inter; break;
        case 0x3200: coding = Coding::V1Only; break;
        default: continue;  // a chunk we do not know is skipped by its size
      }
      if (!DrawBlocks(chunk, coding, books[s], stripTop, y, frame)) damaged = true;
    }
  }
  return damaged ? DecodeResult::Damaged : DecodeResult::Ok;
}

}  // namespace qtc
