// Film file copy with its progress dialog, run under a real main window.
#include "CP_Window.h"
#include "CopyFileWithProgress.h"
#include "DiskFaults.h"
#include "FrameworkFixture.h"
#include "GH_Globals.h"
#include "GH_Resources.h"
#include "ManagerTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using mgrtest::FilesIn;
using mgrtest::TempFolder;

namespace {

constexpr UINT kObserve = WM_APP + 7;

// A window whose handler runs inside the copy's message dispatch: the test
// posts to it before the copy and looks at the copy from there.
std::function<void()> gOnObserve;

LRESULT CALLBACK ObserverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kObserve) {
    if (gOnObserve) gOnObserve();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The progress bar's own procedure, and what the recording one saw.
WNDPROC gBarProc = nullptr;
std::vector<int> gPositions;
DWORD gRangeHigh = 0;
std::function<void()> gOnPosition;

LRESULT CALLBACK RecordingBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = CallWindowProcA(gBarProc, bar, message, wParam, lParam);
  if (message == PBM_SETPOS) {
    gPositions.push_back(int(wParam));
    gRangeHigh = DWORD(CallWindowProcA(gBarProc, bar, PBM_GETRANGE, FALSE, 0));
    if (gOnPosition) gOnPosition();
  }
  return result;
}

HWND MakeObserver() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ObserverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "kx_copy_observer";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "kx_copy_observer", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// This process's copy dialog, visible or not.
HWND FindCopyDialog() {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "#32770",
                                 "Glintharbour International - FileCopy")) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

std::string Contents(const std::string& path) {
  std::string bytes;
  if (!mgrtest::ReadWholeFile(path, bytes)) return "<no file>";
  return bytes;
}

bool IsThere(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
  return bytes;
}

class MgrCopyFileTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
    fMain = std::make_unique<CP_Window>(nullptr, CP_Point(int16_t(40), int16_t(40)),
                                        CP_Size(300, 200), mainWindowTitle);
    fObserver = MakeObserver();
  }
  void TearDown() override {
    gOnObserve = nullptr;
    DestroyWindow(fObserver);
    fMain.reset();
    FrameworkTest::TearDown();
  }

  HWND Main() const { return fMain->GetHWND(); }

  std::unique_ptr<CP_Window> fMain;
  HWND fObserver = nullptr;
  TempFolder fFrom{"copy_from"};
  TempFolder fTo{"copy_to"};
};

}  // namespace

TEST_F(MgrCopyFileTest, CopiesInBlocksUnderTheSourcesNameWhileTheMainWindowWaits) {
  const std::string film = Pattern(350000);  // three full blocks and a short one
  mgrtest::WriteWholeFile(fFrom / "film.flm", film);

  CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false),
                            CP_FileSpec(fTo / "other name.flm", false));
  HWND dialog = copy.GetDialog();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(dialog, FindCopyDialog());
  EXPECT_FALSE(IsWindowVisible(dialog)) << "hidden until the copy starts";
  EXPECT_FALSE(IsWindowEnabled(Main()));
  EXPECT_EQ(Main(), GetWindow(dialog, GW_OWNER));
  EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
  EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
  EXPECT_EQ("film.flm", kxtest::DialogWatcher::ItemText(dialog, GH_ITEM_COPY_NAME));

  // Every position the copy gives its progress bar, seen by the bar itself.
  HWND bar = GetDlgItem(dialog, GH_ITEM_COPY_PROGRESS);
  gBarProc = WNDPROC(SetWindowLongPtrA(bar, GWLP_WNDPROC, LONG_PTR(RecordingBarProc)));
  gPositions.clear();
  bool visible = true, mainEnabled = false;
  gOnPosition = [&] {
    // The bar is set to 0 before the dialog shows; every block's position after.
    if (gPositions.size() > 1) visible = visible && IsWindowVisible(dialog);
    mainEnabled = mainEnabled || IsWindowEnabled(Main());
  };
  EXPECT_EQ(kCopyDone, copy.Copy());
  gOnPosition = nullptr;
  const std::vector<int>& positions = gPositions;
  const DWORD rangeHigh = gRangeHigh;

  EXPECT_EQ((std::vector<int>{0, 29, 58, 87, 100}), positions) << "0 before the first block";
  EXPECT_EQ(100u, rangeHigh);
  EXPECT_TRUE(visible);
  EXPECT_FALSE(mainEnabled);
  EXPECT_TRUE(Contents(fTo / "film.flm") == film);
  EXPECT_EQ("<no file>", Contents(fTo / "other name.flm"));
  EXPECT_TRUE(Contents(fFrom / "film.flm") == film);

  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_EQ(nullptr, copy.GetDialog());
  EXPECT_TRUE(IsWindowEnabled(Main()));
}

