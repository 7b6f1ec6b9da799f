#include "actions/playQTFrameAction.h"

#include "CP_Callback.h"
#include "CP_Desktop.h"
#include "CP_MovieEvents.h"
#include "CP_Utilities.h"
#include "CP_Window.h"
#include "actions/GH_ActionSupport.h"
#include "document/GH_Globals.h"
#include "films/GH_FilmOpening.h"
#include "utility/GH_SplashScreen.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

#include <iostream>
#include <vector>

namespace {

constexpr int16_t kControllerStrip = 16;
constexpr const char* kFrameProperty = "GH_FrameMovie";

// What one frame window shows; lives from the window's set-up to its
// WM_DESTROY.
struct FrameMovie {
  Movie movie = nullptr;
  MovieController controller = nullptr;
};

FrameMovie* FrameOf(HWND window) {
  if (!window || GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(FrameWindowProc))
    return nullptr;
  return static_cast<FrameMovie*>(GetPropA(window, kFrameProperty));
}

bool IsFramePlaying(const FrameMovie& frame) {
  if (!frame.controller) return false;
  long flags = 0;
  MCGetControllerInfo(frame.controller, &flags);
  return (flags & mcInfoIsPlaying) != 0;
}

void RewindFrame(const FrameMovie& frame) {
  if (!frame.controller) return;
  TimeRecord start{};
  MCDoAction(frame.controller, mcActionGoToTime, &start);
}

void PlayFrame(const FrameMovie& frame) {
  if (frame.controller) MCDoAction(frame.controller, mcActionPlay, reinterpret_cast<void*>(intptr_t(0x10000)));
}

BOOL CALLBACK CollectFrame(HWND window, LPARAM list) {
  return CP_GuardCallback(BOOL(TRUE), [&]() -> BOOL {
    if (FrameOf(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  });
}

// Every frame window of this program gets WM_CLOSE, which ends it.
void CloseFrameWindows() {
  std::vector<HWND> frames;
  EnumThreadWindows(GetCurrentThreadId(), CollectFrame, reinterpret_cast<LPARAM>(&frames));
  CP_RethrowPendingException();
  for (HWND frame : frames)
    if (IsWindow(frame)) SendMessageA(frame, WM_CLOSE, 0, 0);
}

}  // namespace

float SingleScale(int16_t workWidth, int16_t baseWidth) {
  // Stored to round it: the x87 unit would keep the quotient exact.
  volatile float scale = float(workWidth) / float(baseWidth);
  return scale;
}

int16_t ScaleToWorkArea(int16_t value, float scale) {
  // The product is taken in double: 100 at 1024/800 stays below 128.
  return int16_t(double(value) * double(scale));
}

Movie FrameMovieOf(HWND window) {
  const FrameMovie* frame = FrameOf(window);
  return frame ? frame->movie : nullptr;
}

MovieController FrameControllerOf(HWND window) {
  const FrameMovie* frame = FrameOf(window);
  return frame ? frame->controller : nullptr;
}

playQTFrameAction::playQTFrameAction(ActionParameters& parameters) : MultimediaAction(parameters) {
  fParameters = parameters;
}

void playQTFrameAction::Describe(std::ostream& out) {
  DescribeLaunch();
  MultimediaAction::Describe(out);
}

void playQTFrameAction::Execute() {
  const std::string folder = ReadPathFolder();
  HideWindowTitled("Controller Window");
  HideWindowTitled("Sprite Window");

  std::string filmPath;
  int16_t track = 0, top = 0, left = 0, width = 0, height = 0, baseWidth = 0, controller = 0;
  int16_t closeAll = 0;
  for (const auto& entry : fParameters) {
    const std::string& key = entry.first;
    const int16_t number = int16_t(StringToLong(entry.second));
    if (key == "File") {
      if (!entry.second.empty()) filmPath = FilmRoot + entry.second;
    } else if (key == "Track") {
      track = number;
    } else if (key == "Top") {
      top = number;
    } else if (key == "Left") {
      left = number;
    } else if (key == "MovieWidth") {
      width = number;
    } else if (key == "MovieHeight") {
      height = number;
    } else if (key == "BaseWidth") {
      baseWidth = number;
    } else if (key == "Controller") {
      controller = number;
    } else if (key == "CloseAllWindows") {
      closeAll = number;
    }
    // AutoPlay, ControllerStyle and Loop change nothing: a frame always
    // starts at once and repeats.
  }

  // Without a reference width the numbers are taken as they stand.
  const float scale = baseWidth != 0 ? SingleScale(CP_Desktop::GetDesktop()->GetWorkAreaWidth(), baseWidth) : 1.0f;
  height = ScaleToWorkArea(height, scale);
  width = ScaleToWorkArea(width, scale);
  left = ScaleToWorkArea(left, scale);
  top = ScaleToWorkArea(top, scale);
  if (controller == 1) height = int16_t(height + kControllerStrip);
  const int16_t right = int16_t(left + width), bottom = int16_t(top + height);

  if (closeAll == 1) CloseFrameWindows();

  Movie movie = nullptr;
  if (filmPath.empty())
    movie = OpenMainPaneFilm();
  else
    LoadMovieFromFileSpec(PathToFileSpec(filmPath), movie);
  if (!movie) return;

  if (track > 0) {
    std::string trackFolder = folder;
    if (trackFolder == "none\\") {
      trackFolder = GetTempDirectory();
      if (trackFolder.empty() || trackFolder.back() != '\\') trackFolder += '\\';
    }
    const int32_t n = CP_Desktop::GetDesktop()->CountDocumentWindows();
    const std::string trackFile = trackFolder + "QTFrame" + std::to_string(n) + ".mov";
    DeleteFileByPath(trackFile);
    if (Movie trackMovie = ExtractTrackMovie(track, movie, trackFile)) {
      DisposeMovie(movie);  // the track film stands in for the whole film
      movie = trackMovie;
    }
  }

  CP_Window* owner = fParentWindow ? fParentWindow : FindWindowByTitle("MainVideoWindow");
  HWND frame = CreateFrameWindow(owner ? owner->GetHWND() : nullptr, kFrameWindowTitle, left, top,
                                 int16_t(right - left), int16_t(bottom - top));
  if (!frame) {
    DisposeMovie(movie);
    return;
  }

  auto* shown = new FrameMovie;
  shown->movie = movie;
  SetPropA(frame, kFrameProperty, shown);
  SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameWindowProc));

