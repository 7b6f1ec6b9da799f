#include "CP_ListView.h"

#include "CP_Canvas.h"
#include "CP_DroppedRecord.h"
#include "CP_Event.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"

#include <algorithm>

namespace {

int ColumnFormat(const CP_ListViewColumn& column, int16_t position) {
  // The control keeps its first column left-aligned whatever it is told.
  if (position == 1) return LVCFMT_LEFT;
  switch (column.alignment) {
    case CP_ListViewColumn::kCentre: return LVCFMT_CENTER;
    case CP_ListViewColumn::kRight: return LVCFMT_RIGHT;
    default: return LVCFMT_LEFT;
  }
}

}  // namespace

CP_ListView::CP_ListView(CP_View* superPane, CP_M_Commander* parentCommander, const CP_PaneInfo& info,
                         uint32_t extraStyle, int16_t autoArrange)
    : CP_View(superPane, info),
      CP_M_Commander(parentCommander),
      CP_M_PaneDragDrop(this),
      fExtraStyle(extraStyle),
      fAutoArrange(autoArrange) {
  MakeControl(info);
}

CP_ListView::~CP_ListView() { DetachImageLists(); }

void CP_ListView::MakeControl(const CP_PaneInfo& info) {
  fLargeImages = std::make_unique<CP_ImageList>(0, 32, 32, 1);
  fSmallImages = std::make_unique<CP_ImageList>(0, 16, 16, 1);
  uint32_t style = fExtraStyle | WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL;
  if (fAutoArrange == 1) style |= LVS_AUTOARRANGE;
  fWindowStyle = style;
  HWND window = CreatePaneWindow(GetSuperPane(), info.location, info.size, "", WC_LISTVIEWA, style, 0);
  if (!window) return;
  RegisterTarget(window);
  SubclassWindow(PaneWindowProc);
  SendMessageA(window, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(fLargeImages->GetHandle()));
  SendMessageA(window, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(fSmallImages->GetHandle()));
}

void CP_ListView::DetachImageLists() {
  if (!GetHWND() || !IsWindow(GetHWND())) return;
  SendMessageA(GetHWND(), LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
  SendMessageA(GetHWND(), LVM_SETIMAGELIST, LVSIL_SMALL, 0);
}

// ---------------------------------------------------------------------------
// Messages

LRESULT CP_ListView::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      // The control does its own selection and drag detection.
      return fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam) : 0;
    case WM_DESTROY:
      // Without a shared-lists style the control destroys its image lists
      // with itself; they are this pane's.
      DetachImageLists();
      return CP_View::HandleMessage(window, message, wParam, lParam);
    default:
      return CP_View::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_ListView::HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) {
  CP_ST_DCCanvas canvas(this);
  DrawUnderAdorners();
  const LRESULT result =
      fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, WM_PAINT, wParam, lParam) : 0;
  DrawOverAdorners();
  return result;
}

LRESULT CP_ListView::HandleNotify(HWND, WPARAM, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (!header) return 0;
  switch (header->code) {
    case LVN_BEGINDRAG: {
      CP_Event event;
      DWORD effect = DROPEFFECT_NONE;
      RunDrag(event, 0, effect);
      break;
    }
    case LVN_GETDISPINFOA: {
      // The first column's text was given at insertion; the others are the
      // row's column texts, when they were set.
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(lParam);
      const int index = info->item.iItem;
      const int column = info->item.iSubItem;
      if (index < 0 || size_t(index) >= fRows.size() || column < 1) break;
      const CP_ListViewRow& row = *fRows[size_t(index)];
      if (size_t(column) > row.columnTexts.size() || !row.columnTexts[size_t(column) - 1]) break;
      info->item.pszText = const_cast<char*>(row.columnTexts[size_t(column) - 1]->c_str());
      break;
    }
    default:
      break;
  }
  return 0;
}

void CP_ListView::BroadcastRowMessage(int16_t position) {
  CP_Message message(this, 3, 12, uint32_t(position));
  Broadcast(message);
}

// ---------------------------------------------------------------------------
// Columns and rows

void CP_ListView::InsertColumn(const CP_ListViewColumn& column, int16_t position) {
  SetColumn(column, position);
  LVCOLUMNA description = {};
  description.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  description.fmt = ColumnFormat(column, position);
  description.cx = column.width;
  description.pszText = const_cast<char*>(column.title.c_str());
  description.iSubItem = position - 1;
  if (SendMessageA(GetHWND(), LVM_INSERTCOLUMNA, WPARAM(position - 1), reinterpret_cast<LPARAM>(&description)) == -1)
    ThrowConditionFailed(kCP_RequestRefused, "CP_ListView", 541);
}

CP_ListViewColumn* CP_ListView::GetColumn(int16_t position) const {
  if (position < 1 || size_t(position) > fColumns.size()) return nullptr;
  return fColumns[size_t(position) - 1].get();
}

