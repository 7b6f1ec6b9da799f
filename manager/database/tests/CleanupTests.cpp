// Forgetting a CD, the wastebasket, forgetting films whose files have gone,
// recording an installed film, and the import wait window.
#include <gtest/gtest.h>

#include <memory>

#include "CDDatabase.h"
#include "CP_FileSpec.h"
#include "DatabaseTestSupport.h"
#include "ImportPatch.h"
#include "UnreachableFile.h"
#include "WinTestSupport.h"

#include <algorithm>
#include <functional>
#include <sstream>

namespace {

using namespace dbtest;

class Cleanup : public ::testing::Test {
 protected:
  void SetUp() override { itemList.clear(); }
  void TearDown() override { itemList.clear(); }

  PlaylistEntry Add(PlaylistEntry e) {
    EXPECT_FALSE(fDb.AppendItem(e, true));
    return e;
  }
  void AddDrive(const DriveRecord& d) {
    ASSERT_EQ(0, C4AppendStart(fDb.DriveTable(), 1));
    fDb.WriteDriveRecord(d);
    ASSERT_EQ(0, C4Append(fDb.DriveTable()));
    C4Flush(fDb.DriveTable());
  }
  std::vector<std::string> LoadedTexts() {
    PlaylistEntries items;
    EXPECT_EQ(0, fDb.LoadItems(items));
    std::vector<std::string> texts;
    for (const PlaylistEntry& e : items) texts.push_back(e.ITEMTEXT);
    return texts;
  }

  TableFolder fFolder;
  CDDatabase fDb{"Config Tool"};
};

using Texts = std::vector<std::string>;

// While it lives, the table engine's pack (its entry number 119) fails as a
// pack does whose first write the disk refuses: no row moves.
class PackFails {
 public:
  bool Installed() const { return fPatch.Installed(); }

 private:
  static int32_t C4API Pack(C4Table*) { return C4_IO_ERROR; }
  kxtest::ImportPatch fPatch{"C4DLL.DLL", uint16_t(119), reinterpret_cast<void*>(&Pack)};
};

// What the user is told of tables that could not be packed.
std::string NotPacked(const std::string& folder, const Texts& tables) {
  std::string text;
  for (const std::string& t : tables)
    text += (text.empty() ? "" : "\r\n\r\n") + std::string("The library's table ") + t + ".dbf in the folder \"" +
            folder + "\" could not be packed (writing to it failed).";
  return text;
}

// Takes a tag off a table made before tables named their tags in their
// field descriptors, as the loss of its line from the tag file does.
void DropTag(const std::string& folder, const std::string& table, const std::string& tag) {
  const std::string base = folder + "\\" + table;
  std::string dbf = ReadWholeFile(base + ".dbf");
  for (size_t d = 32; d + 32 <= dbf.size() && dbf[d] != '\r'; d += 32)
    std::fill(dbf.begin() + std::ptrdiff_t(d + 20), dbf.begin() + std::ptrdiff_t(d + 32), '\0');
  WriteFile(base + ".dbf", dbf);
  std::istringstream lines(ReadWholeFile(base + ".tags"));
  std::string kept;
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(tag + " ", 0) != 0) kept += line + "\n";
  WriteFile(base + ".tags", kept);
}


TEST_F(Cleanup, DeletingACDRemovesEveryRowOfItsAliasRootAndItsActions) {
  PlaylistEntry cd = Add(Film("Ocean", "Ocean CD", 0));
  Add(Film("Sea", "Ocean CD", cd.ITEM_ID));
  Add(Film("Wave", "Ocean CD", kWastebasketId));
  Add(Film("Moon", "Night CD", 0));
  for (ActionRecord a : {Action(0, 1, "a()", "Ocean CD", "s1"), Action(0, 1, "b()", "Night CD", "s1"),
                         Action(0, 1, "c()", "Ocean CD", "s2")})
    ASSERT_FALSE(fDb.AppendActionRecord(a));

  EXPECT_FALSE(fDb.DeleteCDRecords("Ocean CD"));
  EXPECT_EQ(Texts{"Moon"}, LoadedTexts());
  const std::vector<RawRow> actions = RawRows(fFolder.Path(), "GH_ActionDB");
  ASSERT_EQ(1u, actions.size()) << "packed";
  EXPECT_EQ("Night CD", actions[0].fields.at("ALIASROOT"));
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ConfigDB").size()) << "packed";
}

