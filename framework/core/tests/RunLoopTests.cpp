#include "CP_Application.h"
#include "CP_Callback.h"
#include "CP_Clipboard.h"
#include "CP_MenuBar.h"
#include "CP_Exception.h"
#include "CP_Window.h"
#include "WindowTestSupport.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kThrow = WM_APP + 2;

class TestApp : public CP_Application {
 public:
  // Each Run makes a menu bar and a clipboard object; a test runs several.
  ~TestApp() override {
    delete CP_MenuBar::GetMenuBar();
    delete CP_Clipboard::GetClipboard();
  }
  void ReportException(const std::exception& failure) override {
    ++fReports;
    fReported = failure.what();
  }
  using CP_Application::SetQuitFlag;

  int fReports = 0;
  std::string fReported;
};

// An 'EVev' handler that runs a function for every pass of the loop.
class PassHook : public CP_EventHandlerAttachment {
 public:
  explicit PassHook(std::function<bool(CP_Event&)> body)
      : CP_EventHandlerAttachment(kEventKind_RunLoop), fBody(std::move(body)) {}
  bool HandleEvent(uint32_t, uintptr_t data) override {
    return fBody(*reinterpret_cast<CP_Event*>(data));
  }

 private:
  std::function<bool(CP_Event&)> fBody;
};

class CountingIdler : public CP_M_Idler {
 public:
  void Idle(CP_Event&) override {
    ++fPasses;
    if (fThrow) throw std::runtime_error("idler failed");
  }
  int fPasses = 0;
  bool fThrow = false;
};

// A framework window that counts kPing and throws on kThrow.
class TestWindow : public CP_Window {
 public:
  explicit TestWindow(CP_M_Commander* parent, uint8_t kind = kDialogLike)
      : CP_Window(parent, kxtest::Describe(kind, 20, 20, 200, 100, WS_OVERLAPPEDWINDOW), "run loop test") {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kPing) {
      ++fPings;
      return 0;
    }
    if (message == kThrow) throw CP_RuntimeException("thrown in a window procedure", "Test.cpp", 7);
    if (message == WM_KEYDOWN || message == WM_KEYUP) return 0;
    return CP_Window::HandleMessage(window, message, wParam, lParam);
  }
  int fPings = 0;
};

using RunLoopTest = FrameworkTest;

TEST_F(RunLoopTest, PostedQuitMessageDoesNotEndTheLoop) {
  TestApp app;
  TestWindow window(&app);
  CountingIdler idler;
  idler.StartIdleCalls();
  int quitPasses = 0;
  app.AttachEventHandler(new PassHook([&](CP_Event& event) {
    if (event.message == 0) {  // WM_QUIT leaves the event unfilled
      ++quitPasses;
      PostMessageA(window.GetHWND(), kPing, 0, 0);
    }
    if (event.message == kPing) app.SetQuitFlag();
    return true;
  }));
  PostQuitMessage(0);
  app.Run();

  EXPECT_EQ(1, quitPasses);
  EXPECT_EQ(1, window.fPings) << "the message after WM_QUIT was still dispatched";
  EXPECT_EQ(2, idler.fPasses) << "idlers run after WM_QUIT too";
  EXPECT_EQ(0, app.fReports);
}

TEST_F(RunLoopTest, ConsumingHandlerSkipsDispatchAndIdlers) {
  TestApp app;
  TestWindow window(&app);
  CountingIdler idler;
  idler.StartIdleCalls();
  int passes = 0;
  app.AttachEventHandler(new PassHook([&](CP_Event&) {
    if (++passes == 3) app.SetQuitFlag();
    return false;
  }));
  for (int i = 0; i < 3; ++i) PostMessageA(window.GetHWND(), kPing, 0, 0);
  app.Run();

  EXPECT_EQ(3, passes);
  EXPECT_EQ(0, window.fPings);
  EXPECT_EQ(0, idler.fPasses);
}

