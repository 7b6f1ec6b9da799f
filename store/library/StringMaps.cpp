#include "StringMaps.h"

#include <list>
#include <ostream>

#include "TokenScanner.h"
#include "store/StrStream.h"
#include "store/Stream.h"

namespace {
PersistentMaker<ActionParameters> gActionParametersMaker("ActionParameters");
PersistentMaker<Dictionary> gDictionaryMaker("Dictionary");
}  // namespace

uint32_t db_string_map::SerialisedSize() const {
  uint32_t size = Persistent::SerialisedSize() + 5;
  for (const auto& entry : *this) {
    size += static_cast<uint32_t>(entry.first.size()) + 5;
    size += static_cast<uint32_t>(entry.second.size()) + 5;
  }
  return size;
}

void db_string_map::ReadContents(Stream& stream) {
  uint32_t count = 0;
  stream.ReadUInt32(count);
  // Every entry takes at least ten bytes, so a damaged count ends at the
  // end of the data.
  for (uint32_t i = 0; i < count; ++i) {
    std::string key, value;
    stream.ReadString(key);
    stream.ReadString(value);
    (*this)[key] = value;
  }
}

void db_string_map::WriteContents(Stream& stream) {
  stream.WriteUInt32(static_cast<uint32_t>(size()));
  for (const auto& entry : *this) {
    stream.WriteString(entry.first);
    stream.WriteString(entry.second);
  }
}

void ActionParameters::Parse(const std::string& text) {
  const TokenScanner items(",", "\"");
  const TokenScanner parts("= \t,", "\"");
  std::list<std::string> itemTokens;
  items.Scan(text, itemTokens);
  for (const std::string& item : itemTokens) {
    std::list<std::string> tokens;
    parts.Scan(item, tokens);
    if (tokens.size() != 2) return;
    std::string value = tokens.back();
    StripQuotes(value);
    (*this)[tokens.front()] = value;
  }
}

void ActionParameters::Dump(std::ostream& out) const {
  bool first = true;
  for (const auto& entry : *this) {
    if (!first) out << ", ";
    first = false;
    out << entry.first << "=" << entry.second;
  }
}

bool Dictionary::GetValue(const std::string& key, std::string& value) const {
  const auto found = find(key);
  if (found == end()) {
    value.clear();
    return false;
  }
  value = found->second;
  return true;
}

void Dictionary::Dump(std::ostream& out) const {
  for (const auto& entry : *this) out << entry.first << "=\"" << entry.second << "\"\n";
}
