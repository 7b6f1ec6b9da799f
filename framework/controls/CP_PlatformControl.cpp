#include "CP_PlatformControl.h"

#include "CP_Canvas.h"
#include "CP_Event.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"

CP_PlatformControl::CP_PlatformControl(CP_View* superPane, const CP_PaneInfo& info, int16_t kind,
                                       const std::string& text, int32_t, int16_t value,
                                       int16_t minimum, int16_t maximum)
    : CP_Control(superPane, info, text, value, minimum, maximum), fControlKind(kind) {}

CP_PlatformControl::~CP_PlatformControl() = default;

HWND CP_PlatformControl::MakeControlWindow(const CP_Point& location, const CP_Size& size,
                                           const std::string& title, const char* windowClass,
                                           uint32_t style) {
  fWindowStyle = style;
  fControlWindow = CreatePaneWindow(GetSuperPane(), location, size, title, windowClass, style, 0);
  if (fControlWindow) SubclassWindow(PaneWindowProc);
  return fControlWindow;
}

void CP_PlatformControl::PlaceAfterReading() {
  UpdateOriginOffset(GetSuperPane());
  SetPrintFrame(fLocation, fSize);
}

void CP_PlatformControl::TakeFocus(CP_Canvas* canvas) {
  if (GetCurrentPane() == this) return;
  SetCurrentPane(this);
  CP_Control::TakeFocus(canvas);
}

void CP_PlatformControl::EnableOwn() {
  EnableWindow(fControlWindow, TRUE);
  CP_Control::EnableOwn();
}

void CP_PlatformControl::DisableOwn() {
  EnableWindow(fControlWindow, FALSE);
  CP_Control::DisableOwn();
}

void CP_PlatformControl::DrawContent(const CP_Region&) { ClearCurrentPane(); }

void CP_PlatformControl::MoveTo(const CP_Point& point, uint8_t redraw) {
  CP_Control::MoveTo(point, redraw);
  if (IsVisible() && redraw) Refresh();
}

LRESULT CP_PlatformControl::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fSavedWindowProc) return 0;
  return CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam);
}

// The native control captures the mouse itself; the pane only follows the
// spots. Passing on may end in a listener that deletes the control (a click
// reaches the parent as BN_CLICKED during the button-up), so the pane is
// not touched after a pass-on once it has gone.
LRESULT CP_PlatformControl::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return PassOn(window, message, wParam, lParam);
    case WM_LBUTTONDOWN: {
      const auto life = LifeToken();
      const LRESULT result = PassOn(window, message, wParam, lParam);
      if (life.expired()) return result;
      if (IsOperable()) {
        FindActiveSpot(MousePoint(lParam));
        SetTracking(true);
      }
      return result;
    }
    case WM_MOUSEMOVE: {
      const CP_Point point = MousePoint(lParam);
      CallUpdateCursor(CP_Point(int16_t(point.h - fOriginOffset.h), int16_t(point.v - fOriginOffset.v)));
      return PassOn(window, message, wParam, lParam);
    }
    case WM_LBUTTONUP: {
      const auto life = LifeToken();
      const LRESULT result = PassOn(window, message, wParam, lParam);
      if (life.expired()) {
        SetTracking(false);
        return result;
      }
      ActiveSpotReleased(MousePoint(lParam));
      SetTracking(false);
      return result;
    }
    default:
      return CP_Control::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_PlatformControl::HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) {
  CP_ST_DCCanvas canvas(this);
  DrawUnderAdorners();
  PassOn(window, WM_PAINT, wParam, lParam);
  DrawOverAdorners();
  return 0;
}

void CP_PlatformControl::ActiveSpotClicked(int16_t) { BroadcastValueMessage(); }

int16_t CP_PlatformControl::GetValue() {
  return int16_t(SendMessageA(fControlWindow, BM_GETCHECK, 0, 0));
}

std::string CP_PlatformControl::GetText() const {
  char text[256] = {};
  GetWindowTextA(fControlWindow, text, sizeof text);
  return text;
}

void CP_PlatformControl::SetText(const std::string& text) {
  if (text == GetText()) return;
  fText = text;
  SetWindowTextA(fControlWindow, text.c_str());
}

void CP_PlatformControl::UseTextTrait(CP_TextTrait* trait) { SetTextTrait(trait); }

void CP_PlatformControl::WriteToStream(CP_OutStream& out) {
  CP_Control::WriteToStream(out);
  out.WriteInt16(fControlKind);
}

void CP_PlatformControl::ReadFromStream(void* context, CP_InStream& in) {
  CP_Control::ReadFromStream(context, in);
  in.ReadInt16(fControlKind);
}
