#pragma once
// Helpers for tests that drive real windows and real message boxes.
#include "CP_Win.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace kxtest {

// Watches, on its own thread, for a message box of this process with the
// given caption; reads its text and presses `button` (IDOK, IDCANCEL, IDYES
// ...), as a user would. Each box that appears is answered.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher(std::string caption, int button);
  ~MessageBoxWatcher();
  MessageBoxWatcher(const MessageBoxWatcher&) = delete;
  MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

  int Count() const { return fCount; }
  std::string LastText() const;
  std::string LastCaption() const;
  // Waits until `n` boxes were answered or the timeout passed.
  bool WaitFor(int n, int timeoutMs = 10000) const;

 private:
  void Watch();

  std::string fCaption;
  int fButton;
  std::atomic<bool> fStop{false};
  std::atomic<int> fCount{0};
  mutable std::mutex fMutex;
  std::string fLastText;
  std::string fLastCaption;
  std::thread fThread;
};

// Pumps this thread's messages until `done` answers true or the timeout
// passed; answers `done`'s last answer.
template <typename Done>
bool PumpUntil(Done done, int timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > DWORD(timeoutMs)) return done();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(1);
  }
  return true;
}

// A plain top-level window of a test-only class with DefWindowProcA.
HWND MakePlainWindow(const char* title = "kxtest");

}  // namespace kxtest
