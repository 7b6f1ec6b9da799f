#include "panes/GH_EM_QT_MoviePane.h"

#include "CP_Callback.h"
#include "CP_Desktop.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"
#include "CP_MovieEvents.h"
#include "CP_Win.h"
#include "CP_Window.h"
#include "actions/MultimediaAction.h"
#include "document/GH_Globals.h"
#include "panes/GH_Controller_QT_MoviePane.h"
#include "panes/GH_QT_Audio_MoviePane.h"
#include "panes/GH_QT_MoviePane.h"
#include "panes/GH_Sprite_QT_MoviePane.h"
#include "panes/GH_WiredAction.h"
#include "store/Exception.h"
#include "store/library/ActionTable.h"
#include "utility/GH_Assert.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

#include <cstring>
#include <memory>

namespace {

bool RunsClose(const std::string& commandText) {
  return commandText == "CloseWindow" || commandText.find("CloseWindow(") != std::string::npos;
}

bool WindowExists(const char* title) { return FindWindowA(nullptr, title) != nullptr; }

void Raise(HWND window) {
  BringWindowToTop(window);
  SetForegroundWindow(window);
  SetFocus(window);
}

// The sprite window comes back only with a film's strip in it: empty, it
// would leave a black band on the screen.
CP_Window* SpriteWindowWithStrip() {
  CP_Window* window = FindWindowByTitle("Sprite Window");
  if (!window) return nullptr;
  auto* strip = dynamic_cast<GH_Sprite_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("SPRT"), false));
  return strip && strip->GetSpriteMovie() ? window : nullptr;
}

}  // namespace

GH_EM_QT_MoviePane::GH_EM_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie, int32_t autoPlay,
                                       int16_t dismissOnClick, int32_t fullScreen, const std::string& tempFile,
                                       int16_t exitOnEnd, int16_t loop, int16_t dismissOnKey)
    : CP_Pane(superPane, info), fExitOnEnd(exitOnEnd), fLoop(loop), fDismissOnKey(dismissOnKey), fTempFile(tempFile) {
  // A frame window in front gives way, its film paused.
  if (CP_Window* frame = FindWindowByTitle("playQTFrame")) {
    frame->Hide();
    if (auto* framePane = dynamic_cast<GH_EM_QT_MoviePane*>(frame->FindSubPaneById(CP_FourCC("FRAM"), false)))
      framePane->Pause();
  }
  CP_Window* mainWindow = FindWindowByTitle("MainVideoWindow");
  fMainPane = mainWindow ? dynamic_cast<GH_QT_MoviePane*>(mainWindow->FindSubPaneById(CP_FourCC("MAIN"), false))
                         : nullptr;
  if (!fMainPane) {
    // Nothing to return to: the film is let go, and the pane stays empty.
    if (movie) DisposeMovie(movie);
    return;
  }
  fScreenHeight = fMainPane->GetFilmHeight();
  fScreenWidth = fMainPane->GetFilmWidth();

  MakeWindow(superPane, info.location, info.size);
  CreatePortAssociation(fWindow, nullptr, 0);
  MacSetPort(GetNativeWindowPort(fWindow));

  fMovie = movie;
  if (fMovie) {
    SetMovieGWorld(fMovie, GetNativeWindowPort(fWindow), nullptr);
    Rect box{};
    GetMovieBox(fMovie, &box);
    box.top = 0;
    box.left = 0;
    SizeBox(box, fullScreen);
    OffsetRect(&box, int16_t(GetWidth() / 2 - box.right / 2), int16_t(GetHeight() / 2 - box.bottom / 2));
    SetMovieBox(fMovie, &box);
    fController = NewMovieController(fMovie, &box, mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
    if (fController) {
      MCSetActionFilterWithRefCon(fController, &GH_EM_QT_MoviePane::FilmActionFilter, reinterpret_cast<QTRefCon>(this));
      MCMovieChanged(fController, fMovie);
      if (autoPlay == 1) MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(0x10000)));
    }
    fDismissOnClick = dismissOnClick;
    StartIdleCalls();
  }

  if (fMainPane->GetPlayMode() == 2) {
    char directory[256] = {};
    const DWORD length = GetCurrentDirectoryA(255, directory);
    FilmRoot = length > 0 && length < 255 ? std::string(directory, length) : std::string();
    if (FilmRoot.empty() || FilmRoot.back() != '\\') FilmRoot += "\\";
    fCDData = std::make_unique<GH_CDData>();
    std::string unused;
    LoadCDDataFile(PathToFileSpec(FilmRoot + "BINFILE.GHC"), unused);
  }
  SetFocus(fWindow);
}

