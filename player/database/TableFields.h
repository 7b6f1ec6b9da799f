#pragma once
// Reads and stores of one field of a table's current row by name. A field
// the table lacks is skipped: a store does nothing and a read leaves the
// value as it was.
#include <cstdint>
#include <cstdio>
#include <string>

#include "C4Dll.h"
#include "database/CDRecords.h"

namespace tablefields {

inline void GetNumber(C4Table* table, const char* name, int32_t& value) {
  if (C4Field* f = C4FindField(table, name)) value = C4GetNumber(f);
}

inline void GetNumber(C4Table* table, const char* name, int16_t& value) {
  if (C4Field* f = C4FindField(table, name)) value = int16_t(C4GetNumber(f));
}

// Character fields come back padded to their width: the value is trimmed.
inline void GetText(C4Table* table, const char* name, std::string& value) {
  if (C4Field* f = C4FindField(table, name)) {
    value = C4GetText(f);
    TrimTrailingBlanks(value);
  }
}

inline void GetMemo(C4Table* table, const char* name, std::string& value) {
  if (C4Field* f = C4FindField(table, name)) {
    value = C4GetMemo(f);
    TrimTrailingBlanks(value);
  }
}

template <std::size_t N>
void GetText(C4Table* table, const char* name, char (&buffer)[N]) {
  if (C4Field* f = C4FindField(table, name)) {
    std::string value = C4GetText(f);
    CopyToBuffer(buffer, TrimTrailingBlanks(value));
  }
}

inline void SetNumber(C4Table* table, const char* name, int32_t value) {
  if (C4Field* f = C4FindField(table, name)) C4SetNumber(f, value);
}

inline void SetText(C4Table* table, const char* name, const std::string& value) {
  if (C4Field* f = C4FindField(table, name)) C4SetText(f, value.c_str());
}

inline void SetMemo(C4Table* table, const char* name, const std::string& value) {
  if (C4Field* f = C4FindField(table, name)) C4SetMemo(f, value.c_str());
}

// Appends the row begun with C4AppendStart, numbered in `field` inside the
// append, so that no other program can take the same number; `number` gets
// it. A table that lacks the field appends the row unnumbered and leaves
// `number` as it was. The engine's code.
inline int32_t AppendNumbered(C4Table* table, const char* name, int32_t& number) {
  C4Field* f = C4FindField(table, name);
  if (!f) return C4Append(table);
  const int32_t code = C4AppendNumbered(table, f);
  if (code == C4_OK) number = C4GetNumber(f);
  return code;
}

// The key of a numeric tag: the number's decimal text. The buffer holds
// every 32-bit value, so a long number is never cut into another one.
inline std::string NumberKey(int32_t value) {
  char key[16];
  std::snprintf(key, sizeof key, "%d", static_cast<int>(value));
  return key;
}

}  // namespace tablefields
