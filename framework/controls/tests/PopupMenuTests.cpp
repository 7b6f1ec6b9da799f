// The pop-up menu control: a drop-down list filled from a menu. Choices
// made with the mouse are in the focus program.
#include "CP_Menu.h"
#include "CP_PopupMenu.h"
#include "ControlTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using kxtest::MessageRecorder;
using kxtest::PaneAt;

using PopupMenuTest = kxtest::SceneTest;

LRESULT Ask(CP_PopupMenu* popup, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendMessageA(popup->GetControlWindow(), message, wParam, lParam);
}

std::string ListText(CP_PopupMenu* popup, int index) {
  char text[256] = {};
  Ask(popup, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(PopupMenuTest, ListHoldsTheMenuItemsAndShowsTheFirst) {
  CP_Menu* menu = new CP_Menu(150, "Sizes", uint8_t(0));
  menu->AddReference();
  auto* popup = new CP_PopupMenu(window, PaneAt(10, 10, 120, 24), "Size", menu, 10);
  EXPECT_EQ(2, menu->GetReferenceCount());
  HWND h = popup->GetControlWindow();
  char className[32] = {};
  GetClassNameA(h, className, sizeof className);
  EXPECT_STREQ("ComboBox", className);
  EXPECT_EQ(CBS_DROPDOWNLIST, GetWindowLongA(h, GWL_STYLE) & 3);
  EXPECT_EQ("Size", popup->GetLabel());

  ASSERT_EQ(3, Ask(popup, CB_GETCOUNT));
  EXPECT_EQ("Small", ListText(popup, 0));
  EXPECT_EQ("Large", ListText(popup, 2));
  EXPECT_EQ(150, popup->GetMenuId());
  EXPECT_EQ(10, popup->GetExtraValue());
  EXPECT_EQ(0, popup->GetMinValue());
  EXPECT_EQ(3, popup->GetMaxValue()) << "the item count";
  EXPECT_EQ(1, popup->GetValue()) << "the first item shows";
  EXPECT_EQ(CP_PlatformControl::kPopupMenu, popup->GetControlKind());

  RECT box = {}, dropped = {};
  GetWindowRect(h, &box);
  SendMessageA(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  EXPECT_GE(dropped.bottom - box.bottom, 70) << "room for the list below the box";

  window->DetachSubPane(popup, false, true);
  EXPECT_EQ(1, menu->GetReferenceCount());
  menu->RemoveReference();
}

TEST_F(PopupMenuTest, MenuLessPopupHasNoItemsAndTheExtraValueAsMaximum) {
  auto* popup = new CP_PopupMenu(window, PaneAt(10, 10, 120, 24), "Size", nullptr, 10);
  EXPECT_EQ(0, Ask(popup, CB_GETCOUNT));
  EXPECT_EQ(-1, popup->GetMenuId());
  EXPECT_EQ(10, popup->GetMaxValue());
  EXPECT_EQ(0, popup->GetValue());
}

TEST_F(PopupMenuTest, SetValueMovesOnlyTheSelection) {
  auto* popup = new CP_PopupMenu(window, PaneAt(10, 10, 120, 24), "Size", new CP_Menu(150, "Sizes", uint8_t(0)), 10);
  MessageRecorder recorder;
  popup->AddListener(&recorder);
  popup->SetValue(3, true);
  EXPECT_EQ(2, Ask(popup, CB_GETCURSEL));
  EXPECT_EQ(3, popup->GetValue());
  popup->SetValue(0, true);
  EXPECT_EQ(-1, Ask(popup, CB_GETCURSEL)) << "0 clears the selection";
  EXPECT_EQ(0, popup->GetValue());
  EXPECT_TRUE(recorder.messages.empty()) << "nobody is told";
}

// The list tells its box of a new selection with WM_COMMAND, code 1.
TEST_F(PopupMenuTest, ChangedSelectionReachingTheBoxIsBroadcastOnce) {
  auto* popup = new CP_PopupMenu(window, PaneAt(10, 10, 120, 24), "Size", new CP_Menu(150, "Sizes", uint8_t(0)), 10);
  popup->SetBroadcastCode(3);
  MessageRecorder recorder;
  popup->AddListener(&recorder);
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(popup->GetControlWindow(), &info));
  auto listSays = [&](int index) {
    SendMessageA(info.hwndList, LB_SETCURSEL, WPARAM(index), 0);
    Ask(popup, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(info.hwndList), LBN_SELCHANGE),
        reinterpret_cast<LPARAM>(info.hwndList));
  };
  listSays(1);
  ASSERT_EQ(1u, recorder.messages.size());
  EXPECT_EQ(3, recorder.messages[0].value);
  EXPECT_EQ(2, popup->CP_Control::GetValue()) << "the stored value";
  listSays(1);
  EXPECT_EQ(1u, recorder.messages.size()) << "the same choice again";
  listSays(0);
  EXPECT_EQ(2u, recorder.messages.size());
}

}  // namespace
