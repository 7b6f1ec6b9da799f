#include "PlaySupport.h"

#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <thread>
#endif

namespace filmtest {

std::string PlayFilm(const std::string& name) { return HostPath(KX_QT_PLAY_FILMS) + "/" + name; }

#ifdef _WIN32

namespace {

// As the movie panes do: the message with its time and point becomes an
// event for the controller, then the window answers it itself; the
// background is never erased.
LRESULT CALLBACK PlayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<PlayWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  const bool testMove = message == WM_MOUSEMOVE && (wParam & kTestMove);
  if (self && self->controller_) {
    MSG msg = {window, message, wParam, lParam, DWORD(GetMessageTime()), {}};
    DWORD pos = GetMessagePos();
    msg.pt.x = LOWORD(pos);
    msg.pt.y = HIWORD(pos);
    EventRecord e;
    WinEventToMacEvent(&msg, &e);
    // Any other message that is no event of its own carries the real
    // pointer, which another program on the display may have moved.
    if (e.what != nullEvent || testMove) MCIsPlayerEvent(self->controller_, &e);
  }
  if (message == WM_ERASEBKGND) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

const char* WindowClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlayWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = "KxPlayWindow";
    RegisterClassA(&wc);
    registered = true;
  }
  return "KxPlayWindow";
}

}  // namespace

PlayWindow::PlayWindow(int x, int y, int width, int height) {
  HWND w = CreateWindowExA(WS_EX_TOPMOST, WindowClass(), "play", WS_POPUP, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(w, SW_SHOWNOACTIVATE);
  window_ = w;
  Pump(20);
}

PlayWindow::~PlayWindow() { Destroy(); }

void PlayWindow::Destroy() {
  if (window_) DestroyWindow(static_cast<HWND>(window_));
  window_ = nullptr;
}

void Pump(int ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(1);
  } while (GetTickCount() - start < DWORD(ms));
}

#else

namespace {
char gWindows[64];
int gNextWindow = 0;
}  // namespace

PlayWindow::PlayWindow(int, int, int, int) { window_ = &gWindows[gNextWindow++ % 64]; }
PlayWindow::~PlayWindow() = default;
void PlayWindow::Destroy() { window_ = nullptr; }
void Pump(int) {}

#endif

void ManualClock::Start() {
  QTStandInControl(kQTStandInManualClock, 0, nullptr, 0);
  QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
}

void ManualClock::Stop() {
  QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
  QTStandInControl(kQTStandInRealClock, 0, nullptr, 0);
}

std::string Trace() {
  int32_t n = QTStandInControl(kQTStandInTraceRead, 0, nullptr, 0);
  if (n <= 0) return {};
  std::string text(size_t(n) + 1, '\0');
  QTStandInControl(kQTStandInTraceRead, 0, &text[0], n + 1);
  text.resize(size_t(n));
  return text;
}

void ClearTrace() { QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0); }

std::vector<std::string> TraceLines(const std::vector<std::string>& prefixes) {
  std::vector<std::string> lines;
  std::istringstream in(Trace());
  std::string line;
  while (std::getline(in, line))
    for (const std::string& p : prefixes)
      if (line.compare(0, p.size(), p) == 0) {
        lines.push_back(line);
        break;
      }
  return lines;
}

int32_t Live(QTStandInCount what) { return QTStandInControl(kQTStandInLiveCount, what, nullptr, 0); }

bool IsPlaying(MovieController mc) {
  long flags = 0;
  MCGetControllerInfo(mc, &flags);
  return (flags & mcInfoIsPlaying) != 0;
}

TimeValue Now(MovieController mc) {
  TimeScale scale = 0;
  return MCGetCurrentTime(mc, &scale);
}

void Play(MovieController mc, Fixed rate) { MCDoAction(mc, mcActionPlay, reinterpret_cast<void*>(intptr_t(rate))); }

void GoTo(MovieController mc, TimeValue time, TimeScale scale) {
  TimeRecord tr = {};
  tr.value.lo = uint32_t(time);
  tr.scale = scale;
  MCDoAction(mc, mcActionGoToTime, &tr);
}

}  // namespace filmtest
