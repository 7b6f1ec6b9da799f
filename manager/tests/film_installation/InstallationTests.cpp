// Recording the film files found in the drive rows' folders.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "CDDatabase.h"
#include "CP_FileSpec.h"
#include "CP_FourCC.h"
#include "DatabaseTestSupport.h"
#include "FilmInstallation.h"
#include "GH_FilmsFolder.h"
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

// A film whose own database is damaged cannot be read; the scan records
// nothing of it and goes on with the next file.
TEST_F(Installation, ADamagedFilmIsSkippedAndTheScanGoesOn) {
  Film("a.flm", "Damaged");
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
  EXPECT_EQ(Texts{good}, FilmTexts());
}

TEST(FilmListing, AFilmIsListedByFileNameAndAliasRootExactly) {
  PlaylistEntries items(1);
  items[0].FileName = "sea.flm";
  items[0].AliasRoot = "Films";
  EXPECT_TRUE(IsFilmListed(items, CP_FileSpec("C:\\films\\sea.flm", false), "Films"));
  EXPECT_FALSE(IsFilmListed(items, CP_FileSpec("C:\\films\\Sea.flm", false), "Films"));
  EXPECT_FALSE(IsFilmListed(items, CP_FileSpec("C:\\films\\sea.flm", false), "films"));
}

}  // namespace
