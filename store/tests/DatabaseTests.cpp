#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "ByteFixture.h"
#include "StoreTestSupport.h"
#include "TempFile.h"
#include "TestObjects.h"
#include "store/Database.h"
#include "store/Exception.h"

namespace {

constexpr uint32_t kFilmObjects = 100, kFilmRoots = 30;

// A database over a memory handler that the test keeps.
// It opens where the handler stands, as a film's database does.
struct OpenDatabase {
  explicit OpenDatabase(MemoryDataHandler& memory, uint32_t objects = 2000, uint32_t roots = 64)
      : database(Database::Create(new StreamDataHandler(&memory), "Database", objects, roots)) {}
  Database* operator->() const { return database.get(); }
  std::unique_ptr<Database> database;
};

Bytes Header(uint32_t objectOffset) {
  return Join({0x0A, BigEndian32(objectOffset), 0x0A, 0xD8, 0xFB, 0xE6, 0x68, 0x0F, 0, 0, 0, 7,
               Scrambled("Quorvex")});
}

Bytes Slice(const Bytes& bytes, std::size_t from, std::size_t count) {
  return Bytes(bytes.begin() + from, bytes.begin() + from + count);
}

TEST(Database, ANewDatabaseOnAnEmptyHandler) {
  const struct { uint32_t objects, roots, wantSize; } kCases[] = {
      {2000, 64, 48063},
      {kFilmObjects, kFilmRoots, 3749},
  };
  for (const auto& c : kCases) {
    MemoryDataHandler memory;
    OpenDatabase db(memory, c.objects, c.roots);
    EXPECT_EQ(c.wantSize, db->SerialisedSize());
    const Bytes& bytes = memory.Bytes();
    ASSERT_EQ(22u + c.wantSize, bytes.size());
    EXPECT_EQ(Hex(Header(0)), Hex(Slice(bytes, 0, 22)));
    // The Database object at relative offset 0, right behind the header.
    EXPECT_EQ(Hex(Join({0x01, 0x0F, 0, 0, 0, 8, Scrambled("Database"), 0x0A})),
              Hex(Slice(bytes, 22, 15)));
    EXPECT_EQ(0x02, bytes.back());
    EXPECT_EQ(0u, db->GetObjectOffset());
    EXPECT_EQ(22u, db->GetDataStart());
    EXPECT_EQ(1u, db->GetVersion());
    EXPECT_EQ(1u, db->GetID());
    EXPECT_EQ(db.database.get(), Database::Find(db->GetDatabaseID()));
  }
}

TEST(Database, ObjectsAndRootsSurviveAReopen) {
  MemoryDataHandler memory;
  uint32_t databaseID = 0;
  {
    OpenDatabase db(memory, kFilmObjects, kFilmRoots);
    databaseID = db->GetDatabaseID();
    Note* first = new (db.database.get()) Note;
    Note* second = new (db.database.get()) Note;
    EXPECT_TRUE(first->IsModified());
    first->number = 11;
    second->text = "second";
    db->AddRoot("Actions", first);
    db->AddRoot(std::string(40, 'p'), second);
    EXPECT_EQ(1024u, first->GetID());
    EXPECT_EQ(1025u, second->GetID());
    const int flushes = memory.Flushes();
    Database::SaveAll(db.database.get());
    EXPECT_FALSE(first->IsModified());
    EXPECT_LT(flushes, memory.Flushes());
  }
  memory.Seek(0, SeekFrom::Start);
  OpenDatabase db(memory, kFilmObjects, kFilmRoots);
  EXPECT_EQ(databaseID, db->GetDatabaseID());
  EXPECT_EQ(1026u, db->GetNextObjectID());
  auto* first = dynamic_cast<Note*>(db->GetRoot("Actions"));
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(11u, first->number);
  EXPECT_FALSE(first->IsModified());
  EXPECT_EQ(first, db->GetObject(1024));  // loaded once, then kept
  EXPECT_EQ(nullptr, db->GetRoot(std::string(40, 'p')));
  auto* second = dynamic_cast<Note*>(db->GetRoot(std::string(32, 'p')));
  ASSERT_NE(nullptr, second);
  EXPECT_EQ("second", second->text);
  EXPECT_EQ(nullptr, db->GetRoot("Preferences"));
  EXPECT_EQ(nullptr, db->GetObject(4711));
}

// Each commit writes the Database object into its other block and only
// then points the header at it, so the stored copy is never overwritten.
TEST(Database, CommitWritesBesideTheStoredObjectThenTheHeader) {
  MemoryDataHandler memory;
  OpenDatabase db(memory);
  const Bytes fresh = memory.Bytes();
  const uint32_t size = db->SerialisedSize();
  db->Commit(false);
  const uint32_t moved = db->GetObjectOffset();
  EXPECT_LE(size, moved);
  const Bytes& bytes = memory.Bytes();
  EXPECT_EQ(Hex(Header(moved)), Hex(Slice(bytes, 0, 22)));
  EXPECT_EQ(Hex(Slice(fresh, 22, size)), Hex(Slice(bytes, 22, size)));  // the old copy stands
  EXPECT_EQ(Hex(Slice(fresh, 22, 15)), Hex(Slice(bytes, 22 + moved, 15)));
  db->Commit(false);
  EXPECT_EQ(0u, db->GetObjectOffset());  // back into the first block
  EXPECT_EQ(Hex(Header(0)), Hex(Slice(bytes, 0, 22)));
  for (int i = 0; i < 22; ++i) memory.Bytes()[i] = 0xEE;
  db->Commit(true);
  EXPECT_EQ(Hex(Header(db->GetObjectOffset())), Hex(Slice(memory.Bytes(), 0, 22)));
}

// Filling the object table past its capacity makes the Database object grow
// out of its block: it moves, and the header follows it.
TEST(Database, AGrowingDatabaseObjectMovesAndStaysReadable) {
  MemoryDataHandler memory;
  {
    OpenDatabase db(memory, 4, 2);
    for (uint32_t i = 0; i < 12; ++i) {
      Note* note = new (db.database.get()) Note;
      note->number = 100 + i;
      if (i == 0) db->AddRoot("first", note);
      if (i == 11) db->AddRoot("last", note);
      Database::SaveAll(db.database.get());
      // Its block holds all it wrote, also when growing the table grew it.
      const ObjectEntry& block = db->GetObjects().GetTable().at(Database::kDatabaseObjectID);
      EXPECT_EQ(db->SerialisedSize(), block.used) << i;
      EXPECT_LE(block.used, block.allocated) << i;
    }
    EXPECT_NE(0u, db->GetObjectOffset());
    EXPECT_GE(db->GetObjects().GetTable().GetCapacity(), 13u);
  }
  memory.Seek(0, SeekFrom::Start);
  OpenDatabase db(memory, 4, 2);
  for (uint32_t id = 1024; id < 1036; ++id) {
    auto* note = dynamic_cast<Note*>(db->GetObject(id));
    ASSERT_NE(nullptr, note) << id;
    EXPECT_EQ(100 + id - 1024, note->number);
  }
  EXPECT_EQ(db->GetObject(1035), db->GetRoot("last"));
}

TEST(Database, AnInvalidHeaderGivesANewDatabase) {
  MemoryDataHandler original;
  { OpenDatabase db(original, kFilmObjects, kFilmRoots); }
  const struct { const char* name; std::size_t at; uint8_t value; } kCases[] = {
      {"magic", 7, 0x00},
      {"signature", 17, 0x00},
      {"signature length of 4 GB", 11, 0xFF},
      {"object offset tag", 0, 0x09},
  };
  for (const auto& c : kCases) {
    MemoryDataHandler memory(original.Bytes());
    memory.Bytes()[c.at] = c.value;
    std::unique_ptr<Database> db;
    ASSERT_NO_THROW(db.reset(Database::Create(new StreamDataHandler(&memory), "Database",
                                              kFilmObjects, kFilmRoots)))
        << c.name;
    EXPECT_EQ(Hex(Header(0)), Hex(Slice(memory.Bytes(), 0, 22))) << c.name;
    EXPECT_TRUE(db->GetRoots().GetRoots().empty()) << c.name;
  }
}

TEST(Database, AnEndTagInTheHeaderReachesTheCaller) {
  MemoryDataHandler memory(Join({0x02, 0, 0, 0, 0}));
  EXPECT_THROW(
      Database::Create(new StreamDataHandler(&memory), "Database", kFilmObjects, kFilmRoots),
      EndOfObject);
  EXPECT_EQ(5u, memory.Bytes().size());  // nothing written
}

TEST(Database, OpensAtTheHandlersPosition) {
  MemoryDataHandler memory(Bytes(1234, 0x77));
  memory.Seek(1234, SeekFrom::Start);
  uint32_t offset = 0, objectOffset = 0;
  {
    OpenDatabase db(memory, kFilmObjects, kFilmRoots);
    EXPECT_EQ(1234u, db->GetDatabaseOffset());
    EXPECT_EQ(1256u, db->GetDataStart());
    Note* note = new (db.database.get()) Note;
    note->number = 5;
    db->AddRoot("Preferences", note);
    Database::SaveAll(db.database.get());
    offset = db->GetObjects().GetOffset(1024);
    objectOffset = db->GetObjectOffset();
    std::ostringstream dump;
    db->Dump(dump);
    EXPECT_NE(std::string::npos, dump.str().find("Offset of database in file: 1,234\n"))
        << dump.str();
  }
  const Bytes& bytes = memory.Bytes();
  EXPECT_EQ(Hex(Bytes(1234, 0x77)), Hex(Slice(bytes, 0, 1234)));
  EXPECT_EQ(Hex(Header(objectOffset)), Hex(Slice(bytes, 1234, 22)));
  EXPECT_EQ(0x01, bytes[1256 + objectOffset]);
  EXPECT_EQ(0x01, bytes[1256 + offset]);  // offsets count from behind the header

  memory.Seek(1234, SeekFrom::Start);
  OpenDatabase db(memory, kFilmObjects, kFilmRoots);
  auto* note = dynamic_cast<Note*>(db->GetRoot("Preferences"));
  ASSERT_NE(nullptr, note);
  EXPECT_EQ(5u, note->number);
}

TEST(Database, Dump) {
  MemoryDataHandler memory;
  OpenDatabase db(memory, kFilmObjects, kFilmRoots);
  std::ostringstream out;
  db->Dump(out);
  EXPECT_EQ(
      "Class of Database instance: Database\n"
      "Version of database       : 1\n"
      "ID of database            : " + std::to_string(db->GetDatabaseID()) + "\n"
      "Offset of object in file  : 0\n"
      "Offset of database in file: 0\n"
      "------------------------\n"
      "0 root(s) found in database:\n"
      "------------------------\n"
      "1 object(s) saved in the database: \n"
      "average wasted size per block: 0\n"
      "average wasted percentage per block: 0%\n"
      "0 fragmented block(s) in the database: \n",
      out.str());
}

TEST(Database, DeletingObjects) {
  MemoryDataHandler memory;
  OpenDatabase db(memory);
  Note* saved = new (db.database.get()) Note;
  Note* kept = new (db.database.get()) Note;
  Database::SaveAll(db.database.get());
  const uint32_t savedID = saved->GetID(), keptID = kept->GetID();

  // Given an ID but never saved: no entry to free, and no error.
  Note* unsaved = new (db.database.get()) Note;
  EXPECT_EQ(1026u, unsaved->GetID());
  delete unsaved;
  EXPECT_EQ(nullptr, db->GetObject(1026));

  delete saved;  // leaves the file
  EXPECT_FALSE(db->GetObjects().HasEntry(savedID));
  kept->KeepStored();
  delete kept;  // stays in the file and loads again
  EXPECT_TRUE(db->GetObjects().HasEntry(keptID));
  EXPECT_NE(nullptr, db->GetObject(keptID));

  Note stray;  // an ID that no loaded object has
  stray.SetID(5000);
  try {
    db->Unregister(&stray);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 283 in Database", e.GetMessageText());
  }
}

TEST(Database, SaveAllReleasesTheKeptObjects) {
  MemoryDataHandler memory;
  OpenDatabase db(memory);
  Note* kept = new (db.database.get()) Note;
  kept->number = 3;
  kept->KeepStored();
  Note* stays = new (db.database.get()) Note;
  Database::SaveAll(db.database.get());  // kept is written, then deleted
  EXPECT_EQ(stays, db->GetObject(1025));
  auto* again = dynamic_cast<Note*>(db->GetObject(1024));
  ASSERT_NE(nullptr, again);
  EXPECT_EQ(3u, again->number);
}

// Objects still in memory go with their database; nothing is left pointing
// at it (the sanitizers see any use after free or leak).
TEST(Database, DeletingTheDatabaseDeletesItsObjects) {
  MemoryDataHandler memory;
  {
    OpenDatabase db(memory);
    db->AddRoot("n", new (db.database.get()) Note);
    Database::SaveAll(db.database.get());
  }
  memory.Seek(0, SeekFrom::Start);
  OpenDatabase db(memory);
  ASSERT_NE(nullptr, db->GetRoot("n"));
  new (db.database.get()) Note;  // made for the database, never saved
  const uint32_t id = db->GetDatabaseID();
  db.database.reset();
  EXPECT_EQ(nullptr, Database::Find(id));
}

// One file opened twice gives two databases with one identity.
TEST(Database, TheRegistryToleratesRepeatedIdentities) {
  MemoryDataHandler memory;
  { OpenDatabase db(memory); }
  MemoryDataHandler copy(memory.Bytes());
  memory.Seek(0, SeekFrom::Start);
  auto first = std::make_unique<OpenDatabase>(memory);
  OpenDatabase second(copy);
  const uint32_t id = second->GetDatabaseID();
  EXPECT_EQ(first->database->GetDatabaseID(), id);
  first.reset();
  EXPECT_EQ(second.database.get(), Database::Find(id));
}

TEST(Database, PointersFindTheirDatabase) {
  MemoryDataHandler memory;
  {
    OpenDatabase db(memory);
    Note* note = new (db.database.get()) Note;
    note->number = 8;
    Link* link = new (db.database.get()) Link;
    link->target.Set(note);  // never stored yet: it takes the note's IDs on writing
    db->AddRoot("link", link);
    Database::SaveAll(db.database.get());
    EXPECT_EQ(note->GetID(), link->target.GetObjectID());
    EXPECT_EQ(db->GetDatabaseID(), link->target.GetDatabaseID());
  }
  memory.Seek(0, SeekFrom::Start);
  OpenDatabase db(memory);
  auto* link = dynamic_cast<Link*>(db->GetRoot("link"));
  ASSERT_NE(nullptr, link);
  Note* note = link->target.Get();
  ASSERT_NE(nullptr, note);
  EXPECT_EQ(8u, note->number);
}

TEST(Database, APointerToAMissingOrForeignObjectFails) {
  MemoryDataHandler memory;
  OpenDatabase db(memory);
  Link* other = new (db.database.get()) Link;
  db->AddRoot("other", other);
  Database::SaveAll(db.database.get());
  const Bytes ids = Join({0x0A, BigEndian32(4711), 0x0A, BigEndian32(db->GetDatabaseID())});
  const Bytes foreign =
      Join({0x0A, BigEndian32(other->GetID()), 0x0A, BigEndian32(db->GetDatabaseID())});
  for (const Bytes& stored : {ids, foreign}) {
    MemoryStream s(stored);
    db_ptr<Note> pointer;
    pointer.ReadContents(s.stream);
    try {
      pointer.Get();
      FAIL() << "no error";
    } catch (const IOError& e) {
      EXPECT_EQ("Could not read pointed object: , line 138 in db_ptr", e.GetMessageText());
    }
  }
}

TEST(Database, CreateMakesOnlyDatabases) {
  MemoryDataHandler memory;
  try {
    Database::Create(new StreamDataHandler(&memory), "Note", 10, 10);
    FAIL() << "no error";
  } catch (const RTTIException& e) {
    EXPECT_EQ("Note to Database*", e.GetMessageText());
  }
  EXPECT_THROW(Database::Create(new StreamDataHandler(&memory), "Nothing", 10, 10), FactoryError);
  EXPECT_TRUE(memory.Bytes().empty());
}

// Where the first key of a new database's object table lies: behind the
// table's envelope start, its capacity and its count. It is the Database
// object's own entry.
std::size_t FirstTableKey(const Bytes& bytes) {
  const Bytes start = Join({1, 0x0F, BigEndian32(6), Scrambled("db_map")});
  const auto at = std::search(bytes.begin(), bytes.end(), start.begin(), start.end());
  EXPECT_NE(bytes.end(), at);
  return static_cast<std::size_t>(at - bytes.begin()) + start.size() + 5 + 5;
}

TEST(Database, DamagedTablesFailTheOpen) {
  MemoryDataHandler original;
  { OpenDatabase db(original, kFilmObjects, kFilmRoots); }
  // The roots' count follows the header, the Database envelope's start, its
  // three numbers, the roots' envelope start and their capacity.
  const std::size_t rootCount = 22 + (1 + 13) + 15 + (1 + 12) + 5;
  const std::size_t firstKey = FirstTableKey(original.Bytes());
  const struct { const char* name; std::size_t at; Bytes value; } kCases[] = {
      {"roots above their capacity", rootCount, {0x0A, 0x7F}},
      // A save could hand the stored Database object's block to another
      // object before the header moved off it.
      {"no entry for the Database object", firstKey, Join({0x0A, BigEndian32(999)})},
  };
  for (const auto& c : kCases) {
    MemoryDataHandler memory(original.Bytes());
    ASSERT_EQ(0x0A, memory.Bytes()[c.at]) << c.name;
    std::copy(c.value.begin(), c.value.end(), memory.Bytes().begin() + c.at);
    EXPECT_THROW(Database::Create(new StreamDataHandler(&memory), "Database", kFilmObjects,
                                  kFilmRoots),
                 InvalidDatabase)
        << c.name;
  }
}

TEST(Database, IdentityFromTheLocalTime) {
  const struct { LocalDateTime time; uint32_t want; } kCases[] = {
      {{1900, 1, 1, 0, 0, 0}, 86400},
      {{2000, 12, 31, 23, 59, 59}, 100u * 31536000 + 11 * 2678400 + 31 * 86400 + 86399},
      {{2040, 1, 1, 0, 0, 0}, static_cast<uint32_t>(140ull * 31536000 + 86400)},  // wraps
  };
  for (const auto& c : kCases) EXPECT_EQ(c.want, DatabaseIDFromLocalTime(c.time));
  try {
    DatabaseIDFromLocalTime({2900, 1, 1, 0, 0, 0});
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 189 in Database", e.GetMessageText());
  }
}

TEST(Database, InAFile) {
  TempFile file;
  file.Fill("");
  {
    FileDataHandler handler(file.Path(), FileDataHandler::kReadWrite);
    std::unique_ptr<Database> db(Database::Create(new StreamDataHandler(&handler), "Database",
                                                  kFilmObjects, kFilmRoots));
    Note* note = new (db.get()) Note;
    note->text = "on disk";
    db->AddRoot("Preferences", note);
    Database::SaveAll(db.get());
  }
  FileDataHandler handler(file.Path(), FileDataHandler::kRead);
  std::unique_ptr<Database> db(Database::Create(new StreamDataHandler(&handler), "Database",
                                                kFilmObjects, kFilmRoots));
  auto* note = dynamic_cast<Note*>(db->GetRoot("Preferences"));
  ASSERT_NE(nullptr, note);
  EXPECT_EQ("on disk", note->text);
}

// ---- the reference file ----------------------------------------------------

constexpr uint32_t kFixtureDatabaseID = 0x7E57DB01;
const std::string kDatabaseFixture = std::string(KX_FIXTURES) + "/notes.db";

// A new database's identity comes from the clock. It is set by opening a
// fresh database whose stored identity was replaced: every later write (the
// pointers' too) then carries the fixed one.
Bytes EmptyDatabaseWithID(uint32_t id) {
  MemoryDataHandler memory;
  { OpenDatabase db(memory, kFilmObjects, kFilmRoots); }
  Bytes bytes = memory.Bytes();
  // The Database object lies right behind the header; its identity follows
  // its class name and the number's tag.
  const std::size_t at = 22 + 15;
  EXPECT_EQ(Hex(Join({0x01, 0x0F, 0, 0, 0, 8, Scrambled("Database"), 0x0A})),
            Hex(Slice(bytes, 22, 15)));
  const Bytes stored = BigEndian32(id);
  std::copy(stored.begin(), stored.end(), bytes.begin() + at);
  return bytes;
}

void ExpectTheReferenceNotes(Database& db) {
  EXPECT_EQ(kFixtureDatabaseID, db.GetDatabaseID());
  EXPECT_EQ(1027u, db.GetNextObjectID());
  auto* first = dynamic_cast<Note*>(db.GetRoot("First"));
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(0x01020304u, first->number);
  EXPECT_EQ("first", first->text);
  auto* link = dynamic_cast<Link*>(db.GetRoot("Link"));
  ASSERT_NE(nullptr, link);
  EXPECT_EQ(kFixtureDatabaseID, link->target.GetDatabaseID());
  Note* second = link->target.Get();
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(1026u, second->GetID());  // given its ID when the link was saved
  EXPECT_EQ(7u, second->number);
  EXPECT_EQ(std::string(40, 's'), second->text);
}

TEST(Database, TheReferenceFileIsWrittenAndReadByEveryBuild) {
  MemoryDataHandler memory(EmptyDatabaseWithID(kFixtureDatabaseID));
  {
    OpenDatabase db(memory, kFilmObjects, kFilmRoots);
    ASSERT_EQ(kFixtureDatabaseID, db->GetDatabaseID());
    Note* first = new (db.database.get()) Note;
    first->number = 0x01020304;
    first->text = "first";
    Note* second = new (db.database.get()) Note;
    second->text = std::string(40, 's');
    Link* link = new (db.database.get()) Link;
    link->target.Set(second);
    db->AddRoot("First", first);
    db->AddRoot("Link", link);
    Database::SaveAll(db.database.get());
  }
  kxfixture::ExpectSameBytes(kDatabaseFixture, memory.Bytes());

  MemoryDataHandler stored(kxfixture::Reference(kDatabaseFixture));
  OpenDatabase db(stored, kFilmObjects, kFilmRoots);
  ExpectTheReferenceNotes(*db.database);
}

// Written when a save rewrote each object in its block and the header
// before the Database object: such files are still read, and saved.
TEST(Database, AFileSavedInPlaceIsReadAndSavedAgain) {
  MemoryDataHandler stored(kxfixture::Reference(std::string(KX_FIXTURES) + "/notes-in-place.db"));
  {
    OpenDatabase db(stored, kFilmObjects, kFilmRoots);
    ExpectTheReferenceNotes(*db.database);
    auto* first = dynamic_cast<Note*>(db->GetRoot("First"));
    ASSERT_NE(nullptr, first);
    first->text = std::string(200, 'f');  // outgrows its block
    first->SetModified(true);
    db->AddRoot("Third", new (db.database.get()) Note);
    Database::SaveAll(db.database.get());
  }
  stored.Seek(0, SeekFrom::Start);
  OpenDatabase db(stored, kFilmObjects, kFilmRoots);
  auto* first = dynamic_cast<Note*>(db->GetRoot("First"));
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(std::string(200, 'f'), first->text);
  EXPECT_NE(nullptr, dynamic_cast<Note*>(db->GetRoot("Third")));
  auto* link = dynamic_cast<Link*>(db->GetRoot("Link"));
  ASSERT_NE(nullptr, link);
  ASSERT_NE(nullptr, link->target.Get());
  EXPECT_EQ(std::string(40, 's'), link->target.Get()->text);
}

}  // namespace
