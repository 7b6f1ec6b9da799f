// The shipped films on the movie toolbox, as the panes use them: each film
// (or the track the engine copies out of it) on a controller, clicked where
// the film's own key frame puts its buttons. Under Wine the clicks are real
// mouse messages to a real window; natively events made here.
#include "MovieReader.h"
#include "PlaySupport.h"
#include "SpriteReading.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <map>

using filmtest::ToolboxTest;

namespace {

std::string Shipped(const std::string& name) { return filmtest::HostPath(SHIPPED_FILMS) + "/" + name; }

Rect R(int top, int left, int bottom, int right) {
  return Rect{int16_t(top), int16_t(left), int16_t(bottom), int16_t(right)};
}

uint32_t BigEndian(const char* p) {
  const uint8_t* b = reinterpret_cast<const uint8_t*>(p);
  return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
}

// What reached the filter, read as the panes read it: action 64 by its
// wired type (and, for 8192, the number and the text), 78 by its command,
// 45 alone.
struct Seen {
  int16_t action = 0;
  uint32_t type = 0;
  uint32_t number = 0;
  std::string text;

  bool operator==(const Seen& o) const {
    return action == o.action && type == o.type && number == o.number && text == o.text;
  }
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << "{" << s.action << " " << s.type << " " << s.number << " '" << s.text << "'}";
}

Seen App(uint32_t number, const std::string& text) { return {mcActionExecuteOneActionForQTEvent, 8192, number, text}; }
Seen Wired(uint32_t type) { return {mcActionExecuteOneActionForQTEvent, type, 0, ""}; }
Seen Script(const std::string& command) { return {mcActionDoScript, 0, 0, command}; }
Seen MovieClick() { return {mcActionMovieClick, 0, 0, ""}; }

Boolean RecordFilter(MovieController, int16_t action, void* params, QTRefCon refCon) {
  auto& seen = *reinterpret_cast<std::vector<Seen>*>(refCon);
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
  } else if (action == mcActionDoScript && params) {
    const auto* script = static_cast<const QTDoScriptRecord*>(params);
    s.text = script->command ? script->command : "(null)";
  } else if (action != mcActionMovieClick) {
    return 0;
  }
  seen.push_back(s);
  return 0;
}

// Where a sprite of a film's key frame lies: its name and its box.
struct Button {
  std::string name;
  int left, top, right, bottom;
  int X() const { return (left + right) / 2; }
  int Y() const { return (top + bottom) / 2; }
};

std::map<std::string, Button> Buttons(const std::string& path, size_t track) {
  std::map<std::string, Button> out;
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  filmcheck::KeyFrame frame;
  std::string why;
  if (!qtf::ReadMovieFile(path, movie, facts).Ok() || track >= movie.tracks.size() ||
      !filmcheck::ReadKeyFrame(filmcheck::SampleBytes(path, movie.tracks[track], 0), frame, why))
    return out;
  for (const filmcheck::SpriteInfo& s : frame.sprites) {
    const filmcheck::ImageInfo& image = frame.images.at(s.image - 1u);
    out[s.name] = {s.name, s.x, s.y, s.x + image.width, s.y + image.height};
  }
  return out;
}

class ShippedFilmsOnToolbox : public ToolboxTest {
 protected:
  void SetUp() override {
    ToolboxTest::SetUp();
    clock_.Start();
#ifdef _WIN32
    SetCursorPos(0, 0);  // the real pointer away from the window: its moves are not ours
#endif
  }

  void TearDown() override {
    window_.Offer(nullptr);
    for (MovieController mc : controllers_) DisposeMovieController(mc);
    for (Movie m : movies_) DisposeMovie(m);
    DestroyPortAssociation(GetNativeWindowPort(window_.Handle()));
    clock_.Stop();
    ToolboxTest::TearDown();
  }

