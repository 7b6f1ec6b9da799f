#include "CP_Pen.h"

#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_Utilities.h"

namespace {

HDC ValidDC(const CP_Canvas* canvas) { return canvas && canvas->HasValidDC() ? canvas->GetDC() : nullptr; }

uint16_t Widen(BYTE channel) { return uint16_t(channel * 257); }

}  // namespace

CP_Pen::~CP_Pen() {
  if (!fPen) return;
  if (HDC dc = ValidDC(fCanvas); dc && fPrevious) SelectObject(dc, fPrevious);
  DeleteGdiObject(fPen);
}

void CP_Pen::SetColor(const CP_RGBColor& color) {
  fColor = color;
  RecreatePen();
}

void CP_Pen::SetWidth(int16_t width) {
  fWidth = width;
  RecreatePen();
}

void CP_Pen::SelectInto(CP_Canvas* canvas) {
  fCanvas = canvas;
  RecreatePen();
}

void CP_Pen::Deselect() {
  HDC dc = ValidDC(fCanvas);
  if (dc && fPrevious) SelectObject(dc, fPrevious);
  if (fPen) DeleteGdiObject(fPen);
  fPen = nullptr;
  fPrevious = nullptr;
  fCanvas = nullptr;
}

void CP_Pen::RecreatePen() {
  HDC dc = ValidDC(fCanvas);
  if (!dc) return;
  if (fPen) {
    SelectObject(dc, fPrevious);
    DeleteGdiObject(fPen);
    fPen = nullptr;
  }
  fPen = CreatePenHandle(fStyle, fWidth, fColor.ToPaletteColorRef());
  ThrowIfNull(fPen, "CP_Pen", 252);
  fPrevious = SelectObject(dc, fPen);
}

CP_Brush::~CP_Brush() {
  if (!fBrush) return;
  if (HDC dc = ValidDC(fCanvas); dc && fPrevious) SelectObject(dc, fPrevious);
  DeleteGdiObject(fBrush);
}

void CP_Brush::SetColor(const CP_RGBColor& color) {
  fColor = color;
  if (fCanvas) RecreateBrush();
}

CP_RGBColor CP_Brush::GetColor() const {
  LOGBRUSH lb = {};
  if (fBrush && ::GetObjectA(fBrush, sizeof lb, &lb) == sizeof lb)
    return CP_RGBColor(Widen(GetRValue(lb.lbColor)), Widen(GetGValue(lb.lbColor)), Widen(GetBValue(lb.lbColor)));
  return CP_RGBColor(Widen(BYTE(fColor.GetRed() >> 8)), Widen(BYTE(fColor.GetGreen() >> 8)),
                     Widen(BYTE(fColor.GetBlue() >> 8)));
}

void CP_Brush::SetPatternBitmap(HBITMAP bitmap) {
  fPattern = bitmap;
  if (fCanvas) RecreateBrush();
}

void CP_Brush::SelectInto(CP_Canvas* canvas) {
  fCanvas = canvas;
  RecreateBrush();
}

void CP_Brush::Deselect() {
  HDC dc = ValidDC(fCanvas);
  if (dc && fPrevious) SelectObject(dc, fPrevious);
  if (fBrush) DeleteGdiObject(fBrush);
  fBrush = nullptr;
  fPrevious = nullptr;
  fCanvas = nullptr;
}

void CP_Brush::RecreateBrush() {
  HDC dc = ValidDC(fCanvas);
  if (!dc) return;
  if (fBrush) {
    SelectObject(dc, fPrevious);
    DeleteGdiObject(fBrush);
    fBrush = nullptr;
  }
  fBrush = fPattern ? CreatePatternBrushHandle(fPattern) : CreateSolidBrushHandle(fColor.ToPaletteColorRef());
  ThrowIfNull(fBrush, "CP_Brush", 233);
  fPrevious = SelectObject(dc, fBrush);
}

CP_Pattern::CP_Pattern(int16_t bitmapId) {
  HBITMAP bitmap = LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(bitmapId));
  if (!bitmap) return;
  fBrush = CreatePatternBrush(bitmap);
  // The brush keeps its own copy of the pattern.
  DeleteObject(bitmap);
}

CP_Pattern::~CP_Pattern() {
  if (fBrush) DeleteObject(fBrush);
}