TEST_F(Cleanup, DeletingAnUnknownCDReportsNothingDeletedAndStillPacks) {
  PlaylistEntry gone = Add(Film("Gone", "Night CD", 0));
  Add(Film("Moon", "Night CD", 0));
  ASSERT_FALSE(fDb.DeleteItem(gone, false));
  EXPECT_TRUE(fDb.DeleteCDRecords("Nobody's CD"));
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ConfigDB").size());
}

// A memo pointer that leads nowhere: deleting a CD still forgets its rows,
// but the memo file is not compacted, which would drop the text the
// pointer led to; the user hears once which table is damaged, and that its
// rows were packed while its memo file was not.
TEST_F(Cleanup, DeletingACDLeavesADamagedMemoFileAsItIsAndSaysSo) {
  Add(Film("Ocean", "Ocean CD", 0));
  Add(Film("Moon", "Night CD", 0));
  DamageMemoPointer(fFolder.Path(), "GH_ConfigDB", 0, "ITEMTEXT");
  const std::string memo = fFolder.Path() + "\\GH_ConfigDB.fpt";
  const std::string before = ReadWholeFile(memo);
  kxtest::MessageBoxWatcher box("Glintharbour International", IDOK);
  EXPECT_FALSE(fDb.DeleteCDRecords("Night CD"));
  EXPECT_TRUE(fDb.DeleteCDRecords("Nobody's CD"));
  ASSERT_TRUE(box.WaitFor(1));
  EXPECT_FALSE(box.WaitFor(2, 500)) << "told once";
  EXPECT_EQ("The library's table GH_ConfigDB.dbf in the folder \"" + fFolder.Path() +
                "\" is damaged: some of the texts it keeps in GH_ConfigDB.fpt cannot be read.\r\n\r\n"
                "The rows deleted from GH_ConfigDB.dbf were removed; GH_ConfigDB.fpt was left as it is.",
            box.LastText());
  EXPECT_EQ(before, ReadWholeFile(memo));
  EXPECT_EQ(1u, RawRows(fFolder.Path(), "GH_ConfigDB").size()) << "the CD's row is gone all the same";
}

// Two wastebasket rows for one film: the first loses its row only, the
// second its row and the file. A film also shown outside the wastebasket
// keeps its file; one whose file is gone already just loses its row.
TEST_F(Cleanup, EmptyingTheWastebasketDeletesAFileWithItsLastRow) {
  const std::string films = fFolder.Folder("films");
  fFolder.Folder("films\\sub");
  AddDrive(Drive(1, filmsFolderAlias, "Films", films));
  WriteFile(films + "\\sub\\twice.flm", "film");
  WriteFile(films + "\\shown.flm", "film");
  WriteFile(films + "\\alone.flm", "film");
  Add(Film("Gone already", "Films", kWastebasketId, "gone.flm"));  // deleted outside the program
  PlaylistEntry twice1 = Film("Twice", "Films", kWastebasketId, "twice.flm");
  twice1.FILEPATH = "sub";
  PlaylistEntry twice2 = twice1;
  Add(twice1);
  Add(Film("Shown", "Films", kWastebasketId, "shown.flm"));
  Add(Film("Keep me", "Films", 1, "alone.flm"));
  Add(twice2);
  Add(Film("Shown", "Films", 1, "shown.flm"));

  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  fDb.EmptyWastebasket(items);
  ASSERT_EQ(2u, items.size());
  EXPECT_EQ("Keep me", items[0].ITEMTEXT);
  EXPECT_EQ("Shown", items[1].ITEMTEXT);
  EXPECT_EQ((Texts{"Keep me", "Shown"}), LoadedTexts());
  EXPECT_FALSE(FileExists(films + "\\sub\\twice.flm"));
  EXPECT_TRUE(FileExists(films + "\\shown.flm"));
  EXPECT_TRUE(FileExists(films + "\\alone.flm"));
}

