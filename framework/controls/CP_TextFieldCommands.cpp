#include "CP_TextFieldCommands.h"

#include "CP_Clipboard.h"
#include "CP_DroppedRecord.h"
#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_TextField_SingleLine.h"
#include "CP_Utilities.h"

#include <algorithm>
#include <memory>

namespace {

constexpr const char* kSource = "CP_TextFieldCommands";
constexpr int32_t kLineCutNothing = 490;

struct BlockRelease {
  void operator()(CP_HandleBlock* block) const { delete block; }
};
using OwnedBlock = std::unique_ptr<CP_HandleBlock, BlockRelease>;

int16_t Clamp16(int32_t value) {
  return int16_t(std::max<int32_t>(INT16_MIN, std::min<int32_t>(INT16_MAX, value)));
}

}  // namespace

std::string CP_TextOfBlock(CP_HandleBlock* block) {
  if (!block) return std::string();
  const int32_t size = block->GetSize();
  const char* bytes = size > 0 ? static_cast<const char*>(block->GetPointer()) : nullptr;
  std::string text;
  if (bytes) {
    const char* end = std::find(bytes, bytes + size, '\0');
    text.assign(bytes, end);
    block->Unlock();
  }
  return text;
}

// ---------------------------------------------------------------------------
// The shared base

CP_TextEditCommand::CP_TextEditCommand(std::shared_ptr<CP_TextFieldLink> link, const std::string& name)
    : CP_UndoableCommand(name), fLink(std::move(link)) {
  if (!fLink) fLink = std::make_shared<CP_TextFieldLink>();
  if (CP_M_EditableText* field = Field()) {
    field->GetSelection(fSelectionStart, fSelectionEnd);
    fSavedText = field->GetTextString(fSelectionStart, int16_t(fSelectionEnd - fSelectionStart));
  }
}

CP_TextEditCommand::~CP_TextEditCommand() {
  if (CP_M_EditableText* field = Field()) field->ForgetCommand(this);
}

bool CP_TextEditCommand::Do() {
  bool performed = false;
  if (!IsDone()) {
    CP_M_EditableText* field = Field();
    if (field && field->IsTargetCommander()) {
      DoIt();
      performed = true;
    }
  }
  SetDone(true);
  return performed;
}

bool CP_TextEditCommand::Undo() {
  bool performed = false;
  if (IsDone()) {
    CP_M_EditableText* field = Field();
    if (field && field->IsTargetCommander()) {
      UndoIt();
      performed = true;
    }
  }
  SetDone(false);
  return performed;
}

bool CP_TextEditCommand::PutBackSavedText() {
  CP_M_EditableText* field = Field();
  if (!field) return false;
  // The caret first: a rich field puts its kept range in place of the
  // selection.
  field->SetSelection(fSelectionStart, fSelectionStart);
  if (!fSavedText.empty()) field->RestoreRange(fSavedText);
  field->SetSelection(fSelectionStart, fSelectionEnd);
  return true;
}

// ---------------------------------------------------------------------------
// Typing runs

void CP_TextEditCommand::StartTyping() {
  fTypedText.clear();
  fHasTypedText = false;
  CP_M_EditableText* field = Field();
  if (!field) return;
  int16_t end = 0;
  field->GetSelection(fRunStart, end);
  fRunEnd = fRunStart;
}

void CP_TextEditCommand::BeginRun() {
  SetDone(true);
  fSavedText.clear();
  fTypedText.clear();
  fHasTypedText = false;
  CP_M_EditableText* field = Field();
  if (!field) return;
  field->GetSelection(fSelectionStart, fSelectionEnd);
  fSavedText = field->GetTextString(fSelectionStart, int16_t(fSelectionEnd - fSelectionStart));
  fRunStart = fRunEnd = fSelectionStart;
}

