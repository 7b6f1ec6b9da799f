// The menu bar: its menus from a MENU resource, their ids from "CPmb",
// enabling through the bar, installing it on a window.
#include "ByteFixture.h"
#include "CP_Menu.h"
#include "CP_MenuBar.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using MenuBarTest = FrameworkTest;

std::string ItemText(HMENU menu, int windowsPosition) {
  char text[256] = {};
  GetMenuStringA(menu, UINT(windowsPosition), text, sizeof text, MF_BYPOSITION);
  return text;
}

bool IsGrayed(HMENU menu, UINT command) { return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0; }

TEST_F(MenuBarTest, TopLevelMenusAreListedEachFollowedByItsMarkedSubmenus) {
  CreateMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  bar->LoadMenus(128);
  ASSERT_EQ(5, bar->CountMenus());
  struct Row {
    const char* title;
    int16_t menuId;
  };
  const Row kRows[] = {{"&File", 0}, {"Nested", 132}, {"Tools", 131}, {"&Web", 0}, {"&Help", 0}};
  for (int16_t i = 1; i <= 5; ++i) {
    EXPECT_STREQ(kRows[i - 1].title, bar->GetMenu(i)->GetTitle()) << i;
    EXPECT_EQ(kRows[i - 1].menuId, bar->GetMenu(i)->GetMenuId()) << i;
  }
  EXPECT_EQ(nullptr, bar->GetMenu(0));
  EXPECT_EQ(nullptr, bar->GetMenu(6));

  HMENU file = bar->GetMenu(1)->GetHandle();
  EXPECT_EQ(GetSubMenu(CP_MenuBar::GetMenuBarHandle(), 0), file);
  EXPECT_EQ("Tools", ItemText(file, 1));
  EXPECT_EQ(bar->GetMenu(3)->GetHandle(), GetSubMenu(file, 1));
  EXPECT_EQ(1001, bar->GetMenu(1)->GetItemCommand(2));
}

TEST_F(MenuBarTest, BarEnablesAndRetitlesOnlyInTheFirstMenuThatCarriesACommand) {
  CreateMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  bar->LoadMenus(128);
  HMENU web = bar->GetMenu(4)->GetHandle();
  HMENU help = bar->GetMenu(5)->GetHandle();
  EXPECT_EQ(bar->GetMenu(4), bar->FindMenuByCommand(2000));
  EXPECT_EQ(bar->GetMenu(5), bar->FindMenuByCommand(18));
  EXPECT_EQ(nullptr, bar->FindMenuByCommand(4242));

  EXPECT_TRUE(bar->DisableCommand(2000));
  EXPECT_TRUE(IsGrayed(web, 2000));
  EXPECT_FALSE(IsGrayed(help, 2000)) << "the later menu keeps its item";
  EXPECT_TRUE(bar->DisableCommand(18));
  EXPECT_TRUE(IsGrayed(help, 18));
  EXPECT_TRUE(bar->EnableCommand(18));
  EXPECT_FALSE(IsGrayed(help, 18));
  EXPECT_FALSE(bar->EnableCommand(4242));

  bar->SetCommandText(2000, "&Start page");
  EXPECT_EQ("&Start page", ItemText(web, 0));
  EXPECT_EQ("&Home", ItemText(help, 1));
  bar->SetCommandText(4242, "nobody");
}

TEST_F(MenuBarTest, MenuIdsComeFromTheCountedIdsAndNeverFromPastTheResource) {
  struct Case {
    const char* name;
    int16_t resource;
    int16_t file, web, help;
  };
  const Case kCases[] = {
      {"no CPmb", 128, 0, 0, 0},
      {"two ids for three menus", 140, 200, 201, 201},
      {"count beyond the resource", 141, 200, 201, 201},
      {"negative count", 142, 0, 0, 0},
      {"shorter than the count", 143, 0, 0, 0},
      {"one id each", 144, 300, 301, 302},
  };
  for (const Case& c : kCases) {
    CP_MenuBar bar;
    bar.LoadMenus(c.resource);
    ASSERT_EQ(5, bar.CountMenus()) << c.name;
    EXPECT_EQ(c.file, bar.FindMenuByCommand(1)->GetMenuId()) << c.name;
    EXPECT_EQ(c.web, bar.FindMenuByCommand(2000)->GetMenuId()) << c.name;
    EXPECT_EQ(c.help, bar.FindMenuByCommand(18)->GetMenuId()) << c.name;
  }
}

