// Sprites drawn in real windows under Wine, read back pixel by pixel: over
// the film's video by layer, scaled with the movie box, in their graphics
// modes, and changed by a click's wired action.
#include "PlaySupport.h"
#include "SpriteFilms.h"

#include <windows.h>

using namespace filmtest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
                   kYellow = RGB(255, 255, 0), kGray = RGB(128, 128, 128);

COLORREF PixelAt(const PlayWindow& w, int x, int y) {
  HWND window = static_cast<HWND>(w.Handle());
  HDC dc = GetDC(window);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

class SpritePictures : public ToolboxTest {
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

  MovieController Show(const Bytes& film, Rect rect, long flags) {
    std::string path = dir_ + "/pictures" + std::to_string(movies_.size()) + ".mov";
    WriteFile(path, film);
    Movie m = nullptr;
    EXPECT_EQ(noErr, LoadMovie(path, m)) << path;
    movies_.push_back(m);
    SetMovieGWorld(m, CreatePortAssociation(window_.Handle(), nullptr, 0), nullptr);
    MovieController mc = NewMovieController(m, &rect, flags);
    controllers_.push_back(mc);
    window_.Offer(mc);
    MCDraw(mc, GetNativeWindowPort(window_.Handle()));
    return mc;
  }

  void Click(int x, int y) {
    HWND w = static_cast<HWND>(window_.Handle());
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump(30);
  }

  ManualClock clock_;
  PlayWindow window_{40, 40, 200, 120};
  std::vector<Movie> movies_;
  std::vector<MovieController> controllers_;
};

// Over red video: a blue sprite behind a green one, a sprite left out by
// its transparent colour, a hidden one and one blended half and half.
TEST_F(SpritePictures, SpritesLieOverTheVideoByLayerAndScaleWithTheBox) {
  TestSprite blue, green, clear, hidden, half;
  blue.x = 10;
  blue.y = 10;
  blue.layer = 1;
  green.id = 2;
  green.image = 2;
  green.x = 20;
  green.y = 10;
  clear.id = 3;
  clear.image = 3;
  clear.x = 40;
  clear.y = 10;
  clear.mode = 36;
  clear.opColor[0] = 0xFFFF;
  clear.opColor[2] = 0xFFFF;
  hidden.id = 4;
  hidden.image = 2;
  hidden.x = 10;
  hidden.y = 30;
  hidden.visible = false;
  half.id = 5;
  half.image = 4;
  half.x = 40;
  half.y = 30;
  half.mode = 32;
  half.opColor[0] = half.opColor[1] = half.opColor[2] = 0x8000;
  SpriteFilmOptions o;
  o.width = 64;
  o.height = 48;
  o.videoColour = 0xFF0000;
  o.samples = {KeyFrame({RawImage(20, 10, 0x0000FF), RawImage(10, 10, 0x00FF00), RawImage(10, 10, 0xFF00FF),
                         RawImage(10, 10, 0x000000)},
                        {blue, green, clear, hidden, half})};
  const Bytes film = SpriteFilm(o);
  const struct {
    const char* name;
    Rect rect;
    long flags;
    int scale;
  } kBoxes[] = {
      {"natural size", {0, 0, 48, 64}, mcTopLeftMovie | mcNotVisible, 1},
      {"twice the size", {0, 0, 96, 128}, mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible, 2},
  };
  for (const auto& box : kBoxes) {
    SCOPED_TRACE(box.name);
    Show(film, box.rect, box.flags);
    const struct {
      int x, y;
      COLORREF want;
    } kPixels[] = {
        {5, 5, kRed},      // the video alone
        {15, 15, kBlue},   // the back sprite alone
        {25, 15, kGreen},  // the front one over it
        {35, 15, kRed},    // beyond both
        {45, 15, kRed},    // the transparent colour leaves the video
        {15, 35, kRed},    // the hidden sprite
    };
    for (const auto& p : kPixels)
      EXPECT_EQ(p.want, PixelAt(window_, p.x * box.scale, p.y * box.scale)) << p.x << "," << p.y;
    COLORREF mixed = PixelAt(window_, 45 * box.scale, 35 * box.scale);
    EXPECT_NEAR(128, GetRValue(mixed), 2) << "half of red over black";
    EXPECT_EQ(0, GetGValue(mixed));
    window_.Offer(nullptr);
  }
}

// A click sets the button's second image: the window shows it at once.
TEST_F(SpritePictures, ASetImageActionChangesThePicture) {
  TestSprite button;
  button.x = 8;
  button.y = 8;
  button.events = {Event("clik", {SetImageAction(2)})};
  SpriteFilmOptions o;
  o.width = 64;
  o.height = 48;
  o.videoColour = 0x808080;
  o.samples = {KeyFrame({RawImage(16, 16, 0x0000FF), RawImage(16, 16, 0xFFFF00)}, {button})};
  Show(SpriteFilm(o), {0, 0, 96, 128}, mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
  EXPECT_EQ(kBlue, PixelAt(window_, 30, 30));
  EXPECT_EQ(kGray, PixelAt(window_, 60, 60));
  Click(30, 30);
  EXPECT_EQ(kYellow, PixelAt(window_, 30, 30));
  EXPECT_EQ(kGray, PixelAt(window_, 60, 60));
  // And it stays so through the next idle turn.
  clock_.Advance(10);
  EXPECT_EQ(kYellow, PixelAt(window_, 30, 30));
}

}  // namespace
