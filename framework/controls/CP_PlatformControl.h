#pragma once
// A control on a native Windows control: the control's window is of a
// standard class, subclassed to the framework's procedure so that the pane
// sees its messages first; painting, erasing and the mouse go on to the
// native procedure. Enabling, text and value follow the native control.
#include "CP_Control.h"

class CP_TextTrait;

class CP_PlatformControl : public CP_Control {
 public:
  enum Kind : int16_t { kPushButton = 0, kPopupMenu = 3 };

  // Makes no window: each wrapper makes its own. `unused` is read by
  // nothing.
  CP_PlatformControl(CP_View* superPane, const CP_PaneInfo& info, int16_t kind, const std::string& text,
                     int32_t unused, int16_t value, int16_t minimum, int16_t maximum);
  ~CP_PlatformControl() override;

  // The control's fields, then the kind.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;

  // Becomes the framework's current pane unless it is already.
  void TakeFocus(CP_Canvas* canvas) override;
  void EnableOwn() override;
  void DisableOwn() override;
  // The native control paints itself.
  void DrawContent(const CP_Region& area) override;
  void MoveTo(const CP_Point& point, uint8_t redraw) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // The adorners under and over the native control's own painting.
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Tells the listeners: the value message.
  void ActiveSpotClicked(int16_t part) override;
  // The button's check state.
  int16_t GetValue() override;
  // The window's title, at most 255 characters.
  std::string GetText() const override;
  // Nothing reaches the window when it already shows the text.
  void SetText(const std::string& text) override;

  // Takes the trait (one reference) and applies its font to the window.
  virtual void UseTextTrait(CP_TextTrait* trait);
  virtual void ReservedControlHook() {}

  HWND GetControlWindow() const { return fControlWindow; }
  int16_t GetControlKind() const { return fControlKind; }

 protected:
  const char* RuntimeClassName() const override { return "CP_PlatformControl"; }

  // The answer of the saved native procedure; 0 without one.
  LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Makes the native window of `windowClass` for the pane and subclasses it.
  HWND MakeControlWindow(const CP_Point& location, const CP_Size& size, const std::string& title,
                         const char* windowClass, uint32_t style);
  // After a stored control's fields were read: its place in the super-pane.
  void PlaceAfterReading();

  HWND fControlWindow = nullptr;
  int16_t fControlKind;
};
