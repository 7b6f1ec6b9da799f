#pragma once
// Frame windows borrow the splash class, which the engine registers at
// start; a test that opens frames without the whole start registers it.
#include "utility/GH_SplashScreen.h"

#include <windows.h>

namespace kxtest {

inline void RegisterSplashClass() {
  WNDCLASSA c{};
  c.lpfnWndProc = SplashWindowProc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  c.lpszClassName = kSplashClassName;
  RegisterClassA(&c);
}

}  // namespace kxtest
