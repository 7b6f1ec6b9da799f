#include "CP_RGBColor.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ColorTest, ToPaletteColorRefKeepsTheHighByteOfEachChannel) {
  struct Case {
    CP_RGBColor color;
    COLORREF want;
  };
  const Case cases[] = {
      {{0xFFFF, 0x8000, 0x00FF}, 0x020080FF},  // blue keeps only its high byte, 0
      {{0xFF00, 0xFF00, 0xFF00}, 0x02FFFFFF},
      {{0, 0, 0}, 0x02000000},
      {{0x1234, 0x5678, 0x9ABC}, 0x029A5612},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, c.color.ToPaletteColorRef()) << std::hex << c.want;
}

TEST(ColorTest, FromColorRefPutsEachByteInTheHighHalf) {
  struct Case {
    COLORREF ref;
    uint16_t red, green, blue;
  };
  const Case cases[] = {
      {0x00FFFFFF, 0xFF00, 0xFF00, 0xFF00},  // Windows white is not 0xFFFF
      {0x00102030, 0x3000, 0x2000, 0x1000},
      {0x02102030, 0x3000, 0x2000, 0x1000},  // the palette flag byte is dropped
  };
  for (const Case& c : cases) {
    CP_RGBColor color(c.ref);
    EXPECT_EQ(c.red, color.GetRed()) << std::hex << c.ref;
    EXPECT_EQ(c.green, color.GetGreen()) << std::hex << c.ref;
    EXPECT_EQ(c.blue, color.GetBlue()) << std::hex << c.ref;
    CP_RGBColor set;
    set.SetColorRef(c.ref);
    EXPECT_EQ(color, set);
  }
  EXPECT_EQ(COLORREF(0x02FFFFFF), CP_RGBColor(COLORREF(0x00FFFFFF)).ToPaletteColorRef());
}

TEST(ColorTest, LightenMovesHalfWayToWhite) {
  struct Case {
    uint16_t before, after;
  };
  const Case cases[] = {{0x0000, 0x7FFF}, {0x8000, 0xBFFF}, {0xFFFF, 0xFFFF}};
  for (const Case& c : cases) {
    CP_RGBColor color(c.before, c.before, c.before);
    color.Lighten();
    EXPECT_EQ(CP_RGBColor(c.after, c.after, c.after), color) << std::hex << c.before;
  }
}

TEST(ColorTest, DefaultIsBlackAndSetAnswersTheColour) {
  CP_RGBColor color;
  EXPECT_EQ(CP_RGBColor::Black, color);
  EXPECT_EQ(&color, &color.Set(1, 2, 3));
  EXPECT_EQ(CP_RGBColor(1, 2, 3), color);
  EXPECT_EQ(CP_RGBColor(0xFFFF, 0xFFFF, 0xFFFF), CP_RGBColor::White);
  EXPECT_EQ(CP_RGBColor(0xC000, 0xC000, 0xC000), CP_RGBColor::LightGrey);
}

TEST(ColorTest, GreyLevelsAreFourteenGreysWithout3333) {
  const uint16_t want[] = {0xFFFF, 0x0000, 0xEEEE, 0xDDDD, 0xCCCC, 0xBBBB, 0xAAAA,
                           0x9999, 0x8888, 0x7777, 0x6666, 0x5555, 0x4444, 0x2222};
  static_assert(sizeof want / sizeof want[0] == kCP_GreyLevelCount, "fourteen levels");
  for (int i = 0; i < kCP_GreyLevelCount; ++i) {
    EXPECT_EQ(CP_RGBColor(want[i], want[i], want[i]), CP_GreyLevels[i]) << i;
    EXPECT_NE(0x3333, CP_GreyLevels[i].GetRed());
  }
}

TEST(ColorTest, SystemColorIsWidenedLikeAColorRef) {
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  EXPECT_EQ(CP_RGBColor(window), GetSystemColor(COLOR_WINDOW));
}

}  // namespace
