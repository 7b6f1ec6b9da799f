#include "CP_KeyInputFilter.h"

#include "CP_Pane.h"

bool CP_IsFrameworkEditingKey(int16_t key) {
  return (key >= kKey_Left && key <= kKey_PageDown) || key == kKey_Delete;
}

int16_t CP_KeyInputFilter::ClassifyKey(int16_t key, bool isCharacter) const {
  if (!isCharacter) {
    if (key >= kKey_Left && key <= kKey_PageDown) return kPassToControl;
    if (key == kKey_Delete) return kDeleteBackwards;
    return kSwallow;
  }
  const uint8_t character = uint8_t(key);
  if (character == VK_BACK) return kDeleteBackwards;
  if (character == VK_RETURN) return fLineBreaks ? kInsertCharacter : kSwallow;
  if (character < 0x20 || character == 0x7F) return kSwallow;
  return ClassifyPrintable(character);
}

int16_t CP_KeyInputFilter::ClassifyPrintable(uint8_t) const { return kInsertCharacter; }

int16_t CP_KeyInputFilter_Numeric::ClassifyPrintable(uint8_t character) const {
  if (character >= '0' && character <= '9') return kInsertCharacter;
  switch (character) {
    case '-':
    case '+':
    case '.':
    case ',':
      return kInsertCharacter;
    default:
      return kSwallow;
  }
}

int16_t CP_KeyInputFilter_AlphaNumeric::ClassifyPrintable(uint8_t character) const {
  return IsCharAlphaNumericA(char(character)) ? kInsertCharacter : kSwallow;
}
