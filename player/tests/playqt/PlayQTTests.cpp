#include "MediaFixture.h"

#include "CP_FourCC.h"
#include "document/EM_DocumentWindow.h"
#include "panes/GH_EM_QT_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "utility/GH_Utility.h"

namespace {

using media::Live;
using media::MakeMainPane;
using media::RunAction;

std::string TempFolder() {
  std::string folder = GetTempDirectory();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

class PlayQT : public media::MediaTest {
 protected:
  void TearDown() override {
    // The EM windows go first: their panes hand the screen back to the main pane.
    for (int i = 0; i < 10; ++i) {
      HWND native = FindWindowA("EM_DocumentWindow", nullptr);
      auto* window = native ? dynamic_cast<CP_Window*>(CP_Pane::FromWindow(native)) : nullptr;
      if (!window) break;
      delete window;
    }
    MediaTest::TearDown();
  }

  static CP_Window* EMWindow() {
    HWND native = FindWindowA("EM_DocumentWindow", nullptr);
    return native ? dynamic_cast<CP_Window*>(CP_Pane::FromWindow(native)) : nullptr;
  }
  static GH_EM_QT_MoviePane* EMPane(CP_Window* window) {
    return window ? dynamic_cast<GH_EM_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("EMFL"), false)) : nullptr;
  }
};

TEST_F(PlayQT, ShowsTheWholeFilmOrOneTrackInAFullScreenWindow) {
  MakeMainPane("sampleplain.flm");
  CP_Window* controller = media::MakeTitledWindow("Controller Window", CP_Window::kDialogLike);
  CP_Window* sprite = media::MakeTitledWindow("Sprite Window", CP_Window::kDialogLike);
  struct Case {
    const char* track;
    int32_t tracks;  // in the shown movie
    bool trackFile;
  };
  const Case kCases[] = {{"0", 3, false}, {"-1", 3, false}, {"65536", 3, false}, {"2", 1, true}};
  for (const Case& c : kCases) {
    const int32_t listed = CP_Desktop::GetDesktop()->CountDocumentWindows();
    const std::string expectedFile = TempFolder() + "EM" + std::to_string(listed) + ".mov";
    DeleteFileA(expectedFile.c_str());
    RunAction("playQT", {{"File", "sample240.flm"}, {"Track", c.track}, {"FullScreen", "1"}});
    EXPECT_FALSE(IsWindowVisible(controller->GetHWND())) << c.track;
    EXPECT_FALSE(IsWindowVisible(sprite->GetHWND())) << c.track;

    CP_Window* window = EMWindow();
    ASSERT_NE(nullptr, window) << c.track;
    GH_EM_QT_MoviePane* pane = EMPane(window);
    ASSERT_NE(nullptr, pane) << c.track;
    ASSERT_NE(nullptr, pane->GetMovie()) << c.track;
    EXPECT_EQ(c.tracks, GetMovieTrackCount(pane->GetMovie())) << c.track;
    EXPECT_EQ(c.trackFile ? expectedFile : std::string("EMWindow"), window->GetTitle()) << c.track;
    EXPECT_EQ(c.trackFile, GetFileAttributesA(expectedFile.c_str()) != INVALID_FILE_ATTRIBUTES) << c.track;
    EXPECT_EQ(listed + 1, CP_Desktop::GetDesktop()->CountDocumentWindows()) << c.track << ": listed on the desktop";

    HWND native = window->GetHWND();
    EXPECT_TRUE(IsWindowVisible(native)) << c.track;
    EXPECT_EQ(LONG(WS_POPUP), GetWindowLongA(native, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_CHILD));
    RECT r{};
    GetWindowRect(native, &r);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), r.right - r.left) << c.track;
    EXPECT_EQ(GetDesktopHeight(), r.bottom - r.top) << c.track << ": the whole screen height";
    EXPECT_EQ(pane->GetHWND(), GetFocus()) << c.track << ": keys reach the pane";

    delete window;
    EXPECT_EQ(nullptr, EMWindow());
  }
}

TEST_F(PlayQT, FilmPathsAndFlags) {
  GH_QT_MoviePane* main = MakeMainPane("sample240.flm");
  const std::string absolute = media::FilmsFolder() + "sample240.flm";
  struct Case {
    const char* name;
    media::Params parameters;
    int32_t tracks;  // of the shown movie; 0: no window
    bool playing;
  };
  const Case kCases[] = {
      {"a film of the CD", {{"File", "sample240.flm"}, {"AutoPlay", "1"}}, 3, true},
      {"a value with a colon is used as it stands", {{"File", absolute}, {"AutoPlay", "1"}}, 3, true},
      {"AutoPlay yes reads as 0", {{"File", "sample240.flm"}, {"AutoPlay", "yes"}}, 3, false},
      {"autoplay: keys are matched exactly", {{"File", "sample240.flm"}, {"autoplay", "1"}}, 3, false},
      {"only unknown keys: the main pane's film", {{"Film", "x.flm"}}, 3, false},
      {"a missing film shows nothing", {{"File", "missing.flm"}, {"AutoPlay", "1"}}, 0, false},
      {"a track the film lacks shows nothing", {{"File", "sample240.flm"}, {"Track", "9"}}, 0, false},
  };
  for (const Case& c : kCases) {
    const int movies = Live(kQTStandInMovies);
    if (std::string(c.name).find("colon") != std::string::npos) FilmRoot = "Q:\\nowhere\\";
    RunAction("playQT", c.parameters);
    FilmRoot = media::FilmsFolder();
    CP_Window* window = EMWindow();
    if (c.tracks == 0) {
      EXPECT_EQ(nullptr, window) << c.name;
      EXPECT_EQ(movies, Live(kQTStandInMovies)) << c.name << ": nothing left open";
      continue;
    }
    ASSERT_NE(nullptr, window) << c.name;
    GH_EM_QT_MoviePane* pane = EMPane(window);
    ASSERT_NE(nullptr, pane) << c.name;
    ASSERT_NE(nullptr, pane->GetMovie()) << c.name;
    EXPECT_NE(main->GetMovie(), pane->GetMovie()) << c.name;
    EXPECT_EQ(c.tracks, GetMovieTrackCount(pane->GetMovie())) << c.name;
    EXPECT_EQ(c.playing, pane->IsFilmPlaying()) << c.name;
    delete window;
    EXPECT_EQ(movies, Live(kQTStandInMovies)) << c.name;
  }
}

