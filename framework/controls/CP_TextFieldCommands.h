#pragma once
// The undoable editing commands of the single-line text field: typing and
// backward deletion, Cut, Copy, Paste and Clear. The field posts them to its
// undo manager, which performs them at once and later undoes and redoes
// them. Each keeps what it took out of the field, so that Undo and Redo give
// back exactly the text and selection they found.
#include "CP_EditableText.h"
#include "CP_UndoManager.h"

#include <cstdint>
#include <memory>
#include <string>

class CP_HandleBlock;
class CP_TextField_SingleLine;

// What the commands of both kinds of text field share: the field, the
// selection and the text they found, and the typing run.
class CP_TextEditCommand : public CP_UndoableCommand {
 public:
  // Reads the field's selection and keeps the selected text.
  CP_TextEditCommand(std::shared_ptr<CP_TextFieldLink> link, const std::string& name);
  // A field still adding keys to the command forgets it.
  ~CP_TextEditCommand() override;

  // Performed, or taken back, only while the field's commander is the
  // target; the done flag follows in both cases.
  bool Do() override;
  bool Undo() override;

  int16_t GetSelectionStart() const { return fSelectionStart; }
  int16_t GetSelectionEnd() const { return fSelectionEnd; }
  const std::string& GetSavedText() const { return fSavedText; }

 protected:
  // Null once the field has gone.
  CP_M_EditableText* Field() const { return fLink->field; }

  // The saved text back at the selection start, selected as before.
  bool PutBackSavedText();

  // Typing runs: characters typed, or deleted backwards, at one place.
  void StartTyping();
  void BeginRun();
  void AddCharToRun(int16_t key);
  void DeleteCharInRun(int16_t key);
  bool UndoRun();
  bool RedoRun();

  // Clipboard work; the control's own operation where `byControl` is set.
  bool PerformCut(bool byControl);
  bool PerformCopy(bool alsoByControl);
  bool PerformPaste(bool byControl);
  bool UndoPaste();
  bool PerformClear();

  std::shared_ptr<CP_TextFieldLink> fLink;
  std::string fTypedText;   // what a run typed, taken back by Undo; what a paste put in
  bool fHasTypedText = false;
  std::string fSavedText;   // what the command took out of the field
  int16_t fSelectionStart = 0;
  int16_t fSelectionEnd = 0;
  // Typing: where the run began and where the next key is expected. Paste:
  // where the pasted text lies.
  int16_t fRunStart = 0;
  int16_t fRunEnd = 0;
};

class CP_TextFieldCommand : public CP_TextEditCommand {
 public:
  CP_TextFieldCommand(CP_TextField_SingleLine* field, const std::string& name);

  // Puts the saved text back.
  bool UndoIt() override { return PutBackSavedText(); }
  bool DoIt() override { return false; }
};

class CP_TextFieldCommand_InputChar : public CP_TextFieldCommand {
 public:
  CP_TextFieldCommand_InputChar(CP_TextField_SingleLine* field, const std::string& name);

  bool Undo() override;
  // Removes the run and puts back what it replaced or deleted.
  bool UndoIt() override { return UndoRun(); }
  // Its first performing finds the run in the field already; after an Undo
  // it puts the typed text back in place of the saved text.
  bool DoIt() override { return RedoRun(); }
  // The field stops adding keys to this command.
  void RedoIt() override;

  void AddChar(int16_t key) { AddCharToRun(key); }
  void DeleteChar(int16_t key) { DeleteCharInRun(key); }
  int16_t GetRunStart() const { return fRunStart; }
  int16_t GetRunEnd() const { return fRunEnd; }
};

class CP_TextFieldCommand_Cut : public CP_TextFieldCommand {
 public:
  using CP_TextFieldCommand::CP_TextFieldCommand;
  bool DoIt() override { return PerformCut(false); }
};

class CP_TextFieldCommand_Copy : public CP_TextFieldCommand {
 public:
  using CP_TextFieldCommand::CP_TextFieldCommand;
  bool DoIt() override { return PerformCopy(false); }
  bool UndoIt() override { return true; }
};

class CP_TextFieldCommand_Paste : public CP_TextFieldCommand {
 public:
  using CP_TextFieldCommand::CP_TextFieldCommand;
  bool DoIt() override { return PerformPaste(false); }
  bool UndoIt() override { return UndoPaste(); }
  int16_t GetPasteStart() const { return fRunStart; }
  int16_t GetPasteEnd() const { return fRunEnd; }
};

class CP_TextFieldCommand_Clear : public CP_TextFieldCommand {
 public:
  using CP_TextFieldCommand::CP_TextFieldCommand;
  bool DoIt() override { return PerformClear(); }
};

// The text of a block up to its first NUL, never past its size.
std::string CP_TextOfBlock(CP_HandleBlock* block);
