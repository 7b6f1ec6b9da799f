// The preview pane in a real window on the movie toolbox: films opened,
// placed, played from the bar with real mouse messages, their volume taken
// from and kept in the settings file, the strips and frame drawn.
#include "GH_PREV_QT_MoviePane.h"

#include "CP_Application.h"
#include "CP_Framework.h"
#include "CP_Window.h"
#include "FilmBytes.h"
#include "PlaySupport.h"
#include "ToolboxSupport.h"
#include "WinTestSupport.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using filmtest::Bytes;
using filmtest::Cat;
using filmtest::Text;
using filmtest::U16;
using filmtest::U32;

constexpr char kSection[] = "Glintharbour";
constexpr char kSettingsFile[] = "glintharbour.ini";

// Colours of the tests' background picture (background.bmp).
const COLORREF kTopRows = RGB(255, 0, 255);     // picture rows 0 and 1
const COLORREF kFirstColumns = RGB(255, 0, 0);  // columns 0 to 3
const COLORREF kLeftHalf = RGB(0, 255, 0);      // columns 4 to 399
const COLORREF kRightHalf = RGB(0, 0, 255);     // columns 400 to 795
const COLORREF kLastColumns = RGB(255, 255, 0); // columns 796 to 799
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

std::string Shipped(const std::string& name) { return filmtest::HostPath(SHIPPED_FILMS) + "/" + name; }

// A key set to a text, or removed with null.
void SetSetting(const char* key, const char* value) {
  WritePrivateProfileStringA(kSection, key, value, kSettingsFile);
}

std::string Setting(const char* key) {
  char text[256] = {};
  GetPrivateProfileStringA(kSection, key, "(missing)", text, sizeof text, kSettingsFile);
  return text;
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom && a.right == b.right;
}

std::string Show(const Rect& r) {
  return "{" + std::to_string(r.top) + "," + std::to_string(r.left) + "," + std::to_string(r.bottom) + "," +
         std::to_string(r.right) + "}";
}

Rect MovieBox(const GH_PREV_QT_MoviePane* pane) {
  Rect box = {};
  GetMovieBox(pane->GetMovie(), &box);
  return box;
}

Rect ControllerBounds(const GH_PREV_QT_MoviePane* pane) {
  Rect bounds = {};
  MCGetControllerBoundsRect(pane->GetController(), &bounds);
  return bounds;
}

int16_t ControllerVolume(const GH_PREV_QT_MoviePane* pane) {
  int16_t volume = -999;
  MCDoAction(pane->GetController(), mcActionGetVolume, &volume);
  return volume;
}

// What the screen shows at a point of the pane's window.
COLORREF PixelAt(const GH_PREV_QT_MoviePane* pane, int x, int y) {
  HDC dc = GetWindowDC(pane->GetHWND());
  const COLORREF color = GetPixel(dc, x, y);
  ReleaseDC(pane->GetHWND(), dc);
  return color;
}

// A press and release of the left button at a point of the window, as
// the mouse would send them.
void Click(HWND window, int x, int y) {
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  filmtest::Pump(50);
}

// The lines of the stand-in's trace for the filter's answers to action 64.
std::vector<std::string> WiredFilterAnswers() {
  std::vector<std::string> answers;
  for (const std::string& line : filmtest::TraceLines({"filter "}))
    if (line.find(" 64 -> ") != std::string::npos) answers.push_back(line.substr(line.find("->") + 3));
  return answers;
}

