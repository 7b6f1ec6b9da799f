// ACCESSDB.DLL: reads a version-2 CD's description into the programs'
// import buffer. Exported undecorated, __stdcall.
#include <windows.h>

#include <cstdint>
#include <string>

#include "ImportText.h"

namespace {

// The whole file, or false when it cannot be read or is too large to be a
// CD's description.
bool ReadWholeFile(const char* path, std::string& text) {
  HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = false;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart >= 0 &&
      uint64_t(size.QuadPart) <= accessdb::kMaxFileSize) {
    text.resize(size_t(size.QuadPart));
    DWORD got = 0;
    ok = text.empty() || (ReadFile(h, &text[0], DWORD(text.size()), &got, nullptr) && got == text.size());
  }
  CloseHandle(h);
  return ok;
}

}  // namespace

extern "C" int32_t __stdcall ReadAccessDB(const char* path, void* buffer) {
  if (!buffer) return int32_t(accessdb::Result::Unreadable);
  auto* bytes = static_cast<uint8_t*>(buffer);
  try {
    std::string text, why;
    if (!path || !ReadWholeFile(path, text)) {
      accessdb::FillImportBuffer("", bytes, why);  // no rows, no alias: nothing to import
      return int32_t(accessdb::Result::Unreadable);
    }
    return int32_t(accessdb::FillImportBuffer(text, bytes, why));
  } catch (...) {
    return int32_t(accessdb::Result::Unreadable);
  }
}
