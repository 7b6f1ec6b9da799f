#include "GH_PREV_QT_MoviePane.h"

#include "CP_Callback.h"
#include "CP_Cursor.h"
#include "CP_MovieEvents.h"
#include "CP_Utilities.h"
#include "store/library/FilmDataReadersQT.h"
#include "GH_Settings.h"

#include <cstdio>

namespace {

// Controller flags of a new controller: the movie at the rectangle's top
// left, scaled to it, the bar not yet shown.
constexpr long kNewControllerFlags = mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible;

// The controller's 8.8 volume per step of the settings scale.
constexpr int32_t kVolumeStep = 25;

// Wired action that carries an application number and a string; films send
// it for the engine, the preview swallows it.
constexpr uint32_t kApplicationNumberAndString = 0x2000;

constexpr int16_t kBarHeight = 16;

int32_t ReadSetting(const char* key) { return ReadIniInt(kIniSection, key, kIniFile); }

void WriteSetting(const char* key, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", int(value));
  WriteIniString(kIniSection, key, text, kIniFile);
}

// The pane window's whole-window DC, released when the scope ends.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : fWindow(window), fDC(window ? GetWindowDC(window) : nullptr) {}
  ~WindowDC() {
    if (fDC) ReleaseDC(fWindow, fDC);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return fDC; }

 private:
  HWND fWindow;
  HDC fDC;
};

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

// The width of the black stand-in for a film: 4:3 at the pane's height.
int32_t PlaceholderWidth(int32_t height) { return int32_t(float(height) * (4.0f / 3.0f)); }

// Errors of the film's contents, as opposed to errors of reading its file.
bool IsNotShowable(OSErr error) {
  switch (error) {
    case noMovieFound:
    case invalidMovie:
    case invalidTrack:
    case invalidMedia:
    case invalidDuration:
    case invalidTime:
    case featureUnsupported:
      return true;
    default:
      return false;
  }
}

// The first four bytes of an atom's data as a big-endian number, as films
// store it; false when the atom holds fewer.
bool ReadAtomU32(QTAtomContainer container, QTAtom atom, uint32_t& value) {
  long size = 0;
  Ptr data = nullptr;
  if (QTGetAtomDataPtr(container, atom, &size, &data) != noErr || !data || size < 4) return false;
  const auto* b = reinterpret_cast<const uint8_t*>(data);
  value = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
  return true;
}

}  // namespace

GH_PREV_QT_MoviePane::GH_PREV_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie)
    : CP_View(superPane, info), CD_M_SplitterItem_CP(this, info.size.height, 100) {
  MakeWindow(superPane, info.location, info.size);
  if (fWindow) {
    CreatePortAssociation(fWindow, nullptr, 0);
    MacSetPort(Port());
  }
  fMovie = movie;
  fBackground.Reset(LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(kBackgroundId)));
  {
    WindowDC dc(fWindow);
    if (dc.Get()) fMemoryDC = CP_MemoryDC(dc.Get());
  }
  fBrush.Reset(CreateSolidBrush(RGB(0, 0, 0)));
  fPen.Reset(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
  StartIdleCalls();
}

GH_PREV_QT_MoviePane::~GH_PREV_QT_MoviePane() {
  StopIdleCalls();
  // The library document builds the next start's pane at this height.
  WriteSetting("QTPaneHeight", GetHeight());
  DisposeFilmAndController();
  if (fWindow) DestroyPortAssociation(Port());
}

GrafPtr GH_PREV_QT_MoviePane::Port() const { return GetNativeWindowPort(fWindow); }

// The controller goes first: it must not be left holding a disposed movie.
void GH_PREV_QT_MoviePane::DisposeFilmAndController() {
  if (fController) DisposeMovieController(fController);
  fController = nullptr;
  if (fMovie) DisposeMovie(fMovie);
  fMovie = nullptr;
}

// ---------------------------------------------------------------------------
// Showing a film

