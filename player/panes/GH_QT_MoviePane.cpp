#include "panes/GH_QT_MoviePane.h"

#include "CP_Alert.h"
#include "CP_Callback.h"
#include "CP_Cursor.h"
#include "CP_Event.h"
#include "CP_Exception.h"
#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CP_FourCC.h"
#include "CP_Framework.h"
#include "CP_MovieEvents.h"
#include "CP_Window.h"
#include "store/library/ActionTable.h"
#include "store/Exception.h"
#include "actions/MultimediaAction.h"
#include "actions/playQTFrameAction.h"
#include "document/GH_DocumentWindow.h"
#include "document/GH_Globals.h"
#include "films/FilmUserDataReaders.h"
#include "films/GH_FilmOpening.h"
#include "panes/GH_Shuffle.h"
#include "panes/GH_Sprite_QT_MoviePane.h"
#include "utility/GH_Assert.h"
#include "utility/GH_FilmFolders.h"
#include "utility/GH_Settings.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

std::vector<PlaylistEntry> AllItems;

namespace {

// Posted to the pane's window: tell the table writes that failed.
constexpr UINT kTellTableFailures = WM_APP + 1;

// The source film of a track extraction in the file form; null outside
// OpenFilm.
Movie gTrackSourceMovie = nullptr;

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += "\\";
  return folder;
}

// A decimal number at the start of a text; 0 when it starts with none.
int32_t DecimalOf(const std::string& text) { return int32_t(std::strtol(text.c_str(), nullptr, 10)); }

std::string DefaultFilmPath() {
  std::string path;
  ReadIniString("Glintharbour", "Path", "none", path, "glintharbour.ini");
  return path + "\\default.flm";
}

GH_QT_MoviePane* PaneOf(QTRefCon refCon) { return reinterpret_cast<GH_QT_MoviePane*>(refCon); }

bool RunsClose(const std::string& commandText) {
  return commandText == "CloseWindow" || commandText.find("CloseWindow(") != std::string::npos;
}

// The data of an atom as a big-endian 32-bit number.
bool ReadAtomNumber(QTAtomContainer container, QTAtom atom, uint32_t& value) {
  long size = 0;
  Ptr data = nullptr;
  if (!atom || QTGetAtomDataPtr(container, atom, &size, &data) != noErr || !data || size < 4) return false;
  const auto* bytes = reinterpret_cast<const uint8_t*>(data);
  value = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
  return true;
}

// The data of an atom as a length-prefixed text; a length past the data's
// end is cut to the data.
std::string ReadAtomText(QTAtomContainer container, QTAtom atom) {
  long size = 0;
  Ptr data = nullptr;
  if (!atom || QTGetAtomDataPtr(container, atom, &size, &data) != noErr || !data || size < 1) return std::string();
  const auto* bytes = reinterpret_cast<const uint8_t*>(data);
  const size_t length = std::min<size_t>(bytes[0], size_t(size - 1));
  return std::string(reinterpret_cast<const char*>(bytes + 1), length);
}

// A wired action of the film's event: true when it is an application
// message (number and string), whose string goes to `text`.
bool ReadApplicationMessage(void* params, std::string& text) {
  const auto* spec = static_cast<const ResolvedQTEventSpec*>(params);
  if (!spec || !spec->actionAtom.container) return false;
  QTAtomContainer container = spec->actionAtom.container;
  const QTAtom parent = spec->actionAtom.atom;
  QTAtom kind = 0;
  uint32_t type = 0;
  if (QTNextChildAnyType(container, parent, 0, &kind) != noErr || !ReadAtomNumber(container, kind, type) ||
      type != uint32_t(kActionApplicationNumberAndString))
    return false;
  QTAtom number = 0, string = 0;
  if (QTNextChildAnyType(container, parent, kind, &number) == noErr && number &&
      QTNextChildAnyType(container, parent, number, &string) == noErr)
    text = ReadAtomText(container, string);
  return true;
}

}  // namespace

