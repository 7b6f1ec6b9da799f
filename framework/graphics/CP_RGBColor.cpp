#include "CP_RGBColor.h"

// Constant-initialised: other units may use them from their own initialisers.
constexpr CP_RGBColor CP_RGBColor::White(0xFFFF, 0xFFFF, 0xFFFF);
constexpr CP_RGBColor CP_RGBColor::Black(0, 0, 0);
constexpr CP_RGBColor CP_RGBColor::LightGrey(0xC000, 0xC000, 0xC000);

CP_RGBColor& CP_RGBColor::Set(uint16_t red, uint16_t green, uint16_t blue) {
  fRed = red;
  fGreen = green;
  fBlue = blue;
  return *this;
}

void CP_RGBColor::SetColorRef(COLORREF color) {
  fRed = uint16_t((color & 0xFF) << 8);
  fGreen = uint16_t(color & 0xFF00);
  fBlue = uint16_t((color >> 8) & 0xFF00);
}

COLORREF CP_RGBColor::ToPaletteColorRef() const {
  return 0x02000000u | uint32_t(fBlue >> 8) << 16 | uint32_t(fGreen >> 8) << 8 | uint32_t(fRed >> 8);
}

void CP_RGBColor::Lighten() {
  fRed = uint16_t((uint32_t(fRed) + 65535) / 2);
  fGreen = uint16_t((uint32_t(fGreen) + 65535) / 2);
  fBlue = uint16_t((uint32_t(fBlue) + 65535) / 2);
}

CP_RGBColor GetSystemColor(int16_t index) { return CP_RGBColor(GetSysColor(index)); }
