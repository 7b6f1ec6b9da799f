#include "GH_TreeTable.h"

#include "CDDatabase.h"
#include "CP_Canvas.h"
#include "CP_DroppedRecord.h"
#include "CP_Window.h"
#include "GH_ListView.h"
#include "GH_LibraryGlobals.h"
#include "GH_MainWindow.h"
#include "GH_TreeDirItem.h"
#include "GH_Settings.h"

#include <cstdio>
#include <cstring>

GH_TreeTable::GH_TreeTable(CP_View* superPane, const CP_TreeTableInfo& info, std::vector<PlaylistEntry>& items,
                           int16_t imageCount, int16_t imageWidth, int16_t imageHeight, uint8_t masked,
                           int16_t width)
    : CP_TreeTable(superPane, info, imageCount, imageWidth, imageHeight, masked, 1, 0),
      CD_M_SplitterItem_CP(this, width, width),
      fItems(items) {
  SetFocus(GetHWND());
}

GH_TreeTable::~GH_TreeTable() {
  char width[16];
  std::snprintf(width, sizeof width, "%d", int(GetWidth()));
  WriteIniString(kIniSection, "TreeTableWidth", width, kIniFile);
}

void GH_TreeTable::ShowHelp() {
  std::string helpFile;
  ReadIniString(kIniHelpSection, "HelpFile", "c:windows", helpFile, kIniFile);
  WinHelpA(nullptr, helpFile.c_str(), HELP_CONTENTS, 0);
}

void GH_TreeTable::CollapseAll() {
  while (!GetExpandedItems().empty()) {
    CP_TreeTableItem* first = GetExpandedItems().front();
    const size_t before = GetExpandedItems().size();
    first->Collapse();
    // An item that stays in the list would hold the loop for ever.
    if (GetExpandedItems().size() == before && GetExpandedItems().front() == first) break;
  }
}

void GH_TreeTable::RemoveDropHighlight() {
  if (GetHWND()) SendMessageA(GetHWND(), TVM_SELECTITEM, TVGN_DROPHILITE, 0);
}

// The arrow keys reach the control as system keys, so that the framework's
// key routing does not take them on the way.
LRESULT GH_TreeTable::HandleKeyDown(WPARAM key) {
  switch (key) {
    case VK_F1:
      ShowHelp();
      return 1;
    case VK_TAB:
      if (fPartner && fPartner->GetHWND()) SetFocus(fPartner->GetHWND());
      return kNotHandled;
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
      SendMessageA(GetHWND(), WM_SYSKEYDOWN, key, 0);
      return kNotHandled;
    default:
      return kNotHandled;
  }
}

LRESULT GH_TreeTable::HandleLeftButtonDown(HWND window, WPARAM wParam, LPARAM lParam) {
  CP_PaneDCScope scope(this);
  TVHITTESTINFO hit = {};
  hit.pt.x = int16_t(LOWORD(lParam));
  hit.pt.y = int16_t(HIWORD(lParam));
  SendMessageA(GetHWND(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.hItem)
    if (auto* item = dynamic_cast<GH_TreeDirItem*>(FindItemByHandle(hit.hItem)))
      item->HandleClick(CP_Point(int16_t(hit.pt.x), int16_t(hit.pt.y)));
  const LRESULT result =
      fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, WM_LBUTTONDOWN, wParam, lParam) : 0;
  Refresh();
  return result;
}

LRESULT GH_TreeTable::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DROPFILES:
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam) : 0;
    case WM_KEYDOWN:
      return HandleKeyDown(wParam);
    case WM_LBUTTONDOWN:
      return HandleLeftButtonDown(window, wParam, lParam);
    case WM_RBUTTONDOWN: {
      const CP_Point point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
      auto* item = dynamic_cast<GH_TreeDirItem*>(FindItemAtPoint(point));
      if (!item) return 0;
      // The item becomes the selection first, so the film list follows.
      SendMessageA(GetHWND(), WM_LBUTTONDOWN, wParam, lParam);
      item->HandleRightClick(point);
      return 0;
    }
    case WM_MOUSEMOVE:
      RemoveDropHighlight();
      return kNotHandled;
    default:
      return CP_TreeTable::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT GH_TreeTable::HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto* report = reinterpret_cast<const NMTREEVIEWA*>(lParam);
  if (!report) return 0;
  if (report->hdr.code == TVN_BEGINDRAGA || report->hdr.code == TVN_BEGINDRAGW) return 1;
  if (report->hdr.code == TVN_SELCHANGEDA || report->hdr.code == TVN_SELCHANGEDW)
    if (auto* item = dynamic_cast<GH_TreeDirItem*>(FindItemByHandle(report->itemNew.hItem)))
      item->ShowFolderFilms(item->GetIdentifier());
  return CP_TreeTable::HandleNotify(window, wParam, lParam);
}

