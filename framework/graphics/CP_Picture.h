#pragma once
// A bitmap from the program's resources that draws itself into a canvas.
// A missing bitmap draws nothing.
#include "CP_Geometry.h"
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Canvas;

class CP_Picture : public CP_M_ReferenceCounted {
 public:
  explicit CP_Picture(int16_t bitmapId);
  ~CP_Picture() override;

  // The whole bitmap into the rectangle: copied when the sizes agree,
  // stretched otherwise. The empty rectangle means the picture's own size at
  // (0, 0).
  void Draw(CP_Canvas* canvas, const CP_Rect& rect);
  void Draw(CP_Canvas* canvas, const RECT& rect) { Draw(canvas, CP_Rect(rect)); }

  int16_t GetBitmapId() const { return fBitmapId; }
  int16_t GetWidth() const { return fWidth; }
  int16_t GetHeight() const { return fHeight; }
  HBITMAP GetBitmap() const { return fBitmap; }
  // A further GDI object the picture owns from now on; a former one is
  // deleted. Null means none.
  HGDIOBJ GetSecondHandle() const { return fSecondHandle; }
  void AdoptSecondHandle(HGDIOBJ handle);

 private:
  void Load();

  int16_t fBitmapId;
  int16_t fWidth = 0;
  int16_t fHeight = 0;
  HBITMAP fBitmap = nullptr;
  HGDIOBJ fSecondHandle = nullptr;
};
