#include "utility/GH_SplashScreen.h"

#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

RECT WindowRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return c;
}

TEST(EngineSplash, TheEngineSplashCoversTheScreenWithThePictureNearTheBottom) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  kxtest::MessageBoxWatcher boxes("", IDOK);
  CheckQuickTimeAndShowSplash splash(GetModuleHandleA(nullptr), nullptr, kSplashClassName, kSplashTitle,
                                     kSplashBitmapId);
  EXPECT_STREQ("GH_Window", splash.GetTitle());
  HWND window = FindWindowA(nullptr, "GH_Window");
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(WS_POPUP, GetWindowLongA(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_CHILD));
  const RECT r = WindowRect(window);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_EQ(width, r.right);
  EXPECT_EQ(height, r.bottom);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  EXPECT_STREQ("GH_Player", className);

  // Black around the 200 x 48 picture, which starts 50 pixels above the bottom.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(window, 100, 100));
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(window, 250, height - 30)) << "right of the picture";
  EXPECT_NE(RGB(0, 0, 0), PixelAt(window, 2, height - 48)) << "the picture's first row";
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(window, 2, height - 51)) << "above the picture";
  EXPECT_EQ(0, boxes.Count()) << "QuickTime is installed here";

  // Ending the window posts the quit message (which the framework's loop ignores).
  DestroyWindow(window);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(0u, msg.wParam);
}

TEST(EngineSplash, AnotherClassGetsTheCentredBox) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  CheckQuickTimeAndShowSplash splash(GetModuleHandleA(nullptr), nullptr, "GH_Manager", "Other splash",
                                     kSplashBitmapId);
  HWND window = FindWindowA("GH_Manager", "Other splash");
  ASSERT_NE(nullptr, window);
  const RECT r = WindowRect(window);
  EXPECT_EQ(width / 2 - 300, r.left);
  EXPECT_EQ(height / 2 - 137, r.top);
  EXPECT_EQ(600, r.right - r.left);
  EXPECT_EQ(274, r.bottom - r.top);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_NE(RGB(0, 0, 0), PixelAt(window, 2, 2)) << "the picture at the window's origin";
  EXPECT_EQ(RGB(0, 0, 0), PixelAt(window, 2, 60)) << "below the picture";
  DestroyWindow(window);
}

TEST(EngineSplash, ARegisteredClassIsTakenAsItIsWithAPreviousInstance) {
  // Without registering, with a previous instance: the window is made from
  // the class as it exists. An unknown class makes no window and no harm.
  CheckQuickTimeAndShowSplash splash(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr), "GH_Never_Registered",
                                     "Never shown", kSplashBitmapId);
  EXPECT_EQ(nullptr, FindWindowA(nullptr, "Never shown"));
}

TEST(EngineSplash, QuickTimeIsPresentWhenItsLibraryOpens) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder = std::string(temp) + "kx_qt_presence";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string library = folder + "\\Quicktime.qts";
  DeleteFileA(library.c_str());
  EXPECT_FALSE(QuickTimeInstalledIn(folder));
  // Only presence counts: an empty library passes.
  FILE* f = std::fopen(library.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  std::fclose(f);
  EXPECT_TRUE(QuickTimeInstalledIn(folder));
  EXPECT_TRUE(QuickTimeInstalledIn(folder + "\\")) << "a folder already ending in a backslash";
  DeleteFileA(library.c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace
