#pragma once
// One common-controls image list of fixed-size images, filled from the
// program's bitmap and icon resources or from a "CPil" resource that names a
// set of bitmaps. Image numbers are 1-based here; the Windows list counts
// from 0.
#include "CP_Geometry.h"
#include "CP_RGBColor.h"
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CP_Canvas;

// The fields of a "CPil" resource: signed little-endian 16-bit words.
struct CP_ImageListResource {
  int16_t width = 0;
  int16_t height = 0;
  int16_t masked = 0;  // 1: every bitmap is added with the mask colour
  CP_RGBColor maskColor;
  int16_t maskFlag = 0;  // passed along with each masked bitmap; no effect
  int16_t value = 0;     // kept in the list, read by nothing
  std::vector<uint16_t> bitmapIds;
};

enum class CP_ImageListResourceError { kNone, kTruncatedHeader, kBadCount, kTruncatedIds };

// Reads the resource's bytes; the count of bitmap ids must fit in the bytes
// that follow the header. Bytes after the last id are ignored.
CP_ImageListResourceError ParseImageListResource(const uint8_t* bytes, size_t size,
                                                 CP_ImageListResource& out);

class CP_ImageList : public CP_M_ReferenceCounted {
 public:
  // A width or height below 1 is made 1 for the list itself; the fields keep
  // what was asked.
  CP_ImageList(int16_t initialCount, int16_t width, int16_t height, uint8_t masked);
  ~CP_ImageList() override;

  // Each add counts, whether Windows took the image or not.
  void AddBitmap(uint16_t bitmapId);
  void AddBitmapMasked(uint16_t bitmapId, const CP_RGBColor& maskColor, uint8_t flag);
  void AddIcon(uint16_t iconId);
  int16_t CountImages() const;
  // Empties the list.
  void SetImageSize(int16_t width, int16_t height);
  // Draws image `image` (from 1) with its top-left corner at the point; an
  // image below 1 draws nothing.
  void Draw(CP_Canvas* canvas, int16_t image, const CP_Point& point, uint8_t selected);
  // Refills the list from a "CPil" resource. A missing or damaged resource
  // leaves the list as it was and answers false.
  bool LoadFromResource(uint16_t resourceId);

  HIMAGELIST GetHandle() const { return fHandle; }
  int16_t GetWidth() const { return fWidth; }
  int16_t GetHeight() const { return fHeight; }
  int16_t GetAdded() const { return fAdded; }
  int16_t GetCapacity() const { return fCapacity; }
  uint8_t IsMasked() const { return fMasked; }
  int16_t GetResourceValue() const { return fResourceValue; }

 protected:
  // A derived list may make the handle again with other colours; it then
  // destroys the one it replaces.
  HIMAGELIST fHandle = nullptr;
  int16_t fWidth;
  int16_t fHeight;
  int16_t fAdded = 0;
  int16_t fCapacity;
  int16_t fGrow = 1;
  uint8_t fMasked;
  int16_t fResourceValue = 0;
};
