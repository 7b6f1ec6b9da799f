#include "MediaFixture.h"

#include "WinTestSupport.h"
#include "CP_FourCC.h"
#include "actions/playQTFrameAction.h"
#include "panes/GH_QT_Audio_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "../support/SplashClass.h"
#include "utility/GH_Utility.h"

#include <fstream>

namespace {

using media::Live;
using media::RunAction;
using media::TraceLines;

class FrameAction : public media::MediaTest {
 protected:
  void SetUp() override {
    MediaTest::SetUp();
    kxtest::RegisterSplashClass();
  }

  static HWND Frame() { return FindWindowA(nullptr, kFrameWindowTitle); }
  static int16_t WorkWidth() { return CP_Desktop::GetDesktop()->GetWorkAreaWidth(); }
};

TEST_F(FrameAction, PlaceAndSizeAreScaledFromTheReferenceWidth) {
  const int16_t w = WorkWidth();
  const std::string base = std::to_string(w), half = std::to_string(w / 2);
  struct Case {
    const char* name;
    media::Params parameters;
    RECT window;  // left, top, right, bottom on the screen
    int16_t boxHeight, boxWidth;
  };
  std::vector<Case> cases = {
      {"reference width is the work area",
       {{"BaseWidth", base}, {"Top", "30"}, {"Left", "40"}, {"MovieWidth", "200"}, {"MovieHeight", "150"}},
       {40, 30, 240, 180}, 150, 200},
      {"half the work area doubles everything",
       {{"BaseWidth", half}, {"Top", "30"}, {"Left", "40"}, {"MovieWidth", "200"}, {"MovieHeight", "150"}},
       {80, 60, 480, 360}, 300, 400},
      {"Controller 1: the window grows by the strip",
       {{"BaseWidth", base}, {"Top", "30"}, {"Left", "40"}, {"MovieWidth", "200"}, {"MovieHeight", "150"},
        {"Controller", "1"}},
       {40, 30, 240, 196}, 150, 200},
      {"Controller 2: the movie gives up the strip",
       {{"BaseWidth", base}, {"Top", "30"}, {"Left", "40"}, {"MovieWidth", "200"}, {"MovieHeight", "150"},
        {"Controller", "2"}},
       {40, 30, 240, 180}, 134, 200},
      {"no reference width: the numbers as they stand",
       {{"Top", "10"}, {"Left", "20"}, {"MovieWidth", "160"}, {"MovieHeight", "120"}}, {20, 10, 180, 130}, 120, 160},
  };
  if (w == 1024) {
    // 1024 / 800 in single precision is just below 1.28.
    cases.push_back({"800 on 1024 truncates below the exact product",
                     {{"BaseWidth", "800"}, {"Top", "0"}, {"Left", "100"}, {"MovieWidth", "333"}, {"MovieHeight", "240"}},
                     {127, 0, 553, 307}, 307, 426});
  }
  for (Case& c : cases) {
    c.parameters["File"] = "sampleplain.flm";
    c.parameters["AutoPlay"] = "0";  // read, and changes nothing
    const int moviesBefore = Live(kQTStandInMovies);
    RunAction("playQTFrame", c.parameters);
    HWND frame = Frame();
    ASSERT_NE(nullptr, frame) << c.name;
    RECT r{};
    GetWindowRect(frame, &r);
    EXPECT_EQ(c.window.left, r.left) << c.name;
    EXPECT_EQ(c.window.top, r.top) << c.name;
    EXPECT_EQ(c.window.right, r.right) << c.name;
    EXPECT_EQ(c.window.bottom, r.bottom) << c.name;
    EXPECT_TRUE(IsWindowVisible(frame)) << c.name;
    EXPECT_EQ(LONG(WS_POPUP), GetWindowLongA(frame, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_CHILD)) << c.name;
    char className[32] = {};
    GetClassNameA(frame, className, sizeof className);
    EXPECT_STREQ("GH_Player", className) << c.name;

    Movie movie = FrameMovieOf(frame);
    ASSERT_NE(nullptr, movie) << c.name;
    ASSERT_NE(nullptr, FrameControllerOf(frame)) << c.name;
    Rect box{};
    GetMovieBox(movie, &box);
    EXPECT_EQ(0, box.top) << c.name;
    EXPECT_EQ(0, box.left) << c.name;
    EXPECT_EQ(c.boxHeight, box.bottom) << c.name;
    EXPECT_EQ(c.boxWidth, box.right) << c.name;

    // Closing ends the window and everything it showed.
    SendMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(frame)) << c.name;
    EXPECT_EQ(moviesBefore, Live(kQTStandInMovies)) << c.name;
    EXPECT_EQ(0, Live(kQTStandInControllers)) << c.name;
  }
}

