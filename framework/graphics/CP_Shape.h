#pragma once
// Simple shapes drawn on a canvas.
#include "CP_Geometry.h"
#include "CP_RefCounted.h"

#include <cstdint>

class CP_Canvas;

class CP_ImageableShape : public CP_M_ReferenceCounted {
 public:
  // The canvas is borrowed: callers pass the pane's canvas.
  explicit CP_ImageableShape(CP_Canvas* canvas) : fCanvas(canvas) {}
  CP_ImageableShape(CP_Canvas* canvas, const CP_Rect& bounds) : fCanvas(canvas), fBounds(bounds) {}

  CP_Canvas* GetCanvas() const { return fCanvas; }
  const CP_Rect& GetBounds() const { return fBounds; }

 protected:
  CP_Canvas* fCanvas;
  CP_Rect fBounds;
};

// Straight lines that include their end point, with thick pens hung by half
// their width up and to the left of the nominal coordinates.
class CP_ImgShape_Line : public CP_ImageableShape {
 public:
  explicit CP_ImgShape_Line(CP_Canvas* canvas) : CP_ImageableShape(canvas) {}

  // x is horizontal, y vertical. The current position ends at (x2, y2).
  void DrawLine(int16_t x1, int16_t y1, int16_t x2, int16_t y2);
};
