#include "CP_Canvas.h"

#include "CP_Pane.h"
#include "CP_Utilities.h"
#include "CP_View.h"

CP_Canvas::CP_Canvas() {
  fBrush.AttachCanvas(this);
  fFont.AttachCanvas(this);
}

CP_Canvas::~CP_Canvas() {
  if (fDepth > 0) {
    fDepth = 1;
    EndDrawing();
  }
}

void CP_Canvas::AttachDC(HDC dc) {
  fDC = dc;
  fDCValid = 1;
}

void CP_Canvas::DetachDC() {
  fDC = nullptr;
  fDCValid = 0;
}

void CP_Canvas::SetBackgroundColor(const CP_RGBColor& color) {
  fBackground = color;
  if (!HasValidDC()) return;
  SetBkColor(fDC, color.ToPaletteColorRef());
  fBrush.SetColor(color);
}

void CP_Canvas::SetForegroundColor(const CP_RGBColor& color) {
  fForeground = color;
  if (!HasValidDC()) return;
  fPen.SetColor(color);
  SetTextColor(fDC, color.ToPaletteColorRef());
}

void CP_Canvas::SetPixel(const CP_RGBColor& color, int16_t x, int16_t y) {
  if (HasValidDC()) SetPixelV(fDC, x, y, color.ToPaletteColorRef());
}

CP_RGBColor CP_Canvas::GetPixel(int16_t x, int16_t y) const { return CP_RGBColor(::GetPixel(fDC, x, y)); }

void CP_Canvas::SetBackgroundMode(int16_t mode) {
  if (fDC) SetBkMode(fDC, mode);
}

void CP_Canvas::BeginDrawing(CP_Pane* pane, CP_CanvasEnvironment* environment) {
  if (++fDepth > 1) return;
  // A view draws its content in content coordinates.
  if (HasValidDC()) {
    const auto* view = dynamic_cast<const CP_View*>(pane);
    const CP_Point origin = view ? view->GetScrollPosition() : CP_Point();
    SetWindowOrgEx(fDC, origin.h, origin.v, nullptr);
  }
  if (environment) {
    SetBackgroundColor(environment->GetBackgroundColor());
    SetForegroundColor(environment->GetThirdColor());
  } else {
    if (pane) SetBackgroundColor(pane->GetBackgroundColor());
    SetForegroundColor(CP_RGBColor::Black);
  }
  fPen.SelectInto(this);
  fBrush.SelectInto(this);
  fFont.SelectInto(this);
}

void CP_Canvas::EndDrawing() {
  if (fDepth <= 0) return;
  if (--fDepth > 0) return;
  fPen.Deselect();
  fBrush.Deselect();
  fFont.Deselect();
}

CP_ST_DCCanvas::CP_ST_DCCanvas(CP_Pane* pane) : fCanvas(pane->GetCanvas()) {
  if (!fCanvas->HasValidDC()) {
    fWindow = pane->GetHWND();
    fDC = AcquireWindowDC(fWindow);
    fCanvas->AttachDC(fDC);
  }
  fCanvas->BeginDrawing(pane, pane->GetEnvironment());
}

CP_ST_DCCanvas::~CP_ST_DCCanvas() {
  fCanvas->EndDrawing();
  if (fDC) {
    ReleaseWindowDC(fWindow, fDC);
    fCanvas->DetachDC();
  }
}

CP_PaneDCScope::CP_PaneDCScope(CP_Pane* pane) : fCanvas(pane->GetCanvas()) {
  if (!fCanvas->GetDC()) {
    fWindow = pane->GetHWND();
    fDC = GetDC(fWindow);
    fCanvas->AttachDC(fDC);
  }
  fCanvas->BeginDrawing(pane, nullptr);
}

CP_PaneDCScope::~CP_PaneDCScope() {
  fCanvas->EndDrawing();
  if (fDC) {
    ReleaseDC(fWindow, fDC);
    fCanvas->DetachDC();
  }
}

CP_PaintScope::CP_PaintScope(HWND window, WPARAM wParam)
    : fWindow(window), fGivenDC(reinterpret_cast<HDC>(wParam)) {
  fPaintDC = BeginPaint(fWindow, &fPaint);
}

CP_PaintScope::~CP_PaintScope() {
  if (fCanvas) fCanvas->DetachDC();
  if (fPaintDC) EndPaint(fWindow, &fPaint);
}

void CP_PaintScope::AttachCanvas(CP_Canvas* canvas) {
  fCanvas = canvas;
  if (fCanvas) fCanvas->AttachDC(fGivenDC ? fGivenDC : fPaintDC);
}

CP_CanvasBkColorSaver::CP_CanvasBkColorSaver(CP_Canvas* canvas) : fCanvas(canvas) {
  if (fCanvas) fSaved = GetBkColor(fCanvas->GetDC());
}

CP_CanvasBkColorSaver::~CP_CanvasBkColorSaver() {
  if (fCanvas) SetBkColor(fCanvas->GetDC(), fSaved);
}