  CreatePortAssociation(frame, nullptr, 0);
  MacSetPort(GetNativeWindowPort(frame));
  SetMovieGWorld(movie, GetNativeWindowPort(frame), nullptr);
  Rect box{0, 0, int16_t(bottom - top), int16_t(right - left)};
  if (controller != 0) box.bottom = int16_t(box.bottom - kControllerStrip);
  SetMovieBox(movie, &box);
  shown->controller = NewMovieController(movie, &box, mcTopLeftMovie | mcScaleMovieToFit | mcNotVisible);
  if (!shown->controller) return;
  MCSetActionFilterWithRefCon(shown->controller, FrameActionFilter, reinterpret_cast<QTRefCon>(shown));
  MCMovieChanged(shown->controller, movie);
  PlayFrame(*shown);
}

HWND playQTFrameAction::CreateFrameWindow(HWND owner, const char* title, int16_t left, int16_t top,
                                          int16_t width, int16_t height) {
  HINSTANCE instance = gEngineInstance ? gEngineInstance : GetModuleHandleA(nullptr);
  fFrame = CreateWindowExA(0, kSplashClassName, title, WS_POPUP, left, top, width, height, owner, nullptr,
                           instance, nullptr);
  if (!fFrame) return nullptr;
  ShowWindow(fFrame, SW_SHOWNORMAL);
  UpdateWindow(fFrame);
  return fFrame;
}

Boolean FrameActionFilter(MovieController, int16_t action, void*, QTRefCon refCon) {
  const auto* frame = reinterpret_cast<const FrameMovie*>(refCon);
  if (!frame || action != mcActionIdle || IsFramePlaying(*frame)) return false;
  // The film reached its end: it starts again from the beginning.
  RewindFrame(*frame);
  PlayFrame(*frame);
  return true;
}

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CP_GuardCallback(LRESULT(0), [&]() -> LRESULT {
    FrameMovie* frame = static_cast<FrameMovie*>(GetPropA(window, kFrameProperty));
    if (frame && frame->controller) {
      // The message is handled below all the same.
      OfferMessageToController(frame->controller, window, message, wParam, lParam);
    }
    if (message != WM_DESTROY) return DefWindowProcA(window, message, wParam, lParam);
    RemovePropA(window, kFrameProperty);
    if (frame) {
      if (frame->controller) DisposeMovieController(frame->controller);
      if (frame->movie) DisposeMovie(frame->movie);
      delete frame;
      DestroyPortAssociation(GetNativeWindowPort(window));
    }
    return 0;
  });
}
