#include "panes/GH_StripMessages.h"

#include "CP_Event.h"
#include "QTToolbox.h"

LRESULT AnswerStripMessage(CP_Pane& pane, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const CP_Point point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
  switch (message) {
    case WM_CREATE:
      CreatePortAssociation(window, nullptr, 0);
      MacSetPort(GetNativeWindowPort(window));
      return 0;
    case WM_ERASEBKGND:
      return 0;
    case WM_LBUTTONDBLCLK: {
      CP_Event event;
      event.kind = event.message = WM_LBUTTONDBLCLK;
      event.window = window;
      event.where = point;
      event.wParam = wParam;
      event.lParam = lParam;
      pane.HandleDoubleClick(event, point, uint32_t(wParam));
      return 0;
    }
    case WM_MOUSEMOVE:
      pane.CallUpdateCursor(point);
      SetFocus(pane.GetHWND());
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
