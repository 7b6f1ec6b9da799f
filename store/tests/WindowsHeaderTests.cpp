// The store used from a unit that includes <windows.h> first, as the
// programs' units do.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "StoreTestSupport.h"
#include "TestObjects.h"
#include "store/Database.h"

namespace {

TEST(StoreWithWindowsHeaders, GetObjectReachesTheStore) {
  MemoryDataHandler memory;
  std::unique_ptr<Database> db(
      Database::Create(new StreamDataHandler(&memory), "Database", 100, 30));
  Note* note = new (db.get()) Note;
  db->AddRoot("n", note);
  Database::SaveAll(db.get());
  EXPECT_EQ(note, db->GetObject(note->GetID()));
}

}  // namespace
