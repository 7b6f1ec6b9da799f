#include "CP_Region.h"

#include "CP_Exception.h"
#include "CP_Utilities.h"

const CP_Region CP_Region::Empty;
const CP_Region CP_Region::Everything(-32768, -32768, 32767, 32767);

CP_Region::CP_Region() {
  fRegion = CreateRectRegionHandle(0, 0, 0, 0);
  ThrowIfNull(fRegion, "CP_Region", 627);
}

CP_Region::CP_Region(int16_t left, int16_t top, int16_t right, int16_t bottom) : CP_Region() {
  SetRect(left, top, right, bottom);
}

CP_Region::CP_Region(const CP_Point& topLeft, const CP_Size& size) : CP_Region() {
  SetPointSize(topLeft, size);
}

CP_Region::CP_Region(const CP_Rect& rect) : CP_Region() { SetFromRect(rect); }

CP_Region::CP_Region(const CP_Region& other) : CP_Region() { Assign(other); }

CP_Region::~CP_Region() {
  if (fRegion) DeleteGdiObject(fRegion);
}

void CP_Region::SetRect(int16_t left, int16_t top, int16_t right, int16_t bottom) {
  SetRectRgn(fRegion, left, top, right, bottom);
}

void CP_Region::SetPointSize(const CP_Point& topLeft, const CP_Size& size) {
  SetRect(topLeft.h, topLeft.v, int16_t(topLeft.h + size.width), int16_t(topLeft.v + size.height));
}

void CP_Region::SetFromRect(const CP_Rect& rect) { SetRect(rect.left, rect.top, rect.right, rect.bottom); }

void CP_Region::Intersect(const CP_Region& other) { CombineRgn(fRegion, fRegion, other.fRegion, RGN_AND); }

CP_Region& CP_Region::Assign(const CP_Region& other) {
  if (this != &other) CombineRgn(fRegion, other.fRegion, nullptr, RGN_COPY);
  return *this;
}

bool CP_Region::IsEmpty() const {
  RECT box;
  const int kind = GetRgnBox(fRegion, &box);
  return kind == NULLREGION || kind == ERROR;
}

CP_Rect CP_Region::GetBounds() const {
  RECT box = {};
  GetRgnBox(fRegion, &box);
  return CP_Rect(box);
}

int16_t CP_Region::GetWidth() const {
  const CP_Rect bounds = GetBounds();
  return int16_t(bounds.right - bounds.left);
}

int16_t CP_Region::GetHeight() const {
  const CP_Rect bounds = GetBounds();
  return int16_t(bounds.bottom - bounds.top);
}

CP_Clip::CP_Clip() { Init(); }

CP_Clip::CP_Clip(const CP_Rect& rect) {
  Init();
  fClip.SetFromRect(rect);
}

CP_Clip::~CP_Clip() { Release(); }

void CP_Clip::IntersectRect(const CP_Rect& rect) {
  CP_Region area(rect);
  fClip.Intersect(area);
}
