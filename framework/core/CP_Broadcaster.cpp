#include "CP_Broadcaster.h"

#include <algorithm>

CP_M_Broadcaster::~CP_M_Broadcaster() {
  while (!fListeners.empty()) {
    CP_M_Listener* listener = fListeners.front();
    fListeners.pop_front();
    if (listener) listener->RemoveBroadcaster(this);
  }
}

bool CP_M_Broadcaster::HasListener(const CP_M_Listener* listener) const {
  return std::find(fListeners.begin(), fListeners.end(), listener) != fListeners.end();
}

void CP_M_Broadcaster::AddListener(CP_M_Listener* listener) {
  if (HasListener(listener)) return;
  listener->AddBroadcaster(this);
  try {
    fListeners.push_back(listener);
  } catch (...) {
    listener->RemoveBroadcaster(this);
    throw;
  }
}

void CP_M_Broadcaster::RemoveListener(CP_M_Listener* listener) {
  // Erasing from a std::list leaves a running broadcast's next entry valid.
  fListeners.remove(listener);
}

void CP_M_Broadcaster::Broadcast(CP_Message& message) {
  // Take the next entry before the call: a listener may unlink itself.
  for (auto it = fListeners.begin(); it != fListeners.end();) {
    CP_M_Listener* listener = *it;
    ++it;
    if (listener) listener->ReceiveBroadcast(message);
  }
}

CP_M_Listener::~CP_M_Listener() {
  while (!fBroadcasters.empty()) {
    CP_M_Broadcaster* broadcaster = fBroadcasters.front();
    fBroadcasters.pop_front();
    if (broadcaster) broadcaster->RemoveListener(this);
  }
}

void CP_M_Listener::AddBroadcaster(CP_M_Broadcaster* broadcaster) {
  if (std::find(fBroadcasters.begin(), fBroadcasters.end(), broadcaster) == fBroadcasters.end())
    fBroadcasters.push_back(broadcaster);
}

void CP_M_Listener::RemoveBroadcaster(CP_M_Broadcaster* broadcaster) { fBroadcasters.remove(broadcaster); }

void CP_M_Listener::StopListeningTo(CP_M_Broadcaster* broadcaster) {
  if (!broadcaster) return;
  RemoveBroadcaster(broadcaster);
  broadcaster->RemoveListener(this);
}

bool CP_M_Listener::IsListeningTo(const CP_M_Broadcaster* broadcaster) const {
  return std::find(fBroadcasters.begin(), fBroadcasters.end(), broadcaster) != fBroadcasters.end();
}
