#pragma once
// Field access by name on the current row of a table. A field the table
// lacks is skipped: a read leaves the value as it was, a write does nothing.
#include <cstdint>
#include <string>

#include "C4Dll.h"

namespace cdfields {

// Blanks at the end go; blanks at the start stay.
std::string TrimTrailingBlanks(std::string text);

void ReadNumber(C4Table* table, const char* field, int32_t& value);
void ReadNumber(C4Table* table, const char* field, int16_t& value);  // the low 16 bits
// Texts are cut to `limit` characters, then trimmed.
void ReadText(C4Table* table, const char* field, std::string& value, size_t limit);
void ReadMemo(C4Table* table, const char* field, std::string& value, size_t limit);
// Into a NUL-terminated array of `size` bytes.
void ReadText(C4Table* table, const char* field, char* value, size_t size);

void WriteNumber(C4Table* table, const char* field, int32_t value);
void WriteText(C4Table* table, const char* field, const std::string& value);
void WriteMemo(C4Table* table, const char* field, const std::string& value);

// Appends the row begun with C4AppendStart, numbered in `field` inside the
// append, so that no other program can take the same number; `number` gets
// it. A table that lacks the field appends the row unnumbered and leaves
// `number` as it was. The engine's code.
int32_t AppendNumbered(C4Table* table, const char* field, int32_t& number);

// A number as the key text of a numeric tag.
std::string NumberKey(int32_t value);

}  // namespace cdfields
