#pragma once
// The checks a text field runs on typed keys and on its finished text. A
// derived validator supplies the four tests; the entries below are how the
// field calls them.
#include "CP_RefCounted.h"

#include <cstdint>

class CP_TextField_SingleLine;

class CP_TextValidator : public CP_M_ReferenceCounted {
 public:
  CP_TextValidator() = default;

  // Answers the character test; a refused key beeps and, when the feedback
  // flag is 1, explains itself.
  bool CheckKey(char key);
  bool IsTextValid();
  // Reports the unacceptable text.
  void RejectText();
  void ShowFeedback();

  uint8_t GetFeedback() const { return fFeedback; }
  void SetFeedback(uint8_t feedback) { fFeedback = feedback; }
  CP_TextField_SingleLine* GetField() const { return fField; }
  void SetField(CP_TextField_SingleLine* field) { fField = field; }

 protected:
  virtual bool IsCharacterValid(char key) = 0;
  virtual bool IsWholeTextValid() = 0;
  virtual void ReportInvalidText() = 0;
  virtual void ExplainRefusedKey() = 0;

 private:
  uint8_t fFeedback = 0;
  CP_TextField_SingleLine* fField = nullptr;  // not owned
};