bool RunActionText(const std::string& text, CP_Window* frameOwner) {
  try {
    ActionDefinition definition(text);
    if (definition.GetName().empty()) return false;
    std::unique_ptr<MultimediaAction> action(
        MultimediaActionFactory::CreateAction(definition.GetName(), definition.GetParameters()));
    if (!action) return true;
    if (frameOwner && text.find("playQTFrame") != std::string::npos)
      if (auto* frame = dynamic_cast<playQTFrameAction*>(action.get())) frame->SetParentWindow(frameOwner);
    action->Execute();
    return true;
  } catch (...) {
    // Whatever one action fails with, the run goes on.
    return false;
  }
}

// ---------------------------------------------------------------------------
// Construction and the start

GH_QT_MoviePane::GH_QT_MoviePane(GH_Player_Application*, CP_View* superPane, const CP_PaneInfo& info,
                                 Movie movie, int32_t placement, int16_t filmWidth, int16_t filmHeight,
                                 int32_t controllerKind, uint8_t, uint8_t mute, int32_t volume, int32_t randomize)
    : CP_QT_MoviePane(superPane, info, movie),
      fPlacement(placement),
      fFilmWidth(filmWidth),
      fFilmHeight(filmHeight),
      fVolume(volume),
      fRandomize(randomize),
      fControllerKind(controllerKind),
      fMute(mute ? 1 : 0) {
  std::string folder;
  ReadIniString("Glintharbour", "Path", "none", folder, "glintharbour.ini");
  char temp[256] = {};
  const DWORD length = GetTempPathA(255, temp);
  fTempFolder = WithBackslash(length > 0 && length < 255 ? std::string(temp, length) : std::string());
  if (folder == "none") folder = fTempFolder;
  folder = WithBackslash(folder);
  fSpriteTempFile = folder + "spTemp.mov";
  fMovieTempFile = folder + "movieTemp.mov";
  fCommandLine = GetCommandLineText() ? GetCommandLineText() : "";
  fMovie = nullptr;
  fController = nullptr;
  ShowCursor(FALSE);
  fCursorUpdates = 0;
  if (fWindow) MacSetPort(GetNativeWindowPort(fWindow));
  fArrowCursor = LoadCursorA(nullptr, IDC_ARROW);
}

GH_QT_MoviePane::~GH_QT_MoviePane() {
  CP_M_Idler::StopIdleCalls();
  // The base disposes whatever its two fields hold; these are gone first.
  if (fController) DisposeMovieController(fController);
  fController = nullptr;
  if (fMovie) DisposeMovie(fMovie);
  fMovie = nullptr;
  if (fFileMode && !fTrackTempFile.empty()) DeleteFileByPath(fTrackTempFile);
}

void GH_QT_MoviePane::StartFromCommandLine() {
  fOpenCount = 0;
  const size_t comma = fCommandLine.find(',');
  if (comma != std::string::npos && comma > 0)
    StartFromDataFile();
  else
    StartFromDatabase();
}

