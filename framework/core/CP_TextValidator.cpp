#include "CP_TextValidator.h"

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

void CP_TextValidator::RejectText() { ReportInvalidText(); }

void CP_TextValidator::ShowFeedback() { ExplainRefusedKey(); }
