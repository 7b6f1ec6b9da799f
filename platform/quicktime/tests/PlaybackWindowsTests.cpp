// Playback in real windows under Wine: the real clock's thread timer, a
// filter's modal message box while time runs, pictures read back from the
// window, window messages as events, and the controller bar's clicks.
#include "PlaySupport.h"
#include "WinTestSupport.h"

#include <windows.h>

#include <functional>

using namespace filmtest;

namespace {

using FilterBody = std::function<bool(MovieController, int16_t, void*)>;
Boolean RunBody(MovieController mc, int16_t action, void* params, QTRefCon refCon) {
  return (*reinterpret_cast<FilterBody*>(refCon))(mc, action, params) ? 1 : 0;
}
void SetFilter(MovieController mc, FilterBody* body) {
  MCSetActionFilterWithRefCon(mc, RunBody, reinterpret_cast<QTRefCon>(body));
}

Rect R(int top, int left, int bottom, int right) {
  return Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0), kMagenta = RGB(255, 0, 255);

COLORREF PixelAt(const PlayWindow& w, int x, int y) {
  HWND window = static_cast<HWND>(w.Handle());
  HDC dc = GetDC(window);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

// Paints the whole window one colour, so that what the movie leaves alone
// shows.
void Paint(const PlayWindow& w, COLORREF colour) {
  HWND window = static_cast<HWND>(w.Handle());
  HDC dc = GetDC(window);
  RECT rc;
  GetClientRect(window, &rc);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rc, brush);
  DeleteObject(brush);
  ReleaseDC(window, dc);
}

class Playback : public ToolboxTest {
 protected:
  void SetUp() override {
    ToolboxTest::SetUp();
    tiny_ = dir_ + "/tiny.mov";
    WriteFile(tiny_, TinyFilm());
  }
  void TearDown() override {
    window_.Offer(nullptr);
    for (MovieController mc : controllers_) DisposeMovieController(mc);
    for (Movie m : movies_) DisposeMovie(m);
    DestroyPortAssociation(GetNativeWindowPort(window_.Handle()));
    ToolboxTest::TearDown();
  }

  // A film with a controller in window_, as a pane makes one.
  MovieController Show(const std::string& path, Rect rect, long flags) {
    Movie m = nullptr;
    EXPECT_EQ(noErr, LoadMovie(path, m)) << path;
    movies_.push_back(m);
    GrafPtr port = CreatePortAssociation(window_.Handle(), nullptr, 0);
    SetMovieGWorld(m, port, nullptr);
    MovieController mc = NewMovieController(m, &rect, flags);
    controllers_.push_back(mc);
    window_.Offer(mc);
    return mc;
  }

  void Click(int x, int y) {
    HWND w = static_cast<HWND>(window_.Handle());
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump(30);
  }

