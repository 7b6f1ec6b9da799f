#pragma once
// A pop-up menu control: a drop-down "combobox" filled from a CP_Menu. Its
// value is the 1-based number of the chosen item, 0 for none.
#include "CP_PlatformControl.h"

class CP_Menu;
class CP_M_Reanimatable;

class CP_PopupMenu : public CP_PlatformControl {
 public:
  // Holds one reference to the menu. Until the items are counted the
  // maximum is `extraValue`.
  CP_PopupMenu(CP_View* superPane, const CP_PaneInfo& info, const std::string& label, CP_Menu* menu,
               int16_t extraValue);
  ~CP_PopupMenu() override;

  // A stored pop-up menu: its items come from the MENU resource of the
  // stored menu id, when there is one.
  static CP_M_Reanimatable* CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in);

  // The platform control's fields, then label, extra value and menu id.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;

  // The list's selection + 1.
  int16_t GetValue() override;
  // Only moves the list's selection: the stored value stays and nobody is
  // told.
  void SetValue(int16_t value, bool broadcast) override;
  // Takes the list's selection as the value and tells the listeners of a
  // change.
  void ActiveSpotClicked(int16_t part) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleControlColor(HWND, UINT, WPARAM, LPARAM) override { return 0; }

  CP_Menu* GetMenu() const { return fMenu; }
  int16_t GetMenuId() const { return fMenuId; }
  const std::string& GetLabel() const { return fLabel; }
  int16_t GetExtraValue() const { return fExtraValue; }

 protected:
  const char* RuntimeClassName() const override { return "CP_PopupMenu"; }

 private:
  struct Stored {};
  CP_PopupMenu(CP_View* superPane, Stored);

  void MakeListWindow();
  int16_t CurrentSelection() const;

  CP_Menu* fMenu = nullptr;  // counted
  int16_t fMenuId = -1;
  std::string fLabel;
  int16_t fExtraValue = 0;
};
