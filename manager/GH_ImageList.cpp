#include "GH_ImageList.h"

GH_ImageList::GH_ImageList(int16_t initialCount, int16_t width, int16_t height, uint8_t masked)
    : CP_ImageList(initialCount, width, height, masked) {
  // The base made a list of the display's colours; ours keeps 24 bits.
  if (fHandle) ImageList_Destroy(fHandle);
  const int w = width < 1 ? 1 : width;
  const int h = height < 1 ? 1 : height;
  const UINT flags = masked == 1 ? (ILC_COLOR24 | ILC_MASK) : ILC_COLOR24;
  fHandle = ImageList_Create(w, h, flags, initialCount, fGrow);
}
