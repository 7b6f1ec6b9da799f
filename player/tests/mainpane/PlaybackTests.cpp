// Opening films in the main video pane, sizing and placing them, and the
// playback control that the controller sprites and the action filter use.
#include "MainPaneSupport.h"

using mainpane::Actions;
using mainpane::ClearTrace;
using mainpane::MainPaneTest;
using mainpane::ShippedFilm;

namespace {

using Strings = std::vector<std::string>;

}  // namespace

TEST_F(MainPaneTest, FilmsAreSizedToTheTargetAndPlaced) {
  struct Case {
    const char* name;
    const char* film;
    int16_t filmWidth, filmHeight;
    int32_t placement;
    Rect want;  // top, left, bottom, right
  };
  const Case kCases[] = {
      {"a 240-line film is stretched to the target", "sample240.flm", 640, 480, 2, {0, 0, 480, 640}},
      {"other films keep their aspect", "sample200.flm", 640, 480, 2, {0, 0, 400, 640}},
      {"a wider target scales the height alike", "sample200.flm", 800, 600, 2, {0, 0, 500, 800}},
      {"no target: twice the film's own size", "sample200.flm", 0, 480, 2, {0, 0, 400, 640}},
      {"centred in the pane", "sample200.flm", 640, 480, 1, {100, 80, 500, 720}},
  };
  Start("", 800, 600, 640, 480);
  for (const Case& c : kCases) {
    MakePane(800, 600, c.filmWidth, c.filmHeight, c.placement);
    EXPECT_EQ(2, pane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm(c.film)), 1, 1.0, 0)) << c.name;
    const Rect box = Box();
    EXPECT_EQ(c.want.top, box.top) << c.name;
    EXPECT_EQ(c.want.left, box.left) << c.name;
    EXPECT_EQ(c.want.bottom, box.bottom) << c.name;
    EXPECT_EQ(c.want.right, box.right) << c.name;
  }
}

TEST_F(MainPaneTest, OpeningStartsThePlayAtTheVolumeAndRate) {
  Start("", 800, 600, 640, 480, 1, 0, 10);
  ClearTrace();
  EXPECT_EQ(2, pane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm("sample200.flm")), 2, 0.5, 0));
  // The level times 25, not 256; half speed in 16.16.
  EXPECT_EQ((Strings{"volume 250", "play 32768"}), Actions());
  EXPECT_TRUE(pane->IsRepeating());
  EXPECT_EQ(2, pane->GetRepeatCount());
  EXPECT_EQ(1, pane->GetRepeatsDone());
  EXPECT_TRUE(pane->IsFilmPlaying());

  // A film that is not there: status 1, the controller left without a film.
  EXPECT_EQ(1, pane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm("no such film.flm")), 1, 1.0, 0));
  EXPECT_EQ(nullptr, pane->GetMovie());
  EXPECT_NE(nullptr, pane->GetController());
  EXPECT_FALSE(pane->IsFilmPlaying());
  EXPECT_EQ(2, pane->GetOpenCount());
}

TEST_F(MainPaneTest, PlaybackControlTable) {
  struct Case {
    const char* name;
    uint8_t mute;
    void (*act)(GH_QT_MoviePane&);
    Strings want;
  };
  const Case kCases[] = {
      {"resume plays at the stored rate", 0, [](GH_QT_MoviePane& p) { p.Resume(); }, {"play 65536"}},
      {"resume on a muted pane silences first", 1, [](GH_QT_MoviePane& p) { p.Resume(); }, {"volume 0", "play 65536"}},
      {"stop silences an unmuted pane", 0, [](GH_QT_MoviePane& p) { p.StopFilm(); }, {"volume 0", "play 0"}},
      {"stop leaves a muted pane's volume alone", 1, [](GH_QT_MoviePane& p) { p.StopFilm(); }, {"play 0"}},
      {"pause stops", 0, [](GH_QT_MoviePane& p) { p.Pause(); }, {"play 0"}},
      {"mute off never raises the volume", 0, [](GH_QT_MoviePane& p) { p.ApplyMute(false); }, {}},
      {"rate", 0, [](GH_QT_MoviePane& p) { p.SetPlayRate(2.0); }, {"play 131072"}},
  };
  Start("", 800, 600, 640, 480);
  for (const Case& c : kCases) {
    MakePane(800, 600, 640, 480, 1, c.mute);
    ASSERT_EQ(2, pane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm("sample200.flm")), 1, 1.0, 0));
    ClearTrace();
    c.act(*pane);
    EXPECT_EQ(c.want, Actions()) << c.name;
  }
  MakePane(800, 600, 640, 480);
  ClearTrace();
  pane->Pause();  // no film: only the flag
  EXPECT_TRUE(pane->IsPaused());
  EXPECT_TRUE(Actions().empty());
  EXPECT_FALSE(pane->IsFilmPlaying());
}

