// The library tree: folders appear when a node opens and go when it
// closes, the chosen node's films fill the film list, the arrow keys move
// the selection, and the wastebasket's menu command keeps its setting.
#include "GH_ListView.h"
#include "GH_TreeDirItem.h"
#include "GH_TreeTable.h"
#include "PaneTestSupport.h"
#include "WinTestSupport.h"

#include "CP_Window.h"

#include <commctrl.h>

#include <memory>

using panetest::ClearSettings;
using panetest::ReadSetting;
using panetest::Row;

namespace {

class TreeTest : public panetest::PaneTest {
 protected:
  void SetUp() override {
    PaneTest::SetUp();
    // A CD (1) with two folders (2, 3) and a film in the first folder (5);
    // a location (4) without folders but with a film (6).
    itemList = {Row(1, 0, 1, "Coast CD", 1), Row(2, 1, 3, "Chapter One", 1), Row(3, 1, 3, "Chapter Two", 1),
                Row(4, 0, 2, "Glintharbour Films"), Row(5, 2, 4, "Lighthouse", 1), Row(6, 4, 4, "Harbour")};
    window = std::make_unique<CP_Window>(nullptr, CP_Point(int16_t(0), int16_t(0)),
                                         CP_Size(int16_t(600), int16_t(400)), "tree test");
    CP_TreeTableInfo info(CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(int16_t(275), int16_t(380))), 1, 0,
                          0, 0);
    tree = new GH_TreeTable(window.get(), info, itemList, 1, 16, 16, 1, 275);
    list = new GH_ListView(window.get(), nullptr,
                           CP_PaneInfo(CP_Point(int16_t(280), int16_t(0)), CP_Size(int16_t(300), int16_t(380))));
    tree->SetPartnerPane(list);
    cd = Add("Coast CD", 1, 1);
    location = Add("Glintharbour Films", 4, 2);
    wastebasket = Add("Wastebasket", kWastebasketId, 5);
    window->Show();
  }
  void TearDown() override {
    window.reset();
    PaneTest::TearDown();
  }

  GH_TreeDirItem* Add(const char* label, int32_t id, int32_t kind) {
    auto* item = new GH_TreeDirItem(tree, CP_TreeTableItemData(nullptr, nullptr, label, 3, 3, id), kind);
    tree->AddItem(item);
    return item;
  }

  std::string SelectedLabel() const {
    TVITEMA item = {};
    char text[128] = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree->GetHWND(), TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  std::unique_ptr<CP_Window> window;
  GH_TreeTable* tree = nullptr;
  GH_ListView* list = nullptr;
  GH_TreeDirItem* cd = nullptr;
  GH_TreeDirItem* location = nullptr;
  GH_TreeDirItem* wastebasket = nullptr;
};

TEST_F(TreeTest, FoldersComeWithEveryOpeningAndGoWithEveryClosing) {
  EXPECT_TRUE(cd->HasChildren());
  EXPECT_FALSE(location->HasChildren());
  EXPECT_EQ(1, cd->GetIdentifier());
  EXPECT_EQ(cd, tree->FindRootItemById(1));
  EXPECT_EQ(wastebasket, tree->FindRootItemById(kWastebasketId));

  SendMessageA(tree->GetHWND(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(cd->GetHandle()));
  ASSERT_EQ(2, cd->CountChildren());
  EXPECT_EQ("Chapter One", cd->GetChild(1)->GetText());
  EXPECT_EQ(3, cd->GetChild(2)->GetIdentifier());
  EXPECT_EQ(2, SendMessageA(tree->GetHWND(), TVM_GETCOUNT, 0, 0) - 3);

  cd->Collapse();
  EXPECT_EQ(0, cd->CountChildren());
  EXPECT_EQ(3, SendMessageA(tree->GetHWND(), TVM_GETCOUNT, 0, 0));

  // A folder added to the item list meanwhile shows at the next opening.
  itemList.push_back(Row(7, 1, 3, "Chapter Three", 1));
  cd->Expand();
  EXPECT_EQ(3, cd->CountChildren());
  tree->CollapseAll();
  EXPECT_FALSE(cd->IsExpanded());
  EXPECT_TRUE(tree->GetExpandedItems().empty());
}

TEST_F(TreeTest, TheChosenNodeFillsTheFilmList) {
  SendMessageA(tree->GetHWND(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(location->GetHandle()));
  ASSERT_EQ(1, list->CountItems());
  EXPECT_EQ(6u, list->GetRowData(1).userValue);
  SendMessageA(tree->GetHWND(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(wastebasket->GetHandle()));
  EXPECT_EQ(0, list->CountItems());
}

TEST_F(TreeTest, ArrowKeysMoveTheSelectionAndTheContextCommandsOpenAndClose) {
  SendMessageA(tree->GetHWND(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(cd->GetHandle()));
  SendMessageA(tree->GetHWND(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ("Glintharbour Films", SelectedLabel());
  SendMessageA(tree->GetHWND(), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ("Coast CD", SelectedLabel());

  cd->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdExpand, itemList[0]);
  EXPECT_TRUE(cd->IsExpanded());
  EXPECT_EQ(2, cd->CountChildren());
  cd->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdCollapse, itemList[0]);
  EXPECT_FALSE(cd->IsExpanded());
  EXPECT_EQ(0, cd->CountChildren());
}

TEST_F(TreeTest, EmptyWastebasketOnExitSwitchesItsSetting) {
  ClearSettings({"EmptyWasteBasket"});
  PlaylistEntry record = Row(kWastebasketId, 0, 5, "Wastebasket");
  // Missing reads as -1: the first choice switches it on.
  wastebasket->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEmptyOnExit, record);
  EXPECT_EQ("1", ReadSetting("EmptyWasteBasket"));
  wastebasket->ExecuteTreeItemCommand(GH_TreeDirItem::kCmdEmptyOnExit, record);
  EXPECT_EQ("0", ReadSetting("EmptyWasteBasket"));
  // Properties and commands outside the menu's change neither the setting,
  // the rows nor the list (Edit Location's work is the document tests').
  location->ShowFolderFilms(4);
  const size_t rows = itemList.size();
  for (int32_t command : {int32_t(GH_TreeDirItem::kCmdProperties), 2999, 3007, 4711})
    wastebasket->ExecuteTreeItemCommand(command, record);
  EXPECT_EQ("0", ReadSetting("EmptyWasteBasket"));
  EXPECT_EQ(rows, itemList.size());
  ASSERT_EQ(1, list->CountItems());
  EXPECT_EQ(6u, list->GetRowData(1).userValue);
}

TEST_F(TreeTest, KeepsItsWidthWhenItGoes) {
  ClearSettings({"TreeTableWidth"});
  window.reset();
  EXPECT_EQ("275", ReadSetting("TreeTableWidth"));
}

}  // namespace
