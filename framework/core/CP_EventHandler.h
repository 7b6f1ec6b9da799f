#pragma once
// Event handlers attached to framework objects. Before an object handles an
// event itself, every attached handler is offered it; a handler that answers
// false consumes it.
#include "CP_FourCC.h"

#include <cstdint>
#include <vector>

constexpr uint32_t kEventKind_RunLoop = CP_FourCC("EVev");        // data: CP_Event*
constexpr uint32_t kEventKind_ExecuteCommand = CP_FourCC("EVmc"); // data: command number
constexpr uint32_t kEventKind_CommandStatus = CP_FourCC("EVen");  // data: command number
constexpr uint32_t kEventKind_PostedCommand = CP_FourCC("EVpc");  // data: CP_Command*
constexpr uint32_t kEventKind_MouseDown = CP_FourCC("EVme");      // data: defined by the pane
constexpr uint32_t kEventKind_Any = CP_FourCC("EVan");            // listens to every kind

class CP_EventHandlerAttachment {
 public:
  explicit CP_EventHandlerAttachment(uint32_t kind) : fKind(kind) {}
  virtual ~CP_EventHandlerAttachment() = default;

  // True: not consumed, the object goes on with its own handling.
  virtual bool HandleEvent(uint32_t kind, uintptr_t data);

  uint32_t GetKind() const { return fKind; }
  bool OfferEvent(uint32_t kind, uintptr_t data);

 private:
  uint32_t fKind;
};

// Shared virtual base of every framework object that takes attached handlers.
// It owns the handlers attached to it.
class CP_M_EventHandlerAttachable {
 public:
  CP_M_EventHandlerAttachable() = default;
  CP_M_EventHandlerAttachable(const CP_M_EventHandlerAttachable&) = delete;
  CP_M_EventHandlerAttachable& operator=(const CP_M_EventHandlerAttachable&) = delete;
  virtual ~CP_M_EventHandlerAttachable();

  virtual bool RunEventHandlers(uint32_t kind, uintptr_t data);

  // Positions 0..count insert before that entry; anything else appends.
  void AttachEventHandler(CP_EventHandlerAttachment* handler, int16_t position = -1);
  void DetachEventHandler(CP_EventHandlerAttachment* handler);
  int16_t CountEventHandlers() const;
  int16_t FindEventHandlerIndex(const CP_EventHandlerAttachment* handler) const;  // 1-based, 0 absent

 private:
  std::vector<CP_EventHandlerAttachment*>* fHandlers = nullptr;
};