void CP_TextEditCommand::AddCharToRun(int16_t key) {
  CP_M_EditableText* field = Field();
  if (!field) return;
  int16_t start = 0, end = 0;
  field->GetSelection(start, end);
  // The caret moved, text is selected, or nothing was typed yet.
  if (fRunEnd != start || fRunEnd != end || fRunStart == fRunEnd) BeginRun();
  field->SendKeyToControl(key, 0);
  // The caret tells how far the control went: one place for a character,
  // two for a line break, none for a key it refused.
  field->GetSelection(start, end);
  fRunEnd = std::max(fRunStart, end);
}

void CP_TextEditCommand::DeleteCharInRun(int16_t key) {
  CP_M_EditableText* field = Field();
  if (!field) return;
  int16_t start = 0, end = 0;
  field->GetSelection(start, end);
  if (fRunEnd != start || start != end) BeginRun();  // the caret moved, or a selection goes
  // What the key may take on either side of the caret: a line break is two
  // characters.
  const bool caret = start == end;
  const int16_t before = caret ? int16_t(std::min<int16_t>(start, 2)) : int16_t(0);
  const std::string preceding = field->GetTextString(int16_t(start - before), before);
  const std::string following = caret ? field->GetTextString(start, 2) : std::string();
  const int32_t lengthBefore = field->GetTextLength();

  field->SendKeyToControl(key, 0);

  int16_t now = 0, nowEnd = 0;
  field->GetSelection(now, nowEnd);
  const int32_t removed = lengthBefore - field->GetTextLength();
  if (caret && removed > 0) {
    if (now < start) {
      // Backwards. Only characters that were there before the run are
      // saved, in front, so that the saved text keeps their first order;
      // what the run itself typed needs no keeping.
      const int16_t firstOld = std::min(start, fRunStart);
      if (now < firstOld) {
        const size_t taken = size_t(start - now);
        const size_t from = preceding.size() >= taken ? preceding.size() - taken : 0;
        fSavedText.insert(0, preceding.substr(from, size_t(firstOld - now)));
      }
      fRunStart = std::min(fRunStart, now);
    } else {
      // Forwards (Delete): what went lay after the caret.
      fSavedText.append(following.substr(0, size_t(removed)));
    }
  }
  fRunEnd = Clamp16(std::max<int32_t>(now, fRunStart));
}

bool CP_TextEditCommand::UndoRun() {
  CP_M_EditableText* field = Field();
  if (!field) return false;
  fTypedText = field->GetTextString(fRunStart, int16_t(fRunEnd - fRunStart));
  fHasTypedText = true;
  if (fRunEnd > fRunStart) field->DeleteRange(fRunStart, fRunEnd);
  field->SetSelection(fRunStart, fRunStart);
  if (!fSavedText.empty()) field->InsertText(fSavedText.c_str());
  field->SetSelection(fSelectionStart, fSelectionEnd);
  return true;
}

bool CP_TextEditCommand::RedoRun() {
  // Before any Undo the run is in the field already.
  if (!fHasTypedText) return true;
  CP_M_EditableText* field = Field();
  if (!field) return false;
  const int16_t savedEnd = Clamp16(int32_t(fRunStart) + int32_t(fSavedText.size()));
  if (savedEnd > fRunStart) field->DeleteRange(fRunStart, savedEnd);
  field->SetSelection(fRunStart, fRunStart);
  if (!fTypedText.empty()) field->InsertText(fTypedText.c_str());
  field->SetSelection(fRunEnd, fRunEnd);
  return true;
}

// ---------------------------------------------------------------------------
// Clipboard commands

bool CP_TextEditCommand::PerformCut(bool byControl) {
  CP_M_EditableText* field = Field();
  if (!field) return false;
  const int16_t start = fSelectionStart, end = fSelectionEnd;
  if (byControl) {
    field->SetSelection(start, end);
    fSavedText = field->KeepRange(start, end);
    field->CutSelection();
  } else {
    const std::string text = field->GetTextString(start, int16_t(end - start));
    if (text.empty()) ThrowIfNull(nullptr, kSource, kLineCutNothing);
    if (CP_Clipboard* clipboard = CP_Clipboard::GetClipboard()) {
      OwnedBlock block(CP_MakeTextBlock(text));
      clipboard->SetData(block.get(), CF_TEXT, 1);
    }
    fSavedText = field->KeepRange(start, end);
    field->DeleteRange(start, end);
  }
  field->SetSelection(start, start);
  return true;
}

