// Film folders, the installed films' rows and the installation of the new
// films found in the drives' folders.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "CP_FileSpec.h"
#include "CP_Win.h"
#include "DatabaseFixture.h"
#include "UnreachableFile.h"
#include "QTToolbox.h"
#include "WinTestSupport.h"
#include "utility/GH_FilmFolders.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteBytes(const std::string& path, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  std::vector<char> zeros(size);
  if (size) std::fwrite(zeros.data(), 1, size, f);
  std::fclose(f);
}

TEST(FilmFolders, FileSizeTextInMegabytes) {
  const std::string folder = MakeTempFolder("sizes");
  struct Case {
    std::size_t size;
    const char* want;
  } const kCases[] = {{1572864, " [ 1.50 MB]"}, {0, " [ 0.00 MB]"}, {3670016, " [ 3.50 MB]"}, {10485760, " [10.00 MB]"}};
  for (const Case& c : kCases) {
    WriteBytes(folder + "\\film", c.size);
    EXPECT_EQ(c.want, FileSizeText(folder + "\\film")) << c.size;
  }
  EXPECT_EQ("", FileSizeText(folder + "\\missing"));
  RemoveTree(folder);
}

// File names match in any letter case, as Windows opens them; titles and
// alias roots match exactly.
TEST(FilmFolders, PlaylistLookups) {
  std::vector<PlaylistEntry> playlist(2);
  playlist[0].fileName = "Sea.flm";
  playlist[0].itemText = "Sea [ 1.50 MB]";
  playlist[0].aliasRoot = "Glintharbour Films";
  playlist[1].fileName = "Sky.flm";
  playlist[1].itemText = "Sky";
  playlist[1].aliasRoot = "SKY_CD";
  struct Case {
    const char* path;
    const char* text;
    const char* alias;
    bool wantFile;
    bool wantText;
  } const kCases[] = {
      {"C:\\films\\Sea.flm", "Sea [ 1.50 MB]", "Glintharbour Films", true, true},
      {"C:\\films\\SEA.FLM", "sea [ 1.50 MB]", "Glintharbour Films", true, false},
      {"C:\\films\\Sea.flm", "Sea [ 1.50 MB]", "SKY_CD", false, false},
      {"C:\\films\\Sea.flm", "Sea [ 1.50 MB]", "glintharbour films", false, false},
      {"Sky.flm", "Sky", "SKY_CD", true, true},
      {"Skye.flm", "Skye", "SKY_CD", false, false},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.wantFile, IsFilmFileListed(playlist, CP_FileSpec(c.path, false), c.alias)) << c.path;
    EXPECT_EQ(c.wantText, IsItemInPlaylist(playlist, c.text, c.alias)) << c.text;
  }
}

// RenameM01FilesToFlm reads Path from the settings file.
class FilmsFolder : public DatabaseFixture {
protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    fApp = Folder() + "\\app";
    CreateDirectoryA(fApp.c_str(), nullptr);
  }
  void TearDown() override {
    WriteSetting("Path", nullptr);
    DatabaseFixture::TearDown();
  }
  std::string fApp;
};

TEST_F(FilmsFolder, DownloadedFilmsMoveIntoTheInstalledFolder) {
  // A folder name with ".m01" in it must not be renamed on the way.
  fApp = Folder() + "\\old.m01 app";
  CreateDirectoryA(fApp.c_str(), nullptr);
  const std::string installed = fApp + "\\Installed Movies", internet = fApp + "\\Internet Movies";
  CreateDirectoryA(installed.c_str(), nullptr);
  CreateDirectoryA(internet.c_str(), nullptr);
  for (const char* name : {"Tour.m01", "Notes.txt", "Loud.M01"}) WriteBytes(internet + "\\" + name, 10);
  WriteSetting("Path", fApp.c_str());
  EXPECT_EQ(installed, RenameM01FilesToFlm());
  for (const char* name : {"Tour.flm", "Notes.txt", "Loud.M01"}) {
    EXPECT_TRUE(Exists(installed + "\\" + name)) << name;
  }
  EXPECT_FALSE(Exists(internet + "\\Tour.m01"));
}

TEST_F(FilmsFolder, WithoutTheInstalledFolderTheFilmsFolderIsMadeUnderPath) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  if (Exists(std::string(1, windows[0]) + ":\\My Documents")) GTEST_SKIP() << "My Documents exists on this drive";
  WriteSetting("Path", fApp.c_str());
  EXPECT_EQ(fApp + "\\Glintharbour Films\\", RenameM01FilesToFlm());
  EXPECT_TRUE(Exists(fApp + "\\Glintharbour Films"));
  WriteSetting("Path", "");
  EXPECT_EQ("", RenameM01FilesToFlm()) << "an empty Path gives no films folder";
}