// A framework window with the preview pane filling it, shown on top of
// the other tests' windows in a place of its own, on the toolbox's manual
// clock.
class PreviewTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 240;

  void SetUp() override {
    StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    ASSERT_EQ(0, InitQuickTime());
    clock.Start();
    dir = filmtest::ScratchDir();
    tiny = dir + "/tiny.mov";
    filmtest::WriteFile(tiny, filmtest::TinyFilm());
    SetSetting("Mute", "0");
    SetSetting("Volume", "5");
    app = new CP_Application;
    window = new CP_Window(app, kxtest::Describe(CP_Window::kDialogLike, 400, 170, kWidth, kHeight, WS_POPUP),
                           "preview");
    window->SetOwnsItself(false);
    SetWindowPos(window->GetHWND(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    portsBefore = filmtest::Live(kQTStandInPorts);
    pane = MakePane(kWidth, kHeight);
    window->Show();
    filmtest::Pump(30);
  }

  void TearDown() override {
    DeletePane();
    delete window;
    delete app;
    clock.Stop();
    StopFramework();
  }

  GH_PREV_QT_MoviePane* MakePane(int width, int height) {
    CP_PaneInfo info(CP_Point(int16_t(0), int16_t(0)), CP_Size(int16_t(width), int16_t(height)));
    info.bindings.left = info.bindings.top = info.bindings.right = 1;
    return new GH_PREV_QT_MoviePane(window, info, nullptr);
  }

  // Deletes the pane, then destroys its window, as its view does.
  void DeletePane() {
    if (pane) window->DetachSubPane(pane, false, true);
    pane = nullptr;
  }

  int32_t ShowFilm(const std::string& path) { return pane->ShowFilm(filmtest::SpecFor(path)); }

  // What the library document does to empty the preview.
  int32_t ShowNothing() {
    FSSpec spec;
    const unsigned char empty[1] = {0};
    FSMakeFSSpec(0, 0, empty, &spec);
    return pane->ShowFilm(spec);
  }

  filmtest::ManualClock clock;
  std::string dir;
  std::string tiny;
  CP_Application* app = nullptr;
  CP_Window* window = nullptr;
  GH_PREV_QT_MoviePane* pane = nullptr;
  int32_t portsBefore = 0;
};

// ---------------------------------------------------------------------------
// Opening

TEST_F(PreviewTest, ShowFilmAnswersAndAFailureLeavesNoFilm) {
  const std::string text = dir + "/notes.mov";
  filmtest::WriteFile(text, Text("These are notes, not a film."));
  const std::string cut = dir + "/cut.mov";
  Bytes half = filmtest::TinyFilm();
  half.resize(half.size() / 2);
  filmtest::WriteFile(cut, half);

  struct Case {
    const char* name;
    std::string path;  // empty: the document's empty FSSpec
    int32_t want;
  };
  const Case kCases[] = {
      {"missing file", dir + "/gone.mov", GH_PREV_QT_MoviePane::kCannotOpen},
      {"empty FSSpec", "", GH_PREV_QT_MoviePane::kCannotOpen},
      {"not a film", text, GH_PREV_QT_MoviePane::kNotShowable},
      {"film cut short", cut, GH_PREV_QT_MoviePane::kNotShowable},
      {"a film", tiny, GH_PREV_QT_MoviePane::kShown},
  };
  for (const Case& c : kCases) {
    // Each starts from a film shown, so that a failure has one to lose.
    ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny)) << c.name;
    MovieController controller = pane->GetController();
    ASSERT_NE(nullptr, controller) << c.name;

    const int32_t got = c.path.empty() ? ShowNothing() : ShowFilm(c.path);
    EXPECT_EQ(c.want, got) << c.name;
    const bool shown = c.want == GH_PREV_QT_MoviePane::kShown;
    EXPECT_EQ(shown, pane->GetMovie() != nullptr) << c.name;
    EXPECT_EQ(shown ? 1 : 0, filmtest::Live(kQTStandInMovies)) << c.name;
    // The controller stays for the next film.
    EXPECT_EQ(controller, pane->GetController()) << c.name;
    EXPECT_EQ(1, filmtest::Live(kQTStandInControllers)) << c.name;
  }
}

