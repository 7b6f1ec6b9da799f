// A start whose CD database has a table that cannot be read: the user
// hears once which table in which folder, the start goes on, no film is
// offered for deletion and no byte of the tables or the films changes.
#include "EngineStart.h"

#include "TableDamage.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

using engine::EngineStart;

// Every file of a folder (not its sub-folders), by name.
std::map<std::string, std::string> FolderBytes(const std::string& folder) {
  std::map<std::string, std::string> files;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::FILE* f = std::fopen((folder + "\\" + found.cFileName).c_str(), "rb");
    std::string bytes;
    for (int c; f && (c = std::fgetc(f)) != EOF;) bytes += char(c);
    if (f) std::fclose(f);
    files[found.cFileName] = bytes;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return files;
}

// The row count of a table's header, bytes 4-7.
void SetRowCount(const std::string& path, uint32_t count) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(nullptr, f) << path;
  const unsigned char bytes[4] = {uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
  std::fseek(f, 4, SEEK_SET);
  std::fwrite(bytes, 1, 4, f);
  std::fclose(f);
}

// Every box of this process worked as a cautious user; the texts of the
// library's messages kept.
struct Boxes : kxtest::CautiousAnswers {
  Boxes() : CautiousAnswers("", "Glintharbour International") {}
};

std::map<std::string, std::string> ItemTableBytes(const std::map<std::string, std::string>& folder) {
  std::map<std::string, std::string> files;
  for (const auto& file : folder)
    if (file.first.rfind("GH_ConfigDB.", 0) == 0) files.insert(file);
  return files;
}

std::string Unreadable(const std::string& folder, const std::vector<std::string>& tables) {
  std::string names;
  for (const std::string& t : tables) names += "\r\n" + t;
  return "These tables of the library in the folder \"" + folder + "\" cannot be read; they are missing or damaged:\r\n" +
         names + "\r\n\r\nThe program goes on without them and leaves their files as they are.";
}

}  // namespace

TEST_F(EngineStart, AnUnreadableTableIsToldOnceAndNoFilmIsOfferedForDeletion) {
  struct Case {
    const char* name;
    void (*damage)(const std::string& table);  // the item table's path without extension
    std::vector<std::string> unreadable;
  };
  const Case kCases[] = {
      {"item table cut short", [](const std::string& t) { EXPECT_TRUE(kxtest::CutFile(t + ".dbf", 700)); }, {"GH_ConfigDB.dbf"}},
      {"row count past the end", [](const std::string& t) { SetRowCount(t + ".dbf", 1000); }, {"GH_ConfigDB.dbf"}},
      {"item table missing", [](const std::string& t) { DeleteFileA((t + ".dbf").c_str()); }, {"GH_ConfigDB.dbf"}},
      {"memo file missing", [](const std::string& t) { DeleteFileA((t + ".fpt").c_str()); }, {"GH_ConfigDB.dbf"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string films = MakeInstallation();
    // A film the table does not list, beside the one it does.
    ASSERT_TRUE(CopyFileA((films + "\\Sea.flm").c_str(), (films + "\\Other.flm").c_str(), FALSE));
    c.damage(TablePath("GH_ConfigDB"));
    const auto tablesBefore = FolderBytes(Folder());
    const auto filmsBefore = FolderBytes(films);
    {
      Boxes boxes;
      Run("");
      ASSERT_NE(nullptr, MainPane());
      EXPECT_FALSE(application->IsQuitting());
      End();
      EXPECT_EQ(std::vector<std::string>{Unreadable(Folder(), c.unreadable)}, boxes.Texts());
    }
    EXPECT_EQ(tablesBefore, FolderBytes(Folder()));
    EXPECT_EQ(filmsBefore, FolderBytes(films));
    // The next case starts from fresh tables.
    TearDown();
    SetUp();
  }
}

TEST_F(EngineStart, ADatabaseFolderWithoutTablesIsToldOnce) {
  const std::string films = MakeInstallation();
  const std::string empty = MakeTempFolder("no_tables");
  WriteSetting("DBPath", empty.c_str());
  const auto filmsBefore = FolderBytes(films);
  {
    Boxes boxes;
    Run("");
    ASSERT_NE(nullptr, MainPane());
    End();
    EXPECT_EQ(std::vector<std::string>{Unreadable(
                  empty, {"GH_ConfigDB.dbf", "GH_DriveDB.dbf", "GH_ActionDB.dbf", "GH_Track.dbf"})},
              boxes.Texts());
  }
  EXPECT_TRUE(FolderBytes(empty).empty()) << "nothing is made there";
  EXPECT_EQ(filmsBefore, FolderBytes(films));
  RemoveTree(empty);
}

// A memo pointer of the item table damaged: the start says which table,
// once, plays on, and changes no byte of the table.
TEST_F(EngineStart, ADamagedMemoOfTheItemTableIsToldOnce) {
  MakeInstallation();
  // The film's row is the fourth: after the two shipped rows and its location.
  ASSERT_TRUE(xbasetest::DamageMemoPointer(TablePath("GH_ConfigDB.dbf"), 3, "ITEMTEXT"));
  const auto before = ItemTableBytes(FolderBytes(Folder()));
  {
    Boxes boxes;
    Run("");
    ASSERT_NE(nullptr, MainPane());
    ASSERT_NE(nullptr, MainPane()->GetCurrentEntry()) << "the film plays all the same";
    EXPECT_EQ("Sea.flm", MainPane()->GetCurrentEntry()->fileName);
    End();
    EXPECT_EQ(std::vector<std::string>{"The library's table GH_ConfigDB.dbf in the folder \"" + Folder() +
                                       "\" is damaged: some of the texts it keeps in GH_ConfigDB.fpt cannot be "
                                       "read.\r\n\r\nIts files are left as they are."},
              boxes.Texts());
  }
  EXPECT_EQ(before, ItemTableBytes(FolderBytes(Folder())));
}

// A usage table that cannot be written: the film plays all the same, and
// the user hears once, from the message loop after the film changed, that
// its counts are not kept; the table keeps every byte.
TEST_F(EngineStart, AUsageTableThatCannotBeWrittenIsToldOnce) {
  MakeInstallation();
  const std::string track = TablePath("GH_Track") + ".dbf";
  const auto before = FolderBytes(Folder()).at("GH_Track.dbf");
  ASSERT_TRUE(SetFileAttributesA(track.c_str(), FILE_ATTRIBUTE_READONLY));
  {
    Boxes boxes;
    Run("");
    ASSERT_NE(nullptr, MainPane());
    ASSERT_NE(nullptr, MainPane()->GetCurrentEntry()) << "the film plays all the same";
    kxtest::PumpUntil([&] { return !boxes.Texts().empty(); }, 5000);
    kxtest::PumpUntil([] { return false; }, 300);
    End();
    EXPECT_EQ(std::vector<std::string>{"The library's table GH_Track.dbf in the folder \"" + Folder() +
                                       "\" could not be written (it is read-only). The change was not kept."},
              boxes.Texts());
  }
  SetFileAttributesA(track.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(before == FolderBytes(Folder()).at("GH_Track.dbf"));
}