int32_t GH_PREV_QT_MoviePane::ShowFilm(const FSSpec& spec) {
  StopIdleCalls();
  if (fController) {
    MCSetMovie(fController, nullptr, Port(), Point{0, 0});
    MCSetVisible(fController, false);
  }
  fVolume = ReadSetting("Volume");
  if (fMovie) DisposeMovie(fMovie);
  fMovie = nullptr;

  switch (OpenFilm(spec)) {
    case Opened::kCannotOpen: return kCannotOpen;
    case Opened::kNotShowable: return kNotShowable;
    case Opened::kNoMovie: return kShown;
    case Opened::kMovie: break;
  }

  const Rect box = PlaceMovie();
  if (!fController) {
    fController = NewMovieController(fMovie, &box, kNewControllerFlags);
  } else {
    MCSetMovie(fController, fMovie, Port(), Point{box.top, box.left});
    MCSetControllerAttached(fController, true);
  }
  if (!fController) return kShown;  // the film stays, shown without a bar
  PlaceBarOfFilmWithoutPicture(box);
  MCMovieChanged(fController, fMovie);
  MCSetActionFilterWithRefCon(fController, ControllerActionFilter, reinterpret_cast<QTRefCon>(this));
  ApplyVolumeSettings();
  StartIdleCalls();
  DrawFrame();
  manager_data::SendMovieValuesToController(fController, fMovie);
  MCSetVisible(fController, true);
  MCActivate(fController, Port(), true);
  return kShown;
}

// The toolbox reads the whole film when it makes the movie, so the file is
// closed again at once.
GH_PREV_QT_MoviePane::Opened GH_PREV_QT_MoviePane::OpenFilm(const FSSpec& spec) {
  int16_t file = 0;
  if (OpenMovieFile(&spec, &file, fsRdPerm) != noErr) return Opened::kCannotOpen;
  Movie movie = nullptr;
  int16_t resourceId = movieInDataForkResID;
  const OSErr error = NewMovieFromFile(&movie, file, &resourceId, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  if (error != noErr) {
    if (movie) DisposeMovie(movie);
    return IsNotShowable(error) ? Opened::kNotShowable : Opened::kCannotOpen;
  }
  if (!movie) return Opened::kNoMovie;
  fMovie = movie;
  return Opened::kMovie;
}

// Centred, at the pane's height less the room of the bar, in the film's own
// proportions.
Rect GH_PREV_QT_MoviePane::PlaceMovie() {
  SetMovieGWorld(fMovie, Port(), nullptr);
  Rect box = {};
  GetMovieBox(fMovie, &box);
  const int32_t paneHeight = GetHeight();
  const int32_t paneWidth = GetWidth();
  const int32_t height = paneHeight > kRoomBelow ? paneHeight - kRoomBelow : 0;
  const int32_t top = GetFrame().top + kTopMargin;
  Rect place = {};
  if (IsEmpty(box)) {
    // A film without a picture: an empty box where the bar of a film
    // would lie, as wide as the placeholder it is shown on.
    const int32_t width = PlaceholderWidth(paneHeight);
    const int32_t left = paneWidth / 2 - width / 2;
    place = Rect{int16_t(top + height), int16_t(left), int16_t(top + height), int16_t(left + width)};
  } else {
    const double aspect = double(box.right - box.left) / double(box.bottom - box.top);
    const int32_t width = int32_t(height * aspect);
    const int32_t left = paneWidth / 2 - width / 2;
    place = Rect{int16_t(top), int16_t(left), int16_t(top + height), int16_t(left + width)};
  }
  SetMovieBox(fMovie, &place);
  return place;
}

// An attached bar of a film without a picture stands at the top of the
// controller's rectangle: give it the place the film was given, below the
// placeholder.
void GH_PREV_QT_MoviePane::PlaceBarOfFilmWithoutPicture(const Rect& place) {
  Rect box = {};
  GetMovieBox(fMovie, &box);
  if (!IsEmpty(box) || !fController) return;
  const Rect bar = {place.top, place.left, int16_t(place.top + kBarHeight), place.right};
  MCSetControllerBoundsRect(fController, &bar);
}

// Mute wins over the stored volume; a missing Mute counts as muted, a
// missing Volume leaves the controller's own.
void GH_PREV_QT_MoviePane::ApplyVolumeSettings() {
  if (ReadSetting("Mute") != 0)
    SetVolume(0);
  else if (fVolume > -1)
    SetVolume(fVolume);
}

void GH_PREV_QT_MoviePane::StopMovie() {
  if (fController) MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(intptr_t(0)));
}

