#pragma once
// The drawing environment that the engine's windows share: films stand on
// black. Every window given it holds a reference; the holder keeps one more
// while the windows are made, so that however their making ends, the
// environment lives exactly as long as the windows that took it.
#include "CP_Canvas.h"

class GH_BlackEnvironment {
 public:
  GH_BlackEnvironment() : fEnvironment(new CP_CanvasEnvironment) {
    fEnvironment->SetThirdColor(CP_RGBColor(0, 0, 0));
    fEnvironment->SetBackgroundColor(CP_RGBColor(0, 0, 0));
    fEnvironment->AddReference();
  }
  ~GH_BlackEnvironment() { fEnvironment->RemoveReference(); }
  GH_BlackEnvironment(const GH_BlackEnvironment&) = delete;
  GH_BlackEnvironment& operator=(const GH_BlackEnvironment&) = delete;

  CP_CanvasEnvironment* Get() const { return fEnvironment; }

 private:
  CP_CanvasEnvironment* fEnvironment;
};
