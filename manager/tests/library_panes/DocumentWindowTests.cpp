// The main window: its class, its client size, the minimum size while
// dragging, the place and size it keeps in the settings, and its answers
// to the shell and to devices.
#include "GH_DocumentWindow.h"
#include "PaneTestSupport.h"
#include "WinTestSupport.h"

#include <dbt.h>

#include <memory>

using panetest::ClearSettings;
using panetest::ReadSetting;

namespace {

class DocumentWindowTest : public panetest::PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    ClearSettings({"MainWindow_W", "MainWindow_H", "LastWindowX", "LastWindowY"});
  }

  std::unique_ptr<GH_DocumentWindow> Make(int16_t x, int16_t y, int16_t width, int16_t height) {
    CP_WindowInfo info(CP_PaneInfo(CP_Point(x, y), CP_Size(width, height)), CP_Window::kDocument);
    return std::make_unique<GH_DocumentWindow>(nullptr, nullptr, info, mainWindowTitle);
  }
};

TEST_F(DocumentWindowTest, HasItsOwnClassTitleAndClientSize) {
  auto window = Make(30, 40, 700, 500);
  HWND handle = window->GetHWND();
  ASSERT_NE(nullptr, handle);
  char name[64] = {};
  GetClassNameA(handle, name, sizeof name);
  EXPECT_STREQ("GH_DocumentWindow", name);
  EXPECT_EQ(handle, FindWindowA(nullptr, mainWindowTitle.c_str()));
  RECT client = {};
  GetClientRect(handle, &client);
  EXPECT_EQ(700, client.right);
  EXPECT_EQ(500, client.bottom);
  RECT outer = {};
  GetWindowRect(handle, &outer);
  EXPECT_EQ(30, outer.left);
  EXPECT_EQ(40, outer.top);
  EXPECT_EQ(CP_Pane::FromWindow(handle), window.get());
  // A second window of the class registers nothing again and still works.
  auto second = Make(0, 0, 640, 480);
  EXPECT_NE(nullptr, second->GetHWND());
}

TEST_F(DocumentWindowTest, DraggingBelowTheMinimumSnapsAndStoresTheOuterSize) {
  auto window = Make(100, 60, 700, 500);
  struct Case {
    const char* name;
    WPARAM edge;
    RECT proposed;
    RECT want;
  };
  const Case cases[] = {
      // The left edge goes back to where the window was made, less 4.
      {"right edge too narrow", WMSZ_RIGHT, {150, 80, 600, 700}, {96, 80, 736, 700}},
      {"bottom edge too low", WMSZ_BOTTOM, {150, 80, 900, 400}, {150, 18, 900, 498}},
      // The bottom-right corner keeps the left and top edges.
      {"corner too small both ways", WMSZ_BOTTOMRIGHT, {150, 80, 400, 300}, {150, 80, 790, 560}},
      {"large enough", WMSZ_LEFT, {10, 20, 900, 700}, {10, 20, 900, 700}},
  };
  for (const Case& c : cases) {
    RECT rect = c.proposed;
    EXPECT_EQ(1, SendMessageA(window->GetHWND(), WM_SIZING, c.edge, reinterpret_cast<LPARAM>(&rect))) << c.name;
    EXPECT_EQ(c.want.left, rect.left) << c.name;
    EXPECT_EQ(c.want.top, rect.top) << c.name;
    EXPECT_EQ(c.want.right, rect.right) << c.name;
    EXPECT_EQ(c.want.bottom, rect.bottom) << c.name;
    EXPECT_EQ(std::to_string(c.want.right - c.want.left), ReadSetting("MainWindow_W")) << c.name;
    EXPECT_EQ(std::to_string(c.want.bottom - c.want.top), ReadSetting("MainWindow_H")) << c.name;
  }
}

TEST_F(DocumentWindowTest, MovesAreStoredOnlyInsideTheScreen) {
  auto window = Make(0, 0, 640, 480);
  HWND handle = window->GetHWND();
  EXPECT_EQ(1, SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(120, 90)));
  EXPECT_EQ("120", ReadSetting("LastWindowX"));
  EXPECT_EQ("90", ReadSetting("LastWindowY"));
  // Left of the screen the coordinate reads as a large unsigned value.
  EXPECT_EQ(1, SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(-20, 50)));
  EXPECT_EQ(1, SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(30, GetSystemMetrics(SM_CYSCREEN))));
  EXPECT_EQ("120", ReadSetting("LastWindowX"));
  EXPECT_EQ("90", ReadSetting("LastWindowY"));
}

TEST_F(DocumentWindowTest, CancelsAutoPlayAndAnswersDevices) {
  auto window = Make(0, 0, 640, 480);
  HWND handle = window->GetHWND();
  EXPECT_EQ(1, SendMessageA(handle, RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0));
  DEV_BROADCAST_HDR port = {};
  port.dbch_size = sizeof port;
  port.dbch_devicetype = DBT_DEVTYP_PORT;
  EXPECT_EQ(0, SendMessageA(handle, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&port)));
  EXPECT_EQ(0, SendMessageA(handle, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&port)));
  DEV_BROADCAST_VOLUME volume = {};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  EXPECT_EQ(1, SendMessageA(handle, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume)));
}

TEST_F(DocumentWindowTest, RunsItsTimerEveryTenthOfASecond) {
  auto window = Make(0, 0, 640, 480);
  EXPECT_NE(0u, window->GetTimer());
  // About ten ticks in a second: not one, nor a hundred.
  int ticks = 0;
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < 1000) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_TIMER && message.hwnd == window->GetHWND() &&
          message.wParam == GH_DocumentWindow::kTimerId)
        ++ticks;
      DispatchMessageA(&message);
    }
    Sleep(5);
  }
  EXPECT_GE(ticks, 5);
  EXPECT_LE(ticks, 15);
  // The timer is the window's own: killing it by its id succeeds once.
  EXPECT_TRUE(KillTimer(window->GetHWND(), GH_DocumentWindow::kTimerId));
  EXPECT_FALSE(KillTimer(window->GetHWND(), GH_DocumentWindow::kTimerId));
}

}  // namespace
