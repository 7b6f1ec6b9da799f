#include "StartUpWindow.h"

#include "CP_GdiOwners.h"

#include <cstdio>

namespace {

// The window procedure has nothing but these to go by.
HINSTANCE gStartUpInstance = nullptr;
const char* gStartUpClassName = nullptr;
int16_t gStartUpBitmapId = 0;

constexpr int kWidth = 600;
constexpr int kHeight = 274;

void PaintPicture(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  {
    CP_GdiObject<HBITMAP> picture(LoadBitmapA(gStartUpInstance, MAKEINTRESOURCEA(gStartUpBitmapId)));
    CP_MemoryDC memory(dc);
    // Without its picture the window keeps its black background.
    if (picture && memory.Get()) {
      CP_SelectGuard selected(memory.Get(), picture.Get());
      BitBlt(dc, 0, 0, kWidth, kHeight, memory.Get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK StartUpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      PaintPicture(window);
      return 0;
    case WM_DESTROY:
      // The framework's run loop does not end on a quit message.
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

std::string SystemFolder() {
  char folder[500] = {};
  GetSystemDirectoryA(folder, sizeof folder);
  return folder;
}

bool QuickTimeInstalled(const std::string& systemFolder) {
  std::string path = systemFolder;
  if (path.empty() || path.back() != '\\') path += '\\';
  path += "Quicktime.qts";
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

void RequireQuickTime(HWND owner, const std::string& systemFolder) {
  if (QuickTimeInstalled(systemFolder)) return;
  MessageBoxA(owner, "Quicktime is not installed on this system", "Glintharbour International",
              MB_ICONHAND);
  ExitProcess(0);
}

StartUpWindow::StartUpWindow(HINSTANCE instance, HINSTANCE previousInstance,
                             const char* className, const char* title, int16_t bitmapId)
    : fTitle(title) {
  gStartUpInstance = instance;
  gStartUpClassName = className;
  gStartUpBitmapId = bitmapId;

  if (!previousInstance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = StartUpWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));   // IDI_APPLICATION
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = HBRUSH(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) return;
  }

  const int left = GetSystemMetrics(SM_CXSCREEN) / 2 - kWidth / 2;
  const int top = GetSystemMetrics(SM_CYSCREEN) / 2 - kHeight / 2;
  HWND window = CreateWindowExA(0, className, title, WS_POPUP, left, top, kWidth, kHeight, nullptr,
                                nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  RequireQuickTime(window, SystemFolder());
}

void StartUpWindow::Remove() {
  if (!gStartUpClassName) return;
  // Another program may show a window of the same class and title: only
  // this program's own can be destroyed here.
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, gStartUpClassName, fTitle)) != nullptr) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) {
      DestroyWindow(window);
      return;
    }
  }
}
