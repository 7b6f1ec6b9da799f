// The engine's application object, document and main window in real
// windows: where the film CD is, which windows a start makes, and how a
// click, a key or message 20012 end or steer the run.
#include "CP_Canvas.h"
#include "CP_Desktop.h"
#include "CP_Framework.h"
#include "CP_FourCC.h"
#include "CP_Window.h"
#include "WinTestSupport.h"
#include "support/ForeignWindows.h"
#include "support/RegionsRunOut.h"
#include "actions/MultimediaAction.h"
#include "document/GH_DocumentWindow.h"
#include "document/GH_Globals.h"
#include "document/GH_Player_Application.h"
#include "document/GH_Player_Document.h"
#include "panes/GH_QT_MoviePane.h"
#include "utility/GH_WindowLookup.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

std::vector<std::map<std::string, std::string>> gPlayed;

// Stands in for the play action: records the parameters it was made with.
class RecordingPlay : public MultimediaAction {
 public:
  explicit RecordingPlay(ActionParameters& parameters) : MultimediaAction(parameters) {}
  void Execute() override { gPlayed.emplace_back(parameters->begin(), parameters->end()); }
};
MultimediaActionMaker<RecordingPlay> gPlayMaker("playQT");

void WriteSetting(const char* key, const char* value) {
  WritePrivateProfileStringA("Glintharbour", key, value, "glintharbour.ini");
}

std::string ReadSetting(const char* key) {
  char buffer[256] = {};
  GetPrivateProfileStringA("Glintharbour", key, "<missing>", buffer, sizeof buffer, "glintharbour.ini");
  return buffer;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteFileA(IniPath().c_str());
    WriteSetting("DBPath", "C:\\no such folder");
    WriteSetting("Volume", "5");
    WriteSetting("Mute", "1");
    gPlayed.clear();
  }
  void TearDown() override {
    // A run that is still going ends as the engine's do: quitting closes
    // the document, which closes the main window.
    if (application && !application->IsQuitting()) application->ExecuteCommand(kCmd_Quit);
    application.reset();
    if (started) StopFramework();
    started = false;
    DeleteFileA(IniPath().c_str());
  }
  static std::string IniPath() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\glintharbour.ini";
  }
  void Run(const char* commandLine) {
    // The engine finds its own windows by title on the whole desktop.
    EXPECT_TRUE(kxtest::WaitForNoForeignWindows({"MainVideoWindow", "Sprite Window", "Controller Window"}));
    StartFramework(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    started = true;
    InitQuickTime();
    application = std::make_unique<GH_Player_Application>();
  }
  HWND Main() const { return FindWindowA(nullptr, "MainVideoWindow"); }
  GH_QT_MoviePane* MainPane() const {
    auto* window = dynamic_cast<CP_Window*>(CP_Pane::FromWindow(Main()));
    return window ? dynamic_cast<GH_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("MAIN"), false)) : nullptr;
  }
  // Takes the click that a start without a film posts to the main pane.
  bool TakeStartClick() {
    MSG msg;
    if (!MainPane() || !PeekMessageA(&msg, MainPane()->GetHWND(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE))
      return false;
    return msg.wParam == 100 && msg.lParam == 100;
  }
  bool Ended() const { return application->IsQuitting() && !Main(); }

  // No CD database at DBPath: each start says so once, and goes on.
  kxtest::MessageBoxWatcher tablesNotice{"Glintharbour International", IDOK};
  std::unique_ptr<GH_Player_Application> application;
  bool started = false;
};

}  // namespace

TEST_F(EngineTest, FilmRootComesFromTheCdDriveSetting) {
  std::string firstCdRoot;
  for (char letter = 'A'; letter <= 'Z' && firstCdRoot.empty(); ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_CDROM) firstCdRoot = root;
  }
  struct Case {
    const char* name;
    const char* setting;  // null: no key
    std::string want;
    std::string written;
  };
  const Case kCases[] = {
      {"no key: no search", nullptr, "none\\", "<missing>"},
      {"a drive without its backslash", "E:", "E:\\", "E:"},
      {"a drive with it", "F:\\", "F:\\", "F:\\"},
      {"empty: the first CD-ROM drive, remembered", "", firstCdRoot, firstCdRoot},
  };
  for (const Case& c : kCases) {
    SetUp();
    WriteSetting("CDDrive", c.setting);
    Run("7");
    EXPECT_EQ(c.want, FilmRoot) << c.name;
    EXPECT_EQ(c.written, ReadSetting("CDDrive")) << c.name;
    EXPECT_EQ(application.get(), PlayerApplication) << c.name;
    TearDown();
  }
}

