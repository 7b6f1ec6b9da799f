#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_FileSpec.h"
#include "CP_FourCC.h"
#include "CP_Volume.h"
#include "DiskFaults.h"
#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using kxtest::TempFolder;

struct Failure {
  bool thrown = false;
  int32_t code = 0;
  int32_t line = 0;
  std::string source;
};

Failure Catch(const std::function<void()>& step) {
  Failure failure;
  try {
    step();
  } catch (const CP_PlfrmErrorException& e) {
    failure = {true, e.GetErrorCode(), e.GetLine(), e.GetSourceFile()};
  }
  return failure;
}

constexpr uint32_t kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr uint32_t kCreator = CP_FourCC("****");
constexpr uint32_t kType = CP_FourCC("TEXT");

TEST(FileSpecTest, NamesAndFolders) {
  struct Case {
    const char* path;
    bool folder;
    const char* name;
    const char* folderPath;
  };
  const Case cases[] = {
      {"C:\\films\\a.mov", false, "a.mov", "C:\\films"},
      {"a.mov", false, "a.mov", ""},
      {"C:\\films", true, "films", "C:\\films"},
      {"C:\\a.mov", false, "a.mov", "C:"},
      {"", false, "", ""},
  };
  for (const Case& c : cases) {
    const CP_FileSpec spec(c.path, c.folder);
    std::string name, folder, path;
    spec.GetName(name);
    spec.GetFolderPath(folder);
    spec.GetPath(path);
    EXPECT_EQ(c.name, name) << c.path;
    EXPECT_EQ(c.folderPath, folder) << c.path;
    EXPECT_EQ(c.folderPath, spec.FolderPath()) << c.path;
    EXPECT_EQ(c.path, path);
    EXPECT_EQ(*c.path != '\0', spec.IsSpecified()) << c.path;
  }
}

TEST(FileSpecTest, BuildFromFolderAndName) {
  struct Case {
    const char* folder;
    const char* name;
    const char* want;
  };
  const Case cases[] = {
      {"C:\\", "a.mov", "C:\\a.mov"},
      {"C:\\films", "a.mov", "C:\\films\\a.mov"},
      {"", "a.mov", "a.mov"},  // no folder: no leading backslash either
  };
  for (const Case& c : cases) {
    CP_FileSpec spec;
    spec.SetFromFolderAndName(c.name, c.folder, false);
    EXPECT_EQ(c.want, spec.Path()) << c.folder;
    EXPECT_FALSE(spec.IsDirectory());
  }

  CP_FileSpec file("C:\\films\\a.mov", false);
  file.SetName("b.flm");
  EXPECT_EQ("C:\\films\\b.flm", file.Path());
  CP_FileSpec folder("C:\\films", true);
  folder.SetName("new");  // a folder's folder part is the folder itself
  EXPECT_EQ("C:\\films\\new", folder.Path());
  EXPECT_TRUE(folder.IsDirectory());

  CP_FileSpec copy(folder);
  CP_FileSpec assigned;
  assigned.Assign(file);
  EXPECT_EQ(folder.Path(), copy.Path());
  EXPECT_TRUE(copy.IsDirectory());
  EXPECT_EQ(file.Path(), assigned.Path());
  assigned.Clear();
  EXPECT_FALSE(assigned.IsSpecified());
  EXPECT_FALSE(assigned.IsDirectory());
}

TEST(FileSpecTest, TypeCodes) {
  struct Case {
    const char* path;
    bool folder;
    uint32_t want;
  };
  const std::string longName = "C:\\x\\" + std::string(250, 'n') + ".mov" + "xyz.exe";
  const Case cases[] = {
      {"C:\\x\\a.exe", false, 0x2E657865},
      {"C:\\x\\Setup.EXE", false, 0x2E455845},
      {"C:\\x\\README", false, 0},
      {"ab", false, 0},
      {".mov", false, 0x2E6D6F76},
      {"C:\\films", true, 0x20524944},  // "DIR " in memory order
      {"C:\\films.mov", true, 0x20524944},
      // Only the first 254 characters of a name count: ".mov" ends them.
      {longName.c_str(), false, 0x2E6D6F76},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.want, CP_FileSpec(c.path, c.folder).GetTypeCode()) << c.path;
  }
  const uint32_t folderCode = CP_FileSpec("C:\\films", true).GetTypeCode();
  EXPECT_EQ(0, std::memcmp(&folderCode, "DIR ", 4));
}

