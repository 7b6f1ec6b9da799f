#include "ScreenSaverLibrary.h"

#include <cctype>
#include <cstdlib>

// The globals that <scrnsave.h> promises the saver's code.
HINSTANCE hMainInstance = nullptr;
HWND hMainWindow = nullptr;
WINBOOL fChildPreview = FALSE;

const char kScreenSaverClass[] = "WindowsScreenSaverClass";

namespace {

// Mouse moves below this distance from the first one seen are jitter, not
// a user: Windows sends one move when the window appears.
constexpr int kMouseSlack = 4;

struct MouseStart {
  bool seen = false;
  POINT at{};
};
MouseStart gMouseStart;

bool IsWindows9x() { return (GetVersion() & 0x80000000u) != 0; }

HWND ParseWindow(const char* text) {
  while (*text == ' ' || *text == '\t' || *text == ':') ++text;
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 10)));
}

// Windows 95, 98 and ME keep the saver password themselves; NT-family systems
// ask for it at the secure desktop and never come here.
bool PasswordAccepted(HWND window) {
  if (fChildPreview || !IsWindows9x()) return true;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return true;
  DWORD usePassword = 0, size = sizeof usePassword;
  const LONG read = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&usePassword), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || usePassword == 0) return true;
  HMODULE cpl = LoadLibraryA("PASSWORD.CPL");
  if (!cpl) return true;
  using Verify = BOOL(WINAPI*)(HWND);
  auto verify = reinterpret_cast<Verify>(reinterpret_cast<void*>(GetProcAddress(cpl, "VerifyScreenSavePwd")));
  const bool accepted = !verify || verify(window);
  FreeLibrary(cpl);
  return accepted;
}

void ChangePassword(HWND owner) {
  if (!IsWindows9x()) return;
  HMODULE mpr = LoadLibraryA("MPR.DLL");
  if (!mpr) return;
  using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, void*);
  if (auto change = reinterpret_cast<Change>(reinterpret_cast<void*>(GetProcAddress(mpr, "PwdChangePasswordA"))))
    change("SCRSAVE", owner, 0, nullptr);
  FreeLibrary(mpr);
}

// Input that ends a full-screen saver.
bool EndsSaver(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      return true;
    case WM_ACTIVATEAPP:
      return wParam == FALSE;
    case WM_MOUSEMOVE: {
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (!gMouseStart.seen) {
        gMouseStart = {true, at};
        return false;
      }
      return std::abs(at.x - gMouseStart.at.x) > kMouseSlack || std::abs(at.y - gMouseStart.at.y) > kMouseSlack;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!fChildPreview && EndsSaver(message, wParam, lParam)) PostMessageA(window, WM_CLOSE, 0, 0);
  return ScreenSaverProc(window, message, wParam, lParam);
}

void RegisterSaverClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = SaverWindowProc;
  wc.hInstance = instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kScreenSaverClass;
  RegisterClassA(&wc);  // fails harmlessly when a second request in one process finds it there
}

int MessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

int RunFullScreen(HINSTANCE instance) {
  if (HWND running = FindWindowA(kScreenSaverClass, nullptr)) {
    SetForegroundWindow(running);
    return 0;
  }
  RegisterSaverClass(instance);
  fChildPreview = FALSE;
  gMouseStart = {};
  hMainWindow = CreateWindowExA(WS_EX_TOPMOST, kScreenSaverClass, "Screen Saver", WS_POPUP | WS_VISIBLE,
                                GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                nullptr, nullptr, instance, nullptr);
  if (!hMainWindow) return 0;
  return MessageLoop();
}

int RunPreview(HINSTANCE instance, HWND parent) {
  if (!IsWindow(parent)) return 0;
  RegisterSaverClass(instance);
  fChildPreview = TRUE;
  RECT area{};
  GetClientRect(parent, &area);
  hMainWindow = CreateWindowExA(0, kScreenSaverClass, "Preview", WS_CHILD | WS_VISIBLE, 0, 0, area.right,
                                area.bottom, parent, nullptr, instance, nullptr);
  if (!hMainWindow) return 0;
  return MessageLoop();
}

// The saver's configuration procedure answers BOOL; a dialog procedure
// answers INT_PTR.
INT_PTR CALLBACK ConfigureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return ScreenSaverConfigureDialog(dialog, message, wParam, lParam);
}

int RunConfiguration(HINSTANCE instance, HWND owner) {
  if (!RegisterDialogClasses(instance)) return 0;
  // A dialog procedure may end the dialog with DestroyWindow rather than
  // EndDialog; the owner must not stay disabled then.
  const bool ownerEnabled = owner && IsWindowEnabled(owner);
  const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(DLG_SCRNSAVECONFIGURE), owner,
                                         ConfigureDialogProc, 0);
  if (ownerEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  return result > 0 ? static_cast<int>(result) : 0;
}

}  // namespace

SaverCommand ParseSaverCommandLine(const char* arguments) {
  SaverCommand command;
  const char* p = arguments ? arguments : "";
  while (*p == ' ' || *p == '\t' || *p == '-' || *p == '/') ++p;
  switch (std::tolower(static_cast<unsigned char>(*p))) {
    case '\0':
      command.request = SaverRequest::Configure;
      break;
    case 's':
      command.request = SaverRequest::Run;
      break;
    case 'p':
    case 'l':
      command.request = SaverRequest::Preview;
      command.window = ParseWindow(p + 1);
      break;
    case 'c':
      command.request = SaverRequest::Configure;
      if (p[1] == ':') command.window = ParseWindow(p + 2);
      break;
    case 'a':
      command.request = SaverRequest::ChangePassword;
      if (p[1] == ':') command.window = ParseWindow(p + 2);
      break;
    default:
      break;
  }
  return command;
}

int RunScreenSaver(HINSTANCE instance, const char* arguments) {
  hMainInstance = instance;
  const SaverCommand command = ParseSaverCommandLine(arguments);
  switch (command.request) {
    case SaverRequest::Run:
      return RunFullScreen(instance);
    case SaverRequest::Preview:
      return RunPreview(instance, command.window);
    case SaverRequest::Configure:
      return RunConfiguration(instance, command.window);
    case SaverRequest::ChangePassword:
      ChangePassword(command.window);
      return 0;
    case SaverRequest::Nothing:
      break;
  }
  return 0;
}

LRESULT WINAPI DefScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      if (!fChildPreview) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_SYSCOMMAND:
      // A running saver is not started again, nor closed from its system menu.
      if (!fChildPreview && ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_CLOSE)) return FALSE;
      break;
    case WM_CLOSE:
      if (PasswordAccepted(window)) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