TEST_F(EngineTest, AFilmNumberStartMakesTheMainAndSpriteWindows) {
  // The document removes the first splash window it finds: ours.
  ASSERT_TRUE(kxtest::WaitForNoForeignWindows({"GH_Window"}));
  HWND splash = kxtest::MakePlainWindow("GH_Window");
  Run("7");
  ASSERT_NE(nullptr, Main());
  EXPECT_FALSE(IsWindow(splash)) << "the splash window is removed";
  EXPECT_EQ(WS_POPUP, GetWindowLongA(Main(), GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME));
  RECT client = {};
  GetClientRect(Main(), &client);
  EXPECT_EQ(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), client.right);
  GH_QT_MoviePane* pane = MainPane();
  ASSERT_NE(nullptr, pane);
  EXPECT_EQ(client.bottom - 60, pane->GetHeight());
  EXPECT_EQ(3, pane->GetPlayMode()) << "no such film in the database";
  EXPECT_TRUE(TakeStartClick()) << "a number naming no film posts the click";

  HWND sprite = FindWindowA(nullptr, "Sprite Window");
  ASSERT_NE(nullptr, sprite);
  // Topmost and a tool window (the system drops the window-edge bit of a
  // borderless window).
  EXPECT_EQ(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, GetWindowLongA(sprite, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
  EXPECT_FALSE(IsWindowVisible(sprite));
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "Controller Window"));

  // The engine ignores the framework's "new" command.
  EXPECT_EQ(0, application->ExecuteCommand(kCmd_New));
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows());
}

// The process runs out of GDI objects while the document makes its
// windows: the making stops with the framework's report, and the drawing
// environment stays with the windows made, to go with them.
TEST_F(EngineTest, WindowsThatCannotBeMadeLeaveTheEnvironmentToThoseMade) {
  const auto mainHoldsTheEnvironment = [] {
    CP_Window* main = FindWindowByTitle("MainVideoWindow");
    return main && main->GetEnvironment();
  };
  kxtest::RegionsRunOutOnce regions(mainHoldsTheEnvironment);
  ASSERT_TRUE(regions.Installed());
  kxtest::MessageBoxWatcher report("CP_Exception", IDOK);
  Run("7");
  ASSERT_TRUE(regions.Refused());
  EXPECT_TRUE(report.WaitFor(1));
  auto* main = dynamic_cast<CP_Window*>(CP_Pane::FromWindow(Main()));
  ASSERT_NE(nullptr, main) << "the main window stays";
  EXPECT_EQ(nullptr, FindWindowByTitle("Sprite Window")) << "the sprite window could not be made";
  ASSERT_NE(nullptr, main->GetEnvironment());
  EXPECT_EQ(1, main->GetEnvironment()->GetReferenceCount()) << "the main window's reference alone";
}

TEST_F(EngineTest, ANumberNamingNoFilmEndsTheRunThroughThePane) {
  Run("7");
  EXPECT_TRUE(kxtest::PumpUntil([&] { return Ended(); }, 3000));
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "Sprite Window"));
}

TEST_F(EngineTest, TheMainWindowDrawsAGrooveBelowThePane) {
  Run("7");
  TakeStartClick();
  RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT client = {};
  GetClientRect(Main(), &client);
  const int h = client.bottom;
  struct Row {
    int above;
    COLORREF want;
  };
  const Row kRows[] = {{57, RGB(0, 0, 0)},       {56, RGB(255, 255, 255)}, {55, RGB(0x88, 0x88, 0x88)},
                       {54, RGB(0x44, 0x44, 0x44)}, {53, RGB(0x44, 0x44, 0x44)}, {52, RGB(0x88, 0x88, 0x88)},
                       {51, RGB(0, 0, 0)}};
  HDC dc = GetDC(Main());
  for (const Row& row : kRows)
    for (int x : {0, int(client.right) / 2, int(client.right) - 1})
      EXPECT_EQ(row.want, GetPixel(dc, x, h - row.above)) << "row H-" << row.above << " x " << x;
  ReleaseDC(Main(), dc);
}

TEST_F(EngineTest, TheFileFormMakesOnlyTheMainWindow) {
  Run("no such film.flm,2");
  ASSERT_NE(nullptr, Main());
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "Sprite Window"));
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "Controller Window"));
  ASSERT_NE(nullptr, MainPane());
  EXPECT_EQ(2, MainPane()->GetPlayMode());
  EXPECT_FALSE(TakeStartClick()) << "the track path posts no click";
}

