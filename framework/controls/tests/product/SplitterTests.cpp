// The splitter: laying panes out in a row or a column, minimum sizes,
// dragging a bar with real mouse messages, drawing, the help key.
#include "CD_Splitter_CP.h"
#include "CP_Cursor.h"
#include "CP_FourCC.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxtest::At;
using kxtest::DibSurface;
using kxtest::PaneAt;

// A pane the splitter lays out; it counts the ends of drags it is told.
class ItemView : public CP_View, public CD_M_SplitterItem_CP {
 public:
  ItemView(CP_View* super, int16_t size, int16_t minimum, int32_t id = -1)
      : CP_View(super, PaneAt(0, 0, 10, 10)), CD_M_SplitterItem_CP(this, size, minimum) {
    SetIdentifier(id);
    MakeWindow(super, GetLocation(), CP_Size(10, 10));
  }
  void SplitterDragEnded() override { ++dragEnds; }
  int dragEnds = 0;
};

class SplitterTest : public kxtest::SceneTest {
 protected:
  CD_Splitter_CP* Make(uint8_t orientation, int width, int height, int32_t id = -1, int top = 0) {
    CP_PaneInfo info = PaneAt(0, top, width, height);
    info.identifier = id;
    return new CD_Splitter_CP(window, info, orientation);
  }
  // Every sub-pane's place: left, top, width, height.
  static std::vector<CP_Rect> Places(CD_Splitter_CP* splitter) {
    std::vector<CP_Rect> places;
    for (CP_Pane* pane : splitter->GetSubPanes()) {
      const CP_Point at = pane->GetLocation();
      places.emplace_back(at.h, at.v, pane->GetWidth(), pane->GetHeight());
    }
    return places;
  }
  static void Arrange(CD_Splitter_CP* splitter) {
    splitter->SetRemaining(splitter->GetOrientation() == CD_Splitter_CP::kSideBySide ? splitter->GetWidth()
                                                                                    : splitter->GetHeight());
    splitter->ArrangePanes(true);
  }
};

// Places are written (left, top, width, height) in CP_Rect's slots.
TEST_F(SplitterTest, PanesTakeTheirSizesAndTheLastTakesTheRest) {
  struct Case {
    const char* name;
    uint8_t orientation;
    int length;
    std::vector<int16_t> sizes;  // a negative size marks a hidden pane
    std::vector<CP_Rect> places;
    std::vector<CP_Rect> bars;
  };
  const Case kCases[] = {
      {"500 / 200", 0, 500, {200, 100},
       {CP_Rect(0, 0, 200, 300), CP_Rect(206, 0, 294, 300)}, {CP_Rect(200, 0, 206, 300)}},
      {"first larger than the splitter", 0, 500, {600, 100},
       {CP_Rect(0, 0, 500, 300), CP_Rect(506, 0, 0, 300)}, {CP_Rect(500, 0, 506, 300)}},
      {"a hidden middle pane", 0, 500, {100, -100, 100},
       {CP_Rect(0, 0, 100, 300), CP_Rect(0, 0, 10, 10), CP_Rect(106, 0, 394, 300)}, {CP_Rect(100, 0, 106, 300)}},
      {"a hidden last pane: the one before keeps its size", 0, 500, {100, 100, -100},
       {CP_Rect(0, 0, 100, 300), CP_Rect(106, 0, 100, 300), CP_Rect(0, 0, 10, 10)},
       {CP_Rect(100, 0, 106, 300), CP_Rect(206, 0, 212, 300)}},
      {"shorter than the panes: nothing below 0", 0, 103, {100, 100, 100},
       {CP_Rect(0, 0, 100, 300), CP_Rect(106, 0, 0, 300), CP_Rect(112, 0, 0, 300)},
       {CP_Rect(100, 0, 106, 300), CP_Rect(106, 0, 112, 300)}},
      {"stacked", 1, 300, {100, 100},
       {CP_Rect(0, 0, 500, 100), CP_Rect(0, 106, 500, 194)}, {CP_Rect(0, 100, 500, 106)}},
  };
  for (const Case& c : kCases) {
    CD_Splitter_CP* splitter = c.orientation == 0 ? Make(0, c.length, 300) : Make(1, 500, c.length);
    for (int16_t size : c.sizes) {
      auto* item = new ItemView(splitter, size < 0 ? int16_t(-size) : size, 0);
      item->SetItemVisible(size >= 0);
    }
    Arrange(splitter);
    EXPECT_EQ(c.places, Places(splitter)) << c.name;
    EXPECT_EQ(c.bars, splitter->GetBars()) << c.name;
    if (c.sizes.back() >= 0) {
      EXPECT_EQ(0, splitter->GetRemaining()) << c.name << ": the last pane took the rest";
    }
    window->DetachSubPane(splitter, true, true);
  }
}

