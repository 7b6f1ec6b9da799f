#pragma once
// What the editing commands ask of a text field, whichever native control it
// wraps. Offsets are characters; ranges past the end are cut at the end.
#include "CP_TextValidator.h"

#include <cstdint>
#include <string>

class CP_UndoableCommand;

class CP_M_EditableText : public CP_M_ValidatedText {
 public:
  virtual int16_t GetTextLength() = 0;
  // Up to `count` characters from `start`; empty when none are there.
  virtual std::string GetTextString(int16_t start, int16_t count) = 0;
  virtual void SetSelection(int16_t start, int16_t end) = 0;
  // Each of these marks the field changed.
  virtual void DeleteRange(int16_t start, int16_t end) = 0;
  // Inserts at the selection's start; what was selected stays.
  virtual void InsertText(const char* text) = 0;
  // Lets the control handle the key as if it had been typed.
  virtual void SendKeyToControl(int16_t key, int32_t modifiers) = 0;

  // A copy of a range that RestoreRange puts back at the caret as it was
  // (a rich-text field keeps the styles too).
  virtual std::string KeepRange(int16_t start, int16_t end) { return GetTextString(start, int16_t(end - start)); }
  virtual void RestoreRange(const std::string& kept) { InsertText(kept.c_str()); }

  // The control's own clipboard operations on the selection.
  virtual void CutSelection() = 0;
  virtual void CopySelection() = 0;
  virtual void PasteClipboard() = 0;
  virtual void ClearSelection() = 0;

  // Whether the field's commander is the framework's current target.
  virtual bool IsTargetCommander() = 0;
  // The field stops adding keys to a command of its that is going.
  virtual void ForgetCommand(const CP_UndoableCommand* command) = 0;
  virtual void ForgetOpenCommands() = 0;

 protected:
  ~CP_M_EditableText() = default;
};

// The field the commands work on. The field clears it when it goes, so that
// commands that the undo manager still holds never touch a field that has
// gone.
struct CP_TextFieldLink {
  CP_M_EditableText* field = nullptr;
};