class InstalledFilms : public DatabaseFixture {
public:
  // Keeps the first `size` bytes of a table file.
  void CutTable(const std::string& file, long size) { ASSERT_TRUE(kxtest::CutFile(TablePath(file), size)); }
  using DatabaseFixture::TablePath;

protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    ASSERT_EQ(noErr, InitializeQTML(0));
    ASSERT_EQ(noErr, EnterMovies());
    fFilms = Folder() + "\\films";
    CreateDirectoryA(fFilms.c_str(), nullptr);
  }
  void TearDown() override {
    ExitMovies();
    TerminateQTML();
    DatabaseFixture::TearDown();
  }
  std::string fFilms;
};

TEST_F(InstalledFilms, AFilmIsRecordedUnderItsLocationWithItsPreferences) {
  const std::string film = fFilms + "\\Sea.flm";
  WriteFilmFile(film, true, {{"name", "Sea"}, {"TrkLocal", "70000"}, {"TrkGlobal", "2"}, {"copyright", "x"}});
  auto db = Open();
  std::string shown = "unchanged";
  std::vector<PlaylistEntry> none;
  EXPECT_EQ(FilmRecording::Recorded,
            db->RegisterInstalledFilm(CP_FileSpec(film, false), "Glintharbour Films", " [ 1.50 MB]", shown, none));
  EXPECT_EQ("Sea [ 1.50 MB]", shown);
  std::vector<PlaylistEntry> rows;
  ASSERT_EQ(0, db->ReadAllItems(rows));
  ASSERT_EQ(3u, rows.size());
  const PlaylistEntry& e = rows[2];
  EXPECT_EQ(std::make_tuple(std::string("Sea [ 1.50 MB]"), int16_t(2), 4, 1, std::string("Sea.flm")),
            std::make_tuple(e.itemText, e.iconResId, e.itemType, e.parentId, e.fileName));
  EXPECT_EQ(std::make_tuple(1, 1, 1, 10, 4464, 2, 0), std::make_tuple(e.play, e.loop, e.rate, e.volume, e.tkLocal,
                                                                   e.tkGlobal, e.tkBkg))
      << "70000 is kept as a 16-bit number";
  EXPECT_EQ("Glintharbour Films", e.aliasRoot);

  // Known to the engine's play list as this very file: nothing more is written.
  shown = "unchanged";
  EXPECT_EQ(FilmRecording::Kept,
            db->RegisterInstalledFilm(CP_FileSpec(film, false), "Glintharbour Films", " [ 1.50 MB]", shown, rows));
  EXPECT_EQ("", shown);
  ASSERT_EQ(0, db->ReadAllItems(rows));
  EXPECT_EQ(3u, rows.size());
}

TEST_F(InstalledFilms, APlainMovieTakesTheDefaultsAndTheFirstLocationRow) {
  AddRow("GH_ConfigDB", {{"ITEM_ID", 9}, {"ITEMTYPE", 2}, {"ALIASROOT", 0, "LOC"}, {"ITEMTEXT", 0, "Nine"}});
  AddRow("GH_ConfigDB", {{"ITEM_ID", 5}, {"ITEMTYPE", 2}, {"ALIASROOT", 0, "LOC"}, {"ITEMTEXT", 0, "Five"},
                         {"TKBKG", 8}, {"SORTORDER", 6}});
  const std::string film = fFilms + "\\Plain.flm";
  WriteFilmFile(film, false);
  auto db = Open();
  std::string shown;
  std::vector<PlaylistEntry> none;
  EXPECT_EQ(FilmRecording::Recorded, db->RegisterInstalledFilm(CP_FileSpec(film, false), "LOC", "", shown, none));
  EXPECT_EQ("Tiny film", shown) << "the movie's own name item";
  PlaylistEntry e;
  e.itemId = 10;
  ASSERT_FALSE(db->LookupItem(e));
  EXPECT_EQ(std::make_tuple(5, 3, 3, 0, 6), std::make_tuple(e.parentId, e.tkLocal, e.tkGlobal, e.tkBkg, e.sortOrder));

  shown = "unchanged";
  EXPECT_EQ(FilmRecording::NotRecorded,
            db->RegisterInstalledFilm(CP_FileSpec(film, false), "NO LOCATION", "", shown, none));
  EXPECT_EQ("unchanged", shown);
  std::vector<PlaylistEntry> rows;
  db->ReadAllItems(rows);
  EXPECT_EQ(5u, rows.size());
}

