#pragma once
// Scratch folders, small files and a watcher that works a common dialog as a
// user would, for the tests of files, folders, documents and dialogs.
#include "CP_Win.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace kxtest {

// A fresh folder under the temporary folder, deleted with all it holds.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    static int serial = 0;
    for (;;) {
      fPath = std::string(base) + "kx" + std::to_string(GetCurrentProcessId()) + "_" +
              std::to_string(++serial);
      if (CreateDirectoryA(fPath.c_str(), nullptr)) break;
    }
  }
  ~TempFolder() { DeleteTree(fPath); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return fPath; }
  std::string operator/(const std::string& name) const { return fPath + "\\" + name; }

  static void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = path + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          DeleteTree(child);
        else
          DeleteFileA(child.c_str());
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
  }

 private:
  std::string fPath;
};

inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

inline std::string ReadWholeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1] = {};
  GetCurrentDirectoryA(MAX_PATH, buffer);
  return buffer;
}

// Watches, on its own thread, for visible dialog windows (#32770) of this
// process whose caption is `caption` (any caption when empty), and hands each new one once to `act`,
// which works it as a user would (fills fields, presses buttons).
class DialogWatcher {
 public:
  DialogWatcher(std::string caption, std::function<void(HWND)> act)
      : fCaption(std::move(caption)), fAct(std::move(act)), fThread([this] { Watch(); }) {}
  ~DialogWatcher() {
    fStop = true;
    fThread.join();
  }
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  int Count() const { return fCount; }
  // Waits until `n` dialogs were handled or the timeout passed.
  bool WaitFor(int n, int timeoutMs = 10000) const {
    const DWORD start = GetTickCount();
    while (fCount < n) {
      if (GetTickCount() - start > DWORD(timeoutMs)) return false;
      Sleep(5);
    }
    return true;
  }
  static std::string Caption(HWND window) {
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
  }

  // Presses a button of a dialog from another thread.
  static void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
  }
  // The text of a dialog's control, or of a control inside a child dialog.
  static std::string ItemText(HWND dialog, int id) {
    HWND item = FindItem(dialog, id);
    if (!item) return "<no item>";
    char text[2048] = {};
    SendMessageA(item, WM_GETTEXT, sizeof text, LPARAM(text));
    return text;
  }
  static void SetItemText(HWND dialog, int id, const std::string& text) {
    if (HWND item = FindItem(dialog, id)) SendMessageA(item, WM_SETTEXT, 0, LPARAM(text.c_str()));
  }
  static HWND FindItem(HWND dialog, int id) {
    if (HWND item = GetDlgItem(dialog, id)) return item;
    ItemSearch search{id, nullptr};
    EnumChildWindows(dialog, FindItemProc, LPARAM(&search));
    return search.found;
  }

 private:
  struct ItemSearch {
    int id;
    HWND found;
  };
  static BOOL CALLBACK FindItemProc(HWND child, LPARAM param) {
    auto* s = reinterpret_cast<ItemSearch*>(param);
    if (GetDlgCtrlID(child) != s->id) return TRUE;
    s->found = child;
    return FALSE;
  }
  struct DialogSearch {
    const std::string* caption;
    std::vector<HWND> found;
  };
  static BOOL CALLBACK FindDialogProc(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    // The class first: reading the title of another thread's window sends
    // it a message, and the test's thread may be waiting for this one.
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) != "#32770") return TRUE;
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (s->caption->empty() || *s->caption == title) s->found.push_back(window);
    return TRUE;
  }

  void Watch() {
    std::vector<HWND> seen;
    while (!fStop) {
      DialogSearch search{&fCaption, {}};
      EnumWindows(FindDialogProc, LPARAM(&search));
      for (HWND dialog : search.found) {
        bool known = false;
        for (HWND s : seen)
          if (s == dialog) known = true;
        if (known) continue;
        seen.push_back(dialog);
        Sleep(100);  // let the dialog finish its own set-up first
        fAct(dialog);
        ++fCount;
      }
      Sleep(20);
    }
  }

  std::string fCaption;
  std::function<void(HWND)> fAct;
  std::atomic<bool> fStop{false};
  std::atomic<int> fCount{0};
  std::thread fThread;
};

}  // namespace kxtest
