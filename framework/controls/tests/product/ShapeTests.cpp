// Rectangles and laid-out text drawn into memory surfaces; text is compared
// with what plain TextOutA draws for the expected line at the expected place.
#include "CP_Canvas.h"
#include "CP_ImgShapes.h"
#include "CP_Pen.h"
#include "DibSurface.h"
#include "FrameworkFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::DibSurface;

constexpr int kWidth = 240;
constexpr int kHeight = 80;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A surface with a canvas drawing on it in the stock GUI font.
class Surface {
 public:
  Surface() {
    SelectObject(dib.DC(), GetStockObject(DEFAULT_GUI_FONT));
    canvas.AttachDC(dib.DC());
    canvas.BeginDrawing(nullptr, nullptr);
  }
  ~Surface() {
    canvas.EndDrawing();
    canvas.DetachDC();
  }
  int Width(const std::string& text) const {
    SIZE size = {};
    GetTextExtentPoint32A(dib.DC(), text.c_str(), int(text.size()), &size);
    return size.cx;
  }
  int LineHeight() const {
    TEXTMETRICA m = {};
    GetTextMetricsA(dib.DC(), &m);
    return m.tmHeight + m.tmExternalLeading;
  }
  // Whether any pixel of the rows [top, bottom) is not white.
  bool InkInRows(int top, int bottom) const {
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (dib.Pixel(x, y) != kWhite) return true;
    return false;
  }
  int RightmostInk(int top, int bottom) const {
    int right = -1;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (dib.Pixel(x, y) != kWhite && x > right) right = x;
    return right;
  }
  bool SameAs(const Surface& other) const {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (dib.Pixel(x, y) != other.dib.Pixel(x, y)) return false;
    return true;
  }
  void TextAt(int x, int y, const std::string& text) {
    SetBkMode(dib.DC(), TRANSPARENT);
    TextOutA(dib.DC(), x, y, text.c_str(), int(text.size()));
  }

  DibSurface dib{kWidth, kHeight};
  CP_Canvas canvas;
};

using ShapeTest = FrameworkTest;

TEST_F(ShapeTest, FittedTextShowsWhatFitsAndIsCentredTopToBottom) {
  struct Case {
    const char* name;
    std::string fitting;  // the width is this text's plus one pixel
    std::string shown;
    int16_t alignment;
  };
  const Case kCases[] = {
      {"everything fits", "Hello world", "Hello world", CP_ImgShape_Text::kLeft},
      {"room for three characters", "Hel", "...", CP_ImgShape_Text::kLeft},
      {"room for two: no dots", "He", "He", CP_ImgShape_Text::kLeft},
      {"right aligned", "Hello w", "Hell...", CP_ImgShape_Text::kRight},
  };
  for (const Case& c : kCases) {
    Surface drawn, expected;
    const int width = drawn.Width(c.fitting) + 1;
    const CP_Rect bounds(10, 10, 10 + width, 50);
    CP_ImgShape_Text(&drawn.canvas, bounds, "Hello world", CP_ImgShape_Text::kFontLineHeight)
        .DrawFitted(c.alignment, 0);
    const int y = 10 + (40 - expected.LineHeight()) / 2;
    const int x = c.alignment == CP_ImgShape_Text::kRight ? 10 + width - expected.Width(c.shown) : 10;
    expected.TextAt(x, y, c.shown);
    EXPECT_TRUE(drawn.SameAs(expected)) << c.name;
  }
}

TEST_F(ShapeTest, JustifiedLinesSpreadTheSpareWidthExceptTheLast) {
  const std::string text = "aa bb cc dd ee ff gg";
  Surface left, justified;
  const int width = left.Width("aa bb cc dd ee ") + left.Width("f");
  const CP_Rect bounds(0, 0, width, kHeight);
  CP_ImgShape_Text(&left.canvas, bounds, text, CP_ImgShape_Text::kFontLineHeight).DrawWrapped(0, 0);
  CP_ImgShape_Text(&justified.canvas, bounds, text, CP_ImgShape_Text::kFontLineHeight)
      .DrawWrapped(CP_ImgShape_Text::kJustified, 0);
  const int line = left.LineHeight();
  ASSERT_TRUE(left.InkInRows(line, 2 * line)) << "two lines";
  EXPECT_FALSE(left.InkInRows(2 * line, kHeight));

  // The trailing space takes its share too: the last word ends short of the
  // right edge.
  EXPECT_GT(justified.RightmostInk(0, line), left.RightmostInk(0, line));
  EXPECT_LT(justified.RightmostInk(0, line), width - 1);
  // Where the last word wraps, the line before it is not justified either;
  // here the second line is the last.
  EXPECT_EQ(left.RightmostInk(line, 2 * line), justified.RightmostInk(line, 2 * line));
}