TEST_F(InstalledFilms, NewFilmsOfTheDrivesFoldersAreInstalledWithTheirActions) {
  EmptyTable("GH_DriveDB");
  AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"DRIVENAME", 0, "Glintharbour Films"}, {"LABEL", 0, "Glintharbour Films"},
                        {"PATH", 0, fFilms.c_str()}});
  WriteFilmFile(fFilms + "\\Sea.flm", true, {{"name", "Sea"}}, {{"Play", "playQT(File=\"Sea.flm\")"}});
  WriteFilmFile(fFilms + "\\Sky.m01", true, {{"name", "Sky"}}, {{"Stop", "CloseWindow"}});
  WriteBytes(fFilms + "\\Notes.txt", 10);
  auto db = Open();
  kxtest::MessageBoxWatcher questions("Glintharbour International", IDNO);
  InstallNewFilms(*db, {});
  std::vector<PlaylistEntry> rows;
  ASSERT_EQ(0, db->ReadAllItems(rows));
  ASSERT_EQ(4u, rows.size());
  EXPECT_EQ("Sea" + FileSizeText(fFilms + "\\Sea.flm"), rows[2].itemText);
  EXPECT_EQ("Sky.m01", rows[3].fileName);
  for (const char* sprite : {"Play", "Stop"}) {
    ActionRecord q{};
    q.actionType = 1;
    std::strcpy(q.aliasRoot, "Glintharbour Films");
    std::strcpy(q.sprite, sprite);
    EXPECT_EQ(0, db->FindSpriteAction(q)) << sprite;
  }
  // The next start knows them all: nothing is asked, nothing added.
  InstallNewFilms(*db, rows);
  EXPECT_EQ(0, questions.Count());
  std::vector<PlaylistEntry> again;
  db->ReadAllItems(again);
  EXPECT_EQ(4u, again.size());
}

// A film is offered for deletion only when the item table was read and
// lists it: without the table or the location row nothing is known of the
// films, and they stay unasked.
TEST_F(InstalledFilms, FilmsThatCannotBeRecordedAreLeftAlone) {
  struct Case {
    const char* name;
    void (*damage)(InstalledFilms&);
  };
  const Case kCases[] = {
      {"no location row for the drive's label", [](InstalledFilms&) {}},
      {"item table cut short", [](InstalledFilms& t) { t.CutTable("GH_ConfigDB.dbf", 700); }},
      {"item table missing", [](InstalledFilms& t) { DeleteFileA(t.TablePath("GH_ConfigDB.dbf").c_str()); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EmptyTable("GH_DriveDB");
    AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"LABEL", 0, "NO LOCATION"}, {"PATH", 0, fFilms.c_str()}});
    WriteFilmFile(fFilms + "\\Keep.flm", true, {{"name", "Keep"}});
    WriteFilmFile(fFilms + "\\Also.flm", true, {{"name", "Also"}});
    c.damage(*this);
    auto db = Open();
    kxtest::MessageBoxWatcher questions("Glintharbour International", IDYES);
    InstallNewFilms(*db, {});
    db.reset();
    EXPECT_FALSE(questions.WaitFor(1, 500));
    EXPECT_TRUE(Exists(fFilms + "\\Keep.flm"));
    EXPECT_TRUE(Exists(fFilms + "\\Also.flm"));
    // The next case starts from fresh tables.
    TearDown();
    SetUp();
  }
}

// A film that cannot be read is recorded under its location's text and
// its size; another one of the same size is another film, not a copy.
TEST_F(InstalledFilms, UnreadableFilmsAreRecordedEachAndNeverTakenForCopies) {
  EmptyTable("GH_DriveDB");
  AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"LABEL", 0, "Glintharbour Films"}, {"PATH", 0, fFilms.c_str()}});
  WriteBytes(fFilms + "\\Empty.flm", 0);
  auto db = Open();
  kxtest::MessageBoxWatcher questions("Glintharbour International", IDYES);
  InstallNewFilms(*db, {});
  std::vector<PlaylistEntry> rows;
  ASSERT_EQ(0, db->ReadAllItems(rows));
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("Glintharbour Films [ 0.00 MB]", rows[2].itemText);

  // The next start finds two more: another empty file and a film cut short.
  WriteBytes(fFilms + "\\Nothing.flm", 0);
  WriteFilmFile(fFilms + "\\Cut.flm", true, {{"name", "Cut"}});
  ASSERT_TRUE(kxtest::CutFile(fFilms + "\\Cut.flm", 40));
  ASSERT_EQ(FileSizeText(fFilms + "\\Empty.flm"), FileSizeText(fFilms + "\\Cut.flm"));
  InstallNewFilms(*db, rows);
  EXPECT_FALSE(questions.WaitFor(1, 500));
  for (const char* name : {"Empty.flm", "Nothing.flm", "Cut.flm"}) EXPECT_TRUE(Exists(fFilms + "\\" + name)) << name;
  std::vector<PlaylistEntry> again;
  ASSERT_EQ(0, db->ReadAllItems(again));
  std::vector<std::string> names;
  for (const PlaylistEntry& e : again)
    if (e.itemType == 4) names.push_back(e.fileName);
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"Cut.flm", "Empty.flm", "Nothing.flm"}), names);
}

