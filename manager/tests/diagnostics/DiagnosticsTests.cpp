// The diagnostics pass: the repair of the films folder's drive record, the
// screen size, the dialog with the test film looping on the toolbox's
// manual clock, its codec and finishing steps with real button clicks, and
// the whole pass through its modal dialog.
#include "GH_Diagnostics.h"

#include "CDDatabase.h"
#include "CP_Callback.h"
#include "CP_Exception.h"
#include "CP_Framework.h"
#include "DatabaseTestSupport.h"
#include "FilmBytes.h"
#include "GH_CDDriveAndHelp.h"
#include "GH_Globals.h"
#include "GH_Resources.h"
#include "GH_StartModes.h"
#include "ManagerTestSupport.h"
#include "PlaySupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using mgrtest::IniFileGuard;
using mgrtest::IniValue;
using mgrtest::TempFolder;

constexpr char kSection[] = "Glintharbour";
constexpr char kDialogCaption[] = "Glintharbour International - Diagnostics";
constexpr char kMessageCaption[] = "Glintharbour International";
constexpr char kCodecText[] =
    "To rectify the video problem we need to install a video codec.\r\n"
    "Just use all the defaults in the following installer and the codec will rectify the problem.";
constexpr char kFinishedText[] = "Glintharbour Diagnostics have completed successfully.\r\n\r\nEnjoy!";

void SetSetting(const char* key, const std::string& value) {
  mgrtest::ForgetCachedIni();
  WritePrivateProfileStringA(kSection, key, value.c_str(), "glintharbour.ini");
}

void WriteFilm(const std::string& path) {
  const filmtest::Bytes film = filmtest::TinyFilm();
  mgrtest::WriteWholeFile(path, std::string(film.begin(), film.end()));
}

std::string ProgramFolder() {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.rfind('\\'));
}

// Puts the recorder program at `path`; it writes `path` + ".log" when run.
void PlaceRecorder(const std::string& path) {
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\manager_diagnostics_recorder.exe").c_str(), path.c_str(), FALSE))
      << path;
}

// What the recorder at `path` wrote, once it has run; empty after the wait.
std::string RecorderLog(const std::string& path, int timeoutMs = 10000) {
  std::string log;
  kxtest::PumpUntil([&] { return mgrtest::ReadWholeFile(path + ".log", log); }, timeoutMs);
  return log;
}

std::string ItemText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

