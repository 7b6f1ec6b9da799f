// Recording the film files found in the drive rows' folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "CDDatabase.h"
#include "CP_FileSpec.h"
#include "CP_FourCC.h"
#include "DatabaseTestSupport.h"
#include "FilmInstallation.h"
#include "GH_FilmsFolder.h"
#include "QTToolbox.h"
#include "WinTestSupport.h"

namespace {

using namespace dbtest;
using Texts = std::vector<std::string>;

// The shipped tables with the films folder's drive row pointing at a
// folder of this test; `itemList` loaded as the program loads it.
class Installation : public ::testing::Test {
 protected:
  void SetUp() override {
    fFilms = fFolder.Folder("films");
    ASSERT_FALSE(fDb.UpdateDriveRecord(Drive(1, filmsFolderAlias, filmsFolderAlias, fFilms)));
    Reload();
  }
  void TearDown() override { itemList.clear(); }

  void Reload() { ASSERT_EQ(0, fDb.LoadItems(itemList)); }
  std::string Path(const std::string& name) const { return fFilms + "\\" + name; }
  std::string Film(const std::string& name, const std::string& title,
                   const std::vector<std::pair<std::string, std::string>>& actions = {}) {
    WriteFilm(Path(name), {{"name", title}}, actions);
    return title + FormatFilmSize(Path(name));
  }
  Texts FilmTexts() {
    PlaylistEntries items;
    EXPECT_EQ(0, fDb.LoadItems(items));
    Texts texts;
    for (const PlaylistEntry& e : items)
      if (e.ITEMTYPE == kItemFilm) texts.push_back(e.ITEMTEXT);
    return texts;
  }

