// Movie controllers on the manual clock: playing to the end, rewinding,
// rates, teardown, and filters that dispose, re-enter and re-target. The
// same cases run natively under the sanitizers and under Wine with real
// windows.
#include "PlaySupport.h"

#include <functional>
#include <map>
#include <regex>

using namespace filmtest;

namespace {

// "movieN" of the movie opened last, "mcN" of the controller made last.
std::string LastName(const char* prefix, const char* name) {
  std::vector<std::string> lines = TraceLines({prefix});
  if (lines.empty()) return "?";
  std::smatch m;
  std::string line = lines.back();
  std::regex_search(line, m, std::regex(std::string(name) + "[0-9]+"));
  return m.str();
}

Rect R(int top, int left, int bottom, int right) {
  return Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::string Text(const Rect& r) {
  return std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
         std::to_string(r.right);
}

// A filter that runs a test's lambda.
using FilterBody = std::function<bool(MovieController, int16_t, void*)>;
Boolean RunBody(MovieController mc, int16_t action, void* params, QTRefCon refCon) {
  return (*reinterpret_cast<FilterBody*>(refCon))(mc, action, params) ? 1 : 0;
}
void SetFilter(MovieController mc, FilterBody* body) {
  MCSetActionFilterWithRefCon(mc, RunBody, reinterpret_cast<QTRefCon>(body));
}

class Controllers : public ToolboxTest {
 protected:
  void SetUp() override {
    ToolboxTest::SetUp();
    clock_.Start();
    tiny_ = dir_ + "/tiny.mov";
    WriteFile(tiny_, TinyFilm());
    for (QTStandInCount what : {kQTStandInMovies, kQTStandInControllers, kQTStandInPorts})
      before_[what] = Live(what);
  }

  // How many more are live than when the test began.
  int32_t Added(QTStandInCount what) { return Live(what) - before_[what]; }

  void TearDown() override {
    DestroyPortAssociation(GetNativeWindowPort(window_.Handle()));
    clock_.Stop();
    ToolboxTest::TearDown();
  }

  Movie Open(const std::string& path) {
    Movie m = nullptr;
    EXPECT_EQ(noErr, LoadMovie(path, m)) << path;
    return m;
  }

  // The tiny film (64 x 48, one second of 600 units) with a controller in
  // window_, as the engine's panes make one.
  MovieController Start(Movie& movie, long flags = mcTopLeftMovie | mcNotVisible) {
    movie = Open(tiny_);
    port_ = CreatePortAssociation(window_.Handle(), nullptr, 0);
    SetMovieGWorld(movie, port_, nullptr);
    Rect r = R(0, 0, 48, 64);
    MovieController mc = NewMovieController(movie, &r, flags);
    window_.Offer(mc);
    return mc;
  }

  int StepsToEnd(MovieController mc, int ms) {
    int steps = 0;
    while (IsPlaying(mc) && steps < 1000) {
      clock_.Advance(ms);
      ++steps;
    }
    return steps;
  }

  ManualClock clock_;
  PlayWindow window_;
  GrafPtr port_ = nullptr;
  std::string tiny_;
  std::map<QTStandInCount, int32_t> before_;
};

TEST_F(Controllers, PortsAreOnePerWindowAndEndOnce) {
  PlayWindow other;
  GrafPtr a = CreatePortAssociation(window_.Handle(), nullptr, 0);
  ASSERT_NE(nullptr, a);
  // The panes associate the same window twice and end it once.
  EXPECT_EQ(a, CreatePortAssociation(window_.Handle(), nullptr, 0));
  EXPECT_EQ(a, GetNativeWindowPort(window_.Handle()));
  GrafPtr b = CreatePortAssociation(other.Handle(), nullptr, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(2, Added(kQTStandInPorts));
  EXPECT_EQ(nullptr, CreatePortAssociation(nullptr, nullptr, 0));
  EXPECT_EQ(nullptr, GetNativeWindowPort(nullptr));

  DestroyPortAssociation(a);
  DestroyPortAssociation(a);
  DestroyPortAssociation(nullptr);
  EXPECT_EQ(nullptr, GetNativeWindowPort(window_.Handle()));
  EXPECT_EQ(b, GetNativeWindowPort(other.Handle()));
  EXPECT_EQ(1, Added(kQTStandInPorts));
  other.Destroy();
  // A window that is gone gets no port.
  EXPECT_EQ(nullptr, CreatePortAssociation(other.Handle(), nullptr, 0));
  DestroyPortAssociation(b);
  EXPECT_EQ(0, Added(kQTStandInPorts));
}

TEST_F(Controllers, TheEndOfAFilmClearsThePlayingFlag) {
  Movie movie = nullptr;
  MovieController mc = Start(movie);
  ASSERT_NE(nullptr, mc);
  EXPECT_FALSE(IsPlaying(mc));
  Play(mc);
  EXPECT_TRUE(IsPlaying(mc));
  for (int i = 1; i < 10; ++i) {
    clock_.Advance(100);
    EXPECT_TRUE(IsPlaying(mc)) << i;
    EXPECT_EQ(60 * i, Now(mc));
  }
  clock_.Advance(100);
  EXPECT_FALSE(IsPlaying(mc));
  EXPECT_EQ(600, Now(mc));
  clock_.Advance(1000);
  EXPECT_EQ(600, Now(mc)) << "a stopped film stays where it ended";
  std::string name = LastName("open ", "movie");
  EXPECT_EQ((std::vector<std::string>{"rate " + name + " 65536", "rate " + name + " 0 end"}),
            TraceLines({"rate "}));

  // Rewinding and playing again starts it over, and it ends again.
  GoTo(mc, 0);
  EXPECT_FALSE(IsPlaying(mc));
  Play(mc);
  clock_.Advance(100);
  EXPECT_TRUE(IsPlaying(mc));
  EXPECT_EQ(60, Now(mc));
  EXPECT_EQ(9, StepsToEnd(mc, 100));
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

TEST_F(Controllers, HalfTheRateTakesTwiceAsLong) {
  Movie movie = nullptr;
  MovieController mc = Start(movie);
  Play(mc, 0x10000);
  EXPECT_EQ(10, StepsToEnd(mc, 100));
  GoTo(mc, 0);
  Play(mc, 0x8000);
  EXPECT_EQ(20, StepsToEnd(mc, 100));
  // Going to a time keeps the rate.
  GoTo(mc, 0);
  Play(mc, 0x20000);
  GoTo(mc, 300);
  EXPECT_TRUE(IsPlaying(mc));
  EXPECT_EQ(3, StepsToEnd(mc, 100));
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

TEST_F(Controllers, GoingToATimeConvertsItsScaleAndStaysInsideTheFilm) {
  Movie movie = nullptr;
  MovieController mc = Start(movie);
  const struct {
    TimeValue value;
    TimeScale scale;
    TimeValue want;
  } kCases[] = {
      {300, 0, 300},     // scale 0: the movie's own
      {1, 2, 300},       // half a second
      {250, 1000, 150},  // a quarter of a second in milliseconds
      {5, 1, 600},       // past the end: the end
      {0, 0, 0},
  };
  for (const auto& c : kCases) {
    GoTo(mc, c.value, c.scale);
    EXPECT_EQ(c.want, Now(mc)) << c.value << "/" << c.scale;
  }
  TimeScale scale = 0;
  MCGetCurrentTime(mc, &scale);
  EXPECT_EQ(600, scale);
  EXPECT_EQ(paramErr, MCDoAction(mc, mcActionGoToTime, nullptr));
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

// The order the panes tear down in, and others: nothing may stay behind.
TEST_F(Controllers, EveryTeardownOrderLeavesNothingBehind) {
  enum Step { Silence, Stop, Controller, TheMovie, Port };
  const struct {
    const char* name;
    std::vector<Step> steps;
  } kCases[] = {
      {"the panes' order", {Silence, Stop, Controller, TheMovie, Port}},
      {"movie first", {TheMovie, Controller, Port}},
      {"port first", {Port, Controller, TheMovie}},
      {"port, movie, controller", {Port, TheMovie, Controller}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ClearTrace();
    Movie movie = nullptr;
    MovieController mc = Start(movie);
    Play(mc);
    clock_.Advance(100);
    std::string m = LastName("open ", "movie"), controller = LastName("new ", "mc"),
                port = LastName("port", "port");
    ClearTrace();
    for (Step s : c.steps) {
      switch (s) {
        case Silence: MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(0))); break;
        case Stop: Play(mc, 0); break;
        case Controller: DisposeMovieController(mc); break;
        case TheMovie: DisposeMovie(movie); break;
        case Port: DestroyPortAssociation(port_); break;
      }
      clock_.Advance(100);
    }
    EXPECT_EQ(0, Added(kQTStandInMovies));
    EXPECT_EQ(0, Added(kQTStandInControllers));
    EXPECT_EQ(0, Added(kQTStandInPorts));
    EXPECT_EQ(0, Live(kQTStandInTimers));
    EXPECT_EQ(0, Live(kQTStandInSoundOutputs));
    // What is gone answers as gone.
    EXPECT_EQ(badComponentInstance, MCDoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(0x10000))));
    EXPECT_FALSE(IsPlaying(mc));
    DisposeMovieController(mc);
    DisposeMovie(movie);
    DestroyPortAssociation(port_);
    if (c.steps[0] == Silence) {
      EXPECT_EQ((std::vector<std::string>{"action " + controller + " volume 0", "volume " + m + " 0",
                                          "action " + controller + " play 0", "rate " + m + " 0",
                                          "dispose " + controller, "dispose " + m, port + " -"}),
                TraceLines({"action ", "volume ", "rate " + m + " 0", "dispose ", port + " -"}));
    }
  }
}

TEST_F(Controllers, AFilterMayDisposeOfItsControllerOrMovieDuringIdle) {
  const struct {
    const char* name;
    bool controller, movie;
  } kCases[] = {
      {"its controller", true, false},
      {"its controller and movie", true, true},
      {"its movie", false, true},
      {"its movie, then its controller", true, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Movie movie = nullptr;
    MovieController mc = Start(movie);
    int calls = 0;
    FilterBody body = [&](MovieController self, int16_t action, void*) {
      if (action != mcActionIdle) return false;
      ++calls;
      bool movieFirst = std::string(c.name).find("then") != std::string::npos;
      if (c.movie && movieFirst) DisposeMovie(movie);
      if (c.controller) DisposeMovieController(self);
      if (c.movie && !movieFirst) DisposeMovie(movie);
      // Calls on what the filter just disposed of answer as gone.
      EXPECT_EQ(c.controller ? badComponentInstance : noErr, MCDoAction(self, mcActionPlay, nullptr));
      return true;
    };
    SetFilter(mc, &body);
    Play(mc);
    clock_.Advance(100);
    EXPECT_EQ(1, calls);
    clock_.Advance(100);
    EXPECT_EQ(c.controller ? 1 : 2, calls) << "a controller that is gone has no idle turns";
    EXPECT_EQ(c.movie ? 0 : 1, Added(kQTStandInMovies));
    EXPECT_EQ(c.controller ? 0 : 1, Added(kQTStandInControllers));
    EXPECT_FALSE(IsPlaying(mc));
    DisposeMovieController(mc);
    DisposeMovie(movie);
    DestroyPortAssociation(port_);
  }
}

// A pane's filter may close its window, whose panes then tear down their
// film, controller and port, all inside the idle turn.
TEST_F(Controllers, AFilterMayDestroyItsWindowAndEverythingInIt) {
  PlayWindow window;
  Movie movie = Open(tiny_);
  GrafPtr port = CreatePortAssociation(window.Handle(), nullptr, 0);
  SetMovieGWorld(movie, port, nullptr);
  Rect r = R(0, 0, 48, 64);
  MovieController mc = NewMovieController(movie, &r, mcTopLeftMovie);
  window.Offer(mc);
  int calls = 0;
  FilterBody body = [&](MovieController self, int16_t action, void*) {
    if (action != mcActionIdle) return false;
    ++calls;
    window.Offer(nullptr);
    window.Destroy();
    MCDoAction(self, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(0)));
    Play(self, 0);
    DisposeMovieController(self);
    DisposeMovie(movie);
    DestroyPortAssociation(port);
    return true;
  };
  SetFilter(mc, &body);
  Play(mc);
  clock_.Advance(100);
  clock_.Advance(100);
  EXPECT_EQ(1, calls);
  EXPECT_EQ(0, Added(kQTStandInMovies));
  EXPECT_EQ(0, Added(kQTStandInControllers));
  EXPECT_EQ(0, Added(kQTStandInPorts));
}

TEST_F(Controllers, AFilterIsNeverEnteredTwice) {
  Movie movie = nullptr;
  MovieController mc = Start(movie);
  int depth = 0, deepest = 0, calls = 0;
  FilterBody body = [&](MovieController self, int16_t action, void*) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    if (action == mcActionIdle) {
      // Inside its own filter, the controller does its own part only.
      Play(self);
      MCIdle(self);
      GoTo(self, 120);
    }
    --depth;
    return false;
  };
  SetFilter(mc, &body);
  clock_.Advance(100);
  EXPECT_EQ(1, calls);
  EXPECT_EQ(1, deepest);
  EXPECT_TRUE(IsPlaying(mc)) << "the nested play got the controller's own handling";
  EXPECT_EQ(120, Now(mc));
  // Outside the filter, every action goes through it first.
  Play(mc, 0);
  EXPECT_EQ(2, calls);
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

TEST_F(Controllers, AnActionTheFilterHandlesSkipsTheControllersOwn) {
  Movie movie = nullptr;
  MovieController mc = Start(movie);
  bool handle = true;
  std::vector<int> seen;
  FilterBody body = [&](MovieController, int16_t action, void*) {
    if (action != mcActionIdle) seen.push_back(action);
    return handle && action != mcActionIdle;
  };
  SetFilter(mc, &body);
  Play(mc);
  MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(100)));
  EXPECT_FALSE(IsPlaying(mc));
  EXPECT_TRUE(TraceLines({"volume "}).empty());
  handle = false;
  Play(mc);
  MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(100)));
  EXPECT_TRUE(IsPlaying(mc));
  int16_t volume = 0;
  MCDoAction(mc, mcActionGetVolume, &volume);
  EXPECT_EQ(100, volume);
  EXPECT_EQ((std::vector<int>{mcActionPlay, mcActionSetVolume, mcActionPlay, mcActionSetVolume, mcActionGetVolume}),
            seen);
  // Removing the filter: the controller does everything itself.
  MCSetActionFilterWithRefCon(mc, nullptr, 0);
  Play(mc, 0);
  EXPECT_FALSE(IsPlaying(mc));
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

