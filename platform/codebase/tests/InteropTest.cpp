// Tables the engine writes read back the same in independent tools
// (Debian's python3-dbf and pgdbf), and tables python3-dbf writes read back
// the same in the engine.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "Database.h"
#include "Table.h"
#include "TempDir.h"

using namespace xbase;

namespace {

// Debian's python, where python3-dbf lives (not the one first on PATH).
const char* const kPython = "/usr/bin/python3";

struct Output {
  int status;
  std::string text;
};

Output RunCommand(const std::string& command) {
  Output out{-1, ""};
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.text.append(buffer, n);
  out.status = pclose(p);
  return out;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Prints every row as "*" (deleted) or "-", then each field as name=repr,
// texts without trailing blanks.
const char* const kDumpScript = R"(
import sys, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_ONLY)
for r in t:
    out = ['*' if dbf.is_deleted(r) else '-']
    for name in t.field_names:
        v = r[name]
        if isinstance(v, str):
            v = v.rstrip(' ')
        out.append('%s=%r' % (name, v))
    print(' '.join(out))
t.close()
)";

class InteropTest : public testing::Test {
 protected:
  void SetUp() override {
    Output probe = RunCommand(std::string(kPython) + " -c 'import dbf'");
    ASSERT_EQ(0, probe.status) << "python3-dbf is missing (scripts/setup installs it): " << probe.text;
    WriteFile(dir_.File("dump.py"), kDumpScript);
  }

  std::string PythonDump(const std::string& dbf) {
    Output out = RunCommand(std::string(kPython) + " " + dir_.File("dump.py") + " " + dbf);
    EXPECT_EQ(0, out.status) << out.text;
    return out.text;
  }

  Output RunPython(const std::string& script, const std::string& argument) {
    WriteFile(dir_.File("script.py"), script);
    return RunCommand(std::string(kPython) + " " + dir_.File("script.py") + " " + argument);
  }

  TempDir dir_;
};

TEST_F(InteropTest, SeededDatabaseReadsTheSameInPython) {
  std::string why;
  ASSERT_EQ(Code::Ok, kxdb::SeedDatabase(dir_.Path(), why)) << why;
  EXPECT_EQ(
      "- item_id=-1001 sortorder=0 parent_id=0 itemtype=5 parenttype=5 itemtext='Wastebasket' iconresid=0 loop=0 "
      "rate=0 volume=0 play=0 tklocal=0 tkglobal=0 tkbkg=0 filepath='' filename='' aliasroot='Wastebasket' "
      "volumename='' origin=''\n"
      "- item_id=1 sortorder=0 parent_id=0 itemtype=2 parenttype=2 itemtext='Glintharbour Films' iconresid=0 "
      "loop=0 rate=0 volume=0 play=0 tklocal=0 tkglobal=0 tkbkg=0 filepath='' filename='' "
      "aliasroot='Glintharbour Films' volumename='' origin=''\n",
      PythonDump(kxdb::TablePath(dir_.Path(), "GH_ConfigDB.dbf")));
  EXPECT_EQ("- driveid=1 drivename='Glintharbour Films' label='Glintharbour Films' path=''\n",
            PythonDump(kxdb::TablePath(dir_.Path(), "GH_DriveDB.dbf")));
  for (const char* empty : {"GH_ActionDB.dbf", "GH_Track.dbf", "GH_FunctionDB.dbf", "GH_ParameterDB.dbf"})
    EXPECT_EQ("", PythonDump(kxdb::TablePath(dir_.Path(), empty))) << empty;
}

