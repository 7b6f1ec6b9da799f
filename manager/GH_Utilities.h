#pragma once
// Small services of the library manager: free space, the kind of Windows
// and a file test.
#include <cstdint>
#include <string>

enum GH_OSKind : int16_t {
  kOS_WindowsNT = 100,
  kOS_Win32s = 101,
  kOS_Windows95 = 102,         // the first builds, whose disk calls count in 32 bits
  kOS_Windows95Later = 103,    // build number above 1000
};

int16_t GetOSKind();
// The kind for a version report's platform and build number; on the
// Windows 95 platform the build's high word holds the version.
int16_t OSKindOf(uint32_t platformId, uint32_t buildNumber);

// Free bytes on the drive that holds `root` (a drive root or any folder on
// it); 0 when Windows cannot tell.
uint64_t FreeDiskSpace(const std::string& root);

// True when the file opens for reading; false for a folder or a locked or
// missing file.
bool FileExists(const std::string& path);
// True when a file, not a folder, of that name is there, whether or not it
// opens.
bool IsFile(const std::string& path);
