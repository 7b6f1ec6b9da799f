// Installing the film that plays from the CD: the main video pane's copy
// into the films folder, and the controller strip's install button around
// it. Each case has a CD database, a "CD" folder and an installation folder
// of its own.
#include "DatabaseFixture.h"
#include "DiskFaults.h"
#include "FileTestSupport.h"
#include "PanesSupport.h"
#include "document/GH_Globals.h"

#include <functional>
#include <memory>

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class InstallTest : public DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    fOldPath = ReadSetting("Path");
    fRoot = MakeTempFolder(std::string("panes_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fCD = fRoot + "\\cd";
    fApp = fRoot + "\\app";
    fFilms = fApp + "\\Installed Movies";
    CreateDirectoryA(fCD.c_str(), nullptr);
    CreateDirectoryA(fApp.c_str(), nullptr);
    CreateDirectoryA(fFilms.c_str(), nullptr);
    WriteSetting("Path", fApp.c_str());
    ASSERT_TRUE(CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), (fCD + "\\Sea.flm").c_str(), FALSE));
    // The film on the CD, one that may not be installed, and a location.
    AddRow("GH_ConfigDB", {{"ITEM_ID", 5}, {"ITEMTYPE", 4}, {"PARENTTYPE", 1}, {"ITEMTEXT", 0, "Sea"},
                           {"FileName", 0, "Sea.flm"}, {"ALIASROOT", 0, "SEA_CD"}, {"LOOP", 1}, {"RATE", 1}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 6}, {"ITEMTYPE", 4}, {"PARENTTYPE", 1}, {"ITEMTEXT", 0, "Sky"},
                           {"FileName", 0, "Sea.flm"}, {"ALIASROOT", 0, "SEA_CD"}, {"ICONRESID", 1}});
    AddRow("GH_ConfigDB", {{"ITEM_ID", 7}, {"ITEMTYPE", 2}, {"PARENTTYPE", 1}, {"ITEMTEXT", 0, "Shelf"},
                           {"FileName", 0, "Sea.flm"}, {"ALIASROOT", 0, "SEA_CD"}});
  }
  void TearDown() override {
    if (fStarted) {
      delete fSpriteWindow;
      delete fControllerWindow;
      delete fMainWindow;
      delete fManager;
      StopFramework();
    }
    AllItems.clear();
    // A key that was missing goes again: a "<missing>" folder would send the
    // engine's temporary films of the next test nowhere.
    WriteSetting("Path", fOldPath == "<missing>" ? nullptr : fOldPath.c_str());
    RemoveTree(fRoot);
    DatabaseFixture::TearDown();
  }

  // The engine started on item 5: the film plays from the "CD".
  void StartOnTheFilm() {
    kxtest::WaitForNoForeignWindows({"MainVideoWindow", "Controller Window", "Sprite Window", "Glintharbour Player"});
    StartFramework(GetModuleHandleA(nullptr), nullptr, "5", SW_SHOWNORMAL);
    fStarted = true;
    InitQuickTime();
    FilmRoot = fCD + "\\";
    fMainWindow = new panes::RecordingWindow(panes::PopupAt(0, 0, 640, 480), "MainVideoWindow");
    fMain = new GH_QT_MoviePane(nullptr, fMainWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(640, 480)),
                                nullptr, 1, 640, 480, 1, 1, 0, 10, 0);
    fMain->SetCommandLine("5");
    fMainWindow->Show();
    fMain->StartFromCommandLine();
    ASSERT_NE(nullptr, fMain->GetCurrentEntry());
    ASSERT_NE(nullptr, fMain->GetMovie());
  }
  // The strip, with the film opened a second time so that it counts as
  // one played after the title film.
  void AddStrip() {
    fMain->OpenFilm(fMain->CurrentFilmSpec(), 1, 1.0, 0);
    fControllerWindow = new CP_Window(nullptr, panes::PopupAt(0, 500, 320, 48), "Controller Window", 1);
    fController = new GH_Controller_QT_MoviePane(
        fControllerWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(320, 48)),
        panes::LoadShipped("cs.flm"), fMain);
    fController->AttachFilmToWindow();
    fSpriteWindow = new CP_Window(nullptr, panes::PopupAt(300, 500, 300, 45), "Sprite Window", 1);
    fSpriteWindow->Hide();
  }
  void PressInstall() {
    const std::string name = ToLengthPrefixed("Sprite_Install");
    fController->DispatchSpriteClick(reinterpret_cast<const uint8_t*>(name.data()));
  }

 public:
  std::string fOldPath, fRoot, fCD, fApp, fFilms;

 protected:
  bool fStarted = false;
  panes::RecordingWindow* fMainWindow = nullptr;
  panes::RecordingWindow* fManager = nullptr;
  GH_QT_MoviePane* fMain = nullptr;
  CP_Window* fControllerWindow = nullptr;
  GH_Controller_QT_MoviePane* fController = nullptr;
  CP_Window* fSpriteWindow = nullptr;
};

}  // namespace

