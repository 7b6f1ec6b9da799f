// The decoders on small hand-made samples: pixel formats and colour tables,
// the codes of each codec, and damaged input.
#include "Codecs.h"
#include "Decoder.h"
#include "SoundDecoder.h"
#include "TestFilms.h"

#include <gtest/gtest.h>

using namespace codectest;
using qtc::DecodeResult;
using Pixels = std::vector<uint32_t>;

namespace {

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
Bytes U16(uint16_t v) { return {uint8_t(v >> 8), uint8_t(v)}; }
Bytes U32(uint32_t v) { return Cat({U16(uint16_t(v >> 16)), U16(uint16_t(v))}); }
Bytes Repeat(const Bytes& b, size_t n) {
  Bytes out;
  for (size_t i = 0; i < n; ++i) out.insert(out.end(), b.begin(), b.end());
  return out;
}

TEST(RawVideo, EveryPixelFormatAndColourTable) {
  struct Case {
    const char* name;
    uint16_t depth;
    std::vector<uint32_t> colours;  // the description's table; empty: none
    Bytes row;
    Pixels want;
  };
  const Case kCases[] = {
      {"8 bits, own table", 8, {0x102030, 0x405060, 0x708090}, {2, 0, 1, 2}, {0x708090, 0x102030, 0x405060, 0x708090}},
      {"8 bits, short table: the rest standard", 8, {0x123456}, {0, 1}, {0x123456, 0xFFFFCC}},
      // The standard 256: a cube from white, then red, green, blue and gray ramps, then black.
      {"8 bits, standard", 8, {}, {0, 1, 35, 214, 215, 225, 235, 254, 255},
       {0xFFFFFF, 0xFFFFCC, 0xFF0000, 0x000033, 0xEE0000, 0x00EE00, 0x0000EE, 0x111111, 0x000000}},
      {"4 bits, standard", 4, {}, {0x1F, 0x6C}, {0xFCF305, 0x000000, 0x0000D4, 0xC0C0C0}},
      {"2 bits, standard", 2, {}, {0x1B}, {0xFFFFFF, 0xACACAC, 0x555555, 0x000000}},
      {"1 bit, most significant first", 1, {}, {0xA0}, {0x000000, 0xFFFFFF, 0x000000}},
      {"1 bit, own table", 1, {0xFF0000, 0x00FF00}, {0x40}, {0xFF0000, 0x00FF00}},
      {"8-bit gray: white is 0", 40, {}, {0, 255, 128}, {0xFFFFFF, 0x000000, 0x7F7F7F}},
      {"4-bit gray", 36, {}, {0x0F, 0x80}, {0xFFFFFF, 0x000000, 0x777777, 0xFFFFFF}},
      {"2-bit gray", 34, {}, {0x6C}, {0xAAAAAA, 0x555555, 0x000000, 0xFFFFFF}},
      {"16 bits, x1r5g5b5 widened by repeating top bits", 16, {},
       {0x7C, 0x00, 0x03, 0xE0, 0x00, 0x1F, 0xC2, 0x10}, {0xFF0000, 0x00FF00, 0x0000FF, 0x848484}},
      {"24 bits", 24, {}, {1, 2, 3, 0xFE, 0x80, 0x00}, {0x010203, 0xFE8000}},
      {"32 bits, alpha not shown", 32, {}, {0x00, 1, 2, 3, 0xFF, 4, 5, 6}, {0x010203, 0x040506}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    qtc::VideoDecoder d(VideoDescription("raw ", uint16_t(c.want.size()), 1, c.depth, c.colours));
    ASSERT_TRUE(d.Supported());
    qtc::Frame frame;
    EXPECT_EQ(DecodeResult::Ok, d.Decode(c.row.data(), c.row.size(), frame));
    EXPECT_EQ(c.want, frame.pixels);
  }
}

TEST(RawVideo, PaddedRowsAndShortSamples) {
  qtc::VideoDecoder d(VideoDescription("raw ", 3, 2, 24));
  qtc::Frame frame;
  // Rows of 9 bytes padded to 10: the sample divides into two taller rows.
  Bytes padded = Cat({Repeat({0x11, 0x22, 0x33}, 3), {0}, Repeat({0x44, 0x55, 0x66}, 3), {0}});
  EXPECT_EQ(DecodeResult::Ok, d.Decode(padded.data(), padded.size(), frame));
  EXPECT_EQ(Pixels({0x112233, 0x112233, 0x112233, 0x445566, 0x445566, 0x445566}), frame.pixels);
  // One row and a half: the missing row is black, not the older picture.
  Bytes cut = Repeat({0x77, 0x88, 0x99}, 4);
  EXPECT_EQ(DecodeResult::Damaged, d.Decode(cut.data(), cut.size(), frame));
  EXPECT_EQ(Pixels({0x778899, 0x778899, 0x778899, 0, 0, 0}), frame.pixels);
  EXPECT_EQ(DecodeResult::Damaged, d.Decode(nullptr, 0, frame));
  EXPECT_EQ(Pixels(6, 0), frame.pixels);
}

// Rows of every length come out the same whichever way this processor can
// convert them, and nothing past a row's last pixel is read (the sanitizer
// sees to that: each row is a buffer of its own).
TEST(Pixels, RowsAgreeEveryWay) {
  for (const qtc::RowConverters& way : qtc::RowConvertersHere()) {
    SCOPED_TRACE(way.name);
    for (size_t n = 0; n < 40; ++n) {
      SCOPED_TRACE(n);
      Bytes rgb(n * 3), rgba(n * 4);
      for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 37 + n);
      for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = uint8_t(i * 53 + n);
      Pixels out(n);
      way.rgb(rgb.data(), out.data(), n);
      for (size_t x = 0; x < n; ++x) ASSERT_EQ(qtc::Rgb(rgb[3 * x], rgb[3 * x + 1], rgb[3 * x + 2]), out[x]);
      way.rgba(rgba.data(), out.data(), n);
      for (size_t x = 0; x < n; ++x) ASSERT_EQ(qtc::Rgb(rgba[4 * x], rgba[4 * x + 1], rgba[4 * x + 2]), out[x]);
    }
  }
}

TEST(VideoDecoder, UnknownCodecsShowBlackAndOversizeIsRefused) {
  qtc::Frame frame;
  qtc::VideoDecoder mpeg(VideoDescription("mp4v", 5, 3, 24));
  EXPECT_FALSE(mpeg.Supported());
  Bytes sample(100, 0x55);
  EXPECT_EQ(DecodeResult::Unsupported, mpeg.Decode(sample.data(), sample.size(), frame));
  EXPECT_EQ(5, frame.width);
  EXPECT_EQ(3, frame.height);
  EXPECT_EQ(Pixels(15, 0), frame.pixels);

  qtc::VideoDecoder oddDepth(VideoDescription("rle ", 5, 3, 12));
  EXPECT_FALSE(oddDepth.Supported());

  // 60000 x 60000 would be gigabytes: no frame at all.
  qtc::VideoDecoder huge(VideoDescription("raw ", 60000, 60000, 24));
  EXPECT_FALSE(huge.Supported());
  EXPECT_EQ(DecodeResult::Unsupported, huge.Decode(sample.data(), sample.size(), frame));
  EXPECT_EQ(0, frame.width);
  EXPECT_TRUE(frame.pixels.empty());

  qtf::SampleDescription cut = VideoDescription("raw ", 4, 4, 24);
  cut.entry.resize(60);  // ends before the depth
  qtc::VideoDecoder shortDescription(cut);
  EXPECT_FALSE(shortDescription.Supported());
  EXPECT_EQ(DecodeResult::Unsupported, shortDescription.Decode(sample.data(), sample.size(), frame));
}

// 'rle ' at 24 bits over a 4 x 3 picture of 0x111111.
class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Bytes key = Cat({U32(0), U16(0)});
    for (int line = 0; line < 3; ++line) key = Cat({key, {1, uint8_t(-4), 0x11, 0x11, 0x11, 0xFF}});
    ASSERT_EQ(DecodeResult::Ok, decoder.Decode(key.data(), key.size(), frame));
    ASSERT_EQ(Pixels(12, 0x111111), frame.pixels);
  }
  qtc::VideoDecoder decoder{VideoDescription("rle ", 4, 3, 24)};
  qtc::Frame frame;
};