void GH_QT_MoviePane::StartFromDataFile() {
  fCurrentEntry = nullptr;
  fFileMode = true;
  fLoopCurrent = false;
  // A film file name (at most 255 characters), the track n and optionally m.
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    const size_t comma = fCommandLine.find(',', start);
    pieces.push_back(fCommandLine.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  const std::string fileName = pieces[0].substr(0, 255);
  const int32_t track = pieces.size() > 1 ? DecimalOf(pieces[1]) : 0;
  const int32_t fill = pieces.size() > 2 ? DecimalOf(pieces[2]) : 0;

  char directory[256] = {};
  const DWORD length = GetCurrentDirectoryA(255, directory);
  FilmRoot = WithBackslash(length > 0 && length < 255 ? std::string(directory, length) : std::string());
  fFilmDatabase = std::make_unique<GH_CDData>();
  std::string rootAlias;
  fFilmDatabase->Load(FilmRoot + "BINFILE.GHC", rootAlias);
  const FSSpec spec = PathToFileSpec(fileName);

  CallMoveTo(CP_Point(0, 0), 0);
  if (CP_Window* owner = GetOwnerWindow()) {
    const CP_Rect frame = owner->GetFrame();
    CallResizeTo(CP_Size(frame.Width(), frame.Height()));
  }
  if (int16_t(fill) == 1) {
    fFilmHeight = GetHeight();
    fFilmWidth = GetWidth();
  } else {
    fFilmHeight = -1;
    fFilmWidth = -1;
  }
  // The click goes to the pane's own window, whose handling decides what
  // it does: in this form it reaches the film.
  if (OpenFilm(spec, 1, 1.0, int16_t(track)) > 0) PostMessageA(fWindow, WM_LBUTTONDOWN, 100, 100);
  CP_Cursor arrow(int32_t(reinterpret_cast<intptr_t>(IDC_ARROW)), 0);
  TakeFocus(nullptr);
  Refresh();
  StartIdleCalls();
}

void GH_QT_MoviePane::StartFromDatabase() {
  fCDDatabase = std::make_unique<CDDatabase>("Player");
  fCDDatabase->ReportUnreadableTables();
  std::vector<DriveRecord> drives;
  fCDDatabase->ReadAllDrives(drives);
  if (drives.size() == 1) {
    DriveRecord drive;
    drive.label = FilmsFolderName;
    if (fCDDatabase->FindDriveRecord(drive) == 0 && drive.path.size() <= 1) {
      // The record takes the films folder; without one there is nothing to
      // record, and an empty path would wipe the `MovieDirectory` setting.
      drive.path = RenameM01FilesToFlm();
      // A row that cannot be written is noted, and told just below.
      if (!drive.path.empty()) (void)fCDDatabase->SelectMovieDirectoryDrive(drive);
    }
  }
  fCDDatabase->ReportWriteFailures();
  if (!fCommandLine.empty()) {
    PlaylistEntry entry;
    entry.itemId = int32_t(std::strtoul(fCommandLine.c_str(), nullptr, 10));
    const bool missing = fCDDatabase->LookupItem(entry);
    fCDDatabase->ReportDamagedTables();
    if (!missing && entry.itemType == 4 && entry.iconResId != 1) {
      fLoopCurrent = true;
      fPlayList.push_back(entry);
      fCurrentEntry = &fPlayList.front();
      const FSSpec spec = CurrentFilmSpec();
      CountFilmUse(UsageEvent::StartOnRequest);
      OpenFilm(spec, fCurrentEntry->loop, double(fCurrentEntry->rate), 0);
    } else {
      // Nothing to play: the click, handled by the pane, ends the run.
      PostMessageA(fWindow, WM_LBUTTONDOWN, 100, 100);
    }
    return;
  }
  std::string aliasRoot;
  int32_t itemId = 0, filmCount = 0;
  fCDDatabase->RegisterInsertedCD(aliasRoot, itemId, filmCount);
  fCDDatabase->ReadAllItems(AllItems);
  fCDDatabase->ReportDamagedTables();
  InstallNewFilms(*fCDDatabase, AllItems);
  fCDDatabase->BuildPlaylistFromDatabase(fPlayList);
  fCDDatabase->ReportWriteFailures();
  fLoopCurrent = false;
  fFileMode = false;
  if (fPlayList.empty()) {
    fCurrentEntry = nullptr;
    fLoopCurrent = true;
  } else {
    fCurrentEntry = &fPlayList.back();
  }
  if (fRandomize != 0) ShufflePlaylist();
  if (OpenFilm(PathToFileSpec(DefaultFilmPath()), 1, 1.0, 0) > 0) {
    if (fCurrentEntry)
      PlayNextEntry();
    else
      ShowAlert("Neither the default movie or a valid database cant be found. Please re-install the software",
                MB_ICONSTOP);
  }
}

// ---------------------------------------------------------------------------
// Opening films and the play list

void GH_QT_MoviePane::PaintBlack() {
  HDC dc = GetDC(fWindow);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  PatBlt(dc, 0, 0, GetWidth(), GetHeight(), PATCOPY);
  SelectObject(dc, old);
  ReleaseDC(fWindow, dc);
}

void GH_QT_MoviePane::SizeAndPlaceBox(Rect& box) {
  if (fFilmWidth > 0 && fFilmHeight > 0) {
    if (box.bottom == 240) {
      box.right = fFilmWidth;
      box.bottom = fFilmHeight;
    } else if (box.right != 0) {
      const float factor = float(fFilmWidth) / float(box.right);
      box.bottom = int16_t(float(box.bottom) * factor);
      box.right = fFilmWidth;
    }
  } else {
    box.right = int16_t(box.right * 2);
    box.bottom = int16_t(box.bottom * 2);
  }
  SetMovieBox(fMovie, &box);
  if (fPlacement == 2) {
    OffsetRect(&box, int16_t(-box.left), int16_t(-box.top));
  } else if (fPlacement == 1) {
    OffsetRect(&box, int16_t(GetWidth() / 2 - box.right / 2), int16_t(GetHeight() / 2 - box.bottom / 2));
  }
}

// The sprite window drops the last film's strip; the current entry names
// the track of the new film that holds its own, which the window then
// plays. Without such a strip the window goes out of sight.
void GH_QT_MoviePane::GiveStripToSpriteWindow(const FSSpec& spec, int16_t track) {
  CP_Window* window = FindWindowByTitle("Sprite Window");
  auto* strip = window ? dynamic_cast<GH_Sprite_QT_MoviePane*>(window->FindSubPaneById(CP_FourCC("SPRT"), false))
                       : nullptr;
  if (strip) strip->ReleaseSpriteFilm();
  if (fFileMode || track == -1) return;
  DeleteTemporaryMovies();
  Movie stripFilm = nullptr;
  if (fCurrentEntry) {
    std::string alias;
    const int32_t stripTrack = CurrentEntryDiscStatus(alias) == 1 ? fCurrentEntry->tkLocal : fCurrentEntry->tkGlobal;
    stripFilm = ExtractTrackMovie(stripTrack, fMovie, fSpriteTempFile);
  }
  if (!stripFilm || !strip) {
    if (stripFilm) DisposeMovie(stripFilm);
    if (window) window->Hide();
    return;
  }
  const std::string filmPath(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
  strip->SetSpriteFilm(stripFilm, ReadFilmVersion(filmPath).empty() ? 1 : 2);
  window->Show();
  strip->Show();
}

int32_t GH_QT_MoviePane::OpenFilm(FSSpec spec, int32_t playCount, double rate, int16_t track) {
  CP_M_Idler::StopIdleCalls();
  ++fOpenCount;
  if (fController) MCSetMovie(fController, nullptr, GetNativeWindowPort(fWindow), Point{0, 0});
  if (fMovie && !fFileMode) {
    DisposeMovie(fMovie);
    fMovie = nullptr;
  }
  PaintBlack();

  int32_t status;
  if (fFileMode && track > 0) {
    status = 0;
    gTrackSourceMovie = nullptr;
    LoadMovieFromFileSpec(spec, gTrackSourceMovie);
    if (gTrackSourceMovie) {
      fTrackTempFile = fTempFolder + std::to_string(track) + ".mov";
      DeleteFileByPath(fTrackTempFile);
      WriteTrackMovieFile(track, gTrackSourceMovie, fTrackTempFile);
      if (fMovie) DisposeMovie(fMovie);
      fMovie = nullptr;
      LoadMovieFromFileSpec(PathToFileSpec(fTrackTempFile), fMovie);
      DisposeMovie(gTrackSourceMovie);
      gTrackSourceMovie = nullptr;
    }
  } else {
    // In the file form the old film stays until the new one is made: it is
    // let go only once it has been replaced.
    Movie opened = nullptr;
    LoadMovieFromFileSpec(spec, opened);
    if (fMovie && fFileMode) DisposeMovie(fMovie);
    fMovie = opened;
    status = fMovie ? 2 : 1;
  }

  if (fFileMode && fMovie && fFilmHeight == -1) {
    Rect box{};
    GetMovieBox(fMovie, &box);
    fFilmHeight = int16_t(box.bottom - box.top);
    fFilmWidth = int16_t(box.right - box.left);
    if (fFilmWidth > GetSystemMetrics(SM_CXSCREEN)) {
      fFilmHeight = int16_t(GetSystemMetrics(SM_CYSCREEN));
      fFilmWidth = int16_t(GetSystemMetrics(SM_CXSCREEN));
    }
  }
  if (!fMovie) return status;

  DeleteTemporaryMovies();
  GiveStripToSpriteWindow(spec, track);

  if (playCount > 0) {
    fRepeat = true;
    fRepeatCount = playCount;
    fRepeatsDone = 1;
  } else {
    fRepeat = false;
    fRepeatCount = 0;
    fRepeatsDone = 0;
  }

  Rect box{};
  GetMovieBox(fMovie, &box);
  SizeAndPlaceBox(box);
  SetMovieGWorld(fMovie, GetNativeWindowPort(fWindow), nullptr);
  if (!fController) {
    if (fControllerKind == 1 || fControllerKind == 2) {
      const long flags = fControllerKind == 2 ? mcTopLeftMovie : mcTopLeftMovie | mcNotVisible;
      fController = NewMovieController(fMovie, &box, flags);
      if (fController)
        MCSetActionFilterWithRefCon(fController, &GH_QT_MoviePane::FilmActionFilter, reinterpret_cast<QTRefCon>(this));
    }
  } else {
    MCSetMovie(fController, fMovie, GetNativeWindowPort(fWindow), Point{box.top, box.left});
  }
  StartIdleCalls();
  SetVolumeLevel(fVolume);
  SetPlayRate(rate);
  if (!fFileMode)
    if (CP_Window* controller = FindWindowByTitle("Controller Window"))
      if (CP_Pane* pane = controller->FindSubPaneById(CP_FourCC("CONT"), false)) SetFocus(pane->GetHWND());
  return status;
}

int32_t GH_QT_MoviePane::PlayNextEntry() {
  fSwitchingFilm = true;
  bool wrapped = false;
  if (fPlayList.empty()) {
    fCurrentEntry = nullptr;
  } else {
    size_t index = fCurrentEntry ? size_t(fCurrentEntry - fPlayList.data()) + 1 : fPlayList.size();
    if (index >= fPlayList.size()) {
      if (fRandomize != 0) ShufflePlaylist();
      wrapped = true;
      index = 0;
    }
    fCurrentEntry = &fPlayList[index];
  }
  if (!fCurrentEntry) {
    fSwitchingFilm = false;
    return 1;
  }
  const FSSpec spec = CurrentFilmSpec();
  CountFilmUse(UsageEvent::PlaylistAdvance);
  const int32_t status = OpenFilm(spec, fCurrentEntry->loop, double(fCurrentEntry->rate), 0);
  if (status <= 0) {
    fPlayDefaultAtWrap = false;
    fSwitchingFilm = false;
    return status;
  }
  if (wrapped && fPlayDefaultAtWrap) {
    OpenFilm(PathToFileSpec(DefaultFilmPath()), 1, 1.0, 0);
    fLoopCurrent = true;
  }
  if (fController) MCIdle(fController);
  fSwitchingFilm = false;
  return status;
}

void GH_QT_MoviePane::ShufflePlaylist() {
  SYSTEMTIME now = {};
  GetSystemTime(&now);
  const uint32_t seed = uint32_t(now.wHour) + now.wMinute + now.wSecond + now.wMilliseconds;
  // The shuffle exchanges entries in place, so the current entry is kept
  // by its position, as the callers expect.
  ShuffleEntries(fPlayList, seed);
}

void GH_QT_MoviePane::UpdateCursor(const CP_Point&) {
  if (fCursorUpdates > 1) {
    ShowCursor(TRUE);
    SetCursor(fArrowCursor);
  }
  if (fCursorUpdates < 2) ++fCursorUpdates;
}

void GH_QT_MoviePane::HandleMouseDown(CP_Event&, const CP_Point&) {
  CP_M_Idler::StopIdleCalls();
  CP_M_Idler::StopIdleCalls();
  ShowCursor(TRUE);
  ApplyMute(true);
}

void GH_QT_MoviePane::DrawContent(const CP_Region&) {
  if (!fWindow) {
    ReportAssertion("GH_QT_MoviePane", int16_t(__LINE__), "fWindow != NULL");
    return;
  }
  if (fController) MCDraw(fController, GetNativeWindowPort(fWindow));
}

// ---------------------------------------------------------------------------
// Command texts

int32_t GH_QT_MoviePane::GetPlayMode() const {
  if (fLoopCurrent) return 1;
  if (fFileMode) return 2;
  return 3;
}

// Runs a command text looked up for a name: a close request stays with the
// pane, everything else goes to the registry.
bool GH_QT_MoviePane::RunCommandText(const std::string& text) {
  if (RunsClose(text)) {
    fCloseRequested = true;
    return true;
  }
  return RunActionText(text);
}

CDActionRecord GH_QT_MoviePane::FindActionRecord(std::string name) const {
  if (fFilmDatabase)
    for (const CDActionRecord& record : fFilmDatabase->GetActions())
      if (record.GetType() == 2 && record.GetActionName() == name) return record;
  return CDActionRecord();
}

bool GH_QT_MoviePane::RunAction(const std::string& name) {
  if (name == "CloseWindow") {
    fCloseRequested = true;
    return true;
  }
  const CDActionRecord record = FindActionRecord(name);
  // No record of that name: nothing to run.
  if (record.GetType() != 2) return false;
  return RunCommandText(record.GetCommandText());
}

void GH_QT_MoviePane::FilmActionsInto(const std::string& filmPath, ActionRecord& record) {
  std::vector<ActionRecord> actions;
  try {
    ::ImportFilmActions(filmPath, actions);
  } catch (const Exception&) {
    actions.clear();
  }
  for (const ActionRecord& action : actions) {
    if (std::strncmp(action.sprite, record.sprite, sizeof record.sprite) != 0) continue;
    std::memcpy(record.actionText, action.actionText, sizeof record.actionText);
    record.actionText[sizeof record.actionText - 1] = 0;
    return;
  }
}

void GH_QT_MoviePane::FindActionRecordOnCD(ActionRecord& record) {
  if (!fCurrentEntry) return;
  FilmActionsInto(WithBackslash(FilmRoot) + fCurrentEntry->fileName, record);
}

void GH_QT_MoviePane::FindActionRecordOnDrive(ActionRecord& record) {
  if (!fCurrentEntry || !fCDDatabase) return;
  DriveRecord drive;
  drive.label = fCurrentEntry->aliasRoot;
  if (fCDDatabase->FindDriveRecord(drive) != 0) return;
  FilmActionsInto(WithBackslash(drive.path) + fCurrentEntry->fileName, record);
}

bool GH_QT_MoviePane::RunFilmCommand(const std::string& name) {
  if (name == "CloseWindow") {
    fCloseRequested = true;
    return true;
  }
  std::string alias;
  const int32_t status = CurrentEntryDiscStatus(alias);
  ActionRecord record{};
  CopyToBuffer(record.sprite, name);
  if (status == 1) {
    record.actionType = 1;
    if (fCurrentEntry) CopyToBuffer(record.aliasRoot, fCurrentEntry->aliasRoot);
    FindActionRecordOnDrive(record);
  } else {
    record.actionType = 2;
    CopyToBuffer(record.aliasRoot, alias);
    std::memset(record.actionText, 0, sizeof record.actionText);
    // Judged by the text found, not the answer: a row with no text also
    // sends the click to the film's own table.
    if (fCDDatabase) (void)fCDDatabase->FindSpriteAction(record);
    if (record.actionText[0] == 0) FindActionRecordOnCD(record);
  }
  const std::string text(record.actionText, strnlen(record.actionText, sizeof record.actionText));
  if (RunsClose(text)) {
    fCloseRequested = true;
    return true;
  }
  try {
    ActionDefinition definition(text);
    if (definition.GetName().empty()) return true;
    std::unique_ptr<MultimediaAction> action(
        MultimediaActionFactory::CreateAction(definition.GetName(), definition.GetParameters()));
    // A name without a maker runs nothing and is not counted.
    if (!action) return true;
    action->Execute();
    CountFilmUse(UsageEvent::SpriteAction);
  } catch (...) {
    // A failed action ends only itself.
  }
  return true;
}

// ---------------------------------------------------------------------------
// Playback control

void GH_QT_MoviePane::Pause() {
  fPaused = true;
  if (fMovie && fController) MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(0)));
}