// Each step from a fresh folder holding "old.txt" with three bytes.
TEST(FileTest, CreateReplaceAndOpenTable) {
  struct Case {
    const char* name;
    const char* file;
    std::function<void(CP_File&)> step;
    int32_t failLine;  // 0: succeeds
    const char* contentAfter;
  };
  const Case cases[] = {
      {"create new", "new.txt", [](CP_File& f) { f.Create(kReadWrite, kCreator, kType, false); }, 0,
       ""},
      {"create without replace on existing", "old.txt",
       [](CP_File& f) { f.Create(kReadWrite, kCreator, kType, false); }, 208, "abc"},
      {"create replacing existing", "old.txt",
       [](CP_File& f) { f.Create(kReadWrite, kCreator, kType, true); }, 0, ""},
      {"create in a missing folder", "missing\\new.txt",
       [](CP_File& f) { f.Create(kReadWrite, kCreator, kType, true); }, 208, "<missing>"},
      {"open existing", "old.txt", [](CP_File& f) { f.Open(GENERIC_READ); }, 0, "abc"},
      {"open missing", "new.txt", [](CP_File& f) { f.Open(GENERIC_READ); }, 314, "<missing>"},
      {"delete missing", "new.txt", [](CP_File& f) { f.Delete(); }, 426, "<missing>"},
      {"delete existing", "old.txt", [](CP_File& f) { f.Delete(); }, 0, "<missing>"},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    ASSERT_TRUE(kxtest::WriteWholeFile(folder / "old.txt", "abc"));
    CP_File file(CP_FileSpec(folder / c.file, false));
    const Failure failure = Catch([&] { c.step(file); });
    EXPECT_EQ(c.failLine != 0, failure.thrown) << c.name;
    if (c.failLine != 0) {
      // Folder operations report the framework's error 1, files -36.
      EXPECT_EQ(c.failLine == 426 ? 1 : -36, failure.code) << c.name;
      EXPECT_EQ(c.failLine, failure.line) << c.name;
      EXPECT_EQ(c.failLine == 426 ? "CP_FileSystem.cpp" : "CP_File.cpp", failure.source) << c.name;
      EXPECT_FALSE(file.IsOpen()) << c.name;
    }
    file.Close();
    EXPECT_EQ(c.contentAfter, kxtest::ReadWholeFile(folder / c.file)) << c.name;
  }
}

TEST(FileTest, CreateLeavesTheFileClosed) {
  TempFolder folder;
  CP_File file;
  file.CreateWithSpec(CP_FileSpec(folder / "a.txt", false), kReadWrite, kCreator, kType, true);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(folder / "a.txt", file.GetSpec().Path());
  // Nothing holds the file: it can be opened without sharing.
  HANDLE exclusive = CreateFileA((folder / "a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
  CloseHandle(exclusive);
}

TEST(FileTest, ReadAtTheEndGivesWhatIsLeft) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "data", std::string(50, 'x') + "0123456789"));
  CP_File file(CP_FileSpec(folder / "data", false));
  file.Open(GENERIC_READ);
  EXPECT_EQ(60u, file.GetSize());
  EXPECT_EQ(50u, file.SetPosition(2, -10));
  char buffer[100] = {};
  uint32_t count = 100;
  file.Read(buffer, &count);
  EXPECT_EQ(10u, count);
  EXPECT_EQ("0123456789", std::string(buffer, count));
  EXPECT_EQ(60u, file.GetPosition());
  count = 100;
  file.Read(buffer, &count);
  EXPECT_EQ(0u, count);
  EXPECT_EQ(5u, file.SetPosition(0, 5));
  EXPECT_EQ(8u, file.SetPosition(1, 3));
  file.Close();
}

TEST(FileTest, WriteAndTruncate) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "data", "0123456789"));
  CP_File file(CP_FileSpec(folder / "data", false));
  file.Open(kReadWrite);
  file.SetPosition(0, 2);
  uint32_t count = 3;
  file.Write("abc", &count);
  EXPECT_EQ(3u, count);
  EXPECT_EQ(10u, file.GetSize());
  count = 2;
  file.WriteAndTruncate("XY", &count);
  EXPECT_EQ(7u, file.GetSize());
  file.Close();
  EXPECT_EQ("01abcXY", kxtest::ReadWholeFile(folder / "data"));
}

TEST(FileTest, NullBufferOrCountIsRefusedBeforeTheFileIsTouched) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "data", "0123456789"));
  CP_File file(CP_FileSpec(folder / "data", false));
  file.Open(kReadWrite);
  char buffer[4] = {};
  uint32_t count = 4;
  struct Case {
    const char* name;
    std::function<void()> step;
    int32_t line;
  };
  const Case cases[] = {
      {"read into null", [&] { file.Read(nullptr, &count); }, 444},
      {"read without count", [&] { file.Read(buffer, nullptr); }, 444},
      {"write from null", [&] { file.Write(nullptr, &count); }, 481},
      {"write without count", [&] { file.Write(buffer, nullptr); }, 481},
      {"truncating write from null", [&] { file.WriteAndTruncate(nullptr, &count); }, 516},
  };
  for (const Case& c : cases) {
    const Failure failure = Catch(c.step);
    EXPECT_TRUE(failure.thrown) << c.name;
    EXPECT_EQ(-36, failure.code) << c.name;
    EXPECT_EQ(c.line, failure.line) << c.name;
  }
  EXPECT_EQ(0u, file.GetPosition());
  file.Close();
  EXPECT_EQ("0123456789", kxtest::ReadWholeFile(folder / "data"));
}

