#include "CP_Control.h"

#include "CP_Canvas.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"

#include <memory>

namespace {

// The shared mouse-tracking flag of all controls.
bool gTracking = false;

// Readies the control's canvas for drawing into its window around one
// tracking call. The call may end in a listener that deletes the control:
// then the canvas went with it, and only the device context is given back.
class TrackingScope {
 public:
  TrackingScope(CP_Pane* pane, std::weak_ptr<char> life)
      : fLife(std::move(life)), fCanvas(pane->GetCanvas()) {
    if (!fCanvas) return;
    if (!fCanvas->GetDC()) {
      fWindow = pane->GetHWND();
      fDC = GetDC(fWindow);
      fCanvas->AttachDC(fDC);
    }
    fCanvas->BeginDrawing(pane, nullptr);
  }
  TrackingScope(const TrackingScope&) = delete;
  TrackingScope& operator=(const TrackingScope&) = delete;
  ~TrackingScope() {
    if (fCanvas && !fLife.expired()) {
      fCanvas->EndDrawing();
      if (fDC) fCanvas->DetachDC();
    }
    if (fDC) ReleaseDC(fWindow, fDC);
  }

 private:
  std::weak_ptr<char> fLife;
  CP_Canvas* fCanvas;
  HWND fWindow = nullptr;
  HDC fDC = nullptr;  // only when this scope got it
};

}  // namespace

CP_Control::CP_Control(CP_View* superPane, const CP_PaneInfo& info, const std::string& text,
                       int16_t value, int16_t minimum, int16_t maximum)
    : CP_Pane(superPane, info), fValue(value), fMinValue(minimum), fMaxValue(maximum), fText(text) {
  // A control keeps its own background rather than its super-pane's.
  fOwnBackground = 1;
}

CP_Control::~CP_Control() = default;

bool CP_Control::IsTracking() { return gTracking; }
void CP_Control::SetTracking(bool on) { gTracking = on; }

CP_Point CP_Control::MousePoint(LPARAM lParam) {
  return CP_Point(int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam)));
}

void CP_Control::ActiveSpotClicked(int16_t) {}

int16_t CP_Control::GetValue() { return fValue; }

void CP_Control::SetValue(int16_t value, bool broadcast) {
  if (value > fMaxValue)
    value = fMaxValue;
  else if (value < fMinValue)
    value = fMinValue;
  if (value == fValue) return;
  fValue = value;
  if (broadcast) BroadcastValueMessage();
}

void CP_Control::BroadcastValueMessage() {
  CP_Message message(static_cast<CP_Control*>(this), 0, fBroadcastCode, 0);
  Broadcast(message);
}

int16_t CP_Control::IsPointInControl(const CP_Point& point) {
  return ContainsPoint(point) ? kWholeFrame : kNoPart;
}

// Runs when the pane's mouse-down operation is called directly: the
// control's own window procedure takes WM_LBUTTONDOWN itself.
void CP_Control::HandleOwnClick(CP_Event&, const CP_Point& point, uint32_t) {
  if (!IsOperable()) return;
  TakeFocus(nullptr);
  int16_t part = IsPointInControl(point);
  SetTracking(false);
  if (part != kNoPart) part = kWholeFrame;
  if (part == kWholeFrame) {
    // Caches a native control's real state.
    fValue = GetValue();
    ActiveSpotClicked(kWholeFrame);
  }
}

LRESULT CP_Control::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      const CP_Point point = MousePoint(lParam);
      CallUpdateCursor(CP_Point(int16_t(point.h - fOriginOffset.h), int16_t(point.v - fOriginOffset.v)));
      TrackingScope scope(this, LifeToken());
      TrackMouseMove(window, wParam, lParam);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      TrackingScope scope(this, LifeToken());
      return TrackMouseDown(window, wParam, lParam);
    }
    case WM_LBUTTONUP: {
      TrackingScope scope(this, LifeToken());
      return TrackMouseUp(window, wParam, lParam);
    }
    default:
      return CP_Pane::HandleMessage(window, message, wParam, lParam);
  }
}

LRESULT CP_Control::TrackMouseDown(HWND, WPARAM, LPARAM lParam) {
  if (!IsOperable()) return 0;
  SetCapture(fWindow);
  SetTracking(true);
  FindActiveSpot(MousePoint(lParam));
  return 0;
}

LRESULT CP_Control::TrackMouseMove(HWND, WPARAM, LPARAM lParam) {
  if (IsTracking()) FindActiveSpot(MousePoint(lParam));
  return 0;
}

// The tracking flag is not asked: a release the control never saw begin
// still gives the capture back.
LRESULT CP_Control::TrackMouseUp(HWND, WPARAM, LPARAM lParam) {
  if (!IsOperable()) return 0;
  // Neither step after the release touches the control, which the release
  // may have deleted.
  ActiveSpotReleased(MousePoint(lParam));
  ReleaseCapture();
  SetTracking(false);
  return 0;
}

void CP_Control::WriteToStream(CP_OutStream& out) {
  CP_Pane::WriteToStream(out);
  out.WriteInt32(fBroadcastCode).WriteInt16(fValue).WriteInt16(fMinValue).WriteInt16(fMaxValue);
  out.WriteString(fText);
}

void CP_Control::ReadFromStream(void* context, CP_InStream& in) {
  CP_Pane::ReadFromStream(context, in);
  in.ReadInt32(fBroadcastCode).ReadInt16(fValue).ReadInt16(fMinValue).ReadInt16(fMaxValue);
  in.ReadString(fText);
}
