#pragma once
// A pane that plays a film for its sound in a small window off the screen,
// in a loop, while the other windows go on showing films. It keeps a stack
// of the films it was given so that the newest can be dropped to go back to
// the one before. A key pressed in its window counts as a click on the main
// video window.
#include "CP_Event.h"
#include "CP_Pane.h"
#include "QTToolbox.h"

#include <cstdint>
#include <string>
#include <vector>

class GH_QT_Audio_MoviePane : public CP_Pane, public CP_M_Idler {
 public:
  // Makes the pane's window and binds it to a QuickTime port. With a movie:
  // puts it on the stack, makes its invisible controller on the pane and,
  // with autoPlay 1, starts it at once. The pane owns the movie.
  GH_QT_Audio_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie, int16_t autoPlay,
                        int16_t loop);
  // Disposes of every film it holds, then lets the background sound that a
  // one-off sound stopped play on.
  ~GH_QT_Audio_MoviePane() override;

  // Makes `movie` current and plays it; keep 1 puts it on the stack first
  // (a new film), keep 0 takes one that is already there. The stopped flag
  // is left as it is.
  void SetMovie(Movie movie, int16_t keep);
  // Drops the newest film and plays the one before from where it stood;
  // with one film or none left, closes the pane's window (and the pane).
  void PreviousMovie();

  void Play();
  void Stop();
  void GoToStart();
  void PlayAtRate(double rate);
  // Level 10 is almost full volume (250 of 256).
  void SetVolumeLevel(int16_t level);
  bool IsPlaying() const;
  bool IsStopped() const { return fStopped != 0; }
  int16_t GetLoop() const { return fLoop; }

  Movie GetMovie() const { return fMovie; }
  MovieController GetController() const { return fController; }
  size_t CountMovies() const { return fMovies.size(); }

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void ActivateOwn() override;
  void DeactivateOwn() override;
  void ShowOwnWindow() override;
  void HideOwnWindow() override;
  void DrawContent(const CP_Region& area) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  void Idle(CP_Event& event) override;

 protected:
  const char* RuntimeClassName() const override { return "GH_QT_Audio_MoviePane"; }

 private:
  static Boolean ActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);
  Boolean FilterAction(int16_t action, void* params);

  void AssociatePort(HWND window);
  GrafPtr GetPort() const;
  // Draws the current movie into the pane and gives it a new controller;
  // `lowerBy` is taken off the box's bottom.
  void AttachController(int16_t lowerBy);
  void DisposeController();

  std::vector<Movie> fMovies;  // oldest first; the last is normally current
  Movie fMovie = nullptr;
  MovieController fController = nullptr;
  int16_t fWidth = 0;
  int16_t fHeight = 0;
  int16_t fLoop = 0;
  double fRate = 1.0;
  int16_t fAutoPlay = 0;
  uint8_t fStopped = 0;
};

// The wired action of a film, read from its atoms: what the audio pane
// takes as handled. Only application actions that carry a number and a
// text are; `number` and `text` receive what the action holds.
bool ReadApplicationAction(QTAtomContainer container, QTAtom action, int32_t& number, std::string& text);
