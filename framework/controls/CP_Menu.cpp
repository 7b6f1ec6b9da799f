#include "CP_Menu.h"

#include "CP_Geometry.h"
#include "CP_MenuBar.h"
#include "CP_Framework.h"
#include "CP_Pane.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr char kSubmenuMark[] = "[HIERARCHICAL";
constexpr size_t kMarkLength = sizeof kSubmenuMark - 1;
constexpr int kItemTextSize = 255;

std::string MenuString(HMENU menu, int windowsPosition) {
  char text[kItemTextSize + 1] = {};
  GetMenuStringA(menu, UINT(windowsPosition), text, kItemTextSize, MF_BYPOSITION);
  return text;
}

// The submenu's resource id from the three digits after the mark; -1 when
// they are not all there.
int MarkedMenuId(const std::string& text, size_t markAt) {
  size_t digitsAt = markAt + kMarkLength;
  if (digitsAt + 3 > text.size()) return -1;
  int id = 0;
  for (size_t i = digitsAt; i < digitsAt + 3; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    id = id * 10 + (text[i] - '0');
  }
  return id;
}

// The MENU resources whose marks are being expanded, outermost first. A
// mark that names one of them would build menus without end.
std::vector<int>& MenusBeingBuilt() {
  static std::vector<int> ids;
  return ids;
}

bool IsBeingBuilt(int menuId) {
  const std::vector<int>& ids = MenusBeingBuilt();
  return std::find(ids.begin(), ids.end(), menuId) != ids.end();
}

}  // namespace

bool CP_ExpandSubmenuMark(HMENU menu, int position, CP_MenuBar* bar) {
  const std::string text = MenuString(menu, position);
  const size_t bracket = text.find('[');
  if (bracket == std::string::npos || text.compare(bracket, kMarkLength, kSubmenuMark) != 0)
    return false;
  const int submenuId = MarkedMenuId(text, bracket);
  if (submenuId < 0 || IsBeingBuilt(submenuId)) return false;

  const std::string title = text.substr(0, bracket);
  const UINT command = uint16_t(GetMenuItemID(menu, position));
  ModifyMenuA(menu, UINT(position), MF_BYPOSITION, command, title.c_str());

  CP_Menu* submenu = new CP_Menu(int16_t(submenuId), title.c_str(), uint8_t(0));
  HMENU handle = submenu->GetHandle();
  if (bar) {
    bar->AddSubMenu(submenu);
  } else {
    // Nobody would hold the wrapper: the handle belongs to the item alone and
    // dies with the parent menu.
    submenu->DetachHandle();
    submenu->RemoveReference();
  }
  ModifyMenuA(menu, UINT(position), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(handle),
              title.c_str());
  return true;
}

CP_Menu::CP_Menu(int16_t menuId, const char* title, uint8_t asPopup) : fMenuId(menuId) {
  SetTitle(title);
  fHandle = LoadMenuA(gCP_Instance, MAKEINTRESOURCEA(uint16_t(menuId)));
  if (fHandle) {
    ListCommandsOfHandle();
    ScanSubmenuMarks();
  }
  if (asPopup == 1) CopyIntoPopup();
}

CP_Menu::CP_Menu(int16_t menuId, const char* title, HMENU handle) : fHandle(handle), fMenuId(menuId) {
  SetTitle(title);
  if (fHandle) ListCommandsOfHandle();
}

CP_Menu::~CP_Menu() {
  if (fHandle) DestroyMenu(fHandle);
}

void CP_Menu::SetTitle(const char* title) {
  snprintf(fTitle, sizeof fTitle, "%s", title ? title : "");
}

void CP_Menu::ListCommandsOfHandle() {
  const int count = GetMenuItemCount(fHandle);
  for (int i = 0; i < count; ++i) fCommands.push_back(int32_t(GetMenuItemID(fHandle, i)));
}

void CP_Menu::ScanSubmenuMarks() {
  const int count = GetMenuItemCount(fHandle);
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  MenusBeingBuilt().push_back(uint16_t(fMenuId));
  try {
    for (int i = 0; i < count; ++i) CP_ExpandSubmenuMark(fHandle, i, bar);
  } catch (...) {
    MenusBeingBuilt().pop_back();
    throw;
  }
  MenusBeingBuilt().pop_back();
}

void CP_Menu::CopyIntoPopup() {
  HMENU popup = CreatePopupMenu();
  if (fHandle) {
    const int16_t count = CountItems();
    for (int16_t position = 1; position <= count; ++position) {
      const std::string text = GetItemText(position);
      const UINT command = GetMenuItemID(fHandle, position - 1);
      if (text.empty())
        AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
      else
        AppendMenuA(popup, MF_STRING, command, text.c_str());
    }
    // DestroyMenu is recursive: submenus the menu bar holds are detached
    // first; the others belong to this menu alone and go with it.
    CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
    for (int i = GetMenuItemCount(fHandle) - 1; i >= 0; --i) {
      HMENU submenu = GetSubMenu(fHandle, i);
      if (submenu && bar && bar->FindMenuByHandle(submenu)) RemoveMenu(fHandle, UINT(i), MF_BYPOSITION);
    }
    DestroyMenu(fHandle);
  }
  fHandle = popup;
}

