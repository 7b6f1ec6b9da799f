// Damaged and cut-short tables: each case changes one thing in a small
// valid table and expects a clear code, never a crash.
#include <gtest/gtest.h>

#include <functional>

#include "Bytes.h"
#include "FaultyFileSystem.h"
#include "Table.h"

using namespace xbase;

namespace {

// The fixture: fields ID N(11) at 1, NAME C(10) at 12, NOTE M at 22; the
// header is 32 + 3 * 32 + 1 = 129 bytes, a row 32 bytes; two rows, each
// with a memo. Field descriptors start at 32, 64 and 96; those of ID and
// NAME name their tags IDX and NAMEX in bytes 20-31.
constexpr size_t kHeader = 129;
constexpr size_t kRow = 32;
constexpr size_t kNoteOffset = 22;
const char* const kTagFile = "IDX ID\r\nNAMEX NAME\r\n";

struct Files {
  std::vector<uint8_t> dbf, fpt;
  std::string tags = kTagFile;
  bool hasFpt = true;
  bool hasTags = true;
};

Files ValidFiles() {
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_EQ(Code::Ok, Table::Create(fs, "T", {{"ID", 'N', 11, 0}, {"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}},
                                    {{"IDX", "ID"}, {"NAMEX", "NAME"}}, t, why));
  for (int id : {1, 2}) {
    EXPECT_EQ(Code::Ok, t->AppendStart());
    EXPECT_EQ(Code::Ok, t->SetNumber(0, id));
    EXPECT_EQ(Code::Ok, t->SetText(1, "row"));
    EXPECT_EQ(Code::Ok, t->SetMemo(2, "memo text"));
    EXPECT_EQ(Code::Ok, t->Append());
  }
  EXPECT_EQ(Code::Ok, t->Close());
  Files f;
  f.dbf = fs.Get("T.dbf");
  f.fpt = fs.Get("T.fpt");
  EXPECT_EQ(kHeader + 2 * kRow + 1, f.dbf.size());
  return f;
}

Code OpenFiles(const Files& f, std::unique_ptr<Table>& t, std::string& why, MemoryFileSystem& fs) {
  fs.Put("T.dbf", f.dbf);
  if (f.hasFpt) fs.Put("T.fpt", f.fpt);
  if (f.hasTags) fs.Put("T.tags", std::vector<uint8_t>(f.tags.begin(), f.tags.end()));
  return Table::Open(fs, "T", t, why);
}

void SetMemoPointer(Files& f, int row, const char* text10) {
  std::copy_n(text10, 10, f.dbf.begin() + long(kHeader + size_t(row) * kRow + kNoteOffset));
}

// The fixture with row 0's memo pointer leading nowhere, opened on row 0.
std::unique_ptr<Table> OpenWithLostPointer(Files& f, MemoryFileSystem& fs) {
  SetMemoPointer(f, 0, "      9999");
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  if (t) {
    EXPECT_EQ(Code::Ok, t->First());
  }
  return t;
}

// A table as made before tables named their own tags: the descriptors'
// bytes 20-31 are zero.
void ForgetTagMarks(Files& f) {
  for (size_t d : {32u, 64u, 96u}) std::fill_n(f.dbf.begin() + long(d + 20), 12, uint8_t(0));
}

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(DamagedTest, OpenRefusesDamagedFiles) {
  struct Case {
    const char* name;
    std::function<void(Files&)> change;
    Code want;
  };
  const Case cases[] = {
      {"valid", [](Files&) {}, Code::Ok},
      {"cut inside the fixed header", [](Files& f) { f.dbf.resize(20); }, Code::Truncated},
      {"cut inside the field list", [](Files& f) { f.dbf.resize(70); }, Code::Truncated},
      {"unknown version", [](Files& f) { f.dbf[0] = 0x99; }, Code::Damaged},
      {"dBASE memo file", [](Files& f) { f.dbf[0] = 0x83; }, Code::Unsupported},
      {"header length below minimum", [](Files& f) { StoreU16LE(&f.dbf[8], 20); }, Code::Damaged},
      {"header length past the end", [](Files& f) { StoreU16LE(&f.dbf[8], 60000); }, Code::Truncated},
      {"record length below minimum", [](Files& f) { StoreU16LE(&f.dbf[10], 1); }, Code::Damaged},
      {"fields wider than the record", [](Files& f) { StoreU16LE(&f.dbf[10], 20); }, Code::Damaged},
      {"no end of the field list", [](Files& f) { f.dbf[kHeader - 1] = 'X'; }, Code::Damaged},
      {"field without a name", [](Files& f) { f.dbf[64] = 0; }, Code::Damaged},
      {"field without width", [](Files& f) { f.dbf[64 + 16] = 0; }, Code::Damaged},
      {"field named twice", [](Files& f) { std::copy_n(&f.dbf[32], 11, &f.dbf[64]); }, Code::Damaged},
      {"memo of impossible width", [](Files& f) { f.dbf[96 + 16] = 8; }, Code::Damaged},
      {"row count past the end", [](Files& f) { StoreU32LE(&f.dbf[4], 3); }, Code::Truncated},
      {"row count that overflows", [](Files& f) { StoreU32LE(&f.dbf[4], 0xFFFFFFFF); }, Code::Truncated},
      {"no memo file", [](Files& f) { f.hasFpt = false; }, Code::IoError},
      {"memo file cut short", [](Files& f) { f.fpt.resize(4); }, Code::Truncated},
      {"memo block size 0", [](Files& f) { f.fpt[6] = f.fpt[7] = 0; }, Code::Damaged},
      {"no tag file", [](Files& f) { f.hasTags = false; }, Code::Ok},
      // Without the descriptors' own names the tag file is all there is.
      {"old table, tag line with three words", [](Files& f) { ForgetTagMarks(f); f.tags = "IDX ID EXTRA\n"; },
       Code::Damaged},
      {"old table, tag on a missing field", [](Files& f) { ForgetTagMarks(f); f.tags = "IDX NOSUCH\n"; },
       Code::Damaged},
      {"old table, tag on a memo", [](Files& f) { ForgetTagMarks(f); f.tags = "IDX NOTE\n"; }, Code::Damaged},
      {"old table, tag defined twice", [](Files& f) { ForgetTagMarks(f); f.tags = "IDX ID\nidx NAME\n"; },
       Code::Damaged},
      {"old table, tag file too large", [](Files& f) { ForgetTagMarks(f); f.tags = std::string(70000, '\n'); },
       Code::Damaged},
  };
  for (const Case& c : cases) {
    Files f = ValidFiles();
    c.change(f);
    MemoryFileSystem fs;
    std::unique_ptr<Table> t;
    std::string why;
    EXPECT_EQ(c.want, OpenFiles(f, t, why, fs)) << c.name << ": " << why;
    if (c.want != Code::Ok) {
      EXPECT_FALSE(t) << c.name;
      EXPECT_FALSE(why.empty()) << c.name;
    }
  }
}

TEST(DamagedTest, BadMemoPointersReadAsEmptyAndSayWhy) {
  const struct {
    const char* name;
    const char* pointer;  // the ten characters of row 0's NOTE
  } cases[] = {
      {"past the memo file", "      9999"},
      {"inside the memo header", "         1"},
      {"not a number", "      12ab"},
      {"beyond 32 bits", "9999999999"},
  };
  for (const auto& c : cases) {
    Files f = ValidFiles();
    SetMemoPointer(f, 0, c.pointer);
    MemoryFileSystem fs;
    std::unique_ptr<Table> t;
    std::string why;
    ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
    ASSERT_EQ(Code::Ok, t->First());
    EXPECT_FALSE(t->MetDamage());
    EXPECT_EQ("", t->GetMemo(2)) << c.name;
    EXPECT_FALSE(t->LastError().empty()) << c.name;
    EXPECT_TRUE(t->MetDamage()) << c.name << ": the program can tell the user";
    EXPECT_EQ(1, t->GetNumber(0)) << c.name << ": the row's other fields still read";
    ASSERT_EQ(Code::Ok, t->Skip(1));
    EXPECT_EQ("memo text", t->GetMemo(2)) << c.name << ": other rows keep their memos";
    // Compaction leaves both files as they are and says why.
    const std::vector<uint8_t> dbf = fs.Get("T.dbf"), fpt = fs.Get("T.fpt");
    EXPECT_EQ(Code::Damaged, t->CompactMemo()) << c.name;
    EXPECT_NE(std::string::npos, t->LastError().find("left as it is")) << t->LastError();
    EXPECT_EQ(fpt, fs.Get("T.fpt")) << c.name;
    EXPECT_EQ(dbf, fs.Get("T.dbf")) << c.name;
  }
}

// The text a damaged pointer no longer reaches is still in the memo file
// after a compaction and a rewrite of its row: once the pointer is put
// right, it reads again.
TEST(DamagedTest, TextOnlyADamagedPointerLedToSurvivesCompactionAndRewrite) {
  Files f = ValidFiles();
  const std::vector<uint8_t> good(f.dbf.begin() + long(kHeader + kNoteOffset),
                                  f.dbf.begin() + long(kHeader + kNoteOffset + 10));
  MemoryFileSystem fs;
  std::unique_ptr<Table> t = OpenWithLostPointer(f, fs);
  ASSERT_TRUE(t);
  // A caller rewriting the whole row writes back the empty text it read.
  const std::string read = t->GetMemo(2);
  ASSERT_EQ("", read);
  ASSERT_EQ(Code::Ok, t->SetNumber(0, 7));
  ASSERT_EQ(Code::Ok, t->SetMemo(2, read));
  EXPECT_EQ(Code::Damaged, t->Flush()) << "the text was not cleared";
  EXPECT_EQ(Code::Damaged, t->CompactMemo());
  ASSERT_EQ(Code::Ok, t->Close());

  std::vector<uint8_t> dbf = fs.Get("T.dbf");
  EXPECT_EQ("      9999", std::string(dbf.begin() + long(kHeader + kNoteOffset),
                                       dbf.begin() + long(kHeader + kNoteOffset + 10)))
      << "the pointer is kept";
  EXPECT_EQ("          7", std::string(dbf.begin() + long(kHeader + 1), dbf.begin() + long(kHeader + 12)));
  std::copy(good.begin(), good.end(), dbf.begin() + long(kHeader + kNoteOffset));
  fs.Put("T.dbf", dbf);
  std::string why;
  ASSERT_EQ(Code::Ok, Table::Open(fs, "T", t, why)) << why;
  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ("memo text", t->GetMemo(2));
}

// Clearing a text whose pointer leads nowhere keeps the pointer (above)
// and writes the rest of the row; the caller hears that the text was not
// cleared, even without having read it.
TEST(DamagedTest, ClearingATextWhosePointerLeadsNowhereIsTold) {
  Files f = ValidFiles();
  MemoryFileSystem fs;
  std::unique_ptr<Table> t = OpenWithLostPointer(f, fs);
  ASSERT_TRUE(t);
  ASSERT_EQ(Code::Ok, t->SetMemo(2, ""));
  EXPECT_FALSE(t->MetDamage());
  EXPECT_EQ(Code::Damaged, t->Flush());
  EXPECT_NE(std::string::npos, t->LastError().find("NOTE was not cleared")) << t->LastError();
  EXPECT_TRUE(t->MetDamage()) << "the program can tell the user";

  // A text that can be read is cleared as asked.
  ASSERT_EQ(Code::Ok, t->Skip(1));
  ASSERT_EQ(Code::Ok, t->SetMemo(2, ""));
  EXPECT_EQ(Code::Ok, t->Flush()) << t->LastError();
  ASSERT_EQ(Code::Ok, t->Last());
  EXPECT_EQ("", t->GetMemo(2));
}

// The field descriptors name the table's tags, so a tag file that is lost
// or damaged is written again from them and the table opens with its tags.
TEST(DamagedTest, ALostOrDamagedTagFileIsWrittenAgainFromTheTable) {
  struct Case {
    const char* name;
    std::function<void(Files&)> change;
  };
  const Case cases[] = {
      {"no tag file", [](Files& f) { f.hasTags = false; }},
      {"empty tag file", [](Files& f) { f.tags.clear(); }},
      {"a tag missing", [](Files& f) { f.tags = "IDX ID\r\n"; }},
      {"a tag more", [](Files& f) { f.tags += "MEMOX NAME\r\n"; }},
      {"a tag on another field", [](Files& f) { f.tags = "IDX NAME\r\nNAMEX ID\r\n"; }},
      {"a tag on a missing field", [](Files& f) { f.tags = "IDX NOSUCH\r\nNAMEX NAME\r\n"; }},
      {"a tag on a memo", [](Files& f) { f.tags = "IDX NOTE\r\nNAMEX NAME\r\n"; }},
      {"a line that is no tag", [](Files& f) { f.tags = "IDX ID EXTRA\r\n"; }},
      {"another table's tag file", [](Files& f) { f.tags = "ITEMID ITEM_ID\r\nALIASROOT ALIASROOT\r\n"; }},
      {"too large", [](Files& f) { f.tags = std::string(70000, '\n'); }},
  };
  for (const Case& c : cases) {
    Files f = ValidFiles();
    c.change(f);
    MemoryFileSystem fs;
    std::unique_ptr<Table> t;
    std::string why;
    ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << c.name << ": " << why;
    EXPECT_EQ(kTagFile, Text(fs.Get("T.tags"))) << c.name;
    EXPECT_EQ(f.dbf, fs.Get("T.dbf")) << c.name << ": the table itself is not touched";
    ASSERT_EQ(2u, t->TagCount()) << c.name;
    ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("IDX"))) << c.name;
    ASSERT_EQ(Code::Ok, t->Seek("2")) << c.name;
    EXPECT_EQ(2, t->GetNumber(0)) << c.name;
    ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("NAMEX"))) << c.name;
    EXPECT_EQ(Code::Ok, t->Seek("row")) << c.name;
  }

  // A tag file that says the same in another order stays as it is.
  Files f = ValidFiles();
  f.tags = "namex name\nIDX ID\n";
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  EXPECT_EQ(f.tags, Text(fs.Get("T.tags")));
  EXPECT_EQ(2u, t->TagCount());
}