TEST_F(AnimationTest, CodesChangeOnlyWhatTheySay) {
  const uint32_t o = 0x111111, A = 0xAAAAAA, B = 0xBBBBBB;
  struct Case {
    const char* name;
    Bytes sample;
    DecodeResult result;
    Pixels want;
  };
  const Case kCases[] = {
      {"line range: line 1, skip one pixel, copy two", Cat({U32(0), U16(8), U16(1), U16(0), U16(1), U16(0),
                                                            {2, 2, 0xAA, 0xAA, 0xAA, 0xBB, 0xBB, 0xBB, 0xFF}}),
       DecodeResult::Ok, {o, o, o, o, o, A, B, o, o, o, o, o}},
      {"skip code inside a line", Cat({U32(0), U16(8), U16(2), U16(0), U16(1), U16(0),
                                       {1, 1, 0xAA, 0xAA, 0xAA, 0, 3, 1, 0xBB, 0xBB, 0xBB, 0xFF}}),
       DecodeResult::Ok, {o, o, o, o, o, o, o, o, A, o, o, B}},
      {"every line without a range", Cat({U32(0), U16(0), {1, uint8_t(-4), 0xAA, 0xAA, 0xAA, 0xFF},
                                          {3, uint8_t(-2), 0xBB, 0xBB, 0xBB, 0xFF}, {1, 0xFF}}),
       DecodeResult::Ok, {A, A, A, A, o, o, B, B, o, o, o, o}},
      {"a repeat past the row's end is cut there", Cat({U32(0), U16(8), U16(0), U16(0), U16(2), U16(0),
                                                        {2, uint8_t(-100), 0xAA, 0xAA, 0xAA, 0xFF, 1, 0xFF}}),
       DecodeResult::Ok, {o, A, A, A, o, o, o, o, o, o, o, o}},
      {"shorter than 8 bytes: no change", {0, 0, 0, 6, 0, 0}, DecodeResult::Ok, Pixels(12, o)},
      {"lines past the bottom", Cat({U32(0), U16(8), U16(2), U16(0), U16(5), U16(0),
                                     {1, uint8_t(-4), 0xBB, 0xBB, 0xBB, 0xFF}}),
       DecodeResult::Damaged, {o, o, o, o, o, o, o, o, B, B, B, B}},
      {"cut inside a copy: what came before stays", Cat({U32(0), U16(0), {1, 1, 0xAA, 0xAA, 0xAA, 3, 0xBB}}),
       DecodeResult::Damaged, {A, o, o, o, o, o, o, o, o, o, o, o}},
      {"cut inside the line range", Cat({U32(0), U16(8), U16(1)}), DecodeResult::Damaged, Pixels(12, o)},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    SetUp();
    EXPECT_EQ(c.result, decoder.Decode(c.sample.data(), c.sample.size(), frame));
    EXPECT_EQ(c.want, frame.pixels);
  }
}

