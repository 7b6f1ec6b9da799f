#include "utility/GH_FilmFolders.h"

#include <cstdio>
#include <utility>

#include "CP_DirectoryIterator.h"
#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_FileSystem.h"
#include "CP_Win.h"
#include "GH_IniFile.h"
#include "database/CDDatabase.h"
#include "films/FilmUserDataReaders.h"

namespace {

const char* const kSection = "glintharbour";
const char* const kSettingsFile = "glintharbour.ini";

bool FolderExists(const std::string& path) { return CP_FileSystem::DirectoryExists(CP_FileSpec(path, true)); }

// The first ".m01" of the file's name becomes ".flm"; the folders on the
// way are never renamed.
std::string FlmName(std::string name) {
  const std::size_t at = name.find(".m01");
  if (at != std::string::npos) name.replace(at, 4, ".flm");
  return name;
}

// Restores the process's current directory when the walk of a folder ends.
class CurrentDirectoryKeeper {
public:
  CurrentDirectoryKeeper() {
    char saved[256] = {};
    if (GetCurrentDirectoryA(sizeof saved - 1, saved) < sizeof saved - 1) fSaved = saved;
  }
  ~CurrentDirectoryKeeper() {
    if (!fSaved.empty()) SetCurrentDirectoryA(fSaved.c_str());
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

private:
  std::string fSaved;
};

void StoreFilmActions(CDDatabase& db, const std::string& path, const std::string& label) {
  std::vector<ActionRecord> actions;
  ImportFilmActions(path, actions);
  for (ActionRecord& action : actions) {
    CopyToBuffer(action.aliasRoot, label);
    action.actionType = 1;
    // One that cannot be stored is noted, for the start to tell; the film
    // plays without it.
    (void)db.StoreActionRecord(action);
  }
}

void DeleteFilmFile(const std::string& path) {
  try {
    CP_File(CP_FileSpec(path, false)).Delete();
  } catch (const CP_BaseException&) {
    // A file that cannot be deleted stays where it is.
  }
}

bool AskToDelete(const std::string& path) {
  const std::string text = "\"" + path + "\" is already installed. Do you want to delete the file?";
  return MessageBoxA(nullptr, text.c_str(), "Glintharbour International", MB_YESNO) == IDYES;
}

// Films renamed outside the engine whose rows kept their old names: each a
// title and the new name.
using NotRenamed = std::vector<std::pair<std::string, std::string>>;

// One pass over the drive's folder for one kind; renamed rows are renamed
// in `playlist` too.
void InstallFolder(CDDatabase& db, const DriveRecord& drive, const std::string& kind,
                   std::vector<PlaylistEntry>& playlist, NotRenamed& notRenamed) {
  CurrentDirectoryKeeper keeper;
  SetCurrentDirectoryA(drive.path.c_str());
  std::vector<CP_FileSpec> films;
  {
    CP_FileFilter filter(CP_TypeCodeOfName("x" + kind));
    CP_DirectoryIterator end;
    CP_DirectoryIterator walk(CP_FileSpec(drive.path, true), &filter);
    for (walk.Next(); !(walk == end); walk.Next()) films.push_back(walk.Current());
  }
  for (const CP_FileSpec& film : films) {
    if (IsFilmFileListed(playlist, film, drive.label)) continue;
    const std::string path = film.Path();
    std::string shown;
    switch (db.RegisterInstalledFilm(film, drive.label, FileSizeText(path), shown, playlist)) {
      case FilmRecording::Recorded:
        StoreFilmActions(db, path, drive.label);
        break;
      case FilmRecording::AlreadyListed:
        if (AskToDelete(path)) DeleteFilmFile(path);
        break;
      case FilmRecording::AppendFailed:
        db.ReportUnchangeableLibrary();
        break;
      case FilmRecording::RenameFailed:
        notRenamed.emplace_back(shown, film.Name());
        break;
      case FilmRecording::Renamed:      // its actions were stored when it was first recorded
      case FilmRecording::Kept:         // a listed film's own file, or one not to be told from it
      case FilmRecording::NotRecorded:  // nothing is known of the film: no copy of a listed one
        break;
    }
  }
  // Noted when it fails, for the start to tell.
  (void)db.FlushItems();
}

}  // namespace

std::string RenameM01FilesToFlm() {
  std::string path;
  ReadIniString(kSection, "Path", "C:\\program files\\glintharbour", path, kSettingsFile);
  const std::string installed = path + "\\Installed Movies";

  if (FolderExists(installed)) {
    ReadIniString(kSection, "Path", "C:\\program files\\glintharbour", path, kSettingsFile);
    const std::string internet = path + "\\Internet Movies";
    if (FolderExists(internet)) {
      std::vector<std::string> names;
      {
        CP_DirectoryIterator end;
        CP_DirectoryIterator walk{CP_FileSpec(internet, true)};
        for (walk.Next(); !(walk == end); walk.Next()) names.push_back(walk.Current().Name());
      }
      // Moved once the walk is over: a folder's listing is not changed under it.
      for (const std::string& name : names) {
        MoveFileA((internet + "\\" + name).c_str(), (installed + "\\" + FlmName(name)).c_str());
      }
    }
    return installed;
  }
  return DefaultFilmsFolder();
}

std::string DefaultFilmsFolder() {
  char windows[250] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  std::string path;
  ReadIniString(kSection, "Path", "C:\\program files\\glintharbour", path, kSettingsFile);
  const std::string installed = path + "\\Installed Movies";
  if (FolderExists(installed)) return installed;

  const std::string myDocuments = std::string(1, windows[0]) + ":\\" + "My Documents";
  if (FolderExists(myDocuments)) {
    const std::string films = myDocuments + "\\" + "Glintharbour Movies";
    if (!FolderExists(films)) CP_FileSystem::CreateSubfolder(CP_FileSpec(myDocuments, true), "Glintharbour Movies");
    return films;
  }

  ReadIniString(kSection, "Path", "", path, kSettingsFile);
  if (path.empty()) return std::string();
  if (path.back() != '\\') path += '\\';
  path += "Glintharbour Films\\";
  MakeDirectory(path.c_str());
  return path;
}

void InstallNewFilms(CDDatabase& db, const std::vector<PlaylistEntry>& playlist) {
  std::vector<DriveRecord> drives;
  db.ReadAllDrives(drives);
  // The rows recorded by the scan never enter this list; a row renamed by
  // it does, so that the next file of that film finds the film's file.
  std::vector<PlaylistEntry> known = playlist;
  NotRenamed notRenamed;
  for (const DriveRecord& drive : drives) {
    for (const char* kind : {".flm", ".m01", ".M01"}) InstallFolder(db, drive, kind, known, notRenamed);
  }
  db.ReportFilmsNotRenamed(notRenamed);
}

void InstallFilmsInFolder(CDDatabase& db, const DriveRecord& drive, const std::string& kind,
                          std::vector<PlaylistEntry> playlist) {
  NotRenamed notRenamed;
  InstallFolder(db, drive, kind, playlist, notRenamed);
  db.ReportFilmsNotRenamed(notRenamed);
}

bool IsFilmFileListed(const std::vector<PlaylistEntry>& playlist, const CP_FileSpec& file,
                      const std::string& aliasRoot) {
  const std::string name = file.Name();
  for (const PlaylistEntry& e : playlist) {
    if (CP_FileSystem::SameFileName(e.fileName, name) && e.aliasRoot == aliasRoot) return true;
  }
  return false;
}

bool IsItemInPlaylist(const std::vector<PlaylistEntry>& playlist, const std::string& itemText,
                      const std::string& aliasRoot) {
  for (const PlaylistEntry& e : playlist) {
    if (e.itemText == itemText && e.aliasRoot == aliasRoot) return true;
  }
  return false;
}

std::string FileSizeText(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  const DWORD size = GetFileSize(file, nullptr);
  CloseHandle(file);
  char text[64];
  std::snprintf(text, sizeof text, " [%5.2f MB]", double(size) * (1.0 / 1048576.0));
  return text;
}
