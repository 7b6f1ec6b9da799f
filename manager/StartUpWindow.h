#pragma once
// The borderless picture window shown while the library manager starts, and
// the check that QuickTime is installed. Other instances know a starting
// library manager by this window's title.
#include "CP_Win.h"

#include <cstdint>
#include <string>

class StartUpWindow {
 public:
  // Registers the class, shows the window centred on the screen and ends the
  // process (exit code 0) after a message when QuickTime is missing. When the
  // class cannot be registered there is neither window nor check.
  StartUpWindow(HINSTANCE instance, HINSTANCE previousInstance, const char* className,
                const char* title, int16_t bitmapId);
  StartUpWindow(const StartUpWindow&) = delete;
  StartUpWindow& operator=(const StartUpWindow&) = delete;

  // Destroys this process's window of that class and title; nothing when it
  // is gone already.
  void Remove();

 private:
  const char* fTitle;
};

LRESULT CALLBACK StartUpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Whether "Quicktime.qts" opens for reading in `systemFolder`.
bool QuickTimeInstalled(const std::string& systemFolder);
// Tells the user and ends the process with exit code 0 when QuickTime is not
// in `systemFolder`; `owner` may be null.
void RequireQuickTime(HWND owner, const std::string& systemFolder);
// The Windows system folder.
std::string SystemFolder();
