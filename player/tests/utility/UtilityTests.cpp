#include "utility/GH_Utility.h"

#include "CP_Volume.h"
#include "CP_Win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string ScratchPath(const std::string& name) { return GetTempDirectory() + name; }

void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

TEST(EngineSystemKind, PlatformAndBuildDecideTheKind) {
  struct Case {
    const char* name;
    uint32_t platform;
    uint32_t build;
    int32_t want;
  };
  const Case kCases[] = {
      {"Windows 2000", VER_PLATFORM_WIN32_NT, 2195, 100},
      {"Win32s", VER_PLATFORM_WIN32s, 0, 101},
      {"Windows 95", VER_PLATFORM_WIN32_WINDOWS, 950, 102},
      {"Windows 95 build 1000", VER_PLATFORM_WIN32_WINDOWS, 1000, 102},
      // The family keeps its version in the high word: only the low word counts.
      {"Windows 95 with version word", VER_PLATFORM_WIN32_WINDOWS, 0x040003B6, 102},
      {"Windows 98", VER_PLATFORM_WIN32_WINDOWS, 0x040A07CE, 103},
      {"unknown platform", 7, 5000, 102},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, OSKindOf(c.platform, c.build)) << c.name;
  EXPECT_EQ(100, GetOSKind()) << "this system is of the NT family";
}

TEST(EngineSystemFacts, DesktopSizeAndFreeSpaceAndTemporaryFolder) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), GetDesktopWidth());
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), GetDesktopHeight());

  ULARGE_INTEGER available{}, total{}, totalFree{};
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &totalFree));
  const uint64_t free = FreeDiskSpace("C:\\");
  EXPECT_GT(free, 0u);
  // The disk's free bytes, not the caller's share; allow for other writers.
  const uint64_t slack = 64ull << 20;
  EXPECT_LE(free, totalFree.QuadPart + slack);
  EXPECT_GE(free + slack, totalFree.QuadPart);
  EXPECT_EQ(0u, FreeDiskSpace("Q:\\no such drive\\"));

  const std::string temp = GetTempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ('\\', temp.back());
  const DWORD attributes = GetFileAttributesA(temp.c_str());
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(EngineFiles, ExistsOnlyForReadableFiles) {
  const std::string file = ScratchPath("kx_exists.txt");
  WriteFile(file, "x");
  const std::string empty = ScratchPath("kx_exists_empty.txt");
  WriteFile(empty, "");
  struct Case {
    const char* name;
    std::string path;
    bool want;
  };
  const Case kCases[] = {
      {"a file", file, true},
      {"an empty file", empty, true},
      {"a missing file", ScratchPath("kx_missing.txt"), false},
      {"a folder", GetTempDirectory(), false},
      {"a folder without its backslash", GetTempDirectory().substr(0, GetTempDirectory().size() - 1), false},
      {"the empty path", "", false},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, FileExists(c.path)) << c.name;
  DeleteFileA(file.c_str());
  DeleteFileA(empty.c_str());
}

TEST(EngineFiles, DeleteByPathIsQuiet) {
  const std::string file = ScratchPath("kx_delete_me.txt");
  WriteFile(file, "bytes");
  DeleteFileByPath(file);
  EXPECT_FALSE(FileExists(file));
  // Gone already, a folder, nothing: no error reaches the caller.
  EXPECT_NO_THROW(DeleteFileByPath(file));
  EXPECT_NO_THROW(DeleteFileByPath(GetTempDirectory()));
  EXPECT_NO_THROW(DeleteFileByPath(""));
  EXPECT_TRUE(GetFileAttributesA(GetTempDirectory().c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

class EngineFileSpecs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(noErr, InitializeQTML(0));
    ASSERT_EQ(noErr, EnterMovies());
  }
  void TearDown() override {
    ExitMovies();
    TerminateQTML();
  }
};

bool IsCleared(const FSSpec& spec) {
  FSSpec zero;
  std::memset(&zero, 0, sizeof zero);
  return std::memcmp(&zero, &spec, sizeof spec) == 0;
}

TEST_F(EngineFileSpecs, AnExistingFileGetsItsPathAsName) {
  const std::string file = ScratchPath("kx_spec.flm");
  WriteFile(file, "not a film");
  const FSSpec spec = PathToFileSpec(file);
  EXPECT_EQ(0, spec.vRefNum);
  EXPECT_EQ(0, spec.parID);
  ASSERT_EQ(file.size(), size_t(spec.name[0]));
  EXPECT_EQ(file, std::string(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]));
  DeleteFileA(file.c_str());
}

TEST_F(EngineFileSpecs, MissingOrOverlongPathsGiveAClearedSpec) {
  EXPECT_TRUE(IsCleared(PathToFileSpec(ScratchPath("kx_no_such_film.flm"))));
  EXPECT_TRUE(IsCleared(PathToFileSpec("")));

  // A path of 300 characters whose first 255 name a file that exists: the
  // length byte cannot say 300, and a cut path would name that other file.
  std::string folder = GetTempDirectory() + std::string(120, 'a');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  folder += "\\" + std::string(120, 'b');
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  const std::string longFile = folder + "\\" + std::string(300 - folder.size() - 1, 'c');
  ASSERT_EQ(300u, longFile.size());
  WriteFile(longFile, "x");
  ASSERT_TRUE(FileExists(longFile));
  EXPECT_TRUE(IsCleared(PathToFileSpec(longFile)));
  DeleteFileA(longFile.c_str());
  RemoveDirectoryA(folder.c_str());
  RemoveDirectoryA((GetTempDirectory() + std::string(120, 'a')).c_str());
}

TEST(EngineVolumeLabels, DisplayNameLosesItsDriveLetter) {
  struct Case {
    const char* displayName;
    const char* want;
  };
  const Case kCases[] = {
      {"Compact Disc (D:)", "Compact Disc"},
      {"Films (E:)", "Films"},
      {" (D:)", ""},
      {"(D:)", ""},  // too short to carry the letter part: nothing is left
      {"", ""},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, LabelFromDisplayName(c.displayName)) << c.displayName;
}

TEST(EngineVolumeLabels, EachDriveGivesItsOwnLabelOrDisplayName) {
  // The drive asked about decides, not the film CD's drive.
  for (const char* root : {"C:\\", "Z:\\"}) {
    char label[128] = {};
    GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
    const std::string result = GetVolumeLabel(root);
    if (label[0]) {
      EXPECT_EQ(label, result) << root;
    } else {
      const std::string letter = std::string(" (") + root[0] + ":)";
      EXPECT_EQ(CP_Volume(int16_t(root[0] - 'A')).GetDisplayName(), result + letter) << root;
    }
  }
}

}  // namespace
