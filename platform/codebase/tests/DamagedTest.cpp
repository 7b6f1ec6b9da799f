// Damaged and cut-short tables: each case changes one thing in a small
// valid table and expects a clear code, never a crash.
#include <gtest/gtest.h>

#include <functional>

#include "Bytes.h"
#include "Table.h"

using namespace xbase;

namespace {

// The fixture: fields ID N(11) at 1, NAME C(10) at 12, NOTE M at 22; the
// header is 32 + 3 * 32 + 1 = 129 bytes, a row 32 bytes; two rows, each
// with a memo. Field descriptors start at 32, 64 and 96.
constexpr size_t kHeader = 129;
constexpr size_t kRow = 32;
constexpr size_t kNoteOffset = 22;

struct Files {
  std::vector<uint8_t> dbf, fpt;
  std::string tags = "IDX ID\r\nNAMEX NAME\r\n";
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
      {"tag line with three words", [](Files& f) { f.tags = "IDX ID EXTRA\n"; }, Code::Damaged},
      {"tag on a missing field", [](Files& f) { f.tags = "IDX NOSUCH\n"; }, Code::Damaged},
      {"tag on a memo", [](Files& f) { f.tags = "IDX NOTE\n"; }, Code::Damaged},
      {"tag defined twice", [](Files& f) { f.tags = "IDX ID\nidx NAME\n"; }, Code::Damaged},
      {"tag file too large", [](Files& f) { f.tags = std::string(70000, '\n'); }, Code::Damaged},
      {"no tag file", [](Files& f) { f.hasTags = false; }, Code::Ok},
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
    EXPECT_EQ("", t->GetMemo(2)) << c.name;
    EXPECT_FALSE(t->LastError().empty()) << c.name;
    EXPECT_EQ(1, t->GetNumber(0)) << c.name << ": the row's other fields still read";
    ASSERT_EQ(Code::Ok, t->Skip(1));
    EXPECT_EQ("memo text", t->GetMemo(2)) << c.name << ": other rows keep their memos";
    // Compaction clears the pointer that led nowhere and keeps the others.
    EXPECT_EQ(Code::Damaged, t->CompactMemo()) << c.name;
    ASSERT_EQ(Code::Ok, t->First());
    t->ClearError();
    EXPECT_EQ("", t->GetMemo(2));
    EXPECT_TRUE(t->LastError().empty()) << c.name;
    ASSERT_EQ(Code::Ok, t->Skip(1));
    EXPECT_EQ("memo text", t->GetMemo(2)) << c.name;
  }
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
