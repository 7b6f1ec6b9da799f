#include "WinTestSupport.h"

#include <cstdio>
#include <cstring>
#include <io.h>
#include <utility>
#include <vector>

namespace kxtest {

namespace {

struct DialogSearch {
  const std::string* caption;
  std::vector<HWND> found;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<DialogSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  // The class first: reading the title of another thread's window sends it a
  // message, and the test's thread may be waiting for this one.
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) != "#32770") return TRUE;
  char title[512] = {};
  GetWindowTextA(window, title, sizeof title);
  if (s->caption->empty() || *s->caption == title) s->found.push_back(window);
  return TRUE;
}

struct ItemSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindItemProc(HWND child, LPARAM param) {
  auto* s = reinterpret_cast<ItemSearch*>(param);
  if (GetDlgCtrlID(child) != s->id) return TRUE;
  s->found = child;
  return FALSE;
}

}  // namespace

DialogWatcher::DialogWatcher(std::string caption, std::function<void(HWND)> act)
    : fCaption(std::move(caption)), fAct(std::move(act)), fThread([this] { Watch(); }) {}

DialogWatcher::~DialogWatcher() {
  fStop = true;
  fThread.join();
}

bool DialogWatcher::WaitFor(int n, int timeoutMs) const {
  const DWORD start = GetTickCount();
  while (fCount < n) {
    if (GetTickCount() - start > DWORD(timeoutMs)) return false;
    Sleep(5);
  }
  return true;
}

std::string DialogWatcher::Caption(HWND window) {
  char title[512] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

void DialogWatcher::Press(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

std::string DialogWatcher::ItemText(HWND dialog, int id) {
  HWND item = FindItem(dialog, id);
  if (!item) return "<no item>";
  char text[2048] = {};
  SendMessageA(item, WM_GETTEXT, sizeof text, LPARAM(text));
  return text;
}

void DialogWatcher::SetItemText(HWND dialog, int id, const std::string& text) {
  if (HWND item = FindItem(dialog, id)) SendMessageA(item, WM_SETTEXT, 0, LPARAM(text.c_str()));
}

HWND DialogWatcher::FindItem(HWND dialog, int id) {
  if (HWND item = GetDlgItem(dialog, id)) return item;
  ItemSearch search{id, nullptr};
  EnumChildWindows(dialog, FindItemProc, LPARAM(&search));
  return search.found;
}

void DialogWatcher::Watch() {
  std::vector<HWND> seen;
  while (!fStop) {
    DialogSearch search{&fCaption, {}};
    EnumWindows(FindDialogProc, LPARAM(&search));
    for (HWND dialog : search.found) {
      bool known = false;
      for (HWND s : seen)
        if (s == dialog && IsWindow(s)) known = true;
      if (known) continue;
      seen.push_back(dialog);
      Sleep(100);  // let the dialog finish its own set-up first
      fAct(dialog);
      ++fCount;
    }
    Sleep(20);
  }
}

MessageBoxWatcher::MessageBoxWatcher(const std::string& caption, int button)
    : fWatcher(caption, [this, caption, button](HWND box) {
        char text[2048] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text
        {
          std::lock_guard<std::mutex> lock(fMutex);
          fLastText = text;
          fLastCaption = caption;
        }
        DialogWatcher::Press(box, button);
      }) {}

std::string MessageBoxWatcher::LastText() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fLastText;
}

std::string MessageBoxWatcher::LastCaption() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fLastCaption;
}

CautiousAnswers::CautiousAnswers(const std::string& caption, std::string kept)
    : fKept(std::move(kept)), fWatcher(caption, [this](HWND box) {
        if (fKept.empty() || DialogWatcher::Caption(box) == fKept) {
          const std::string text = DialogWatcher::ItemText(box, 0xFFFF);  // the message box's text
          std::lock_guard<std::mutex> lock(fMutex);
          fTexts.push_back(text);
        }
        DialogWatcher::Press(box, GetDlgItem(box, IDNO) ? IDNO : IDOK);
      }) {}

std::vector<std::string> CautiousAnswers::Texts() const {
  std::lock_guard<std::mutex> lock(fMutex);
  return fTexts;
}

HWND FindOwnWindow(const char* className, const char* title, HWND after) {
  HWND window = after;
  while ((window = FindWindowExA(nullptr, window, className, title))) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) return window;
  }
  return nullptr;
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

std::vector<uint8_t> ResourceBytes(const char* type, int id) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  if (!bytes) return {};
  return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, info));
}

bool CutFile(const std::string& path, long size) {
  std::FILE* f = std::fopen(path.c_str(), "r+b");
  if (!f) return false;
  const bool cut = _chsize(_fileno(f), size) == 0;
  std::fclose(f);
  return cut;
}

bool RenameFile(const std::string& from, const std::string& to) {
  const std::string between = to + ".renaming";
  if (!MoveFileA(from.c_str(), between.c_str()) || !MoveFileA(between.c_str(), to.c_str())) return false;
  // The folder lists the new spelling.
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA(to.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return to.size() >= std::strlen(found.cFileName) &&
         to.compare(to.size() - std::strlen(found.cFileName), std::string::npos, found.cFileName) == 0;
}

}  // namespace kxtest
