#include "MediaFixture.h"

#include "CP_Callback.h"
#include "CP_FourCC.h"
#include "WinTestSupport.h"
#include "document/GH_DocumentWindow.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_QT_Audio_MoviePane.h"
#include "FailingAllocation.h"
#include "../support/SplashClass.h"
#include "utility/GH_Utility.h"

#include <algorithm>
#include <cmath>

namespace {

using media::Live;
using media::TraceLines;

class AudioPane : public media::MediaTest {
 protected:
  Movie Load(const std::string& name) {
    Movie movie = nullptr;
    LoadMovieFromFileSpec(PathToFileSpec(media::FilmsFolder() + name), movie);
    EXPECT_NE(nullptr, movie) << name;
    return movie;
  }
  // A sound window as the playQTAudio action makes it, off the screen.
  GH_QT_Audio_MoviePane* MakePane(const std::string& title, Movie movie) {
    CP_Window* window = media::MakeTitledWindow(title);
    auto* pane = new GH_QT_Audio_MoviePane(window, CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(50, 50)),
                                           movie, 1, 1);
    pane->SetIdentifier(CP_FourCC("AUDI"));
    return pane;
  }
  static void Advance(int32_t ms) { QTStandInControl(kQTStandInAdvance, ms, nullptr, 0); }
  static int32_t LengthMs(Movie movie) {
    return int32_t(int64_t(GetMovieDuration(movie)) * 1000 / GetMovieTimeScale(movie));
  }
};

TEST_F(AudioPane, PlaysAtOnceAndAgainFromTheStartUntilStopped) {
  QTStandInControl(kQTStandInManualClock, 0, nullptr, 0);
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  Movie movie = Load("samplesound.flm");
  const int32_t length = LengthMs(movie);
  GH_QT_Audio_MoviePane* pane = MakePane("playQTAudio", movie);
  ASSERT_NE(nullptr, pane->GetController());
  EXPECT_TRUE(pane->IsPlaying());
  EXPECT_FALSE(pane->IsStopped());
  EXPECT_EQ(1, pane->GetLoop());
  Advance(length / 2);
  EXPECT_TRUE(TraceLines("action").size() >= 1 && TraceLines("action")[0].find(" play 65536") != std::string::npos)
      << media::Trace();

  // Its end: back to the start at rate 1.0.
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  Advance(length);
  Advance(50);
  std::vector<std::string> actions = TraceLines("action");
  ASSERT_GE(actions.size(), 2u) << media::Trace();
  EXPECT_NE(std::string::npos, actions[0].find(" goto 0/")) << actions[0];
  EXPECT_NE(std::string::npos, actions[1].find(" play 65536")) << actions[1];
  EXPECT_TRUE(pane->IsPlaying());

  // Stopped, it stays where it is past the end...
  pane->Stop();
  EXPECT_TRUE(pane->IsStopped());
  EXPECT_FALSE(pane->IsPlaying());
  const TimeValue stoppedAt = MCGetCurrentTime(pane->GetController(), nullptr);
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  Advance(length + 500);
  Advance(50);
  EXPECT_TRUE(TraceLines("action").empty()) << media::Trace();
  EXPECT_EQ(stoppedAt, MCGetCurrentTime(pane->GetController(), nullptr));
  // ...until Play goes on from there.
  pane->Play();
  EXPECT_FALSE(pane->IsStopped());
  EXPECT_TRUE(pane->IsPlaying());
  EXPECT_EQ(stoppedAt, MCGetCurrentTime(pane->GetController(), nullptr));
}

TEST_F(AudioPane, NewerFilmsStackAndDropBackToTheOneBefore) {
  Movie a = Load("samplesound.flm");
  GH_QT_Audio_MoviePane* pane = MakePane("BackgroundAudio", a);
  Movie b = Load("sample240.flm");
  pane->SetMovie(b, 1);
  EXPECT_EQ(b, pane->GetMovie());
  EXPECT_EQ(2u, pane->CountMovies());
  EXPECT_EQ(2, Live(kQTStandInMovies)) << "the film below stays";
  EXPECT_EQ(1, Live(kQTStandInControllers));
  EXPECT_TRUE(pane->IsPlaying());

  pane->PreviousMovie();
  EXPECT_EQ(a, pane->GetMovie());
  EXPECT_EQ(1u, pane->CountMovies());
  EXPECT_EQ(1, Live(kQTStandInMovies)) << "the newest film is gone";
  EXPECT_EQ(1, Live(kQTStandInControllers));
  EXPECT_TRUE(pane->IsPlaying());

  // The last film: its window closes, and the pane with it.
  pane->PreviousMovie();
  EXPECT_EQ(nullptr, FindWindowByTitle("BackgroundAudio"));
  EXPECT_EQ(0, Live(kQTStandInMovies));
  EXPECT_EQ(0, Live(kQTStandInControllers));
}

