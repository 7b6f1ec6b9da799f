#include "CP_Picture.h"

#include "CP_Canvas.h"
#include "CP_Utilities.h"

CP_Picture::CP_Picture(int16_t bitmapId) : fBitmapId(bitmapId) { Load(); }

CP_Picture::~CP_Picture() {
  if (fBitmap) DeleteGdiObject(fBitmap);
  if (fSecondHandle) DeleteGdiObject(fSecondHandle);
}

void CP_Picture::AdoptSecondHandle(HGDIOBJ handle) {
  if (fSecondHandle && fSecondHandle != handle) DeleteGdiObject(fSecondHandle);
  fSecondHandle = handle;
}

void CP_Picture::Load() {
  fBitmap = LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(fBitmapId));
  if (!fBitmap) return;
  BITMAP info = {};
  ::GetObjectA(fBitmap, sizeof info, &info);
  fWidth = int16_t(info.bmWidth);
  fHeight = int16_t(info.bmHeight);
}

void CP_Picture::Draw(CP_Canvas* canvas, const CP_Rect& rect) {
  if (!fBitmap) Load();
  if (!fBitmap || !canvas) return;
  HDC target = canvas->GetDC();
  const CP_Rect to = rect == gEmptyRect ? CP_Rect(0, 0, fWidth, fHeight) : rect;
  const int width = to.right - to.left;
  const int height = to.bottom - to.top;

  HDC memory = CreateMemoryDC(target);
  if (!memory) return;
  HGDIOBJ old = SelectObject(memory, fBitmap);
  if (width == fWidth && height == fHeight) {
    BitBlt(target, to.left, to.top, width, height, memory, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, to.left, to.top, width, height, memory, 0, 0, fWidth, fHeight, SRCCOPY);
  }
  SelectObject(memory, old);
  DeleteMemoryDC(memory);
}