void CP_Menu::CreateEmpty(int16_t menuId, const char* title) {
  fMenuId = menuId;
  SetTitle(title);
  fHandle = CreateMenu();
}

int16_t CP_Menu::CountItems() const {
  if (!fHandle) return 0;
  const int count = GetMenuItemCount(fHandle);
  return count < 0 ? 0 : int16_t(count);
}

int32_t CP_Menu::GetItemCommand(int16_t position) const {
  if (position < 1 || size_t(position) > fCommands.size()) return 0;
  return fCommands[size_t(position) - 1];
}

int16_t CP_Menu::FindItemByCommand(int32_t command) const {
  const int16_t count = CountItems();
  for (int16_t position = 1; position <= count && size_t(position) <= fCommands.size(); ++position)
    if (fCommands[size_t(position) - 1] == command) return position;
  return 0;
}

void CP_Menu::AppendItem(const std::string& text, int32_t command) {
  AppendMenuA(fHandle, MF_STRING, UINT_PTR(uint32_t(command)), text.c_str());
  fCommands.push_back(command);
}

void CP_Menu::AppendSeparator() {
  AppendMenuA(fHandle, MF_SEPARATOR, 0, nullptr);
  fCommands.push_back(0);
}

void CP_Menu::RemoveItem(int16_t position) {
  DeleteMenu(fHandle, UINT(position - 1), MF_BYPOSITION);
  if (position >= 1 && size_t(position) <= fCommands.size())
    fCommands.erase(fCommands.begin() + (position - 1));
}

void CP_Menu::GetItemText(int16_t position, char* buffer, int16_t bufferSize) const {
  if (!buffer || bufferSize <= 0) return;
  buffer[0] = '\0';
  GetMenuStringA(fHandle, UINT(position - 1), buffer, bufferSize, MF_BYPOSITION);
}

std::string CP_Menu::GetItemText(int16_t position) const {
  char text[kItemTextSize + 1] = {};
  GetItemText(position, text, kItemTextSize);
  return text;
}

void CP_Menu::SetItemText(int16_t position, const std::string& text) {
  if (position < 1 || position > CountItems()) return;
  const UINT windowsPosition = UINT(position - 1);
  const UINT state = GetMenuState(fHandle, windowsPosition, MF_BYPOSITION) | MF_BYPOSITION;
  ModifyMenuA(fHandle, windowsPosition, state, GetMenuItemID(fHandle, int(windowsPosition)),
              text.c_str());
}

void CP_Menu::SetCommandText(int32_t command, const std::string& text) {
  const int16_t position = FindItemByCommand(command);
  if (position) SetItemText(position, text);
}

void CP_Menu::EnableItem(int16_t position) {
  EnableMenuItem(fHandle, UINT(position - 1), MF_BYPOSITION | MF_ENABLED);
}

void CP_Menu::DisableItem(int16_t position) {
  EnableMenuItem(fHandle, UINT(position - 1), MF_BYPOSITION | MF_GRAYED | MF_DISABLED);
}

void CP_Menu::DisableAllItems() {
  const int16_t count = CountItems();
  for (int16_t position = 1; position <= count; ++position) DisableItem(position);
}

bool CP_Menu::EnableCommand(int32_t command) {
  return ForEachItemOf(command, &CP_Menu::EnableItem);
}

bool CP_Menu::DisableCommand(int32_t command) {
  return ForEachItemOf(command, &CP_Menu::DisableItem);
}

// Every item that carries the command, not only the first.
bool CP_Menu::ForEachItemOf(int32_t command, void (CP_Menu::*action)(int16_t)) {
  bool found = false;
  for (size_t i = 0; i < fCommands.size(); ++i)
    if (fCommands[i] == command) {
      (this->*action)(int16_t(i + 1));
      found = true;
    }
  return found;
}

void CP_Menu::CheckItem(int16_t position, char, uint8_t check) {
  CheckMenuItem(fHandle, UINT(position - 1), MF_BYPOSITION | (check == 1 ? MF_CHECKED : MF_UNCHECKED));
}

void CP_Menu::TrackPopup(CP_Pane* pane, const CP_Point& globalPoint) {
  TrackPopupMenu(fHandle, TPM_RIGHTBUTTON, globalPoint.h, globalPoint.v, 0,
                 pane ? pane->GetHWND() : nullptr, nullptr);
}

int16_t CP_Menu::TrackPopupForItem(CP_Pane* pane, const CP_Point& globalPoint) {
  const BOOL command = TrackPopupMenu(fHandle, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                      globalPoint.h, globalPoint.v, 0,
                                      pane ? pane->GetHWND() : nullptr, nullptr);
  if (command == 0) return 0;
  return int16_t(FindItemByCommand(int32_t(command)));
}
