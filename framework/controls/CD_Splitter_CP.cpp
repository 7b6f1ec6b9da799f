#include "CD_Splitter_CP.h"

#include "CP_Canvas.h"
#include "CP_Cursor.h"
#include "CP_Desktop.h"
#include "CP_Event.h"
#include "CP_ImgShapes.h"
#include "CP_StatusBar.h"
#include "CP_Utilities.h"
#include "CP_Window.h"
#include "GH_IniFile.h"

#include <algorithm>
#include <cstdlib>

namespace {

const CP_RGBColor kWhite(0xFFFF, 0xFFFF, 0xFFFF);
const CP_RGBColor kLightGrey(0xC000, 0xC000, 0xC000);
const CP_RGBColor kDarkGrey(0x8888, 0x8888, 0x8888);
constexpr int32_t kSizeNorthSouth = 32645;  // IDC_SIZENS
// Feedback starts only past this distance from where the drag began.
constexpr int16_t kDragSlop = 6;
// The film list's leading columns, cut from the header bitmap.
constexpr int kHeaderCellsWidth = 79;
constexpr int kHeaderCellsHeight = 16;

// The size memory of the main splitter, one for the whole program: the
// window's maximised size is not kept, the size before it is.
struct SizeMemory {
  bool useRequest = true;
  bool wasMaximised = false;
  CP_Size saved;
};
SizeMemory gSizeMemory;

int16_t AtLeastZero(int32_t length) { return int16_t(std::max<int32_t>(length, 0)); }

}  // namespace

// ---------------------------------------------------------------------------
// Items, regions, adorner

CD_M_SplitterItem_CP::CD_M_SplitterItem_CP(CP_Pane* pane, int16_t size, int16_t minimum)
    : fMinimum(minimum), fItemPane(pane) {
  SetSize(size);
}

void CD_Region_CP::Subtract(const CP_Region& other) {
  CombineRgn(GetHandle(), GetHandle(), other.GetHandle(), RGN_DIFF);
}

void CD_SplitAdorner_CP::Show(CP_Pane* pane) {
  fShown = 1;
  const RECT r = fRect.ToRECT();
  RedrawWindow(pane->GetHWND(), &r, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
}

void CD_SplitAdorner_CP::Hide(CP_Pane* pane) {
  fShown = 0;
  pane->InvalidateRectangle(fRect);
}

void CD_SplitAdorner_CP::DrawAdornment(CP_Canvas* canvas, CP_Pane*) {
  if (!fShown || !canvas) return;
  CP_ImgShape_Rect(canvas, fRect).FillWithPattern(fPattern);
}

// ---------------------------------------------------------------------------
// Construction

CD_Splitter_CP::CD_Splitter_CP(CP_View* superPane, const CP_PaneInfo& info, uint8_t orientation)
    : CP_View(superPane, info), CD_M_SplitterItem_CP(superPane, 100, 100), fOrientation(orientation) {
  MakeWindow(superPane, info.location, info.size);
  fRemaining = Length();
  AddAdorner(new CD_SplitAdorner_CP);
  CP_PaneDCScope scope(this);
  TEXTMETRICA metrics = {};
  GetTextMetricsA(fCanvas->GetDC(), &metrics);
  fHeaderHeight = metrics.tmHeight + 1;
  fHeaderBitmap.Reset(LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(kHeaderBitmapId)));
  fHeaderDC = CP_MemoryDC(fCanvas->GetDC());
  fHeaderBrush.Reset(CreateSolidBrush(fHeaderColor));
}

CD_Splitter_CP::~CD_Splitter_CP() = default;

CD_SplitAdorner_CP* CD_Splitter_CP::GetSplitAdorner() const {
  return dynamic_cast<CD_SplitAdorner_CP*>(GetAdorner(1));
}

CD_M_SplitterItem_CP* CD_Splitter_CP::ItemAt(size_t index) const {
  if (index >= fSubPanes.size()) return nullptr;
  return dynamic_cast<CD_M_SplitterItem_CP*>(fSubPanes[index]);
}

