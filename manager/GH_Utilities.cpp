#include "GH_Utilities.h"

#include "CP_Win.h"

#include <cstdio>

int16_t GetOSKind() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  GetVersionExA(&info);
  return OSKindOf(info.dwPlatformId, info.dwBuildNumber);
}

int16_t OSKindOf(uint32_t platformId, uint32_t buildNumber) {
  switch (platformId) {
    case VER_PLATFORM_WIN32_NT:
      return kOS_WindowsNT;
    case VER_PLATFORM_WIN32s:
      return kOS_Win32s;
    default:
      return (buildNumber & 0xFFFF) > 1000 ? kOS_Windows95Later : kOS_Windows95;
  }
}

uint64_t FreeDiskSpace(const std::string& root) {
  if (GetOSKind() == kOS_Windows95) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &clusters))
      return 0;
    // Multiplied in 64 bits: the product of three 32-bit counts can pass 4 GB.
    return uint64_t(sectorsPerCluster) * bytesPerSector * freeClusters;
  }
  // Looked up at run time: the first Windows 95 builds do not have it.
  using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
  if (!kernel) return 0;
  auto freeSpaceEx = reinterpret_cast<FreeSpaceEx>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  if (!freeSpaceEx) return 0;
  ULARGE_INTEGER toCaller = {}, total = {}, free = {};
  if (!freeSpaceEx(root.c_str(), &toCaller, &total, &free)) return 0;
  return free.QuadPart;
}

bool FileExists(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

