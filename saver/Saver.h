#pragma once
// The Glintharbour screen saver: it draws nothing itself. It brings the
// library manager forward or starts the player engine, and starts the
// library manager for configuration.
#include <windows.h>
#include <scrnsave.h>

#include <string>

// Starts a program with no arguments; answers whether it was started.
// Where the saver must outlive the program, waits until its main thread ends.
bool LaunchProgram(const std::string& path);

// True when the file opens for reading.
bool SaverFileExists(const std::string& path);

// Brings forward the library manager's main window when it is one of these.
BOOL CALLBACK FindManagerWindowProc(HWND window, LPARAM);

// The arguments of a whole command line: what follows the program's name,
// which may be quoted.
std::string SaverArguments(const char* commandLine);

// True when the arguments of the command line ask for a preview.
bool IsPreviewCommandLine(const char* commandLine);
