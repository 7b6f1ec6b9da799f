#pragma once
// Window descriptions for the tests.
#include "CP_Window.h"

namespace kxtest {

// A window of `kind` with its frame at (x, y) and a content area of
// width x height; `style` replaces the kind's style when given.
inline CP_WindowInfo Describe(uint8_t kind, int x, int y, int width, int height, uint32_t style = 0) {
  CP_WindowInfo info(CP_PaneInfo(CP_Point(int32_t(x), int32_t(y)), CP_Size(width, height)), kind);
  if (style) info.style = style;
  return info;
}

}  // namespace kxtest
