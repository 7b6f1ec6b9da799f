#include "MediaFixture.h"

#include "CP_Canvas.h"
#include "CP_FourCC.h"
#include "WinTestSupport.h"
#include "actions/BeginScreenSaverAction.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_Sprite_QT_MoviePane.h"
#include "utility/GH_Utility.h"
#include "../support/RegionsRunOut.h"

namespace {

using media::RunAction;

TEST(ScreenSize, WidthAndHeightAsTheManagerWritesThem) {
  struct Case {
    const char* text;
    int16_t width, height;
  };
  const Case kCases[] = {
      {"1024 x 768", 1024, 768}, {"640 x 480", 640, 480}, {"1600 x 1200", 1600, 1200},
      {"800x600", 800, 600},  // no blanks: the number still ends at "x"
      {"none", 0, 0},         {"", 0, 0},               {"720", 720, 720},
      {"x", 0, 0},
  };
  for (const Case& c : kCases) {
    int16_t width = -1, height = -1;
    ParsePlaybackSize(c.text, width, height);
    EXPECT_EQ(c.width, width) << c.text;
    EXPECT_EQ(c.height, height) << c.text;
  }
}

class ScreenSaver : public media::MediaTest {
 protected:
  // A main video window (listed as a document window) with its 'MAIN' pane.
  // By default the file form: the restart plays this film, sized to it.
  // A number naming no film opens nothing and keeps the pane's sizes.
  GH_QT_MoviePane* MakeMain(const std::string& commandLine = media::FilmsFolder() + "sampleplain.flm,0") {
    CP_Window* window = media::MakeTitledWindow("MainVideoWindow");
    auto* pane = new GH_QT_MoviePane(nullptr, window, CP_PaneInfo(CP_Point(int32_t(20), int32_t(10)), CP_Size(150, 80)),
                                     nullptr, 1, 200, 100, 1, 1, 0, 10, 0);
    pane->SetIdentifier(CP_FourCC("MAIN"));
    pane->SetCommandLine(commandLine);
    return pane;
  }
  // The pane's native window inside its main window.
  static RECT PaneRect(CP_Pane* pane) {
    RECT r{};
    GetWindowRect(pane->GetHWND(), &r);
    MapWindowPoints(nullptr, GetParent(pane->GetHWND()), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static void SetSetting(const char* key, const std::string& value) {
    ASSERT_TRUE(WritePrivateProfileStringA(kSettingsSection, key, value.c_str(), kSettingsFile));
  }
  static RECT WindowRect(const char* title) {
    RECT r{};
    if (CP_Window* w = FindWindowByTitle(title)) GetWindowRect(w->GetHWND(), &r);
    return r;
  }
  // A restart on a film number looks for a CD database the tests do not
  // lay out: it says so once and goes on.
  kxtest::MessageBoxWatcher tablesNotice{"Glintharbour International", IDOK};
};

TEST_F(ScreenSaver, BuildsTheStripsAndRestartsTheMainPane) {
  GH_QT_MoviePane* main = MakeMain();
  SetSetting("Path", media::FilmsFolder());  // with and without the backslash alike
  SetSetting("ScreenSize", "1024 x 768");
  kxtest::MessageBoxWatcher boxes("Glintharbour KX", IDOK);
  RunAction("BeginScreenSaver", {{"Mode", "1"}});
  EXPECT_EQ(0, boxes.Count()) << boxes.LastText();

  const int32_t height = GetDesktopHeight();
  EXPECT_EQ(2, main->GetPlayMode()) << "started again from its command line";
  EXPECT_EQ(0, main->GetCloseOthersOnClick()) << "the main video window alone";

  CP_Window* controller = FindWindowByTitle("Controller Window");
  ASSERT_NE(nullptr, controller);
  EXPECT_TRUE(IsWindowVisible(controller->GetHWND()));
  const RECT c = WindowRect("Controller Window");
  EXPECT_EQ(-305, c.left);
  EXPECT_EQ(height - 48, c.top);
  EXPECT_EQ(320, c.right - c.left);
  EXPECT_EQ(48, c.bottom - c.top);
  EXPECT_EQ(0x88, GetWindowLongA(controller->GetHWND(), GWL_EXSTYLE) & 0x88) << "topmost tool window";
  auto* controllerPane =
      dynamic_cast<GH_Controller_QT_MoviePane*>(controller->FindSubPaneById(CP_FourCC("CONT"), false));
  ASSERT_NE(nullptr, controllerPane);
  EXPECT_NE(nullptr, controllerPane->GetMovie()) << "the controlling sprite film";

  CP_Window* sprite = FindWindowByTitle("Sprite Window");
  ASSERT_NE(nullptr, sprite);
  const RECT s = WindowRect("Sprite Window");
  EXPECT_EQ(700, s.left);
  EXPECT_EQ(height - 45, s.top);
  EXPECT_EQ(300, s.right - s.left);
  EXPECT_EQ(45, s.bottom - s.top);
  EXPECT_FALSE(IsWindowVisible(sprite->GetHWND())) << "each film shows its own strip";
  EXPECT_EQ(LONG(WS_POPUP), GetWindowLongA(sprite->GetHWND(), GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_CHILD));
  EXPECT_EQ(WS_EX_TOOLWINDOW, GetWindowLongA(sprite->GetHWND(), GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST))
      << "a tool window, not topmost";
  auto* spritePane = dynamic_cast<GH_Sprite_QT_MoviePane*>(sprite->FindSubPaneById(CP_FourCC("SPRT"), false));
  ASSERT_NE(nullptr, spritePane);
  EXPECT_EQ(300, spritePane->GetWidth());
  EXPECT_EQ(48, spritePane->GetHeight()) << "3 pixels taller than its window";
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows()) << "strips are not document windows";

  // The file form's restart puts the pane at the corner, over its window.
  const RECT p = PaneRect(main);
  EXPECT_EQ(0, p.left);
  EXPECT_EQ(0, p.top);
  EXPECT_EQ(200, p.right - p.left);
  EXPECT_EQ(100, p.bottom - p.top);
}

TEST_F(ScreenSaver, TheMainPaneIsMovedToTheCornerAndSizedToTheScreen) {
  GH_QT_MoviePane* main = MakeMain("7");
  SetSetting("Path", media::FilmsFolder());
  RunAction("BeginScreenSaver", {});
  EXPECT_EQ(0, main->GetLocation().h);
  EXPECT_EQ(0, main->GetLocation().v);
  EXPECT_EQ(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), main->GetWidth());
  EXPECT_EQ(GetDesktopHeight() - 60, main->GetHeight());
  const RECT p = PaneRect(main);
  EXPECT_EQ(0, p.left);
  EXPECT_EQ(0, p.top);
  EXPECT_EQ(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), p.right - p.left);
  EXPECT_EQ(GetDesktopHeight() - 60, p.bottom - p.top);
}