TEST_F(PreviewTest, ReleasingTheFilmAsTheDocumentDoesKeepsTheControllerHidden) {
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  filmtest::Play(pane->GetController());
  ASSERT_TRUE(filmtest::IsPlaying(pane->GetController()));

  pane->StopMovie();
  EXPECT_FALSE(filmtest::IsPlaying(pane->GetController()));
  EXPECT_EQ(GH_PREV_QT_MoviePane::kCannotOpen, ShowNothing());
  pane->DrawFrame();

  EXPECT_EQ(nullptr, pane->GetMovie());
  EXPECT_EQ(0, filmtest::Live(kQTStandInMovies));
  EXPECT_EQ(1, filmtest::Live(kQTStandInControllers));
  // The kept controller was given no film.
  const std::vector<std::string> given = filmtest::TraceLines({"setmovie"});
  ASSERT_EQ(1u, given.size());
  EXPECT_NE(std::string::npos, given[0].find(" movie0")) << given[0];
}

// ---------------------------------------------------------------------------
// Placing

TEST_F(PreviewTest, FilmSitsCentredAtThePaneHeightLessTheBar) {
  struct Case {
    const char* name;
    std::string film;
    int width, height;  // the pane's
    Rect box;           // the movie box
    Rect bar;           // the controller's bounds
  };
  // Height = pane - 20, width from the film's proportions (truncated),
  // left = half the pane less half the film, 3 below the top; the bar
  // below the film. A film without a picture keeps an empty box, where the
  // bar goes; the bar is as wide as the 4:3 placeholder it shows on.
  const Case kCases[] = {
      {"64 x 48", tiny, 400, 240, {3, 54, 223, 347}, {3, 54, 239, 347}},
      {"64 x 48, lower", tiny, 300, 160, {3, 57, 143, 243}, {3, 57, 159, 243}},
      {"320 x 200", Shipped("sample200.flm"), 400, 240, {3, 24, 223, 376}, {3, 24, 239, 376}},
      {"sound only", Shipped("samplesound.flm"), 400, 240, {223, 40, 223, 40}, {223, 40, 239, 360}},
  };
  for (const Case& c : kCases) {
    DeletePane();
    pane = MakePane(c.width, c.height);
    pane->Show();
    ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(c.film)) << c.name;
    EXPECT_TRUE(SameRect(c.box, MovieBox(pane))) << c.name << ": " << Show(MovieBox(pane));
    EXPECT_TRUE(SameRect(c.bar, ControllerBounds(pane))) << c.name << ": " << Show(ControllerBounds(pane));
  }
}

TEST_F(PreviewTest, ResizingPlacesTheFilmAgainOrKeepsTheHiddenBarAtTheBottom) {
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  pane->ResizeTo(CP_Size(int16_t(300), int16_t(160)));
  EXPECT_TRUE(SameRect(Rect{3, 57, 143, 243}, MovieBox(pane))) << Show(MovieBox(pane));
  EXPECT_TRUE(SameRect(Rect{3, 57, 159, 243}, ControllerBounds(pane))) << Show(ControllerBounds(pane));

  // Without a film the hidden bar's place follows the pane's bottom; its
  // sides stay those of the controller's rectangle, given when it was made
  // for the 400 x 240 pane.
  ShowNothing();
  pane->ResizeTo(CP_Size(int16_t(360), int16_t(200)));
  EXPECT_TRUE(SameRect(Rect{184, 54, 200, 347}, ControllerBounds(pane))) << Show(ControllerBounds(pane));
  // The next film is placed as ever, with its bar attached again.
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  EXPECT_TRUE(SameRect(Rect{3, 60, 183, 300}, MovieBox(pane))) << Show(MovieBox(pane));
  EXPECT_TRUE(SameRect(Rect{3, 60, 199, 300}, ControllerBounds(pane))) << Show(ControllerBounds(pane));
}

// ---------------------------------------------------------------------------
// Playing

