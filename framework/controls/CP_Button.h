#pragma once
// The framework's own drawn buttons: a push button with a label placed by
// two alignments and a margin, an icon button and a picture button that put
// their image in the frame and the label beside it, and the disclosure
// triangle that opens and closes a part of a window.
#include "CP_Broadcaster.h"
#include "CP_Control.h"

#include <cstdint>
#include <string>

class CP_Icon;
class CP_Menu;
class CP_Picture;

class CP_Button : public CP_Control {
 public:
  // Label alignments (the DT_ values) and image placements.
  static constexpr int16_t kAlignLeft = 0;
  static constexpr int16_t kAlignCentre = 1;
  static constexpr int16_t kAlignRight = 2;
  static constexpr int16_t kAlignTop = 0;
  static constexpr int16_t kAlignMiddle = 4;
  static constexpr int16_t kAlignBottom = 8;
  static constexpr int16_t kPlaceStart = 0;
  static constexpr int16_t kPlaceCentre = 1;
  static constexpr int16_t kPlaceEnd = 2;
  // Inset of the label and image area from the frame.
  static constexpr int16_t kInset = 3;

  CP_Button(CP_View* superPane, const CP_PaneInfo& info, const std::string& label, int16_t horizontal,
            int16_t vertical, int16_t margin);
  ~CP_Button() override;

  void DrawContent(const CP_Region& area) override;
  // Pressed while the mouse is held inside; a release inside broadcasts.
  int16_t FindActiveSpot(const CP_Point& point) override;
  void ActiveSpotReleased(const CP_Point& point) override;

  void LayoutLabel();
  // The whole text's width on the pane's canvas; 0 when it cannot be
  // measured.
  int32_t GetLabelTextWidth();
  bool HasSideElement() const { return fSideElement != nullptr; }
  // A pop-up menu marked by a small triangle in `place`, at the side of the
  // image; the button holds one reference. Lay the image out afterwards.
  void SetSideElement(CP_Menu* menu, const CP_Rect& place);

  const CP_Rect& GetLabelRect() const { return fLabelRect; }
  const CP_Rect& GetSideRect() const { return fSideRect; }
  bool IsPushed() const { return fPushed != 0; }

 protected:
  const char* RuntimeClassName() const override { return "CP_Button"; }

  virtual void DrawImage() {}
  CP_Rect InnerRect() const;
  // The image rectangle for an image of this size, and the label moved
  // beside it.
  CP_Rect PlaceImage(int32_t width, int32_t height, int16_t horizontal, int16_t vertical);
  void ApplyLabelFont();

  CP_Menu* fSideElement = nullptr;  // counted
  CP_Rect fSideRect;
  CP_Rect fLabelRect;
  int16_t fHorizontal;
  int16_t fVertical;
  int16_t fMargin;
  int16_t fPushed = 0;
};

class CP_IconButton : public CP_Button {
 public:
  // Holds one reference to the icon, which may be null.
  CP_IconButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& label, int16_t horizontal,
                int16_t vertical, int16_t margin, CP_Icon* icon, int16_t iconHorizontal, int16_t iconVertical);
  ~CP_IconButton() override;

  void LayoutIcon(CP_Icon* icon);
  const CP_Rect& GetImageRect() const { return fImageRect; }

 protected:
  const char* RuntimeClassName() const override { return "CP_IconButton"; }
  void DrawImage() override;

 private:
  CP_Icon* fIcon;
  int16_t fImageHorizontal;
  int16_t fImageVertical;
  CP_Rect fImageRect;
};

class CP_PictureButton : public CP_Button {
 public:
  // The picture of bitmap resource `pictureId`; -1 for none.
  CP_PictureButton(CP_View* superPane, const CP_PaneInfo& info, const std::string& label, int16_t horizontal,
                   int16_t vertical, int16_t margin, int16_t pictureId, int16_t pictureHorizontal,
                   int16_t pictureVertical);
  ~CP_PictureButton() override;

  void LayoutPicture(CP_Picture* picture);
  const CP_Rect& GetImageRect() const { return fImageRect; }

 protected:
  const char* RuntimeClassName() const override { return "CP_PictureButton"; }
  void DrawImage() override;

 private:
  CP_Picture* fPicture = nullptr;  // counted
  int16_t fImageHorizontal;
  int16_t fImageVertical;
  CP_Rect fImageRect;
};

// A small triangle pointing right while closed and down while open; a click
// on it flips the state and broadcasts it (value 1 open, 0 closed).
class CP_DisclosureTriangle : public CP_Pane, public CP_M_Broadcaster, public CP_M_Listener {
 public:
  CP_DisclosureTriangle(CP_View* superPane, const CP_PaneInfo& info, bool open);

  // Mouse moves, presses and releases go to the triangle's own operations.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawContent(const CP_Region& area) override;
  void ReceiveBroadcast(CP_Message&) override {}

  bool IsOpen() const { return fOpen; }
  void SetOpen(bool open);

 protected:
  const char* RuntimeClassName() const override { return "CP_DisclosureTriangle"; }

  virtual LRESULT TriangleMouseMove(HWND window, WPARAM wParam, LPARAM lParam);
  virtual LRESULT TriangleMouseDown(HWND window, WPARAM wParam, LPARAM lParam);
  virtual LRESULT TriangleMouseUp(HWND window, WPARAM wParam, LPARAM lParam);

 private:
  bool fOpen;
  bool fPressed = false;
};
