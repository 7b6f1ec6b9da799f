#pragma once
// Small stateless services used all over the framework: byte and C-string
// operations, number and string conversions, and thin wrappers around the
// GDI and global-memory calls through which framework code makes them.
#include "CP_Win.h"

#include <cstdint>
#include <string>

// Both copy nothing when a pointer is null or count < 1.
void CopyBytes(const void* source, void* destination, int32_t count);
void FillBytes(void* destination, int32_t count, uint8_t value);

int32_t CStringLength(const char* text);  // 0 for null
// At most bufferSize - 1 characters, always terminated.
void CopyCStringBounded(const char* source, char* destination, int16_t bufferSize);
std::string CStringToString(const char* text);
// -1, 0 or 1, character by character after folding both to lower case; a
// null text counts as empty.
int16_t CompareTextNoCase(const char* a, const char* b);
// First byte the length, then the characters.
std::string LengthPrefixedToString(const unsigned char* text);
std::string ShortToString(int16_t value);
std::string LongToString(int32_t value);
int32_t StringToLong(const std::string& text);
uint32_t StringToULong(const std::string& text);
// The buffer must hold 12 characters.
char* FormatDecimal(int32_t value, char* buffer);

bool IsKeyDown(int16_t virtualKey);
void Beep();

class CP_File;
// Whether the file starts as a rich-text document does ("{\rtf"). An open
// file keeps its position; a closed one is opened for the test and closed
// again. False for no file and for one that cannot be opened.
bool IsRichTextFile(CP_File* file);

// Each passes its arguments to the one Win32 call and answers its result.
HDC CreateMemoryDC(HDC dc);
HDC AcquireWindowDC(HWND window);
BOOL DeleteMemoryDC(HDC dc);
int ReleaseWindowDC(HWND window, HDC dc);
HPEN CreatePenHandle(int16_t style, int16_t width, COLORREF color);
HBRUSH CreateSolidBrushHandle(COLORREF color);
HBRUSH CreatePatternBrushHandle(HBITMAP bitmap);
HGLOBAL AllocGlobalBlock(UINT flags, SIZE_T size);
HGLOBAL ReallocGlobalBlock(HGLOBAL block, SIZE_T size, UINT flags);
HGLOBAL FreeGlobalBlock(HGLOBAL block);
HPALETTE CreatePaletteHandle(const LOGPALETTE* palette);
HRGN CreateRectRegionHandle(int left, int top, int right, int bottom);
HFONT CreateFontHandle(const LOGFONTA* font);
BOOL DeleteGdiObject(HGDIOBJ object);

// The module that holds the program's resources.
HINSTANCE ProgramModule();
