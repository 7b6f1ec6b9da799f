// The film row of a film installed into a location's folder.
#include <map>

#include "CP_FileSpec.h"
#include "CP_Utilities.h"
#include "database/CDDatabase.h"
#include "films/FilmUserDataReaders.h"
#include "utility/GH_FilmFolders.h"

FilmRecording CDDatabase::RegisterInstalledFilm(const CP_FileSpec& film, const std::string& aliasRoot,
                                                const std::string& sizeText, std::string& shownText,
                                                const std::vector<PlaylistEntry>& playlist) {
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
    shownText.clear();
    return FilmRecording::AlreadyListed;
  }
  return AppendItem(entry, true) ? FilmRecording::AppendFailed : FilmRecording::Recorded;
}
