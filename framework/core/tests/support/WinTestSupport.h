#pragma once
// Helpers for tests that drive real windows, message boxes and dialogs.
#include "CP_Win.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kxtest {

// Watches, on its own thread, for visible dialog windows (#32770) of this
// process whose caption is `caption` (any caption when empty), and hands each
// new one once to `act`, which works it as a user would (reads it, fills
// fields, presses buttons).
class DialogWatcher {
 public:
  DialogWatcher(std::string caption, std::function<void(HWND)> act);
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  int Count() const { return fCount; }
  // Waits until `n` dialogs were handled or the timeout passed.
  bool WaitFor(int n, int timeoutMs = 10000) const;

  static std::string Caption(HWND window);
  // Presses a button of a dialog from another thread.
  static void Press(HWND dialog, int id);
  // The text of a dialog's control, or of a control inside a child dialog.
  static std::string ItemText(HWND dialog, int id);
  static void SetItemText(HWND dialog, int id, const std::string& text);
  static HWND FindItem(HWND dialog, int id);

 private:
  void Watch();

  std::string fCaption;
  std::function<void(HWND)> fAct;
  std::atomic<bool> fStop{false};
  std::atomic<int> fCount{0};
  std::thread fThread;
};

// Answers every message box of this process captioned `caption` with
// `button` (IDOK, IDCANCEL, IDYES ...) and records its text.
class MessageBoxWatcher {
 public:
  MessageBoxWatcher(const std::string& caption, int button);

  int Count() const { return fWatcher.Count(); }
  std::string LastText() const;
  std::string LastCaption() const;
  bool WaitFor(int n, int timeoutMs = 10000) const { return fWatcher.WaitFor(n, timeoutMs); }

 private:
  mutable std::mutex fMutex;
  std::string fLastText;
  std::string fLastCaption;
  DialogWatcher fWatcher;  // last: its thread starts once the rest exists
};

// Works the message boxes of this process captioned `caption` (every one
// when empty) as a cautious user does: No where a box asks, OK otherwise.
// Keeps the texts of those captioned `kept` (all it works when empty).
class CautiousAnswers {
 public:
  explicit CautiousAnswers(const std::string& caption, std::string kept = std::string());

  std::vector<std::string> Texts() const;

 private:
  std::string fKept;
  mutable std::mutex fMutex;
  std::vector<std::string> fTexts;
  DialogWatcher fWatcher;  // last: its thread starts once the rest exists
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

// The first top-level window of this process with the class and,
// unless null, the title. Test programs run side by side on one display, so
// a plain FindWindowA may answer another program's window.
HWND FindOwnWindow(const char* className, const char* title = nullptr, HWND after = nullptr);

// True when `upper` lies above `lower` in the z-order.
inline bool Above(HWND upper, HWND lower) {
  for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
    if (w == lower) return true;
  return false;
}

// A plain top-level window of a test-only class with DefWindowProcA.
HWND MakePlainWindow(const char* title = "kxtest");

// The bytes of resource `id` of `type` in this program, as the loaders see
// them; empty when there is none.
std::vector<uint8_t> ResourceBytes(const char* type, int id);

// Keeps the first `size` bytes of the file, as a copy cut short leaves it;
// false when the file cannot be cut.
bool CutFile(const std::string& path, long size);

// Renames a file as the user would, by way of another name, so that a
// change of letter case alone takes effect (Wine keeps the old spelling of
// a name renamed to itself).
bool RenameFile(const std::string& from, const std::string& to);

}  // namespace kxtest
