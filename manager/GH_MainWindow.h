#pragma once
// How any part of the library manager reaches its main window, and the
// names of volumes.
#include <string>

class CP_Window;

// This program's framework window whose native window is the first
// top-level window titled `title`; null when there is none, or when the
// first such window belongs to someone else.
CP_Window* FindMainWindow(const std::string& title);

// The volume's label; for a volume without one (or a path that is not a
// volume root), the shell's name of the drive in `cdDriveRoot` without its
// " (D:)" ending. Empty when neither is known.
std::string GetVolumeName(const char* root);
std::string GetVolumeName(const std::string& root);
