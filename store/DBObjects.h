#pragma once
// The space manager of one database: where each stored object's block lies
// in the data area and how large it is, and the blocks given up for reuse.
// It hands out offsets (relative to the data start); the Database writes.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <set>
#include <vector>

#include "Containers.h"

struct ObjectEntry {
  uint32_t offset = 0;
  uint32_t used = 0;       // bytes of the object's current stored form
  uint32_t allocated = 0;  // size of the block, never below used
};

struct FreeEntry {
  uint32_t offset = 0;
  uint32_t length = 0;
};

struct ObjectEntryTraits {
  using value_type = ObjectEntry;
  static constexpr uint32_t kSize = 15;
  static void Read(Stream& stream, ObjectEntry& entry);
  static void Write(Stream& stream, const ObjectEntry& entry);
};

struct ObjectListTraits {
  using value_type = FreeEntry;
  static constexpr uint32_t kSize = 10;
  static void Read(Stream& stream, FreeEntry& entry);
  static void Write(Stream& stream, const FreeEntry& entry);
};

class DBObjects : public Persistent {
public:
  using ObjectTable = db_map<db_persist_traits<uint32_t>, ObjectEntryTraits, std::less<uint32_t>>;
  using FreeList = db_vector<ObjectListTraits, std::allocator<FreeEntry>>;

  explicit DBObjects(uint32_t capacity);

  // The object table holds n slots, the free list n / 4.
  void SetCapacity(uint32_t capacity);
  // Blocks for new objects are placed from here on.
  void SetEndOffset(uint32_t endOffset) { fEndOffset = endOffset; }
  uint32_t GetEndOffset() const { return fEndOffset; }

  // Where the object with this ID of this stored size is to be written.
  uint32_t Allocate(uint32_t id, uint32_t size);
  // As Allocate, but never in the object's present block: a save writes
  // beside what the stored database still reads.
  uint32_t AllocateElsewhere(uint32_t id, uint32_t size);
  // Blocks given up since the last commit may still be read by the stored
  // database; they are handed out again only after the next commit.
  void Settle() { fHeld.clear(); }

  // Everything a save changes here, so that a failed save can be undone.
  struct SavePoint {
    std::map<uint32_t, ObjectEntry> table;
    std::vector<FreeEntry> freeList;
    uint32_t tableCapacity = 0, freeListCapacity = 0;
    uint32_t endOffset = 0;
    std::set<uint32_t> held;
  };
  SavePoint Remember() const;
  void Restore(const SavePoint& point);
  // Throws InvalidDatabase unless every block lies within dataSize bytes,
  // holds what it says and overlaps no other block.
  void Check(uint64_t dataSize) const;
  // The first offset past every block in use or free.
  uint64_t GetBlocksEnd() const;
  // 0 also for an ID without an entry.
  uint32_t GetOffset(uint32_t id) const;
  bool HasEntry(uint32_t id) const { return fTable.count(id) != 0; }
  // Gives the object's block to the free list; the ID must have an entry.
  void Free(uint32_t id);

  const ObjectTable& GetTable() const { return fTable; }
  const FreeList& GetFreeList() const { return fFreeList; }

  std::string ClassName() const override { return "DBObjects"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;
  void Dump(std::ostream& out) const override;

private:
  void Release(ObjectTable::iterator entry);
  void InsertFree(const FreeEntry& block);

  ObjectTable fTable;
  FreeList fFreeList;
  uint32_t fEndOffset = 0;  // not stored
  std::set<uint32_t> fHeld;  // offsets of free blocks not to hand out yet
};
