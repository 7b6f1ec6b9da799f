// The sprite window's pane: it takes each film's strip, fits the window to
// it at the desktop's bottom-right corner and hands the strip's commands to
// the main video pane with the main film paused.
#include "PanesSupport.h"

using panes::PanesTest;
using panes::WiredAction;

namespace {

class SpritePaneTest : public PanesTest {
 protected:
  void StartSprite() {
    StartFrameworkOnly();
    MakeMainWindow();
    ASSERT_EQ(2, mainPane->OpenFilm(GH_QT_MoviePane::PathToFileSpec(panes::ShippedFilm("sample200.flm")), 1, 1.0, 0));
    spriteWindow = new CP_Window(nullptr, panes::PopupAt(700, int16_t(GetDesktopHeight() - 45), 300, 45),
                                 "Sprite Window", 1);
    sprite = new GH_Sprite_QT_MoviePane(
        spriteWindow, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(300, 45)), nullptr, mainPane);
    sprite->SetIdentifier(CP_FourCC("SPRT"));
    sprite->SetBindings(CP_Bindings{1, 1, 1, 1});
    spriteWindow->Show();
  }
  Rect SpriteBox() const {
    Rect box{};
    GetMovieBox(sprite->GetSpriteMovie(), &box);
    return box;
  }
};

}  // namespace

TEST_F(SpritePaneTest, EachStripFitsTheWindowAtTheBottomRight) {
  StartSprite();
  EXPECT_EQ(nullptr, sprite->GetSpriteController());
  const int16_t right = int16_t(GetDesktopWidth()), bottom = int16_t(GetDesktopHeight());

  // "cs.flm" is 320 x 48: the 300-wide window moves and grows to it.
  sprite->SetSpriteFilm(panes::LoadShipped("cs.flm"), 1);
  ASSERT_NE(nullptr, sprite->GetSpriteController());
  EXPECT_EQ(right - 320, panes::PlaceOf(spriteWindow).x);
  EXPECT_EQ(bottom - 48, panes::PlaceOf(spriteWindow).y);
  EXPECT_EQ(320, spriteWindow->GetWidth());
  EXPECT_EQ(48, spriteWindow->GetHeight());
  EXPECT_EQ(320, sprite->GetWidth()) << "the pane follows its window";
  EXPECT_TRUE(sprite->IsIdling());

  // A strip of the same width leaves the window where it is, and one
  // taller than 48 is shown 48 high.
  spriteWindow->MoveTo(CP_Point(int16_t(10), int16_t(20)), true);
  sprite->SetSpriteFilm(panes::LoadShipped("sample200.flm"), 2);
  EXPECT_EQ(10, panes::PlaceOf(spriteWindow).x);
  EXPECT_EQ(20, panes::PlaceOf(spriteWindow).y);
  const Rect box = SpriteBox();
  EXPECT_EQ(0, box.top);
  EXPECT_EQ(0, box.left);
  EXPECT_EQ(48, box.bottom);
  EXPECT_EQ(320, box.right);

  // Releasing, then setting none, then releasing again disposes each film
  // and controller once.
  sprite->ReleaseSpriteFilm();
  EXPECT_EQ(nullptr, sprite->GetSpriteMovie());
  EXPECT_EQ(nullptr, sprite->GetSpriteController());
  sprite->SetSpriteFilm(panes::LoadShipped("cs.flm"), 1);
  sprite->SetSpriteFilm(nullptr, 1);
  EXPECT_EQ(nullptr, sprite->GetSpriteMovie());
  sprite->ReleaseSpriteFilm();
  EXPECT_EQ(10, panes::PlaceOf(spriteWindow).x) << "the window stays where it is";
}

TEST_F(SpritePaneTest, CommandsPauseTheMainFilmFirst) {
  StartSprite();
  sprite->SetSpriteFilm(panes::LoadShipped("cs.flm"), 1);
  const QTRefCon self = reinterpret_cast<QTRefCon>(sprite);

  // A press on a strip button whose name the main pane finds nothing for:
  // the main film is paused all the same.
  SendMessageA(sprite->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 24));
  SendMessageA(sprite->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(13, 24));
  EXPECT_TRUE(mainPane->IsPaused());
  EXPECT_FALSE(mainPane->IsCloseRequested());

  struct Case {
    const char* name;
    int16_t action;
    uint32_t wiredType;
    bool want;  // handled, the main film paused and the command run
  };
  const Case kCases[] = {
      {"application string", mcActionExecuteOneActionForQTEvent, kActionApplicationNumberAndString, true},
      {"another wired type", mcActionExecuteOneActionForQTEvent, 3080, false},
      {"a click on the film", mcActionMovieClick, kActionApplicationNumberAndString, false},
      {"idle", mcActionIdle, kActionApplicationNumberAndString, false},
  };
  for (const Case& c : kCases) {
    TearDown();
    StartSprite();
    sprite->SetSpriteFilm(panes::LoadShipped("cs.flm"), 1);
    WiredAction action(c.wiredType, "CloseWindow");
    EXPECT_EQ(c.want, bool(GH_Sprite_QT_MoviePane::SpriteActionFilter(sprite->GetSpriteController(), c.action,
                                                                      action.Spec(), reinterpret_cast<QTRefCon>(sprite))))
        << c.name;
    EXPECT_EQ(c.want, mainPane->IsPaused()) << c.name;
    EXPECT_EQ(c.want, mainPane->IsCloseRequested()) << c.name;
    EXPECT_TRUE(sprite->IsIdling()) << c.name << ": the filter leaves idling alone";
  }

  // A script command runs its command text, not its arguments.
  TearDown();
  StartSprite();
  char command[] = "CloseWindow";
  char arguments[] = "ignored";
  QTDoScriptRecord script{1, command, arguments};
  EXPECT_TRUE(GH_Sprite_QT_MoviePane::SpriteActionFilter(nullptr, mcActionDoScript, &script,
                                                         reinterpret_cast<QTRefCon>(sprite)));
  EXPECT_TRUE(mainPane->IsPaused());
  EXPECT_TRUE(mainPane->IsCloseRequested());
  EXPECT_FALSE(GH_Sprite_QT_MoviePane::SpriteActionFilter(nullptr, mcActionDoScript, &script, 0));
  (void)self;
}

TEST_F(SpritePaneTest, KeysEndTheRunEvenWithoutAStrip) {
  StartSprite();
  EXPECT_EQ(0, SendMessageA(sprite->GetHWND(), WM_KEYDOWN, 'Q', 0));
  kxtest::PumpUntil([&] { return !mainWindow->received.empty(); });
  ASSERT_EQ(1u, mainWindow->received.size());
  EXPECT_EQ(UINT(WM_LBUTTONDOWN), mainWindow->received[0].message);
  EXPECT_EQ(MAKELPARAM(100, 100), mainWindow->received[0].lParam);
  EXPECT_EQ(0, SendMessageA(sprite->GetHWND(), WM_LBUTTONDOWN, 0, 0));
}
