// The CD drive setting with its question and the folder chooser, the help
// file and the web page addresses.
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "GH_CDDriveAndHelp.h"
#include "GH_Globals.h"
#include "GH_Resources.h"
#include "ManagerTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include <memory>

using mgrtest::IniFileGuard;
using mgrtest::IniValue;
using mgrtest::TempFolder;

namespace {

std::string LongPath(const std::string& path) {
  char full[MAX_PATH] = {};
  if (!GetLongPathNameA(path.c_str(), full, MAX_PATH)) return path;
  std::string result = full;
  while (result.size() > 3 && result.back() == '\\') result.pop_back();
  return result;
}

// What the user saw and did while the drive was being changed.
struct Session {
  std::string question;
  HWND questionOwner = nullptr;
  int choosers = 0;
  bool chooserOnFolder = false;
  std::string message;
  HWND messageOwner = nullptr;
};

class MgrCDDriveTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    CoInitialize(nullptr);
    GetCurrentDirectoryA(MAX_PATH, fStartDirectory);
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override {
    SetCurrentDirectoryA(fStartDirectory);
    fMain.reset();
    CoUninitialize();
    FrameworkTest::TearDown();
  }
  void MakeMainWindow() {
    fMain = std::make_unique<CP_Window>(nullptr, CP_Point(int16_t(40), int16_t(40)),
                                        CP_Size(300, 200), mainWindowTitle);
  }

  // Answers the question with `answer`, then picks the start folder in the
  // chooser (or cancels it), and reads the closing message.
  void Run(std::string& driveRoot, bool hasDocument, int answer, bool pick, Session& s,
           int* registrations) {
    kxtest::DialogWatcher watcher("", [&](HWND dialog) {
      if (kxtest::IsFolderChooser(dialog)) {
        ++s.choosers;
        if (pick) s.chooserOnFolder = kxtest::WaitUntilChooserShows(dialog, fFolder.Path());
        kxtest::DialogWatcher::Press(dialog, pick && s.chooserOnFolder ? IDOK : IDCANCEL);
      } else if (GetDlgItem(dialog, GH_ITEM_CDDRIVE_TEXT)) {
        s.question = kxtest::DialogWatcher::ItemText(dialog, GH_ITEM_CDDRIVE_TEXT);
        s.questionOwner = GetWindow(dialog, GW_OWNER);
        kxtest::DialogWatcher::Press(dialog, answer);
      } else {
        char text[512] = {};
        GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
        s.message = text;
        s.messageOwner = GetWindow(dialog, GW_OWNER);
        kxtest::DialogWatcher::Press(dialog, IDOK);
      }
    });
    EditCDDrive(driveRoot, hasDocument, [&] { ++*registrations; });
  }

  IniFileGuard fGuard;
  TempFolder fFolder{"cddrive"};
  std::unique_ptr<CP_Window> fMain;
  char fStartDirectory[MAX_PATH] = {};
};

}  // namespace

TEST_F(MgrCDDriveTest, TheQuestionShowsTheSettingAndNoChangesNothing) {
  MakeMainWindow();
  struct Case {
    std::string file;
    std::string want;
  } const cases[] = {
      {"[Glintharbour]\r\nCDDrive=D:\\\r\n",
       "The current CD Drive Setting is:\r\n\"D:\\\".\r\n\r\nDo you want to change it?"},
      {"[Glintharbour]\r\n",
       "The current CD Drive Setting is:\r\n\"\".\r\n\r\nDo you want to change it?"},
      // Longer than the fixed text's buffer would have held.
      {"[Glintharbour]\r\nCDDrive=" + std::string(200, 'x') + "\r\n",
       "The current CD Drive Setting is:\r\n\"" + std::string(200, 'x') +
           "\".\r\n\r\nDo you want to change it?"},
  };
  for (const Case& c : cases) {
    IniFileGuard::Replace(c.file);
    const std::string before = IniValue("Glintharbour", "CDDrive");
    std::string driveRoot = "D:\\";
    Session s;
    int registrations = 0;
    Run(driveRoot, true, IDCANCEL, false, s, &registrations);
    EXPECT_EQ(c.want, s.question);
    EXPECT_EQ(fMain->GetHWND(), s.questionOwner);
    EXPECT_EQ(0, s.choosers);
    EXPECT_EQ("", s.message);
    EXPECT_EQ("D:\\", driveRoot);
    EXPECT_EQ(0, registrations);
    EXPECT_EQ(before, IniValue("Glintharbour", "CDDrive"));
  }
}

TEST_F(MgrCDDriveTest, YesAndAFolderRecordTheFolderWithABackslashAndRegisterTheCD) {
  MakeMainWindow();
  // The chooser starts at the present setting.
  IniFileGuard::Replace("[Glintharbour]\r\nCDDrive=" + fFolder.Path() + "\r\n");
  std::string driveRoot = "D:\\";
  Session s;
  int registrations = 0;
  for (int attempt = 0; attempt < 2 && !s.chooserOnFolder; ++attempt) {
    s = Session();
    Run(driveRoot, true, IDOK, true, s, &registrations);
  }
  ASSERT_TRUE(s.chooserOnFolder) << "the chooser never showed the start folder";
  const std::string want = LongPath(fFolder.Path()) + "\\";
  EXPECT_EQ(want, LongPath(IniValue("Glintharbour", "CDDrive")) + "\\");
  EXPECT_EQ('\\', IniValue("Glintharbour", "CDDrive").back());
  EXPECT_EQ(IniValue("Glintharbour", "CDDrive"), driveRoot);
  EXPECT_EQ(1, registrations);
  EXPECT_EQ("CD drive location successfully set to: " + driveRoot, s.message);
  EXPECT_EQ(fMain->GetHWND(), s.messageOwner);
}

