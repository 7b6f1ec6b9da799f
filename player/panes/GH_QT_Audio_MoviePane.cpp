#include "panes/GH_QT_Audio_MoviePane.h"

#include "CP_Callback.h"
#include "CP_FourCC.h"
#include "CP_MovieEvents.h"
#include "CP_View.h"
#include "CP_Win.h"
#include "CP_Window.h"
#include "utility/GH_Assert.h"
#include "utility/GH_WindowLookup.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kControllerFlags = mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible;
constexpr int16_t kControllerStrip = 16;

void* IntParam(intptr_t value) { return reinterpret_cast<void*>(value); }

// The first four bytes of an atom's data, big-endian; false when it holds
// fewer.
bool ReadAtomNumber(QTAtomContainer container, QTAtom atom, int32_t& number) {
  long size = 0;
  Ptr data = nullptr;
  if (QTGetAtomDataPtr(container, atom, &size, &data) != noErr || !data || size < 4) return false;
  const auto* b = reinterpret_cast<const uint8_t*>(data);
  number = int32_t(uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]));
  return true;
}

// The length-prefixed text of an atom's data; a length past the data's end
// is refused.
bool ReadAtomText(QTAtomContainer container, QTAtom atom, std::string& text) {
  long size = 0;
  Ptr data = nullptr;
  if (QTGetAtomDataPtr(container, atom, &size, &data) != noErr || !data || size < 1) return false;
  const auto* b = reinterpret_cast<const uint8_t*>(data);
  const size_t length = b[0];
  if (length > size_t(size) - 1) return false;
  text.assign(reinterpret_cast<const char*>(b + 1), length);
  return true;
}

}  // namespace

bool ReadApplicationAction(QTAtomContainer container, QTAtom action, int32_t& number, std::string& text) {
  QTAtom kind = 0, numberAtom = 0, textAtom = 0;
  int32_t type = 0;
  if (QTNextChildAnyType(container, action, 0, &kind) != noErr || !kind) return false;
  if (!ReadAtomNumber(container, kind, type) || type != kActionApplicationNumberAndString) return false;
  if (QTNextChildAnyType(container, action, kind, &numberAtom) != noErr || !numberAtom) return false;
  if (QTNextChildAnyType(container, action, numberAtom, &textAtom) != noErr || !textAtom) return false;
  return ReadAtomNumber(container, numberAtom, number) && ReadAtomText(container, textAtom, text);
}

GH_QT_Audio_MoviePane::GH_QT_Audio_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie,
                                             int16_t autoPlay, int16_t loop)
    : CP_Pane(superPane, info), fLoop(loop), fAutoPlay(autoPlay) {
  MakeWindow(superPane, info.location, info.size);
  AssociatePort(GetHWND());
  fMovie = movie;
  if (!fMovie) return;

  fMovies.push_back(fMovie);
  AttachController(0);
  if (fAutoPlay == 1 && fController) MCDoAction(fController, mcActionPlay, IntParam(0x10000));
  StartIdleCalls();
}

GH_QT_Audio_MoviePane::~GH_QT_Audio_MoviePane() {
  StopIdleCalls();
  DisposeController();
  // The films below the current one are ours too; each is disposed once.
  for (Movie m : fMovies)
    if (m != fMovie) DisposeMovie(m);
  fMovies.clear();
  if (fMovie) {
    DisposeMovie(fMovie);
    fMovie = nullptr;
  }
  if (GetHWND()) DestroyPortAssociation(GetPort());

  // A one-off sound stopped the background sound: it plays on now.
  CP_Window* background = FindWindowByTitle("BackgroundAudio");
  if (!background) return;
  auto* pane = dynamic_cast<GH_QT_Audio_MoviePane*>(background->FindSubPaneById(CP_FourCC("AUDI"), false));
  if (pane && pane != this) pane->Play();
}

void GH_QT_Audio_MoviePane::AssociatePort(HWND window) {
  if (!window) return;
  CreatePortAssociation(window, nullptr, 0);
  MacSetPort(GetNativeWindowPort(window));
}

GrafPtr GH_QT_Audio_MoviePane::GetPort() const { return GetNativeWindowPort(GetHWND()); }

void GH_QT_Audio_MoviePane::AttachController(int16_t lowerBy) {
  SetMovieGWorld(fMovie, GetPort(), nullptr);
  Rect box{};
  GetMovieBox(fMovie, &box);
  fWidth = GetWidth();
  fHeight = GetHeight();
  box = Rect{0, 0, int16_t(fHeight - lowerBy), fWidth};
  SetMovieBox(fMovie, &box);
  fController = NewMovieController(fMovie, &box, kControllerFlags);
  if (!fController) return;
  MCSetActionFilterWithRefCon(fController, ActionFilter, reinterpret_cast<QTRefCon>(this));
  MCMovieChanged(fController, fMovie);
}

void GH_QT_Audio_MoviePane::DisposeController() {
  if (!fController) return;
  DisposeMovieController(fController);
  fController = nullptr;
}

void GH_QT_Audio_MoviePane::SetMovie(Movie movie, int16_t keep) {
  if (keep == 1) fMovies.push_back(movie);
  const bool hadController = fController != nullptr;
  DisposeController();
  fMovie = movie;
  if (!fMovie) return;
  AttachController(hadController ? kControllerStrip : 0);
  if (fController) MCDoAction(fController, mcActionPlay, IntParam(0x10000));
  StartIdleCalls();
}