void CP_ListView::SetColumn(const CP_ListViewColumn& column, int16_t position) {
  if (position < 1) return;
  auto copy = std::make_unique<CP_ListViewColumn>(column);
  if (size_t(position) > fColumns.size())
    fColumns.push_back(std::move(copy));
  else
    fColumns[size_t(position) - 1] = std::move(copy);
}

void CP_ListView::InsertItem(const CP_ListViewItemData& data, int16_t largeIconId, int16_t smallIconId) {
  CP_ListViewItemData item = data;
  if (largeIconId != -1 && smallIconId != -1) {
    fLargeImages->AddIcon(uint16_t(largeIconId));
    fSmallImages->AddIcon(uint16_t(smallIconId));
    item.image = fLargeImages->CountImages();
  }
  auto row = std::make_unique<CP_ListViewRow>(item);
  LVITEMA native = {};
  native.mask = item.mask;
  native.iItem = int(fRows.size());
  native.iSubItem = 0;
  native.state = item.state;
  native.stateMask = item.stateMask;
  native.pszText = const_cast<char*>(item.text.c_str());
  native.cchTextMax = int(item.text.size());
  native.iImage = item.image - 1;
  native.lParam = LPARAM(item.userValue);
  if (SendMessageA(GetHWND(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&native)) == -1)
    ThrowConditionFailed(kCP_RequestRefused, "CP_ListView", 877);
  fRows.push_back(std::move(row));
}

CP_ListViewRow* CP_ListView::GetItem(int16_t position) const {
  if (position < 1 || size_t(position) > fRows.size()) return nullptr;
  return fRows[size_t(position) - 1].get();
}

CP_ListViewItemData CP_ListView::GetItemData(int16_t position) const {
  const CP_ListViewRow* row = GetItem(position);
  return row ? row->data : CP_ListViewItemData();
}

void CP_ListView::SetViewMode(int16_t mode) {
  const LONG style = GetWindowLongA(GetHWND(), GWL_STYLE);
  if ((style & LVS_TYPEMASK) == (mode & LVS_TYPEMASK)) return;
  const LONG changed = (style & ~LONG(LVS_TYPEMASK)) | (mode & LVS_TYPEMASK);
  SetWindowLongA(GetHWND(), GWL_STYLE, changed);
  fWindowStyle = uint32_t(changed);
}

void CP_ListView::SortRows(bool (*lessThan)(const CP_ListViewRow*, const CP_ListViewRow*)) {
  if (!lessThan) return;
  // Equal rows may come out in any order; the stable sort also stays inside
  // the vector when the caller's function is not a strict ordering.
  std::stable_sort(fRows.begin(), fRows.end(),
                   [lessThan](const std::unique_ptr<CP_ListViewRow>& a,
                              const std::unique_ptr<CP_ListViewRow>& b) { return lessThan(a.get(), b.get()); });
}

int16_t CP_ListView::CountSelected() const {
  if (!GetHWND()) return 0;
  return int16_t(SendMessageA(GetHWND(), LVM_GETSELECTEDCOUNT, 0, 0));
}

// ---------------------------------------------------------------------------
// Drag and drop

HRESULT CP_ListView::GetData(FORMATETC* format, STGMEDIUM* medium) {
  return CP_GetStampedDragData(*this, format, medium);
}

HRESULT CP_ListView::CheckDropFormat(FORMATETC* format) { return CP_CheckPaneDropFormat(format); }

bool CP_ListView::CanAcceptDrop(IDataObject* data, DWORD, LONG, LONG, DWORD*) {
  if (!data) return false;
  FORMATETC files = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return data->QueryGetData(&files) == S_OK;
}

void CP_ListView::ReceiveDrop(IDataObject*, DWORD, LONG x, LONG y, DWORD*) {
  POINT point{x, y};
  ScreenToClient(GetHWND(), &point);
  {
    CP_DroppedRecord dropped;
    if (dropped.Take(GetKeptData())) ReceiveDragData(dropped.Record(), CP_Point(point));
  }
  ReleaseKeptData();
}

void CP_ListView::ReceiveDragData(CP_DragRecord& record, const CP_Point&) {
  if (!record.text) return;
  InsertItem(CP_ListViewItemData(CP_DragRecordText(record), 0, 0), -1, -1);
}

void CP_ListView::MakeDragData(CP_DragRecord& record, int16_t) {
  const LRESULT index = SendMessageA(GetHWND(), LVM_GETNEXTITEM, WPARAM(-1), MAKELPARAM(LVNI_SELECTED, 0));
  if (index < 0 || size_t(index) >= fRows.size()) return;
  record.format = kCP_DragFormat;
  record.kind = CP_FourCC("TEXT");
  record.count = 1;
  record.flag = 0;
  record.text = CP_MakeTextBlock(fRows[size_t(index)]->data.text);
}
