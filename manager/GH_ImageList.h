#pragma once
// The image list of the film list and the tree: 24-bit colour images.
#include "CP_ImageList.h"

class GH_ImageList : public CP_ImageList {
 public:
  GH_ImageList(int16_t initialCount, int16_t width, int16_t height, uint8_t masked);
  ~GH_ImageList() override = default;
};