void GH_TreeTable::ReceiveDragData(CP_DragRecord& record, const CP_Point& point) {
  if (auto* item = dynamic_cast<GH_TreeDirItem*>(FindItemAtPoint(point))) item->ReceiveMessage(record.secondKind, point);
}

// ---------------------------------------------------------------------------
// Films dropped on the tree

// A drag entering below the wastebasket is tested at the wastebasket's line.
void GH_TreeTable::DragEnter(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) {
  fDropped = 0;
  CollapseAll();
  if (CP_TreeTableItem* wastebasket = FindRootItemById(kWastebasketId)) {
    // The control reads the item's handle from the rectangle's first bytes.
    RECT line = {};
    const HTREEITEM handle = wastebasket->GetHandle();
    std::memcpy(&line, &handle, sizeof handle);
    SendMessageA(GetHWND(), TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&line));
    CP_Point location = GetLocation();
    LocalToGlobalPoint(location);
    const LONG limit = line.top - 5 + location.v;
    if (y > limit) y = limit;
  }
  CP_TreeTable::DragEnter(data, keyState, x, y, effect);
}

void GH_TreeTable::RefuseDrop(DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  RemoveDropHighlight();
  CollapseAll();
}

void GH_TreeTable::DragOver(DWORD, LONG x, LONG y, DWORD* effect) {
  CP_Window* main = FindMainWindow(mainWindowTitle);
  if (!main || main->GetHWND() != GetForegroundWindow()) {
    if (effect) *effect = DROPEFFECT_NONE;
    return;
  }
  TVHITTESTINFO hit = {};
  hit.pt = {x, y};
  ScreenToClient(GetHWND(), &hit.pt);
  SendMessageA(GetHWND(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  auto* item = hit.hItem ? dynamic_cast<GH_TreeDirItem*>(FindItemByHandle(hit.hItem)) : nullptr;
  if (!item) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (effect) *effect = DROPEFFECT_COPY;
    return;
  }
  if (item->GetKind() == kItemCD) return RefuseDrop(effect);
  if (item->GetKind() == kItemWastebasket) {
    // Films that live on their CD cannot be thrown away.
    auto* list = dynamic_cast<GH_ListView*>(fPartner);
    PlaylistEntry film;
    film.ITEM_ID = list ? list->GetFocusedFilmId() : -1;
    if (cdDatabase && !cdDatabase->FindItem(film) && film.PARENTTYPE == kItemCD) return RefuseDrop(effect);
  }
  TVITEMA state = {};
  state.mask = TVIF_HANDLE | TVIF_STATE;
  state.hItem = hit.hItem;
  state.stateMask = TVIS_DROPHILITED;
  SendMessageA(GetHWND(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&state));
  if (!(state.state & TVIS_DROPHILITED) && !fDropped) {
    CollapseAll();
    RemoveDropHighlight();
    SendMessageA(GetHWND(), TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(hit.hItem));
    fHighlighted = 1;
  }
  if (effect) *effect = DROPEFFECT_COPY;
}

void GH_TreeTable::DragLeave() {
  fHighlighted = 0;
  fDropped = 0;
  RemoveDropHighlight();
  CP_TreeTable::DragLeave();
}

// The films go to the item that carries the drop highlight, wherever the
// drop itself lands.
void GH_TreeTable::Drop(IDataObject*, DWORD, LONG x, LONG y, DWORD*) {
  fHighlighted = 0;
  fDropped = 1;
  if (IDataObject* kept = GetKeptData()) {
    POINT client = {x, y};
    ScreenToClient(GetHWND(), &client);
    CP_DroppedRecord dropped;
    if (dropped.Take(kept)) {
      const auto target = reinterpret_cast<HTREEITEM>(SendMessageA(GetHWND(), TVM_GETNEXTITEM, TVGN_DROPHILITE, 0));
      if (auto* item = target ? dynamic_cast<GH_TreeDirItem*>(FindItemByHandle(target)) : nullptr)
        item->ReceiveMessage(dropped.Record().secondKind, CP_Point(client));
    }
  }
  ReleaseKeptData();
}
