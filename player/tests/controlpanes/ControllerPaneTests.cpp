// The controller strip: its buttons steer the main film, its handle slides
// it, keys and the buttons that end the run reach the main video window.
#include "DatabaseFixture.h"
#include "PanesSupport.h"
#include "CP_FourCC.h"
#include "document/GH_Globals.h"
#include "panes/GH_EM_QT_MoviePane.h"

#include <cmath>
#include <cstdio>

using panes::Actions;
using panes::ClearTrace;
using panes::PanesTest;
using panes::Strings;
using panes::WiredAction;

namespace {

// The middle of the strip's n-th button, as "cs.flm" lays them out.
int ButtonX(int n) { return 1 + int(std::lround(n * 295.0 / 11)) + 12; }
constexpr int kButtonY = 24;
constexpr int kPlayPause = 0, kOpenCloseStrip = 4;


std::string Named(const std::string& name) { return ToLengthPrefixed(name); }

void Dispatch(GH_Controller_QT_MoviePane& pane, const std::string& name) {
  const std::string prefixed = Named(name);
  pane.DispatchSpriteClick(reinterpret_cast<const uint8_t*>(prefixed.data()));
}

// Trace lines may be given by their start: "goto*".
void ExpectActions(const Strings& want, const Strings& got, const char* name) {
  ASSERT_EQ(want.size(), got.size()) << name << ": " << ::testing::PrintToString(got);
  for (size_t i = 0; i < want.size(); ++i) {
    if (!want[i].empty() && want[i].back() == '*')
      EXPECT_EQ(0u, got[i].rfind(want[i].substr(0, want[i].size() - 1), 0)) << name << ": " << got[i];
    else
      EXPECT_EQ(want[i], got[i]) << name;
  }
}

}  // namespace

TEST_F(PanesTest, ButtonsSteerTheMainFilm) {
  struct Case {
    const char* name;
    bool pausedBefore;
    Strings want;  // the main film's controller actions
    bool pausedAfter;
    int16_t stripLeft;
  };
  const Case kCases[] = {
      {"SPRITE_PlayPause", false, {"play 0"}, true, 0},
      {"SPRITE_PlayPause", true, {"play 65536"}, false, 0},
      {"sprite_playpause", false, {"play 0"}, true, 0},
      {"SPRITE_PLAYPAUSE", true, {"play 65536"}, false, 0},
      {"SPRITE_Rewind", false, {"play 0", "goto*", "play 65536"}, false, 0},
      {"sprite_rewind", true, {"play 0", "goto*", "play 65536"}, false, 0},
      {"SPRITE_SkipForwards", false, {"play 0", "volume 0", "play 0"}, false, 0},
      // No play list here: nothing to move back to, the film only stops.
      {"SPRITE_SkipBackwards", false, {"play 0", "volume 0", "play 0"}, false, 0},
      {"SPRITE_OpenCloseStrip", true, {"play 0", "play 65536"}, false, 0},
      {"Hide", false, {"play 0", "play 65536"}, false, -305},
      {"no such button", false, {"play 0"}, true, 0},
      {"", false, {"play 0"}, true, 0},
  };
  for (const Case& c : kCases) {
    Start();
    if (c.pausedBefore) mainPane->Pause();
    ClearTrace();
    Dispatch(*controller, c.name);
    ExpectActions(c.want, Actions(), c.name);
    EXPECT_EQ(c.pausedAfter, mainPane->IsPaused()) << c.name;
    EXPECT_EQ(c.stripLeft, panes::PlaceOf(controllerWindow).x) << c.name;
    EXPECT_FALSE(GH_Controller_QT_MoviePane::IsDismissPending()) << c.name;
    TearDown();
  }
}

TEST_F(PanesTest, ButtonNameLengthsAreNotTrusted) {
  Start();
  // The longest name QuickTime can give: cut to 254 characters, matches
  // nothing, so the film is paused.
  std::string longest(1, char(255));
  longest += std::string(255, 'x');
  controller->DispatchSpriteClick(reinterpret_cast<const uint8_t*>(longest.data()));
  EXPECT_TRUE(mainPane->IsPaused());

  // A length byte that claims more than the atom holds is cut to the data.
  WiredAction action(kActionApplicationNumberAndString, "Hide", 200);
  EXPECT_TRUE(GH_Controller_QT_MoviePane::ControllerActionFilter(controller->GetController(),
                                                                 mcActionExecuteOneActionForQTEvent, action.Spec(),
                                                                 reinterpret_cast<QTRefCon>(controller)));
  EXPECT_EQ(-305, panes::PlaceOf(controllerWindow).x);
  EXPECT_FALSE(mainPane->IsPaused());
}