// A control's place in its dialog's client area.
RECT ItemPlace(HWND dialog, int id) {
  RECT place = {};
  HWND item = GetDlgItem(dialog, id);
  GetWindowRect(item, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

// A click on a dialog button as the user makes it.
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// ---------------------------------------------------------------------------
// Screen size

TEST(ScreenSize, TheLargestListedSizeThatFitsTheHeight) {
  struct Case {
    int32_t height;
    const char* want;
  };
  const Case kCases[] = {
      {0, ""},
      {479, ""},
      {480, "640 x 480"},
      {599, "640 x 480"},
      {600, "800 x 600"},
      {768, "1024 x 768"},
      {960, "1152 x 864"},  // a 1280 x 960 screen
      {1024, "1280 x 1024"},
      {1199, "1280 x 1024"},
      {1200, "1600 x 1200"},
      {2160, "1600 x 1200"},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, ScreenSizeText(c.height)) << c.height;
}

TEST(ScreenSize, TheCheckWritesTheDisplaysSizeAndTurnsAutoResizeOff) {
  IniFileGuard guard;
  IniFileGuard::Replace("[Glintharbour]\r\nAutoResize=1\r\nScreenSize=640 x 480\r\n");
  ScreenSizeCheck();
  mgrtest::ForgetCachedIni();
  EXPECT_EQ("0", IniValue(kSection, "AutoResize"));
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (height == 768)
    EXPECT_EQ("1024 x 768", IniValue(kSection, "ScreenSize"));
  else
    EXPECT_EQ(ScreenSizeText(height), IniValue(kSection, "ScreenSize")) << height;
}

// ---------------------------------------------------------------------------
// Repair of the films folder's drive record

class Repair : public ::testing::Test {
 protected:
  void SetUp() override { CreateDirectoryA((install / "Installed Movies").c_str(), nullptr); }

  // Rows appended to the drive table of the folder that the database's
  // settings name now.
  static void AddDrives(const std::vector<DriveRecord>& drives) {
    CDDatabase database("Config Tool");
    C4Table* table = database.DriveTable();
    ASSERT_NE(nullptr, table);
    for (const DriveRecord& d : drives) {
      ASSERT_EQ(0, C4AppendStart(table, 1));
      database.WriteDriveRecord(d);
      ASSERT_EQ(0, C4Append(table));
    }
    C4Flush(table);
  }

  static std::string FilmsFolderPath(const dbtest::TableFolder& tables) {
    for (const dbtest::RawRow& row : dbtest::RawRows(tables.Path(), "GH_DriveDB"))
      if (row.fields.at("LABEL") == filmsFolderAlias) return row.fields.at("PATH");
    return "<no row>";
  }

  IniFileGuard guard;
  TempFolder install{"diag_install"};
};

TEST_F(Repair, OnlyALoneFilmsFolderRecordWithoutAPathIsRepaired) {
  const std::string installed = install / "Installed Movies";
  const DriveRecord cd = dbtest::Drive(2, "Zed", "Zed CD", "E:\\");
  auto films = [](const std::string& path) { return dbtest::Drive(1, filmsFolderAlias, filmsFolderAlias, path); };
  struct Case {
    const char* name;
    std::vector<DriveRecord> drives;
    std::string wantPath;  // of the films folder's record afterwards
    bool repaired;
  };
  const std::vector<Case> kCases = {
      {"alone, no path", {films("")}, installed, true},
      {"alone, one character", {films("C")}, installed, true},
      {"alone, with a path", {films("D:\\Films")}, "D:\\Films", false},
      {"beside a CD's record", {films(""), cd}, "", false},
      {"a CD's record alone", {cd}, "<no row>", false},
      {"empty table", {}, "<no row>", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install.Path() + "\r\nAutoResize=1\r\n");
    dbtest::TableFolder tables;
    tables.SetSetting("MovieDirectory", "Z:\\gone");
    AddDrives(c.drives);
    {
      CDDatabase database("Config Tool");
      EXPECT_EQ(c.repaired, RepairFilmsFolderDrive(database));
    }
    EXPECT_EQ(c.wantPath, FilmsFolderPath(tables));
    EXPECT_EQ(c.repaired ? installed : "Z:\\gone", tables.Setting("MovieDirectory"));
    mgrtest::ForgetCachedIni();
    EXPECT_EQ(c.repaired ? "0" : "1", IniValue(kSection, "AutoResize"));
    EXPECT_EQ(c.repaired ? ScreenSizeText(GetSystemMetrics(SM_CYSCREEN)) : "<missing>",
              IniValue(kSection, "ScreenSize"));
  }
}

// Where no films folder can be had, the record keeps its empty path and the
// films folder setting is not wiped.
TEST_F(Repair, WithoutAFilmsFolderNothingIsWrittenButTheScreenSize) {
  if (GetFileAttributesA("C:\\My Documents") != INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "C:\\My Documents exists: a films folder would be made there";
  IniFileGuard::Replace("[Glintharbour]\r\nAutoResize=1\r\n");
  dbtest::TableFolder tables;
  tables.SetSetting("MovieDirectory", "Z:\\gone");
  AddDrives({dbtest::Drive(1, filmsFolderAlias, filmsFolderAlias, "")});
  {
    CDDatabase database("Config Tool");
    EXPECT_TRUE(RepairFilmsFolderDrive(database));
  }
  EXPECT_EQ("", FilmsFolderPath(tables));
  EXPECT_EQ("Z:\\gone", tables.Setting("MovieDirectory"));
  mgrtest::ForgetCachedIni();
  EXPECT_EQ("0", IniValue(kSection, "AutoResize"));
}

// ---------------------------------------------------------------------------
// The CD's own program

TEST(CDProgram, StartedOnlyFromADriveWithItsSetupFile) {
  TempFolder cd("diag_cd");
  mgrtest::WriteWholeFile(cd / "setup.ini", "[FilePath]\r\nEntryPointParamsShowMainMenu=menu\\main.ini\r\n");
  TempFolder bare("diag_bare");
  struct Case {
    const char* name;
    std::string drive;
    bool starts;
  };
  const Case kCases[] = {
      {"drive with a backslash", cd.Path() + "\\", true},
      {"drive without one", cd.Path(), true},
      {"no setup file", bare.Path() + "\\", false},
      {"no drive", "", false},
  };
  for (const Case& c : kCases) {
    std::string program = "unset", parameters = "unset";
    EXPECT_EQ(c.starts, CDProgramStart(c.drive, program, parameters)) << c.name;
    if (c.starts) {
      EXPECT_EQ(cd / "ZUDaruzo.exe", program) << c.name;
      EXPECT_EQ(cd / "menu\\main.ini", parameters) << c.name;
    } else {
      EXPECT_EQ("unset", program) << c.name;
    }
  }
}

// ---------------------------------------------------------------------------
// The dialog, made modeless so that the test thread can look into it
// between real clicks; on the toolbox's manual clock.

class DiagnosticsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    ASSERT_EQ(0, InitQuickTime());
    clock.Start();
    IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install.Path() + "\r\n");
    moviesBefore = filmtest::Live(kQTStandInMovies);
    controllersBefore = filmtest::Live(kQTStandInControllers);
    portsBefore = filmtest::Live(kQTStandInPorts);
  }

  void TearDown() override {
    CloseDialog();
    EXPECT_EQ(nullptr, testFilmController);
    EXPECT_EQ(nullptr, testFilmMovie);
    EXPECT_EQ(moviesBefore, filmtest::Live(kQTStandInMovies));
    EXPECT_EQ(controllersBefore, filmtest::Live(kQTStandInControllers));
    EXPECT_EQ(portsBefore, filmtest::Live(kQTStandInPorts));
    clock.Stop();
    StopFramework();
  }

  void Open() {
    dialog = CreateDialogParamA(ManagerInstance(), MAKEINTRESOURCEA(GH_DIALOG_DIAGNOSTICS), nullptr,
                                DiagnosticsDialog, 0);
    ASSERT_NE(nullptr, dialog);
    ShowWindow(dialog, SW_SHOWNORMAL);
    filmtest::Pump(30);
  }

  // A watcher reads the captions of our visible dialogs through messages
  // to this thread: the dialog goes, and this thread answers what is on
  // its way, before a watcher may end.
  void CloseDialog() {
    if (dialog) DestroyWindow(dialog);
    dialog = nullptr;
    filmtest::Pump(100);
  }

  // Runs the clock on in steps, as the toolbox's idle turns come.
  void Run(int ms) {
    for (int t = 0; t < ms; t += 50) clock.Advance(50);
  }

  filmtest::ManualClock clock;
  IniFileGuard guard;
  TempFolder install{"diag_dialog"};
  HWND dialog = nullptr;
  int32_t moviesBefore = 0;
  int32_t controllersBefore = 0;
  int32_t portsBefore = 0;
};

