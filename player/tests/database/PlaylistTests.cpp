// The play list of a start without a film number.
#include "DatabaseFixture.h"
#include "document/GH_Globals.h"
#include "utility/GH_Utility.h"

namespace {

class Playlist : public DatabaseFixture {
protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    FilmRoot = Folder() + "\\";  // a drive without a data file: nothing to register
    fLabel = GetVolumeLabel(FilmRoot);  // whatever it is; the CD's rows carry it
  }

  void Film(int32_t id, const std::string& volume, int32_t sortOrder, int32_t parentType = 1, int32_t play = 1,
            int32_t type = 4, int32_t parent = 5, bool deleted = false) {
    AddRow("GH_ConfigDB", {{"ITEM_ID", id}, {"VOLUMENAME", 0, volume.c_str()}, {"SORTORDER", sortOrder},
                           {"PARENTTYPE", parentType}, {"PLAY", play}, {"ITEMTYPE", type}, {"PARENT_ID", parent}},
           deleted);
  }

  std::string fLabel;
};

std::vector<int32_t> Ids(const std::vector<PlaylistEntry>& list) {
  std::vector<int32_t> ids;
  for (const PlaylistEntry& e : list) ids.push_back(e.itemId);
  return ids;
}

TEST_F(Playlist, TheCDsChosenFilmsInTheirOrderThenTheInstalledFilms) {
  Film(12, fLabel, 5);
  Film(21, "Elsewhere", 0, /*parentType=*/2);
  Film(10, fLabel, 5);
  Film(11, fLabel, 1);
  Film(20, "Elsewhere", 9, /*parentType=*/2);
  Film(13, fLabel, 3, /*parentType=*/2);         // installed, but from this CD: sorted with its films
  Film(30, fLabel, 0, 1, /*play=*/0);            // not chosen
  Film(31, fLabel, 0, 1, 1, /*type=*/3);         // not a film
  Film(32, fLabel, 0, 1, 1, 4, /*parent=*/-1001);  // in the wastebasket
  Film(33, "Elsewhere", 0, 2, 1, 4, -1001);      // an installed film in the wastebasket
  Film(34, "Other CD", 0, /*parentType=*/1);     // another CD's film
  Film(35, fLabel, 0, 1, 1, 4, 5, /*deleted=*/true);
  auto db = Open();
  std::vector<PlaylistEntry> list(3);
  ASSERT_EQ(0, db->BuildPlaylistFromDatabase(list));
  EXPECT_EQ((std::vector<int32_t>{11, 13, 10, 12, 20, 21}), Ids(list));
}

TEST_F(Playlist, NoItemTableLeavesTheListAlone) {
  WriteSetting("DBPath", (Folder() + "\\missing").c_str());
  auto db = Open();
  std::vector<PlaylistEntry> list(2);
  list[0].itemId = 7;
  EXPECT_EQ(2, db->BuildPlaylistFromDatabase(list));
  EXPECT_EQ((std::vector<int32_t>{7, 0}), Ids(list));
}

}  // namespace
