// Expansion and collapse as the user makes them, by clicking the items'
// buttons: the control then reports every change. A click gives the control
// the focus, which activates its window: these cases run alone.
#include "TreeTestSupport.h"

#include <gtest/gtest.h>

namespace {

class TreeExpansionFocusTest : public kxtest::TreeScene {};

TEST_F(TreeExpansionFocusTest, ControlsExpansionShowsTheChildrenAndCollapseDeletesThem) {
  CP_TreeTable* tree = MakeTree(1);
  auto* a = Add(tree, nullptr, "A");
  Add(tree, nullptr, "B");
  auto* a1 = Add(tree, a, "A1");
  Add(tree, a, "A2");
  Add(tree, a1, "A1a");

  // The user opens A, then A1: the control reports each.
  ClickButton(tree, a);
  EXPECT_TRUE(a->IsExpanded());
  EXPECT_EQ(2, a->GetExpandState());
  EXPECT_EQ("A A1 A2 B", Rows(tree));
  ClickButton(tree, a1);
  EXPECT_EQ("A A1 A1a A2 B", Rows(tree));
  EXPECT_EQ(CP_Size(300, 5 * 24), tree->GetContentExtent());
  ASSERT_EQ(2u, tree->GetExpandedItems().size());

  ClickButton(tree, a);
  EXPECT_FALSE(a->IsExpanded());
  EXPECT_EQ(0, a->GetExpandState());
  EXPECT_EQ("A B", Rows(tree));
  EXPECT_EQ(0, a->CountChildren()) << "the table deletes the children of a collapsed item";
  EXPECT_EQ(2, SendMessageA(tree->GetHWND(), TVM_GETCOUNT, 0, 0));
  EXPECT_TRUE(tree->GetExpandedItems().empty());
}

// Deletes its children in the collapse hook and collapses again, as the
// library's items do.
class SelfCollapsingItem : public kxtest::LoggingItem {
 public:
  using LoggingItem::LoggingItem;
  void ChildrenCollapsed() override {
    ++hooks;
    DeleteChildren();
    Collapse();
  }
  int hooks = 0;
};

TEST_F(TreeExpansionFocusTest, CollapseHookMayCollapseAgain) {
  CP_TreeTable* tree = MakeTree(0);
  auto* a = new SelfCollapsingItem(tree, CP_TreeTableItemData(nullptr, nullptr, "A", -1, -1, 0));
  tree->AddItem(a);
  auto* a1 = Add(tree, a, "A1");
  Add(tree, a1, "A1a");
  a->Expand();
  a1->Expand();
  ClickButton(tree, a);
  EXPECT_EQ(1, a->hooks);
  EXPECT_EQ(0, a->CountChildren());
  EXPECT_EQ("A", Rows(tree));
  EXPECT_TRUE(tree->GetExpandedItems().empty());
  EXPECT_EQ(1, SendMessageA(tree->GetHWND(), TVM_GETCOUNT, 0, 0));
  a->Collapse();
  EXPECT_EQ(1, a->hooks) << "already collapsed";
}

}  // namespace
