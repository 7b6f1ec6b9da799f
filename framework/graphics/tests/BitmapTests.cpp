#include "CP_Bitmap.h"
#include "CP_Exception.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(BitmapTest, RowBytesArePaddedToFour) {
  struct Case {
    int16_t width, depth;
    int32_t rowBytes;
  };
  const Case cases[] = {{9, 1, 4}, {5, 24, 16}, {1, 1, 4}, {32, 1, 4}, {33, 1, 8},
                        {3, 4, 4}, {9, 4, 8}, {4, 8, 4}, {5, 8, 8}, {3, 16, 8}, {2, 32, 8}};
  for (const Case& c : cases)
    EXPECT_EQ(c.rowBytes, CP_Bitmap(c.width, 2, c.depth).GetRowBytes()) << c.width << "x" << c.depth;
}

TEST(BitmapTest, PixelTableAt24Bits) {
  CP_Bitmap bitmap(5, 2, 24);
  uint8_t* bits = bitmap.GetBits();
  // Row 1: pixel 1 is blue 0x10, green 0x20, red 0x30; pixel 5 at bytes 12-14.
  bits[0] = 0x10, bits[1] = 0x20, bits[2] = 0x30;
  bits[12] = 0xFF, bits[13] = 0x00, bits[14] = 0x80;
  // Row 2 starts after the 16 bytes of row 1.
  bits[16] = 0x01, bits[17] = 0x02, bits[18] = 0x03;
  struct Case {
    int16_t x, y;
    CP_RGBColor want;
  };
  const Case cases[] = {
      {1, 1, {0x3030, 0x2020, 0x1010}},
      {5, 1, {0x8080, 0x0000, 0xFFFF}},
      {1, 2, {0x0303, 0x0202, 0x0101}},
      {2, 2, {0, 0, 0}},
      // Outside the bitmap: black, nothing read.
      {0, 1, {0, 0, 0}}, {6, 1, {0, 0, 0}}, {1, 3, {0, 0, 0}}, {-1, -1, {0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, bitmap.GetPixelColor(c.x, c.y)) << c.x << "," << c.y;
}

TEST(BitmapTest, PixelTableAt4BitsThroughThePalette) {
  RGBQUAD table[16] = {};
  for (int i = 0; i < 16; ++i) table[i] = RGBQUAD{BYTE(i), BYTE(i * 2), BYTE(i * 16), 0};  // blue, green, red
  CP_Bitmap bitmap(3, 2, 4);
  bitmap.SetPalette(std::make_unique<CP_Palette>(table, 16));
  bitmap.SetPixelValue(1, 1, 0x5);   // high half of byte 0
  bitmap.SetPixelValue(2, 1, 0xA);   // low half of byte 0
  bitmap.SetPixelValue(3, 1, 0x1F);  // only the low 4 bits
  bitmap.SetPixelValue(4, 1, 0x7);   // outside: nothing
  bitmap.SetPixelValue(3, 3, 0x7);
  EXPECT_EQ(0x5A, bitmap.GetBits()[0]);
  EXPECT_EQ(0xF0, bitmap.GetBits()[1]);
  EXPECT_EQ(0x00, bitmap.GetBits()[2]);
  struct Case {
    int16_t x, y;
    BYTE entry;  // colour table entry, 0-based
  };
  const Case cases[] = {{1, 1, 5}, {2, 1, 10}, {3, 1, 15}, {1, 2, 0}};
  for (const Case& c : cases) {
    const RGBQUAD& q = table[c.entry];
    EXPECT_EQ(CP_RGBColor(q.rgbRed * 257, q.rgbGreen * 257, q.rgbBlue * 257), bitmap.GetPixelColor(c.x, c.y))
        << c.x << "," << c.y;
  }
  EXPECT_EQ(CP_RGBColor(), bitmap.GetPixelColor(4, 1));
  // Without a palette every entry reads black.
  CP_Bitmap bare(2, 1, 4);
  bare.SetPixelValue(1, 1, 3);
  EXPECT_EQ(CP_RGBColor(), bare.GetPixelColor(1, 1));
}

TEST(BitmapTest, OtherDepths) {
  CP_Bitmap one(9, 1, 1);
  one.SetPixelValue(1, 1, 1);
  one.SetPixelValue(9, 1, 5);
  one.SetPixelValue(1, 1, 0);
  one.SetPixelValue(2, 1, 1);
  EXPECT_EQ(0x40, one.GetBits()[0]);  // most significant bit first
  EXPECT_EQ(0x80, one.GetBits()[1]);
  EXPECT_EQ(CP_RGBColor(), one.GetPixelColor(2, 1));

  CP_Bitmap sixteen(1, 1, 16);
  sixteen.GetBits()[0] = 0x1F;  // blue 31
  sixteen.GetBits()[1] = 0x7C;  // red 31
  EXPECT_EQ(CP_RGBColor(0xFFFF, 0, 0xFFFF), sixteen.GetPixelColor(1, 1));
  sixteen.GetBits()[0] = 0x01;
  sixteen.GetBits()[1] = 0x00;
  EXPECT_EQ(CP_RGBColor(0, 0, 0x0842), sixteen.GetPixelColor(1, 1));
  sixteen.SetPixelValue(1, 1, 0xFF);  // not a depth that takes values
  EXPECT_EQ(0x01, sixteen.GetBits()[0]);

  CP_Bitmap wide(2, 1, 32);
  wide.SetPixel32(2, 1, 0x00112233);
  wide.SetPixel32(3, 1, 0xFFFFFFFF);
  EXPECT_EQ(CP_RGBColor(0x1111, 0x2222, 0x3333), wide.GetPixelColor(2, 1));
  CP_Bitmap eight(2, 1, 8);
  eight.SetPixel32(1, 1, 0xFF);  // depth 32 only
  eight.SetPixelValue(2, 1, 0x1FE);
  EXPECT_EQ(0, eight.GetBits()[0]);
  EXPECT_EQ(0xFE, eight.GetBits()[1]);
}

TEST(PaletteTest, ColourCountsAndEntries) {
  struct Case {
    int16_t depth, count;
  };
  const Case cases[] = {{1, 2}, {2, 4}, {4, 16}, {8, 256}};
  for (const Case& c : cases) EXPECT_EQ(c.count, CP_Palette::ColorCountForDepth(c.depth)) << c.depth;
  for (int16_t depth : {0, 3, 16, 24, 32}) {
    try {
      CP_Palette::ColorCountForDepth(depth);
      ADD_FAILURE() << depth;
    } catch (const CP_PlfrmErrorException& e) {
      EXPECT_EQ(-50, e.GetErrorCode()) << depth;
      EXPECT_EQ(191, e.GetLine());
    }
  }

  const RGBQUAD table[2] = {{0x01, 0x02, 0x03, 0}, {0xFF, 0x80, 0x00, 0}};
  CP_Palette palette(table, 2);
  ASSERT_NE(nullptr, palette.GetHandle());
  EXPECT_EQ(CP_RGBColor(0x0303, 0x0202, 0x0101), palette.GetColor(1));
  EXPECT_EQ(CP_RGBColor(0x0000, 0x8080, 0xFFFF), palette.GetColor(2));
  EXPECT_EQ(CP_RGBColor(), palette.GetColor(0));
  EXPECT_EQ(CP_RGBColor(), palette.GetColor(3));
  EXPECT_EQ(CP_RGBColor(), CP_Palette().GetColor(1));  // no handle
}

}  // namespace
