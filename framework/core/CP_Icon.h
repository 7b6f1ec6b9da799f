#pragma once
// A shared Win32 icon and its size in pixels.
#include "CP_RefCounted.h"
#include "CP_Win.h"

#include <cstdint>

class CP_Icon : public CP_M_ReferenceCounted {
 public:
  enum class Ownership { Owned, Borrowed };

  // An owned icon is destroyed with this object; a borrowed one (a shared
  // system icon, say) is left alone.
  CP_Icon(HICON icon, Ownership ownership);
  ~CP_Icon() override;

  HICON GetHandle() const { return fIcon; }
  // From the icon's mask bitmap: a monochrome icon's mask holds two images
  // one above the other, so its height is twice the icon's. 0 when Windows
  // refuses the icon information.
  int32_t GetWidth() const;
  int32_t GetHeight() const;

 private:
  bool GetMaskBitmap(BITMAP& mask) const;

  HICON fIcon;
  Ownership fOwnership;
};
