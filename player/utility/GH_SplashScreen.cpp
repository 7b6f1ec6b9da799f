#include "utility/GH_SplashScreen.h"

#include "CP_Callback.h"
#include "CP_GdiOwners.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Read by the window procedure; set once by the constructor.
HINSTANCE gSplashInstance = nullptr;
const char* gSplashClassName = "";
int16_t gSplashBitmapId = 0;

bool IsEngineClass(const char* className) { return std::strcmp(className, kSplashClassName) == 0; }

void PaintSplash(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  {
    CP_GdiObject<HBITMAP> picture(LoadBitmapA(gSplashInstance, MAKEINTRESOURCEA(gSplashBitmapId)));
    CP_MemoryDC memory(dc);
    if (picture.Get() && memory.Get()) {
      CP_SelectGuard selected(memory.Get(), picture.Get());
      const POINT at = CheckQuickTimeAndShowSplash::PictureOriginFor(gSplashClassName);
      BitBlt(dc, at.x, at.y, 600, 274, memory.Get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(window, &paint);
}

}  // namespace

bool QuickTimeInstalledIn(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || path.back() != '\\') path += '\\';
  path += "Quicktime.qts";
  // Presence is enough: QuickTime's own start-up reports a damaged library.
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

RECT CheckQuickTimeAndShowSplash::WindowRectFor(const char* className) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  if (IsEngineClass(className)) return RECT{0, 0, width, height};
  const int left = width / 2 - 300, top = height / 2 - 137;
  return RECT{left, top, left + 600, top + 274};
}

POINT CheckQuickTimeAndShowSplash::PictureOriginFor(const char* className) {
  if (IsEngineClass(className)) return POINT{0, GetSystemMetrics(SM_CYSCREEN) - 50};
  return POINT{0, 0};
}

CheckQuickTimeAndShowSplash::CheckQuickTimeAndShowSplash(HINSTANCE instance, HINSTANCE previousInstance,
                                                         const char* className, const char* title,
                                                         int16_t bitmapId)
    : fTitle(title) {
  gSplashInstance = instance;
  gSplashClassName = className;
  gSplashBitmapId = bitmapId;

  if (!previousInstance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SplashWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));    // IDI_APPLICATION
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) return;
  }

  const RECT r = WindowRectFor(className);
  HWND window = CreateWindowExA(0, className, title, WS_POPUP, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);

  char systemFolder[500] = {};
  GetSystemDirectoryA(systemFolder, sizeof systemFolder);
  if (!QuickTimeInstalledIn(systemFolder)) {
    MessageBoxA(window, "Quicktime is not installed on this system", "Glintharbour International",
                MB_ICONHAND | MB_OK);
    ExitProcess(0);
  }
}

LRESULT CALLBACK SplashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CP_GuardCallback(LRESULT(0), [&]() -> LRESULT {
    switch (message) {
      case WM_PAINT:
        PaintSplash(window);
        return 0;
      case WM_DESTROY:
        // The framework's run loop does not end on it.
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
  });
}