TEST_F(MgrCopyFileTest, CancelDeletesThePartialCopy) {
  struct Case {
    const char* name;
    std::function<void(HWND)> cancel;
  } const cases[] = {
      {"Cancel button", [](HWND d) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                                                  LPARAM(GetDlgItem(d, IDCANCEL))); }},
      {"close box", [](HWND d) { SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  mgrtest::WriteWholeFile(fFrom / "long.flm", Pattern(1000000));
  for (const Case& c : cases) {
    CopyFileWithProgress copy(CP_FileSpec(fFrom / "long.flm", false),
                              CP_FileSpec(fTo / "long.flm", false));
    HWND dialog = copy.GetDialog();
    int blocks = 0;
    gOnObserve = [&] {
      ++blocks;
      c.cancel(dialog);
    };
    PostMessageA(fObserver, kObserve, 0, 0);
    EXPECT_EQ(kCopyCancelled, copy.Copy()) << c.name;
    gOnObserve = nullptr;
    EXPECT_EQ(1, blocks) << c.name << ": the copy stops after the block in hand";
    EXPECT_EQ("<no file>", Contents(fTo / "long.flm")) << c.name;
    EXPECT_EQ(1, CopyCancelled);
    EXPECT_TRUE(IsWindowEnabled(Main())) << c.name;
  }
}

TEST_F(MgrCopyFileTest, FailuresBeforeTheCopyShowNothingAndCreateNothing) {
  mgrtest::WriteWholeFile(fFrom / "film.flm", "film");
  CreateDirectoryA((fTo / "taken.flm").c_str(), nullptr);
  CreateDirectoryA((fTo / "refusing").c_str(), nullptr);
  struct Case {
    const char* name;
    CP_FileSpec source, destination;
    int16_t want;
    const char* shouldNotExist;
  } const cases[] = {
      {"no source", CP_FileSpec(), CP_FileSpec(fTo / "a.flm", false), kCopyNoSpec, "a.flm"},
      {"no destination", CP_FileSpec(fFrom / "film.flm", false), CP_FileSpec(), kCopyNoSpec, ""},
      {"missing source", CP_FileSpec(fFrom / "gone.flm", false),
       CP_FileSpec(fTo / "gone.flm", false), kCopySourceMissing, "gone.flm"},
      {"source is a folder", CP_FileSpec(fTo.Path(), false), CP_FileSpec(fTo / "x.flm", false),
       kCopySourceMissing, "x.flm"},
      {"missing folder", CP_FileSpec(fFrom / "film.flm", false),
       CP_FileSpec(fTo / "sub\\film.flm", false), kCopyNoFolder, "sub"},
      // A folder of the film's name is in the way: the file cannot take it.
      {"a folder of the film's name", CP_FileSpec(fFrom / "film.flm", false), CP_FileSpec(fTo / "x.flm", false),
       kCopyFolderInTheWay, ""},
      {"no new file in the folder", CP_FileSpec(fFrom / "film.flm", false),
       CP_FileSpec(fTo / "refusing\\film.flm", false), kCopyNoTemporaryName, "refusing\\film.flm"},
  };
  // The folder-in-the-way case copies "film.flm" onto the folder of that name.
  std::rename((fTo / "taken.flm").c_str(), (fTo / "film.flm").c_str());
  kxtest::RefusingFolder refusing(fTo / "refusing");
  ASSERT_TRUE(refusing.Applied());
  for (const Case& c : cases) {
    bool shown = false;
    CopyFileWithProgress copy(c.source, c.destination);
    HWND dialog = copy.GetDialog();
    const std::string name = c.source.IsSpecified() ? c.source.Name() : "--NoName--";
    EXPECT_EQ(name, kxtest::DialogWatcher::ItemText(dialog, GH_ITEM_COPY_NAME)) << c.name;
    gOnObserve = [&] { shown = shown || IsWindowVisible(dialog); };
    PostMessageA(fObserver, kObserve, 0, 0);
    EXPECT_EQ(c.want, copy.Copy()) << c.name;
    kxtest::PumpUntil([] { return false; }, 50);
    gOnObserve = nullptr;
    EXPECT_FALSE(shown) << c.name;
    EXPECT_FALSE(IsWindow(dialog)) << c.name;
    EXPECT_TRUE(IsWindowEnabled(Main())) << c.name;
    if (*c.shouldNotExist) {
      EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((fTo / c.shouldNotExist).c_str()))
          << c.name;
    }
  }
  EXPECT_EQ("film", Contents(fFrom / "film.flm"));
  EXPECT_EQ((std::vector<std::string>{"film.flm", "refusing"}), kxtest::FolderEntries(fTo.Path()));
  EXPECT_EQ(std::vector<std::string>{}, kxtest::FolderEntries(fTo / "refusing"));
}