TEST_F(ShapeTest, WrappedTextStopsAtTheBottomEdge) {
  Surface s;
  const int line = s.LineHeight();
  const std::string text = "aa bb cc";
  const int width = s.Width("aa ") + 2;  // one word a line
  // Room for one and a half lines: the second starts above the bottom edge
  // and is drawn, the third would start below it.
  CP_ImgShape_Text(&s.canvas, CP_Rect(0, 0, width, line + line / 2), text, CP_ImgShape_Text::kFontLineHeight)
      .DrawWrapped(0, 0);
  EXPECT_TRUE(s.InkInRows(line, 2 * line));
  EXPECT_FALSE(s.InkInRows(2 * line, kHeight));
}

TEST_F(ShapeTest, WrappedTextIsPlacedAtTheBottomByItsLineCount) {
  Surface s;
  const int width = s.Width("aa ") + 2;
  CP_ImgShape_Text shape(&s.canvas, CP_Rect(0, 0, width, 70), "aa bb", 20);
  shape.DrawWrapped(0, CP_ImgShape_Text::kBottom);
  EXPECT_FALSE(s.InkInRows(0, 30)) << "two lines of 20 end at the bottom, 70";
  EXPECT_TRUE(s.InkInRows(30, 50));
  EXPECT_TRUE(s.InkInRows(50, 70));
  EXPECT_EQ(2, shape.CountLines());
  EXPECT_EQ(uint32_t(s.Width("aa ")), shape.GetWidestLine());
}

// A stored line height of 0 would stack every line on the first.
TEST_F(ShapeTest, LineHeightOfZeroStillMovesEachLineDown) {
  Surface s;
  const int line = s.LineHeight();
  const int width = s.Width("aa ") + 2;
  CP_ImgShape_Text(&s.canvas, CP_Rect(0, 0, width, kHeight), "aa bb cc", 0).DrawWrapped(0, 0);
  EXPECT_TRUE(s.InkInRows(2 * line, 3 * line)) << "the third line has a row of its own";
}

TEST_F(ShapeTest, EmptyOrNarrowTextDrawsNothing) {
  Surface s;
  SetBkMode(s.dib.DC(), OPAQUE);
  CP_ImgShape_Text(&s.canvas, CP_Rect(0, 0, 100, 40), "", CP_ImgShape_Text::kFontLineHeight).DrawWrapped(0, 0);
  EXPECT_EQ(OPAQUE, GetBkMode(s.dib.DC())) << "an empty text changes nothing at all";

  CP_ImgShape_Text narrow(&s.canvas, CP_Rect(0, 0, 4, 40), "aa bb", CP_ImgShape_Text::kFontLineHeight);
  narrow.DrawWrapped(0, CP_ImgShape_Text::kMiddle);
  narrow.DrawFitted(0, 0);
  EXPECT_FALSE(s.InkInRows(0, kHeight));
  EXPECT_EQ(0, narrow.CountLines());
}

TEST_F(ShapeTest, RectangleShapesFillFrameAndInvert) {
  Surface s;
  s.canvas.SetForegroundColor(CP_RGBColor(0xFFFF, 0, 0));
  CP_ImgShape_Rect(&s.canvas, CP_Rect(10, 10, 30, 30)).Fill();
  EXPECT_EQ(RGB(255, 0, 0), s.dib.Pixel(10, 10));
  EXPECT_EQ(RGB(255, 0, 0), s.dib.Pixel(29, 29));
  EXPECT_EQ(kWhite, s.dib.Pixel(30, 30));

  s.canvas.SetForegroundColor(CP_RGBColor(0, 0, 0xFFFF));
  s.canvas.GetPen().SetWidth(2);
  CP_ImgShape_Rect(&s.canvas, CP_Rect(40, 10, 60, 30)).Frame();
  EXPECT_EQ(RGB(0, 0, 255), s.dib.Pixel(41, 20)) << "two pixels across";
  EXPECT_EQ(kWhite, s.dib.Pixel(42, 20));
  EXPECT_EQ(RGB(0, 0, 255), s.dib.Pixel(50, 28)) << "and two down";
  EXPECT_EQ(kWhite, s.dib.Pixel(50, 27));

  CP_ImgShape_Rect(&s.canvas, CP_Rect(10, 10, 20, 20)).Invert();
  EXPECT_EQ(RGB(0, 255, 255), s.dib.Pixel(15, 15));
  EXPECT_EQ(RGB(255, 0, 0), s.dib.Pixel(25, 25));

  CP_Pattern dots(1008);
  CP_ImgShape_Rect(&s.canvas, CP_Rect(70, 0, 92, 22)).FillWithPattern(dots);
  int white = 0, grey = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 70; x < 92; ++x) (s.dib.Pixel(x, y) == kWhite ? white : grey) += 1;
  EXPECT_GT(white, 0);
  EXPECT_GT(grey, white) << "white dots on light grey";
}

}  // namespace