TEST_F(AudioPane, GoingDisposesEveryStackedFilm) {
  GH_QT_Audio_MoviePane* pane = MakePane("BackgroundAudio", Load("samplesound.flm"));
  pane->SetMovie(Load("sample240.flm"), 1);
  pane->SetMovie(Load("sampleplain.flm"), 1);
  ASSERT_EQ(3, Live(kQTStandInMovies));
  delete FindWindowByTitle("BackgroundAudio");
  EXPECT_EQ(0, Live(kQTStandInMovies));
  EXPECT_EQ(0, Live(kQTStandInControllers));
}

TEST_F(AudioPane, AOneOffSoundLetsTheBackgroundPlayOnAsItGoes) {
  GH_QT_Audio_MoviePane* background = MakePane("BackgroundAudio", Load("samplesound.flm"));
  background->Stop();
  MakePane("playQTAudio", Load("samplesound.flm"));
  delete FindWindowByTitle("playQTAudio");
  EXPECT_FALSE(background->IsStopped());
  EXPECT_TRUE(background->IsPlaying());
  // The background pane's own going restarts nothing and ends cleanly.
  delete FindWindowByTitle("BackgroundAudio");
  EXPECT_EQ(0, Live(kQTStandInMovies));
}

TEST_F(AudioPane, MessagesOfItsWindow) {
  CP_Window* main = media::MakeTitledWindow("MainVideoWindow");
  GH_QT_Audio_MoviePane* pane = MakePane("playQTAudio", Load("samplesound.flm"));
  HWND w = pane->GetHWND();
  ASSERT_NE(nullptr, w);
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    bool clickOnMain;
  };
  const Case cases[] = {
      {"key down", WM_KEYDOWN, VK_SPACE, 1, 0, true},
      {"system key down", WM_SYSKEYDOWN, VK_MENU, 1, 0, true},
      {"screen saver refused", WM_SYSCOMMAND, SC_SCREENSAVE, 0, 1, false},
      {"background not erased", WM_ERASEBKGND, 0, 0, 0, false},
      {"a click does nothing", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10), 0, false},
  };
  for (const Case& c : cases) {
    MSG stale;
    while (PeekMessageA(&stale, main->GetHWND(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE)) {
    }
    EXPECT_EQ(c.answer, SendMessageA(w, c.message, c.wParam, c.lParam)) << c.name;
    MSG posted{};
    const bool got = PeekMessageA(&posted, main->GetHWND(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE) != 0;
    EXPECT_EQ(c.clickOnMain, got) << c.name;
    if (got) {
      EXPECT_EQ(0u, posted.wParam) << c.name;
      EXPECT_EQ(0, posted.lParam) << c.name;
      EXPECT_FALSE(PeekMessageA(&posted, main->GetHWND(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE)) << "one click";
    }
  }
  EXPECT_TRUE(IsWindow(w));
  RECT r{};
  GetWindowRect(w, &r);
  EXPECT_EQ(HTCLIENT, SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(r.left + 5, r.top + 5))) << "others: the default";

  // Without the main video window a key does nothing more.
  delete main;
  EXPECT_EQ(0, SendMessageA(w, WM_KEYDOWN, VK_SPACE, 1));
}

TEST_F(AudioPane, ShowingSetsTheVolumeEachTime) {
  GH_QT_Audio_MoviePane* pane = MakePane("playQTAudio", Load("samplesound.flm"));
  CP_Window* window = pane->GetOwnerWindow();
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  window->Hide();
  EXPECT_TRUE(pane->IsPlaying()) << "hidden, it plays on";
  window->Show();
  window->Hide();
  window->Show();
  size_t volumes = 0;
  for (const std::string& line : TraceLines("action"))
    if (line.find(" volume 250") != std::string::npos) ++volumes;
  EXPECT_EQ(2u, volumes) << media::Trace();
}

TEST_F(AudioPane, WithoutAFilmItHasAWindowAndNothingElse) {
  GH_QT_Audio_MoviePane* pane = MakePane("playQTAudio", nullptr);
  EXPECT_NE(nullptr, pane->GetHWND());
  EXPECT_EQ(nullptr, pane->GetController());
  EXPECT_FALSE(pane->IsIdling());
  EXPECT_FALSE(pane->IsPlaying());
  pane->Play();
  pane->Stop();
  pane->GoToStart();
  pane->SetVolumeLevel(10);
  EXPECT_EQ(0, Live(kQTStandInControllers));
  pane->PreviousMovie();
  EXPECT_EQ(nullptr, FindWindowByTitle("playQTAudio"));
}

// A failure inside the action filter is kept for the run loop, as in every
// other callback, and the filter goes on serving the controller: nothing is
// thrown back into the movie toolbox, which would lose it there. A sound
// film with buttons, "cs.flm", sends a button's name as an application
// action when the pane is pressed on it; reading that name is what fails.
TEST_F(AudioPane, AFailureInsideItsFilterIsKeptForTheRunLoop) {
  CP_Window* window = media::MakeTitledWindow("playQTAudio");
  auto* pane = new GH_QT_Audio_MoviePane(window, CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(320, 48)),
                                         Load("cs.flm"), 1, 1);
  ASSERT_NE(nullptr, pane->GetController());
  // The fifth button of the strip.
  const std::string name = "SPRITE_OpenCloseStrip";
  const LPARAM onButton = MAKELPARAM(1 + int(std::lround(4 * 295.0 / 11)) + 12, 24);
  auto press = [&] {
    SendMessageA(pane->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, onButton);
    SendMessageA(pane->GetHWND(), WM_LBUTTONUP, 0, onButton);
  };
  auto filtered = [] {
    size_t n = 0;
    for (const std::string& line : TraceLines("filter "))
      if (line.find(" 64 -> 1") != std::string::npos) ++n;
    return n;
  };
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  press();
  ASSERT_EQ(1u, filtered()) << media::Trace();
  ASSERT_FALSE(CP_HasPendingException());

  // The name's text is as long as the block its copy asks for.
  std::string probe;
  probe.assign(name.data(), name.size());
  kxtest::FailNextAllocationOf(probe.capacity() + 1);
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  press();
  EXPECT_FALSE(kxtest::AllocationFailureArmed()) << "the name was read";
  ASSERT_TRUE(CP_HasPendingException()) << media::Trace();
  EXPECT_THROW(CP_RethrowPendingException(), std::bad_alloc);

  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
  press();
  EXPECT_EQ(1u, filtered()) << "the next press is filtered as before: " << media::Trace();
  EXPECT_FALSE(CP_HasPendingException());
}

