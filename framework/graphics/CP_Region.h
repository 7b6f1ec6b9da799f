#pragma once
// A Windows region in the framework's 16-bit geometry. Each region owns its
// handle; copying copies the area into a handle of its own.
#include "CP_Geometry.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Region {
 public:
  CP_Region();  // the empty rectangle (0, 0, 0, 0)
  CP_Region(int16_t left, int16_t top, int16_t right, int16_t bottom);
  // Left = h, top = v, right = h + width, bottom = v + height.
  CP_Region(const CP_Point& topLeft, const CP_Size& size);
  explicit CP_Region(const CP_Rect& rect);
  CP_Region(const CP_Region& other);
  CP_Region& operator=(const CP_Region& other) { return Assign(other); }
  virtual ~CP_Region();

  void SetRect(int16_t left, int16_t top, int16_t right, int16_t bottom);
  void SetPointSize(const CP_Point& topLeft, const CP_Size& size);
  void SetFromRect(const CP_Rect& rect);

  // This region becomes its overlap with the other.
  void Intersect(const CP_Region& other);
  CP_Region& Assign(const CP_Region& other);

  bool IsEmpty() const;
  CP_Rect GetBounds() const;
  int16_t GetWidth() const;
  int16_t GetHeight() const;

  HRGN GetHandle() const { return fRegion; }

  static const CP_Region Empty;
  static const CP_Region Everything;  // the whole 16-bit plane

 private:
  HRGN fRegion = nullptr;
};

// The clipping of a canvas or of one drawing step. The three hooks are empty:
// the region is kept but never selected into a device context.
class CP_Clip {
 public:
  CP_Clip();
  explicit CP_Clip(const CP_Rect& rect);
  CP_Clip(const CP_Clip&) = delete;
  CP_Clip& operator=(const CP_Clip&) = delete;
  virtual ~CP_Clip();

  void IntersectRect(const CP_Rect& rect);
  void Init() {}
  void Apply() {}
  void Release() {}

  const CP_Region& GetRegion() const { return fClip; }

 private:
  CP_Region fClip;
  CP_Region fSecond;  // made empty, otherwise unused
};
