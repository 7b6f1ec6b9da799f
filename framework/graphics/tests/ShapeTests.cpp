#include "CP_Canvas.h"
#include "CP_Shape.h"
#include "DibSurface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kInk = RGB(0, 0, 0);

struct Pixel {
  int x, y;
  bool drawn;
};

TEST(LineTest, EndPointsAreDrawnAndThickPensHangByHalfTheirWidth) {
  struct Case {
    const char* name;
    int16_t width;
    int16_t x1, y1, x2, y2;
    std::vector<Pixel> pixels;
  };
  const Case cases[] = {
      {"a point", 1, 5, 5, 5, 5, {{5, 5, true}, {6, 5, false}, {4, 5, false}}},
      {"horizontal", 1, 2, 3, 10, 3, {{2, 3, true}, {10, 3, true}, {11, 3, false}, {1, 3, false}}},
      {"horizontal, leftwards", 1, 10, 3, 2, 3, {{2, 3, true}, {1, 3, false}}},
      {"vertical, upwards", 1, 4, 12, 4, 2, {{4, 2, true}, {4, 12, true}, {4, 1, false}}},
      {"diagonal", 1, 1, 1, 6, 6, {{1, 1, true}, {6, 6, true}, {7, 7, false}}},
      {"diagonal, up and right", 1, 1, 8, 5, 4, {{5, 4, true}, {6, 3, false}}},
      // Not extended: GDI leaves out the last pixel.
      {"other slope", 1, 0, 0, 10, 3, {{0, 0, true}, {10, 3, false}}},
      // Drawn from (-1, -1) to (10, -1): three rows centred on -1.
      {"3-pixel pen", 3, 0, 0, 10, 0, {{0, 0, true}, {9, 0, true}, {5, 1, false}}},
  };
  for (const Case& c : cases) {
    kxtest::DibSurface surface(16, 16);
    CP_Canvas canvas;
    canvas.AttachDC(surface.DC());
    canvas.BeginDrawing(nullptr, nullptr);
    canvas.GetPen().SetWidth(c.width);
    CP_ImgShape_Line line(&canvas);
    line.DrawLine(c.x1, c.y1, c.x2, c.y2);
    POINT at = {};
    GetCurrentPositionEx(surface.DC(), &at);
    EXPECT_EQ(c.x2, at.x) << c.name;
    EXPECT_EQ(c.y2, at.y) << c.name;
    canvas.EndDrawing();
    for (const Pixel& p : c.pixels)
      EXPECT_EQ(p.drawn, surface.Pixel(p.x, p.y) == kInk) << c.name << " at " << p.x << "," << p.y;
  }
}

TEST(LineTest, ShapeBoundsDefaultToEmpty) {
  CP_Canvas canvas;
  CP_ImageableShape shape(&canvas);
  EXPECT_EQ(gEmptyRect, shape.GetBounds());
  CP_ImageableShape bounded(&canvas, CP_Rect(1, 2, 3, 4));
  EXPECT_EQ(CP_Rect(1, 2, 3, 4), bounded.GetBounds());
  EXPECT_EQ(&canvas, bounded.GetCanvas());
}

}  // namespace