TEST_F(MainPaneTest, StoppedFilmRepeatsThenMovesOn) {
  Start("", 800, 600, 640, 480);
  ASSERT_EQ(2, pane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm("sample200.flm")), 3, 1.0, 0));
  const QTRefCon self = reinterpret_cast<QTRefCon>(pane);
  // While paused a stopped film is never taken as ended.
  pane->Pause();
  EXPECT_FALSE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionIdle, nullptr, self));
  EXPECT_EQ(1, pane->GetRepeatsDone());
  for (int32_t done = 2; done <= 3; ++done) {
    pane->StopFilm();
    ClearTrace();
    EXPECT_FALSE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionIdle, nullptr, self));
    EXPECT_EQ(done, pane->GetRepeatsDone());
    const Strings actions = Actions();
    ASSERT_EQ(3u, actions.size());
    EXPECT_EQ(0u, actions[0].rfind("goto", 0)) << "rewound first";
    // The stop of a skip forward silenced it: it plays again at its volume.
    EXPECT_EQ((Strings{"volume 250", "play 65536"}), Strings(actions.begin() + 1, actions.end()));
    EXPECT_TRUE(pane->IsFilmPlaying());
  }
  // Three plays in all: the next end moves on, here to an empty list.
  pane->StopFilm();
  EXPECT_TRUE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionIdle, nullptr, self));
  EXPECT_FALSE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionIdle, nullptr, 0)) << "no pane";
}

TEST_F(MainPaneTest, ScriptCommandsClicksAndSizeChanges) {
  Start("", 800, 600, 640, 480);
  ASSERT_EQ(2, pane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(ShippedFilm("sample200.flm")), 1, 1.0, 0));
  const QTRefCon self = reinterpret_cast<QTRefCon>(pane);
  EXPECT_TRUE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionMovieClick, nullptr, self))
      << "a click on the film is swallowed outside the file form";
  EXPECT_FALSE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionControllerSizeChanged, nullptr, self));
  char closeCommand[] = "CloseWindow";
  QTDoScriptRecord script{kScriptIsUnknownType, closeCommand, nullptr};
  EXPECT_FALSE(pane->IsCloseRequested());
  EXPECT_TRUE(GH_QT_MoviePane::FilmActionFilter(pane->GetController(), mcActionDoScript, &script, self));
  EXPECT_TRUE(pane->IsCloseRequested());
}

TEST_F(MainPaneTest, MouseMovesShowTheCursorFromTheThirdOn) {
  Start("", 800, 600, 640, 480);
  // The pane hid the cursor once when it was made.
  auto shown = [] {
    const int count = ShowCursor(TRUE);
    ShowCursor(FALSE);
    return count - 1;
  };
  const int hidden = shown();
  for (int i = 0; i < 2; ++i) SendMessageA(pane->GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(hidden, shown()) << "no controller, and still the count of moves";
  SendMessageA(pane->GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(hidden + 1, shown());
  EXPECT_EQ(0, SendMessageA(pane->GetHWND(), WM_ERASEBKGND, 0, 0));
}
