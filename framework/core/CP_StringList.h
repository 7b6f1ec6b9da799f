#pragma once
// "STR#" resources: numbered lists of short texts, each ended by a carriage
// return, and the two Yes/No/Cancel questions built on list 256.
#include <cstdint>
#include <string>

class CP_Pane;

// The framework's own lists.
constexpr int16_t kCP_StringList_Document = 256;
enum : int16_t {
  kCP_String_SaveFileAs = 1,
  kCP_String_Untitled = 2,
  kCP_String_SaveChangesTo = 3,
  kCP_String_Select = 4,
  kCP_String_RevertChangesTo = 5,
};

// Answers of the two questions.
enum : int16_t { kCP_AnswerYes = 1, kCP_AnswerNo = 2, kCP_AnswerCancel = 3 };

// Text `number` (from 1) of the "STR#" resource `id` of the program's own
// module; empty when the resource or the text does not exist. A text is at
// most 255 characters long.
std::string GetIndexedString(int16_t id, int16_t number);

// "Save current changes to " followed by the name; the owner may be null.
// The further values are not used.
int16_t AskSaveChangesAlert(const std::string& name, const CP_Pane* owner, int32_t = 0,
                            int32_t = 0);
// "Revert changes to " followed by the name.
int16_t AskRevertAlert(const std::string& name, const CP_Pane* owner, int32_t = 0);
