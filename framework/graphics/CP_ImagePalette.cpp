#include "CP_ImagePalette.h"

#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_Utilities.h"

#include <cstdint>
#include <cstdlib>

namespace {

int32_t TableEntriesForDepth(uint16_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

}  // namespace

CP_ImagePalette::CP_ImagePalette(int16_t bitmapId) {
  HMODULE module = ProgramModule();
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(bitmapId), MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (!found) return;
  HGLOBAL loaded = LoadResource(module, found);
  ThrowIfNull(loaded, "CP_ImageResource", 370);
  const uint8_t* data = static_cast<const uint8_t*>(LockResource(loaded));
  const DWORD size = SizeofResource(module, found);
  BITMAPINFOHEADER header;
  if (!data || size < sizeof header) return;
  CopyBytes(data, &header, sizeof header);
  fHasBitmap = true;

  int64_t count = header.biClrUsed != 0 ? int64_t(header.biClrUsed) : TableEntriesForDepth(header.biBitCount);
  // The colour table follows the header inside the resource: it may not
  // claim more entries than the resource holds.
  const int64_t available = header.biSize >= sizeof header && header.biSize <= size
                                ? (int64_t(size) - int64_t(header.biSize)) / int64_t(sizeof(RGBQUAD))
                                : 0;
  if (count > available) count = available;
  if (count > INT16_MAX) count = INT16_MAX;
  fCount = int16_t(count);
  fExtent = CP_Size(header.biWidth, std::abs(header.biHeight));

  const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(data + header.biSize);
  HGLOBAL block = AllocGlobalBlock(GHND, SIZE_T(fCount) * 4 + 8);
  ThrowIfNull(block, "CP_ImageResource", 387);
  LOGPALETTE* palette = static_cast<LOGPALETTE*>(GlobalLock(block));
  if (palette) {
    palette->palVersion = 0x300;
    palette->palNumEntries = WORD(fCount);
    for (int16_t i = 0; i < fCount; ++i) {
      RGBQUAD entry;
      CopyBytes(&table[i], &entry, sizeof entry);
      palette->palPalEntry[i] = PALETTEENTRY{entry.rgbRed, entry.rgbGreen, entry.rgbBlue, 0};
    }
    fPalette = CreatePaletteHandle(palette);
    GlobalUnlock(block);
  }
  FreeGlobalBlock(block);
}

CP_ImagePalette::~CP_ImagePalette() {
  if (fPalette) DeleteGdiObject(fPalette);
}

void DrawImageResource(CP_Canvas* canvas, int16_t bitmapId, HPALETTE palette, int16_t width, int16_t height) {
  HBITMAP bitmap = LoadBitmapA(ProgramModule(), MAKEINTRESOURCEA(bitmapId));
  if (!bitmap) return;
  HDC target = canvas->GetDC();
  HDC memory = CreateMemoryDC(target);
  if (!memory) {
    DeleteGdiObject(bitmap);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HPALETTE oldPalette = palette ? SelectPalette(target, palette, FALSE) : nullptr;
  if (palette) RealizePalette(target);
  if (GetStretchBltMode(target) != COLORONCOLOR) SetStretchBltMode(target, COLORONCOLOR);

  BITMAP info = {};
  ::GetObjectA(bitmap, sizeof info, &info);
  StretchBlt(target, 0, 0, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);

  // The view deletes its palette later: it must not stay selected here.
  if (oldPalette) SelectPalette(target, oldPalette, FALSE);
  SelectObject(memory, oldBitmap);
  DeleteMemoryDC(memory);
  DeleteGdiObject(bitmap);
}
