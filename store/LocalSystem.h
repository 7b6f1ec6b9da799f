#pragma once
// What the store asks of the machine it runs on: the local clock, the
// free space of the system drive, and forcing a file's data to the disk.
// Each build supplies its own fill.
#include <cstdint>
#include <cstdio>

struct LocalDateTime {
  int32_t year = 0;    // e.g. 2024
  int32_t month = 0;   // 1-12
  int32_t day = 0;     // 1-31
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
};

LocalDateTime CurrentLocalDateTime();

// Free bytes on "C:\" as sectors per cluster x bytes per sector x free
// clusters, modulo 2^32; 0 when there is no such drive or the query fails.
uint32_t FreeSpaceOnSystemDrive();

// Forces what the system holds of the file's data to the disk; the C
// library's buffer must have been flushed first. False with errno set when
// the system refuses.
bool ForceToDisk(std::FILE* file);