// ---------------------------------------------------------------------------
// Layout

void CD_Splitter_CP::ArrangePanes(bool move) {
  fBars.clear();
  int32_t x = 0;
  int32_t y = 0;
  const std::vector<CP_Pane*> panes = fSubPanes;
  const size_t count = panes.size();
  for (size_t i = 1; i <= count; ++i) {
    CP_Pane* pane = panes[i - 1];
    auto* view = dynamic_cast<CP_View*>(pane);
    auto* item = dynamic_cast<CD_M_SplitterItem_CP*>(pane);
    if (!view || !item || !item->IsItemVisible()) continue;
    const CP_Point position{int16_t(x), int16_t(y)};
    // The last pane, and one larger than what is left, take the rest; a
    // splitter shorter than its panes and bars hands out 0, never less.
    int32_t length = item->GetSize();
    if (i == count || length > fRemaining) {
      length = fRemaining;
      fRemaining = 0;
    } else {
      fRemaining = int16_t(fRemaining - (length + kBarWidth));
    }
    length = AtLeastZero(length);
    int32_t width, height;
    if (fOrientation == kSideBySide) {
      width = length;
      height = GetHeight();
      x += width;
      if (i < count) fBars.emplace_back(x, 0, x + kBarWidth, height);
      x += kBarWidth;
    } else {
      width = GetWidth();
      height = length;
      y += height;
      if (i < count) fBars.emplace_back(0, y, width, y + kBarWidth);
      y += kBarWidth;
    }
    if (!move) continue;
    CP_Point place = position;
    // The row's first two panes leave room for the column headers.
    if (fIdentifier == kBottomSplitter && i <= 2) {
      const int32_t drop = i == 1 ? fHeaderHeight : fHeaderHeight + 1;
      place.v = int16_t(place.v + drop);
      height = AtLeastZero(height - drop);
    }
    view->MoveTo(place, 0);
    view->ResizeTo(CP_Size(width, height));
  }
}

void CD_Splitter_CP::Rearrange() {
  fRemaining = Length();
  ArrangePanes(false);
}

bool CD_Splitter_CP::EnforceMinimumSizes() {
  int32_t carry = 0;
  bool raised = false;
  const std::vector<CP_Pane*> panes = fSubPanes;
  for (auto it = panes.rbegin(); it != panes.rend(); ++it) {
    auto* item = dynamic_cast<CD_M_SplitterItem_CP*>(*it);
    if (!item) continue;
    int32_t length;
    if (fOrientation == kSideBySide) {
      const int32_t id = (*it)->GetIdentifier();
      if (id == kTree)
        length = item->GetSize();
      else if (id == kList)
        length = item->GetSize() - 40;
      else
        length = (*it)->GetWidth();
    } else {
      length = (*it)->GetHeight();
    }
    if (carry != 0) length -= carry;
    if (length < item->GetMinimumSize()) {
      carry = item->GetMinimumSize() - length;
      raised = true;
    }
    item->SetSize(int16_t(length));
  }
  if (raised) {
    fRemaining = Length();
    ArrangePanes(true);
  }
  return raised;
}

void CD_Splitter_CP::ResizeTo(const CP_Size& size) {
  SizeMemory& memory = gSizeMemory;
  CP_Window* owner = GetOwnerWindow();
  if (fIdentifier != kMainSplitter) {
    CP_View::ResizeTo(size);
  } else if (size.height == 1) {
    memory.useRequest = false;
  } else if (memory.useRequest) {
    memory.saved = size;
    CP_View::ResizeTo(size);
  } else if (owner && owner->IsMaximized()) {
    memory.wasMaximised = true;
    auto* status = dynamic_cast<CP_StatusBar*>(owner->FindSubPaneById(kStatusBar, true));
    if (status) {
      CP_Pane* tool = owner->FindSubPaneById(kToolPane, true);
      RECT client = {};
      GetClientRect(owner->GetHWND(), &client);
      const int32_t height =
          client.bottom - (status->GetPartRect(1).Height() + 1 + (tool ? tool->GetHeight() : 0));
      CP_Desktop* desktop = CP_Desktop::GetDesktop();
      const int32_t width = desktop ? desktop->GetWorkAreaWidth() : size.width;
      CP_View::ResizeTo(CP_Size(width, height));
    } else {
      CP_View::ResizeTo(size);
    }
  } else if (memory.wasMaximised) {
    memory.wasMaximised = false;
    CP_View::ResizeTo(size);
    memory.saved = size;
    memory.useRequest = true;
  } else {
    CP_View::ResizeTo(memory.saved);
    memory.useRequest = true;
  }
  if (!EnforceMinimumSizes()) Rearrange();
}