// Rows are matched by the file they show, not by their titles: a film
// recorded under two titles shows one file, two films of one title may show
// two, and two drive rows may name one folder.
TEST(CleanupByFile, AWastebasketFilmsFileGoesOnlyWhenNoOtherRowShowsIt) {
  struct Case {
    const char* name;
    PlaylistEntry other;  // a row outside the wastebasket
    bool fileStays;
    std::string binned = "reef.flm";  // the wastebasket row's file
  };
  const Case cases[] = {
      {"the same file under another title", Film("Reef [ 0.01 MB]", "Films", 1, "reef.flm"), true},
      {"the same file, its name in capitals", Film("Reef", "Films", 1, "REEF.FLM"), true},
      // Letters beyond ASCII fold too: an e acute and its capital.
      {"the same file, its accented name in capitals", Film("Reef", "Films", 1, "R\xC9" "EF.FLM"), true,
       "r\xE9" "ef.flm"},
      {"the same file through another drive row", Film("Reef Again", "Same folder", 1, "reef.flm"), true},
      {"the same title, another file", Film("Reef", "Films", 1, "reef2.flm"), false},
      {"the same title and name in another folder", Film("Reef", "Elsewhere", 1, "reef.flm"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TableFolder folder;
    CDDatabase db("Config Tool");
    const std::string films = folder.Folder("films");
    const std::string elsewhere = folder.Folder("elsewhere");
    for (const DriveRecord& drive : {Drive(1, filmsFolderAlias, "Films", films),
                                     Drive(2, "Same folder", "Same folder", films + "\\"),
                                     Drive(3, "Elsewhere", "Elsewhere", elsewhere)}) {
      ASSERT_EQ(0, C4AppendStart(db.DriveTable(), 1));
      db.WriteDriveRecord(drive);
      ASSERT_EQ(0, C4Append(db.DriveTable()));
    }
    C4Flush(db.DriveTable());
    for (const std::string& file :
         {films + "\\" + c.binned, films + "\\reef2.flm", elsewhere + "\\reef.flm"})
      WriteFile(file, "film");
    PlaylistEntry binned = Film("Reef", "Films", kWastebasketId, c.binned);
    PlaylistEntry other = c.other;
    ASSERT_FALSE(db.AppendItem(binned, true));
    ASSERT_FALSE(db.AppendItem(other, true));

    PlaylistEntries items;
    ASSERT_EQ(0, db.LoadItems(items));
    db.EmptyWastebasket(items);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(other.ITEM_ID, items[0].ITEM_ID);
    EXPECT_EQ(c.fileStays, FileExists(films + "\\" + c.binned));
    EXPECT_TRUE(FileExists(films + "\\reef2.flm"));
    EXPECT_TRUE(FileExists(elsewhere + "\\reef.flm"));
  }
}

TEST_F(Cleanup, AWastebasketFilmWithoutDriveEndsTheWalkWithAMessage) {
  const std::string films = fFolder.Folder("films");
  AddDrive(Drive(1, filmsFolderAlias, "Films", films));
  WriteFile(films + "\\a.flm", "film");
  WriteFile(films + "\\c.flm", "film");
  Add(Film("A", "Films", kWastebasketId, "a.flm"));
  Add(Film("B", "Lost CD", kWastebasketId, "b.flm"));
  Add(Film("C", "Films", kWastebasketId, "c.flm"));
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));

  kxtest::MessageBoxWatcher box("Glintharbour KX", IDOK);
  fDb.EmptyWastebasket(items);
  ASSERT_EQ(1, box.Count());
  EXPECT_EQ("Cannot find root drive Lost CD. Please make sure drive is configured correctly.", box.LastText());
  ASSERT_EQ(2u, items.size());
  EXPECT_EQ("B", items[0].ITEMTEXT);
  EXPECT_EQ("C", items[1].ITEMTEXT);
  EXPECT_FALSE(FileExists(films + "\\a.flm"));
  EXPECT_TRUE(FileExists(films + "\\c.flm"));
}

