#include "GH_ListView.h"

#include "CDDatabase.h"
#include "CP_Canvas.h"
#include "CP_Event.h"
#include "CP_Exception.h"
#include "CP_FourCC.h"
#include "CP_GdiOwners.h"
#include "CP_HandleBlock.h"
#include "CP_SDIApp_Document.h"
#include "CP_TextTrait.h"
#include "CP_Utilities.h"
#include "CP_Window.h"
#include "GH_ImageList.h"
#include "GH_LibraryGlobals.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kFocused = LVIS_FOCUSED;    // 1
constexpr uint32_t kSelected = LVIS_SELECTED;  // 2
constexpr uint32_t kBoth = kFocused | kSelected;
constexpr COLORREF kLightGrey = RGB(0xC0, 0xC0, 0xC0);
constexpr int32_t kScrollStep = 17;
constexpr UINT_PTR kDragTimerId = 11;
// A left button held still this long over the list starts a drag.
constexpr UINT kDragDelayMs = 1000;
// Where a click is tested for a row on its line: inside the first column's
// icon, a few pixels in, as the control's hit test misses the icon's very
// first pixel on some systems.
constexpr int32_t kRowProbeX = 4;

// The list's pictures, in the order of their image numbers.
constexpr uint16_t kPictures[] = {1011, 1004, 1006, 1005, 1052, 1054, 1053, 1055, 1056};

RECT ItemRect(HWND control, int32_t index, int code) {
  RECT rect = {};
  rect.left = code;
  SendMessageA(control, LVM_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

int32_t ColumnWidth(HWND control, int column) {
  return int32_t(SendMessageA(control, LVM_GETCOLUMNWIDTH, WPARAM(column), 0));
}

int32_t TextWidth(HDC dc, const std::string& text) {
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
  return size.cx;
}

// Writes the film's row; true when that failed, and the record then shows
// the row as the table holds it (a write may have kept part of a change).
bool WriteFilmRow(PlaylistEntry& record, const PlaylistEntry& changed) {
  if (!cdDatabase || !cdDatabase->UpdateItem(changed, true)) {
    record = changed;
    return false;
  }
  PlaylistEntry stored = record;
  if (!cdDatabase->FindItem(stored)) record = stored;
  return true;
}

}  // namespace

GH_ListView::GH_ListView(CP_View* superPane, CP_M_Commander* commander, const CP_PaneInfo& info)
    : CP_ListView(superPane, commander, info, 0, 0),
      CD_M_SplitterItem_CP(this, 100, 50),
      fImages(std::make_unique<GH_ImageList>(20, 41, 16, 1)) {
  for (uint16_t id : kPictures) fImages->AddBitmapMasked(id, CP_RGBColor::White, 0);
  if (HWND control = GetHWND()) {
    LONG style = GetWindowLongA(control, GWL_STYLE);
    style = (style & ~LONG(LVS_TYPEMASK & 3)) | LVS_NOCOLUMNHEADER | LVS_NOSORTHEADER;
    SetWindowLongA(control, GWL_STYLE, style);
  }
}

GH_ListView::~GH_ListView() {
  if (fDragTimer && GetHWND()) KillTimer(GetHWND(), kDragTimerId);
}

// ---------------------------------------------------------------------------
// Rows

void GH_ListView::AppendRow(const CP_ListViewItemData& data, int16_t firstIconId, int16_t secondIconId) {
  CP_ListViewItemData item = data;
  if (firstIconId != kNoIcon && secondIconId != kNoIcon) {
    GetLargeImages()->AddIcon(uint16_t(firstIconId));
    GetSmallImages()->AddIcon(uint16_t(secondIconId));
    item.image = GetLargeImages()->CountImages();
  }
  // The control's item carries no text: the list draws the name itself.
  char empty[1] = {0};
  LVITEMA native = {};
  native.mask = item.mask;
  native.iItem = int(Rows().size());
  native.iSubItem = 0;
  native.state = item.state;
  native.stateMask = item.stateMask;
  native.pszText = empty;
  native.iImage = item.image - 1;
  native.lParam = LPARAM(item.userValue);
  if (SendMessageA(GetHWND(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&native)) == -1)
    ThrowConditionFailed(kCP_RequestRefused, "GH_ListView", 215);
  Rows().push_back(std::make_unique<CP_ListViewRow>(item));
}

// The row leaves the kept rows too, so positions stay those of the control.
void GH_ListView::DeleteRow(int16_t position) {
  if (position < 1 || size_t(position) > Rows().size()) return;
  SendMessageA(GetHWND(), LVM_DELETEITEM, WPARAM(position - 1), 0);
  Rows().erase(Rows().begin() + (position - 1));
  TakeFocus(nullptr);
  Refresh();
}

void GH_ListView::DeleteAllRows() {
  Rows().clear();
  SendMessageA(GetHWND(), LVM_DELETEALLITEMS, 0, 0);
}

int32_t GH_ListView::NextItem(int32_t start, uint32_t flags) const {
  return GetHWND() ? int32_t(SendMessageA(GetHWND(), LVM_GETNEXTITEM, WPARAM(start), LPARAM(flags))) : -1;
}

void GH_ListView::SetRowState(int32_t index, uint32_t state, uint32_t mask) {
  LVITEMA item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageA(GetHWND(), LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&item));
}

