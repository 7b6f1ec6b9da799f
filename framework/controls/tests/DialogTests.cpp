// Dialogs driven one message at a time: the recorded message, showing the
// window again, commands stopped by a dialog window, giving back the target
// and the event dispatching, WM_QUIT, windows that cannot be made.
#include "CP_Desktop.h"
#include "CP_Dialog.h"
#include "CP_EventHandler.h"
#include "CP_Exception.h"
#include "CP_MenuBar.h"
#include "CP_PushButton.h"
#include "ControlTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using kxtest::Describe;
using kxtest::PaneAt;

using DialogTest = kxtest::SceneTest;

CP_WindowInfo DialogWindow(uint8_t kind = CP_Window::kDialogLike) { return Describe(kind, 50, 50, 240, 140); }

// Runs an action when WM_APP reaches its window.
class ActionPane : public CP_Pane {
 public:
  ActionPane(CP_View* super, std::function<void()> action)
      : CP_Pane(super, PaneAt(0, 0, 10, 10)), fAction(std::move(action)) {
    MakeWindow(super, CP_Point(), CP_Size(10, 10));
  }
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) {
      ++heard;
      fAction();
      return 0;
    }
    return CP_Pane::HandleMessage(window, message, wParam, lParam);
  }
  int heard = 0;

 private:
  std::function<void()> fAction;
};

// Steps the dialog until the pane heard WM_APP; answers that step's record.
CP_Message StepUntilHeard(CP_Dialog& dialog, ActionPane* pane) {
  PostMessageA(pane->GetHWND(), WM_APP, 0, 0);
  CP_Message message;
  for (int steps = 0; pane->heard == 0 && steps < 1000; ++steps) dialog.ProcessModalEvent(message);
  return message;
}

TEST_F(DialogTest, WindowMadeInCodeIsCentredTargetedAndShownByTheFirstStep) {
  CP_Dialog dialog;
  EXPECT_EQ(nullptr, dialog.GetWindow());
  dialog.MakeWindow(DialogWindow(), "Steps");
  CP_Window* box = dialog.GetWindow();
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("Steps", box->GetTitle());
  EXPECT_EQ(static_cast<CP_M_Commander*>(&dialog), box->GetParentCommander());
  EXPECT_EQ(static_cast<CP_M_Commander*>(box), CP_M_Commander::GetTarget());
  EXPECT_EQ(1, box->CountEventHandlers()) << "the undo manager";
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  EXPECT_EQ((desktop->GetWorkAreaWidth() - box->GetFrameWidth()) / 2, box->GetPosition().h);

  auto* pane = new ActionPane(box, [] {});
  CP_Message message(&dialog, 7, 9, 9);
  message = StepUntilHeard(dialog, pane);
  EXPECT_TRUE(box->IsVisible());
  EXPECT_EQ(-1, message.value) << "nothing was broadcast";
  EXPECT_EQ(255, message.code);
  EXPECT_EQ(nullptr, message.sender);
  EXPECT_EQ(0u, message.data);
}

TEST_F(DialogTest, StepReportsTheLastOfItsBroadcasts) {
  CP_Dialog dialog;
  dialog.MakeWindow(DialogWindow(), "Two");
  CP_Window* box = dialog.GetWindow();
  auto* first = new CP_PushButton(box, PaneAt(10, 10, 60, 24), "One", false);
  auto* second = new CP_PushButton(box, PaneAt(80, 10, 60, 24), "Two", false);
  first->SetBroadcastCode(5);
  second->SetBroadcastCode(6);
  first->AddListener(&dialog);
  second->AddListener(&dialog);
  auto* pane = new ActionPane(box, [&] {
    first->Press();
    second->Press();
  });
  const CP_Message message = StepUntilHeard(dialog, pane);
  EXPECT_EQ(6, message.value);
  EXPECT_EQ(0, message.code);
  EXPECT_EQ(static_cast<CP_Control*>(second), message.sender);
  EXPECT_EQ(6, dialog.GetLastMessage().value);
}

// Keeps what each broadcast it hears answered.
class HearingDialog : public CP_Dialog {
 public:
  const CP_Message& ListenToMessage(const CP_Message& message) override {
    const CP_Message& last = CP_Dialog::ListenToMessage(message);
    heard.push_back(last.value);
    sameRecord = &last == &GetLastMessage();
    return last;
  }
  std::vector<int32_t> heard;
  bool sameRecord = false;
};

