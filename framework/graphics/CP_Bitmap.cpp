#include "CP_Bitmap.h"

#include "CP_Exception.h"
#include "CP_Utilities.h"

#include <algorithm>

namespace {

uint16_t Widen8(uint8_t channel) { return uint16_t(channel * 257); }

// A 5-bit channel spread over 16 bits.
uint16_t Widen5(uint16_t v) { return uint16_t(v << 11 | v << 6 | v << 1 | v >> 4); }

}  // namespace

CP_Palette::CP_Palette(const RGBQUAD* table, int16_t count) {
  if (!table || count <= 0) return;
  fEntries.resize(size_t(count));
  for (int16_t i = 0; i < count; ++i)
    fEntries[size_t(i)] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * size_t(count));
  LOGPALETTE* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = WORD(count);
  std::copy(fEntries.begin(), fEntries.end(), palette->palPalEntry);
  fPalette = CreatePaletteHandle(palette);
}

CP_Palette::~CP_Palette() {
  if (fPalette) DeleteGdiObject(fPalette);
}

int16_t CP_Palette::ColorCountForDepth(int16_t depth) {
  switch (depth) {
    case 1: return 2;
    case 2: return 4;
    case 4: return 16;
    case 8: return 256;
    default: ThrowIfPlatformError(kCP_ParamError, "CP_Palette", 191); return 0;
  }
}

CP_RGBColor CP_Palette::GetColor(int16_t index) const {
  if (!fPalette || index < 1 || index > CountEntries()) return CP_RGBColor::Black;
  const PALETTEENTRY& e = fEntries[size_t(index - 1)];
  return CP_RGBColor(Widen8(e.peRed), Widen8(e.peGreen), Widen8(e.peBlue));
}

CP_Bitmap::CP_Bitmap(int16_t width, int16_t height, int16_t depth)
    : fWidth(std::max<int16_t>(width, 0)), fHeight(std::max<int16_t>(height, 0)), fDepth(std::max<int16_t>(depth, 0)) {
  fBits.assign(size_t(GetRowBytes()) * size_t(fHeight), 0);
}

int32_t CP_Bitmap::GetRowBytes() const {
  const int32_t bytes = (int32_t(fWidth) * fDepth + 7) / 8;
  return (bytes + 3) / 4 * 4;
}

CP_RGBColor CP_Bitmap::GetPixelColor(int16_t x, int16_t y) const {
  if (!Contains(x, y)) return CP_RGBColor::Black;
  const uint8_t* row = Row(y);
  const int32_t column = x - 1;
  auto paletteColor = [&](int value) {
    return fPalette ? fPalette->GetColor(int16_t(value + 1)) : CP_RGBColor::Black;
  };
  switch (fDepth) {
    case 4: {
      const uint8_t byte = row[column / 2];
      return paletteColor((x % 2 == 1) ? byte >> 4 : byte & 0x0F);
    }
    case 8:
      return paletteColor(row[column]);
    case 16: {
      const uint16_t v = uint16_t(row[column * 2] | row[column * 2 + 1] << 8);
      return CP_RGBColor(Widen5((v >> 10) & 0x1F), Widen5((v >> 5) & 0x1F), Widen5(v & 0x1F));
    }
    case 24: {
      const uint8_t* p = row + column * 3;
      return CP_RGBColor(Widen8(p[2]), Widen8(p[1]), Widen8(p[0]));
    }
    case 32: {
      const uint8_t* p = row + column * 4;
      return CP_RGBColor(Widen8(p[2]), Widen8(p[1]), Widen8(p[0]));
    }
    default:
      return CP_RGBColor::Black;
  }
}

void CP_Bitmap::SetPixelValue(int16_t x, int16_t y, int32_t value) {
  if (!Contains(x, y)) return;
  uint8_t* row = Row(y);
  const int32_t column = x - 1;
  switch (fDepth) {
    case 1: {
      const uint8_t bit = uint8_t(0x80 >> (column % 8));
      if (value != 0) row[column / 8] |= bit;
      else row[column / 8] &= uint8_t(~bit);
      break;
    }
    case 4: {
      uint8_t& byte = row[column / 2];
      if (x % 2 == 1) byte = uint8_t((byte & 0x0F) | (value & 0x0F) << 4);
      else byte = uint8_t((byte & 0xF0) | (value & 0x0F));
      break;
    }
    case 8:
      row[column] = uint8_t(value);
      break;
    default:
      break;
  }
}

void CP_Bitmap::SetPixel32(int16_t x, int16_t y, uint32_t value) {
  if (!Contains(x, y) || fDepth != 32) return;
  uint8_t* p = Row(y) + (x - 1) * 4;
  CopyBytes(&value, p, 4);
}
