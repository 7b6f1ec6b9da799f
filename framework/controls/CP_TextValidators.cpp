#include "CP_TextValidators.h"

#include "CP_Alert.h"
#include "CP_StringList.h"
#include "CP_Win.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr int16_t kAlertStyle = MB_OK | MB_ICONEXCLAMATION;

void Tell(int16_t number, const std::string& more = "") {
  ShowAlert(GetIndexedString(kTextValidatorStrings, number) + more, kAlertStyle);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNumberText(const std::string& text) {
  size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
  if (i == 1 && text.size() == 1) return false;  // a sign alone
  for (; i < text.size(); ++i)
    if (!IsDigit(text[i])) return false;
  return true;
}

}  // namespace

bool CP_TextLengthValidator::IsCharacterValid(char) {
  CP_M_ValidatedText* text = GetFieldText();
  if (!text) return true;
  int16_t start = 0, end = 0;
  text->GetSelection(start, end);
  const int32_t selected = end > start ? end - start : 0;
  return int32_t(text->GetText().size()) - selected + 1 <= fMaximumLength;
}

bool CP_TextLengthValidator::IsWholeTextValid() {
  CP_M_ValidatedText* text = GetFieldText();
  return !text || int32_t(text->GetText().size()) <= fMaximumLength;
}

void CP_TextLengthValidator::ReportInvalidText() { Tell(kTooLongText); }
void CP_TextLengthValidator::ExplainRefusedKey() { Tell(kTooLongText); }

bool CP_TextNumericValidator::IsCharacterValid(char key) {
  if (IsDigit(key)) return true;
  if (key != '-') return false;
  // A minus sign only in front, and only one.
  CP_M_ValidatedText* text = GetFieldText();
  if (!text) return false;
  int16_t start = 0, end = 0;
  text->GetSelection(start, end);
  const std::string whole = text->GetText();
  const bool signAfterSelection = size_t(end) < whole.size() && whole[size_t(end)] == '-';
  return start == 0 && !signAfterSelection;
}

bool CP_TextNumericValidator::IsWholeTextValid() {
  CP_M_ValidatedText* text = GetFieldText();
  if (!text) return true;
  const std::string whole = text->GetText();
  return whole.empty() || IsNumberText(whole);
}

void CP_TextNumericValidator::ReportInvalidText() { Tell(kNotNumericText); }
void CP_TextNumericValidator::ExplainRefusedKey() { Tell(kNotNumericText); }

bool CP_TextNumericRangeValidator::IsWholeTextValid() {
  CP_M_ValidatedText* text = GetFieldText();
  if (!text) return true;
  const std::string whole = text->GetText();
  if (whole.empty() || !IsNumberText(whole)) return false;
  errno = 0;
  const long long value = std::strtoll(whole.c_str(), nullptr, 10);
  if (errno == ERANGE) return false;
  return value >= fMinimum && value <= fMaximum;
}

void CP_TextNumericRangeValidator::ReportInvalidText() {
  Tell(kOutOfRangeText, std::to_string(fMinimum) + " and " + std::to_string(fMaximum));
}
