#include "panes/GH_Sprite_QT_MoviePane.h"

#include "CP_Callback.h"
#include "CP_MovieEvents.h"
#include "CP_Win.h"
#include "CP_Window.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_StripMessages.h"
#include "panes/GH_WiredAction.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

GH_Sprite_QT_MoviePane::GH_Sprite_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie,
                                               GH_QT_MoviePane* mainPane)
    : CP_QT_MoviePane(superPane, info, movie), fMainPane(mainPane) {
  // The base has bound the window to its QuickTime port already.
}

GH_Sprite_QT_MoviePane::~GH_Sprite_QT_MoviePane() {
  StopIdleCalls();
  DisposeSpriteFilm();
}

void GH_Sprite_QT_MoviePane::WriteToStream(CP_OutStream& out) { CP_Pane::WriteToStream(out); }

void GH_Sprite_QT_MoviePane::ReadFromStream(void*, CP_InStream&) {
  // Made in code, never read back.
}

void GH_Sprite_QT_MoviePane::DisposeSpriteFilm() {
  if (fSpriteController) DisposeMovieController(fSpriteController);
  fSpriteController = nullptr;
  if (fSpriteMovie) DisposeMovie(fSpriteMovie);
  fSpriteMovie = nullptr;
}

void GH_Sprite_QT_MoviePane::ReleaseSpriteFilm() { DisposeSpriteFilm(); }

void GH_Sprite_QT_MoviePane::SetSpriteFilm(Movie film, int32_t) {
  DisposeSpriteFilm();
  fSpriteMovie = film;
  if (!film) return;

  SetMovieGWorld(film, GetPort(), nullptr);
  Rect box{};
  GetMovieBox(film, &box);
  box.left = 0;
  box.top = 0;
  box.bottom = kStripHeight;
  const int16_t width = box.right;
  if (CP_Window* owner = GetOwnerWindow()) {
    if (width != owner->GetWidth()) {
      owner->MoveTo(CP_Point(int16_t(GetDesktopWidth() - width), int16_t(GetDesktopHeight() - kStripHeight)), true);
      owner->SetContentSize(CP_Size(width, kStripHeight), true);
    }
  }
  SetMovieBox(film, &box);
  fSpriteController = NewMovieController(film, &box, mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
  if (fSpriteController) {
    MCSetActionFilterWithRefCon(fSpriteController, &GH_Sprite_QT_MoviePane::SpriteActionFilter,
                                reinterpret_cast<QTRefCon>(this));
    MCMovieChanged(fSpriteController, film);
    MCDoAction(fSpriteController, mcActionPlay, reinterpret_cast<void*>(Fixed(0x10000)));
    MCDraw(fSpriteController, GetPort());
  }
  StartIdleCalls();
}

void GH_Sprite_QT_MoviePane::AttachSpriteFilm() {
  if (fSpriteMovie) SetMovieGWorld(fSpriteMovie, GetPort(), nullptr);
  StartIdleCalls();
}

void GH_Sprite_QT_MoviePane::PauseMainFilm() { fMainPane->Pause(); }

void GH_Sprite_QT_MoviePane::RunSpriteCommand(const std::string& name) { fMainPane->RunFilmCommand(name); }

Boolean GH_Sprite_QT_MoviePane::SpriteActionFilter(MovieController, int16_t action, void* params, QTRefCon refCon) {
  auto* pane = reinterpret_cast<GH_Sprite_QT_MoviePane*>(refCon);
  if (!pane) return false;
  return CP_GuardCallback<Boolean>(false, [&] { return pane->HandleFilterAction(action, params); });
}

Boolean GH_Sprite_QT_MoviePane::HandleFilterAction(int16_t action, void* params) {
  if (action == mcActionDoScript) {
    const auto* script = static_cast<const QTDoScriptRecord*>(params);
    PauseMainFilm();
    RunSpriteCommand(script && script->command ? std::string(script->command) : std::string());
    return true;
  }
  if (action == mcActionExecuteOneActionForQTEvent) {
    const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
    uint32_t type = 0;
    if (!ReadWiredActionType(spec, type) || type != uint32_t(kActionApplicationNumberAndString)) return false;
    PauseMainFilm();
    RunSpriteCommand(ReadWiredActionString(spec));
    return true;
  }
  return false;
}

LRESULT GH_Sprite_QT_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (fSpriteController) {
    OfferMessageToController(fSpriteController, window, message, wParam, lParam);
    // A command of the strip may have ended the run and closed this window.
    if (!IsWindow(window)) return 0;
  }
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (CP_Window* main = FindWindowByTitle("MainVideoWindow"))
        PostMessageA(main->GetHWND(), WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100));
      return 0;
    default:
      return AnswerStripMessage(*this, window, message, wParam, lParam);
  }
}