TEST_F(DiagnosticsDialogTest, TheTestFilmPlaysInALoopUntilTheDialogCloses) {
  WriteFilm(install / "default.flm");
  Open();
  EXPECT_EQ(kDialogCaption, kxtest::DialogWatcher::Caption(dialog));
  EXPECT_EQ("Can you see a movie playing below?", ItemText(dialog, GH_ITEM_DIAG_QUESTION));
  EXPECT_EQ("Yes", ItemText(dialog, IDOK));
  EXPECT_EQ("No", ItemText(dialog, IDCANCEL));
  EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
  EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));

  ASSERT_NE(nullptr, testFilmController);
  ASSERT_NE(nullptr, testFilmMovie);
  Rect box = {};
  GetMovieBox(testFilmMovie, &box);
  EXPECT_EQ(40, box.top);
  EXPECT_EQ(10, box.left);
  EXPECT_EQ(240, box.bottom);
  EXPECT_EQ(320, box.right);
  EXPECT_TRUE(filmtest::IsPlaying(testFilmController));

  // The film lasts one second; well before its end it has gone some way,
  // past its end it runs again from the start.
  Run(800);
  const TimeValue nearEnd = filmtest::Now(testFilmController);
  EXPECT_GT(nearEnd, 300);
  for (int round = 0; round < 3; ++round) {
    Run(600);
    EXPECT_TRUE(filmtest::IsPlaying(testFilmController)) << round;
    EXPECT_LT(filmtest::Now(testFilmController), 600) << round;
  }
  Run(250);
  EXPECT_TRUE(filmtest::IsPlaying(testFilmController));

  CloseDialog();
}

