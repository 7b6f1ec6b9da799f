#pragma once
// Broadcasters tell their listeners about changes. Both sides keep the link,
// so whichever is destroyed first unlinks itself from the other.
#include <cstdint>
#include <list>

class CP_Message {
 public:
  CP_Message() = default;
  CP_Message(void* sender_, uint8_t code_, int32_t value_, uint32_t data_)
      : value(value_), code(code_), sender(sender_), data(data_) {}
  virtual ~CP_Message() = default;

  void Reset() { *this = CP_Message(); }

  int32_t value = -1;
  uint8_t code = 255;
  void* sender = nullptr;
  uint32_t data = 0;
};

class CP_M_Listener;

class CP_M_Broadcaster {
 public:
  CP_M_Broadcaster() = default;
  CP_M_Broadcaster(const CP_M_Broadcaster&) = delete;
  CP_M_Broadcaster& operator=(const CP_M_Broadcaster&) = delete;
  virtual ~CP_M_Broadcaster();

  void AddListener(CP_M_Listener* listener);
  void RemoveListener(CP_M_Listener* listener);
  void Broadcast(CP_Message& message);
  bool HasListener(const CP_M_Listener* listener) const;

 private:
  std::list<CP_M_Listener*> fListeners;
};

class CP_M_Listener {
 public:
  CP_M_Listener() = default;
  CP_M_Listener(const CP_M_Listener&) = delete;
  CP_M_Listener& operator=(const CP_M_Listener&) = delete;
  virtual ~CP_M_Listener();

  virtual void ReceiveBroadcast(CP_Message& message) = 0;

  void AddBroadcaster(CP_M_Broadcaster* broadcaster);
  void RemoveBroadcaster(CP_M_Broadcaster* broadcaster);
  // Stops listening to one broadcaster, on both sides.
  void StopListeningTo(CP_M_Broadcaster* broadcaster);
  // Whether the link to this broadcaster is held; its address is only compared.
  bool IsListeningTo(const CP_M_Broadcaster* broadcaster) const;

 private:
  std::list<CP_M_Broadcaster*> fBroadcasters;
};
