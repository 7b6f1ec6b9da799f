#include "CP_TreeTable.h"

#include "CP_Canvas.h"
#include "CP_DroppedRecord.h"
#include "CP_Event.h"
#include "CP_FourCC.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"
#include "CP_Region.h"
#include "CP_Utilities.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr UINT kExpandActionMask = 0x0003;  // TVE_COLLAPSE | TVE_EXPAND

void Erase(std::vector<CP_TreeTableItem*>& list, const CP_TreeTableItem* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

bool SubtreeHolds(const CP_TreeTableItem* root, const CP_TreeTableItem* item) {
  if (root == item) return true;
  for (const CP_TreeTableItem* child : root->GetChildren())
    if (SubtreeHolds(child, item)) return true;
  return false;
}

}  // namespace

CP_TreeTable::CP_TreeTable(CP_View* superPane, const CP_TreeTableInfo& info, int16_t imageCount,
                           int16_t imageWidth, int16_t imageHeight, uint8_t masked,
                           uint8_t deleteChildrenOnCollapse, uint8_t broadcastSelection)
    : CP_View(superPane, info.placement),
      CP_M_PaneDragDrop(this),
      fInfo(info),
      fDeleteChildrenOnCollapse(deleteChildrenOnCollapse),
      fBroadcastSelection(broadcastSelection) {
  MakeControl(imageCount, imageWidth, imageHeight, masked);
  SetContentExtent(CP_Size(info.placement.size.width, 0));
}

void CP_TreeTable::MakeControl(int16_t imageCount, int16_t imageWidth, int16_t imageHeight, uint8_t masked) {
  fIndent = 18;
  if (fInfo.hasColumns == 1 && fInfo.columnCount > 0)
    fColumnWidths.assign(size_t(fInfo.columnCount), uint16_t(fInfo.defaultColumnWidth));
  auto* list = new CP_ImageList(imageCount, imageWidth, imageHeight, masked);
  if (fImageResourceId != -1) list->LoadFromResource(uint16_t(fImageResourceId));

  fWindowStyle = WS_CHILD | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
  HWND window = CreatePaneWindow(GetSuperPane(), fInfo.placement.location, fInfo.placement.size, "",
                                 WC_TREEVIEWA, fWindowStyle, 0);
  if (window) {
    SubclassWindow(PaneWindowProc);
    fIndent = GetIndent();
    RegisterTarget(window);
  }
  SetImageList(list);
  SetScrollUnit(CP_Size(16, fRowHeight));
}

