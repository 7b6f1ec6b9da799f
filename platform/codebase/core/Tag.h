#pragma once
// Index tags. Their definitions are kept in a small text file beside the
// table ("<table>.tags": one line per tag, its name and the field it
// orders by), so every program that opens the table has them, and in the
// table's own field descriptors, from which a lost tag file is written
// again; the order itself is built in memory when the table opens and kept
// current.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Format.h"

namespace xbase {

struct TagDef {
  std::string name;
  std::string field;
};

Code ParseTagFile(std::string_view text, std::vector<TagDef>& tags, std::string& why);
std::string FormatTagFile(const std::vector<TagDef>& tags);

// One tag's order: every row's key, sorted by key and then by row number.
// Character keys compare byte by byte with trailing blanks ignored and
// letter case kept; numeric keys compare as numbers.
class Tag {
 public:
  struct Key {
    std::string text;
    double number = 0;
  };
  struct Entry {
    Key key;
    uint32_t row;
  };
  struct Less {
    bool numeric;
    bool operator()(const Entry& a, const Entry& b) const;
  };
  using Set = std::set<Entry, Less>;
  using Iterator = Set::const_iterator;

  Tag(std::string name, int field, const Field& def);

  const std::string& Name() const { return name_; }
  int FieldIndex() const { return field_; }

  Key KeyOf(const uint8_t* record) const;
  // The key a seek text stands for; false when a numeric tag's text is no number.
  bool KeyFromText(std::string_view text, Key& key) const;
  bool Equal(const Key& a, const Key& b) const;

  // Replaces the whole order; `entries` may come in any order.
  void Build(std::vector<Entry> entries);
  void Add(uint32_t row, Key key);
  void Remove(uint32_t row);
  size_t Size() const { return entries_.size(); }

  Iterator Begin() const { return entries_.begin(); }
  Iterator End() const { return entries_.end(); }
  Iterator Find(const Key& key) const;  // first entry with the key, or End()
  // The row's place in the order; End() when the row is not indexed.
  Iterator At(uint32_t row) const;

 private:
  std::string name_;
  int field_;
  Field def_;
  Set entries_;
  std::vector<Iterator> byRow_;  // row number to its entry
};

}  // namespace xbase
