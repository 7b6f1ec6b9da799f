#pragma once
// The framework's editable text field on a native "edit" control. Typed keys
// go through the field's key filter and optional validator; the Edit menu
// commands act on the control directly or, with undoable editing, through
// undoable commands posted to the field's undo manager (attached to the
// field). The field keeps a changed flag and can tell its listeners of every
// selection it sets.
#include "CP_NativeTextField.h"

#include <cstdint>
#include <functional>
#include <string>

class CP_Font;
class CP_TextFieldCommand_InputChar;

class CP_TextField_SingleLine : public CP_NativeTextField {
 public:
  // Makes the edit window at once, showing `text`. Without a filter the
  // field makes its own plain one.
  CP_TextField_SingleLine(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                          const std::string& text = "", CP_KeyInputFilter* filter = nullptr);
  ~CP_TextField_SingleLine() override;

  // The control's font; with redraw 1 it is redrawn at once.
  void SetFontName(const std::string& name, uint8_t redraw);
  void SetFontSize(int16_t points, uint8_t redraw);
  void SetFontStyle(int16_t style, uint8_t redraw);
  int16_t GetFontSize() const { return fFontSize; }
  int16_t GetFontStyle() const { return fFontStyle; }

  // The name a stored tree hands a validator over by.
  void SetAdorner(CP_TextValidator* validator) { SetValidator(validator); }

  CP_TextFieldCommand_InputChar* GetTypingCommand() const;
  CP_TextFieldCommand_InputChar* GetDeletingCommand() const;

  // Off: the Edit commands act on the control directly, and Undo is the
  // control's own.
  bool GetUndoableEditing() const { return fUndoableEditing != 0; }
  void SetUndoableEditing(bool on) { fUndoableEditing = on ? 1 : 0; }

 protected:
  // For fields of another style (several lines).
  CP_TextField_SingleLine(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                          const std::string& text, CP_KeyInputFilter* filter, uint32_t style);

  const char* RuntimeClassName() const override { return "CP_TextField_SingleLine"; }

  CP_TextEditCommand* MakeTypingCommand() override;
  CP_TextEditCommand* MakeEditCommand(int32_t command) override;
  void AddCharTo(CP_TextEditCommand* command, int16_t key) override;
  void DeleteCharIn(CP_TextEditCommand* command, int16_t key) override;
  void AttachValidator(CP_TextValidator* validator) override;

  static constexpr uint32_t kEditExStyle = WS_EX_CLIENTEDGE;

  int16_t fFontSize = 12;
  int16_t fFontStyle = 0;
  int16_t fAlignment = 0;

 private:
  void ApplyFont(const std::function<void(CP_Font&)>& apply, uint8_t redraw);
};

// A text field of several lines whose alignment can change: the edit
// control takes its alignment only when made, so the field makes a new one.
class CP_TextField_MultiLine : public CP_TextField_SingleLine {
 public:
  CP_TextField_MultiLine(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                         const std::string& text = "", CP_KeyInputFilter* filter = nullptr);

  // 0 left, 1 centred, 2 right. The new window keeps text, selection, font
  // and the changed flag. Without a new window the field stays as it was
  // and a framework error is thrown.
  void SetAlignment(int16_t alignment, uint8_t redraw);
  int16_t GetAlignment() const { return fAlignment; }

  // No key commits a text of several lines.
  bool IsCommitKey(int16_t) override { return false; }

 protected:
  const char* RuntimeClassName() const override { return "CP_TextField_MultiLine"; }
};
