#pragma once
// A Windows menu with the command number of every item, addressed by 1-based
// position or by command.
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>
#include <string>
#include <vector>

class CP_Pane;
class CP_Point;

// What the commanders enable, disable and retitle through.
class CP_M_MenuEnabler {
 public:
  virtual ~CP_M_MenuEnabler() = default;
  virtual bool EnableCommand(int32_t command) = 0;
  virtual bool DisableCommand(int32_t command) = 0;
  virtual void SetCommandText(int32_t command, const std::string& text) = 0;
};

class CP_Menu : public CP_M_ReferenceCounted, public CP_M_MenuEnabler {
 public:
  static constexpr int kMaxTitle = 254;

  CP_Menu() = default;
  // From MENU resource `menuId`; submenu marks in item texts call in further
  // menus. With asPopup the items are copied into a pop-up menu.
  CP_Menu(int16_t menuId, const char* title, uint8_t asPopup);
  // Takes an existing menu handle as it is.
  CP_Menu(int16_t menuId, const char* title, HMENU handle);
  ~CP_Menu() override;

  void CreateEmpty(int16_t menuId, const char* title);

  HMENU GetHandle() const { return fHandle; }
  // Gives the handle up: the menu no longer destroys it.
  HMENU DetachHandle() {
    HMENU h = fHandle;
    fHandle = nullptr;
    return h;
  }
  int16_t GetMenuId() const { return fMenuId; }
  const char* GetTitle() const { return fTitle; }

  int16_t CountItems() const;
  int32_t GetItemCommand(int16_t position) const;
  int16_t FindItemByCommand(int32_t command) const;
  void AppendItem(const std::string& text, int32_t command);
  void AppendSeparator();
  void RemoveItem(int16_t position);
  void GetItemText(int16_t position, char* buffer, int16_t bufferSize) const;
  std::string GetItemText(int16_t position) const;
  void SetItemText(int16_t position, const std::string& text);
  void EnableItem(int16_t position);
  void DisableItem(int16_t position);
  void DisableAllItems();
  void CheckItem(int16_t position, char mark, uint8_t check);
  void PrepareForDisplay() {}
  void TrackPopup(CP_Pane* pane, const CP_Point& globalPoint);
  int16_t TrackPopupForItem(CP_Pane* pane, const CP_Point& globalPoint);

  bool EnableCommand(int32_t command) override;
  bool DisableCommand(int32_t command) override;
  void SetCommandText(int32_t command, const std::string& text) override;

 private:
  void SetTitle(const char* title);
  void ListCommandsOfHandle();
  void ScanSubmenuMarks();
  void CopyIntoPopup();
  bool ForEachItemOf(int32_t command, void (CP_Menu::*action)(int16_t));

  HMENU fHandle = nullptr;
  int16_t fMenuId = 0;
  char fTitle[kMaxTitle + 1] = {};
  std::vector<int32_t> fCommands;  // entry k: the command of position k + 1
};

class CP_MenuBar;

// Turns an item whose text holds the submenu mark into a pop-up entry that
// opens the submenu it names, registered with `bar` when there is one.
// Answers whether the item was marked.
bool CP_ExpandSubmenuMark(HMENU menu, int position, CP_MenuBar* bar);
