#include "CP_PopupMenu.h"

#include "CP_InStream.h"
#include "CP_Menu.h"
#include "CP_OutStream.h"
#include "CP_View.h"

namespace {

// Room below the closed box for the dropped-down list.
constexpr int16_t kListRoom = 100;
// The combobox's list tells the box that its selection changed.
constexpr WORD kSelectionChanged = 1;

}  // namespace

CP_PopupMenu::CP_PopupMenu(CP_View* superPane, const CP_PaneInfo& info, const std::string& label,
                           CP_Menu* menu, int16_t extraValue)
    : CP_PlatformControl(superPane, info, kPopupMenu, label, 0, 0, 0, 1),
      fMenuId(menu ? menu->GetMenuId() : int16_t(-1)),
      fLabel(label) {
  fMenu = menu;
  if (fMenu) fMenu->AddReference();
  fMaxValue = extraValue;
  fExtraValue = extraValue;
  MakeListWindow();
}

CP_PopupMenu::CP_PopupMenu(CP_View* superPane, Stored)
    : CP_PlatformControl(superPane, CP_PaneInfo(), kPopupMenu, "", 0, 0, 0, 1) {}

CP_PopupMenu::~CP_PopupMenu() {
  if (fMenu) fMenu->RemoveReference();
  fMenu = nullptr;
}

CP_M_Reanimatable* CP_PopupMenu::CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in) {
  auto* popup = new CP_PopupMenu(dynamic_cast<CP_View*>(superView), Stored{});
  try {
    popup->ReadFromStream(nullptr, in);
  } catch (...) {
    delete popup;
    throw;
  }
  popup->PlaceAfterReading();
  if (popup->fMenuId != -1) {
    popup->fMenu = new CP_Menu(popup->fMenuId, popup->fLabel.c_str(), uint8_t(0));
    popup->fMenu->AddReference();
  }
  popup->MakeListWindow();
  return popup;
}

void CP_PopupMenu::MakeListWindow() {
  const CP_Size windowSize(fSize.width, fSize.height + kListRoom);
  MakeControlWindow(fLocation, windowSize, "", "combobox", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST);
  SendMessageA(fControlWindow, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  if (fMenu) {
    const int16_t count = fMenu->CountItems();
    for (int16_t item = 1; item <= count; ++item) {
      char text[256] = {};
      fMenu->GetItemText(item, text, 255);
      SendMessageA(fControlWindow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    fMaxValue = count;
    SendMessageA(fControlWindow, CB_SETCURSEL, WPARAM(fValue), 0);
  }
  fMinValue = 0;
}

int16_t CP_PopupMenu::CurrentSelection() const {
  return int16_t(SendMessageA(fControlWindow, CB_GETCURSEL, 0, 0) + 1);
}

int16_t CP_PopupMenu::GetValue() { return CurrentSelection(); }

void CP_PopupMenu::SetValue(int16_t value, bool) {
  SendMessageA(fControlWindow, CB_SETCURSEL, WPARAM(int32_t(value) - 1), 0);
}

void CP_PopupMenu::ActiveSpotClicked(int16_t) { CP_Control::SetValue(CurrentSelection(), true); }

// The list reaches its own box with WM_COMMAND when its selection changed.
LRESULT CP_PopupMenu::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COMMAND) return CP_PlatformControl::HandleMessage(window, message, wParam, lParam);
  if (HIWORD(wParam) == kSelectionChanged) {
    // A listener may close the window that holds the control.
    const auto life = LifeToken();
    CP_Control::SetValue(CurrentSelection(), true);
    if (life.expired()) return 0;
  }
  return PassOn(window, message, wParam, lParam);
}

void CP_PopupMenu::WriteToStream(CP_OutStream& out) {
  CP_PlatformControl::WriteToStream(out);
  out.WriteString(fLabel).WriteInt16(fExtraValue).WriteInt16(fMenuId);
}

void CP_PopupMenu::ReadFromStream(void* context, CP_InStream& in) {
  CP_PlatformControl::ReadFromStream(context, in);
  in.ReadString(fLabel).ReadInt16(fExtraValue).ReadInt16(fMenuId);
}