// A pane whose window could not be made (no super-pane to hold it) still
// gets its film and controller; drawing it is the broken invariant the
// engine reports, under the names its other panes use.
TEST_F(AudioPane, DrawingWithoutItsWindowIsReported) {
  auto* pane = new GH_QT_Audio_MoviePane(nullptr, CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(50, 50)),
                                         Load("samplesound.flm"), 1, 1);
  ASSERT_EQ(nullptr, pane->GetHWND());
  ASSERT_NE(nullptr, pane->GetController());
  {
    kxtest::MessageBoxWatcher boxes("CP_Debug", IDOK);
    pane->DrawContent(CP_Region());
    ASSERT_EQ(1, boxes.Count());
    EXPECT_EQ("Assertion thrown\rError: fWindow != NULL\rFile: GH_QT_Audio_MoviePane\rLine:411", boxes.LastText());
  }
  delete pane;
  EXPECT_EQ(0, Live(kQTStandInControllers));
}

}  // namespace

namespace {

using Bytes = std::vector<uint8_t>;

void PutU32(Bytes& b, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
}

// One atom of a container: size, type, ID, reserved, child count,
// reserved, then its data or its children.
Bytes Atom(const char* type, uint32_t id, const std::vector<Bytes>& children, const Bytes& data = {}) {
  Bytes body;
  for (const Bytes& c : children) body.insert(body.end(), c.begin(), c.end());
  body.insert(body.end(), data.begin(), data.end());
  Bytes b;
  PutU32(b, uint32_t(20 + body.size()));
  b.insert(b.end(), type, type + 4);
  PutU32(b, id);
  b.push_back(0);
  b.push_back(0);
  b.push_back(uint8_t(children.size() >> 8));
  b.push_back(uint8_t(children.size()));
  PutU32(b, 0);
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes U32(uint32_t v) {
  Bytes b;
  PutU32(b, v);
  return b;
}

// A wired action as a film's sprite carries it: its kind, then its
// parameters.
Bytes Container(const std::vector<Bytes>& actionChildren) {
  Bytes b(12, 0);  // ten reserved bytes and a lock count
  const Bytes root = Atom("sean", 1, {Atom("actn", 1, actionChildren)});
  b.insert(b.end(), root.begin(), root.end());
  return b;
}

using AudioPaneWiredActions = media::MediaTest;

TEST_F(AudioPaneWiredActions, OnlyApplicationActionsWithANumberAndATextAreTaken) {
  const Bytes text = {2, 'h', 'i'};
  struct Case {
    const char* name;
    Bytes container;
    bool taken;
  };
  const Case cases[] = {
      {"number and text", Container({Atom("whic", 1, {}, U32(8192)), Atom("parm", 1, {}, U32(7)),
                                     Atom("parm", 2, {}, text)}),
       true},
      {"another kind", Container({Atom("whic", 1, {}, U32(4)), Atom("parm", 1, {}, U32(7)), Atom("parm", 2, {}, text)}),
       false},
      {"kind cut short", Container({Atom("whic", 1, {}, {0x00, 0x00}), Atom("parm", 1, {}, U32(7)),
                                    Atom("parm", 2, {}, text)}),
       false},
      {"no text", Container({Atom("whic", 1, {}, U32(8192)), Atom("parm", 1, {}, U32(7))}), false},
      {"text longer than its atom", Container({Atom("whic", 1, {}, U32(8192)), Atom("parm", 1, {}, U32(7)),
                                               Atom("parm", 2, {}, {200, 'h', 'i'})}),
       false},
      {"no parameters at all", Container({}), false},
  };
  for (const Case& c : cases) {
    Handle h = NewHandle(int32_t(c.container.size()));
    ASSERT_NE(nullptr, h);
    std::copy(c.container.begin(), c.container.end(), reinterpret_cast<uint8_t*>(*h));
    QTAtom action = 0;
    ASSERT_EQ(noErr, QTNextChildAnyType(h, kParentAtomIsContainer, 0, &action)) << c.name;
    int32_t number = 0;
    std::string said;
    EXPECT_EQ(c.taken, ReadApplicationAction(h, action, number, said)) << c.name;
    if (c.taken) {
      EXPECT_EQ(7, number) << c.name;
      EXPECT_EQ("hi", said) << c.name;
    }
    DisposeHandle(h);
  }
}

// The main window's end takes the background sound with it, however many
// background windows there are, and leaves a one-off sound and other
// windows alone; open frames are told to close.
TEST_F(AudioPane, TheMainWindowsEndClosesEveryBackgroundWindowAndFrame) {
  CP_WindowInfo info(CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(200, 100)), CP_Window::kDocument);
  info.style = WS_POPUP;
  auto* main = new GH_DocumentWindow(CP_M_Commander::GetDefaultCommander(), nullptr, info, "MainVideoWindow");
  MakePane("BackgroundAudio", Load("samplesound.flm"));
  MakePane("BackgroundAudio", Load("samplesound.flm"))->SetMovie(Load("sample240.flm"), 1);
  GH_QT_Audio_MoviePane* oneOff = MakePane("playQTAudio", Load("samplesound.flm"));
  CP_Window* other = media::MakeTitledWindow("Sprite Window");
  kxtest::RegisterSplashClass();
  media::RunAction("playQTFrame", {{"File", "sampleplain.flm"}, {"MovieWidth", "100"}, {"MovieHeight", "80"}});
  HWND frame = FindWindowA(nullptr, "playQTFrame");
  ASSERT_NE(nullptr, frame);
  ASSERT_EQ(5, Live(kQTStandInMovies));

  delete main;
  EXPECT_EQ(nullptr, FindWindowByTitle("BackgroundAudio"));
  EXPECT_FALSE(IsWindow(frame)) << "the frame was told to close";
  EXPECT_EQ(1, Live(kQTStandInMovies)) << "only the one-off sound's film is left";
  EXPECT_EQ(oneOff->GetOwnerWindow(), FindWindowByTitle("playQTAudio"));
  EXPECT_TRUE(oneOff->IsPlaying());
  EXPECT_EQ(other, FindWindowByTitle("Sprite Window"));
}

}  // namespace
