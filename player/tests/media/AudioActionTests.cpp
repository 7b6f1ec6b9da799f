#include "MediaFixture.h"

#include "CP_FourCC.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_QT_Audio_MoviePane.h"
#include "utility/GH_Utility.h"

namespace {

using media::Live;
using media::RunAction;

GH_QT_Audio_MoviePane* AudioPaneIn(const char* title) {
  CP_Window* window = FindWindowByTitle(title);
  if (!window) return nullptr;
  return dynamic_cast<GH_QT_Audio_MoviePane*>(window->FindSubPaneById(CP_FourCC("AUDI"), false));
}

std::vector<bool> EnabledTracks(Movie movie) {
  std::vector<bool> enabled;
  for (int32_t i = 1; i <= GetMovieTrackCount(movie); ++i) enabled.push_back(GetTrackEnabled(GetMovieIndTrack(movie, i)));
  return enabled;
}

using AudioAction = media::MediaTest;

TEST_F(AudioAction, AOneOffSoundPlaysInASmallWindowOffTheScreenAndTheNextReplacesIt) {
  RunAction("playQTAudio", {{"File", "samplesound.flm"}, {"Left", "300"}, {"MovieWidth", "400"}, {"Loop", "0"}});
  CP_Window* window = FindWindowByTitle("playQTAudio");
  ASSERT_NE(nullptr, window);
  HWND first = window->GetHWND();
  RECT r{};
  GetWindowRect(first, &r);
  EXPECT_EQ(-100, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(50, r.right - r.left);
  EXPECT_EQ(50, r.bottom - r.top);
  EXPECT_EQ(LONG(WS_POPUP), GetWindowLongA(first, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_CHILD));
  const LONG ex = GetWindowLongA(first, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows()) << "a document window";
  GH_QT_Audio_MoviePane* pane = AudioPaneIn("playQTAudio");
  ASSERT_NE(nullptr, pane);
  EXPECT_TRUE(pane->IsPlaying());
  EXPECT_EQ(1, pane->GetLoop());

  RunAction("playQTAudio", {{"File", "sample240.flm"}});
  EXPECT_FALSE(IsWindow(first));
  ASSERT_NE(nullptr, AudioPaneIn("playQTAudio"));
  EXPECT_TRUE(AudioPaneIn("playQTAudio")->IsPlaying());
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows());
  EXPECT_EQ(1, Live(kQTStandInMovies));
}

TEST_F(AudioAction, BackgroundFilmsStackOnOnePane) {
  RunAction("playQTAudio", {{"File", "samplesound.flm"}, {"Background", "0"}});
  GH_QT_Audio_MoviePane* pane = AudioPaneIn("BackgroundAudio");
  ASSERT_NE(nullptr, pane) << "Background=\"0\" is background all the same";
  EXPECT_EQ(nullptr, FindWindowByTitle("playQTAudio"));
  Movie first = pane->GetMovie();

  RunAction("playQTAudio", {{"File", "sample240.flm"}, {"Background", "1"}});
  EXPECT_EQ(pane, AudioPaneIn("BackgroundAudio")) << "the same pane";
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows());
  EXPECT_EQ(2u, pane->CountMovies());
  EXPECT_NE(first, pane->GetMovie());
  EXPECT_TRUE(pane->IsPlaying());
  EXPECT_FALSE(pane->IsStopped()) << "the new background film loops";

  pane->PreviousMovie();
  EXPECT_EQ(first, pane->GetMovie());
}

TEST_F(AudioAction, AOneOffSoundStopsTheBackgroundUntilItGoes) {
  RunAction("playQTAudio", {{"File", "samplesound.flm"}, {"Background", ""}});
  GH_QT_Audio_MoviePane* background = AudioPaneIn("BackgroundAudio");
  ASSERT_NE(nullptr, background);
  RunAction("playQTAudio", {{"File", "samplesound.flm"}});
  EXPECT_TRUE(background->IsStopped());
  EXPECT_FALSE(background->IsPlaying());
  // The next one-off closes the first (which restarts the background) and
  // stops the background again for its own sound.
  RunAction("playQTAudio", {{"File", "sample240.flm"}});
  EXPECT_TRUE(background->IsStopped());
  ASSERT_NE(nullptr, FindWindowByTitle("playQTAudio"));
  delete FindWindowByTitle("playQTAudio");
  EXPECT_FALSE(background->IsStopped());
  EXPECT_TRUE(background->IsPlaying());
}

TEST_F(AudioAction, ATrackNumberLeavesOnlyThatTrackOn) {
  struct Case {
    const char* name;
    const char* track;
    int enabledTrack;  // 0: as the film has them; -1: none
  };
  const Case cases[] = {
      {"track 2", "2", 2},
      {"track 0", "0", 0},
      {"negative track", "-1", 0},
      {"not a number", "two", 0},
      {"past the last track", "9", -1},
  };
  Movie film = nullptr;
  LoadMovieFromFileSpec(PathToFileSpec(media::FilmsFolder() + "sample240.flm"), film);
  ASSERT_NE(nullptr, film);
  const std::vector<bool> asMade = EnabledTracks(film);
  DisposeMovie(film);
  for (const Case& c : cases) {
    RunAction("playQTAudio", {{"File", "sample240.flm"}, {"Track", c.track}});
    GH_QT_Audio_MoviePane* pane = AudioPaneIn("playQTAudio");
    ASSERT_NE(nullptr, pane) << c.name;
    const std::vector<bool> enabled = EnabledTracks(pane->GetMovie());
    ASSERT_GE(enabled.size(), 2u) << c.name;
    for (size_t i = 0; i < enabled.size(); ++i) {
      const bool want = c.enabledTrack == 0 ? bool(asMade[i]) : int(i) + 1 == c.enabledTrack;
      EXPECT_EQ(want, enabled[i]) << c.name << ", track " << i + 1;
    }
  }
}

TEST_F(AudioAction, WithoutAFilmOnlyTheClosingAndHidingTakeEffect) {
  CP_Window* controller = media::MakeTitledWindow("Controller Window", CP_Window::kDialogLike);
  struct Case {
    const char* name;
    media::Params parameters;
  };
  const Case cases[] = {
      {"missing film", {{"File", "missing.flm"}}},
      {"no File and no main video window", {{"Track", "1"}}},
      {"a key spelt otherwise is no File", {{"FILE", "samplesound.flm"}}},
  };
  for (const Case& c : cases) {
    controller->Show();
    RunAction("playQTAudio", {{"File", "samplesound.flm"}});
    ASSERT_NE(nullptr, FindWindowByTitle("playQTAudio")) << c.name;
    controller->Show();
    RunAction("playQTAudio", c.parameters);
    EXPECT_EQ(nullptr, FindWindowByTitle("playQTAudio")) << c.name;
    EXPECT_FALSE(IsWindowVisible(controller->GetHWND())) << c.name;
    EXPECT_EQ(0, Live(kQTStandInMovies)) << c.name;
  }

  // A background window without its pane takes no film, and none is kept.
  media::MakeTitledWindow("BackgroundAudio");
  RunAction("playQTAudio", {{"File", "samplesound.flm"}, {"Background", "1"}});
  EXPECT_EQ(nullptr, AudioPaneIn("BackgroundAudio"));
  EXPECT_EQ(0, Live(kQTStandInMovies));
  EXPECT_EQ(1, CP_Desktop::GetDesktop()->CountDocumentWindows());
}

}  // namespace
