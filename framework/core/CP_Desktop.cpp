#include "CP_Desktop.h"

#include "CP_Framework.h"
#include "CP_MenuBar.h"
#include "CP_Window.h"

#include <algorithm>
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

// The menu lies inside the window frame on this platform: 0 in practice.
int32_t MenuBarHeight() {
  CP_MenuBar* bar = CP_MenuBar::GetMenuBar();
  return bar ? bar->GetHeight() : 0;
}

}  // namespace

CP_Desktop::CP_Desktop() {
  gDesktop = this;
  RegisterFrameClass("CP_Window");
  RegisterFrameClass("CP_DocWindow");
}

CP_Desktop::~CP_Desktop() {
  // Each window erases itself from the map as it goes: walk a copy, and
  // pass over a window that an earlier one took with it.
  std::vector<CP_Window*> windows;
  for (const auto& entry : fWindows) windows.push_back(entry.second);
  for (CP_Window* window : windows) {
    const bool stillThere = std::any_of(fWindows.begin(), fWindows.end(),
                                        [&](const auto& entry) { return entry.second == window; });
    if (!stillThere) continue;
    window->SetParentCommander(nullptr);
    delete window;
  }
  fWindows.clear();
  fDocumentWindows.clear();
  if (gDesktop == this) gDesktop = nullptr;
}

CP_Desktop* CP_Desktop::GetDesktop() { return gDesktop; }

HWND CP_Desktop::CreateNativeWindow(CP_Window* window, const CP_WindowInfo& info,
                                    const std::string& title) {
  const char* className = window && window->GetKind() == CP_Window::kDocument ? "CP_DocWindow" : "CP_Window";
  const CP_Point& position = info.pane.location;
  const int32_t width = info.pane.size.width;
  const int32_t height = info.pane.size.height;
  HWND handle = CreateWindowExA(info.exStyle, className, title.c_str(), info.style, position.h,
                                position.v, width, height, nullptr, nullptr, gCP_Instance, nullptr);
  if (!handle) return nullptr;
  RECT client = {};
  GetClientRect(handle, &client);
  MoveWindow(handle, position.h, position.v, width + (width - client.right),
             height + (height - client.bottom), TRUE);
  return handle;
}

void CP_Desktop::AddWindow(CP_Window* window, HWND handle) {
  fWindows.emplace(handle, window);
  if (window->GetKind() == CP_Window::kDocument) AppendDocumentWindow(window);
}

void CP_Desktop::AppendDocumentWindow(CP_Window* window) { fDocumentWindows.push_back(window); }

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