// Every broadcast of the dialog's controls goes through ListenToMessage,
// which records it and answers the recorded message.
TEST_F(DialogTest, BroadcastsReachListenToMessage) {
  HearingDialog dialog;
  dialog.MakeWindow(DialogWindow(), "Hear");
  CP_Window* box = dialog.GetWindow();
  auto* button = new CP_PushButton(box, PaneAt(10, 10, 60, 24), "One", false);
  button->SetBroadcastCode(5);
  button->AddListener(&dialog);
  auto* pane = new ActionPane(box, [&] { button->Press(); });
  const CP_Message message = StepUntilHeard(dialog, pane);
  EXPECT_EQ(std::vector<int32_t>{5}, dialog.heard);
  EXPECT_TRUE(dialog.sameRecord) << "the answer is the last message itself";
  EXPECT_EQ(5, message.value);

  const CP_Message other(&dialog, 3, 77, 9);
  const CP_Message& answer = dialog.ListenToMessage(other);
  EXPECT_EQ(77, answer.value);
  EXPECT_EQ(3, answer.code);
  EXPECT_EQ(&dialog, answer.sender);
  EXPECT_EQ(9u, answer.data);
}

TEST_F(DialogTest, HiddenWindowIsShownAgainBeforeTheNextMessage) {
  CP_Dialog dialog;
  dialog.MakeWindow(DialogWindow(), "Hide");
  auto* pane = new ActionPane(dialog.GetWindow(), [] {});
  StepUntilHeard(dialog, pane);
  dialog.GetWindow()->Hide();
  ASSERT_FALSE(dialog.GetWindow()->IsVisible());
  PostMessageA(pane->GetHWND(), WM_APP, 0, 0);
  CP_Message message;
  dialog.ProcessModalEvent(message);
  EXPECT_TRUE(dialog.GetWindow()->IsVisible());
}

// Enables command 1000 when it is asked.
class PlayingApplication : public CP_Application {
 public:
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override {
    if (command == 1000) CP_MenuBar::GetMenuBar()->EnableCommand(command);
    else CP_Application::GetCommandStatus(command, menu);
  }
};

// Consumes every command and status question it is offered.
class Swallower : public CP_EventHandlerAttachment {
 public:
  Swallower() : CP_EventHandlerAttachment(kEventKind_Any) {}
  bool HandleEvent(uint32_t, uintptr_t) override {
    ++offered;
    return false;
  }
  int offered = 0;
};

TEST_F(DialogTest, DialogWindowOfKindThreeStopsTheApplicationsCommands) {
  PlayingApplication playing;
  CreateMenuBar();
  CP_MenuBar::GetMenuBar()->LoadMenus(129);
  HMENU film = CP_MenuBar::GetMenuBar()->GetMenu(1)->GetHandle();
  CP_M_Commander::ChangeTarget(&playing);
  CP_M_Commander::UpdateMenus();
  ASSERT_FALSE(GetMenuState(film, 1000, MF_BYCOMMAND) & MF_GRAYED);

  struct Case {
    const char* name;
    uint8_t kind;
    bool stopped;
  };
  const Case kCases[] = {{"kind 3", CP_Window::kDialogLike, true}, {"kind 2", CP_Window::kFloating, false}};
  for (const Case& c : kCases) {
    CP_Dialog dialog;
    auto* swallower = new Swallower;
    dialog.AttachEventHandler(swallower);
    dialog.MakeWindow(DialogWindow(c.kind), c.name);
    EXPECT_TRUE(GetMenuState(film, 1000, MF_BYCOMMAND) & MF_GRAYED) << c.name;
    const int32_t answer = dialog.GetWindow()->ExecuteCommand(1000);
    if (c.stopped) {
      EXPECT_EQ(kCmd_NotHandled, answer) << c.name;
      EXPECT_EQ(0, swallower->offered) << c.name << ": the dialog's handlers are not asked";
    } else {
      EXPECT_NE(kCmd_NotHandled, answer) << c.name << ": a handler took it";
      EXPECT_GT(swallower->offered, 0) << c.name;
    }
  }
  EXPECT_EQ(static_cast<CP_M_Commander*>(&playing), CP_M_Commander::GetTarget());
  EXPECT_FALSE(GetMenuState(film, 1000, MF_BYCOMMAND) & MF_GRAYED) << "the refresh after the dialog";
}

TEST_F(DialogTest, TargetOfTheDialogsBirthIsTheTargetAgainAfterIt) {
  CP_M_Commander before(app), meanwhile(app);
  CP_M_Commander::ChangeTarget(&before);
  HWND native = nullptr;
  {
    CP_Dialog dialog;
    dialog.MakeWindow(DialogWindow(), "Target");
    native = dialog.GetWindow()->GetHWND();
    CP_M_Commander::ChangeTarget(&meanwhile);
  }
  EXPECT_EQ(&before, CP_M_Commander::GetTarget());
  EXPECT_FALSE(IsWindow(native)) << "the dialog's window went with it";
}

