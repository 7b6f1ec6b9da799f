#include "FilmInstallation.h"

#include <cstring>
#include <exception>
#include <set>
#include <string>
#include <utility>

#include "CDDatabase.h"
#include "CP_DirectoryIterator.h"
#include "CP_Exception.h"
#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CP_FourCC.h"
#include "CP_Window.h"
#include "FilmFileReader.h"
#include "GH_FilmsFolder.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"

namespace {

constexpr int kWaitDialog = 20300;

// The wait window of a scan; destroyed with it.
class ScanWaitWindow {
 public:
  ScanWaitWindow() {
    CP_Window* main = FindMainWindow(mainWindowTitle);
    HWND owner = main ? main->GetHWND() : nullptr;
    fWindow = CreateDialogParamA(ManagerInstance(), MAKEINTRESOURCEA(kWaitDialog), owner,
                                 CDDatabase::ImportWaitDialogProc, 0);
    if (owner) UpdateWindow(owner);
    if (fWindow) ShowWindow(fWindow, SW_SHOW);
  }
  ~ScanWaitWindow() {
    if (fWindow) DestroyWindow(fWindow);
  }
  ScanWaitWindow(const ScanWaitWindow&) = delete;
  ScanWaitWindow& operator=(const ScanWaitWindow&) = delete;

 private:
  HWND fWindow = nullptr;
};

// Puts the remembered current directory back when the pass ends, however
// it ends.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() {
    char folder[255] = {};
    if (GetCurrentDirectoryA(sizeof folder, folder) < sizeof folder) fSaved = folder;
  }
  ~CurrentDirectoryKeeper() {
    if (!fSaved.empty()) SetCurrentDirectoryA(fSaved.c_str());
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  std::string fSaved;
};

