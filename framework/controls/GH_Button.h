#pragma once
// The product's own push button: a control that draws a flat push-button
// frame and a one-line label placed by alignment values, and, with a pop-up
// menu attached, a small triangle in its lower right corner. Pressing such a
// button opens the menu; the chosen item's position becomes the value.
#include "CP_Control.h"

#include <cstdint>
#include <string>

class CP_Menu;

class GH_Button : public CP_Control {
 public:
  // Label alignments: the Windows DT_ values.
  static constexpr int16_t kAlignLeft = 0;
  static constexpr int16_t kAlignCentre = 1;
  static constexpr int16_t kAlignRight = 2;
  static constexpr int16_t kAlignTop = 0;
  static constexpr int16_t kAlignMiddle = 4;
  static constexpr int16_t kAlignBottom = 8;
  // Arrow directions.
  static constexpr int16_t kArrowRight = 0;
  static constexpr int16_t kArrowDown = 1;
  // Inset of the label area from the frame.
  static constexpr int16_t kInset = 5;

  GH_Button(CP_View* superPane, const CP_PaneInfo& info, const std::string& label, int16_t horizontal,
            int16_t vertical, int16_t margin, int16_t value, int16_t minimum, int16_t maximum);
  ~GH_Button() override;

  // The control's record, then arrow direction, arrow size, menu id and the
  // label's two alignments and margin, 16-bit each.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  // Neither takes the focus nor redraws.
  void ActivateOwn() override {}
  void DeactivateOwn() override {}
  void EnableOwn() override;
  void DisableOwn() override;
  void DrawContent(const CP_Region& area) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  // A menu command sets the value to the chosen item's position.
  LRESULT HandleCommandMessage(HWND window, WPARAM wParam, LPARAM lParam) override;

  // The press logic; opens the pop-up menu when one is attached.
  int16_t FindActiveSpot(const CP_Point& point) override;
  // Releases the button and broadcasts when released inside.
  void ActiveSpotReleased(const CP_Point& point) override;

  // Holds one reference to the menu; a menu it replaces is given back. With
  // enableAll exactly 1 every item of the menu is enabled.
  virtual void SetPopupMenu(CP_Menu* menu, int16_t direction, int16_t size, uint8_t enableAll);

  bool HasPopupMenu() const { return fMenu != nullptr; }
  bool IsArrowSideways() const { return fArrowDirection == kArrowRight; }
  CP_Menu* GetPopupMenu() const { return fMenu; }
  int16_t GetMenuId() const { return fMenuId; }
  int16_t IsPushed() const { return fPushed; }
  const CP_Rect& GetLabelRect() const { return fLabelRect; }
  const CP_Rect& GetArrowRect() const { return fArrowRect; }

  // Places the label by the font's line height, the text's width (at most
  // the inner width), the alignments and the margin.
  void LayOutLabel();

 protected:
  const char* RuntimeClassName() const override { return "GH_Button"; }

  // The press logic on one flag (pushed, or the picture button's hover).
  int16_t TrackSpot(const CP_Point& point, int16_t& flag);
  void DrawPushFrame();
  void DrawLabel();
  void DrawPopupArrow();
  void DrawFocusFrame();
  void ShowPopupMenu();
  bool LooksAvailable() const { return IsActive() && IsEnabled(); }
  // The pane's text trait, or the standard label trait.
  void ApplyLabelFont();

  int16_t fPushed = 0;
  CP_Menu* fMenu = nullptr;  // counted
  int16_t fMenuId = -1;
  CP_Rect fArrowRect;
  int16_t fArrowDirection = kArrowDown;
  int16_t fArrowSize = 1;
  CP_Rect fLabelRect;
  int16_t fHorizontal;
  int16_t fVertical;
  int16_t fMargin;

 private:
  void LayOutArrow();
};