void GH_EM_QT_MoviePane::SizeBox(Rect& box, int32_t fullScreen) {
  if (fullScreen == 1) {
    box.right = GetWidth();
    box.bottom = GetHeight();
  } else if (GetMovieTrackCount(fMovie) > 1) {
    if (fScreenWidth > 0 && fScreenHeight > 0) {
      if (fScreenWidth > GetSystemMetrics(SM_CXSCREEN)) {
        fScreenHeight = int16_t(GetSystemMetrics(SM_CYSCREEN));
        fScreenWidth = int16_t(GetSystemMetrics(SM_CXSCREEN));
      }
      if (box.bottom == 240) {
        box.right = fScreenWidth;
        box.bottom = fScreenHeight;
      } else if (box.right != 0) {
        // A film without width has no shape to keep: it is left as it is.
        const float factor = float(fScreenWidth) / float(box.right);
        box.bottom = int16_t(float(box.bottom) * factor);
        box.right = fScreenWidth;
      }
    } else {
      box.right = int16_t(box.right * 2);
      box.bottom = int16_t(box.bottom * 2);
    }
  }
}

GH_EM_QT_MoviePane::~GH_EM_QT_MoviePane() {
  StopIdleCalls();
  // A destructor lets nothing escape: the screen is handed back as far as
  // it goes, and what the pane owns is released in any case.
  bool lastOverThePlayList = false;
  try {
    lastOverThePlayList = HandBackTheScreen();
  } catch (...) {
  }
  if (fController) DisposeMovieController(fController);
  fController = nullptr;
  if (fMovie) DisposeMovie(fMovie);
  fMovie = nullptr;
  if (fWindow) DestroyPortAssociation(GetNativeWindowPort(fWindow));
  if (!fTempFile.empty()) DeleteFileByPath(fTempFile);

  try {
    // Another EM window in front takes over the screen and the input.
    CP_Window* own = GetOwnerWindow();
    char title[257] = {};
    if (HWND front = GetForegroundWindow()) GetWindowTextA(front, title, 256);
    CP_Window* other = title[0] ? FindWindowByTitle(title) : nullptr;
    if (other && other != own) {
      auto* em = dynamic_cast<GH_EM_QT_MoviePane*>(other->FindSubPaneById(CP_FourCC("EMFL"), false));
      if (em) em->AttachFilmToWindow();
      other->TakeFocus(nullptr);
      other->Refresh();
      other->BringToFront();
      if (em) {
        Raise(other->GetHWND());
        em->TakeFocus(nullptr);
        em->Refresh();
        SetFocus(em->GetHWND());
      }
    }
    if (CP_Window* audio = FindWindowByTitle("BackgroundAudio"))
      if (auto* pane = dynamic_cast<GH_QT_Audio_MoviePane*>(audio->FindSubPaneById(CP_FourCC("AUDI"), false)))
        pane->PreviousMovie();
    if (lastOverThePlayList)
      if (CP_Window* sprite = SpriteWindowWithStrip()) {
        sprite->Show();
        sprite->BringToFront();
      }
  } catch (...) {
  }
}

bool GH_EM_QT_MoviePane::HandBackTheScreen() {
  // Audio windows close one by one; one that refuses ends the walk.
  while (CP_Window* audio = FindWindowByTitle("playQTAudio"))
    if (!audio->TryClose()) break;
  if (HWND frame = FindWindowA(nullptr, "playQTFrame")) SendMessageA(frame, WM_CLOSE, 0, 0);

  if (!fMainPane) return false;
  CP_Window* main = FindWindowByTitle("MainVideoWindow");
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  int32_t count = desktop ? desktop->CountDocumentWindows() : 0;
  if (WindowExists("BackgroundAudio")) --count;
  if (count != 2) return false;

  // This was the last EM window: the main film comes back.
  const bool fileForm = fMainPane->GetPlayMode() == 2;
  fMainPane->StartIdleCalls();
  if (!fileForm) {
    while (CP_Window* audio = FindWindowByTitle("BackgroundAudio"))
      if (!audio->TryClose()) break;
  }
  Raise(fMainPane->GetHWND());
  if (!fileForm) fMainPane->Resume();

  if (!fMainPane->IsLoopingCurrent() && !fileForm) {
    if (CP_Window* controller = FindWindowByTitle("Controller Window")) {
      controller->Show();
      if (auto* strip = dynamic_cast<GH_Controller_QT_MoviePane*>(controller->FindSubPaneById(CP_FourCC("CONT"), false)))
        strip->AttachFilmToWindow();
      controller->BringToFront();
      if (main) SetFocus(main->GetHWND());
    }
    if (CP_Window* sprite = SpriteWindowWithStrip()) {
      sprite->Show();
      sprite->BringToFront();
      Raise(sprite->GetHWND());
      if (main) SetFocus(main->GetHWND());
    }
  }
  if (fileForm) {
    if (CP_Window* owner = fMainPane->GetOwnerWindow()) owner->BringToFront();
  }
  return !fileForm;
}