TEST_F(InstallTest, CopiesTheCurrentFilmIntoTheFilmsFolder) {
  struct Case {
    const char* name;
    void (*prepare)(InstallTest&, GH_QT_MoviePane&);
    int32_t want;
    const char* box;  // null: no box
    bool copied;
  };
  const Case kCases[] = {
      {"copied", [](InstallTest&, GH_QT_MoviePane&) {}, 0, nullptr, true},
      {"source gone", [](InstallTest& t, GH_QT_MoviePane&) { DeleteFileA((t.fCD + "\\Sea.flm").c_str()); }, 2,
       "Source file for movie not found.", false},
      {"not installable", [](InstallTest&, GH_QT_MoviePane& p) { p.GetPlayList()[0].itemId = 6; }, -1, nullptr, false},
      {"not a film", [](InstallTest&, GH_QT_MoviePane& p) { p.GetPlayList()[0].itemId = 7; }, -1, nullptr, false},
      {"no such row", [](InstallTest&, GH_QT_MoviePane& p) { p.GetPlayList()[0].itemId = 99; }, -1, nullptr, false},
  };
  for (const Case& c : kCases) {
    StartOnTheFilm();
    c.prepare(*this, *fMain);
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    EXPECT_EQ(c.want, fMain->InstallCurrentFilm()) << c.name;
    EXPECT_TRUE(fMain->IsPaused()) << c.name << ": the film stays paused";
    EXPECT_EQ(c.box ? 1 : 0, boxes.Count()) << c.name;
    if (c.box) {
      EXPECT_EQ(c.box, boxes.LastText()) << c.name;
    }
    EXPECT_EQ(c.copied, Exists(fFilms + "\\Sea.flm")) << c.name;
    DeleteFileA((fFilms + "\\Sea.flm").c_str());
    delete fMainWindow;
    fMainWindow = nullptr;
    StopFramework();
    fStarted = false;
    CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), (fCD + "\\Sea.flm").c_str(), FALSE);
  }
  // The one drive row had no folder: it now records the films folder.
  EXPECT_EQ(fFilms, ReadSetting("MovieDirectory"));
}

// The films folder's row cannot be written: no film goes into a folder the
// library would not know, the setting is not written, and the user hears
// which table, at the start that set the folder up and at the install.
TEST_F(InstallTest, AFilmsFolderTheLibraryCannotRecordTakesNoFilm) {
  const std::string drives = TablePath("GH_DriveDB") + ".dbf";
  ASSERT_TRUE(SetFileAttributesA(drives.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    StartOnTheFilm();
    EXPECT_EQ(-1, fMain->InstallCurrentFilm());
    EXPECT_TRUE(boxes.WaitFor(2));
    EXPECT_FALSE(boxes.WaitFor(3, 500));
    EXPECT_EQ("The library's table GH_DriveDB.dbf in the folder \"" + Folder() +
                  "\" could not be written (it is read-only). The change was not kept.",
              boxes.LastText());
  }
  SetFileAttributesA(drives.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(Exists(fFilms + "\\Sea.flm"));
  EXPECT_EQ("<missing>", ReadSetting("MovieDirectory"));
}

// The films-folder row has no folder and is not set up (that needs it to be
// the only drive row): the film goes to the default films folder, and the
// install copies that one film and moves no downloaded one.
TEST_F(InstallTest, WithSeveralDrivesTheFilmStillGoesToTheFilmsFolder) {
  AddRow("GH_DriveDB", {{"DRIVEID", 2}, {"DRIVENAME", 0, "CD"}, {"LABEL", 0, "SEA_CD"}, {"PATH", 0, "D:\\"}});
  const std::string downloads = fApp + "\\Internet Movies";
  CreateDirectoryA(downloads.c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), (downloads + "\\Tour.m01").c_str(), FALSE));
  StartOnTheFilm();
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  EXPECT_EQ(0, fMain->InstallCurrentFilm());
  EXPECT_TRUE(Exists(fFilms + "\\Sea.flm"));
  EXPECT_EQ(0, boxes.Count());
  EXPECT_TRUE(Exists(downloads + "\\Tour.m01"));
  EXPECT_FALSE(Exists(fFilms + "\\Tour.flm"));
}