TEST_F(ScreenSaver, SettingsAndOtherWindowsChangeTheOutcome) {
  struct Case {
    const char* name;
    const char* path;        // null: no setting
    const char* screenSize;  // null: no setting
    bool background;         // a second document window is listed
    int16_t filmWidth, filmHeight;
    int32_t closeOthers;
    bool film;
  };
  const std::string films = media::FilmsFolder();
  const std::string filmsNoSlash = films.substr(0, films.size() - 1);
  const Case kCases[] = {
      {"Auto leaves the size", filmsNoSlash.c_str(), "Auto", false, 200, 100, 0, true},
      {"no ScreenSize sets 0 x 0", films.c_str(), nullptr, false, 0, 0, 0, true},
      {"another document window", films.c_str(), "640 x 480", true, 640, 480, 1, true},
      {"no Path: no controlling film", nullptr, "800 x 600", false, 800, 600, 0, false},
  };
  for (const Case& c : kCases) {
    // A number naming no film: the restart opens nothing, so the film size
    // stays what the action set.
    GH_QT_MoviePane* main = MakeMain("7");
    if (c.path) SetSetting("Path", c.path);
    if (c.screenSize) SetSetting("ScreenSize", c.screenSize);
    if (c.background) {
      media::MakeTitledWindow("BackgroundAudio");
    }
    kxtest::MessageBoxWatcher boxes("Glintharbour KX", IDOK);
    RunAction("BeginScreenSaver", {});
    EXPECT_EQ(c.closeOthers, main->GetCloseOthersOnClick()) << c.name;
    EXPECT_EQ(c.filmWidth, main->GetFilmWidth()) << c.name;
    EXPECT_EQ(c.filmHeight, main->GetFilmHeight()) << c.name;
    CP_Window* controller = FindWindowByTitle("Controller Window");
    ASSERT_NE(nullptr, controller) << c.name << ": built all the same";
    auto* pane = dynamic_cast<GH_Controller_QT_MoviePane*>(controller->FindSubPaneById(CP_FourCC("CONT"), false));
    ASSERT_NE(nullptr, pane) << c.name;
    EXPECT_EQ(c.film, pane->GetMovie() != nullptr) << c.name;
    EXPECT_EQ(c.film ? 0 : 1, boxes.Count()) << c.name;
    if (!c.film) {
      EXPECT_EQ("Cannot find the Controlling Sprite Movie File.\r\nPlease Re-Install.", boxes.LastText()) << c.name;
    }
    TearDown();
    SetUp();
  }
}

// The process runs out of GDI objects between the two strips: the action
// fails and the runner goes on; the drawing environment stays with the
// controller strip alone, to go with it.
TEST_F(ScreenSaver, AStripThatCannotBeMadeLeavesTheEnvironmentToTheOneMade) {
  MakeMain("7");
  SetSetting("Path", media::FilmsFolder());
  const auto controllerHoldsTheEnvironment = [] {
    CP_Window* controller = FindWindowByTitle("Controller Window");
    return controller && controller->GetEnvironment();
  };
  kxtest::RegionsRunOutOnce regions(controllerHoldsTheEnvironment);
  ASSERT_TRUE(regions.Installed());
  EXPECT_FALSE(RunActionText("BeginScreenSaver(Mode=\"1\")")) << "the action failed";
  ASSERT_TRUE(regions.Refused());
  EXPECT_EQ(nullptr, FindWindowByTitle("Sprite Window"));
  CP_Window* controller = FindWindowByTitle("Controller Window");
  ASSERT_NE(nullptr, controller);
  ASSERT_NE(nullptr, controller->GetEnvironment());
  EXPECT_EQ(1, controller->GetEnvironment()->GetReferenceCount()) << "the strip's reference alone";
}

TEST_F(ScreenSaver, WithoutTheMainPaneNothingChanges) {
  media::MakeTitledWindow("MainVideoWindow");  // no 'MAIN' pane in it
  RunAction("BeginScreenSaver", {});
  EXPECT_EQ(nullptr, FindWindowByTitle("Controller Window"));
  EXPECT_EQ(nullptr, FindWindowByTitle("Sprite Window"));
}

}  // namespace
