// Drive rows of GH_DriveDB and the look-ups by volume, alias and action.
#include "DatabaseFixture.h"

namespace {

using Drives = DatabaseFixture;
using Lookups = DatabaseFixture;

TEST_F(Drives, FindReadsTheRowOfTheLabelWithoutPadding) {
  AddRow("GH_DriveDB", {{"DRIVEID", 2}, {"DRIVENAME", 0, "CD drive   "}, {"LABEL", 0, "SEA_CD"},
                        {"PATH", 0, "E:\\   "}});
  auto db = Open();
  DriveRecord r;
  r.label = "SEA_CD";
  ASSERT_EQ(0, db->FindDriveRecord(r));
  EXPECT_EQ(2, r.driveId);
  EXPECT_EQ("CD drive", r.driveName);
  EXPECT_EQ("E:\\", r.path);

  DriveRecord missing;
  missing.label = "sea_cd";
  missing.path = "untouched";
  EXPECT_EQ(1, db->FindDriveRecord(missing)) << "labels keep their letter case";
  EXPECT_EQ("untouched", missing.path);
}

TEST_F(Drives, RewritingTheFilmsFolderRowRecordsTheMovieDirectory) {
  AddRow("GH_DriveDB", {{"DRIVEID", 2}, {"DRIVENAME", 0, "glintharbour films"}, {"LABEL", 0, "LOWER"}});
  AddRow("GH_DriveDB", {{"DRIVEID", 3}, {"DRIVENAME", 0, "CD"}, {"LABEL", 0, "SEA_CD"}});
  auto db = Open();
  struct Case {
    const char* label;
    const char* driveName;
    int32_t want;
    const char* wantSetting;
  } const kCases[] = {
      {"SEA_CD", "CD", 0, "<missing>"},
      {"LOWER", "glintharbour films", 0, "<missing>"},  // the name differs in case: no setting
      {"NOT THERE", "Glintharbour Films", 1, "<missing>"},
      {"Glintharbour Films", "Glintharbour Films", 0, "X:\\Films"},
  };
  for (const Case& c : kCases) {
    DriveRecord r;
    r.driveId = 7;
    r.driveName = c.driveName;
    r.label = c.label;
    r.path = "X:\\Films";
    EXPECT_EQ(c.want, db->SelectMovieDirectoryDrive(r)) << c.label;
    EXPECT_EQ(c.wantSetting, ReadSetting("MovieDirectory")) << c.label;
  }
  db.reset();
  EXPECT_EQ((std::vector<std::string>{"DRIVEID=7 LABEL=Glintharbour Films PATH=X:\\Films",
                                      "DRIVEID=7 LABEL=LOWER PATH=X:\\Films",
                                      "DRIVEID=7 LABEL=SEA_CD PATH=X:\\Films"}),
            Rows("GH_DriveDB", {"DRIVEID", "LABEL", "PATH"}));
}

TEST_F(Drives, ReadAllDrivesPassesOverDeletedRows) {
  AddRow("GH_DriveDB", {{"DRIVEID", 2}, {"LABEL", 0, "GONE"}}, /*deleted=*/true);
  AddRow("GH_DriveDB", {{"DRIVEID", 3}, {"LABEL", 0, "AAA"}});
  auto db = Open();
  std::vector<DriveRecord> drives(4);
  ASSERT_EQ(0, db->ReadAllDrives(drives));
  std::vector<std::string> labels;
  for (const DriveRecord& d : drives) labels.push_back(d.label);
  EXPECT_EQ((std::vector<std::string>{"AAA", "Glintharbour Films"}), labels) << "in LABEL order";
}

TEST_F(Lookups, FindCDItemByVolumeMatchesOnlyCDRowsWithTheExactLabel) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 10}, {"ITEMTYPE", 4}, {"VOLUMENAME", 0, "SEA"}, {"ALIASROOT", 0, "FILM"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 11}, {"ITEMTYPE", 1}, {"VOLUMENAME", 0, "SEA"}, {"ALIASROOT", 0, "SEA_CD"},
                         {"ITEMTEXT", 0, "Sea [ 12 Films ]"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 12}, {"ITEMTYPE", 1}, {"VOLUMENAME", 0, "PLAIN"}, {"ALIASROOT", 0, "P"},
                         {"ITEMTEXT", 0, "No count"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 13}, {"ITEMTYPE", 1}, {"VOLUMENAME", 0, "OLD"}, {"ALIASROOT", 0, "OLD_CD"},
                         {"ITEMTEXT", 0, "Old [ 3 Films ]"}}, /*deleted=*/true);
  auto db = Open();
  struct Case {
    const char* label;
    bool found;
    const char* alias;
    int32_t itemId;
    int32_t filmCount;
  } const kCases[] = {
      {"SEA", true, "SEA_CD", 11, 12},
      {"sea", false, "-", -1, -1},
      {"PLAIN", true, "P", 12, -1},    // no "[": the count is left alone
      {"OLD", true, "OLD_CD", 13, 3},  // deleted rows are not passed over
      {"NONE", false, "-", -1, -1},
  };
  for (const Case& c : kCases) {
    std::string alias = "-";
    int32_t id = -1, count = -1;
    EXPECT_EQ(c.found, db->FindCDItemByVolume(c.label, alias, id, count)) << c.label;
    EXPECT_EQ(std::make_tuple(std::string(c.alias), c.itemId, c.filmCount), std::make_tuple(alias, id, count))
        << c.label;
  }
}