void GH_PREV_QT_MoviePane::SetVolume(int32_t volume) {
  fVolume = volume;
  if (fController)
    MCDoAction(fController, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(volume * kVolumeStep)));
}

// ---------------------------------------------------------------------------
// The controller's actions

Boolean GH_PREV_QT_MoviePane::ControllerActionFilter(MovieController controller, int16_t action,
                                                     void* params, QTRefCon refCon) {
  return CP_GuardCallback(Boolean(false), [&]() -> Boolean {
    auto* pane = reinterpret_cast<GH_PREV_QT_MoviePane*>(refCon);
    if (!pane) return false;
    switch (action) {
      case mcActionPlay:
        pane->RewindFromPoster(controller);
        return false;
      case mcActionSetVolume:
        // A muted preview plays silent: that is no choice of the user's.
        if (ReadSetting("Mute") == 0)
          WriteSetting("Volume", int16_t(intptr_t(params)) / kVolumeStep);
        return false;
      case mcActionExecuteOneActionForQTEvent:
        if (!params) return false;
        return IsApplicationAction(*static_cast<const ResolvedQTEventSpec*>(params));
      default:
        return false;
    }
  });
}

// Play pressed on the poster frame plays the film from its start.
void GH_PREV_QT_MoviePane::RewindFromPoster(MovieController controller) {
  if (!fMovie) return;
  TimeScale scale = 0;
  if (MCGetCurrentTime(controller, &scale) != GetMoviePosterTime(fMovie)) return;
  TimeRecord start = {};
  MCDoAction(controller, mcActionGoToTime, &start);
}

// The action's first child holds its type. The number and the text of an
// application action are meant for the engine; the preview has no use for
// them.
bool GH_PREV_QT_MoviePane::IsApplicationAction(const ResolvedQTEventSpec& spec) {
  QTAtomContainer container = spec.actionAtom.container;
  QTAtom first = 0;
  if (!container || QTNextChildAnyType(container, spec.actionAtom.atom, 0, &first) != noErr || first == 0)
    return false;
  uint32_t type = 0;
  return ReadAtomU32(container, first, type) && type == kApplicationNumberAndString;
}

// ---------------------------------------------------------------------------
// Drawing

void GH_PREV_QT_MoviePane::DrawFrame() {
  WindowDC dc(fWindow);
  if (!dc.Get()) return;
  const int32_t height = GetHeight();
  const int32_t width = GetWidth();
  Rect box = {};
  if (fMovie) GetMovieBox(fMovie, &box);
  // A film without a picture shows on the placeholder.
  const bool picture = fMovie && !IsEmpty(box);
  int32_t left = 0, movieWidth = 0;
  if (picture) {
    left = box.left;
    movieWidth = box.right - box.left;
  } else {
    movieWidth = PlaceholderWidth(height);
    left = width / 2 - movieWidth / 2;
  }
  const int32_t right = left + movieWidth;

  if (fBackground && fMemoryDC.Get()) {
    CP_SelectGuard background(fMemoryDC.Get(), fBackground.Get());
    // The right strip shows the right-hand end of the picture.
    if (left > 0) BitBlt(dc.Get(), 0, 2, left, height, fMemoryDC.Get(), 0, 0, SRCCOPY);
    if (width > right)
      BitBlt(dc.Get(), right, 2, width - right, height, fMemoryDC.Get(), kBackgroundWidth - (width - right), 0,
             SRCCOPY);
  }

  CP_SelectGuard pen(dc.Get(), fPen.Get());
  if (!picture) {
    const RECT placeholder = {left, 2, right, height};
    FillRect(dc.Get(), &placeholder, fBrush.Get());
    MoveToEx(dc.Get(), left, 2, nullptr);
    LineTo(dc.Get(), right, 2);
    LineTo(dc.Get(), right, height - 1);
    LineTo(dc.Get(), left, height - 1);
    LineTo(dc.Get(), left, 2);
  } else {
    const int32_t top = box.top;
    MoveToEx(dc.Get(), left - 1, top - 1, nullptr);
    LineTo(dc.Get(), right, top - 1);
    LineTo(dc.Get(), right, height - 1);
    LineTo(dc.Get(), left - 1, height - 1);
    LineTo(dc.Get(), left - 1, top - 1);
  }
}

