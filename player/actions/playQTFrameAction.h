#pragma once
// playQTFrame(File="...",Track="...",Top=,Left=,MovieWidth=,MovieHeight=,
// BaseWidth=,Controller=,CloseAllWindows=): shows a film, or one track of
// it, in a borderless frame window over the desktop. Position and size are
// given for a reference screen width and scaled to the real one. The film
// starts at once and repeats while the window exists; the engine's
// controller and sprite strips are hidden meanwhile. Frame windows are
// plain windows titled "playQTFrame"; WM_CLOSE ends one.
#include "CP_Win.h"
#include "QTToolbox.h"
#include "actions/MultimediaAction.h"

#include <cstdint>
#include <string>

class CP_Window;

class playQTFrameAction : public MultimediaAction {
 public:
  explicit playQTFrameAction(ActionParameters& parameters);

  void Execute() override;
  void Describe(std::ostream& out) override;

  // Creates and shows the window with the splash class and keeps its
  // handle; null when the window cannot be made.
  HWND CreateFrameWindow(HWND owner, const char* title, int16_t left, int16_t top, int16_t width,
                         int16_t height);

  HWND GetFrameWindow() const { return fFrame; }

  // The window that owns the frame, so that the frame stays in front of it;
  // without one the main video window owns it.
  void SetParentWindow(CP_Window* parent) { fParentWindow = parent; }

 private:
  ActionParameters fParameters;
  HWND fFrame = nullptr;
  CP_Window* fParentWindow = nullptr;
};

constexpr const char* kFrameWindowTitle = "playQTFrame";

// Each frame window keeps its own movie and controller, disposed of when
// the window goes; none for any other window.
Movie FrameMovieOf(HWND window);
MovieController FrameControllerOf(HWND window);

LRESULT CALLBACK FrameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
Boolean FrameActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);

// The work-area width over the reference width, in single precision: 1024
// over 800 is just below 1.28.
float SingleScale(int16_t workWidth, int16_t baseWidth);
// A number scaled from the reference width: truncated toward zero.
int16_t ScaleToWorkArea(int16_t value, float scale);
