// Drag and drop of the tree table, driven through its data object and drop
// target as OLE would call them: the record of a selected item, items moved
// under other items, text records, and records that must be refused.
#include "CP_DroppedRecord.h"
#include "CP_FourCC.h"
#include "CP_HandleBlock.h"
#include "CP_ListView.h"
#include "TreeTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class TreeTableDragTest : public kxtest::TreeScene {
 protected:
  // A  (A1 (A1a), A2)  and  B (B1), every branch expanded.
  void Build(CP_TreeTable* t) {
    a = Add(t, nullptr, "A");
    b = Add(t, nullptr, "B");
    a1 = Add(t, a, "A1");
    a1a = Add(t, a1, "A1a");
    a2 = Add(t, a, "A2");
    b1 = Add(t, b, "B1");
    for (CP_TreeTableItem* item : {static_cast<CP_TreeTableItem*>(a), static_cast<CP_TreeTableItem*>(a1),
                                   static_cast<CP_TreeTableItem*>(b)})
      item->Expand();
  }
  // Drags `item` of `from` onto `onto` of `to`.
  void DragItem(CP_TreeTable* from, CP_TreeTableItem* item, CP_TreeTable* to, CP_TreeTableItem* onto) {
    from->SelectItem(item);
    const CP_Point at = Middle(to, onto);
    kxtest::DropAt(*to, from->GetDataObject(), POINT{at.h, at.v});
  }

  kxtest::LoggingItem *a = nullptr, *b = nullptr, *a1 = nullptr, *a1a = nullptr, *a2 = nullptr, *b1 = nullptr;
};

TEST_F(TreeTableDragTest, RecordCarriesTheSelectedItemAndItsLabel) {
  CP_TreeTable* tree = MakeTree();
  Build(tree);
  tree->SelectItem(a1);
  const std::vector<uint8_t> block = kxtest::DragBlock(tree->GetDataObject());
  ASSERT_GE(block.size(), 32u);
  CP_DragRecord record;
  std::memcpy(&record, block.data(), sizeof record);
  EXPECT_EQ(999u, record.format);
  EXPECT_EQ(CP_FourCC("TEXT"), record.kind);
  EXPECT_EQ(1, record.count);
  EXPECT_EQ(CP_FourCC("TTIT"), record.secondKind);
  EXPECT_EQ(static_cast<void*>(static_cast<CP_TreeTableItem*>(a1)), record.item);
  EXPECT_EQ("A1", CP_DragRecordText(record));  // the block stays the tree's until it goes

  tree->SelectItem(nullptr);
  std::memcpy(&record, kxtest::DragBlock(tree->GetDataObject()).data(), sizeof record);
  EXPECT_EQ(0u, record.format) << "nothing selected";
}

TEST_F(TreeTableDragTest, DroppedItemMovesUnderTheTargetWithItsChildren) {
  CP_TreeTable* tree = MakeTree(0);
  Build(tree);
  ASSERT_EQ("A A1 A1a A2 B B1", Rows(tree));
  DragItem(tree, a1, tree, b1);
  EXPECT_EQ(b1, a1->GetParent());
  EXPECT_EQ("A2", NativeChildren(tree, a->GetHandle()));
  EXPECT_EQ("A1", NativeChildren(tree, b1->GetHandle()));
  EXPECT_EQ("A1a", NativeChildren(tree, a1->GetHandle())) << "the children came along";
  EXPECT_EQ(a1, a1a->GetParent());
  EXPECT_EQ(2 * tree->GetIndentWidth(), a1->GetDepth());
  EXPECT_EQ(3 * tree->GetIndentWidth(), a1a->GetDepth());
  EXPECT_EQ("A A2 B B1", Rows(tree)) << "B1 is not expanded";
  EXPECT_EQ("B1", Selection(tree)) << "the target becomes the selection";
  EXPECT_EQ(nullptr, tree->GetKeptData());

  b1->Expand();
  EXPECT_EQ("A A2 B B1 A1", Rows(tree));
}

