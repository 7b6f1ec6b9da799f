// Sprite films on a controller: clicks, releases, moves and keys reach the
// sprites under them, and their wired actions reach the controller's
// filter as the panes read them (action 64, then 78 for script commands,
// 45 for a click on no sprite that takes clicks). Under Wine the events
// are real mouse and key messages to a real window; natively the same
// cases run on events made here, under the sanitizers.
#include "MovieReader.h"
#include "PlaySupport.h"
#include "SpriteFilms.h"
#include "SpriteSample.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <functional>
#include <map>
#include <set>

using namespace filmtest;

namespace {

Rect R(int top, int left, int bottom, int right) {
  return Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

uint32_t BigEndian(const char* p) {
  const uint8_t* b = reinterpret_cast<const uint8_t*>(p);
  return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

// What the filter saw of one action, read as the panes read it.
struct Seen {
  int16_t action = 0;
  uint32_t type = 0;   // 64: the first child's data
  uint32_t number = 0; // 64 with 8192: the second child's
  std::string text;    // 64 with 8192: the third child's Pascal string; 78: the command
  std::string arguments;
  QTRefCon refCon = 0;

  bool operator==(const Seen& o) const {
    return action == o.action && type == o.type && number == o.number && text == o.text &&
           arguments == o.arguments;
  }
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "{" << s.action << " " << s.type << " " << s.number << " '" << s.text << "' '" << s.arguments
             << "'}";
}

Seen App(uint32_t number, const std::string& text) { return Seen{64, 8192, number, text, "", 0}; }
Seen Click() { return Seen{mcActionMovieClick, 0, 0, "", "", 0}; }
Seen Wired(uint32_t type) { return Seen{64, type, 0, "", "", 0}; }
Seen Script(const std::string& command, const std::string& arguments) {
  return Seen{mcActionDoScript, 0, 0, command, arguments, 0};
}

struct Recorder {
  std::vector<Seen> seen;
  // Runs after recording; its answer is the filter's.
  std::function<bool(MovieController, int16_t, void*)> then;
};

Seen Read(int16_t action, void* params) {
  Seen s;
  s.action = action;
  if (action == mcActionExecuteOneActionForQTEvent && params) {
    const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
    QTAtomContainer c = spec->actionAtom.container;
    QTAtom first = 0, second = 0, third = 0;
    long size = 0;
    Ptr data = nullptr;
    QTNextChildAnyType(c, spec->actionAtom.atom, 0, &first);
    if (QTGetAtomDataPtr(c, first, &size, &data) == noErr && size >= 4) s.type = BigEndian(data);
    if (s.type == 8192) {
      QTNextChildAnyType(c, spec->actionAtom.atom, first, &second);
      QTNextChildAnyType(c, spec->actionAtom.atom, second, &third);
      if (QTGetAtomDataPtr(c, second, &size, &data) == noErr && size >= 4) s.number = BigEndian(data);
      if (QTGetAtomDataPtr(c, third, &size, &data) == noErr && size >= 1)
        s.text.assign(data + 1, size_t(std::min<long>(uint8_t(data[0]), size - 1)));
    }
    s.refCon = spec->targetRefCon;
  }
  if (action == mcActionDoScript && params) {
    const auto* script = static_cast<const QTDoScriptRecord*>(params);
    s.text = script->command ? script->command : "(null)";
    s.arguments = script->arguments ? script->arguments : "(null)";
  }
  return s;
}

Boolean RecordFilter(MovieController mc, int16_t action, void* params, QTRefCon refCon) {
  auto& r = *reinterpret_cast<Recorder*>(refCon);
  if (action != mcActionIdle && action != mcActionPlay && action != mcActionGoToTime &&
      action != mcActionSetVolume && action != mcActionGetVolume)
    r.seen.push_back(Read(action, params));
  return r.then && r.then(mc, action, params) ? 1 : 0;
}

class Sprites : public ToolboxTest {
 protected:
  void SetUp() override {
    ToolboxTest::SetUp();
    clock_.Start();
  }

  void TearDown() override {
    window_.Offer(nullptr);
    for (MovieController mc : controllers_) DisposeMovieController(mc);
    for (Movie m : movies_) DisposeMovie(m);
    DestroyPortAssociation(GetNativeWindowPort(window_.Handle()));
    clock_.Stop();
    ToolboxTest::TearDown();
  }

  // A film in window_ with the recorder as its filter; rect as the panes
  // give it, with flags 11 the film is scaled to it.
  MovieController Show(const Bytes& film, Rect rect, long flags = mcTopLeftMovie | mcNotVisible) {
    std::string path = dir_ + "/sprites" + std::to_string(movies_.size()) + ".mov";
    WriteFile(path, film);
    Movie m = nullptr;
    EXPECT_EQ(noErr, LoadMovie(path, m)) << path;
    movies_.push_back(m);
    GrafPtr port = CreatePortAssociation(window_.Handle(), nullptr, 0);
    SetMovieGWorld(m, port, nullptr);
    MovieController mc = NewMovieController(m, &rect, flags);
    controllers_.push_back(mc);
    MCSetActionFilterWithRefCon(mc, RecordFilter, reinterpret_cast<QTRefCon>(&recorder_));
    window_.Offer(mc);
    current_ = mc;
    clock_.Advance(10);
    return mc;
  }

  // Mouse and keys: real messages under Wine, events made here natively.
  void Send(uint16_t what, int x, int y) {
#ifdef _WIN32
    HWND w = static_cast<HWND>(window_.Handle());
    LPARAM at = MAKELPARAM(x, y);
    switch (what) {
      case mouseDown: PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at); break;
      case mouseUp: PostMessageA(w, WM_LBUTTONUP, 0, at); break;
      case keyDown: PostMessageA(w, WM_KEYDOWN, 'A', 1); break;
      default: PostMessageA(w, WM_MOUSEMOVE, kTestMove, at); break;
    }
    Pump(30);
#else
    EventRecord e{};
    e.what = what;
    e.message = what == keyDown ? uint32_t('A') : uint32_t(uintptr_t(window_.Handle()));
    e.where = Point{int16_t(y), int16_t(x)};
    e.modifiers = what == mouseDown ? 0 : btnState;
    MCIsPlayerEvent(current_, &e);
#endif
  }
  void Press(int x, int y) { Send(mouseDown, x, y); }
  void Release(int x, int y) { Send(mouseUp, x, y); }
  void ClickAt(int x, int y) {
    Press(x, y);
    Release(x, y);
  }
  void MoveTo(int x, int y) { Send(nullEvent, x, y); }
  void Key() { Send(keyDown, 0, 0); }

  // What the filter saw since the last call.
  std::vector<Seen> Taken() {
    std::vector<Seen> s;
    s.swap(recorder_.seen);
    return s;
  }

  ManualClock clock_;
  PlayWindow window_{40, 40, 660, 120};
  Recorder recorder_;
  MovieController current_ = nullptr;
  std::vector<Movie> movies_;
  std::vector<MovieController> controllers_;
};

// The controller strip: each button sends its name, at the film's own size
// and scaled with the movie box; the handle area beyond the buttons is a
// click on the movie.
TEST_F(Sprites, EachButtonOfTheStripReachesTheFilterByName) {
  const struct {
    const char* name;
    Rect rect;
    long flags;
    double scale;
  } kBoxes[] = {
      {"natural size", R(0, 0, 48, 320), mcTopLeftMovie | mcNotVisible, 1.0},
      {"scaled twice", R(0, 0, 96, 640), mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible, 2.0},
  };
  for (const auto& box : kBoxes) {
    SCOPED_TRACE(box.name);
    Show(StripFilm(), box.rect, box.flags);
    std::vector<Seen> want;
    for (int i = 0; i < 11; ++i) {
      ClickAt(int((26 * i + 13) * box.scale), int(24 * box.scale));
      want.push_back(App(uint32_t(i), kStripButtons[i]));
    }
    EXPECT_EQ(want, Taken());
    // The strip's handle: no sprite there.
    ClickAt(int(310 * box.scale), int(24 * box.scale));
    EXPECT_EQ(std::vector<Seen>{Click()}, Taken());
    window_.Offer(nullptr);
  }
}

// Where the sprites of a film's first sprite sample that handle clicks
// lie: the middle of each one's image box, read with the film core.
std::vector<std::pair<int, int>> ClickableMiddles(const std::string& path) {
  std::vector<std::pair<int, int>> middles;
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  EXPECT_TRUE(qtf::ReadMovieFile(path, movie, facts).Ok()) << path;
  Bytes film = ReadFile(path);
  for (const qtf::TrackModel& t : movie.tracks) {
    uint64_t offset = 0, size = 0;
    if (t.media.type != qtf::Tag("sprt") || !t.media.samples.SampleRange(0, offset, size)) continue;
    if (offset + size > film.size()) continue;
    qtf::SpriteSample sample;
    EXPECT_TRUE(qtf::ReadSpriteSample(film.data() + offset, size_t(size), sample).Ok());
    for (const qtf::SpriteAtom& s : sample.sprites) {
      const qtf::SpriteImage* image = sample.Image(s.properties.imageIndex);
      qtf::VideoFormat vf;
      if (!s.Actions(qtf::kEventMouseClick) || !image || !qtf::ReadVideoFormat(image->description, vf)) continue;
      middles.push_back({(s.properties.matrix.m[6] >> 16) + vf.width / 2, (s.properties.matrix.m[7] >> 16) + vf.height / 2});
    }
  }
  return middles;
}

// The strip the build makes and ships: clicked at the middle of each
// button, it sends each button's name once; its handle, the right 25
// pixels, sends nothing.
TEST_F(Sprites, EveryButtonOfTheShippedStripSendsItsName) {
  const std::string path = HostPath(KX_SHIPPED_FILMS) + "/cs.flm";
  ASSERT_TRUE(Exists(path)) << path;
  std::vector<std::pair<int, int>> middles = ClickableMiddles(path);
  ASSERT_EQ(11u, middles.size());
  Show(ReadFile(path), R(0, 0, 48, 320));
  std::multiset<std::string> names;
  for (const auto& m : middles) {
    ClickAt(m.first, m.second);
    for (const Seen& s : Taken())
      if (s.action == mcActionExecuteOneActionForQTEvent && s.type == 8192) names.insert(s.text);
  }
  EXPECT_EQ(std::multiset<std::string>(std::begin(kStripButtons), std::end(kStripButtons)), names);
  for (int x : {296, 308, 319}) {
    ClickAt(x, 24);
    EXPECT_EQ(std::vector<Seen>{Click()}, Taken()) << x;
  }
}

// Two sprites overlap: the one in front wins; a hidden one is passed over;
// a sprite that takes no clicks holds the click as a click on the movie.
TEST_F(Sprites, TheSpriteInFrontTakesTheClick) {
  auto film = [](int16_t backLayer, int16_t frontLayer, bool frontVisible, bool frontClicks) {
    TestSprite back, front;
    back.id = 1;
    back.x = 0;
    back.layer = backLayer;
    back.events = {Event("clik", {AppAction(1, "back")})};
    front.id = 2;
    front.x = 20;  // overlaps the back one from 20 to 40
    front.layer = frontLayer;
    front.visible = frontVisible;
    if (frontClicks) front.events = {Event("clik", {AppAction(2, "front")})};
    SpriteFilmOptions o;
    o.width = 80;
    o.samples = {KeyFrame({RawImage(40, 20, 0xFF0000)}, {back, front})};
    return SpriteFilm(o);
  };
  const struct {
    const char* name;
    Bytes film;
    int x;
    Seen want;
  } kCases[] = {
      {"the lower layer in front", film(1, 0, true, true), 30, App(2, "front")},
      {"the lower layer in front, stored first", film(0, 1, true, true), 30, App(1, "back")},
      {"equal layers: the later one", film(0, 0, true, true), 30, App(2, "front")},
      {"outside the overlap", film(1, 0, true, true), 10, App(1, "back")},
      {"a hidden sprite is passed over", film(1, 0, false, true), 30, App(1, "back")},
      {"a hidden sprite alone: the movie", film(1, 0, false, true), 50, Click()},
      {"a sprite without clicks holds it", film(1, 0, true, false), 30, Click()},
      {"nothing there", film(1, 0, true, true), 70, Click()},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    Show(c.film, R(0, 0, 48, 80));
    ClickAt(c.x, 10);
    EXPECT_EQ(std::vector<Seen>{c.want}, Taken());
    window_.Offer(nullptr);
  }
}

// Press, release over the sprite or away from it; the move on and off it.
TEST_F(Sprites, ClickEndTriggerEnterAndExitFollowTheMouse) {
  TestSprite s;
  s.x = 10;
  s.events = {Event("clik", {AppAction(1, "down")}), Event("cend", {AppAction(2, "end")}),
              Event("trig", {AppAction(3, "trigger")}), Event("entr", {AppAction(4, "enter")}),
              Event("exit", {AppAction(5, "exit")})};
  SpriteFilmOptions o;
  o.width = 80;
  o.samples = {KeyFrame({RawImage(20, 20, 0x00FF00)}, {s})};
  Show(SpriteFilm(o), R(0, 0, 48, 80));

  ClickAt(15, 5);
  EXPECT_EQ((std::vector<Seen>{App(1, "down"), App(2, "end"), App(3, "trigger")}), Taken());
  Press(15, 5);
  Release(60, 30);
  EXPECT_EQ((std::vector<Seen>{App(1, "down"), App(2, "end")}), Taken()) << "released away: no trigger";
  Release(15, 5);
  EXPECT_TRUE(Taken().empty()) << "a release without a press";

  MoveTo(60, 30);
  MoveTo(12, 12);
  MoveTo(14, 14);
  EXPECT_EQ(std::vector<Seen>{App(4, "enter")}, Taken());
  MoveTo(60, 30);
  EXPECT_EQ(std::vector<Seen>{App(5, "exit")}, Taken());
}

// Our script command: the filter sees it as action 64 first, then as 78
// with its texts; a filter that handles the 64 keeps the 78 from coming.
TEST_F(Sprites, AScriptCommandReachesTheFilterAs78) {
  TestSprite run, bare;
  run.events = {Event("clik", {ScriptAction("playQT(File=\"em.flm\",Track=\"2\")", "from the film")})};
  bare.id = 2;
  bare.x = 30;
  bare.events = {Event("clik", {ScriptAction("CloseWindow")})};
  SpriteFilmOptions o;
  o.width = 80;
  o.samples = {KeyFrame({RawImage(20, 20, 0x0000FF)}, {run, bare})};
  Show(SpriteFilm(o), R(0, 0, 48, 80));

  ClickAt(5, 5);
  EXPECT_EQ((std::vector<Seen>{Wired(kActionScriptCommand),
                               Script("playQT(File=\"em.flm\",Track=\"2\")", "from the film")}),
            Taken());
  ClickAt(35, 5);
  EXPECT_EQ((std::vector<Seen>{Wired(kActionScriptCommand), Script("CloseWindow", "")}), Taken())
      << "no arguments: an empty text";
  recorder_.then = [](MovieController, int16_t action, void*) {
    return action == mcActionExecuteOneActionForQTEvent;
  };
  ClickAt(5, 5);
  EXPECT_EQ(std::vector<Seen>{Wired(kActionScriptCommand)}, Taken());
}

// The actions the controller does itself, one click each.
TEST_F(Sprites, InternalActionsChangeTheSpriteAndTheMovie) {
  // Sprite 1 hides itself; sprite 2 moves itself 40 to the right, then
  // says so; sprite 3 plays, moves and quietens the movie.
  TestSprite hide, move, movie;
  hide.id = 1;
  hide.events = {Event("clik", {SetVisibleAction(false)})};
  move.id = 2;
  move.x = 20;
  move.events = {Event("clik", {TranslateAction(40, 0, true), AppAction(2, "moved")})};
  movie.id = 3;
  movie.x = 100;
  movie.events = {Event("clik", {Action(1025, {U32(0x20000)}), Action(1027, {U32(900)}),
                                 Action(1024, {U16(0x80)})})};
  SpriteFilmOptions o;
  o.width = 160;
  o.samples = {KeyFrame({RawImage(10, 10, 0xFFFFFF)}, {hide, move, movie}), KeyFrame({}, {})};
  MovieController mc = Show(SpriteFilm(o), R(0, 0, 48, 160));

  ClickAt(5, 5);
  EXPECT_EQ(std::vector<Seen>{Wired(3074)}, Taken());
  ClickAt(5, 5);
  EXPECT_EQ(std::vector<Seen>{Click()}, Taken()) << "hidden, it takes no click";

  ClickAt(25, 5);
  EXPECT_EQ((std::vector<Seen>{Wired(3080), App(2, "moved")}), Taken());
  ClickAt(25, 5);
  EXPECT_EQ(std::vector<Seen>{Click()}, Taken()) << "it left this place";
  ClickAt(65, 5);
  EXPECT_EQ((std::vector<Seen>{Wired(3080), App(2, "moved")}), Taken()) << "and took the new one";

  ClickAt(105, 5);
  EXPECT_EQ((std::vector<Seen>{Wired(1025), Wired(1027), Wired(1024)}), Taken());
  EXPECT_TRUE(IsPlaying(mc));
  EXPECT_EQ(900, Now(mc));
  int16_t volume = 0;
  MCDoAction(mc, mcActionGetVolume, &volume);
  EXPECT_EQ(0x80, volume);
  clock_.Advance(100);
  EXPECT_EQ(1020, Now(mc)) << "at twice the rate";
}

// A film's second sample is an override: the sprite it changes changes,
// and its frame-loaded actions run once, when it becomes current.
TEST_F(Sprites, FrameLoadedRunsOncePerSampleAndIdleEveryTurn) {
  TestSprite s;
  s.events = {Event("clik", {AppAction(1, "on")})};
  Bytes key = KeyFrame({RawImage(20, 20, 0)}, {s}, {Event("fram", {AppAction(10, "first")})});
  Bytes over = Container({QTParent(Code("sprt"), 1, {QTLeaf(4, 1, U16(0))}), Event("fram", {AppAction(11, "second")})});
  SpriteFilmOptions o;
  o.width = 40;
  o.samples = {key, over};
  o.keyFrames = {true, false};
  MovieController mc = Show(SpriteFilm(o), R(0, 0, 48, 40));
  EXPECT_EQ(std::vector<Seen>{App(10, "first")}, Taken());
  clock_.Advance(100);
  EXPECT_TRUE(Taken().empty());
  ClickAt(5, 5);
  EXPECT_EQ(std::vector<Seen>{App(1, "on")}, Taken());
  GoTo(mc, 700);
  clock_.Advance(10);
  EXPECT_EQ(std::vector<Seen>{App(11, "second")}, Taken());
  ClickAt(5, 5);
  EXPECT_EQ(std::vector<Seen>{Click()}, Taken()) << "the override hid it";
  GoTo(mc, 0);
  clock_.Advance(10);
  EXPECT_EQ(std::vector<Seen>{App(10, "first")}, Taken());
  ClickAt(5, 5);
  EXPECT_EQ(std::vector<Seen>{App(1, "on")}, Taken()) << "back on the key frame alone";

  // Idle and key handlers.
  TestSprite idle;
  idle.events = {Event("idle", {AppAction(20, "idle")}), Event("key ", {AppAction(21, "key")})};
  o.samples = {KeyFrame({RawImage(20, 20, 0)}, {idle})};
  o.keyFrames = {};
  Show(SpriteFilm(o), R(0, 0, 48, 40));
  EXPECT_EQ(std::vector<Seen>{App(20, "idle")}, Taken());
  clock_.Advance(10);
  clock_.Advance(10);
  EXPECT_EQ((std::vector<Seen>{App(20, "idle"), App(20, "idle")}), Taken());
  Key();
  EXPECT_EQ(std::vector<Seen>{App(21, "key")}, Taken());
}

// A filter may end everything at the first action of an event: the rest
// of that event's actions do not run.
TEST_F(Sprites, AFilterMayDisposeOfItAllInsideAnAction) {
  TestSprite s;
  s.events = {Event("clik", {AppAction(1, "close"), AppAction(2, "never")}), Event("cend", {AppAction(3, "never")})};
  SpriteFilmOptions o;
  o.width = 40;
  o.samples = {KeyFrame({RawImage(20, 20, 0)}, {s})};
  MovieController mc = Show(SpriteFilm(o), R(0, 0, 48, 40));
  Movie movie = movies_.back();
  recorder_.then = [&](MovieController self, int16_t action, void*) {
    if (action != mcActionExecuteOneActionForQTEvent) return false;
    window_.Offer(nullptr);
    DisposeMovieController(self);
    DisposeMovie(movie);
    return true;
  };
  Press(5, 5);
  Release(5, 5);
  EXPECT_EQ(std::vector<Seen>{App(1, "close")}, Taken());
  controllers_.clear();
  movies_.clear();
  EXPECT_EQ(badComponentInstance, MCIdle(mc));
}

// Damaged sprite samples show nothing and take no click; the film still
// opens and plays, and a damaged override leaves its key frame standing.
TEST_F(Sprites, DamagedSamplesAreSkipped) {
  TestSprite s;
  s.events = {Event("clik", {AppAction(1, "alive")})};
  const Bytes good = KeyFrame({RawImage(20, 20, 0xFF00FF)}, {s});
  auto with = [&](size_t offset, uint32_t value) {
    Bytes b = good;
    PutU32(b, offset, value);
    return b;
  };
  const struct {
    const char* name;
    Bytes sample;
    bool keyStands;  // the key frame (good) still shows
  } kCases[] = {
      {"root not 'sean'", with(16, Code("nope")), false},
      {"a child past its parent", with(32, 0x7FFFFFF0), false},
      {"cut short", Bytes(good.begin(), good.end() - 5), false},
      {"nothing at all", Bytes{}, false},
      {"an image description past its atom", with(32 + 20 + 20 + 20 + 20, 0x7FFFFFFF), false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SpriteFilmOptions o;
    o.width = 40;
    o.samples = {c.sample};
    MovieController mc = Show(SpriteFilm(o), R(0, 0, 48, 40));
    ASSERT_NE(nullptr, mc);
    ClickAt(5, 5);
    EXPECT_EQ(std::vector<Seen>{Click()}, Taken());
    EXPECT_EQ(noErr, MCDraw(mc, GetNativeWindowPort(window_.Handle())));
    Play(mc);
    clock_.Advance(200);
    EXPECT_TRUE(IsPlaying(mc));
    window_.Offer(nullptr);

    // The same bytes as an override after a good key frame.
    o.samples = {good, c.sample};
    o.keyFrames = {true, false};
    mc = Show(SpriteFilm(o), R(0, 0, 48, 40));
    GoTo(mc, 900);
    clock_.Advance(10);
    ClickAt(5, 5);
    EXPECT_EQ(std::vector<Seen>{App(1, "alive")}, Taken()) << "the key frame stands";
    window_.Offer(nullptr);
  }
}

// The atom functions over the container the filter gets, and over handles
// and atoms that are not what they claim.
TEST_F(Sprites, AtomFunctionsCheckWhatTheyAreGiven) {
  const Bytes b = Container({QTLeaf(Code("whic"), 1, U32(8192)), QTLeaf(Code("parm"), 1, U32(77)),
                             QTLeaf(Code("parm"), 2, Cat({Bytes{2}, Text("hi")})),
                             QTParent(Code("kids"), 9, {QTLeaf(Code("leaf"), 4, Bytes{})})});
  Handle h = NewHandle(int32_t(b.size()));
  ASSERT_NE(nullptr, h);
  std::copy(b.begin(), b.end(), *h);

  // Walking the root's children in order.
  std::vector<QTAtom> children;
  QTAtom child = 0;
  while (QTNextChildAnyType(h, kParentAtomIsContainer, child, &child) == noErr && child != 0)
    children.push_back(child);
  ASSERT_EQ(4u, children.size());
  EXPECT_EQ(32, children[0]) << "after the container's and the root's headers";
  EXPECT_EQ(4, QTCountChildrenOfType(h, kParentAtomIsContainer, 0));
  EXPECT_EQ(2, QTCountChildrenOfType(h, kParentAtomIsContainer, long(Code("parm"))));
  QTAtomID id = 0;
  EXPECT_EQ(children[2], QTFindChildByIndex(h, kParentAtomIsContainer, long(Code("parm")), 2, &id));
  EXPECT_EQ(2, id);
  EXPECT_EQ(0, QTFindChildByIndex(h, kParentAtomIsContainer, long(Code("parm")), 3, &id));
  EXPECT_EQ(0, QTFindChildByIndex(h, kParentAtomIsContainer, long(Code("parm")), 0, &id));

  long size = 0;
  Ptr data = nullptr;
  ASSERT_EQ(noErr, QTGetAtomDataPtr(h, children[1], &size, &data));
  EXPECT_EQ(4, size);
  EXPECT_EQ(*h + 32 + 24 + 20, data) << "a pointer into the handle's block";
  EXPECT_EQ(77u, BigEndian(data));

  const struct {
    const char* name;
    QTAtom atom;
    Boolean lessOK;
    long room;
    OSErr want;
    long copied;
  } kCopies[] = {
      {"exactly its size", children[2], 0, 3, noErr, 3},
      {"room to spare, allowed", children[2], 1, 8, noErr, 3},
      {"room to spare, not allowed", children[2], 0, 8, paramErr, 0},
      {"too little room", children[2], 1, 2, paramErr, 0},
      {"a parent", children[3], 1, 8, paramErr, 0},
      {"the container", kParentAtomIsContainer, 1, 8, paramErr, 0},
      {"inside a leaf's data", children[0] + 20, 1, 8, paramErr, 0},
      {"past the end", QTAtom(b.size() + 100), 1, 8, paramErr, 0},
  };
  for (const auto& c : kCopies) {
    char out[8] = {};
    long copied = -1;
    EXPECT_EQ(c.want, QTCopyAtomDataToPtr(h, c.atom, c.lessOK, c.room, out, &copied)) << c.name;
    EXPECT_EQ(c.copied, copied) << c.name;
  }
  char text[3] = {};
  long copied = 0;
  QTCopyAtomDataToPtr(h, children[2], 0, 3, text, &copied);
  EXPECT_EQ(std::string("\2hi"), std::string(text, 3));

  QTAtom next = 99;
  EXPECT_EQ(paramErr, QTNextChildAnyType(h, children[0] + 4, 0, &next)) << "no atom starts there";
  EXPECT_EQ(0, next);
  EXPECT_EQ(paramErr, QTNextChildAnyType(h, kParentAtomIsContainer, children[3] + 20, &next))
      << "a grandchild is not the root's child";
  EXPECT_EQ(noErr, QTNextChildAnyType(h, children[0], 0, &next)) << "a leaf has no children";
  EXPECT_EQ(0, next);

  // A damaged container, a handle that is gone, and no handle at all.
  (*h)[16] = 'x';
  EXPECT_NE(noErr, QTGetAtomDataPtr(h, children[1], &size, &data));
  EXPECT_EQ(nullptr, data);
  DisposeHandle(h);
  EXPECT_NE(noErr, QTGetAtomDataPtr(h, children[1], &size, &data));
  EXPECT_NE(noErr, QTNextChildAnyType(nullptr, 0, 0, &next));
  EXPECT_EQ(0, QTCountChildrenOfType(nullptr, 0, 0));
}

}  // namespace
