#include "DBRoots.h"

#include <ostream>

#include "Exception.h"
#include "Stream.h"

uint32_t DBRoots::Find(const std::string& name) const {
  auto root = fRoots.find(name);
  return root == fRoots.end() ? 0 : root->second;
}

void DBRoots::Add(const std::string& name, uint32_t id) {
  const std::string stored = name.substr(0, kNameCapacity);
  if (fRoots.count(stored) == 0 && fRoots.size() >= fCapacity) {
    throw DatabaseException("No room for another root");
  }
  fRoots[stored] = id;
}

uint32_t DBRoots::SerialisedSize() const {
  return Persistent::SerialisedSize() + 10 + kSlotSize * fCapacity;
}

// Roots already in memory stay; the stored ones are added to them.
void DBRoots::ReadContents(Stream& stream) {
  uint32_t capacity = 0, count = 0;
  stream.ReadUInt32(capacity);
  stream.ReadUInt32(count);
  // The unused slots are skipped as capacity - count of them.
  if (count > capacity) throw InvalidDatabase("DBRoots: count above capacity");
  stream.RequireRemaining(static_cast<uint64_t>(capacity) * kSlotSize);
  fCapacity = capacity;
  for (uint32_t i = 0; i < count; ++i) {
    std::string name;
    stream.ReadBlock(name);
    if (fRoots.count(name) != 0) throw Assertion("Assertion failed", 51, "DBRoots");
    uint32_t id = 0;
    stream.ReadUInt32(id);
    fRoots[name] = id;
  }
  if (!stream.IsValid()) throw Assertion("Assertion failed", 60, "DBRoots");
  stream.Seek(static_cast<int64_t>(static_cast<uint64_t>(capacity - count) * kSlotSize),
              SeekFrom::Current);
}

void DBRoots::WriteContents(Stream& stream) {
  const uint32_t count = static_cast<uint32_t>(fRoots.size());
  // The stored form has exactly capacity slots; more roots cannot be kept.
  if (count > fCapacity) throw DatabaseException("More roots than their capacity");
  stream.WriteUInt32(fCapacity);
  stream.WriteUInt32(count);
  for (const auto& root : fRoots) {
    stream.WriteBlock(root.first, kNameCapacity);
    stream.WriteUInt32(root.second);
  }
  for (uint32_t i = count; i < fCapacity; ++i) {
    stream.WriteBlock(std::string(), kNameCapacity);
    stream.WriteUInt32(0);
  }
}

void DBRoots::Dump(std::ostream& out) const {
  out << fRoots.size() << " root(s) found in database:" << '\n';
  for (const auto& root : fRoots) {
    out << "name: " << root.first << ", object id: " << root.second << '\n';
  }
}