  PlayWindow window_;
  std::string tiny_;
  std::vector<Movie> movies_;
  std::vector<MovieController> controllers_;
};

TEST_F(Playback, TheRealClockPlaysAFilmToItsEnd) {
  MovieController mc = Show(tiny_, R(0, 0, 48, 64), mcTopLeftMovie | mcNotVisible);
  EXPECT_EQ(1, Live(kQTStandInTimers));
  Play(mc);
  DWORD start = GetTickCount();
  EXPECT_TRUE(kxtest::PumpUntil([&] { return !IsPlaying(mc); }, 10000));
  EXPECT_EQ(600, Now(mc));
  // One second of film: the clock follows real time, not the timer's ticks.
  EXPECT_GE(GetTickCount() - start, 800u);
  DisposeMovieController(mc);
  controllers_.clear();
  EXPECT_EQ(0, Live(kQTStandInTimers)) << "no controller, no timer";
}

// The modal loop of a message box runs the clock's timer: time goes on, the
// controller's filter is not entered again, and other controllers keep
// their idle turns.
TEST_F(Playback, AFilterMayOpenAMessageBoxWhileTimeRuns) {
  PlayWindow second(220, 40);
  MovieController mc = Show(tiny_, R(0, 0, 48, 64), mcTopLeftMovie | mcNotVisible);
  Movie other = nullptr;
  ASSERT_EQ(noErr, LoadMovie(tiny_, other));
  movies_.push_back(other);
  SetMovieGWorld(other, CreatePortAssociation(second.Handle(), nullptr, 0), nullptr);
  Rect r = R(0, 0, 48, 64);
  MovieController otherMc = NewMovieController(other, &r, mcTopLeftMovie | mcNotVisible);
  controllers_.push_back(otherMc);

  int inside = 0, entries = 0, reentries = 0, otherTurns = 0, otherTurnsDuringBox = -1;
  TimeValue before = -1, after = -1;
  FilterBody body = [&](MovieController self, int16_t action, void*) {
    ++entries;
    if (inside) ++reentries;
    if (action != mcActionIdle || before >= 0 || !IsPlaying(self)) return false;
    ++inside;
    before = Now(self);
    int turns = otherTurns;
    MessageBoxA(static_cast<HWND>(window_.Handle()), "Stop?", "FilterBox", MB_OK);
    otherTurnsDuringBox = otherTurns - turns;
    after = Now(self);
    --inside;
    return false;
  };
  FilterBody count = [&](MovieController, int16_t action, void*) {
    if (action == mcActionIdle) ++otherTurns;
    return false;
  };
  SetFilter(mc, &body);
  SetFilter(otherMc, &count);

  // The box stays up for a while before it is answered.
  kxtest::DialogWatcher watcher("FilterBox", [](HWND box) {
    Sleep(300);
    kxtest::DialogWatcher::Press(box, IDOK);
  });
  Play(mc);
  ASSERT_TRUE(kxtest::PumpUntil([&] { return after >= 0; }, 10000));
  EXPECT_EQ(0, reentries);
  EXPECT_GT(after, before) << "the film went on while the box was up";
  EXPECT_GT(otherTurnsDuringBox, 0) << "the other controller kept its turns";
  EXPECT_TRUE(kxtest::PumpUntil([&] { return !IsPlaying(mc); }, 10000));
  EXPECT_GT(entries, 2) << "the filter has its turns again after the box";
  DestroyPortAssociation(GetNativeWindowPort(second.Handle()));
}

// The picture comes from the film's frames, scaled to the movie box; what
// lies outside the box is left alone.
TEST_F(Playback, SetMovieBoxOfAnotherSizeScalesThePicture) {
  ManualClock clock;
  clock.Start();
  MovieController mc = Show(PlayFilm("quad.mov"), R(0, 0, 24, 32), 11);
  Paint(window_, kMagenta);
  MCDraw(mc, GetNativeWindowPort(window_.Handle()));
  const struct {
    int x, y;
    COLORREF want;
  } kNatural[] = {{4, 4, kRed}, {27, 4, kGreen}, {4, 19, kBlue}, {27, 19, kWhite}, {40, 4, kMagenta}, {4, 30, kMagenta}};
  for (const auto& c : kNatural) EXPECT_EQ(c.want, PixelAt(window_, c.x, c.y)) << c.x << "," << c.y;

  Movie movie = movies_.back();
  Rect bigger = R(10, 20, 58, 84);  // twice the size, moved
  SetMovieBox(movie, &bigger);
  Paint(window_, kMagenta);
  clock.Advance(10);  // the next idle turn draws the box in its new place
  const struct {
    int x, y;
    COLORREF want;
  } kScaled[] = {{24, 14, kRed},   {50, 14, kRed},   {54, 14, kGreen},   {80, 14, kGreen}, {24, 36, kBlue},
                 {80, 54, kWhite}, {10, 10, kMagenta}, {90, 30, kMagenta}, {30, 62, kMagenta}};
  for (const auto& c : kScaled) EXPECT_EQ(c.want, PixelAt(window_, c.x, c.y)) << c.x << "," << c.y;
  clock.Stop();
}

// The preview's flags 11 show no bar until it is made visible; the
// diagnostics' 27 frame the movie.
TEST_F(Playback, ThePreviewsAndTheDiagnosticsFlags) {
  ManualClock clock;
  clock.Start();
  MovieController framed = Show(PlayFilm("quad.mov"), R(40, 10, 64, 42), 27);
  Paint(window_, kMagenta);
  MCDraw(framed, nullptr);
  EXPECT_EQ(kRed, PixelAt(window_, 10, 40));
  EXPECT_EQ(kBlack, PixelAt(window_, 9, 50)) << "the frame, left of the box";
  EXPECT_EQ(kBlack, PixelAt(window_, 20, 64)) << "the frame, below the box";
  EXPECT_EQ(kMagenta, PixelAt(window_, 7, 50));
  DisposeMovieController(framed);
  controllers_.clear();

  MovieController preview = Show(PlayFilm("quad.mov"), R(3, 10, 27, 42), 11);
  Paint(window_, kMagenta);
  MCDraw(preview, nullptr);
  EXPECT_EQ(kMagenta, PixelAt(window_, 40, 30)) << "no bar yet";
  MCSetVisible(preview, 1);
  MCActivate(preview, GetNativeWindowPort(window_.Handle()), 1);
  MCDraw(preview, nullptr);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), PixelAt(window_, 40, 30)) << "the bar below the movie";
  EXPECT_EQ(kMagenta, PixelAt(window_, 40, 44)) << "and nothing below the bar";
  clock.Stop();
}

