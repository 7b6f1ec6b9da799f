// The film row of a film installed into a location's folder.
#include <cstring>
#include <map>

#include "CP_FileSpec.h"
#include "CP_Utilities.h"
#include "GH_FoundFilms.h"
#include "database/CDDatabase.h"
#include "database/TableFields.h"
#include "films/FilmUserDataReaders.h"
#include "utility/GH_FilmFolders.h"

namespace {

// A film whose title the play list holds under its location, judged by the
// listed rows' files, which lie in the film's folder as its location's
// files do.
FilmRecording TakeListedFilm(CDDatabase& db, const std::string& path, const std::string& title,
                             const std::string& aliasRoot, std::vector<PlaylistEntry>& playlist) {
  const std::string folder = CP_FileSpec(path, false).FolderPath();
  std::vector<PlaylistEntry*> rows;
  std::vector<std::string> files;
  for (PlaylistEntry& e : playlist)
    if (e.itemType == 4 && e.itemText == title && e.aliasRoot == aliasRoot) {
      rows.push_back(&e);
      files.push_back(gh_library::RowFile(folder, e.filePath, e.fileName));
    }
  const std::string name = CP_FileSpec(path, false).Name();
  return gh_library::TakeListedFilm(path, files, [&](size_t row) {
    if (db.RenameItemFile(rows[row]->itemId, name) != 0) return false;
    // The next file of this title finds the film's file there.
    rows[row]->fileName = name;
    return true;
  });
}

}  // namespace

FilmRecording CDDatabase::RegisterInstalledFilm(const CP_FileSpec& film, const std::string& aliasRoot,
                                                const std::string& sizeText, std::string& shownText,
                                                std::vector<PlaylistEntry>& playlist) {
  C4Table* t = fConfigTable;
  if (!t) return FilmRecording::NotRecorded;
  PlaylistEntry location;
  bool found = false;
  for (int32_t code = C4First(t); code == 0 && !C4AtEnd(t); code = C4Skip(t, 1)) {
    ReadItem(location);
    if (location.itemType == 2 && location.aliasRoot == aliasRoot) {
      found = true;
      break;
    }
  }
  if (!found) return FilmRecording::NotRecorded;

  std::map<std::string, std::string> preferences;
  ReadFilmPreferences(film.Path(), preferences);
  PlaylistEntry entry = location;
  bool named = false;
  for (const auto& p : preferences) {
    if (p.first == "TrkBackground") {
      entry.tkBkg = int16_t(StringToLong(p.second));
    } else if (p.first == "TrkGlobal") {
      entry.tkGlobal = int16_t(StringToLong(p.second));
    } else if (p.first == "TrkLocal") {
      entry.tkLocal = int16_t(StringToLong(p.second));
    } else if (p.first == "name") {
      entry.itemText = p.second;
      named = !p.second.empty();
    }
  }
  entry.iconResId = 2;
  entry.itemType = 4;
  entry.parentId = location.itemId;
  entry.fileName = film.Name();
  entry.play = 1;
  entry.loop = 1;
  entry.rate = 1;
  entry.volume = 10;
  entry.itemText += sizeText;
  shownText = entry.itemText;
  // Only a film's own name tells films apart: two films known by no more
  // than their location's text and their size are two films, not copies.
  if (named && IsItemInPlaylist(playlist, entry.itemText, entry.aliasRoot)) {
    const FilmRecording listed = TakeListedFilm(*this, film.Path(), entry.itemText, entry.aliasRoot, playlist);
    if (listed == FilmRecording::AlreadyListed || listed == FilmRecording::Kept) shownText.clear();
    if (listed != FilmRecording::NotRecorded) return listed;
  }
  return AppendItem(entry, true) ? FilmRecording::AppendFailed : FilmRecording::Recorded;
}

int32_t CDDatabase::RenameItemFile(int32_t itemId, const std::string& fileName) {
  C4Table* t = fConfigTable;
  if (!t) return 2;
  // The move writes a change an earlier call left pending.
  Failed(t, gh_library::TableStep::Write, C4First(t));
  if (C4Seek(t, tablefields::NumberKey(itemId).c_str()) != 0) return 1;
  C4Field* field = C4FindField(t, "FileName");
  // A cut name would name no file.
  const char* stored = field ? C4GetText(field) : nullptr;
  if (!stored || std::strlen(stored) < fileName.size()) return 1;
  if (C4SetText(field, fileName.c_str()) != 0) return 1;
  return C4Flush(t) != 0 ? 1 : 0;
}
