#pragma once
// Colour tables and device-independent bitmaps in memory, read and written
// one pixel at a time. Pixel positions are 1-based.
#include "CP_RGBColor.h"
#include "CP_Win.h"

#include <cstdint>
#include <memory>
#include <vector>

class CP_Palette {
 public:
  CP_Palette() = default;  // no handle, no entries
  // From a DIB colour table (blue, green, red, reserved per entry).
  CP_Palette(const RGBQUAD* table, int16_t count);
  CP_Palette(const CP_Palette&) = delete;
  CP_Palette& operator=(const CP_Palette&) = delete;
  ~CP_Palette();

  // 1 -> 2, 2 -> 4, 4 -> 16, 8 -> 256; other depths throw
  // CP_PlfrmErrorException -50.
  static int16_t ColorCountForDepth(int16_t depth);

  // Entry `index` (1-based), each byte repeated (x 257); black without a
  // handle or outside the table.
  CP_RGBColor GetColor(int16_t index) const;
  int16_t CountEntries() const { return int16_t(fEntries.size()); }
  HPALETTE GetHandle() const { return fPalette; }

 private:
  HPALETTE fPalette = nullptr;
  std::vector<PALETTEENTRY> fEntries;
};

class CP_Bitmap {
 public:
  // Zeroed pixels; rows follow each other from the start of the bits.
  CP_Bitmap(int16_t width, int16_t height, int16_t depth);

  int16_t GetWidth() const { return fWidth; }
  int16_t GetHeight() const { return fHeight; }
  int16_t GetDepth() const { return fDepth; }
  // Width x depth in whole bytes, rounded up to a multiple of 4.
  int32_t GetRowBytes() const;

  // Black outside the bitmap, for depth 1 and for depths without a reading.
  CP_RGBColor GetPixelColor(int16_t x, int16_t y) const;
  // Depths 1, 4 and 8 only, inside the bitmap.
  void SetPixelValue(int16_t x, int16_t y, int32_t value);
  // Depth 32 only, inside the bitmap.
  void SetPixel32(int16_t x, int16_t y, uint32_t value);

  uint8_t* GetBits() { return fBits.data(); }
  const uint8_t* GetBits() const { return fBits.data(); }
  // The colour table of depths 4 and 8; the bitmap owns it.
  void SetPalette(std::unique_ptr<CP_Palette> palette) { fPalette = std::move(palette); }
  const CP_Palette* GetPalette() const { return fPalette.get(); }

 private:
  bool Contains(int16_t x, int16_t y) const { return x >= 1 && x <= fWidth && y >= 1 && y <= fHeight; }
  const uint8_t* Row(int16_t y) const { return fBits.data() + size_t(y - 1) * size_t(GetRowBytes()); }
  uint8_t* Row(int16_t y) { return fBits.data() + size_t(y - 1) * size_t(GetRowBytes()); }

  int16_t fWidth;
  int16_t fHeight;
  int16_t fDepth;
  std::vector<uint8_t> fBits;
  std::unique_ptr<CP_Palette> fPalette;
};