// At each depth a unit is a fixed number of pixels: skip one unit, then
// repeat one unit twice, on a row of 40.
TEST(Animation, UnitsOfEachDepth) {
  struct Case {
    uint16_t depth;
    Bytes unit;
    size_t pixels;     // per unit
    uint32_t colour;   // of every pixel in the unit
  };
  const Case kCases[] = {
      {1, {0xFF, 0xFF}, 16, 0x000000},
      {2, {0x55, 0x55, 0x55, 0x55}, 16, 0xACACAC},
      {4, {0x66, 0x66, 0x66, 0x66}, 8, 0x0000D4},
      {8, {35, 35, 35, 35}, 4, 0xFF0000},
      {40, {255, 255, 255, 255}, 4, 0x000000},
      {16, {0x7C, 0x00}, 1, 0xFF0000},
      {32, {0, 0x12, 0x34, 0x56}, 1, 0x123456},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.depth);
    qtc::VideoDecoder d(VideoDescription("rle ", 40, 1, c.depth));
    qtc::Frame frame;
    frame.width = 40;
    frame.height = 1;
    frame.pixels.assign(40, 0x777777);  // the previous picture
    Bytes sample = Cat({U32(0), U16(0), {2, uint8_t(-2)}, c.unit, {0xFF}});
    EXPECT_EQ(DecodeResult::Ok, d.Decode(sample.data(), sample.size(), frame));
    for (size_t x = 0; x < 40; ++x) {
      uint32_t want = (x >= c.pixels && x < 3 * c.pixels) ? c.colour : 0x777777;
      ASSERT_EQ(want, frame.pixels[x]) << "pixel " << x;
    }
  }
}

