#pragma once
// The base of every pane the user operates: a small signed value between a
// minimum and a maximum, a text, and a broadcast code that tells the
// control's messages apart for its listeners.
#include "CP_Broadcaster.h"
#include "CP_Pane.h"

#include <cstdint>
#include <string>

class CP_Control : public CP_Pane, public CP_M_Broadcaster {
 public:
  // Part codes: no part, and the control's whole frame.
  static constexpr int16_t kNoPart = 0;
  static constexpr int16_t kWholeFrame = 129;

  // Value and bounds are kept as given: nothing is clamped until SetValue.
  CP_Control(CP_View* superPane, const CP_PaneInfo& info, const std::string& text, int16_t value,
             int16_t minimum, int16_t maximum);
  ~CP_Control() override;

  // The pane's fields, then broadcast code, value, minimum, maximum, text.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void HandleOwnClick(CP_Event& event, const CP_Point& point, uint32_t keys) override;
  // Takes the mouse itself (move, left down, left up); the rest goes to the
  // pane.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // A native control reported a click (notification code 0).
  void ControlHook1(uint32_t part) override { ActiveSpotClicked(int16_t(part)); }

  // What a completed click on a part does; nothing here.
  virtual void ActiveSpotClicked(int16_t part);
  virtual int16_t GetValue();
  virtual int16_t GetMinValue() const { return fMinValue; }
  virtual int16_t GetMaxValue() const { return fMaxValue; }
  virtual std::string GetText() const { return fText; }
  virtual void SetText(const std::string& text) { fText = text; }
  virtual void SetBroadcastCode(int32_t code) { fBroadcastCode = code; }
  // Clamped to the maximum first, then to the minimum; a changed value is
  // stored and, with `broadcast`, announced to the listeners.
  virtual void SetValue(int16_t value, bool broadcast);
  // Neither moves the value nor tells anyone.
  virtual void SetMinValue(int16_t minimum) { fMinValue = minimum; }
  virtual void SetMaxValue(int16_t maximum) { fMaxValue = maximum; }
  // The part under a point; drawn controls answer their own parts.
  virtual int16_t FindActiveSpot(const CP_Point&) { return kNoPart; }
  virtual void ActiveSpotReleased(const CP_Point&) {}
  // kWholeFrame for a point in the frame, edges included; else kNoPart.
  virtual int16_t IsPointInControl(const CP_Point& point);
  virtual LRESULT TrackMouseDown(HWND window, WPARAM wParam, LPARAM lParam);
  virtual LRESULT TrackMouseUp(HWND window, WPARAM wParam, LPARAM lParam);
  virtual LRESULT TrackMouseMove(HWND window, WPARAM wParam, LPARAM lParam);

  bool HasText() const { return !fText.empty(); }
  int32_t GetBroadcastCode() const { return fBroadcastCode; }

  // On from a tracked mouse-down until the matching mouse-up; one for all
  // controls, since only the control holding the capture sees the mouse.
  static bool IsTracking();

 protected:
  const char* RuntimeClassName() const override { return "CP_Control"; }

  // The value message: sender the control, code 0, value the broadcast
  // code, data 0.
  void BroadcastValueMessage();
  // Enabled, active and visible: the state in which clicks count.
  bool IsOperable() const { return IsEnabled() && IsActive() && IsVisible(); }
  static void SetTracking(bool on);
  // A point of a mouse message's lParam, as the window reports it.
  static CP_Point MousePoint(LPARAM lParam);

  int32_t fBroadcastCode = 0;
  int16_t fValue;
  int16_t fMinValue;
  int16_t fMaxValue;
  std::string fText;
};