TEST_F(MenuBarTest, BarGoesOnTheWindowAndAppendedMenusOnTheBar) {
  CreateMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  bar->LoadMenus(128);
  HWND window = kxtest::MakePlainWindow("bar");
  bar->AttachToWindow(window);
  EXPECT_EQ(CP_MenuBar::GetMenuBarHandle(), GetMenu(window));

  HMENU popup = CreatePopupMenu();
  CP_Menu* film = new CP_Menu(251, "&Film", popup);
  film->AppendItem("&Play", 3000);
  bar->AddMenu(film, 1);
  const int count = GetMenuItemCount(GetMenu(window));
  ASSERT_EQ(4, count);
  EXPECT_EQ("&Film", ItemText(GetMenu(window), 3));
  EXPECT_EQ(popup, GetSubMenu(GetMenu(window), 3));
  EXPECT_EQ(6, bar->CountMenus());
  EXPECT_EQ(film, bar->FindMenuByCommand(3000));
  SetMenu(window, nullptr);  // the bar keeps its menu
  DestroyWindow(window);
}

TEST_F(MenuBarTest, MenuAddedTwiceIsListedOnceAndOutlivesTheBar) {
  CP_Menu* menu = new CP_Menu(150, "Sizes", uint8_t(0));
  {
    CP_MenuBar bar;
    bar.AddMenu(menu, 0);
    bar.AddMenu(menu, 0);
    bar.AddMenu(nullptr, 0);
    EXPECT_EQ(1, bar.CountMenus());
    EXPECT_EQ(2, menu->GetReferenceCount());
  }
  EXPECT_EQ(1, menu->GetReferenceCount()) << "the bar gave back one of its two";
  EXPECT_TRUE(IsMenu(menu->GetHandle()));
  menu->RemoveReference();
}

TEST_F(MenuBarTest, MissingMenuResourceLeavesTheBarEmpty) {
  CreateMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  bar->LoadMenus(999);
  EXPECT_EQ(0, bar->CountMenus());
  EXPECT_EQ(nullptr, CP_MenuBar::GetMenuBarHandle());
  HWND window = kxtest::MakePlainWindow("no bar");
  bar->AttachToWindow(window);
  EXPECT_EQ(nullptr, GetMenu(window));
  SetMenu(window, nullptr);  // the bar keeps its menu
  DestroyWindow(window);
}

// Signed little-endian 16-bit words, as the resources store them.
std::vector<int16_t> Words(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> out;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) out.push_back(int16_t(bytes[i] | (bytes[i + 1] << 8)));
  return out;
}

// The reference resources: a menu bar's "CPmb" and a stored dialog's "CPob",
// as every build links them. The menu ids are read from the reference file.
TEST(MenuBarResourceTest, TheReferenceResourcesAreTheSameInEveryBuild) {
  const struct {
    const char* type;
    int id;
    const char* file;
  } kResources[] = {{"CPmb", 140, "menu-bar.CPmb"}, {"CPob", 500, "stored-dialog.CPob"}};
  for (const auto& r : kResources) {
    SCOPED_TRACE(r.file);
    kxfixture::ExpectSameBytes(std::string(KX_FIXTURES) + "/" + r.file, kxtest::ResourceBytes(r.type, r.id));
  }
  EXPECT_EQ((std::vector<int16_t>{2, 200, 201}),
            Words(kxfixture::Reference(std::string(KX_FIXTURES) + "/menu-bar.CPmb")));
}

}  // namespace
