#include "CP_StringList.h"

#include "CP_Alert.h"
#include "CP_Cursor.h"
#include "CP_Desktop.h"
#include "CP_Framework.h"
#include "CP_Pane.h"
#include "CP_Utilities.h"

namespace {

constexpr size_t kMaxStringLength = 255;
constexpr uint8_t kEndOfString = 13;

int16_t AskQuestion(int16_t textNumber, const std::string& name, const CP_Pane* owner) {
  CP_Cursor arrow(32512, 0);  // IDC_ARROW, left in place afterwards
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->BeforeModal();
  const std::string text = GetIndexedString(kCP_StringList_Document, textNumber) + name;
  HWND ownerWindow = owner && owner->GetHWND() ? owner->GetHWND() : GetDesktopWindow();
  const int answer = MessageBoxA(ownerWindow, text.c_str(), GetApplicationName().c_str(),
                                 MB_YESNOCANCEL | MB_ICONQUESTION);
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->AfterModal();
  if (answer == IDYES) return kCP_AnswerYes;
  if (answer == IDNO) return kCP_AnswerNo;
  return kCP_AnswerCancel;
}

}  // namespace

std::string GetIndexedString(int16_t id, int16_t number) {
  if (number < 1) return std::string();
  HRSRC info = FindResourceA(ProgramModule(), MAKEINTRESOURCEA(uint16_t(id)), "STR#");
  if (!info) return std::string();
  HGLOBAL loaded = LoadResource(ProgramModule(), info);
  const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!bytes) return std::string();
  const DWORD size = SizeofResource(ProgramModule(), info);

  std::string text;
  int16_t count = 0;
  for (DWORD i = 0; i < size; ++i) {
    if (bytes[i] != kEndOfString) {
      if (text.size() < kMaxStringLength) text += char(bytes[i]);
      continue;
    }
    if (++count == number) return std::string(text.c_str());  // a 0 byte ends a text
    text.clear();
  }
  return std::string();  // fewer texts than asked for
}

int16_t AskSaveChangesAlert(const std::string& name, const CP_Pane* owner, int32_t, int32_t) {
  return AskQuestion(kCP_String_SaveChangesTo, name, owner);
}

int16_t AskRevertAlert(const std::string& name, const CP_Pane* owner, int32_t) {
  return AskQuestion(kCP_String_RevertChangesTo, name, owner);
}
