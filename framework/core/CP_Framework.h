#pragma once
// Start-up and shut-down of a framework program, and the process's start-up
// values.
#include "CP_Win.h"

#include <cstdint>

extern HINSTANCE gCP_Instance;
extern HINSTANCE gCP_PrevInstance;
extern const char* gCP_CommandLine;  // the arguments only
extern int gCP_ShowCommand;
extern bool gCP_Started;
extern bool gCP_QTMLPresent;
extern bool gCP_MoviesReady;

// The command line kept at start-up: the arguments, without the program.
const char* GetCommandLineText();

// In this order: keeps the start-up values, sets the started flag, makes the
// desktop, initialises the common controls and registers the stored
// control classes.
void StartFramework(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine,
                    int showCommand);
// Ends QuickTime when it was initialised, then deletes the clipboard object,
// the desktop and the menu bar.
void StopFramework();

// Loads the movie layer and starts the movie toolbox; 0 when films can play.
int16_t InitQuickTime();
int16_t InitQTML();

// The start-up object an entry point keeps on its stack for the whole run.
class CP_FrameworkStartup {
 public:
  CP_FrameworkStartup(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine,
                      int showCommand) {
    StartFramework(instance, prevInstance, commandLine, showCommand);
  }
  ~CP_FrameworkStartup() { StopFramework(); }
  CP_FrameworkStartup(const CP_FrameworkStartup&) = delete;
  CP_FrameworkStartup& operator=(const CP_FrameworkStartup&) = delete;
};