TEST_F(SplitterTest, PanesWindowsFollowTheArrangement) {
  CD_Splitter_CP* splitter = Make(0, 500, 300);
  auto* first = new ItemView(splitter, 200, 0);
  auto* second = new ItemView(splitter, 100, 0);
  Arrange(splitter);
  const RECT a = kxtest::PlaceInParent(first->GetHWND());
  const RECT b = kxtest::PlaceInParent(second->GetHWND());
  EXPECT_EQ(200, a.right);
  EXPECT_EQ(206, b.left);
  EXPECT_EQ(500, b.right);
  EXPECT_EQ(300, b.bottom);
}

TEST_F(SplitterTest, RowOfTreeAndListLeavesRoomForTheHeaders) {
  CD_Splitter_CP* row = Make(0, 500, 300, CD_Splitter_CP::kBottomSplitter);
  new ItemView(row, 200, 0, CD_Splitter_CP::kTree);
  new ItemView(row, 100, 0, CD_Splitter_CP::kList);
  Arrange(row);
  const int hh = row->GetHeaderHeight();
  EXPECT_GT(hh, 1);
  const std::vector<CP_Rect> want = {CP_Rect(0, hh, 200, 300 - hh), CP_Rect(206, hh + 1, 294, 299 - hh)};
  EXPECT_EQ(want, Places(row));
}

TEST_F(SplitterTest, PanesBelowTheirMinimumTakeLengthFromThePanesBefore) {
  // The list's candidate length is its size less 40.
  CD_Splitter_CP* row = Make(0, 500, 300);
  auto* tree = new ItemView(row, 200, 100, CD_Splitter_CP::kTree);
  auto* list = new ItemView(row, 100, 200, CD_Splitter_CP::kList);
  EXPECT_EQ(200, list->GetSize()) << "never below the minimum";
  list->SetSize(100);
  EXPECT_EQ(200, list->GetSize());
  EXPECT_TRUE(row->EnforceMinimumSizes());
  // List: 200 - 40 = 160 < 200, carry 40; tree: 200 - 40 = 160.
  EXPECT_EQ(160, tree->GetSize());
  EXPECT_EQ(200, list->GetSize());
  EXPECT_EQ(CP_Rect(166, 0, 334, 300), Places(row)[1]) << "arranged at once";

  CD_Splitter_CP* roomy = Make(0, 500, 300);
  auto* a = new ItemView(roomy, 100, 50);
  new ItemView(roomy, 100, 50);
  Arrange(roomy);
  EXPECT_FALSE(roomy->EnforceMinimumSizes());
  EXPECT_EQ(100, a->GetSize()) << "other panes take their present width";
}

// A stacked splitter at (0, 10) in the window: 400 x 300, bar at 100..106.
class SplitterDragTest : public SplitterTest {
 protected:
  void SetUp() override {
    SplitterTest::SetUp();
    splitter = Make(1, 400, 300, -1, 10);
    upper = new ItemView(splitter, 100, 50);
    lower = new ItemView(splitter, 194, 80, CD_Splitter_CP::kList);
    Arrange(splitter);
  }
  void Drag(int from, int to) {
    HWND h = splitter->GetHWND();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(50, from));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(50, to));
    SendMessageA(h, WM_LBUTTONUP, 0, At(50, to));
  }
  CD_Splitter_CP* splitter = nullptr;
  ItemView* upper = nullptr;
  ItemView* lower = nullptr;
};