void GH_QT_MoviePane::Resume() {
  fPaused = false;
  ApplyMute(fMute != 0);
  if (fController)
    MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(fPlayRate * 65536.0)));
}

void GH_QT_MoviePane::SetPlayRate(double rate) {
  fPlayRate = rate;
  Resume();
  ApplyMute(fMute != 0);
}

void GH_QT_MoviePane::StopFilm() {
  fPaused = false;
  if (fMute == 0) ApplyMute(true);
  if (fController) MCDoAction(fController, mcActionPlay, reinterpret_cast<void*>(Fixed(0)));
  fSwitchingFilm = false;
}

void GH_QT_MoviePane::ApplyMute(bool silence) {
  if (silence && fController) MCDoAction(fController, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(0)));
}

void GH_QT_MoviePane::SetVolumeLevel(int32_t level) {
  if (fController)
    MCDoAction(fController, mcActionSetVolume, reinterpret_cast<void*>(intptr_t(int16_t(level * 25))));
}

void GH_QT_MoviePane::RewindFilm() {
  TimeRecord start{};
  if (fController) MCDoAction(fController, mcActionGoToTime, &start);
}

bool GH_QT_MoviePane::IsFilmPlaying() const {
  if (!fController) return false;
  long flags = 0;
  MCGetControllerInfo(fController, &flags);
  return (flags & mcInfoIsPlaying) != 0;
}