// What the main pane does at the end of a film: inside the idle filter it
// moves the controller to the next film and disposes of the old one.
TEST_F(Controllers, AFilterMayGiveItsControllerAnotherMovie) {
  Movie first = nullptr;
  MovieController mc = Start(first);
  Movie current = first;
  int switches = 0;
  FilterBody body = [&](MovieController self, int16_t action, void*) {
    if (action != mcActionIdle || IsPlaying(self) || switches == 2) return false;
    Movie next = Open(tiny_);
    MCSetMovie(self, nullptr, port_, Point{0, 0});
    DisposeMovie(current);
    current = next;
    SetMovieGWorld(next, port_, nullptr);
    MCSetMovie(self, next, port_, Point{0, 0});
    Play(self);
    MCIdle(self);
    ++switches;
    return true;
  };
  SetFilter(mc, &body);
  clock_.Advance(100);
  EXPECT_EQ(1, switches);
  EXPECT_TRUE(IsPlaying(mc));
  EXPECT_EQ(1, Added(kQTStandInMovies));
  // The pass that ends a film gives the filter its turn at once.
  for (int i = 0; i < 10; ++i) clock_.Advance(100);
  EXPECT_EQ(2, switches);
  EXPECT_TRUE(IsPlaying(mc));
  EXPECT_EQ(0, Now(mc)) << "the new movie starts at its beginning";
  EXPECT_EQ(10, StepsToEnd(mc, 100));
  EXPECT_EQ(2, switches);
  EXPECT_EQ(1, Added(kQTStandInMovies));
  // Detached, the controller has nothing to play.
  MCSetMovie(mc, nullptr, port_, Point{0, 0});
  Play(mc);
  EXPECT_FALSE(IsPlaying(mc));
  EXPECT_EQ(0, Now(mc));
  DisposeMovieController(mc);
  DisposeMovie(current);
}

