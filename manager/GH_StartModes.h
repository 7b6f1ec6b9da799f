#pragma once
// The library manager's three ways of starting, chosen from the whole
// command line: the normal start, the diagnostics ("-d") and the films
// folder set-up ("-s").
#include "CP_Win.h"

#include <string>

enum class GH_StartMode { kNormal, kDiagnostics, kFilmsFolder };

// Compared as a whole and case-sensitively; anything else starts normally.
GH_StartMode ChooseStartMode(const std::string& commandLine);

// Each answers the process's exit code, 0 on every path.
int RunNormalStart(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
int RunDiagnosticsStart(HINSTANCE instance, HINSTANCE previous, const char* commandLine, int showCommand);
int RunFilmsFolderStart();

// Brings a window of another instance to the front, restored.
void BringToFront(HWND window);
