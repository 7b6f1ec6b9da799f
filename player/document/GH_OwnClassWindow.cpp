#include "document/GH_OwnClassWindow.h"

#include "CP_Document.h"
#include "CP_Event.h"
#include "CP_RGBColor.h"

#include <algorithm>
#include <list>

namespace {

// Class names registered so far in this process.
std::list<const std::string*>* gRegisteredClasses = nullptr;

}  // namespace

GH_OwnClassWindow::GH_OwnClassWindow(CP_M_Commander* parent, CP_Document* document,
                                     const CP_WindowInfo& description, const std::string& title,
                                     const std::string& className)
    : CP_Window(parent, description, title, 0), fDocument(document), fClassName(className) {
  RegisterClassOnce();
  CreateNativeWindow(description, title);
  InstallWindow(fFrame, TopWindowProc);
  UpdateRegions();
  TakeFocus(nullptr);
  SetBackgroundColor(GetSystemColor(description.kind == kDialogLike ? COLOR_BTNFACE : COLOR_WINDOW), 0);
  SetPendingTarget(this);
}

GH_OwnClassWindow::~GH_OwnClassWindow() {
  if (gRegisteredClasses) gRegisteredClasses->remove(&fClassName);
}

void GH_OwnClassWindow::RegisterClassOnce() {
  if (!gRegisteredClasses) gRegisteredClasses = new std::list<const std::string*>;
  const bool known = std::any_of(gRegisteredClasses->begin(), gRegisteredClasses->end(),
                                 [&](const std::string* name) { return *name == fClassName; });
  if (known) return;
  gRegisteredClasses->push_back(&fClassName);
  RegisterWindowClass();
}

void GH_OwnClassWindow::RegisterWindowClass() {
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

void GH_OwnClassWindow::CreateNativeWindow(const CP_WindowInfo& description, const std::string& title) {
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

bool GH_OwnClassWindow::TryClose() {
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
