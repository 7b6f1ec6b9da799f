// The films folder set-up, the size label and the folder chooser over the
// main window. These change "C:\My Documents" of the test prefix besides the
// settings file, under the same lock.
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "GH_FilmsFolder.h"
#include "GH_Globals.h"
#include "GH_Settings.h"
#include "ManagerTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>

using mgrtest::IniFileGuard;
using mgrtest::TempFolder;

namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string DocumentsFolder() { return mgrtest::WindowsFolder().substr(0, 1) + ":\\My Documents"; }

// Makes the documents folder at the root of the Windows drive for one test,
// or makes sure it is absent; puts things back afterwards.
class DocumentsFolderState {
 public:
  explicit DocumentsFolderState(bool present) : fHadIt(IsFolder(DocumentsFolder())) {
    if (present && !fHadIt) CreateDirectoryA(DocumentsFolder().c_str(), nullptr);
  }
  ~DocumentsFolderState() {
    if (!fHadIt) TempFolder::DeleteTree(DocumentsFolder());
  }
  bool HadIt() const { return fHadIt; }

 private:
  bool fHadIt;
};

class MgrFilmsFolderTest : public ::testing::Test {
 protected:
  IniFileGuard fGuard;
  TempFolder fInstall{"films_install"};

  void SetPath(const std::string& path) {
    IniFileGuard::Replace("[Glintharbour]\r\nPath=" + path + "\r\n");
  }
};

}  // namespace

