#pragma once
// The checks a text field runs on typed keys and on its finished text. A
// derived validator supplies the four tests; the entries below are how the
// field calls them.
#include "CP_RefCounted.h"

#include <cstdint>
#include <string>

class CP_TextField_SingleLine;

// What a validator reads of the field it watches, and the selection it
// makes there: both kinds of text field answer it.
class CP_M_ValidatedText {
 public:
  virtual std::string GetText() = 0;
  virtual void GetSelection(int16_t& start, int16_t& end) = 0;
  virtual void SelectAll() = 0;

 protected:
  ~CP_M_ValidatedText() = default;
};

class CP_TextValidator : public CP_M_ReferenceCounted {
 public:
  CP_TextValidator() = default;

  // Answers the character test; a refused key beeps and, when the feedback
  // flag is 1, explains itself.
  bool CheckKey(char key);
  bool IsTextValid();
  // Reports the unacceptable text, then selects all of it in the field so
  // that the user can correct it.
  void RejectText();
  void ShowFeedback();

  uint8_t GetFeedback() const { return fFeedback; }
  void SetFeedback(uint8_t feedback) { fFeedback = feedback; }
  CP_TextField_SingleLine* GetField() const { return fField; }
  void SetField(CP_TextField_SingleLine* field);
  // The text the tests read: the single-line field set above, or a field of
  // another kind (then GetField answers null). May be null.
  CP_M_ValidatedText* GetFieldText() const { return fText; }
  void SetFieldText(CP_M_ValidatedText* text);

 protected:
  virtual bool IsCharacterValid(char key) = 0;
  virtual bool IsWholeTextValid() = 0;
  virtual void ReportInvalidText() = 0;
  virtual void ExplainRefusedKey() = 0;

 private:
  uint8_t fFeedback = 0;
  CP_TextField_SingleLine* fField = nullptr;  // not owned
  CP_M_ValidatedText* fText = nullptr;        // not owned
};
