#include "CP_Desktop.h"

#include "CP_Framework.h"
#include "CP_Window.h"

#include <vector>

namespace {

CP_Desktop* gDesktop = nullptr;

void RegisterFrameClass(const char* name) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_VREDRAW | CS_HREDRAW;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = gCP_Instance;
  wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));    // IDI_APPLICATION
  wc.hIconSm = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

RECT WorkArea() {
  RECT area = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

}  // namespace

CP_Desktop::CP_Desktop() {
  gDesktop = this;
  RegisterFrameClass("CP_Window");
  RegisterFrameClass("CP_DocWindow");
}

CP_Desktop::~CP_Desktop() {
  // Each window erases itself from the map as it goes: walk a copy.
  std::vector<CP_Window*> windows;
  for (auto& entry : fWindows) windows.push_back(entry.second);
  for (CP_Window* window : windows) {
    if (fWindows.empty()) break;
    bool stillThere = false;
    for (auto& entry : fWindows)
      if (entry.second == window) stillThere = true;
    if (!stillThere) continue;
    window->SetParentCommander(nullptr);
    delete window;
  }
  if (gDesktop == this) gDesktop = nullptr;
}

CP_Desktop* CP_Desktop::GetDesktop() { return gDesktop; }

HWND CP_Desktop::CreateNativeWindow(uint8_t kind, const std::string& title, int32_t left, int32_t top,
                                    int32_t contentWidth, int32_t contentHeight, uint32_t style,
                                    uint32_t exStyle) {
  const char* className = kind == 1 ? "CP_DocWindow" : "CP_Window";
  HWND handle = CreateWindowExA(exStyle, className, title.c_str(), style, left, top, contentWidth,
                                contentHeight, nullptr, nullptr, gCP_Instance, nullptr);
  if (!handle) return nullptr;
  // Grow the frame so that the client area gets the asked content size.
  RECT client = {};
  GetClientRect(handle, &client);
  MoveWindow(handle, left, top, contentWidth + (contentWidth - client.right),
             contentHeight + (contentHeight - client.bottom), TRUE);
  return handle;
}

void CP_Desktop::AddWindow(CP_Window* window, HWND handle) {
  fWindows.emplace(handle, window);
  if (window->GetKind() == CP_Window::kDocument) fDocumentWindows.push_back(window);
}

CP_Window* CP_Desktop::FindWindowByHandle(HWND handle) const {
  auto it = fWindows.find(handle);
  return it == fWindows.end() ? nullptr : it->second;
}

void CP_Desktop::ForgetHandle(HWND handle) { fWindows.erase(handle); }

void CP_Desktop::RemoveDocumentWindow(CP_Window* window) { fDocumentWindows.remove(window); }

void CP_Desktop::ShowWindow(CP_Window* window) {
  if (!window || !window->GetHWND()) return;
  ::ShowWindow(window->GetHWND(), SW_SHOW);
  UpdateWindow(window->GetHWND());
  window->Activate();
}

void CP_Desktop::HideWindow(CP_Window* window) {
  if (window && window->GetHWND()) ::ShowWindow(window->GetHWND(), SW_HIDE);
}

CP_Window* CP_Desktop::FindTopDocumentWindow() const {
  return FindWindowByHandle(FindWindowA("CP_DocWindow", nullptr));
}

void CP_Desktop::ActivateWindowBehindForeground() {
  HWND foreground = GetForegroundWindow();
  if (!foreground) return;
  if (CP_Window* behind = FindWindowByHandle(GetWindow(foreground, GW_HWNDNEXT))) behind->Activate();
}

void CP_Desktop::BeforeModal() { ActivateWindowBehindForeground(); }
void CP_Desktop::AfterModal() { ActivateWindowBehindForeground(); }

int16_t CP_Desktop::GetWorkAreaWidth() const {
  const RECT area = WorkArea();
  return int16_t(area.right - area.left);
}

int16_t CP_Desktop::GetWorkAreaHeight() const {
  const RECT area = WorkArea();
  return int16_t(area.bottom - area.top);
}

bool CP_Desktop::CloseWindowsOfKind(uint16_t mask) {
  bool result = true;
  // Walk a copy: a window that refuses must not keep the ones behind it from
  // being asked, and closing windows leave the list.
  const std::list<CP_Window*> windows = fDocumentWindows;
  for (CP_Window* window : windows) {
    bool present = false;
    for (CP_Window* w : fDocumentWindows)
      if (w == window) present = true;
    if (!present || (window->GetKind() & mask) == 0) continue;
    if (window->TryClose())
      fDocumentWindows.remove(window);
    else
      result = false;
  }
  return result;
}