TEST_F(DiagnosticsDialogTest, WithoutAFilmTheDialogStillAsks) {
  struct Case {
    const char* name;
    const char* film;  // written as default.flm; null: none
    bool pathSet;
    int messages;
  };
  const Case kCases[] = {
      {"no installation path", nullptr, false, 1},
      {"no test film", nullptr, true, 0},
      {"test film not a film", "These are notes, not a film.", true, 0},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    DeleteFileA((install / "default.flm").c_str());
    if (c.film) mgrtest::WriteWholeFile(install / "default.flm", c.film);
    SetSetting("Path", c.pathSet ? install.Path() : "");
    kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
    Open();
    EXPECT_EQ(c.messages, boxes.Count());
    if (c.messages) {
      EXPECT_EQ("Installation is corrupt.\r\nPlease Re-Install", boxes.LastText());
    }
    EXPECT_EQ(nullptr, testFilmController);
    EXPECT_EQ(nullptr, testFilmMovie);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ("Can you see a movie playing below?", ItemText(dialog, GH_ITEM_DIAG_QUESTION));
    CloseDialog();
  }
}

TEST_F(DiagnosticsDialogTest, NoStartsTheCodecInstallerAndLeavesAnOKStep) {
  WriteFilm(install / "default.flm");
  CreateDirectoryA((install / "truemotion").c_str(), nullptr);
  const std::string installer = install / "truemotion\\setup.exe";
  PlaceRecorder(installer);
  TempFolder cd("diag_nocd");
  SetSetting("CDDrive", cd.Path());
  Open();
  ASSERT_NE(nullptr, testFilmController);
  RECT before = {};
  GetWindowRect(dialog, &before);

  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  Click(dialog, IDCANCEL);
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ(kCodecText, boxes.LastText());
  const std::string log = RecorderLog(installer);
  EXPECT_NE(std::string::npos, log.find("command=")) << log;
  EXPECT_NE(std::string::npos, log.find("setup.exe")) << log;

  // The film is gone before the installer changes the codecs under it.
  EXPECT_EQ(nullptr, testFilmController);
  EXPECT_EQ(nullptr, testFilmMovie);
  RECT after = {};
  GetWindowRect(dialog, &after);
  EXPECT_EQ(before.left, after.left);
  EXPECT_EQ(before.top + 75, after.top);
  EXPECT_EQ(before.right - before.left, after.right - after.left);
  EXPECT_EQ(78, after.bottom - after.top);
  EXPECT_EQ("OK", ItemText(dialog, IDOK));
  EXPECT_EQ("Click OK to continue.", ItemText(dialog, GH_ITEM_DIAG_QUESTION));
  const RECT ok = ItemPlace(dialog, IDOK);
  EXPECT_EQ(130, ok.left);
  EXPECT_EQ(25, ok.top);
  EXPECT_EQ(55, ok.right - ok.left);
  EXPECT_EQ(25, ok.bottom - ok.top);
  const RECT question = ItemPlace(dialog, GH_ITEM_DIAG_QUESTION);
  EXPECT_EQ(2, question.left);
  EXPECT_EQ(10, question.top);
  EXPECT_TRUE(IsWindowVisible(dialog));

  // OK finishes as Yes does.
  Click(dialog, IDOK);
  ASSERT_EQ(2, boxes.Count());
  EXPECT_EQ(kFinishedText, boxes.LastText());
  EXPECT_FALSE(IsWindowVisible(dialog));
  CloseDialog();
}