TEST_F(PanesTest, FilmClicksReachTheButtonsThroughTheFilter) {
  Start();
  const QTRefCon self = reinterpret_cast<QTRefCon>(controller);
  // A real press on the play/pause sprite: the film's wired string comes
  // back through the filter; the strip idles again afterwards.
  Click(controller->GetHWND(), ButtonX(kPlayPause), kButtonY);
  EXPECT_TRUE(mainPane->IsPaused());
  EXPECT_TRUE(controller->IsIdling());
  Click(controller->GetHWND(), ButtonX(kPlayPause), kButtonY);
  EXPECT_FALSE(mainPane->IsPaused());
  // The open/close button resumes and leaves the idle calls stopped, until
  // the next action the strip does not handle.
  mainPane->Pause();
  Click(controller->GetHWND(), ButtonX(kOpenCloseStrip), kButtonY);
  EXPECT_FALSE(mainPane->IsPaused());
  {
    WiredAction openClose(kActionApplicationNumberAndString, "SPRITE_OpenCloseStrip");
    EXPECT_TRUE(GH_Controller_QT_MoviePane::ControllerActionFilter(
        controller->GetController(), mcActionExecuteOneActionForQTEvent, openClose.Spec(), self));
    EXPECT_FALSE(controller->IsIdling());
  }

  struct Case {
    const char* name;
    int16_t action;
    uint32_t wiredType;
    bool want;
  };
  const Case kCases[] = {
      {"application string", mcActionExecuteOneActionForQTEvent, kActionApplicationNumberAndString, true},
      {"another wired type", mcActionExecuteOneActionForQTEvent, 3073, false},
      {"not a wired action", mcActionIdle, kActionApplicationNumberAndString, false},
      {"a click on the film", mcActionMovieClick, kActionApplicationNumberAndString, false},
  };
  for (const Case& c : kCases) {
    mainPane->Resume();
    WiredAction action(c.wiredType, "SPRITE_PlayPause");
    EXPECT_EQ(c.want, bool(GH_Controller_QT_MoviePane::ControllerActionFilter(controller->GetController(), c.action,
                                                                              action.Spec(), self)))
        << c.name;
    EXPECT_EQ(c.want, mainPane->IsPaused()) << c.name;
    // Handled buttons restart idling themselves; the rest restart it here.
    EXPECT_TRUE(controller->IsIdling()) << c.name;
  }
  EXPECT_FALSE(GH_Controller_QT_MoviePane::ControllerActionFilter(controller->GetController(),
                                                                  mcActionExecuteOneActionForQTEvent, nullptr, self));
  EXPECT_FALSE(GH_Controller_QT_MoviePane::ControllerActionFilter(controller->GetController(),
                                                                  mcActionExecuteOneActionForQTEvent, nullptr, 0));
}

TEST_F(PanesTest, TheHandleSlidesTheStrip) {
  Start(-305);
  const int16_t top = int16_t(GetDesktopHeight() - 48);
  struct Case {
    const char* name;
    int x;
    int16_t wantLeft;
  };
  const Case kCases[] = {
      {"left of the handle", 295, -305},
      {"on the handle: opens", 296, 0},
      {"on the handle again: closes", 319, -305},
      {"and opens", 300, 0},
  };
  for (const Case& c : kCases) {
    mainPane->Pause();
    SendMessageA(controller->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(c.x, 40));
    EXPECT_EQ(c.wantLeft, panes::PlaceOf(controllerWindow).x) << c.name;
    EXPECT_EQ(top, panes::PlaceOf(controllerWindow).y) << c.name;
    EXPECT_EQ(c.x <= 295, mainPane->IsPaused()) << c.name << ": the handle resumes the film";
  }
  // Any non-negative place counts as open.
  controllerWindow->MoveTo(CP_Point(int16_t(40), top), true);
  SendMessageA(controller->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(310, 40));
  EXPECT_EQ(-305, panes::PlaceOf(controllerWindow).x);
}