CP_TreeTable::~CP_TreeTable() {
  fGoing = true;
  while (!fRows.empty()) {
    CP_TreeTableItem* item = fRows.back();
    fRows.pop_back();
    if (!item->GetParent()) delete item;
  }
  fSelection.clear();
  fExpanded.clear();
  fAnchor = nullptr;
  // The control must not keep a list that is about to be destroyed.
  if (GetHWND() && IsWindow(GetHWND())) SendMessageA(GetHWND(), TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
  if (fImageList) fImageList->RemoveReference();
  fImageList = nullptr;
}

// ---------------------------------------------------------------------------
// Streaming

void CP_TreeTable::WriteToStream(CP_OutStream& out) {
  CP_View::WriteToStream(out);
  out.WriteBool(fDeleteChildrenOnCollapse).WriteInt16(fIndent).WriteInt16(fRowHeight);
  out.WriteBool(fBroadcastSelection).WriteBool(fInfo.flagA).WriteInt32(fInfo.value).WriteBool(fInfo.flagB);
  out.WriteInt16(fImageResourceId);
  out.WriteInt16(CountRootItems());
  for (CP_TreeTableItem* item : fRows)
    if (!item->GetParent()) item->WriteToStream(out);
}

void CP_TreeTable::ReadFromStream(void* context, CP_InStream& in) {
  CP_View::ReadFromStream(context, in);
  in.ReadBool(fDeleteChildrenOnCollapse).ReadInt16(fIndent).ReadInt16(fRowHeight);
  in.ReadBool(fBroadcastSelection).ReadBool(fInfo.flagA).ReadInt32(fInfo.value).ReadBool(fInfo.flagB);
  in.ReadInt16(fImageResourceId);
  if (fImageResourceId != -1 && fImageList) fImageList->LoadFromResource(uint16_t(fImageResourceId));

  // The items, each followed by its children; a count below 0 is none. The
  // stream's end ends any count that claims more than is there.
  struct Level {
    CP_TreeTableItem* parent;
    int16_t remaining;
  };
  int16_t count = 0;
  in.ReadInt16(count);
  std::vector<Level> levels{{nullptr, count}};
  while (!levels.empty()) {
    if (levels.back().remaining <= 0) {
      levels.pop_back();
      continue;
    }
    --levels.back().remaining;
    int32_t identifier = 0, value = 0;
    int16_t image = -1, secondImage = -1, children = 0;
    std::string label;
    in.ReadInt32(identifier).ReadInt16(image).ReadInt16(secondImage).ReadInt32(value);
    in.ReadString(label).ReadInt16(children);
    auto* item = new CP_TreeTableItem(
        this, CP_TreeTableItemData(levels.back().parent, nullptr, label, image, secondImage, value));
    item->SetIdentifier(identifier);
    AddItem(item);
    if (children > 0) levels.push_back({item, children});
  }
}

// ---------------------------------------------------------------------------
// Items and rows

void CP_TreeTable::AddItem(CP_TreeTableItem* item) {
  if (!item) return;
  if (CP_TreeTableItem* parent = item->GetParent()) {
    item->SetDepth(int16_t(parent->GetDepth() + fIndent));
    parent->AddChild(item);
  } else {
    item->SetDepth(0);
    fRows.push_back(item);
  }
  RegisterItem(item);
  // An item added again brings the children it kept.
  RegisterDescendants(item);
  UpdateContentHeight();
  const CP_Rect rect = GetItemRect(item);
  const int32_t above = rect.top - fRowHeight;
  InvalidateRectangle(CP_Rect(rect.left, above >= 0 ? above : rect.top, rect.right,
                              int32_t(fRows.size()) * fRowHeight));
}

void CP_TreeTable::RegisterItem(CP_TreeTableItem* item) {
  if (!GetHWND()) return;
  CP_TreeTableItem* parent = item->GetParent();
  TVINSERTSTRUCTA insert = {};
  insert.hParent = parent && parent->GetHandle() ? parent->GetHandle() : TVI_ROOT;
  // The control shows the children in the order the parent keeps them.
  insert.hInsertAfter = TVI_LAST;
  if (parent) {
    const auto& siblings = parent->GetChildren();
    const auto self = std::find(siblings.begin(), siblings.end(), item);
    if (self == siblings.begin())
      insert.hInsertAfter = TVI_FIRST;
    else if (self != siblings.end() && (*(self - 1))->GetHandle())
      insert.hInsertAfter = (*(self - 1))->GetHandle();
  }
  const CP_TreeTableItemData& data = item->GetData();
  char text[256];
  const size_t length = std::min<size_t>(data.text.size(), 255);
  std::memcpy(text, data.text.data(), length);
  text[length] = 0;
  insert.item.mask = TVIF_TEXT | TVIF_CHILDREN;
  if (data.image != -1) insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = text;
  insert.item.cchTextMax = int(length);
  insert.item.iImage = data.image - 1;
  insert.item.iSelectedImage = data.secondImage - 1;
  insert.item.cChildren = item->HasChildren() ? 1 : 0;
  item->SetHandle(reinterpret_cast<HTREEITEM>(
      SendMessageA(GetHWND(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert))));
}

void CP_TreeTable::RegisterDescendants(CP_TreeTableItem* item) {
  for (CP_TreeTableItem* child : item->GetChildren()) {
    if (!child->GetHandle()) RegisterItem(child);
    RegisterDescendants(child);
  }
}

void CP_TreeTable::RemoveItem(CP_TreeTableItem* item) {
  if (!item) return;
  if (IsVisible()) {
    const CP_Rect rect = GetItemRect(item);
    InvalidateRectangle(CP_Rect(0, rect.top, GetWidth(), GetHeight()));
  }
  // The descendants leave with the item: the control deletes their native
  // items with its own, and nothing may list them as shown or selected.
  auto inSubtree = [item](const CP_TreeTableItem* x) { return x == item || x->IsDescendantOf(item); };
  const std::vector<CP_TreeTableItem*> selected = fSelection;
  for (CP_TreeTableItem* x : selected)
    if (inSubtree(x)) x->Deselect();
  if (fAnchor && inSubtree(fAnchor)) fAnchor = nullptr;
  if (CP_TreeTableItem* parent = item->GetParent()) parent->RemoveChild(item);
  fRows.erase(std::remove_if(fRows.begin(), fRows.end(), inSubtree), fRows.end());
  item->MarkCollapsedDeep();

  HTREEITEM handle = item->GetHandle();
  struct Clear {
    static void Handles(CP_TreeTableItem* x) {
      x->SetHandle(nullptr);
      for (CP_TreeTableItem* child : x->GetChildren()) Handles(child);
    }
  };
  Clear::Handles(item);
  if (handle && GetHWND()) SendMessageA(GetHWND(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(handle));
  UpdateContentHeight();
}

void CP_TreeTable::InsertRow(CP_TreeTableItem* item) {
  if (!item || FindRowIndex(item) != -1) return;
  CP_TreeTableItem* parent = item->GetParent();
  if (!parent) {
    fRows.push_back(item);
    UpdateContentHeight();
    return;
  }
  // A child of a parent that is not shown is not shown either.
  const int16_t parentRow = FindRowIndex(parent);
  if (parentRow == -1) return;
  size_t at = size_t(parentRow);  // right after the parent
  const auto& siblings = parent->GetChildren();
  for (auto it = std::find(siblings.begin(), siblings.end(), item); it != siblings.begin();) {
    --it;
    const int16_t siblingRow = FindRowIndex(*it);
    if (siblingRow == -1) continue;
    at = size_t(siblingRow);
    while (at < fRows.size() && fRows[at]->IsDescendantOf(*it)) ++at;
    break;
  }
  fRows.insert(fRows.begin() + std::ptrdiff_t(at), item);
  UpdateContentHeight();
}

void CP_TreeTable::HideDescendantRows(const CP_TreeTableItem* item) {
  fRows.erase(std::remove_if(fRows.begin(), fRows.end(),
                             [item](const CP_TreeTableItem* x) { return x->IsDescendantOf(item); }),
              fRows.end());
  UpdateContentHeight();
}

void CP_TreeTable::UpdateContentHeight() {
  const int32_t height = std::min<int32_t>(int32_t(fRows.size()) * fRowHeight, 32767);
  SetContentExtent(CP_Size(GetContentExtent().width, height));
}

void CP_TreeTable::RowsChanged(CP_TreeTableItem* item) {
  if (IsVisible()) {
    const CP_Rect rect = GetItemRect(item);
    InvalidateRectangle(CP_Rect(0, rect.bottom, GetWidth(), GetHeight()));
  }
  // The scrollable width stays; the height follows the shown rows.
  UpdateContentHeight();
}

CP_TreeTableItem* CP_TreeTable::GetRowItem(int16_t position) const {
  if (position < 1 || size_t(position) > fRows.size()) return nullptr;
  return fRows[size_t(position) - 1];
}

int16_t CP_TreeTable::FindRowIndex(const CP_TreeTableItem* item) const {
  const auto it = std::find(fRows.begin(), fRows.end(), item);
  return it == fRows.end() ? int16_t(-1) : int16_t(it - fRows.begin() + 1);
}

CP_TreeTableItem* CP_TreeTable::FindRowItemById(int32_t identifier) const {
  for (CP_TreeTableItem* item : fRows)
    if (item->GetIdentifier() == identifier) return item;
  return nullptr;
}

int16_t CP_TreeTable::CountRootItems() const {
  return int16_t(std::count_if(fRows.begin(), fRows.end(),
                               [](const CP_TreeTableItem* x) { return !x->GetParent(); }));
}

CP_TreeTableItem* CP_TreeTable::GetRootItem(int16_t position) const {
  if (position < 1) return nullptr;
  for (CP_TreeTableItem* item : fRows)
    if (!item->GetParent() && --position == 0) return item;
  return nullptr;
}

CP_TreeTableItem* CP_TreeTable::FindRootItemById(int32_t identifier) const {
  for (CP_TreeTableItem* item : fRows)
    if (!item->GetParent() && item->GetIdentifier() == identifier) return item;
  return nullptr;
}

// Compares pointers only: the item asked about may be one this table never
// had.
bool CP_TreeTable::HoldsItem(const CP_TreeTableItem* item) const {
  if (!item) return false;
  for (const CP_TreeTableItem* root : fRows)
    if (!root->GetParent() && SubtreeHolds(root, item)) return true;
  return false;
}

void CP_TreeTable::ForgetItem(const CP_TreeTableItem* item) {
  if (fGoing) return;
  Erase(fRows, item);
  Erase(fSelection, item);
  Erase(fExpanded, item);
  if (fAnchor == item) fAnchor = nullptr;
}

void CP_TreeTable::NoteExpansion(CP_TreeTableItem* item, bool expanded) {
  Erase(fExpanded, item);
  if (expanded) fExpanded.push_back(item);
}

// ---------------------------------------------------------------------------
// Selection

void CP_TreeTable::SelectItem(CP_TreeTableItem* item) {
  const int16_t anchorRow = fAnchor ? FindRowIndex(fAnchor) : int16_t(-1);
  const int16_t itemRow = item ? FindRowIndex(item) : int16_t(-1);
  if (IsKeyDown(VK_SHIFT) && anchorRow != -1 && itemRow != -1) {
    DeselectAll();
    for (int16_t row = std::min(anchorRow, itemRow); row <= std::max(anchorRow, itemRow); ++row)
      GetRowItem(row)->Select();
    item->DrawIfVisible(GetItemRect(item));
  } else {
    // Without an anchor among the rows there is no range: a plain selection.
    DeselectAll();
    if (item) item->Select();
    fAnchor = item;
    if (item) item->DrawIfVisible(GetItemRect(item));
  }
  if (fBroadcastSelection == 1) {
    CP_Message message(this, 3, 0, 0);
    Broadcast(message);
  }
}

void CP_TreeTable::DeselectAll() {
  while (!fSelection.empty()) {
    CP_TreeTableItem* first = fSelection.front();
    first->Deselect();
    if (!fSelection.empty() && fSelection.front() == first) fSelection.erase(fSelection.begin());
  }
}

void CP_TreeTable::AppendToSelection(CP_TreeTableItem* item) { fSelection.push_back(item); }

void CP_TreeTable::DropFromSelection(CP_TreeTableItem* item) { Erase(fSelection, item); }

// ---------------------------------------------------------------------------
// Geometry

int16_t CP_TreeTable::RowAtPoint(const CP_Point& point) const {
  if (fRowHeight < 1 || point.v < 0 || point.v >= GetContentExtent().height) return -1;
  return int16_t(point.v / fRowHeight + 1);
}

CP_TreeTableItem* CP_TreeTable::FindItemAtPoint(const CP_Point& point) const {
  if (!GetHWND()) return nullptr;
  TVHITTESTINFO hit = {};
  hit.pt = point.ToPOINT();
  const auto handle =
      reinterpret_cast<HTREEITEM>(SendMessageA(GetHWND(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return FindItemByHandle(handle);
}

CP_TreeTableItem* CP_TreeTable::FindItemByHandle(HTREEITEM handle) const {
  if (!handle) return nullptr;
  for (CP_TreeTableItem* item : fRows) {
    if (item->GetHandle() == handle) return item;
    if (CP_TreeTableItem* found = item->FindByHandle(handle)) return found;
  }
  return nullptr;
}

CP_Rect CP_TreeTable::GetItemRect(const CP_TreeTableItem* item) const {
  return item ? item->NativeRect(true) : CP_Rect();
}

int16_t CP_TreeTable::GetColumnWidth(int16_t column) const {
  if (fInfo.hasColumns == 1 && column >= 1 && size_t(column) <= fColumnWidths.size())
    return int16_t(fColumnWidths[size_t(column) - 1]);
  return fInfo.defaultColumnWidth;
}

CP_Rect CP_TreeTable::GetCellRect(const CP_TreeTableItem* item, int16_t column) const {
  CP_Rect cell = GetItemRect(item);
  if (fInfo.hasColumns == 1) {
    int32_t left = cell.left;
    for (int16_t c = 1; c < column; ++c) left += GetColumnWidth(c);
    cell.left = int16_t(left);
    cell.right = int16_t(left + GetColumnWidth(column));
  }
  return cell;
}

void CP_TreeTable::SetImageList(CP_ImageList* list) {
  if (list == fImageList) return;
  if (list) list->AddReference();
  // The control lets go of the old list before the old list may go.
  if (GetHWND())
    SendMessageA(GetHWND(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(list ? list->GetHandle() : nullptr));
  CP_ImageList* old = fImageList;
  fImageList = list;
  if (old) old->RemoveReference();
}

int16_t CP_TreeTable::GetIndent() const { return int16_t(SendMessageA(GetHWND(), TVM_GETINDENT, 0, 0)); }

// ---------------------------------------------------------------------------
// Mouse, painting and notifications

void CP_TreeTable::HandleOwnClick(CP_Event&, const CP_Point& point, uint32_t) {
  const CP_Point moved(int16_t(point.h + fOriginOffset.h), int16_t(point.v + fOriginOffset.v));
  if (CP_TreeTableItem* item = FindItemAtPoint(moved)) item->ClickItem(moved);
}

void CP_TreeTable::HandleDoubleClick(CP_Event&, const CP_Point& point, uint32_t) {
  if (CP_TreeTableItem* item = FindItemAtPoint(point)) item->HandleDoubleClick(point);
}

void CP_TreeTable::DrawContent(const CP_Region& area) {
  CP_Rect box = area.GetBounds();
  box.Offset(fOriginOffset.h, fOriginOffset.v);
  int16_t first = RowAtPoint(CP_Point(box.left, box.top));
  int16_t last = RowAtPoint(CP_Point(box.right, box.bottom));
  if (first < 1) first = 1;
  if (last < 1) last = CountRows();
  for (int16_t row = first; row <= last; ++row)
    if (CP_TreeTableItem* item = GetRowItem(row)) item->DrawIfVisible(GetItemRect(item));
}

LRESULT CP_TreeTable::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto passOn = [&]() -> LRESULT {
    return fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam) : 0;
  };
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      return passOn();
    case WM_LBUTTONDOWN: {
      // The selection the control reports during the click draws at once.
      CP_PaneDCScope scope(this);
      return passOn();
    }
    case WM_RBUTTONDOWN: {
      const CP_Point point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
      if (CP_TreeTableItem* item = FindItemAtPoint(point)) item->HandleRightClick(point);
      return 0;
    }
    case WM_NOTIFY: {
      // The control's own reports; its tooltips' go to its own procedure.
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->hwndFrom == GetHWND()) return HandleNotify(window, wParam, lParam);
      return CP_View::HandleMessage(window, message, wParam, lParam);
    }
    case WM_PAINT: {
      CP_PaneDCScope scope(this);
      fCanvas->GetFont().SetFontHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
      return HandlePaint(window, wParam, lParam);
    }
    default:
      return CP_View::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_TreeTable::HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) {
  const LRESULT result =
      fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, WM_PAINT, wParam, lParam) : 0;
  DrawOverAdorners();
  return result;
}

LRESULT CP_TreeTable::HandleNotify(HWND, WPARAM, LPARAM lParam) {
  const auto* report = reinterpret_cast<const NMTREEVIEWA*>(lParam);
  if (!report) return 0;
  // While the control reports an item's change, the item does not ask the
  // control to make it again.
  auto reported = [this](CP_TreeTableItem* item, void (CP_TreeTableItem::*change)()) {
    const CP_TreeTableItem* outer = fReportedItem;
    fReportedItem = item;
    (item->*change)();
    fReportedItem = outer;
  };
  switch (report->hdr.code) {
    case TVN_BEGINDRAGA: {
      CP_Event event;
      DWORD effect = DROPEFFECT_NONE;
      RunDrag(event, 0, effect);
      break;
    }
    case TVN_ITEMEXPANDINGA:
      if ((report->action & kExpandActionMask) == TVE_EXPAND)
        if (CP_TreeTableItem* item = FindItemByHandle(report->itemNew.hItem))
          reported(item, &CP_TreeTableItem::Expand);
      break;
    case TVN_ITEMEXPANDEDA:
      if ((report->action & kExpandActionMask) == TVE_COLLAPSE)
        if (CP_TreeTableItem* item = FindItemByHandle(report->itemNew.hItem))
          reported(item, &CP_TreeTableItem::Collapse);
      break;
    case TVN_SELCHANGEDA:
      SelectItem(FindItemByHandle(report->itemNew.hItem));
      break;
    default:
      break;
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Drag and drop

HRESULT CP_TreeTable::GetData(FORMATETC* format, STGMEDIUM* medium) {
  return CP_GetStampedDragData(*this, format, medium);
}

HRESULT CP_TreeTable::CheckDropFormat(FORMATETC* format) { return CP_CheckPaneDropFormat(format); }

bool CP_TreeTable::CanDropAtPoint(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) {
  POINT point{x, y};
  ScreenToClient(GetHWND(), &point);
  CP_TreeTableItem* item = FindItemAtPoint(CP_Point(point));
  return item && item->CanAcceptDrop(data, keyState, CP_Point(point), effect);
}

void CP_TreeTable::ReceiveDrop(IDataObject*, DWORD, LONG x, LONG y, DWORD*) {
  POINT native{x, y};
  ScreenToClient(GetHWND(), &native);
  const CP_Point point(native);
  {
    CP_DroppedRecord dropped;
    if (dropped.Take(GetKeptData())) {
      if (CP_TreeTableItem* item = FindItemAtPoint(point)) {
        DeselectAll();
        item->Select();
        item->ReceiveDragData(dropped.Record(), point);
      }
    }
  }
  ReleaseKeptData();
}

void CP_TreeTable::ReceiveDragData(CP_DragRecord& record, const CP_Point& point) {
  if (CP_TreeTableItem* item = FindItemAtPoint(point)) item->ReceiveDragData(record, point);
}

void CP_TreeTable::MakeDragData(CP_DragRecord& record, int16_t position) {
  if (position < 1 || size_t(position) > fSelection.size()) return;
  CP_TreeTableItem* item = fSelection[size_t(position) - 1];
  item->MakeDragData(record);
  record.secondKind = CP_FourCC("TTIT");
  record.item = item;
}