// No copy replaces a file: one that holds the film's name when the copy
// starts is another film's, read-only or not, and stays as it was. The
// caller's check may be moments old. So a file copied onto itself stays
// whole. An empty film is copied like any other.
TEST_F(MgrCopyFileTest, AFileOfTheFilmsNameStaysAndAnEmptyFilmIsCopied) {
  const std::string film = Pattern(5000);
  mgrtest::WriteWholeFile(fFrom / "film.flm", film);
  for (bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only" : "writable");
    mgrtest::WriteWholeFile(fTo / "film.flm", "old");
    if (readOnly) SetFileAttributesA((fTo / "film.flm").c_str(), FILE_ATTRIBUTE_READONLY);
    {
      CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false),
                                CP_FileSpec(fTo / "film.flm", false));
      EXPECT_EQ(kCopyNameTaken, copy.Copy());
    }
    EXPECT_EQ("old", Contents(fTo / "film.flm"));
    EXPECT_EQ(readOnly, (GetFileAttributesA((fTo / "film.flm").c_str()) & FILE_ATTRIBUTE_READONLY) != 0);
    EXPECT_EQ(std::vector<std::string>{"film.flm"}, FilesIn(fTo.Path()));
    SetFileAttributesA((fTo / "film.flm").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  {
    CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false),
                              CP_FileSpec(fFrom / "film.flm", false));
    EXPECT_EQ(kCopyNameTaken, copy.Copy());
  }
  EXPECT_TRUE(Contents(fFrom / "film.flm") == film);
  EXPECT_EQ(std::vector<std::string>{"film.flm"}, FilesIn(fFrom.Path()));

  mgrtest::WriteWholeFile(fFrom / "empty.flm", "");
  CopyFileWithProgress copy(CP_FileSpec(fFrom / "empty.flm", false),
                            CP_FileSpec(fTo / "empty.flm", false));
  EXPECT_EQ(kCopyDone, copy.Copy());
  EXPECT_EQ("", Contents(fTo / "empty.flm"));
}

// The disk fails the copy where real disks fail: full part way, when the
// data is put on the disk, or at the close. No file is left under the
// film's name or any other, and the next copy works.
TEST_F(MgrCopyFileTest, AFailingDiskLeavesNoFile) {
  const std::string film = Pattern(350000);
  mgrtest::WriteWholeFile(fFrom / "film.flm", film);
  // What a crash left of an earlier copy: the next copy removes it.
  mgrtest::WriteWholeFile(fTo / "kx2b.tmp", "half a film");
  ASSERT_TRUE(kxtest::WrittenMinutesAgo(fTo / "kx2b.tmp", 60));
  for (kxtest::DiskFaults::Fault fault :
       {kxtest::DiskFaults::kFullAfter, kxtest::DiskFaults::kFlushFails, kxtest::DiskFaults::kCloseFails}) {
    kxtest::DiskFaults faults(fTo.Path(), fault, 150000);
    ASSERT_TRUE(faults.Applied());
    CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false), CP_FileSpec(fTo / "film.flm", false));
    EXPECT_EQ(kCopyFailed, copy.Copy()) << fault;
    EXPECT_EQ(1, faults.Failures()) << fault;
    EXPECT_EQ(std::vector<std::string>{}, kxtest::FolderEntries(fTo.Path())) << fault;
  }
  CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false), CP_FileSpec(fTo / "film.flm", false));
  EXPECT_EQ(kCopyDone, copy.Copy());
  EXPECT_TRUE(Contents(fTo / "film.flm") == film);
}