TEST_F(PlayQT, TheTrackFileGoesIntoThePathFolder) {
  MakeMainPane("sampleplain.flm");
  const std::string folder = TempFolder() + "kxplayqt";
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(WritePrivateProfileStringA(kSettingsSection, "Path", folder.c_str(), kSettingsFile));
  const int32_t listed = CP_Desktop::GetDesktop()->CountDocumentWindows();
  const std::string file = folder + "\\EM" + std::to_string(listed) + ".mov";
  // An old file of that name is replaced.
  HANDLE old = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, old);
  CloseHandle(old);

  RunAction("playQT", {{"File", "sample240.flm"}, {"Track", "1"}});
  CP_Window* window = EMWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(file, window->GetTitle());
  ASSERT_NE(nullptr, EMPane(window));
  EXPECT_EQ(1, GetMovieTrackCount(EMPane(window)->GetMovie()));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
  EXPECT_LT(0u, data.nFileSizeLow) << "the track was written over the old file";
  delete window;
  DeleteFileA(file.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(PlayQT, AnEmptyPathPutsTheTrackFileInTheCurrentFolder) {
  MakeMainPane("sampleplain.flm");
  const std::string folder = TempFolder() + "kxplayqt_current";
  CreateDirectoryA(folder.c_str(), nullptr);
  char saved[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, saved);
  SetCurrentDirectoryA(folder.c_str());
  ASSERT_TRUE(WritePrivateProfileStringA(kSettingsSection, "Path", "", kSettingsFile));
  const std::string name = "EM" + std::to_string(CP_Desktop::GetDesktop()->CountDocumentWindows()) + ".mov";

  RunAction("playQT", {{"File", "sample240.flm"}, {"Track", "1"}});
  CP_Window* window = EMWindow();
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(name, window->GetTitle());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\" + name).c_str()));
  delete window;
  DeleteFileA((folder + "\\" + name).c_str());
  DeleteFileA(("\\" + name).c_str());
  SetCurrentDirectoryA(saved);
  RemoveDirectoryA(folder.c_str());
}

TEST_F(PlayQT, CloseAllWindowsPlaysInTheMainPane) {
  struct Case {
    const char* name;
    media::Params parameters;
    bool emWindow;
    bool mainChanges;  // the main pane opens another film
  };
  const Case kCases[] = {
      {"set: the main pane plays the film", {{"File", "sample240.flm"}, {"CloseAllWindows", "1"}}, false, true},
      {"low 16 bits zero: not set", {{"File", "sample240.flm"}, {"CloseAllWindows", "65536"}}, true, false},
      {"set without a film: the main pane goes on", {{"CloseAllWindows", "1"}}, false, false},
  };
  for (const Case& c : kCases) {
    GH_QT_MoviePane* main = MakeMainPane("sampleplain.flm");
    ASSERT_EQ(0, main->GetCloseOthersOnClick()) << c.name;
    const int32_t opened = main->GetOpenCount();
    RunAction("playQT", c.parameters);
    EXPECT_EQ(c.emWindow, EMWindow() != nullptr) << c.name;
    EXPECT_EQ(c.emWindow ? 0 : 1, main->GetCloseOthersOnClick()) << c.name;
    EXPECT_EQ(opened + (c.mainChanges ? 1 : 0), main->GetOpenCount()) << c.name;
    if (c.mainChanges) {
      ASSERT_NE(nullptr, main->GetMovie()) << c.name;
      EXPECT_EQ(3, GetMovieTrackCount(main->GetMovie())) << c.name;
    }
    TearDown();
    SetUp();
  }
  // Without a main pane nothing is played.
  RunAction("playQT", {{"File", "sample240.flm"}, {"CloseAllWindows", "1"}});
  EXPECT_EQ(nullptr, EMWindow());
}

TEST_F(PlayQT, WithoutTheMainPaneNothingIsShown) {
  // No screen to hand back: a full-screen window here could not be closed.
  CP_Window* controller = media::MakeTitledWindow("Controller Window", CP_Window::kDialogLike);
  controller->Show();
  const int32_t listed = CP_Desktop::GetDesktop()->CountDocumentWindows();
  const int movies = Live(kQTStandInMovies);
  for (const char* track : {"0", "2"}) {
    RunAction("playQT", {{"File", "sample240.flm"}, {"Track", track}, {"FullScreen", "1"}, {"AutoPlay", "1"}});
    EXPECT_EQ(nullptr, EMWindow()) << track;
    EXPECT_EQ(listed, CP_Desktop::GetDesktop()->CountDocumentWindows()) << track;
    EXPECT_EQ(movies, Live(kQTStandInMovies)) << track;
    EXPECT_TRUE(IsWindowVisible(controller->GetHWND())) << track;
  }
}

}  // namespace
