// Packs and memo compactions that fail, stop or meet a full disk at any
// write: whichever write it is, the table reopens as it was or as the
// rewrite left it, every live row once with its own memo; the program that
// failed and one that had the table open all along find every row by its
// key and write into the right one; and a clean pack and compaction
// afterwards give the packed table.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>

#include "Bytes.h"
#include "FaultyFileSystem.h"
#include "Journal.h"
#include "Table.h"

using namespace xbase;
using xbasetest::FaultyFileSystem;

namespace {

using Mode = FaultyFileSystem::Mode;
using Files = std::map<std::string, std::vector<uint8_t>>;
using Renames = std::map<int, std::string>;  // ID to the NAME a test gave it

// The fixture: ID N(11) with tag IDX, NAME C(10), NOTE memo. Rows 2 and 5
// are marked deleted; row 4's memo was changed, so its first block is
// unused; row 2's memo takes two blocks, row 6's three; row 3 has none.
struct Row {
  int id;
  const char* name;
  std::string note;
  bool deleted;
};

std::vector<Row> Rows() {
  return {{1, "one", "first note", false},       {2, "two", std::string(100, 'b'), true},
          {3, "three", "", false},               {4, "four", "fourth, changed", false},
          {5, "five", "fifth", true},            {6, "six", std::string(150, 's'), false}};
}

const char* const kNames[] = {"T.dbf", "T.fpt", "T.tags", "T.jnl"};

Files Snapshot(MemoryFileSystem& fs) {
  Files files;
  for (const char* name : kNames)
    if (fs.Exists(name)) files[name] = fs.Get(name);
  return files;
}

void Put(MemoryFileSystem& fs, const Files& files) {
  for (const auto& [name, bytes] : files) fs.Put(name, bytes);
}

Files OldTable() {
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_EQ(Code::Ok, Table::Create(fs, "T", {{"ID", 'N', 11, 0}, {"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}},
                                    {{"IDX", "ID"}}, t, why));
  for (const Row& r : Rows()) {
    EXPECT_EQ(Code::Ok, t->AppendStart());
    EXPECT_EQ(Code::Ok, t->SetNumber(0, r.id));
    EXPECT_EQ(Code::Ok, t->SetText(1, r.name));
    EXPECT_EQ(Code::Ok, t->SetMemo(2, r.id == 4 ? "fourth" : r.note));
    EXPECT_EQ(Code::Ok, t->Append());
    if (r.id == 4) {
      EXPECT_EQ(Code::Ok, t->SetMemo(2, r.note));
    }
    if (r.deleted) {
      EXPECT_EQ(Code::Ok, t->MarkDeleted());
    }
  }
  EXPECT_EQ(Code::Ok, t->Close());
  return Snapshot(fs);
}

std::unique_ptr<Table> OpenOn(FileSystem& fs) {
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_EQ(Code::Ok, Table::Open(fs, "T", t, why)) << why;
  return t;
}

std::string Padded(const std::string& name) { return name + std::string(10 - name.size(), ' '); }

// What is wrong with the current row as row `r`; empty when nothing.
std::string RowProblem(Table& t, const Row& r, const Renames& renamed) {
  const std::string id = std::to_string(r.id);
  if (t.GetNumber(0) != r.id) return "the key " + id + " finds row " + std::to_string(t.GetNumber(0));
  if (t.IsDeleted() != r.deleted) return "row " + id + (r.deleted ? " lost its deletion mark" : " is marked deleted");
  auto it = renamed.find(r.id);
  if (t.GetText(1) != Padded(it == renamed.end() ? r.name : it->second)) return "row " + id + " has the name " + t.GetText(1);
  if (t.GetMemo(2) != r.note) return "row " + id + " reads the memo \"" + t.GetMemo(2).substr(0, 20) + "\"";
  return std::string();
}

// A walk in record order: "old" (the deleted rows still there, marked),
// "new" (packed), or what is wrong.
std::string ContentOf(Table& t, const Renames& renamed = {}) {
  const std::vector<Row> rows = Rows();
  std::map<int, int> seen;
  Code c;
  for (c = t.First(); c == Code::Ok; c = t.Skip(1)) {
    const int id = t.GetNumber(0);
    auto row = std::find_if(rows.begin(), rows.end(), [id](const Row& r) { return r.id == id; });
    if (row == rows.end()) return "a row with the ID " + std::to_string(id);
    if (++seen[id] > 1) return "row " + std::to_string(id) + " twice";
    const std::string problem = RowProblem(t, *row, renamed);
    if (!problem.empty()) return problem;
  }
  if (c != Code::Eof) return std::string("a walk answers ") + CodeText(c) + ": " + t.LastError();
  int deleted = 0, deletedLeft = 0;
  for (const Row& r : rows) {
    if (!r.deleted && seen[r.id] != 1) return "row " + std::to_string(r.id) + " is lost";
    deleted += r.deleted;
    deletedLeft += r.deleted ? seen[r.id] : 0;
  }
  if (deletedLeft == 0) return "new";
  return deletedLeft == deleted ? "old" : "some deleted rows are gone, others not";
}

std::string Content(const Files& files, const Renames& renamed = {}) {
  MemoryFileSystem fs;
  Put(fs, files);
  std::unique_ptr<Table> t;
  std::string why;
  if (Table::Open(fs, "T", t, why) != Code::Ok) return "the table does not open: " + why;
  return ContentOf(*t, renamed);
}

// Empty when this open's own order finds every live row by its key, and
// every deleted one marked or not at all.
std::string SeeksOf(Table& t, const Renames& renamed) {
  if (t.SelectTag(t.FindTag("IDX")) != Code::Ok) return "no tag IDX";
  for (const Row& r : Rows()) {
    const Code c = t.Seek(std::to_string(r.id));
    if (r.deleted && c == Code::NotFound) continue;
    if (c != Code::Ok) return "a seek of " + std::to_string(r.id) + " answers " + CodeText(c) + ": " + t.LastError();
    const std::string problem = RowProblem(t, r, renamed);
    if (!problem.empty()) return problem;
  }
  return std::string();
}

Code Rename(Table& t, int id, const std::string& name) {
  if (t.SelectTag(t.FindTag("IDX")) != Code::Ok || t.Seek(std::to_string(id)) != Code::Ok) return Code::NotFound;
  Code c = t.SetText(1, name);
  return c == Code::Ok ? t.Flush() : c;
}

struct Operation {
  const char* name;
  std::function<Code(Table&)> run;
  const char* result;  // what the table reads as after it
};

// As the library manager closes: both, whatever the pack answers.
Code PackAndCompact(Table& t) {
  const Code packed = t.Pack();
  const Code compacted = t.CompactMemo();
  return packed != Code::Ok ? packed : compacted;
}

const Operation kOperations[] = {
    {"pack", [](Table& t) { return t.Pack(); }, "new"},
    {"compaction", [](Table& t) { return t.CompactMemo(); }, "old"},
    {"pack and compaction", PackAndCompact, "new"},
};

// The writes of the operation on the old table, and the memo file it leaves.
int WritesOf(const Operation& op, const Files& old, std::vector<uint8_t>* memo = nullptr) {
  MemoryFileSystem disk;
  Put(disk, old);
  FaultyFileSystem counting(disk);
  std::unique_ptr<Table> t = OpenOn(counting);
  counting.Arm(0, Mode::Fail);
  EXPECT_EQ(Code::Ok, op.run(*t)) << t->LastError();
  EXPECT_FALSE(disk.Exists("T.jnl")) << "a rewrite that went through leaves no journal";
  EXPECT_EQ(op.result, Content(Snapshot(disk)));
  if (memo) *memo = disk.Get("T.fpt");
  return counting.Writes();
}

struct Fault {
  int operation;
  Mode mode;
};

void PrintTo(const Fault& f, std::ostream* out) { *out << kOperations[f.operation].name << ", " << ModeName(f.mode); }

class FailingRewrites : public testing::TestWithParam<Fault> {};

TEST_P(FailingRewrites, EveryWriteLeavesTheOldOrTheNewTable) {
  const Operation& op = kOperations[GetParam().operation];
  const Mode mode = GetParam().mode;
  const bool stops = mode == Mode::Stop || mode == Mode::StopTorn;
  const Files old = OldTable();
  std::vector<uint8_t> packedMemo;
  const int writes = WritesOf(kOperations[2], old, &packedMemo);
  const int opWrites = WritesOf(op, old);
  ASSERT_GT(writes, 10);
  for (int n = 1; n <= opWrites; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " of " + std::to_string(opWrites));
    MemoryFileSystem disk;
    Put(disk, old);
    FaultyFileSystem faulty(disk);
    std::unique_ptr<Table> t = OpenOn(faulty);
    std::unique_ptr<Table> other = OpenOn(disk);  // had the table open all along
    ASSERT_TRUE(t && other);
    faulty.Arm(n, mode);
    const Code code = op.run(*t);

    // What the next program to open the table finds.
    const std::string after = Content(Snapshot(disk));
    EXPECT_TRUE(after == "old" || after == "new") << after;
    Renames renamed;
    if (!stops) {
      // The program goes on: its answer is true, and its own order fits the file.
      if (code == Code::Ok) {
        EXPECT_EQ(op.result, after);
      } else {
        EXPECT_FALSE(t->LastError().empty());
      }
      faulty.Heal();
      EXPECT_EQ("", SeeksOf(*t, renamed)) << "the failed program's own order";
      EXPECT_EQ(Code::Ok, Rename(*t, 4, "changed")) << t->LastError();
      renamed[4] = "changed";
    }
    t.reset();
    faulty.Heal();
    EXPECT_EQ("", SeeksOf(*other, renamed)) << "the order of a program that had the table open";
    EXPECT_EQ(Code::Ok, Rename(*other, 6, "other")) << other->LastError();
    renamed[6] = "other";
    other.reset();
    const std::string changed = Content(Snapshot(disk), renamed);
    EXPECT_TRUE(changed == "old" || changed == "new") << "after changes: " << changed;

    std::unique_ptr<Table> clean = OpenOn(disk);
    ASSERT_TRUE(clean);
    EXPECT_EQ(Code::Ok, clean->Pack()) << clean->LastError();
    EXPECT_EQ(Code::Ok, clean->CompactMemo()) << clean->LastError();
    EXPECT_EQ("new", ContentOf(*clean, renamed));
    EXPECT_EQ(packedMemo, disk.Get("T.fpt")) << "the memo file holds only the live rows' memos";
  }
}

std::vector<Fault> AllFaults() {
  std::vector<Fault> faults;
  for (int op = 0; op < 3; ++op)
    for (Mode mode : {Mode::Fail, Mode::Stop, Mode::StopTorn, Mode::Full}) faults.push_back({op, mode});
  return faults;
}

std::string FaultName(const testing::TestParamInfo<Fault>& info) {
  const char* const ops[] = {"Pack", "Compaction", "PackAndCompaction"};
  return std::string(ops[info.param.operation]) + xbasetest::ModeName(info.param.mode);
}

INSTANTIATE_TEST_SUITE_P(, FailingRewrites, testing::ValuesIn(AllFaults()), FaultName);

// Putting a rewrite back may itself be cut short at any write: the next
// program to open the table takes it up from the journal.
TEST(RewriteRecovery, ARecoveryCutShortIsTakenUpByTheNext) {
  const Files old = OldTable();
  const int writes = WritesOf(kOperations[2], old);
  for (int n = 1; n <= writes; ++n) {
    MemoryFileSystem disk;
    Put(disk, old);
    FaultyFileSystem faulty(disk);
    std::unique_ptr<Table> t = OpenOn(faulty);
    faulty.Arm(n, Mode::Stop);
    (void)PackAndCompact(*t);
    const Files stopped = Snapshot(disk);

    MemoryFileSystem counted;
    Put(counted, stopped);
    FaultyFileSystem counting(counted);
    std::unique_ptr<Table> recovering;
    std::string why;
    ASSERT_EQ(Code::Ok, Table::Open(counting, "T", recovering, why)) << why;
    for (int m = 1; m <= counting.Writes(); ++m) {
      for (Mode mode : {Mode::Stop, Mode::StopTorn}) {
        SCOPED_TRACE("write " + std::to_string(n) + ", recovery write " + std::to_string(m) + ", " + ModeName(mode));
        MemoryFileSystem again;
        Put(again, stopped);
        FaultyFileSystem cut(again);
        cut.Arm(m, mode);
        (void)Table::Open(cut, "T", recovering, why);
        const std::string after = Content(Snapshot(again));
        EXPECT_TRUE(after == "old" || after == "new") << after;
      }
    }
  }
}

// A memo file that cannot be opened while a compaction's journal waits
// (another program holding it, say) keeps the journal: the texts go back
// as soon as the file opens again.
TEST(RewriteRecovery, AJournalWaitsForAMemoFileThatCannotBeOpened) {
  const Files old = OldTable();
  Files stopped;
  for (int n = 1; n < 1000 && stopped.empty(); ++n) {
    MemoryFileSystem disk;
    Put(disk, old);
    FaultyFileSystem faulty(disk);
    std::unique_ptr<Table> t = OpenOn(faulty);
    faulty.Arm(n, Mode::Stop);
    if (t->CompactMemo() == Code::Ok) break;
    const Files now = Snapshot(disk);
    if (now.count("T.jnl") && now.at("T.fpt") != old.at("T.fpt")) stopped = now;
  }
  ASSERT_FALSE(stopped.empty()) << "no stop left the memo file half rewritten";

  Files withoutMemo = stopped;
  withoutMemo.erase("T.fpt");
  MemoryFileSystem fs;
  Put(fs, withoutMemo);
  std::unique_ptr<Table> t;
  std::string why;
  EXPECT_NE(Code::Ok, Table::Open(fs, "T", t, why));
  EXPECT_TRUE(fs.Exists("T.jnl")) << "the journal is all that can put the texts back";

  Files later = Snapshot(fs);
  later["T.fpt"] = stopped["T.fpt"];
  EXPECT_EQ("old", Content(later));
}

// A journal that is cut short, damaged or not this rewrite's is never put
// back: the table is taken as it stands and the journal removed.
TEST(RewriteRecovery, AJournalThatDoesNotMatchIsNeverApplied) {
  const Files old = OldTable();
  MemoryFileSystem disk;
  Put(disk, old);
  ASSERT_TRUE(xbasetest::StopPackHalfWay(disk));
  const Files stopped = Snapshot(disk);
  ASSERT_EQ("old", Content(stopped)) << "the journal as written puts the table back";
  // Head: magic (0), write count (8), range count (12), sizes (16, 24),
  // fixed header (32); the first range's file (64), offset (68), length (76).
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>& journal, std::vector<uint8_t>& dbf)> change;
    bool resum;  // the checksum made right again, so that a later check fires
  };
  const Case cases[] = {
      {"a byte changed", [](auto& j, auto&) { j[j.size() - 10] ^= 1; }, false},
      {"cut short", [](auto& j, auto&) { j.resize(j.size() - 3); }, false},
      {"only its head", [](auto& j, auto&) { j.resize(40); }, false},
      {"empty", [](auto& j, auto&) { j.clear(); }, false},
      {"not a journal", [](auto& j, auto&) { j[0] = 'Y'; }, true},
      {"another rewrite's", [](auto&, auto& d) { StoreU32LE(&d[24], LoadU32LE(&d[24]) + 4); }, false},
      {"another table's", [](auto& j, auto&) { j[32 + 10] ^= 1; }, true},
      {"ranges past its end", [](auto& j, auto&) { StoreU32LE(&j[12], 0xFFFFFFFF); }, true},
      {"a range past its end", [](auto& j, auto&) { StoreU32LE(&j[80], 0x10000000); }, true},
      {"a range outside its file", [](auto& j, auto&) { StoreU32LE(&j[68], 0x7FFFFFFF); }, true},
      {"a range of no file", [](auto& j, auto&) { j[64] = 7; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Files files = stopped;
    c.change(files["T.jnl"], files["T.dbf"]);
    if (c.resum) {
      std::vector<uint8_t>& j = files["T.jnl"];
      StoreU32LE(&j[j.size() - 4], Crc32(j.data(), j.size() - 4));
    }
    MemoryFileSystem fs;
    Put(fs, files);
    std::unique_ptr<Table> t;
    std::string why;
    EXPECT_EQ(Code::Ok, Table::Open(fs, "T", t, why)) << why;
    EXPECT_FALSE(fs.Exists("T.jnl"));
    const std::vector<uint8_t> dbf = fs.Get("T.dbf");
    EXPECT_TRUE(std::equal(dbf.begin() + 32, dbf.end(), files["T.dbf"].begin() + 32, files["T.dbf"].end()))
        << "the rows stay as the stopped pack left them";
    EXPECT_EQ(files["T.fpt"], fs.Get("T.fpt"));
  }
}

}  // namespace