TEST_F(SplitterDragTest, DragShowsFeedbackBeyondSixPixelsAndMovesThePanesOnRelease) {
  HWND h = splitter->GetHWND();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 103));
  EXPECT_TRUE(splitter->IsDragging());
  EXPECT_EQ(h, GetCapture());
  CD_SplitAdorner_CP* adorner = splitter->GetSplitAdorner();
  ASSERT_NE(nullptr, adorner);

  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(50, 109));
  EXPECT_FALSE(adorner->IsShown()) << "6 pixels: no feedback yet";
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(50, 150));
  EXPECT_TRUE(adorner->IsShown());
  EXPECT_EQ(CP_Rect(0, 147, 400, 153), adorner->GetRect());
  EXPECT_EQ(100, upper->GetHeight()) << "only the feedback moves";

  SendMessageA(h, WM_LBUTTONUP, 0, At(50, 150));
  EXPECT_FALSE(splitter->IsDragging());
  EXPECT_FALSE(adorner->IsShown());
  EXPECT_EQ(CP_Rect(), adorner->GetRect());
  EXPECT_NE(h, GetCapture());
  EXPECT_EQ(147, upper->GetHeight());
  EXPECT_EQ(CP_Rect(0, 153, 400, 147), Places(splitter)[1]);
  EXPECT_EQ(1, lower->dragEnds) << "the film list is told";
}

TEST_F(SplitterDragTest, SmallDragMovesNoFeedbackButStillApplies) {
  Drag(103, 107);
  EXPECT_EQ(104, upper->GetHeight());
  EXPECT_EQ(CP_Rect(0, 104, 400, 110), splitter->GetBars()[0]);
}

TEST_F(SplitterDragTest, DragPastTheLowerMinimumLeavesTheLowerPaneAtIt) {
  Drag(103, 290);
  EXPECT_EQ(80, lower->GetHeight());
  EXPECT_EQ(300 - 80 - 6, upper->GetHeight());
}

TEST_F(SplitterDragTest, ClickBesideTheBarsStartsNoDrag) {
  SendMessageA(splitter->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
  EXPECT_FALSE(splitter->IsDragging());
  SendMessageA(splitter->GetHWND(), WM_LBUTTONUP, 0, At(50, 50));
}

TEST_F(SplitterDragTest, PointerOverABarShowsTheSizingCursor) {
  SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
  SendMessageA(splitter->GetHWND(), WM_MOUSEMOVE, 0, At(50, 103));
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32645)), GetCursor());
}

TEST_F(SplitterTest, RowIgnoresClicksOnItsBars) {
  CD_Splitter_CP* row = Make(0, 500, 300);
  new ItemView(row, 200, 0);
  new ItemView(row, 100, 0);
  Arrange(row);
  SendMessageA(row->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, At(203, 50));
  EXPECT_FALSE(row->IsDragging());
  EXPECT_NE(row->GetHWND(), GetCapture());
}

TEST_F(SplitterTest, BarsAreRaisedStripsAndTheRowPaintsItsHeaders) {
  CD_Splitter_CP* column = Make(1, 100, 100);
  new ItemView(column, 40, 0);
  new ItemView(column, 40, 0);
  Arrange(column);
  DibSurface stacked(100, 100);
  kxtest::DrawInto(column, stacked);
  const COLORREF rows[] = {RGB(0x88, 0x88, 0x88), RGB(255, 255, 255), RGB(0xC0, 0xC0, 0xC0),
                           RGB(0xC0, 0xC0, 0xC0), RGB(0xC0, 0xC0, 0xC0), RGB(0x88, 0x88, 0x88)};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(rows[i], stacked.Pixel(50, 40 + i)) << "row " << i;

  CD_Splitter_CP* row = Make(0, 400, 100, CD_Splitter_CP::kBottomSplitter);
  new ItemView(row, 100, 0, CD_Splitter_CP::kTree);
  new ItemView(row, 100, 0, CD_Splitter_CP::kList);
  Arrange(row);
  DibSurface side(400, 100);
  kxtest::DrawInto(row, side);
  const int hh = row->GetHeaderHeight();
  EXPECT_EQ(RGB(255, 255, 255), side.Pixel(100, 60));
  EXPECT_EQ(RGB(0xC0, 0xC0, 0xC0), side.Pixel(102, 60));
  EXPECT_EQ(RGB(0x88, 0x88, 0x88), side.Pixel(105, 60));
  EXPECT_EQ(RGB(0xBF, 0xBF, 0xBF), side.Pixel(90, 2)) << "the first header's fill";
  EXPECT_EQ(RGB(0x88, 0x88, 0x88), side.Pixel(50, hh - 2));
  EXPECT_EQ(RGB(255, 255, 255), side.Pixel(50, hh - 1));
  EXPECT_EQ(RGB(0, 0, 128), side.Pixel(110, 5)) << "the header cells at the second column";
  EXPECT_EQ(RGB(0xBF, 0xBF, 0xBF), side.Pixel(106 + 79, 2)) << "79 columns of them";
  auto inkIn = [&](int left, int right) {
    for (int y = 1; y < hh - 2; ++y)
      for (int x = left; x < right; ++x)
        if (side.Pixel(x, y) == RGB(0, 0, 0)) return true;
    return false;
  };
  EXPECT_TRUE(inkIn(4, 60)) << "Folders";
  EXPECT_TRUE(inkIn(186, 240)) << "Name";
}