template <size_t N>
void CopyText(char (&field)[N], const std::string& text) {
  const size_t length = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

bool HasLocation(const PlaylistEntries& items, const std::string& aliasRoot) {
  for (const PlaylistEntry& e : items)
    if (e.ITEMTYPE == kItemLocation && e.AliasRoot == aliasRoot) return true;
  return false;
}

void StoreFilmActions(CDDatabase& database, FilmFileReader& film, const std::string& aliasRoot) {
  std::vector<ActionRecord> actions;
  try {
    film.ReadActions(actions);
  } catch (const std::exception&) {
    // A film whose own data is damaged: the actions read before the damage stay.
  }
  for (ActionRecord& action : actions) {
    CopyText(action.aliasRoot, aliasRoot);
    action.actionType = 1;
    // A failed one ends nothing: it is noted, for the user to hear at the
    // end of the scan's action.
    (void)database.AppendActionRecord(action);
  }
}

// A read-only or locked file stays: the user hears of it and the scan goes on.
void DeleteOfferedFile(const CP_FileSpec& film) {
  try {
    CP_FileSystem::DeleteFile(film);
  } catch (const CP_BaseException&) {
    const std::string text = "\"" + film.Path() + "\" could not be deleted.";
    MessageBoxA(nullptr, text.c_str(), "Glintharbour International", MB_OK);
  }
}

// Films renamed outside the program whose rows kept their old names: each
// a title and the new name.
using NotRenamed = std::vector<std::pair<std::string, std::string>>;

// One film file not listed under the drive's label.
void InstallFilm(CDDatabase& database, const DriveRecord& drive, const CP_FileSpec& film,
                 std::vector<std::string>* recorded, NotRenamed& notRenamed) {
  const std::string path = film.Path();
  std::string text;
  try {
    // One open of the file serves its size label, preferences and actions.
    FilmFileReader reader(path);
    const FilmRecording result = database.RegisterInstalledFilm(
        film, [&](manager_data::Preferences& preferences) { reader.ReadPreferences(preferences); }, drive.LABEL,
        reader.SizeText(), text);
    if (result == FilmRecording::AlreadyListed) {
      reader.Close();  // the user may have the file deleted
      const std::string question = "\"" + path + "\" is already installed. Do you want to delete the file?";
      if (MessageBoxA(nullptr, question.c_str(), "Glintharbour International", MB_YESNO) == IDYES)
        DeleteOfferedFile(film);
      return;
    }
    if (result == FilmRecording::AppendFailed) database.ReportUnchangeableLibrary();
    if (result == FilmRecording::RenameFailed) notRenamed.emplace_back(text, film.Name());
    // A listed film under its new name: its actions were stored with it.
    if (result == FilmRecording::Renamed && recorded) recorded->push_back(text);
    // A film that could not be recorded is no copy of a listed one: it stays.
    if (result != FilmRecording::Recorded) return;
    if (recorded) recorded->push_back(text);
    StoreFilmActions(database, reader, drive.LABEL);
  } catch (const std::exception&) {
    // A film whose own data cannot be read: what was recorded of it stays,
    // and the scan goes on with the next file.
  } catch (const CP_BaseException&) {
    // The same for a file error of the framework.
  }
}

void ScanFolder(CDDatabase& database, const DriveRecord& drive, uint32_t typeCode, const PlaylistEntries& items,
                std::vector<std::string>* recorded, NotRenamed& notRenamed) {
  // Without a location row for the label nothing can be recorded; the
  // files must not be taken for installed ones and offered for deletion.
  if (!HasLocation(items, drive.LABEL)) return;
  {
    CurrentDirectoryKeeper keeper;
    // A folder that does not exist gives an empty walk.
    if (SetCurrentDirectoryA(drive.PATH.c_str())) {
      CP_FileFilter filter(typeCode);
      CP_DirectoryIterator end;
      CP_DirectoryIterator walk(CP_FileSpec(drive.PATH, true), &filter);
      // One look-up per file, not a pass over every row; names in any
      // letter case are one file.
      std::set<std::string> listed;
      for (const PlaylistEntry& e : items)
        if (e.AliasRoot == drive.LABEL) listed.insert(CP_FileSystem::FileNameKey(e.FileName));
      for (walk.Next(); !(walk == end); walk.Next()) {
        const CP_FileSpec film = walk.Current();
        if (film.IsDirectory() || listed.count(CP_FileSystem::FileNameKey(film.Name()))) continue;
        InstallFilm(database, drive, film, recorded, notRenamed);
      }
    }
  }
  // Noted when it fails, for the user to hear at the end of the action.
  (void)database.FlushItems();
}

// Clears the database's scan mark however the scan ends.
class ScanMark {
 public:
  explicit ScanMark(CDDatabase& database) : fDatabase(database) { fDatabase.SetScanning(true); }
  ~ScanMark() { fDatabase.SetScanning(false); }
  ScanMark(const ScanMark&) = delete;
  ScanMark& operator=(const ScanMark&) = delete;

 private:
  CDDatabase& fDatabase;
};

void ScanAll(CDDatabase& database, std::vector<std::string>* recorded) {
  // A scan under one of this scan's boxes would offer the same file again.
  if (database.IsScanning()) return;
  ScanMark mark(database);
  ScanWaitWindow wait;
  // Each pass gets the list as it was when the scan began: the item list
  // itself may be reloaded while a box is up.
  const PlaylistEntries items = itemList;
  std::vector<DriveRecord> drives;
  database.LoadDrives(drives);
  NotRenamed notRenamed;
  for (const DriveRecord& drive : drives)
    for (uint32_t code : {CP_FourCC(".flm"), CP_FourCC(".m01"), CP_FourCC(".M01")})
      ScanFolder(database, drive, code, items, recorded, notRenamed);
  database.ReportFilmsNotRenamed(notRenamed);
}

void ScanOneFolder(CDDatabase& database, const DriveRecord& drive, uint32_t typeCode, const PlaylistEntries& items,
                   std::vector<std::string>* recorded) {
  NotRenamed notRenamed;
  ScanFolder(database, drive, typeCode, items, recorded, notRenamed);
  database.ReportFilmsNotRenamed(notRenamed);
}

}  // namespace

void InstallNewFilms(CDDatabase& database) { ScanAll(database, nullptr); }

void InstallNewFilmsCollect(CDDatabase& database, std::vector<std::string>& recorded) {
  recorded.clear();
  ScanAll(database, &recorded);
}

void InstallFilmsInFolder(CDDatabase& database, const DriveRecord& drive, uint32_t typeCode, PlaylistEntries items) {
  ScanOneFolder(database, drive, typeCode, items, nullptr);
}

void InstallFilmsInFolderCollect(CDDatabase& database, const DriveRecord& drive, uint32_t typeCode,
                                 PlaylistEntries items, std::vector<std::string>& recorded) {
  ScanOneFolder(database, drive, typeCode, items, &recorded);
}

bool IsFilmListed(const PlaylistEntries& items, const CP_FileSpec& file, const std::string& aliasRoot) {
  const std::string name = file.Name();
  for (const PlaylistEntry& e : items)
    if (CP_FileSystem::SameFileName(e.FileName, name) && e.AliasRoot == aliasRoot) return true;
  return false;
}
