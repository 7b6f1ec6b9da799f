#include "CP_Event.h"

#include "CP_Callback.h"
#include "CP_Commander.h"

#include <algorithm>
#include <list>

namespace {

CP_M_EventDispatcher* gDispatcher = nullptr;

// The program's idlers in registration order; made on the first
// StartIdleCalls and deleted by the last idler that finds it empty.
std::list<CP_M_Idler*>* gIdlers = nullptr;

}  // namespace

void CP_Event::SetFromMSG(const MSG& msg) {
  kind = msg.message;
  message = msg.message;
  time = msg.time;
  window = msg.hwnd;
  where = CP_Point(int32_t(msg.pt.x), int32_t(msg.pt.y));
  wParam = msg.wParam;
  lParam = msg.lParam;
}

void CP_Event::ToMSG(MSG& msg) const {
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = time;
  msg.hwnd = window;
  msg.pt = where.ToPOINT();
}

CP_M_EventDispatcher::CP_M_EventDispatcher() { gDispatcher = this; }

CP_M_EventDispatcher::~CP_M_EventDispatcher() {
  if (gDispatcher == this) gDispatcher = nullptr;
}

CP_M_EventDispatcher* CP_M_EventDispatcher::GetDispatcher() { return gDispatcher; }

void CP_M_EventDispatcher::SetDispatcher(CP_M_EventDispatcher* dispatcher) {
  gDispatcher = dispatcher;
}

void CP_M_EventDispatcher::RunIdleTasks(CP_Event& event) { CP_M_Idler::RunIdlers(event); }

void CP_M_EventDispatcher::PrepareForEvent(CP_Event&) {}

void CP_M_EventDispatcher::DeliverEvent(CP_Event& event) {
  MSG msg = {};
  event.ToMSG(msg);
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN)
    CP_M_Commander::UpdateMenusForTarget();
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  // A failure inside a window procedure was kept there: it goes on from here.
  CP_RethrowPendingException();
}

CP_M_Idler::~CP_M_Idler() {
  if (fIdling) StopIdleCalls();
  if (gIdlers && gIdlers->empty()) {
    delete gIdlers;
    gIdlers = nullptr;
  }
}

void CP_M_Idler::StartIdleCalls() {
  if (fIdling) return;
  if (!gIdlers) gIdlers = new std::list<CP_M_Idler*>;
  gIdlers->push_back(this);
  fIdling = true;
  IdleCallsStarted();
}

void CP_M_Idler::StopIdleCalls() {
  fIdling = false;
  IdleCallsStopped();
  if (gIdlers) gIdlers->remove(this);
}

size_t CP_M_Idler::CountIdlers() { return gIdlers ? gIdlers->size() : 0; }

void CP_M_Idler::RunIdlers(CP_Event& event) {
  if (!gIdlers) return;
  // Take the next entry before the call: an idler may stop its own calls (or
  // be destroyed) inside Idle. When that empties and deletes the list the
  // pass ends there.
  std::list<CP_M_Idler*>* list = gIdlers;
  for (auto it = list->begin(); it != list->end();) {
    CP_M_Idler* idler = *it;
    ++it;
    const bool last = (it == list->end());
    if (idler && idler->fIdling) idler->Idle(event);
    if (last || gIdlers != list) break;
  }
}