void GH_EM_QT_MoviePane::WriteToStream(CP_OutStream& out) { CP_Pane::WriteToStream(out); }

void GH_EM_QT_MoviePane::ReadFromStream(void*, CP_InStream&) {
  // Made in code, never read back.
}

void GH_EM_QT_MoviePane::AttachFilmToWindow() {
  if (fMovie && fWindow) SetMovieGWorld(fMovie, GetNativeWindowPort(fWindow), nullptr);
  StartIdleCalls();
}

void GH_EM_QT_MoviePane::Pause() {
  fPaused = true;
  if (fController) MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(0)));
}

void GH_EM_QT_MoviePane::Play() {
  fPaused = false;
  if (fMute != 0 && fController) MCDoAction(fController, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(0)));
  if (fController) MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(fPlayRate * 65536.0)));
}

void GH_EM_QT_MoviePane::SetPlayRate(double rate) {
  fPlayRate = rate;
  Play();
}

void GH_EM_QT_MoviePane::RewindFilm() {
  TimeRecord start{};
  if (fController) MCDoAction(fController, mcActionGoToTime, &start);
}

bool GH_EM_QT_MoviePane::IsFilmPlaying() const {
  if (!fController) return false;
  long flags = 0;
  MCGetControllerInfo(fController, &flags);
  return (flags & mcInfoIsPlaying) != 0;
}

void GH_EM_QT_MoviePane::StopAndClose() {
  if (fController) {
    MCDoAction(fController, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(0)));
    MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(0)));
  }
  // May delete this pane with its window: nothing of it is touched after.
  if (CP_Window* owner = GetOwnerWindow()) owner->TryClose();
}

void GH_EM_QT_MoviePane::HandleMouseDown(CP_Event&, const CP_Point&) {
  if (fDismissOnClick == 1) {
    StopAndClose();
    return;
  }
  if (fExitRequested == 1) {
    // Closing the other windows deletes this pane: only locals from here.
    CP_Window* main = FindWindowByTitle("MainVideoWindow");
    CloseWindowsExceptMainVideo();
    if (main) main->ExecuteCommand(kCmd_Quit);
    return;
  }
  if (fMainPane && fMainPane->GetCloseOthersOnClick() == 1) {
    fMainPane->SetCloseOthersOnClick(0);
    CloseWindowsExceptMainVideo();
  }
}

void GH_EM_QT_MoviePane::ActivateOwn() {
  StartIdleCalls();
  CP_Pane::ActivateOwn();
}

void GH_EM_QT_MoviePane::DeactivateOwn() {
  StopIdleCalls();
  CP_Pane::DeactivateOwn();
}

void GH_EM_QT_MoviePane::ShowOwnWindow() {
  CP_Pane::ShowOwnWindow();
  if (fController) {
    StartIdleCalls();
    MCDraw(fController, GetNativeWindowPort(fWindow));
  }
}

void GH_EM_QT_MoviePane::HideOwnWindow() {
  StopIdleCalls();
  if (fMovie) DisposeMovie(fMovie);
  fMovie = nullptr;
  if (fController) DisposeMovieController(fController);
  fController = nullptr;
  CP_Pane::HideOwnWindow();
}

void GH_EM_QT_MoviePane::DrawContent(const CP_Region&) {
  if (!fController) return;
  if (!fWindow) {
    ReportAssertion("GH_EM_QT_MoviePane", 628, "fWindow != NULL");
    return;
  }
  MCDraw(fController, GetNativeWindowPort(fWindow));
}

