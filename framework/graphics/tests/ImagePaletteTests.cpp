#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_ImagePalette.h"
#include "DibSurface.h"

#include <gtest/gtest.h>

namespace {

TEST(ImagePaletteTest, EntriesFromTheBitmapsOwnColourTable) {
  struct Case {
    const char* name;
    int16_t id;
    bool hasBitmap;
    int16_t count;
    CP_Size extent;
  };
  const Case cases[] = {
      {"8 bits, colours-used 0", 202, true, 256, CP_Size(4, 2)},
      {"24 bits", 200, true, 0, CP_Size(8, 6)},
      {"1 bit", 201, true, 2, CP_Size(8, 8)},
      // Cut at the resource's end: 2 table entries and 4 bytes of pixels.
      {"colours-used past the resource's end", 203, true, 3, CP_Size(8, 1)},
      {"missing", 999, false, 0, CP_Size()},
  };
  for (const Case& c : cases) {
    CP_ImagePalette palette(c.id);
    EXPECT_EQ(c.hasBitmap, palette.HasBitmap()) << c.name;
    EXPECT_EQ(c.count, palette.CountEntries()) << c.name;
    EXPECT_EQ(c.extent, palette.GetExtent()) << c.name;
    if (c.count > 0) {
      EXPECT_NE(nullptr, palette.GetHandle()) << c.name;
    }
  }

  CP_ImagePalette ramp(202);
  PALETTEENTRY entries[3] = {};
  ASSERT_EQ(3u, GetPaletteEntries(ramp.GetHandle(), 0, 3, entries));
  EXPECT_EQ(0, entries[0].peRed);
  EXPECT_EQ(255, entries[1].peRed);  // entry 1 of the fixture is red
  EXPECT_EQ(0, entries[1].peGreen);
  EXPECT_EQ(2, entries[2].peBlue);
}

TEST(ImagePaletteTest, DrawingStretchesTheWholeBitmap) {
  kxtest::DibSurface surface(32, 32);
  SetStretchBltMode(surface.DC(), BLACKONWHITE);
  CP_Canvas canvas;
  canvas.AttachDC(surface.DC());
  HGDIOBJ stockPalette = GetCurrentObject(surface.DC(), OBJ_PAL);

  CP_ImagePalette ramp(202);
  DrawImageResource(&canvas, 202, ramp.GetHandle(), 8, 4);  // twice its size
  EXPECT_EQ(COLORONCOLOR, GetStretchBltMode(surface.DC()));
  EXPECT_EQ(stockPalette, GetCurrentObject(surface.DC(), OBJ_PAL));
  EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(1, 1));
  EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(2, 0));
  EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(3, 1));
  EXPECT_EQ(RGB(7, 7, 7), surface.Pixel(7, 3));
  EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(8, 0));

  DrawImageResource(&canvas, 200, nullptr, 4, 3);  // half its size
  EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(0, 0));
  EXPECT_EQ(RGB(255, 255, 0), surface.Pixel(3, 2));
  DrawImageResource(&canvas, 999, nullptr, 32, 32);  // missing: nothing
  EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(20, 20));
}

}  // namespace