// A table made before the descriptors named their tags gets the names
// from its tag file the first time it opens, so that a tag file lost later
// is written again. One that cannot be written works from its tag file.
TEST(DamagedTest, AnOldTableTakesItsTagNamesFromItsTagFile) {
  const Files valid = ValidFiles();
  Files f = valid;
  ForgetTagMarks(f);
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  ASSERT_EQ(Code::Ok, t->Close());
  const std::vector<uint8_t> marked = fs.Get("T.dbf");
  ASSERT_EQ(valid.dbf.size(), marked.size());
  EXPECT_TRUE(std::equal(marked.begin() + 32, marked.end(), valid.dbf.begin() + 32))
      << "the descriptors name their tags as a new table's do, and the rows are as they were";
  EXPECT_FALSE(fs.Exists("T.jnl"));

  ASSERT_TRUE(fs.Remove("T.tags"));
  ASSERT_EQ(Code::Ok, Table::Open(fs, "T", t, why)) << why;
  EXPECT_EQ(kTagFile, Text(fs.Get("T.tags")));
  ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("IDX")));
  ASSERT_EQ(Code::Ok, t->Seek("2"));
  EXPECT_EQ(2, t->GetNumber(0));

  MemoryFileSystem disk;
  disk.Put("T.dbf", f.dbf);
  disk.Put("T.fpt", f.fpt);
  disk.Put("T.tags", std::vector<uint8_t>(f.tags.begin(), f.tags.end()));
  xbasetest::FaultyFileSystem readOnly(disk);
  readOnly.Arm(1, xbasetest::FaultyFileSystem::Mode::Stop);  // no write goes through
  ASSERT_EQ(Code::Ok, Table::Open(readOnly, "T", t, why)) << why;
  ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("NAMEX")));
  EXPECT_EQ(Code::Ok, t->Seek("row"));
  EXPECT_EQ(f.dbf, disk.Get("T.dbf"));
  EXPECT_FALSE(disk.Exists("T.jnl"));
}