TEST_F(PreviewTest, PlayOnThePosterFrameStartsFromTheBeginning) {
  // The tiny film's poster frame is at 300 of 600.
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  MovieController controller = pane->GetController();
  EXPECT_EQ(300, filmtest::Now(controller));

  // The bar's play button is at its left end: the bar is {223,54,239,347}.
  Click(pane->GetHWND(), 62, 231);
  EXPECT_TRUE(filmtest::IsPlaying(controller));
  EXPECT_EQ(0, filmtest::Now(controller));

  // Anywhere else play goes on from where the film stands.
  pane->StopMovie();
  filmtest::GoTo(controller, 450);
  Click(pane->GetHWND(), 62, 231);
  EXPECT_TRUE(filmtest::IsPlaying(controller));
  EXPECT_EQ(450, filmtest::Now(controller));
}

TEST_F(PreviewTest, VolumeAndMuteSettingsWhenAFilmIsShown) {
  struct Case {
    const char* name;
    const char* mute;    // null: missing
    const char* volume;
    int16_t want;        // the controller's volume, 8.8
  };
  const Case kCases[] = {
      {"volume 7", "0", "7", 175},
      {"volume 0 silences", "0", "0", 0},
      {"muted", "1", "7", 0},
      {"mute missing plays silent", nullptr, "7", 0},
      {"volume missing keeps the film's own", "0", nullptr, 256},
  };
  for (const Case& c : kCases) {
    SetSetting("Mute", c.mute);
    SetSetting("Volume", c.volume);
    ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny)) << c.name;
    EXPECT_EQ(c.want, ControllerVolume(pane)) << c.name;
    // Showing a film never changes the stored volume.
    EXPECT_EQ(c.volume ? c.volume : "(missing)", Setting("Volume")) << c.name;
  }
}

TEST_F(PreviewTest, VolumeChosenOnTheControllerIsKeptUnlessMuted) {
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  struct Case {
    const char* mute;
    intptr_t volume;  // 8.8, as the controller gets it
    const char* want;
  };
  const Case kCases[] = {
      {"0", 256, "10"}, {"0", 100, "4"}, {"0", 24, "0"}, {"1", 256, "3"}, {"2", 150, "3"},
  };
  for (const Case& c : kCases) {
    SetSetting("Volume", "3");
    SetSetting("Mute", c.mute);
    MCDoAction(pane->GetController(), mcActionSetVolume, reinterpret_cast<void*>(c.volume));
    EXPECT_EQ(c.want, Setting("Volume")) << "mute " << c.mute << ", volume " << c.volume;
    EXPECT_EQ(int16_t(c.volume), ControllerVolume(pane));
  }

  // The pane's own volume goes through the controller the same way.
  SetSetting("Mute", "0");
  pane->SetVolume(6);
  EXPECT_EQ(6, pane->GetVolume());
  EXPECT_EQ(150, ControllerVolume(pane));
  EXPECT_EQ("6", Setting("Volume"));
}

// ---------------------------------------------------------------------------
// Wired actions

// A QT atom: size, type, ID, reserved, child count, reserved, then the body.
Bytes AtomBytes(const char* type, uint32_t id, uint16_t children, const Bytes& body) {
  return Cat({U32(uint32_t(20 + body.size())), Text(std::string(type, 4)), U32(id), U16(0), U16(children),
              U16(0), U16(0), body});
}

// A container whose root holds one action atom with the given children; the
// action atom lies at offset 32 (10 bytes, the lock count, the root's header).
Bytes ActionContainer(const std::vector<Bytes>& children) {
  Bytes body;
  for (const Bytes& c : children) body = Cat({body, c});
  const Bytes action = AtomBytes("actn", 1, uint16_t(children.size()), body);
  return Cat({Bytes(10, 0), U16(0), AtomBytes("sean", 1, 1, action)});
}

