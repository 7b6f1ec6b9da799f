#pragma once
// One Windows message as the framework carries it, and the dispatcher that
// hands it back to Windows for delivery.
#include "CP_EventHandler.h"
#include "CP_Geometry.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Event {
 public:
  CP_Event() = default;
  virtual ~CP_Event() = default;

  void SetFromMSG(const MSG& msg);
  void ToMSG(MSG& msg) const;

  uint32_t kind = 0;  // the message number, or a framework event kind
  uint32_t message = 0;
  uint32_t time = 0;
  HWND window = nullptr;
  CP_Point where;  // screen coordinates
  WPARAM wParam = 0;  // whole: some messages carry pointers
  LPARAM lParam = 0;
};

// The one event dispatcher of the program (the application, or a dialog while
// it runs).
class CP_M_EventDispatcher : public virtual CP_M_EventHandlerAttachable {
 public:
  CP_M_EventDispatcher();
  ~CP_M_EventDispatcher() override;

  virtual void RunIdleTasks(CP_Event& event);
  virtual void PrepareForEvent(CP_Event& event);
  virtual void DeliverEvent(CP_Event& event);

  void ProcessEvent(CP_Event& event) { DeliverEvent(event); }

  static CP_M_EventDispatcher* GetDispatcher();
  // For a dispatcher that takes over delivery for a while and gives it back.
  static void SetDispatcher(CP_M_EventDispatcher* dispatcher);
};

// Objects that want a turn after every message of the run loop.
class CP_M_Idler {
 public:
  CP_M_Idler() = default;
  CP_M_Idler(const CP_M_Idler&) = delete;
  CP_M_Idler& operator=(const CP_M_Idler&) = delete;
  virtual ~CP_M_Idler();

  virtual void IdleCallsStarted() {}
  virtual void IdleCallsStopped() {}
  virtual void Idle(CP_Event& event) = 0;

  void StartIdleCalls();
  void StopIdleCalls();
  bool IsIdling() const { return fIdling; }

  static void RunIdlers(CP_Event& event);
  static size_t CountIdlers();  // 0 without an idler list

 private:
  bool fIdling = false;
};

LRESULT CALLBACK PaneWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