void GH_QT_Audio_MoviePane::PreviousMovie() {
  if (fMovies.size() > 1) {
    // The controller goes before its movie: it must never outlive it.
    const bool hadController = fController != nullptr;
    DisposeController();
    Movie dropped = fMovies.back();
    fMovies.pop_back();
    if (dropped == fMovie) fMovie = nullptr;
    DisposeMovie(dropped);
    Movie previous = fMovies.back();
    fMovie = previous;
    AttachController(hadController ? kControllerStrip : 0);
    if (fController) MCDoAction(fController, mcActionPlay, IntParam(0x10000));
    StartIdleCalls();
    return;
  }
  if (CP_Window* window = GetOwnerWindow()) window->TryClose();  // deletes this pane
}

void GH_QT_Audio_MoviePane::Play() {
  fStopped = 0;
  if (fController) MCDoAction(fController, mcActionPlay, IntParam(intptr_t(Fixed(fRate * 65536.0))));
}

void GH_QT_Audio_MoviePane::Stop() {
  fStopped = 1;
  if (fController) MCDoAction(fController, mcActionPlay, IntParam(0));
}

void GH_QT_Audio_MoviePane::GoToStart() {
  if (!fController) return;
  TimeRecord start{};
  MCDoAction(fController, mcActionGoToTime, &start);
}

void GH_QT_Audio_MoviePane::PlayAtRate(double rate) {
  fRate = rate;
  Play();
}

void GH_QT_Audio_MoviePane::SetVolumeLevel(int16_t level) {
  if (fController) MCDoAction(fController, mcActionSetVolume, IntParam(intptr_t(int16_t(level * 25))));
}

bool GH_QT_Audio_MoviePane::IsPlaying() const {
  if (!fController) return false;
  long flags = 0;
  MCGetControllerInfo(fController, &flags);
  return (flags & mcInfoIsPlaying) != 0;
}

void GH_QT_Audio_MoviePane::WriteToStream(CP_OutStream& out) { CP_Pane::WriteToStream(out); }

void GH_QT_Audio_MoviePane::ReadFromStream(void*, CP_InStream&) {
  // Audio panes are made by the playQTAudio action, never read back.
}

void GH_QT_Audio_MoviePane::HandleMouseDown(CP_Event&, const CP_Point&) {
  // A click on a sound changes nothing.
}

void GH_QT_Audio_MoviePane::ActivateOwn() {
  // The pane takes no focus and has nothing to redraw.
  StartIdleCalls();
}

void GH_QT_Audio_MoviePane::DeactivateOwn() {}

void GH_QT_Audio_MoviePane::ShowOwnWindow() {
  CP_Pane::ShowOwnWindow();
  if (fController) {
    StartIdleCalls();
    MCDraw(fController, GetPort());
  }
  if (fMovie) {
    SetMovieGWorld(fMovie, GetPort(), nullptr);
    StartIdleCalls();
  }
  SetVolumeLevel(10);
  if (fAutoPlay == 1) Play();
}

void GH_QT_Audio_MoviePane::HideOwnWindow() {
  // The sound goes on while the window is hidden.
  CP_Pane::HideOwnWindow();
}

void GH_QT_Audio_MoviePane::DrawContent(const CP_Region&) {
  if (!fController) return;
  // Drawing without the window is a broken invariant: reported, nothing drawn.
  if (!GetHWND()) {
    ReportAssertion("GH_QT_Audio_MoviePane", 411, "fWindow != NULL");
    return;
  }
  MCDraw(fController, GetPort());
}

void GH_QT_Audio_MoviePane::Idle(CP_Event&) {
  // The controller keeps its own time; idling only marks the pane as live.
}

LRESULT GH_QT_Audio_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (fController) {
    OfferMessageToController(fController, window, message, wParam, lParam);  // the message goes on either way
  }
  switch (message) {
    case WM_SYSCOMMAND:
      // This window must not start the system's screen saver.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 1;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      // A key counts as a click on the main video window, which ends the run.
      if (CP_Window* main = FindWindowByTitle("MainVideoWindow")) PostMessageA(main->GetHWND(), WM_LBUTTONDOWN, 0, 0);
      return 0;
    case WM_CREATE:
      AssociatePort(window);
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_LBUTTONDOWN: {
      CP_Event event;
      event.kind = event.message = WM_LBUTTONDOWN;
      event.window = window;
      event.wParam = wParam;
      event.lParam = lParam;
      const CP_Point where(int32_t(int16_t(LOWORD(lParam))), int32_t(int16_t(HIWORD(lParam))));
      event.where = where;
      HandleMouseDown(event, where);
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

Boolean GH_QT_Audio_MoviePane::ActionFilter(MovieController, int16_t action, void* params, QTRefCon refCon) {
  auto* pane = reinterpret_cast<GH_QT_Audio_MoviePane*>(refCon);
  if (!pane) return false;
  // The filter runs inside the movie toolbox: nothing may be thrown back
  // through it.
  return CP_GuardCallback<Boolean>(false, [&] { return pane->FilterAction(action, params); });
}

Boolean GH_QT_Audio_MoviePane::FilterAction(int16_t action, void* params) {
  StopIdleCalls();
  if (action == mcActionIdle) {
    // A film that ended by itself starts again; one that Stop stopped waits.
    if (!IsPlaying() && fLoop == 1 && fStopped == 0) {
      GoToStart();
      PlayAtRate(1.0);
      StartIdleCalls();
      return true;
    }
    return false;
  }
  if (action == mcActionExecuteOneActionForQTEvent && params) {
    // A background film's application actions are taken and not run: the
    // sound window steers nothing.
    const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
    int32_t number = 0;
    std::string text;
    return ReadApplicationAction(spec->actionAtom.container, spec->actionAtom.atom, number, text);
  }
  return false;
}