// Cinepak on an 8 x 8 picture (2 x 2 blocks).
Bytes Chunk(uint16_t id, const Bytes& body) { return CinepakChunk(id, body); }
Bytes Strip(uint16_t id, uint16_t height, const Bytes& chunks) { return CinepakStrip(id, 8, height, chunks); }
Bytes CinepakFrame(uint8_t flags, uint16_t height, std::vector<Bytes> strips) {
  return codectest::CinepakFrame(flags, 8, height, strips);
}

// An 8 x 8 picture's pixels from its 16 2x2 cells, row by row.
Pixels Cells(const uint32_t (&cells)[16]) {
  Pixels p(64);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) p[y * 8 + x] = cells[(y / 2) * 4 + x / 2];
  return p;
}

TEST(Cinepak, CodeBooksAndBlocks) {
  qtc::VideoDecoder d(VideoDescription("cvid", 8, 8, 24));
  qtc::Frame frame;
  // V1 entries: gray 10,20,30,40; then y 100 with u = 10, v = -20:
  // r = 100 - 40, g = 100 - 5 + 20, b = 100 + 20.
  const Bytes v1Book = Chunk(0x2200, {10, 20, 30, 40, 0, 0, 100, 100, 100, 100, 10, uint8_t(-20)});
  // Four gray V4 entries, each one level: 50, 60, 70, 80.
  Bytes v4 = {};
  for (uint8_t y : {50, 60, 70, 80}) v4 = Cat({v4, {y, y, y, y, 0, 0}});
  // Blocks: V4 (0,1,2,3), V1 0, V1 1, V4 (3,3,3,3).
  const Bytes intra = Chunk(0x3000, Cat({U32(0x90000000), {0, 1, 2, 3, 0, 1, 3, 3, 3, 3}}));
  Bytes key = CinepakFrame(0, 8, {Strip(0x1000, 8, Cat({v1Book, Chunk(0x2000, v4), intra}))});
  ASSERT_EQ(DecodeResult::Ok, d.Decode(key.data(), key.size(), frame));
  const uint32_t g10 = 0x0A0A0A, g20 = 0x141414, g30 = 0x1E1E1E, g40 = 0x282828, c = 0x3C7378;
  const uint32_t g50 = 0x323232, g60 = 0x3C3C3C, g70 = 0x464646, g80 = 0x505050;
  // V1 doubles each pixel of its entry over the block; V4 takes an entry per quarter.
  EXPECT_EQ(Cells({g50, g60, g10, g20, g70, g80, g30, g40, c, c, g80, g80, c, c, g80, g80}), frame.pixels);

  // Inter: keep block 0, V1 1 over block 1, keep block 2, V4 (0,0,0,0) over
  // block 3; a selective V1 update replaces entry 1 only.
  const Bytes update = Chunk(0x2300, Cat({U32(0x40000000), {200, 200, 200, 200, 0, 0}}));
  const Bytes inter = Chunk(0x3100, Cat({U32(0x4C000000), {1, 0, 0, 0, 0}}));
  Bytes delta = CinepakFrame(0, 8, {Strip(0x1100, 8, Cat({update, inter}))});
  ASSERT_EQ(DecodeResult::Ok, d.Decode(delta.data(), delta.size(), frame));
  const uint32_t w = 0xC8C8C8;
  EXPECT_EQ(Cells({g50, g60, w, w, g70, g80, w, w, c, c, g50, g50, c, c, g50, g50}), frame.pixels);
}

