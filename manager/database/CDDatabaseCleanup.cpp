// Changes of many rows at once: forgetting a CD, emptying the wastebasket,
// forgetting films whose files have gone, recording an installed film.
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "CDDatabase.h"
#include "CP_Callback.h"
#include "CP_File.h"
#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CP_Utilities.h"
#include "GH_FoundFilms.h"
#include "GH_Resources.h"
#include "TableFields.h"
#include "store/Exception.h"
#include "store/library/FilmDataReadersQT.h"

using namespace cdfields;

namespace {

// The item reader's limit for a text field.
constexpr size_t kItemTextLimit = 499;

// The names of the files in a folder, as keys that ignore letter case (file
// names on Windows match in any case); a name not found here is still tried
// on its own. False when the folder cannot be listed to its end: gone,
// renamed, on a drive that is not there, or a listing that broke off (a
// network share dropped on the way).
bool ListFileNames(const std::string& folder, std::set<std::string>& names) {
  const DWORD attributes = GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  WIN32_FIND_DATAA found;
  HANDLE handle = FindFirstFileA((folder + "*").c_str(), &found);
  // An empty drive root lists nothing, not even "." and "..".
  if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> walk(handle, FindClose);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.insert(CP_FileSystem::FileNameKey(found.cFileName));
  } while (FindNextFileA(walk.get(), &found));
  // Only this end says that every name was listed.
  return GetLastError() == ERROR_NO_MORE_FILES;
}

// A film whose own data is damaged is read as one without data, as the
// engine reads it: what was read before the damage stays, and the movie's
// own items and the defaults fill in.
void ReadPreferencesOrDefaults(const CDDatabase::PreferencesReader& read, const std::string& path,
                               manager_data::Preferences& preferences) {
  try {
    read(preferences);  // the stored preferences, or the film's defaults
    return;
  } catch (const Exception&) {
  } catch (const Signal&) {
  }
  manager_data::ReadFilmDefaults(path, preferences);
}

// The file of a film: its drive's folder, the film's folder when it has
// one, and its name.
std::string FilmPath(const std::string& drivePath, const PlaylistEntry& film) {
  if (film.FILEPATH.empty()) return drivePath + "\\" + film.FileName;
  return drivePath + "\\" + film.FILEPATH + "\\" + film.FileName;
}

// A film whose title is listed under its location, judged by the listed
// rows' files, which lie in the film's folder as its location's files do.
FilmRecording TakeListedFilm(CDDatabase& database, const std::string& path, const std::string& title,
                             const std::string& aliasRoot) {
  const std::string folder = CP_FileSpec(path, false).FolderPath();
  std::vector<int32_t> ids;
  std::vector<std::string> files;
  for (const PlaylistEntry& e : itemList)
    if (e.ITEMTYPE == kItemFilm && e.ITEMTEXT == title && e.AliasRoot == aliasRoot) {
      ids.push_back(e.ITEM_ID);
      files.push_back(gh_library::RowFile(folder, e.FILEPATH, e.FileName));
    }
  const std::string name = CP_FileSpec(path, false).Name();
  return gh_library::TakeListedFilm(path, files, [&](size_t row) {
    if (database.RenameItemFile(ids[row], name)) return false;
    // The list shows what the table holds: the next file of this title
    // finds the film's file there.
    for (PlaylistEntry& e : itemList)
      if (e.ITEM_ID == ids[row]) e.FileName = name;
    return true;
  });
}

}  // namespace

