#pragma once
// The pane of the "Controller Window": the strip at the bottom-left edge of
// the screen that plays the controlling sprite film. Its buttons are wired
// sprites whose application string names them; the pane turns each name
// into an operation on the main video pane, slides the strip in and out by
// its right-hand handle and forwards keys to the main video window.
#include "CP_Event.h"
#include "CP_Pane.h"
#include "QTToolbox.h"

#include <string>

class GH_QT_MoviePane;

class GH_Controller_QT_MoviePane : public CP_Pane, public CP_M_Idler {
 public:
  // The strip's geometry on the desktop.
  static constexpr int16_t kStripHeight = 48;
  static constexpr int16_t kClosedLeft = -305;
  static constexpr int16_t kHandleWidth = 25;

  // Makes the pane's window; with a film, plays it in the pane's frame
  // under a controller whose actions come to this pane. The pane owns the
  // film.
  GH_Controller_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie, GH_QT_MoviePane* mainPane);
  ~GH_Controller_QT_MoviePane() override;

  void AttachFilmToWindow();
  // The button's name as QuickTime gives it: a length byte, then the
  // characters.
  void DispatchSpriteClick(const uint8_t* name);
  static Boolean ControllerActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);

  void OpenStrip();
  void CloseStrip();
  void PauseMainFilm();
  void ResumeMainFilm();
  void SkipForwards();
  void SkipBackwards();

  // Set by the buttons that end the run; from then on every message to the
  // pane first asks the main video window to dismiss itself.
  static bool IsDismissPending() { return sDismissPending; }

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  // The strip's buttons work through the film; the pane's own click and
  // deactivation handling would take the focus from it.
  void HandleMouseDown(CP_Event&, const CP_Point&) override {}
  void DeactivateOwn() override {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Idle(CP_Event&) override {}

  Movie GetMovie() const { return fMovie; }
  MovieController GetController() const { return fController; }

 protected:
  const char* RuntimeClassName() const override { return "GH_Controller_QT_MoviePane"; }

 private:
  Boolean HandleFilterAction(int16_t action, void* params);
  void Install();
  void SendDismissClick(HWND window, UINT message);

  static bool sDismissPending;

  Movie fMovie = nullptr;
  MovieController fController = nullptr;
  GH_QT_MoviePane* fMainPane;
};

// The path of the library manager: the `Path` setting ("none" when
// missing), a backslash unless it ends in one, "Glintharbour KX3.exe".
std::string LibraryManagerPath();
