// Pressing the product's text button with the mouse, its pop-up menu and its
// lightened look: these need the window active and hold the mouse capture.
#include "CP_Button.h"
#include "CP_Menu.h"
#include "GH_Button.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kxtest::At;
using kxtest::MessageRecorder;
using kxtest::PaneAt;

using TextButtonFocusTest = kxtest::SceneTest;

TEST_F(TextButtonFocusTest, PressedLookFollowsThePointerAndOnlyAReleaseInsideBroadcasts) {
  auto* button = new GH_Button(window, PaneAt(10, 20, 100, 40), "Play", 1, 4, 0, 1, 0, 3);
  button->SetBroadcastCode(7);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  kxtest::ShowAndActivate(window);
  ASSERT_TRUE(button->IsActive() && button->IsEnabled());
  HWND h = button->GetHWND();

  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  EXPECT_EQ(1, button->IsPushed());
  EXPECT_EQ(h, GetCapture());
  EXPECT_TRUE(CP_Control::IsTracking());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 10));
  EXPECT_EQ(0, button->IsPushed()) << "dragged out";
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(20, 10));
  EXPECT_EQ(1, button->IsPushed()) << "and back in";
  SendMessageA(h, WM_LBUTTONUP, 0, At(20, 10));
  EXPECT_EQ(0, button->IsPushed());
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_FALSE(CP_Control::IsTracking());
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(7, recorder.messages[0].value);
  EXPECT_EQ(0, recorder.messages[0].code);
  EXPECT_EQ(static_cast<CP_Control*>(button), recorder.messages[0].sender);

  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 10));
  SendMessageA(h, WM_LBUTTONUP, 0, At(150, 10));
  EXPECT_EQ(1u, recorder.messages.size()) << "released outside";

  button->SetBroadcastCode(0);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageA(h, WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_EQ(1u, recorder.messages.size()) << "a broadcast code of 0 says nothing";
}

TEST_F(TextButtonFocusTest, UnavailableButtonDrawsItsTriangleLightened) {
  auto* button = new GH_Button(window, PaneAt(10, 20, 100, 40), "Size", 0, 0, 0, 1, 0, 3);
  button->SetPopupMenu(new CP_Menu(150, "Sizes", uint8_t(1)), GH_Button::kArrowDown, 1, 0);
  kxtest::ShowAndActivate(window);
  // The triangle's top row runs from (85, 29) to (93, 29).
  kxtest::DibSurface available(100, 40);
  kxtest::DrawInto(button, available);
  EXPECT_EQ(RGB(0, 0, 0), available.Pixel(89, 29));
  EXPECT_EQ(RGB(0, 0, 0), available.Pixel(89, 33)) << "its tip";

  button->Disable();
  kxtest::DibSurface disabled(100, 40);
  kxtest::DrawInto(button, disabled);
  EXPECT_EQ(RGB(0x7F, 0x7F, 0x7F), disabled.Pixel(89, 29)) << "half way to white";
}

TEST_F(TextButtonFocusTest, FrameworkButtonBroadcastsOnAReleaseInside) {
  auto* button = new CP_Button(window, PaneAt(10, 20, 100, 30), "Open", 1, 4, 0);
  button->SetBroadcastCode(5);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  kxtest::ShowAndActivate(window);
  HWND h = button->GetHWND();
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  EXPECT_TRUE(button->IsPushed());
  SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(150, 10));
  EXPECT_FALSE(button->IsPushed());
  SendMessageA(h, WM_LBUTTONUP, 0, At(150, 10));
  EXPECT_TRUE(recorder.messages.empty());
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageA(h, WM_LBUTTONUP, 0, At(10, 10));
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(5, recorder.messages[0].value);
}

// The menu's own loop runs inside the mouse-down; a timer plays the user.
std::vector<WPARAM> gKeys;
bool gCheckedWhileShown = false;
CP_Menu* gMenu = nullptr;

VOID CALLBACK PlayUser(HWND, UINT, UINT_PTR id, DWORD) {
  HWND popup = kxtest::FindOwnWindow("#32768");
  if (!popup || !IsWindowVisible(popup)) return;
  KillTimer(nullptr, id);
  gCheckedWhileShown = (GetMenuState(gMenu->GetHandle(), 0, MF_BYPOSITION) & MF_CHECKED) != 0;
  for (WPARAM key : gKeys) {
    PostMessageA(popup, WM_KEYDOWN, key, 0);
    PostMessageA(popup, WM_KEYUP, key, 0);
  }
}

TEST_F(TextButtonFocusTest, MenuOpensOnPressAndTheChoiceBecomesTheValue) {
  auto* button = new GH_Button(window, PaneAt(10, 20, 100, 40), "Size", 0, 0, 0, 1, 0, 3);
  gMenu = new CP_Menu(150, "Sizes", uint8_t(1));
  button->SetPopupMenu(gMenu, GH_Button::kArrowDown, 1, 1);
  kxtest::ShowAndActivate(window);
  HWND h = button->GetHWND();

  gKeys = {VK_DOWN, VK_DOWN, VK_RETURN};
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, PlayUser);
  SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  KillTimer(nullptr, timer);
  kxtest::PumpUntil([&] { return button->GetValue() == 2; }, 2000);

  EXPECT_TRUE(gCheckedWhileShown) << "the old value's item carries the mark";
  EXPECT_EQ(0u, GetMenuState(gMenu->GetHandle(), 0, MF_BYPOSITION) & MF_CHECKED) << "and loses it";
  EXPECT_EQ(2, button->GetValue()) << "Medium";
  EXPECT_EQ(0, button->IsPushed()) << "released when the menu closed";
  EXPECT_FALSE(CP_Control::IsTracking());
  EXPECT_NE(h, GetCapture());
}

}  // namespace
