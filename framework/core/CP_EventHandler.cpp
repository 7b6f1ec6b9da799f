#include "CP_EventHandler.h"

#include <algorithm>

bool CP_EventHandlerAttachment::HandleEvent(uint32_t, uintptr_t) { return true; }

bool CP_EventHandlerAttachment::OfferEvent(uint32_t kind, uintptr_t data) {
  if (fKind == kEventKind_Any || fKind == kind) return HandleEvent(kind, data);
  return true;
}

CP_M_EventHandlerAttachable::~CP_M_EventHandlerAttachable() {
  if (!fHandlers) return;
  const size_t rounds = fHandlers->size();
  for (size_t i = 0; i < rounds && !fHandlers->empty(); ++i) {
    CP_EventHandlerAttachment* first = fHandlers->front();
    DetachEventHandler(first);
    delete first;
  }
  delete fHandlers;
  fHandlers = nullptr;
}

void CP_M_EventHandlerAttachable::AttachEventHandler(CP_EventHandlerAttachment* handler,
                                                     int16_t position) {
  if (!fHandlers) fHandlers = new std::vector<CP_EventHandlerAttachment*>;
  if (position >= 0 && size_t(position) <= fHandlers->size())
    fHandlers->insert(fHandlers->begin() + position, handler);
  else
    fHandlers->push_back(handler);
}

void CP_M_EventHandlerAttachable::DetachEventHandler(CP_EventHandlerAttachment* handler) {
  if (!fHandlers) return;
  auto it = std::find(fHandlers->begin(), fHandlers->end(), handler);
  if (it != fHandlers->end()) fHandlers->erase(it);
}

int16_t CP_M_EventHandlerAttachable::CountEventHandlers() const {
  return fHandlers ? int16_t(fHandlers->size()) : 0;
}

int16_t CP_M_EventHandlerAttachable::FindEventHandlerIndex(
    const CP_EventHandlerAttachment* handler) const {
  if (!fHandlers) return 0;
  auto it = std::find(fHandlers->begin(), fHandlers->end(), handler);
  return it == fHandlers->end() ? 0 : int16_t(it - fHandlers->begin() + 1);
}

bool CP_M_EventHandlerAttachable::RunEventHandlers(uint32_t kind, uintptr_t data) {
  if (!fHandlers || fHandlers->empty()) return true;
  bool notConsumed = true;
  // Every handler is offered the event, also after one consumed it. A handler
  // that detaches itself does not make the walk skip the one behind it; the
  // walk stops once it has offered more handlers than the list still holds.
  size_t offered = 0;
  size_t i = 0;
  while (i < fHandlers->size() && offered <= fHandlers->size()) {
    CP_EventHandlerAttachment* handler = (*fHandlers)[i];
    ++offered;
    if (!handler->OfferEvent(kind, data)) notConsumed = false;
    if (i < fHandlers->size() && (*fHandlers)[i] == handler) ++i;
  }
  return notConsumed;
}
