#include "GH_ColorPane.h"

#include "CP_Canvas.h"

namespace {

const CP_RGBColor kLineGrey(0x8888, 0x8888, 0x8888);

}  // namespace

GH_ColorPane::GH_ColorPane(CP_View* superPane, const CP_PaneInfo& info, const CP_RGBColor& color,
                           const CP_Region& region, CP_Pane* reference)
    : CP_View(superPane, info),
      fColor(color),
      fRegion(region),
      fReference(reference),
      fBandBrush(CreateSolidBrush(RGB(198, 198, 198))) {
  MakeWindow(superPane, info.location, info.size);
}

void GH_ColorPane::DrawContent(const CP_Region&) {
  HDC dc = fCanvas->GetDC();
  RECT reference = {};
  if (fReference) GetClientRect(fReference->GetHWND(), &reference);
  const RECT band = {0, 0, reference.right - reference.left, kBandHeight};
  FillRect(dc, &band, fBandBrush.Get());
  fCanvas->SetForegroundColor(kLineGrey);
  const int width = GetWidth();
  const int height = GetHeight();
  MoveToEx(dc, 0, 0, nullptr);
  LineTo(dc, width, 0);
  MoveToEx(dc, 0, height - 1, nullptr);
  LineTo(dc, width, height - 1);
}

LRESULT GH_ColorPane::HandlePaint(HWND window, WPARAM wParam, LPARAM) {
  CP_PaintScope paint(window, wParam);
  if (IsVisible()) {
    paint.AttachCanvas(fCanvas.get());
    // Selects the canvas's pen, so the lines take the grey.
    CP_PaneDCScope scope(this);
    DrawContent(CP_Region(paint.GetPaintRect()));
  }
  return 0;
}

LRESULT GH_ColorPane::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) return HandlePaint(window, wParam, lParam);
  return CallSavedWindowProc(window, message, wParam, lParam);
}
