#pragma once
// Runs a framework window as a dialog that the caller drives one message at
// a time. The dialog is the parent commander of its window, the program's
// event dispatcher while it exists, and a listener that records the last
// message the window's controls broadcast.
//
// A caller's modal run: make the dialog and its window, then call
// ProcessModalEvent until the message shows the awaited value and code,
// then destroy the dialog. The other windows of the program stay enabled.
#include "CP_Broadcaster.h"
#include "CP_Commander.h"
#include "CP_Event.h"

#include <string>

class CP_UndoManager;
class CP_Window;
class CP_WindowInfo;

namespace cp_detail {
// Taken before the dialog registers itself as the event dispatcher, so that
// the one it replaced can be given the registration back.
struct EarlierDispatcher {
  CP_M_EventDispatcher* earlierDispatcher = CP_M_EventDispatcher::GetDispatcher();
};
}  // namespace cp_detail

class CP_Dialog : public CP_M_Listener,
                  private cp_detail::EarlierDispatcher,
                  public CP_M_EventDispatcher,
                  public CP_M_Commander {
 public:
  // No window yet; remembers the present target commander.
  CP_Dialog();
  // Deletes the window, gives the target back to the commander that had it
  // when the dialog was made, refreshes the menus and hands the event
  // dispatching back.
  ~CP_Dialog() override;

  // The window made in code: centred on the desktop, with an undo manager,
  // and made the target. Throws the framework's null-pointer error (line
  // 99) when it cannot be made.
  virtual void MakeWindow(const CP_WindowInfo& info, const std::string& title);
  // The same with the window and its panes rebuilt from the "CPob"
  // resource `resourceId`; the dialog listens to its controls. Throws the
  // null-pointer error (line 133) when it cannot be rebuilt.
  virtual void MakeWindowFromResource(int16_t resourceId);
  // One dialog step: shows a hidden window, reads one message and delivers
  // it. `message` receives the last message the controls broadcast during
  // the step, or the empty message. WM_QUIT is taken and answered with the
  // idle tasks.
  virtual void ProcessModalEvent(CP_Message& message);
  // Commands and status questions stop at a dialog whose window is of kind
  // 3: the application's own commands stay disabled and are not run.
  int32_t ExecuteCommand(int32_t command) override;
  void GetCommandStatus(int32_t command, CP_M_MenuEnabler* menu) override;
  // A window closing itself is forgotten: the dialog no longer owns it.
  bool ApproveChildClose(CP_M_Commander* child) override;
  virtual void DialogHookA() {}
  virtual void DialogHookB() {}
  virtual void DialogHookC(uint32_t) {}
  // Runs before each message of ProcessModalEvent.
  virtual void PrepareModalEvent() {}

  // Every broadcast the dialog hears goes to ListenToMessage.
  void ReceiveBroadcast(CP_Message& message) override { ListenToMessage(message); }
  // Records the message's value, code, sender and data as the last message
  // and answers that.
  virtual const CP_Message& ListenToMessage(const CP_Message& message);

  CP_Window* GetWindow() const { return fWindow; }
  const CP_Message& GetLastMessage() const { return fLastMessage; }

 private:
  // Places, equips and targets a window just made or rebuilt.
  void TakeWindow(CP_Window* window, int32_t lineIfNull);
  void LeaveDispatcherChain();

  CP_Window* fWindow = nullptr;  // owned
  CP_Message fLastMessage;
  CP_M_Commander* fPreviousTarget;
  CP_UndoManager* fUndoManager = nullptr;  // owned by the window it is attached to
};
