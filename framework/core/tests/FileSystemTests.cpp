#include "CP_DirectoryIterator.h"
#include "CP_Exception.h"
#include "CP_FileSystem.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <functional>
#include <set>
#include <string>

namespace {

using kxtest::DialogWatcher;
using kxtest::LongPathOf;
using kxtest::ShortPathOf;
using kxtest::TempFolder;

struct Failure {
  bool thrown = false;
  int32_t code = 0;
  int32_t line = 0;
};

Failure Catch(const std::function<void()>& step) {
  Failure failure;
  try {
    step();
  } catch (const CP_PlfrmErrorException& e) {
    failure = {true, e.GetErrorCode(), e.GetLine()};
  }
  return failure;
}


TEST(FileSystemTest, DirectoryExists) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "file.txt", "x"));
  struct Case {
    const char* name;
    std::string path;
    bool want;
  };
  const Case cases[] = {
      {"empty path", "", false},
      {"folder", folder.Path(), true},
      {"file", folder / "file.txt", false},
      {"missing", folder / "missing", false},
  };
  for (const Case& c : cases) {
    // The flag of the spec does not matter: the disk answers.
    EXPECT_EQ(c.want, CP_FileSystem::DirectoryExists(CP_FileSpec(c.path, true))) << c.name;
    EXPECT_EQ(c.want, CP_FileSystem::DirectoryExists(CP_FileSpec(c.path, false))) << c.name;
  }
}

TEST(FileSystemTest, CreateSubfolderAndDeleteFile) {
  TempFolder folder;
  // From a folder spec the folder itself is the parent; from a file spec its
  // folder part.
  const CP_FileSpec made = CP_FileSystem::CreateSubfolder(CP_FileSpec(folder.Path(), true), "sub");
  EXPECT_TRUE(made.IsDirectory());
  EXPECT_EQ(folder / "sub", made.Path());
  EXPECT_TRUE(CP_FileSystem::DirectoryExists(made));
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "sub\\keep.txt", "x"));
  CP_FileSystem::CreateSubfolder(CP_FileSpec(folder / "sub\\keep.txt", false), "inner");
  EXPECT_TRUE(CP_FileSystem::DirectoryExists(CP_FileSpec(folder / "sub\\inner", true)));
  // An existing folder is left alone with what it holds.
  EXPECT_NO_THROW(CP_FileSystem::CreateSubfolder(CP_FileSpec(folder.Path(), true), "sub"));
  EXPECT_EQ("x", kxtest::ReadWholeFile(folder / "sub\\keep.txt"));

  Failure failure = Catch(
      [&] { CP_FileSystem::CreateSubfolder(CP_FileSpec(folder / "missing", true), "sub"); });
  EXPECT_TRUE(failure.thrown);
  EXPECT_EQ(1, failure.code);
  EXPECT_EQ(187, failure.line);

  CP_FileSystem::DeleteFile(CP_FileSpec(folder / "sub\\keep.txt", false));
  EXPECT_FALSE(kxtest::FileExists(folder / "sub\\keep.txt"));
  failure = Catch([&] { CP_FileSystem::DeleteFile(CP_FileSpec(folder / "sub\\keep.txt", false)); });
  EXPECT_TRUE(failure.thrown);
  EXPECT_EQ(1, failure.code);
  EXPECT_EQ(426, failure.line);

  EXPECT_EQ(0, MakeDirectory((folder / "made").c_str()));
  EXPECT_EQ(-1, MakeDirectory((folder / "made").c_str()));
  EXPECT_EQ(-1, MakeDirectory((folder / "missing\\made").c_str()));
  EXPECT_EQ(-1, MakeDirectory(nullptr));
}

