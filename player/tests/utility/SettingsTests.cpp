#include "utility/GH_Settings.h"
#include "utility/GH_Utility.h"

#include "CP_Win.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string WindowsFolderFile(const std::string& name) {
  char folder[MAX_PATH] = {};
  GetWindowsDirectoryA(folder, sizeof folder);
  return std::string(folder) + "\\" + name;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A private file for the wrappers, and the real settings file for the
// validation; both removed before and after each case.
class EngineSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileA(WindowsFolderFile(kPrivate).c_str());
    DeleteFileA(WindowsFolderFile(kSettingsFile).c_str());
  }
  void TearDown() override { SetUp(); }

  // Writes the settings file with Path and DBPath naming existing folders
  // and the given further lines.
  void WriteSettings(const std::string& lines, const std::string& path = "", const std::string& dbPath = "") {
    std::ofstream out(WindowsFolderFile(kSettingsFile), std::ios::binary);
    out << "[Glintharbour]\r\n";
    out << "Path=" << (path.empty() ? GetTempDirectory() : path) << "\r\n";
    out << "DBPath=" << (dbPath.empty() ? WindowsFolderFile("") : dbPath) << "\r\n";
    out << lines;
  }

  int32_t Get(const char* key) { return ReadIniInt("Glintharbour", key, kSettingsFile); }

  static constexpr const char* kPrivate = "kx_engine_settings_test.ini";
};

TEST_F(EngineSettings, WrappersReadAndWriteTheFileInTheWindowsFolder) {
  EXPECT_EQ(-1, ReadIniInt("glintharbour", "Volume", kPrivate)) << "missing file";
  ASSERT_TRUE(WriteIniString("Glintharbour", "Volume", "7", kPrivate));
  EXPECT_TRUE(std::ifstream(WindowsFolderFile(kPrivate)).good()) << "a bare name lands in the Windows folder";

  struct Case {
    const char* name;
    const char* stored;  // null: the key is not written
    int32_t want;
  };
  const Case kCases[] = {
      {"a number", "12", 12},
      {"a negative number", "-5", -5},
      {"digits then text", "7x", 7},
      {"text", "abc", 0},
      {"missing", nullptr, -1},
  };
  for (const Case& c : kCases) {
    WritePrivateProfileStringA("Glintharbour", "Key", c.stored, WindowsFolderFile(kPrivate).c_str());
    // Section and key names match without regard to case.
    EXPECT_EQ(c.want, ReadIniInt("GLINTHARBOUR", "key", kPrivate)) << c.name;
  }

  std::string value = "former content";
  ReadIniString("Glintharbour", "Missing", "none", value, kPrivate);
  EXPECT_EQ("none", value);
  ASSERT_TRUE(WriteIniString("Glintharbour", "Empty", "", kPrivate));
  ReadIniString("Glintharbour", "Empty", "none", value, kPrivate);
  EXPECT_EQ("", value) << "a key present with no value is not the default";

  const std::string longValue(300, 'v');
  ASSERT_TRUE(WriteIniString("Glintharbour", "Long", longValue, kPrivate));
  ReadIniString("Glintharbour", "Long", "", value, kPrivate);
  EXPECT_EQ(longValue.substr(0, 255), value);

  EXPECT_FALSE(WriteIniString("Glintharbour", "Key", "1", "Z:\\no such folder\\x.ini"));
}

TEST_F(EngineSettings, ValidationRepairsValuesOutOfRange) {
  const int32_t width = GetSystemMetrics(SM_CXSCREEN);
  const int32_t height = GetSystemMetrics(SM_CYSCREEN);
  WriteSettings(
      "Mute=2\r\n"
      "AutoResize=1\r\n"
      "Volume=10\r\n"
      "MainWindow_W=" + std::to_string(width) + "\r\n"
      "EmptyWasteBasket=-1\r\n"
      "DissmissOnKeyDown=0\r\n"
      "QTPaneHeight=0\r\n"
      "TreeTableWidth=-5\r\n");
  ASSERT_TRUE(ValidateIniSettings());

  struct Case {
    const char* key;
    int32_t want;
  };
  const Case kCases[] = {
      {"Mute", 0},                                  // 2 is no flag
      {"AutoResize", 1},                            // a flag stays
      {"Randomize", 1},                             // missing
      {"Volume", 5},                                // the limit 10 is excluded
      {"MainWindow_W", width / 4 * 3},              // equal to the screen width
      {"MainWindow_H", height / 4 * 3},             // missing
      {"LastWindowX", width / 2 - width / 4 * 3 / 2},
      {"LastWindowY", height / 2 - height / 4 * 3 / 2},
      {"EmptyWasteBasket", 1},
      {"DissmissOnKeyDown", 0},
      {"QTPaneHeight", 200},
      {"TreeTableWidth", 150},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, Get(c.key)) << c.key;
  if (width == 1024 && height == 768) {
    EXPECT_EQ(768, Get("MainWindow_W"));
    EXPECT_EQ(576, Get("MainWindow_H"));
    EXPECT_EQ(128, Get("LastWindowX"));
    EXPECT_EQ(96, Get("LastWindowY"));
  }
}