TEST_F(MgrFilmsFolderTest, AnOlderInstallationKeepsItsFolderAndTakesInTheDownloadedFilms) {
  const std::string installed = fInstall / "Installed Movies";
  const std::string internet = fInstall / "Internet Movies";
  CreateDirectoryA(installed.c_str(), nullptr);
  CreateDirectoryA(internet.c_str(), nullptr);
  mgrtest::WriteFileBytes(internet + "\\a.m01", 3);
  mgrtest::WriteFileBytes(internet + "\\b.mov", 3);
  mgrtest::WriteFileBytes(internet + "\\C.M01", 3);
  mgrtest::WriteFileBytes(internet + "\\taken.flm", 3, 'n');
  mgrtest::WriteFileBytes(installed + "\\taken.flm", 3, 'o');
  SetPath(fInstall.Path());

  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  EXPECT_EQ(installed, SetUpFilmsFolder());

  struct Case {
    const char* name;
    bool inInstalled, inInternet;
  } const cases[] = {
      {"a.flm", true, false},   {"a.m01", false, false}, {"b.mov", true, false},
      {"C.flm", true, false},   {"taken.flm", true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.inInstalled, IsFile(installed + "\\" + c.name)) << c.name;
    EXPECT_EQ(c.inInternet, IsFile(internet + "\\" + c.name)) << c.name;
  }
  std::string kept;
  mgrtest::ReadWholeFile(installed + "\\taken.flm", kept);
  EXPECT_EQ("ooo", kept) << "a film already there is not replaced";

  char after[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(before, after) << "the walk gives the current directory back";
}

TEST_F(MgrFilmsFolderTest, AFolderNamedLikeAnOldFilmKeepsItsName) {
  TempFolder odd("films.m01dir");
  const std::string installed = odd / "Installed Movies";
  const std::string internet = odd / "Internet Movies";
  CreateDirectoryA(installed.c_str(), nullptr);
  CreateDirectoryA(internet.c_str(), nullptr);
  mgrtest::WriteFileBytes(internet + "\\x.m01", 3);
  SetPath(odd.Path());
  EXPECT_EQ(installed, SetUpFilmsFolder());
  EXPECT_TRUE(IsFile(installed + "\\x.flm"));
}

TEST_F(MgrFilmsFolderTest, TheDocumentsFolderGetsAFilmsFolderMadeOnce) {
  DocumentsFolderState documents(true);
  if (documents.HadIt() && IsFolder(DocumentsFolder() + "\\Glintharbour Movies"))
    GTEST_SKIP() << "the prefix has a films folder of its own";
  SetPath(fInstall.Path());
  const std::string want = DocumentsFolder() + "\\Glintharbour Movies";
  EXPECT_EQ(want, SetUpFilmsFolder());
  EXPECT_TRUE(IsFolder(want));
  EXPECT_EQ(want, SetUpFilmsFolder()) << "the second call finds it";
  EXPECT_FALSE(IsFolder(fInstall / "Glintharbour Films"));
  if (documents.HadIt()) RemoveDirectoryA(want.c_str());
}

TEST_F(MgrFilmsFolderTest, WithoutDocumentsTheFilmsFolderLiesInTheInstallation) {
  DocumentsFolderState documents(false);
  if (documents.HadIt()) GTEST_SKIP() << "the prefix has a documents folder at its root";
  struct Case {
    const char* name;
    std::string path;  // the Path setting
    std::string want;
  } const cases[] = {
      {"no backslash", fInstall.Path(), fInstall.Path() + "\\Glintharbour Films\\"},
      {"with backslash", fInstall.Path() + "\\", fInstall.Path() + "\\Glintharbour Films\\"},
      {"no installation folder", fInstall / "gone", ""},
  };
  for (const Case& c : cases) {
    SetPath(c.path);
    EXPECT_EQ(c.want, SetUpFilmsFolder()) << c.name;
    EXPECT_EQ(!c.want.empty(), IsFolder(c.want)) << c.name;
  }
  // A missing key reads the installation folder as empty for this form.
  IniFileGuard::Replace("[Glintharbour]\r\nDBPath=C:\\\r\n");
  EXPECT_EQ("", SetUpFilmsFolder());
}

TEST(MgrFilmSizeTest, MegabytesWithTwoDecimalsOrNothing) {
  TempFolder folder("filmsize");
  struct Case {
    size_t bytes;
    const char* want;
  } const cases[] = {
      {1572864, " [ 1.50 MB]"},
      {0, " [ 0.00 MB]"},
      {5242, " [ 0.00 MB]"},
      {104857600 + 5243, " [100.01 MB]"},  // wider than five: not cut
  };
  for (const Case& c : cases) {
    const std::string path = folder / "film.flm";
    mgrtest::WriteFileBytes(path, c.bytes);
    EXPECT_EQ(c.want, FormatFilmSize(path)) << c.bytes;
  }
  EXPECT_EQ("", FormatFilmSize(folder / "missing.flm"));
  EXPECT_EQ("", FormatFilmSize(folder.Path())) << "a folder";
}

using MgrChooseFolderTest = FrameworkTest;

TEST_F(MgrChooseFolderTest, OwnedByTheMainWindowWhenThereIsOne) {
  CoInitialize(nullptr);
  TempFolder folder("choose");
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  SetCurrentDirectoryA(folder.Path().c_str());

  mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
  for (bool withMain : {false, true}) {
    std::unique_ptr<CP_Window> main;
    if (withMain)
      main = std::make_unique<CP_Window>(nullptr, CP_Point(int16_t(40), int16_t(40)),
                                         CP_Size(200, 100), mainWindowTitle);
    HWND owner = nullptr;
    kxtest::DialogWatcher watcher("", [&](HWND dialog) {
      if (!kxtest::IsFolderChooser(dialog)) return;
      owner = GetWindow(dialog, GW_OWNER);
      kxtest::DialogWatcher::Press(dialog, IDCANCEL);
    });
    std::string path = "unchanged";
    EXPECT_FALSE(ChooseFolderForMainWindow("Choose directory for CD Drive", path));
    EXPECT_EQ("unchanged", path);
    ASSERT_TRUE(watcher.WaitFor(1));
    if (withMain) {
      EXPECT_EQ(main->GetHWND(), owner);
    } else {
      EXPECT_TRUE(owner == nullptr || owner == GetDesktopWindow()) << "no main window";
    }
  }
  SetCurrentDirectoryA(before);
  CoUninitialize();
}
