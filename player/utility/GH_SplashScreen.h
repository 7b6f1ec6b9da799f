#pragma once
// The engine's first window: a full-screen black splash with the product's
// picture, shown while the engine starts, and the test that QuickTime is
// installed at all. Other parts find the window by its title ("GH_Window")
// and destroy it; the class stays registered for the whole run.
#include "CP_Win.h"

#include <cstdint>
#include <string>

class CheckQuickTimeAndShowSplash {
 public:
  // Registers the class (unless a previous instance did), shows the window
  // and checks for "Quicktime.qts" in the system folder: without it the user
  // is told and the process ends with code 0. Nothing is shown or checked
  // when the class cannot be registered.
  CheckQuickTimeAndShowSplash(HINSTANCE instance, HINSTANCE previousInstance, const char* className,
                              const char* title, int16_t bitmapId);
  CheckQuickTimeAndShowSplash(const CheckQuickTimeAndShowSplash&) = delete;
  CheckQuickTimeAndShowSplash& operator=(const CheckQuickTimeAndShowSplash&) = delete;

  const char* GetTitle() const { return fTitle; }

  // Where the splash window goes for a class name; the engine's own class
  // covers the screen, any other is a centred 600 x 274 box.
  static RECT WindowRectFor(const char* className);
  // Where the picture is drawn in that window.
  static POINT PictureOriginFor(const char* className);

 private:
  const char* fTitle;  // lives as long as the program
};

// True when "Quicktime.qts" can be opened in the folder.
bool QuickTimeInstalledIn(const std::string& folder);

LRESULT CALLBACK SplashWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The engine's splash: its class, title and picture.
constexpr const char* kSplashClassName = "GH_Player";
constexpr const char* kSplashTitle = "GH_Window";
constexpr int16_t kSplashBitmapId = 1310;