bool ClimbsOut(const std::string& part) {
  size_t start = 0;
  while (start <= part.size()) {
    size_t end = part.find_first_of("\\/", start);
    if (end == std::string::npos) end = part.size();
    if (part.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

bool CDDatabase::MarkRows(C4Table* table, const std::function<bool()>& matches, bool& marked) {
  int32_t code = C4First(table);
  while (code == 0 && !C4AtEnd(table)) {
    if (!C4IsDeleted(table) && matches()) {
      if (C4MarkDeleted(table) != 0) return true;
      marked = true;
    }
    // The move writes the mark.
    code = C4Skip(table, 1);
  }
  return Failed(table, gh_library::TableStep::Write, code);
}

bool CDDatabase::DeleteCDRecords(const std::string& aliasRoot) {
  bool marked = false;
  if (fConfig) {
    // A walk rather than a seek on the ALIASROOT tag: a table that lost the
    // tag still loses the CD's rows, and not its actions alone.
    const bool failed = MarkRows(
        fConfig,
        [&] {
          std::string alias;
          ReadText(fConfig, "AliasRoot", alias, kItemTextLimit);
          return alias == aliasRoot;
        },
        marked);
    // The actions stay with a CD whose rows stay.
    if (failed) return true;
    // Marked rows are gone for the program whatever the pack does.
    PackAndCompact(fConfig, "GH_ConfigDB");
  }
  if (fAction) {
    const bool failed = MarkRows(
        fAction,
        [&] {
          ActionRecord action{};
          ReadActionRecord(action);
          return aliasRoot == action.aliasRoot;
        },
        marked);
    if (failed) return true;
    PackAndCompact(fAction, "GH_ActionDB");
  }
  return !marked;
}

// Before a film's file goes, its row is written once unchanged: a table
// that cannot be written keeps the film and its file together. A row that
// is gone already is no hindrance.
bool CDDatabase::IsItemWritable(const PlaylistEntry& entry) {
  if (!fConfig) return false;
  if (C4Seek(fConfig, NumberKey(entry.ITEM_ID).c_str()) != 0) return true;
  WriteNumber(fConfig, "ITEM_ID", entry.ITEM_ID);
  return !FlushItems();
}

void CDDatabase::EmptyWastebasket(PlaylistEntries& items) {
  std::string kept;  // the titles of films whose files would not go
  size_t i = 0;
  while (i < items.size()) {
    const PlaylistEntry entry = items[i];
    if (entry.PARENT_ID != kWastebasketId || entry.ITEMTYPE != kItemFilm) {
      ++i;
      continue;
    }
    DriveRecord drive;
    drive.LABEL = entry.AliasRoot;
    if (FindDriveRecord(drive)) {
      const std::string text = "Cannot find root drive " + entry.AliasRoot +
                               ". Please make sure drive is configured correctly.";
      MessageBoxA(nullptr, text.c_str(), "Glintharbour KX", MB_OK);
      break;
    }
    // A row that cannot be written ends the walk before its file goes; the
    // films left stay, with their files.
    if (!IsItemWritable(entry)) break;
    // The file goes first: a film whose file stays (read-only, held open
    // elsewhere) keeps its row, so that nothing is left orphaned. Another
    // row still showing the film keeps the file; a row whose folder or name
    // climbs out of its drive's folder names no film of ours, and a file
    // already gone needs no deleting (a file held open still shows its
    // attributes).
    const std::string path = FilmPath(drive.PATH, entry);
    const bool ownsFile = CountItemCopies(entry) == 1 && !ClimbsOut(entry.FILEPATH) && !ClimbsOut(entry.FileName);
    const bool present = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (ownsFile && present && !DeleteFileA(path.c_str())) {
      kept += "\r\n" + entry.ITEMTEXT;
      ++i;
      continue;
    }
    // Once its mark is written the row is gone for the program, whatever
    // the pack does; the pack lets the next film's count of copies see it.
    // A row not found is gone already.
    if (!DeleteItem(entry, false)) {
      if (FlushItems()) break;
      Failed(fConfig, gh_library::TableStep::Pack, C4Pack(fConfig));
    }
    items.erase(items.begin() + std::ptrdiff_t(i));
  }
  if (!kept.empty()) {
    const std::string text = "These movies could not be deleted and stay in the Wastebasket:" + kept;
    MessageBoxA(nullptr, text.c_str(), "Glintharbour KX", MB_OK);
  }
  ReportWriteFailures();
}

bool CDDatabase::RemoveMissingInstalledFilms() {
  std::string folder = FilmsFolderPath();
  // Without a films folder every name would be looked for in the current
  // directory and every installed film forgotten.
  if (folder.empty() || !fConfig) return false;
  if (folder.back() != '\\') folder += '\\';

  // Only the fields the test needs are read from each row, and the folder
  // is listed once: a start must not open every film file.
  std::set<std::string> present;
  // A folder that cannot be listed says nothing about its films: they stay,
  // with their wastebasket places and play marks, until it is back.
  if (!ListFileNames(folder, present)) return false;
  PlaylistEntries missing;
  C4First(fConfig);
  while (!C4AtEnd(fConfig)) {
    PlaylistEntry row;
    ReadNumber(fConfig, "ITEMTYPE", row.ITEMTYPE);
    if (row.ITEMTYPE == kItemFilm) {
      ReadText(fConfig, "AliasRoot", row.AliasRoot, kItemTextLimit);
      ReadText(fConfig, "FileName", row.FileName, kItemTextLimit);
      if (row.AliasRoot == filmsFolderAlias && !present.count(CP_FileSystem::FileNameKey(row.FileName)) &&
          !FileExistsInFolder(folder, row.FileName)) {
        ReadItem(row);
        missing.push_back(row);
      }
    }
    if (C4Skip(fConfig, 1) != 0) break;
  }
  // A mark that cannot be written is noted by the move that writes it.
  bool forgot = false;
  for (const PlaylistEntry& row : missing)
    if (!DeleteItem(row, false)) forgot = true;
  if (!FlushItems()) Failed(fConfig, gh_library::TableStep::Pack, C4Pack(fConfig));
  return forgot;
}

bool CDDatabase::FileExistsInFolder(const std::string& folder, const std::string& fileName) {
  // Not an open: a file held open by another program is there all the same.
  return CP_FileSystem::FileState(folder + fileName) != CP_FileSystem::FilePresence::Missing;
}

bool CDDatabase::RenameItemFile(int32_t itemId, const std::string& fileName) {
  if (!fConfig) return true;
  // The move writes a change an earlier call left pending.
  Failed(fConfig, gh_library::TableStep::Write, C4First(fConfig));
  if (C4Seek(fConfig, NumberKey(itemId).c_str()) != 0) return true;
  C4Field* field = C4FindField(fConfig, "FileName");
  // A cut name would name no file, and the row would go at the next clean-up.
  const char* stored = field ? C4GetText(field) : nullptr;
  if (!stored || std::strlen(stored) < fileName.size()) return true;
  if (C4SetText(field, fileName.c_str()) != 0) return true;
  return C4Flush(fConfig) != 0;
}

FilmRecording CDDatabase::RegisterInstalledFilm(const CP_FileSpec& film, const std::string& aliasRoot,
                                                const std::string& textToAppend, std::string& itemText) {
  std::string path;
  film.GetPath(path);
  return RegisterInstalledFilm(
      film, [&](manager_data::Preferences& preferences) { manager_data::ReadFilmPreferences(path, preferences); },
      aliasRoot, textToAppend, itemText);
}

FilmRecording CDDatabase::RegisterInstalledFilm(const CP_FileSpec& film, const PreferencesReader& readPreferences,
                                                const std::string& aliasRoot, const std::string& textToAppend,
                                                std::string& itemText) {
  if (!fConfig) return FilmRecording::NotRecorded;
  PlaylistEntry location;
  bool found = false;
  C4First(fConfig);
  while (!C4AtEnd(fConfig)) {
    PlaylistEntry row;
    ReadItem(row);
    if (row.ITEMTYPE == kItemLocation && row.AliasRoot == aliasRoot) {
      location = row;
      found = true;
      break;
    }
    if (C4Skip(fConfig, 1) != 0) break;
  }
  if (!found) return FilmRecording::NotRecorded;

  std::string path;
  film.GetPath(path);
  manager_data::Preferences preferences;
  ReadPreferencesOrDefaults(readPreferences, path, preferences);

  PlaylistEntry entry = location;
  bool named = false;
  for (const auto& p : preferences) {
    if (p.first == "TrkBackground") entry.TKBKG = int16_t(StringToLong(p.second));
    else if (p.first == "TrkGlobal") entry.TKGLOBAL = int16_t(StringToLong(p.second));
    else if (p.first == "TrkLocal") entry.TKLOCAL = int16_t(StringToLong(p.second));
    else if (p.first == "name") {
      entry.ITEMTEXT = p.second;
      named = !p.second.empty();
    }
  }
  entry.ICONRESID = 2;
  entry.PARENT_ID = location.ITEM_ID;
  entry.ITEMTYPE = kItemFilm;
  film.GetName(entry.FileName);
  entry.PLAY = 1;
  entry.LOOP = 1;
  entry.VOLUME = 10;
  entry.RATE = 1;
  entry.ITEMTEXT += textToAppend;

  // Only a film's own name tells films apart: two films known by no more
  // than their location's text and their size are two films, not copies.
  if (named && IsItemTextListed(entry.ITEMTEXT, entry.AliasRoot)) {
    const FilmRecording listed = TakeListedFilm(*this, path, entry.ITEMTEXT, entry.AliasRoot);
    itemText = listed == FilmRecording::Renamed || listed == FilmRecording::RenameFailed ? entry.ITEMTEXT : "";
    if (listed != FilmRecording::NotRecorded) return listed;
  }
  itemText = entry.ITEMTEXT;
  // The scan flushes once when its folder is done.
  return AppendItem(entry, false) ? FilmRecording::AppendFailed : FilmRecording::Recorded;
}

INT_PTR CALLBACK CDDatabase::ImportWaitDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  CP_GuardCallback([&] {
    if (message == WM_INITDIALOG) {
      HICON icon = LoadIconA(ManagerInstance(), MAKEINTRESOURCEA(GH_ICON_DIALOG));
      SendMessageA(dialog, WM_SETICON, ICON_BIG, LPARAM(icon));
      SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(icon));
    } else if (message == WM_PAINT) {
      PAINTSTRUCT paint;
      BeginPaint(dialog, &paint);
      EndPaint(dialog, &paint);
    }
  });
  return 0;
}