TEST_F(Controllers, CreationFlagsPlaceTheMovie) {
  const struct {
    const char* name;
    long flags;
    Rect rect;
    Rect box;     // the movie box after creation
    Rect bounds;  // the controller's bounds
  } kCases[] = {
      {"preview: top left, scaled, no bar", 11, R(3, 10, 43, 63), R(3, 10, 43, 63), R(3, 10, 43, 63)},
      {"diagnostics: the same with a frame", 27, R(40, 10, 240, 320), R(40, 10, 240, 320), R(40, 10, 240, 320)},
      {"top left with a bar", 1, R(10, 20, 300, 300), R(10, 20, 58, 84), R(10, 20, 74, 84)},
      {"top left, no bar", 9, R(10, 20, 300, 300), R(10, 20, 58, 84), R(10, 20, 58, 84)},
      {"scaled with a bar", 2, R(0, 0, 116, 128), R(0, 0, 100, 128), R(0, 0, 116, 128)},
      {"centred", 8, R(0, 0, 100, 100), R(26, 18, 74, 82), R(26, 18, 74, 82)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Movie movie = Open(tiny_);
    Rect rect = c.rect;
    MovieController mc = NewMovieController(movie, &rect, c.flags);
    ASSERT_NE(nullptr, mc);
    Rect box, bounds;
    GetMovieBox(movie, &box);
    MCGetControllerBoundsRect(mc, &bounds);
    EXPECT_TRUE(SameRect(c.box, box)) << Text(box);
    EXPECT_TRUE(SameRect(c.bounds, bounds)) << Text(bounds);
    DisposeMovieController(mc);
    DisposeMovie(movie);
  }
}

// The preview shows its film with flags 11, then makes the bar visible
// below it; a resize moves the box and the attached bar follows.
TEST_F(Controllers, TheBarFollowsItsMovieUntilDetached) {
  Movie movie = Open(tiny_);
  Rect rect = R(3, 10, 43, 63);
  MovieController mc = NewMovieController(movie, &rect, 11);
  MCSetVisible(mc, 1);
  Rect bounds;
  MCGetControllerBoundsRect(mc, &bounds);
  EXPECT_TRUE(SameRect(R(3, 10, 59, 63), bounds)) << Text(bounds);
  Rect bigger = R(3, 10, 83, 117);
  SetMovieBox(movie, &bigger);
  MCMovieChanged(mc, movie);
  MCGetControllerBoundsRect(mc, &bounds);
  EXPECT_TRUE(SameRect(R(3, 10, 99, 117), bounds)) << Text(bounds);

  // Detached, the bar keeps the rectangle it is given.
  MCSetMovie(mc, nullptr, nullptr, Point{0, 0});
  MCSetControllerAttached(mc, 0);
  Rect bar = R(104, 0, 120, 200);
  MCSetControllerBoundsRect(mc, &bar);
  MCGetControllerBoundsRect(mc, &bounds);
  EXPECT_TRUE(SameRect(bar, bounds)) << Text(bounds);
  MCSetVisible(mc, 0);
  MCGetControllerBoundsRect(mc, &bounds);
  EXPECT_TRUE(SameRect(bar, bounds)) << Text(bounds);
  EXPECT_EQ(noErr, MCDraw(mc, nullptr));
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

TEST_F(Controllers, AControllerNeedsALiveMovie) {
  Rect rect = R(0, 0, 10, 10);
  EXPECT_EQ(nullptr, NewMovieController(nullptr, &rect, 0));
  Movie movie = Open(tiny_);
  EXPECT_EQ(nullptr, NewMovieController(movie, nullptr, 0));
  DisposeMovie(movie);
  EXPECT_EQ(nullptr, NewMovieController(movie, &rect, 0));
  EXPECT_EQ(0, Added(kQTStandInControllers));
  long flags = 1;
  EXPECT_EQ(badComponentInstance, MCGetControllerInfo(nullptr, &flags));
  EXPECT_EQ(0, flags);
  EXPECT_EQ(0, MCIsPlayerEvent(nullptr, nullptr));
}

// Sound without a picture: its box stays empty whatever the controller's
// rectangle, and it still plays to its end.
TEST_F(Controllers, AFilmWithoutAPictureKeepsAnEmptyBox) {
  Movie movie = Open(PlayFilm("tone.mov"));
  ASSERT_NE(nullptr, movie);
  Rect box;
  GetMovieBox(movie, &box);
  EXPECT_TRUE(SameRect(R(0, 0, 0, 0), box)) << Text(box);
  port_ = CreatePortAssociation(window_.Handle(), nullptr, 0);
  SetMovieGWorld(movie, port_, nullptr);
  Rect rect = R(0, 0, 50, 50);
  MovieController mc = NewMovieController(movie, &rect, 11);
  ASSERT_NE(nullptr, mc);
  window_.Offer(mc);
  GetMovieBox(movie, &box);
  EXPECT_EQ(box.left, box.right);
  EXPECT_EQ(box.top, box.bottom);
  EXPECT_EQ(noErr, MCDraw(mc, port_));
  MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(250)));
  Play(mc);
  int steps = StepsToEnd(mc, 100);
  EXPECT_GE(steps, 10);
  EXPECT_LE(steps, 11);
  EXPECT_FALSE(IsPlaying(mc));
  window_.Offer(nullptr);
  DisposeMovieController(mc);
  DisposeMovie(movie);
  DestroyPortAssociation(port_);
}