int32_t GH_ListView::GetFocusedFilmId() const {
  const int32_t index = NextItem(-1, LVNI_FOCUSED);
  if (index < 0 || index >= CountItems()) return -1;
  return int32_t(GetItemData(int16_t(index + 1)).userValue);
}

int32_t GH_ListView::FindRowByFilmId(int32_t itemId) const {
  for (int16_t n = 1; n <= CountItems(); ++n)
    if (int32_t(GetItem(n)->data.userValue) == itemId) return n - 1;
  return -1;
}

void GH_ListView::DeselectAll() {
  for (size_t n = 0; n < Rows().size(); ++n) SetRowState(int32_t(n), kFocused, kBoth);
}

void GH_ListView::SelectAll() {
  const size_t count = Rows().size();
  if (count >= 2) {
    for (size_t n = 0; n < count; ++n) SetRowState(int32_t(n), kSelected, kSelected);
  } else if (count == 1) {
    SetRowState(0, kBoth, kBoth);
  }
  if (count != 1) {
    CP_Message message(nullptr, 3, 10, 0);
    Broadcast(message);
  }
}

void GH_ListView::SaveRowStates(std::map<int32_t, uint32_t>& states) const {
  for (int16_t n = 1; n <= CountItems(); ++n) {
    const uint32_t state = uint32_t(SendMessageA(GetHWND(), LVM_GETITEMSTATE, WPARAM(n - 1), kBoth));
    states[int32_t(GetItem(n)->data.userValue)] = state & kBoth;
  }
}

void GH_ListView::RestoreRowStates(const std::map<int32_t, uint32_t>& states) {
  for (const auto& entry : states) {
    const int32_t index = FindRowByFilmId(entry.first);
    if (index >= 0) SetRowState(index, entry.second, kBoth);
  }
}

void GH_ListView::ShowFilmsOfParent(int32_t parentId) {
  EmptyPreview(FindPreviewPane(this), false);
  if (CP_Window* window = GetOwnerWindow()) {
    window->TakeFocus(nullptr);
    window->Refresh();
  }
  DeleteAllRows();
  for (const PlaylistEntry& row : itemList)
    if (row.PARENT_ID == parentId && row.ITEMTYPE == kItemFilm)
      AppendRow(CP_ListViewItemData(row.ITEMTEXT, 111, uint32_t(row.ITEM_ID)), kNoIcon, kNoIcon);
  SetViewMode(kReport);
  if (currentLibraryDocument) currentLibraryDocument->RefreshFilmCounts();
}

// ---------------------------------------------------------------------------
// Records

PlaylistEntry* GH_ListView::FindItemRecord(int32_t itemId) const {
  for (PlaylistEntry& row : itemList)
    if (row.ITEM_ID == itemId) return &row;
  return nullptr;
}

bool GH_ListView::IsNameInParent(const std::string& text, int32_t parentId) const {
  return std::any_of(itemList.begin(), itemList.end(), [&](const PlaylistEntry& row) {
    return row.ITEMTEXT == text && row.PARENT_ID == parentId;
  });
}

