// The settings file: the three access routines and the start-up check.
#include "GH_Settings.h"
#include "ManagerTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

using mgrtest::IniFileGuard;
using mgrtest::IniValue;

namespace {

const char* const kFailureText =
    "There is a problem with your ini settings. The file is missing or corrupt.\r\n\r\n"
    "Please Re-Install Glintharbour. Thanks!";

class MgrSettingsTest : public ::testing::Test {
 protected:
  IniFileGuard fGuard;
  mgrtest::TempFolder fInstall{"install"};
  mgrtest::TempFolder fTables{"tables"};

  // A valid file with the two required folders and `more` lines.
  void WriteValidFile(const std::string& more) {
    IniFileGuard::Replace("[Glintharbour]\r\nPath=" + fInstall.Path() + "\r\nDBPath=" +
                          fTables.Path() + "\r\n" + more);
  }
};

}  // namespace

TEST_F(MgrSettingsTest, ReadStringAppendsTheValueOrTheDefaultForMissingAndEmpty) {
  IniFileGuard::Replace(
      "[Help]\r\nURLSupport=\r\nHelpFile=d:\\kx3\\help.hlp\r\n"
      "[glintharbour]\r\nCDDrive=E:\\\r\nLong=" + std::string(300, 'x') + "\r\n");
  struct Case {
    const char* section;
    const char* key;
    std::string want;
  } const cases[] = {
      {"Help", "HelpFile", "<d:\\kx3\\help.hlp"},
      {"Help", "URLSupport", "<default"},       // an empty value reads as the default
      {"Help", "Missing", "<default"},
      {"Nosection", "HelpFile", "<default"},
      {"Glintharbour", "CDDrive", "<E:\\"},     // sections match without regard to case
      {"GLINTHARBOUR", "cddrive", "<E:\\"},
      {"Glintharbour", "Long", "<" + std::string(255, 'x')},  // cut at 255 characters
  };
  for (const Case& c : cases) {
    std::string result = "<";
    ReadIniString(c.section, c.key, "default", result, "glintharbour.ini");
    EXPECT_EQ(c.want, result) << c.section << " " << c.key;
  }
  std::string viaOtherSpelling;
  ReadIniString("Help", "HelpFile", "", viaOtherSpelling, "Glintharbour.ini");
  EXPECT_EQ("d:\\kx3\\help.hlp", viaOtherSpelling);
}

TEST_F(MgrSettingsTest, ReadIntIsMinusOneWhenMissingAndWriteReportsSuccess) {
  IniFileGuard::Replace("[Glintharbour]\r\nVolume=7\r\nRandomize=-3\r\nMute=\r\n");
  EXPECT_EQ(7, ReadIniInt("Glintharbour", "Volume", "glintharbour.ini"));
  EXPECT_EQ(-3, ReadIniInt("Glintharbour", "Randomize", "glintharbour.ini"));
  EXPECT_EQ(-1, ReadIniInt("Glintharbour", "AutoResize", "glintharbour.ini"));
  EXPECT_EQ(-1, ReadIniInt("Glintharbour", "Mute", "glintharbour.ini")) << "empty value";

  EXPECT_TRUE(WriteIniString("Glintharbour", "Volume", "3", "glintharbour.ini"));
  EXPECT_EQ("3", IniValue("Glintharbour", "Volume"));
  EXPECT_TRUE(WriteIniString("Glintharbour", "Volume", "3", "glintharbour.ini"));
}

TEST_F(MgrSettingsTest, ValidationRepairsBadValuesAndCentresTheWindow) {
  const int W = GetSystemMetrics(SM_CXSCREEN);
  const int H = GetSystemMetrics(SM_CYSCREEN);
  WriteValidFile("Volume=12\r\nMute=2\r\nRandomize=-3\r\nAutoResize=1\r\n"
                 "MainWindow_W=" + std::to_string(W) + "\r\n" +
                 "MainWindow_H=" + std::to_string(H - 1) + "\r\n" +
                 "LastWindowX=100\r\nLastWindowY=0\r\nQTPaneHeight=0\r\nTreeTableWidth=1\r\n"
                 "DissmissOnKeyDown=0\r\nScreenSize=800 x 600\r\n");
  kxtest::MessageBoxWatcher boxes("", IDOK);
  ASSERT_TRUE(ValidateIniSettings());
  EXPECT_EQ(0, boxes.Count());

  const int w = (W / 4) * 3;  // the screen's width is not below the bound
  const int h = H - 1;        // one less stays
  struct Case {
    const char* key;
    std::string want;
  } const cases[] = {
      {"Volume", "5"},
      {"Mute", "0"},
      {"Randomize", "1"},
      {"AutoResize", "1"},
      {"MainWindow_W", std::to_string(w)},
      {"MainWindow_H", std::to_string(h)},
      {"LastWindowX", std::to_string(W / 2 - w / 2)},
      {"LastWindowY", std::to_string(H / 2 - h / 2)},
      {"EmptyWasteBasket", "1"},  // missing
      {"DissmissOnKeyDown", "0"},
      {"QTPaneHeight", "200"},
      {"TreeTableWidth", "1"},
      {"ScreenSize", "800 x 600"},  // not checked
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, IniValue("Glintharbour", c.key)) << c.key;
}