TEST_F(InteropTest, EngineRowsReadTheSameInPythonAndPgdbf) {
  std::unique_ptr<Table> t;
  std::string why;
  std::string base = dir_.File("engine");
  ASSERT_EQ(Code::Ok, Table::Create(LocalFileSystem(), base,
                                    {{"ID", 'N', 11, 0}, {"NAME", 'C', 30, 0}, {"NOTE", 'M', 10, 0}},
                                    {{"IDX", "ID"}}, t, why))
      << why;
  struct Row {
    int32_t id;
    std::string name, note;
  } rows[] = {
      {-2147483647, "  leading blanks", "line one\nline two"},
      {0, "caf\xE9", std::string(3000, 'n')},  // Windows ANSI text
      {42, "gone", "deleted later"},
      {2147483647, "", ""},
  };
  for (const Row& r : rows) {
    ASSERT_EQ(Code::Ok, t->AppendStart());
    ASSERT_EQ(Code::Ok, t->SetNumber(0, r.id));
    ASSERT_EQ(Code::Ok, t->SetText(1, r.name));
    ASSERT_EQ(Code::Ok, t->SetMemo(2, r.note));
    ASSERT_EQ(Code::Ok, t->Append());
  }
  ASSERT_EQ(Code::Ok, t->SelectTag(0));
  ASSERT_EQ(Code::Ok, t->Seek("42"));
  ASSERT_EQ(Code::Ok, t->MarkDeleted());
  ASSERT_EQ(Code::Ok, t->Close());

  EXPECT_EQ("- id=-2147483647 name='  leading blanks' note='line one\\nline two'\n"
            "- id=0 name='caf\xC3\xA9' note='" + std::string(3000, 'n') + "'\n"
            "* id=42 name='gone' note='deleted later'\n"
            "- id=2147483647 name='' note=''\n",
            PythonDump(base + ".dbf"));

  // pgdbf leaves deleted rows out and ends COPY data with "\.".
  Output pg = RunCommand("pgdbf -s cp1252 -m " + base + ".fpt " + base + ".dbf");
  ASSERT_EQ(0, pg.status) << pg.text;
  size_t copy = pg.text.find("FROM STDIN\n");
  ASSERT_NE(std::string::npos, copy) << pg.text;
  std::string data = pg.text.substr(copy + 11, pg.text.find("\\.\n") - copy - 11);
  EXPECT_EQ("-2147483647\t  leading blanks\tline one\\nline two\n"
            "0\tcaf\xC3\xA9\t" + std::string(3000, 'n') + "\n"
            "2147483647\t\t\n",
            data);
}

