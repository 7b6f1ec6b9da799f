#include "GH_DocumentWindow.h"

#include "CP_Event.h"
#include "CP_Framework.h"
#include "CP_SDIApp_Document.h"
#include "GH_LibraryGlobals.h"
#include "GH_Settings.h"

#include <dbt.h>

#include <cstdio>
#include <set>

namespace {

// The window-class names this program registered, each once per process.
std::set<std::string>& RegisteredClasses() {
  static std::set<std::string> names;
  return names;
}

std::string DecimalText(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", int(value));
  return text;
}

}  // namespace

GH_DocumentWindow::GH_DocumentWindow(CP_M_Commander* superCommander, CP_SDIApp_Document* document,
                                     const CP_WindowInfo& info, const std::string& title)
    : CP_Window(superCommander, info, title, 0), fDocument(document) {
  RegisterClassOnce();
  fActiveState = kOff;
  fEnabledState = kOn;
  fPosition = info.pane.location;
  fBindings = info.pane.bindings;
  fInfo = info;
  fIdentifier = info.pane.identifier;
  CreateNativeWindow(info, title);
  InstallWindow(fFrame, TopWindowProc);
  UpdateRegions();
  TakeFocus(nullptr);
  fBackgroundColor = CP_RGBColor(GetSysColor(info.kind == kDialogLike ? COLOR_BTNFACE : COLOR_WINDOW));
  fOwnBackground = 1;
  fImagePosition = CP_Point();
  fImageSize = CP_Size();
  SetPendingTarget(this);
  fTimerId = kTimerId;
  fTimer = SetTimer(fFrame, fTimerId, kTimerInterval, nullptr);
}

// The timer goes with the native window, which CP_Window destroys.
GH_DocumentWindow::~GH_DocumentWindow() = default;

void GH_DocumentWindow::RegisterClassOnce() {
  if (!RegisteredClasses().insert(fClassName).second) return;
  RegisterWindowClass();
}

void GH_DocumentWindow::RegisterWindowClass() {
  // CP_Window's set-up calls this before the class name exists; the class is
  // registered from the constructor instead.
  if (fClassName.empty() || !RegisteredClasses().count(fClassName)) return;
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = gCP_Instance;
  windowClass.hIcon = LoadIconA(gCP_Instance, MAKEINTRESOURCEA(uint16_t(fLargeIconId)));
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = fClassName.c_str();
  windowClass.hIconSm = LoadIconA(gCP_Instance, MAKEINTRESOURCEA(uint16_t(fSmallIconId)));
  if (!windowClass.hIconSm) windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
  RegisterClassExA(&windowClass);
}

// Made at (0, 0) and then moved and grown so that the client area gets the
// described size.
void GH_DocumentWindow::CreateNativeWindow(const CP_WindowInfo& info, const std::string& title) {
  const int32_t width = info.pane.size.width;
  const int32_t height = info.pane.size.height;
  fFrame = CreateWindowExA(info.exStyle, fClassName.c_str(), title.c_str(), info.style, 0, 0, width,
                           height, nullptr, nullptr, gCP_Instance, nullptr);
  if (!fFrame) return;
  RECT client = {};
  GetClientRect(fFrame, &client);
  MoveWindow(fFrame, info.pane.location.h, info.pane.location.v, width + (width - client.right),
             height + (height - client.bottom), TRUE);
}

void GH_DocumentWindow::StoreWindowSize(const RECT& rect) {
  char key[32];
  std::snprintf(key, sizeof key, "%s_W", "MainWindow");
  WriteIniString(kIniSection, key, DecimalText(rect.right - rect.left).c_str(), kIniFile);
  std::snprintf(key, sizeof key, "%s_H", "MainWindow");
  WriteIniString(kIniSection, key, DecimalText(rect.bottom - rect.top).c_str(), kIniFile);
}

// Every edge but the bottom-right corner moves the window back to where it
// was made, less the frame, before it is widened to the minimum.
LRESULT GH_DocumentWindow::HandleSizing(WPARAM edge, RECT* rect) {
  if (!rect) return 1;
  if (rect->right - rect->left < kMinimumWidth) {
    if ((edge & 7) != 0) rect->left = fInfo.pane.location.h - 4;
    rect->right = rect->left + kMinimumWidth;
  }
  if (rect->bottom - rect->top < kMinimumHeight) {
    if ((edge & 7) != 0) rect->top = fInfo.pane.location.v - 42;
    rect->bottom = rect->top + kMinimumHeight;
  }
  StoreWindowSize(*rect);
  return 1;
}

// A client origin left of or above the screen reads as a large unsigned
// value and is not stored.
LRESULT GH_DocumentWindow::HandleMove(LPARAM lParam) {
  const uint32_t x = LOWORD(lParam);
  const uint32_t y = HIWORD(lParam);
  if (x < uint32_t(GetSystemMetrics(SM_CXSCREEN)) && y < uint32_t(GetSystemMetrics(SM_CYSCREEN))) {
    WriteIniString(kIniSection, "LastWindowX", DecimalText(int32_t(x)).c_str(), kIniFile);
    WriteIniString(kIniSection, "LastWindowY", DecimalText(int32_t(y)).c_str(), kIniFile);
  }
  return 1;
}

LRESULT GH_DocumentWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (fAutoPlayMessage == 0) fAutoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
  if (message == fAutoPlayMessage) return 1;
  switch (message) {
    case WM_SIZING:
      return HandleSizing(wParam, reinterpret_cast<RECT*>(lParam));
    case WM_SIZE: {
      const RECT client = {0, 0, LOWORD(lParam), HIWORD(lParam)};
      InvalidateRect(window, &client, TRUE);
      return CP_Window::HandleMessage(window, message, wParam, lParam);
    }
    case WM_TIMER:
      if (wParam == fTimerId && fDocument) {
        fDocument->UpdateFilmButtons();
        return 1;
      }
      return kNotHandled;
    case WM_KEYUP:
      if (wParam == VK_F1) {
        std::string helpFile;
        ReadIniString(kIniHelpSection, "HelpFile", "c:windows", helpFile, kIniFile);
        WinHelpA(nullptr, helpFile.c_str(), HELP_CONTENTS, 0);
        return 1;
      }
      return CP_Window::HandleMessage(window, message, wParam, lParam);
    case WM_MOVE:
      return HandleMove(lParam);
    case WM_DEVICECHANGE: {
      const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
      if (wParam == DBT_DEVICEARRIVAL && header && header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
        if (fDocument) fDocument->RegisterInsertedCD();
        return 1;
      }
      return 0;
    }
    case kFilmInstalledMessage:
      if (fDocument) fDocument->RefreshAfterInstall();
      return kNotHandled;
    default:
      return CP_Window::HandleMessage(window, message, wParam, lParam);
  }
}

bool GH_DocumentWindow::TryClose() {
  bool result = true;
  // Closing the document deletes this window: nothing of it is touched after.
  CP_M_Commander* application = fDocument ? fDocument->GetParentCommander() : GetParentCommander();
  if (fDocument) {
    if (!fDocument->AskSaveChanges()) {
      result = false;
    } else {
      fDocument->TryClose();
    }
  } else {
    CP_Window::TryClose();
  }
  ChangeTarget(application);
  UpdateMenus();
  return result;
}
