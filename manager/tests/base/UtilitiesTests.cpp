// Free space, the file test, the about box and the 24-bit image list.
#include "GH_AboutBox.h"
#include "GH_ImageList.h"
#include "GH_Resources.h"
#include "GH_Utilities.h"
#include "ManagerTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

TEST(MgrFreeDiskSpaceTest, AnswersTheDrivesFreeBytesAndZeroForNoDrive) {
  ULARGE_INTEGER toCaller = {}, total = {}, free = {};
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &toCaller, &total, &free));
  const uint64_t answer = FreeDiskSpace("C:\\");
  // Other tests write files meanwhile: allow some movement.
  const uint64_t slack = uint64_t(256) << 20;
  EXPECT_LE(answer, free.QuadPart + slack);
  EXPECT_GE(answer + slack, free.QuadPart);
  EXPECT_GT(answer, 0u);

  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_GT(FreeDiskSpace(windows), 0u) << "a folder on the drive";

  // A drive letter that names nothing.
  std::string missing;
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Z'; letter >= 'D' && missing.empty(); --letter) {
    if (!(drives & (1u << (letter - 'A')))) missing = std::string(1, letter) + ":\\";
  }
  ASSERT_FALSE(missing.empty());
  EXPECT_EQ(0u, FreeDiskSpace(missing));
}

TEST(MgrFreeDiskSpaceTest, TheWindowsKindDecidesHowFreeSpaceIsAsked) {
  struct Case {
    const char* name;
    uint32_t platform, build;
    int16_t want;
  } const cases[] = {
      {"NT", VER_PLATFORM_WIN32_NT, 2600, kOS_WindowsNT},
      {"Win32s", VER_PLATFORM_WIN32s, 0, kOS_Win32s},
      {"first Windows 95", VER_PLATFORM_WIN32_WINDOWS, 0x040003B6, kOS_Windows95},  // 4.0.950
      {"Windows 95 OSR2", VER_PLATFORM_WIN32_WINDOWS, 0x04000457, kOS_Windows95Later},  // 1111
      {"Windows 98", VER_PLATFORM_WIN32_WINDOWS, 0x040A07CE, kOS_Windows95Later},
      {"build 1000 itself", VER_PLATFORM_WIN32_WINDOWS, 1000, kOS_Windows95},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, OSKindOf(c.platform, c.build)) << c.name;

  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  EXPECT_EQ(OSKindOf(info.dwPlatformId, info.dwBuildNumber), GetOSKind());
}

TEST(MgrFileExistsTest, OnlyFilesThatOpenForReading) {
  mgrtest::TempFolder folder("fileexists");
  mgrtest::WriteFileBytes(folder / "film.flm", 10);
  mgrtest::WriteFileBytes(folder / "empty.flm", 0);
  struct Case {
    std::string path;
    bool want;
  } const cases[] = {
      {folder / "film.flm", true},
      {folder / "empty.flm", true},
      {folder / "missing.flm", false},
      {folder.Path(), false},  // a folder is no file
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(c.want, FileExists(c.path)) << c.path;

  // A file that another holder keeps locked against every access.
  HANDLE locked = CreateFileA((folder / "film.flm").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, locked);
  EXPECT_FALSE(FileExists(folder / "film.flm"));
  CloseHandle(locked);
}

namespace {

// Runs the about box over a plain owner window while `act` works it from the
// watcher's thread; answers the box's result.
INT_PTR RunAboutBox(std::function<void(HWND)> act) {
  HWND owner = kxtest::MakePlainWindow("about owner");
  kxtest::DialogWatcher watcher("", std::move(act));
  GH_AboutBox box;
  const INT_PTR result = box.Run(owner);
  DestroyWindow(owner);
  return result;
}

bool StillOpenAfterAWhile(HWND dialog) {
  Sleep(300);
  return IsWindow(dialog) && IsWindowVisible(dialog);
}

}  // namespace

TEST(MgrAboutBoxTest, ShowsThePictureWithTheIconAndHidesItsButton) {
  bool checked = false;
  const INT_PTR result = RunAboutBox([&](HWND dialog) {
    EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(0, GetWindowLongA(dialog, GWL_STYLE) & WS_CAPTION);

    HWND picture = GetDlgItem(dialog, GH_ITEM_ABOUT_PICTURE);
    HBITMAP bitmap = HBITMAP(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    EXPECT_TRUE(bitmap && GetObjectA(bitmap, sizeof info, &info));
    EXPECT_EQ(600, info.bmWidth);
    EXPECT_EQ(274, info.bmHeight);
    // Clicks on the picture pass through to the box.
    EXPECT_EQ(HTTRANSPARENT, SendMessageA(picture, WM_NCHITTEST, 0, 0));

    RECT client = {}, button = {};
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, IDOK), &button);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_GE(button.top, client.bottom) << "OK lies below the visible area";
    checked = true;
    PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  });
  EXPECT_TRUE(checked);
  EXPECT_EQ(1, result);
}

TEST(MgrAboutBoxTest, ClicksKeysAndEnterCloseItEscapeDoesNot) {
  struct Case {
    const char* name;
    UINT message;
    WPARAM wParam;
  } const closers[] = {
      {"left click", WM_LBUTTONDOWN, MK_LBUTTON},
      {"right click", WM_RBUTTONDOWN, MK_RBUTTON},
      {"a key", WM_KEYDOWN, 'A'},
      {"Enter to the default button", WM_KEYDOWN, VK_RETURN},
  };
  for (const Case& c : closers) {
    bool escapeKeptIt = false;
    const INT_PTR result = RunAboutBox([&](HWND dialog) {
      PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
      escapeKeptIt = StillOpenAfterAWhile(dialog);
      PostMessageA(dialog, c.message, c.wParam, 0);
    });
    EXPECT_TRUE(escapeKeptIt) << c.name;
    EXPECT_EQ(1, result) << c.name;
  }
}

TEST(MgrImageListTest, TwentyFourBitImagesOfTheAskedSize) {
  struct Case {
    int16_t count, width, height;
    uint8_t masked;
    int wantW, wantH;
    bool wantMask;
  } const cases[] = {
      {20, 41, 16, 1, 41, 16, true},
      {4, 16, 16, 0, 16, 16, false},
      {1, 0, -3, 0, 1, 1, false},  // sizes below 1 become 1 for Windows only
  };
  for (const Case& c : cases) {
    GH_ImageList list(c.count, c.width, c.height, c.masked);
    EXPECT_EQ(c.width, list.GetWidth());
    EXPECT_EQ(c.height, list.GetHeight());
    EXPECT_EQ(c.count, list.GetCapacity());
    int w = 0, h = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list.GetHandle(), &w, &h));
    EXPECT_EQ(c.wantW, w);
    EXPECT_EQ(c.wantH, h);

    // One image in, then read back how the list keeps its pixels.
    HDC screen = GetDC(nullptr);
    HBITMAP image = CreateCompatibleBitmap(screen, c.wantW, c.wantH);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(0, ImageList_Add(list.GetHandle(), image, nullptr));
    DeleteObject(image);
    IMAGEINFO info = {};
    ASSERT_TRUE(ImageList_GetImageInfo(list.GetHandle(), 0, &info));
    BITMAP pixels = {};
    GetObjectA(info.hbmImage, sizeof pixels, &pixels);
    EXPECT_EQ(24, pixels.bmBitsPixel) << c.width;
    EXPECT_EQ(c.wantMask, info.hbmMask != nullptr) << c.width;
  }
}
