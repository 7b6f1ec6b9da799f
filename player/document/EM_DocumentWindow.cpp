#include "document/EM_DocumentWindow.h"
#include "panes/GH_EM_QT_MoviePane.h"

#include "CP_Desktop.h"
#include "CP_Document.h"
#include "CP_Event.h"
#include "CP_FourCC.h"
#include "CP_RGBColor.h"
#include "utility/GH_Assert.h"

#include <algorithm>
#include <list>

namespace {

// Class names this window class has registered so far in this process; the
// engine's document window keeps a list of its own.
std::list<const std::string*>* gRegisteredClasses = nullptr;

// How high the engine's sprite strip stands at the bottom of the screen.
constexpr int16_t kSpriteStripHeight = 48;

}  // namespace

EM_DocumentWindow::EM_DocumentWindow(CP_M_Commander* parent, CP_Document* document,
                                     const CP_WindowInfo& description, const std::string& title)
    : CP_Window(parent, description, title, 0), fDocument(document) {
  RegisterClassOnce();
  CreateNativeWindow(description, title);
  InstallWindow(fFrame, TopWindowProc);
  UpdateRegions();
  TakeFocus(nullptr);
  SetBackgroundColor(GetSystemColor(description.kind == kDialogLike ? COLOR_BTNFACE : COLOR_WINDOW), 0);
  SetPendingTarget(this);
}

EM_DocumentWindow::~EM_DocumentWindow() {
  if (gRegisteredClasses) gRegisteredClasses->remove(&fClassName);
}

void EM_DocumentWindow::RegisterClassOnce() {
  if (!gRegisteredClasses) gRegisteredClasses = new std::list<const std::string*>;
  const bool known = std::any_of(gRegisteredClasses->begin(), gRegisteredClasses->end(),
                                 [&](const std::string* name) { return *name == fClassName; });
  if (known) return;
  gRegisteredClasses->push_back(&fClassName);
  RegisterWindowClass();
}

void EM_DocumentWindow::RegisterWindowClass() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(fLargeIcon));
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(fSmallIcon));
  if (!windowClass.hIconSm) windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = fClassName.c_str();
  RegisterClassExA(&windowClass);
}

void EM_DocumentWindow::CreateNativeWindow(const CP_WindowInfo& description, const std::string& title) {
  const int width = description.pane.size.width;
  const int height = description.pane.size.height;
  fFrame = CreateWindowExA(description.exStyle, fClassName.c_str(), title.c_str(), description.style, 0, 0,
                           width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!fFrame) return;
  // The client area gets exactly the described size.
  RECT client = {};
  GetClientRect(fFrame, &client);
  MoveWindow(fFrame, description.pane.location.h, description.pane.location.v, width + (width - client.right),
             height + (height - client.bottom), TRUE);
}

void EM_DocumentWindow::Activate() {
  if (!fFrame) ReportAssertion("EM_DocumentWindow", 502, "fPlatformWindow != NULL");
  CP_Window::Activate();
}

bool EM_DocumentWindow::TryClose() {
  bool closed = true;
  if (fDocument) {
    if (fDocument->AskSaveChanges())
      fDocument->TryClose();  // deletes this window
    else
      closed = false;
  } else {
    CP_Window::TryClose();
  }
  CP_M_Commander::ChangeTarget(CP_M_Commander::GetDefaultCommander());
  CP_M_Commander::UpdateMenus();
  return closed;
}

void EM_DocumentWindow::HandleMouseDown(CP_Event& event, const CP_Point& point) {
  CP_Point global = point;
  LocalToGlobalPoint(global);
  // A press in the band of the sprite strip at the bottom of the screen is
  // meant for the strip's pane; elsewhere for the pane under the point.
  const CP_Desktop* desktop = CP_Desktop::GetDesktop();
  const int16_t stripTop = int16_t((desktop ? desktop->GetWorkAreaHeight() : 0) - kSpriteStripHeight);
  CP_Pane* target =
      global.v > stripTop ? FindSubPaneById(int32_t(CP_FourCC("SPRT")), false) : FindSubPaneAt(point, false);
  CP_Pane::HandleMouseDown(event, point);
  if (target) target->HandleMouseDown(event, point);
}

LRESULT EM_DocumentWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      // No screen saver while the list film is in front.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 1;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS: {
      CP_Pane* pane = FindSubPaneById(int32_t(CP_FourCC("EMFL")), false);
      TakeFocus(nullptr);
      Refresh();
      BringToFront();
      // The film plays on in this window's port, and idles again.
      if (auto* em = dynamic_cast<GH_EM_QT_MoviePane*>(pane)) em->AttachFilmToWindow();
      if (pane) {
        SetForegroundWindow(fFrame);
        SetFocus(fFrame);
        pane->TakeFocus(nullptr);
        pane->Refresh();
        // Keys reach the list-film pane only through its own window.
        SetFocus(pane->GetHWND());
      }
      break;
    }
    default:
      // Message 20012 looks for a 'MAIN' pane, which only the main video
      // window holds: here it has only the framework's handling.
      break;
  }
  return CP_Window::HandleMessage(window, message, wParam, lParam);
}
