#pragma once
// The films folder: where copied and installed films go, made on first use,
// with the films of older installations moved into it.
#include <cstdint>
#include <string>

// The films folder's path (the last form ends in a backslash, the others do
// not), or empty when no usable place was found. Writes no setting.
std::string SetUpFilmsFolder();

// " [ 1.50 MB]": the file's size for the installation list; empty when the
// file cannot be opened.
std::string FormatFilmSize(const std::string& path);
// The same label for a size in bytes.
std::string FormatFilmSizeText(uint32_t size);

// The folder chooser over the main window (over no window when there is
// none), starting at the current directory. True and `path` set to the
// chosen folder when the user picked one; `path` is left alone otherwise.
bool ChooseFolderForMainWindow(const std::string& prompt, std::string& path);