int32_t GH_ListView::GetPlayFlag(int32_t itemId) const {
  const PlaylistEntry* record = FindItemRecord(itemId);
  return record ? record->PLAY : -1;
}

int32_t GH_ListView::TogglePlayFlag(int32_t itemId) {
  PlaylistEntry* record = FindItemRecord(itemId);
  if (!record) return -1;
  PlaylistEntry changed = *record;
  changed.PLAY = record->PLAY == 1 ? 0 : 1;
  WriteFilmRow(*record, changed);
  return record->PLAY;
}

// ---------------------------------------------------------------------------
// Messages

int32_t GH_ListView::HitTest(int32_t x, int32_t y) const {
  LVHITTESTINFO hit = {};
  hit.pt.x = x;
  hit.pt.y = y;
  const int32_t index = int32_t(SendMessageA(GetHWND(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return (hit.flags & (LVHT_ONITEMICON | LVHT_ONITEMLABEL)) ? index : -1;
}

LRESULT GH_ListView::PassToBase(HWND window, UINT message, WPARAM wParam, int32_t x, int32_t y) {
  return CP_ListView::HandleMessage(window, message, wParam, MAKELPARAM(x, y));
}

// The list acts as a full-row list whose first pixels are the play mark:
// the control sees every click at the row's start.
LRESULT GH_ListView::HandleLeftButtonDown(HWND window, WPARAM wParam, LPARAM lParam) {
  SetFocus(GetHWND());
  fClickX = int16_t(LOWORD(lParam));
  fClickY = int16_t(HIWORD(lParam));
  fClickKeys = uint32_t(wParam);
  if (HitTest(fClickX, fClickY) >= 0) return 0;
  const int32_t row = HitTest(kRowProbeX, fClickY);
  if (row < 0) return PassToBase(window, WM_LBUTTONDOWN, wParam, kRowProbeX, fClickY);
  const uint32_t state = uint32_t(SendMessageA(GetHWND(), LVM_GETITEMSTATE, WPARAM(row), kSelected));
  if (state & kSelected) {
    if (wParam & MK_CONTROL) {
      SetRowState(row, kFocused, kBoth);
      return PassToBase(window, WM_LBUTTONDOWN, wParam, fClickX, fClickY);
    }
    return PassToBase(window, WM_LBUTTONDOWN, wParam, kRowProbeX, fClickY);
  }
  if (!(wParam & (MK_SHIFT | MK_CONTROL)))
    for (int32_t n = NextItem(-1, LVNI_SELECTED); n >= 0; n = NextItem(n, LVNI_SELECTED)) SetRowState(n, kFocused, kBoth);
  SetRowState(row, kBoth, kBoth);
  TakeFocus(nullptr);
  Refresh();
  SetFocus(GetHWND());
  if (HitTest(kRowProbeX, fClickY) < 0) EmptyPreview(FindPreviewPane(this), true);
  // With Ctrl the control would take the row straight out of the selection
  // again: the row joins it here, and the control does not see the click.
  if (!(wParam & MK_CONTROL)) PassToBase(window, WM_LBUTTONDOWN, wParam, kRowProbeX, fClickY);
  return 0;
}

LRESULT GH_ListView::HandleLeftButtonUp(HWND window, WPARAM wParam, LPARAM lParam) {
  fClickX = int16_t(LOWORD(lParam));
  fClickY = int16_t(HIWORD(lParam));
  fClickKeys = uint32_t(wParam);
  const int32_t row = HitTest(fClickX, fClickY);
  if (row >= 0 && fClickX < kPlayMarkWidth && size_t(row) < Rows().size()) {
    const int32_t value = TogglePlayFlag(int32_t(Rows()[size_t(row)]->data.userValue));
    {
      CP_PaneDCScope scope(this);
      DrawPlayMark(row, value);
    }
    // Once the mark shows what the table holds.
    if (cdDatabase) cdDatabase->ReportWriteFailures();
  }
  return CP_ListView::HandleMessage(window, WM_LBUTTONUP, wParam, lParam);
}

void GH_ListView::MoveFocus(bool down) {
  HWND control = GetHWND();
  const int32_t focused = NextItem(-1, LVNI_FOCUSED);
  int32_t next = NextItem(focused, down ? LVNI_BELOW : LVNI_ABOVE);
  // Some controls answer the index past the last row below it.
  if (next >= CountItems()) next = -1;
  const int32_t top = int32_t(SendMessageA(control, LVM_GETTOPINDEX, 0, 0));
  const int32_t perPage = int32_t(SendMessageA(control, LVM_GETCOUNTPERPAGE, 0, 0));
  if (next >= 0 && next != focused) {
    if (down && next == top + perPage) SendMessageA(control, LVM_SCROLL, 0, kScrollStep);
    if (!down && next == top - 1) SendMessageA(control, LVM_SCROLL, 0, -kScrollStep);
  }
  if (next < 0 || next == focused) return;
  const bool shift = IsKeyDown(VK_SHIFT);
  const bool control_ = IsKeyDown(VK_CONTROL);
  if (!shift && !control_) {
    for (int32_t n = NextItem(-1, LVNI_SELECTED); n >= 0; n = NextItem(n, LVNI_SELECTED)) SetRowState(n, kFocused, kBoth);
    SetRowState(next, kBoth, kBoth);
  } else if (shift) {
    const uint32_t state = uint32_t(SendMessageA(control, LVM_GETITEMSTATE, WPARAM(next), kSelected));
    if ((state & kSelected) && focused >= 0) SetRowState(focused, kFocused, kBoth);
    SetRowState(next, kBoth, kBoth);
  } else {
    SetRowState(next, kFocused, kBoth);
  }
}

void GH_ListView::HandleKeyDown(WPARAM key) {
  switch (key) {
    case VK_F1: {
      std::string helpFile;
      ReadIniString(kIniHelpSection, "HelpFile", "c:windows", helpFile, kIniFile);
      WinHelpA(nullptr, helpFile.c_str(), HELP_CONTENTS, 0);
      break;
    }
    case VK_TAB:
      if (CP_Window* window = GetOwnerWindow())
        if (CP_Pane* tree = window->FindSubPaneById(CP_FourCC("TREE"), true)) SetFocus(tree->GetHWND());
      break;
    case 'A':
      if (IsKeyDown(VK_CONTROL)) SelectAll();
      break;
    case VK_DOWN:
      MoveFocus(true);
      break;
    case VK_UP:
      MoveFocus(false);
      break;
    case VK_DELETE:
      MoveSelectionToWastebasket();
      break;
    default:
      break;
  }
}

void GH_ListView::RedrawAllRows() {
  CP_PaneDCScope scope(this);
  for (size_t n = 0; n < Rows().size(); ++n) DrawRow(Rows()[n]->data, int32_t(n));
}

LRESULT GH_ListView::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KILLFOCUS:
      fFocusLost = 1;
      RedrawAllRows();
      fFocusLost = 0;
      return 0;
    case WM_SETFOCUS:
      if (NextItem(-1, LVNI_SELECTED) < 0 && !Rows().empty())
        SetRowState(int32_t(SendMessageA(GetHWND(), LVM_GETTOPINDEX, 0, 0)), kFocused, kFocused);
      RedrawAllRows();
      fFocusLost = 0;
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      return fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam) : 0;
    case WM_LBUTTONDOWN:
      return HandleLeftButtonDown(window, wParam, lParam);
    case WM_LBUTTONUP:
      CancelDelayedDrag();
      return HandleLeftButtonUp(window, wParam, lParam);
    case WM_TIMER:
      if (wParam == kDragTimerId) RunDelayedDrag();
      return 0;
    case WM_MOUSEMOVE:
      HandleMouseMove(wParam, lParam);
      return CP_ListView::HandleMessage(window, message, wParam, lParam);
    case WM_MOUSELEAVE:
      CancelDelayedDrag();
      return CP_ListView::HandleMessage(window, message, wParam, lParam);
    case WM_PAINT: {
      CP_PaneDCScope scope(this);
      if (fCanvas) fCanvas->GetFont().SetFontHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
      return HandlePaint(window, wParam, lParam);
    }
    case WM_KEYDOWN:
      HandleKeyDown(wParam);
      return 0;
    default:
      return CP_ListView::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT GH_ListView::HandleNotify(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  if (header && header->code == LVN_ITEMCHANGED) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
    if (change->uNewState == kBoth && change->iItem >= 0 && size_t(change->iItem) < Rows().size()) {
      CP_ListViewRow* row = Rows()[size_t(change->iItem)].get();
      // The copy lives for the broadcast only.
      auto copy = std::make_unique<CP_ListViewItemData>(row->data);
      CP_Message message(row, 3, 10, uint32_t(reinterpret_cast<uintptr_t>(copy.get())));
      Broadcast(message);
    }
  } else if (header && header->code == LVN_COLUMNCLICK) {
    BroadcastRowMessage(int16_t(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem + 1));
  }
  return CP_ListView::HandleNotify(window, wParam, lParam);
}

// ---------------------------------------------------------------------------
// Film drag and the Delete key

void GH_ListView::DragEnter(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
  CP_ListView::DragEnter(data, keyState, x, y, effect);
}

void GH_ListView::DragOver(DWORD, LONG, LONG, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
}

void GH_ListView::ReceiveDragData(CP_DragRecord&, const CP_Point&) {}

void GH_ListView::MakeDragData(CP_DragRecord& record, int16_t) {
  const int32_t index = NextItem(-1, LVNI_SELECTED);
  if (index < 0 || size_t(index) >= Rows().size()) return;
  char text[16] = {};
  const int length = std::snprintf(text, sizeof text, "%ld", long(int32_t(Rows()[size_t(index)]->data.userValue)));
  auto* block = new CP_HandleBlock(int32_t(length));
  if (void* bytes = block->GetPointer()) std::memcpy(bytes, text, size_t(length));
  block->Unlock();
  record.format = kCP_DragFormat;
  record.kind = CP_FourCC("TEXT");
  record.count = 1;
  record.flag = 0;
  record.text = block;
}

// A left button held still starts the drag when the control's own drag
// threshold is never passed.
void GH_ListView::HandleMouseMove(WPARAM keys, LPARAM point) {
  if (keys == MK_LBUTTON) {
    SetDragStart(CP_Point(int16_t(LOWORD(point)), int16_t(HIWORD(point))));
    fDragTimer = SetTimer(GetHWND(), kDragTimerId, kDragDelayMs, nullptr);
    // Told when the pointer leaves, which ends the wait.
    TRACKMOUSEEVENT track = {};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = GetHWND();
    TrackMouseEvent(&track);
  } else {
    CancelDelayedDrag();
  }
}

void GH_ListView::CancelDelayedDrag() {
  if (!fDragTimer) return;
  KillTimer(GetHWND(), kDragTimerId);
  fDragTimer = 0;
}

// Still holding the films: the left button down, the pointer over the list.
bool GH_ListView::IsHoldingFilms() const {
  const int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
  if (!(GetAsyncKeyState(button) & 0x8000)) return false;
  POINT pointer = {};
  if (!GetCursorPos(&pointer)) return false;
  HWND under = WindowFromPoint(pointer);
  return under == GetHWND() || IsChild(GetHWND(), under);
}

void GH_ListView::RunDelayedDrag() {
  KillTimer(GetHWND(), kDragTimerId);
  fDragTimer = 0;
  // A button let go, or a pointer gone elsewhere, within the wait drops
  // nothing: the films would land wherever the pointer is now.
  if (!IsHoldingFilms()) return;
  CP_Event event;
  DWORD effect = DROPEFFECT_NONE;
  RunDrag(event, 0, effect);
}

std::vector<int32_t> GH_ListView::SelectedFilmIds() const {
  std::vector<int32_t> ids;
  const int32_t count = int32_t(SendMessageA(GetHWND(), LVM_GETSELECTEDCOUNT, 0, 0));
  int32_t index = -1;
  for (int32_t n = 0; n < count; ++n) {
    index = NextItem(index, LVNI_SELECTED);
    if (index < 0 || index >= CountItems()) break;
    ids.push_back(int32_t(GetItemData(int16_t(index + 1)).userValue));
  }
  return ids;
}

// True when the film moved. The record is looked up afresh: a box shown for
// an earlier film lets messages run that may reload the item list.
bool GH_ListView::MoveFilmToWastebasket(int32_t filmId, int32_t& sourceParent) {
  PlaylistEntry* film = FindItemRecord(filmId);
  if (!film || film->ITEMTYPE != kItemFilm || film->PARENTTYPE == kItemCD) return false;
  if (IsNameInParent(film->ITEMTEXT, kWastebasketId)) {
    const std::string text = film->ITEMTEXT + " is already in the Wastebasket";
    TakeFocus(nullptr);
    Refresh();
    MessageBoxA(GetHWND(), text.c_str(), "Glintharbour International", MB_OK);
    SetFocus(GetHWND());
    return false;
  }
  // The film moves once its row is written: one that cannot be written
  // stays where the table has it, and in the list.
  PlaylistEntry changed = *film;
  changed.PARENT_ID = kWastebasketId;
  const int32_t from = film->PARENT_ID;
  if (WriteFilmRow(*film, changed)) return false;
  sourceParent = from;
  const int32_t row = FindRowByFilmId(filmId);
  if (row >= 0) DeleteRow(int16_t(row + 1));
  return true;
}

void GH_ListView::MoveSelectionToWastebasket() {
  int32_t sourceParent = 0;
  bool moved = false;
  for (int32_t filmId : SelectedFilmIds())
    if (MoveFilmToWastebasket(filmId, sourceParent)) moved = true;
  if (moved) ShowFilmsOfParent(sourceParent);
  if (cdDatabase) cdDatabase->ReportWriteFailures();
}

// ---------------------------------------------------------------------------
// Drawing

LRESULT GH_ListView::HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) {
  const LRESULT result =
      fSavedWindowProc ? CallWindowProcA(fSavedWindowProc, window, WM_PAINT, wParam, lParam) : 0;
  for (size_t n = 0; n < Rows().size(); ++n) {
    const CP_ListViewItemData row = Rows()[n]->data;
    DrawRow(row, int32_t(n));
  }
  return result;
}

