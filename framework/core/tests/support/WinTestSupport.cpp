#include "WinTestSupport.h"

#include <vector>

namespace kxtest {

namespace {

struct Search {
  std::string caption;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) != "#32770") return TRUE;
  char title[512] = {};
  GetWindowTextA(window, title, sizeof title);
  if (search->caption == title) search->found.push_back(window);
  return TRUE;
}

}  // namespace

MessageBoxWatcher::MessageBoxWatcher(std::string caption, int button)
    : fCaption(std::move(caption)), fButton(button), fThread([this] { Watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
  fStop = true;
  fThread.join();
}

std::string MessageBoxWatcher::LastText() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fLastText;
}

std::string MessageBoxWatcher::LastCaption() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fLastCaption;
}

bool MessageBoxWatcher::WaitFor(int n, int timeoutMs) const {
  const DWORD start = GetTickCount();
  while (fCount < n) {
    if (GetTickCount() - start > DWORD(timeoutMs)) return false;
    Sleep(5);
  }
  return true;
}

void MessageBoxWatcher::Watch() {
  std::vector<HWND> answered;
  while (!fStop) {
    Search search{fCaption, {}};
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.found) {
      bool seen = false;
      for (HWND a : answered)
        if (a == box && IsWindow(a)) seen = true;
      if (seen) continue;
      char text[2048] = {};
      GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
      {
        std::lock_guard<std::mutex> lock(fMutex);
        fLastText = text;
        fLastCaption = fCaption;
      }
      answered.push_back(box);
      HWND buttonWindow = GetDlgItem(box, fButton);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(fButton, BN_CLICKED), LPARAM(buttonWindow));
      ++fCount;
    }
    Sleep(10);
  }
}

HWND MakePlainWindow(const char* title) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "kxtest_plain";
    RegisterClassA(&wc);
    registered = true;
  }
  return CreateWindowExA(0, "kxtest_plain", title, WS_OVERLAPPEDWINDOW, 10, 10, 200, 150, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace kxtest
