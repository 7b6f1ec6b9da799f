#pragma once
// A light grey band, 36 pixels high and as wide as a reference pane's
// window, with a darker grey line along this pane's top and bottom edges.
#include "CP_GdiOwners.h"
#include "CP_RGBColor.h"
#include "CP_Region.h"
#include "CP_View.h"

class GH_ColorPane : public CP_View {
 public:
  static constexpr int16_t kBandHeight = 36;

  // The colour and region are kept only. The reference pane is borrowed and
  // must outlive this pane.
  GH_ColorPane(CP_View* superPane, const CP_PaneInfo& info, const CP_RGBColor& color,
               const CP_Region& region, CP_Pane* reference);

  void DrawContent(const CP_Region& area) override;
  LRESULT HandlePaint(HWND window, WPARAM wParam, LPARAM lParam) override;
  // Paints itself; everything else goes to the window's own procedure.
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  const CP_RGBColor& GetColor() const { return fColor; }
  const CP_Region& GetRegion() const { return fRegion; }

 protected:
  const char* RuntimeClassName() const override { return "GH_ColorPane"; }

 private:
  CP_RGBColor fColor;
  CP_Region fRegion;
  CP_Pane* fReference;
  CP_GdiObject<HBRUSH> fBandBrush;
};