TEST_F(EngineTest, AnyMouseButtonOnTheMainWindowEndsTheRun) {
  for (UINT button : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    SetUp();
    Run("7");
    ASSERT_TRUE(TakeStartClick());
    ASSERT_NE(nullptr, FindWindowA(nullptr, "Sprite Window"));
    EXPECT_EQ(1, SendMessageA(Main(), button, 0, MAKELPARAM(5, 5)));
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "Sprite Window")) << button;
    EXPECT_TRUE(Ended()) << button;
    EXPECT_EQ(nullptr, application->GetDocument()) << button;
    TearDown();
  }
}

namespace {

struct KeyCase {
  const char* name;
  const char* commandLine;
  const char* engineSetting;  // null: no key
  const char* setupSetting;   // "setup.ini" of the current folder; null: no file
  bool ends;
};

}  // namespace

class KeyDismissalTest : public EngineTest {
 protected:
  void Check(const KeyCase& c) {
    SetUp();
    WriteSetting("DissmissOnKeyDown", c.engineSetting);
    DeleteFileA("setup.ini");
    if (c.setupSetting) {
      char folder[MAX_PATH] = {};
      GetCurrentDirectoryA(MAX_PATH, folder);
      WritePrivateProfileStringA("FilePath", "DissmissOnKeyDown", c.setupSetting,
                                 (std::string(folder) + "\\setup.ini").c_str());
    }
    Run(c.commandLine);
    TakeStartClick();
    SendMessageA(Main(), WM_KEYDOWN, 'A', 0);
    kxtest::PumpUntil([&] { return Ended(); }, 500);
    EXPECT_EQ(c.ends, Ended()) << c.name;
    // The pane of the main window dismisses the same way, also on Alt keys.
    if (!c.ends && MainPane()) {
      SendMessageA(MainPane()->GetHWND(), WM_SYSKEYDOWN, 'A', 0);
      kxtest::PumpUntil([&] { return Ended(); }, 300);
      EXPECT_FALSE(Ended()) << c.name;
    }
    TearDown();
    DeleteFileA("setup.ini");
  }
};

TEST_F(KeyDismissalTest, TheEngineSettingDecides) {
  const KeyCase kCases[] = {
      {"missing key", "7", nullptr, nullptr, true},
      {"0 keeps the run", "7", "0", nullptr, false},
      {"1 dismisses", "7", "1", nullptr, true},
  };
  for (const KeyCase& c : kCases) Check(c);
  SetUp();
  Run("7");
  TakeStartClick();
  SendMessageA(MainPane()->GetHWND(), WM_SYSKEYDOWN, VK_F4, 0);
  EXPECT_TRUE(kxtest::PumpUntil([&] { return Ended(); }, 2000)) << "the pane's Alt key, missing key";
}

TEST_F(KeyDismissalTest, InTheFileFormSetupIniDecides) {
  const KeyCase kCases[] = {
      {"setup.ini says 0", "no film.flm,1", "1", "0", false},
      {"no setup.ini", "no film.flm,1", "0", nullptr, true},
  };
  for (const KeyCase& c : kCases) Check(c);
}

TEST_F(EngineTest, Message20012PlaysATrackOfTheListFilm) {
  Run("7");
  TakeStartClick();
  for (LPARAM track : {LPARAM(3), LPARAM(-1)}) {
    gPlayed.clear();
    SendMessageA(Main(), GH_DocumentWindow::kPlayListFilmTrack, 0, track);
    ASSERT_EQ(1u, gPlayed.size()) << track;
    EXPECT_EQ((std::map<std::string, std::string>{
                  {"File", "em.flm"}, {"Track", std::to_string(int32_t(track))}, {"FullScreen", "1"}}),
              gPlayed[0]);
  }
  EXPECT_NE(nullptr, Main()) << "the run goes on";
}

TEST(ScreenSize, SettingGivesTheFilmDisplaySize) {
  struct Case {
    const char* value;
    int16_t width, height;
  };
  const Case kCases[] = {
      {"800 x 600", 800, 600},     {"1600 x 1200", 1600, 1200}, {"Auto", 640, 480},
      {"auto", 640, 480},          {"800 X 600", 640, 480},     {"x600", 640, 480},
      {"800x600", 80, 600},        {"none", 640, 480},          {"", 640, 480},
  };
  for (const Case& c : kCases) {
    int16_t width = 0, height = 0;
    ParseScreenSize(c.value, width, height);
    EXPECT_EQ(c.width, width) << c.value;
    EXPECT_EQ(c.height, height) << c.value;
  }
}
