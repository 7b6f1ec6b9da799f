// Menus from MENU resources with submenu marks, the command list, enabling
// by command, the pop-up copy.
#include "CP_Commander.h"
#include "CP_Menu.h"
#include "CP_MenuBar.h"
#include "FrameworkFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using MenuTest = FrameworkTest;

std::string ItemText(HMENU menu, int windowsPosition) {
  char text[256] = {};
  GetMenuStringA(menu, UINT(windowsPosition), text, sizeof text, MF_BYPOSITION);
  return text;
}

bool IsGrayed(HMENU menu, int windowsPosition) {
  return (GetMenuState(menu, UINT(windowsPosition), MF_BYPOSITION) & MF_GRAYED) != 0;
}

// Resource 200, position by position.
TEST_F(MenuTest, MarkedItemOpensTheNamedSubmenuAndOnlyTheMarkCounts) {
  CreateMenuBar();
  CP_Menu* menu = new CP_Menu(200, "File", uint8_t(0));
  HMENU h = menu->GetHandle();
  ASSERT_NE(nullptr, h);
  ASSERT_EQ(8, menu->CountItems());

  struct Case {
    const char* name;
    int16_t position;
    const char* text;
    bool submenu;
    int32_t command;
  };
  const Case kCases[] = {
      {"plain item", 1, "&Open", false, 1000},
      {"marked item", 2, "Tools", true, 1001},
      {"separator", 3, "", false, 0},
      {"bracket without the mark", 4, "Odd [bracket] Name", false, 1002},
      {"mark after another bracket", 5, "Late [x] Tools[HIERARCHICAL131", false, 1003},
      {"mark in lower case", 6, "lower[hierarchical131", false, 1004},
      {"mark with two digits", 7, "Short[HIERARCHICAL13", false, 1005},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(c.text, ItemText(h, c.position - 1)) << c.name;
    EXPECT_EQ(c.submenu, GetSubMenu(h, c.position - 1) != nullptr) << c.name;
    EXPECT_EQ(c.command, menu->GetItemCommand(c.position)) << c.name << ": the resource's command";
  }

  HMENU tools = GetSubMenu(h, 1);
  EXPECT_EQ("Sub &A", ItemText(tools, 0)) << "from MENU 131";
  HMENU nested = GetSubMenu(tools, 1);
  ASSERT_NE(nullptr, nested) << "marks inside a submenu nest";
  EXPECT_EQ("Deep", ItemText(nested, 0));

  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  ASSERT_EQ(2, bar->CountMenus()) << "the bar holds the submenus, not the menu";
  EXPECT_EQ(132, bar->GetMenu(1)->GetMenuId()) << "nested submenus come first";
  EXPECT_EQ(131, bar->GetMenu(2)->GetMenuId());
  EXPECT_STREQ("Tools", bar->GetMenu(2)->GetTitle());
  EXPECT_EQ(tools, bar->GetMenu(2)->GetHandle());
  EXPECT_EQ(1101, bar->GetMenu(2)->GetItemCommand(2)) << "marked inside: also keeps its command";
  delete menu;
}

TEST_F(MenuTest, CommandsAreFoundByPositionAndEnabledOnEveryItemThatCarriesThem) {
  CreateMenuBar();
  CP_Menu* menu = new CP_Menu(200, "File", uint8_t(0));
  HMENU h = menu->GetHandle();
  EXPECT_EQ(0, menu->GetItemCommand(0));
  EXPECT_EQ(0, menu->GetItemCommand(9)) << "one past the last";
  EXPECT_EQ(1, menu->FindItemByCommand(1000)) << "the first of two";
  EXPECT_EQ(0, menu->FindItemByCommand(4242));

  menu->DisableAllItems();
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(IsGrayed(h, i)) << i;
  EXPECT_TRUE(menu->EnableCommand(1000));
  EXPECT_FALSE(IsGrayed(h, 0));
  EXPECT_FALSE(IsGrayed(h, 7)) << "both items of the command";
  EXPECT_TRUE(menu->EnableCommand(1001));
  EXPECT_FALSE(IsGrayed(h, 1)) << "the submenu entry, by the resource's command";
  EXPECT_FALSE(menu->EnableCommand(4242));
  EXPECT_TRUE(menu->DisableCommand(1000));
  EXPECT_TRUE(IsGrayed(h, 0));
  EXPECT_TRUE(IsGrayed(h, 7));

  menu->EnableCommand(1000);
  menu->SetCommandText(1000, "&Open file");
  EXPECT_EQ("&Open file", ItemText(h, 0));
  EXPECT_EQ("Open &again", ItemText(h, 7)) << "only the first carrier is retitled";
  EXPECT_FALSE(IsGrayed(h, 0)) << "the state survives the new text";
  EXPECT_EQ(1000u, GetMenuItemID(h, 0));
  menu->SetItemText(9, "nothing there");
  EXPECT_EQ(8, menu->CountItems());

  menu->CheckItem(4, ' ', 1);
  EXPECT_TRUE(GetMenuState(h, 3, MF_BYPOSITION) & MF_CHECKED);
  menu->CheckItem(4, ' ', 2);
  EXPECT_FALSE(GetMenuState(h, 3, MF_BYPOSITION) & MF_CHECKED) << "any flag but 1 unchecks";
  delete menu;
}

