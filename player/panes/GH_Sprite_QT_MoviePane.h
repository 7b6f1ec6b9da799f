#pragma once
// The pane of the "Sprite Window" at the bottom-right corner of the screen:
// it plays the sprite strip that the main video pane cuts out of each film
// and hands every command of the strip, with the main film paused, to the
// main video pane's command runner.
#include "panes/CP_QT_MoviePane.h"

#include <string>

class GH_QT_MoviePane;

class GH_Sprite_QT_MoviePane : public CP_QT_MoviePane {
 public:
  static constexpr int16_t kStripHeight = 48;

  // The base part gets `movie` (the document passes none); the strip's film
  // comes later through SetSpriteFilm.
  GH_Sprite_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie, GH_QT_MoviePane* mainPane);
  ~GH_Sprite_QT_MoviePane() override;

  // Takes over `film` (may be null) in place of the present one, fits the
  // window to its width at the desktop's bottom-right corner and plays it.
  // The mode is not used.
  void SetSpriteFilm(Movie film, int32_t mode);
  void ReleaseSpriteFilm();
  void AttachSpriteFilm();
  static Boolean SpriteActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);
  void RunSpriteCommand(const std::string& name);
  void PauseMainFilm();

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void HandleMouseDown(CP_Event&, const CP_Point&) override {}
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Idle(CP_Event&) override {}

  Movie GetSpriteMovie() const { return fSpriteMovie; }
  MovieController GetSpriteController() const { return fSpriteController; }

 protected:
  const char* RuntimeClassName() const override { return "GH_Sprite_QT_MoviePane"; }

 private:
  Boolean HandleFilterAction(int16_t action, void* params);
  void DisposeSpriteFilm();

  GH_QT_MoviePane* fMainPane;
  Movie fSpriteMovie = nullptr;
  MovieController fSpriteController = nullptr;
};
