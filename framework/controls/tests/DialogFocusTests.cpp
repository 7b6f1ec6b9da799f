// Dialogs a user answers: a dialog rebuilt from a stored object tree whose
// buttons and pop-up menu it hears, and the framework's about box.
#include "CP_AboutBox.h"
#include "CP_Dialog.h"
#include "CP_InStream.h"
#include "CP_PopupMenu.h"
#include "CP_PushButton.h"
#include "CP_Reanimator.h"
#include "CP_StaticText.h"
#include "CP_StatusBar.h"
#include "ControlTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using kxtest::At;
using kxtest::WindowText;

using DialogFocusTest = kxtest::SceneTest;

// The stored dialog window of the tests: a dialog-like window with the
// stored title.
class TestDialogWindow : public CP_Window {
 public:
  explicit TestDialogWindow(const std::string& title)
      : CP_Window(nullptr, kxtest::Describe(CP_Window::kDialogLike, 0, 0, 300, 200), title) {}
  static CP_M_Reanimatable* Create(CP_M_Reanimatable*, CP_InStream& in) {
    std::string title;
    in.ReadString(title);
    return new TestDialogWindow(title);
  }

 protected:
  const char* RuntimeClassName() const override { return "TestDialogWindow"; }
};

void PostClick(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, At(x, y));
}

// Steps until a message with a value comes, at most `steps` steps.
CP_Message StepUntilBroadcast(CP_Dialog& dialog, int steps = 2000) {
  CP_Message message;
  for (int i = 0; i < steps; ++i) {
    dialog.ProcessModalEvent(message);
    if (message.value != -1) break;
  }
  return message;
}

template <typename T>
T* Find(CP_Window* window, const char (&id)[5]) {
  return dynamic_cast<T*>(window->FindSubPaneById(int32_t(CP_FourCC(id)), true));
}

