// Tracking a pop-up menu: a modal loop over the active window, so these run
// one at a time. A timer plays the user inside the menu's loop.
#include "CP_Menu.h"
#include "ControlTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kxtest::PaneAt;
using kxtest::ProbePane;

using MenuFocusTest = kxtest::SceneTest;

// The keys the timer types into the shown menu; empty: it closes the menu.
std::vector<WPARAM> gKeys;
bool gMenuShown = false;

VOID CALLBACK PlayUser(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = kxtest::FindOwnWindow("#32768");
  if (!popup || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, id);
  gMenuShown = true;
  if (gKeys.empty()) {
    EndMenu();
    return;
  }
  for (WPARAM key : gKeys) {
    PostMessageA(popup, WM_KEYDOWN, key, 0);
    PostMessageA(popup, WM_KEYUP, key, 0);
  }
}

CP_Menu* MakeMenu() {
  CP_Menu* menu = new CP_Menu(300, "Film", CreatePopupMenu());
  menu->AppendItem("&Play", 1000);
  menu->AppendItem("&Stop", 1001);
  menu->AppendItem("&Rewind", 1002);
  return menu;
}

// Takes the commands that reach it.
class CommandTarget : public CP_M_Commander {
 public:
  explicit CommandTarget(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  int32_t ExecuteCommand(int32_t command) override {
    commands.push_back(command);
    return 0;
  }
  std::vector<int32_t> commands;
};

class TrackTest : public MenuFocusTest {
 protected:
  void SetUp() override {
    MenuFocusTest::SetUp();
    pane = AddPane(window, PaneAt(0, 0, 200, 150));
    window->Show();
    pane->Show();
    menu = MakeMenu();
    menu->AddReference();
    GetWindowRect(pane->GetHWND(), &place);
  }
  void TearDown() override {
    menu->RemoveReference();
    MenuFocusTest::TearDown();
  }
  int16_t Track(std::vector<WPARAM> keys) {
    gKeys = std::move(keys);
    gMenuShown = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, PlayUser);
    menu->PrepareForDisplay();
    const int16_t chosen = menu->TrackPopupForItem(pane, CP_Point(int32_t(place.left + 5), int32_t(place.top + 5)));
    KillTimer(nullptr, timer);
    return chosen;
  }

  ProbePane* pane = nullptr;
  CP_Menu* menu = nullptr;
  RECT place = {};
};

TEST_F(TrackTest, ChosenItemIsAnsweredByPosition) {
  EXPECT_EQ(2, Track({VK_DOWN, VK_DOWN, VK_RETURN}));
  EXPECT_TRUE(gMenuShown);
}

TEST_F(TrackTest, DismissedMenuAnswersZero) {
  EXPECT_EQ(0, Track({}));
  EXPECT_TRUE(gMenuShown);
}

TEST_F(TrackTest, ChosenCommandReachesTheTargetThroughTheOwnerWindow) {
  CommandTarget target(app);
  CP_M_Commander::ChangeTarget(&target);
  gKeys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
  gMenuShown = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, PlayUser);
  menu->TrackPopup(pane, CP_Point(int32_t(place.left + 5), int32_t(place.top + 5)));
  KillTimer(nullptr, timer);
  kxtest::PumpUntil([&] { return !target.commands.empty(); }, 2000);
  EXPECT_EQ(std::vector<int32_t>{1002}, target.commands);
}

}  // namespace