// Without the descriptors' own names a lost tag file cannot be made again:
// the table opens in record order, as before.
TEST(DamagedTest, AnOldTableWithoutItsTagFileOpensWithoutTags) {
  Files f = ValidFiles();
  ForgetTagMarks(f);
  f.hasTags = false;
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  EXPECT_EQ(0u, t->TagCount());
  EXPECT_FALSE(fs.Exists("T.tags"));
}

TEST(DamagedTest, MemoLengthPastTheEndIsRefused) {
  Files f = ValidFiles();
  // Row 0's memo sits at block 8 (byte 512); its length is at 516.
  StoreU32BE(&f.fpt[516], 0x7FFFFFFF);
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ("", t->GetMemo(2));
  EXPECT_NE(std::string::npos, t->LastError().find("past the end")) << t->LastError();
}

TEST(DamagedTest, DamagedNextFreeBlockNeverOverwritesMemos) {
  Files f = ValidFiles();
  StoreU32BE(&f.fpt[0], 8);  // claims the first block is free
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  ASSERT_EQ(Code::Ok, t->AppendStart());
  ASSERT_EQ(Code::Ok, t->SetMemo(2, "a new memo"));
  ASSERT_EQ(Code::Ok, t->Append());
  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ("memo text", t->GetMemo(2));
  ASSERT_EQ(Code::Ok, t->Last());
  EXPECT_EQ("a new memo", t->GetMemo(2));
}

TEST(DamagedTest, HeaderDamagedWhileOpenIsReportedByTheNextMove) {
  Files f = ValidFiles();
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  ASSERT_EQ(Code::Ok, OpenFiles(f, t, why, fs)) << why;
  // Another program leaves a row count that runs past the end.
  uint8_t count[4];
  StoreU32LE(count, 1000);
  ASSERT_TRUE(fs.Open("T.dbf", OpenMode::Existing)->WriteAt(4, count, 4));
  ASSERT_EQ(Code::Ok, t->SelectTag(t->FindTag("IDX")));
  EXPECT_EQ(Code::Truncated, t->First());
  EXPECT_EQ(Code::Truncated, t->Seek("1"));
  uint32_t rows = 0;
  EXPECT_EQ(Code::Truncated, t->Count(rows));
  // Put right again, the table works on.
  StoreU32LE(count, 2);
  ASSERT_TRUE(fs.Open("T.dbf", OpenMode::Existing)->WriteAt(4, count, 4));
  ASSERT_EQ(Code::Ok, t->First());
  EXPECT_EQ(1, t->GetNumber(0));
}

}  // namespace
