#include "TableFields.h"

#include <cstring>

namespace cdfields {

std::string TrimTrailingBlanks(std::string text) {
  const size_t end = text.find_last_not_of(' ');
  text.erase(end == std::string::npos ? 0 : end + 1);
  return text;
}

void ReadNumber(C4Table* table, const char* field, int32_t& value) {
  if (C4Field* f = C4FindField(table, field)) value = C4GetNumber(f);
}

void ReadNumber(C4Table* table, const char* field, int16_t& value) {
  if (C4Field* f = C4FindField(table, field)) value = int16_t(uint16_t(uint32_t(C4GetNumber(f)) & 0xFFFFu));
}

namespace {
std::string Limited(const char* text, size_t limit) {
  if (!text) return std::string();
  std::string s(text, strnlen(text, limit));
  return TrimTrailingBlanks(std::move(s));
}
}  // namespace

void ReadText(C4Table* table, const char* field, std::string& value, size_t limit) {
  if (C4Field* f = C4FindField(table, field)) value = Limited(C4GetText(f), limit);
}

void ReadMemo(C4Table* table, const char* field, std::string& value, size_t limit) {
  if (C4Field* f = C4FindField(table, field)) value = Limited(C4GetMemo(f), limit);
}

void ReadText(C4Table* table, const char* field, char* value, size_t size) {
  C4Field* f = C4FindField(table, field);
  if (!f || size == 0) return;
  const std::string text = Limited(C4GetText(f), size - 1);
  std::memcpy(value, text.c_str(), text.size() + 1);
}

void WriteNumber(C4Table* table, const char* field, int32_t value) {
  if (C4Field* f = C4FindField(table, field)) C4SetNumber(f, value);
}

void WriteText(C4Table* table, const char* field, const std::string& value) {
  if (C4Field* f = C4FindField(table, field)) C4SetText(f, value.c_str());
}

void WriteMemo(C4Table* table, const char* field, const std::string& value) {
  if (C4Field* f = C4FindField(table, field)) C4SetMemo(f, value.c_str());
}

int32_t AppendNumbered(C4Table* table, const char* field, int32_t& number) {
  C4Field* f = C4FindField(table, field);
  if (!f) return C4Append(table);
  const int32_t code = C4AppendNumbered(table, f);
  if (code == C4_OK) number = C4GetNumber(f);
  return code;
}

std::string NumberKey(int32_t value) { return std::to_string(value); }

}  // namespace cdfields