TEST_F(DialogFocusTest, StoredDialogAnswersItsButtonsAndItsMenu) {
  CP_Reanimator::RegisterCreator("TestDialogWindow", TestDialogWindow::Create);
  CP_Dialog dialog;
  dialog.MakeWindowFromResource(500);
  CP_Window* box = dialog.GetWindow();
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Stored", box->GetTitle());
  EXPECT_EQ(static_cast<CP_M_Commander*>(&dialog), box->GetParentCommander());

  auto* play = Find<CP_PushButton>(box, "play");
  auto* stop = Find<CP_PushButton>(box, "stop");
  auto* label = Find<CP_StaticText>(box, "labl");
  auto* sizes = Find<CP_PopupMenu>(box, "size");
  auto* status = Find<CP_StatusBar>(box, "stat");
  ASSERT_TRUE(play && stop && label && sizes && status);
  EXPECT_EQ("Play", WindowText(play->GetHWND()));
  EXPECT_FALSE(play->IsDefault());
  EXPECT_TRUE(stop->IsDefault());
  EXPECT_EQ(stop, CP_PushButton::GetDefaultButton());
  EXPECT_EQ("Choose", WindowText(label->GetHWND()));
  EXPECT_EQ(3, SendMessageA(sizes->GetControlWindow(), CB_GETCOUNT, 0, 0));
  EXPECT_FALSE(status->IsAttached());

  PostClick(play->GetHWND(), 5, 5);
  CP_Message message = StepUntilBroadcast(dialog);
  EXPECT_EQ(1, message.value) << "Play";
  EXPECT_EQ(0, message.code);
  EXPECT_EQ(static_cast<CP_Control*>(play), message.sender);

  PostMessageA(box->GetHWND(), WM_CHAR, ' ', 0);
  message = StepUntilBroadcast(dialog);
  EXPECT_EQ(2, message.value) << "the space presses the default Stop";

  sizes->SetValue(2, false);
  SendMessageA(sizes->GetControlWindow(), CB_SHOWDROPDOWN, TRUE, 0);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  GetComboBoxInfo(sizes->GetControlWindow(), &info);
  RECT item = {};
  SendMessageA(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
  PostMessageA(info.hwndList, WM_MOUSEMOVE, 0, At(item.left + 5, item.top + 3));
  PostClick(info.hwndList, item.left + 5, item.top + 3);
  message = StepUntilBroadcast(dialog);
  EXPECT_EQ(3, message.value) << "the pop-up menu";
  EXPECT_EQ(3, sizes->GetValue());
}

// ---------------------------------------------------------------------------
// The about box, through the application's about command.

// What the timer that plays the user saw and did.
struct User {
  std::vector<std::function<void(HWND box, HWND ok)>> steps;  // one per tick
  size_t done = 0;
  HWND box = nullptr;
  UINT_PTR timer = 0;
};
User* gUser = nullptr;

HWND FindOKButton(HWND* boxOut) {
  HWND box = nullptr;
  while ((box = kxtest::FindOwnWindow("CP_Window", nullptr, box))) {
    if (HWND ok = FindWindowExA(box, nullptr, "Button", "OK")) {
      *boxOut = box;
      return ok;
    }
  }
  return nullptr;
}

VOID CALLBACK UserTick(HWND, UINT, UINT_PTR, DWORD) {
  User& user = *gUser;
  HWND box = nullptr;
  HWND ok = FindOKButton(&box);
  if (!ok || user.done >= user.steps.size()) return;
  user.box = box;
  user.steps[user.done++](box, ok);
}

class AboutBoxTest : public DialogFocusTest {
 protected:
  // Runs the about command while the user takes the steps, one per tick.
  void RunAbout(User& user) {
    gUser = &user;
    user.timer = SetTimer(nullptr, 0, 100, UserTick);
    app->ExecuteCommand(kCmd_About);
    KillTimer(nullptr, user.timer);
    gUser = nullptr;
  }
};

TEST_F(AboutBoxTest, BoxReturnsOnlyWhenOKIsClicked) {
  User user;
  std::vector<std::string> texts;
  RECT okPlace = {};
  LONG exStyle = -1;
  user.steps.push_back([&](HWND box, HWND ok) {
    for (HWND child = nullptr; (child = FindWindowExA(box, child, "Static", nullptr));)
      texts.push_back(WindowText(child));
    okPlace = kxtest::PlaceInParent(ok);
    exStyle = GetWindowLongA(box, GWL_EXSTYLE);
    SendMessageA(box, WM_CHAR, 'x', 0);
    PostClick(FindWindowExA(box, nullptr, "Static", nullptr), 3, 3);
  });
  user.steps.push_back([](HWND, HWND ok) { PostClick(ok, 10, 8); });
  RunAbout(user);

  EXPECT_EQ(2u, user.done) << "the first step did not end the box";
  ASSERT_EQ(2u, texts.size());
  EXPECT_NE(std::string::npos, texts[0].find("framework"));
  EXPECT_EQ(250, okPlace.left) << "box width - 100";
  EXPECT_EQ(154, okPlace.top) << "box height - 36";
  EXPECT_EQ(80, okPlace.right - okPlace.left);
  EXPECT_EQ(20, okPlace.bottom - okPlace.top);
  EXPECT_EQ(0, exStyle & WS_EX_LAYOUTRTL) << "not mirrored";
  EXPECT_FALSE(IsWindow(user.box)) << "the box is gone";
  EXPECT_EQ(nullptr, CP_PushButton::GetDefaultButton());
  EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(app), CP_M_EventDispatcher::GetDispatcher());
}

TEST_F(AboutBoxTest, SpacePressesTheDefaultOK) {
  User user;
  user.steps.push_back([](HWND box, HWND) { PostMessageA(box, WM_CHAR, ' ', 0); });
  RunAbout(user);
  EXPECT_EQ(1u, user.done);
  EXPECT_FALSE(IsWindow(user.box));
}

}  // namespace

namespace {

int gStoredClicks = 0;

// Clicks "Play" (broadcast code 1) of the stored box once it shows.
VOID CALLBACK ClickStoredPlay(HWND, UINT, UINT_PTR, DWORD) {
  HWND box = kxtest::FindOwnWindow("CP_Window", "Stored");
  HWND play = box ? FindWindowExA(box, nullptr, "Button", "Play") : nullptr;
  if (!play || gStoredClicks > 0) return;
  ++gStoredClicks;
  PostClick(play, 5, 5);
}

TEST_F(AboutBoxTest, StoredBoxEndsWithTheButtonOfCodeOne) {
  CP_Reanimator::RegisterCreator("TestDialogWindow", TestDialogWindow::Create);
  gStoredClicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, ClickStoredPlay);
  CP_AboutBox box;
  box.ShowModalFromResource(500);
  KillTimer(nullptr, timer);
  EXPECT_EQ(1, gStoredClicks);
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("CP_Window", "Stored"));
}

}  // namespace
