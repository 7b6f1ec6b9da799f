#pragma once
// The two halves of an image view's work that need no view: the palette
// built from a bitmap resource's own colour table, and the drawing of the
// bitmap through it.
#include "CP_Geometry.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Canvas;

class CP_ImagePalette {
 public:
  // A missing bitmap resource gives no palette and no extent. A resource
  // that is found but cannot be loaded throws CP_MemoryException.
  explicit CP_ImagePalette(int16_t bitmapId);
  CP_ImagePalette(const CP_ImagePalette&) = delete;
  CP_ImagePalette& operator=(const CP_ImagePalette&) = delete;
  ~CP_ImagePalette();

  bool HasBitmap() const { return fHasBitmap; }
  HPALETTE GetHandle() const { return fPalette; }
  // Colours-used of the header, else 2, 16 or 256 for 1, 4 or 8 bits a
  // pixel, 0 for deeper bitmaps; never more than the resource holds.
  int16_t CountEntries() const { return fCount; }
  // The bitmap's width and height from its header.
  const CP_Size& GetExtent() const { return fExtent; }

 private:
  bool fHasBitmap = false;
  HPALETTE fPalette = nullptr;
  int16_t fCount = 0;
  CP_Size fExtent;
};

// Stretches the whole bitmap resource to (0, 0, width, height) of the
// canvas with COLORONCOLOR, through the palette when one is given. A missing
// bitmap draws nothing.
void DrawImageResource(CP_Canvas* canvas, int16_t bitmapId, HPALETTE palette, int16_t width, int16_t height);
