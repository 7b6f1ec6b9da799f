#include "panes/GH_Controller_QT_MoviePane.h"

#include "CP_Callback.h"
#include "CP_MovieEvents.h"
#include "CP_Utilities.h"
#include "CP_Win.h"
#include "CP_Window.h"
#include "document/GH_Globals.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_StripMessages.h"
#include "panes/GH_WiredAction.h"
#include "utility/GH_FilmFolders.h"
#include "utility/GH_Settings.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

bool GH_Controller_QT_MoviePane::sDismissPending = false;

namespace {

// The maker's home page, opened by the web-link button.
const char* const kMakerWebSite = "www.glintharbour.example";

Rect ToQTRect(const CP_Rect& r) { return Rect{r.top, r.left, r.bottom, r.right}; }

HWND WindowTitled(const char* title) {
  CP_Window* window = FindWindowByTitle(title);
  return window ? window->GetHWND() : nullptr;
}

void OpenWithShell(const std::string& target) {
  ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

std::string LibraryManagerPath() {
  std::string path;
  ReadIniString("Glintharbour", "Path", "none", path, "glintharbour.ini");
  if (path.empty() || path.back() != '\\') path += "\\";
  return path + "Glintharbour KX3.exe";
}

GH_Controller_QT_MoviePane::GH_Controller_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie,
                                                       GH_QT_MoviePane* mainPane)
    : CP_Pane(superPane, info), fMainPane(mainPane) {
  MakeWindow(superPane, info.location, info.size);
  CreatePortAssociation(fWindow, nullptr, 0);
  MacSetPort(GetNativeWindowPort(fWindow));
  fMovie = movie;
  if (!fMovie) return;

  SetMovieGWorld(fMovie, GetNativeWindowPort(fWindow), nullptr);
  const Rect box = ToQTRect(GetOffsetFrameRect());
  SetMovieBox(fMovie, &box);
  fController = NewMovieController(fMovie, &box, mcTopLeftMovie);
  if (fController) {
    MCSetActionFilterWithRefCon(fController, &GH_Controller_QT_MoviePane::ControllerActionFilter,
                                reinterpret_cast<QTRefCon>(this));
    MCMovieChanged(fController, fMovie);
  }
  StartIdleCalls();
}

GH_Controller_QT_MoviePane::~GH_Controller_QT_MoviePane() {
  StopIdleCalls();
  if (fController) DisposeMovieController(fController);
  fController = nullptr;
  if (fMovie) DisposeMovie(fMovie);
  fMovie = nullptr;
  if (fWindow) DestroyPortAssociation(GetNativeWindowPort(fWindow));
}

void GH_Controller_QT_MoviePane::WriteToStream(CP_OutStream& out) { CP_Pane::WriteToStream(out); }

void GH_Controller_QT_MoviePane::ReadFromStream(void*, CP_InStream&) {
  // Made in code, never read back.
}

void GH_Controller_QT_MoviePane::AttachFilmToWindow() {
  if (fMovie) SetMovieGWorld(fMovie, GetNativeWindowPort(fWindow), nullptr);
  StartIdleCalls();
}

void GH_Controller_QT_MoviePane::OpenStrip() {
  if (CP_Window* owner = GetOwnerWindow()) owner->MoveTo(CP_Point(int16_t(0), int16_t(GetDesktopHeight() - kStripHeight)), true);
}

void GH_Controller_QT_MoviePane::CloseStrip() {
  if (CP_Window* owner = GetOwnerWindow())
    owner->MoveTo(CP_Point(kClosedLeft, int16_t(GetDesktopHeight() - kStripHeight)), true);
}

void GH_Controller_QT_MoviePane::PauseMainFilm() { fMainPane->Pause(); }
void GH_Controller_QT_MoviePane::ResumeMainFilm() { fMainPane->Resume(); }
void GH_Controller_QT_MoviePane::SkipForwards() { fMainPane->StopFilm(); }
void GH_Controller_QT_MoviePane::SkipBackwards() { fMainPane->PreviousEntry(); }

Boolean GH_Controller_QT_MoviePane::ControllerActionFilter(MovieController, int16_t action, void* params,
                                                           QTRefCon refCon) {
  auto* pane = reinterpret_cast<GH_Controller_QT_MoviePane*>(refCon);
  if (!pane) return false;
  // The filter runs inside the movie toolbox: nothing may be thrown back
  // through it.
  return CP_GuardCallback<Boolean>(false, [&] { return pane->HandleFilterAction(action, params); });
}

Boolean GH_Controller_QT_MoviePane::HandleFilterAction(int16_t action, void* params) {
  StopIdleCalls();
  const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
  uint32_t type = 0;
  if (action != mcActionExecuteOneActionForQTEvent || !ReadWiredActionType(spec, type) ||
      type != uint32_t(kActionApplicationNumberAndString)) {
    StartIdleCalls();
    return false;
  }
  const std::string name = ToLengthPrefixed(ReadWiredActionString(spec));
  // Idle calls stay stopped; the buttons that go on with the strip start
  // them again.
  DispatchSpriteClick(reinterpret_cast<const uint8_t*>(name.data()));
  return true;
}

void GH_Controller_QT_MoviePane::DispatchSpriteClick(const uint8_t* name) {
  char text[255] = {};
  if (name) {
    const size_t length = std::min<size_t>(name[0], sizeof text - 1);
    std::memcpy(text, name + 1, length);
  }
  auto is = [&](const char* button) { return CompareTextNoCase(text, button) == 0; };

  if (is("SPRITE_PlayPause")) {
    if (!fMainPane->IsPaused())
      PauseMainFilm();
    else
      ResumeMainFilm();
  } else {
    PauseMainFilm();
  }

  if (is("Sprite_LaunchFaq")) {
    std::string folder;
    ReadIniString("Glintharbour", "Path", "", folder, "glintharbour.ini");
    RunActionText("playQT(File=\"" + folder + "\\default.flm\",Track=\"2\",AutoPlay=\"1\",FullScreen=\"0\")");
  } else if (is("SPRITE_Rewind")) {
    fMainPane->RewindFilm();
    ResumeMainFilm();
  } else if (is("SPRITE_SkipForwards")) {
    SkipForwards();
  } else if (is("SPRITE_SkipBackwards")) {
    SkipBackwards();
  } else if (is("SPRITE_OpenCloseStrip")) {
    // The strip itself moves by the handle's click.
    ResumeMainFilm();
    return;
  } else if (is("Hide")) {
    CloseStrip();
    ResumeMainFilm();
  } else if (is("SPRITE_StopVideo")) {
    fMainPane->SetChangingFilm(true);
    sDismissPending = true;
    return;
  } else if (is("SPRITE_WebLink")) {
    fMainPane->SetChangingFilm(true);
    OpenWithShell(kMakerWebSite);
    sDismissPending = true;
    return;
  } else if (is("SPRITE_LaunchPlayer")) {
    fMainPane->SetChangingFilm(true);
    OpenWithShell(LibraryManagerPath());
    sDismissPending = true;
    return;
  } else if (is("Sprite_Install")) {
    Install();
    return;
  }
  AttachFilmToWindow();
}

void GH_Controller_QT_MoviePane::Install() {
  if (fMainPane->GetOpenCount() <= 1) {
    // Only the title film has played: nothing to install yet.
    ResumeMainFilm();
    AttachFilmToWindow();
    return;
  }
  HWND controllerWindow = WindowTitled("Controller Window");
  if (controllerWindow) EnableWindow(controllerWindow, FALSE);

  auto giveBackTheStrip = [&] {
    if (!controllerWindow) return;
    EnableWindow(controllerWindow, TRUE);
    AttachFilmToWindow();
  };
  auto spriteWindowToFront = [] {
    if (CP_Window* sprite = FindWindowByTitle("Sprite Window")) sprite->BringToFront();
  };

  const PlaylistEntry* current = fMainPane->GetCurrentEntry();
  if (current && IsItemInPlaylist(AllItems, current->itemText, FilmsFolderName)) {
    MessageBoxA(fMainPane->GetHWND(), "This movie is already installed", "Glintharbour KX3", MB_OK);
    ResumeMainFilm();
    if (controllerWindow) {
      giveBackTheStrip();
      spriteWindowToFront();
    }
    return;
  }

  fMainPane->SetChangingFilm(true);
  const int32_t installed = fMainPane->InstallCurrentFilm();
  // Left set, the flag would keep the play list from moving on at the
  // film's end and swallow the next click on the main pane.
  fMainPane->SetChangingFilm(false);
  if (installed == 0) {
    if (HWND manager = FindWindowA(nullptr, "Glintharbour Player")) {
      if (IsIconic(manager)) ShowWindow(manager, SW_RESTORE);
      SetFocus(manager);
      BringWindowToTop(manager);
      SendMessageA(manager, 0x40A, 0, 0);
    } else {
      OpenWithShell(LibraryManagerPath());
    }
    // The run ends; the strip stays disabled.
    sDismissPending = true;
    return;
  }
  // The installation has told the user what went wrong.
  ResumeMainFilm();
  spriteWindowToFront();
  giveBackTheStrip();
}

void GH_Controller_QT_MoviePane::SendDismissClick(HWND window, UINT message) {
  // Messages of the window's own end must not ask again: the main video
  // window's click closes this window, and a second close from inside the
  // first would delete it twice.
  static bool sending = false;
  if (sending || message == WM_DESTROY || message == WM_NCDESTROY) return;
  HWND main = WindowTitled("MainVideoWindow");
  if (!main) return;
  sending = true;
  SendMessageA(main, WM_LBUTTONDOWN, 100, 100);
  sending = false;
  (void)window;
}

LRESULT GH_Controller_QT_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (fController) {
    OfferMessageToController(fController, window, message, wParam, lParam);
    // A button may have ended the run and closed this window.
    if (!IsWindow(window)) return 0;
  }
  if (sDismissPending) {
    SendDismissClick(window, message);
    // The click may have closed this window and deleted the pane: nothing
    // of it is touched then.
    if (!IsWindow(window)) return 0;
  }

  switch (message) {
    case WM_LBUTTONDOWN:
      return 1;
    case WM_LBUTTONUP: {
      const int32_t x = LOWORD(lParam);
      if (x > GetWidth() - kHandleWidth) {
        // The window's place on the screen: the framework learns it only
        // from the first move, and the strip starts where it was made.
        CP_Window* owner = GetOwnerWindow();
        RECT place{};
        if (owner) GetWindowRect(owner->GetHWND(), &place);
        if (owner && place.left < 0)
          OpenStrip();
        else
          CloseStrip();
        ResumeMainFilm();
      }
      return 1;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (HWND main = WindowTitled("MainVideoWindow")) PostMessageA(main, WM_LBUTTONDOWN, 0, 0);
      return 0;
    default:
      return AnswerStripMessage(*this, window, message, wParam, lParam);
  }
}