TEST_F(SplitterTest, DestroyedSplitterReleasesItsHeaderObjects) {
  CD_Splitter_CP* splitter = Make(0, 400, 100, CD_Splitter_CP::kBottomSplitter);
  const HGDIOBJ bitmap = splitter->GetHeaderBitmap();
  const HDC dc = splitter->GetHeaderDC();
  const HGDIOBJ brush = splitter->GetHeaderBrush();
  ASSERT_NE(0u, GetObjectType(bitmap));
  ASSERT_NE(0u, GetObjectType(dc));
  ASSERT_NE(0u, GetObjectType(brush));
  window->DetachSubPane(splitter, true, true);
  EXPECT_EQ(0u, GetObjectType(bitmap));
  EXPECT_EQ(0u, GetObjectType(dc));
  EXPECT_EQ(0u, GetObjectType(brush));
}

// A stand-in for the help program: WinHelpA hands its request to the window
// of class "MS_WINHELP" as WM_COPYDATA.
struct HelpRequest {
  int command = -1;
  std::string file;
  int count = 0;
};
HelpRequest gHelp;

LRESULT CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* bytes = static_cast<const uint8_t*>(data->lpData);
    // size, command (16-bit each), data, reserved (32-bit), file offset,
    // data offset (16-bit).
    if (data->cbData >= 16) {
      gHelp.command = bytes[2] | bytes[3] << 8;
      const size_t offset = size_t(bytes[12] | bytes[13] << 8);
      if (offset && offset < data->cbData) gHelp.file = reinterpret_cast<const char*>(bytes + offset);
    }
    ++gHelp.count;
    return 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The settings file's [Help] section is this test's alone; it is removed
// again afterwards.
TEST_F(SplitterTest, HelpKeyOpensTheHelpFileNamedInTheSettings) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = HelpWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MS_WINHELP";
  RegisterClassA(&wc);
  HWND help = CreateWindowA("MS_WINHELP", "help", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(nullptr, help);
  WritePrivateProfileStringA("Help", nullptr, nullptr, "glintharbour.ini");

  CD_Splitter_CP* splitter = Make(1, 200, 200);
  EXPECT_EQ(1, SendMessageA(splitter->GetHWND(), WM_KEYDOWN, VK_F1, 0));
  ASSERT_EQ(1, gHelp.count);
  EXPECT_EQ(HELP_CONTENTS, gHelp.command);
  EXPECT_EQ("c:windows", gHelp.file) << "the default without the key";

  WritePrivateProfileStringA("Help", "HelpFile", "d:\\kx3\\help.hlp", "glintharbour.ini");
  SendMessageA(splitter->GetHWND(), WM_KEYDOWN, VK_F1, 0);
  EXPECT_EQ("d:\\kx3\\help.hlp", gHelp.file);
  WritePrivateProfileStringA("Help", nullptr, nullptr, "glintharbour.ini");

  EXPECT_EQ(2, gHelp.count);
  DestroyWindow(help);
}

}  // namespace
