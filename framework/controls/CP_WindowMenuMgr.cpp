#include "CP_WindowMenuMgr.h"

#include "CP_Desktop.h"
#include "CP_Menu.h"
#include "CP_Window.h"

#include <algorithm>
#include <string>

namespace {

CP_WindowMenuMgr* gManager = nullptr;
constexpr int32_t kItemBase = 900;

}  // namespace

CP_WindowMenuMgr::CP_WindowMenuMgr(CP_M_Commander* served, CP_Menu* menu)
    : CP_M_Commander(served ? served->GetParentCommander() : nullptr), fServed(served), fMenu(menu) {
  if (fMenu) fMenu->AddReference();
  if (fServed) fServed->SetParentCommander(this);
  gManager = this;
}

CP_WindowMenuMgr::~CP_WindowMenuMgr() {
  if (gManager == this) gManager = nullptr;
  if (fServed && fServed->GetParentCommander() == this) fServed->SetParentCommander(GetParentCommander());
  if (fMenu) fMenu->RemoveReference();
}

CP_WindowMenuMgr* CP_WindowMenuMgr::GetManager() { return gManager; }

void CP_WindowMenuMgr::AddWindow(CP_Window* window) {
  if (!fMenu) return;
  fWindows.push_back(window);
  if (fWindows.size() == 1) fMenu->AppendSeparator();
  const std::string title = window->GetTitle();
  fMenu->AppendItem(title.empty() ? " " : title, kItemBase + int32_t(fWindows.size()));
}

// Numbers follow the list, so every item after the window's is renumbered:
// the whole list of items is rebuilt.
void CP_WindowMenuMgr::RemoveWindow(CP_Window* window) {
  if (!fMenu) return;
  if (std::find(fWindows.begin(), fWindows.end(), window) == fWindows.end()) return;
  for (size_t n = fWindows.size(); n > 0; --n) fMenu->RemoveItem(fMenu->CountItems());
  fWindows.remove(window);
  if (fWindows.empty()) {
    if (fMenu->CountItems() >= 1) fMenu->RemoveItem(fMenu->CountItems());
    fLastState = 0;
    return;
  }
  int32_t command = kItemBase;
  for (CP_Window* listed : fWindows) fMenu->AppendItem(listed->GetTitle(), ++command);
}

int32_t CP_WindowMenuMgr::ExecuteCommand(int32_t command) {
  if (command >= kItemBase && command <= kCmd_LastWindow) {
    int32_t number = 1;
    for (CP_Window* window : fWindows) {
      if (number == command - kItemBase) {
        window->BringToFront();
        break;
      }
      ++number;
    }
    return kCmd_NotHandled;
  }
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  switch (command) {
    case kCmd_Cascade:
      if (desktop) desktop->CascadeWindows();
      return 0;
    case kCmd_TileStacked:
      if (desktop) desktop->TileWindowsStacked();
      return 0;
    case kCmd_TileSideBySide:
      if (desktop) desktop->TileWindowsSideBySide();
      return 0;
    case kCmd_CloseAll:
      if (desktop) desktop->CloseWindowsOfKind(1);
      return 0;
    default:
      return kCmd_NotHandled;
  }
}

void CP_WindowMenuMgr::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  const int32_t listed = int32_t(fWindows.size());
  const bool arrangement = command >= kCmd_Cascade && command <= kCmd_CloseAll;
  const bool item = command >= kCmd_FirstWindow && command <= kItemBase + listed;
  if (!arrangement && !item) {
    CP_M_Commander::GetCommandStatus(command, menu);
    return;
  }
  if (menu && listed > 0) menu->EnableCommand(command);
}