TEST(FileSystemTest, FilterComparesTypeCodesExactly) {
  CP_FileFilter exe(0x2E657865);  // ".exe"
  EXPECT_EQ(1, exe.CountCodes());
  EXPECT_TRUE(exe.Accepts(CP_FileSpec("C:\\x\\Setup.exe", false)));
  EXPECT_FALSE(exe.Accepts(CP_FileSpec("C:\\x\\Setup.EXE", false)));
  EXPECT_FALSE(exe.Accepts(CP_FileSpec("C:\\x\\Setup.exe", true)));
  CP_FileFilter folders(kCP_FolderTypeCode);
  EXPECT_TRUE(folders.Accepts(CP_FileSpec("C:\\x", true)));
  EXPECT_EQ(kCP_FolderTypeCode, CP_FileSystem::GetFileTypeCode(CP_FileSpec("C:\\x", true)));
}

struct Entry {
  std::string path;
  bool folder;
  bool operator<(const Entry& o) const { return path < o.path; }
  bool operator==(const Entry& o) const { return path == o.path && folder == o.folder; }
};

// Wine does not sort a listing: entries are compared as sets.
std::set<Entry> Walk(const std::string& path, CP_FileFilter* filter) {
  std::set<Entry> entries;
  CP_DirectoryIterator it(CP_FileSpec(path, true), filter);
  const CP_DirectoryIterator end;
  for (it.Next(); !(it == end) && entries.size() < 100; it.Next())
    entries.insert({it.Current().Path(), it.Current().IsDirectory()});
  return entries;
}

TEST(DirectoryIteratorTest, ListingsWithAndWithoutFilter) {
  TempFolder folder;
  for (const char* name : {"a.exe", "b.EXE", "c.txt", "README"})
    ASSERT_TRUE(kxtest::WriteWholeFile(folder / name, "x"));
  ASSERT_TRUE(CreateDirectoryA((folder / "sub").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((folder / "tools.exe").c_str(), nullptr));
  CP_FileFilter exe(0x2E657865);
  CP_FileFilter folders(kCP_FolderTypeCode);
  CP_FileFilter none(0x2E6D6F76);  // ".mov"
  struct Case {
    const char* name;
    CP_FileFilter* filter;
    std::set<Entry> want;
  };
  const Case cases[] = {
      {"no filter",
       nullptr,
       {{folder / "a.exe", false},
        {folder / "b.EXE", false},
        {folder / "c.txt", false},
        {folder / "README", false},
        {folder / "sub", true},
        {folder / "tools.exe", true}}},
      {".exe files only", &exe, {{folder / "a.exe", false}}},
      {"folders only", &folders, {{folder / "sub", true}, {folder / "tools.exe", true}}},
      {"nothing accepted", &none, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, Walk(folder.Path(), c.filter)) << c.name;
}

TEST(DirectoryIteratorTest, EmptyAndMissingFoldersEndAtOnce) {
  TempFolder folder;
  ASSERT_TRUE(CreateDirectoryA((folder / "empty").c_str(), nullptr));
  const std::string before = kxtest::CurrentDirectory();
  const CP_DirectoryIterator end;
  for (const std::string& path : {folder / "empty", folder / "missing", std::string()}) {
    CP_DirectoryIterator it(CP_FileSpec(path, true));
    EXPECT_TRUE(it.Next() == end) << path;
    EXPECT_TRUE(it.Next() == end) << path;  // and stays there
  }
  EXPECT_EQ(before, kxtest::CurrentDirectory());
}

TEST(DirectoryIteratorTest, CurrentDirectoryFollowsTheWalkAndIsRestored) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "one", "x"));
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "two", "x"));
  const std::string before = kxtest::CurrentDirectory();
  {
    CP_DirectoryIterator it(CP_FileSpec(folder.Path(), true));
    EXPECT_EQ(before, kxtest::CurrentDirectory());  // nothing happens before the first step
    it.Next();
    EXPECT_FALSE(it == CP_DirectoryIterator());
    EXPECT_EQ(LongPathOf(folder.Path()), LongPathOf(kxtest::CurrentDirectory()));
    // Abandoned after its first entry.
  }
  EXPECT_EQ(before, kxtest::CurrentDirectory());
  EXPECT_TRUE(CP_DirectoryIterator::IsDotEntry("."));
  EXPECT_TRUE(CP_DirectoryIterator::IsDotEntry(".."));
  EXPECT_FALSE(CP_DirectoryIterator::IsDotEntry("..."));
}