TEST(FileTest, FailuresOnAClosedFile) {
  CP_File file(CP_FileSpec("C:\\nowhere.txt", false));
  char buffer[4] = {};
  uint32_t count = 4;
  struct Case {
    const char* name;
    std::function<void()> step;
    int32_t code;
    int32_t line;
  };
  const Case cases[] = {
      {"read", [&] { file.Read(buffer, &count); }, -36, 440},
      {"write", [&] { file.Write(buffer, &count); }, -36, 477},
      {"truncating write", [&] { file.WriteAndTruncate(buffer, &count); }, -36, 516},
      {"size", [&] { file.GetSize(); }, -36, 553},
      {"flush", [&] { file.Flush(); }, -36, 571},
      // Position failures carry the Windows error itself.
      {"set position", [&] { file.SetPosition(0, 0); }, ERROR_INVALID_HANDLE, 377},
      {"get position", [&] { file.GetPosition(); }, ERROR_INVALID_HANDLE, 403},
  };
  for (const Case& c : cases) {
    const Failure failure = Catch(c.step);
    EXPECT_TRUE(failure.thrown) << c.name;
    EXPECT_EQ(c.code, failure.code) << c.name;
    EXPECT_EQ(c.line, failure.line) << c.name;
  }
  EXPECT_FALSE(file.IsOpen());
}

// A close can report a write the system had deferred: that is a failure of
// the file like any other, and the handle is gone all the same.
TEST(FileTest, AFailedCloseIsAFileError) {
  TempFolder folder;
  CP_File file(CP_FileSpec(folder / "a.txt", false));
  file.Create(kReadWrite, kCreator, kType, true);
  kxtest::DiskFaults faults(folder.Path(), kxtest::DiskFaults::kCloseFails);
  ASSERT_TRUE(faults.Applied());
  file.Open(kReadWrite);
  const Failure failure = Catch([&] { file.Close(); });
  EXPECT_TRUE(failure.thrown);
  EXPECT_EQ(-36, failure.code);
  EXPECT_EQ(352, failure.line);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(1, faults.Failures());
}

// Create hands Windows at most 1023 characters; a path that long is still
// refused by the ANSI file functions, so a 2000-character path fails cleanly
// with the create error and makes nothing.
TEST(FileTest, OverlongPathFailsWithTheCreateError) {
  TempFolder folder;
  const std::string path = folder.Path() + "\\" + std::string(2000, 'k');
  CP_File file(CP_FileSpec(path, false));
  const Failure failure = Catch([&] { file.Create(kReadWrite, kCreator, kType, true); });
  EXPECT_TRUE(failure.thrown);
  EXPECT_EQ(-36, failure.code);
  EXPECT_EQ(208, failure.line);
  EXPECT_FALSE(file.IsOpen());
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder / "k*").c_str(), &found);
  EXPECT_EQ(INVALID_HANDLE_VALUE, search);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST(FileTest, DestroyingAnOpenFileClosesIt) {
  TempFolder folder;
  ASSERT_TRUE(kxtest::WriteWholeFile(folder / "data", "abc"));
  {
    CP_File file(CP_FileSpec(folder / "data", false));
    file.Open(GENERIC_READ);
    ASSERT_TRUE(file.IsOpen());
  }
  HANDLE exclusive =
      CreateFileA((folder / "data").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
  CloseHandle(exclusive);
}

TEST(VolumeTest, WalkFollowsTheLogicalDrives) {
  const DWORD mask = GetLogicalDrives();
  std::vector<int16_t> want;
  for (int16_t d = 0; d < 32; ++d)
    if (mask & (DWORD(1) << d)) want.push_back(d);
  ASSERT_FALSE(want.empty());

  std::vector<int16_t> got;
  const CP_VolumeIterator end;
  CP_VolumeIterator it(1);
  for (++it; it != end && got.size() < 40; ++it) got.push_back((*it).GetDriveNumber());
  EXPECT_EQ(want, got);
  ++it;  // a step at the end stays at the end
  EXPECT_FALSE(it != end);
}

TEST(VolumeTest, RootPathDisplayNameAndDriveType) {
  CP_Volume c;
  c.SetDriveNumber(2);
  EXPECT_EQ("C:\\", c.GetRootPath());
  EXPECT_TRUE(c.IsNotCDROM());
  std::string display;
  c.GetDisplayName(display);
  EXPECT_NE(std::string::npos, display.find("C:")) << display;
  CP_Volume copy;
  copy.Assign(c);
  EXPECT_EQ(2, copy.GetDriveNumber());
  EXPECT_EQ("", CP_Volume().GetRootPath());
}

}  // namespace
