#include "DBObjects.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "Database.h"

void ObjectEntryTraits::Read(Stream& stream, ObjectEntry& entry) {
  stream.ReadUInt32(entry.offset);
  stream.ReadUInt32(entry.used);
  stream.ReadUInt32(entry.allocated);
}

void ObjectEntryTraits::Write(Stream& stream, const ObjectEntry& entry) {
  stream.WriteUInt32(entry.offset);
  stream.WriteUInt32(entry.used);
  stream.WriteUInt32(entry.allocated);
}

void ObjectListTraits::Read(Stream& stream, FreeEntry& entry) {
  stream.ReadUInt32(entry.offset);
  stream.ReadUInt32(entry.length);
}

void ObjectListTraits::Write(Stream& stream, const FreeEntry& entry) {
  stream.WriteUInt32(entry.offset);
  stream.WriteUInt32(entry.length);
}

namespace {
bool ShorterThan(const FreeEntry& block, uint32_t length) { return block.length < length; }
bool Shorter(const FreeEntry& a, const FreeEntry& b) { return a.length < b.length; }
}  // namespace

DBObjects::DBObjects(uint32_t capacity) : fTable(capacity), fFreeList(capacity / 4) {}

void DBObjects::SetCapacity(uint32_t capacity) {
  fTable.SetCapacity(capacity);
  fFreeList.SetCapacity(capacity / 4);
}

uint32_t DBObjects::Allocate(uint32_t id, uint32_t size) {
  auto existing = fTable.find(id);
  if (existing != fTable.end()) {
    if (size <= existing->second.allocated) {
      existing->second.used = size;  // rewritten in place, even when it shrank
      return existing->second.offset;
    }
    Release(existing);
  }

  // The smallest block that fits. A block at offset 0 goes only to the
  // database object: for any other, offset 0 reads back as "no entry".
  auto block = std::lower_bound(fFreeList.begin(), fFreeList.end(), size, ShorterThan);
  while (block != fFreeList.end() &&
         ((block->offset == 0 && id != Database::kDatabaseObjectID) ||
          fHeld.count(block->offset) != 0)) {
    ++block;
  }

  ObjectEntry entry;
  if (block == fFreeList.end()) {
    // Offsets are 32-bit: a block that would wrap would overwrite the start.
    if (size > UINT32_MAX - fEndOffset) throw DatabaseException("Database is full");
    entry = ObjectEntry{fEndOffset, size, size};
    fEndOffset += size;
  } else {
    const FreeEntry found = *block;
    fFreeList.erase(block);
    const double usedPercent = static_cast<double>(size) / found.length * 100.0;
    if (usedPercent < 75.0 && found.length - size >= 2048) {
      InsertFree(FreeEntry{found.offset + size, found.length - size});
      entry = ObjectEntry{found.offset, size, size};
    } else {
      entry = ObjectEntry{found.offset, size, found.length};
    }
  }
  fTable[id] = entry;
  return entry.offset;
}

uint32_t DBObjects::AllocateElsewhere(uint32_t id, uint32_t size) {
  auto existing = fTable.find(id);
  if (existing != fTable.end()) Release(existing);
  return Allocate(id, size);
}

DBObjects::SavePoint DBObjects::Remember() const {
  return SavePoint{fTable, fFreeList, fTable.GetCapacity(), fFreeList.GetCapacity(), fEndOffset,
                   fHeld};
}

void DBObjects::Restore(const SavePoint& point) {
  static_cast<std::map<uint32_t, ObjectEntry>&>(fTable) = point.table;
  static_cast<std::vector<FreeEntry>&>(fFreeList) = point.freeList;
  fTable.SetCapacity(point.tableCapacity);
  fFreeList.SetCapacity(point.freeListCapacity);
  fEndOffset = point.endOffset;
  fHeld = point.held;
}

void DBObjects::Check(uint64_t dataSize) const {
  struct Block { uint64_t offset, length; };
  std::vector<Block> blocks;
  for (const auto& entry : fTable) {
    if (entry.second.used > entry.second.allocated) {
      throw InvalidDatabase("Database is not valid: an object is larger than its block");
    }
    blocks.push_back({entry.second.offset, entry.second.allocated});
  }
  for (const FreeEntry& block : fFreeList) blocks.push_back({block.offset, block.length});
  std::sort(blocks.begin(), blocks.end(),
            [](const Block& a, const Block& b) { return a.offset < b.offset; });
  uint64_t end = 0;
  for (const Block& block : blocks) {
    if (block.length == 0) continue;
    if (block.offset < end) throw InvalidDatabase("Database is not valid: blocks overlap");
    end = block.offset + block.length;
    if (end > dataSize) throw InvalidDatabase("Database is not valid: a block passes the end");
  }
}

uint64_t DBObjects::GetBlocksEnd() const {
  uint64_t end = 0;
  for (const auto& entry : fTable) {
    end = std::max(end, uint64_t{entry.second.offset} + entry.second.allocated);
  }
  for (const FreeEntry& block : fFreeList) {
    end = std::max(end, uint64_t{block.offset} + block.length);
  }
  return end;
}

uint32_t DBObjects::GetOffset(uint32_t id) const {
  auto entry = fTable.find(id);
  return entry == fTable.end() ? 0 : entry->second.offset;
}

void DBObjects::Free(uint32_t id) {
  auto entry = fTable.find(id);
  if (entry == fTable.end()) throw Assertion("Assertion failed", 194, "DBObjects");
  Release(entry);
}

// Neighbouring free blocks are not merged and the end never moves back, so
// the file does not get shorter.
void DBObjects::Release(ObjectTable::iterator entry) {
  InsertFree(FreeEntry{entry->second.offset, entry->second.allocated});
  fHeld.insert(entry->second.offset);
  fTable.erase(entry);
}

void DBObjects::InsertFree(const FreeEntry& block) {
  auto at = std::lower_bound(fFreeList.begin(), fFreeList.end(), block.length, ShorterThan);
  fFreeList.insert(at, block);
}

uint32_t DBObjects::SerialisedSize() const {
  return fTable.SerialisedSize() + Persistent::SerialisedSize() + fFreeList.SerialisedSize();
}

void DBObjects::ReadContents(Stream& stream) {
  fTable.Load(stream);
  fFreeList.Load(stream);
  std::stable_sort(fFreeList.begin(), fFreeList.end(), Shorter);
}

void DBObjects::WriteContents(Stream& stream) {
  fTable.Save(stream);
  fFreeList.Save(stream);
}

void DBObjects::Dump(std::ostream& out) const {
  out << fTable.size() << " object(s) saved in the database: " << '\n';
  if (!fTable.empty()) {
    uint64_t wasted = 0, used = 0, allocated = 0;
    for (const auto& entry : fTable) {
      wasted += entry.second.allocated - entry.second.used;
      used += entry.second.used;
      allocated += entry.second.allocated;
    }
    out << "average wasted size per block: " << wasted / fTable.size() << '\n';
    const double percent =
        allocated == 0 ? 0.0 : 100.0 - static_cast<double>(used) / allocated * 100.0;
    out << "average wasted percentage per block: " << percent << "%" << '\n';
  }
  out << fFreeList.size() << " fragmented block(s) in the database: " << '\n';
  for (const FreeEntry& block : fFreeList) {
    out << "offset: " << block.offset << '\n';
    out << "length: " << block.length << '\n';
  }
}
