// The start mode chosen from the command line, the screen size chosen on
// the first start, and the starts as the entry function runs them.
#include "CP_TreeList_Application.h"
#include "DatabaseTestSupport.h"
#include "FailingAllocation.h"
#include "GH_LibraryGlobals.h"
#include "GH_Settings.h"
#include "GH_StartModes.h"
#include "ManagerTestSupport.h"
#include "StartUpWindow.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using kxtest::OutOfMemoryAt;

TEST(StartModeTest, TheWholeCommandLineChoosesTheMode) {
  struct Case {
    const char* line;
    GH_StartMode want;
  };
  const Case cases[] = {
      {"", GH_StartMode::kNormal},         {"s", GH_StartMode::kNormal},
      {"-d", GH_StartMode::kDiagnostics},  {"-D", GH_StartMode::kDiagnostics},
      {"-s", GH_StartMode::kFilmsFolder},  {"-S", GH_StartMode::kFilmsFolder},
      {"-d ", GH_StartMode::kNormal},      {"/d", GH_StartMode::kNormal},
      {"-dx", GH_StartMode::kNormal},      {"42", GH_StartMode::kNormal},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, ChooseStartMode(c.line)) << '"' << c.line << '"';
}

TEST(StartModeTest, TheLargestSizeThatFitsTheScreenHeight) {
  struct Case {
    int32_t height;
    const char* want;
  };
  const Case cases[] = {
      {400, ""},           {479, ""},           {480, "640 x 480"},   {700, "800 x 600"},
      {768, "1024 x 768"}, {1023, "1152 x 864"}, {1024, "1280 x 1024"}, {1600, "1600 x 1200"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.want, CP_TreeList_Application::ScreenSizeForHeight(c.height)) << c.height;
}

// ---------------------------------------------------------------------------
// The starts as the entry function runs them

// A fresh installation: its folder with the films folder of an older one
// (so that the films folder is known in advance), fresh tables, and the
// settings naming both.
class StartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Test programs running side by side must not find each other's window.
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
    install = tables.Folder("install");
    films = tables.Folder("install\\Installed Movies");
    mgrtest::IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install + "\r\nDBPath=" + tables.Path() +
                                   "\r\nCDDrive=Q:\\\r\nMute=7\r\nEmptyWasteBasket=0\r\n");
  }

  void Run(GH_StartMode mode, const char* commandLine) {
    EXPECT_EQ(0, RunStart(mode, GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL));
  }

  // The PATH of the films folder's drive row; "<no row>" without one.
  std::string FilmsFolderPath() const {
    for (const dbtest::RawRow& row : dbtest::RawRows(tables.Path(), "GH_DriveDB"))
      if (row.fields.at("LABEL") == filmsFolderAlias) return row.fields.at("PATH");
    return "<no row>";
  }
  void ForgetFilmsFolder() {
    CDDatabase database("Config Tool");
    DriveRecord drive;
    drive.LABEL = filmsFolderAlias;
    ASSERT_FALSE(database.FindDriveRecord(drive));
    drive.PATH.clear();
    ASSERT_FALSE(database.UpdateDriveRecord(drive));
  }
  static std::string Setting(const char* key) {
    mgrtest::ForgetCachedIni();
    return mgrtest::IniValue(kIniSection, key);
  }

  mgrtest::IniFileGuard guard;
  dbtest::TableFolder tables{dbtest::Seed::Installation};
  std::string install;
  std::string films;
};

TEST_F(StartTest, TheFilmsFolderStartRecordsTheFolderAndChecksTheSettings) {
  Run(GH_StartMode::kFilmsFolder, "-s");
  EXPECT_EQ(films, FilmsFolderPath());
  EXPECT_EQ(films, tables.Setting("MovieDirectory"));
  EXPECT_EQ("0", Setting("Mute")) << "the settings were checked";
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("GH_ConfigTool", "GH_Window")) << "no window at all";

  // With a second drive row the films folder is left alone; the settings
  // are still checked.
  ForgetFilmsFolder();
  {
    CDDatabase database("Config Tool");
    ASSERT_EQ(0, C4AppendStart(database.DriveTable(), 1));
    database.WriteDriveRecord(dbtest::Drive(2, "Archive", "Archive", install));
    ASSERT_EQ(0, C4Append(database.DriveTable()));
  }
  mgrtest::IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install + "\r\nDBPath=" + tables.Path() +
                                 "\r\nMute=7\r\n");
  Run(GH_StartMode::kFilmsFolder, "-S");
  EXPECT_EQ("", FilmsFolderPath());
  EXPECT_EQ("0", Setting("Mute"));
}