// An update event paints the box: the panes answer WM_ERASEBKGND with 0 and
// leave the painting to the controller.
TEST_F(Playback, AnUpdateEventPaintsTheMovie) {
  ManualClock clock;
  clock.Start();
  Show(PlayFilm("quad.mov"), R(0, 0, 24, 32), 11);
  Paint(window_, kMagenta);
  EXPECT_EQ(kMagenta, PixelAt(window_, 4, 4));
  HWND w = static_cast<HWND>(window_.Handle());
  InvalidateRect(w, nullptr, FALSE);
  UpdateWindow(w);
  EXPECT_EQ(kRed, PixelAt(window_, 4, 4));
  clock.Stop();
}

TEST_F(Playback, WindowMessagesBecomeEvents) {
  HWND w = static_cast<HWND>(window_.Handle());
  POINT origin = {0, 0};
  ClientToScreen(w, &origin);
  const uint32_t self = uint32_t(reinterpret_cast<uintptr_t>(w));
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    POINT pt;  // as GetMessagePos halves, unsigned
    long answer;
    uint16_t what;
    uint32_t eventMessage;
    Point where;
    uint16_t set, clear;  // modifiers that must be set, and clear
  } kCases[] = {
      {"left press", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20), {0, 0}, 1, mouseDown, self,
       Point{int16_t(origin.y + 20), int16_t(origin.x + 10)}, 0, btnState},
      {"double click", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(1, 2), {0, 0}, 1, mouseDown, self,
       Point{int16_t(origin.y + 2), int16_t(origin.x + 1)}, 0, btnState},
      {"left release", WM_LBUTTONUP, 0, MAKELPARAM(10, 20), {0, 0}, 1, mouseUp, self,
       Point{int16_t(origin.y + 20), int16_t(origin.x + 10)}, btnState, 0},
      {"move with the button down", WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 4), {0, 0}, 0, nullEvent, self,
       Point{int16_t(origin.y + 4), int16_t(origin.x + 3)}, 0, btnState},
      {"key", WM_KEYDOWN, 'A', 1, {0, 0}, 1, keyDown, ('A' << 8) | 'A', Point{0, 0}, 0, 0},
      {"repeated key", WM_KEYDOWN, 'A', 1 | (1 << 30), {0, 0}, 1, autoKey, ('A' << 8) | 'A', Point{0, 0}, 0, 0},
      {"key up", WM_KEYUP, VK_SPACE, 0, {0, 0}, 1, keyUp, (VK_SPACE << 8) | ' ', Point{0, 0}, 0, 0},
      {"paint", WM_PAINT, 0, 0, {5, 6}, 1, updateEvt, self, Point{6, 5}, 0, 0},
      {"activate", WM_ACTIVATE, WA_ACTIVE, 0, {0, 0}, 1, activateEvt, self, Point{0, 0}, activeFlag, 0},
      {"deactivate", WM_ACTIVATE, WA_INACTIVE, 0, {0, 0}, 1, activateEvt, self, Point{0, 0}, 0, activeFlag},
      // The controller strip lies left of the screen: the point's halves
      // come unsigned from GetMessagePos and mean negative coordinates.
      {"timer off screen", WM_TIMER, 1, 0, {65231, 720}, 0, nullEvent, self, Point{720, -305}, 0, 0},
  };
  for (const auto& c : kCases) {
    MSG msg = {w, c.message, c.wParam, c.lParam, 1000, c.pt};
    EventRecord e;
    EXPECT_EQ(c.answer, WinEventToMacEvent(&msg, &e)) << c.name;
    EXPECT_EQ(c.what, e.what) << c.name;
    EXPECT_EQ(c.eventMessage, e.message) << c.name;
    if (c.what != keyDown && c.what != keyUp && c.what != autoKey) {
      EXPECT_EQ(c.where.h, e.where.h) << c.name;
      EXPECT_EQ(c.where.v, e.where.v) << c.name;
    }
    EXPECT_EQ(c.set, e.modifiers & c.set) << c.name;
    EXPECT_EQ(0, e.modifiers & c.clear) << c.name;
    EXPECT_EQ(60u, e.when) << c.name << ": ticks of 1/60 s";
  }
  EventRecord e;
  EXPECT_EQ(0, WinEventToMacEvent(nullptr, &e));
}

