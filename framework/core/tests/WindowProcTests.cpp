#include "CP_Application.h"
#include "CP_Callback.h"
#include "CP_Window.h"
#include "WindowTestSupport.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr UINT kProbe = WM_APP + 5;

// Answers kProbe with 7 and "not handled" for WM_APP + 6; counts SC_CLOSE.
class ProbeWindow : public CP_Window {
 public:
  explicit ProbeWindow(CP_M_Commander* parent)
      : CP_Window(parent, kxtest::Describe(kDialogLike, 30, 30, 200, 100, WS_OVERLAPPEDWINDOW), "probe") {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    ++fMessages;
    if (message == kProbe) return 7;
    if (message == kProbe + 1) return kNotHandled;
    if (message == kProbe + 2) throw std::runtime_error("from the window procedure");
    return CP_Window::HandleMessage(window, message, wParam, lParam);
  }
  int32_t ExecuteCommand(int32_t command) override {
    fLastCommand = command;
    return 0;
  }
  using CP_Pane::InstallWindow;
  int fMessages = 0;
  int32_t fLastCommand = 0;
};

using WindowProcTest = FrameworkTest;

TEST_F(WindowProcTest, ScreenSaveIsRefusedOtherSystemCommandsReachTheWindow) {
  CP_Application app;
  ProbeWindow window(&app);
  EXPECT_EQ(1, SendMessageA(window.GetHWND(), WM_SYSCOMMAND, SC_SCREENSAVE, 0));
  EXPECT_EQ(0, window.fMessages);
  SendMessageA(window.GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(kCmd_Quit, window.fLastCommand) << "the close box quits";
  window.fLastCommand = 0;
  SendMessageA(window.GetHWND(), WM_CLOSE, 0, 0);
  EXPECT_EQ(kCmd_Quit, window.fLastCommand);
}

TEST_F(WindowProcTest, AnswersAndNotHandled) {
  CP_Application app;
  ProbeWindow window(&app);
  EXPECT_EQ(7, SendMessageA(window.GetHWND(), kProbe, 0, 0));
  // Not handled goes to DefWindowProcA, which answers 0 for an application message.
  EXPECT_EQ(0, SendMessageA(window.GetHWND(), kProbe + 1, 0, 0));
}

TEST_F(WindowProcTest, SilentPaneGetsNoMessages) {
  CP_Application app;
  ProbeWindow window(&app);
  window.SetIdentifier(CP_Pane::kSilentIdentifier);
  EXPECT_EQ(0, SendMessageA(window.GetHWND(), kProbe, 0, 0));
  EXPECT_EQ(0, window.fMessages);
}

TEST_F(WindowProcTest, ForeignUserDataIsNotTakenForAPane) {
  // A window that keeps a pointer of its own in its user data and is then
  // routed to the framework's procedures must not be read as a pane.
  HWND foreign = kxtest::MakePlainWindow();
  int notAPane = 1234;
  SetWindowLongPtrA(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&notAPane));
  EXPECT_EQ(nullptr, CP_Pane::FromWindow(foreign));
  SetWindowLongPtrA(foreign, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TopWindowProc));
  EXPECT_EQ(0, SendMessageA(foreign, kProbe, 0, 0));
  SetWindowLongPtrA(foreign, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaneWindowProc));
  EXPECT_EQ(0, SendMessageA(foreign, kProbe, 0, 0));
  EXPECT_EQ(1234, notAPane);
  DestroyWindow(foreign);
}

TEST_F(WindowProcTest, ExceptionIsKeptAndRethrownAfterTheWindowsCall) {
  CP_Application app;
  ProbeWindow window(&app);
  EXPECT_EQ(0, SendMessageA(window.GetHWND(), kProbe + 2, 0, 0)) << "a neutral answer";
  ASSERT_TRUE(CP_HasPendingException());
  try {
    CP_RethrowPendingException();
    FAIL() << "nothing rethrown";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ("from the window procedure", e.what());
  }
  EXPECT_FALSE(CP_HasPendingException());
}

TEST_F(WindowProcTest, ClosedWindowLeavesNothingToFindByTitle) {
  CP_Application app;
  {
    CP_Window window(&app, kxtest::Describe(CP_Window::kDialogLike, 0, 0, 100, 100, WS_POPUP), "kx closed window probe");
    ASSERT_NE(nullptr, FindWindowA(nullptr, "kx closed window probe"));
  }
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "kx closed window probe"));
}

}  // namespace
