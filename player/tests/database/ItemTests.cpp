// Opening and closing the CD database, and the item rows of GH_ConfigDB.
#include <cstring>
#include <tuple>

#include "CP_Win.h"
#include "DatabaseFixture.h"

namespace {

using Item = DatabaseFixture;

TEST(TrimTrailingBlanks, TrimsOnlyBlanksAtTheEnd) {
  struct Case {
    const char* in;
    const char* want;
  } const kCases[] = {
      {"Sea   ", "Sea"}, {"   ", ""}, {" Sea", " Sea"}, {"", ""}, {"Sea\t ", "Sea\t"}, {"a b ", "a b"},
  };
  for (const Case& c : kCases) {
    char buffer[16];
    std::strcpy(buffer, c.in);
    EXPECT_STREQ(c.want, TrimTrailingBlanks(buffer)) << '"' << c.in << '"';
    std::string text = c.in;
    EXPECT_EQ(c.want, TrimTrailingBlanks(text)) << '"' << c.in << '"';
  }
}

TEST_F(Item, PlayerOpensFourTablesAndPacksNoneAtClosing) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 7}, {"ITEMTEXT", 0, "gone"}}, /*deleted=*/true);
  {
    auto db = Open("Player");
    EXPECT_EQ(0, db->InitialisationResult());
    EXPECT_TRUE(db->IsConfigOpen());
    EXPECT_TRUE(db->IsDriveOpen());
    EXPECT_TRUE(db->IsActionOpen());
    EXPECT_TRUE(db->IsTrackOpen());
    EXPECT_FALSE(db->IsFunctionOpen());
    EXPECT_FALSE(db->IsParameterOpen());
  }
  EXPECT_EQ(3u, Rows("GH_ConfigDB", {"ITEM_ID"}).size()) << "the marked row is still in the file";
}

TEST_F(Item, ConfigToolPacksItsTablesAtClosing) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 7}, {"ITEMTEXT", 0, "gone"}}, /*deleted=*/true);
  AddRow("GH_DriveDB", {{"DRIVEID", 9}, {"LABEL", 0, "OLD"}}, /*deleted=*/true);
  { auto db = Open("Config Tool"); }
  EXPECT_EQ((std::vector<std::string>{"ITEM_ID=-1001", "ITEM_ID=1"}), Rows("GH_ConfigDB", {"ITEM_ID"}));
  EXPECT_EQ((std::vector<std::string>{"DRIVEID=1"}), Rows("GH_DriveDB", {"DRIVEID"}));
}

TEST_F(Item, RoradezuVuruReadsItsOwnSettingsFileAndOpensSixTables) {
  WritePrivateProfileStringA("Glintharbour", "DBPath", Folder().c_str(), "RoradezuVuru.INI");
  WriteSetting("DBPath", "C:\\no such folder");
  {
    auto db = Open("Roradezu Vuru");
    EXPECT_TRUE(db->IsConfigOpen());
    EXPECT_TRUE(db->IsFunctionOpen());
    EXPECT_TRUE(db->IsParameterOpen());
  }
  WritePrivateProfileStringA("Glintharbour", "DBPath", nullptr, "RoradezuVuru.INI");
}

TEST_F(Item, TablesThatDoNotOpenGiveTheAnswersForNoTable) {
  WriteSetting("DBPath", (Folder() + "\\missing").c_str());
  auto db = Open();
  EXPECT_FALSE(db->IsConfigOpen());
  PlaylistEntry entry;
  entry.itemId = 5;
  entry.itemText = "kept";
  EXPECT_TRUE(db->LookupItem(entry));
  EXPECT_EQ("kept", entry.itemText);
  EXPECT_TRUE(db->AppendItem(entry, true));
  EXPECT_EQ(0, db->LastItemID());
  std::vector<PlaylistEntry> list(2);
  EXPECT_EQ(2, db->ReadAllItems(list));
  EXPECT_EQ(2u, list.size()) << "the list is left as it was";
}

TEST_F(Item, AppendedRowReadsBackFieldForField) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 41}});
  auto db = Open();
  PlaylistEntry e;
  e.itemId = 999;  // replaced by the next number
  e.sortOrder = 3;
  e.parentId = 41;
  e.itemType = 4;
  e.parentType = 1;
  e.itemText = "Sea [ 1.50 MB]";
  e.iconResId = -2;
  e.loop = 1;
  e.rate = 2;
  e.volume = 10;
  e.play = 1;
  e.tkLocal = 3;
  e.tkGlobal = 4;
  e.tkBkg = 5;
  e.filePath = "\\films\\sea";
  e.fileName = "Sea.flm";
  e.aliasRoot = "SEA_CD";
  e.volumeName = "SEA DISC";
  e.origin = "import";
  EXPECT_FALSE(db->AppendItem(e, true));
  EXPECT_EQ(42, e.itemId);
  EXPECT_EQ(42, db->LastItemID());

  PlaylistEntry back;
  back.itemId = 42;
  ASSERT_FALSE(db->LookupItem(back));
  EXPECT_EQ(std::make_tuple(42, 3, 41, 4, 1, std::string("Sea [ 1.50 MB]"), int16_t(-2)),
            std::make_tuple(back.itemId, back.sortOrder, back.parentId, back.itemType, back.parentType,
                            back.itemText, back.iconResId));
  EXPECT_EQ(std::make_tuple(1, 2, 10, 1, 3, 4, 5),
            std::make_tuple(back.loop, back.rate, back.volume, back.play, back.tkLocal, back.tkGlobal, back.tkBkg));
  EXPECT_EQ(std::make_tuple(std::string("\\films\\sea"), std::string("Sea.flm"), std::string("SEA_CD"),
                            std::string("SEA DISC"), std::string("import")),
            std::make_tuple(back.filePath, back.fileName, back.aliasRoot, back.volumeName, back.origin));
}

