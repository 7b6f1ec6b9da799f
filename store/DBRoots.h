#pragma once
// Named roots: the names through which a program finds its top objects in
// a database. The stored form always holds `capacity` slots, so its size
// does not change when roots come and go.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>

#include "Persistent.h"

class DBRoots : public Persistent {
public:
  static constexpr uint32_t kNameCapacity = 32;
  static constexpr uint32_t kSlotSize = 46;  // a 32-byte name block and an ID

  explicit DBRoots(uint32_t capacity) : fCapacity(capacity) {}

  void SetCapacity(uint32_t capacity) { fCapacity = capacity; }
  uint32_t GetCapacity() const { return fCapacity; }
  // The object ID stored under the name, 0 when there is none.
  uint32_t Find(const std::string& name) const;
  // Stores the name cut to its stored length, so two long names that would
  // be cut to one are caught now and not when the file is read back. A new
  // name beyond the capacity throws DatabaseException.
  void Add(const std::string& name, uint32_t id);
  const std::map<std::string, uint32_t>& GetRoots() const { return fRoots; }

  std::string ClassName() const override { return "DBRoots"; }
  uint32_t SerialisedSize() const override;
  void ReadContents(Stream& stream) override;
  void WriteContents(Stream& stream) override;
  void Dump(std::ostream& out) const override;

private:
  std::map<std::string, uint32_t> fRoots;
  uint32_t fCapacity;
};