// The copy is written under a name of its own and takes the film's name
// only when whole: a scan of the folder meanwhile finds no half film, and a
// file of that name that turns up meanwhile is another film's and stays.
TEST_F(MgrCopyFileTest, TheCopyTakesTheFilmsNameOnlyWhenWhole) {
  const std::string film = Pattern(350000);
  mgrtest::WriteWholeFile(fFrom / "film.flm", film);
  struct Case {
    const char* name;
    bool otherFilmTurnsUp;
    int16_t want;
    std::string left;  // the file of the film's name afterwards
  } const cases[] = {
      {"nothing in the way", false, kCopyDone, film},
      {"another film turns up", true, kCopyNameTaken, "another film"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileA((fTo / "film.flm").c_str());
    CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false), CP_FileSpec(fTo / "film.flm", false));
    HWND bar = GetDlgItem(copy.GetDialog(), GH_ITEM_COPY_PROGRESS);
    gBarProc = WNDPROC(SetWindowLongPtrA(bar, GWLP_WNDPROC, LONG_PTR(RecordingBarProc)));
    gPositions.clear();
    std::vector<std::string> seenMidway;  // film files in the folder between blocks
    gOnPosition = [&] {
      if (gPositions.size() < 2 || gPositions.back() == 100) return;
      for (const std::string& name : FilesIn(fTo.Path()))
        if (name.size() > 4 && (name.substr(name.size() - 4) == ".flm" || name.substr(name.size() - 4) == ".mov"))
          seenMidway.push_back(name);
      if (c.otherFilmTurnsUp && !IsThere(fTo / "film.flm")) mgrtest::WriteWholeFile(fTo / "film.flm", "another film");
    };
    EXPECT_EQ(c.want, copy.Copy());
    gOnPosition = nullptr;
    if (!c.otherFilmTurnsUp) {
      EXPECT_TRUE(seenMidway.empty()) << seenMidway.front();
    }
    EXPECT_TRUE(Contents(fTo / "film.flm") == c.left);
    EXPECT_EQ(std::vector<std::string>{"film.flm"}, FilesIn(fTo.Path())) << "no half copy is left";
  }
}

TEST_F(MgrCopyFileTest, ACopyNeverRunGivesTheMainWindowBack) {
  mgrtest::WriteWholeFile(fFrom / "film.flm", "film");
  HWND dialog = nullptr;
  {
    CopyFileWithProgress copy(CP_FileSpec(fFrom / "film.flm", false),
                              CP_FileSpec(fTo / "film.flm", false));
    dialog = copy.GetDialog();
    EXPECT_FALSE(IsWindowEnabled(Main()));
  }
  EXPECT_TRUE(IsWindowEnabled(Main()));
  EXPECT_FALSE(IsWindow(dialog));
}

TEST(MgrCopyFileWithoutMainWindowTest, TheDialogHasNoOwner) {
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  TempFolder from("copy_nomain");
  mgrtest::WriteWholeFile(from / "film.flm", Pattern(200000));
  CreateDirectoryA((from / "to").c_str(), nullptr);
  {
    CopyFileWithProgress copy(CP_FileSpec(from / "film.flm", false),
                              CP_FileSpec(from / "to\\film.flm", false));
    ASSERT_NE(nullptr, copy.GetDialog());
    EXPECT_EQ(nullptr, GetWindow(copy.GetDialog(), GW_OWNER));
    EXPECT_EQ(kCopyDone, copy.Copy());
  }
  EXPECT_EQ(Pattern(200000).size(), Contents(from / "to\\film.flm").size());
  StopFramework();
}
