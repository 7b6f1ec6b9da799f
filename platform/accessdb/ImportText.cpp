#include "ImportText.h"

#include <cstring>
#include <vector>

namespace accessdb {
namespace {

constexpr size_t kTextSize = 200;  // every text of a row, its NUL included

// Offsets of the row's numbers, in the order of an ITEM line.
struct NumberSlot {
  size_t value;   // index among the line's values
  size_t offset;  // in the row
  bool narrow;    // the icon is a 16-bit number
};
constexpr NumberSlot kNumbers[] = {
    {0, 0, false},   {1, 4, false},   {2, 8, false},   {3, 12, false},  {4, 16, false},
    {6, 220, true},  {7, 224, false}, {8, 228, false}, {9, 232, false}, {10, 236, false},
    {11, 240, false}, {12, 244, false}, {13, 248, false},
};
constexpr struct {
  size_t value;
  size_t offset;
} kTexts[] = {{5, 20}, {14, 252}, {15, 452}, {16, 652}, {17, 852}, {18, 1052}};

constexpr size_t kLeastValues = 14;  // through the background track
constexpr size_t kMostValues = 19;

void StoreI32(uint8_t* p, int32_t v) {
  uint32_t u = uint32_t(v);
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(u >> (8 * i));
}

// Copies a text and its NUL into `size` bytes, cutting what does not fit.
void StoreText(uint8_t* p, size_t size, std::string_view text) {
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  if (n != 0) std::memcpy(p, text.data(), n);
  p[n] = 0;
}

bool ParseInt(std::string_view s, int64_t low, int64_t high, int32_t& out) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  if (i == s.size()) return false;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
    if (v > high - low) return false;  // far out of range already
  }
  if (negative) v = -v;
  if (v < low || v > high) return false;
  out = int32_t(v);
  return true;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> parts;
  for (;;) {
    size_t tab = line.find('\t');
    parts.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return parts;
    line.remove_prefix(tab + 1);
  }
}

Result Reject(uint8_t* buffer, std::string& why, int line, const std::string& what) {
  std::memset(buffer, 0, kBufferSize);
  why = "line " + std::to_string(line) + ": " + what;
  return Result::Malformed;
}

}  // namespace

Result FillImportBuffer(std::string_view text, uint8_t* buffer, std::string& why) {
  std::memset(buffer, 0, kBufferSize);
  if (text.size() > kMaxFileSize) {
    why = "the description is larger than a version-2 CD's can be";
    return Result::Unreadable;
  }
  int lineNo = 0;
  bool signature = false, alias = false;
  int rows = 0;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '#') continue;
    if (!signature) {
      if (line != "GHICD 2") return Reject(buffer, why, lineNo, "not a version-2 CD description");
      signature = true;
      continue;
    }
    std::vector<std::string_view> values = SplitTabs(line);
    std::string_view keyword = values.front();
    values.erase(values.begin());
    if (keyword == "ALIAS") {
      if (alias || values.size() != 1) return Reject(buffer, why, lineNo, "ALIAS takes one text, once");
      StoreText(buffer + kAliasOffset, kAliasSize, values[0]);
      alias = true;
    } else if (keyword == "ITEM") {
      if (values.size() < kLeastValues || values.size() > kMostValues)
        return Reject(buffer, why, lineNo, "ITEM takes 14 to 19 values");
      values.resize(kMostValues);
      uint8_t row[kRowSize] = {};
      for (const NumberSlot& n : kNumbers) {
        int32_t v = 0;
        bool ok = n.narrow ? ParseInt(values[n.value], INT16_MIN, INT16_MAX, v)
                           : ParseInt(values[n.value], INT32_MIN, INT32_MAX, v);
        if (!ok) return Reject(buffer, why, lineNo, "value " + std::to_string(n.value + 1) + " is no number");
        if (n.narrow) {
          row[n.offset] = uint8_t(uint16_t(v));
          row[n.offset + 1] = uint8_t(uint16_t(v) >> 8);
        } else {
          StoreI32(row + n.offset, v);
        }
      }
      for (const auto& t : kTexts) StoreText(row + t.offset, kTextSize, values[t.value]);
      // The buffer has room for 100 rows; the rest are read for their form only.
      if (rows < kMaxRows) std::memcpy(buffer + kRowsOffset + size_t(rows) * kRowSize, row, kRowSize);
      ++rows;
    } else {
      return Reject(buffer, why, lineNo, "unknown line \"" + std::string(keyword) + "\"");
    }
  }
  if (!signature) return Reject(buffer, why, lineNo, "not a version-2 CD description");
  StoreI32(buffer, rows < kMaxRows ? rows : kMaxRows);
  return rows > kMaxRows ? Result::Cut : Result::Ok;
}

}  // namespace accessdb
