#include "GH_LocationFilms.h"

#include "CDDatabase.h"
#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CopyFileWithProgress.h"
#include "GH_LibraryGlobals.h"
#include "GH_LibraryNotices.h"
#include "GH_MainWindow.h"
#include "GH_Utilities.h"

#include <cctype>
#include <cstring>
#include <exception>
#include <set>
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
// its own data carries. False when the row could not be appended.
bool RecordCopiedFilm(const PlaylistEntry& film, const PlaylistEntry& target, const std::string& source,
                      const std::string& destination) {
  PlaylistEntry row = film;
  row.PARENT_ID = target.ITEM_ID;
  row.PARENTTYPE = kItemLocation;
  row.FILEPATH = target.FILEPATH;
  row.AliasRoot = target.AliasRoot;
  row.ORIGIN = GetVolumeName(DriveRootOf(source));
  row.VOLUMENAME = GetVolumeName(DriveRootOf(destination));
  if (cdDatabase->AppendItem(row, true)) return false;
  std::vector<ActionRecord> actions;
  try {
    manager_data::ImportFilmActions(destination, actions);
  } catch (const std::exception&) {
    return true;  // a film whose own data cannot be read brings no actions
  }
  for (ActionRecord& action : actions) {
    CopyText(action.aliasRoot, row.AliasRoot);
    action.actionType = 1;
    // One that cannot be stored is noted, for the user to hear at the end
    // of the drop; the film plays without it.
    (void)cdDatabase->AppendActionRecord(action);
  }
  return true;
}

int32_t CopyOneFile(const std::string& source, const std::string& destination) {
  if (source.empty() || destination.empty()) return -1;
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(destination, false));
  return copy.Copy();
}

const char kNotMoved[] = "\r\n\r\nThe location was not moved.";

// One film file of a location: its name in the folder and, for the user,
// the title of the film that shows it.
struct LocationFile {
  std::string title;
  std::string name;
};
using LocationFiles = std::vector<LocationFile>;

// The files a move has put into the new folder so far: renamed there on
// the same drive, copied there from another. Only these are undone.
struct FilesMade {
  bool copied = false;
  LocationFiles files;
};

// The location's films are the rows under it and, in the wastebasket, the
// rows of its alias root: both lie in its folder. Each file counts once, and
// only a file that is there: a film whose file has gone has nothing to take.
LocationFiles FilesOfLocation(int32_t locationId, const std::string& folder) {
  std::string aliasRoot;
  for (const PlaylistEntry& row : itemList)
    if (row.ITEM_ID == locationId && row.ITEMTYPE == kItemLocation) aliasRoot = row.AliasRoot;
  LocationFiles files;
  std::set<std::string> seen;
  for (const PlaylistEntry& row : itemList) {
    if (row.ITEMTYPE != kItemFilm || !IsSafeName(row)) continue;
    const bool inWastebasket = row.PARENT_ID == kWastebasketId && !aliasRoot.empty() && row.AliasRoot == aliasRoot;
    if (row.PARENT_ID != locationId && !inWastebasket) continue;
    if (IsFile(folder + row.FileName) && seen.insert(CP_FileSystem::FileNameKey(row.FileName)).second)
      files.push_back({row.ITEMTEXT, row.FileName});
  }
  return files;
}

// True, with the reason in `whyNot`, when the film's name is taken in the
// new folder: that file is someone else's, never replaced nor deleted.
bool NameTakenFor(const LocationFile& file, const std::string& newFolder, std::string& whyNot) {
  if (!IsNameTaken(newFolder + file.name)) return false;
  whyNot = "Movie \"" + file.title + "\" cannot be moved: the directory " + newFolder +
           " already holds a file named " + file.name + ".";
  return true;
}

// Same drive: each file is renamed into the new folder; the first that will
// not go (held open by the engine, say) stops the move.
int32_t RenameFiles(const LocationFiles& files, const std::string& oldFolder, const std::string& newFolder,
                    FilesMade& made, std::string& whyNot) {
  for (const LocationFile& file : files) {
    if (!MoveFileA((oldFolder + file.name).c_str(), (newFolder + file.name).c_str())) {
      whyNot = "Movie \"" + file.title + "\" could not be moved to the directory " + newFolder + ".";
      return kMoveStopped;
    }
    made.files.push_back(file);
  }
  return kMoveDone;
}

// Another drive: each file is copied with the progress dialog and the old
// ones stay; a copy that fails or is cancelled stops the move. Sizes are
// added in 64 bits: a film of 2 GB or more counts whole.
int32_t CopyFiles(const LocationFiles& files, const std::string& oldFolder, const std::string& newFolder,
                  FilesMade& made, std::string& whyNot) {
  uint64_t total = 0;
  for (const LocationFile& file : files) {
    try {
      total += FileSizeInFolder(oldFolder, file.name);
    } catch (const CP_BaseException&) {
      whyNot = "Movie \"" + file.title + "\" cannot be read.";
      return kMoveStopped;
    }
  }
  if (total >= FreeDiskSpace(newFolder)) return kMoveNoSpace;
  made.copied = true;
  for (const LocationFile& file : files) {
    // The copies run other code: a file may have turned up meanwhile.
    if (NameTakenFor(file, newFolder, whyNot)) return kMoveStopped;
    const int32_t result = CopyOneFile(oldFolder + file.name, newFolder + file.name);
    if (result != kCopyDone) {
      whyNot = CopyFailureText(result, file.title, newFolder, file.name);
      return kMoveStopped;
    }
    made.files.push_back(file);
  }
  return kMoveDone;
}