TEST(Cinepak, StripsInheritCodeBooksUnlessFlagged) {
  // Two strips of 4 lines; only the first carries a code book (luma only: 4 bytes).
  const Bytes book = Chunk(0x2600, {90, 90, 90, 90});
  const Bytes allV1 = Chunk(0x3200, {0, 0});
  for (uint8_t flags : {0, 1}) {
    SCOPED_TRACE(int(flags));
    qtc::VideoDecoder d(VideoDescription("cvid", 8, 8, 24));
    qtc::Frame frame;
    Bytes sample = CinepakFrame(flags, 8, {Strip(0x1000, 4, Cat({book, allV1})), Strip(0x1000, 4, allV1)});
    ASSERT_EQ(DecodeResult::Ok, d.Decode(sample.data(), sample.size(), frame));
    EXPECT_EQ(0x5A5A5Au, frame.At(0, 0));
    EXPECT_EQ(flags ? 0u : 0x5A5A5Au, frame.At(7, 7)) << "the second strip's own books start black";
  }
}

TEST(Cinepak, DamagedSamples) {
  const Bytes good = CinepakFrame(0, 8, {Strip(0x1000, 8, Cat({Chunk(0x2600, {90, 90, 90, 90}), Chunk(0x3200, {0, 0, 0, 0})}))});
  struct Case {
    const char* name;
    Bytes sample;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"cut in the frame header", Bytes(good.begin(), good.begin() + 7)},
      {"cut in a strip", Bytes(good.begin(), good.end() - 3)},
      {"strip size below its header", CinepakFrame(0, 8, {Cat({U16(0x1000), U16(4), Bytes(8, 0)})})},
      {"chunk size below its header", CinepakFrame(0, 8, {Strip(0x1000, 8, Cat({U16(0x3200), U16(2), {0, 0}}))})},
      {"too few blocks", CinepakFrame(0, 8, {Strip(0x1000, 8, Chunk(0x3000, U32(0)))})},
  };
  // 65 empty strips: more than any writer makes.
  Bytes many = CinepakFrame(0, 8, {Strip(0x1000, 0, {})});
  many[9] = 65;
  for (int i = 1; i < 65; ++i) many = Cat({many, Strip(0x1000, 0, {})});
  cases.push_back({"too many strips", many});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qtc::VideoDecoder d(VideoDescription("cvid", 8, 8, 24));
    qtc::Frame frame;
    EXPECT_EQ(DecodeResult::Damaged, d.Decode(c.sample.data(), c.sample.size(), frame));
    EXPECT_EQ(64u, frame.pixels.size());
  }
}

// A 16 x 16 JPEG: red on the left, blue on the right.
Bytes RedBlueJpeg() {
  std::vector<uint8_t> rgb(16 * 16 * 3);
  for (int i = 0; i < 256; ++i) {
    bool left = i % 16 < 8;
    rgb[3 * i] = left ? 255 : 0;
    rgb[3 * i + 2] = left ? 0 : 255;
  }
  return EncodeJpeg(16, 16, rgb, 95);
}

bool Near(uint32_t got, uint32_t want) {
  for (int shift : {0, 8, 16})
    if (std::abs(int(got >> shift & 0xFF) - int(want >> shift & 0xFF)) > 12) return false;
  return true;
}

TEST(PhotoJpeg, PicturesPlacedAtTheTopLeft) {
  const Bytes jpeg = RedBlueJpeg();
  struct Case {
    uint16_t width, height;
  };
  for (Case c : {Case{16, 16}, Case{8, 12}, Case{24, 20}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    qtc::VideoDecoder d(VideoDescription("jpeg", c.width, c.height, 24));
    qtc::Frame frame;
    ASSERT_EQ(DecodeResult::Ok, d.Decode(jpeg.data(), jpeg.size(), frame));
    EXPECT_TRUE(Near(frame.At(2, 6), 0xFF0000));
    if (c.width > 13) {
      EXPECT_TRUE(Near(frame.At(13, 6), 0x0000FF));
    }
    if (c.width > 16) {
      EXPECT_EQ(0u, frame.At(c.width - 1, 0)) << "beyond the picture";
    }
    if (c.height > 16) {
      EXPECT_EQ(0u, frame.At(0, c.height - 1));
    }
  }
}

// The offset of a JPEG marker's segment (its 0xFF); the picture must have it.
size_t Segment(const Bytes& jpeg, uint8_t code) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i;
  ADD_FAILURE() << "no segment " << int(code);
  return 0;
}

