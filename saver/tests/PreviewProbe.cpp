// Runs the saver's preview inside a window of this process, as the display
// settings do, and checks the colours it draws. Started with "/p" in its
// arguments, as Windows starts a preview; prints each wrong spot and ends
// with exit code 0 when every spot is right.
#include "ScreenSaverLibrary.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Spot {
  int x, y;
  COLORREF want;
};

// The picture's own colours at a few spots, black beyond it.
std::vector<Spot> ExpectedSpots() {
  std::vector<Spot> spots;
  HBITMAP picture = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1001));
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, picture);
  for (POINT p : {POINT{0, 0}, POINT{20, 20}, POINT{110, 34}, POINT{60, 100}, POINT{152, 112}})
    spots.push_back({p.x, p.y, GetPixel(memory, p.x, p.y)});
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(picture);
  for (POINT p : {POINT{153, 10}, POINT{10, 113}, POINT{250, 120}, POINT{300, 200}})
    spots.push_back({p.x, p.y, RGB(0, 0, 0)});
  return spots;
}

std::string WrongSpots(HWND preview, const std::vector<Spot>& spots) {
  POINT origin{0, 0};
  ClientToScreen(preview, &origin);
  HDC screen = GetDC(nullptr);
  std::string wrong;
  for (const Spot& s : spots) {
    const COLORREF seen = GetPixel(screen, origin.x + s.x, origin.y + s.y);
    if (seen != s.want) {
      char line[96];
      std::snprintf(line, sizeof line, "(%d,%d) is %06lx, not %06lx\n", s.x, s.y, seen, s.want);
      wrong += line;
    }
  }
  ReleaseDC(nullptr, screen);
  return wrong;
}

}  // namespace

int main() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = "kxtest_preview_area";
  RegisterClassA(&wc);
  HWND area = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "kxtest preview area", WS_POPUP | WS_VISIBLE, 400,
                              300, 320, 240, nullptr, nullptr, wc.hInstance, nullptr);
  const std::vector<Spot> spots = ExpectedSpots();

  std::string wrong = "no preview window\n";
  std::thread checker([&] {
    for (int waited = 0; waited < 8000; waited += 50) {
      Sleep(50);
      HWND preview = FindWindowExA(area, nullptr, kScreenSaverClass, nullptr);
      if (!preview) continue;
      wrong = WrongSpots(preview, spots);
      if (wrong.empty()) break;
    }
    PostMessageA(area, WM_CLOSE, 0, 0);  // the preview ends with its parent
  });
  const std::string arguments = "/p " + std::to_string(reinterpret_cast<UINT_PTR>(area));
  RunScreenSaver(GetModuleHandleA(nullptr), arguments.c_str());
  checker.join();
  std::fputs(wrong.c_str(), stdout);
  return wrong.empty() ? 0 : 1;
}
