// The status bar: placement by its flags, parts, part texts, owner-drawn
// parts.
#include "CP_Canvas.h"
#include "CP_StatusBar.h"
#include "ControlTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kxtest::PaneAt;

using StatusBarTest = kxtest::SceneTest;

// Records the owner-drawn parts it was asked to draw.
class DrawingBar : public CP_StatusBar {
 public:
  using CP_StatusBar::CP_StatusBar;
  void DrawOwnerPart(int16_t index, const CP_Rect& rect) override {
    drawn.push_back(index);
    rects.push_back(rect);
    hadDC = hadDC || GetCanvas()->GetDC() != nullptr;
  }
  std::vector<int16_t> drawn;
  std::vector<CP_Rect> rects;
  bool hadDC = false;
};

TEST_F(StatusBarTest, FlagsChooseTheStyleAndTheEdgesTheBarFollows) {
  struct Case {
    const char* name;
    bool attached, atBottom, grip;
    DWORD style;  // the CCS_ and SBARS_ bits
    CP_Bindings bindings;
  };
  const Case kCases[] = {
      {"bottom with grip", true, true, true, CCS_BOTTOM | SBARS_SIZEGRIP, {1, 0, 1, 1}},
      {"bottom", true, true, false, CCS_BOTTOM, {1, 0, 1, 1}},
      {"top", true, false, true, CCS_TOP, {1, 1, 1, 0}},
      {"free", false, false, true, CCS_NORESIZE, {0, 0, 0, 0}},
  };
  for (const Case& c : kCases) {
    CP_PaneInfo info = PaneAt(20, 30, 200, 22, {1, 1, 1, 1});
    auto* bar = new CP_StatusBar(window, info, c.attached, c.atBottom, c.grip);
    HWND h = bar->GetHWND();
    ASSERT_NE(nullptr, h) << c.name;
    const DWORD style = DWORD(GetWindowLongA(h, GWL_STYLE));
    EXPECT_EQ(c.style, style & (CCS_BOTTOM | CCS_TOP | CCS_NORESIZE | SBARS_SIZEGRIP)) << c.name;
    const CP_Bindings& b = bar->GetBindings();
    EXPECT_EQ(c.bindings.left, b.left) << c.name;
    EXPECT_EQ(c.bindings.top, b.top) << c.name;
    EXPECT_EQ(c.bindings.right, b.right) << c.name;
    EXPECT_EQ(c.bindings.bottom, b.bottom) << c.name;
    window->DetachSubPane(bar, false, true);
  }
}

TEST_F(StatusBarTest, FreeBarKeepsItsSizeOnePixelRightOfItsPlace) {
  auto* bar = new CP_StatusBar(window, PaneAt(20, 30, 200, 22), false, false, false);
  const RECT r = kxtest::PlaceInParent(bar->GetHWND());
  EXPECT_EQ(21, r.left);
  EXPECT_EQ(30, r.top);
  EXPECT_EQ(200, r.right - r.left);
  EXPECT_EQ(22, r.bottom - r.top);
  EXPECT_EQ(CP_Point(int16_t(20), int16_t(30)), bar->GetLocation()) << "the pane's own place";
}

TEST_F(StatusBarTest, PartsTakeTextsByNumberFromOne) {
  auto* bar = new CP_StatusBar(window, PaneAt(0, 170, 300, 22), false, false, false);
  EXPECT_EQ(CP_Rect(), bar->GetPartRect(5)) << "no such part";
  const int32_t edges[] = {100, 200, -1};
  EXPECT_TRUE(bar->SetParts(edges, 3));
  EXPECT_EQ(3, SendMessageA(bar->GetHWND(), SB_GETPARTS, 0, 0));
  const CP_Rect second = bar->GetPartRect(2);
  EXPECT_NEAR(100, second.left, 3) << "inside its borders";
  EXPECT_NEAR(200, second.right, 3);

  EXPECT_TRUE(bar->SetPartText("Ready", 1, 0));
  char text[64] = {};
  SendMessageA(bar->GetHWND(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ("Ready", text) << "part 1 is the bar's part 0";
  EXPECT_TRUE(bar->SetPartText("3 films", 3, SBT_POPOUT));
  const LRESULT third = SendMessageA(bar->GetHWND(), SB_GETTEXTLENGTHA, 2, 0);
  EXPECT_EQ(7, LOWORD(third));
  EXPECT_EQ(SBT_POPOUT, HIWORD(third) & SBT_POPOUT);
}

TEST_F(StatusBarTest, OwnerDrawnPartIsDrawnByThePane) {
  auto* bar = new DrawingBar(window, PaneAt(0, 170, 300, 22), false, false, false);
  const int32_t edges[] = {100, -1};
  bar->SetParts(edges, 2);
  EXPECT_TRUE(bar->SetPartText("", 2, SBT_OWNERDRAW));
  window->Show();
  RedrawWindow(bar->GetHWND(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_FALSE(bar->drawn.empty());
  EXPECT_EQ(1, bar->drawn.front()) << "the part counted from 0";
  EXPECT_GE(bar->rects.front().left, 100);
  EXPECT_TRUE(bar->hadDC);
  EXPECT_EQ(nullptr, bar->GetCanvas()->GetDC()) << "the item's DC is let go";
}

}  // namespace
