#pragma once
// Key input filters sort the keys typed into a text field into what the
// field does with them: insert a character, delete backwards, let the
// control handle the key, or swallow it. Filters are shared by reference
// count.
#include "CP_RefCounted.h"

#include <cstdint>

class CP_KeyInputFilter : public CP_M_ReferenceCounted {
 public:
  enum KeyClass : int16_t {
    kInsertCharacter = 0,
    kDeleteBackwards = 1,
    kPassToControl = 2,
    kSwallow = 3,
  };

  // With line breaks, a carriage return is a character to insert (a field
  // of several lines); otherwise it is swallowed.
  explicit CP_KeyInputFilter(bool lineBreaks = false) : fLineBreaks(lineBreaks) {}

  // `key` is a character when it came as one (WM_CHAR); otherwise it is the
  // framework's code of a key (arrows, Home, Delete, function keys ...).
  // Characters: printable ones are inserted, Backspace deletes backwards,
  // every other control character is swallowed, so that no edit reaches
  // the control unseen by the field's undo. Keys: the caret movements go to
  // the control, Delete deletes (forwards), everything else is swallowed.
  virtual int16_t ClassifyKey(int16_t key, bool isCharacter) const;

  bool TakesLineBreaks() const { return fLineBreaks; }

 protected:
  // The class of a printable character; a subclass narrows it.
  virtual int16_t ClassifyPrintable(uint8_t character) const;

 private:
  bool fLineBreaks;
};

// Digits and what numbers are written with: signs, decimal point and comma.
class CP_KeyInputFilter_Numeric : public CP_KeyInputFilter {
 protected:
  int16_t ClassifyPrintable(uint8_t character) const override;
};

// Letters (of the system's character set) and digits.
class CP_KeyInputFilter_AlphaNumeric : public CP_KeyInputFilter {
 protected:
  int16_t ClassifyPrintable(uint8_t character) const override;
};

// True for the framework's codes of the caret keys and Delete, which
// collide with characters above 0x7F.
bool CP_IsFrameworkEditingKey(int16_t key);
