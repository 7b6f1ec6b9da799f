// The two framework window procedures. Windows calls them; no exception may
// pass back through Windows, so each keeps what its handler throws.
#include "CP_Callback.h"
#include "CP_Event.h"
#include "CP_Pane.h"
#include "CP_Window.h"

namespace {

LRESULT Answer(CP_Pane* pane, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = pane->HandleMessage(window, message, wParam, lParam);
  if (result == CP_Pane::kNotHandled) return DefWindowProcA(window, message, wParam, lParam);
  return result;
}

LRESULT DispatchPane(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CP_Pane* pane = CP_Pane::FromWindow(window);
  if (!pane || pane->GetIdentifier() == CP_Pane::kSilentIdentifier)
    return DefWindowProcA(window, message, wParam, lParam);
  return Answer(pane, window, message, wParam, lParam);
}

LRESULT DispatchTop(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The screen saver cannot start while a framework window is asked.
  if (message == WM_SYSCOMMAND && wParam == SC_SCREENSAVE) return 1;
  auto* top = dynamic_cast<CP_Window*>(CP_Pane::FromWindow(window));
  if (!top || top->GetIdentifier() == CP_Pane::kSilentIdentifier)
    return DefWindowProcA(window, message, wParam, lParam);
  return Answer(top, window, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK PaneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CP_GuardCallback<LRESULT>(0, [&] { return DispatchPane(window, message, wParam, lParam); });
}

LRESULT CALLBACK TopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CP_GuardCallback<LRESULT>(0, [&] { return DispatchTop(window, message, wParam, lParam); });
}