void GH_QT_MoviePane::PreviousEntry() {
  if (fCurrentEntry && !fPlayList.empty()) {
    PlaylistEntry* first = &fPlayList.front();
    PlaylistEntry* last = &fPlayList.back();
    if (fCurrentEntry == first) {
      fCurrentEntry = last;
      if (last != first) --fCurrentEntry;
    } else {
      --fCurrentEntry;
      if (fCurrentEntry == first)
        fCurrentEntry = last;
      else
        --fCurrentEntry;
    }
  }
  StopFilm();
}

Boolean GH_QT_MoviePane::FilmActionFilter(MovieController, int16_t action, void* params, QTRefCon refCon) {
  GH_QT_MoviePane* pane = PaneOf(refCon);
  if (!pane) return false;
  // The filter runs inside the movie toolbox: nothing may be thrown back
  // through it.
  return CP_GuardCallback<Boolean>(false, [&] { return pane->HandleFilterAction(action, params); });
}

Boolean GH_QT_MoviePane::HandleFilterAction(int16_t action, void* params) {
  switch (action) {
    case mcActionDoScript: {
      const auto* script = static_cast<const QTDoScriptRecord*>(params);
      RunAction(script && script->command ? std::string(script->command) : std::string());
      return true;
    }
    case mcActionMovieClick: {
      const Boolean handled = !fFileMode;
      StartIdleCalls();
      return handled;
    }
    case mcActionControllerSizeChanged:
      StartIdleCalls();
      return false;
    case mcActionExecuteOneActionForQTEvent: {
      std::string text;
      if (ReadApplicationMessage(params, text)) {
        Pause();
        RunAction(text);
        return true;
      }
      StartIdleCalls();
      return false;
    }
    case mcActionIdle: {
      Boolean handled = false;
      if (!IsFilmPlaying() && !fFileMode && !fSwitchingFilm && !fPaused) {
        // A skip forward stopped the film silenced: the replay gets the
        // film's volume back (Resume silences it again when muted).
        if (fLoopCurrent) {
          RewindFilm();
          SetVolumeLevel(fVolume);
          Resume();
        } else if (fRepeat && fRepeatsDone < fRepeatCount) {
          RewindFilm();
          SetVolumeLevel(fVolume);
          Resume();
          ++fRepeatsDone;
        } else {
          PlayNextEntry();
          handled = true;
        }
      }
      StartIdleCalls();
      return handled;
    }
    default:
      return false;
  }
}

