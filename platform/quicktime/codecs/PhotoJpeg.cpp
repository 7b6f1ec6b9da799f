// 'jpeg' (Photo-JPEG): each sample is one baseline JPEG picture, decoded by
// stb_image. A picture of another size than the description's is placed at
// the top left; what it does not cover is black.
//
// stb_image trusts some of what a picture says: a Huffman table whose code
// counts add up past 256 is written past the end of its arrays, and a scan
// may use a table never defined. Each sample's segments are checked first,
// and only the sequential Huffman pictures that Photo-JPEG makes reach stb.
// (stb's sums of coefficients may also overflow; this file is built with
// wrapping arithmetic, so such a picture is only wrong, never undefined.)
#include "Codecs.h"

#include <algorithm>
#include <climits>
#include <cstring>

// Only the JPEG reader, without files and without the shared failure text,
// so that decoders on several threads keep nothing in common.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 4096
#include <stb_image.h>

namespace qtc {

static_assert(STBI_MAX_DIMENSIONS == kMaxFrameSide, "pictures larger than a frame are refused");

namespace {

// Bits 0-3: DC tables 0-3 defined; bits 4-7: AC tables.
using Tables = unsigned;

// The tables of one DHT segment: class and id, 16 code counts adding up to
// at most 256, then that many symbols.
bool HuffmanTablesSound(qtf::ByteReader r, Tables& defined) {
  while (r.Remaining() > 0) {
    uint8_t classAndId;
    if (!r.ReadU8(classAndId) || (classAndId >> 4) > 1 || (classAndId & 15) > 3) return false;
    defined |= 1u << ((classAndId >> 4) * 4 + (classAndId & 15));
    size_t symbols = 0;
    for (int i = 0; i < 16; ++i) {
      uint8_t count;
      if (!r.ReadU8(count)) return false;
      symbols += count;
    }
    if (symbols > 256 || !r.Skip(symbols)) return false;
  }
  return true;
}

// A scan header: its components' DC and AC tables must have been defined.
bool ScanTablesDefined(qtf::ByteReader r, Tables defined) {
  uint8_t components;
  if (!r.ReadU8(components)) return false;
  for (uint8_t i = 0; i < components; ++i) {
    uint8_t id, tables;
    if (!r.ReadU8(id) || !r.ReadU8(tables)) return false;
    unsigned dc = tables >> 4, ac = tables & 15;
    if (dc > 3 || ac > 3 || !(defined & (1u << dc)) || !(defined & (1u << (4 + ac)))) return false;
  }
  return true;
}

// Walks the picture's segments, and the coded data between scans, up to the
// end of the picture: every segment must fit, every Huffman table be sound,
// and the frame be baseline or extended sequential with Huffman coding.
bool SegmentsSound(const uint8_t* data, size_t size) {
  qtf::ByteReader r(data, size);
  uint16_t marker;
  if (!r.ReadU16(marker) || marker != 0xFFD8) return false;
  bool frame = false;
  Tables defined = 0;
  for (;;) {
    // Markers start with 0xFF; coded data between them is skipped quickly.
    const void* next = std::memchr(r.Current(), 0xFF, r.Remaining());
    if (!next) return frame;
    (void)r.Skip(size_t(static_cast<const uint8_t*>(next) - r.Current()) + 1);
    uint8_t code;
    do {
      if (!r.ReadU8(code)) return frame;
    } while (code == 0xFF);  // fill bytes
    if (code == 0x00 || code == 0x01 || (code >= 0xD0 && code <= 0xD7)) continue;  // stuffing, restarts
    if (code == 0xD9) return frame;  // end of picture
    uint16_t length;
    qtf::ByteReader body;
    if (!r.ReadU16(length) || length < 2 || !r.Sub(length - 2u, body)) return false;
    if (code == 0xC4 && !HuffmanTablesSound(body, defined)) return false;
    if (code == 0xDA && !ScanTablesDefined(body, defined)) return false;
    if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC) {
      if (code > 0xC1) return false;  // progressive, lossless or arithmetic
      frame = true;
    }
  }
}

}  // namespace

DecodeResult DecodePhotoJpeg(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame) {
  std::fill(frame.pixels.begin(), frame.pixels.end(), 0);
  if (size == 0 || size > size_t(INT_MAX) || !SegmentsSound(data, size)) return DecodeResult::Damaged;
  int width = 0, height = 0, components = 0;
  // A picture's claimed size is checked against STBI_MAX_DIMENSIONS before
  // anything is allocated for it.
  stbi_uc* rgba = stbi_load_from_memory(data, int(size), &width, &height, &components, 4);
  if (!rgba) return DecodeResult::Damaged;
  const size_t w = std::min<size_t>(size_t(width), info.width), h = std::min<size_t>(size_t(height), info.height);
  for (size_t y = 0; y < h; ++y) {
    RgbaRow(rgba + y * size_t(width) * 4, &frame.pixels[y * info.width], w);
  }
  stbi_image_free(rgba);
  return DecodeResult::Ok;
}

}  // namespace qtc