// A row whose folder climbs out of its drive's folder loses its row, but
// the file it names is not ours to delete.
TEST_F(Cleanup, EmptyingTheWastebasketDeletesNothingOutsideTheDrivesFolder) {
  const std::string films = fFolder.Folder("films");
  AddDrive(Drive(1, filmsFolderAlias, "Films", films));
  WriteFile(fFolder.File("precious.txt"), "keep");
  PlaylistEntry climbing = Film("Climbing", "Films", kWastebasketId, "precious.txt");
  climbing.FILEPATH = "..";
  Add(climbing);
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  fDb.EmptyWastebasket(items);
  EXPECT_TRUE(items.empty());
  EXPECT_TRUE(FileExists(fFolder.File("precious.txt")));
}

// A film whose file will not go (read-only, or held open elsewhere) keeps
// its row, so that the file is not orphaned; the others are emptied and the
// user hears once of what stayed.
TEST_F(Cleanup, AFilmWhoseFileWillNotGoKeepsItsRowAndTheUserIsToldOnce) {
  const std::string films = fFolder.Folder("films");
  AddDrive(Drive(1, filmsFolderAlias, "Films", films));
  for (const char* name : {"plain.flm", "readonly.flm", "open.flm", "later.flm"})
    WriteFile(films + "\\" + name, "film");
  ASSERT_TRUE(SetFileAttributesA((films + "\\readonly.flm").c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE held = CreateFileA((films + "\\open.flm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  Add(Film("Plain", "Films", kWastebasketId, "plain.flm"));
  Add(Film("Read-only", "Films", kWastebasketId, "readonly.flm"));
  Add(Film("Held open", "Films", kWastebasketId, "open.flm"));
  Add(Film("Later", "Films", kWastebasketId, "later.flm"));
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));

  kxtest::MessageBoxWatcher box("Glintharbour KX", IDOK);
  EXPECT_NO_THROW(fDb.EmptyWastebasket(items));
  CloseHandle(held);
  SetFileAttributesA((films + "\\readonly.flm").c_str(), FILE_ATTRIBUTE_NORMAL);

  ASSERT_TRUE(box.WaitFor(1));
  EXPECT_EQ(1, box.Count());
  EXPECT_EQ("These movies could not be deleted and stay in the Wastebasket:\r\nRead-only\r\nHeld open", box.LastText());
  EXPECT_EQ((Texts{"Read-only", "Held open"}), LoadedTexts());
  ASSERT_EQ(2u, items.size());
  EXPECT_EQ("Read-only", items[0].ITEMTEXT);
  EXPECT_EQ("Held open", items[1].ITEMTEXT);
  EXPECT_FALSE(FileExists(films + "\\plain.flm"));
  EXPECT_FALSE(FileExists(films + "\\later.flm"));
  EXPECT_TRUE(FileExists(films + "\\readonly.flm"));
  EXPECT_TRUE(FileExists(films + "\\open.flm"));
}

TEST_F(Cleanup, FilmsWhoseFilesHaveGoneFromTheFilmsFolderAreForgotten) {
  const std::string films = fFolder.Folder("films");
  WriteFile(films + "\\here.flm", "film");
  Add(Film("Here", filmsFolderAlias, 1, "here.flm"));
  Add(Film("Gone", filmsFolderAlias, 1, "gone.flm"));
  Add(Film("On CD", "Ocean CD", 1, "gone.flm"));

  // Without a drive row for the films folder nothing is forgotten.
  EXPECT_FALSE(fDb.RemoveMissingInstalledFilms());
  EXPECT_EQ((Texts{"Here", "Gone", "On CD"}), LoadedTexts());

  AddDrive(Drive(1, filmsFolderAlias, filmsFolderAlias, films));
  EXPECT_TRUE(fDb.RemoveMissingInstalledFilms());
  EXPECT_EQ((Texts{"Here", "On CD"}), LoadedTexts());
  EXPECT_EQ(2u, RawRows(fFolder.Path(), "GH_ConfigDB").size()) << "packed";
}

// A drive letter that names no drive on this system, as "X:".
std::string AbsentDrive() {
  const DWORD present = GetLogicalDrives();
  for (char letter = 'Z'; letter > 'D'; --letter)
    if (!(present & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
  return std::string();
}

// A films folder that cannot be listed tells nothing of its films: they
// keep their rows, wastebasket places and play marks until it is back.
TEST_F(Cleanup, FilmsOfAFolderThatCannotBeListedAreKept) {
  const std::string films = fFolder.Folder("films");
  const std::string notAFolder = fFolder.File("not a folder");
  WriteFile(notAFolder, "x");
  ASSERT_FALSE(AbsentDrive().empty());
  Add(Film("Here", filmsFolderAlias, 1, "here.flm"));
  PlaylistEntry binned = Film("Binned", filmsFolderAlias, kWastebasketId, "binned.flm");
  binned.PLAY = 0;
  Add(binned);
  AddDrive(Drive(1, filmsFolderAlias, filmsFolderAlias, films));

  struct Case {
    const char* name;
    std::string path;
  };
  const Case cases[] = {
      {"renamed", films + " renamed"},
      {"on a drive that is not there", AbsentDrive() + "\\films"},
      {"a file where the folder was", notAFolder},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_FALSE(fDb.UpdateDriveRecord(Drive(1, filmsFolderAlias, filmsFolderAlias, c.path)));
    EXPECT_FALSE(fDb.RemoveMissingInstalledFilms());
    PlaylistEntries items;
    ASSERT_EQ(0, fDb.LoadItems(items));
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ("Binned", items[1].ITEMTEXT);
    EXPECT_EQ(kWastebasketId, items[1].PARENT_ID);
    EXPECT_EQ(0, items[1].PLAY);
    for (const RawRow& row : RawRows(fFolder.Path(), "GH_ConfigDB")) EXPECT_FALSE(row.deleted);
  }

  // Back, and empty: now the files are known to be gone.
  ASSERT_FALSE(fDb.UpdateDriveRecord(Drive(1, filmsFolderAlias, filmsFolderAlias, films)));
  EXPECT_TRUE(fDb.RemoveMissingInstalledFilms());
  EXPECT_EQ(Texts{}, LoadedTexts());
}

DWORD gListingError = 0;

// A listing that breaks off after its first entry, as one on a network
// share that drops does.
BOOL WINAPI BrokenListing(HANDLE, LPWIN32_FIND_DATAA) {
  SetLastError(gListingError);
  return FALSE;
}

// A listing that ends with anything but "no more files" did not see every
// file: no row of the folder goes, not even one whose file is truly gone.
TEST_F(Cleanup, FilmsOfAListingThatBreaksOffAreKept) {
  const std::string films = fFolder.Folder("films");
  WriteFile(films + "\\here.flm", "film");
  Add(Film("Here", filmsFolderAlias, 1, "here.flm"));
  Add(Film("Gone", filmsFolderAlias, 1, "gone.flm"));
  AddDrive(Drive(1, filmsFolderAlias, filmsFolderAlias, films));
  for (DWORD error : {DWORD(ERROR_NETNAME_DELETED), DWORD(ERROR_UNEXP_NET_ERR), DWORD(ERROR_ACCESS_DENIED)}) {
    SCOPED_TRACE(error);
    gListingError = error;
    kxtest::ImportPatch patch("kernel32.dll", "FindNextFileA", reinterpret_cast<void*>(&BrokenListing));
    ASSERT_TRUE(patch.Installed());
    EXPECT_FALSE(fDb.RemoveMissingInstalledFilms());
    EXPECT_EQ((Texts{"Here", "Gone"}), LoadedTexts());
  }
  EXPECT_TRUE(fDb.RemoveMissingInstalledFilms());
  EXPECT_EQ(Texts{"Here"}, LoadedTexts());
}

// A file is missing only when its folder says so. One held open by another
// program, or one that cannot be reached, is there for the clean-up.
TEST_F(Cleanup, OnlyAFileTheFolderDoesNotHoldIsMissing) {
  const std::string films = fFolder.Folder("films") + "\\";
  WriteFile(films + "here.flm", "film");
  WriteFile(films + "held.flm", "film");
  HANDLE held = CreateFileA((films + "held.flm").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> holding(held, CloseHandle);
  struct Case {
    const char* name;
    std::string folder;
    const char* file;
    DWORD error;  // what looking at the file answers, 0 for the truth
    bool want;
  };
  const Case kCases[] = {
      {"there", films, "here.flm", 0, true},
      {"held open without sharing", films, "held.flm", 0, true},
      {"not there", films, "gone.flm", 0, false},
      {"a sub-folder of the name", fFolder.Path() + "\\", "films", 0, false},
      {"folder gone", films + "renamed\\", "here.flm", 0, true},
      {"share gone", films, "remote.flm", ERROR_BAD_NETPATH, true},
      {"share dropped", films, "remote.flm", ERROR_NETNAME_DELETED, true},
      {"access denied", films, "secret.flm", ERROR_ACCESS_DENIED, true},
  };
  for (const Case& c : kCases) {
    std::unique_ptr<kxtest::UnreachableFile> unreachable;
    if (c.error) {
      unreachable = std::make_unique<kxtest::UnreachableFile>(c.folder + c.file, c.error);
      ASSERT_TRUE(unreachable->Installed());
    }
    EXPECT_EQ(c.want, CDDatabase::FileExistsInFolder(c.folder, c.file)) << c.name;
  }
}

TEST_F(Cleanup, AnInstalledFilmIsRecordedUnderItsLocation) {
  PlaylistEntry location;
  location.ITEMTYPE = kItemLocation;
  location.PARENTTYPE = 2;
  location.SORTORDER = 7;
  location.ITEMTEXT = "Films";
  location.AliasRoot = "Films";
  location.FILEPATH = "sub";
  location.ORIGIN = "here";
  location.TKBKG = 9;
  location = Add(location);
  const std::string folder = fFolder.Folder("films");
  const std::string path = folder + "\\sea.flm";
  WriteFilm(path, {{"name", "Deep sea"}, {"TrkLocal", "65537"}, {"TrkGlobal", "3"}, {"other", "x"}}, {});

  std::string text = "unchanged";
  EXPECT_EQ(FilmRecording::NotRecorded,
            fDb.RegisterInstalledFilm(CP_FileSpec(path, false), "Nobody's films", " [ 1.00 MB]", text));
  EXPECT_EQ("unchanged", text) << "no location row";

  EXPECT_EQ(FilmRecording::Recorded, fDb.RegisterInstalledFilm(CP_FileSpec(path, false), "Films", " [ 1.00 MB]", text));
  EXPECT_EQ("Deep sea [ 1.00 MB]", text);
  PlaylistEntry film;
  film.ITEM_ID = location.ITEM_ID + 1;
  ASSERT_FALSE(fDb.FindItem(film));
  EXPECT_EQ("Deep sea [ 1.00 MB]", film.ITEMTEXT);
  EXPECT_EQ(kItemFilm, film.ITEMTYPE);
  EXPECT_EQ(location.ITEM_ID, film.PARENT_ID);
  EXPECT_EQ("sea.flm", film.FileName);
  EXPECT_EQ(1, film.TKLOCAL) << "cut to 16 bits";
  EXPECT_EQ(3, film.TKGLOBAL);
  EXPECT_EQ(9, film.TKBKG) << "from the location";
  EXPECT_EQ(2, film.ICONRESID);
  EXPECT_EQ((std::vector<int32_t>{1, 1, 10, 1}), (std::vector<int32_t>{film.PLAY, film.LOOP, film.VOLUME, film.RATE}));
  EXPECT_EQ(7, film.SORTORDER);
  EXPECT_EQ("sub", film.FILEPATH);
  EXPECT_EQ("here", film.ORIGIN);

  // The same text under the same alias root already listed, as this very
  // file: nothing added.
  ASSERT_EQ(0, fDb.LoadItems(itemList));
  EXPECT_EQ(FilmRecording::Kept,
            fDb.RegisterInstalledFilm(CP_FileSpec(path, false), "Films", " [ 1.00 MB]", text));
  EXPECT_EQ("", text);
  EXPECT_EQ(2u, RawRows(fFolder.Path(), "GH_ConfigDB").size());
}

// A table that lost its ALIASROOT tag still loses every row of the CD, and
// the CD's actions go only with them.
TEST(CleanupWithoutTag, DeletingACDFindsItsRowsWithoutTheAliasTag) {
  TableFolder folder;
  {
    CDDatabase setup("Setup");  // closes without a pack
    for (PlaylistEntry e : {Film("Ocean", "Ocean CD", 0), Film("Sea", "Ocean CD", 1), Film("Moon", "Night CD", 0)})
      ASSERT_FALSE(setup.AppendItem(e, true));
    for (ActionRecord a : {Action(0, 1, "a()", "Ocean CD", "s1"), Action(0, 1, "b()", "Night CD", "s1")})
      ASSERT_FALSE(setup.AppendActionRecord(a));
  }
  DropTag(folder.Path(), "GH_ConfigDB", "ALIASROOT");
  CDDatabase db("Config Tool");
  ASSERT_NE(nullptr, db.ConfigTable());
  ASSERT_EQ(nullptr, C4FindTag(db.ConfigTable(), "ALIASROOT")) << "the fixture lost the tag";
  EXPECT_FALSE(db.DeleteCDRecords("Ocean CD"));
  PlaylistEntries items;
  ASSERT_EQ(0, db.LoadItems(items));
  ASSERT_EQ(1u, items.size());
  EXPECT_EQ("Moon", items[0].ITEMTEXT);
  const std::vector<RawRow> actions = RawRows(folder.Path(), "GH_ActionDB");
  ASSERT_EQ(1u, actions.size());
  EXPECT_EQ("Night CD", actions[0].fields.at("ALIASROOT"));
}

// Rows marked and then a pack that fails: the rows are gone for the program
// all the same (left out until a pack takes them), and the user hears once
// which tables could not be packed.
TEST(PackFailures, APackThatFailsAfterTheMarksIsToldOnce) {
  struct Case {
    const char* name;
    std::function<void(CDDatabase&)> act;
    Texts gone;       // the titles whose rows are marked afterwards
    Texts notPacked;  // the tables named in the box
  };
  const Case cases[] = {
      {"delete CD", [](CDDatabase& db) { EXPECT_FALSE(db.DeleteCDRecords("Ocean CD")); }, {"Ocean", "Reef"},
       {"GH_ConfigDB", "GH_ActionDB"}},
      {"empty wastebasket",
       [](CDDatabase& db) {
         PlaylistEntries items;
         ASSERT_EQ(0, db.LoadItems(items));
         db.EmptyWastebasket(items);
         EXPECT_EQ(4u, items.size()) << "the film left the list";
       },
       {"Wave"}, {"GH_ConfigDB"}},
      {"forget missing films", [](CDDatabase& db) { EXPECT_TRUE(db.RemoveMissingInstalledFilms()); }, {"Gone"},
       {"GH_ConfigDB"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TableFolder folder;
    CDDatabase db("Config Tool");
    const std::string films = folder.Folder("films");
    ASSERT_EQ(0, C4AppendStart(db.DriveTable(), 1));
    db.WriteDriveRecord(Drive(1, filmsFolderAlias, filmsFolderAlias, films));
    ASSERT_EQ(0, C4Append(db.DriveTable()));
    WriteFile(films + "\\wave.flm", "film");
    for (PlaylistEntry e : {Film("Ocean", "Ocean CD", 0), Film("Reef", "Ocean CD", 1),
                            Film("Wave", filmsFolderAlias, kWastebasketId, "wave.flm"),
                            Film("Gone", filmsFolderAlias, 1, "gone.flm"), Film("Moon", "Night CD", 0)})
      ASSERT_FALSE(db.AppendItem(e, true));
    ActionRecord action = Action(0, 1, "a()", "Ocean CD", "s1");
    ASSERT_FALSE(db.AppendActionRecord(action));
    {
      PackFails packFails;
      ASSERT_TRUE(packFails.Installed());
      kxtest::MessageBoxWatcher box("Glintharbour International", IDOK);
      c.act(db);
      db.ReportWriteFailures();
      EXPECT_TRUE(box.WaitFor(1));
      EXPECT_FALSE(box.WaitFor(2, 500)) << "once";
      EXPECT_EQ(NotPacked(folder.Path(), c.notPacked), box.LastText());
    }
    Texts marked;
    for (const RawRow& row : RawRows(folder.Path(), "GH_ConfigDB"))
      if (row.deleted) marked.push_back(row.fields.at("ITEMTEXT"));
    EXPECT_EQ(c.gone, marked);
    PlaylistEntries items;
    ASSERT_EQ(0, db.LoadItems(items));
    for (const PlaylistEntry& e : items)
      EXPECT_EQ(c.gone.end(), std::find(c.gone.begin(), c.gone.end(), e.ITEMTEXT)) << e.ITEMTEXT;
  }
}

// Closing packs and compacts the tables: one that cannot be written is told
// once, by name and reason, and its files stay as they were.
TEST(ClosingTables, APackOrCompactionThatFailsIsToldOnce) {
  struct Case {
    const char* name;
    bool markedRow;
    std::string told;  // after the table's place
  };
  const Case cases[] = {
      {"a row marked deleted", true, " could not be packed (it is read-only)."},
      {"a text left behind", false, " could not have the texts it keeps in GH_ConfigDB.fpt compacted (it is read-only)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TableFolder folder;
    {
      CDDatabase setup("Setup");  // closes without a pack
      PlaylistEntry first = Film("Ocean", "Ocean CD", 0), second = Film("Moon", "Night CD", 0);
      ASSERT_FALSE(setup.AppendItem(first, true));
      ASSERT_FALSE(setup.AppendItem(second, true));
      if (c.markedRow) {
        ASSERT_FALSE(setup.DeleteItem(first, false));
        ASSERT_FALSE(setup.FlushItems());
      } else {
        // A text changed twice leaves its first block unused: the memo
        // file has something to compact, and nothing is to be packed.
        for (const char* path : {"first folder", "second folder"}) {
          first.FILEPATH = path;
          ASSERT_FALSE(setup.UpdateItem(first, true));
        }
      }
    }
    const std::string table = folder.Path() + "\\GH_ConfigDB";
    const std::string dbf = ReadWholeFile(table + ".dbf"), fpt = ReadWholeFile(table + ".fpt");
    ASSERT_TRUE(SetFileAttributesA((table + ".dbf").c_str(), FILE_ATTRIBUTE_READONLY));
    {
      kxtest::MessageBoxWatcher box("Glintharbour International", IDOK);
      { CDDatabase db("Config Tool"); }
      EXPECT_TRUE(box.WaitFor(1));
      EXPECT_FALSE(box.WaitFor(2, 500)) << "once";
      EXPECT_EQ("The library's table GH_ConfigDB.dbf in the folder \"" + folder.Path() + "\"" + c.told,
                box.LastText());
    }
    SetFileAttributesA((table + ".dbf").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(dbf == ReadWholeFile(table + ".dbf"));
    EXPECT_TRUE(fpt == ReadWholeFile(table + ".fpt"));
  }
}

TEST(ImportWaitWindow, ShowsItsTextAndAnswersEveryMessageWithZero) {
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(20100), nullptr,
                                   CDDatabase::ImportWaitDialogProc, 0);
  ASSERT_NE(nullptr, dialog);
  char text[100] = {};
  GetDlgItemTextA(dialog, 20200, text, sizeof text);
  EXPECT_STREQ("Please wait while the CD is imported", text);
  EXPECT_TRUE(IsWindowVisible(dialog));
  for (UINT message : {UINT(WM_KEYDOWN), UINT(WM_LBUTTONDOWN), UINT(WM_RBUTTONDOWN), UINT(WM_PAINT)})
    EXPECT_EQ(0, CDDatabase::ImportWaitDialogProc(dialog, message, 0, 0));
  kxtest::PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(IsWindow(dialog)) << "keys and clicks do not close it";
  DestroyWindow(dialog);
}

}  // namespace
