#include <gtest/gtest.h>

#include <sstream>

#include "StoreTestSupport.h"
#include "store/DBRoots.h"
#include "store/Exception.h"

namespace {

// The stored form of roots with the given capacity, count and slots; the
// empty slots are written only for small capacities.
Bytes StoredRoots(uint32_t capacity, uint32_t count, const std::vector<std::string>& names) {
  return Encode([&](Stream& s) {
    s.WriteBeginObject();
    s.WriteString("DBRoots");
    s.WriteUInt32(capacity);
    s.WriteUInt32(count);
    uint32_t id = 1024;
    for (const std::string& name : names) {
      s.WriteBlock(name, 32);
      s.WriteUInt32(id++);
    }
    for (uint32_t i = static_cast<uint32_t>(names.size()); i < capacity && capacity < 100; ++i) {
      s.WriteBlock("", 32);
      s.WriteUInt32(0);
    }
    s.WriteEndObject();
  });
}

TEST(DBRoots, StoredSizeHoldsEverySlot) {
  DBRoots roots(64), film(30);
  EXPECT_EQ(2954u, roots.SerialisedSize() - roots.EnvelopeSize());
  EXPECT_EQ(2968u, roots.SerialisedSize());
  EXPECT_EQ(1404u, film.SerialisedSize());
  roots.Add("Actions", 1024);
  EXPECT_EQ(2968u, roots.SerialisedSize());
  EXPECT_EQ(2968u, Encode([&](Stream& s) { roots.Save(s); }).size());
}

TEST(DBRoots, ReadingPassesOverTheEmptySlots) {
  DBRoots written(64);
  written.Add("Preferences", 1025);
  written.Add("Actions", 1024);
  MemoryStream s;
  written.Save(s.stream);
  s.stream.WriteUInt32(99);
  s.stream.Seek(0, SeekFrom::Start);

  DBRoots roots(30);
  roots.Load(s.stream);
  EXPECT_EQ(64u, roots.GetCapacity());
  EXPECT_EQ(1024u, roots.Find("Actions"));
  EXPECT_EQ(1025u, roots.Find("Preferences"));
  EXPECT_EQ(0u, roots.Find("actions"));
  uint32_t next = 0;
  s.stream.ReadUInt32(next);
  EXPECT_EQ(99u, next);
}

TEST(DBRoots, NamesAreCutToTheirStoredLength) {
  const std::string longName(40, 'n');
  DBRoots roots(4);
  roots.Add(longName, 1024);
  EXPECT_EQ(0u, roots.Find(longName));
  EXPECT_EQ(1024u, roots.Find(longName.substr(0, 32)));
  // Two names that would be cut to one are one root.
  roots.Add(longName.substr(0, 32) + "other", 1025);
  EXPECT_EQ(1u, roots.GetRoots().size());
  EXPECT_EQ(1025u, roots.Find(longName.substr(0, 32)));
}

TEST(DBRoots, NoMoreRootsThanTheCapacity) {
  DBRoots roots(1);
  roots.Add("a", 1024);
  roots.Add("a", 1025);  // replacing needs no new slot
  EXPECT_THROW(roots.Add("b", 1026), DatabaseException);
  EXPECT_EQ(1u, roots.GetRoots().size());
}

TEST(DBRoots, DamagedStoredForms) {
  {
    MemoryStream s(StoredRoots(4, 2, {"twice", "twice"}));
    DBRoots roots(4);
    try {
      roots.Load(s.stream);
      FAIL() << "no assertion";
    } catch (const Assertion& e) {
      EXPECT_EQ("Assertion failed, line 51 in DBRoots", e.GetMessageText());
    }
    EXPECT_EQ(1024u, roots.Find("twice"));  // what was read stays
  }
  {
    // More roots than slots would skip a negative number of slots.
    MemoryStream s(StoredRoots(1, 2, {"a", "b"}));
    DBRoots roots(4);
    EXPECT_THROW(roots.Load(s.stream), InvalidDatabase);
  }
  {
    // Slots that the data does not hold.
    MemoryStream s(StoredRoots(0x10000000, 1, {"a"}));
    DBRoots roots(4);
    EXPECT_THROW(roots.Load(s.stream), StreamReadError);
  }
}

TEST(DBRoots, DumpListsNamesInOrder) {
  DBRoots roots(4);
  roots.Add("Preferences", 1025);
  roots.Add("Actions", 1024);
  std::ostringstream out;
  roots.Dump(out);
  EXPECT_EQ(
      "2 root(s) found in database:\n"
      "name: Actions, object id: 1024\n"
      "name: Preferences, object id: 1025\n",
      out.str());
}

}  // namespace
