#pragma once
// A pane's drawing surface over a Windows device context: the drawing tools,
// the current colours and a nesting depth, so that drawing may begin several
// times while the tools are selected into the device context only once.
#include "CP_Font.h"
#include "CP_Pen.h"
#include "CP_RGBColor.h"
#include "CP_RefCounted.h"
#include "CP_Region.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Pane;

// Drawing defaults shared by windows: a canvas that begins drawing with an
// environment takes its foreground from the third colour and its background
// from the fourth. The two values and the first two colours are kept for
// the record's layout; no drawing reads them.
class CP_CanvasEnvironment : public CP_M_ReferenceCounted {
 public:
  CP_CanvasEnvironment() = default;

  int16_t GetFirstValue() const { return fFirstValue; }
  int16_t GetSecondValue() const { return fSecondValue; }
  const CP_RGBColor& GetFirstColor() const { return fFirstColor; }
  const CP_RGBColor& GetSecondColor() const { return fSecondColor; }
  const CP_RGBColor& GetThirdColor() const { return fThirdColor; }
  void SetThirdColor(const CP_RGBColor& color) { fThirdColor = color; }
  // Also the colour a pane's window is erased with.
  const CP_RGBColor& GetBackgroundColor() const { return fBackgroundColor; }
  void SetBackgroundColor(const CP_RGBColor& color) { fBackgroundColor = color; }

 private:
  int16_t fFirstValue = -1;
  int16_t fSecondValue = 1;
  CP_RGBColor fFirstColor = CP_RGBColor::Black;
  CP_RGBColor fSecondColor = CP_RGBColor::White;
  CP_RGBColor fThirdColor = CP_RGBColor::Black;
  CP_RGBColor fBackgroundColor = CP_RGBColor::White;
};

class CP_Canvas {
 public:
  // Background modes.
  static constexpr int16_t kTransparent = 1;
  static constexpr int16_t kOpaque = 2;

  CP_Canvas();
  CP_Canvas(const CP_Canvas&) = delete;
  CP_Canvas& operator=(const CP_Canvas&) = delete;
  // Ends any drawing still open, so no tool is deleted while selected.
  virtual ~CP_Canvas();

  // Without a valid device context the colour operations only keep the
  // colour; pixels are not touched.
  virtual void SetBackgroundColor(const CP_RGBColor& color);
  virtual void SetForegroundColor(const CP_RGBColor& color);
  virtual void SetPixel(const CP_RGBColor& color, int16_t x, int16_t y);
  virtual CP_RGBColor GetPixel(int16_t x, int16_t y) const;
  // The outermost call sets the origin, takes the colours from the pane or
  // the environment and selects pen, brush and font.
  virtual void BeginDrawing(CP_Pane* pane, CP_CanvasEnvironment* environment);
  // The device context is borrowed, never released by the canvas.
  virtual void AttachDC(HDC dc);

  void EndDrawing();
  void DetachDC();
  void SetBackgroundMode(int16_t mode);

  HDC GetDC() const { return fDC; }
  bool HasValidDC() const { return fDCValid == 1 && fDC != nullptr; }
  int16_t GetDrawingDepth() const { return fDepth; }

  CP_Clip& GetClip() { return fClip; }
  CP_Pen& GetPen() { return fPen; }
  CP_Brush& GetBrush() { return fBrush; }
  CP_Font& GetFont() { return fFont; }
  const CP_RGBColor& GetForegroundColor() const { return fForeground; }
  const CP_RGBColor& GetBackgroundColor() const { return fBackground; }

 private:
  HDC fDC = nullptr;
  uint8_t fDCValid = 0;
  CP_Clip fClip;
  CP_Pen fPen;
  CP_Brush fBrush;
  CP_Font fFont;
  CP_RGBColor fForeground = CP_RGBColor::Black;
  CP_RGBColor fBackground = CP_RGBColor::White;
  int16_t fDepth = 0;
};

// Draws into a pane outside a paint message: gets the window's device
// context, attaches it to the pane's canvas and begins drawing with the
// pane's environment; undoes all of it when it ends. Inside another scope on
// the same canvas it borrows the device context already attached, so the
// outer scope keeps drawing and deselects the tools itself.
class CP_ST_DCCanvas {
 public:
  explicit CP_ST_DCCanvas(CP_Pane* pane);
  CP_ST_DCCanvas(const CP_ST_DCCanvas&) = delete;
  CP_ST_DCCanvas& operator=(const CP_ST_DCCanvas&) = delete;
  virtual ~CP_ST_DCCanvas();

  CP_Canvas* GetCanvas() const { return fCanvas; }

 private:
  CP_Canvas* fCanvas;
  HWND fWindow = nullptr;
  HDC fDC = nullptr;  // only when this scope got it
};

// Readies a pane's canvas for drawing into the pane's window, borrowing the
// canvas's device context when it has one; begins drawing without an
// environment.
class CP_PaneDCScope {
 public:
  explicit CP_PaneDCScope(CP_Pane* pane);
  CP_PaneDCScope(const CP_PaneDCScope&) = delete;
  CP_PaneDCScope& operator=(const CP_PaneDCScope&) = delete;
  ~CP_PaneDCScope();

 private:
  HDC fDC = nullptr;  // only when this scope got it
  HWND fWindow = nullptr;
  CP_Canvas* fCanvas;
};

// One WM_PAINT of a pane's window: BeginPaint, the canvas attached to the
// paint DC (or to the DC the message brought in wParam), and on the way
// out, also when drawing threw, the canvas detached before EndPaint, so
// that no later drawing borrows a DC that Windows has taken back.
class CP_PaintScope {
 public:
  CP_PaintScope(HWND window, WPARAM wParam);
  CP_PaintScope(const CP_PaintScope&) = delete;
  CP_PaintScope& operator=(const CP_PaintScope&) = delete;
  ~CP_PaintScope();

  // Attaches the canvas for the rest of the scope.
  void AttachCanvas(CP_Canvas* canvas);
  // What is to be painted, in the window's client coordinates.
  CP_Rect GetPaintRect() const { return CP_Rect(fPaint.rcPaint); }

 private:
  HWND fWindow;
  PAINTSTRUCT fPaint = {};
  HDC fPaintDC = nullptr;
  HDC fGivenDC = nullptr;
  CP_Canvas* fCanvas = nullptr;
};

// Keeps the background colour of a canvas's device context and puts it back.
class CP_CanvasBkColorSaver {
 public:
  explicit CP_CanvasBkColorSaver(CP_Canvas* canvas);
  CP_CanvasBkColorSaver(const CP_CanvasBkColorSaver&) = delete;
  CP_CanvasBkColorSaver& operator=(const CP_CanvasBkColorSaver&) = delete;
  ~CP_CanvasBkColorSaver();

 private:
  CP_Canvas* fCanvas;
  COLORREF fSaved = 0;
};

// Marks a drawing step that keeps the canvas's state; it changes nothing in
// the device context.
class CP_CanvasStateSaver {
 public:
  explicit CP_CanvasStateSaver(CP_Canvas*) {}
  CP_CanvasStateSaver(const CP_CanvasStateSaver&) = delete;
  CP_CanvasStateSaver& operator=(const CP_CanvasStateSaver&) = delete;
};
