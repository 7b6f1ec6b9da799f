#pragma once
// The undoable editing commands of the rich-text field. Cut, Copy and Paste
// go through the rich edit control's own clipboard operations, so that
// styles travel with the text; what a command takes out of the field it
// keeps as rich text and puts back on Undo.
#include "CP_TextFieldCommands.h"

#include <string>

class CP_TextField_MS_SingleLine;

class CP_TextFieldCommands : public CP_TextEditCommand {
 public:
  CP_TextFieldCommands(CP_TextField_MS_SingleLine* field, const std::string& name);

  bool UndoIt() override { return true; }
  bool DoIt() override { return false; }
};

class CP_TextFieldCommand_MS_InputChar : public CP_TextFieldCommands {
 public:
  CP_TextFieldCommand_MS_InputChar(CP_TextField_MS_SingleLine* field, const std::string& name);

  bool Undo() override;
  // Removes the run and puts back what it replaced or deleted; the removed
  // text stays in the command, the clipboard is left alone.
  bool UndoIt() override { return UndoRun(); }
  bool DoIt() override { return RedoRun(); }

  void AddChar(int16_t key) { AddCharToRun(key); }
  void DeleteChar(int16_t key) { DeleteCharInRun(key); }
  int16_t GetRunStart() const { return fRunStart; }
  int16_t GetRunEnd() const { return fRunEnd; }
};

class CP_TextFieldCommand_MS_Cut : public CP_TextFieldCommands {
 public:
  using CP_TextFieldCommands::CP_TextFieldCommands;
  bool DoIt() override { return PerformCut(true); }
  bool UndoIt() override { return PutBackSavedText(); }
};

class CP_TextFieldCommand_MS_Copy : public CP_TextFieldCommands {
 public:
  using CP_TextFieldCommands::CP_TextFieldCommands;
  bool DoIt() override { return PerformCopy(true); }
};

class CP_TextFieldCommand_MS_Paste : public CP_TextFieldCommands {
 public:
  using CP_TextFieldCommands::CP_TextFieldCommands;
  bool DoIt() override { return PerformPaste(true); }
  bool UndoIt() override { return UndoPaste(); }
};

class CP_TextFieldCommand_MS_Clear : public CP_TextFieldCommands {
 public:
  using CP_TextFieldCommands::CP_TextFieldCommands;
  bool DoIt() override { return PerformClear(); }
  bool UndoIt() override { return PutBackSavedText(); }
};
