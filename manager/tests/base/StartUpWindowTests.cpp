// The start-up window: its picture, its removal and the QuickTime check.
#include "GH_Resources.h"
#include "ManagerTestSupport.h"
#include "StartUpWindow.h"

#include <gtest/gtest.h>

namespace {

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return pixel;
}

// Ours, not a window of the same kind that another test program shows.
HWND OwnStartUpWindow() {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "GH_ConfigTool", "GH_Window")) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

bool QuitMessageWaiting(WPARAM* code) {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
  *code = msg.wParam;
  return true;
}

}  // namespace

TEST(MgrStartUpWindowTest, ABorderlessCentredWindowFilledByItsPicture) {
  struct Case {
    int16_t bitmap;
    COLORREF inside;  // the picture's colour just inside its one-pixel edge
  } const cases[] = {
      {GH_BITMAP_STARTUP, RGB(0x20, 0x30, 0x70)},
      {GH_BITMAP_STARTUP_DIAG, RGB(0x70, 0x20, 0x20)},
  };
  for (const Case& c : cases) {
    StartUpWindow startUp(GetModuleHandleA(nullptr), nullptr, "GH_ConfigTool", "GH_Window",
                          c.bitmap);
    HWND window = OwnStartUpWindow();
    ASSERT_NE(nullptr, window);
    // Windows adds sibling clipping to every top-level window by itself.
    EXPECT_EQ(DWORD(WS_POPUP | WS_VISIBLE),
              DWORD(GetWindowLongA(window, GWL_STYLE)) & ~DWORD(WS_CLIPSIBLINGS));
    EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_LEFT);
    RECT frame = {};
    GetWindowRect(window, &frame);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - 300, frame.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - 137, frame.top);
    EXPECT_EQ(600, frame.right - frame.left);
    EXPECT_EQ(274, frame.bottom - frame.top);

    // Painted at once, before any message loop ran: the picture's edge lies
    // on the window's edge at every corner.
    const COLORREF edge = RGB(0xF0, 0xD0, 0x20);
    EXPECT_EQ(edge, PixelAt(window, 0, 0));
    EXPECT_EQ(edge, PixelAt(window, 599, 0));
    EXPECT_EQ(edge, PixelAt(window, 0, 273));
    EXPECT_EQ(edge, PixelAt(window, 599, 273));
    EXPECT_EQ(c.inside, PixelAt(window, 2, 1));
    EXPECT_EQ(c.inside, PixelAt(window, 597, 272));
    startUp.Remove();
    // The class is registered once per process; the next case makes it anew.
    UnregisterClassA("GH_ConfigTool", GetModuleHandleA(nullptr));
  }
}

TEST(MgrStartUpWindowTest, RemoveDestroysItOncePostingQuitAndTheClassServesOnce) {
  StartUpWindow startUp(GetModuleHandleA(nullptr), nullptr, "GH_ConfigTool", "GH_Window",
                        GH_BITMAP_STARTUP);
  HWND window = OwnStartUpWindow();
  ASSERT_NE(nullptr, window);

  // A second one in the same process cannot register the class again: no
  // window and no check, and the start goes on.
  StartUpWindow second(GetModuleHandleA(nullptr), nullptr, "GH_ConfigTool", "GH_Window",
                       GH_BITMAP_STARTUP);
  EXPECT_EQ(window, OwnStartUpWindow());
  HWND next = window;
  while ((next = FindWindowExA(nullptr, next, "GH_ConfigTool", "GH_Window")) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(next, &process);
    EXPECT_NE(GetCurrentProcessId(), process) << "a second window of ours";
  }

  WPARAM code = 99;
  EXPECT_FALSE(QuitMessageWaiting(&code));
  startUp.Remove();
  EXPECT_FALSE(IsWindow(window));
  ASSERT_TRUE(QuitMessageWaiting(&code));
  EXPECT_EQ(0u, code);

  startUp.Remove();  // gone already: nothing happens
  EXPECT_FALSE(QuitMessageWaiting(&code));
}

TEST(MgrStartUpWindowTest, QuickTimeIsLookedForInTheSystemFolder) {
  mgrtest::TempFolder folder("qtcheck");
  EXPECT_FALSE(QuickTimeInstalled(folder.Path()));
  mgrtest::WriteFileBytes(folder / "QuickTime.qts", 4);  // file names ignore case
  EXPECT_TRUE(QuickTimeInstalled(folder.Path()));
  EXPECT_TRUE(QuickTimeInstalled(folder.Path() + "\\")) << "no second backslash";
  EXPECT_FALSE(QuickTimeInstalled(folder / "QuickTime.qts"));
  // The test prefix has the stand-in installed where the programs look.
  EXPECT_TRUE(QuickTimeInstalled(SystemFolder()));
}

TEST(MgrStartUpWindowTest, WithoutQuickTimeTheProgramSaysSoOverTheWindowAndEnds) {
  mgrtest::TempFolder folder("noqt");
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string child = self;
  child = child.substr(0, child.rfind('\\') + 1) + "manager_quicktime_missing.exe";
  const std::string report = folder / "report.txt";
  std::string commandLine = "\"" + child + "\" \"" + folder.Path() + "\" \"" + report + "\"";

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessA(child.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &process))
      << child;
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000));
  DWORD exitCode = 99;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);

  EXPECT_EQ(0u, exitCode);
  std::string text;
  ASSERT_TRUE(mgrtest::ReadWholeFile(report, text));
  EXPECT_EQ("text=Quicktime is not installed on this system\nowned=1\n", text);
}