// A library that cannot be written to: the user hears so once, with the
// reason, however many films wait, and no film or row is lost.
TEST_F(InstalledFilms, AReadOnlyLibraryIsReportedOnce) {
  EmptyTable("GH_DriveDB");
  AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"LABEL", 0, "Glintharbour Films"}, {"PATH", 0, fFilms.c_str()}});
  WriteFilmFile(fFilms + "\\Sea.flm", true, {{"name", "Sea"}});
  WriteFilmFile(fFilms + "\\Sky.flm", true, {{"name", "Sky"}});
  const std::string table = TablePath("GH_ConfigDB.dbf");
  ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    auto db = Open();
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    InstallNewFilms(*db, {});
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_FALSE(boxes.WaitFor(2, 500)) << "said once";
    EXPECT_EQ("The library cannot be changed: its table GH_ConfigDB.dbf in the folder \"" + Folder() +
                  "\" cannot be written (it is read-only).\r\n\r\nNew films found in the film folders "
                  "are not recorded.",
              boxes.LastText());
  }
  SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(Exists(fFilms + "\\Sea.flm"));
  EXPECT_TRUE(Exists(fFilms + "\\Sky.flm"));
  EXPECT_EQ(2u, Rows("GH_ConfigDB", {"ITEM_ID"}).size());
}

// A films folder whose film "Sunset" was installed by an earlier start.
class InstalledSunset : public InstalledFilms {
protected:
  void SetUp() override {
    InstalledFilms::SetUp();
    EmptyTable("GH_DriveDB");
    AddRow("GH_DriveDB", {{"DRIVEID", 1}, {"LABEL", 0, "Glintharbour Films"}, {"PATH", 0, fFilms.c_str()}});
    WriteFilmFile(Film("Sunset.flm"), true, {{"name", "Sunset"}});
    fDb = Open();
    InstallNewFilms(*fDb, {});
    ASSERT_EQ(0, fDb->ReadAllItems(fBefore));
    ASSERT_EQ(3u, fBefore.size());
  }
  void TearDown() override {
    fDb.reset();
    InstalledFilms::TearDown();
  }
  std::string Film(const std::string& name) const { return fFilms + "\\" + name; }
  void Rename(const std::string& name) {
    ASSERT_TRUE(kxtest::RenameFile(Film("Sunset.flm"), Film(name))) << name;
  }
  // Another copy of the same film: the same title and size.
  void Copy(const std::string& from, const std::string& to) {
    ASSERT_TRUE(CopyFileA(Film(from).c_str(), Film(to).c_str(), TRUE)) << to;
  }
  std::vector<PlaylistEntry> Films() {
    std::vector<PlaylistEntry> rows, films;
    EXPECT_EQ(0, fDb->ReadAllItems(rows));
    for (const PlaylistEntry& e : rows)
      if (e.itemType == 4) films.push_back(e);
    return films;
  }

  std::unique_ptr<CDDatabase> fDb;
  std::vector<PlaylistEntry> fBefore;
};