TEST_F(DiagnosticsDialogTest, NoWithoutTheInstallerKeepsTheFilmAndTheQuestion) {
  WriteFilm(install / "default.flm");
  Open();
  RECT before = {};
  GetWindowRect(dialog, &before);
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  Click(dialog, IDCANCEL);
  ASSERT_EQ(2, boxes.Count());
  EXPECT_EQ("Cannot find setup.exe to install codec", boxes.LastText());
  ASSERT_NE(nullptr, testFilmController);
  EXPECT_TRUE(filmtest::IsPlaying(testFilmController));
  RECT after = {};
  GetWindowRect(dialog, &after);
  EXPECT_EQ(before.top, after.top);
  EXPECT_EQ(before.bottom, after.bottom);
  EXPECT_EQ("Yes", ItemText(dialog, IDOK));
  EXPECT_TRUE(IsWindowVisible(dialog));
  CloseDialog();
}

// The system menu's close is the No button.
TEST_F(DiagnosticsDialogTest, ClosingTheDialogAsksForTheCodecAsNoDoes) {
  Open();
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  filmtest::Pump(30);
  ASSERT_EQ(2, boxes.Count());
  EXPECT_EQ("Cannot find setup.exe to install codec", boxes.LastText());
  EXPECT_TRUE(IsWindowVisible(dialog));
  CloseDialog();
}

TEST_F(DiagnosticsDialogTest, YesStartsTheCDsProgramInTheDrivesFolder) {
  WriteFilm(install / "default.flm");
  TempFolder cd("diag_cd");
  mgrtest::WriteWholeFile(cd / "setup.ini", "[FilePath]\r\nEntryPointParamsShowMainMenu=menu.ini\r\n");
  PlaceRecorder(cd / "ZUDaruzo.exe");
  SetSetting("CDDrive", cd.Path());  // without its backslash
  Open();
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  Click(dialog, IDOK);
  ASSERT_EQ(1, boxes.Count());
  EXPECT_EQ(kFinishedText, boxes.LastText());
  EXPECT_FALSE(IsWindowVisible(dialog));

  const std::string log = RecorderLog(cd / "ZUDaruzo.exe");
  EXPECT_NE(std::string::npos, log.find("ZUDaruzo.exe")) << log;
  EXPECT_NE(std::string::npos, log.find(cd / "menu.ini")) << log;
  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  EXPECT_EQ(cd.Path(), std::string(folder));
  EXPECT_NE(std::string::npos, log.find("folder=" + cd.Path())) << log;
  SetCurrentDirectoryA(ProgramFolder().c_str());  // the folder must go
  CloseDialog();
}

TEST_F(DiagnosticsDialogTest, YesWithoutACDDriveSettingRecordsTheOneFound) {
  Open();
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  Click(dialog, IDOK);
  ASSERT_EQ(1, boxes.Count());
  std::string found;
  FindCDDrive(found);
  mgrtest::ForgetCachedIni();
  EXPECT_EQ(found, IniValue(kSection, "CDDrive"));
  EXPECT_FALSE(IsWindowVisible(dialog));
  CloseDialog();
}

// ---------------------------------------------------------------------------
// The whole pass, its dialog modal

class DiagnosticsPass : public ::testing::Test {
 protected:
  void SetUp() override { StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL); }
  void TearDown() override {
    if (splash) DestroyWindow(splash);
    StopFramework();
  }

  void MakeSplash() {
    splash = kxtest::MakePlainWindow("GH_Window");
    ShowWindow(splash, SW_SHOWNOACTIVATE);
  }

  IniFileGuard guard;
  TempFolder install{"diag_pass"};
  HWND splash = nullptr;
};

