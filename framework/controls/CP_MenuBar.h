#pragma once
// The application's one menu bar: the Windows menu bar of MENU resource R,
// every top-level menu and marked submenu wrapped in a CP_Menu.
#include "CP_Menu.h"

#include <vector>

class CP_MenuBar : public CP_M_MenuEnabler {
 public:
  CP_MenuBar();
  ~CP_MenuBar() override;
  CP_MenuBar(const CP_MenuBar&) = delete;
  CP_MenuBar& operator=(const CP_MenuBar&) = delete;

  static CP_MenuBar* GetMenuBar();
  static HMENU GetMenuBarHandle();

  void LoadMenus(int16_t resourceId);
  void AttachToWindow(HWND window);
  void AddMenu(CP_Menu* menu, uint8_t append);
  void AddSubMenu(CP_Menu* menu);
  void ListMenuOnce(CP_Menu* menu);
  int16_t CountMenus() const { return int16_t(fMenus.size()); }
  CP_Menu* GetMenu(int16_t position) const;
  CP_Menu* FindMenuByCommand(int32_t command) const;
  // The listed menu wrapping this handle; null when none does.
  CP_Menu* FindMenuByHandle(HMENU handle) const;
  void Redraw();
  int16_t GetHeight() const { return 0; }  // the menu lies inside the window frame
  HACCEL GetAccelerators() const { return fAccelerators; }

  bool EnableCommand(int32_t command) override;
  bool DisableCommand(int32_t command) override;
  void SetCommandText(int32_t command, const std::string& text) override;

 private:
  std::vector<int16_t> ReadMenuIds(int16_t resourceId) const;

  std::vector<CP_Menu*> fMenus;
  HWND fWindow = nullptr;
  HACCEL fAccelerators = nullptr;
};

// Makes the menu bar: the application's start-up step.
void CreateMenuBar();