TEST_F(DialogTest, EventDispatchingIsHandedBackWhenTheDialogEnds) {
  ASSERT_EQ(static_cast<CP_M_EventDispatcher*>(app), CP_M_EventDispatcher::GetDispatcher());
  {
    CP_Dialog outer;
    EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(&outer), CP_M_EventDispatcher::GetDispatcher());
    {
      CP_Dialog inner;
      EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(&inner), CP_M_EventDispatcher::GetDispatcher());
    }
    EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(&outer), CP_M_EventDispatcher::GetDispatcher());
  }
  EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(app), CP_M_EventDispatcher::GetDispatcher());

  // Ended out of order: a later one hands back past the one that went.
  auto* first = new CP_Dialog;
  auto* second = new CP_Dialog;
  auto* third = new CP_Dialog;
  delete second;
  EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(third), CP_M_EventDispatcher::GetDispatcher());
  delete third;
  EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(first), CP_M_EventDispatcher::GetDispatcher());
  auto* fourth = new CP_Dialog;
  delete first;
  delete fourth;
  EXPECT_EQ(static_cast<CP_M_EventDispatcher*>(app), CP_M_EventDispatcher::GetDispatcher());
}

class CountingIdler : public CP_M_Idler {
 public:
  void Idle(CP_Event&) override { ++turns; }
  int turns = 0;
};

TEST_F(DialogTest, QuitInsideADialogIsTakenAndAnsweredWithTheIdleTasks) {
  CP_Dialog dialog;
  dialog.MakeWindow(DialogWindow(), "Quit");
  auto* pane = new ActionPane(dialog.GetWindow(), [] {});
  StepUntilHeard(dialog, pane);
  CountingIdler idler;
  idler.StartIdleCalls();
  PostQuitMessage(0);
  CP_Message message;
  for (int steps = 0; idler.turns == 0 && steps < 1000; ++steps) dialog.ProcessModalEvent(message);
  EXPECT_EQ(1, idler.turns);
  EXPECT_EQ(-1, message.value);
  EXPECT_EQ(255, message.code);
  MSG left = {};
  EXPECT_FALSE(PeekMessageA(&left, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "consumed";
}

TEST_F(DialogTest, WindowThatClosesItselfIsForgotten) {
  CP_Dialog dialog;
  dialog.MakeWindow(DialogWindow(CP_Window::kDocument), "Closing");
  HWND native = dialog.GetWindow()->GetHWND();
  EXPECT_TRUE(dialog.GetWindow()->TryClose());
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(nullptr, dialog.GetWindow());
  EXPECT_EQ(-1, dialog.ExecuteCommand(4242)) << "nothing of the window is asked";
}

struct Failure {
  bool thrown = false;
  std::string source;
  int32_t line = 0;
};

Failure MakeFails(const std::function<void()>& make) {
  Failure f;
  try {
    make();
  } catch (const CP_MemoryException& e) {
    f.thrown = true;
    f.source = e.GetSourceFile();
    f.line = e.GetLine();
  }
  return f;
}

TEST_F(DialogTest, WindowThatCannotBeMadeThrowsAndLeavesTheDialogWithout) {
  CP_Dialog dialog;
  Failure f = MakeFails([&] { dialog.MakeWindowFromResource(999); });
  EXPECT_TRUE(f.thrown) << "no such resource";
  EXPECT_EQ("CP_Dialog", f.source);
  EXPECT_EQ(133, f.line);
  EXPECT_EQ(nullptr, dialog.GetWindow());

  {
    kxtest::MessageBoxWatcher watcher("CP_Exception", IDOK);
    f = MakeFails([&] { dialog.MakeWindowFromResource(501); });
    EXPECT_TRUE(f.thrown) << "a tree that is no window";
    EXPECT_EQ(133, f.line);
    ASSERT_TRUE(watcher.WaitFor(1));
    EXPECT_NE(std::string::npos, watcher.LastText().find("CP_StaticText")) << watcher.LastText();
  }

  // A child window without a parent: Windows makes no native window.
  f = MakeFails([&] { dialog.MakeWindow(Describe(CP_Window::kDialogLike, 0, 0, 50, 50, WS_CHILD), "Nowhere"); });
  EXPECT_TRUE(f.thrown);
  EXPECT_EQ(99, f.line);
  EXPECT_EQ(nullptr, dialog.GetWindow());
}

}  // namespace
