#pragma once
// Drawing panes into memory surfaces, moving the real mouse and listening to
// controls, for the product control tests.
#include "CP_Canvas.h"
#include "ControlTestSupport.h"
#include "DibSurface.h"
#include "PaneTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

namespace kxtest {

// The pane's content drawn into the surface, which stands for the pane's
// window (0, 0 is the pane's top-left corner).
inline void DrawInto(CP_Pane* pane, DibSurface& dib) {
  CP_Canvas* canvas = pane->GetCanvas();
  canvas->AttachDC(dib.DC());
  {
    CP_PaneDCScope scope(pane);
    pane->DrawContent(CP_Region(pane->GetLocalFrameRect()));
  }
  canvas->DetachDC();
}

// Lets the messages already queued be handled, and a little more.
inline void Settle(int ms = 60) {
  PumpUntil([] { return false; }, ms);
}

// Moves the real mouse to a screen point and lets the moves arrive.
inline void MouseTo(int x, int y) {
  SetCursorPos(x, y);
  PumpUntil([&] {
    POINT p = {};
    GetCursorPos(&p);
    return p.x == x && p.y == y;
  }, 2000);
  Settle();
}

inline void MouseButton(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
  Settle();
}

// A point of a pane's window in screen coordinates.
inline POINT OnScreen(CP_Pane* pane, int x, int y) {
  POINT p{x, y};
  ClientToScreen(pane->GetHWND(), &p);
  return p;
}

// Other test programs show their windows at the same time, most near the
// top left of the screen: a window that takes real mouse input stays on top
// near the bottom right.
inline void PlaceApart(CP_Window* window) {
  window->MoveTo(CP_Point(int16_t(640), int16_t(440)), true);
  SetWindowPos(window->GetHWND(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Shows the scene's window and waits until its panes are active.
inline void ShowAndActivate(CP_Window* window) {
  window->Show();
  SetForegroundWindow(window->GetHWND());
  PumpUntil([&] { return window->GetActiveState() == CP_Pane::kOn; }, 2000);
  Settle();
}

}  // namespace kxtest
