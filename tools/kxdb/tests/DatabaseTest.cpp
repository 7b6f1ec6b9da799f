// The seed tool: the tables an installation ships, and the dump.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

#include "Database.h"
#include "Table.h"
#include "TempDir.h"

using namespace xbase;

namespace {

std::unique_ptr<Table> OpenTable(const TempDir& dir, const std::string& name) {
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_EQ(Code::Ok, Table::Open(LocalFileSystem(), kxdb::TablePath(dir.Path(), name), t, why)) << why;
  return t;
}

TEST(DatabaseTest, SeedMakesTheSixTablesWithTheirTagsAndWidths) {
  TempDir dir;
  std::string why;
  ASSERT_EQ(Code::Ok, kxdb::SeedDatabase(dir.Path(), why)) << why;
  const struct {
    const char* table;
    const char* tag;
    const char* field;  // the tag's field
  } tags[] = {
      {"GH_ConfigDB", "ITEMID", "ITEM_ID"}, {"GH_ConfigDB", "ALIASROOT", "ALIASROOT"},
      {"GH_DriveDB", "ALIASROOT", "LABEL"}, {"GH_ActionDB", "ACTIONIDX", "ACTIONID"},
      {"GH_Track", "TRIDX", "TRACKING_I"},  {"GH_FunctionDB", "FIDX", "FUNCID"},
      {"GH_ParameterDB", "PIDX", "PARAMID"},
  };
  for (const auto& c : tags) {
    std::unique_ptr<Table> t = OpenTable(dir, c.table);
    ASSERT_TRUE(t);
    int tag = t->FindTag(c.tag);
    ASSERT_GE(tag, 0) << c.table << " " << c.tag;
    EXPECT_EQ(t->FindField(c.field), t->TagAt(size_t(tag)).FieldIndex()) << c.table << " " << c.tag;
  }
  const struct {
    const char* table;
    const char* field;
    char type;
    uint32_t width;
  } widths[] = {
      {"GH_ConfigDB", "ITEMTEXT", 'M', 10},   {"GH_ConfigDB", "FILEPATH", 'M', 10},
      {"GH_ConfigDB", "VOLUMENAME", 'M', 10}, {"GH_ConfigDB", "FILENAME", 'C', 254},
      {"GH_DriveDB", "PATH", 'C', 254},       {"GH_ActionDB", "ACTIONTEXT", 'C', 253},
      {"GH_ActionDB", "ALIASROOT", 'C', 29},  {"GH_ActionDB", "SPRITE", 'C', 199},
      {"GH_Track", "EM_TEXT", 'C', 51},       {"GH_Track", "REC_SAVED", 'C', 3},
      {"GH_Track", "EM_TEXT_CO", 'N', 11},
  };
  for (const auto& w : widths) {
    std::unique_ptr<Table> t = OpenTable(dir, w.table);
    int f = t->FindField(w.field);
    ASSERT_GE(f, 0) << w.table << " " << w.field;
    EXPECT_EQ(w.type, t->Fields()[size_t(f)].type) << w.field;
    EXPECT_EQ(w.width, t->Fields()[size_t(f)].width) << w.field;
  }
}

TEST(DatabaseTest, SeedNeverWritesOverADatabase) {
  TempDir dir;
  std::string why;
  std::filesystem::create_directories(dir.Path());
  { std::FILE* f = std::fopen(kxdb::TablePath(dir.Path(), "GH_Track.tags").c_str(), "wb"); std::fclose(f); }
  EXPECT_EQ(Code::Exists, kxdb::SeedDatabase(dir.Path(), why));
  EXPECT_NE(std::string::npos, why.find("GH_Track.tags")) << why;
  EXPECT_FALSE(std::filesystem::exists(kxdb::TablePath(dir.Path(), "GH_ConfigDB.dbf")));
}

TEST(DatabaseTest, DumpShowsRowsInTagOrderWithDeletedOnesMarked) {
  TempDir dir;
  std::string why;
  ASSERT_EQ(Code::Ok, kxdb::SeedDatabase(dir.Path(), why)) << why;
  {
    std::unique_ptr<Table> t = OpenTable(dir, "GH_DriveDB");
    ASSERT_EQ(Code::Ok, t->AppendStart());
    ASSERT_EQ(Code::Ok, t->SetNumber(0, 2));
    ASSERT_EQ(Code::Ok, t->SetText(2, "A \"quoted\" CD"));
    ASSERT_EQ(Code::Ok, t->SetText(3, "D:\\"));
    ASSERT_EQ(Code::Ok, t->Append());
    ASSERT_EQ(Code::Ok, t->MarkDeleted());
    ASSERT_EQ(Code::Ok, t->Close());
  }
  std::string base = kxdb::TablePath(dir.Path(), "GH_DriveDB");
  std::ostringstream out;
  ASSERT_EQ(Code::Ok, kxdb::DumpTable(base, "ALIASROOT", out, why)) << why;
  EXPECT_EQ(base + ": 2 rows, in ALIASROOT order\n"
            "row 2 (deleted): DRIVEID=2 DRIVENAME=\"\" LABEL=\"A \\\"quoted\\\" CD\" PATH=\"D:\\\\\"\n"
            "row 1: DRIVEID=1 DRIVENAME=\"Glintharbour Films\" LABEL=\"Glintharbour Films\" PATH=\"\"\n",
            out.str());

  std::ostringstream none;
  EXPECT_EQ(Code::BadArgument, kxdb::DumpTable(base, "NOSUCH", none, why));
  EXPECT_NE(std::string::npos, why.find("NOSUCH"));
  EXPECT_EQ(Code::IoError, kxdb::DumpTable(base + "X", "", none, why));
}

// The tag file repeats what the table's descriptors say: the dump in a
// tag's order works with it lost, and puts it back.
TEST(DatabaseTest, DumpInTagOrderWritesALostTagFileAgain) {
  TempDir dir;
  std::string why;
  ASSERT_EQ(Code::Ok, kxdb::SeedDatabase(dir.Path(), why)) << why;
  const std::string base = kxdb::TablePath(dir.Path(), "GH_ConfigDB");
  ASSERT_TRUE(std::filesystem::remove(base + ".tags"));
  std::ostringstream out;
  ASSERT_EQ(Code::Ok, kxdb::DumpTable(base, "ITEMID", out, why)) << why;
  EXPECT_EQ(0u, out.str().find(base + ": 2 rows, in ITEMID order\nrow 1: ITEM_ID=-1001 ")) << out.str();
  std::ifstream tags(base + ".tags", std::ios::binary);
  std::stringstream text;
  text << tags.rdbuf();
  EXPECT_EQ("ITEMID ITEM_ID\r\nALIASROOT ALIASROOT\r\n", text.str());
}

// The program itself, as scripts and people run it.
std::string ToolPath() {
#ifdef _WIN32
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  return path.substr(0, path.find_last_of("\\/") + 1) + "kxdb.exe";
#else
  return KXDB_EXE;
#endif
}

int RunTool(const std::string& arguments) {
  std::string command = "\"" + ToolPath() + "\" " + arguments;
#ifdef _WIN32
  command = "\"" + command + " >NUL 2>&1\"";  // cmd.exe strips the outer quotes
#else
  command += " >/dev/null 2>&1";
#endif
  int status = std::system(command.c_str());
#ifndef _WIN32
  status = WEXITSTATUS(status);
#endif
  return status;
}

TEST(DatabaseTest, ToolSeedsDumpsAndRefuses) {
  TempDir dir;
  EXPECT_EQ(0, RunTool("seed \"" + dir.Path() + "\""));
  EXPECT_TRUE(std::filesystem::exists(kxdb::TablePath(dir.Path(), "GH_ParameterDB.dbf")));
  EXPECT_EQ(1, RunTool("seed \"" + dir.Path() + "\"")) << "never over a database";
  EXPECT_EQ(0, RunTool("dump \"" + kxdb::TablePath(dir.Path(), "GH_ConfigDB") + "\" ITEMID"));
  EXPECT_EQ(1, RunTool("dump \"" + kxdb::TablePath(dir.Path(), "Missing") + "\""));
  EXPECT_EQ(2, RunTool("frobnicate"));
}

}  // namespace
