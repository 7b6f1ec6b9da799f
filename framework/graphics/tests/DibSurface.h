#pragma once
// A memory device context drawing into a 32-bit top-down DIB section, whose
// pixels the tests read back.
#include "CP_Win.h"

#include <cstdint>

namespace kxtest {

class DibSurface {
 public:
  DibSurface(int width, int height, COLORREF fill = RGB(255, 255, 255)) : fWidth(width), fHeight(height) {
    fDC = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    fBitmap = CreateDIBSection(fDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&fBits), nullptr, 0);
    fOld = SelectObject(fDC, fBitmap);
    Fill(fill);
  }
  ~DibSurface() {
    SelectObject(fDC, fOld);
    DeleteObject(fBitmap);
    DeleteDC(fDC);
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  HDC DC() const { return fDC; }

  void Fill(COLORREF color) {
    GdiFlush();
    for (int i = 0; i < fWidth * fHeight; ++i)
      fBits[i] = uint32_t(GetRValue(color)) << 16 | uint32_t(GetGValue(color)) << 8 | GetBValue(color);
  }

  // The pixel as a COLORREF; white outside the surface.
  COLORREF Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= fWidth || y >= fHeight) return RGB(255, 255, 255);
    GdiFlush();
    const uint32_t p = fBits[y * fWidth + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int fWidth;
  int fHeight;
  HDC fDC = nullptr;
  HBITMAP fBitmap = nullptr;
  HGDIOBJ fOld = nullptr;
  uint32_t* fBits = nullptr;
};

}  // namespace kxtest
