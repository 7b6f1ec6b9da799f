#include "CP_UndoManager.h"

#include "CP_MenuBar.h"

#include <algorithm>

CP_UndoManager::CP_UndoManager() : CP_EventHandlerAttachment(kEventKind_Any) {}

CP_UndoManager::~CP_UndoManager() { Clear(); }

bool CP_UndoManager::HandleEvent(uint32_t kind, uintptr_t data) {
  const int32_t command = int32_t(data);
  if (kind == kEventKind_ExecuteCommand) {
    if (command == kCmd_Undo) {
      Undo();
      return false;
    }
    if (command == kCmd_Redo) {
      Redo();
      return false;
    }
    return true;
  }
  if (kind == kEventKind_CommandStatus) {
    if (command != kCmd_Undo && command != kCmd_Redo) return true;
    UpdateCommandStatus(command);
    return false;
  }
  if (kind == kEventKind_PostedCommand) {
    // A plain command has no undo: the commander then performs it itself.
    auto* undoable = dynamic_cast<CP_UndoableCommand*>(reinterpret_cast<CP_Command*>(data));
    if (data && !undoable) return true;
    AcceptCommand(undoable);
    return false;
  }
  return true;
}

bool CP_UndoManager::Holds(const CP_UndoableCommand* command) const {
  return std::find(fUndoList.begin(), fUndoList.end(), command) != fUndoList.end() ||
         std::find(fRedoList.begin(), fRedoList.end(), command) != fRedoList.end();
}

// A command enters the history through the redo list, so commands undone
// before it stay behind it and can still be redone afterwards.
void CP_UndoManager::AcceptCommand(CP_UndoableCommand* command) {
  // A second entry for the same command would be deleted twice.
  if (!command || Holds(command)) return;
  fRedoList.push_back(command);
  Redo();
}

void CP_UndoManager::Undo() {
  if (fUndoList.empty()) return;
  CP_UndoableCommand* command = fUndoList.back();
  fUndoList.pop_back();
  try {
    command->Undo();
  } catch (...) {
    // A failed command leaves the history silently.
    delete command;
    return;
  }
  fRedoList.push_back(command);
}

// Redoing performs the command again through Do.
void CP_UndoManager::Redo() {
  if (fRedoList.empty()) return;
  CP_UndoableCommand* command = fRedoList.back();
  fRedoList.pop_back();
  try {
    command->Do();
  } catch (...) {
    delete command;
    return;
  }
  fUndoList.push_back(command);
  while (fUndoList.size() > size_t(std::max<int16_t>(fMaximumDepth, 0))) {
    delete fUndoList.front();
    fUndoList.pop_front();
  }
}

std::string CP_UndoManager::GetUndoName() const {
  return fUndoList.empty() ? std::string() : fUndoList.back()->GetName();
}

std::string CP_UndoManager::GetRedoName() const {
  return fRedoList.empty() ? std::string() : fRedoList.back()->GetName();
}

void CP_UndoManager::Clear() {
  while (!fRedoList.empty()) {
    delete fRedoList.back();
    fRedoList.pop_back();
  }
  while (!fUndoList.empty()) {
    delete fUndoList.back();
    fUndoList.pop_back();
  }
}

void CP_UndoManager::UpdateCommandStatus(int32_t command) {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  CP_Menu* menu = bar->FindMenuByCommand(command);
  if (!menu) return;

  std::string text = fUndoText;
  const bool canUndo = !fUndoList.empty();
  if (canUndo) text = fUndoPrefix + GetUndoName();
  menu->SetCommandText(kCmd_Undo, text + "\tCtrl+Z");
  if (canUndo)
    bar->EnableCommand(kCmd_Undo);
  else
    bar->DisableCommand(kCmd_Undo);

  if (!fRedoList.empty()) {
    bar->EnableCommand(kCmd_Redo);
    text = fRedoPrefix + GetRedoName();
  } else {
    bar->DisableCommand(kCmd_Redo);
    text = fRedoText;
  }
  menu->SetCommandText(kCmd_Redo, text);
}