TEST_F(EngineSettings, ValidationKeepsValuesInRange) {
  const int32_t width = GetSystemMetrics(SM_CXSCREEN);
  const int32_t height = GetSystemMetrics(SM_CYSCREEN);
  const std::string lines =
      "Mute=1\r\nAutoResize=0\r\nRandomize=0\r\nVolume=9\r\nEmptyWasteBasket=0\r\nDissmissOnKeyDown=1\r\n"
      "MainWindow_W=400\r\nMainWindow_H=300\r\nQTPaneHeight=1\r\nTreeTableWidth=320\r\n";
  // Every stored position gives way to the centred one, wherever it lies.
  struct Position {
    const char* name;
    int32_t x, y;
  };
  const Position kPositions[] = {
      {"top left", 0, 0},
      {"where the window just fits", width - 400, height - 300},
      {"one pixel past the right edge", width - 399, 10},
      {"above the screen", 10, -1},
  };
  for (const Position& p : kPositions) {
    WriteSettings(lines + "LastWindowX=" + std::to_string(p.x) + "\r\nLastWindowY=" + std::to_string(p.y) + "\r\n");
    ASSERT_TRUE(ValidateIniSettings()) << p.name;
    EXPECT_EQ(width / 2 - 200, Get("LastWindowX")) << p.name;
    EXPECT_EQ(height / 2 - 150, Get("LastWindowY")) << p.name;
  }
  const char* kept[][2] = {{"Mute", "1"},         {"AutoResize", "0"},     {"Randomize", "0"},
                           {"Volume", "9"},       {"EmptyWasteBasket", "0"}, {"DissmissOnKeyDown", "1"},
                           {"MainWindow_W", "400"}, {"MainWindow_H", "300"}, {"QTPaneHeight", "1"},
                           {"TreeTableWidth", "320"}};
  for (const auto& k : kept) EXPECT_EQ(std::stoi(k[1]), Get(k[0])) << k[0];
}

TEST_F(EngineSettings, ValidationFailsWithOneMessageAndWritesNothing) {
  const std::string aFile = WindowsFolderFile(kPrivate);
  std::ofstream(aFile) << "x";
  struct Case {
    const char* name;
    bool writeFile;
    std::string path, dbPath;
  };
  const Case kCases[] = {
      {"no settings file", false, "", ""},
      {"Path reads None", true, "None", ""},
      {"Path names a file", true, aFile, ""},
      {"Path names no folder", true, "C:\\no such folder", ""},
      {"DBPath names no folder", true, "", "C:\\no such folder"},
  };
  for (const Case& c : kCases) {
    DeleteFileA(WindowsFolderFile(kSettingsFile).c_str());
    if (c.writeFile) WriteSettings("Mute=7\r\n", c.path, c.dbPath);
    const std::string before = ReadWhole(WindowsFolderFile(kSettingsFile));
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    EXPECT_FALSE(ValidateIniSettings()) << c.name;
    ASSERT_TRUE(boxes.WaitFor(1)) << c.name;
    EXPECT_EQ(1, boxes.Count()) << c.name;
    EXPECT_EQ(
        "There is a problem with your ini settings. The file is missing or corrupt.\r\n\r\n"
        "Please Re-Install Glintharbour. Thanks!",
        boxes.LastText())
        << c.name;
    EXPECT_EQ(before, ReadWhole(WindowsFolderFile(kSettingsFile))) << c.name << ": nothing is repaired";
  }
}

}  // namespace
