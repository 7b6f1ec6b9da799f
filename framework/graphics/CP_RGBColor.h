#pragma once
// The framework's colour: three 16-bit channels, 0 to 65535, converted to and
// from the 8-bit channels of a Windows COLORREF where GDI is called.
#include "CP_Win.h"

#include <cstdint>

class CP_RGBColor {
 public:
  constexpr CP_RGBColor() = default;
  constexpr CP_RGBColor(uint16_t red, uint16_t green, uint16_t blue)
      : fRed(red), fGreen(green), fBlue(blue) {}
  // Each 8-bit channel goes to the high byte; Windows white reads as 0xFF00.
  explicit CP_RGBColor(COLORREF color) { SetColorRef(color); }
  constexpr CP_RGBColor(const CP_RGBColor&) = default;
  CP_RGBColor& operator=(const CP_RGBColor&) = default;

  constexpr uint16_t GetRed() const { return fRed; }
  constexpr uint16_t GetGreen() const { return fGreen; }
  constexpr uint16_t GetBlue() const { return fBlue; }

  CP_RGBColor& Set(uint16_t red, uint16_t green, uint16_t blue);
  void SetColorRef(COLORREF color);
  // Palette-relative, from the high byte of each channel: every GDI call of
  // the framework that takes a colour receives this form.
  COLORREF ToPaletteColorRef() const;
  // Every channel half way to white.
  void Lighten();

  bool operator==(const CP_RGBColor& o) const {
    return fRed == o.fRed && fGreen == o.fGreen && fBlue == o.fBlue;
  }
  bool operator!=(const CP_RGBColor& o) const { return !(*this == o); }

  static const CP_RGBColor White;
  static const CP_RGBColor Black;
  static const CP_RGBColor LightGrey;

 private:
  uint16_t fRed = 0;
  uint16_t fGreen = 0;
  uint16_t fBlue = 0;
};

// The fourteen grey levels the drawing code picks from: 0 is white, 1 black,
// then 0xEEEE down to 0x4444 and last 0x2222 (there is no 0x3333). One
// constant table, ready before any static initialiser runs.
constexpr int kCP_GreyLevelCount = 14;
inline constexpr CP_RGBColor CP_GreyLevels[kCP_GreyLevelCount] = {
    {0xFFFF, 0xFFFF, 0xFFFF}, {0x0000, 0x0000, 0x0000}, {0xEEEE, 0xEEEE, 0xEEEE},
    {0xDDDD, 0xDDDD, 0xDDDD}, {0xCCCC, 0xCCCC, 0xCCCC}, {0xBBBB, 0xBBBB, 0xBBBB},
    {0xAAAA, 0xAAAA, 0xAAAA}, {0x9999, 0x9999, 0x9999}, {0x8888, 0x8888, 0x8888},
    {0x7777, 0x7777, 0x7777}, {0x6666, 0x6666, 0x6666}, {0x5555, 0x5555, 0x5555},
    {0x4444, 0x4444, 0x4444}, {0x2222, 0x2222, 0x2222},
};

// A Windows system colour (COLOR_WINDOW ...) widened as a COLORREF is.
CP_RGBColor GetSystemColor(int16_t index);
