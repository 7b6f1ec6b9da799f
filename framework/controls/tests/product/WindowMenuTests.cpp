// The Window menu: document windows listed in opening order behind a
// separator, numbered from 901, and the arrangement commands.
#include "CP_Menu.h"
#include "CP_MenuBar.h"
#include "CP_WindowMenuMgr.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Item {
  int32_t command;
  std::string text;
  bool operator==(const Item& o) const { return command == o.command && text == o.text; }
};

std::ostream& operator<<(std::ostream& out, const Item& item) {
  return out << item.command << " \"" << item.text << "\"";
}

const std::vector<Item> kArrangement = {{19, "&Cascade"}, {20, "Tile &Vertically"}, {21, "Tile &Horizontally"},
                                        {22, "Close &All"}};

class WindowMenuTest : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    app = new CP_Application;
    menu = new CP_Menu(0, "&Window", CreatePopupMenu());
    menu->AddReference();
    for (const Item& item : kArrangement) menu->AppendItem(item.text, item.command);
    manager = new CP_WindowMenuMgr(app, menu);
  }
  void TearDown() override {
    for (CP_Window* w : std::vector<CP_Window*>(manager->GetWindows().begin(), manager->GetWindows().end()))
      delete w;
    delete manager;
    delete app;
    menu->RemoveReference();
    FrameworkTest::TearDown();
  }
  CP_Window* Open(const std::string& title, uint8_t kind = CP_Window::kDocument) {
    return new CP_Window(app, kxtest::Describe(kind, 40, 40, 200, 100), title);
  }
  // The items after the four arrangement commands.
  std::vector<Item> WindowItems() const {
    std::vector<Item> items;
    for (int16_t p = 5; p <= menu->CountItems(); ++p) items.push_back({menu->GetItemCommand(p), menu->GetItemText(p)});
    return items;
  }

  CP_Application* app = nullptr;
  CP_Menu* menu = nullptr;
  CP_WindowMenuMgr* manager = nullptr;
};

TEST_F(WindowMenuTest, WindowsAreNumberedInOpeningOrderAndRenumberedOnClosing) {
  EXPECT_EQ(manager, CP_WindowMenuMgr::GetManager());
  CP_Window* one = Open("One");
  CP_Window* two = Open("Two");
  CP_Window* three = Open("Three");
  EXPECT_EQ((std::vector<Item>{{0, ""}, {901, "One"}, {902, "Two"}, {903, "Three"}}), WindowItems());

  delete two;
  EXPECT_EQ((std::vector<Item>{{0, ""}, {901, "One"}, {902, "Three"}}), WindowItems());
  delete one;
  delete three;
  EXPECT_EQ(std::vector<Item>{}, WindowItems()) << "the separator went with the last window";
  EXPECT_EQ(4, menu->CountItems());
}

TEST_F(WindowMenuTest, UntitledWindowIsABlankWhenAddedAndEmptyAfterARebuild) {
  Open("");
  CP_Window* named = Open("Named");
  EXPECT_EQ((std::vector<Item>{{0, ""}, {901, " "}, {902, "Named"}}), WindowItems());
  delete named;
  EXPECT_EQ((std::vector<Item>{{0, ""}, {901, ""}}), WindowItems());
}

TEST_F(WindowMenuTest, OnlyDocumentWindowsMadeWhileTheManagerExistsAreListed) {
  delete manager;
  manager = nullptr;
  CP_Window* early = Open("Early");
  manager = new CP_WindowMenuMgr(app, menu);
  CP_Window* floating = Open("Tools", CP_Window::kFloating);
  Open("Listed");
  EXPECT_EQ((std::vector<Item>{{0, ""}, {901, "Listed"}}), WindowItems());
  delete floating;
  delete early;
  EXPECT_EQ((std::vector<Item>{{0, ""}, {901, "Listed"}}), WindowItems()) << "unlisted windows change nothing";
}

TEST_F(WindowMenuTest, WindowItemsBringTheirWindowForwardAndStillAnswerNotHandled) {
  CP_Window* one = Open("One");
  CP_Window* two = Open("Two");
  EXPECT_FALSE(IsWindowVisible(two->GetHWND()));
  EXPECT_EQ(kCmd_NotHandled, manager->ExecuteCommand(902));
  EXPECT_TRUE(IsWindowVisible(two->GetHWND()));
  EXPECT_FALSE(IsWindowVisible(one->GetHWND()));
  EXPECT_EQ(kCmd_NotHandled, manager->ExecuteCommand(900));
  EXPECT_EQ(kCmd_NotHandled, manager->ExecuteCommand(903)) << "no third window";
  EXPECT_FALSE(IsWindowVisible(one->GetHWND()));
  EXPECT_EQ(kCmd_NotHandled, manager->ExecuteCommand(1000));
  EXPECT_EQ(kCmd_NotHandled, manager->ExecuteCommand(23));
}

TEST_F(WindowMenuTest, ArrangementCommandsReachTheManagerAboveTheApplication) {
  CP_Window* one = Open("One");
  CP_Window* two = Open("Two");
  one->Show();
  two->Show();
  kxtest::Settle();
  EXPECT_EQ(0, app->ExecuteCommand(CP_WindowMenuMgr::kCmd_Cascade));
  EXPECT_NE(one->GetPosition(), two->GetPosition()) << "cascaded";
  EXPECT_EQ(0, app->ExecuteCommand(CP_WindowMenuMgr::kCmd_TileStacked));
  EXPECT_EQ(0, app->ExecuteCommand(CP_WindowMenuMgr::kCmd_TileSideBySide));
  EXPECT_EQ(0, app->ExecuteCommand(CP_WindowMenuMgr::kCmd_CloseAll));
  EXPECT_TRUE(manager->GetWindows().empty()) << "both document windows closed";
  EXPECT_EQ(4, menu->CountItems());

  delete manager;
  manager = nullptr;
  EXPECT_EQ(nullptr, CP_WindowMenuMgr::GetManager());
  EXPECT_EQ(nullptr, app->GetParentCommander()) << "the chain is as before";
  EXPECT_EQ(kCmd_NotHandled, app->ExecuteCommand(CP_WindowMenuMgr::kCmd_Cascade));
  manager = new CP_WindowMenuMgr(app, menu);
}

TEST_F(WindowMenuTest, ItemsAreEnabledWhileWindowsAreListed) {
  delete manager;
  CreateMenuBar();
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  bar->LoadMenus(131);
  CP_Menu* windows = bar->FindMenuByCommand(CP_WindowMenuMgr::kCmd_Cascade);
  ASSERT_NE(nullptr, windows);
  manager = new CP_WindowMenuMgr(app, windows);
  auto enabled = [&](int32_t command) {
    const int16_t position = windows->FindItemByCommand(command);
    return (GetMenuState(windows->GetHandle(), UINT(position - 1), MF_BYPOSITION) & MF_GRAYED) == 0;
  };
  CP_M_Commander::ChangeTarget(app);
  CP_M_Commander::UpdateMenus();
  EXPECT_FALSE(enabled(19));
  Open("One");
  CP_M_Commander::ChangeTarget(app);
  CP_M_Commander::UpdateMenus();
  EXPECT_TRUE(enabled(19));
  EXPECT_TRUE(enabled(22));
  EXPECT_TRUE(enabled(901));
}

}  // namespace