// Clicks reach the controller through the window's procedure: the bar's
// button plays and pauses through the filter, the slider moves the film,
// and a click on the movie is the filter's action 45.
TEST_F(Playback, TheBarsButtonAndSliderAnswerClicks) {
  ManualClock clock;
  clock.Start();
  MovieController mc = Show(tiny_, R(0, 0, 100, 100), mcTopLeftMovie);
  std::vector<std::string> seen;
  FilterBody body = [&](MovieController, int16_t action, void* params) {
    if (action == mcActionPlay) seen.push_back("play " + std::to_string(intptr_t(params)));
    if (action == mcActionGoToTime) seen.push_back("goto");
    if (action == mcActionMovieClick) seen.push_back(std::string("click ") + (params ? "event" : "none"));
    return false;
  };
  SetFilter(mc, &body);
  // The film is 64 x 48; the bar lies below it, its button at the left.
  Click(8, 56);
  EXPECT_TRUE(IsPlaying(mc));
  Click(8, 56);
  EXPECT_FALSE(IsPlaying(mc));
  // The slider's middle is the film's middle, give or take a thumb.
  Click(42, 56);
  EXPECT_NEAR(300, Now(mc), 60);
  Click(20, 20);
  EXPECT_EQ((std::vector<std::string>{"play 65536", "play 0", "goto", "click event"}), seen);
  // At the end the button plays from the start again.
  GoTo(mc, 600);
  seen.clear();
  Click(8, 56);
  EXPECT_TRUE(IsPlaying(mc));
  EXPECT_EQ(0, Now(mc));
  EXPECT_EQ((std::vector<std::string>{"goto", "play 65536"}), seen);
  clock.Stop();
}

// With or without a sound device, a film with sound plays on time and
// nothing waits for the device; stopping closes what was opened.
TEST_F(Playback, SoundNeverHoldsUpTheFilm) {
  MovieController mc = Show(PlayFilm("clip.mov"), R(0, 0, 24, 32), 11);
  MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(256)));
  Play(mc);
  EXPECT_TRUE(kxtest::PumpUntil([&] { return !IsPlaying(mc); }, 10000));
  EXPECT_EQ(0, Live(kQTStandInSoundOutputs));
  Play(mc, 0);
}

}  // namespace