TEST_F(RunLoopTest, QuitCommandEndsTheLoopBeforeTheNextWait) {
  TestApp app;
  TestWindow window(&app);
  int32_t answer = -5;
  app.AttachEventHandler(new PassHook([&](CP_Event& event) {
    if (event.message == kPing) answer = app.ExecuteCommand(kCmd_Quit);
    return true;
  }));
  PostMessageA(window.GetHWND(), kPing, 0, 0);
  app.Run();  // would block in GetMessageA for ever if the flag were not tested first
  EXPECT_EQ(1, answer);
  EXPECT_TRUE(app.IsQuitting());
}

// Refuses to let its windows close.
class Refuser : public CP_M_Commander {
 public:
  explicit Refuser(CP_M_Commander* parent) : CP_M_Commander(parent) {}
  bool ApproveChildClose(CP_M_Commander*) override { return !fRefuse; }
  bool fRefuse = true;
};

TEST_F(RunLoopTest, QuitAnswersZeroWhileADocumentWindowRefuses) {
  TestApp app;
  Refuser document(&app);
  auto* stubborn = new TestWindow(&document, CP_Window::kDocument);
  auto* willing = new TestWindow(&app, CP_Window::kDocument);
  HWND willingFrame = willing->GetHWND();

  EXPECT_EQ(0, app.ExecuteCommand(kCmd_Quit));
  EXPECT_FALSE(app.IsQuitting());
  EXPECT_FALSE(IsWindow(willingFrame)) << "the window behind the refusing one was still asked";

  document.fRefuse = false;
  EXPECT_EQ(1, app.ExecuteCommand(kCmd_Quit));
  EXPECT_TRUE(app.IsQuitting());
  (void)stubborn;
}

struct FailureCase {
  const char* name;
  std::function<void(TestApp&, TestWindow&, CountingIdler&)> arrange;
  bool reportBox;
  const char* want;
};

TEST_F(RunLoopTest, FailuresAreReportedAndEndRun) {
  const FailureCase cases[] = {
      {"framework exception from an EVev handler",
       [](TestApp& app, TestWindow&, CountingIdler&) {
         app.AttachEventHandler(new PassHook([](CP_Event& event) -> bool {
           if (event.message == kPing) throw CP_RuntimeException("handler failed", "Hook.cpp", 12);
           return true;
         }));
       },
       true, "handler failed"},
      {"standard exception from an idler",
       [](TestApp&, TestWindow&, CountingIdler& idler) { idler.fThrow = true; }, false,
       "idler failed"},
      {"framework exception inside a window procedure",
       [](TestApp&, TestWindow& window, CountingIdler&) {
         PostMessageA(window.GetHWND(), kThrow, 0, 0);
       },
       true, "thrown in a window procedure"},
      {"anything else",
       [](TestApp& app, TestWindow&, CountingIdler&) {
         app.AttachEventHandler(new PassHook([](CP_Event& event) -> bool {
           if (event.message == kPing) throw 42;
           return true;
         }));
       },
       false, "Unknown error"},
  };
  for (const FailureCase& c : cases) {
    kxtest::MessageBoxWatcher watcher("CP_Exception", IDOK);
    {
      TestApp app;
      TestWindow window(&app);
      CountingIdler idler;
      idler.StartIdleCalls();
      c.arrange(app, window, idler);
      PostMessageA(window.GetHWND(), kPing, 0, 0);
      app.Run();
      EXPECT_EQ(1, app.fReports) << c.name;
      EXPECT_EQ(c.want, app.fReported) << c.name;
    }
    EXPECT_EQ(c.reportBox ? 1 : 0, watcher.Count()) << c.name;
    if (c.reportBox) {
      EXPECT_NE(std::string::npos, watcher.LastText().find(c.want)) << c.name;
    }
  }
}

