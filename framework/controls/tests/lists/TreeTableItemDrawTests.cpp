// Tree-table items drawing their rows into a memory device context that
// stands in for the table's canvas: the highlight of a selected item, the
// label, the image, the cells of a row without a label.
#include "CP_Canvas.h"
#include "TreeTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using kxtest::MemoryDC;

constexpr COLORREF kPaper = RGB(1, 2, 3);

// Records the cells it is asked to draw, with the colour it would draw in.
class CellItem : public kxtest::LoggingItem {
 public:
  using LoggingItem::LoggingItem;
  void DrawCell(const CP_Rect& rect, int16_t column) override {
    cells.push_back(rect);
    columns.push_back(column);
    colours.push_back(GetOwner()->GetCanvas()->GetForegroundColor());
  }
  void DrawRow(const CP_Rect& rect) override {
    ++rows;
    LoggingItem::DrawRow(rect);
  }
  std::vector<CP_Rect> cells;
  std::vector<int16_t> columns;
  std::vector<CP_RGBColor> colours;
  int rows = 0;
};

class TreeTableItemDrawTest : public kxtest::TreeScene {
 protected:
  // The table's canvas draws into `memory` while the test runs.
  void AttachMemory(CP_TreeTable* table) {
    tree = table;
    CP_Canvas* canvas = tree->GetCanvas();
    canvas->AttachDC(memory.Get());
    canvas->BeginDrawing(tree, nullptr);
  }
  void TearDown() override {
    if (tree) {
      tree->GetCanvas()->EndDrawing();
      tree->GetCanvas()->DetachDC();
    }
    TreeScene::TearDown();
  }
  static RECT Native(const CP_Rect& r) { return r.ToRECT(); }

  MemoryDC memory{400, 250, kPaper};
  CP_TreeTable* tree = nullptr;
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
};

TEST_F(TreeTableItemDrawTest, SelectedLabelIsHighlightedAndWrittenInWhite) {
  AttachMemory(MakeTree());
  auto* plain = Add(tree, nullptr, "Plain");
  auto* chosen = Add(tree, nullptr, "Chosen");
  memory.Fill(kPaper);

  plain->DrawRow(tree->GetItemRect(plain));
  const RECT plainText = Native(tree->GetItemRect(plain));
  EXPECT_EQ(0, memory.Count(plainText, highlight)) << "not selected: no highlight";
  EXPECT_GT(memory.Count(Native(plain->GetLastLabelRect()), RGB(0, 0, 0)), 0) << "a black label";
  EXPECT_EQ(plain->GetTextRect(), plain->GetLastLabelRect());

  chosen->Select();  // draws the row at once
  const RECT chosenText = Native(tree->GetItemRect(chosen));
  EXPECT_GT(memory.Count(chosenText, highlight), 0);
  EXPECT_GT(memory.Count(Native(chosen->GetLastLabelRect()), RGB(255, 255, 255)), 0) << "white text";
  EXPECT_EQ(CP_RGBColor::Black, tree->GetCanvas()->GetForegroundColor()) << "the colour ends black";

  chosen->Deselect();  // and again without the selection
  EXPECT_EQ(0, memory.Count(chosenText, highlight));
}

TEST_F(TreeTableItemDrawTest, LabelRectangleStopsAtTheRow) {
  AttachMemory(MakeTree(1, 0, 2, 1));
  auto* item = Add(tree, nullptr, "A label of some length");
  auto* cells = Add(tree, nullptr, "");
  const CP_Rect text = item->GetTextRect();
  const CP_Rect wide = item->GetLabelRect(CP_Rect(0, 5, 400, 25));
  EXPECT_EQ(text.left, wide.left);
  EXPECT_GT(wide.right, wide.left + 20) << "the label's measured width";
  EXPECT_EQ(5, wide.top);
  EXPECT_EQ(25, wide.bottom);
  EXPECT_EQ(text.left + 10, item->GetLabelRect(CP_Rect(0, 5, text.left + 10, 25)).right) << "cut at the row";
  const CP_Rect empty = cells->GetLabelRect(CP_Rect(0, 0, 400, 20));
  EXPECT_EQ(50, empty.right - empty.left) << "an empty label is the first column wide";
}

