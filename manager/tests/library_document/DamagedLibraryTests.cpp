// The library manager started and closed as a user does, over a CD
// database with one table or memo file damaged: the user hears once which
// table in which folder, and no byte of it or of the films changes.
#include "CDDatabase.h"
#include "CP_SDIApp_Document.h"
#include "CP_TreeList_Application.h"
#include "DatabaseTestSupport.h"
#include "FrameworkFixture.h"
#include "GH_LibraryGlobals.h"
#include "WinTestSupport.h"

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The files of the item table and of the films folder, by path.
std::map<std::string, std::string> UserFiles(const std::string& tables, const std::string& films) {
  std::map<std::string, std::string> files;
  for (const char* ext : {".dbf", ".fpt", ".tags"}) {
    const std::string path = tables + "\\GH_ConfigDB" + ext;
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) files[path] = dbtest::ReadWholeFile(path);
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((films + "\\*.flm").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    files[films + "\\" + found.cFileName] = dbtest::ReadWholeFile(films + "\\" + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

void Overwrite(const std::string& path, long at, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(nullptr, f) << path;
  std::fseek(f, at, SEEK_SET);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// Every box of this process worked as a cautious user; the texts of the
// library's messages kept.
struct Boxes : kxtest::CautiousAnswers {
  Boxes() : CautiousAnswers("", "Glintharbour International") {}
};

class DamagedLibrary : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    // Test programs running side by side must not find each other's window.
    mainWindowTitle = "Glintharbour Player " + std::to_string(GetCurrentProcessId());
    WritePrivateProfileStringA(kIniSection, "CDDrive", "Q:\\", kIniFile);
  }
  void TearDown() override {
    Close();
    FrameworkTest::TearDown();
  }

  // Fresh tables whose films folder holds one film; the folder's path.
  std::string Prepare() {
    tables = std::make_unique<dbtest::TableFolder>(dbtest::Seed::Installation);
    const std::string films = tables->Folder("films");
    CDDatabase database("Config Tool");
    DriveRecord drive;
    drive.LABEL = filmsFolderAlias;
    EXPECT_FALSE(database.FindDriveRecord(drive));
    drive.PATH = films;
    EXPECT_FALSE(database.UpdateDriveRecord(drive));
    dbtest::WriteFilm(films + "\\harbour.flm", {{"name", "Harbour Lights"}}, {});
    WritePrivateProfileStringA(kIniSection, "Path", tables->Folder("program").c_str(), kIniFile);
    return films;
  }
  std::string ItemTable() const { return tables->Path() + "\\GH_ConfigDB"; }

  // As the entry does: the application, its menus and the library's window.
  void Start() {
    application = std::make_unique<CP_TreeList_Application>();
    application->CreateMenuBar();
    application->InstallMenuBar();
    ASSERT_NE(nullptr, application->GetLibraryDocument());
    kxtest::PumpUntil([] { return false; }, 100);
  }
  // As Exit does: the run ends and the library is closed.
  void Close() {
    if (application) application->Quit();
    application.reset();
  }

  std::unique_ptr<dbtest::TableFolder> tables;
  std::unique_ptr<CP_TreeList_Application> application;
};

std::string Unreadable(const std::string& folder, const Texts& tables) {
  std::string names;
  for (const std::string& t : tables) names += "\r\n" + t;
  return "These tables of the library in the folder \"" + folder + "\" cannot be read; they are missing or damaged:\r\n" +
         names + "\r\n\r\nThe program goes on without them and leaves their files as they are.";
}

}  // namespace

TEST_F(DamagedLibrary, AnUnreadableItemTableIsToldOnceAtTheStart) {
  struct Case {
    const char* name;
    void (*damage)(const std::string& table);  // the path without extension
  };
  const Case kCases[] = {
      {"cut short", [](const std::string& t) { EXPECT_TRUE(kxtest::CutFile(t + ".dbf", 700)); }},
      {"row count past the end", [](const std::string& t) { Overwrite(t + ".dbf", 4, std::string("\xE8\x03\0\0", 4)); }},
      {"table file missing", [](const std::string& t) { std::remove((t + ".dbf").c_str()); }},
      {"memo file missing", [](const std::string& t) { std::remove((t + ".fpt").c_str()); }},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string films = Prepare();
    c.damage(ItemTable());
    const auto before = UserFiles(tables->Path(), films);
    {
      Boxes boxes;
      Start();
      Close();
      EXPECT_EQ(Texts{Unreadable(tables->Path(), {"GH_ConfigDB.dbf"})}, boxes.Texts());
    }
    EXPECT_EQ(before, UserFiles(tables->Path(), films));
    tables.reset();
  }
}

TEST_F(DamagedLibrary, ADatabaseFolderWithoutTablesIsToldOnceAtTheStart) {
  const std::string films = Prepare();
  const std::string empty = tables->Folder("empty");
  tables->SetSetting("DBPath", empty);
  const auto before = UserFiles(empty, films);
  Boxes boxes;
  Start();
  Close();
  EXPECT_EQ(Texts{Unreadable(empty, {"GH_ConfigDB.dbf", "GH_DriveDB.dbf", "GH_ActionDB.dbf", "GH_Track.dbf"})},
            boxes.Texts());
  EXPECT_EQ(before, UserFiles(empty, films));
}

// A memo pointer damaged in one row: the start says which table, once;
// closing does not compact the memo file, which still holds the text the
// pointer led to.
TEST_F(DamagedLibrary, ADamagedMemoFileIsToldOnceAndLeftAsItIs) {
  const std::string films = Prepare();
  Start();  // records the film: the third row
  Close();
  dbtest::DamageMemoPointer(tables->Path(), "GH_ConfigDB", 2, "ITEMTEXT");
  const auto before = UserFiles(tables->Path(), films);
  ASSERT_NE(std::string::npos, dbtest::ReadWholeFile(ItemTable() + ".fpt").find("Harbour Lights"));
  {
    Boxes boxes;
    Start();
    EXPECT_EQ(1u, boxes.Texts().size()) << "told at the start";
    Close();
    EXPECT_EQ(Texts{"The library's table GH_ConfigDB.dbf in the folder \"" + tables->Path() +
                    "\" is damaged: some of the texts it keeps in GH_ConfigDB.fpt cannot be read.\r\n\r\n"
                    "Its files are left as they are."},
              boxes.Texts());
  }
  EXPECT_EQ(before, UserFiles(tables->Path(), films));
}
