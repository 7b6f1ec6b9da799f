#include "CP_Dialog.h"

#include "CP_Callback.h"
#include "CP_Desktop.h"
#include "CP_Exception.h"
#include "CP_Reanimator.h"
#include "CP_UndoManager.h"
#include "CP_Window.h"

namespace {

constexpr const char* kSource = "CP_Dialog";
constexpr int32_t kLineMadeInCode = 99;
constexpr int32_t kLineFromResource = 133;

}  // namespace

CP_Dialog::CP_Dialog() : CP_M_Commander(nullptr), fPreviousTarget(CP_M_Commander::GetTarget()) {}

CP_Dialog::~CP_Dialog() {
  // Nothing may reach the window through the dialog once it has gone.
  CP_Window* window = fWindow;
  fWindow = nullptr;
  fUndoManager = nullptr;
  delete window;
  ChangeTarget(fPreviousTarget);
  UpdateMenus();
  LeaveDispatcherChain();
}

// The dispatcher registration goes back to the one this dialog replaced.
// A dialog that goes while a later one dispatches is taken out of the chain
// of earlier dispatchers instead, so that no dialog hands the registration
// to one that has gone.
void CP_Dialog::LeaveDispatcherChain() {
  CP_M_EventDispatcher* current = GetDispatcher();
  if (current == this) {
    SetDispatcher(earlierDispatcher);
    return;
  }
  for (auto* later = dynamic_cast<CP_Dialog*>(current); later;
       later = dynamic_cast<CP_Dialog*>(later->earlierDispatcher)) {
    if (later->earlierDispatcher == this) {
      later->earlierDispatcher = earlierDispatcher;
      return;
    }
  }
}

void CP_Dialog::MakeWindow(const CP_WindowInfo& info, const std::string& title) {
  CP_Window* window = new CP_Window(this, info, title, 1);
  TakeWindow(window, kLineMadeInCode);
}

void CP_Dialog::MakeWindowFromResource(int16_t resourceId) {
  TakeWindow(ReanimateFromResource(this, resourceId, this), kLineFromResource);
}

// A window without its native window counts as not made: the dialog would
// wait for a message that can never come.
void CP_Dialog::TakeWindow(CP_Window* window, int32_t lineIfNull) {
  if (window && !window->GetHWND()) {
    delete window;
    window = nullptr;
  }
  ThrowIfNull(window, kSource, lineIfNull);
  delete fWindow;  // a dialog owns one window at a time
  fWindow = window;
  if (CP_Desktop* desktop = CP_Desktop::GetDesktop()) desktop->PlaceWindowCentred(fWindow);
  fUndoManager = new CP_UndoManager;
  fWindow->AttachEventHandler(fUndoManager, -1);
  ChangeTarget(fWindow);
}

void CP_Dialog::ProcessModalEvent(CP_Message& message) {
  if (fWindow && !fWindow->IsVisible()) fWindow->Show();
  PrepareModalEvent();
  CP_Event event;
  fLastMessage.Reset();
  message = fLastMessage;
  MSG msg = {};
  const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
  CP_RethrowPendingException();  // GetMessageA delivers sent messages itself
  if (got <= 0) {
    RunIdleTasks(event);
    return;
  }
  event.SetFromMSG(msg);
  ProcessEvent(event);
  message = fLastMessage;
}

const CP_Message& CP_Dialog::ListenToMessage(const CP_Message& message) {
  fLastMessage.value = message.value;
  fLastMessage.code = message.code;
  fLastMessage.sender = message.sender;
  fLastMessage.data = message.data;
  return fLastMessage;
}

int32_t CP_Dialog::ExecuteCommand(int32_t command) {
  if (fWindow && fWindow->GetKind() == CP_Window::kDialogLike) return kCmd_NotHandled;
  return CP_M_Commander::ExecuteCommand(command);
}

void CP_Dialog::GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) {
  if (fWindow && fWindow->GetKind() == CP_Window::kDialogLike) return;
  CP_M_Commander::GetCommandStatus(command, menu);
}

// A window the dialog made closes only by deleting itself.
bool CP_Dialog::ApproveChildClose(CP_M_Commander* child) {
  if (fWindow && child == static_cast<CP_M_Commander*>(fWindow)) {
    fWindow = nullptr;
    fUndoManager = nullptr;
  }
  return true;
}
