#include "CP_Commander.h"

#include "CP_Menu.h"
#include "CP_MenuBar.h"

namespace {

CP_M_Commander* gTarget = nullptr;
CP_M_Commander* gDefaultCommander = nullptr;

}  // namespace

CP_M_Commander::CP_M_Commander(CP_M_Commander* parent) : fParent(parent) {}

CP_M_Commander::~CP_M_Commander() {
  if (fTargetState == kIsTarget) {
    if (gTarget == this) gTarget = nullptr;
    if (fParent)
      ChangeTarget(fParent);
    else if (gDefaultCommander && gDefaultCommander != this)
      ChangeTarget(gDefaultCommander);
  }
  fParent = nullptr;
  if (gTarget == this) {
    gTarget = nullptr;
    if (gDefaultCommander != this) ChangeTarget(gDefaultCommander);
  }
}

CP_M_Commander* CP_M_Commander::GetTarget() { return gTarget; }
CP_M_Commander* CP_M_Commander::GetDefaultCommander() { return gDefaultCommander; }
void CP_M_Commander::SetDefaultCommander(CP_M_Commander* commander) { gDefaultCommander = commander; }

void CP_M_Commander::ChangeTarget(CP_M_Commander* newTarget) {
  if (!newTarget || newTarget == gTarget) return;
  if (!newTarget->CanBecomeTarget()) return;
  if (gTarget) ResignTarget(gTarget);
  TakeTarget(newTarget);
  if (gTarget) UpdateMenus();
}

void CP_M_Commander::TakeTarget(CP_M_Commander* commander) {
  gTarget = commander;
  if (!commander) return;
  commander->BecameTarget();
  commander->fTargetState = kIsTarget;
}

void CP_M_Commander::ResignTarget(CP_M_Commander* commander) {
  if (!commander) return;
  commander->ResignedTarget();
  commander->fTargetState = kNotTarget;
}

void CP_M_Commander::PostCommand(CP_Command* command) {
  if (!RunEventHandlers(kEventKind_PostedCommand, reinterpret_cast<uintptr_t>(command))) return;
  if (!command) return;
  try {
    command->Do();
  } catch (...) {
    // A failed command is dropped silently: no report, no undo entry.
    delete command;
  }
}

bool CP_M_Commander::CanBecomeTarget() { return true; }

int32_t CP_M_Commander::ExecuteCommand(int32_t command) {
  if (!RunEventHandlers(kEventKind_ExecuteCommand, uint32_t(command))) return 1;
  if (fParent) return fParent->ExecuteCommand(command);
  return kCmd_NotHandled;
}

int32_t CP_M_Commander::AnswerCommanderQuery(uint32_t a, uint32_t b) {
  return fParent ? fParent->AnswerCommanderQuery(a, b) : -1;
}

void CP_M_Commander::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  if (!RunEventHandlers(kEventKind_CommandStatus, uint32_t(command))) return;
  if (fParent) fParent->GetCommandStatus(command, menu);
}

bool CP_M_Commander::RouteKey(int16_t key, CP_Event& event) { return HandleKey(key, event); }

bool CP_M_Commander::QueryKeyFlag(uint32_t, uint32_t) { return false; }

bool CP_M_Commander::ApproveChildClose(CP_M_Commander*) { return true; }

bool CP_M_Commander::HandleKey(int16_t key, CP_Event& event) {
  if (fParent) fParent->HandleKey(key, event);
  return true;
}

void CP_M_Commander::UpdateMenus() {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  if (!bar) return;
  if (gTarget) {
    const int16_t count = bar->CountMenus();
    for (int16_t i = 1; i <= count; ++i) UpdateMenu(bar->GetMenu(i));
  }
  bar->Redraw();
}

void CP_M_Commander::UpdateMenu(CP_Menu* menu) {
  if (!gTarget || !menu) return;
  menu->DisableAllItems();
  const int16_t count = menu->CountItems();
  for (int16_t position = 1; position <= count; ++position) {
    const int32_t command = menu->GetItemCommand(position);
    if (command == 0) continue;
    if (gTarget->RunEventHandlers(kEventKind_CommandStatus, uint32_t(command)))
      gTarget->GetCommandStatus(command, menu);
    // The target may have gone while it answered.
    if (!gTarget) return;
  }
}

void CP_M_Commander::UpdateMenusForTarget() {
  if (gTarget) UpdateMenus();
}
