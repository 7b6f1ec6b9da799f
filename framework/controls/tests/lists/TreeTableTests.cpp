// The tree table: its control, the items in it, the shown rows through
// expansion and collapse, selection, hit tests, columns and streaming.
#include "CP_HandleBlockStream.h"
#include "ControlTestSupport.h"
#include "MemoryOutStream.h"
#include "TreeTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using kxtest::PaneAt;

class TreeTableTest : public kxtest::TreeScene {};

TEST_F(TreeTableTest, ControlIsMadeWithTheTablesSettings) {
  CP_TreeTable* tree = MakeTree(1, 0, 3, 1);
  HWND control = tree->GetHWND();
  ASSERT_NE(nullptr, control);
  char className[32] = {};
  GetClassNameA(control, className, sizeof className);
  EXPECT_STREQ("SysTreeView32", className);
  EXPECT_EQ(DWORD(WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT), tree->GetWindowStyle());
  EXPECT_EQ(tree, CP_Pane::FromWindow(control));
  EXPECT_EQ(tree->GetIndent(), tree->GetIndentWidth()) << "the control's own indent";
  EXPECT_GT(tree->GetIndentWidth(), 0);
  EXPECT_EQ(CP_Size(16, 24), tree->GetScrollUnit());
  EXPECT_EQ(CP_Size(300, 0), tree->GetContentExtent());
  EXPECT_EQ(tree->GetImageList()->GetHandle(),
            reinterpret_cast<HIMAGELIST>(SendMessageA(control, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)));
  EXPECT_EQ(16, tree->GetImageList()->GetWidth());
  EXPECT_EQ(CP_Rect(0, 0, 300, 200), tree->GetFrame());
}

TEST_F(TreeTableTest, TopLevelItemsAreShownAndChildrenWaitForTheirParent) {
  CP_TreeTable* tree = MakeTree();
  auto* a = Add(tree, nullptr, "A");
  auto* b = Add(tree, nullptr, "B");
  auto* a1 = Add(tree, a, "A1");
  Add(tree, a, "A2");
  EXPECT_EQ("A B", Rows(tree));
  EXPECT_EQ(CP_Size(300, 48), tree->GetContentExtent());
  EXPECT_EQ(4, SendMessageA(tree->GetHWND(), TVM_GETCOUNT, 0, 0));
  EXPECT_EQ("A B", NativeChildren(tree, nullptr));
  EXPECT_EQ("A1 A2", NativeChildren(tree, a->GetHandle()));
  EXPECT_EQ(a1->GetDepth(), tree->GetIndentWidth());
  EXPECT_EQ(0, b->GetDepth());
  EXPECT_EQ(2, a->CountChildren());
  EXPECT_EQ(a1, a->GetChild(1));
  EXPECT_EQ(nullptr, a->GetChild(3));
  TVITEMA native = {};
  native.mask = TVIF_HANDLE | TVIF_CHILDREN;
  native.hItem = a->GetHandle();
  SendMessageA(tree->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&native));
  EXPECT_EQ(1, native.cChildren) << "the parent shows its button";
}

TEST_F(TreeTableTest, ItemsReachTheControlWithTheirImagesAndAShortenedLabel) {
  CP_TreeTable* tree = MakeTree();
  const std::string longLabel(300, 'x');
  struct Case {
    const char* name;
    std::string text;
    int16_t image, second;
    std::string nativeText;
    int nativeImage, nativeSecond;
  };
  const Case kCases[] = {
      {"no image, whatever the second", "plain", -1, 5, "plain", 0, 0},
      {"both images", "pictured", 3, 4, "pictured", 2, 3},
      {"long label", longLabel, -1, -1, std::string(255, 'x'), 0, 0},
  };
  for (const Case& c : kCases) {
    auto* item = Add(tree, nullptr, c.text, nullptr, c.image, c.second);
    char text[400] = {};
    TVITEMA native = {};
    native.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    native.hItem = item->GetHandle();
    native.pszText = text;
    native.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(tree->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&native))) << c.name;
    EXPECT_EQ(c.nativeText, std::string(text)) << c.name;
    EXPECT_EQ(c.nativeImage, native.iImage) << c.name;
    EXPECT_EQ(c.nativeSecond, native.iSelectedImage) << c.name;
  }
}

