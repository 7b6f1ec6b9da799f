#include "CP_Canvas.h"
#include "CP_Pen.h"
#include "CP_Picture.h"
#include "DibSurface.h"

#include <gtest/gtest.h>

namespace {

constexpr int16_t kPicture = 200;  // 8 x 6: red | green over blue | yellow
constexpr int16_t kChecker = 201;
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kYellow = RGB(255, 255, 0), kWhite = RGB(255, 255, 255);

TEST(PictureTest, OwnSizeIsCopiedOtherSizesStretch) {
  CP_Picture picture(kPicture);
  EXPECT_EQ(8, picture.GetWidth());
  EXPECT_EQ(6, picture.GetHeight());

  struct Case {
    const char* name;
    CP_Rect rect;
    int stretchMode;  // after drawing
    int left, top, right, bottom;  // the corners that must be painted
  };
  const Case cases[] = {
      {"empty rect: own size at 0, 0", gEmptyRect, BLACKONWHITE, 0, 0, 7, 5},
      {"own size elsewhere", CP_Rect(10, 20, 18, 26), BLACKONWHITE, 10, 20, 17, 25},
      {"twice the size", CP_Rect(4, 4, 20, 16), COLORONCOLOR, 4, 4, 19, 15},
  };
  for (const Case& c : cases) {
    kxtest::DibSurface surface(32, 32);
    SetStretchBltMode(surface.DC(), BLACKONWHITE);
    CP_Canvas canvas;
    canvas.AttachDC(surface.DC());
    picture.Draw(&canvas, c.rect);
    EXPECT_EQ(c.stretchMode, GetStretchBltMode(surface.DC())) << c.name;
    EXPECT_EQ(kRed, surface.Pixel(c.left, c.top)) << c.name;
    EXPECT_EQ(kGreen, surface.Pixel(c.right, c.top)) << c.name;
    EXPECT_EQ(kBlue, surface.Pixel(c.left, c.bottom)) << c.name;
    EXPECT_EQ(kYellow, surface.Pixel(c.right, c.bottom)) << c.name;
    EXPECT_EQ(kWhite, surface.Pixel(c.right + 1, c.bottom + 1)) << c.name;
    EXPECT_EQ(kWhite, surface.Pixel(c.left - 1, c.top)) << c.name;
  }
}

TEST(PictureTest, MissingBitmapDrawsNothing) {
  CP_Picture picture(999);
  EXPECT_EQ(nullptr, picture.GetBitmap());
  EXPECT_EQ(0, picture.GetWidth());
  kxtest::DibSurface surface(8, 8);
  CP_Canvas canvas;
  canvas.AttachDC(surface.DC());
  picture.Draw(&canvas, CP_Rect(0, 0, 8, 8));
  EXPECT_EQ(kWhite, surface.Pixel(0, 0));
}

TEST(PictureTest, SecondHandleIsOwned) {
  HBRUSH first = CreateSolidBrush(kRed);
  HBRUSH second = CreateSolidBrush(kBlue);
  {
    CP_Picture picture(kPicture);
    EXPECT_EQ(nullptr, picture.GetSecondHandle()) << "none unless set";
    picture.AdoptSecondHandle(first);
    picture.AdoptSecondHandle(first);
    EXPECT_NE(0u, GetObjectType(first)) << "giving it again keeps it";
    picture.AdoptSecondHandle(second);
    EXPECT_EQ(0u, GetObjectType(first)) << "the former handle is deleted";
    EXPECT_EQ(second, picture.GetSecondHandle());
    EXPECT_NE(0u, GetObjectType(second));
  }
  EXPECT_EQ(0u, GetObjectType(second)) << "deleted with the picture";
}

TEST(PatternTest, BrushFromABitmapResource) {
  CP_Pattern missing(999);
  EXPECT_EQ(nullptr, missing.GetHandle());

  CP_Pattern pattern(kChecker);
  ASSERT_NE(nullptr, pattern.GetHandle());
  kxtest::DibSurface surface(8, 8);
  RECT all = {0, 0, 8, 8};
  FillRect(surface.DC(), &all, pattern.GetHandle());
  EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(0, 0));
  EXPECT_EQ(kWhite, surface.Pixel(1, 0));
  EXPECT_EQ(kWhite, surface.Pixel(0, 1));
  EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(1, 1));
}

TEST(PatternTest, CanvasBrushWithAPatternBitmap) {
  HBITMAP checker = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kChecker));
  ASSERT_NE(nullptr, checker);
  kxtest::DibSurface surface(8, 8);
  CP_Canvas canvas;
  canvas.AttachDC(surface.DC());
  canvas.BeginDrawing(nullptr, nullptr);
  canvas.GetBrush().SetPatternBitmap(checker);
  PatBlt(surface.DC(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(2, 2));
  EXPECT_EQ(kWhite, surface.Pixel(3, 2));
  canvas.EndDrawing();
  DeleteObject(checker);
}

}  // namespace