TEST_F(MgrCDDriveTest, ACancelledChooserChangesNothing) {
  MakeMainWindow();
  IniFileGuard::Replace("[Glintharbour]\r\nCDDrive=" + fFolder.Path() + "\r\n");
  std::string driveRoot = "D:\\";
  Session s;
  int registrations = 0;
  Run(driveRoot, true, IDOK, false, s, &registrations);
  EXPECT_EQ(1, s.choosers);
  EXPECT_EQ(fFolder.Path(), IniValue("Glintharbour", "CDDrive"));
  EXPECT_EQ("D:\\", driveRoot);
  EXPECT_EQ(0, registrations);
  EXPECT_EQ("", s.message);
}

TEST_F(MgrCDDriveTest, WithoutMainWindowOrDocumentOnlyAMessage) {
  IniFileGuard::Replace("[Glintharbour]\r\n");
  // No CD-ROM drive in the test prefix is the case looked at here.
  std::string found;
  FindCDDrive(found);
  struct Case {
    const char* name;
    bool main, document;
    std::string file;
    std::string want;
  } const cases[] = {
      {"no main window", false, true, "[Glintharbour]\r\nCDDrive=D:\\\r\n",
       "Cannot Find Main window. Please re-install."},
      {"no document, no drive", true, false, "[Glintharbour]\r\n",
       found.empty() ? "No CD Drive configured; use text editor to edit GLINTHARBOUR.INI" : ""},
      {"no document, a drive", true, false, "[Glintharbour]\r\nCDDrive=D:\\\r\n", ""},
  };
  for (const Case& c : cases) {
    IniFileGuard::Replace(c.file);
    if (c.main) MakeMainWindow();
    std::string driveRoot = "X:\\";
    Session s;
    int registrations = 0;
    Run(driveRoot, c.document, IDOK, false, s, &registrations);
    kxtest::PumpUntil([] { return false; }, 200);
    EXPECT_EQ(c.want, s.message) << c.name;
    EXPECT_EQ(nullptr, s.messageOwner) << c.name;
    EXPECT_EQ("", s.question) << c.name;
    EXPECT_EQ("X:\\", driveRoot) << c.name;
    EXPECT_EQ(0, registrations) << c.name;
    fMain.reset();
  }
}

TEST(MgrFindCDDriveTest, AppendsTheFirstCDROMDrivesRoot) {
  std::string want = "prefix ";
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_CDROM) {
      want += root;
      break;
    }
  }
  std::string result = "prefix ";
  FindCDDrive(result);
  EXPECT_EQ(want, result);
}

TEST(MgrHelpTest, TheHelpFileLiesInTheInstallationFolder) {
  IniFileGuard guard;
  struct Case {
    std::string file;
    std::string want;
  } const cases[] = {
      {"[Glintharbour]\r\nPath=C:\\KX3\r\n", "C:\\KX3\\help\\Glintharbour KX3 Help.hlp"},
      {"[Glintharbour]\r\nPath=C:\\KX3\\\r\n", "C:\\KX3\\help\\Glintharbour KX3 Help.hlp"},
      {"[Glintharbour]\r\n", "\\help\\Glintharbour KX3 Help.hlp"},
  };
  for (const Case& c : cases) {
    IniFileGuard::Replace(c.file);
    EXPECT_EQ(c.want, HelpFilePath()) << c.file;
  }
  // A help file that is not there: the shell's failure is not reported.
  TempFolder install("help");
  IniFileGuard::Replace("[Glintharbour]\r\nPath=" + install.Path() + "\r\n");
  kxtest::MessageBoxWatcher boxes("", IDOK);
  OpenHelpContents();
  kxtest::PumpUntil([] { return false; }, 300);
  EXPECT_EQ(0, boxes.Count());
}

TEST(MgrWebPageTest, EachCommandItsKeyOrItsDefault) {
  IniFileGuard guard;
  IniFileGuard::Replace(
      "[Help]\r\nURLSupport=\r\nURLTrailers=http://films.example/new\r\n"
      "[glintharbour]\r\nURLHome=http://wrong.section/\r\n");
  const std::string site = std::string("http://") + kMakerHost;
  struct Case {
    int32_t command;
    std::string want;
  } const cases[] = {
      {2002, kMakerHost},  // an empty value reads as the default: the host alone
      {2003, site + "/"},
      {2500, site + "/sprite/KX3/home.html?sw"},
      {2501, "http://films.example/new"},
      {2502, site + "/sprite/KX3/newsletter.html"},
      {2503, site + "/sprite/KX3/support.html"},
      {2504, site + "/sprite/KX3/tech_request.html"},
      {2001, ""},
      {2505, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.want, WebPageAddress(c.command)) << c.command;
    EXPECT_EQ(!c.want.empty(), IsWebPageCommand(c.command)) << c.command;
  }
  IniFileGuard::Replace("[Help]\r\nURLHome=http://home.example/\r\n");
  EXPECT_EQ("http://home.example/", WebPageAddress(2003));
  EXPECT_EQ("http://home.example/", WebPageAddress(2500)) << "one key for both";
  EXPECT_FALSE(OpenWebPage(2001));
}