TEST_F(MgrSettingsTest, ValidationBoundsAtTheirEdges) {
  const int W = GetSystemMetrics(SM_CXSCREEN);
  struct Case {
    std::string line;
    const char* key;
    std::string want;
  } const cases[] = {
      {"Volume=9", "Volume", "9"},
      {"Volume=10", "Volume", "5"},
      {"Volume=-1", "Volume", "5"},
      {"Volume=0", "Volume", "0"},
      {"Mute=1", "Mute", "1"},
      {"Randomize=0", "Randomize", "0"},
      {"MainWindow_W=" + std::to_string(W - 1), "MainWindow_W", std::to_string(W - 1)},
      {"MainWindow_W=-5", "MainWindow_W", std::to_string((W / 4) * 3)},
      {"QTPaneHeight=1", "QTPaneHeight", "1"},
      {"QTPaneHeight=-4", "QTPaneHeight", "200"},
      {"TreeTableWidth=0", "TreeTableWidth", "150"},
      {"", "TreeTableWidth", "150"},
      {"", "QTPaneHeight", "200"},
  };
  for (const Case& c : cases) {
    WriteValidFile(c.line + "\r\n");
    EXPECT_TRUE(ValidateIniSettings()) << c.line;
    EXPECT_EQ(c.want, IniValue("Glintharbour", c.key)) << c.line;
  }
}

TEST_F(MgrSettingsTest, AMissingFileOrFolderFailsWithTheMessageAndRepairsNothing) {
  struct Case {
    const char* name;
    std::string contents;  // empty: no file at all
  } const cases[] = {
      {"no file", ""},
      {"no Path", "[Glintharbour]\r\nDBPath=" + fTables.Path() + "\r\nVolume=12\r\n"},
      {"no DBPath", "[Glintharbour]\r\nPath=" + fInstall.Path() + "\r\nVolume=12\r\n"},
      {"Path names a file",
       "[Glintharbour]\r\nPath=" + mgrtest::WindowsFolder() + "\\win.ini\r\nDBPath=" +
           fTables.Path() + "\r\nVolume=12\r\n"},
      {"DBPath missing on disk", "[Glintharbour]\r\nPath=" + fInstall.Path() + "\r\nDBPath=" +
                                     fTables.Path() + "\\gone\r\nVolume=12\r\n"},
  };
  for (const Case& c : cases) {
    if (c.contents.empty())
      IniFileGuard::Remove();
    else
      IniFileGuard::Replace(c.contents);
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    EXPECT_FALSE(ValidateIniSettings()) << c.name;
    ASSERT_TRUE(boxes.WaitFor(1)) << c.name;
    EXPECT_EQ(kFailureText, boxes.LastText()) << c.name;
    mgrtest::ForgetCachedIni();
    if (c.contents.empty()) {
      EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(mgrtest::IniPath().c_str()))
          << "the file stays uncreated";
    } else {
      EXPECT_EQ("12", IniValue("Glintharbour", "Volume")) << c.name;
      EXPECT_EQ("<missing>", IniValue("Glintharbour", "Mute")) << c.name;
    }
  }
}

TEST_F(MgrSettingsTest, CheckedFoldersAndRepairHelpers) {
  WriteValidFile("Flag=7\r\nSize=30\r\n");
  EXPECT_TRUE(CheckIniStringKey("Path"));
  EXPECT_TRUE(CheckIniStringKey("dbpath"));
  EXPECT_FALSE(CheckIniStringKey("Flag"));
  EXPECT_FALSE(CheckIniStringKey("Missing")) << "reads as the folder None";

  RepairIniFlag("Flag", 1);
  EXPECT_EQ("1", IniValue("Glintharbour", "Flag"));
  RepairIniInt("Size", 30, 12);
  EXPECT_EQ("12", IniValue("Glintharbour", "Size")) << "the bound itself is too large";
  RepairIniInt("Size", 13, 0);
  EXPECT_EQ("12", IniValue("Glintharbour", "Size"));
}