TEST(PhotoJpeg, DamagedPicturesShowBlack) {
  const Bytes jpeg = RedBlueJpeg();
  struct Case {
    const char* name;
    Bytes sample;
  };
  std::vector<Case> cases = {{"cut short", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 3)},
                             {"nothing after the start", {0xFF, 0xD8}},
                             {"no start", Bytes(jpeg.begin() + 2, jpeg.end())}};
  // The frame header's size (after marker, length and precision) made
  // 65000 x 65000: refused before anything of that size is allocated.
  Bytes huge = jpeg;
  size_t sof = Segment(huge, 0xC0);
  huge[sof + 5] = huge[sof + 7] = 0xFD;
  huge[sof + 6] = huge[sof + 8] = 0xE8;
  cases.push_back({"65000 x 65000", huge});
  // Found by the fuzzer: Huffman code counts adding up past 256 made stb
  // write past its tables.
  Bytes counts = jpeg;
  size_t dht = Segment(counts, 0xC4);
  std::fill(counts.begin() + long(dht) + 5, counts.begin() + long(dht) + 21, 0xFF);
  cases.push_back({"Huffman counts past 256", counts});
  // Also found by the fuzzer: a scan naming a table never defined made stb
  // read past its code limits.
  Bytes undefinedTable = jpeg;
  undefinedTable[Segment(undefinedTable, 0xDA) + 6] = 0x33;
  cases.push_back({"a scan's table undefined", undefinedTable});
  Bytes progressive = jpeg;
  progressive[Segment(progressive, 0xC0) + 1] = 0xC2;
  cases.push_back({"progressive", progressive});
  Bytes segmentPastEnd = jpeg;
  segmentPastEnd[Segment(segmentPastEnd, 0xDB) + 2] = 0x7F;
  cases.push_back({"a segment longer than the picture", segmentPastEnd});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qtc::VideoDecoder d(VideoDescription("jpeg", 16, 16, 24));
    qtc::Frame frame;
    ASSERT_EQ(DecodeResult::Ok, d.Decode(jpeg.data(), jpeg.size(), frame));
    EXPECT_EQ(DecodeResult::Damaged, d.Decode(c.sample.data(), c.sample.size(), frame));
    EXPECT_EQ(Pixels(256, 0), frame.pixels);
  }
}

Bytes FromHex(const std::string& hex) {
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return out;
}

// Found by the fuzzer: scans whose coded data runs out (here the picture's
// only frame header comes after two scans) made stb shift by more than 31
// bits. The picture decodes to something or nothing, without undefined
// behaviour.
TEST(PhotoJpeg, CodedDataRunningOut) {
  const Bytes sample = FromHex(
      "ffd8ffc400c7000002030101010100000000000000000000060507080403020101000202030101000000000000000000"
      "0000060507040801030210000103020401090601031500000001000704fffcffeeedecf9ffb331833474222135140736"
      "75415115b40833b5178284b1a593c4b223646516252432656976635452e472110001020402050708030c090501000000"
      "020103001105041206342114b213b484031200ffda000c03010002110311e60fc947ff00c06e8252c361a1b5c1d1d4a4"
      "5391ffffffffffffff2c62ffc00011080032004203011200021200031200ffda000c03010002110311003f0081011200"
      "021200031200ffda000600000082");
  qtc::VideoDecoder d(VideoDescription("jpeg", 66, 50, 24));
  qtc::Frame frame;
  (void)d.Decode(sample.data(), sample.size(), frame);
  EXPECT_EQ(66u * 50u, frame.pixels.size());
}

