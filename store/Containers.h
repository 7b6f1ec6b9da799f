#pragma once
// Stored sequences and maps. Their stored form always reserves `capacity`
// slots, so the size of the object holding them does not change while the
// count stays within it and the object can be rewritten in place.
//
// Traits give an element's stored size (kSize), and Read and Write it.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "Exception.h"
#include "Persistent.h"
#include "Stream.h"

namespace store_detail {

// When the count has outgrown the capacity, grow it by half (or to the
// count plus half when that is not enough). It never shrinks.
inline uint32_t GrownCapacity(uint32_t capacity, uint32_t count) {
  if (count <= capacity) return capacity;
  const uint32_t grown = capacity + capacity / 2;
  return grown > count ? grown : count + capacity / 2;
}

// Validates a stored capacity and count before anything is allocated or
// skipped: the count fits the capacity and every slot is in the data.
inline void CheckStoredSlots(Stream& stream, uint32_t capacity, uint32_t count, uint32_t slotSize,
                             const char* what) {
  if (count > capacity) throw InvalidDatabase(std::string(what) + ": count above capacity");
  stream.RequireRemaining(static_cast<uint64_t>(capacity) * slotSize);
}

inline void SkipEmptySlots(Stream& stream, uint32_t capacity, uint32_t count, uint32_t slotSize) {
  stream.Seek(static_cast<int64_t>(static_cast<uint64_t>(capacity - count) * slotSize),
              SeekFrom::Current);
}

}  // namespace store_detail

template <class Traits, class Alloc = std::allocator<typename Traits::value_type>>
class db_vector : public Persistent, public std::vector<typename Traits::value_type, Alloc> {
public:
  using Element = typename Traits::value_type;
  using Base = std::vector<Element, Alloc>;

  explicit db_vector(uint32_t capacity = 0) : fCapacity(capacity) {}

  // From now on the stored capacity equals the count.
  void SetExactSize() { fExactSize = true; }
  uint32_t GetCapacity() const { return fCapacity; }
  void SetCapacity(uint32_t capacity) { fCapacity = capacity; }

  std::string ClassName() const override { return "db_vector"; }

  uint32_t SerialisedSize() const override {
    return Persistent::SerialisedSize() + 10 + Traits::kSize * ApplyCapacityRule();
  }

  void ReadContents(Stream& stream) override {
    Base::clear();
    uint32_t capacity = 0, count = 0;
    stream.ReadUInt32(capacity);
    stream.ReadUInt32(count);
    store_detail::CheckStoredSlots(stream, capacity, count, Traits::kSize, "db_vector");
    fCapacity = capacity;
    Base::reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      Element element{};
      Traits::Read(stream, element);
      Base::push_back(element);
    }
    if (!stream.IsValid()) throw Assertion("Assertion failed", 53, "db_vector");
    store_detail::SkipEmptySlots(stream, capacity, count, Traits::kSize);
  }

  void WriteContents(Stream& stream) override {
    const uint32_t capacity = ApplyCapacityRule();
    const uint32_t count = Count();
    stream.WriteUInt32(capacity);
    stream.WriteUInt32(count);
    for (Element& element : *this) Traits::Write(stream, element);
    Element empty{};
    for (uint32_t i = count; i < capacity; ++i) Traits::Write(stream, empty);
  }

private:
  uint32_t Count() const { return static_cast<uint32_t>(Base::size()); }
  // Sizing and writing both apply the rule and keep its result.
  uint32_t ApplyCapacityRule() const {
    fCapacity = fExactSize ? Count() : store_detail::GrownCapacity(fCapacity, Count());
    return fCapacity;
  }

  mutable uint32_t fCapacity;
  bool fExactSize = false;
};

template <class KeyTraits, class ValueTraits,
          class Compare = std::less<typename KeyTraits::value_type>>
class db_map : public Persistent,
               public std::map<typename KeyTraits::value_type, typename ValueTraits::value_type,
                               Compare> {
public:
  using Key = typename KeyTraits::value_type;
  using Value = typename ValueTraits::value_type;
  using Base = std::map<Key, Value, Compare>;
  static constexpr uint32_t kSlotSize = KeyTraits::kSize + ValueTraits::kSize;

  explicit db_map(uint32_t capacity = 0) : fCapacity(capacity) {}

  uint32_t GetCapacity() const { return fCapacity; }
  void SetCapacity(uint32_t capacity) { fCapacity = capacity; }

  std::string ClassName() const override { return "db_map"; }

  uint32_t SerialisedSize() const override {
    return Persistent::SerialisedSize() + 10 + kSlotSize * ApplyCapacityRule();
  }

  // Entries present before reading stay; a stored key replaces its value.
  void ReadContents(Stream& stream) override {
    uint32_t capacity = 0, count = 0;
    stream.ReadUInt32(capacity);
    stream.ReadUInt32(count);
    store_detail::CheckStoredSlots(stream, capacity, count, kSlotSize, "db_map");
    fCapacity = capacity;
    for (uint32_t i = 0; i < count; ++i) {
      Key key{};
      Value value{};
      KeyTraits::Read(stream, key);
      ValueTraits::Read(stream, value);
      (*this)[key] = value;
    }
    if (!stream.IsValid()) throw Assertion("Assertion failed", 49, "db_map");
    store_detail::SkipEmptySlots(stream, capacity, count, kSlotSize);
  }

  void WriteContents(Stream& stream) override {
    const uint32_t capacity = ApplyCapacityRule();
    const uint32_t count = Count();
    stream.WriteUInt32(capacity);
    stream.WriteUInt32(count);
    for (auto& entry : *this) {
      Key key = entry.first;
      KeyTraits::Write(stream, key);
      ValueTraits::Write(stream, entry.second);
    }
    Key emptyKey{};
    Value emptyValue{};
    for (uint32_t i = count; i < capacity; ++i) {
      KeyTraits::Write(stream, emptyKey);
      ValueTraits::Write(stream, emptyValue);
    }
  }

private:
  uint32_t Count() const { return static_cast<uint32_t>(Base::size()); }
  uint32_t ApplyCapacityRule() const {
    fCapacity = store_detail::GrownCapacity(fCapacity, Count());
    return fCapacity;
  }

  mutable uint32_t fCapacity;
};

// A number kept as one tagged unsigned 32-bit value.
template <class T>
struct db_persist_traits;

template <>
struct db_persist_traits<uint32_t> {
  using value_type = uint32_t;
  static constexpr uint32_t kSize = 5;
  static void Read(Stream& stream, uint32_t& value) { stream.ReadUInt32(value); }
  static void Write(Stream& stream, const uint32_t& value) { stream.WriteUInt32(value); }
};