TEST_F(DiagnosticsPass, RepairsAsksAndFinishes) {
  ASSERT_EQ(0, InitQuickTime());
  WriteFilm(install / "default.flm");
  CreateDirectoryA((install / "Installed Movies").c_str(), nullptr);
  TempFolder cd("diag_passcd");
  dbtest::TableFolder tables(dbtest::Seed::Installation);
  IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install.Path() + "\r\nDBPath=" + tables.Path() +
                        "\r\nCDDrive=" + cd.Path() + "\r\nAutoResize=1\r\n");
  MakeSplash();

  std::string question;
  bool splashHidden = false;
  bool filmShown = false;
  kxtest::DialogWatcher dialogs(kDialogCaption, [&](HWND dialog) {
    question = kxtest::DialogWatcher::ItemText(dialog, GH_ITEM_DIAG_QUESTION);
    splashHidden = !IsWindowVisible(splash);
    filmShown = testFilmController != nullptr;
    kxtest::DialogWatcher::Press(dialog, IDOK);
  });
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  {
    GH_Diagnostics pass;
    EXPECT_EQ(1, dialogs.Count());
    EXPECT_EQ(1, boxes.Count());
    EXPECT_EQ(kFinishedText, boxes.LastText());
  }
  EXPECT_EQ("Can you see a movie playing below?", question);
  EXPECT_TRUE(splashHidden);
  EXPECT_TRUE(filmShown);
  EXPECT_EQ(nullptr, testFilmController);
  EXPECT_EQ(nullptr, testFilmMovie);

  const std::vector<dbtest::RawRow> drives = dbtest::RawRows(tables.Path(), "GH_DriveDB");
  ASSERT_EQ(1u, drives.size());
  EXPECT_EQ(install / "Installed Movies", drives[0].fields.at("PATH"));
  mgrtest::ForgetCachedIni();
  EXPECT_EQ("0", IniValue(kSection, "AutoResize"));
  EXPECT_NE("<missing>", IniValue(kSection, "ScreenSize"));
}

TEST_F(DiagnosticsPass, BadSettingsEndThePassBeforeTheDialog) {
  dbtest::TableFolder tables;
  IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install.Path() + "\\gone\r\nDBPath=" + tables.Path() + "\r\n");
  MakeSplash();
  kxtest::DialogWatcher dialogs(kDialogCaption, [](HWND dialog) { kxtest::DialogWatcher::Press(dialog, IDOK); });
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  { GH_Diagnostics pass; }
  EXPECT_EQ(1, boxes.Count());
  EXPECT_NE(std::string::npos, boxes.LastText().find("There is a problem with your ini settings")) << boxes.LastText();
  EXPECT_EQ(0, dialogs.Count());
  EXPECT_FALSE(IsWindowVisible(splash));
}

// The "-d" start as the entry function runs it: a failure kept from inside
// the dialog comes out of the pass, is reported, and the start still ends.
TEST(DiagnosticsStart, AFailureOfThePassIsReportedAndTheStartEnds) {
  IniFileGuard guard;
  TempFolder install{"diag_start"};
  WriteFilm(install / "default.flm");
  CreateDirectoryA((install / "Installed Movies").c_str(), nullptr);
  dbtest::TableFolder tables(dbtest::Seed::Installation);
  IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install.Path() + "\r\nDBPath=" + tables.Path() + "\r\n");
  kxtest::DialogWatcher dialogs(kDialogCaption, [](HWND dialog) { kxtest::DialogWatcher::Press(dialog, IDOK); });
  kxtest::MessageBoxWatcher boxes(kMessageCaption, IDOK);
  kxtest::MessageBoxWatcher reports("CP_Exception", IDOK);
  try {
    throw CP_RuntimeException("kept by a callback", "DiagnosticsTests", 1);
  } catch (...) {
    CP_KeepPendingException();
  }
  int result = -1;
  EXPECT_NO_THROW(result = RunDiagnosticsStart(GetModuleHandleA(nullptr), nullptr, "-d", SW_SHOWNORMAL));
  EXPECT_EQ(0, result);
  EXPECT_EQ(1, dialogs.Count());
  EXPECT_EQ(1, reports.Count());
  EXPECT_NE(std::string::npos, reports.LastText().find("kept by a callback")) << reports.LastText();
  EXPECT_FALSE(CP_HasPendingException());
  EXPECT_EQ(nullptr, kxtest::FindOwnWindow("GH_ConfigTool", "GH_Window")) << "the start-up window is gone";
}

}  // namespace
