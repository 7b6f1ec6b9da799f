#include <windows.h>

#include <io.h>

#include "LocalSystem.h"

LocalDateTime CurrentLocalDateTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalDateTime t;
  t.year = now.wYear;
  t.month = now.wMonth;
  t.day = now.wDay;
  t.hour = now.wHour;
  t.minute = now.wMinute;
  t.second = now.wSecond;
  return t;
}

uint32_t FreeSpaceOnSystemDrive() {
  if (GetLogicalDrives() == 0) return 0;
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA("C:\\", &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return 0;
  }
  // Unsigned 32-bit on purpose: the stored figure wraps like the original.
  return static_cast<uint32_t>(sectorsPerCluster) * static_cast<uint32_t>(bytesPerSector) *
         static_cast<uint32_t>(freeClusters);
}

bool ForceToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }
