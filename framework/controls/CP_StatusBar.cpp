#include "CP_StatusBar.h"

#include "CP_Canvas.h"
#include "CP_Event.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"
#include "CP_View.h"

#include <commctrl.h>

// An attached bar follows the edge it sits on and both sides; a free bar is
// built from its place and size alone.
CP_PaneInfo CP_StatusBar::Placement(const CP_PaneInfo& info, bool attached, bool atBottom) {
  if (!attached) return CP_PaneInfo(info.location, info.size);
  CP_PaneInfo placed = info;
  placed.bindings.left = 1;
  placed.bindings.right = 1;
  placed.bindings.top = atBottom ? 0 : 1;
  placed.bindings.bottom = atBottom ? 1 : 0;
  return placed;
}

CP_StatusBar::CP_StatusBar(CP_View* superPane, const CP_PaneInfo& info, bool attached, bool atBottom,
                           bool sizeGrip)
    : CP_Pane(superPane, Placement(info, attached, atBottom)),
      fAttached(attached ? 1 : 0),
      fAtBottom(atBottom ? 1 : 0),
      fSizeGrip(sizeGrip ? 1 : 0) {
  MakeBarWindow();
}

CP_StatusBar::CP_StatusBar(CP_View* superPane, Stored) : CP_Pane(superPane, CP_PaneInfo()) {}

CP_StatusBar::~CP_StatusBar() = default;

CP_M_Reanimatable* CP_StatusBar::CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in) {
  auto* bar = new CP_StatusBar(dynamic_cast<CP_View*>(superView), Stored{});
  try {
    bar->ReadFromStream(nullptr, in);
  } catch (...) {
    delete bar;
    throw;
  }
  bar->SetBindings(Placement(CP_PaneInfo(bar->fLocation, bar->fSize), bar->fAttached != 0,
                             bar->fAtBottom != 0).bindings);
  bar->UpdateOriginOffset(bar->GetSuperPane());
  bar->SetPrintFrame(bar->fLocation, bar->fSize);
  bar->MakeBarWindow();
  return bar;
}

// The bar's window stands one pixel right of the pane's place.
void CP_StatusBar::MakeBarWindow() {
  uint32_t style = WS_CHILD;
  if (fAttached && fAtBottom)
    style |= CCS_BOTTOM | (fSizeGrip ? SBARS_SIZEGRIP : 0);
  else if (fAttached)
    style |= CCS_TOP;
  else
    style |= CCS_NORESIZE;
  fWindowStyle = style;
  const CP_Point place(int16_t(fLocation.h + 1), fLocation.v);
  if (CreatePaneWindow(GetSuperPane(), place, fSize, "", STATUSCLASSNAMEA, style, 0))
    SubclassWindow(PaneWindowProc);
}

LRESULT CP_StatusBar::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      CallSavedWindowProc(window, message, wParam, lParam);
      return 0;
    default:
      return CP_Pane::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_StatusBar::HandleDrawItem(HWND, WPARAM, LPARAM lParam) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item) return 0;
  CP_Canvas* canvas = GetCanvas();
  canvas->AttachDC(item->hDC);
  const auto life = LifeToken();
  DrawOwnerPart(int16_t(item->itemID), CP_Rect(item->rcItem));
  if (!life.expired()) canvas->DetachDC();
  return 0;
}

CP_Rect CP_StatusBar::GetPartRect(int16_t part) {
  RECT r = {};
  if (!SendMessageA(fWindow, SB_GETRECT, WPARAM(int32_t(part) - 1), reinterpret_cast<LPARAM>(&r)))
    return CP_Rect();
  return CP_Rect(r);
}

bool CP_StatusBar::SetParts(const int32_t* rightEdges, int16_t count) {
  return SendMessageA(fWindow, SB_SETPARTS, WPARAM(count), reinterpret_cast<LPARAM>(rightEdges)) != 0;
}

bool CP_StatusBar::SetPartText(const std::string& text, int16_t part, int16_t style) {
  const WPARAM which = WPARAM((int32_t(part) - 1) | int32_t(style));
  return SendMessageA(fWindow, SB_SETTEXTA, which, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

void CP_StatusBar::WriteToStream(CP_OutStream& out) {
  CP_Pane::WriteToStream(out);
  out.WriteBool(fAttached).WriteBool(fAtBottom).WriteBool(fSizeGrip).WriteBool(fReserved);
}

void CP_StatusBar::ReadFromStream(void* context, CP_InStream& in) {
  CP_Pane::ReadFromStream(context, in);
  in.ReadBool(fAttached).ReadBool(fAtBottom).ReadBool(fSizeGrip).ReadBool(fReserved);
}
