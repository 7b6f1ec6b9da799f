// Clicks on native controls and the default button: these move the focus
// and the active window, so they run one at a time.
#include "CP_Menu.h"
#include "CP_PopupMenu.h"
#include "CP_PushButton.h"
#include "ControlTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::At;
using kxtest::MessageRecorder;
using kxtest::PaneAt;

using ButtonFocusTest = kxtest::SceneTest;

// A left click at (x, y) of a window, as the mouse would bring it.
void Click(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, At(x, y));
  MSG msg;
  kxtest::PumpUntil([&] { return !PeekMessageA(&msg, window, WM_LBUTTONDOWN, WM_LBUTTONUP, PM_NOREMOVE); });
  kxtest::PumpUntil([] { return false; }, 50);
}

// The space key typed into the framework window.
void TypeSpace(CP_Window* window) { SendMessageA(window->GetHWND(), WM_CHAR, ' ', 0); }

TEST_F(ButtonFocusTest, ClickedButtonTellsItsListenersOnce) {
  auto* button = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "Play", false);
  button->SetBroadcastCode(7);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  window->Show();
  Click(button->GetHWND(), 10, 10);
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(7, recorder.messages[0].value);
  EXPECT_EQ(0, recorder.messages[0].code);
  EXPECT_FALSE(CP_Control::IsTracking());

  Click(button->GetHWND(), 200, 10);
  EXPECT_EQ(1u, recorder.messages.size()) << "released outside the button";
}

TEST_F(ButtonFocusTest, DefaultButtonTakesTheFocusAndAnswersTheSpaceKey) {
  window->Show();
  auto* button = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "OK", true);
  button->SetBroadcastCode(1);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  EXPECT_EQ(button, CP_PushButton::GetDefaultButton());
  EXPECT_TRUE(button->IsDefault());
  HWND h = button->GetHWND();
  EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongA(h, GWL_STYLE) & 0xF);
  EXPECT_EQ(h, GetFocus());
  button->Show();
  button->Activate();

  TypeSpace(window);
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(1, recorder.messages[0].value);
  SendMessageA(window->GetHWND(), WM_CHAR, 'x', 0);
  EXPECT_EQ(1u, recorder.messages.size()) << "only the space";

  window->DetachSubPane(button, false, true);
  EXPECT_EQ(nullptr, CP_PushButton::GetDefaultButton());
  TypeSpace(window);
}

// Any default button that is disabled, deactivated or destroyed clears the
// one place, whoever held it.
TEST_F(ButtonFocusTest, AnyDefaultButtonTurnedOffClearsTheDefaultPlace) {
  window->Show();
  auto* first = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "First", true);
  auto* second = new CP_PushButton(window, PaneAt(100, 20, 80, 24), "Second", true);
  for (CP_PushButton* b : {first, second}) {
    b->Show();
    b->Activate();
  }
  first->SetBroadcastCode(1);
  second->SetBroadcastCode(2);
  MessageRecorder recorder;
  first->AddListener(&recorder);
  second->AddListener(&recorder);
  ASSERT_EQ(second, CP_PushButton::GetDefaultButton()) << "activated last";

  first->Disable();
  EXPECT_EQ(nullptr, CP_PushButton::GetDefaultButton());
  TypeSpace(window);
  EXPECT_TRUE(recorder.messages.empty()) << "no default button until one comes back";

  first->Enable();
  EXPECT_EQ(first, CP_PushButton::GetDefaultButton());
  TypeSpace(window);
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(1, recorder.messages[0].value);

  second->Deactivate();
  EXPECT_EQ(nullptr, CP_PushButton::GetDefaultButton());
  second->Activate();
  EXPECT_EQ(second, CP_PushButton::GetDefaultButton());
  window->DetachSubPane(first, false, true);
  EXPECT_EQ(nullptr, CP_PushButton::GetDefaultButton());
}

TEST_F(ButtonFocusTest, ItemChosenInTheDroppedListIsTheNewValue) {
  auto* popup = new CP_PopupMenu(window, PaneAt(10, 10, 120, 24), "Size", new CP_Menu(150, "Sizes", uint8_t(0)), 10);
  popup->SetBroadcastCode(3);
  MessageRecorder recorder;
  popup->AddListener(&recorder);
  window->Show();
  HWND box = popup->GetControlWindow();
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(box, &info));

  auto choose = [&](int index) {
    SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
    RECT item = {};
    SendMessageA(info.hwndList, LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    const int x = (item.left + item.right) / 2, y = (item.top + item.bottom) / 2;
    PostMessageA(info.hwndList, WM_MOUSEMOVE, 0, At(x, y));
    Click(info.hwndList, x, y);
  };
  choose(2);
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(3, recorder.messages[0].value);
  EXPECT_EQ(3, popup->GetValue());
  choose(2);
  EXPECT_EQ(1u, recorder.messages.size()) << "the item already chosen";
  choose(0);
  EXPECT_EQ(2u, recorder.messages.size());
  EXPECT_EQ(1, popup->GetValue());
}

}  // namespace
