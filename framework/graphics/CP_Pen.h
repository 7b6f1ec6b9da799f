#pragma once
// The drawing tools of a canvas. A pen or brush keeps its settings in the
// framework's terms and exists as a GDI object only while it is selected
// into a canvas with a device context; every change makes a new one.
#include "CP_RGBColor.h"
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Canvas;

class CP_Pen : public CP_M_ReferenceCounted {
 public:
  CP_Pen() = default;
  ~CP_Pen() override;

  void SetColor(const CP_RGBColor& color);
  void SetWidth(int16_t width);
  const CP_RGBColor& GetColor() const { return fColor; }
  int16_t GetWidth() const { return fWidth; }
  int16_t GetStyle() const { return fStyle; }

  void SelectInto(CP_Canvas* canvas);
  // Puts back the pen it replaced, then deletes its own.
  void Deselect();
  // Only with a canvas that has a device context. The old pen is deleted
  // only after the pen it replaced is back in the device context.
  void RecreatePen();

  HPEN GetHandle() const { return fPen; }

 private:
  CP_Canvas* fCanvas = nullptr;
  CP_RGBColor fColor;
  int16_t fWidth = 1;
  HPEN fPen = nullptr;
  HGDIOBJ fPrevious = nullptr;
  int16_t fStyle = PS_INSIDEFRAME;
};

class CP_Brush {
 public:
  CP_Brush() = default;
  CP_Brush(const CP_Brush&) = delete;
  CP_Brush& operator=(const CP_Brush&) = delete;
  virtual ~CP_Brush();

  // Makes a new brush at once when a canvas with a device context is set.
  void SetColor(const CP_RGBColor& color);
  // The colour of the brush in use, each 8-bit channel repeated (x 257);
  // without one, the set colour widened the same way.
  CP_RGBColor GetColor() const;
  // A pattern brush from this bitmap (not owned) instead of a solid one.
  void SetPatternBitmap(HBITMAP bitmap);

  void AttachCanvas(CP_Canvas* canvas) { fCanvas = canvas; }
  void SelectInto(CP_Canvas* canvas);
  void Deselect();
  void RecreateBrush();

  HBRUSH GetHandle() const { return fBrush; }

 private:
  CP_Canvas* fCanvas = nullptr;
  CP_RGBColor fColor = CP_RGBColor::White;
  HBRUSH fBrush = nullptr;
  HGDIOBJ fPrevious = nullptr;
  HBITMAP fPattern = nullptr;
};

// A pattern brush from a bitmap resource of the program; null when the
// bitmap is missing.
class CP_Pattern {
 public:
  explicit CP_Pattern(int16_t bitmapId);
  CP_Pattern(const CP_Pattern&) = delete;
  CP_Pattern& operator=(const CP_Pattern&) = delete;
  ~CP_Pattern();

  HBRUSH GetHandle() const { return fBrush; }

 private:
  HBRUSH fBrush = nullptr;
};