TEST_F(InstallTest, AnInstalledFilmIsNotCopiedAgain) {
  StartOnTheFilm();
  AddStrip();
  PlaylistEntry installed;
  installed.itemText = "Sea";
  installed.aliasRoot = FilmsFolderName;
  AllItems.push_back(installed);
  kxtest::MessageBoxWatcher boxes("Glintharbour KX3", IDOK);
  PressInstall();
  EXPECT_EQ(1, boxes.Count());
  EXPECT_EQ("This movie is already installed", boxes.LastText());
  EXPECT_FALSE(fMain->IsPaused());
  EXPECT_FALSE(fMain->IsChangingFilm());
  EXPECT_TRUE(IsWindowEnabled(fControllerWindow->GetHWND()));
  EXPECT_TRUE(fController->IsIdling());
  EXPECT_TRUE(IsWindowVisible(fSpriteWindow->GetHWND())) << "the sprite window comes to the front";
  EXPECT_FALSE(Exists(fFilms + "\\Sea.flm"));
}

TEST_F(InstallTest, AFailedCopyGivesTheStripBack) {
  StartOnTheFilm();
  AddStrip();
  DeleteFileA((fCD + "\\Sea.flm").c_str());
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  PressInstall();
  EXPECT_EQ("Source file for movie not found.", boxes.LastText());
  EXPECT_FALSE(fMain->IsPaused());
  EXPECT_TRUE(IsWindowEnabled(fControllerWindow->GetHWND()));
  EXPECT_TRUE(IsWindowVisible(fSpriteWindow->GetHWND()));
  EXPECT_FALSE(GH_Controller_QT_MoviePane::IsDismissPending());
  // The install is over: the film's end is served again (this one loops)
  // and a click is not swallowed.
  EXPECT_FALSE(fMain->IsChangingFilm());
  // The film reaches its end by itself (a stop through the pane would
  // clear the flag).
  MCDoAction(fMain->GetController(), mcActionPlay, reinterpret_cast<void*>(Fixed(0)));
  GH_QT_MoviePane::FilmActionFilter(fMain->GetController(), mcActionIdle, nullptr, reinterpret_cast<QTRefCon>(fMain));
  EXPECT_TRUE(fMain->IsFilmPlaying()) << "played again";
}

// The click on Cancel waits in the queue from the moment the dialog is made.
LRESULT CALLBACK CancelTheCopyDialog(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND && reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs->lpszName &&
      std::string(reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs->lpszName) == "Glintharbour International - FileCopy")
    PostMessageA(HWND(w), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  return CallNextHookEx(nullptr, code, w, l);
}

TEST_F(InstallTest, ACancelledCopyLetsThePlayListMoveOn) {
  StartOnTheFilm();
  AddStrip();
  HHOOK hook = SetWindowsHookExA(WH_CBT, CancelTheCopyDialog, nullptr, GetCurrentThreadId());
  ASSERT_NE(nullptr, hook);
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  PressInstall();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(0, boxes.Count()) << "a cancel is silent";
  EXPECT_FALSE(Exists(fFilms + "\\Sea.flm"));
  EXPECT_FALSE(fMain->IsChangingFilm());
  EXPECT_FALSE(fMain->IsPaused());
  EXPECT_TRUE(IsWindowEnabled(fControllerWindow->GetHWND()));
}

TEST_F(InstallTest, AfterTheCopyTheLibraryManagerIsAskedToShowIt) {
  StartOnTheFilm();
  AddStrip();
  fManager = new panes::RecordingWindow(panes::PopupAt(50, 50, 200, 100), "Glintharbour Player");
  ShowWindow(fManager->GetHWND(), SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(fManager->GetHWND()));
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  PressInstall();
  EXPECT_TRUE(Exists(fFilms + "\\Sea.flm"));
  EXPECT_EQ(0, boxes.Count());
  EXPECT_FALSE(IsIconic(fManager->GetHWND()));
  ASSERT_EQ(1u, fManager->received.size());
  EXPECT_EQ(0x40Au, fManager->received[0].message);
  EXPECT_EQ(0u, fManager->received[0].wParam);
  EXPECT_EQ(0, fManager->received[0].lParam);
  EXPECT_TRUE(GH_Controller_QT_MoviePane::IsDismissPending());
  EXPECT_FALSE(fMain->IsChangingFilm()) << "the install is over";
  EXPECT_FALSE(IsWindowEnabled(fControllerWindow->GetHWND())) << "the run ends with the strip disabled";
}