// A film renamed outside the engine is the listed film: nothing is asked
// (Yes would delete its only file), no second row is added, and a row that
// lost its file takes the new name.
TEST_F(InstalledSunset, ARenamedFilmKeepsItsRow) {
  struct Case {
    const char* name;
    const char* renamed;
    const char* recorded;  // the row's file name afterwards
  } const kCases[] = {
      {"another letter case", "SUNSET.flm", "Sunset.flm"},
      {"another name", "Evening.flm", "Evening.flm"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Rename(c.renamed);
    {
      kxtest::MessageBoxWatcher boxes("Glintharbour International", IDYES);
      InstallNewFilms(*fDb, fBefore);
      EXPECT_FALSE(boxes.WaitFor(1, 500)) << boxes.LastText();
    }
    EXPECT_TRUE(Exists(Film(c.renamed)));
    const std::vector<PlaylistEntry> films = Films();
    ASSERT_EQ(1u, films.size());
    EXPECT_EQ(fBefore[2].itemId, films[0].itemId);
    EXPECT_EQ(c.recorded, films[0].fileName);
    // The next case starts from the film as installed.
    TearDown();
    SetUp();
  }
}

// A listed film whose own file is there and is another file: the found
// file is a second copy and is offered for deletion; only Yes deletes it,
// and never the listed film's file.
TEST_F(InstalledSunset, ATrueSecondCopyIsOfferedForDeletion) {
  for (int answer : {IDNO, IDYES}) {
    Copy("Sunset.flm", "Copy.flm");
    {
      kxtest::MessageBoxWatcher boxes("Glintharbour International", answer);
      InstallNewFilms(*fDb, fBefore);
      ASSERT_TRUE(boxes.WaitFor(1));
      EXPECT_EQ("\"" + Film("Copy.flm") + "\" is already installed. Do you want to delete the file?",
                boxes.LastText());
    }
    EXPECT_EQ(answer == IDNO, Exists(Film("Copy.flm")));
    EXPECT_TRUE(Exists(Film("Sunset.flm")));
    ASSERT_EQ(1u, Films().size());
    EXPECT_EQ("Sunset.flm", Films()[0].fileName);
    DeleteFileA(Film("Copy.flm").c_str());
  }
}

// Two files of the renamed film in one scan: the first found takes the
// row; the second is then a copy of a film whose file is there.
TEST_F(InstalledSunset, ARenamedFilmAndItsCopyInOneScan) {
  Rename("A.flm");
  Copy("A.flm", "B.flm");
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDNO);
  InstallNewFilms(*fDb, fBefore);
  ASSERT_TRUE(boxes.WaitFor(1));
  EXPECT_FALSE(boxes.WaitFor(2, 500));
  const std::vector<PlaylistEntry> films = Films();
  ASSERT_EQ(1u, films.size());
  const std::string asked = films[0].fileName == "A.flm" ? "B.flm" : "A.flm";
  EXPECT_EQ("\"" + Film(asked) + "\" is already installed. Do you want to delete the file?", boxes.LastText());
  EXPECT_TRUE(Exists(Film("A.flm")));
  EXPECT_TRUE(Exists(Film("B.flm")));
}

// Whether the listed film's file is there cannot be known: the found file
// may be that very file, so it is neither offered for deletion nor given
// to the row.
TEST_F(InstalledSunset, AListedFilmWhoseFileCannotBeLookedAtLeavesTheFoundFileAlone) {
  Copy("Sunset.flm", "Copy.flm");
  for (DWORD error : {DWORD(ERROR_BAD_NETPATH), DWORD(ERROR_NETNAME_DELETED), DWORD(ERROR_ACCESS_DENIED)}) {
    SCOPED_TRACE(error);
    kxtest::UnreachableFile unreachable(Film("Sunset.flm"), error);
    ASSERT_TRUE(unreachable.Installed());
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDYES);
    InstallNewFilms(*fDb, fBefore);
    EXPECT_FALSE(boxes.WaitFor(1, 500)) << boxes.LastText();
    EXPECT_TRUE(Exists(Film("Copy.flm")));
    ASSERT_EQ(1u, Films().size());
    EXPECT_EQ("Sunset.flm", Films()[0].fileName);
  }
}

// The row cannot take the new name: the user hears which film, once for
// the scan, and the file stays.
TEST_F(InstalledSunset, ARenameTheLibraryCannotTakeIsReported) {
  const std::string text = fBefore[2].itemText;
  Rename("Evening.flm");
  fDb.reset();
  const std::string table = TablePath("GH_ConfigDB.dbf");
  ASSERT_TRUE(SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_READONLY));
  fDb = Open();
  {
    kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
    InstallNewFilms(*fDb, fBefore);
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_FALSE(boxes.WaitFor(2, 500)) << "said once";
    EXPECT_EQ("The library cannot be changed: its table GH_ConfigDB.dbf in the folder \"" + Folder() +
                  "\" cannot be written (it is read-only).\r\n\r\nThese movies were renamed outside the program; "
                  "the library keeps their old file names:\r\n\r\n\"" + text + "\" is now \"Evening.flm\"",
              boxes.LastText());
  }
  SetFileAttributesA(table.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(Exists(Film("Evening.flm")));
  ASSERT_EQ(1u, Films().size());
  EXPECT_EQ("Sunset.flm", Films()[0].fileName);
}

}  // namespace