// ---------------------------------------------------------------------------
// Drawing

void CD_Splitter_CP::Line(HDC dc, const CP_RGBColor& color, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  fCanvas->SetForegroundColor(color);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

void CD_Splitter_CP::DrawContent(const CP_Region&) {
  HDC dc = fCanvas->GetDC();
  for (const CP_Rect& bar : fBars) {
    DrawBar(dc, bar);
    if (fIdentifier == kBottomSplitter) DrawHeaders(dc);
  }
}

void CD_Splitter_CP::DrawBar(HDC dc, const CP_Rect& bar) {
  if (fOrientation == kSideBySide) {
    const int32_t l = bar.left;
    Line(dc, kWhite, l, bar.top, l, bar.bottom);
    for (int32_t c = l + 1; c <= l + 4; ++c) Line(dc, kLightGrey, c, bar.top, c, bar.bottom);
    Line(dc, kDarkGrey, l + 5, bar.top, l + 5, bar.bottom);
  } else {
    const int32_t t = bar.top;
    Line(dc, kDarkGrey, bar.left, t, bar.right, t);
    Line(dc, kWhite, bar.left, t + 1, bar.right, t + 1);
    for (int32_t r = t + 2; r <= t + 4; ++r) Line(dc, kLightGrey, bar.left, r, bar.right, r);
    Line(dc, kDarkGrey, bar.left, t + 5, bar.right, t + 5);
  }
}

void CD_Splitter_CP::DrawHeaders(HDC dc) {
  if (fSubPanes.empty()) return;
  const int32_t w1 = fSubPanes.front()->GetWidth();
  const int32_t width = GetWidth();
  const int32_t hh = fHeaderHeight;

  const RECT first = {0, 0, w1 + 1, hh};
  FillRect(dc, &first, fHeaderBrush.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  fCanvas->GetFont().SetFontHandle(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  TextOutA(dc, 4, 1, "Folders", 7);
  Line(dc, kDarkGrey, 0, hh - 2, w1 + 1, hh - 2);
  Line(dc, kWhite, 0, hh - 1, w1 + 1, hh - 1);

  const int32_t x2 = w1 + kBarWidth;
  const RECT second = {x2, 0, width, hh - 1};
  FillRect(dc, &second, fHeaderBrush.Get());
  Line(dc, kDarkGrey, x2, hh - 2, width + 1, hh - 2);
  Line(dc, kWhite, x2, hh - 1, width, hh - 1);
  Line(dc, kWhite, x2, hh, width, hh);
  if (fHeaderBitmap && fHeaderDC.Get()) {
    const CP_SelectGuard bitmap(fHeaderDC.Get(), fHeaderBitmap.Get());
    BitBlt(dc, x2, 0, kHeaderCellsWidth, kHeaderCellsHeight, fHeaderDC.Get(), 0, 0, SRCCOPY);
  }
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutA(dc, x2 + 80, 1, "Name", 4);
}

// ---------------------------------------------------------------------------
// Mouse, keys

void CD_Splitter_CP::UpdateCursor(const CP_Point& point) {
  if (fOrientation != kStacked) return;
  CP_Point at = point;
  at.v = int16_t(at.v - fLocation.v);
  for (const CP_Rect& bar : fBars)
    if (bar.ContainsPoint(at)) {
      CP_Cursor sizing(kSizeNorthSouth, 0);
      return;
    }
}

void CD_Splitter_CP::HandleMouseDown(CP_Event& event, const CP_Point& point) {
  if (fOrientation == kSideBySide) return;
  for (size_t i = 0; i < fBars.size(); ++i) {
    if (!fBars[i].ContainsPoint(point)) continue;
    fDragging = 1;
    fDragStart = point;
    fDraggedBar = int16_t(i);
    RedrawWindow(fWindow, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (GetCapture() != fWindow) SetCapture(fWindow);
    CP_Pane::HandleMouseDown(event, point);
    return;
  }
  CP_View::HandleMouseDown(event, point);
}

void CD_Splitter_CP::TrackDrag(const CP_Point& point) {
  if (!fDragging || fDraggedBar < 0 || size_t(fDraggedBar) >= fBars.size()) return;
  fDragRect = fBars[size_t(fDraggedBar)];
  const int32_t delta = AlongAxis(point) - AlongAxis(fDragStart);
  if (std::abs(delta) <= kDragSlop) return;
  if (fOrientation == kSideBySide)
    fDragRect.Offset(delta, 0);
  else
    fDragRect.Offset(0, delta);
  CD_SplitAdorner_CP* adorner = GetSplitAdorner();
  if (!adorner) return;
  CD_Region_CP uncovered(adorner->GetRect());
  uncovered.Subtract(CD_Region_CP(fDragRect));
  InvalidateRgn(fWindow, uncovered.GetHandle(), TRUE);
  adorner->SetRect(fDragRect);
  adorner->Show(this);
}

CP_Pane* CD_Splitter_CP::FindFilmList() const {
  if (fIdentifier == kMainSplitter) {
    auto* bottom = dynamic_cast<CP_View*>(FindSubPaneById(kBottomSplitter, false));
    return bottom ? bottom->FindSubPaneById(kList, false) : nullptr;
  }
  return FindSubPaneById(kList, false);
}

void CD_Splitter_CP::HandleMouseUp(CP_Event& event) {
  if (auto* list = dynamic_cast<CD_M_SplitterItem_CP*>(FindFilmList())) list->SplitterDragEnded();
  const CP_Point point = event.where;
  CD_SplitAdorner_CP* adorner = GetSplitAdorner();
  if (GetCapture() == fWindow) ReleaseCapture();
  if (adorner) {
    adorner->Hide(this);
    adorner->SetRect(CP_Rect());
  }
  fDragRect = CP_Rect();
  if (fDragging) {
    CD_M_SplitterItem_CP* before = ItemAt(size_t(fDraggedBar));
    CD_M_SplitterItem_CP* after = ItemAt(size_t(fDraggedBar) + 1);
    if (before && after) {
      const int32_t delta = AlongAxis(point) - AlongAxis(fDragStart);
      fRemaining = Length();
      before->SetSize(int16_t(before->GetSize() + delta));
      after->SetSize(int16_t(after->GetSize() - delta));
      // The pane after the bar keeps at least its minimum.
      if (fRemaining - before->GetSize() - kBarWidth < after->GetMinimumSize())
        before->SetSize(int16_t(fRemaining - after->GetMinimumSize() - kBarWidth));
      ArrangePanes(true);
    }
    fDragging = 0;
  }
  Refresh();
}

void CD_Splitter_CP::ShowHelp() {
  std::string helpFile;
  ReadIniString("Help", "HelpFile", "c:windows", helpFile, "glintharbour.ini");
  WinHelpA(nullptr, helpFile.c_str(), HELP_CONTENTS, 0);
}

LRESULT CD_Splitter_CP::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE) {
    TrackDrag(CP_Point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))));
    CP_Pane::HandleMessage(window, message, wParam, lParam);
    return 0;
  }
  if (message == WM_KEYDOWN && wParam == VK_F1) {
    ShowHelp();
    return 1;
  }
  return CP_Pane::HandleMessage(window, message, wParam, lParam);
}