// The mix follows the movie's volume (0..256; below 0 silent), its enabled
// tracks and its rate. The manual clock mixes each step and traces it.
TEST_F(Controllers, SoundFollowsVolumeRateAndEnabledTracks) {
  Movie movie = Open(PlayFilm("tone.mov"));
  ASSERT_NE(nullptr, movie);
  Rect rect = R(0, 0, 50, 50);
  MovieController mc = NewMovieController(movie, &rect, 11);
  std::string name = LastName("open ", "movie");
  auto peakAfter = [&](int16_t volume, Fixed rate, long& frames) {
    MCDoAction(mc, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(volume)));
    GoTo(mc, 0);
    Play(mc, rate);
    ClearTrace();
    clock_.Advance(100);
    Play(mc, 0);
    std::vector<std::string> lines = TraceLines({"sound " + name});
    frames = -1;
    if (lines.size() != 1) return -1L;
    long peak = -1;
    std::sscanf(lines[0].c_str(), "%*s %*s frames %ld peak %ld", &frames, &peak);
    return peak;
  };
  long frames = 0;
  long full = peakAfter(256, 0x10000, frames);
  EXPECT_GT(full, 3500) << "ffmpeg's sine reaches an eighth of full scale";
  EXPECT_EQ(2205, frames) << "a tenth of a second at 22050 Hz";
  long half = peakAfter(128, 0x10000, frames);
  EXPECT_NEAR(full / 2, half, 2);
  EXPECT_EQ(0, peakAfter(0, 0x10000, frames));
  EXPECT_EQ(0, peakAfter(-25, 0x10000, frames)) << "a missing Volume setting gives -25: silence";
  EXPECT_LE(peakAfter(1000, 0x10000, frames), full) << "no more than full volume";
  peakAfter(256, 0x8000, frames);
  EXPECT_EQ(1103, frames) << "half the rate, half the film's time";
  SetTrackEnabled(GetMovieIndTrack(movie, 1), 0);
  EXPECT_EQ(-1, peakAfter(256, 0x10000, frames)) << "a disabled track is not mixed";
  DisposeMovieController(mc);
  DisposeMovie(movie);
}

}  // namespace
