#pragma once
// The framework's Window menu: one item per listed document window, in the
// order the windows were opened, behind a separator, and the commands that
// cascade (19), tile one under the other (20), tile side by side (21) and
// close all document windows (22). Item n activates window number n with
// command 900 + n. The framework has at most one manager.
#include "CP_Commander.h"

#include <cstdint>
#include <list>

class CP_Menu;
class CP_Window;

class CP_WindowMenuMgr : public CP_M_Commander {
 public:
  enum : int32_t {
    kCmd_Cascade = 19,
    kCmd_TileStacked = 20,
    kCmd_TileSideBySide = 21,
    kCmd_CloseAll = 22,
    kCmd_FirstWindow = 901,
    kCmd_LastWindow = 999,
  };

  // Becomes the framework's manager and joins the commander chain right
  // above `served` (the application), so the commands that nobody below
  // takes reach it; `served` must live until the manager is deleted. The
  // manager keeps one reference to the menu, which it extends by the window
  // items; without a menu it lists nothing.
  CP_WindowMenuMgr(CP_M_Commander* served, CP_Menu* menu);
  ~CP_WindowMenuMgr() override;

  // Null while no manager exists.
  static CP_WindowMenuMgr* GetManager();

  // Appends the window and its item, with the separator before the first.
  void AddWindow(CP_Window* window);
  // Takes the window out and renumbers the rest; a window that is not
  // listed changes nothing.
  void RemoveWindow(CP_Window* window);

  // 0 for the four arrangement commands; window items bring their window to
  // the front and still answer -1; other commands are not passed on.
  int32_t ExecuteCommand(int32_t command) override;
  // Enables the arrangement commands and the window items while windows
  // are listed.
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;

  CP_Menu* GetMenu() const { return fMenu; }
  const std::list<CP_Window*>& GetWindows() const { return fWindows; }

 private:
  CP_M_Commander* fServed;
  CP_Menu* fMenu;  // counted
  std::list<CP_Window*> fWindows;
  int32_t fLastState = 0;
};
