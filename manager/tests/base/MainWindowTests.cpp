// Finding the main window by its title, and the names of volumes.
#include "CP_Volume.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A title of this process alone: other test programs may have a window
// titled like the real main window at the same time.
std::string TestTitle() { return "Glintharbour Player " + std::to_string(GetCurrentProcessId()); }

}  // namespace

using MgrFindMainWindowTest = FrameworkTest;

TEST_F(MgrFindMainWindowTest, TheFrameworkWindowBearingTheTitleOrNone) {
  const std::string title = TestTitle();
  EXPECT_EQ(nullptr, FindMainWindow(title)) << "before the window exists";

  auto main = std::make_unique<CP_Window>(nullptr, CP_Point(int16_t(40), int16_t(40)),
                                          CP_Size(200, 100), title);
  EXPECT_EQ(main.get(), FindMainWindow(title));
  EXPECT_EQ(nullptr, FindMainWindow(title + " 2")) << "another title";

  // A window that is no framework window, with the same title, in front.
  HWND stranger = kxtest::MakePlainWindow(title.c_str());
  SetWindowPos(stranger, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(stranger, FindWindowA(nullptr, title.c_str()));
  EXPECT_EQ(nullptr, FindMainWindow(title)) << "the first match is not ours";
  DestroyWindow(stranger);
  EXPECT_EQ(main.get(), FindMainWindow(title));

  main.reset();
  EXPECT_EQ(nullptr, FindMainWindow(title)) << "after it was closed";
}

TEST(MgrFindMainWindowWithoutFrameworkTest, NoneBeforeTheFrameworkStarts) {
  HWND plain = kxtest::MakePlainWindow(TestTitle().c_str());
  EXPECT_EQ(nullptr, FindMainWindow(TestTitle()));
  DestroyWindow(plain);
}

TEST(MgrGetVolumeNameTest, WithoutALabelTheCDDrivesShellNameLessItsDrivePart) {
  // Wine's drives carry no label unless one was set.
  char label[128] = {};
  ASSERT_TRUE(GetVolumeInformationA("C:\\", label, sizeof label, nullptr, nullptr, nullptr,
                                    nullptr, 0));
  if (label[0]) GTEST_SKIP() << "drive C: has a label here";

  const DWORD drives = GetLogicalDrives();
  ASSERT_TRUE(drives & (1u << ('Z' - 'A'))) << "Wine's drive Z:";
  const std::string zName = CP_Volume(int16_t('Z' - 'A')).GetDisplayName();
  ASSERT_GE(zName.size(), 5u);
  ASSERT_EQ(" (Z:)", zName.substr(zName.size() - 5)) << zName;
  const std::string want = zName.substr(0, zName.size() - 5);

  struct Case {
    const char* name;
    std::string cdDrive;
    std::string path;
    std::string want;
  } const cases[] = {
      {"unlabelled root", "Z:\\", "C:\\", want},
      {"a folder that is no root", "Z:\\", "C:\\windows\\", want},
      {"the CD drive's letter alone counts", "z:\\films\\", "C:\\", want},
      {"no CD drive configured", "", "C:\\", ""},
      {"no drive letter", "\\\\server\\", "C:\\", ""},
  };
  for (const Case& c : cases) {
    cdDriveRoot = c.cdDrive;
    EXPECT_EQ(c.want, GetVolumeName(c.path)) << c.name;
    EXPECT_EQ(c.want, GetVolumeName(c.path.c_str())) << c.name;
  }
  cdDriveRoot.clear();
}
