#include "CP_Shape.h"

#include "CP_Canvas.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

void CP_ImgShape_Line::DrawLine(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
  HDC dc = fCanvas->GetDC();
  const int dx = x2 - x1;
  const int dy = y2 - y1;
  int endX = x2;
  int endY = y2;
  // LineTo leaves out the last pixel; one more step along the line puts it
  // back where the step lands on a pixel of the line.
  if (dx == 0 && dy == 0) {
    endX += 1;
  } else if (dy == 0) {
    endX += Sign(dx);
  } else if (dx == 0) {
    endY += Sign(dy);
  } else if (dx == dy || dx == -dy) {
    endX += Sign(dx);
    endY += Sign(dy);
  }
  const int offset = fCanvas->GetPen().GetWidth() / 2;
  MoveToEx(dc, x1 - offset, y1 - offset, nullptr);
  LineTo(dc, endX - offset, endY - offset);
  MoveToEx(dc, x2, y2, nullptr);
}