TEST_F(TreeTableItemDrawTest, ImageIsCentredBesideTheText) {
  AttachMemory(MakeTree());
  auto* list = new CP_ImageList(0, 8, 8, 1);
  ASSERT_TRUE(list->LoadFromResource(300));  // red and white, then blue
  tree->SetImageList(list);
  auto* red = Add(tree, nullptr, "Red", nullptr, 1, 1);
  auto* none = Add(tree, nullptr, "None", nullptr, 3, 3);
  memory.Fill(kPaper);

  red->DrawRow(tree->GetItemRect(red));
  const CP_Rect area = red->GetLastImageRect();
  EXPECT_EQ(red->GetImageRect(), area);
  EXPECT_EQ(tree->GetItemRect(red).left - 3, area.right);
  EXPECT_EQ(8, area.right - area.left);
  const int top = area.top + (area.Height() - 8) / 2;
  EXPECT_EQ(RGB(255, 0, 0), memory.At(area.left + 1, top + 1));
  EXPECT_EQ(RGB(255, 0, 0), memory.At(area.left + 3, top + 7));
  EXPECT_NE(RGB(255, 0, 0), memory.At(area.left + 1, top + 8)) << "below the image";

  none->DrawRow(tree->GetItemRect(none));
  const RECT noneImage = Native(none->GetLastImageRect());
  EXPECT_EQ(0, memory.Count(noneImage, RGB(0, 0, 255))) << "image 3 of 2 draws nothing";
}

TEST_F(TreeTableItemDrawTest, RowWithoutLabelDrawsItsCells) {
  AttachMemory(MakeTree(1, 0, 3, 1));
  auto* item = new CellItem(tree, CP_TreeTableItemData(nullptr, nullptr, "", -1, -1, 0));
  tree->AddItem(item);
  item->Select();
  ASSERT_EQ(3u, item->cells.size());
  const CP_Rect row = tree->GetItemRect(item);
  EXPECT_EQ(item->GetDepth() + 22, item->cells[0].left) << "column 1 starts after the indent";
  EXPECT_EQ(row.left + 50, item->cells[1].left);
  EXPECT_EQ(row.left + 100, item->cells[2].left);
  EXPECT_EQ(CP_RGBColor::White, item->colours[0]) << "the selected first cell is white";
  EXPECT_EQ(CP_RGBColor::Black, item->colours[1]);
  RECT first = Native(row);
  first.right = first.left + 50;
  EXPECT_GT(memory.Count(first, highlight), 0) << "the first column is highlighted";
}

TEST_F(TreeTableItemDrawTest, LabelPastTheContentWidensIt) {
  AttachMemory(MakeTree());
  auto* item = Add(tree, nullptr, "A rather long label");
  tree->SetContentExtent(CP_Size(10, 24));
  item->DrawRow(tree->GetItemRect(item));
  const CP_Rect label = item->GetLastLabelRect();
  EXPECT_GT(tree->GetContentExtent().width, label.left + 16);
  EXPECT_EQ(24, tree->GetContentExtent().height);
}

TEST_F(TreeTableItemDrawTest, ContentDrawsTheRowsOfTheArea) {
  AttachMemory(MakeTree());
  std::vector<CellItem*> items;
  for (const char* label : {"A", "B", "C"}) {
    items.push_back(new CellItem(tree, CP_TreeTableItemData(nullptr, nullptr, label, -1, -1, 0)));
    tree->AddItem(items.back());
  }
  tree->DrawContent(CP_Region(0, 0, 300, 200));
  for (CellItem* item : items) EXPECT_EQ(1, item->rows) << item->GetText();

  tree->GetCanvas()->EndDrawing();
  tree->GetCanvas()->DetachDC();
  items[0]->DrawIfVisible(tree->GetItemRect(items[0]));
  EXPECT_EQ(1, items[0]->rows) << "no drawing without a device context";
  tree->GetCanvas()->AttachDC(memory.Get());
  tree->GetCanvas()->BeginDrawing(tree, nullptr);
}

}  // namespace
