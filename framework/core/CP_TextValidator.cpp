#include "CP_TextValidator.h"

#include "CP_TextField_SingleLine.h"
#include "CP_Utilities.h"

bool CP_TextValidator::CheckKey(char key) {
  const bool accepted = IsCharacterValid(key);
  if (!accepted) {
    Beep();
    if (fFeedback == 1) ShowFeedback();
  }
  return accepted;
}

bool CP_TextValidator::IsTextValid() { return IsWholeTextValid(); }

void CP_TextValidator::RejectText() {
  ReportInvalidText();
  if (fText) fText->SelectAll();
}

void CP_TextValidator::ShowFeedback() { ExplainRefusedKey(); }

void CP_TextValidator::SetField(CP_TextField_SingleLine* field) {
  fField = field;
  fText = field;
}

void CP_TextValidator::SetFieldText(CP_M_ValidatedText* text) {
  fField = nullptr;
  fText = text;
}