void GH_PREV_QT_MoviePane::DrawContent(const CP_Region&) {
  DrawFrame();
  if (fController) MCDraw(fController, Port());
}

// ---------------------------------------------------------------------------
// CP_Pane

void GH_PREV_QT_MoviePane::WriteToStream(CP_OutStream& out) { CP_Pane::WriteToStream(out); }

void GH_PREV_QT_MoviePane::ReadFromStream(void*, CP_InStream&) {}

void GH_PREV_QT_MoviePane::HandleMouseDown(CP_Event&, const CP_Point&) {}

void GH_PREV_QT_MoviePane::ActivateOwn() {
  StartIdleCalls();
  CP_View::ActivateOwn();
}

void GH_PREV_QT_MoviePane::DeactivateOwn() {
  StopIdleCalls();
  CP_View::DeactivateOwn();
}

void GH_PREV_QT_MoviePane::ShowOwnWindow() {
  CP_View::ShowOwnWindow();
  if (fController) {
    StartIdleCalls();
    MCDraw(fController, Port());
  }
}

// A hidden preview keeps no film: the next one makes a new controller.
void GH_PREV_QT_MoviePane::HideOwnWindow() {
  StopIdleCalls();
  DisposeFilmAndController();
  CP_View::HideOwnWindow();
}

void GH_PREV_QT_MoviePane::UpdateCursor(const CP_Point&) { CP_Cursor arrow(32512, 0); }  // IDC_ARROW

void GH_PREV_QT_MoviePane::ResizeTo(const CP_Size& size) {
  CP_View::ResizeTo(size);
  if (fMovie) {
    PlaceBarOfFilmWithoutPicture(PlaceMovie());
    if (fController) MCMovieChanged(fController, fMovie);
  } else if (fController) {
    // The hidden bar of an empty preview keeps to the pane's bottom.
    Rect bounds = {};
    MCGetControllerBoundsRect(fController, &bounds);
    MCSetControllerAttached(fController, false);
    const int16_t height = GetHeight();
    bounds.top = int16_t(height - kBarHeight);
    bounds.bottom = height;
    MCSetControllerBoundsRect(fController, &bounds);
    MCMovieChanged(fController, nullptr);
    MCDraw(fController, Port());
  }
}

LRESULT GH_PREV_QT_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (fController) {
    // The controller sees every message; what it makes of one changes
    // nothing below.
    OfferMessageToController(fController, window, message, wParam, lParam);
  }
  switch (message) {
    case WM_CREATE:
      // Only for a window that runs this procedure from its creation on.
      CreatePortAssociation(window, nullptr, 0);
      MacSetPort(GetNativeWindowPort(window));
      return 0;
    case WM_ERASEBKGND:
      DrawContent(CP_Region(GetFrame()));
      return 0;
    case WM_LBUTTONDOWN: {
      CP_Event event;
      event.kind = message;
      event.message = message;
      event.window = window;
      event.where = CP_Point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
      event.wParam = wParam;
      event.lParam = lParam;
      HandleMouseDown(event, event.where);
      return 0;
    }
    case WM_MOUSEMOVE:
      UpdateCursor(CP_Point(int16_t(int16_t(LOWORD(lParam)) - fOriginOffset.h),
                            int16_t(int16_t(HIWORD(lParam)) - fOriginOffset.v)));
      if (fSavedWindowProc) CallSavedWindowProc(window, message, wParam, lParam);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
