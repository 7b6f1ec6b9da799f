// The cell-text functions, the settings reader and the colour pane.
#include "CP_Callback.h"
#include "CP_Canvas.h"
#include "DibSurface.h"
#include "GH_ColorPane.h"
#include "GH_IniFile.h"
#include "GH_TextDrawing.h"
#include "PaneTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using kxtest::DibSurface;
using kxtest::PaneAt;

bool SameRows(const DibSurface& a, const DibSurface& b, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

using TextDrawingTest = FrameworkTest;

TEST_F(TextDrawingTest, StringIsDrawnAboveItsBottomLineAndMeasuredAsOneLine) {
  DibSurface drawn(120, 60), expected(120, 60);
  for (HDC dc : {drawn.DC(), expected.DC()}) {
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
  }
  CP_Canvas canvas;
  canvas.AttachDC(drawn.DC());
  DrawStringAt(&canvas, "Hgj", 10, 40);
  DrawCharsAt(&canvas, "Wxyz", 2, 60, 40);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(expected.DC(), &metrics);
  TextOutA(expected.DC(), 10, 40 - metrics.tmHeight, "Hgj", 3);
  TextOutA(expected.DC(), 60, 40 - metrics.tmHeight, "Wx", 2);
  EXPECT_TRUE(SameRows(drawn, expected, 120, 60));

  SIZE size = {};
  GetTextExtentPoint32A(drawn.DC(), "Hello world", 11, &size);
  EXPECT_EQ(size.cx, MeasureStringWidth(&canvas, "Hello world"));
  EXPECT_EQ(0, MeasureStringWidth(&canvas, ""));
  INT w = 0;
  GetCharWidth32A(drawn.DC(), 'W', 'W', &w);
  EXPECT_EQ(w, MeasureCharWidth(&canvas, 'W'));
  canvas.DetachDC();
}

// A file of this test's own in the Windows folder.
TEST(IniFileTest, ValueOrDefaultFromAFileInTheWindowsFolder) {
  const std::string file = "kx_settings_reader_test.ini";
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, MAX_PATH);
  const std::string path = std::string(folder) + "\\" + file;
  DeleteFileA(path.c_str());

  std::string value = "stale";
  ReadIniString("Help", "HelpFile", "c:windows", value, file);
  EXPECT_EQ("c:windows", value) << "no file";

  ASSERT_TRUE(WritePrivateProfileStringA("Help", "HelpFile", "d:\\help\\kx.hlp", path.c_str()));
  ReadIniString("Help", "HelpFile", "c:windows", value, file);
  EXPECT_EQ("d:\\help\\kx.hlp", value);
  ReadIniString("Help", "Other", "", value, file);
  EXPECT_EQ("", value) << "missing key";

  const std::string longValue(400, 'x');
  WritePrivateProfileStringA("Help", "Long", longValue.c_str(), path.c_str());
  ReadIniString("Help", "Long", "", value, file);
  EXPECT_EQ(std::string(255, 'x'), value) << "cut to the buffer";
  DeleteFileA(path.c_str());
}

using ColorPaneTest = kxtest::SceneTest;

TEST_F(ColorPaneTest, BandSpansTheReferenceWidthAndLinesTheOwnEdges) {
  auto* reference = AddPane(window, PaneAt(0, 100, 250, 20));
  const CP_Region region(0, 0, 5, 5);
  auto* pane = new GH_ColorPane(window, PaneAt(0, 0, 100, 50), CP_RGBColor(0, 0xFFFF, 0), region, reference);
  window->Show();
  ASSERT_TRUE(pane->IsVisible());
  EXPECT_EQ(CP_RGBColor(0, 0xFFFF, 0), pane->GetColor());
  EXPECT_EQ(CP_Rect(0, 0, 5, 5), pane->GetRegion().GetBounds());

  DibSurface dib(300, 60);
  SendMessageA(pane->GetHWND(), WM_PAINT, reinterpret_cast<WPARAM>(dib.DC()), 0);
  const COLORREF band = RGB(198, 198, 198);
  const COLORREF line = RGB(0x88, 0x88, 0x88);
  EXPECT_EQ(band, dib.Pixel(200, 10)) << "as wide as the reference pane";
  EXPECT_EQ(band, dib.Pixel(249, 35));
  EXPECT_EQ(RGB(255, 255, 255), dib.Pixel(250, 10));
  EXPECT_EQ(RGB(255, 255, 255), dib.Pixel(10, 36)) << "36 pixels high";
  EXPECT_EQ(line, dib.Pixel(50, 0));
  EXPECT_EQ(band, dib.Pixel(150, 0)) << "the lines span the pane's own width";
  EXPECT_EQ(line, dib.Pixel(50, 49));

  SendMessageA(pane->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(nullptr, CP_Pane::GetClickedPane()) << "clicks go to the window's own procedure";
}

// Fails after drawing its band, as drawing with a reference that has gone
// would.
class FailingColorPane : public GH_ColorPane {
 public:
  using GH_ColorPane::GH_ColorPane;
  void DrawContent(const CP_Region& area) override {
    drawnInto = GetCanvas()->GetDC();
    GH_ColorPane::DrawContent(area);
    throw std::runtime_error("drawing failed");
  }
  HDC drawnInto = nullptr;
};

// A paint that throws still ends the paint and lets the paint DC go; the
// failure reaches the caller once the paint has returned.
TEST_F(ColorPaneTest, APaintThatThrowsEndsThePaintAndLetsTheDCGo) {
  auto* pane = new FailingColorPane(window, PaneAt(0, 0, 100, 50), CP_RGBColor(0, 0xFFFF, 0), CP_Region(), window);
  window->Show();
  InvalidateRect(pane->GetHWND(), nullptr, TRUE);
  UpdateWindow(pane->GetHWND());
  EXPECT_THROW(CP_RethrowPendingException(), std::runtime_error);
  ASSERT_NE(nullptr, pane->drawnInto);
  EXPECT_EQ(nullptr, pane->GetCanvas()->GetDC());
  EXPECT_EQ(0, pane->GetCanvas()->GetDrawingDepth());
  EXPECT_EQ(0, ReleaseDC(pane->GetHWND(), pane->drawnInto)) << "EndPaint gave the paint DC back";
}

}  // namespace
