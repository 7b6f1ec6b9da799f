#include "CP_TextFieldCommands_MS.h"

#include "CP_TextField_MS_SingleLine.h"

CP_TextFieldCommands::CP_TextFieldCommands(CP_TextField_MS_SingleLine* field, const std::string& name)
    : CP_TextEditCommand(field ? field->GetLink() : nullptr, name) {}

CP_TextFieldCommand_MS_InputChar::CP_TextFieldCommand_MS_InputChar(CP_TextField_MS_SingleLine* field,
                                                                   const std::string& name)
    : CP_TextFieldCommands(field, name) {
  StartTyping();
}

// An undone run is closed: keys typed afterwards start a command of their
// own.
bool CP_TextFieldCommand_MS_InputChar::Undo() {
  const bool performed = CP_TextFieldCommands::Undo();
  if (CP_M_EditableText* field = Field()) field->ForgetCommand(this);
  return performed;
}
