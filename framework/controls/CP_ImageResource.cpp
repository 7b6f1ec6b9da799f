#include "CP_ImageResource.h"

#include "CP_Canvas.h"
#include "CP_Picture.h"
#include "CP_Region.h"

CP_ImageResource::CP_ImageResource(CP_View* superPane, const CP_PaneInfo& info, int16_t bitmapId,
                                   uint8_t flagA, uint8_t flagB)
    : CP_View(superPane, info), fBitmapId(bitmapId), fFlagA(flagA), fFlagB(flagB) {
  fPicture = new CP_Picture(bitmapId);
  MakeWindow(superPane, info.location, info.size);
}

CP_ImageResource::~CP_ImageResource() {
  if (fPicture) fPicture->RemoveReference();
}

// The bitmap fills the frame; a missing bitmap draws nothing.
void CP_ImageResource::DrawContent(const CP_Region&) {
  if (fPicture && fCanvas) fPicture->Draw(fCanvas.get(), GetLocalFrameRect());
}

LRESULT CP_ImageResource::HandlePaint(HWND window, WPARAM wParam, LPARAM) {
  PAINTSTRUCT paint = {};
  HDC dc = BeginPaint(window, &paint);
  if (IsVisible() && fCanvas) {
    fCanvas->AttachDC(wParam ? reinterpret_cast<HDC>(wParam) : dc);
    DrawContent(CP_Region(CP_Rect(paint.rcPaint)));
    fCanvas->DetachDC();
  }
  EndPaint(window, &paint);
  return 0;
}

LRESULT CP_ImageResource::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) return HandlePaint(window, wParam, lParam);
  return CallSavedWindowProc(window, message, wParam, lParam);
}
