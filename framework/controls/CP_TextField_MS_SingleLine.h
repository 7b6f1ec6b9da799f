#pragma once
// The framework's multi-style text field on the rich edit control of
// "RICHED32.DLL" (class "RICHEDIT"): the keys and Edit commands of the
// single-line field, character styles (bold, italic, underline), paragraph
// alignment, and its whole content streamed as RTF to and from an open file.
#include "CP_Broadcaster.h"
#include "CP_NativeTextField.h"

#include <cstdint>
#include <string>

class CP_File;
class CP_TextFieldCommand_MS_InputChar;

class CP_TextField_MS_SingleLine : public CP_NativeTextField {
 public:
  // Style bits.
  enum : int16_t { kBold = 1, kItalic = 2, kUnderline = 4 };

  // Loads the rich edit library once and makes the control at once. A
  // control that cannot be made is a framework error.
  CP_TextField_MS_SingleLine(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                             const std::string& text = "", CP_KeyInputFilter* filter = nullptr);
  ~CP_TextField_MS_SingleLine() override;

  // Sets one style on the selection and keeps the selection; other values
  // change no attribute.
  void SetStyle(int16_t style, uint8_t redraw);
  // Flips one style of the selection.
  void ToggleStyle(int16_t style, uint8_t redraw);
  // 0 left, 1 centred, 2 right, for the selected paragraphs; other values
  // change nothing.
  void SetAlignment(int16_t alignment, uint8_t redraw);

  // The whole content as RTF into an open file, from its position on. A
  // failed write is a framework error.
  void WriteRichText(CP_File& file);
  // Replaces the content by the RTF read from an open file. When reading
  // fails the field gets its content back and a framework error follows.
  void ReadRichText(CP_File& file);

  // The control's undo of its own last edit.
  virtual void UndoLastEdit();
  // No key leaves the field.
  bool IsFocusLeavingKey(int16_t, CP_Event&) override { return false; }
  // The rich edit control may act on the key going down rather than on its
  // character: Backspace and Return go to it as both, once.
  void SendKeyToControl(int16_t key, int32_t modifiers) override;

  // Rich copies: a range as RTF, put back with its styles.
  std::string KeepRange(int16_t start, int16_t end) override;
  void RestoreRange(const std::string& kept) override;

  CP_TextFieldCommand_MS_InputChar* GetTypingCommand() const;
  CP_TextFieldCommand_MS_InputChar* GetDeletingCommand() const;

 protected:
  // For fields of another style (several lines).
  CP_TextField_MS_SingleLine(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                             const std::string& text, CP_KeyInputFilter* filter, uint32_t style);

  const char* RuntimeClassName() const override { return "CP_TextField_MS_SingleLine"; }

  CP_TextEditCommand* MakeTypingCommand() override;
  CP_TextEditCommand* MakeEditCommand(int32_t command) override;
  void AddCharTo(CP_TextEditCommand* command, int16_t key) override;
  void DeleteCharIn(CP_TextEditCommand* command, int16_t key) override;
  // The field takes the target back and selects all its text.
  void KeyRefused() override;
  void AttachValidator(CP_TextValidator* validator) override;

 private:
  // After a change of style or alignment.
  void FormatChanged(uint8_t redraw);
};

// A rich-text field of several lines that also listens to broadcasters.
class CP_TextField_MS_MultiLine : public CP_TextField_MS_SingleLine, public CP_M_Listener {
 public:
  CP_TextField_MS_MultiLine(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                            const std::string& text = "", CP_KeyInputFilter* filter = nullptr);

  // No key commits a text of several lines.
  bool IsCommitKey(int16_t) override { return false; }
  // Hears nothing that it acts on.
  void ReceiveBroadcast(CP_Message&) override {}

 protected:
  const char* RuntimeClassName() const override { return "CP_TextField_MS_MultiLine"; }
};