TEST_F(InteropTest, PythonTablesReadTheSameInTheEngine) {
  std::string base = dir_.File("py");
  Output made = RunPython(
      "import sys, datetime, dbf\n"
      "t = dbf.Table(sys.argv[1], 'NAME C(20); QTY N(11,0); PRICE N(8,2); NOTE M; FLAG L; WHEN D',\n"
      "              dbf_type='fp', codepage='cp1252')\n"
      "t.open(dbf.READ_WRITE)\n"
      "t.append(('widget', 12, 3.75, 'a memo\\nover two lines', True, datetime.date(2024, 1, 31)))\n"
      "t.append(('gadget', -5, -0.5, '', False, None))\n"
      "t.append(('doomed', 99, 1, 'soon gone', None, None))\n"
      "t.append(('ANSI \\xe9', 7, 0, 'x' * 2000, True, None))\n"
      "dbf.delete(t[2])\n"
      "t.close()\n",
      base + ".dbf");
  ASSERT_EQ(0, made.status) << made.text;
  WriteFile(base + ".tags", "NAMEX NAME\r\nQTYX QTY\r\n");

  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, Table::Open(LocalFileSystem(), base, t, why)) << why;
  int name = t->FindField("name"), qty = t->FindField("QTY"), price = t->FindField("PRICE");
  int note = t->FindField("NOTE"), flag = t->FindField("FLAG"), when = t->FindField("WHEN");
  ASSERT_TRUE(name >= 0 && qty >= 0 && price >= 0 && note >= 0 && flag >= 0 && when >= 0);

  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ("widget" + std::string(14, ' '), t->GetText(name));
  EXPECT_EQ(12, t->GetNumber(qty));
  EXPECT_EQ(3, t->GetNumber(price)) << "whole numbers only";
  EXPECT_EQ("a memo\nover two lines", t->GetMemo(note));
  EXPECT_EQ(1, t->GetNumber(flag));
  EXPECT_EQ("20240131", t->GetText(when));
  EXPECT_FALSE(t->IsDeleted());
  ASSERT_EQ(Code::Ok, t->Skip(1));
  EXPECT_EQ(-5, t->GetNumber(qty));
  EXPECT_EQ(0, t->GetNumber(price));
  EXPECT_EQ("", t->GetMemo(note));
  EXPECT_EQ(0, t->GetNumber(flag));
  ASSERT_EQ(Code::Ok, t->Skip(1));
  EXPECT_TRUE(t->IsDeleted());
  EXPECT_EQ("soon gone", t->GetMemo(note));
  ASSERT_EQ(Code::Ok, t->Skip(1));
  EXPECT_EQ("ANSI \xE9", std::string(TrimBlanks(t->GetText(name))));
  EXPECT_EQ(std::string(2000, 'x'), t->GetMemo(note));

  ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("QTYX")));
  ASSERT_EQ(Code::Ok, t->Seek("-5"));
  EXPECT_EQ("gadget", std::string(TrimBlanks(t->GetText(name))));

  // The engine's own changes to python's table read back in python.
  ASSERT_EQ(Code::Ok, t->AppendStart());
  ASSERT_EQ(Code::Ok, t->SetText(name, "engine row"));
  ASSERT_EQ(Code::Ok, t->SetNumber(qty, 1000));
  ASSERT_EQ(Code::Ok, t->SetMemo(note, "written by the engine"));
  ASSERT_EQ(Code::Ok, t->Append());
  ASSERT_EQ(Code::Ok, t->Seek("12"));
  ASSERT_EQ(Code::Ok, t->SetMemo(note, "changed by the engine"));
  ASSERT_EQ(Code::Ok, t->Pack());
  ASSERT_EQ(Code::Ok, t->CompactMemo());
  ASSERT_EQ(Code::Ok, t->Close());
  EXPECT_EQ("- name='widget' qty=12 price=3.75 note='changed by the engine' flag=True "
            "when=datetime.date(2024, 1, 31)\n"
            "- name='gadget' qty=-5 price=-0.5 note='' flag=False when=None\n"
            "- name='ANSI \xC3\xA9' qty=7 price=0.0 note='" + std::string(2000, 'x') + "' flag=True when=None\n"
            "- name='engine row' qty=1000 price=None note='written by the engine' flag=None when=None\n",
            PythonDump(base + ".dbf"));
}

TEST_F(InteropTest, RowsPythonAddsToEngineTablesAreSeenByTheEngine) {
  std::string why;
  ASSERT_EQ(Code::Ok, kxdb::SeedDatabase(dir_.Path(), why)) << why;
  std::string base = kxdb::TablePath(dir_.Path(), "GH_DriveDB");
  Output added = RunPython(
      "import sys, dbf\n"
      "t = dbf.Table(sys.argv[1])\n"
      "t.open(dbf.READ_WRITE)\n"
      "t.append((2, 'D:', 'Aardvark CD', 'D:\\\\'))\n"
      "with t[0] as r:\n"
      "    r.path = 'C:\\\\Films'\n"
      "t.close()\n",
      base + ".dbf");
  ASSERT_EQ(0, added.status) << added.text;
  std::unique_ptr<Table> t;
  ASSERT_EQ(Code::Ok, Table::Open(LocalFileSystem(), base, t, why)) << why;
  ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("ALIASROOT")));
  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ("Aardvark CD", std::string(TrimBlanks(t->GetText(t->FindField("LABEL")))));
  EXPECT_EQ("D:\\", std::string(TrimBlanks(t->GetText(t->FindField("PATH")))));
  ASSERT_EQ(Code::Ok, t->Seek("Glintharbour Films"));
  EXPECT_EQ("C:\\Films", std::string(TrimBlanks(t->GetText(t->FindField("PATH")))));
}

}  // namespace
