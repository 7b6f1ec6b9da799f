#pragma once
// The pane of an "EMWindow": one film on its own over the screen, played
// centred, ended by a click, a key or its end as the play action asked. It
// runs the commands the film sends ("CloseWindow" and "Exit" itself) and,
// when it goes, closes the audio and frame windows and gives the screen
// back to the main video window, the controller strip and the sprite
// window, or to another EM window in front.
#include "CP_Event.h"
#include "CP_Pane.h"
#include "QTToolbox.h"
#include "panes/GH_CDData.h"

#include <memory>
#include <string>

class GH_QT_MoviePane;

class GH_EM_QT_MoviePane : public CP_Pane, public CP_M_Idler {
 public:
  // Without a "MainVideoWindow" holding the 'MAIN' pane the pane makes no
  // window and takes no film. Otherwise it owns `movie`, and the file at
  // `tempFile` (empty: none) is deleted when the pane goes.
  GH_EM_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie, int32_t autoPlay,
                     int16_t dismissOnClick, int32_t fullScreen, const std::string& tempFile, int16_t exitOnEnd,
                     int16_t loop, int16_t dismissOnKey);
  ~GH_EM_QT_MoviePane() override;

  void AttachFilmToWindow();
  void Pause();
  void Play();
  void SetPlayRate(double rate);
  void RewindFilm();
  bool IsFilmPlaying() const;
  void RunFilmCommand(const std::string& name);
  bool RunAction(const std::string& name);
  // The first type-2 action record of the pane's CD data with this name; an
  // empty record when there is none.
  CDActionRecord FindActionRecord(const std::string& name) const;
  int32_t LoadCDDataFile(const FSSpec& spec, std::string& rootAlias);
  static Boolean FilmActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void ActivateOwn() override;
  void DeactivateOwn() override;
  void ShowOwnWindow() override;
  void HideOwnWindow() override;
  void DrawContent(const CP_Region& area) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Idle(CP_Event&) override {}

  Movie GetMovie() const { return fMovie; }
  MovieController GetController() const { return fController; }
  GH_QT_MoviePane* GetMainPane() const { return fMainPane; }
  const GH_CDData* GetCDData() const { return fCDData.get(); }
  bool IsDismissOnClick() const { return fDismissOnClick != 0; }
  bool IsExitRequested() const { return fExitRequested != 0; }
  bool IsPaused() const { return fPaused; }
  double GetPlayRate() const { return fPlayRate; }

 protected:
  const char* RuntimeClassName() const override { return "GH_EM_QT_MoviePane"; }

 private:
  Boolean HandleFilterAction(int16_t action, void* params);
  void SizeBox(Rect& box, int32_t fullScreen);
  void StopAndClose();
  // True when this was the last EM window over the play list.
  bool HandBackTheScreen();

  Movie fMovie = nullptr;
  MovieController fController = nullptr;
  int16_t fScreenWidth = 0;
  int16_t fScreenHeight = 0;
  int16_t fDismissOnClick = 0;
  int16_t fExitRequested = 0;
  int16_t fExitOnEnd;
  int16_t fLoop;
  int16_t fDismissOnKey;
  double fPlayRate = 1.0;
  int32_t fMute = 0;
  bool fPaused = false;
  std::string fTempFile;
  GH_QT_MoviePane* fMainPane = nullptr;
  std::unique_ptr<GH_CDData> fCDData;
};
