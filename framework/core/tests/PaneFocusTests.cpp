// Context menus: a modal pop-up over an active window. These tests run one
// at a time (they take the desktop's focus lock).
#include "CP_Menu.h"
#include "PaneTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::PaneAt;
using kxtest::SceneTest;

// Set by the timer that closes the pop-up menu: whether one was showing.
bool gMenuWasShown = false;

VOID CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND popup = kxtest::FindOwnWindow("#32768");
  gMenuWasShown = popup && IsWindowVisible(popup);
  EndMenu();
}

// A pop-up menu with the commands 1000 and 1001.
CP_Menu* MakeMenu() {
  HMENU handle = CreatePopupMenu();
  AppendMenuA(handle, MF_STRING, 1000, "&Play");
  AppendMenuA(handle, MF_STRING, 1001, "&Stop");
  return new CP_Menu(200, "Film", handle);
}

// Counts the menus it showed.
template <typename Base>
class MenuPane : public Base {
 public:
  MenuPane(CP_View* super, const CP_PaneInfo& info) : Base(super, info) {}
  bool ShowContextMenu(const CP_Point& point) override {
    const bool shown = Base::ShowContextMenu(point);
    if (shown) ++menusShown;
    ++asked;
    return shown;
  }
  int asked = 0;
  int menusShown = 0;
};

// Enables only command 1000.
class PlayTarget : public CP_M_Commander {
 public:
  explicit PlayTarget(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override {
    if (command == 1000) menu->EnableCommand(command);
  }
};

class ContextMenuTest : public SceneTest {
 protected:
  // Right-clicks the pane at screen point (x, y) of its window's corner.
  LRESULT RightClick(CP_Pane* pane) {
    RECT r = {};
    GetWindowRect(pane->GetHWND(), &r);
    gMenuWasShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, CloseMenu);
    const LRESULT answer =
        SendMessageA(pane->GetHWND(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(pane->GetHWND()),
                     MAKELPARAM(r.left + 3, r.top + 3));
    KillTimer(nullptr, timer);
    return answer;
  }
};

TEST_F(ContextMenuTest, ShownMenuIsTheOnlyOneAndIsUpdatedThroughTheTarget) {
  window->Show();
  PlayTarget target(app);
  CP_M_Commander::ChangeTarget(&target);
  auto* parent = AddPane<MenuPane<kxtest::ProbeView>>(window, PaneAt(0, 0, 200, 150));
  parent->Show();
  auto* child = AddPane<MenuPane<kxtest::ProbePane>>(parent, PaneAt(10, 10, 50, 50));
  child->Show();
  CP_Menu* parentMenu = MakeMenu();
  CP_Menu* childMenu = MakeMenu();
  parent->SetContextMenu(parentMenu);
  child->SetContextMenu(childMenu);
  child->SetContextMenu(childMenu);
  EXPECT_EQ(1, childMenu->GetReferenceCount()) << "set twice, held once";

  EXPECT_EQ(0, RightClick(child)) << "shown: the parent is not asked";
  EXPECT_TRUE(gMenuWasShown);
  EXPECT_EQ(1, child->menusShown);
  EXPECT_EQ(0, parent->asked);
  EXPECT_FALSE(GetMenuState(childMenu->GetHandle(), 1000, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(childMenu->GetHandle(), 1001, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(ContextMenuTest, PaneWithoutMenuLeavesTheClickToItsParent) {
  window->Show();
  auto* parent = AddPane<MenuPane<kxtest::ProbeView>>(window, PaneAt(0, 0, 200, 150));
  parent->Show();
  auto* child = AddPane<MenuPane<kxtest::ProbePane>>(parent, PaneAt(10, 10, 50, 50));
  child->Show();
  parent->SetContextMenu(MakeMenu());

  RightClick(child);
  EXPECT_EQ(1, child->asked);
  EXPECT_EQ(0, child->menusShown);
  EXPECT_EQ(1, parent->menusShown) << "the native procedure handed it up";
  EXPECT_TRUE(gMenuWasShown);
}

}  // namespace
