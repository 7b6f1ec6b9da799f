#include "CP_MenuBar.h"

#include "CP_Framework.h"

#include <algorithm>
#include <cstring>

namespace {

CP_MenuBar* gMenuBarInstance = nullptr;
HMENU gMenuBarHandle = nullptr;

}  // namespace

void CreateMenuBar() { new CP_MenuBar; }

CP_MenuBar::CP_MenuBar() {
  gMenuBarInstance = this;
  gMenuBarHandle = nullptr;
}

CP_MenuBar::~CP_MenuBar() {
  for (CP_Menu* menu : fMenus)
    if (menu) menu->RemoveReference();
  fMenus.clear();
  if (gMenuBarHandle) DestroyMenu(gMenuBarHandle);
  gMenuBarHandle = nullptr;
  if (gMenuBarInstance == this) gMenuBarInstance = nullptr;
}

CP_MenuBar* CP_MenuBar::GetMenuBar() { return gMenuBarInstance; }
HMENU CP_MenuBar::GetMenuBarHandle() { return gMenuBarHandle; }

// The "CPmb" resource: a signed 16-bit count N, then N signed 16-bit menu
// ids, little-endian. The count is bounded by the resource's real size.
std::vector<int16_t> CP_MenuBar::ReadMenuIds(int16_t resourceId) const {
  std::vector<int16_t> ids;
  HRSRC info = FindResourceA(gCP_Instance, MAKEINTRESOURCEA(uint16_t(resourceId)), "CPmb");
  if (!info) return ids;
  HGLOBAL loaded = LoadResource(gCP_Instance, info);
  const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  const DWORD size = SizeofResource(gCP_Instance, info);
  if (!bytes || size < 2) return ids;
  const int16_t declared = int16_t(bytes[0] | (bytes[1] << 8));
  const size_t available = (size - 2) / 2;
  const size_t count = declared < 0 ? 0 : std::min(size_t(declared), available);
  for (size_t k = 0; k < count; ++k)
    ids.push_back(int16_t(bytes[2 + 2 * k] | (bytes[3 + 2 * k] << 8)));
  return ids;
}

void CP_MenuBar::LoadMenus(int16_t resourceId) {
  const std::vector<int16_t> ids = ReadMenuIds(resourceId);
  if (!gCP_Started) return;

  gMenuBarHandle = LoadMenuA(gCP_Instance, MAKEINTRESOURCEA(uint16_t(resourceId)));
  const int count = gMenuBarHandle ? GetMenuItemCount(gMenuBarHandle) : 0;
  int16_t menuId = 0;
  for (int i = 0; i < count; ++i) {
    HMENU submenu = GetSubMenu(gMenuBarHandle, i);
    if (size_t(i) < ids.size()) menuId = ids[size_t(i)];
    char title[256] = {};
    GetMenuStringA(gMenuBarHandle, UINT(i), title, sizeof title, MF_BYPOSITION);
    CP_Menu* menu = new CP_Menu(menuId, title, submenu);
    AddSubMenu(menu);
    if (!submenu) continue;
    const int items = GetMenuItemCount(submenu);
    for (int j = 0; j < items; ++j) CP_ExpandSubmenuMark(submenu, j, this);
  }
  fAccelerators = LoadAcceleratorsA(gCP_Instance, MAKEINTRESOURCEA(uint16_t(resourceId)));
}

void CP_MenuBar::AttachToWindow(HWND window) {
  fWindow = window;
  if (gMenuBarHandle) {
    SetMenu(window, gMenuBarHandle);
    Redraw();
  }
}

void CP_MenuBar::AddMenu(CP_Menu* menu, uint8_t append) {
  if (!menu) return;
  menu->AddReference();
  ListMenuOnce(menu);
  if (append == 1) {
    AppendMenuA(gMenuBarHandle, MF_POPUP | MF_BYPOSITION, reinterpret_cast<UINT_PTR>(menu->GetHandle()),
                menu->GetTitle());
    Redraw();
  }
}

void CP_MenuBar::AddSubMenu(CP_Menu* menu) {
  if (!menu) return;
  menu->AddReference();
  ListMenuOnce(menu);
}

void CP_MenuBar::ListMenuOnce(CP_Menu* menu) {
  if (std::find(fMenus.begin(), fMenus.end(), menu) == fMenus.end()) fMenus.push_back(menu);
}

CP_Menu* CP_MenuBar::GetMenu(int16_t position) const {
  if (position < 1 || position > CountMenus()) return nullptr;
  return fMenus[size_t(position) - 1];
}

CP_Menu* CP_MenuBar::FindMenuByCommand(int32_t command) const {
  for (CP_Menu* menu : fMenus)
    if (menu && menu->FindItemByCommand(command) != 0) return menu;
  return nullptr;
}

CP_Menu* CP_MenuBar::FindMenuByHandle(HMENU handle) const {
  if (!handle) return nullptr;
  for (CP_Menu* menu : fMenus)
    if (menu && menu->GetHandle() == handle) return menu;
  return nullptr;
}

void CP_MenuBar::Redraw() {
  if (fWindow) DrawMenuBar(fWindow);
}

bool CP_MenuBar::EnableCommand(int32_t command) {
  for (CP_Menu* menu : fMenus)
    if (menu && menu->EnableCommand(command)) return true;
  return false;
}

bool CP_MenuBar::DisableCommand(int32_t command) {
  for (CP_Menu* menu : fMenus)
    if (menu && menu->DisableCommand(command)) return true;
  return false;
}

void CP_MenuBar::SetCommandText(int32_t command, const std::string& text) {
  if (CP_Menu* menu = FindMenuByCommand(command)) menu->SetCommandText(command, text);
}
