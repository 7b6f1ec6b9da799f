#pragma once
// Trees for the tree-table tests: a scene with a tree table, items that log
// their hooks, and questions to the native control.
#include "CP_TreeTable.h"
#include "ListsTestSupport.h"

#include <string>
#include <vector>

namespace kxtest {

// An item that logs the hooks the table calls.
class LoggingItem : public CP_TreeTableItem {
 public:
  using CP_TreeTableItem::CP_TreeTableItem;
  void HandleClick(const CP_Point& point) override { Log("click", point); }
  void HandleDoubleClick(const CP_Point& point) override { Log("double", point); }
  void HandleRightClick(const CP_Point& point) override { Log("right", point); }
  void Log(const std::string& what, const CP_Point& point) {
    log.push_back(what);
    lastPoint = point;
  }
  std::vector<std::string> log;
  CP_Point lastPoint;
};

class TreeScene : public ListScene {
 protected:
  // A tree 300 x 200 at the window's top left.
  CP_TreeTable* MakeTree(uint8_t deleteChildrenOnCollapse = 1, uint8_t broadcast = 0, int16_t columns = 0,
                         uint8_t hasColumns = 0, int x = 0) {
    CP_TreeTableInfo info(PaneAt(x, 0, 300, 200), 1, 0, columns, hasColumns);
    return new CP_TreeTable(window, info, 1, 16, 16, 1, deleteChildrenOnCollapse, broadcast);
  }
  // A new item added to the tree.
  static LoggingItem* Add(CP_TreeTable* tree, CP_TreeTableItem* parent, const std::string& text,
                          CP_TreeTableItem* insertAfter = nullptr, int16_t image = -1, int16_t second = -1,
                          int32_t value = 0) {
    auto* item = new LoggingItem(tree, CP_TreeTableItemData(parent, insertAfter, text, image, second, value));
    tree->AddItem(item);
    return item;
  }
  // The labels of the shown rows, joined by spaces.
  static std::string Rows(const CP_TreeTable* tree) {
    std::string all;
    for (int16_t r = 1; r <= tree->CountRows(); ++r)
      all += (all.empty() ? "" : " ") + tree->GetRowItem(r)->GetText();
    return all;
  }
  static std::string Selection(const CP_TreeTable* tree) {
    std::string all;
    for (const CP_TreeTableItem* item : tree->GetSelection()) all += (all.empty() ? "" : " ") + item->GetText();
    return all;
  }
  // The labels of the native children of a native item (the roots for
  // null), in the control's order.
  static std::string NativeChildren(const CP_TreeTable* tree, HTREEITEM parent) {
    HWND h = tree->GetHWND();
    std::string all;
    auto next = reinterpret_cast<HTREEITEM>(
        SendMessageA(h, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
    for (; next; next = reinterpret_cast<HTREEITEM>(
                     SendMessageA(h, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(next))))
      all += (all.empty() ? "" : " ") + NativeText(tree, next);
    return all;
  }
  static std::string NativeText(const CP_TreeTable* tree, HTREEITEM handle) {
    char text[300] = {};
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = handle;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(tree->GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  static bool NativeExpanded(const CP_TreeTable* tree, const CP_TreeTableItem* item) {
    return (SendMessageA(tree->GetHWND(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item->GetHandle()),
                         TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
  }
  // Clicks the item's expand button as the user does; the control reports
  // a user's expansion and collapse every time, unlike a TVM_EXPAND.
  static void ClickButton(const CP_TreeTable* tree, const CP_TreeTableItem* item) {
    const CP_Rect text = tree->GetItemRect(item);
    const int y = (text.top + text.bottom) / 2;
    for (int x = 0; x < text.left; ++x) {
      TVHITTESTINFO hit = {};
      hit.pt = POINT{x, y};
      SendMessageA(tree->GetHWND(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.hItem == item->GetHandle() && (hit.flags & TVHT_ONITEMBUTTON)) {
        SendMessageA(tree->GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(tree->GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        return;
      }
    }
    ADD_FAILURE() << "no button for " << item->GetText();
  }
  // The middle of the item's text in the control.
  static CP_Point Middle(const CP_TreeTable* tree, const CP_TreeTableItem* item) {
    const CP_Rect r = tree->GetItemRect(item);
    return CP_Point(int16_t((r.left + r.right) / 2), int16_t((r.top + r.bottom) / 2));
  }
};

}  // namespace kxtest
