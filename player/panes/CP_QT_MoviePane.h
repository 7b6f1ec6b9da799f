#pragma once
// A pane that shows one QuickTime movie in its own child window, driven by
// a movie controller. The engine's main and sprite panes derive from it.
// The pane owns its movie and controller; while it lives its window is
// bound to a QuickTime port, and every message of the window reaches the
// controller first.
#include "CP_Event.h"
#include "CP_Pane.h"
#include "QTToolbox.h"

class CP_QT_MoviePane : public CP_Pane, public CP_M_Idler {
 public:
  // Makes the pane's window. With a movie: moves the movie's box to (0, 0),
  // draws the movie into the window, makes its controller on the pane's
  // frame and starts idle calls.
  CP_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie);
  // Silences and stops the film, disposes of controller and movie, then
  // ends the window's port association.
  ~CP_QT_MoviePane() override;

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void ActivateOwn() override;
  void DeactivateOwn() override;
  void ShowOwnWindow() override;
  void HideOwnWindow() override;
  void DrawContent(const CP_Region& area) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  void Idle(CP_Event& event) override;

  // How the engine plays, which the main video pane alone knows and
  // answers in its override: 1 one film in a loop, 2 films from the CD data
  // file of the current folder, 3 the play list. 0 here: no main pane.
  virtual int32_t GetPlayMode() const { return 0; }
  // The file of the film the main video pane shows, for the actions that
  // play it again elsewhere; cleared here: no main pane.
  virtual FSSpec GetFilmSpec() { return FSSpec{}; }

  Movie GetMovie() const { return fMovie; }
  MovieController GetController() const { return fController; }

 protected:
  // The window's QuickTime port, made current.
  void AssociatePort(HWND window);
  GrafPtr GetPort() const;

  const char* RuntimeClassName() const override { return "CP_QT_MoviePane"; }

  // Derived panes may replace both; whatever they hold when the pane goes
  // is disposed of.
  Movie fMovie = nullptr;
  MovieController fController = nullptr;
};
