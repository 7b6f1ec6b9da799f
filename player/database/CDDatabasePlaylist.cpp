// The play list of a start without a film number: the chosen films of the
// CD in the drive in their order, then the installed films.
#include <algorithm>

#include "database/CDDatabase.h"
#include "database/TableFields.h"
#include "document/GH_Globals.h"

using namespace tablefields;

namespace {

const int32_t kFilm = 4;
const int32_t kInstalledParent = 2;
const int32_t kWastebasket = -1001;

}  // namespace

int32_t CDDatabase::BuildPlaylistFromDatabase(std::vector<PlaylistEntry>& playlist) {
  const std::string label = GetVolumeLabel(FilmRoot);
  std::string aliasRoot;
  int32_t itemId = 0, filmCount = 0;
  RegisterInsertedCD(aliasRoot, itemId, filmCount);

  C4Table* t = fConfigTable;
  if (!t) return 2;
  C4SelectTag(t, C4FindTag(t, "ITEMID"));
  playlist.clear();
  std::vector<PlaylistEntry> cdFilms, installedFilms;

  C4First(t);
  while (!C4AtEnd(t)) {
    if (!C4IsDeleted(t)) {
      int32_t play = 0, itemType = 0, parentType = 0, parentId = 0;
      std::string volumeName;
      GetNumber(t, "PLAY", play);
      GetMemo(t, "VOLUMENAME", volumeName);
      GetNumber(t, "ITEMTYPE", itemType);
      GetNumber(t, "PARENTTYPE", parentType);
      GetNumber(t, "PARENT_ID", parentId);
      const bool chosenFilm = play == 1 && itemType == kFilm && parentId != kWastebasket;
      if (chosenFilm && volumeName == label) {
        cdFilms.emplace_back();
        ReadItem(cdFilms.back());
      } else if (chosenFilm && parentType == kInstalledParent) {
        installedFilms.emplace_back();
        ReadItem(installedFilms.back());
      }
    }
    if (C4Skip(t, 1) != 0) break;
  }

  std::stable_sort(cdFilms.begin(), cdFilms.end(),
                   [](const PlaylistEntry& a, const PlaylistEntry& b) { return a.sortOrder < b.sortOrder; });
  playlist.insert(playlist.end(), cdFilms.begin(), cdFilms.end());
  playlist.insert(playlist.end(), installedFilms.begin(), installedFilms.end());
  return 0;
}
