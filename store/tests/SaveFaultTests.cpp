// Saves that fail part way, as a crash or a full disk would stop them: for
// every write that can fail, the database reopens whole, as it was before
// the save or as the save left it.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "FaultyDataHandler.h"
#include "StoreTestSupport.h"
#include "TestObjects.h"
#include "store/Database.h"
#include "store/Exception.h"

namespace {

constexpr uint32_t kObjects = 100, kRoots = 30;

std::unique_ptr<Database> Open(DataHandler_& handler) {
  handler.Seek(0, SeekFrom::Start);
  return std::unique_ptr<Database>(
      Database::Create(new StreamDataHandler(&handler), "Database", kObjects, kRoots));
}

Note* Root(Database& db, const char* name) { return dynamic_cast<Note*>(db.GetRoot(name)); }

void AddNote(Database& db, const char* root, uint32_t number, const std::string& text) {
  Note* note = new (&db) Note;
  note->number = number;
  note->text = text;
  db.AddRoot(root, note);
}

// Three notes: "kept" stays, "changed" is rewritten larger, "shrunk" smaller.
Bytes OldDatabase() {
  MemoryDataHandler memory;
  auto db = Open(memory);
  AddNote(*db, "kept", 1, "kept as it was");
  AddNote(*db, "changed", 2, "old");
  AddNote(*db, "shrunk", 3, std::string(300, 's'));
  Database::SaveAll(db.get());
  return memory.Bytes();
}

// The same notes, with free blocks that the save under test takes again:
// one that "changed" grows into, one for a small object.
Bytes OldDatabaseWithFreeBlocks() {
  MemoryDataHandler memory(OldDatabase());
  auto db = Open(memory);
  Note* small = new (db.get()) Note;
  small->text = "spare";
  Note* large = new (db.get()) Note;
  large->text = std::string(520, 'l');
  Database::SaveAll(db.get());
  delete small;
  delete large;
  Database::SaveAll(db.get());
  EXPECT_LE(3u, db->GetObjects().GetFreeList().size());
  return memory.Bytes();
}

// The save under test: changes in place, one that outgrows its block, a new
// root and object.
void ChangeAndSave(Database& db) {
  Note* changed = Root(db, "changed");
  changed->number = 20;
  changed->text = std::string(500, 'n');
  changed->SetModified(true);
  Note* shrunk = Root(db, "shrunk");
  shrunk->text = "s";
  shrunk->SetModified(true);
  AddNote(db, "added", 4, "new");
  Database::SaveAll(&db);
}

// The changes of a save after that one: "shrunk" outgrows the block it
// was given.
void ChangeMore(Database& db) {
  Note* added = Root(db, "added");
  added->number = 5;
  added->SetModified(true);
  Note* shrunk = Root(db, "shrunk");
  shrunk->text = std::string(40, 's');
  shrunk->SetModified(true);
}

void ChangeAgain(Database& db) {
  ChangeMore(db);
  Database::SaveAll(&db);
}

// What the bytes read back as: "old", "new" (after ChangeAndSave), "newer"
// (after ChangeAgain), or what is wrong with them.
std::string ContentOf(Database& db) {
  Note* kept = Root(db, "kept");
  Note* changed = Root(db, "changed");
  Note* shrunk = Root(db, "shrunk");
  if (!kept || !changed || !shrunk) return "a root was lost";
  if (kept->number != 1 || kept->text != "kept as it was") return "an untouched object changed";
  Note* added = Root(db, "added");
  const bool isNew = added != nullptr;
  if (isNew && ((added->number != 4 && added->number != 5) || added->text != "new")) {
    return "the new object is damaged";
  }
  const bool changedNew = changed->number == 20 && changed->text == std::string(500, 'n');
  const bool changedOld = changed->number == 2 && changed->text == "old";
  if (isNew ? !changedNew : !changedOld) return "a changed object is neither old nor new";
  if (!isNew) {
    return shrunk->text == std::string(300, 's') ? "old" : "a shrunk object is damaged";
  }
  if (added->number == 4) return shrunk->text == "s" ? "new" : "a shrunk object is damaged";
  return shrunk->text == std::string(40, 's') ? "newer" : "a shrunk object is damaged";
}

std::string Content(const Bytes& bytes) {
  MemoryDataHandler memory(bytes);
  try {
    auto db = Open(memory);
    return ContentOf(*db);
  } catch (const std::exception& e) {
    return std::string("reading failed: ") + e.what();
  }
}

int WritesOfTheSave(const Bytes& old) {
  MemoryDataHandler memory(old);
  FaultyDataHandler counting(memory, 0, FaultyDataHandler::Mode::Refuse);
  auto db = Open(counting);
  ChangeAndSave(*db);
  EXPECT_EQ("new", Content(memory.Bytes()));
  return counting.Writes();
}

struct SaveFault {
  bool withFreeBlocks;
  FaultyDataHandler::Mode mode;
};

void PrintTo(const SaveFault& fault, std::ostream* out) {
  *out << (fault.withFreeBlocks ? "with free blocks, " : "saved once, ") << ModeName(fault.mode);
}

class FailingSaves : public ::testing::TestWithParam<SaveFault> {};

// For every write of the save failing in this way: the failure is reported,
// the file reads back as before or after the save, and once the disk is
// well again the same database saves whole, and saves again.
TEST_P(FailingSaves, EveryFailedWriteLeavesTheOldOrTheNewDatabase) {
  const Bytes old = GetParam().withFreeBlocks ? OldDatabaseWithFreeBlocks() : OldDatabase();
  const int writes = WritesOfTheSave(old);
  ASSERT_GT(writes, 10);
  for (int n = 1; n <= writes; ++n) {
    const std::string where = "write " + std::to_string(n);
    MemoryDataHandler memory(old);
    FaultyDataHandler faulty(memory, n, GetParam().mode);
    auto db = Open(faulty);
    EXPECT_THROW(ChangeAndSave(*db), WriteError) << where;
    const std::string after = Content(memory.Bytes());
    EXPECT_TRUE(after == "old" || after == "new") << where << ": " << after;

    faulty.Heal();
    EXPECT_NO_THROW(Database::SaveAll(db.get())) << where;
    EXPECT_EQ("new", Content(memory.Bytes())) << where << ", saved again";
    EXPECT_NO_THROW(ChangeAgain(*db)) << where;
    EXPECT_EQ("newer", Content(memory.Bytes())) << where << ", changed again";
  }
}

std::vector<SaveFault> AllSaveFaults() {
  std::vector<SaveFault> faults;
  for (bool withFreeBlocks : {false, true}) {
    for (auto mode : kAllFaults) faults.push_back({withFreeBlocks, mode});
  }
  return faults;
}

// The database saved once, or one whose free list the save takes blocks from.
INSTANTIATE_TEST_SUITE_P(, FailingSaves, ::testing::ValuesIn(AllSaveFaults()),
                         [](const ::testing::TestParamInfo<SaveFault>& info) {
                           return std::string(info.param.withFreeBlocks ? "FreeBlocks" : "SavedOnce") +
                                  ModeName(info.param.mode);
                         });

// A header write that failed may or may not have reached the disk: the
// retry must spare the database it names either way, the old one and the
// new one, until its own header is written. A crash at any write of a
// retry that places objects anew leaves one of the three.
TEST(SaveFaults, ARetryAfterAFailedHeaderSparesBothDatabases) {
  const Bytes old = OldDatabaseWithFreeBlocks();
  const int writes = WritesOfTheSave(old);
  constexpr int kHeaderWrites = 7;  // two tagged numbers and a tagged string
  for (int n = writes - kHeaderWrites + 1; n <= writes; ++n) {
    int retryWrites = 0;
    for (int m = 0; m == 0 || m <= retryWrites; ++m) {
      const std::string where =
          "header write " + std::to_string(n - writes + kHeaderWrites) + ", retry write " +
          std::to_string(m);
      MemoryDataHandler memory(old);
      FaultyDataHandler faulty(memory, n, FaultyDataHandler::Mode::Once);
      auto db = Open(faulty);
      EXPECT_THROW(ChangeAndSave(*db), WriteError) << where;
      ChangeMore(*db);
      faulty.Arm(m, FaultyDataHandler::Mode::Cut);
      if (m == 0) {
        Database::SaveAll(db.get());
        retryWrites = faulty.Writes();
        EXPECT_EQ("newer", Content(memory.Bytes())) << where;
        continue;
      }
      EXPECT_THROW(Database::SaveAll(db.get()), WriteError) << where;
      const std::string after = Content(memory.Bytes());
      EXPECT_TRUE(after == "old" || after == "new" || after == "newer") << where << ": " << after;
    }
  }
}

// A file cut short after a save: the object table names a block past its
// end, which the next save would hand out again.
TEST(SaveFaults, ACutFileIsRefused) {
  MemoryDataHandler memory;
  {
    auto db = Open(memory);
    AddNote(*db, "n", 1, std::string(200, 'x'));
    Database::SaveAll(db.get());
    Root(*db, "n")->SetModified(false);
    Database::SaveAll(db.get());  // the Database object goes back to its first block
    ASSERT_EQ(0u, db->GetObjectOffset());
  }
  const uint32_t objectSize = [&] {
    auto db = Open(memory);
    return db->SerialisedSize();
  }();
  memory.Bytes().resize(22 + objectSize + 10);
  EXPECT_THROW(Open(memory), InvalidDatabase);
}

// Stored pointers find their database by identity: two databases made in
// one second must not share one.
TEST(SaveFaults, DatabasesMadeTogetherHaveTheirOwnIdentity) {
  MemoryDataHandler a, b, c;
  auto first = Open(a);
  auto second = Open(b);
  auto third = Open(c);
  EXPECT_NE(first->GetDatabaseID(), second->GetDatabaseID());
  EXPECT_NE(first->GetDatabaseID(), third->GetDatabaseID());
  EXPECT_NE(second->GetDatabaseID(), third->GetDatabaseID());
  EXPECT_EQ(second.get(), Database::Find(second->GetDatabaseID()));
  EXPECT_EQ(third.get(), Database::Find(third->GetDatabaseID()));
}

}  // namespace
