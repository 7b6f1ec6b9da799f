#include "CP_MovieEvents.h"

bool OfferMessageToController(MovieController controller, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam) {
  MSG msg = {};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = DWORD(GetMessageTime());
  // Signed: screens left of or above the primary one have negative places.
  const DWORD position = GetMessagePos();
  msg.pt.x = int16_t(LOWORD(position));
  msg.pt.y = int16_t(HIWORD(position));
  EventRecord event = {};
  WinEventToMacEvent(&msg, &event);
  return MCIsPlayerEvent(controller, &event) != 0;
}
