#pragma once
// The pane of the main video window: reads the engine's command line, builds
// the play list from the CD database or the CD data file, opens and plays
// its films through a movie controller, moves through the play list, runs
// the command texts that its films send, and turns the window's mouse and
// key messages into the end of a run.
#include "panes/CP_QT_MoviePane.h"
#include "panes/GH_CDData.h"
#include "database/CDDatabase.h"

#include <memory>
#include <string>
#include <vector>

class CP_Window;
class GH_Player_Application;

// Every row of GH_ConfigDB; the no-argument start fills it, the film
// installation reads it.
extern std::vector<PlaylistEntry> AllItems;

// Runs one complete command text name(Key="value",...) through the action
// registry: false when the text has no name or anything went wrong. A frame
// the text opens is owned by `frameOwner` when one is given, so that it
// stays in front of that window, and by the main video window otherwise.
bool RunActionText(const std::string& text, CP_Window* frameOwner = nullptr);

class GH_QT_MoviePane : public CP_QT_MoviePane {
 public:
  GH_QT_MoviePane(GH_Player_Application* application, CP_View* superPane, const CP_PaneInfo& info, Movie movie,
                  int32_t placement, int16_t filmWidth, int16_t filmHeight, int32_t controllerKind,
                  uint8_t autoResize, uint8_t mute, int32_t volume, int32_t randomize);
  ~GH_QT_MoviePane() override;

  // The start: the file form (a film file name, a comma and one or two
  // numbers), the item-number form or the no-argument form.
  void StartFromCommandLine();

  // Opening films and the play list. OpenFilm answers 0 from the file
  // form's track path, 1 when the film did not open, 2 when it did.
  int32_t OpenFilm(FSSpec spec, int32_t playCount, double rate, int16_t track);
  int32_t PlayNextEntry();
  void ShufflePlaylist();

  // Command texts.
  bool RunAction(const std::string& name);
  bool RunFilmCommand(const std::string& name);
  CDActionRecord FindActionRecord(std::string name) const;
  // 1 a single film, 2 the file form, 3 the play list.
  int32_t GetPlayMode() const override;

  // Playback control.
  void Pause();
  void Resume();
  void SetPlayRate(double rate);
  void StopFilm();
  void ApplyMute(bool silence);
  void SetVolumeLevel(int32_t level);
  void RewindFilm();
  bool IsFilmPlaying() const;
  bool IsPaused() const { return fPaused; }
  bool IsChangingFilm() const { return fSwitchingFilm; }
  void SetChangingFilm(bool changing) { fSwitchingFilm = changing; }
  void PreviousEntry();
  void StartIdleCalls() { CP_M_Idler::StartIdleCalls(); }
  static Boolean FilmActionFilter(MovieController controller, int16_t action, void* params, QTRefCon refCon);

  // The CD data file and film locations.
  int32_t LoadCDDataFile(const FSSpec& spec, std::string& rootAlias);
  int32_t CurrentEntryDiscStatus(std::string& alias);
  std::string CurrentFilmPath();
  FSSpec CurrentFilmSpec();
  FSSpec GetFilmSpec() override { return CurrentFilmSpec(); }
  static FSSpec PathToFileSpec(const std::string& path);
  void DeleteTemporaryMovies();

  // Copies the current entry's film from the CD into the films folder with
  // the progress dialog and reports a failure in a message box. Leaves the
  // film paused. -1 when nothing was copied, else the copy's status.
  int32_t InstallCurrentFilm();

  // Pane operations.
  void Activate() override {}
  void DeactivateOwn() override {}
  void HandleMouseDown(CP_Event& event, const CP_Point& point) override;
  void UpdateCursor(const CP_Point& point) override;
  void DrawContent(const CP_Region& area) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Idle(CP_Event&) override {}

  // State that the other panes and the actions read or set.
  bool IsCloseRequested() const { return fCloseRequested; }
  void SetCloseOthersOnClick(int32_t flag) { fCloseOthersOnEMClick = flag; }
  int32_t GetCloseOthersOnClick() const { return fCloseOthersOnEMClick; }
  int32_t GetOpenCount() const { return fOpenCount; }
  const std::string& GetCommandLine() const { return fCommandLine; }
  void SetCommandLine(const std::string& text) { fCommandLine = text; }
  std::vector<PlaylistEntry>& GetPlayList() { return fPlayList; }
  const PlaylistEntry* GetCurrentEntry() const { return fCurrentEntry; }
  CDDatabase* GetCDDatabase() const { return fCDDatabase.get(); }
  const GH_CDData* GetCDData() const { return fFilmDatabase.get(); }
  int16_t GetFilmWidth() const { return fFilmWidth; }
  int16_t GetFilmHeight() const { return fFilmHeight; }
  void SetPlaybackWidth(int16_t width) { fFilmWidth = width; }
  void SetPlaybackHeight(int16_t height) { fFilmHeight = height; }
  bool IsLoopingCurrent() const { return fLoopCurrent; }
  bool IsRepeating() const { return fRepeat; }
  int32_t GetRepeatCount() const { return fRepeatCount; }
  int32_t GetRepeatsDone() const { return fRepeatsDone; }
  double GetPlayRate() const { return fPlayRate; }
  const std::string& GetTrackTempFile() const { return fTrackTempFile; }

 private:
  // The EM pane looks its films' commands up the same way.
  friend class GH_EM_QT_MoviePane;

  void StartFromDataFile();
  void StartFromDatabase();
  bool RunCommandText(const std::string& text);
  void FindActionRecordOnCD(ActionRecord& record);
  void FindActionRecordOnDrive(ActionRecord& record);
  void FilmActionsInto(const std::string& filmPath, ActionRecord& record);
  void PaintBlack();
  void SizeAndPlaceBox(Rect& box);
  void GiveStripToSpriteWindow(const FSSpec& spec, int16_t track);
  void PassToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void DismissOnKey();
  Boolean HandleFilterAction(int16_t action, void* params);
  // Counts the event on the current film's usage row. The count runs while
  // the film changes: a failure is told from the message loop, once the
  // change is done.
  void CountFilmUse(UsageEvent event);

  std::vector<PlaylistEntry> fPlayList;
  PlaylistEntry* fCurrentEntry = nullptr;
  std::unique_ptr<CDDatabase> fCDDatabase;
  std::unique_ptr<GH_CDData> fFilmDatabase;
  bool fLoopCurrent = false;
  bool fFileMode = false;
  std::string fTempFolder;
  std::string fSpriteTempFile;
  std::string fMovieTempFile;
  bool fCloseRequested = false;
  bool fPlayDefaultAtWrap = true;
  int32_t fCloseOthersOnEMClick = 0;
  std::string fTrackTempFile;
  bool fSwitchingFilm = false;
  int32_t fOpenCount = 0;
  HCURSOR fArrowCursor = nullptr;
  bool fRepeat = false;
  int32_t fRepeatCount = 0;
  int32_t fRepeatsDone = 0;
  int32_t fPlacement;
  int16_t fFilmWidth;
  int16_t fFilmHeight;
  int32_t fVolume;
  int32_t fRandomize;
  int32_t fControllerKind;
  double fPlayRate = 1.0;
  int32_t fMute;
  bool fPaused = false;
  std::string fCommandLine;
  int32_t fCursorUpdates = 0;
};
