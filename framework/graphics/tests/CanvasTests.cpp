#include "CP_Canvas.h"
#include "CP_Pane.h"
#include "DibSurface.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
const CP_RGBColor kRedColor(0xFFFF, 0, 0);
const CP_RGBColor kBlueColor(0, 0, 0xFFFF);

// A pane with a real window and a background colour of the test's choice.
class TestPane : public CP_Pane {
 public:
  explicit TestPane(HWND window = nullptr) : CP_Pane(CP_Point(), CP_Size()) { fWindow = window; }
  CP_RGBColor GetBackgroundColor() const override { return fBackground; }
  CP_RGBColor fBackground = CP_RGBColor(0x8000, 0x8000, 0x8000);
};

// Counts its own deletion.
class CountedEnvironment : public CP_CanvasEnvironment {
 public:
  explicit CountedEnvironment(int& deleted) : fDeleted(deleted) {}
  ~CountedEnvironment() override { ++fDeleted; }

 private:
  int& fDeleted;
};

TEST(CanvasTest, ToolsAreSelectedOnceForNestedDrawing) {
  kxtest::DibSurface surface(8, 8);
  HDC dc = surface.DC();
  HGDIOBJ stockPen = GetCurrentObject(dc, OBJ_PEN);
  HGDIOBJ stockBrush = GetCurrentObject(dc, OBJ_BRUSH);
  {
    CP_Canvas canvas;
    canvas.AttachDC(dc);
    canvas.BeginDrawing(nullptr, nullptr);
    HPEN pen = canvas.GetPen().GetHandle();
    ASSERT_NE(nullptr, pen);
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(canvas.GetBrush().GetHandle(), GetCurrentObject(dc, OBJ_BRUSH));

    canvas.BeginDrawing(nullptr, nullptr);
    EXPECT_EQ(pen, canvas.GetPen().GetHandle());  // not made again
    canvas.EndDrawing();
    EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));

    canvas.EndDrawing();
    EXPECT_EQ(stockPen, GetCurrentObject(dc, OBJ_PEN));
    EXPECT_EQ(stockBrush, GetCurrentObject(dc, OBJ_BRUSH));
    EXPECT_EQ(0u, GetObjectType(pen));
    EXPECT_EQ(nullptr, canvas.GetPen().GetHandle());

    // A canvas destroyed while drawing puts the device context's tools back.
    canvas.BeginDrawing(nullptr, nullptr);
    canvas.BeginDrawing(nullptr, nullptr);
  }
  EXPECT_EQ(stockPen, GetCurrentObject(dc, OBJ_PEN));
  EXPECT_EQ(stockBrush, GetCurrentObject(dc, OBJ_BRUSH));
}

TEST(CanvasTest, PenColourChangeReplacesThePenAtOnce) {
  kxtest::DibSurface surface(8, 8);
  HDC dc = surface.DC();
  HGDIOBJ stockPen = GetCurrentObject(dc, OBJ_PEN);
  CP_Canvas canvas;
  canvas.AttachDC(dc);
  canvas.BeginDrawing(nullptr, nullptr);
  HPEN first = canvas.GetPen().GetHandle();

  canvas.SetForegroundColor(kRedColor);
  HPEN second = canvas.GetPen().GetHandle();
  EXPECT_NE(first, second);
  EXPECT_EQ(second, GetCurrentObject(dc, OBJ_PEN));
  // Deleted at once: it was no longer selected when it was deleted.
  EXPECT_EQ(0u, GetObjectType(first));
  LOGPEN lp = {};
  ASSERT_EQ(int(sizeof lp), GetObjectA(second, sizeof lp, &lp));
  EXPECT_EQ(kRed, lp.lopnColor & 0xFFFFFF);
  EXPECT_EQ(PS_INSIDEFRAME, int(lp.lopnStyle));
  EXPECT_EQ(kRed, GetTextColor(dc) & 0xFFFFFF);

  canvas.EndDrawing();
  EXPECT_EQ(stockPen, GetCurrentObject(dc, OBJ_PEN));
  EXPECT_EQ(0u, GetObjectType(second));
}

TEST(CanvasEnvironmentTest, NewEnvironmentHoldsItsDefaults) {
  const CP_CanvasEnvironment environment;
  EXPECT_EQ(-1, environment.GetFirstValue());
  EXPECT_EQ(1, environment.GetSecondValue());
  struct Case {
    const char* name;
    CP_RGBColor got, want;
  };
  const Case kCases[] = {
      {"first colour", environment.GetFirstColor(), CP_RGBColor::Black},
      {"second colour", environment.GetSecondColor(), CP_RGBColor::White},
      {"third colour, the foreground", environment.GetThirdColor(), CP_RGBColor::Black},
      {"fourth colour, the background", environment.GetBackgroundColor(), CP_RGBColor::White},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, c.got) << c.name;
}