TEST_F(Lookups, AliasForVolumePassesOverDeletedRows) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 10}, {"ITEMTYPE", 1}, {"VOLUMENAME", 0, "SEA"}, {"ALIASROOT", 0, "OLD"}},
         /*deleted=*/true);
  AddRow("GH_ConfigDB", {{"ITEM_ID", 11}, {"ITEMTYPE", 4}, {"VOLUMENAME", 0, "SEA"}, {"ALIASROOT", 0, "FILM"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 12}, {"ITEMTYPE", 1}, {"VOLUMENAME", 0, "SEA"}, {"ALIASROOT", 0, "SEA_CD"}});
  auto db = Open();
  EXPECT_EQ("SEA_CD", db->AliasForVolume("SEA"));
  EXPECT_EQ("", db->AliasForVolume("Sea"));
  EXPECT_EQ("", db->AliasForVolume("NONE"));
}

TEST_F(Lookups, FindItemByAliasLeavesTheNumberOrderSelected) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 50}, {"ALIASROOT", 0, "SEA_CD"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 40}, {"ALIASROOT", 0, "AAA"}});
  auto db = Open();
  for (const char* alias : {"SEA_CD", "NOT THERE"}) {
    const int32_t want = std::string(alias) == "SEA_CD" ? 50 : 1;
    EXPECT_EQ(want, db->FindItemByAlias(alias)) << alias;
    // A new row is numbered after the highest ITEM_ID only while ITEMID is the order.
    PlaylistEntry e;
    ASSERT_FALSE(db->AppendItem(e, true));
    EXPECT_GT(e.itemId, 50) << alias;
  }
  EXPECT_EQ(1, db->FindItemByAlias("Glintharbour Films")) << "a row numbered 1 reads as none";
}

TEST_F(Lookups, NoTableGivesTheAnswersForNoMatch) {
  WriteSetting("DBPath", (Folder() + "\\missing").c_str());
  auto db = Open();
  std::string alias = "kept";
  int32_t id = 3, count = 4;
  EXPECT_FALSE(db->FindCDItemByVolume("SEA", alias, id, count));
  EXPECT_EQ("kept", alias);
  EXPECT_EQ(1, db->FindItemByAlias("SEA"));
  EXPECT_EQ("", db->AliasForVolume("SEA"));
  EXPECT_EQ(1, db->ActionExists("SEA", "Play", 2));
  std::vector<DriveRecord> drives(1);
  EXPECT_EQ(2, db->ReadAllDrives(drives));
  EXPECT_EQ(1u, drives.size());
  DriveRecord r;
  EXPECT_EQ(1, db->FindDriveRecord(r));
  EXPECT_EQ(1, db->SelectMovieDirectoryDrive(r));
}

}  // namespace
