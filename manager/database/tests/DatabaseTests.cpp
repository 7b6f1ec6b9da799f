// Opening and closing the CD database and moving rows in and out of their
// in-memory records, against real table files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "CDDatabase.h"
#include "DatabaseTestSupport.h"

namespace {

using namespace dbtest;

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

std::vector<int32_t> Ids(const PlaylistEntries& items) {
  std::vector<int32_t> ids;
  for (const PlaylistEntry& e : items) ids.push_back(e.ITEM_ID);
  return ids;
}

// ---- opening and closing ---------------------------------------------------

TEST(CDDatabaseOpen, OpensTheTablesAtDBPathWithTheirTagsSelected) {
  TableFolder folder(Seed::Installation);
  CDDatabase db("Config Tool");
  ASSERT_NE(nullptr, db.ConfigTable());
  ASSERT_NE(nullptr, db.DriveTable());
  ASSERT_NE(nullptr, db.ActionTable());
  ASSERT_NE(nullptr, db.TrackTable());
  PlaylistEntries items;
  EXPECT_EQ(0, db.LoadItems(items));
  // The shipped rows in ITEMID order: the wastebasket, then the films folder.
  EXPECT_EQ((std::vector<int32_t>{-1001, 1}), Ids(items));
  EXPECT_EQ("Wastebasket", items[0].ITEMTEXT);
  EXPECT_EQ(filmsFolderAlias, items[1].AliasRoot);
}

TEST(CDDatabaseOpen, DBPathEndingInABackslashStillOpens) {
  TableFolder folder(Seed::Installation);
  folder.SetSetting("DBPath", folder.Path() + "\\");
  CDDatabase db("Config Tool");
  EXPECT_NE(nullptr, db.ConfigTable());
}

// The tag files only repeat what the tables say: lost or damaged, they are
// written again, and the look-ups by number and by label work.
TEST(CDDatabaseOpen, LostOrDamagedTagFilesAreWrittenAgain) {
  TableFolder folder(Seed::Installation);
  const std::string config = folder.Path() + "\\GH_ConfigDB.tags", drive = folder.Path() + "\\GH_DriveDB.tags";
  std::string configTags, driveTags;
  ASSERT_TRUE(ReadFile(config, configTags));
  ASSERT_TRUE(ReadFile(drive, driveTags));
  ASSERT_EQ(0, std::remove(config.c_str()));
  WriteFile(drive, "ALIASROOT DRIVENAME\r\n");  // another field than the table's own
  CDDatabase db("Config Tool");
  PlaylistEntry films;
  films.ITEM_ID = 1;
  ASSERT_FALSE(db.FindItem(films));
  EXPECT_EQ(filmsFolderAlias, films.AliasRoot);
  EXPECT_EQ(kWastebasketId, db.ItemIdByAliasRoot("Wastebasket")) << "by the ALIASROOT tag";
  DriveRecord row;
  row.LABEL = filmsFolderAlias;
  EXPECT_FALSE(db.FindDriveRecord(row));
  std::string text;
  ASSERT_TRUE(ReadFile(config, text));
  EXPECT_EQ(configTags, text);
  ASSERT_TRUE(ReadFile(drive, text));
  EXPECT_EQ(driveTags, text);
}

// Every operation on a table that is not open does nothing and reports
// failure or "not found".
TEST(CDDatabaseOpen, WithoutTablesEveryOperationReportsFailure) {
  TableFolder folder(Seed::Installation);
  folder.SetSetting("DBPath", folder.File("no such folder"));
  CDDatabase db("Config Tool");
  EXPECT_EQ(nullptr, db.ConfigTable());

  PlaylistEntry entry = Film("Sea", "CD", 1);
  PlaylistEntries items(1);
  EXPECT_TRUE(db.AppendItem(entry, true));
  EXPECT_TRUE(db.UpdateItem(entry, true));
  EXPECT_TRUE(db.DeleteItem(entry, true));
  EXPECT_TRUE(db.FindItem(entry));
  EXPECT_EQ(0, db.LastItemId());
  EXPECT_EQ(2, db.LoadItems(items));
  EXPECT_EQ(1u, items.size()) << "the list is left as it was";
  EXPECT_EQ(0, db.CountFilms(1));
  EXPECT_EQ(1, db.ItemIdByAliasRoot("CD"));
  std::string alias;
  int32_t id = 0, count = 0;
  EXPECT_FALSE(db.FindCDByVolumeName("VOL", alias, id, count));

  DriveRecord drive = Drive(1, "d", "L", "p");
  std::vector<DriveRecord> drives(1);
  EXPECT_TRUE(db.FindDriveRecord(drive));
  EXPECT_TRUE(db.UpdateDriveRecord(drive));
  EXPECT_EQ(2, db.LoadDrives(drives));
  EXPECT_EQ("", db.FilmsFolderPath());

  ActionRecord action = Action(0, 1, "go()", "CD", "s");
  EXPECT_TRUE(db.AppendActionRecord(action));
  EXPECT_TRUE(db.UpdateActionRecord(action));
  EXPECT_TRUE(db.FindActionRecord("CD", "s", 1));
  EXPECT_TRUE(db.DeleteCDRecords("CD"));
}

// Rows marked deleted during a run are packed away when the library manager
// closes; under another name the release closes them without a pack.
TEST(CDDatabaseOpen, ClosingPacksOnlyUnderConfigTool) {
  for (const char* name : {"Config Tool", "Other"}) {
    TableFolder folder(Seed::Installation);
    {
      CDDatabase db(name);
      PlaylistEntry films;
      films.ITEM_ID = 1;
      EXPECT_FALSE(db.DeleteItem(films, false));
    }
    const std::vector<RawRow> rows = RawRows(folder.Path(), "GH_ConfigDB");
    if (std::string(name) == "Config Tool") {
      ASSERT_EQ(1u, rows.size());
      EXPECT_EQ("-1001", rows[0].fields.at("ITEM_ID"));
    } else {
      ASSERT_EQ(2u, rows.size()) << name;
      EXPECT_TRUE(rows[1].deleted);
    }
  }
}

TEST(CDDatabaseOpen, FilmsFolderDrivePathIsFilledOnlyWhenShort) {
  struct Case {
    const char* storedPath;
    bool folderExists;
    bool filled;
  };
  const Case cases[] = {
      {"", true, true},
      {"X", true, true},
      {"D:\\Films", true, false},
      {"", false, false},
  };
  for (const Case& c : cases) {
    TableFolder folder(Seed::Installation);
    const std::string films = c.folderExists ? folder.Folder("films") : folder.File("missing");
    {
      CDDatabase db("Config Tool");
      DriveRecord drive = Drive(1, filmsFolderAlias, filmsFolderAlias, c.storedPath);
      ASSERT_FALSE(db.UpdateDriveRecord(drive));
    }
    folder.SetSetting("MovieDirectory", films);
    CDDatabase db("Config Tool");
    DriveRecord drive;
    drive.LABEL = filmsFolderAlias;
    ASSERT_FALSE(db.FindDriveRecord(drive));
    EXPECT_EQ(c.filled ? films : std::string(c.storedPath), drive.PATH) << c.storedPath;
  }
}

// ---- items -----------------------------------------------------------------

class ItemTable : public ::testing::Test {
 protected:
  TableFolder fFolder;
  CDDatabase fDb{"Config Tool"};
};

TEST_F(ItemTable, AppendNumbersFromOneAndEveryFieldReadsBack) {
  PlaylistEntry e;
  e.ITEM_ID = 77;  // replaced by the next number
  e.SORTORDER = 3;
  e.PARENT_ID = -1001;
  e.ITEMTYPE = kItemFilm;
  e.PARENTTYPE = kItemLocation;
  e.ITEMTEXT = "Deep sea [ 1.50 MB]";
  e.ICONRESID = -2;
  e.LOOP = 1;
  e.RATE = 2;
  e.VOLUME = 10;
  e.PLAY = 1;
  e.TKLOCAL = 4;
  e.TKGLOBAL = 5;
  e.TKBKG = 6;
  e.FILEPATH = "films\\sea";
  e.FileName = "sea.flm";
  e.AliasRoot = "Ocean CD";
  e.VOLUMENAME = "OCEAN";
  e.ORIGIN = "origin";
  EXPECT_FALSE(fDb.AppendItem(e, true));
  EXPECT_EQ(1, e.ITEM_ID);
  PlaylistEntry second = Film("Second", "Ocean CD", 1);
  EXPECT_FALSE(fDb.AppendItem(second, false));
  EXPECT_EQ(2, second.ITEM_ID);
  EXPECT_EQ(2, fDb.LastItemId());

  PlaylistEntry back;
  back.ITEM_ID = 1;
  ASSERT_FALSE(fDb.FindItem(back));
  EXPECT_EQ(e.SORTORDER, back.SORTORDER);
  EXPECT_EQ(e.PARENT_ID, back.PARENT_ID);
  EXPECT_EQ(e.ITEMTYPE, back.ITEMTYPE);
  EXPECT_EQ(e.PARENTTYPE, back.PARENTTYPE);
  EXPECT_EQ(e.ITEMTEXT, back.ITEMTEXT);
  EXPECT_EQ(e.ICONRESID, back.ICONRESID);
  EXPECT_EQ(e.LOOP, back.LOOP);
  EXPECT_EQ(e.RATE, back.RATE);
  EXPECT_EQ(e.VOLUME, back.VOLUME);
  EXPECT_EQ(e.PLAY, back.PLAY);
  EXPECT_EQ(e.TKLOCAL, back.TKLOCAL);
  EXPECT_EQ(e.TKGLOBAL, back.TKGLOBAL);
  EXPECT_EQ(e.TKBKG, back.TKBKG);
  EXPECT_EQ(e.FILEPATH, back.FILEPATH);
  EXPECT_EQ(e.FileName, back.FileName);
  EXPECT_EQ(e.AliasRoot, back.AliasRoot);
  EXPECT_EQ(e.VOLUMENAME, back.VOLUMENAME);
  EXPECT_EQ(e.ORIGIN, back.ORIGIN);
}

TEST_F(ItemTable, TextsLoseTrailingBlanksOnlyAndAreHeldTo499Characters) {
  struct Case {
    std::string stored;
    std::string read;
  };
  const Case cases[] = {
      {"  two  words  ", "  two  words"},
      {"     ", ""},
      {"", ""},
      {std::string(600, 'x'), std::string(499, 'x')},
  };
  for (const Case& c : cases) {
    PlaylistEntry e = Film(c.stored, "CD", 1);
    e.ORIGIN = c.stored;
    ASSERT_FALSE(fDb.AppendItem(e, true));
    ASSERT_FALSE(fDb.FindItem(e));
    EXPECT_EQ(c.read, e.ITEMTEXT) << "[" << c.stored << "]";
    if (c.stored.size() < 100) {
      EXPECT_EQ(c.read, e.ORIGIN) << "[" << c.stored << "]";
    }
  }
}

TEST_F(ItemTable, IconNumberKeepsTheLow16Bits) {
  PlaylistEntry e = Film("a", "CD", 1);
  ASSERT_FALSE(fDb.AppendItem(e, true));
  ASSERT_EQ(0, C4Seek(fDb.ConfigTable(), "1"));
  C4SetNumber(C4FindField(fDb.ConfigTable(), "ICONRESID"), 70000);
  C4Flush(fDb.ConfigTable());
  ASSERT_FALSE(fDb.FindItem(e));
  EXPECT_EQ(int16_t(70000 - 65536), e.ICONRESID);
}

TEST_F(ItemTable, UpdateAndDeleteActOnlyOnTheRowWithTheNumber) {
  PlaylistEntry a = Film("A", "CD", 1), b = Film("B", "CD", 1);
  ASSERT_FALSE(fDb.AppendItem(a, true));
  ASSERT_FALSE(fDb.AppendItem(b, true));

  PlaylistEntry missing = Film("X", "CD", 1);
  missing.ITEM_ID = 99;
  EXPECT_TRUE(fDb.UpdateItem(missing, true));
  EXPECT_TRUE(fDb.DeleteItem(missing, true));
  EXPECT_TRUE(fDb.FindItem(missing));

  a.ITEMTEXT = "A changed";
  EXPECT_FALSE(fDb.UpdateItem(a, true));
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  ASSERT_EQ((std::vector<int32_t>{1, 2}), Ids(items)) << "a failed delete took no row";
  EXPECT_EQ("A changed", items[0].ITEMTEXT);
  EXPECT_EQ("B", items[1].ITEMTEXT);

  EXPECT_FALSE(fDb.DeleteItem(a, true));
  ASSERT_EQ(0, fDb.LoadItems(items));
  EXPECT_EQ((std::vector<int32_t>{2}), Ids(items));
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ConfigDB").size()) << "packed";
}

// An update without flush stays in the engine until the position moves.
TEST_F(ItemTable, UpdateWithoutFlushReachesTheDiskWhenThePositionMoves) {
  PlaylistEntry a = Film("A", "CD", 1), b = Film("B", "CD", 1);
  ASSERT_FALSE(fDb.AppendItem(a, true));
  ASSERT_FALSE(fDb.AppendItem(b, true));
  a.ITEMTEXT = "later";
  ASSERT_FALSE(fDb.UpdateItem(a, false));
  EXPECT_EQ("A", RawRows(fFolder.Path(), "GH_ConfigDB")[0].fields.at("ITEMTEXT"));
  EXPECT_EQ(b.ITEM_ID, fDb.LastItemId());
  EXPECT_EQ("later", RawRows(fFolder.Path(), "GH_ConfigDB")[0].fields.at("ITEMTEXT"));
}

TEST_F(ItemTable, CountsAndSearchesSeeMarkedRowsButLoadItemsDoesNot) {
  PlaylistEntry cd;
  cd.ITEMTYPE = kItemCD;
  cd.ITEMTEXT = "Ocean [ 12 Films ]";
  cd.AliasRoot = "Ocean CD";
  cd.VOLUMENAME = "OCEAN";
  ASSERT_FALSE(fDb.AppendItem(cd, true));
  PlaylistEntry f1 = Film("Sea", "Ocean CD", cd.ITEM_ID), f2 = Film("Sea", "Ocean CD", cd.ITEM_ID);
  PlaylistEntry other = Film("Sea", "Other CD", cd.ITEM_ID);
  other.ITEMTYPE = kItemLocation;
  ASSERT_FALSE(fDb.AppendItem(f1, true));
  ASSERT_FALSE(fDb.AppendItem(f2, true));
  ASSERT_FALSE(fDb.AppendItem(other, true));
  ASSERT_FALSE(fDb.DeleteItem(f2, false));

  EXPECT_EQ(2, fDb.CountFilms(cd.ITEM_ID));
  EXPECT_EQ(2, fDb.CountItemCopies(f1));
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  EXPECT_EQ((std::vector<int32_t>{1, 2, 4}), Ids(items));

  EXPECT_EQ(cd.ITEM_ID, fDb.ItemIdByAliasRoot("Ocean CD"));
  EXPECT_EQ(1, fDb.ItemIdByAliasRoot("Nobody's CD"));
  // ITEMID is selected again after the alias look-up.
  EXPECT_EQ(4, fDb.LastItemId());

  std::string alias;
  int32_t id = 0, count = 0;
  EXPECT_FALSE(fDb.FindCDByVolumeName("ocean", alias, id, count)) << "letter case counts";
  ASSERT_TRUE(fDb.FindCDByVolumeName("OCEAN", alias, id, count));
  EXPECT_EQ("Ocean CD", alias);
  EXPECT_EQ(cd.ITEM_ID, id);
  EXPECT_EQ(12, count);

  cd.ITEMTEXT = "Ocean";
  ASSERT_FALSE(fDb.UpdateItem(cd, true));
  ASSERT_TRUE(fDb.FindCDByVolumeName("OCEAN", alias, id, count));
  EXPECT_EQ(0, count) << "no count in the text";
}

// ---- drives ----------------------------------------------------------------

TEST_F(ItemTable, DrivesAreFoundByLabelAndTheFilmsFolderMirrorsItsSetting) {
  C4Table* t = fDb.DriveTable();
  for (const DriveRecord& d : {Drive(1, "Zed", "Zed CD", "E:\\zed"), Drive(2, filmsFolderAlias, "Films", "C:\\films  "),
                               Drive(3, "Abc", "Abc CD", "E:\\abc")}) {
    ASSERT_EQ(0, C4AppendStart(t, 1));
    fDb.WriteDriveRecord(d);
    ASSERT_EQ(0, C4Append(t));
  }
  C4Flush(t);

  std::vector<DriveRecord> drives;
  ASSERT_EQ(0, fDb.LoadDrives(drives));
  ASSERT_EQ(3u, drives.size());
  EXPECT_EQ("Abc CD", drives[0].LABEL) << "ALIASROOT order";
  EXPECT_EQ("Films", drives[1].LABEL);
  EXPECT_EQ("C:\\films", fDb.FilmsFolderPath());

  DriveRecord zed;
  zed.LABEL = "Zed CD";
  ASSERT_FALSE(fDb.FindDriveRecord(zed));
  EXPECT_EQ(1, zed.DRIVEID);
  EXPECT_EQ("E:\\zed", zed.PATH);

  zed.PATH = "F:\\zed";
  EXPECT_FALSE(fDb.UpdateDriveRecord(zed));
  EXPECT_EQ("", fFolder.Setting("MovieDirectory")) << "only the films folder's row writes the setting";
  DriveRecord films = Drive(2, filmsFolderAlias, "Films", "D:\\new films");
  EXPECT_FALSE(fDb.UpdateDriveRecord(films));
  EXPECT_EQ("D:\\new films", fFolder.Setting("MovieDirectory"));
  EXPECT_TRUE(fDb.UpdateDriveRecord(Drive(9, "x", "No such label", "y")));
}

// A drive row that cannot take new values keeps its own, and says so: a
// folder name longer than the field would be stored cut, a table that
// cannot be written would drop the change. The check finds each out
// without changing the row, and the films folder's setting follows the row
// only when the row took the folder.
TEST(DriveRows, ARowThatCannotTakeItsValuesKeepsItsOwnAndSaysSo) {
  const std::string oldPath = "C:\\old films\\";
  struct Case {
    const char* name;
    DriveRecord given;
    bool readOnly;  // GH_DriveDB.dbf marked read-only
    DriveRowCheck want;
  };
  const Case cases[] = {
      {"a folder that fits", Drive(1, filmsFolderAlias, filmsFolderAlias, "D:\\new films\\"), false,
       DriveRowCheck::Writable},
      {"a folder longer than the field", Drive(1, filmsFolderAlias, filmsFolderAlias, "D:\\" + std::string(260, 'f')),
       false, DriveRowCheck::TooLong},
      {"no row of that label", Drive(9, "x", "No such label", "E:\\"), false, DriveRowCheck::Missing},
      {"a table that cannot be written", Drive(1, filmsFolderAlias, filmsFolderAlias, "D:\\new films\\"), true,
       DriveRowCheck::Unwritable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TableFolder folder(Seed::Installation);
    {
      CDDatabase db("Config Tool");
      ASSERT_FALSE(db.UpdateDriveRecord(Drive(1, filmsFolderAlias, filmsFolderAlias, oldPath)));
    }
    const std::string table = folder.Path() + "\\GH_DriveDB.dbf";
    if (c.readOnly) SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY);
    const bool took = c.want == DriveRowCheck::Writable;
    {
      CDDatabase db("Config Tool");
      EXPECT_EQ(c.want, db.CheckDriveRecordUpdate(c.given));
      DriveRecord row;
      row.LABEL = filmsFolderAlias;
      ASSERT_FALSE(db.FindDriveRecord(row));
      EXPECT_EQ(oldPath, row.PATH) << "the check changes nothing";
      EXPECT_EQ(!took, db.UpdateDriveRecord(c.given));
      ASSERT_FALSE(db.FindDriveRecord(row));
      EXPECT_EQ(took ? c.given.PATH : oldPath, row.PATH);
    }
    SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::vector<RawRow> rows = RawRows(folder.Path(), "GH_DriveDB");
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(took ? c.given.PATH : oldPath, rows[0].fields.at("PATH")) << "on disk";
    EXPECT_EQ(took ? c.given.PATH : oldPath, folder.Setting("MovieDirectory"));
  }
}

// ---- actions ---------------------------------------------------------------

TEST_F(ItemTable, ActionsAppendWithTheNextNumberAndRewriteTheRowWithTheSameThreeValues) {
  EXPECT_TRUE(fDb.FindActionRecord("CD", "s", 1)) << "empty table";
  ActionRecord a = Action(50, 1, "playQT(File=\"a.flm\")", "CD", "sprite1");
  ASSERT_FALSE(fDb.AppendActionRecord(a));
  EXPECT_EQ(1, a.actionID);
  ActionRecord b = Action(0, 1, "stop()", "Other CD", "sprite1");
  ASSERT_FALSE(fDb.AppendActionRecord(b));
  EXPECT_EQ(2, b.actionID);
  ActionRecord c = Action(0, 2, "stop()", "CD", "sprite1");  // another type
  ASSERT_FALSE(fDb.AppendActionRecord(c));
  EXPECT_EQ(3, c.actionID);
  EXPECT_FALSE(fDb.FindActionRecord("CD", "sprite1", 1));
  EXPECT_TRUE(fDb.FindActionRecord("CD", "Sprite1", 1));

  // The same three values as row 1, arriving with the number of the other
  // CD's row: row 1 is rewritten, row 2 keeps its own command.
  ActionRecord again = Action(2, 1, "launchURL(URL=\"x\")", "CD", "sprite1");
  ASSERT_FALSE(fDb.AppendActionRecord(again));
  EXPECT_EQ(1, again.actionID);
  const std::vector<RawRow> rows = RawRows(fFolder.Path(), "GH_ActionDB");
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("launchURL(URL=\"x\")", rows[0].fields.at("ACTIONTEXT"));
  EXPECT_EQ("stop()", rows[1].fields.at("ACTIONTEXT"));
  EXPECT_EQ("Other CD", rows[1].fields.at("ALIASROOT"));

  // The same command once more, as a film recorded again brings it: the
  // row's number is answered and the rows stay as they are.
  ActionRecord same = Action(9, 1, "launchURL(URL=\"x\")", "CD", "sprite1");
  ASSERT_FALSE(fDb.AppendActionRecord(same));
  EXPECT_EQ(1, same.actionID);
  const std::vector<RawRow> after = RawRows(fFolder.Path(), "GH_ActionDB");
  ASSERT_EQ(3u, after.size());
  for (size_t n = 0; n < 3; ++n) EXPECT_EQ(rows[n].fields, after[n].fields) << n;
}

// Records straight from a CD's data file may fill their arrays to the last
// byte; what is stored stops at the array's end.
TEST_F(ItemTable, UnterminatedActionTextsAreHeldToTheirArrays) {
  ActionRecord a;
  std::memset(&a, 'x', sizeof a);
  a.actionType = 1;
  ASSERT_FALSE(fDb.AppendActionRecord(a));
  ActionRecord back{};
  ASSERT_EQ(0, C4First(fDb.ActionTable()));
  fDb.ReadActionRecord(back);
  EXPECT_EQ(std::string(253, 'x'), back.actionText);
  EXPECT_EQ(std::string(29, 'x'), back.aliasRoot);
  EXPECT_EQ(std::string(199, 'x'), back.sprite);
}

}  // namespace