void GH_ListView::DrawRow(const CP_ListViewItemData& row, int32_t index) {
  HWND control = GetHWND();
  HDC dc = fCanvas ? fCanvas->GetDC() : nullptr;
  if (!control || !dc) return;
  POINT position = {};
  SendMessageA(control, LVM_GETITEMPOSITION, WPARAM(index), reinterpret_cast<LPARAM>(&position));
  RECT label = ItemRect(control, index, LVIR_LABEL);
  const RECT icon = ItemRect(control, index, LVIR_ICON);
  const PlaylistEntry* record = FindItemRecord(int32_t(row.userValue));
  OffsetRect(&label, 25, 0);
  // The name stands in the second column: its rectangle reaches to the
  // row's end, where the first column's label alone would clip it away.
  label.right = std::max(label.right, ItemRect(control, index, LVIR_BOUNDS).right);
  DrawRowText(CP_Rect(label), index, row.text, record ? record->ICONRESID : 0);
  const int32_t play = GetPlayFlag(int32_t(row.userValue));
  const CP_Point mark(int16_t(icon.left + 8), int16_t(position.y));
  if (play == 1) fImages->Draw(fCanvas.get(), kImagePlay, mark, 0);
  if (play == 0) fImages->Draw(fCanvas.get(), kImageNoPlay, mark, 0);
  if (row.image >= 0 && record) {
    const CP_Point at(int16_t(icon.left + ColumnWidth(control, 0) - 9), int16_t(position.y));
    fImages->Draw(fCanvas.get(), record->ICONRESID, at, 0);
  }
}