TEST_F(TreeTableDragTest, ItemIsNeverDroppedIntoItsOwnSubtree) {
  CP_TreeTable* tree = MakeTree(0);
  Build(tree);
  struct Case {
    const char* name;
    CP_TreeTableItem* dragged;
    CP_TreeTableItem* target;
  };
  const Case kCases[] = {
      {"onto itself", a1, a1},
      {"onto its child", a1, a1a},
      {"onto a grandchild", a, a1a},
  };
  for (const Case& c : kCases) {
    DragItem(tree, c.dragged, tree, c.target);
    EXPECT_EQ("A A1 A1a A2 B B1", Rows(tree)) << c.name;
    EXPECT_EQ(a, a1->GetParent()) << c.name;
    EXPECT_EQ(a1, a1a->GetParent()) << c.name;
    EXPECT_EQ("A1 A2", NativeChildren(tree, a->GetHandle())) << c.name;
    EXPECT_EQ("A1a", NativeChildren(tree, a1->GetHandle())) << c.name;
  }
}

TEST_F(TreeTableDragTest, ItemOfAnotherTableIsRefused) {
  CP_TreeTable* left = MakeTree(0);
  Build(left);
  CP_TreeTable* right = MakeTree(0, 0, 0, 0, 310);
  auto* target = Add(right, nullptr, "T");
  DragItem(left, a2, right, target);
  EXPECT_EQ(0, target->CountChildren());
  EXPECT_EQ(a, a2->GetParent());
  EXPECT_EQ("A A1 A1a A2 B B1", Rows(left));
}

TEST_F(TreeTableDragTest, TextRecordBecomesANewChild) {
  CP_TreeTable* tree = MakeTree(0);
  Build(tree);
  auto* list = new CP_ListView(window, window, kxtest::PaneAt(0, 210, 300, 80), LVS_REPORT, 0);
  list->InsertItem(CP_ListViewItemData("film", 0, 5), -1, -1);
  LVITEMA state = {};
  state.stateMask = state.state = LVIS_SELECTED;
  SendMessageA(list->GetHWND(), LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));

  const CP_Point at = Middle(tree, a2);
  kxtest::DropAt(*tree, list->GetDataObject(), POINT{at.h, at.v});
  ASSERT_EQ(1, a2->CountChildren());
  CP_TreeTableItem* made = a2->GetChild(1);
  EXPECT_EQ("film", made->GetText());
  EXPECT_EQ(0, made->GetData().image);
  EXPECT_EQ(0, made->GetUserValue());
  EXPECT_EQ("film", NativeChildren(tree, a2->GetHandle()));
}

TEST_F(TreeTableDragTest, RecordsOfOtherProgramsAreRefusedUnread) {
  CP_TreeTable* tree = MakeTree(0);
  Build(tree);
  for (uint32_t secondKind : {0u, CP_FourCC("TTIT")}) {
    kxtest::ForeignData data(999, kxtest::ForeignRecord(secondKind), true);
    const CP_Point at = Middle(tree, b);
    kxtest::DropAt(*tree, &data, POINT{at.h, at.v});
    EXPECT_EQ(1, data.gets);
    EXPECT_EQ(1, b->CountChildren()) << secondKind;
    EXPECT_EQ("A A1 A1a A2 B B1", Rows(tree)) << secondKind;
    EXPECT_EQ(1u, data.fCount);
  }
}

TEST_F(TreeTableDragTest, OnlyAnItemThatTakesFileListsAcceptsTheDrag) {
  CP_TreeTable* tree = MakeTree(0);
  Build(tree);
  kxtest::ForeignData files(CF_HDROP, std::vector<uint8_t>(16, 0));
  kxtest::ForeignData text(CF_TEXT, std::vector<uint8_t>(4, 'a'));
  auto screen = [&](const CP_Point& p) {
    POINT s{p.h, p.v};
    ClientToScreen(tree->GetHWND(), &s);
    return s;
  };
  const POINT overB = screen(Middle(tree, b));
  const POINT below = screen(CP_Point(int16_t(10), int16_t(190)));
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_TRUE(tree->CanDropAtPoint(&files, 0, overB.x, overB.y, &effect));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect) << "the item sets the effect to none";
  EXPECT_FALSE(tree->CanDropAtPoint(&text, 0, overB.x, overB.y, &effect));
  EXPECT_FALSE(tree->CanDropAtPoint(&files, 0, below.x, below.y, &effect)) << "no item there";
}

}  // namespace