int32_t GH_EM_QT_MoviePane::LoadCDDataFile(const FSSpec& spec, std::string& rootAlias) {
  if (!fCDData) fCDData = std::make_unique<GH_CDData>();
  const std::string path(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
  return fCDData->Load(path, rootAlias);
}

CDActionRecord GH_EM_QT_MoviePane::FindActionRecord(const std::string& name) const {
  if (fCDData)
    for (const CDActionRecord& record : fCDData->GetActions())
      if (record.GetType() == 2 && record.GetActionName() == name) return record;
  return CDActionRecord{};
}

bool GH_EM_QT_MoviePane::RunAction(const std::string& name) {
  const std::string text = FindActionRecord(name).GetCommandText();
  if (RunsClose(text)) {
    fDismissOnClick = 1;
    return true;
  }
  if (text == "Exit") {
    fExitRequested = 1;
    return true;
  }
  return RunActionText(text, GetOwnerWindow());
}

void GH_EM_QT_MoviePane::RunFilmCommand(const std::string& name) {
  if (name == "CloseWindow") {
    fDismissOnClick = 1;
    PostMessageA(fWindow, WM_LBUTTONDOWN, 100, 100);
    return;
  }
  if (name == "Exit") {
    fExitRequested = 1;
    return;
  }
  if (!fMainPane) return;
  if (fMainPane->GetPlayMode() == 2) {
    RunAction(name);
    return;
  }
  // The command text as the main pane finds it for its own films: from the
  // disc in the drive or from the film's drive folder.
  std::string alias;
  const int32_t status = fMainPane->CurrentEntryDiscStatus(alias);
  ActionRecord record{};
  CopyToBuffer(record.sprite, name);
  if (status == 2) {
    record.actionType = 2;
    CopyToBuffer(record.aliasRoot, alias);
    std::memset(record.actionText, 0, sizeof record.actionText);
    // Judged by the text found, not the answer: a row with no text also
    // sends the click to the film's own table.
    if (CDDatabase* database = fMainPane->GetCDDatabase()) (void)database->FindSpriteAction(record);
    if (record.actionText[0] == 0) fMainPane->FindActionRecordOnCD(record);
  } else {
    record.actionType = 1;
    if (const PlaylistEntry* current = fMainPane->GetCurrentEntry()) CopyToBuffer(record.aliasRoot, current->aliasRoot);
    fMainPane->FindActionRecordOnDrive(record);
  }
  const std::string text(record.actionText, strnlen(record.actionText, sizeof record.actionText));
  if (RunsClose(text)) {
    fDismissOnClick = 1;
    PostMessageA(fWindow, WM_LBUTTONDOWN, 100, 100);
    return;
  }
  RunActionText(text, GetOwnerWindow());
}

Boolean GH_EM_QT_MoviePane::FilmActionFilter(MovieController, int16_t action, void* params, QTRefCon refCon) {
  auto* pane = reinterpret_cast<GH_EM_QT_MoviePane*>(refCon);
  if (!pane) return false;
  return CP_GuardCallback<Boolean>(false, [&] { return pane->HandleFilterAction(action, params); });
}

Boolean GH_EM_QT_MoviePane::HandleFilterAction(int16_t action, void* params) {
  StopIdleCalls();
  switch (action) {
    case mcActionDoScript: {
      const auto* script = static_cast<const QTDoScriptRecord*>(params);
      RunFilmCommand(script && script->command ? std::string(script->command) : std::string());
      return true;
    }
    case mcActionIdle:
      if (IsFilmPlaying()) return false;
      if (fLoop == 1) {
        RewindFilm();
        SetPlayRate(1.0);
        StartIdleCalls();
        return true;
      }
      if (fExitOnEnd != 0) {
        fDismissOnClick = 1;
        if (CP_Window* owner = GetOwnerWindow()) PostMessageA(owner->GetHWND(), WM_LBUTTONDOWN, 0, MAKELPARAM(100, 100));
        return true;
      }
      return false;
    case mcActionExecuteOneActionForQTEvent: {
      const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
      uint32_t type = 0;
      if (!ReadWiredActionType(spec, type) || type != uint32_t(kActionApplicationNumberAndString)) return false;
      if (fMainPane) fMainPane->Pause();
      RunFilmCommand(ReadWiredActionString(spec));
      return true;
    }
    default:
      return false;
  }
}

LRESULT GH_EM_QT_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (fController) {
    OfferMessageToController(fController, window, message, wParam, lParam);
    // A command of the film may have closed this window.
    if (!IsWindow(window)) return 0;
  }
  switch (message) {
    case WM_SYSCOMMAND:
      // The screen saver must not start over the film.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 1;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:
      SetForegroundWindow(fWindow);
      SetFocus(fWindow);
      TakeFocus(nullptr);
      Refresh();
      SetFocus(fWindow);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (fDismissOnKey != 0) StopAndClose();
      return 0;
    case WM_CREATE:
      CreatePortAssociation(window, nullptr, 0);
      MacSetPort(GetNativeWindowPort(window));
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_LBUTTONDOWN: {
      const CP_Point point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
      CP_Event event;
      event.kind = event.message = WM_LBUTTONDOWN;
      event.window = window;
      event.where = point;
      event.wParam = wParam;
      event.lParam = lParam;
      HandleMouseDown(event, point);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