// Wine makes its own (hashed) short names, so the short forms are asked of
// Wine rather than written down.
TEST(FileSystemTest, ExpandToLongPath) {
  TempFolder temp;
  const std::string folder = LongPathOf(temp.Path()) + "\\Long Folder Name";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = folder + "\\Another Long File.txt";
  ASSERT_TRUE(kxtest::WriteWholeFile(file, "x"));
  const std::string shortFile = ShortPathOf(file);
  ASSERT_NE(std::string::npos, shortFile.find('~')) << shortFile;

  std::string out;
  EXPECT_EQ(0, CP_FileSystem::ExpandToLongPath(shortFile, out));
  EXPECT_EQ(file, out);
  EXPECT_EQ(0, CP_FileSystem::ExpandToLongPath(ShortPathOf(folder), out));
  EXPECT_EQ(folder, out);

  // A missing last component: what was built so far, and -1.
  EXPECT_EQ(-1, CP_FileSystem::ExpandToLongPath(ShortPathOf(folder) + "\\MISSIN~1.TXT", out));
  EXPECT_EQ(folder + "\\", out);
  // Paths without a drive prefix are found from the current directory.
  const std::string before = kxtest::CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
  const std::string shortName = shortFile.substr(shortFile.rfind('\\') + 1);
  EXPECT_EQ(0, CP_FileSystem::ExpandToLongPath(shortName, out)) << shortName;
  EXPECT_EQ("Another Long File.txt", out);
  for (const char* path : {"", "C", "missing\\x"}) {
    EXPECT_EQ(-1, CP_FileSystem::ExpandToLongPath(path, out)) << path;
  }
  SetCurrentDirectoryA(before.c_str());
}

using FolderChooserTest = FrameworkTest;

// The chooser starts at the current directory: OK picks it. Wine's shell may
// show a box of its own while it reads the drives (such as a refused read of
// a device); such boxes are dismissed and do not count as the chooser.
TEST_F(FolderChooserTest, OkPicksTheStartFolderCancelPicksNothing) {
  CoInitialize(nullptr);
  TempFolder folder;
  const std::string before = kxtest::CurrentDirectory();
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  bool statusShown = false;
  int choosers = 0;
  CP_FileSpec chosen;
  // Now and then Wine's shell fails to select a folder while it reads the
  // drives; the user then cancels and opens the chooser again.
  for (int attempt = 0; attempt < 2 && !statusShown; ++attempt) {
    DialogWatcher watcher("", [&](HWND dialog) {
      if (!kxtest::IsFolderChooser(dialog)) {
        DialogWatcher::Press(dialog, IDOK);
        return;
      }
      ++choosers;
      // The chooser shows the selected folder's path as its status text once
      // it has selected the start folder.
      statusShown = kxtest::WaitUntilChooserShows(dialog, folder.Path());
      DialogWatcher::Press(dialog, statusShown ? IDOK : IDCANCEL);
    });
    EXPECT_EQ(statusShown, ChooseFolder(chosen, "Pick one", nullptr));
  }
  EXPECT_LE(1, choosers);
  ASSERT_TRUE(statusShown);
  EXPECT_TRUE(chosen.IsDirectory());
  EXPECT_EQ(LongPathOf(folder.Path()), LongPathOf(chosen.Path()));
  choosers = 0;
  {
    DialogWatcher watcher("", [&](HWND dialog) {
      if (kxtest::IsFolderChooser(dialog)) ++choosers;
      DialogWatcher::Press(dialog, kxtest::IsFolderChooser(dialog) ? IDCANCEL : IDOK);
    });
    CP_FileSpec chosen("C:\\unchanged", false);
    EXPECT_FALSE(ChooseFolder(chosen, "", nullptr));
    EXPECT_EQ(1, choosers);
    EXPECT_EQ("C:\\unchanged", chosen.Path());
    EXPECT_FALSE(chosen.IsDirectory());
  }
  SetCurrentDirectoryA(before.c_str());
  CoUninitialize();
}

}  // namespace