// Enables every command it is asked about.
class EnableAll : public CP_M_Commander {
 public:
  EnableAll() : CP_M_Commander(nullptr) {}
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override { menu->EnableCommand(command); }
};

TEST_F(MenuTest, RefreshLeavesSeparatorsDisabled) {
  CreateMenuBar();
  CP_Menu* menu = new CP_Menu(200, "File", uint8_t(0));
  EnableAll target;
  CP_M_Commander::ChangeTarget(&target);
  CP_M_Commander::UpdateMenu(menu);
  EXPECT_FALSE(IsGrayed(menu->GetHandle(), 0));
  EXPECT_TRUE(IsGrayed(menu->GetHandle(), 2)) << "the separator";
  delete menu;
}

TEST_F(MenuTest, MarkNamingItsOwnMenuIsLeftAlone) {
  CP_Menu* menu = new CP_Menu(133, "Loop", uint8_t(0));
  ASSERT_EQ(2, menu->CountItems());
  EXPECT_EQ(nullptr, GetSubMenu(menu->GetHandle(), 0));
  EXPECT_EQ("Loop[HIERARCHICAL133", ItemText(menu->GetHandle(), 0));
  delete menu;
}

TEST_F(MenuTest, PopupCopyKeepsTextsAndCommandsAndLeavesTheBarsSubmenuAlive) {
  CreateMenuBar();
  CP_Menu* menu = new CP_Menu(134, "Film", uint8_t(1));
  HMENU h = menu->GetHandle();
  ASSERT_EQ(4, menu->CountItems());
  EXPECT_EQ("First", ItemText(h, 0));
  EXPECT_EQ(1400u, GetMenuItemID(h, 0));
  EXPECT_TRUE(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR) << "empty text: a separator";
  EXPECT_EQ("Tools", ItemText(h, 2));
  EXPECT_EQ(nullptr, GetSubMenu(h, 2)) << "a marked entry is copied as a plain item";
  EXPECT_EQ("Last", ItemText(h, 3));
  EXPECT_EQ(1402u, GetMenuItemID(h, 3));
  EXPECT_EQ(1401, menu->GetItemCommand(3)) << "the list of the loaded menu stays";

  CP_Menu* tools = CP_MenuBar::GetMenuBar()->GetMenu(2);
  ASSERT_NE(nullptr, tools);
  EXPECT_TRUE(IsMenu(tools->GetHandle())) << "the bar's submenu outlives the loaded menu";
  EXPECT_EQ("Sub &A", ItemText(tools->GetHandle(), 0));
  delete menu;
}

TEST_F(MenuTest, MissingResourceGivesAnEmptyMenu) {
  CP_Menu* plain = new CP_Menu(999, "None", uint8_t(0));
  EXPECT_EQ(nullptr, plain->GetHandle());
  EXPECT_EQ(0, plain->CountItems());
  EXPECT_EQ(0, plain->GetItemCommand(1));
  EXPECT_FALSE(plain->EnableCommand(0));
  delete plain;

  CP_Menu* popup = new CP_Menu(999, "None", uint8_t(1));
  EXPECT_TRUE(IsMenu(popup->GetHandle())) << "still a pop-up menu";
  EXPECT_EQ(0, popup->CountItems());
  delete popup;
}

TEST_F(MenuTest, CommandListFollowsAppendAndRemove) {
  CP_Menu menu;
  menu.CreateEmpty(7, std::string(300, 'x').c_str());
  EXPECT_EQ(CP_Menu::kMaxTitle, int(std::string(menu.GetTitle()).size())) << "the title is cut";
  menu.AppendItem("Play", 1000);
  menu.AppendSeparator();
  menu.AppendItem("Stop", 1001);
  EXPECT_EQ(3, menu.CountItems());
  EXPECT_EQ(0, menu.GetItemCommand(2));
  menu.RemoveItem(1);
  EXPECT_EQ(2, menu.CountItems());
  EXPECT_EQ(0, menu.GetItemCommand(1));
  EXPECT_EQ(2, menu.FindItemByCommand(1001));
  EXPECT_EQ("Stop", menu.GetItemText(2));
  menu.RemoveItem(5);
  EXPECT_EQ(2, menu.CountItems());
}

}  // namespace
