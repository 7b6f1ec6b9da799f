#pragma once
// A view that shows one bitmap resource in its frame.
#include "CP_View.h"

#include <cstdint>

class CP_Picture;

class CP_ImageResource : public CP_View {
 public:
  // The two flags are kept only.
  CP_ImageResource(CP_View* superPane, const CP_PaneInfo& info, int16_t bitmapId, uint8_t flagA,
                   uint8_t flagB);
  ~CP_ImageResource() override;

  void DrawContent(const CP_Region& area) override;
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  int16_t GetBitmapId() const { return fBitmapId; }
  CP_Picture* GetPicture() const { return fPicture; }

 protected:
  const char* RuntimeClassName() const override { return "CP_ImageResource"; }

 private:
  int16_t fBitmapId;
  CP_Picture* fPicture = nullptr;  // counted
  uint8_t fFlagA;
  uint8_t fFlagB;
};
