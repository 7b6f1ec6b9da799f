#include "CP_Utilities.h"

#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_Framework.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void CopyBytes(const void* source, void* destination, int32_t count) {
  if (!source || !destination || count < 1) return;
  std::memmove(destination, source, size_t(count));
}

void FillBytes(void* destination, int32_t count, uint8_t value) {
  if (!destination || count < 1) return;
  std::memset(destination, value, size_t(count));
}

int32_t CStringLength(const char* text) { return text ? int32_t(std::strlen(text)) : 0; }

void CopyCStringBounded(const char* source, char* destination, int16_t bufferSize) {
  if (!source || !destination || bufferSize < 1) return;
  int16_t n = 0;
  while (n < bufferSize - 1 && source[n] != '\0') {
    destination[n] = source[n];
    ++n;
  }
  destination[n] = '\0';
}

std::string CStringToString(const char* text) { return text ? std::string(text) : std::string(); }

int16_t CompareTextNoCase(const char* a, const char* b) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a ? a : "");
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b ? b : "");
  for (;; ++p, ++q) {
    const int x = std::tolower(*p), y = std::tolower(*q);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
}

std::string LengthPrefixedToString(const unsigned char* text) {
  if (!text) return std::string();
  return std::string(reinterpret_cast<const char*>(text + 1), text[0]);
}

std::string ShortToString(int16_t value) {
  char buffer[8];
  snprintf(buffer, sizeof buffer, "%d", int(value));
  return buffer;
}

std::string LongToString(int32_t value) {
  char buffer[12];
  snprintf(buffer, sizeof buffer, "%ld", long(value));
  return buffer;
}

int32_t StringToLong(const std::string& text) { return int32_t(std::strtol(text.c_str(), nullptr, 10)); }

uint32_t StringToULong(const std::string& text) {
  return uint32_t(std::strtoul(text.c_str(), nullptr, 10));
}

char* FormatDecimal(int32_t value, char* buffer) {
  snprintf(buffer, 12, "%d", int(value));
  return buffer;
}

bool IsKeyDown(int16_t virtualKey) { return (GetAsyncKeyState(virtualKey) & 0xFF00) != 0; }

void Beep() { MessageBeep(1); }

HDC CreateMemoryDC(HDC dc) { return CreateCompatibleDC(dc); }
HDC AcquireWindowDC(HWND window) { return GetDC(window); }
BOOL DeleteMemoryDC(HDC dc) { return DeleteDC(dc); }
int ReleaseWindowDC(HWND window, HDC dc) { return ReleaseDC(window, dc); }
HPEN CreatePenHandle(int16_t style, int16_t width, COLORREF color) { return CreatePen(style, width, color); }
HBRUSH CreateSolidBrushHandle(COLORREF color) { return CreateSolidBrush(color); }
HBRUSH CreatePatternBrushHandle(HBITMAP bitmap) { return CreatePatternBrush(bitmap); }
HGLOBAL AllocGlobalBlock(UINT flags, SIZE_T size) { return GlobalAlloc(flags, size); }
HGLOBAL ReallocGlobalBlock(HGLOBAL block, SIZE_T size, UINT flags) { return GlobalReAlloc(block, size, flags); }
HGLOBAL FreeGlobalBlock(HGLOBAL block) { return GlobalFree(block); }
HPALETTE CreatePaletteHandle(const LOGPALETTE* palette) { return CreatePalette(palette); }
HRGN CreateRectRegionHandle(int left, int top, int right, int bottom) {
  return CreateRectRgn(left, top, right, bottom);
}
HFONT CreateFontHandle(const LOGFONTA* font) { return CreateFontIndirectA(font); }
BOOL DeleteGdiObject(HGDIOBJ object) { return DeleteObject(object); }

HINSTANCE ProgramModule() { return gCP_Instance ? gCP_Instance : GetModuleHandleA(nullptr); }

namespace {

// Puts an open file back where it stood, or closes the one opened for the
// test, whatever the test threw.
class FilePlaceKeeper {
 public:
  FilePlaceKeeper(CP_File& file, bool opened)
      : fFile(file), fOpened(opened), fPosition(opened ? 0 : file.GetPosition()) {}
  ~FilePlaceKeeper() {
    try {
      if (fOpened)
        fFile.Close();
      else
        fFile.SetPosition(0, int32_t(fPosition));
    } catch (...) {
      // A destructor must not throw; the file stays where the read left it.
    }
  }
  FilePlaceKeeper(const FilePlaceKeeper&) = delete;
  FilePlaceKeeper& operator=(const FilePlaceKeeper&) = delete;

 private:
  CP_File& fFile;
  bool fOpened;
  uint32_t fPosition;
};

}  // namespace

bool IsRichTextFile(CP_File* file) {
  if (!file) return false;
  const bool opened = !file->IsOpen();
  if (opened) {
    try {
      file->Open(GENERIC_READ);
    } catch (const CP_BaseException&) {
      return false;
    }
  }
  FilePlaceKeeper keeper(*file, opened);
  // The mark follows the document's opening brace.
  static const char kMark[4] = {'\\', 'r', 't', 'f'};
  char bytes[4] = {};
  uint32_t count = sizeof bytes;
  file->SetPosition(0, 1);
  file->Read(bytes, &count);
  return count == sizeof bytes && std::memcmp(bytes, kMark, sizeof bytes) == 0;
}
