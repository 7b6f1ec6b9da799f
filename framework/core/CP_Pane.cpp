#include "CP_Pane.h"

#include "CP_Canvas.h"

namespace {

// Set beside the user data when a pane's window is made: foreign windows may
// keep pointers of their own in their user data.
constexpr char kPaneProperty[] = "CP_Pane";

}  // namespace

CP_Pane::CP_Pane() : fCanvas(new CP_Canvas) {}

CP_Pane::~CP_Pane() {
  SetEnvironment(nullptr);
  delete fCanvas;
  ReleaseWindow();
}

CP_RGBColor CP_Pane::GetBackgroundColor() const { return GetSystemColor(COLOR_WINDOW); }

void CP_Pane::SetEnvironment(CP_CanvasEnvironment* environment) {
  // The new one first: giving a pane the environment it holds must not
  // delete it.
  if (environment) environment->AddReference();
  if (fEnvironment) fEnvironment->RemoveReference();
  fEnvironment = environment;
}

CP_Pane* CP_Pane::FromWindow(HWND window) {
  if (!window) return nullptr;
  void* data = reinterpret_cast<void*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!data || GetPropA(window, kPaneProperty) != data) return nullptr;
  return static_cast<CP_Pane*>(data);
}

void CP_Pane::InstallWindow(HWND window, WNDPROC procedure) {
  fWindow = window;
  if (!window) return;
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetPropA(window, kPaneProperty, this);
  fSavedWindowProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void CP_Pane::ReleaseWindow() {
  if (!fWindow || FromWindow(fWindow) != this) return;
  SetWindowLongPtrA(fWindow, GWLP_USERDATA, 0);
  RemovePropA(fWindow, kPaneProperty);
}

LRESULT CP_Pane::CallSavedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fSavedWindowProc) return kNotHandled;
  return CallWindowProcA(fSavedWindowProc, window, message, wParam, lParam);
}

LRESULT CP_Pane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallSavedWindowProc(window, message, wParam, lParam);
}
