#include "GH_LocationFilms.h"

#include "CDDatabase.h"
#include "CP_File.h"
#include "CP_FileSpec.h"
#include "CopyFileWithProgress.h"
#include "GH_LibraryGlobals.h"
#include "GH_MainWindow.h"
#include "GH_Utilities.h"

#include <cctype>
#include <cstring>
#include <exception>
#include <vector>

namespace {

std::string WithBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

// A row's folder, with its backslash, or nothing when it has none.
std::string SubFolder(const std::string& filePath) { return filePath.empty() ? filePath : WithBackslash(filePath); }

bool IsSafeName(const PlaylistEntry& film) { return !film.FileName.empty() && !ClimbsOut(film.FileName); }

// "C:\" for a path on drive C; the volume calls want the drive's root.
std::string DriveRootOf(const std::string& path) {
  return DriveIndexOfPath(path) >= 0 ? path.substr(0, 2) + "\\" : std::string();
}

std::string NoRootText(const std::string& aliasRoot) {
  return "Cannot find root drive " + aliasRoot + ". Please make sure drive is configured correctly.";
}

bool FindDrivePath(const std::string& aliasRoot, std::string& path) {
  DriveRecord drive;
  drive.LABEL = aliasRoot;
  if (!cdDatabase || cdDatabase->FindDriveRecord(drive)) {
    MainWindowMessage(NoRootText(aliasRoot), "Glintharbour KX", MB_OK);
    return false;
  }
  path = drive.PATH;
  return true;
}

template <size_t N>
void CopyText(char (&field)[N], const std::string& text) {
  const size_t length = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

// The copied film becomes a row of the target's location, with the actions
// its own data carries.
void RecordCopiedFilm(const PlaylistEntry& film, const PlaylistEntry& target, const std::string& source,
                      const std::string& destination) {
  PlaylistEntry row = film;
  row.PARENT_ID = target.ITEM_ID;
  row.PARENTTYPE = kItemLocation;
  row.FILEPATH = target.FILEPATH;
  row.AliasRoot = target.AliasRoot;
  row.ORIGIN = GetVolumeName(DriveRootOf(source));
  row.VOLUMENAME = GetVolumeName(DriveRootOf(destination));
  if (cdDatabase->AppendItem(row, true)) return;
  std::vector<ActionRecord> actions;
  try {
    manager_data::ImportFilmActions(destination, actions);
  } catch (const std::exception&) {
    return;  // a film whose own data cannot be read brings no actions
  }
  for (ActionRecord& action : actions) {
    CopyText(action.aliasRoot, row.AliasRoot);
    action.actionType = 1;
    cdDatabase->AppendActionRecord(action);
  }
}

int32_t CopyOneFile(const std::string& source, const std::string& destination) {
  if (source.empty() || destination.empty()) return -1;
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(destination, false));
  return copy.Copy();
}

}  // namespace

int32_t DriveIndexOfPath(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return -1;
  return std::toupper(static_cast<unsigned char>(path[0])) - 'A';
}

uint32_t FileSizeInFolder(std::string folder, const std::string& name) {
  CP_File file(CP_FileSpec(WithBackslash(folder) + name, false));
  file.Open(GENERIC_READ);
  const uint32_t size = file.GetSize();
  file.Close();
  return size;
}

int32_t MoveLocationFilms(int32_t locationId, std::string oldFolder, std::string newFolder) {
  const bool sameDrive = DriveIndexOfPath(oldFolder) == DriveIndexOfPath(newFolder);
  oldFolder = WithBackslash(oldFolder);
  newFolder = WithBackslash(newFolder);
  // Taken first: the copies below run other code that may reload the list.
  std::vector<std::string> names;
  for (const PlaylistEntry& row : itemList)
    if (row.ITEMTYPE == kItemFilm && row.PARENT_ID == locationId && !ClimbsOut(row.FileName))
      names.push_back(row.FileName);

  if (sameDrive) {
    for (const std::string& name : names) MoveFileA((oldFolder + name).c_str(), (newFolder + name).c_str());
    return 1;
  }
  int64_t total = 0;
  for (const std::string& name : names) total += int32_t(FileSizeInFolder(oldFolder, name));
  if (total >= int64_t(FreeDiskSpace(newFolder))) return -1;
  // A film that fails to copy is not reported: the location moves all the same.
  for (const std::string& name : names) CopyOneFile(oldFolder + name, newFolder + name);
  return 1;
}

std::string CopyFailureText(int32_t result, const std::string& title, const std::string& destinationRoot) {
  switch (result) {
    case kCopySourceMissing:
      return "Source file for movie " + title + " not found.";
    case kCopyNoFolder:
      return "Copy failed for movie \"" + title + "\". Check that the directory " + destinationRoot + " exists.";
    case kCopyFailed:
      return "An exception occurred while copying movie : " + title;
    case kCopyNoSpace:
      return "Not enough space available on the destination drive for movie: " + title;
    case kCopyCancelled:
      return "File copy for movie " + title + " cancelled by the user";
    default:
      return "Undefined error while copying movie: " + title;
  }
}

int32_t CopyFilmToItem(const PlaylistEntry& film, const PlaylistEntry& target) {
  std::string destinationRoot;
  if (!FindDrivePath(target.AliasRoot, destinationRoot)) return -1;
  std::string sourceRoot = cdDriveRoot;
  if (film.PARENTTYPE != kItemCD) {
    if (!FindDrivePath(film.AliasRoot, sourceRoot)) return -1;
    sourceRoot = WithBackslash(sourceRoot);
  }
  const bool safe = IsSafeName(film) && !ClimbsOut(film.FILEPATH) && !ClimbsOut(target.FILEPATH);
  const std::string source = safe ? sourceRoot + SubFolder(film.FILEPATH) + film.FileName : std::string();
  const std::string destination =
      safe ? WithBackslash(destinationRoot) + SubFolder(target.FILEPATH) + film.FileName : std::string();
  const int32_t result = CopyOneFile(source, destination);
  if (result != kCopyDone) {
    MainWindowMessage(CopyFailureText(result, film.ITEMTEXT, destinationRoot), "Glintharbour International", MB_OK);
    return result;
  }
  if (cdDatabase) RecordCopiedFilm(film, target, source, destination);
  return result;
}
