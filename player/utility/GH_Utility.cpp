#include "utility/GH_Utility.h"

#include "CP_Exception.h"
#include "CP_FileSpec.h"
#include "CP_FileSystem.h"
#include "CP_Volume.h"
#include "CP_Win.h"
#include "store/StrStream.h"

#include <cctype>
#include <cstdio>
#include <cstring>

int32_t GetDesktopHeight() {
  RECT r{};
  GetClientRect(GetDesktopWindow(), &r);
  return r.bottom - r.top;
}

int32_t GetDesktopWidth() {
  RECT r{};
  GetClientRect(GetDesktopWindow(), &r);
  return r.right - r.left;
}

int32_t OSKindOf(uint32_t platformId, uint32_t buildNumber) {
  switch (platformId) {
    case VER_PLATFORM_WIN32_NT:
      return kOSKind_NT;
    case VER_PLATFORM_WIN32s:
      return kOSKind_Win32s;
    case VER_PLATFORM_WIN32_WINDOWS:
      // The family puts its version in the high word of the build number.
      return (buildNumber & 0xFFFF) > 1000 ? kOSKind_Win98 : kOSKind_Win95;
    default:
      return kOSKind_Win95;
  }
}

int32_t GetOSKind() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  GetVersionExA(&info);
  return OSKindOf(info.dwPlatformId, info.dwBuildNumber);
}

uint64_t FreeDiskSpace(const char* rootPath) {
  if (GetOSKind() == kOSKind_Win95) {
    // Early Windows 95 has no extended call. The product is taken in 64
    // bits: in 32 it wraps on a disk with more than 4 GB free.
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
      return 0;
    return uint64_t(sectorsPerCluster) * bytesPerSector * freeClusters;
  }
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  if (!kernel) return 0;
  using Fn = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  auto getFree = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")));
  if (!getFree) return 0;
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (!getFree(rootPath, &available, &total, &totalFree)) return 0;
  return totalFree.QuadPart;
}

std::string GetTempDirectory() {
  char buffer[256] = {};
  GetTempPathA(255, buffer);
  return buffer;
}

bool FileExists(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  // The C library opens a folder on some systems; a folder is no file.
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FSSpec PathToFileSpec(const std::string& path) {
  FSSpec spec;
  std::memset(&spec, 0, sizeof spec);
  // A length byte cannot name a longer path: a cut path would name another file.
  if (path.size() > 255 || !FileExists(path)) return spec;
  unsigned char name[256] = {};
  StringToLengthPrefixed(path, name);
  FSMakeFSSpec(0, 0, name, &spec);
  return spec;
}

std::string LabelFromDisplayName(const std::string& displayName) {
  // " (D:)" is five characters.
  if (displayName.size() < 5) return std::string();
  return displayName.substr(0, displayName.size() - 5);
}

std::string GetVolumeLabel(const std::string& rootPath) {
  char name[128] = {};
  GetVolumeInformationA(rootPath.c_str(), name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0);
  if (name[0]) return name;
  // The drive asked about, not some other one: its display name carries
  // its own letter.
  if (rootPath.empty()) return std::string();
  const char letter = char(std::toupper(static_cast<unsigned char>(rootPath[0])));
  if (letter < 'A' || letter > 'Z') return std::string();
  CP_Volume volume(int16_t(letter - 'A'));
  return LabelFromDisplayName(volume.GetDisplayName());
}

void DeleteFileByPath(const std::string& path) {
  try {
    CP_FileSystem::DeleteFile(CP_FileSpec(path, false));
  } catch (const CP_BaseException&) {
    // Quiet by design: callers delete temporary files that may be gone.
  }
}
