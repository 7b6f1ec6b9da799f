#pragma once
// Rectangles and laid-out text drawn on a canvas. Drawing code makes one on
// the stack for each drawing step; the canvas must have a device context.
#include "CP_Shape.h"
#include "CP_TextLayout.h"

#include <cstdint>
#include <string>

class CP_Pattern;

class CP_ImgShape_Rect : public CP_ImageableShape {
 public:
  CP_ImgShape_Rect(CP_Canvas* canvas, const CP_Rect& bounds) : CP_ImageableShape(canvas, bounds) {}

  // Outlines the bounds in the pen's colour, the pen's width across and down.
  virtual void Frame();
  virtual void Paint();  // Fill, then Frame
  virtual void FillWithPattern(CP_Pattern& pattern);
  virtual void Fill();          // in the pen's colour
  virtual void FillWithBrush();  // with the canvas's current brush
  virtual void Invert();
};

class CP_ImgShape_Text : public CP_ImageableShape {
 public:
  // Horizontal alignments.
  static constexpr int16_t kLeft = 0;
  static constexpr int16_t kCentred = 1;
  static constexpr int16_t kRight = 2;
  static constexpr int16_t kJustified = -3;
  // Vertical placements; other values place at the top.
  static constexpr int16_t kTop = 0;
  static constexpr int16_t kMiddle = 4;
  static constexpr int16_t kBottom = 8;
  // The font decides the line height.
  static constexpr int16_t kFontLineHeight = -1;

  CP_ImgShape_Text(CP_Canvas* canvas, const CP_Rect& bounds, const std::string& text, int16_t lineHeight)
      : CP_ImageableShape(canvas, bounds), fText(text), fLineHeight(lineHeight) {}

  // The paragraph wrapped at spaces, from the top, the middle or the bottom;
  // drawing stops at the bottom edge. An empty text draws nothing.
  virtual void DrawWrapped(int16_t alignment, int16_t placement);
  virtual void SetTextAndDrawWrapped(const std::string& text, int16_t alignment, int16_t placement);
  // One line centred top to bottom, shortened with "..." to fit the width.
  virtual void DrawFitted(int16_t alignment, int16_t unused);
  virtual void SetTextAndDrawFitted(const std::string& text, int16_t alignment, int16_t unused);

  // The lines the wrapped text takes; raises the widest line met.
  int16_t CountLines();
  uint32_t GetWidestLine() const { return fWidestLine; }

  // What DrawFitted shows of `text` when `fit` of its characters fit.
  static std::string FittedText(const std::string& text, int32_t fit);

 private:
  CP_TextExtent Measure(const char* chars, int32_t count) const;
  CP_TextMeasure Measurer() const;
  void DrawLines(const std::string& text, int16_t alignment, int32_t y);
  int32_t FirstCharacterHeight() const;
  int32_t FontLineHeight() const;

  std::string fText;
  int16_t fLineHeight;
  uint32_t fWidestLine = 0;
};