TEST_F(TreeTableTest, KeptChildrenLeaveTheRowsAndComeBackOnce) {
  CP_TreeTable* tree = MakeTree(0);
  auto* a = Add(tree, nullptr, "A");
  Add(tree, nullptr, "B");
  auto* a1 = Add(tree, a, "A1");
  Add(tree, a1, "A1a");
  a->Expand();
  a1->Expand();
  EXPECT_EQ("A A1 A1a B", Rows(tree));
  a->Collapse();
  EXPECT_EQ("A B", Rows(tree));
  EXPECT_EQ(1, a->CountChildren());
  a->Expand();
  EXPECT_EQ("A A1 A1a B", Rows(tree)) << "A1 stayed expanded";
  a->Expand();
  EXPECT_EQ("A A1 A1a B", Rows(tree)) << "expanding again changes nothing";
}

TEST_F(TreeTableTest, ExpansionFromCodeReachesTheControl) {
  CP_TreeTable* tree = MakeTree(0);
  auto* a = Add(tree, nullptr, "A");
  Add(tree, a, "A1");
  a->Expand();
  EXPECT_TRUE(kxtest::TreeScene::NativeExpanded(tree, a));
  ASSERT_EQ(1u, tree->GetExpandedItems().size());
  EXPECT_EQ(a, tree->GetExpandedItems()[0]);
  a->Collapse();
  EXPECT_FALSE(kxtest::TreeScene::NativeExpanded(tree, a));
  EXPECT_TRUE(tree->GetExpandedItems().empty());
}

TEST_F(TreeTableTest, ChildOfAnExpandedParentIsShownInItsPlace) {
  CP_TreeTable* tree = MakeTree(0);
  auto* a = Add(tree, nullptr, "A");
  auto* b = Add(tree, nullptr, "B");
  auto* a1 = Add(tree, a, "A1");
  auto* a2 = Add(tree, a, "A2");
  Add(tree, a1, "A1a");
  a->Expand();
  a1->Expand();
  ASSERT_EQ("A A1 A1a A2 B", Rows(tree));
  EXPECT_EQ(a1, a2->GetData().insertAfter) << "an appended child records its sibling";

  Add(tree, a, "A0", a);
  EXPECT_EQ("A A0 A1 A1a A2 B", Rows(tree)) << "first child";
  Add(tree, a, "A1b", a1);
  EXPECT_EQ("A A0 A1 A1a A1b A2 B", Rows(tree)) << "after a sibling and its shown block";
  Add(tree, a, "A3", b);
  EXPECT_EQ("A A0 A1 A1a A1b A2 A3 B", Rows(tree)) << "a reference that is no child appends";
  EXPECT_EQ("A0 A1 A1b A2 A3", NativeChildren(tree, a->GetHandle())) << "the control shows the same order";
  Add(tree, b, "B1");
  EXPECT_EQ("A A0 A1 A1a A1b A2 A3 B", Rows(tree)) << "B is collapsed";
}

TEST_F(TreeTableTest, PlainSelectionMovesTheAnchorAndTellsTheListeners) {
  CP_TreeTable* tree = MakeTree(1, 1);
  kxtest::MessageRecorder recorder;
  tree->AddListener(&recorder);
  auto* a = Add(tree, nullptr, "A");
  auto* b = Add(tree, nullptr, "B");
  tree->SelectItem(a);
  EXPECT_EQ("A", Selection(tree));
  EXPECT_EQ(a, tree->GetAnchor());
  tree->SelectItem(b);
  EXPECT_EQ("B", Selection(tree));
  EXPECT_TRUE(b->IsSelected());
  EXPECT_FALSE(a->IsSelected());
  EXPECT_EQ(b, tree->GetAnchor());
  b->Select();
  EXPECT_EQ("B", Selection(tree)) << "selected once";
  tree->SelectItem(nullptr);
  EXPECT_EQ("", Selection(tree));
  EXPECT_EQ(nullptr, tree->GetAnchor());

  ASSERT_EQ(3u, recorder.messages.size());
  EXPECT_EQ(static_cast<void*>(tree), recorder.messages[0].sender);
  EXPECT_EQ(3, recorder.messages[0].code);
  EXPECT_EQ(0, recorder.messages[0].value);
  EXPECT_EQ(0u, recorder.messages[0].data);
  tree->RemoveListener(&recorder);

  CP_TreeTable* quiet = MakeTree(1, 0, 0, 0, 310);
  quiet->AddListener(&recorder);
  quiet->SelectItem(Add(quiet, nullptr, "Q"));
  EXPECT_EQ(3u, recorder.messages.size()) << "no broadcast unless asked for";
  quiet->RemoveListener(&recorder);
}

