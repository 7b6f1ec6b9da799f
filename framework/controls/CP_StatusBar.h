#pragma once
// A status line on a native "msctls_statusbar32" window, with numbered
// parts and parts that the pane draws itself.
#include "CP_Pane.h"

#include <string>

class CP_M_Reanimatable;

class CP_StatusBar : public CP_Pane {
 public:
  // Attached, the bar follows the bottom (or top) edge of its super-pane;
  // otherwise it keeps exactly the given place and size.
  CP_StatusBar(CP_View* superPane, const CP_PaneInfo& info, bool attached, bool atBottom,
               bool sizeGrip);
  ~CP_StatusBar() override;

  // A stored bar: the pane's fields, then the four flags.
  static CP_M_Reanimatable* CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in);

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // An owner-drawn part: drawn by DrawOwnerPart on the item's DC.
  LRESULT HandleDrawItem(HWND window, WPARAM wParam, LPARAM lParam) override;

  // Parts count from 1. The rectangle is empty when the bar refuses.
  CP_Rect GetPartRect(int16_t part);
  // The right edge of each part; -1 reaches the bar's end.
  bool SetParts(const int32_t* rightEdges, int16_t count);
  // `style` is the bar's own drawing style (SBT_OWNERDRAW, the borders).
  bool SetPartText(const std::string& text, int16_t part, int16_t style);

  // Draws an owner-drawn part, counted from 0; nothing here.
  virtual void DrawOwnerPart(int16_t, const CP_Rect&) {}

  bool IsAttached() const { return fAttached != 0; }
  bool IsAtBottom() const { return fAtBottom != 0; }
  bool HasSizeGrip() const { return fSizeGrip != 0; }

 protected:
  const char* RuntimeClassName() const override { return "CP_StatusBar"; }

 private:
  struct Stored {};
  CP_StatusBar(CP_View* superPane, Stored);

  static CP_PaneInfo Placement(const CP_PaneInfo& info, bool attached, bool atBottom);
  void MakeBarWindow();

  uint8_t fAttached = 0;
  uint8_t fAtBottom = 0;
  uint8_t fSizeGrip = 0;
  uint8_t fReserved = 0;  // streamed only
};