  TableFolder fFolder{Seed::Installation};
  CDDatabase fDb{"Config Tool"};
  std::string fFilms;
};

TEST_F(Installation, NewFilmsAreRecordedWithTheirActionsInTypeOrder) {
  const std::string gamma = Film("c.M01", "Gamma");
  const std::string beta = Film("b.m01", "Beta");
  const std::string alpha = Film("a.flm", "Alpha", {{"button", "playQT(Track=\"2\")"}, {"link", "stop()"}});
  Film("upper.FLM", "Upper");
  WriteFile(Path("notes.txt"), "no film");

  Texts recorded = {"left from before"};
  InstallNewFilmsCollect(fDb, recorded);
  EXPECT_EQ((Texts{alpha, beta, gamma}), recorded);
  EXPECT_EQ((Texts{alpha, beta, gamma}), FilmTexts());

  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  EXPECT_EQ("a.flm", items[2].FileName);
  EXPECT_EQ(1, items[2].PARENT_ID) << "under the films folder's location";
  EXPECT_EQ(filmsFolderAlias, items[2].AliasRoot);

  const std::vector<RawRow> actions = RawRows(fFolder.Path(), "GH_ActionDB");
  ASSERT_EQ(2u, actions.size());
  EXPECT_EQ("button", actions[0].fields.at("SPRITE"));
  EXPECT_EQ("playQT(Track=\"2\")", actions[0].fields.at("ACTIONTEXT"));
  for (const RawRow& a : actions) {
    EXPECT_EQ(filmsFolderAlias, a.fields.at("ALIASROOT"));
    EXPECT_EQ("1", a.fields.at("ACTIONTYPE"));
  }

  // Everything is listed now: a second scan changes nothing and asks nothing.
  Reload();
  kxtest::MessageBoxWatcher box("Glintharbour International", IDNO);
  InstallNewFilmsCollect(fDb, recorded);
  EXPECT_TRUE(recorded.empty());
  EXPECT_EQ(0, box.Count());
  EXPECT_EQ(3u, FilmTexts().size());
}

// A file under a new name whose film is listed already is offered for
// deletion; No keeps it, Yes deletes it, and neither records it.
TEST_F(Installation, AFilmListedUnderAnotherFileNameIsOfferedForDeletion) {
  for (int answer : {IDNO, IDYES}) {
    const std::string text = Film("first.flm", "Sea");
    InstallNewFilms(fDb);
    Reload();
    Film("copy.flm", "Sea");
    {
      kxtest::MessageBoxWatcher box("Glintharbour International", answer);
      InstallNewFilms(fDb);
      ASSERT_EQ(1, box.Count());
      EXPECT_EQ("\"" + Path("copy.flm") + "\" is already installed. Do you want to delete the file?", box.LastText());
    }
    EXPECT_EQ(Texts{text}, FilmTexts());
    EXPECT_EQ(answer == IDNO, FileExists(Path("copy.flm")));
    // Start the next round afresh.
    PlaylistEntries items;
    ASSERT_EQ(0, fDb.LoadItems(items));
    ASSERT_FALSE(fDb.DeleteItem(items.back(), true));
    std::remove(Path("first.flm").c_str());
    std::remove(Path("copy.flm").c_str());
    Reload();
  }
}

// Yes on a read-only copy: the file cannot go. The user hears of it, the
// scan goes on with the next file and nothing leaves the scan.
TEST_F(Installation, ACopyThatCannotBeDeletedIsReportedAndTheScanGoesOn) {
  Film("first.flm", "Sea");
  InstallNewFilms(fDb);
  Reload();
  Film("copy.flm", "Sea");
  ASSERT_TRUE(SetFileAttributesA(Path("copy.flm").c_str(), FILE_ATTRIBUTE_READONLY));
  const std::string other = Film("other.flm", "Other");
  Texts recorded;
  {
    kxtest::MessageBoxWatcher box("Glintharbour International", IDYES);
    EXPECT_NO_THROW(InstallNewFilmsCollect(fDb, recorded));
    ASSERT_TRUE(box.WaitFor(2));
    EXPECT_EQ("\"" + Path("copy.flm") + "\" could not be deleted.", box.LastText());
  }
  SetFileAttributesA(Path("copy.flm").c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(Texts{other}, recorded);
  EXPECT_TRUE(FileExists(Path("copy.flm")));
}

// A film renamed outside the program is the listed film: nothing is asked
// (Yes would delete its only file), no second row is added, and a row that
// lost its file takes the new name. The scan tells its caller, so that the
// item list is read again.
TEST_F(Installation, ARenamedFilmKeepsItsRow) {
  struct Case {
    const char* name;
    const char* renamed;
    const char* recorded;  // the row's file name afterwards
    bool told;             // among the texts the scan gives back
  } const kCases[] = {
      {"another letter case", "SUNSET.flm", "Sunset.flm", false},
      {"another name", "Evening.flm", "Evening.flm", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string text = Film("Sunset.flm", "Sunset");
    InstallNewFilms(fDb);
    Reload();
    const int32_t id = itemList.back().ITEM_ID;
    ASSERT_TRUE(kxtest::RenameFile(Path("Sunset.flm"), Path(c.renamed)));
    Texts recorded;
    {
      kxtest::MessageBoxWatcher box("Glintharbour International", IDYES);
      InstallNewFilmsCollect(fDb, recorded);
      EXPECT_FALSE(box.WaitFor(1, 500)) << box.LastText();
    }
    EXPECT_EQ(c.told ? Texts{text} : Texts{}, recorded);
    EXPECT_TRUE(FileExists(Path(c.renamed)));
    EXPECT_FALSE(fDb.RemoveMissingInstalledFilms()) << "its file is there";
    Reload();
    ASSERT_EQ(Texts{text}, FilmTexts());
    EXPECT_EQ(id, itemList.back().ITEM_ID);
    EXPECT_EQ(c.recorded, itemList.back().FileName);
    // The next case starts afresh.
    ASSERT_FALSE(fDb.DeleteItem(itemList.back(), true));
    std::remove(Path(c.renamed).c_str());
    Reload();
  }
}

// Two files of the renamed film in one scan: the first found takes the
// row; the second is then a copy of a film whose file is there.
TEST_F(Installation, ARenamedFilmAndItsCopyInOneScan) {
  Film("Sunset.flm", "Sunset");
  InstallNewFilms(fDb);
  Reload();
  ASSERT_TRUE(MoveFileA(Path("Sunset.flm").c_str(), Path("A.flm").c_str()));
  ASSERT_TRUE(CopyFileA(Path("A.flm").c_str(), Path("B.flm").c_str(), TRUE));
  kxtest::MessageBoxWatcher box("Glintharbour International", IDNO);
  InstallNewFilms(fDb);
  ASSERT_TRUE(box.WaitFor(1));
  EXPECT_FALSE(box.WaitFor(2, 500));
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  ASSERT_EQ(1u, FilmTexts().size());
  const std::string asked = items.back().FileName == "A.flm" ? "B.flm" : "A.flm";
  EXPECT_EQ("\"" + Path(asked) + "\" is already installed. Do you want to delete the file?", box.LastText());
  EXPECT_TRUE(FileExists(Path("A.flm")));
  EXPECT_TRUE(FileExists(Path("B.flm")));
}

// The row cannot take the new name: the user hears which film, once for
// the scan, and the file stays.
TEST_F(Installation, ARenameTheLibraryCannotTakeIsReported) {
  const std::string text = Film("Sunset.flm", "Sunset");
  InstallNewFilms(fDb);
  Reload();
  ASSERT_TRUE(MoveFileA(Path("Sunset.flm").c_str(), Path("Evening.flm").c_str()));
  const std::string table = fFolder.Path() + "\\GH_ConfigDB.dbf";
  ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    CDDatabase database("Config Tool");
    kxtest::MessageBoxWatcher box("Glintharbour International", IDOK);
    Texts recorded;
    InstallNewFilmsCollect(database, recorded);
    ASSERT_TRUE(box.WaitFor(1));
    EXPECT_FALSE(box.WaitFor(2, 500)) << "said once";
    EXPECT_EQ("The library cannot be changed: its table GH_ConfigDB.dbf in the folder \"" + fFolder.Path() +
                  "\" cannot be written (it is read-only).\r\n\r\nThese movies were renamed outside the program; "
                  "the library keeps their old file names:\r\n\r\n\"" + text + "\" is now \"Evening.flm\"",
              box.LastText());
    EXPECT_TRUE(recorded.empty());
  }
  ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(FileExists(Path("Evening.flm")));
  PlaylistEntries items;
  ASSERT_EQ(0, fDb.LoadItems(items));
  EXPECT_EQ("Sunset.flm", items.back().FileName);
}

CDDatabase* gNestedDatabase = nullptr;
int gNestedScans = 0;

// A message handled under the scan's box starts another scan, as the
// engine's "installed" message does.
void CALLBACK ScanAgain(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  ++gNestedScans;
  InstallNewFilms(*gNestedDatabase);
}

// The scan started under the box must not offer the same file again.
TEST_F(Installation, AScanStartedUnderTheScansBoxAsksNothingAgain) {
  Film("first.flm", "Sea");
  InstallNewFilms(fDb);
  Reload();
  Film("copy.flm", "Sea");
  gNestedDatabase = &fDb;
  gNestedScans = 0;
  // Answered slowly, so that the timer runs while the box is up.
  kxtest::DialogWatcher box("Glintharbour International", [](HWND dialog) {
    Sleep(400);
    kxtest::DialogWatcher::Press(dialog, IDNO);
  });
  SetTimer(nullptr, 0, 10, ScanAgain);
  InstallNewFilms(fDb);
  EXPECT_EQ(1, gNestedScans);
  Sleep(500);
  EXPECT_EQ(1, box.Count());
  EXPECT_TRUE(FileExists(Path("copy.flm")));
}

// The list copy does not hold what the scan records, so two files of one
// film found in one scan are both recorded.
TEST_F(Installation, TwoNewFilesOfOneFilmInOneScanAreBothRecorded) {
  const std::string one = Film("one.flm", "Twin");
  const std::string two = Film("two.flm", "Twin");
  kxtest::MessageBoxWatcher box("Glintharbour International", IDNO);
  InstallNewFilms(fDb);
  EXPECT_EQ((Texts{one, two}), FilmTexts());
  EXPECT_EQ(0, box.Count());
}

// A drive row whose label has no location row: nothing can be recorded,
// and its films are not taken for installed ones.
TEST_F(Installation, AFolderWithoutLocationRowIsLeftAlone) {
  const std::string other = fFolder.Folder("other");
  WriteFilm(other + "\\film.flm", {{"name", "Other"}}, {});
  ASSERT_EQ(0, C4AppendStart(fDb.DriveTable(), 1));
  fDb.WriteDriveRecord(Drive(2, "Other", "Other CD", other));
  ASSERT_EQ(0, C4Append(fDb.DriveTable()));
  kxtest::MessageBoxWatcher box("Glintharbour International", IDYES);
  InstallFilmsInFolder(fDb, Drive(2, "Other", "Other CD", other), CP_FourCC(".flm"), itemList);
  EXPECT_EQ(0, box.Count());
  EXPECT_TRUE(FileExists(other + "\\film.flm"));
  EXPECT_TRUE(FilmTexts().empty());
}

// A film whose own database is damaged is recorded as a film without its
// own data, under the movie's own name, as the engine records it; the scan
// goes on with the next file.
TEST_F(Installation, ADamagedFilmIsRecordedWithoutItsDataAndTheScanGoesOn) {
  // The movie's own items are read through the toolbox, as the program does.
  ASSERT_EQ(noErr, InitializeQTML(0));
  ASSERT_EQ(noErr, EnterMovies());
  Film("a.flm", "Damaged", {{"button", "playQT(Track=\"2\")"}});
  {
    std::fstream file(Path("a.flm"), std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The database's signature, as the stream stores it.
    const size_t at = bytes.find("|XB_[HU");
    ASSERT_NE(std::string::npos, at);
    file.seekp(std::streamoff(at));
    file.write("Broken!", 7);
  }
  const std::string good = Film("b.flm", "Good");
  char before[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, before);
  InstallNewFilms(fDb);
  char after[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, after);
  EXPECT_STREQ(before, after);
  Texts texts = FilmTexts();
  std::sort(texts.begin(), texts.end());
  EXPECT_EQ((Texts{good, "Tiny film" + FormatFilmSize(Path("a.flm"))}), texts);
  EXPECT_TRUE(RawRows(fFolder.Path(), "GH_ActionDB").empty()) << "none of its bindings can be read";
  ExitMovies();
  TerminateQTML();
}

// A film that cannot be read is recorded under its location's text and its
// size. Another such film, however alike its text, is another film: it is
// recorded too and never offered for deletion.
TEST_F(Installation, UnreadableFilmsAreRecordedEachAndNeverTakenForCopies) {
  WriteFile(Path("empty.flm"), "");
  InstallNewFilms(fDb);
  const std::string fallback = filmsFolderAlias + FormatFilmSize(Path("empty.flm"));
  EXPECT_EQ(Texts{fallback}, FilmTexts());
  Reload();
  WriteFile(Path("nothing.flm"), "");
  WriteFile(Path("cut.flm"), std::string(40, 'x'));
  ASSERT_EQ(FormatFilmSize(Path("empty.flm")), FormatFilmSize(Path("cut.flm")));
  kxtest::MessageBoxWatcher box("Glintharbour International", IDYES);
  InstallNewFilms(fDb);
  EXPECT_FALSE(box.WaitFor(1, 500));
  for (const char* name : {"empty.flm", "nothing.flm", "cut.flm"}) EXPECT_TRUE(FileExists(Path(name))) << name;
  EXPECT_EQ((Texts{fallback, fallback, fallback}), FilmTexts());
}

// Tables the user cannot write to: the user hears once, with the reason,
// however many films wait; nothing is recorded and every file stays.
TEST_F(Installation, AReadOnlyLibraryIsReportedOnce) {
  Film("a.flm", "Sea");
  Film("b.flm", "Sky");
  const std::string table = fFolder.Path() + "\\GH_ConfigDB.dbf";
  ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    CDDatabase database("Config Tool");
    kxtest::MessageBoxWatcher box("Glintharbour International", IDOK);
    InstallNewFilms(database);
    ASSERT_TRUE(box.WaitFor(1));
    EXPECT_FALSE(box.WaitFor(2, 500)) << "said once";
    EXPECT_EQ("The library cannot be changed: its table GH_ConfigDB.dbf in the folder \"" + fFolder.Path() +
                  "\" cannot be written (it is read-only).\r\n\r\nNew films found in the film "
                  "folders are not recorded.",
              box.LastText());
  }
  ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(FilmTexts().empty());
  EXPECT_TRUE(FileExists(Path("a.flm")));
  EXPECT_TRUE(FileExists(Path("b.flm")));
}

// File names match in any letter case, as Windows opens them; alias roots
// match exactly.
TEST(FilmListing, AFilmIsListedByFileNameAndAliasRoot) {
  PlaylistEntries items(1);
  items[0].FileName = "sea.flm";
  items[0].AliasRoot = "Films";
  EXPECT_TRUE(IsFilmListed(items, CP_FileSpec("C:\\films\\sea.flm", false), "Films"));
  EXPECT_TRUE(IsFilmListed(items, CP_FileSpec("C:\\films\\SEA.flm", false), "Films"));
  EXPECT_FALSE(IsFilmListed(items, CP_FileSpec("C:\\films\\sea2.flm", false), "Films"));
  EXPECT_FALSE(IsFilmListed(items, CP_FileSpec("C:\\films\\sea.flm", false), "films"));
}

}  // namespace
