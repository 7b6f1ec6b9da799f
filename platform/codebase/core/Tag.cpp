#include "Tag.h"

#include <algorithm>
#include <cstring>

namespace xbase {
namespace {

constexpr size_t kMaxTagFile = 64 * 1024;
constexpr size_t kMaxTags = 47;

bool ValidTagName(std::string_view s) {
  if (s.empty() || s.size() > 10) return false;
  for (char c : s)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
      return false;
  return true;
}

std::string_view NextWord(std::string_view& line) {
  size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  size_t j = i;
  while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
  std::string_view word = line.substr(i, j - i);
  line.remove_prefix(j);
  return word;
}

}  // namespace

Code ParseTagFile(std::string_view text, std::vector<TagDef>& tags, std::string& why) {
  if (text.size() > kMaxTagFile) {
    why = "the tag file is too large";
    return Code::Damaged;
  }
  std::vector<TagDef> out;
  int lineNo = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    TagDef def;
    std::string_view name = NextWord(line);
    if (name.empty()) continue;  // a blank line
    std::string_view field = NextWord(line);
    std::string_view rest = NextWord(line);
    if (!ValidTagName(name) || !ValidTagName(field) || !rest.empty()) {
      why = "line " + std::to_string(lineNo) + " of the tag file is not \"TAG FIELD\"";
      return Code::Damaged;
    }
    for (const TagDef& t : out) {
      if (SameName(t.name, name)) {
        why = "tag " + std::string(name) + " is defined twice";
        return Code::Damaged;
      }
    }
    if (out.size() == kMaxTags) {
      why = "the tag file defines too many tags";
      return Code::Damaged;
    }
    out.push_back({std::string(name), std::string(field)});
  }
  tags = std::move(out);
  return Code::Ok;
}

std::string FormatTagFile(const std::vector<TagDef>& tags) {
  std::string text;
  for (const TagDef& t : tags) text += t.name + " " + t.field + "\r\n";
  return text;
}

bool Tag::Less::operator()(const Entry& a, const Entry& b) const {
  if (numeric) {
    if (a.key.number != b.key.number) return a.key.number < b.key.number;
  } else {
    size_t n = std::min(a.key.text.size(), b.key.text.size());
    int c = n == 0 ? 0 : std::memcmp(a.key.text.data(), b.key.text.data(), n);
    if (c != 0) return c < 0;
    if (a.key.text.size() != b.key.text.size()) return a.key.text.size() < b.key.text.size();
  }
  return a.row < b.row;
}

Tag::Tag(std::string name, int field, const Field& def)
    : name_(std::move(name)), field_(field), def_(def), entries_(Less{def.IsNumeric()}) {}

Tag::Key Tag::KeyOf(const uint8_t* record) const {
  Key key;
  const char* p = reinterpret_cast<const char*>(record + def_.offset);
  if (def_.type == 'I') {
    key.number = int32_t(uint32_t(uint8_t(p[0])) | uint32_t(uint8_t(p[1])) << 8 |
                         uint32_t(uint8_t(p[2])) << 16 | uint32_t(uint8_t(p[3])) << 24);
  } else if (def_.IsNumeric()) {
    key.number = ReadNumberLenient(std::string_view(p, def_.width));
  } else {
    key.text = std::string(TrimBlanks(std::string_view(p, def_.width)));
  }
  return key;
}

bool Tag::KeyFromText(std::string_view text, Key& key) const {
  if (def_.IsNumeric()) {
    key.text.clear();
    return ReadNumberStrict(text, key.number);
  }
  key.text = std::string(TrimBlanks(text));
  key.number = 0;
  return true;
}

bool Tag::Equal(const Key& a, const Key& b) const {
  return def_.IsNumeric() ? a.number == b.number : a.text == b.text;
}

void Tag::Build(std::vector<Entry> entries) {
  entries_.clear();
  byRow_.assign(entries.size(), entries_.end());
  std::sort(entries.begin(), entries.end(), entries_.key_comp());
  for (Entry& e : entries) {
    uint32_t row = e.row;
    if (row >= byRow_.size()) byRow_.resize(size_t(row) + 1, entries_.end());
    Iterator it = entries_.emplace_hint(entries_.end(), std::move(e));
    byRow_[row] = it;
  }
}

void Tag::Add(uint32_t row, Key key) {
  if (row >= byRow_.size()) byRow_.resize(size_t(row) + 1, entries_.end());
  if (byRow_[row] != entries_.end()) entries_.erase(byRow_[row]);
  byRow_[row] = entries_.insert(Entry{std::move(key), row}).first;
}

void Tag::Remove(uint32_t row) {
  if (row >= byRow_.size() || byRow_[row] == entries_.end()) return;
  entries_.erase(byRow_[row]);
  byRow_[row] = entries_.end();
}

Tag::Iterator Tag::Find(const Key& key) const {
  Iterator it = entries_.lower_bound(Entry{key, 0});
  if (it == entries_.end() || !Equal(it->key, key)) return entries_.end();
  return it;
}

Tag::Iterator Tag::At(uint32_t row) const {
  return row < byRow_.size() ? byRow_[row] : entries_.end();
}

}  // namespace xbase