void GH_ListView::DrawPlayMark(int32_t index, int32_t value) {
  HWND control = GetHWND();
  HDC dc = fCanvas ? fCanvas->GetDC() : nullptr;
  if (!control || !dc) return;
  RECT icon = ItemRect(control, index, LVIR_ICON);
  POINT position = {};
  SendMessageA(control, LVM_GETITEMPOSITION, WPARAM(index), reinterpret_cast<LPARAM>(&position));
  icon.right += 6;
  FillRect(dc, &icon, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
  const CP_Point mark(int16_t(icon.left + 8), int16_t(position.y));
  if (value == 1) fImages->Draw(fCanvas.get(), kImagePlay, mark, 0);
  if (value == 0) fImages->Draw(fCanvas.get(), kImageNoPlay, mark, 0);
}

std::string GH_ListView::FitName(const std::string& name, int32_t textWidth, int32_t gap, int32_t sWidth,
                                 int32_t columnWidth, int32_t& drawnWidth) {
  drawnWidth = textWidth;
  if (textWidth + gap <= columnWidth) return name;
  const int32_t excess = textWidth + gap - columnWidth;
  drawnWidth = textWidth - excess - 3;
  const size_t cut = size_t(excess / std::max<int32_t>(sWidth, 1) + 4);
  if (name.size() > cut) return name.substr(0, name.size() - cut) + "...";
  const std::string first = name.substr(0, 1);
  if (columnWidth < 26) return std::string();
  if (columnWidth < 28) return first;
  if (columnWidth < 32) return first + ".";
  if (columnWidth < 35) return first + "..";
  if (columnWidth < 60) return first + "...";
  return first;
}

void GH_ListView::DrawFocusFrame(HDC dc, const RECT& rect) {
  const COLORREF colour = RGB(0, 0, 0);
  for (int32_t x = rect.left; x < rect.right; x += 2) {
    SetPixel(dc, x, rect.top, colour);
    SetPixel(dc, x, rect.bottom - 1, colour);
  }
  for (int32_t y = rect.top; y < rect.bottom; y += 2) {
    SetPixel(dc, rect.left, y, colour);
    SetPixel(dc, rect.right - 1, y, colour);
  }
}

void GH_ListView::DrawRowText(const CP_Rect& rect, int32_t index, const std::string& name, int16_t iconResId) {
  HWND control = GetHWND();
  HDC dc = fCanvas ? fCanvas->GetDC() : nullptr;
  if (!control || !dc) return;
  SetBkMode(dc, TRANSPARENT);
  const bool selected = NextItem(index - 1, LVNI_SELECTED) == index;
  const bool focused = NextItem(index - 1, LVNI_FOCUSED) == index;

  const RECT icon = ItemRect(control, index, LVIR_ICON);
  const int32_t column0 = ColumnWidth(control, 0);
  int32_t width = 0;
  const std::string text = FitName(name, TextWidth(dc, name), (icon.right - icon.left) + 2, TextWidth(dc, "s"),
                                   ColumnWidth(control, 1), width);

  COLORREF ink = iconResId == 2 || iconResId == 5 ? RGB(0, 0, 0) : kLightGrey;
  if (CP_TextTrait* trait = GetTextTrait()) ink = trait->GetColor().ToPaletteColorRef();

  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  const int32_t fontSize = metrics.tmHeight;
  const int32_t bottom = rect.top + (rect.Height() - fontSize) / 2 + fontSize + 1;

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
  const COLORREF background = GetBkColor(dc);
  RECT highlight = {rect.left + column0 + 1, rect.top + 1, rect.left + column0 + 1 + width + 2, rect.bottom - 1};
  if (focused && !fFocusLost) DrawFocusFrame(dc, highlight);
  if (selected) {
    const bool active = IsActive() && !fFocusLost;
    const COLORREF fill = active ? GetSysColor(COLOR_HIGHLIGHT) : kLightGrey;
    CP_GdiObject<HBRUSH> brush(CreateSolidBrush(fill));
    FillRect(dc, &highlight, brush.Get());
    FrameRect(dc, &highlight, brush.Get());
    if (active || iconResId == 1) ink = RGB(0xFF, 0xFF, 0xFF);
  }
  SetTextColor(dc, ink);
  SetTextAlign(dc, TA_BOTTOM | TA_LEFT);
  TextOutA(dc, rect.left + column0 + 2, bottom, text.c_str(), int(text.size()));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, background);
  RestoreDC(dc, saved);

  const CP_Size& extent = GetContentExtent();
  if (rect.left + width > extent.width) SetContentExtent(CP_Size(int16_t(rect.left + width + 16), extent.height));
}
