// Window messages as controller events. Mouse messages take their point
// from lParam, where the press happened; the others from the message's own
// screen point, each half a signed 16-bit value as GetMessagePos gives it.
#include "QTToolbox.h"

#include <windows.h>
#include <windowsx.h>

namespace {

uint16_t KeyModifiers() {
  uint16_t m = 0;
  if (GetKeyState(VK_SHIFT) < 0) m |= shiftKey;
  if (GetKeyState(VK_CONTROL) < 0) m |= controlKey;
  if (GetKeyState(VK_MENU) < 0) m |= optionKey;
  if (GetKeyState(VK_CAPITAL) & 1) m |= alphaLock;
  return m;
}

Point ScreenPoint(const MSG& msg, bool fromLParam) {
  POINT p = {int16_t(msg.pt.x), int16_t(msg.pt.y)};
  if (fromLParam && IsWindow(msg.hwnd)) {
    p.x = GET_X_LPARAM(msg.lParam);
    p.y = GET_Y_LPARAM(msg.lParam);
    ClientToScreen(msg.hwnd, &p);
  }
  return Point{int16_t(p.y), int16_t(p.x)};
}

}  // namespace

long WinEventToMacEvent(void* winMsg, EventRecord* macEvent) {
  if (!winMsg || !macEvent) return 0;
  const MSG& msg = *static_cast<const MSG*>(winMsg);
  EventRecord& e = *macEvent;
  e = EventRecord{};
  e.when = uint32_t(uint64_t(msg.time) * 60 / 1000);
  e.message = uint32_t(reinterpret_cast<uintptr_t>(msg.hwnd));
  e.where = ScreenPoint(msg, false);
  e.modifiers = KeyModifiers();
  if (GetKeyState(VK_LBUTTON) >= 0) e.modifiers |= btnState;
  switch (msg.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      e.what = mouseDown;
      e.where = ScreenPoint(msg, true);
      e.modifiers &= ~btnState;
      break;
    case WM_LBUTTONUP:
      e.what = mouseUp;
      e.where = ScreenPoint(msg, true);
      e.modifiers |= btnState;
      break;
    case WM_MOUSEMOVE:
      e.where = ScreenPoint(msg, true);
      e.modifiers = uint16_t((e.modifiers & ~btnState) | ((msg.wParam & MK_LBUTTON) ? 0 : btnState));
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
      e.what = !down ? keyUp : (msg.lParam & (1 << 30)) ? autoKey : keyDown;
      UINT character = MapVirtualKeyA(UINT(msg.wParam), 2) & 0xFF;
      e.message = uint32_t(((msg.wParam & 0xFF) << 8) | character);
      break;
    }
    case WM_PAINT:
      e.what = updateEvt;
      break;
    case WM_ACTIVATE:
      e.what = activateEvt;
      if (LOWORD(msg.wParam) != WA_INACTIVE) e.modifiers |= activeFlag;
      break;
    default:
      break;
  }
  return e.what != nullEvent ? 1 : 0;
}
