#include "actions/MultimediaAction.h"

#include "CP_Application.h"
#include "CP_FourCC.h"
#include "CP_Win.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "WindowTestSupport.h"
#include "panes/CP_QT_MoviePane.h"
#include "WinTestSupport.h"
#include "store/library/ActionTable.h"
#include "utility/GH_Utility.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace {

// A folder of its own per case, with a batch file that writes its
// arguments into "ran.txt" beside it: the sign that the shell started it.
class EngineLaunch : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = GetTempDirectory() + "kx_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA(Marker().c_str());
    std::ofstream(folder + "\\probe.bat") << "@echo off\r\necho [%*]> \"" << Marker() << "\"\r\n";
  }
  void TearDown() override {
    DeleteFileA(Marker().c_str());
    DeleteFileA((folder + "\\probe.bat").c_str());
    RemoveDirectoryA(folder.c_str());
  }

  std::string Marker() const { return folder + "\\ran.txt"; }
  // The batch file may still hold the marker open just after writing it:
  // wait until it is really gone, or the next run reads the old one.
  void RemoveMarker() const {
    EXPECT_TRUE(kxtest::PumpUntil(
        [&] {
          DeleteFileA(Marker().c_str());
          return GetFileAttributesA(Marker().c_str()) == INVALID_FILE_ATTRIBUTES;
        },
        10000));
  }
  // What the batch file wrote, once it ran; empty when it did not within
  // the time given.
  std::string WaitForRun(int timeoutMs = 10000) const {
    std::string text;
    kxtest::PumpUntil(
        [&] {
          std::ifstream in(Marker());
          std::stringstream s;
          s << in.rdbuf();
          text = s.str();
          return text.find(']') != std::string::npos;
        },
        timeoutMs);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
  }

  static void Run(const std::string& text) {
    ActionDefinition definition(text);
    Run(definition.GetName(), definition.GetParameters());
  }
  static void Run(const std::string& name, ActionParameters& parameters) {
    std::unique_ptr<MultimediaAction> action(MultimediaActionFactory::CreateAction(name, parameters));
    ASSERT_NE(nullptr, action) << name;
    action->Execute();
  }

  std::string folder;
};

TEST_F(EngineLaunch, LaunchURLOpensTheAddressAsItStands) {
  Run("launchURL(URL=\"" + folder + "\\probe.bat\")");
  EXPECT_EQ("[]", WaitForRun());
}

TEST_F(EngineLaunch, LaunchURLWithoutAnAddressDoesNothing) {
  ActionParameters none;
  Run("launchURL", none);
  for (const std::string& text : {std::string("launchURL(URL=\"\")"),
                                 // The key is case-sensitive.
                                 "launchURL(url=\"" + folder + "\\probe.bat\")"})
    Run(text);
  EXPECT_EQ("", WaitForRun(1500));
}

// The CD drive setting, or none when `drive` is null.
void SetCDDrive(const char* drive) {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows);
  const std::string file = std::string(windows) + "\\glintharbour.ini";
  DeleteFileA(file.c_str());
  if (drive) WritePrivateProfileStringA("Glintharbour", "CDDrive", drive, file.c_str());
}

class EngineLaunchApp : public EngineLaunch {
 protected:
  void TearDown() override {
    SetCDDrive(nullptr);
    EngineLaunch::TearDown();
  }
};

TEST_F(EngineLaunchApp, ARelativeFileStartsFromTheCDDriveWithItsParameters) {
  // The setting without its backslash: one is put between.
  SetCDDrive(folder.c_str());
  Run("launchApp(File=\"probe.bat\",Params=\"alpha beta\")");
  EXPECT_EQ("[alpha beta]", WaitForRun());
}

TEST_F(EngineLaunchApp, AnEmptyParamsStartsWithoutParameters) {
  SetCDDrive((folder + "\\").c_str());
  Run("launchApp(File=\"probe.bat\",Params=\"\",SingleInstance=\"yes\")");
  EXPECT_EQ("[]", WaitForRun());
}

TEST_F(EngineLaunchApp, WithoutTheSettingTheFolderIsCalledNone) {
  // "none" is taken as a folder name, here one below the current folder.
  SetCDDrive(nullptr);
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof current, current);
  SetCurrentDirectoryA(folder.c_str());
  CreateDirectoryA("none", nullptr);
  CopyFileA((folder + "\\probe.bat").c_str(), (folder + "\\none\\probe.bat").c_str(), FALSE);
  Run("launchApp(File=\"probe.bat\",Params=\"from none\")");
  EXPECT_EQ("[from none]", WaitForRun());
  DeleteFileA((folder + "\\none\\probe.bat").c_str());
  SetCurrentDirectoryA(current);
  RemoveDirectoryA((folder + "\\none").c_str());
}