// Undoes what the move made, last first: renamed files go back (a rename
// never replaces), copies are deleted. Answers the text naming each film
// that stays where the move put it, or nothing when all went back.
std::string PutBack(const FilesMade& made, const std::string& oldFolder, const std::string& newFolder) {
  std::string left;
  for (size_t n = made.files.size(); n-- > 0;) {
    const std::string there = newFolder + made.files[n].name;
    const bool back =
        made.copied ? DeleteFileA(there.c_str()) : MoveFileA(there.c_str(), (oldFolder + made.files[n].name).c_str());
    if (!back) left += "\r\n" + made.files[n].title + " (" + there + ")";
  }
  if (left.empty()) return left;
  if (made.copied)
    return "\r\n\r\nThese copies could not be removed; the movies themselves are still in the directory " +
           oldFolder + ":" + left;
  return "\r\n\r\nThese movies could not be put back into the directory " + oldFolder + " and are now at:" + left;
}

// Why the location's drive row cannot take the new folder.
std::string RowProblemText(DriveRowCheck check, const DriveRecord& row) {
  switch (check) {
    case DriveRowCheck::Missing:
      return "The library's table GH_DriveDB.dbf holds no entry " + row.LABEL + " for the location.";
    case DriveRowCheck::TooLong:
      return "The directory " + row.PATH + " is too long for the library's table GH_DriveDB.dbf to keep.";
    case DriveRowCheck::Unwritable:
      return gh_library::UnwritableTableText(cdDatabase->TablesFolder(), "GH_DriveDB");
    default:
      return "The library's table GH_DriveDB.dbf could not be written.";
  }
}

// Moves or copies the location's files and, once all went, writes the row;
// anything short of that undoes what the move made.
int32_t MoveFilesAndRow(const LocationFiles& files, const std::string& oldFolder, const DriveRecord& row,
                        bool sameDrive, std::string& whyNot) {
  FilesMade made;
  const int32_t result = sameDrive ? RenameFiles(files, oldFolder, row.PATH, made, whyNot)
                                   : CopyFiles(files, oldFolder, row.PATH, made, whyNot);
  if (result == kMoveNoSpace) return result;
  if (result == kMoveDone) {
    if (!cdDatabase->UpdateDriveRecord(row)) return kMoveDone;
    whyNot = RowProblemText(cdDatabase->CheckDriveRecordUpdate(row), row);
  }
  whyNot += PutBack(made, oldFolder, row.PATH) + kNotMoved;
  return kMoveStopped;
}

}  // namespace

int32_t DriveIndexOfPath(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return -1;
  return std::toupper(static_cast<unsigned char>(path[0])) - 'A';
}

uint64_t FileSizeInFolder(std::string folder, const std::string& name) {
  CP_File file(CP_FileSpec(WithBackslash(folder) + name, false));
  file.Open(GENERIC_READ);
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.GetHandle(), &size)) ThrowConditionFailed(int32_t(GetLastError()), __FILE__, __LINE__);
  return uint64_t(size.QuadPart);
}

int32_t MoveLocationFilms(int32_t locationId, const DriveRecord& drive, const std::string& newFolder,
                          std::string& whyNot) {
  if (!cdDatabase) return kMoveStopped;
  const std::string oldFolder = WithBackslash(drive.PATH);
  DriveRecord row = drive;
  row.PATH = WithBackslash(newFolder);
  const DriveRowCheck check = cdDatabase->CheckDriveRecordUpdate(row);
  if (check != DriveRowCheck::Writable) {
    whyNot = RowProblemText(check, row) + kNotMoved;
    return kMoveStopped;
  }
  // Taken first: the copies below run other code that may reload the list.
  // A location given its own folder again only has its row rewritten.
  const LocationFiles files =
      CP_FileSystem::SameFile(oldFolder, row.PATH) ? LocationFiles() : FilesOfLocation(locationId, oldFolder);
  for (const LocationFile& file : files) {
    if (!NameTakenFor(file, row.PATH, whyNot)) continue;
    whyNot += kNotMoved;
    return kMoveStopped;
  }
  const bool sameDrive = DriveIndexOfPath(oldFolder) == DriveIndexOfPath(row.PATH);
  return MoveFilesAndRow(files, oldFolder, row, sameDrive, whyNot);
}

bool IsNameTaken(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string CopyFailureText(int32_t result, const std::string& title, const std::string& destinationRoot,
                            const std::string& fileName) {
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
    case kCopyNameTaken:
    case kCopyFolderInTheWay:
    case kCopyNoTemporaryName:
      return GH_NotCopiedText(result, title, destinationRoot, fileName);
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
  if (!destination.empty() && IsNameTaken(destination)) {
    const std::string folder = WithBackslash(destinationRoot) + SubFolder(target.FILEPATH);
    MainWindowMessage(GH_NotCopiedText(kCopyNameTaken, film.ITEMTEXT, folder, film.FileName), "Glintharbour International",
                      MB_OK);
    return kFilmNameTaken;
  }
  const int32_t result = CopyOneFile(source, destination);
  if (result != kCopyDone) {
    MainWindowMessage(CopyFailureText(result, film.ITEMTEXT, destinationRoot, film.FileName), "Glintharbour International",
                      MB_OK);
    return result;
  }
  if (cdDatabase && !RecordCopiedFilm(film, target, source, destination)) {
    // A copy that no row shows would be nobody's film: it goes again. Its
    // name was free before the copy, so the file is ours.
    DeleteFileA(destination.c_str());
    return kFilmNotRecorded;
  }
  return result;
}