TEST_F(PanesTest, KeysOnTheStripEndTheRunThroughTheMainWindow) {
  Start();
  for (UINT key : {UINT(WM_KEYDOWN), UINT(WM_SYSKEYDOWN)}) {
    mainWindow->received.clear();
    EXPECT_EQ(0, SendMessageA(controller->GetHWND(), key, 'A', 0));
    kxtest::PumpUntil([&] { return !mainWindow->received.empty(); });
    ASSERT_EQ(1u, mainWindow->received.size());
    EXPECT_EQ(UINT(WM_LBUTTONDOWN), mainWindow->received[0].message);
    EXPECT_EQ(0, mainWindow->received[0].lParam);
  }
  EXPECT_FALSE(GH_Controller_QT_MoviePane::IsDismissPending());
}

TEST_F(PanesTest, StopVideoDismissesOnEveryLaterMessage) {
  Start();
  Dispatch(*controller, "SPRITE_StopVideo");
  EXPECT_TRUE(mainPane->IsPaused());
  EXPECT_TRUE(mainPane->IsChangingFilm());
  EXPECT_TRUE(GH_Controller_QT_MoviePane::IsDismissPending());
  EXPECT_TRUE(mainWindow->received.empty()) << "nothing is sent until the strip gets a message";

  for (int i = 1; i <= 2; ++i) {
    SendMessageA(controller->GetHWND(), WM_USER + 5, 0, 0);
    ASSERT_EQ(size_t(i), mainWindow->received.size());
    EXPECT_EQ(UINT(WM_LBUTTONDOWN), mainWindow->received.back().message);
    EXPECT_EQ(100u, mainWindow->received.back().wParam);
    EXPECT_EQ(100, mainWindow->received.back().lParam);
  }

  // The engine's main window closes the strip when pressed: the message
  // that asked must not touch the deleted pane, and the strip's own end
  // must not ask again.
  mainWindow->onPress = [this] {
    delete controllerWindow;
    controllerWindow = nullptr;
    controller = nullptr;
  };
  HWND strip = controller->GetHWND();
  SendMessageA(strip, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(nullptr, controllerWindow);
  EXPECT_FALSE(IsWindow(strip));
  EXPECT_EQ(3u, mainWindow->received.size());
}

TEST_F(PanesTest, InstallRightAfterTheStartOnlyResumes) {
  Start();
  ASSERT_EQ(1, mainPane->GetOpenCount());
  kxtest::MessageBoxWatcher boxes("Glintharbour KX3", IDOK);
  Dispatch(*controller, "Sprite_Install");
  EXPECT_FALSE(mainPane->IsPaused());
  EXPECT_TRUE(controller->IsIdling());
  EXPECT_TRUE(IsWindowEnabled(controllerWindow->GetHWND()));
  EXPECT_EQ(0, boxes.Count());
  EXPECT_FALSE(GH_Controller_QT_MoviePane::IsDismissPending());
}

TEST_F(PanesTest, WithoutAFilmTheStripShowsNothing) {
  StartFrameworkOnly();
  MakeMainWindow();
  controllerWindow = new CP_Window(nullptr, panes::PopupAt(0, 0, 320, 48), "Controller Window", 1);
  controller = new GH_Controller_QT_MoviePane(
      controllerWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(320, 48)), nullptr, mainPane);
  EXPECT_EQ(nullptr, controller->GetController());
  EXPECT_FALSE(controller->IsIdling());
  // Messages still work: the handle slides the strip.
  SendMessageA(controller->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(300, 10));
  EXPECT_EQ(-305, panes::PlaceOf(controllerWindow).x);
}

namespace {

std::string WindowsPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path[0] == '/' || path[0] == '\\' ? "Z:" + path : path;
}

std::string ReadFileText(const std::string& path) {
  std::string text;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

}  // namespace

