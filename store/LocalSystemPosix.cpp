// The native build has no drive C: the free-space figure is only stored for
// information, so 0 is recorded.
#include <unistd.h>

#include <ctime>

#include "LocalSystem.h"

LocalDateTime CurrentLocalDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  LocalDateTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  return t;
}

uint32_t FreeSpaceOnSystemDrive() { return 0; }

bool ForceToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }
