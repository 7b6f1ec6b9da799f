#include "CP_Alert.h"
#include "CP_Application.h"
#include "CP_Clipboard.h"
#include "CP_Desktop.h"
#include "CP_Framework.h"
#include "CP_MenuBar.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FrameworkTest, StartAndStopWithoutQuickTimeOrMenuBar) {
  {
    CP_MenuBar early;
    early.LoadMenus(128);  // before start-up: stays empty
    EXPECT_EQ(0, early.CountMenus());
    EXPECT_EQ(nullptr, CP_MenuBar::GetMenuBarHandle());
  }
  {
    CP_FrameworkStartup startup(GetModuleHandleA(nullptr), nullptr, "-d", SW_SHOWNORMAL);
    EXPECT_TRUE(gCP_Started);
    EXPECT_STREQ("-d", gCP_CommandLine);
    EXPECT_NE(nullptr, CP_Desktop::GetDesktop());
    // QuickTime starts exactly when QuickTime.qts is in the system folder;
    // the movie toolbox's tests install it in the test prefix.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const bool installed =
        GetFileAttributesA((std::string(system) + "\\QuickTime.qts").c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(installed, InitQuickTime() == 0);
    EXPECT_EQ(installed, gCP_QTMLPresent);
    EXPECT_EQ(installed, gCP_MoviesReady);
    EXPECT_EQ(nullptr, CP_Clipboard::GetClipboard());
  }
  EXPECT_EQ(nullptr, CP_Desktop::GetDesktop());
  EXPECT_EQ(nullptr, CP_MenuBar::GetMenuBar());
}

TEST(FrameworkTest, StopDeletesWhatTheApplicationMade) {
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  {
    CP_Application app;
    app.CreateMenuBar();
    app.InstallMenuBar();
    EXPECT_EQ(3, CP_MenuBar::GetMenuBar()->CountMenus());
    EXPECT_NE(nullptr, CP_Clipboard::GetClipboard());
  }
  StopFramework();
  EXPECT_EQ(nullptr, CP_MenuBar::GetMenuBar());
  EXPECT_EQ(nullptr, CP_Clipboard::GetClipboard());
}

TEST(AlertTest, CaptionFromProgramFileName) {
  struct Case {
    const char* path;
    const char* want;
  };
  const Case cases[] = {
      {"C:\\Program Files\\Tools\\My Tool.EXE", "My Tool"},
      {"C:\\windows\\tool.Scr", "tool.scr"},
      {"tool", "tool"},
      {"C:\\a.b\\Engine.Exe", "Engine"},
      {"C:\\x\\archive.exe.bak", "archive.exe.bak"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ApplicationNameFromPath(c.path)) << c.path;
  EXPECT_EQ("framework_core_tests", GetApplicationName());
}

TEST(AlertTest, AnswersOneWhateverTheUserPicks) {
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  for (int button : {IDYES, IDNO}) {
    kxtest::MessageBoxWatcher watcher("framework_core_tests", button);
    EXPECT_EQ(1, ShowAlert("Go on?", MB_YESNO));
    EXPECT_EQ(1, watcher.Count());
    EXPECT_EQ("Go on?", watcher.LastText());
  }
  StopFramework();
}

}  // namespace