TEST_F(TreeTableTest, ControlsSelectionBecomesTheTablesSelection) {
  CP_TreeTable* tree = MakeTree();
  Add(tree, nullptr, "A");
  auto* b = Add(tree, nullptr, "B");
  SendMessageA(tree->GetHWND(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(b->GetHandle()));
  EXPECT_EQ("B", Selection(tree));
  EXPECT_EQ(b, tree->GetAnchor());
}

TEST_F(TreeTableTest, RowsAreFoundByHeight) {
  CP_TreeTable* tree = MakeTree();
  for (const char* label : {"A", "B", "C"}) Add(tree, nullptr, label);
  struct Case {
    int16_t v;
    int16_t row;
  };
  const Case kCases[] = {{-1, -1}, {0, 1}, {23, 1}, {24, 2}, {71, 3}, {72, -1}, {500, -1}};
  for (const Case& c : kCases)
    EXPECT_EQ(c.row, tree->RowAtPoint(CP_Point(int16_t(5), c.v))) << "v = " << c.v;
}

TEST_F(TreeTableTest, ItemsAreFoundAtPointsByHandleAndById) {
  CP_TreeTable* tree = MakeTree();
  auto* a = Add(tree, nullptr, "A", nullptr, -1, -1, 7);
  auto* b = Add(tree, nullptr, "B");
  auto* a1 = Add(tree, a, "A1");
  auto* a1a = Add(tree, a1, "A1a");
  a->SetIdentifier(7);
  b->SetIdentifier(8);
  a1->SetIdentifier(8);
  a->Expand();
  a1->Expand();

  EXPECT_EQ(a1a, tree->FindItemAtPoint(Middle(tree, a1a)));
  EXPECT_EQ(b, tree->FindItemAtPoint(Middle(tree, b)));
  EXPECT_EQ(nullptr, tree->FindItemAtPoint(CP_Point(int16_t(10), int16_t(190)))) << "below the last item";
  EXPECT_EQ(a1a, tree->FindItemByHandle(a1a->GetHandle()));
  EXPECT_EQ(nullptr, tree->FindItemByHandle(nullptr));
  EXPECT_EQ(a1, tree->FindRowItemById(8)) << "the first row with the identifier";
  EXPECT_EQ(b, tree->FindRootItemById(8)) << "among the top-level items only";
  EXPECT_EQ(nullptr, tree->FindRootItemById(9));
  EXPECT_EQ(2, tree->CountRootItems());
  EXPECT_EQ(b, tree->GetRootItem(2));
  EXPECT_EQ(nullptr, tree->GetRootItem(3));
  EXPECT_EQ(3, tree->FindRowIndex(a1a));
  EXPECT_TRUE(tree->HoldsItem(a1a));
  EXPECT_EQ(CP_Rect(), tree->GetItemRect(nullptr));
}

TEST_F(TreeTableTest, CellsFollowTheColumnWidths) {
  CP_TreeTable* withColumns = MakeTree(1, 0, 3, 1);
  CP_TreeTable* without = MakeTree(1, 0, 3, 0, 310);
  auto* item = Add(withColumns, nullptr, "");
  auto* other = Add(without, nullptr, "");
  const CP_Rect row = withColumns->GetItemRect(item);
  struct Case {
    int16_t column;
    int16_t width;
    int16_t left;
  };
  const Case kCases[] = {{0, 50, 0}, {1, 50, 0}, {2, 50, 50}, {3, 50, 100}, {4, 50, 150}};
  for (const Case& c : kCases) {
    EXPECT_EQ(c.width, withColumns->GetColumnWidth(c.column)) << c.column;
    const CP_Rect cell = withColumns->GetCellRect(item, c.column);
    EXPECT_EQ(row.left + c.left, cell.left) << c.column;
    EXPECT_EQ(row.left + c.left + c.width, cell.right) << c.column;
    EXPECT_EQ(row.top, cell.top) << c.column;
  }
  EXPECT_EQ(50, without->GetColumnWidth(2)) << "without columns every column is 50 wide";
  EXPECT_EQ(without->GetItemRect(other), without->GetCellRect(other, 2)) << "and a cell is the row";
  EXPECT_EQ(3u, item->ColumnTexts().size()) << "one text per column";
}

TEST_F(TreeTableTest, RemovedItemTakesItsShownDescendantsAlong) {
  CP_TreeTable* tree = MakeTree(0);
  auto* a = Add(tree, nullptr, "A");
  auto* b = Add(tree, nullptr, "B");
  auto* a1 = Add(tree, a, "A1");
  auto* a1a = Add(tree, a1, "A1a");
  a->Expand();
  a1->Expand();
  tree->SelectItem(a1a);
  a1->Select();
  ASSERT_EQ("A A1 A1a B", Rows(tree));

  tree->RemoveItem(a);
  EXPECT_EQ("B", Rows(tree)) << "the first row goes like any other";
  EXPECT_EQ("", Selection(tree));
  EXPECT_EQ(nullptr, tree->GetAnchor());
  EXPECT_TRUE(tree->GetExpandedItems().empty());
  EXPECT_EQ(1, SendMessageA(tree->GetHWND(), TVM_GETCOUNT, 0, 0));
  EXPECT_EQ(nullptr, a1a->GetHandle());
  EXPECT_EQ(CP_Size(300, 24), tree->GetContentExtent());

  // Added again under B, it comes back with its children.
  a->SetParent(b);
  tree->AddItem(a);
  EXPECT_EQ("A", NativeChildren(tree, b->GetHandle()));
  EXPECT_EQ("A1", NativeChildren(tree, a->GetHandle()));
  EXPECT_EQ(2 * tree->GetIndentWidth(), a1->GetDepth());
  tree->RemoveItem(b);
  tree->AddItem(b);
  EXPECT_EQ("B", Rows(tree));
}

TEST_F(TreeTableTest, RightClickGoesToTheItemUnderIt) {
  CP_TreeTable* tree = MakeTree();
  auto* a = Add(tree, nullptr, "A");
  auto* b = Add(tree, nullptr, "B");
  const CP_Point at = Middle(tree, b);
  SendMessageA(tree->GetHWND(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.h, at.v));
  ASSERT_EQ(1u, b->log.size());
  EXPECT_EQ("right", b->log[0]);
  EXPECT_EQ(at, b->lastPoint);
  EXPECT_TRUE(a->log.empty());
  EXPECT_EQ(0, SendMessageA(tree->GetHWND(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 190)))
      << "outside every item nothing happens";
}

TEST_F(TreeTableTest, DoubleClickGoesToTheItem) {
  CP_TreeTable* tree = MakeTree();
  auto* a = Add(tree, nullptr, "A");
  const CP_Point at = Middle(tree, a);
  SendMessageA(tree->GetHWND(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.h, at.v));
  ASSERT_EQ(1u, a->log.size());
  EXPECT_EQ("double", a->log[0]);
}

TEST_F(TreeTableTest, StreamHoldsTheSettingsAndTheItemsAndReadsBack) {
  CP_TreeTable* tree = MakeTree(1, 1);
  auto* a = Add(tree, nullptr, "A", nullptr, 2, 3, 70);
  a->SetIdentifier(11);
  auto* a1 = Add(tree, a, "A1", nullptr, -1, -1, -1001);
  a1->SetIdentifier(12);
  Add(tree, a1, "A1a");
  Add(tree, nullptr, "B");
  a->Expand();

  kxtest::MemoryOutStream out;
  out.WriteHeader(6, 0);
  tree->WriteToStream(out);

  CP_TreeTable* copy = MakeTree(0, 0, 0, 0, 310);
  auto* block = new CP_HandleBlock(int32_t(out.Bytes().size()));
  std::memcpy(block->GetPointer(), out.Bytes().data(), out.Bytes().size());
  block->Unlock();
  CP_HandleBlockInStream in(block, 1);
  copy->ReadFromStream(nullptr, in);
  EXPECT_EQ(1, copy->DeletesChildrenOnCollapse());
  EXPECT_EQ(1, copy->BroadcastsSelection());
  EXPECT_EQ(24, copy->GetRowHeight());
  EXPECT_EQ(-1, copy->GetImageResourceId());
  EXPECT_EQ("A B", Rows(copy)) << "the items come back collapsed";
  CP_TreeTableItem* a2 = copy->GetRootItem(1);
  ASSERT_NE(nullptr, a2);
  EXPECT_EQ(11, a2->GetIdentifier());
  EXPECT_EQ(2, a2->GetData().image);
  EXPECT_EQ(3, a2->GetData().secondImage);
  EXPECT_EQ(70, a2->GetUserValue());
  ASSERT_EQ(1, a2->CountChildren());
  EXPECT_EQ(-1001, a2->GetChild(1)->GetUserValue());
  EXPECT_EQ(12, a2->GetChild(1)->GetIdentifier());
  EXPECT_EQ("A1a", a2->GetChild(1)->GetChild(1)->GetText());
  EXPECT_TRUE(in.IsAtEnd()) << "the reader takes all that the writer wrote";
}

}  // namespace