TEST_F(FrameAction, TheFilmStartsAtOnceAndRepeatsWithTheStripsHidden) {
  CP_Window* controller = media::MakeTitledWindow("Controller Window", CP_Window::kDialogLike);
  CP_Window* sprite = media::MakeTitledWindow("Sprite Window", CP_Window::kDialogLike);
  ASSERT_TRUE(IsWindowVisible(controller->GetHWND()));
  QTStandInControl(kQTStandInManualClock, 0, nullptr, 0);
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  RunAction("playQTFrame", {{"File", "sampleplain.flm"}, {"BaseWidth", std::to_string(WorkWidth())},
                      {"MovieWidth", "160"}, {"MovieHeight", "120"}, {"Loop", "0"}});
  EXPECT_FALSE(IsWindowVisible(controller->GetHWND()));
  EXPECT_FALSE(IsWindowVisible(sprite->GetHWND()));
  HWND frame = Frame();
  ASSERT_NE(nullptr, frame);
  ASSERT_EQ(1u, TraceLines("action").size()) << media::Trace();
  EXPECT_NE(std::string::npos, TraceLines("action")[0].find(" play 65536"));

  // Past the end: the next idle turn rewinds and plays again, Loop="0" or not.
  Movie movie = FrameMovieOf(frame);
  const long ms = long(GetMovieDuration(movie)) * 1000 / long(GetMovieTimeScale(movie));
  QTStandInControl(kQTStandInAdvance, int32_t(ms + 500), nullptr, 0);
  QTStandInControl(kQTStandInAdvance, 100, nullptr, 0);
  const std::vector<std::string> actions = TraceLines("action");
  ASSERT_GE(actions.size(), 3u) << media::Trace();
  EXPECT_NE(std::string::npos, actions[1].find(" goto 0/")) << actions[1];
  EXPECT_NE(std::string::npos, actions[2].find(" play 65536")) << actions[2];
}

TEST_F(FrameAction, WithoutAFilmNothingIsShownButTheStripsStayHidden) {
  CP_Window* controller = media::MakeTitledWindow("Controller Window", CP_Window::kDialogLike);
  struct Case {
    const char* name;
    media::Params parameters;
  };
  const Case cases[] = {
      {"missing film file", {{"File", "missing.flm"}, {"MovieWidth", "100"}, {"MovieHeight", "100"}}},
      {"no File and no main video window", {{"MovieWidth", "100"}, {"MovieHeight", "100"}}},
      {"a key spelt otherwise is no File", {{"file", "sampleplain.flm"}, {"MovieWidth", "100"}}},
      {"a full path still goes behind the film root",
       {{"File", media::FilmsFolder() + "sampleplain.flm"}, {"MovieWidth", "100"}}},
  };
  for (const Case& c : cases) {
    controller->Show();
    RunAction("playQTFrame", c.parameters);
    EXPECT_EQ(nullptr, Frame()) << c.name;
    EXPECT_FALSE(IsWindowVisible(controller->GetHWND())) << c.name;
    EXPECT_EQ(0, Live(kQTStandInMovies)) << c.name;
  }
}

// The track film goes to the Path folder, or to the temporary folder
// without a Path setting, named by the count of document windows.
TEST_F(FrameAction, ATrackIsShownAloneThroughATrackFile) {
  char made[MAX_PATH] = {};
  GetTempPathA(sizeof made, made);
  const std::string pathFolder = std::string(made) + "kx_frame_path";
  CreateDirectoryA(pathFolder.c_str(), nullptr);
  CP_Window* main = media::MakeTitledWindow("MainVideoWindow");
  ASSERT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows());

  struct Case {
    const char* name;
    const char* path;  // the Path setting; null for none
    std::string trackFile;
  };
  const Case cases[] = {
      {"Path folder", pathFolder.c_str(), pathFolder + "\\QTFrame1.mov"},
      {"no Path setting", nullptr, GetTempDirectory() + "QTFrame1.mov"},
  };
  for (const Case& c : cases) {
    DeleteFileA(media::WindowsFolderFile(kSettingsFile).c_str());
    if (c.path) {
      ASSERT_TRUE(WriteIniString(kSettingsSection, "Path", c.path, kSettingsFile));
    }
    // An old track file is replaced.
    { std::ofstream(c.trackFile, std::ios::binary) << "stale"; }
    RunAction("playQTFrame", {{"File", "sample240.flm"}, {"Track", "2"}, {"MovieWidth", "300"}, {"MovieHeight", "20"}});
    HWND frame = Frame();
    ASSERT_NE(nullptr, frame) << c.name;
    EXPECT_EQ(main->GetHWND(), GetWindow(frame, GW_OWNER)) << c.name;
    ASSERT_NE(nullptr, FrameMovieOf(frame)) << c.name;
    EXPECT_EQ(1, GetMovieTrackCount(FrameMovieOf(frame))) << c.name;
    EXPECT_EQ(1, Live(kQTStandInMovies)) << c.name << ": the whole film is not kept";
    EXPECT_TRUE(FileExists(c.trackFile)) << c.name;
    std::ifstream in(c.trackFile, std::ios::binary);
    std::string head(5, '\0');
    in.read(&head[0], 5);
    EXPECT_NE("stale", head) << c.name;
    in.close();
    DestroyWindow(frame);
    DeleteFileA(c.trackFile.c_str());
  }
  RemoveDirectoryA(pathFolder.c_str());
}