  // A film on a controller in the window, as a pane shows it.
  void Show(Movie m, Rect box, long flags) {
    movies_.push_back(m);
    SetMovieGWorld(m, CreatePortAssociation(window_.Handle(), nullptr, 0), nullptr);
    current_ = NewMovieController(m, &box, flags);
    ASSERT_NE(nullptr, current_);
    controllers_.push_back(current_);
    MCSetActionFilterWithRefCon(current_, RecordFilter, reinterpret_cast<QTRefCon>(&seen_));
    window_.Offer(current_);
    MCDraw(current_, GetNativeWindowPort(window_.Handle()));
    clock_.Advance(10);
  }

  Movie Load(const std::string& path) {
    Movie m = nullptr;
    EXPECT_EQ(noErr, filmtest::LoadMovie(path, m)) << path;
    return m;
  }

  // One track of a film as the engine plays it: copied into a film of its own.
  Movie Track(const std::string& film, int32_t track) {
    Movie source = Load(Shipped(film));
    const std::string copy = dir_ + "/" + std::to_string(track) + ".mov";
    EXPECT_EQ(noErr, filmtest::WriteTrackMovieFile(track, source, copy));
    DisposeMovie(source);
    return Load(copy);
  }

  void Send(bool down, int x, int y) {
#ifdef _WIN32
    PostMessageA(static_cast<HWND>(window_.Handle()), down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0,
                 MAKELPARAM(x, y));
    filmtest::Pump(30);
#else
    EventRecord e{};
    e.what = down ? mouseDown : mouseUp;
    e.message = uint32_t(uintptr_t(window_.Handle()));
    e.where = Point{int16_t(y), int16_t(x)};
    e.modifiers = down ? 0 : btnState;
    MCIsPlayerEvent(current_, &e);
#endif
  }
  void ClickAt(int x, int y) {
    Send(true, x, y);
    Send(false, x, y);
  }
  void ClickOn(const Button& b) { ClickAt(b.X(), b.Y()); }

  // What reached the program since the last call: the application strings,
  // script commands and clicks on the film, and (with pictures) the
  // sprite's own wired actions of these types.
  std::vector<Seen> Taken(std::initializer_list<uint32_t> wired = {}) {
    std::vector<Seen> out;
    for (const Seen& s : seen_) {
      bool keep = s.action != mcActionExecuteOneActionForQTEvent || s.type == 8192;
      for (uint32_t t : wired) keep = keep || s.type == t;
      if (keep) out.push_back(s);
    }
    seen_.clear();
    return out;
  }

  filmtest::ManualClock clock_;
  filmtest::PlayWindow window_{40, 40, 660, 500};
  std::vector<Seen> seen_;
  MovieController current_ = nullptr;
  std::vector<Movie> movies_;
  std::vector<MovieController> controllers_;
};

// The controller pane's film: its own frame as the box, flags 1.
TEST_F(ShippedFilmsOnToolbox, EachControllerButtonReachesTheFilterByName) {
  const std::vector<std::string> names = {
      "SPRITE_PlayPause",      "SPRITE_Rewind", "SPRITE_SkipForwards", "SPRITE_SkipBackwards",
      "SPRITE_OpenCloseStrip", "Hide",          "Sprite_LaunchFaq",    "SPRITE_StopVideo",
      "SPRITE_WebLink",        "SPRITE_LaunchPlayer", "Sprite_Install"};
  const std::map<std::string, Button> buttons = Buttons(Shipped("cs.flm"), 0);
  Show(Load(Shipped("cs.flm")), R(0, 0, 48, 320), mcTopLeftMovie);
  std::vector<Seen> want;
  for (size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(1u, buttons.count(names[i])) << names[i];
    ClickOn(buttons.at(names[i]));
    want.push_back(App(uint32_t(i + 1), names[i]));
  }
  EXPECT_EQ(want, Taken());
  // The handle's 25 pixels hold no button: the click is the pane's.
  ClickAt(310, 24);
  EXPECT_EQ(std::vector<Seen>{MovieClick()}, Taken());
}