bool CP_TextEditCommand::PerformCopy(bool alsoByControl) {
  CP_M_EditableText* field = Field();
  if (!field) return false;
  if (CP_Clipboard* clipboard = CP_Clipboard::GetClipboard()) {
    const std::string text = field->GetTextString(fSelectionStart, int16_t(fSelectionEnd - fSelectionStart));
    OwnedBlock block(text.empty() ? nullptr : CP_MakeTextBlock(text));
    clipboard->SetData(block.get(), CF_TEXT, 1);  // nothing selected: refused
  }
  if (alsoByControl) {
    field->SetSelection(fSelectionStart, fSelectionEnd);
    field->CopySelection();
  }
  return true;
}

bool CP_TextEditCommand::PerformPaste(bool byControl) {
  CP_M_EditableText* field = Field();
  if (!field) return false;
  const bool first = !fHasTypedText;
  std::string pasted;
  // A paste of nothing replaces nothing.
  if (first && byControl && !IsClipboardFormatAvailable(CF_TEXT)) return false;
  if (first && !byControl) {
    CP_Clipboard* clipboard = CP_Clipboard::GetClipboard();
    OwnedBlock block(clipboard ? clipboard->GetData(CF_TEXT) : nullptr);
    if (!block) return false;
    pasted = CP_TextOfBlock(block.get());
  }

  int16_t start = 0, end = 0;
  field->GetSelection(start, end);
  fRunStart = start;
  fSelectionStart = start;
  fSelectionEnd = end;
  fSavedText = field->KeepRange(start, end);  // what the paste replaces
  if (end > start) field->DeleteRange(start, end);
  field->SetSelection(start, start);
  const int16_t lengthBefore = field->GetTextLength();
  if (!first)
    field->RestoreRange(fTypedText);  // a Redo puts back what was pasted, whatever the clipboard holds now
  else if (byControl)
    field->PasteClipboard();
  else
    field->InsertText(pasted.c_str());
  // The control may have taken less than the clipboard held.
  fRunEnd = Clamp16(int32_t(start) + field->GetTextLength() - lengthBefore);
  if (first) {
    fTypedText = field->KeepRange(fRunStart, fRunEnd);
    fHasTypedText = true;
  }
  field->SetSelection(fRunEnd, fRunEnd);
  return true;
}

bool CP_TextEditCommand::UndoPaste() {
  CP_M_EditableText* field = Field();
  if (!field || !fHasTypedText) return false;  // nothing was pasted
  if (fRunEnd > fRunStart) field->DeleteRange(fRunStart, fRunEnd);
  return PutBackSavedText();
}

bool CP_TextEditCommand::PerformClear() {
  CP_M_EditableText* field = Field();
  if (!field) return false;
  field->GetSelection(fSelectionStart, fSelectionEnd);
  fSavedText = field->KeepRange(fSelectionStart, fSelectionEnd);
  if (fSelectionEnd > fSelectionStart) field->DeleteRange(fSelectionStart, fSelectionEnd);
  return true;
}

// ---------------------------------------------------------------------------
// The single-line field's commands

CP_TextFieldCommand::CP_TextFieldCommand(CP_TextField_SingleLine* field, const std::string& name)
    : CP_TextEditCommand(field ? field->GetLink() : nullptr, name) {}

CP_TextFieldCommand_InputChar::CP_TextFieldCommand_InputChar(CP_TextField_SingleLine* field,
                                                             const std::string& name)
    : CP_TextFieldCommand(field, name) {
  StartTyping();
}

// An undone run is closed: keys typed afterwards start a command of their
// own, which takes its place in the history.
bool CP_TextFieldCommand_InputChar::Undo() {
  const bool performed = CP_TextFieldCommand::Undo();
  if (CP_M_EditableText* field = Field()) field->ForgetCommand(this);
  return performed;
}

void CP_TextFieldCommand_InputChar::RedoIt() {
  if (CP_M_EditableText* field = Field()) field->ForgetOpenCommands();
}
