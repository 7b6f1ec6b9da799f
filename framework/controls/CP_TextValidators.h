#pragma once
// The framework's text validators: a longest length, numbers only, and
// numbers within a range. Their messages are the "STR#" list 257.
#include "CP_TextValidator.h"

#include <cstdint>
#include <string>

class CP_TextLengthValidator : public CP_TextValidator {
 public:
  explicit CP_TextLengthValidator(int16_t maximumLength) : fMaximumLength(maximumLength) {}
  int16_t GetMaximumLength() const { return fMaximumLength; }

 protected:
  // A key may replace the selection; it may not make the text longer than
  // the maximum.
  bool IsCharacterValid(char key) override;
  bool IsWholeTextValid() override;
  void ReportInvalidText() override;
  void ExplainRefusedKey() override;

 private:
  int16_t fMaximumLength;
};

// Digits, and a minus sign in front.
class CP_TextNumericValidator : public CP_TextValidator {
 protected:
  bool IsCharacterValid(char key) override;
  // Empty, or an optional minus sign followed by digits.
  bool IsWholeTextValid() override;
  void ReportInvalidText() override;
  void ExplainRefusedKey() override;
};

class CP_TextNumericRangeValidator : public CP_TextNumericValidator {
 public:
  CP_TextNumericRangeValidator(int32_t minimum, int32_t maximum) : fMinimum(minimum), fMaximum(maximum) {}

 protected:
  // A number, bounds included; an empty text is none.
  bool IsWholeTextValid() override;
  // "Number must be in the range " with the bounds joined by " and ".
  void ReportInvalidText() override;

 private:
  int32_t fMinimum;
  int32_t fMaximum;
};

// The validators' message texts, numbered from 1 in "STR#" 257.
enum : int16_t { kTextValidatorStrings = 257, kTooLongText = 1, kNotNumericText = 2, kOutOfRangeText = 3 };
