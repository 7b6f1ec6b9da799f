#include "CP_Window.h"

#include "CP_Desktop.h"
#include "CP_Event.h"

CP_Window::CP_Window(CP_M_Commander* parent, uint8_t kind, const std::string& title, int32_t left,
                     int32_t top, int32_t contentWidth, int32_t contentHeight, uint32_t style,
                     uint32_t exStyle)
    : CP_M_Commander(parent), fKind(kind) {
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) {
    HWND frame = desktop->CreateNativeWindow(kind, title, left, top, contentWidth, contentHeight,
                                             style, exStyle);
    InstallWindow(frame, TopWindowProc);
    if (frame) desktop->AddWindow(this, frame);
  }
  fPendingTarget = this;
}

CP_Window::~CP_Window() {
  ChangeTarget(GetParentCommander());
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) {
    if (fWindow) {
      if (fKind == kDocument) desktop->RemoveDocumentWindow(this);
      desktop->HideWindow(this);
      desktop->ForgetHandle(fWindow);
    }
  }
  // A closed window leaves no live native window behind that other programs
  // could still find by its title.
  HWND frame = fWindow;
  ReleaseWindow();
  fWindow = nullptr;
  if (frame) DestroyWindow(frame);
}

bool CP_Window::IsVisible() const { return fWindow && IsWindowVisible(fWindow); }

bool CP_Window::TryClose() {
  CP_M_Commander* parent = GetParentCommander();
  if (!parent || !parent->ApproveChildClose(this)) return false;
  if (fOwnsItself) delete this;
  return true;
}

void CP_Window::Activate() {
  if (fActive || !IsVisible()) return;
  fActive = true;
  if (fPendingTarget) ChangeTarget(fPendingTarget);
  UpdateMenusForTarget();
}

void CP_Window::Deactivate() {
  fActive = false;
  if (GetParentCommander()) ChangeTarget(GetParentCommander());
}

int32_t CP_Window::ExecuteCommand(int32_t command) {
  if (command == kCmd_Close) {
    TryClose();
    return 0;
  }
  return CP_M_Commander::ExecuteCommand(command);
}

LRESULT CP_Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE: {
      CP_Desktop* desktop = CP_Desktop::GetDesktop();
      CP_Window* other = desktop ? desktop->FindWindowByHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (other) {
        if (LOWORD(wParam) == WA_INACTIVE)
          other->Activate();
        else
          other->Deactivate();
      }
      return 0;
    }
    case WM_CLOSE:
      ExecuteCommand(kCmd_Quit);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        ExecuteCommand(kCmd_Quit);
        return 0;
      }
      return CallSavedWindowProc(window, message, wParam, lParam);
    default:
      return CP_Pane::HandleMessage(window, message, wParam, lParam);
  }
}
