#pragma once
// What both text fields share: a framework view over a native edit control
// (the "edit" class or the rich edit control) whose typed keys go through a
// key filter and an optional validator, and whose Edit menu commands become
// undoable commands posted to the field's own undo manager. The field keeps
// a changed flag and can tell its listeners of every selection it sets.
#include "CP_Broadcaster.h"
#include "CP_Commander.h"
#include "CP_EditableText.h"
#include "CP_Event.h"
#include "CP_View.h"

#include <cstdint>
#include <memory>
#include <string>

class CP_HandleBlock;
class CP_KeyInputFilter;
class CP_TextEditCommand;
class CP_TextValidator;

class CP_NativeTextField : public CP_View,
                           public CP_M_Commander,
                           public CP_M_Idler,
                           public CP_M_Broadcaster,
                           public CP_M_EditableText {
 public:
  // The selection message's code.
  static constexpr uint8_t kSelectionChanged = 3;
  // The longest text a field holds: positions are 16-bit.
  static constexpr int16_t kMaximumLength = INT16_MAX;

  // Lets go of filter and validator; commands that outlive the field no
  // longer reach it.
  ~CP_NativeTextField() override;

  // The text.
  int16_t GetTextLength() override;
  // The whole text and a NUL, in a new block the caller owns; an empty text
  // gives an empty block.
  CP_HandleBlock* GetTextBlock();
  // `count` characters from `start` (fewer at the end) and a NUL; null when
  // none are there.
  CP_HandleBlock* GetTextRange(int16_t start, int16_t count);
  // Into the start of the block, no NUL; never more than the block holds.
  void CopyTextRange(CP_HandleBlock* block, int16_t start, int16_t count);
  std::string GetText() override;
  std::string GetTextString(int16_t start, int16_t count) override;

  // The selection.
  void GetSelection(int16_t& start, int16_t& end) override;
  // With selection broadcasting on, the listeners hear of it.
  void SetSelection(int16_t start, int16_t end) override;
  bool HasSelection();
  bool CanPaste();
  void SelectAll() override;

  // Edits that mark the field changed.
  void InsertText(const char* text) override;
  void DeleteRange(int16_t start, int16_t end) override;

  // Takes a reference to the validator and becomes its field.
  void SetValidator(CP_TextValidator* validator);
  CP_TextValidator* GetValidator() const { return fValidator; }
  void SetKeyFilter(CP_KeyInputFilter* filter);
  CP_KeyInputFilter* GetKeyFilter() const { return fKeyFilter; }

  // The typing and deleting commands that keys are added to.
  void ForgetOpenCommands() override;
  void ForgetCommand(const CP_UndoableCommand* command) override;

  bool IsChanged() const { return fChanged != 0; }
  void SetChanged(bool changed) { fChanged = changed ? 1 : 0; }
  bool GetBroadcastSelection() const { return fBroadcastSelection != 0; }
  void SetBroadcastSelection(bool on) { fBroadcastSelection = on ? 1 : 0; }
  std::shared_ptr<CP_TextFieldLink> GetLink() const { return fLink; }

  // Commander.
  bool HandleKey(int16_t key, CP_Event& event) override;
  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* status) override;
  // A command no undo manager takes is performed and then deleted: nobody
  // else would own it.
  void PostCommand(CP_Command* command) override;
  bool IsTargetCommander() override;

  // Pane.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;
  // Becomes the framework's current pane.
  void TakeFocus(CP_Canvas* canvas) override;
  // The control paints itself, now.
  void DrawContent(const CP_Region& area) override;
  void Idle(CP_Event&) override {}

  // Raw edits on the control's selection, outside the undo history.
  void CutSelection() override;
  void CopySelection() override;
  void PasteClipboard() override;
  void ClearSelection() override;
  virtual void SelectAllText();
  // The control handles the key as typed: a character as WM_CHAR, a
  // framework key code as the key going down.
  void SendKeyToControl(int16_t key, int32_t modifiers) override;
  // The whole text from a block, up to its NUL; with redraw 1 it is redrawn
  // at once. A text longer than a field holds is refused with a framework
  // error and the field keeps its text.
  virtual void SetTextBlock(CP_HandleBlock* block, uint8_t redraw);
  // Tab: the field hands the target back to its parent commander.
  virtual bool IsFocusLeavingKey(int16_t key, CP_Event& event);
  // Return: the validator checks the whole text.
  virtual bool IsCommitKey(int16_t key);

 protected:
  // Makes no window: the field makes its own with MakeTextWindow. Without a
  // filter the field makes a plain one.
  CP_NativeTextField(CP_View* superPane, const CP_PaneInfo& info, CP_M_Commander* parentCommander,
                     CP_KeyInputFilter* filter);

  // Makes a window of `windowClass` and `style` with the text, takes it as
  // the pane's window and puts the framework's procedure in front of it;
  // null when Windows made none.
  HWND MakeTextWindow(const char* windowClass, const std::string& text, uint32_t style, uint32_t exStyle);
  // Sends to the control; keys never go this way.
  LRESULT SendToControl(UINT message, WPARAM wParam, LPARAM lParam);
  // The control's own procedure's answer; 0 without one.
  LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Redraws the field at once.
  void RedrawNow();
  // Marks the text changed and lets the view hear of it.
  void TextChanged();
  // Whether the key being handled came as a character (WM_CHAR) rather than
  // as a framework key code, which may share its value.
  bool IsCharacterKey(int16_t key) const;

  // The field's kind of typing command, made for it.
  virtual CP_TextEditCommand* MakeTypingCommand() = 0;
  // Its kind of Cut (11), Copy (12), Paste (13) and Clear (14) command.
  virtual CP_TextEditCommand* MakeEditCommand(int32_t command) = 0;
  // Adds a key to a typing command of the field's kind.
  virtual void AddCharTo(CP_TextEditCommand* command, int16_t key) = 0;
  virtual void DeleteCharIn(CP_TextEditCommand* command, int16_t key) = 0;
  // A key the validator refused; it goes nowhere.
  virtual void KeyRefused() {}
  // Hands the validator this field.
  virtual void AttachValidator(CP_TextValidator* validator) = 0;

  CP_KeyInputFilter* fKeyFilter = nullptr;  // counted, always present
  CP_TextValidator* fValidator = nullptr;   // counted
  CP_TextEditCommand* fTypingCommand = nullptr;    // owned by the undo manager
  CP_TextEditCommand* fDeletingCommand = nullptr;
  uint8_t fChanged = 0;
  uint8_t fBroadcastSelection = 0;
  uint8_t fUndoableEditing = 1;

 private:
  // A validator that still points here points nowhere afterwards: another
  // holder may keep it.
  void DetachValidator(CP_TextValidator* validator);
  // Makes, remembers and posts a typing command; null when none is left.
  CP_TextEditCommand* OpenTypingCommand(CP_TextEditCommand*& slot, CP_TextEditCommand*& other);
  // Routes a key to the target as the pane does, with the message noted.
  LRESULT RouteKeyMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  std::shared_ptr<CP_TextFieldLink> fLink;
  UINT fKeyMessage = 0;  // the key message being routed, 0 outside one
};
