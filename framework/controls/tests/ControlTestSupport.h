#pragma once
// Listeners and controls for the control tests.
#include "CP_Broadcaster.h"
#include "CP_Control.h"
#include "PaneTestSupport.h"

#include <string>
#include <vector>

namespace kxtest {

// Keeps every message it hears.
class MessageRecorder : public CP_M_Listener {
 public:
  void ReceiveBroadcast(CP_Message& message) override { messages.push_back(message); }
  std::vector<CP_Message> messages;
};

// A control on a plain framework pane window that records the spot and
// click operations the control base calls.
class ProbeControl : public CP_Control {
 public:
  ProbeControl(CP_View* super, const CP_PaneInfo& info, int16_t value, int16_t minimum,
               int16_t maximum, const std::string& text = "")
      : CP_Control(super, info, text, value, minimum, maximum) {
    MakeWindow(super, info.location, info.size);
  }
  int16_t FindActiveSpot(const CP_Point& point) override {
    spots.push_back(point);
    return kWholeFrame;
  }
  void ActiveSpotReleased(const CP_Point& point) override { releases.push_back(point); }
  void ActiveSpotClicked(int16_t part) override { clicks.push_back(part); }

  using CP_Control::BroadcastValueMessage;

  std::vector<CP_Point> spots;
  std::vector<CP_Point> releases;
  std::vector<int16_t> clicks;
};

inline LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

// The text of a native window, whole.
inline std::string WindowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace kxtest
