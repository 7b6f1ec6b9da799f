#include <gtest/gtest.h>

#include "StoreTestSupport.h"
#include "TestObjects.h"
#include "store/DBObjects.h"
#include "store/DbPtr.h"
#include "store/Exception.h"

namespace {

using FreeList = DBObjects::FreeList;
using ObjectTable = DBObjects::ObjectTable;
using Children = db_vector<db_ptr_traits<Note>>;

// Capacity and count as written at the start of the contents.
std::pair<uint32_t, uint32_t> StoredCapacityAndCount(Persistent& container) {
  MemoryStream s;
  container.Save(s.stream);
  EXPECT_EQ(container.SerialisedSize(), s.memory.Bytes().size());
  s.stream.Seek(0, SeekFrom::Start);
  s.stream.ReadBeginObject();
  std::string name;
  s.stream.ReadString(name);
  uint32_t capacity = 0, count = 0;
  s.stream.ReadUInt32(capacity);
  s.stream.ReadUInt32(count);
  return {capacity, count};
}

TEST(db_vector, CapacityGrowsByHalfWhenOutgrown) {
  const struct { uint32_t count, wantCapacity; } kCases[] = {
      {3, 500}, {500, 500}, {501, 750}, {749, 750}, {750, 1000}, {800, 1050},
  };
  for (const auto& c : kCases) {
    FreeList list(500);
    list.resize(c.count);
    EXPECT_EQ(16u + 10 + 10 * c.wantCapacity, list.SerialisedSize()) << c.count;
    EXPECT_EQ(std::make_pair(c.wantCapacity, c.count), StoredCapacityAndCount(list)) << c.count;
  }
}

TEST(db_vector, AnExactSizeVectorStoresItsCount) {
  Children children(1000);
  children.SetExactSize();
  for (int i = 0; i < 4; ++i) children.push_back(db_ptr<Note>());
  EXPECT_EQ(std::make_pair(4u, 4u), StoredCapacityAndCount(children));
  EXPECT_EQ(16u + 10 + 4 * 10, children.SerialisedSize());
}

TEST(db_vector, ReadsElementsAndSkipsEmptySlots) {
  FreeList written(10);
  written.push_back(FreeEntry{5, 6});
  written.push_back(FreeEntry{7, 8});
  MemoryStream s;
  written.Save(s.stream);
  s.stream.WriteUInt32(99);
  s.stream.Seek(0, SeekFrom::Start);

  FreeList list(0);
  list.push_back(FreeEntry{1, 1});  // cleared by reading
  list.Load(s.stream);
  ASSERT_EQ(2u, list.size());
  EXPECT_EQ(7u, list[1].offset);
  EXPECT_EQ(10u, list.GetCapacity());
  uint32_t next = 0;
  s.stream.ReadUInt32(next);
  EXPECT_EQ(99u, next);
}

TEST(db_map, ReadingKeepsEntriesAndReplacesStoredKeys) {
  ObjectTable written(8);
  written[1024] = ObjectEntry{1, 2, 3};
  written[1025] = ObjectEntry{4, 5, 6};
  MemoryStream s;
  written.Save(s.stream);
  s.stream.Seek(0, SeekFrom::Start);

  ObjectTable table(2);
  table[1024] = ObjectEntry{9, 9, 9};
  table[7] = ObjectEntry{7, 7, 7};
  table.Load(s.stream);
  EXPECT_EQ(3u, table.size());
  EXPECT_EQ(1u, table[1024].offset);
  EXPECT_EQ(7u, table[7].offset);
  EXPECT_EQ(8u, table.GetCapacity());
  EXPECT_EQ(s.memory.Bytes().size(), s.stream.Tell());
}

// A stored count is checked against the capacity and the bytes left before
// anything is reserved or skipped.
TEST(Containers, RefuseDamagedCounts) {
  auto stored = [](const char* name, uint32_t capacity, uint32_t count) {
    return Encode([&](Stream& s) {
      s.WriteBeginObject();
      s.WriteString(name);
      s.WriteUInt32(capacity);
      s.WriteUInt32(count);
      s.WriteEndObject();
    });
  };
  {
    MemoryStream s(stored("db_vector", 2, 3));
    FreeList list(0);
    EXPECT_THROW(list.Load(s.stream), InvalidDatabase);
  }
  {
    MemoryStream s(stored("db_vector", 0xFFFFFFFF, 0xFFFFFFFF));
    FreeList list(0);
    EXPECT_THROW(list.Load(s.stream), StreamReadError);
  }
  {
    MemoryStream s(stored("db_map", 1, 0x80000000));
    ObjectTable table(0);
    EXPECT_THROW(table.Load(s.stream), InvalidDatabase);
  }
  {
    MemoryStream s(stored("db_map", 0x40000000, 0));
    ObjectTable table(0);
    EXPECT_THROW(table.Load(s.stream), StreamReadError);
  }
}

TEST(db_ptr, WithoutIDsPointsNowhere) {
  db_ptr<Note> none;
  EXPECT_EQ(nullptr, none.Get());
  EXPECT_TRUE(none.Is(nullptr));
  EXPECT_EQ("0A 00 00 00 00 0A 00 00 00 00",
            Hex(Encode([&](Stream& s) { none.WriteCheckedContents(s); })));

  // A database that is not open gives no target and no error.
  MemoryStream s(Join({0x0A, 0, 0, 4, 0, 0x0A, 0x7F, 0x7F, 0x7F, 0x7F}));
  db_ptr<Note> elsewhere;
  elsewhere.ReadContents(s.stream);
  EXPECT_EQ(1024u, elsewhere.GetObjectID());
  EXPECT_EQ(nullptr, elsewhere.Get());
}

TEST(db_ptr, SetAndCopy) {
  Note a, b;
  db_ptr<Note> p(&a);
  EXPECT_EQ(&a, p.Get());
  EXPECT_TRUE(p.Is(&a));
  db_ptr<Note> copy(p);
  copy.Set(&b);
  EXPECT_EQ(&a, p.Get());
  EXPECT_EQ(&b, copy.Get());
}

}  // namespace
