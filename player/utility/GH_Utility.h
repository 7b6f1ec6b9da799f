#pragma once
// Facts about the machine and small file-name services that the engine's
// panes, actions and film routines share.
#include "QTToolbox.h"

#include <cstdint>
#include <string>

// What GetOSKind answers.
enum : int32_t {
  kOSKind_NT = 100,
  kOSKind_Win32s = 101,
  kOSKind_Win95 = 102,  // build up to 1000, and any platform not known
  kOSKind_Win98 = 103,  // Windows 95 family with a build above 1000
};

// The desktop window's client size.
int32_t GetDesktopHeight();
int32_t GetDesktopWidth();

int32_t GetOSKind();
// The kind for a platform id and a build number as the system reports
// them; only the low 16 bits of the build count.
int32_t OSKindOf(uint32_t platformId, uint32_t buildNumber);

// Free bytes on the drive of `rootPath` ("C:\"): all of them, not only what
// quotas leave the caller; 0 when the system cannot tell.
uint64_t FreeDiskSpace(const char* rootPath);

// The system's temporary folder with its trailing backslash.
std::string GetTempDirectory();

// True when the file can be opened for reading (a folder cannot).
bool FileExists(const std::string& path);

// The FSSpec through which QuickTime opens the film at `path`. A path that
// names no readable file, or one longer than an FSSpec holds (255
// characters), gives a cleared FSSpec.
FSSpec PathToFileSpec(const std::string& path);

// The label of the volume at `rootPath`; for an unlabelled volume the
// shell's display name of its drive without the bracketed drive letter.
std::string GetVolumeLabel(const std::string& rootPath);
// The display name of an unlabelled drive less its " (D:)" part; empty when
// the name is too short to carry one.
std::string LabelFromDisplayName(const std::string& displayName);

// Deletes the file; a file that cannot be deleted is left quietly.
void DeleteFileByPath(const std::string& path);