TEST_F(PanesTest, SkipBackwardsPlaysTheEntryBeforeAfterTheAdvance) {
  Start();
  for (const char* film : {"sample200.flm", "sample240.flm", "sampleplain.flm"}) {
    PlaylistEntry entry;
    entry.parentType = 1;
    entry.fileName = film;
    entry.loop = 1;
    entry.rate = 1;
    mainPane->GetPlayList().push_back(entry);
  }
  FilmRoot = WindowsPath(KX_SHIPPED_FILMS) + "\\";
  mainPane->PlayNextEntry();  // the first entry (a wrap from no entry)
  mainPane->PlayNextEntry();  // the second
  ASSERT_EQ("sample240.flm", mainPane->GetCurrentEntry()->fileName);
  Dispatch(*controller, "SPRITE_SkipBackwards");
  EXPECT_FALSE(mainPane->IsPaused());
  EXPECT_FALSE(mainPane->IsFilmPlaying()) << "stopped, for the end-of-film advance";
  mainPane->PlayNextEntry();
  EXPECT_EQ("sample200.flm", mainPane->GetCurrentEntry()->fileName);
  EXPECT_TRUE(controller->IsIdling());
}

TEST_F(PanesTest, TheFaqButtonPlaysTheDefaultFilmsSecondTrack) {
  const std::string folder = MakeTempFolder("faq");
  ASSERT_TRUE(CopyFileA((WindowsPath(KX_SHIPPED_FILMS) + "\\default.flm").c_str(), (folder + "\\default.flm").c_str(),
                        FALSE));
  WritePrivateProfileStringA("Glintharbour", "Path", folder.c_str(), "glintharbour.ini");
  Start();
  Dispatch(*controller, "Sprite_LaunchFaq");
  WritePrivateProfileStringA("Glintharbour", "Path", nullptr, "glintharbour.ini");
  HWND native = kxtest::FindOwnWindow("EM_DocumentWindow", nullptr);
  auto* window = native ? dynamic_cast<CP_Window*>(CP_Pane::FromWindow(native)) : nullptr;
  ASSERT_NE(nullptr, window) << "the list-film window";
  // Track 2 alone, written beside the default film.
  EXPECT_EQ(0u, window->GetTitle().rfind(folder + "\\EM", 0)) << window->GetTitle();
  auto* pane = dynamic_cast<GH_EM_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("EMFL"), false));
  ASSERT_NE(nullptr, pane);
  ASSERT_NE(nullptr, pane->GetMovie());
  EXPECT_EQ(1, GetMovieTrackCount(pane->GetMovie()));
  EXPECT_TRUE(pane->IsFilmPlaying()) << "AutoPlay";
  EXPECT_TRUE(mainPane->IsPaused()) << "the main film waits";
  EXPECT_FALSE(IsWindowVisible(controllerWindow->GetHWND())) << "the strip gives way";
  delete window;
  RemoveTree(folder);
}

TEST_F(PanesTest, ButtonsThatLeaveTheRunStartTheirTargetAndDismiss) {
  const std::string folder = MakeTempFolder("launch");
  ASSERT_TRUE(CopyFileA(WindowsPath(KX_STANDIN).c_str(), (folder + "\\Glintharbour KX3.exe").c_str(), FALSE));
  WritePrivateProfileStringA("Glintharbour", "Path", folder.c_str(), "glintharbour.ini");
  struct Case {
    const char* name;
    const char* started;  // the stand-in's log afterwards
  };
  const Case kCases[] = {
      {"SPRITE_WebLink", ""},  // a web address: no program of ours
      {"sprite_launchplayer", "Glintharbour KX3.exe|\r\n"},
  };
  for (const Case& c : kCases) {
    Start();
    Dispatch(*controller, c.name);
    EXPECT_TRUE(mainPane->IsPaused()) << c.name;
    EXPECT_TRUE(mainPane->IsChangingFilm()) << c.name << ": the main pane does not move on";
    EXPECT_TRUE(GH_Controller_QT_MoviePane::IsDismissPending()) << c.name;
    kxtest::PumpUntil([&] { return ReadFileText(folder + "\\started.log") == c.started; }, 5000);
    EXPECT_EQ(c.started, ReadFileText(folder + "\\started.log")) << c.name;
    // The next message to the strip ends the run through the main window.
    mainWindow->received.clear();
    SendMessageA(controller->GetHWND(), WM_USER + 5, 0, 0);
    ASSERT_EQ(1u, mainWindow->received.size()) << c.name;
    EXPECT_EQ(UINT(WM_LBUTTONDOWN), mainWindow->received[0].message) << c.name;
    TearDown();
  }
  std::fclose(std::fopen((folder + "\\end").c_str(), "w"));
  WritePrivateProfileStringA("Glintharbour", "Path", nullptr, "glintharbour.ini");
  Sleep(200);
  RemoveTree(folder);
}
