// The table core on real files: positioning, seeks, appends, deleted rows,
// packs, memos, and two opens of one table seeing each other's changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ByteFixture.h"
#include "FaultyFileSystem.h"
#include "Table.h"
#include "TempDir.h"

using namespace xbase;

namespace {

class TableTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_EQ(Code::Ok, Table::Create(LocalFileSystem(), base_,
                                      {{"ID", 'N', 11, 0}, {"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}},
                                      {{"IDX", "ID"}, {"NAMEX", "NAME"}}, t_, why))
        << why;
  }

  std::unique_ptr<Table> OpenAgain() {
    std::unique_ptr<Table> t;
    std::string why;
    EXPECT_EQ(Code::Ok, Table::Open(LocalFileSystem(), base_, t, why)) << why;
    return t;
  }

  static void Add(Table& t, int id, const std::string& name, const std::string& note = "") {
    ASSERT_EQ(Code::Ok, t.AppendStart());
    ASSERT_EQ(Code::Ok, t.SetNumber(0, id));
    ASSERT_EQ(Code::Ok, t.SetText(1, name));
    if (!note.empty()) {
      ASSERT_EQ(Code::Ok, t.SetMemo(2, note));
    }
    ASSERT_EQ(Code::Ok, t.Append());
  }
  void Add(int id, const std::string& name, const std::string& note = "") { Add(*t_, id, name, note); }

  // The IDs in the current order, a deleted row's with a '*' behind it.
  static std::string Walk(Table& t) {
    std::string ids;
    Code c;
    for (c = t.First(); c == Code::Ok; c = t.Skip(1))
      ids += std::to_string(t.GetNumber(0)) + (t.IsDeleted() ? "* " : " ");
    EXPECT_EQ(Code::Eof, c);
    return ids;
  }

  void Select(Table& t, const char* tag) { ASSERT_EQ(Code::Ok, t.SelectTag(t.FindTag(tag))); }

  TempDir dir_;
  std::string base_ = dir_.File("T");
  std::unique_ptr<Table> t_;
};

TEST_F(TableTest, EmptyTableHasNoRowAnywhere) {
  for (int tag : {-1, 0, 1}) {
    ASSERT_EQ(Code::Ok, t_->SelectTag(tag));
    EXPECT_EQ(Code::Eof, t_->First()) << tag;
    EXPECT_TRUE(t_->AtEnd());
    EXPECT_EQ(Code::Eof, t_->Last());
    EXPECT_EQ(Code::Eof, t_->Skip(1));
    EXPECT_EQ(Code::Eof, t_->Skip(-1));
    EXPECT_TRUE(t_->AtEnd());
  }
  // Reads with no row: 0 and blanks, which is what the callers' "last + 1" relies on.
  EXPECT_EQ(0, t_->GetNumber(0));
  EXPECT_EQ("          ", t_->GetText(1));
  EXPECT_EQ("", t_->GetMemo(2));
  EXPECT_FALSE(t_->IsDeleted());
  EXPECT_EQ(Code::NotFound, t_->Seek("1"));
  uint32_t count = 99;
  EXPECT_EQ(Code::Ok, t_->Count(count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(Code::NoRow, t_->SetNumber(0, 5));
  EXPECT_EQ(Code::NoRow, t_->MarkDeleted());
}

TEST_F(TableTest, OneRowIsFirstAndLast) {
  Add(7, "seven");
  for (int tag : {-1, 0, 1}) {
    ASSERT_EQ(Code::Ok, t_->SelectTag(tag));
    ASSERT_EQ(Code::Ok, t_->First());
    EXPECT_EQ(7, t_->GetNumber(0));
    EXPECT_FALSE(t_->AtEnd());
    EXPECT_EQ(Code::Eof, t_->Skip(1));
    EXPECT_TRUE(t_->AtEnd());
    EXPECT_EQ(0, t_->GetNumber(0));
    EXPECT_EQ(Code::Eof, t_->Skip(1)) << "stays past the end";
    ASSERT_EQ(Code::Ok, t_->Last());
    EXPECT_EQ(7, t_->GetNumber(0));
    EXPECT_EQ(Code::Bof, t_->Skip(-1)) << "before the first row the first row stays current";
    EXPECT_EQ(7, t_->GetNumber(0));
  }
}

TEST_F(TableTest, TagsOrderRowsAndRecordOrderKeepsAppendOrder) {
  Add(30, "b");
  Add(-1001, "c");
  Add(2, "a");
  Add(100, "B");
  EXPECT_EQ("30 -1001 2 100 ", Walk(*t_));
  Select(*t_, "IDX");
  EXPECT_EQ("-1001 2 30 100 ", Walk(*t_));
  Select(*t_, "NAMEX");
  EXPECT_EQ("100 2 30 -1001 ", Walk(*t_)) << "bytes compare: upper case first";
  ASSERT_EQ(Code::Ok, t_->Last());
  EXPECT_EQ(-1001, t_->GetNumber(0));
  EXPECT_EQ(Code::Ok, t_->Skip(-2));
  EXPECT_EQ(2, t_->GetNumber(0));
}

TEST_F(TableTest, NewNumberIsLastPlusOneInTagOrder) {
  // What every caller does to number a row: the last row's number plus one.
  Select(*t_, "IDX");
  for (int id : {41, 3, 17}) Add(id, "x");
  ASSERT_EQ(Code::Ok, t_->Last());
  int32_t next = t_->GetNumber(0) + 1;
  Add(next, "new");
  EXPECT_EQ(42, next);
  ASSERT_EQ(Code::Ok, t_->Seek("42"));
  EXPECT_EQ("new       ", t_->GetText(1));
}

// The number is taken inside the append, from every row the file holds at
// that moment: by the tag that orders by the field, else by reading the rows.
TEST_F(TableTest, AppendNumberedTakesOneMoreThanAnyRowHolds) {
  struct Case {
    const char* name;
    std::vector<int> ids;
    std::vector<int> marked;  // of `ids`, the ones marked deleted
    int32_t want;
  };
  const Case kCases[] = {
      {"empty table", {}, {}, 1},
      {"greatest, not last appended", {41, 3, 17}, {}, 42},
      {"a marked row keeps its number", {5, 9}, {9}, 10},
      {"only numbers below 1", {-1001, -1}, {}, 1},
      {"the seeded library", {-1001, 1}, {}, 2},
  };
  int n = 0;
  for (const Case& c : kCases) {
    for (bool tagged : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (tagged ? ", by its tag" : ", by reading the rows"));
      std::unique_ptr<Table> t;
      std::string why;
      const std::vector<TagDef> tags = tagged ? std::vector<TagDef>{{"IDX", "ID"}} : std::vector<TagDef>{};
      ASSERT_EQ(Code::Ok, Table::Create(LocalFileSystem(), dir_.File("N" + std::to_string(n++)),
                                        {{"NAME", 'C', 10, 0}, {"ID", 'N', 11, 0}}, tags, t, why))
          << why;
      for (int id : c.ids) {
        ASSERT_EQ(Code::Ok, t->AppendStart());
        ASSERT_EQ(Code::Ok, t->SetNumber(1, id));
        ASSERT_EQ(Code::Ok, t->Append());
        if (std::find(c.marked.begin(), c.marked.end(), id) != c.marked.end()) {
          ASSERT_EQ(Code::Ok, t->MarkDeleted());
          ASSERT_EQ(Code::Ok, t->Flush());
        }
      }
      ASSERT_EQ(Code::Ok, t->AppendStart());
      ASSERT_EQ(Code::Ok, t->SetText(0, "new"));
      ASSERT_EQ(Code::Ok, t->AppendNumbered(1));
      EXPECT_EQ(c.want, t->GetNumber(1)) << "the new row is current";
      EXPECT_EQ("new       ", t->GetText(0));
      uint32_t count = 0;
      ASSERT_EQ(Code::Ok, t->Count(count));
      EXPECT_EQ(c.ids.size() + 1, count);
    }
  }
}

TEST_F(TableTest, AppendNumberedSeesRowsAnotherOpenAppended) {
  Add(1, "one");
  std::unique_ptr<Table> b = OpenAgain();
  ASSERT_EQ(Code::Ok, b->First());  // b last looked when only row 1 was there
  Add(7, "seven");
  ASSERT_EQ(Code::Ok, b->AppendStart());
  ASSERT_EQ(Code::Ok, b->SetText(1, "b's"));
  ASSERT_EQ(Code::Ok, b->AppendNumbered(0));
  EXPECT_EQ(8, b->GetNumber(0));
  // And the first open, which has not looked since, numbers after b's row.
  ASSERT_EQ(Code::Ok, t_->AppendStart());
  ASSERT_EQ(Code::Ok, t_->AppendNumbered(0));
  EXPECT_EQ(9, t_->GetNumber(0));
  Select(*t_, "IDX");
  EXPECT_EQ("1 7 8 9 ", Walk(*t_));
}

TEST_F(TableTest, AppendNumberedRefusesWhatItCannotNumber) {
  Add(2147483647, "top");
  ASSERT_EQ(Code::Ok, t_->AppendStart());
  EXPECT_EQ(Code::NoRoom, t_->AppendNumbered(0)) << "no number is left above the greatest";
  EXPECT_EQ(Code::BadArgument, t_->AppendNumbered(1)) << "a character field";
  EXPECT_EQ(Code::BadArgument, t_->AppendNumbered(2)) << "a memo field";
  EXPECT_EQ(Code::BadArgument, t_->AppendNumbered(9));
  uint32_t count = 0;
  ASSERT_EQ(Code::Ok, t_->Count(count));
  EXPECT_EQ(1u, count) << "nothing was appended";
  ASSERT_EQ(Code::Ok, t_->First());
  EXPECT_EQ(Code::NoAppend, t_->AppendNumbered(0)) << "without start-append";
}

TEST_F(TableTest, SeekIsExact) {
  Add(1, "ABC");
  Add(2, "ABCD");
  Add(3, "abc");
  Add(4, "AB");
  Add(42, " lead");
  struct Case {
    const char* tag;
    const char* key;
    int want;  // the ID found, 0 for none
  } cases[] = {
      {"NAMEX", "ABC", 1},          {"NAMEX", "ABC   ", 1},  // trailing blanks do not count
      {"NAMEX", "abc", 3},          {"NAMEX", "Abc", 0},     // letter case does
      {"NAMEX", "ABCDE", 0},        {"NAMEX", "A", 0},       // no prefix matches either way
      {"NAMEX", "ABCDEFGHIJKL", 0}, {"NAMEX", " lead", 42},  // wider than the field; leading blank kept
      {"NAMEX", "lead", 0},         {"NAMEX", "", 0},
      {"IDX", "42", 42},            {"IDX", "042", 42},      // numbers compare as numbers
      {"IDX", " 42 ", 42},          {"IDX", "42.0", 42},
      {"IDX", "5", 0},              {"IDX", "4x", 0},        // text that is no number finds nothing
      {"IDX", "", 0},
  };
  for (const Case& c : cases) {
    Select(*t_, c.tag);
    Code code = t_->Seek(c.key);
    if (c.want) {
      EXPECT_EQ(Code::Ok, code) << c.tag << " \"" << c.key << "\"";
      EXPECT_EQ(c.want, t_->GetNumber(0)) << c.key;
    } else {
      EXPECT_EQ(Code::NotFound, code) << c.tag << " \"" << c.key << "\"";
      EXPECT_TRUE(t_->AtEnd());
    }
  }
  ASSERT_EQ(Code::Ok, t_->SelectTag(-1));
  EXPECT_EQ(Code::BadArgument, t_->Seek("1")) << "record order has no key";
}

TEST_F(TableTest, SeekNextVisitsEveryRowWithTheKeyAndNoOther) {
  // Deleting every row of one alias root must not touch a longer one.
  for (int id = 1; id <= 6; ++id) Add(id, id % 2 ? "ABC" : "ABCD");
  Select(*t_, "NAMEX");
  std::string found;
  for (Code c = t_->Seek("ABC"); c == Code::Ok; c = t_->SeekNext("ABC")) {
    found += std::to_string(t_->GetNumber(0)) + " ";
    ASSERT_EQ(Code::Ok, t_->MarkDeleted());
  }
  EXPECT_EQ("1 3 5 ", found);
  EXPECT_TRUE(t_->AtEnd());
  ASSERT_EQ(Code::Ok, t_->Pack());
  EXPECT_EQ("2 4 6 ", Walk(*t_));
}

TEST_F(TableTest, DeletedRowsAreWalkedUntilPacked) {
  Add(1, "one", "first memo");
  Add(2, "two", "second memo");
  Add(3, "three", "third memo");
  Add(4, "four", "fourth memo");
  Select(*t_, "IDX");
  for (const char* key : {"2", "4"}) {
    ASSERT_EQ(Code::Ok, t_->Seek(key));
    ASSERT_EQ(Code::Ok, t_->MarkDeleted());
  }
  EXPECT_EQ("1 2* 3 4* ", Walk(*t_));
  uint32_t count = 0;
  ASSERT_EQ(Code::Ok, t_->Count(count));
  EXPECT_EQ(4u, count);

  uint64_t before = std::filesystem::file_size(base_ + ".fpt");
  ASSERT_EQ(Code::Ok, t_->Pack());
  EXPECT_TRUE(t_->AtEnd());
  ASSERT_EQ(Code::Ok, t_->CompactMemo());
  EXPECT_LT(std::filesystem::file_size(base_ + ".fpt"), before);
  EXPECT_FALSE(std::filesystem::exists(base_ + ".jnl")) << "the journal is removed when a rewrite is done";
  ASSERT_EQ(Code::Ok, t_->Count(count));
  EXPECT_EQ(2u, count);
  EXPECT_EQ("1 3 ", Walk(*t_));
  ASSERT_EQ(Code::Ok, t_->Seek("3"));
  EXPECT_EQ("third memo", t_->GetMemo(2));
  ASSERT_EQ(Code::Ok, t_->Close());

  // What a later open finds, without this program's memory of it.
  std::unique_ptr<Table> again = OpenAgain();
  Select(*again, "IDX");
  EXPECT_EQ("1 3 ", Walk(*again));
  ASSERT_EQ(Code::Ok, again->First());
  EXPECT_EQ("first memo", again->GetMemo(2));
}

TEST_F(TableTest, ChangedRowIsWrittenByFlushMoveOrClose) {
  const char* ways[] = {"flush", "move", "close"};
  for (const char* way : ways) {
    SCOPED_TRACE(way);
    TempDir dir;
    std::unique_ptr<Table> t;
    std::string why;
    ASSERT_EQ(Code::Ok, Table::Create(LocalFileSystem(), dir.File("W"), {{"ID", 'N', 11, 0}, {"NOTE", 'M', 10, 0}},
                                      {}, t, why));
    for (int id : {1, 2}) {
      ASSERT_EQ(Code::Ok, t->AppendStart());
      ASSERT_EQ(Code::Ok, t->SetNumber(0, id));
      ASSERT_EQ(Code::Ok, t->Append());
    }
    ASSERT_EQ(Code::Ok, t->First());
    ASSERT_EQ(Code::Ok, t->SetNumber(0, 10));
    ASSERT_EQ(Code::Ok, t->SetMemo(1, "changed"));

    std::unique_ptr<Table> other;
    ASSERT_EQ(Code::Ok, Table::Open(LocalFileSystem(), dir.File("W"), other, why));
    ASSERT_EQ(Code::Ok, other->First());
    EXPECT_EQ(1, other->GetNumber(0)) << "not written before flush, move or close";

    std::string w = way;
    if (w == "flush") {
      ASSERT_EQ(Code::Ok, t->Flush());
    }
    if (w == "move") {
      ASSERT_EQ(Code::Ok, t->Skip(1));
    }
    if (w == "close") {
      ASSERT_EQ(Code::Ok, t->Close());
    }
    ASSERT_EQ(Code::Ok, other->First());
    EXPECT_EQ(10, other->GetNumber(0));
    EXPECT_EQ("changed", other->GetMemo(1));
  }
}

TEST_F(TableTest, AbandonedAppendAddsNothing) {
  Add(1, "one");
  ASSERT_EQ(Code::Ok, t_->AppendStart());
  ASSERT_EQ(Code::Ok, t_->SetNumber(0, 2));
  EXPECT_EQ(2, t_->GetNumber(0)) << "the buffer reads back";
  ASSERT_EQ(Code::Ok, t_->First());
  EXPECT_EQ(Code::NoAppend, t_->Append());
  EXPECT_EQ("1 ", Walk(*t_));
}

TEST_F(TableTest, ValuesKeepTheirFieldsForm) {
  Add(INT32_MIN, "0123456789xyz", std::string(10000, 'm'));
  ASSERT_EQ(Code::Ok, t_->First());
  EXPECT_EQ(INT32_MIN, t_->GetNumber(0));
  EXPECT_EQ("0123456789", t_->GetText(1)) << "cut to the width";
  EXPECT_EQ(std::string(10000, 'm'), t_->GetMemo(2));
  ASSERT_EQ(Code::Ok, t_->SetText(1, "ab"));
  EXPECT_EQ("ab        ", t_->GetText(1)) << "padded to the width";
  EXPECT_EQ("ab        ", t_->GetMemo(1)) << "the memo read also reads character fields";
  EXPECT_EQ("-2147483648", t_->GetText(0));
  EXPECT_EQ(Code::BadArgument, t_->SetText(0, "12x"));
  EXPECT_EQ(INT32_MIN, t_->GetNumber(0)) << "a refused value changes nothing";

  std::unique_ptr<Table> narrow;
  std::string why;
  ASSERT_EQ(Code::Ok, Table::Create(LocalFileSystem(), dir_.File("N"), {{"N", 'N', 3, 0}}, {}, narrow, why));
  ASSERT_EQ(Code::Ok, narrow->AppendStart());
  EXPECT_EQ(Code::Ok, narrow->SetNumber(0, -99));
  EXPECT_EQ(Code::NoRoom, narrow->SetNumber(0, 1000));
  EXPECT_EQ(-99, narrow->GetNumber(0));
}

TEST_F(TableTest, RewritingAMemoWithItsTextKeepsItsBlock) {
  Add(1, "one", "folder\\films");
  ASSERT_EQ(Code::Ok, t_->Flush());
  uint64_t size = std::filesystem::file_size(base_ + ".fpt");
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(Code::Ok, t_->First());
    ASSERT_EQ(Code::Ok, t_->SetMemo(2, "folder\\films"));
    ASSERT_EQ(Code::Ok, t_->Flush());
  }
  EXPECT_EQ(size, std::filesystem::file_size(base_ + ".fpt"));
  ASSERT_EQ(Code::Ok, t_->SetMemo(2, ""));
  ASSERT_EQ(Code::Ok, t_->Flush());
  ASSERT_EQ(Code::Ok, t_->First());
  EXPECT_EQ("", t_->GetMemo(2));
}

TEST_F(TableTest, CreateNeverReplacesATable) {
  Add(1, "one");
  ASSERT_EQ(Code::Ok, t_->Close());
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_EQ(Code::Exists, Table::Create(LocalFileSystem(), base_, {{"X", 'N', 5, 0}}, {}, t, why));
  EXPECT_NE(std::string::npos, why.find("T.dbf")) << why;
  t = OpenAgain();
  EXPECT_EQ("1 ", Walk(*t));

  struct Bad {
    std::vector<FieldSpec> fields;
    std::vector<TagDef> tags;
  } bad[] = {
      {{{"NAME", 'C', 255, 0}}, {}},                   // wider than FoxPro allows
      {{{"TOOLONGNAME1", 'N', 5, 0}}, {}},
      {{{"A", 'N', 5, 0}, {"a", 'N', 5, 0}}, {}},      // names ignore letter case
      {{{"A", 'X', 5, 0}}, {}},
      {{{"A", 'N', 5, 0}}, {{"T", "B"}}},              // a tag on no field
      {{{"A", 'M', 10, 0}}, {{"T", "A"}}},             // or on a memo
      {{{"A", 'N', 5, 0}}, {{"BAD NAME", "A"}}},
      {{{"A", 'N', 5, 0}}, {{"T", "A"}, {"U", "a"}}},  // a field's descriptor names one tag
  };
  int i = 0;
  for (const Bad& b : bad) {
    EXPECT_EQ(Code::BadArgument, Table::Create(LocalFileSystem(), dir_.File("B" + std::to_string(i)), b.fields,
                                               b.tags, t, why))
        << i;
    EXPECT_FALSE(std::filesystem::exists(dir_.File("B" + std::to_string(i) + ".dbf"))) << i;
    ++i;
  }
}

// Two opens of one table behave as two programs do.
TEST_F(TableTest, SecondOpenSeesAppendsAndChanges) {
  Add(1, "one");
  std::unique_ptr<Table> b = OpenAgain();
  Select(*b, "IDX");
  Select(*t_, "IDX");
  ASSERT_EQ(Code::Ok, b->First());

  Add(2, "two", "memo two");
  ASSERT_EQ(Code::Ok, b->Seek("2")) << "a seek sees the other's new row";
  EXPECT_EQ("memo two", b->GetMemo(2));
  uint32_t count = 0;
  ASSERT_EQ(Code::Ok, b->Count(count));
  EXPECT_EQ(2u, count);

  // A key changed by one is found by the other.
  ASSERT_EQ(Code::Ok, t_->Seek("1"));
  ASSERT_EQ(Code::Ok, t_->SetNumber(0, 50));
  ASSERT_EQ(Code::Ok, t_->Flush());
  EXPECT_EQ(Code::NotFound, b->Seek("1"));
  ASSERT_EQ(Code::Ok, b->Seek("50"));
  EXPECT_EQ("2 50 ", Walk(*b));

  // Each writes only the fields it changed: both changes survive.
  ASSERT_EQ(Code::Ok, t_->Seek("2"));
  ASSERT_EQ(Code::Ok, b->Seek("2"));
  ASSERT_EQ(Code::Ok, t_->SetText(1, "renamed"));
  ASSERT_EQ(Code::Ok, b->SetMemo(2, "new memo"));
  ASSERT_EQ(Code::Ok, t_->Flush());
  ASSERT_EQ(Code::Ok, b->Flush());
  std::unique_ptr<Table> c = OpenAgain();
  Select(*c, "IDX");
  ASSERT_EQ(Code::Ok, c->Seek("2"));
  EXPECT_EQ("renamed   ", c->GetText(1));
  EXPECT_EQ("new memo", c->GetMemo(2));
}

TEST_F(TableTest, PackByAnotherOpenIsNoticed) {
  for (int id = 1; id <= 5; ++id) Add(id, "r" + std::to_string(id), "memo " + std::to_string(id));
  std::unique_ptr<Table> b = OpenAgain();
  Select(*b, "IDX");
  Select(*t_, "IDX");
  ASSERT_EQ(Code::Ok, b->Seek("4"));
  ASSERT_EQ(Code::Ok, b->SetText(1, "pending"));  // a change the pack overtakes

  for (const char* key : {"1", "2"}) {
    ASSERT_EQ(Code::Ok, t_->Seek(key));
    ASSERT_EQ(Code::Ok, t_->MarkDeleted());
  }
  ASSERT_EQ(Code::Ok, t_->Pack());
  ASSERT_EQ(Code::Ok, t_->CompactMemo());

  // The row number b held now belongs to another row: its change must not land there.
  EXPECT_EQ(Code::Packed, b->Flush());
  EXPECT_EQ("3 4 5 ", Walk(*b));
  ASSERT_EQ(Code::Ok, b->Seek("5"));
  EXPECT_EQ("memo 5", b->GetMemo(2));
  EXPECT_EQ("r5        ", b->GetText(1));
  ASSERT_EQ(Code::Ok, b->Seek("4"));
  EXPECT_EQ("r4        ", b->GetText(1));
}

// Another program stopped half way through a pack: the next one to read
// the table puts it back from the journal, whether it had the table open
// all along or opens it now, and its change lands in the row it sought.
TEST_F(TableTest, APackLeftHalfDoneIsPutBackByTheNextReader) {
  for (int id = 1; id <= 5; ++id) Add(id, "r" + std::to_string(id), "memo " + std::to_string(id));
  Select(*t_, "IDX");
  ASSERT_EQ(Code::Ok, t_->Seek("2"));
  ASSERT_EQ(Code::Ok, t_->MarkDeleted());
  ASSERT_EQ(Code::Ok, t_->Close());
  std::unique_ptr<Table> b = OpenAgain();
  Select(*b, "IDX");
  ASSERT_EQ(Code::Ok, b->Seek("4"));

  MemoryFileSystem memory;
  for (const char* ext : {".dbf", ".fpt", ".tags"}) memory.Put(std::string("T") + ext, kxfixture::ReadBytes(base_ + ext));
  ASSERT_TRUE(xbasetest::StopPackHalfWay(memory));
  for (const char* ext : {".dbf", ".fpt", ".jnl"}) {
    ASSERT_TRUE(kxfixture::WriteBytes(base_ + ext, memory.Get(std::string("T") + ext)));
  }

  EXPECT_EQ("1 2* 3 4 5 ", Walk(*b));
  EXPECT_FALSE(std::filesystem::exists(base_ + ".jnl"));
  ASSERT_EQ(Code::Ok, b->Seek("4"));
  ASSERT_EQ(Code::Ok, b->SetText(1, "changed"));
  ASSERT_EQ(Code::Ok, b->Flush()) << b->LastError();
  std::unique_ptr<Table> c = OpenAgain();
  Select(*c, "IDX");
  EXPECT_EQ("1 2* 3 4 5 ", Walk(*c));
  ASSERT_EQ(Code::Ok, c->Seek("4"));
  EXPECT_EQ("changed   ", c->GetText(1));
  EXPECT_EQ("memo 4", c->GetMemo(2));
  ASSERT_EQ(Code::Ok, c->Seek("5"));
  EXPECT_EQ("r5        ", c->GetText(1));

  // A program opening the table finds it put back as well.
  for (const char* ext : {".dbf", ".fpt", ".jnl"}) {
    ASSERT_TRUE(kxfixture::WriteBytes(base_ + ext, memory.Get(std::string("T") + ext)));
  }
  c = OpenAgain();
  EXPECT_EQ("1 2* 3 4 5 ", Walk(*c));
  EXPECT_FALSE(std::filesystem::exists(base_ + ".jnl"));
}

TEST_F(TableTest, MemoReadAfterAnotherOpenCompactedIsTheRowsOwn) {
  for (int id = 1; id <= 3; ++id) Add(id, "r", "memo " + std::to_string(id));
  Select(*t_, "IDX");
  ASSERT_EQ(Code::Ok, t_->Seek("1"));
  const std::string longer(100, 'L');  // two blocks: after compaction the later memos move
  ASSERT_EQ(Code::Ok, t_->SetMemo(2, longer));
  ASSERT_EQ(Code::Ok, t_->Flush());

  std::unique_ptr<Table> b = OpenAgain();
  Select(*b, "IDX");
  ASSERT_EQ(Code::Ok, b->Seek("3"));  // its memo is not read yet
  ASSERT_EQ(Code::Ok, t_->CompactMemo());  // every block moves
  EXPECT_EQ("memo 3", b->GetMemo(2));
  ASSERT_EQ(Code::Ok, b->Seek("1"));
  EXPECT_EQ(longer, b->GetMemo(2));
}

// The reference table: two rows, one with a memo, and two tags. Every build
// writes these bytes and reads them back. The header's date of the last
// write (bytes 1-3) is set to 1 January 2000 before comparing.
TEST_F(TableTest, TheReferenceTableIsWrittenAndReadByEveryBuild) {
  const std::string fixtures = std::string(KX_FIXTURES) + "/table";
  Add(2, "two", "the second row's note");
  Add(1, "one");
  ASSERT_EQ(Code::Ok, t_->Close());
  for (const char* ext : {".dbf", ".fpt", ".tags"}) {
    std::vector<uint8_t> written = kxfixture::ReadBytes(base_ + ext);
    if (std::string(ext) == ".dbf") {
      ASSERT_GT(written.size(), 4u);
      written[1] = 100;
      written[2] = 1;
      written[3] = 1;
    }
    kxfixture::ExpectSameBytes(fixtures + ext, written);
  }

  const std::string stored = dir_.File("R");
  for (const char* ext : {".dbf", ".fpt", ".tags"}) {
    ASSERT_TRUE(kxfixture::WriteBytes(stored + ext, kxfixture::Reference(fixtures + ext)));
  }
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, Table::Open(LocalFileSystem(), stored, t, why)) << why;
  EXPECT_EQ("2 1 ", Walk(*t));
  Select(*t, "NAMEX");
  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ(1, t->GetNumber(0));
  EXPECT_EQ("one       ", t->GetText(1));
  EXPECT_EQ("", t->GetMemo(2));
  ASSERT_EQ(Code::Ok, t->Skip(1));
  EXPECT_EQ(2, t->GetNumber(0));
  EXPECT_EQ("two       ", t->GetText(1));
  EXPECT_EQ("the second row's note", t->GetMemo(2));
  EXPECT_EQ(Code::Eof, t->Skip(1));
  EXPECT_EQ(Code::Ok, t->Close());
}

}  // namespace