// A window procedure that fails while the report of another failure shows
// belongs to that failure: nothing is left pending for a later loop.
TEST_F(RunLoopTest, AFailureDuringTheReportIsNotLeftPending) {
  kxtest::MessageBoxWatcher watcher("CP_Exception", IDOK);
  {
    TestApp app;
    TestWindow window(&app);
    app.AttachEventHandler(new PassHook([&window](CP_Event& event) -> bool {
      if (event.message != kPing) return true;
      PostMessageA(window.GetHWND(), kThrow, 0, 0);  // the report's box dispatches it
      throw CP_RuntimeException("handler failed", "Hook.cpp", 12);
    }));
    PostMessageA(window.GetHWND(), kPing, 0, 0);
    app.Run();
    EXPECT_EQ(1, app.fReports);
    EXPECT_FALSE(CP_HasPendingException());
  }
  EXPECT_GE(watcher.Count(), 1);
  CP_DropPendingException();
}

// GetMessageA failing over and over ends the loop instead of spinning; a
// single failure is passed over.
class FailingQueueApp : public TestApp {
 public:
  BOOL ReadMessage(MSG& msg) override {
    const int pings = fWindow ? fWindow->fPings : 0;
    if (pings == 1 && !fFailedOnce) {
      fFailedOnce = true;
      return -1;
    }
    if (pings < 2) return CP_Application::ReadMessage(msg);
    ++fErrors;
    return -1;
  }
  TestWindow* fWindow = nullptr;
  bool fFailedOnce = false;
  int fErrors = 0;
};

TEST_F(RunLoopTest, AQueueThatKeepsFailingEndsTheLoop) {
  FailingQueueApp app;
  TestWindow window(&app);
  app.fWindow = &window;
  PostMessageA(window.GetHWND(), kPing, 0, 0);
  PostMessageA(window.GetHWND(), kPing, 0, 0);
  app.Run();
  EXPECT_TRUE(app.IsQuitting());
  EXPECT_TRUE(app.fFailedOnce);
  EXPECT_EQ(2, window.fPings);
  EXPECT_EQ(CP_Application::kMessageErrorsToQuit, app.fErrors);
  EXPECT_EQ(0, app.fReports);
}

// Counts the menu-status questions that reach the target.
class StatusCounter : public CP_EventHandlerAttachment {
 public:
  explicit StatusCounter(int* count) : CP_EventHandlerAttachment(kEventKind_CommandStatus), fCount(count) {}
  bool HandleEvent(uint32_t, uintptr_t) override {
    ++*fCount;
    return true;
  }

 private:
  int* fCount;
};

TEST_F(RunLoopTest, KeyDownRefreshesMenusBeforeDispatchKeyUpDoesNot) {
  struct Case {
    UINT message;
    bool refreshes;
  };
  const Case cases[] = {{WM_KEYDOWN, true}, {WM_SYSKEYDOWN, true}, {WM_KEYUP, false}, {WM_CHAR, false}};
  for (const Case& c : cases) {
    TestApp app;
    TestWindow window(&app);
    int questions = 0;
    int before = -1;
    app.AttachEventHandler(new PassHook([&](CP_Event& event) {
      if (event.message == c.message) before = questions;
      if (event.message == kPing) app.SetQuitFlag();
      return true;
    }));
    app.AttachEventHandler(new StatusCounter(&questions));
    PostMessageA(window.GetHWND(), c.message, 'Q', 0);
    PostMessageA(window.GetHWND(), kPing, 0, 0);
    app.Run();
    ASSERT_GE(before, 0) << c.message;
    EXPECT_EQ(c.refreshes, questions > before) << "message " << std::hex << c.message;
  }
}

TEST_F(RunLoopTest, DefaultWindowBoundsFollowTheWorkArea) {
  RECT saved = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0);
  RECT area = {0, 0, 1024, 738};
  ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0));
  TestApp app;
  CP_Rect bounds;
  app.GetDefaultWindowBounds(bounds);
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
  EXPECT_EQ(CP_Rect(15, 0, 994, 688), bounds);
}

}  // namespace
