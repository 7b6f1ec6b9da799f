#include "CP_Icon.h"

CP_Icon::CP_Icon(HICON icon, Ownership ownership) : fIcon(icon), fOwnership(ownership) {}

CP_Icon::~CP_Icon() {
  if (fIcon && fOwnership == Ownership::Owned) DestroyIcon(fIcon);
}

bool CP_Icon::GetMaskBitmap(BITMAP& mask) const {
  ICONINFO info = {};
  if (!fIcon || !GetIconInfo(fIcon, &info)) return false;
  // GetIconInfo hands out copies of both bitmaps: they are ours to delete.
  const bool ok = info.hbmMask && GetObjectA(info.hbmMask, sizeof mask, &mask) == sizeof mask;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return ok;
}

int32_t CP_Icon::GetWidth() const {
  BITMAP mask = {};
  return GetMaskBitmap(mask) ? mask.bmWidth : 0;
}

int32_t CP_Icon::GetHeight() const {
  BITMAP mask = {};
  return GetMaskBitmap(mask) ? mask.bmHeight : 0;
}
