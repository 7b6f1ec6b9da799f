#include "GH_TextDrawing.h"

#include "CP_Canvas.h"

void DrawStringAt(CP_Canvas* canvas, const std::string& text, int16_t x, int16_t y) {
  DrawCharsAt(canvas, text.data(), int16_t(text.size()), x, y);
}

void DrawCharsAt(CP_Canvas* canvas, const char* chars, int16_t length, int16_t x, int16_t y) {
  HDC dc = canvas->GetDC();
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  if (length > 0) TextOutA(dc, x, y - metrics.tmHeight, chars, length);
}

int16_t MeasureCharWidth(CP_Canvas* canvas, char character) {
  const UINT code = static_cast<unsigned char>(character);
  INT width = 0;
  GetCharWidthA(canvas->GetDC(), code, code, &width);
  return int16_t(width);
}

int16_t MeasureStringWidth(CP_Canvas* canvas, const std::string& text) {
  RECT r = {};
  DrawTextA(canvas->GetDC(), text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
  return int16_t(r.right - r.left);
}