// Memory running out at any allocation of the films-folder start: the
// failure is told, the start ends with 0, and a later start does the work.
TEST_F(StartTest, AFailureOfTheFilmsFolderStartIsReportedAndTheStartEnds) {
  kxtest::MessageBoxWatcher reports("Glintharbour KX", IDOK);
  int failures = 0;
  for (long n = 1;; ++n) {
    ForgetFilmsFolder();
    bool happened = false;
    {
      OutOfMemoryAt failure(n);
      EXPECT_NO_THROW(Run(GH_StartMode::kFilmsFolder, "-s")) << "allocation " << n;
      happened = failure.Happened();
    }
    if (!happened) break;  // every allocation of the start failed once
    ++failures;
    ASSERT_TRUE(reports.WaitFor(failures)) << "allocation " << n;
    EXPECT_EQ("The program stopped: std::bad_alloc", reports.LastText()) << "allocation " << n;
  }
  EXPECT_GT(failures, 0);
  EXPECT_EQ(failures, reports.Count());
  EXPECT_EQ(films, FilmsFolderPath()) << "the start that ran through";
}

// Another instance shows its main window (minimised) or its start-up
// window: it is brought forward and this start ends at once.
TEST_F(StartTest, ASecondNormalStartBringsTheFirstForwardAndEnds) {
  HWND running = kxtest::MakePlainWindow(mainWindowTitle.c_str());
  ShowWindow(running, SW_SHOWMINIMIZED);
  ASSERT_TRUE(IsIconic(running));
  Run(GH_StartMode::kNormal, "");
  EXPECT_FALSE(IsIconic(running));
  EXPECT_TRUE(IsWindowVisible(running));
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("GH_ConfigTool", "GH_Window")) << "no start-up window of its own";
  EXPECT_EQ("", FilmsFolderPath()) << "nothing was opened";
  DestroyWindow(running);
}

// The normal start runs until the user closes the main window; the first
// start records the films folder.
TEST_F(StartTest, TheNormalStartRunsUntilTheMainWindowCloses) {
  ASSERT_TRUE(QuickTimeInstalled(SystemFolder())) << "the start would end the test program";
  std::thread user([] {
    HWND main = nullptr;
    kxtest::PumpUntil([&] { return (main = kxtest::FindOwnWindow(nullptr, mainWindowTitle.c_str())) != nullptr; },
                      30000);
    if (main) PostMessageA(main, WM_CLOSE, 0, 0);
  });
  Run(GH_StartMode::kNormal, "");
  user.join();
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow(nullptr, mainWindowTitle.c_str()));
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("GH_ConfigTool", "GH_Window"));
  EXPECT_EQ(films, FilmsFolderPath());
  EXPECT_EQ("0", Setting("Mute"));
}

// Settings without a program folder: the normal start says so and ends.
TEST_F(StartTest, TheNormalStartEndsOnBadSettings) {
  ASSERT_TRUE(QuickTimeInstalled(SystemFolder())) << "the start would end the test program";
  mgrtest::IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install + "\\gone\r\nDBPath=" + tables.Path() + "\r\n");
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  Run(GH_StartMode::kNormal, "");
  ASSERT_TRUE(boxes.WaitFor(1));
  EXPECT_NE(std::string::npos, boxes.LastText().find("There is a problem with your ini settings")) << boxes.LastText();
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow(nullptr, mainWindowTitle.c_str()));
  EXPECT_EQ("", FilmsFolderPath()) << "the tables were not opened";
  if (HWND startup = kxtest::FindOwnWindow("GH_ConfigTool", "GH_Window")) DestroyWindow(startup);
}

// Memory running out before the application is built (here in the start-up
// window's QuickTime check): told, and the start ends with 0.
TEST_F(StartTest, AFailureBeforeTheApplicationIsReportedAndTheStartEnds) {
  ASSERT_TRUE(QuickTimeInstalled(SystemFolder())) << "the start would end the test program";
  kxtest::MessageBoxWatcher reports("Glintharbour KX", IDOK);
  {
    OutOfMemoryAt failure(1);
    EXPECT_NO_THROW(Run(GH_StartMode::kNormal, ""));
    EXPECT_TRUE(failure.Happened());
  }
  ASSERT_TRUE(reports.WaitFor(1));
  EXPECT_EQ("The program stopped: std::bad_alloc", reports.LastText());
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow(nullptr, mainWindowTitle.c_str()));
  if (HWND startup = kxtest::FindOwnWindow("GH_ConfigTool", "GH_Window")) DestroyWindow(startup);
}

}  // namespace