TEST_F(PreviewTest, FilterSwallowsOnlyApplicationActionsReadBigEndian) {
  const Bytes number = AtomBytes("parm", 1, 0, U32(7));
  const Bytes name = AtomBytes("parm", 2, 0, Cat({Bytes{5}, Text("Hello")}));
  struct Case {
    const char* name;
    Bytes container;
    long atom;
    Boolean want;
  };
  const Case kCases[] = {
      {"application action", ActionContainer({AtomBytes("whic", 1, 0, U32(0x2000)), number, name}), 32, 1},
      {"application action without parameters", ActionContainer({AtomBytes("whic", 1, 0, U32(0x2000))}), 32, 1},
      {"type stored little-endian", ActionContainer({AtomBytes("whic", 1, 0, U32(0x00200000)), number, name}), 32, 0},
      {"another action", ActionContainer({AtomBytes("whic", 1, 0, U32(3073)), AtomBytes("parm", 1, 0, U16(2))}), 32, 0},
      {"type shorter than four bytes", ActionContainer({AtomBytes("whic", 1, 0, U16(0x2000))}), 32, 0},
      {"action without children", ActionContainer({}), 32, 0},
      {"atom outside the container", ActionContainer({AtomBytes("whic", 1, 0, U32(0x2000))}), 5000, 0},
  };
  const QTRefCon self = reinterpret_cast<QTRefCon>(pane);
  for (const Case& c : kCases) {
    Handle handle = NewHandle(int32_t(c.container.size()));
    ASSERT_NE(nullptr, handle);
    std::memcpy(*handle, c.container.data(), c.container.size());
    ResolvedQTEventSpec spec = {};
    spec.actionAtom.container = handle;
    spec.actionAtom.atom = c.atom;
    EXPECT_EQ(c.want, GH_PREV_QT_MoviePane::ControllerActionFilter(nullptr, mcActionExecuteOneActionForQTEvent,
                                                                   &spec, self))
        << c.name;
    DisposeHandle(handle);
  }
  EXPECT_EQ(0, GH_PREV_QT_MoviePane::ControllerActionFilter(nullptr, mcActionExecuteOneActionForQTEvent,
                                                            nullptr, self));
}

TEST_F(PreviewTest, ClickOnASpriteButtonOfAFilmRunsItsPictureButNotItsCommand) {
  // The controller strip: 320 x 48 in a pane 80 high becomes 400 x 60 at
  // (0, 3). Its first button lies at (1, 4) to (26, 44) of the strip.
  DeletePane();
  pane = MakePane(400, 80);
  pane->Show();
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(Shipped("cs.flm")));
  ASSERT_TRUE(SameRect(Rect{3, 0, 63, 400}, MovieBox(pane))) << Show(MovieBox(pane));
  filmtest::ClearTrace();

  Click(pane->GetHWND(), 15, 30);
  // The press shows the pressed picture (left to the controller), then
  // sends the button's name (swallowed); the release shows the picture
  // under the mouse.
  const std::vector<std::string> want = {"0", "1", "0", "0"};
  EXPECT_EQ(want, WiredFilterAnswers());
}

// ---------------------------------------------------------------------------
// Lifecycle

TEST_F(PreviewTest, SecondFilmReusesTheControllerAndHidingDisposesOfIt) {
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  MovieController first = pane->GetController();
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(Shipped("sample200.flm")));
  EXPECT_EQ(first, pane->GetController());
  EXPECT_EQ(1, filmtest::Live(kQTStandInControllers));
  EXPECT_EQ(1, filmtest::Live(kQTStandInMovies));

  pane->Hide();
  EXPECT_EQ(nullptr, pane->GetController());
  EXPECT_EQ(nullptr, pane->GetMovie());
  EXPECT_EQ(0, filmtest::Live(kQTStandInControllers));
  EXPECT_EQ(0, filmtest::Live(kQTStandInMovies));

  pane->Show();
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  EXPECT_NE(nullptr, pane->GetController());
  EXPECT_EQ(1, filmtest::Live(kQTStandInControllers));
  EXPECT_TRUE(SameRect(Rect{3, 54, 239, 347}, ControllerBounds(pane))) << Show(ControllerBounds(pane));
}