TEST_F(EngineLaunchApp, OnlyZeroMakesTheFileAFullPath) {
  SetCDDrive("Q:\\no drive");
  Run("launchApp(File=\"" + folder + "\\probe.bat\",CDPathRelative=\"0\",SingleInstance=\"1\",Params=\"full\")");
  EXPECT_EQ("[full]", WaitForRun()) << "no copy of a batch file runs: it is started";
  RemoveMarker();
  // Any other value keeps File relative: Q:\no drive\C:\... starts nothing.
  Run("launchApp(File=\"" + folder + "\\probe.bat\",CDPathRelative=\"false\")");
  EXPECT_EQ("", WaitForRun(1500));
}

TEST_F(EngineLaunchApp, SingleInstanceFindsARunningCopyAndStartsNoOther) {
  std::string standIn = KX_STANDIN;
  for (char& c : standIn)
    if (c == '/') c = '\\';
  const std::string program = folder + "\\kx_single_copy.exe";
  ASSERT_TRUE(CopyFileA(("Z:" + standIn).c_str(), program.c_str(), FALSE));
  const std::string log = folder + "\\started.log";
  auto starts = [&] {
    std::ifstream in(log);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) ++n;
    return n;
  };
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION running{};
  ASSERT_TRUE(CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                             &running));
  EXPECT_TRUE(kxtest::PumpUntil([&] { return starts() == 1; }, 10000));
  SetCDDrive(folder.c_str());
  Run("launchApp(File=\"kx_single_copy.exe\",SingleInstance=\"1\")");
  kxtest::PumpUntil([&] { return starts() > 1; }, 1500);
  EXPECT_EQ(1, starts()) << "the running copy stands";
  Run("launchApp(File=\"kx_single_copy.exe\",SingleInstance=\"0\")");
  EXPECT_TRUE(kxtest::PumpUntil([&] { return starts() == 2; }, 10000)) << "without the option a second starts";
  std::ofstream(folder + "\\end") << "";
  WaitForSingleObject(running.hProcess, 10000);
  CloseHandle(running.hThread);
  CloseHandle(running.hProcess);
  Sleep(300);  // the second copy sees "end" too
  for (const char* name : {"\\kx_single_copy.exe", "\\started.log", "\\end"}) DeleteFileA((folder + name).c_str());
}

TEST_F(EngineLaunchApp, NoFileStartsNothing) {
  SetCDDrive(folder.c_str());
  ActionParameters none;
  Run("launchApp", none);
  Run("launchApp(file=\"probe.bat\")");  // keys are case-sensitive
  EXPECT_EQ("", WaitForRun(1500));
}

// A main video pane that answers a play mode of the test's choosing.
class MainPane : public CP_QT_MoviePane {
 public:
  MainPane(CP_View* super, int32_t mode)
      : CP_QT_MoviePane(super, CP_PaneInfo(CP_Point(int32_t(0), int32_t(0)), CP_Size(100, 80)), nullptr),
        fMode(mode) {
    SetIdentifier(int32_t(CP_FourCC("MAIN")));
  }
  int32_t GetPlayMode() const override { return fMode; }
  int32_t fMode;
};

TEST_F(EngineLaunchApp, TheMainPanePlayingFromTheCurrentFolderStartsFromThereAndGoesOnIdling) {
  StartFramework(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
  ASSERT_EQ(noErr, InitQuickTime());
  {
    CP_Application app;
    CP_Window window(&app, kxtest::Describe(CP_Window::kDocument, 0, 0, 100, 80), "MainVideoWindow");
    window.SetOwnsItself(false);
    MainPane pane(&window, 2);
    SetCDDrive("Q:\\no drive");
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(folder.c_str());

    pane.StopIdleCalls();
    Run("launchApp(File=\"probe.bat\",Params=\"here\")");
    EXPECT_EQ("[here]", WaitForRun());
    EXPECT_TRUE(pane.IsIdling());

    // Playing the play list: the CD drive setting decides.
    RemoveMarker();
    pane.fMode = 3;
    pane.StopIdleCalls();
    Run("launchApp(File=\"probe.bat\")");
    EXPECT_EQ("", WaitForRun(1500));
    EXPECT_TRUE(pane.IsIdling());

    // Nothing to start: the pane is left as it was.
    pane.StopIdleCalls();
    Run("launchApp(Params=\"x\")");
    EXPECT_FALSE(pane.IsIdling());
    SetCurrentDirectoryA(current);
  }
  StopFramework();
}

}  // namespace