TEST(SoundDecoder, FormatsTo16Bits) {
  struct Case {
    const char* format;
    uint16_t channels, bits;
    Bytes bytes;
    std::vector<int16_t> want;
  };
  const Case kCases[] = {
      {"raw ", 1, 8, {0x80, 0xFF, 0x00, 0x81}, {0, 32512, -32768, 256}},
      {"twos", 1, 8, {0x00, 0x7F, 0x80, 0xFF}, {0, 32512, -32768, -256}},
      {"sowt", 1, 8, {0x01}, {256}},
      {"twos", 2, 16, {0x12, 0x34, 0xFF, 0xFE, 0x80}, {0x1234, -2}},  // a cut frame is left out
      {"sowt", 1, 16, {0x34, 0x12, 0x00, 0x80}, {0x1234, -32768}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.format);
    qtc::SoundDecoder d(SoundDescription(c.format, c.channels, c.bits));
    ASSERT_TRUE(d.Supported());
    std::vector<int16_t> out = {7};  // decoding appends
    EXPECT_EQ(c.want.size() / c.channels, d.Decode(c.bytes.data(), c.bytes.size(), out));
    std::vector<int16_t> want = {7};
    want.insert(want.end(), c.want.begin(), c.want.end());
    EXPECT_EQ(want, out);
  }
  struct Refused {
    const char* format;
    uint16_t channels, bits;
  };
  for (Refused c : {Refused{"raw ", 1, 16}, Refused{"twos", 1, 24}, Refused{"MAC3", 1, 8}, Refused{"twos", 0, 16}}) {
    SCOPED_TRACE(c.format);
    qtc::SoundDecoder d(SoundDescription(c.format, c.channels, c.bits));
    EXPECT_FALSE(d.Supported());
    std::vector<int16_t> out;
    Bytes bytes(64, 1);
    EXPECT_EQ(0u, d.Decode(bytes.data(), bytes.size(), out));
    EXPECT_TRUE(out.empty());
  }
}

// An 'ima4' packet: header (predictor's top 9 bits, step index), 32 code bytes.
Bytes ImaPacket(int16_t predictor, uint8_t index, uint8_t codes) {
  return Cat({U16(uint16_t((predictor & 0xFF80) | index)), Bytes(32, codes)});
}

TEST(SoundDecoder, Ima4PacketsAndChannels) {
  qtc::SoundDecoder mono(SoundDescription("ima4", 1, 16));
  ASSERT_EQ(64u, mono.FramesPerPacket());
  ASSERT_EQ(34u, mono.BytesPerPacket());
  std::vector<int16_t> out;
  // Code 0x1 at step index 0 (step 7): each sample adds 7/8 + 7/4 truncated = 1.
  Bytes first = ImaPacket(0, 0, 0x11);
  EXPECT_EQ(64u, mono.Decode(first.data(), first.size(), out));
  EXPECT_EQ(1, out[0]);
  EXPECT_EQ(64, out[63]);
  // The next packet's header agrees with where the first ended (64 has the
  // top bits of 0, index 0): decoding goes on from 64 rather than 0.
  Bytes next = Cat({ImaPacket(0, 0, 0x11), {1, 2, 3}});  // and a cut packet, left out
  EXPECT_EQ(64u, mono.Decode(next.data(), next.size(), out));
  EXPECT_EQ(65, out[64]);
  // A header that disagrees starts afresh from its own predictor.
  Bytes jump = ImaPacket(0x1000, 0, 0x11);
  mono.Decode(jump.data(), jump.size(), out);
  EXPECT_EQ(0x1001, out[128]);

  // Two channels: packets alternate and frames interleave.
  qtc::SoundDecoder stereo(SoundDescription("ima4", 2, 16));
  EXPECT_EQ(68u, stereo.BytesPerPacket());
  Bytes pair = Cat({ImaPacket(0, 0, 0x11), ImaPacket(-0x2000, 0, 0x99)});
  std::vector<int16_t> both;
  EXPECT_EQ(64u, stereo.Decode(pair.data(), pair.size(), both));
  ASSERT_EQ(128u, both.size());
  EXPECT_EQ(1, both[0]);
  EXPECT_EQ(-0x2000 - 1, both[1]);
  EXPECT_EQ(64, both[126]);
  EXPECT_EQ(-0x2000 - 64, both[127]);
}

}  // namespace