TEST(CanvasTest, ColoursComeFromThePaneOrTheEnvironment) {
  kxtest::DibSurface surface(8, 8);
  CP_Canvas canvas;
  // No device context yet: the colours are only kept.
  canvas.SetForegroundColor(kRedColor);
  canvas.SetBackgroundColor(kBlueColor);
  EXPECT_EQ(kRedColor, canvas.GetForegroundColor());
  EXPECT_EQ(kBlueColor, canvas.GetBackgroundColor());
  EXPECT_EQ(nullptr, canvas.GetPen().GetHandle());
  canvas.SetPixel(kRedColor, 1, 1);

  canvas.AttachDC(surface.DC());
  TestPane pane;
  canvas.BeginDrawing(&pane, nullptr);
  EXPECT_EQ(pane.fBackground, canvas.GetBackgroundColor());
  EXPECT_EQ(CP_RGBColor::Black, canvas.GetForegroundColor());
  EXPECT_EQ(RGB(0x80, 0x80, 0x80), GetBkColor(surface.DC()) & 0xFFFFFF);
  // The brush follows the background: a pattern fill paints it.
  PatBlt(surface.DC(), 0, 0, 2, 2, PATCOPY);
  EXPECT_EQ(RGB(0x80, 0x80, 0x80), surface.Pixel(1, 1));
  EXPECT_EQ(CP_RGBColor(0x8080, 0x8080, 0x8080), canvas.GetBrush().GetColor());
  canvas.EndDrawing();

  CP_CanvasEnvironment environment;
  environment.SetThirdColor(kRedColor);
  environment.SetBackgroundColor(kBlueColor);
  canvas.BeginDrawing(&pane, &environment);
  EXPECT_EQ(kBlueColor, canvas.GetBackgroundColor());
  EXPECT_EQ(kRedColor, canvas.GetForegroundColor());
  MoveToEx(surface.DC(), 0, 5, nullptr);
  LineTo(surface.DC(), 8, 5);
  EXPECT_EQ(kRed, surface.Pixel(3, 5));
  PatBlt(surface.DC(), 0, 0, 2, 2, PATCOPY);
  EXPECT_EQ(RGB(0, 0, 255), surface.Pixel(1, 1));
  canvas.EndDrawing();
}

TEST(CanvasTest, PixelsAreWrittenAndReadBackWidened) {
  kxtest::DibSurface surface(4, 4);
  CP_Canvas canvas;
  canvas.AttachDC(surface.DC());
  canvas.SetPixel(CP_RGBColor(0x12FF, 0x3400, 0x56AA), 2, 3);
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), surface.Pixel(2, 3));
  EXPECT_EQ(CP_RGBColor(0x1200, 0x3400, 0x5600), canvas.GetPixel(2, 3));
  EXPECT_EQ(CP_RGBColor(0xFF00, 0xFF00, 0xFF00), canvas.GetPixel(0, 0));  // white
  canvas.DetachDC();
  EXPECT_FALSE(canvas.HasValidDC());
}

TEST(CanvasTest, BackgroundColourSaverPutsTheColourBack) {
  kxtest::DibSurface surface(4, 4);
  CP_Canvas canvas;
  canvas.AttachDC(surface.DC());
  SetBkColor(surface.DC(), RGB(1, 2, 3));
  {
    CP_CanvasBkColorSaver saver(&canvas);
    CP_CanvasStateSaver state(&canvas);
    canvas.SetBackgroundColor(kBlueColor);
    EXPECT_EQ(RGB(0, 0, 255), GetBkColor(surface.DC()) & 0xFFFFFF);
  }
  EXPECT_EQ(RGB(1, 2, 3), GetBkColor(surface.DC()));
  CP_CanvasBkColorSaver nothing(nullptr);
  canvas.SetBackgroundMode(CP_Canvas::kTransparent);
  EXPECT_EQ(TRANSPARENT, GetBkMode(surface.DC()));
}

TEST(CanvasTest, WindowScopesOnAPane) {
  HWND window = kxtest::MakePlainWindow();
  ASSERT_NE(nullptr, window);
  int deleted = 0;
  {
    TestPane pane(window);
    CP_Canvas* canvas = pane.GetCanvas();
    ASSERT_NE(nullptr, canvas);
    CountedEnvironment* environment = new CountedEnvironment(deleted);
    environment->SetBackgroundColor(kBlueColor);
    pane.SetEnvironment(environment);
    pane.SetEnvironment(environment);  // giving it again keeps it alive
    EXPECT_EQ(1, environment->GetReferenceCount());

    {
      CP_ST_DCCanvas outer(&pane);
      HDC dc = canvas->GetDC();
      ASSERT_NE(nullptr, dc);
      EXPECT_EQ(kBlueColor, canvas->GetBackgroundColor());  // from the environment
      HPEN pen = canvas->GetPen().GetHandle();
      EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
      {
        CP_ST_DCCanvas inner(&pane);
        EXPECT_EQ(dc, canvas->GetDC());
        EXPECT_EQ(2, canvas->GetDrawingDepth());
      }
      // The outer scope still draws, with its tools.
      EXPECT_EQ(dc, canvas->GetDC());
      EXPECT_EQ(pen, GetCurrentObject(dc, OBJ_PEN));
      {
        CP_PaneDCScope borrowed(&pane);
        EXPECT_EQ(dc, canvas->GetDC());
      }
      EXPECT_EQ(dc, canvas->GetDC());
    }
    EXPECT_FALSE(canvas->HasValidDC());
    EXPECT_EQ(0, canvas->GetDrawingDepth());

    {
      // Without an environment: the pane's own background.
      CP_PaneDCScope scope(&pane);
      EXPECT_TRUE(canvas->HasValidDC());
      EXPECT_EQ(pane.fBackground, canvas->GetBackgroundColor());
    }
    EXPECT_FALSE(canvas->HasValidDC());

    // A canvas that has a device context keeps it after the scope.
    kxtest::DibSurface surface(4, 4);
    canvas->AttachDC(surface.DC());
    { CP_PaneDCScope scope(&pane); }
    EXPECT_EQ(surface.DC(), canvas->GetDC());
    canvas->DetachDC();
    EXPECT_EQ(0, deleted);
  }
  EXPECT_EQ(1, deleted);  // the pane gave its reference back
  DestroyWindow(window);
}

}  // namespace
