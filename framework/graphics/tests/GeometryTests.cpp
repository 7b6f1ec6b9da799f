#include "CP_Geometry.h"
#include "CP_Region.h"

#include <gtest/gtest.h>

namespace {

TEST(GeometryTest, RectIsStoredTopLeftBottomRightAndConvertsBack) {
  CP_Rect r(10, 20, 30, 40);
  EXPECT_EQ(20, r.top);
  EXPECT_EQ(10, r.left);
  EXPECT_EQ(40, r.bottom);
  EXPECT_EQ(30, r.right);
  RECT w = r.ToRECT();
  EXPECT_EQ(10, w.left);
  EXPECT_EQ(20, w.top);
  EXPECT_EQ(30, w.right);
  EXPECT_EQ(40, w.bottom);
  RECT out;
  EXPECT_EQ(&out, r.ToRECTCopy(out));
  EXPECT_EQ(40, out.bottom);
}

TEST(GeometryTest, PlatformValuesAreCutToTheirLow16Bits) {
  struct Case {
    int32_t value;
    int16_t want;
  };
  const Case cases[] = {
      {70000, 4464}, {-5, -5}, {32768, -32768}, {65535, -1}, {-65536, 0},
  };
  for (const Case& c : cases) {
    CP_Rect r(RECT{c.value, c.value, c.value, c.value});
    EXPECT_EQ(c.want, r.left) << c.value;
    EXPECT_EQ(c.want, r.bottom) << c.value;
    EXPECT_EQ(c.want, CP_Point(c.value, c.value).h) << c.value;
    EXPECT_EQ(c.want, CP_Size(c.value, c.value).height) << c.value;
    // Back to the platform the 16-bit value is sign-extended.
    EXPECT_EQ(LONG(c.want), r.ToRECT().right) << c.value;
  }
}

TEST(GeometryTest, PointTakesHThenVAndOperatorsLeaveOperands) {
  CP_Point p(3, 4);
  EXPECT_EQ(3, p.h);
  EXPECT_EQ(4, p.v);
  POINT w = p.ToPOINT();
  EXPECT_EQ(3, w.x);
  EXPECT_EQ(4, w.y);

  const CP_Point a(1, 2), b(10, 20);
  EXPECT_EQ(CP_Point(11, 22), a + b);
  EXPECT_EQ(CP_Point(-9, -18), a - b);
  EXPECT_EQ(CP_Point(1, 2), a);
  EXPECT_EQ(CP_Point(10, 20), b);
  CP_Point c = a;
  c += b;
  c.Offset(-1, 1);
  EXPECT_EQ(CP_Point(10, 23), c);
}

TEST(GeometryTest, InsetOffsetAndContainsPoint) {
  CP_Rect r(0, 0, 10, 10);
  r.Inset(-2, -2);
  EXPECT_EQ(CP_Rect(-2, -2, 12, 12), r);
  r.Inset(2, 3);
  EXPECT_EQ(CP_Rect(0, 1, 10, 9), r);
  r.Offset(5, -1);
  EXPECT_EQ(CP_Rect(5, 0, 15, 8), r);

  struct Case {
    CP_Point point;
    bool inside;
  };
  const CP_Rect square(0, 0, 10, 10);
  const Case cases[] = {
      {{10, 10}, true},  // the right and bottom edges count as inside
      {{0, 0}, true},   {{5, 5}, true},   {{11, 5}, false},
      {{5, 11}, false}, {{-1, 5}, false}, {{5, -1}, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.inside, square.ContainsPoint(c.point)) << c.point.h << "," << c.point.v;
}

TEST(GeometryTest, ReversedRectIsKeptAndContainsNothing) {
  CP_Rect r(10, 10, 0, 0);
  EXPECT_EQ(10, r.left);
  EXPECT_EQ(0, r.right);
  for (int16_t i = -1; i <= 11; ++i) EXPECT_FALSE(r.ContainsPoint(CP_Point(i, i))) << i;
}

TEST(GeometryTest, ClipOfARectDoesNotLimitDrawing) {
  // The clip's hooks are empty: what is drawn outside its rectangle stays.
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 20;
  info.bmiHeader.biHeight = -20;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  {
    CP_Clip clip(CP_Rect(0, 0, 5, 5));
    clip.IntersectRect(CP_Rect(2, 2, 10, 10));
    EXPECT_EQ(CP_Rect(2, 2, 5, 5), clip.GetRegion().GetBounds());
    clip.Init();
    clip.Apply();
    SetPixelV(dc, 15, 15, RGB(255, 0, 0));
    clip.Release();
  }
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 15, 15));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

}  // namespace