// ---------------------------------------------------------------------------
// Window messages

void GH_QT_MoviePane::PassToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  CP_Window* owner = GetOwnerWindow();
  result = owner ? owner->HandleMessage(owner->GetHWND() ? owner->GetHWND() : window, message, wParam, lParam) : 0;
}

void GH_QT_MoviePane::CountFilmUse(UsageEvent event) {
  if (fCDDatabase && fCDDatabase->CountFilmUse(CurrentFilmPath(), event))
    PostMessageA(fWindow, kTellTableFailures, 0, 0);
}

void GH_QT_MoviePane::DismissOnKey() {
  if (!KeyDismissesRun(GetPlayMode())) return;
  if (CP_Window* main = FindWindowByTitle("MainVideoWindow")) PostMessageA(main->GetHWND(), WM_LBUTTONDOWN, 0, 0);
}

LRESULT GH_QT_MoviePane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
  if (press) {
    if (fSwitchingFilm) {
      if (CP_Window* sprite = FindWindowByTitle("Sprite Window")) sprite->BringToFront();
      fSwitchingFilm = false;
      return 0;
    }
    if (!(GetPlayMode() == 2 && !fCloseRequested)) {
      // The owner may close the player and delete this pane: nothing of the
      // pane is touched after it answers.
      LRESULT result = 0;
      PassToOwner(window, message, wParam, lParam, result);
      return result;
    }
  }
  if (fController) {
    std::weak_ptr<char> alive = LifeToken();
    OfferMessageToController(fController, window, message, wParam, lParam);
    // An action of the film may have ended the run and taken the pane.
    if (alive.expired()) return 0;
  }
  switch (message) {
    case WM_LBUTTONDOWN:
      if (fCloseRequested) {
        LRESULT ignored = 0;
        PassToOwner(window, message, wParam, lParam, ignored);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      DismissOnKey();
      return 0;
    case WM_CREATE:
      CreatePortAssociation(window, nullptr, 0);
      MacSetPort(GetNativeWindowPort(window));
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_MOUSEMOVE:
      CallUpdateCursor(CP_Point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))));
      return 0;
    case WM_TIMER:
      KillTimer(fWindow, 1);
      return 0;
    case kTellTableFailures:
      if (fCDDatabase) fCDDatabase->ReportWriteFailures();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

