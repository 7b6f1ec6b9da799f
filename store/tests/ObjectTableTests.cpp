#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "StoreTestSupport.h"
#include "store/DBObjects.h"
#include "store/Database.h"

namespace {

std::string FreeBlocks(const DBObjects& t) {
  std::string out;
  for (const FreeEntry& b : t.GetFreeList()) {
    out += "(" + std::to_string(b.offset) + "," + std::to_string(b.length) + ")";
  }
  return out;
}

std::string Entry(const DBObjects& t, uint32_t id) {
  auto e = t.GetTable().find(id);
  if (e == t.GetTable().end()) return "none";
  return "(" + std::to_string(e->second.offset) + "," + std::to_string(e->second.used) + "," +
         std::to_string(e->second.allocated) + ")";
}

// A table whose free list holds one block of the given length at 1000,
// freed before the last commit.
DBObjects WithFreeBlock(uint32_t length) {
  DBObjects t(2000);
  t.SetEndOffset(1000);
  t.Allocate(2000, length);
  t.Free(2000);
  t.Settle();
  return t;
}

TEST(DBObjects, PlacesANewObject) {
  const struct {
    const char* name;
    uint32_t block, request;
    const char* wantEntry;
    const char* wantFree;
  } kCases[] = {
      {"split: small request, large remainder", 4000, 100, "(1000,100,100)", "(1100,3900)"},
      {"whole block: 75% used", 4000, 3000, "(1000,3000,4000)", ""},
      {"whole block: remainder under 2048", 2100, 100, "(1000,100,2100)", ""},
      {"exact fit", 500, 500, "(1000,500,500)", ""},
      {"no block fits: placed at the end", 50, 100, "(1050,100,100)", "(1000,50)"},
  };
  for (const auto& c : kCases) {
    DBObjects t = WithFreeBlock(c.block);
    const uint32_t offset = t.Allocate(1024, c.request);
    EXPECT_EQ(c.wantEntry, Entry(t, 1024)) << c.name;
    EXPECT_EQ(offset, t.GetOffset(1024)) << c.name;
    EXPECT_EQ(c.wantFree, FreeBlocks(t)) << c.name;
  }
}

TEST(DBObjects, RewritesInPlaceOrRelocates) {
  DBObjects t(2000);
  t.SetEndOffset(100);
  EXPECT_EQ(100u, t.Allocate(1024, 500));
  EXPECT_EQ(600u, t.Allocate(1025, 10));  // consecutive from the end offset

  EXPECT_EQ(100u, t.Allocate(1024, 300));  // shrank: same block, only the used length changes
  EXPECT_EQ("(100,300,500)", Entry(t, 1024));
  EXPECT_EQ(100u, t.Allocate(1024, 500));  // grows back into its slack

  EXPECT_EQ(610u, t.Allocate(1024, 501));  // outgrew its block
  EXPECT_EQ("(610,501,501)", Entry(t, 1024));
  EXPECT_EQ("(100,500)", FreeBlocks(t));
  EXPECT_EQ(1111u, t.GetEndOffset());
}

// A freed block goes before the blocks of its length, and among equals the
// first one is taken.
TEST(DBObjects, TakesTheSmallestFittingBlockFirstAmongEquals) {
  DBObjects t(2000);
  t.SetEndOffset(10);
  t.Allocate(1, 300);   // 10
  t.Allocate(2, 200);   // 310
  t.Allocate(3, 200);   // 510
  t.Free(1);
  t.Free(2);
  t.Free(3);
  t.Settle();
  EXPECT_EQ("(510,200)(310,200)(10,300)", FreeBlocks(t));
  EXPECT_EQ(510u, t.Allocate(1024, 150));
}

// Until the next commit the stored database still reads the blocks given
// up since the last one: a save writes beside them.
TEST(DBObjects, BlocksGivenUpWaitForTheCommit) {
  DBObjects t(2000);
  t.SetEndOffset(100);
  t.Allocate(1024, 500);  // 100
  t.Settle();
  EXPECT_EQ(600u, t.AllocateElsewhere(1024, 400));  // never its present block
  t.Free(1024);
  EXPECT_EQ("(600,400)(100,500)", FreeBlocks(t));
  EXPECT_EQ(1000u, t.Allocate(1025, 300));  // both are held
  t.Settle();
  EXPECT_EQ(600u, t.Allocate(1026, 300));
}

// Read from a file, the blocks must lie inside it and apart: one handed out
// over a live object would be overwritten by the next save.
TEST(DBObjects, CheckRefusesBlocksThatOverlapOrPassTheEnd) {
  const struct {
    const char* name;
    std::vector<ObjectEntry> entries;
    std::vector<FreeEntry> free;
    bool valid;
  } kCases[] = {
      {"apart and inside", {{0, 100, 100}, {100, 50, 60}}, {{160, 40}}, true},
      {"free block over an object", {{0, 100, 100}}, {{50, 100}}, false},
      {"two objects in one block", {{0, 100, 100}, {99, 1, 1}}, {}, false},
      {"object past the end", {{150, 50, 51}}, {}, false},
      {"free block past the end", {}, {{190, 20}}, false},
      {"used above allocated", {{0, 20, 10}}, {}, false},
      {"same free block twice", {}, {{0, 10}, {0, 10}}, false},
  };
  for (const auto& c : kCases) {
    MemoryStream s;
    DBObjects::ObjectTable table(10);
    uint32_t id = 1024;
    for (const ObjectEntry& e : c.entries) table[id++] = e;
    DBObjects::FreeList free(10);
    for (const FreeEntry& f : c.free) free.push_back(f);
    table.Save(s.stream);
    free.Save(s.stream);
    s.memory.Seek(0, SeekFrom::Start);
    DBObjects t(10);
    t.ReadContents(s.stream);
    if (c.valid) {
      EXPECT_NO_THROW(t.Check(200)) << c.name;
    } else {
      EXPECT_THROW(t.Check(200), InvalidDatabase) << c.name;
    }
  }
}

TEST(DBObjects, FreeingAndUnknownIDs) {
  DBObjects t(2000);
  EXPECT_EQ(0u, t.GetOffset(1024));
  try {
    t.Free(1024);
    FAIL() << "no assertion";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 194 in DBObjects", e.GetMessageText());
  }
  EXPECT_EQ("", FreeBlocks(t));
}

// An object placed at offset 0 could not be told from a missing one, so a
// freed block there goes back only to the database object.
TEST(DBObjects, OffsetZeroIsKeptForTheDatabaseObject) {
  DBObjects t(2000);
  EXPECT_EQ(0u, t.Allocate(Database::kDatabaseObjectID, 100));
  EXPECT_EQ(100u, t.Allocate(Database::kDatabaseObjectID, 200));  // moved: (0,100) is free
  EXPECT_EQ(300u, t.Allocate(1024, 50));
  EXPECT_EQ("(0,100)", FreeBlocks(t));
}

TEST(DBObjects, StoredSizesFollowTheCapacity) {
  DBObjects big(2000), film(100);
  EXPECT_EQ(45065u, big.SerialisedSize());
  EXPECT_EQ(40023u, big.GetTable().SerialisedSize());
  EXPECT_EQ(5026u, big.GetFreeList().SerialisedSize());
  EXPECT_EQ(2315u, film.SerialisedSize());
  EXPECT_EQ(2023u, film.GetTable().SerialisedSize());
  EXPECT_EQ(276u, film.GetFreeList().SerialisedSize());
  big.SetCapacity(100);
  EXPECT_EQ(2315u, big.SerialisedSize());
}

TEST(DBObjects, ReadingSortsTheFreeListByLength) {
  // A free list stored out of order, as another writer might leave it.
  DBObjects::ObjectTable table(4);
  table[1024] = ObjectEntry{0, 10, 10};
  DBObjects::FreeList list(4);
  list.push_back(FreeEntry{10, 500});
  list.push_back(FreeEntry{20, 100});
  MemoryStream s;
  s.stream.WriteBeginObject();
  s.stream.WriteString("DBObjects");
  table.Save(s.stream);
  list.Save(s.stream);
  s.stream.WriteEndObject();
  s.stream.Seek(0, SeekFrom::Start);

  DBObjects t(2000);
  t.Load(s.stream);
  EXPECT_EQ("(20,100)(10,500)", FreeBlocks(t));
  EXPECT_EQ("(0,10,10)", Entry(t, 1024));
  EXPECT_EQ(4u, t.GetTable().GetCapacity());  // the stored capacity replaces the given one
}

TEST(DBObjects, Dump) {
  DBObjects empty(2000);
  std::ostringstream a;
  empty.Dump(a);
  EXPECT_EQ("0 object(s) saved in the database: \n0 fragmented block(s) in the database: \n",
            a.str());

  DBObjects t(2000);
  t.Allocate(1024, 300);
  t.Allocate(1025, 100);
  t.Allocate(1024, 200);  // 100 of its 300 wasted
  t.Allocate(1026, 50);
  t.Free(1026);
  std::ostringstream b;
  t.Dump(b);
  EXPECT_EQ(
      "2 object(s) saved in the database: \n"
      "average wasted size per block: 50\n"
      "average wasted percentage per block: 25%\n"
      "1 fragmented block(s) in the database: \n"
      "offset: 400\n"
      "length: 50\n",
      b.str());
}

}  // namespace
