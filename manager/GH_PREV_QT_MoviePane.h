#pragma once
// The preview pane under the film list: shows the selected film centred at
// the pane's height, less room for the controller bar, with its poster frame
// and a controller to play it in place. The strips beside the film come
// from a background picture; a white line frames film and bar. Without a
// film the pane shows a black 4:3 placeholder.
#include "CD_Splitter_CP.h"
#include "CP_Event.h"
#include "CP_GdiOwners.h"
#include "CP_View.h"
#include "QTToolbox.h"

#include <cstdint>

class GH_PREV_QT_MoviePane : public CP_View, public CP_M_Idler, public CD_M_SplitterItem_CP {
 public:
  // ShowFilm's answers.
  static constexpr int32_t kShown = 0;          // shown, or the open gave no movie
  static constexpr int32_t kCannotOpen = -1;    // the film's file cannot be read
  static constexpr int32_t kNotShowable = -2;   // not a film this version can show

  // Bitmap resource of the strips beside the film: 800 x 1600, 8 bits.
  static constexpr int16_t kBackgroundId = 1013;
  static constexpr int16_t kBackgroundWidth = 800;

  // The controller bar's height below the film, and the film's distance
  // from the pane's top.
  static constexpr int16_t kRoomBelow = 20;
  static constexpr int16_t kTopMargin = 3;

  // Makes the pane's window in the super view and ties it to a movie port.
  // The pane takes `movie` as its own; the library document passes none.
  GH_PREV_QT_MoviePane(CP_View* superPane, const CP_PaneInfo& info, Movie movie);
  ~GH_PREV_QT_MoviePane() override;

  // Shows the film this FSSpec names. Any film shown before is
  // disposed of first, whatever the answer.
  int32_t ShowFilm(const FSSpec& spec);
  // Stops playback; the film stays.
  void StopMovie();
  // Paints the strips and the frame into the pane's window.
  void DrawFrame();
  // Volume on the settings scale 0 to 10; 0 silences.
  void SetVolume(int32_t volume);

  // QuickTime calls this before the controller carries out an action; the
  // reference value is the pane. True swallows the action.
  static Boolean ControllerActionFilter(MovieController controller, int16_t action, void* params,
                                        QTRefCon refCon);

  Movie GetMovie() const { return fMovie; }
  MovieController GetController() const { return fController; }
  int32_t GetVolume() const { return fVolume; }

  // CP_Pane
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void ActivateOwn() override;
  void DeactivateOwn() override;
  void ShowOwnWindow() override;
  void HideOwnWindow() override;
  void UpdateCursor(const CP_Point& point) override;
  void DrawContent(const CP_Region& area) override;
  void ResizeTo(const CP_Size& size) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // CP_M_Idler: the controller keeps its own time.
  void Idle(CP_Event&) override {}

 protected:
  const char* RuntimeClassName() const override { return "GH_PREV_QT_MoviePane"; }

 private:
  enum class Opened { kMovie, kNoMovie, kCannotOpen, kNotShowable };

  GrafPtr Port() const;
  Opened OpenFilm(const FSSpec& spec);
  Rect PlaceMovie();
  void PlaceBarOfFilmWithoutPicture(const Rect& place);
  void ApplyVolumeSettings();
  void RewindFromPoster(MovieController controller);
  static bool IsApplicationAction(const ResolvedQTEventSpec& spec);
  void DisposeFilmAndController();

  Movie fMovie = nullptr;
  MovieController fController = nullptr;
  int32_t fVolume = -1;
  CP_GdiObject<HBITMAP> fBackground;
  CP_MemoryDC fMemoryDC;
  CP_GdiObject<HBRUSH> fBrush;
  CP_GdiObject<HPEN> fPen;
};