TEST_F(InstallTest, EachFailedCopyIsReportedInItsOwnWords) {
  const std::string target = fFilms + "\\Sea.flm";
  const std::string notCopied = "Movie \"Sea\" was not copied: ";
  struct Case {
    const char* name;
    std::function<void(InstallTest&)> prepare;
    std::vector<std::pair<int32_t, std::string>> want;  // status and box text
    std::vector<std::string> filmsFolder;               // its entries afterwards
    int reports;                                        // the framework's error reports
  };
  std::unique_ptr<kxtest::RefusingFolder> refusing;
  std::unique_ptr<kxtest::DiskFaults> faults;
  const Case kCases[] = {
      // The free space of a folder that is gone may read as none: either
      // check may fire first.
      {"films folder gone", [](InstallTest& t) { RemoveDirectoryA(t.fFilms.c_str()); },
       {{7, "Copy failed for movie. Check that the directory exists."},
        {5, "Not enough space available on the destination drive for movie: "}},
       {}, 0},
      {"a folder of the film's name",
       [&](InstallTest&) { CreateDirectoryA(target.c_str(), nullptr); },
       {{10, notCopied + "the directory " + fFilms + "\\ holds a folder of its file's name."}}, {"Sea.flm"}, 0},
      {"no new file in the films folder",
       [&](InstallTest& t) { refusing = std::make_unique<kxtest::RefusingFolder>(t.fFilms); },
       {{11, notCopied + "no temporary file could be made in the directory " + fFilms + "\\."}}, {}, 0},
      {"the disk full part way",
       [&](InstallTest& t) { faults = std::make_unique<kxtest::DiskFaults>(t.fFilms, kxtest::DiskFaults::kFullAfter, 100); },
       {{6, "An exception occurred while copying movie"}}, {}, 1},
  };
  StartOnTheFilm();
  {
    // The first install records the films folder; the cases change it after.
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    ASSERT_EQ(0, fMain->InstallCurrentFilm());
    DeleteFileA(target.c_str());
  }
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    c.prepare(*this);
    kxtest::MessageBoxWatcher reports("CP_Exception", IDOK);
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    const int32_t status = fMain->InstallCurrentFilm();
    refusing.reset();
    faults.reset();
    bool known = false;
    for (const auto& w : c.want) {
      if (w.first != status) continue;
      known = true;
      EXPECT_EQ(1, boxes.Count());
      EXPECT_EQ(w.second, boxes.LastText());
    }
    EXPECT_TRUE(known) << "status " << status;
    EXPECT_EQ(c.reports, reports.Count());
    EXPECT_EQ(c.filmsFolder, kxtest::FolderEntries(fFilms));
    RemoveDirectoryA(target.c_str());
    CreateDirectoryA(fFilms.c_str(), nullptr);
  }
}

// Two CDs may ship films of one file name: the second is not copied over
// the first, whatever the first file's marks, and the user is told why.
TEST_F(InstallTest, TwoCDsThatShipOneFileNameKeepBothFilms) {
  const std::string target = fFilms + "\\Sea.flm";
  const std::string firstFilm = kxtest::ReadWholeFile(fCD + "\\Sea.flm");
  StartOnTheFilm();
  for (bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "writable");
    {
      kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
      ASSERT_EQ(0, fMain->InstallCurrentFilm());
    }
    if (readOnly) SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    // The second CD's film of the same file name.
    ASSERT_TRUE(CopyFileA(panes::ShippedFilm("cs.flm").c_str(), (fCD + "\\Sea.flm").c_str(), FALSE));
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    EXPECT_EQ(9, fMain->InstallCurrentFilm());
    EXPECT_EQ(1, boxes.Count());
    EXPECT_EQ("Movie \"Sea\" was not copied: the directory " + fFilms + "\\ already holds a file named Sea.flm.",
              boxes.LastText());
    EXPECT_TRUE(kxtest::ReadWholeFile(target) == firstFilm);
    EXPECT_EQ(readOnly, (GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
    EXPECT_EQ(std::vector<std::string>{"Sea.flm"}, kxtest::FolderEntries(fFilms));
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
    CopyFileA(panes::ShippedFilm("sample200.flm").c_str(), (fCD + "\\Sea.flm").c_str(), FALSE);
  }
}