// The sprite pane's film: the strip copied out of the default film, its
// box forced to 48 pixels, flags 11.
TEST_F(ShippedFilmsOnToolbox, TheDefaultFilmsStripSendsNamesAndScriptCommands) {
  const std::map<std::string, Button> buttons = Buttons(Shipped("default.flm"), 2);
  Show(Track("default.flm", 3), R(0, 0, 48, 300), mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
  for (const char* name : {"ShowHelp", "VisitWebSite", "CloseWindow", "Lamp"}) ASSERT_EQ(1u, buttons.count(name));
  ClickOn(buttons.at("ShowHelp"));
  ClickOn(buttons.at("VisitWebSite"));
  ClickOn(buttons.at("CloseWindow"));
  ClickOn(buttons.at("Lamp"));
  EXPECT_EQ((std::vector<Seen>{App(1, "ShowHelp"), Script("VisitWebSite"), App(3, "CloseWindow"), MovieClick()}),
            Taken());
}

// The EM pane's film: a page of the list film copied out, full screen. Its
// slides hide themselves one by one on clicks; the last one takes none.
TEST_F(ShippedFilmsOnToolbox, AListFilmPageRunsItsOwnActionsAndSendsItsCommands) {
  const std::map<std::string, Button> buttons = Buttons(Shipped("em.flm"), 1);
  Show(Track("em.flm", 2), R(0, 0, 480, 640), mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
  ASSERT_EQ(1u, buttons.count("Slide1"));
  const Button slide = buttons.at("Slide1");
  ClickOn(slide);
  ClickOn(slide);
  ClickOn(slide);
  EXPECT_EQ((std::vector<Seen>{Wired(3074), Wired(3074), MovieClick()}), Taken({3074}));
  ClickOn(buttons.at("ShowCredits"));
  ClickOn(buttons.at("CloseWindow"));
  EXPECT_EQ((std::vector<Seen>{App(1, "ShowCredits"), App(2, "CloseWindow")}), Taken());
}

TEST_F(ShippedFilmsOnToolbox, TheListFilmsMenuSendsExitAndAScriptCommand) {
  const std::map<std::string, Button> buttons = Buttons(Shipped("em.flm"), 0);
  Show(Track("em.flm", 1), R(0, 0, 480, 640), mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
  for (const char* name : {"ShowGallery", "ShowCredits", "CloseWindow", "Exit"}) ASSERT_EQ(1u, buttons.count(name));
  ClickOn(buttons.at("ShowGallery"));
  ClickOn(buttons.at("ShowCredits"));
  ClickOn(buttons.at("Exit"));
  EXPECT_EQ((std::vector<Seen>{App(1, "ShowGallery"), Script("ShowCredits"), App(4, "Exit")}), Taken());
}

#ifdef _WIN32
COLORREF PixelAt(void* window, int x, int y) {
  HWND w = static_cast<HWND>(window);
  HDC dc = GetDC(w);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

// A button's face: plain, sunk while pressed, lit after the release over it.
TEST_F(ShippedFilmsOnToolbox, AControllerButtonShowsItsPressedAndLitPictures) {
  const Button b = Buttons(Shipped("cs.flm"), 0).at("SPRITE_StopVideo");
  Show(Load(Shipped("cs.flm")), R(0, 0, 48, 320), mcTopLeftMovie);
  auto face = [&] {
    MCIdle(current_);
    filmtest::Pump(30);
    return PixelAt(window_.Handle(), b.left + 3, b.top + 6);  // inside the border, off the glyph
  };
  EXPECT_EQ(RGB(44, 58, 82), face());
  Send(true, b.X(), b.Y());
  EXPECT_EQ(RGB(26, 34, 50), face());
  Send(false, b.X(), b.Y());
  EXPECT_EQ(RGB(62, 84, 116), face());
}
#endif

}  // namespace