// Both programs make document windows of this class: the topmost one may
// belong to the other program, so the search goes on down the z-order to
// the first one of this desktop.
CP_Window* CP_Desktop::FindTopDocumentWindow() const {
  HWND candidate = nullptr;
  while ((candidate = FindWindowExA(nullptr, candidate, "CP_DocWindow", nullptr)))
    if (CP_Window* window = FindWindowByHandle(candidate)) return window;
  return nullptr;
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

// ---------------------------------------------------------------------------
// Placement

void CP_Desktop::PlaceWindow(CP_Window* window, int16_t placement) {
  switch (placement) {
    case CP_Window::kPlaceCascade: PlaceAtNextCascadePosition(window); break;
    case CP_Window::kPlaceCentredHigh: PlaceWindowCentred(window); break;
    case CP_Window::kPlaceCentred: PlaceCentred(window); break;
    default: break;
  }
}

// The sequence starts again whenever the new window is the only document
// window.
void CP_Desktop::PlaceAtNextCascadePosition(CP_Window* window) {
  if (fDocumentWindows.size() == 1) fNextCascade = CP_Point();
  if (fNextCascade == CP_Point()) fNextCascade = CP_Point(int16_t(0), int16_t(MenuBarHeight()));
  fNextCascade += fCascadeStep;
  window->MoveTo(fNextCascade, true);
}

void CP_Desktop::PlaceWindowCentred(CP_Window* window) {
  const int32_t menu = MenuBarHeight();
  int32_t x = (GetWorkAreaWidth() - window->GetFrameWidth()) / 2;
  int32_t y = menu + (GetWorkAreaHeight() -
                      (window->GetCaptionHeight() + menu + window->GetFrameHeight())) / 3;
  x = std::max(x, 0);
  y = std::max(y, 0);
  window->MoveTo(CP_Point(x, y), true);
}

void CP_Desktop::PlaceCentred(CP_Window* window) {
  const int32_t menu = MenuBarHeight();
  const int32_t x = (GetWorkAreaWidth() - window->GetFrameWidth()) / 2;
  const int32_t y = menu + (GetWorkAreaHeight() -
                            (window->GetCaptionHeight() + menu + window->GetFrameHeight())) / 2;
  window->MoveTo(CP_Point(x, y), true);
}

// ---------------------------------------------------------------------------
// Cascading and tiling

void CP_Desktop::CascadeWindows() {
  CP_Window* top = FindTopDocumentWindow();
  if (!top) return;
  fNextCascade = CP_Point(12, top->GetCaptionHeight() + 12 + MenuBarHeight());
  const std::list<CP_Window*> windows = fDocumentWindows;
  for (CP_Window* window : windows) {
    window->SetContentSize(CP_Size(250, 250), true);
    window->MoveTo(fNextCascade, true);
    fNextCascade += fCascadeStep;
  }
}

void CP_Desktop::TileWindowsStacked() { Tile(true); }
void CP_Desktop::TileWindowsSideBySide() { Tile(false); }

// Each window moves by the content size just set, not by the cell size, so
// neighbouring frames overlap by their frame and caption.
void CP_Desktop::Tile(bool stacked) {
  CP_Window* top = FindTopDocumentWindow();
  if (!top) return;
  const int32_t menu = MenuBarHeight();
  const int32_t caption = top->GetCaptionHeight();
  const int32_t areaLeft = 12;
  const int32_t areaTop = stacked ? caption + menu : caption + 12 + menu;
  const int32_t areaRight = GetWorkAreaWidth();
  const int32_t areaBottom = stacked ? GetWorkAreaHeight() - 12 : GetWorkAreaHeight();
  const int32_t count = int32_t(fDocumentWindows.size());
  if (count >= 2) {
    const int32_t columns = stacked ? 1 : count;
    const int32_t rows = stacked ? count : 1;
    const int32_t cellWidth = (areaRight - areaLeft) / columns;
    const int32_t cellHeight = ((areaBottom - areaTop) - menu - rows * 12) / rows;
    const std::list<CP_Window*> windows = fDocumentWindows;
    int32_t k = 0;
    for (CP_Window* window : windows) {
      const int32_t border = window->GetBorderWidth();
      const int32_t ownCaption = window->GetCaptionHeight();
      CP_Size content;
      CP_Point place;
      if (stacked) {
        content = CP_Size(cellWidth - (2 * border + 26), cellHeight - (2 * border + ownCaption + 12));
        place = CP_Point(0, menu + k * content.height);
      } else {
        content = CP_Size(cellWidth - (2 * border + 12), cellHeight - (2 * border + ownCaption + 57));
        place = CP_Point(k * content.width, menu);
      }
      window->SetContentSize(content, true);
      window->MoveTo(place, true);
      ++k;
    }
  }
  top->BringToFront();
}

// ---------------------------------------------------------------------------
// Closing

bool CP_Desktop::CloseWindowsOfKind(uint16_t mask) {
  bool result = true;
  // Walk a copy: a window that refuses must not keep the ones behind it from
  // being asked, and closing windows leave the list.
  const std::list<CP_Window*> windows = fDocumentWindows;
  for (CP_Window* window : windows) {
    if (std::find(fDocumentWindows.begin(), fDocumentWindows.end(), window) == fDocumentWindows.end())
      continue;
    if ((window->GetKind() & mask) == 0) continue;
    if (window->TryClose())
      fDocumentWindows.remove(window);
    else
      result = false;
  }
  return result;
}
