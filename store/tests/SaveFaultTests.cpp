// Saves that fail part way, as a crash or a full disk would stop them: for
// every write that can fail, the database reopens whole, as it was before
// the save or as the save left it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

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

// Empty when the bytes read back as the old or the new database.
std::string OldOrNew(MemoryDataHandler& memory) {
  std::unique_ptr<Database> db;
  try {
    db = Open(memory);
  } catch (const std::exception& e) {
    return std::string("reopening failed: ") + e.what();
  }
  Note* kept = Root(*db, "kept");
  Note* changed = Root(*db, "changed");
  Note* shrunk = Root(*db, "shrunk");
  if (!kept || !changed || !shrunk) return "a root was lost";
  if (kept->number != 1 || kept->text != "kept as it was") return "an untouched object changed";
  Note* added = Root(*db, "added");
  const bool isNew = added != nullptr;
  if (isNew && (added->number != 4 || added->text != "new")) return "the new object is damaged";
  const bool changedNew = changed->number == 20 && changed->text == std::string(500, 'n');
  const bool changedOld = changed->number == 2 && changed->text == "old";
  if (isNew ? !changedNew : !changedOld) return "a changed object is neither old nor new";
  if (shrunk->text != (isNew ? "s" : std::string(300, 's'))) return "a shrunk object is damaged";
  return "";
}

TEST(SaveFaults, EveryFailedWriteLeavesTheOldOrTheNewDatabase) {
  const Bytes old = OldDatabase();
  int writes = 0;
  {
    MemoryDataHandler memory(old);
    FaultyDataHandler counting(memory, 0, FaultyDataHandler::Mode::Refuse);
    auto db = Open(counting);
    ChangeAndSave(*db);
    writes = counting.Writes();
    ASSERT_EQ("", OldOrNew(memory));
  }
  ASSERT_GT(writes, 10);
  for (auto mode : {FaultyDataHandler::Mode::Refuse, FaultyDataHandler::Mode::Cut}) {
    for (int n = 1; n <= writes; ++n) {
      MemoryDataHandler memory(old);
      {
        FaultyDataHandler faulty(memory, n, mode);
        auto db = Open(faulty);
        EXPECT_THROW(ChangeAndSave(*db), WriteError) << n;
      }
      const std::string fault = OldOrNew(memory);
      EXPECT_EQ("", fault) << "write " << n << (mode == FaultyDataHandler::Mode::Cut ? ", cut" : "");
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