TEST_F(Item, TextsComeBackWithoutTrailingBlanks) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 5}, {"ITEMTEXT", 0, "Sea   "}, {"FILENAME", 0, "Sea.flm"},
                         {"ALIASROOT", 0, " SEA  "}, {"VOLUMENAME", 0, "DISC  "}});
  auto db = Open();
  PlaylistEntry e;
  e.itemId = 5;
  ASSERT_FALSE(db->LookupItem(e));
  EXPECT_EQ("Sea", e.itemText);
  EXPECT_EQ("Sea.flm", e.fileName);
  EXPECT_EQ(" SEA", e.aliasRoot);
  EXPECT_EQ("DISC", e.volumeName);
}

TEST_F(Item, LookupFindsOnlyTheExactNumber) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 1234567}, {"ITEMTEXT", 0, "seven digits"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 12345678}, {"ITEMTEXT", 0, "eight digits"}});
  auto db = Open();
  struct Case {
    int32_t id;
    bool missing;
    const char* text;
  } const kCases[] = {
      {1234567, false, "seven digits"},
      {12345678, false, "eight digits"},  // a key cut to seven characters would find the other row
      {-1001, false, "Wastebasket"},
      {77, true, "untouched"},
  };
  for (const Case& c : kCases) {
    PlaylistEntry e;
    e.itemId = c.id;
    e.itemText = "untouched";
    EXPECT_EQ(c.missing, db->LookupItem(e)) << c.id;
    EXPECT_EQ(c.text, e.itemText) << c.id;
  }
}

TEST_F(Item, ReadAllItemsGivesLiveRowsInNumberOrder) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 30}, {"ITEMTEXT", 0, "thirty"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 20}, {"ITEMTEXT", 0, "deleted"}}, /*deleted=*/true);
  AddRow("GH_ConfigDB", {{"ITEM_ID", 10}, {"ITEMTEXT", 0, "ten"}});
  auto db = Open();
  std::vector<PlaylistEntry> list(5);
  ASSERT_EQ(0, db->ReadAllItems(list));
  std::vector<int32_t> ids;
  for (const PlaylistEntry& e : list) ids.push_back(e.itemId);
  EXPECT_EQ((std::vector<int32_t>{-1001, 1, 10, 30}), ids);
}

TEST_F(Item, FirstRowOfAnEmptyTableIsNumberedOne) {
  EmptyTable("GH_ConfigDB");
  auto db = Open();
  PlaylistEntry e;
  EXPECT_FALSE(db->AppendItem(e, false));
  EXPECT_EQ(1, e.itemId);
}

TEST_F(Item, FieldsTheTableLacksAreSkipped) {
  // A GH_ConfigDB of an older layout, without ORIGIN and VOLUMENAME.
  for (const char* ext : {".dbf", ".fpt", ".tags"}) DeleteFileA((TablePath("GH_ConfigDB") + ext).c_str());
  const C4FieldSpec fields[] = {{"ITEM_ID", 'N', 11, 0}, {"ITEMTEXT", 'C', 100, 0}, {nullptr, 0, 0, 0}};
  const C4TagSpec tags[] = {{"ITEMID", "ITEM_ID"}, {nullptr, nullptr}};
  {
    C4Engine engine{};
    C4Init(&engine, nullptr, C4_VERSION, 0, 0);
    ASSERT_NE(nullptr, C4Create(&engine, TablePath("GH_ConfigDB").c_str(), fields, tags));
    C4Release(&engine);
  }
  auto db = Open();
  PlaylistEntry e;
  e.itemText = "Old";
  e.origin = "written nowhere";
  ASSERT_FALSE(db->AppendItem(e, true));
  PlaylistEntry back;
  back.itemId = e.itemId;
  back.origin = "unchanged";
  back.volumeName = "unchanged";
  ASSERT_FALSE(db->LookupItem(back));
  EXPECT_EQ("Old", back.itemText);
  EXPECT_EQ("unchanged", back.origin);
  EXPECT_EQ("unchanged", back.volumeName);
}

// The films folder chosen in the settings is adopted by the films-folder
// drive row only while that row has no folder.
TEST_F(Item, OpeningAdoptsTheMovieDirectoryIntoAnEmptyFilmsFolderRow) {
  const std::string films = Folder();  // any existing folder
  struct Case {
    const char* name;
    const char* rowPath;     // the films-folder row's PATH before opening
    std::string setting;     // MovieDirectory
    std::string wantPath;
  } const kCases[] = {
      {"empty row adopts the folder", "", films, films},
      {"one character is no folder yet", "C", films, films},
      {"a folder already set stays", "D:\\Films", films, "D:\\Films"},
      {"a setting naming no folder is ignored", "", films + "\\nothing", ""},
      {"the default Empty is ignored", "", "", ""},
  };
  for (const Case& c : kCases) {
    EmptyTable("GH_DriveDB");
    AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"DRIVENAME", 0, "Glintharbour Films"},
                          {"LABEL", 0, "Glintharbour Films"}, {"PATH", 0, c.rowPath}});
    WriteSetting("MovieDirectory", c.setting.empty() ? nullptr : c.setting.c_str());
    { auto db = Open(); }
    EXPECT_EQ((std::vector<std::string>{"PATH=" + c.wantPath}), Rows("GH_DriveDB", {"PATH"})) << c.name;
  }
}

}  // namespace
