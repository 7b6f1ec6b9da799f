// The saver's requests run inside the test process, so that the message
// boxes it shows are answered here and its windows are our windows.
#include "Saver.h"
#include "SaverTestSupport.h"
#include "ScreenSaverLibrary.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

using savertest::Installation;
using savertest::kEngine;
using savertest::kManager;

const char kNotInstalled[] = "Glintharbour is not installed correctly. Please Re-Install.";
const char kProgramMissing[] =
    "Cannot find the Glintharbour Executable. The file is missing or corrupt.\r\n\r\n"
    "Please Re-Install Glintharbour. Thanks!";
const char kCannotLaunch[] = "Cannot launch screensaver.\tPlease Re-Install Glintharbour.";

HINSTANCE Self() { return GetModuleHandleA(nullptr); }

// Takes a posted quit message out of the queue; true when there was one.
bool TakeQuit() {
  MSG msg;
  return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

void Pump(int ms) {
  kxtest::PumpUntil([] { return false; }, ms);
}

struct StartProblem {
  const char* name;
  void (*prepare)(Installation&);
  const char* caption;
  const char* text;
};

const StartProblem kStartProblems[] = {
    {"NoPathKey", [](Installation& i) { i.SetPath(nullptr); }, "Glintharbour KX", kNotInstalled},
    {"EmptyPath", [](Installation& i) { i.SetPath(""); }, "Glintharbour KX", kNotInstalled},
    {"EngineMissing", [](Installation& i) { i.AddProgram(kManager); }, "Glintharbour International",
     kProgramMissing},
    {"EngineIsAFolder",
     [](Installation& i) { CreateDirectoryA((i.Folder() + "\\" + kEngine).c_str(), nullptr); },
     "Glintharbour International", kProgramMissing},
    {"EngineIsNoProgram", [](Installation& i) { i.AddFile(kEngine, "plain text, not a program\r\n"); },
     "Glintharbour", kCannotLaunch},
};

void PrintTo(const StartProblem& problem, std::ostream* out) { *out << problem.name; }

class SaverStart : public ::testing::TestWithParam<StartProblem> {};

// Each problem is told once; the engine is never started, and a later
// request of the same saver process does not try again even when the
// installation has been put right meanwhile.
TEST_P(SaverStart, TellsTheProblemOnceAndStartsNothing) {
  const StartProblem& problem = GetParam();
  Installation installation;
  installation.EndPrograms();  // a stand-in that does start ends at once
  problem.prepare(installation);
  kxtest::MessageBoxWatcher boxes(problem.caption, IDOK);

  EXPECT_EQ(0, RunScreenSaver(Self(), "/s"));
  ASSERT_TRUE(boxes.WaitFor(1));
  EXPECT_EQ(problem.text, boxes.LastText());
  EXPECT_EQ(nullptr, FindWindowA(kScreenSaverClass, nullptr)) << "no saver window stays";

  RemoveDirectoryA((installation.Folder() + "\\" + kEngine).c_str());
  installation.SetPath(installation.Folder().c_str());
  installation.AddProgram(kEngine);
  EXPECT_EQ(0, RunScreenSaver(Self(), "/s"));
  Pump(300);
  EXPECT_EQ(1, boxes.Count());
  EXPECT_TRUE(installation.Started().empty());
}

INSTANTIATE_TEST_SUITE_P(Saver, SaverStart, ::testing::ValuesIn(kStartProblems),
                         [](const ::testing::TestParamInfo<StartProblem>& info) { return info.param.name; });

// Wherever the pointer rests, a running manager comes to the front and no
// engine starts; resting in the screen's bottom-right corner also posts a
// quit message.
TEST(SaverRun, BringsTheManagerForwardAndWatchesTheHotCorner) {
  Installation installation;
  installation.AddProgram(kEngine);
  installation.EndPrograms();
  HWND manager = kxtest::MakePlainWindow("Glintharbour Player");
  HWND other = kxtest::MakePlainWindow("kxtest other");
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);

  struct Case {
    int fromRight, fromBottom;
    bool quits;
  };
  const Case kCases[] = {
      {1, 1, true}, {4, 4, true}, {5, 1, false}, {1, 5, false}, {desktop.right / 2, desktop.bottom / 2, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::to_string(c.fromRight) + "," + std::to_string(c.fromBottom));
    ShowWindow(manager, SW_SHOWMINIMIZED);
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(other);
    Pump(50);
    ASSERT_TRUE(SetCursorPos(desktop.right - c.fromRight, desktop.bottom - c.fromBottom));

    EXPECT_EQ(0, RunScreenSaver(Self(), "/s"));
    EXPECT_EQ(c.quits, TakeQuit());
    EXPECT_FALSE(IsIconic(manager));
    EXPECT_TRUE(kxtest::PumpUntil([&] { return GetForegroundWindow() == manager; }, 2000));
  }
  SetCursorPos(desktop.right / 2, desktop.bottom / 2);
  EXPECT_TRUE(installation.Started().empty());
  DestroyWindow(other);
  DestroyWindow(manager);
}

// Without the manager's program the dialog says so and stays: OK and Cancel
// do nothing, its close box closes it, and its owner takes input again.
TEST(SaverConfigure, WithoutTheManagerTheDialogStaysUntilClosed) {
  Installation installation;
  installation.AddProgram(kEngine);
  installation.EndPrograms();
  HWND owner = kxtest::MakePlainWindow("kxtest settings");
  ShowWindow(owner, SW_SHOW);
  kxtest::MessageBoxWatcher boxes("Glintharbour International", IDOK);
  std::atomic<bool> stayedOpen{false}, ownerDisabled{false};
  kxtest::DialogWatcher dialogs("Dialog", [&](HWND dialog) {
    kxtest::DialogWatcher::Press(dialog, IDOK);
    kxtest::DialogWatcher::Press(dialog, IDCANCEL);
    Sleep(300);
    stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
    ownerDisabled = !IsWindowEnabled(owner);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });

  const std::string arguments = "/c:" + std::to_string(reinterpret_cast<UINT_PTR>(owner));
  RunScreenSaver(Self(), arguments.c_str());
  EXPECT_EQ(1, boxes.Count());
  EXPECT_EQ(kProgramMissing, boxes.LastText());
  EXPECT_EQ(1, dialogs.Count());
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(ownerDisabled) << "the dialog is modal to its owner";
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_TRUE(installation.Started().empty());
  DestroyWindow(owner);
}

// Without an installation the dialog closes at once after its message.
TEST(SaverConfigure, WithoutAnInstallationTheDialogCloses) {
  Installation installation;
  installation.AddProgram(kManager);
  installation.EndPrograms();
  installation.SetPath(nullptr);
  kxtest::MessageBoxWatcher boxes("Glintharbour KX", IDOK);
  kxtest::DialogWatcher dialogs("Dialog", [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });

  RunScreenSaver(Self(), "/c");
  EXPECT_EQ(1, boxes.Count());
  EXPECT_EQ(kNotInstalled, boxes.LastText());
  EXPECT_EQ(0, dialogs.Count()) << "the dialog was never shown";
  EXPECT_TRUE(installation.Started().empty());
}

}  // namespace