// ---------------------------------------------------------------------------
// The CD data file and film locations

FSSpec GH_QT_MoviePane::PathToFileSpec(const std::string& path) {
  FSSpec spec{};
  Str255 name = {};
  const size_t length = std::min<size_t>(path.size(), 255);
  name[0] = uint8_t(length);
  std::memcpy(name + 1, path.data(), length);
  FSMakeFSSpec(0, 0, name, &spec);
  return spec;
}

int32_t GH_QT_MoviePane::LoadCDDataFile(const FSSpec& spec, std::string& rootAlias) {
  if (!fFilmDatabase) fFilmDatabase = std::make_unique<GH_CDData>();
  const std::string path(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
  return fFilmDatabase->Load(path, rootAlias);
}

int32_t GH_QT_MoviePane::CurrentEntryDiscStatus(std::string& alias) {
  if (!fCurrentEntry) return 1;
  const std::string label = GetVolumeLabel(FilmRoot);
  bool onDisc = false;
  if (fCurrentEntry->parentType == 1)
    onDisc = fCurrentEntry->volumeName == label || fCurrentEntry->volumeName.empty();
  else if (fCurrentEntry->parentType == 2 && !fCurrentEntry->origin.empty())
    onDisc = fCurrentEntry->origin == label;
  if (!onDisc) return 1;
  if (fCDDatabase) alias += fCDDatabase->AliasForVolume(label);
  return 2;
}

std::string GH_QT_MoviePane::CurrentFilmPath() {
  if (!fCurrentEntry) return std::string();
  const PlaylistEntry& entry = *fCurrentEntry;
  const std::string inFolder =
      entry.filePath.empty() ? entry.fileName : entry.filePath + "\\" + entry.fileName;
  if (entry.parentType == 1) return WithBackslash(FilmRoot) + inFolder;
  if (!fCDDatabase) return std::string();
  DriveRecord drive;
  drive.label = entry.aliasRoot;
  if (fCDDatabase->FindDriveRecord(drive) != 0) return std::string();
  return drive.path + "\\" + inFolder;
}

FSSpec GH_QT_MoviePane::CurrentFilmSpec() { return PathToFileSpec(CurrentFilmPath()); }

void GH_QT_MoviePane::DeleteTemporaryMovies() {
  try {
    CP_FileSystem::DeleteFile(CP_FileSpec(fSpriteTempFile, false));
    CP_FileSystem::DeleteFile(CP_FileSpec(fMovieTempFile, false));
  } catch (const CP_BaseException&) {
    // A file that is not there ends the clean-up quietly.
  }
}