TEST_F(PreviewTest, ClosingKeepsThePaneHeightAndLetsGoOfEverything) {
  SetSetting("QTPaneHeight", "240");
  DeletePane();
  pane = MakePane(kWidth, 187);
  pane->Show();
  EXPECT_EQ(portsBefore + 1, filmtest::Live(kQTStandInPorts));
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));

  DeletePane();
  EXPECT_EQ("187", Setting("QTPaneHeight"));
  EXPECT_EQ(portsBefore, filmtest::Live(kQTStandInPorts));
  EXPECT_EQ(0, filmtest::Live(kQTStandInControllers));
  EXPECT_EQ(0, filmtest::Live(kQTStandInMovies));
}

// ---------------------------------------------------------------------------
// Drawing

// The pane is 400 x 240. Without a film the placeholder is 320 wide (4:3 of
// 240) from 40 to 360; with the tiny film the movie lies from 54 to 347.
TEST_F(PreviewTest, EmptyPaneShowsTheFramedPlaceholderBetweenPictureStrips) {
  // A real erase of the window draws the pane.
  InvalidateRect(pane->GetHWND(), nullptr, TRUE);
  UpdateWindow(pane->GetHWND());
  filmtest::Pump(30);
  struct Case {
    const char* name;
    int x, y;
    COLORREF want;
  };
  const Case kCases[] = {
      {"placeholder", 200, 120, kBlack},
      {"placeholder's first column", 41, 100, kBlack},
      {"frame top left", 40, 2, kWhite},
      {"frame top right", 360, 2, kWhite},
      {"frame right", 360, 100, kWhite},
      {"frame bottom", 200, 239, kWhite},
      {"frame left", 40, 100, kWhite},
      {"left strip from the picture's top row", 0, 2, kTopRows},
      {"left strip below it", 0, 4, kFirstColumns},
      {"left strip, column 4", 4, 100, kLeftHalf},
      {"left strip's last column", 39, 100, kLeftHalf},
      {"right strip from the picture's right end", 361, 100, kRightHalf},
      {"right strip, picture column 796", 396, 100, kLastColumns},
      {"right strip's top", 399, 3, kTopRows},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, PixelAt(pane, c.x, c.y)) << c.name;
}

TEST_F(PreviewTest, ShownFilmIsFramedInWhiteWithTheStripsBeside) {
  ASSERT_EQ(GH_PREV_QT_MoviePane::kShown, ShowFilm(tiny));
  filmtest::Pump(30);
  struct Case {
    const char* name;
    int x, y;
    COLORREF want;
  };
  const Case kCases[] = {
      {"frame top left", 53, 2, kWhite},
      {"frame top right", 347, 2, kWhite},
      {"frame bottom right", 347, 239, kWhite},
      {"frame bottom left", 53, 239, kWhite},
      {"frame left, beside the bar", 53, 230, kWhite},
      {"left strip", 52, 100, kLeftHalf},
      {"right strip", 348, 100, kRightHalf},
      {"right strip's end", 399, 100, kLastColumns},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, PixelAt(pane, c.x, c.y)) << c.name;

  // Emptied as the document does it, the placeholder comes back.
  pane->StopMovie();
  ShowNothing();
  pane->DrawFrame();
  EXPECT_EQ(kBlack, PixelAt(pane, 200, 120));
  EXPECT_EQ(kWhite, PixelAt(pane, 40, 100));
  // Repainted, the hidden controller draws no bar over the placeholder.
  InvalidateRect(pane->GetHWND(), nullptr, TRUE);
  UpdateWindow(pane->GetHWND());
  filmtest::Pump(30);
  EXPECT_EQ(kBlack, PixelAt(pane, 62, 231));
  EXPECT_EQ(kBlack, PixelAt(pane, 200, 231));
}

}  // namespace