TEST_F(FrameAction, EachFrameKeepsItsOwnFilmAndCloseAllWindowsEndsTheOthers) {
  const std::string base = std::to_string(WorkWidth());
  RunAction("playQTFrame", {{"File", "sampleplain.flm"}, {"BaseWidth", base}, {"MovieWidth", "100"}, {"MovieHeight", "80"}});
  HWND first = Frame();
  ASSERT_NE(nullptr, first);
  RunAction("playQTFrame", {{"File", "sample200.flm"}, {"BaseWidth", base}, {"Left", "200"}, {"MovieWidth", "100"},
                      {"MovieHeight", "80"}});
  ASSERT_EQ(2, Live(kQTStandInMovies));
  HWND second = nullptr;
  for (HWND w = FindWindowA(nullptr, kFrameWindowTitle); w; w = FindWindowExA(nullptr, w, nullptr, kFrameWindowTitle))
    if (w != first) second = w;
  ASSERT_NE(nullptr, second);
  Movie secondMovie = FrameMovieOf(second);
  ASSERT_NE(nullptr, secondMovie);

  // The first frame's going leaves the second one's film playing.
  SendMessageA(first, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(1, Live(kQTStandInMovies));
  EXPECT_EQ(1, Live(kQTStandInControllers));
  EXPECT_EQ(secondMovie, FrameMovieOf(second));
  long flags = 0;
  MCGetControllerInfo(FrameControllerOf(second), &flags);
  EXPECT_TRUE(flags & mcInfoIsPlaying);

  RunAction("playQTFrame", {{"File", "sampleplain.flm"}, {"BaseWidth", base}, {"MovieWidth", "100"},
                      {"MovieHeight", "80"}, {"CloseAllWindows", "1"}});
  EXPECT_FALSE(IsWindow(second));
  HWND third = Frame();
  ASSERT_NE(nullptr, third);
  EXPECT_EQ(nullptr, FindWindowExA(nullptr, third, nullptr, kFrameWindowTitle)) << "only the new frame is left";
  EXPECT_EQ(1, Live(kQTStandInMovies));
}

}  // namespace

namespace {

using media::Live;
using media::MakeMainPane;
using media::RunAction;

TEST_F(FrameAction, WithoutAFileTheMainPanesFilmIsOpenedAgain) {
  GH_QT_MoviePane* main = MakeMainPane("sample240.flm");
  ASSERT_NE(nullptr, main->GetCurrentEntry());
  const int movies = Live(kQTStandInMovies);

  RunAction("playQTFrame", {{"MovieWidth", "100"}, {"MovieHeight", "80"}});
  HWND frame = Frame();
  ASSERT_NE(nullptr, frame);
  Movie framed = FrameMovieOf(frame);
  ASSERT_NE(nullptr, framed);
  EXPECT_NE(main->GetMovie(), framed) << "a movie of its own";
  EXPECT_EQ(3, GetMovieTrackCount(framed)) << "the whole of the main pane's film";
  EXPECT_EQ(movies + 1, Live(kQTStandInMovies));

  RunAction("playQTAudio", {{"Track", "2"}});
  auto* sound = dynamic_cast<GH_QT_Audio_MoviePane*>(
      FindWindowByTitle("playQTAudio") ? FindWindowByTitle("playQTAudio")->FindSubPaneById(CP_FourCC("AUDI"), false)
                                       : nullptr);
  ASSERT_NE(nullptr, sound) << "a one-off sound";
  EXPECT_NE(main->GetMovie(), sound->GetMovie());
  EXPECT_EQ(3, GetMovieTrackCount(sound->GetMovie()));
  EXPECT_EQ(movies + 2, Live(kQTStandInMovies));
}

}  // namespace
