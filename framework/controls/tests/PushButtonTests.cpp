// Push buttons on the native "button" class: text, value, enabling and
// pressing. Clicks and default buttons, which move the focus, are in the
// focus program.
#include "CP_PushButton.h"
#include "ControlTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::MessageRecorder;
using kxtest::PaneAt;
using kxtest::WindowText;

using PushButtonTest = kxtest::SceneTest;

// Counts the titles set on its window.
class CountingButton : public CP_PushButton {
 public:
  using CP_PushButton::CP_PushButton;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_SETTEXT) ++titlesSet;
    return CP_PushButton::HandleMessage(window, message, wParam, lParam);
  }
  int titlesSet = 0;
};

TEST_F(PushButtonTest, PlainButtonIsAHiddenNativeButtonUntilItsWindowShows) {
  auto* button = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "&Play", false);
  HWND h = button->GetControlWindow();
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(button->GetHWND(), h);
  EXPECT_EQ(window->GetHWND(), GetParent(h));
  char className[32] = {};
  GetClassNameA(h, className, sizeof className);
  EXPECT_STREQ("Button", className);
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  EXPECT_EQ(0, style & BS_DEFPUSHBUTTON);
  EXPECT_EQ(0, style & WS_VISIBLE);
  EXPECT_EQ("&Play", WindowText(h));
  EXPECT_EQ(CP_PlatformControl::kPushButton, button->GetControlKind());
  EXPECT_EQ(0, button->GetMinValue());
  EXPECT_EQ(1, button->GetMaxValue());
  EXPECT_EQ(0, button->GetValue()) << "what BM_GETCHECK answers";
  EXPECT_EQ(button, CP_Pane::FromWindow(h));

  window->Show();
  EXPECT_TRUE(IsWindowVisible(h));
  const RECT r = kxtest::PlaceInParent(h);
  EXPECT_EQ(10, r.left);
  EXPECT_EQ(20, r.top);
  EXPECT_EQ(80, r.right - r.left);
  button->MoveTo(CP_Point(int16_t(30), int16_t(40)), 1);
  EXPECT_EQ(30, kxtest::PlaceInParent(h).left);
}

TEST_F(PushButtonTest, TextComesFromTheWindowAndOnlyANewTextIsSent) {
  auto* button = new CountingButton(window, PaneAt(10, 20, 80, 24), "Play", false);
  button->SetText("Play");
  EXPECT_EQ(0, button->titlesSet) << "the window already shows it";
  button->SetText("Pause");
  EXPECT_EQ(1, button->titlesSet);
  EXPECT_EQ("Pause", WindowText(button->GetHWND()));

  const std::string longTitle(300, 'x');
  SetWindowTextA(button->GetHWND(), longTitle.c_str());
  EXPECT_EQ(std::string(255, 'x'), button->GetText()) << "at most 255 characters";
}

TEST_F(PushButtonTest, PressTellsTheListenersOnlyWhileTheButtonIsEnabled) {
  auto* button = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "Play", false);
  button->SetBroadcastCode(4);
  MessageRecorder recorder;
  button->AddListener(&recorder);
  window->Show();

  button->Disable();
  EXPECT_FALSE(IsWindowEnabled(button->GetHWND()));
  EXPECT_FALSE(button->PressDefault());
  EXPECT_FALSE(button->Press());
  EXPECT_TRUE(recorder.messages.empty());

  button->Enable();
  EXPECT_TRUE(IsWindowEnabled(button->GetHWND()));
  EXPECT_TRUE(button->Press());
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(4, recorder.messages[0].value);
  EXPECT_EQ(0, recorder.messages[0].code);
  EXPECT_EQ(static_cast<CP_Control*>(button), recorder.messages[0].sender);
}

// BN_CLICKED reaches the parent pane, which hands it to the button's pane:
// the button tells its listeners. The parent may be the window or a view.
TEST_F(PushButtonTest, ClickReportedToTheParentReachesTheListeners) {
  auto* view = new CP_View(window, PaneAt(0, 0, 300, 200));
  view->MakeWindow(window, CP_Point(), CP_Size(300, 200));
  for (CP_View* parent : {static_cast<CP_View*>(window), view}) {
    auto* button = new CP_PushButton(parent, PaneAt(10, 20, 80, 24), "Play", false);
    button->SetBroadcastCode(9);
    MessageRecorder recorder;
    button->AddListener(&recorder);
    const int id = GetDlgCtrlID(button->GetHWND());
    SendMessageA(parent->GetHWND(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button->GetHWND()));
    ASSERT_EQ(1u, recorder.messages.size()) << (parent == view ? "view" : "window");
    EXPECT_EQ(9, recorder.messages[0].value);
  }
}

}  // namespace
