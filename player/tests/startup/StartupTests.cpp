// The engine's entry function as a real process: the single-instance rules
// and the settings check, each ending with exit code 0.
#include "CP_Win.h"
#include "WinTestSupport.h"
#include "support/ForeignWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string Folder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "kx_engine_start_" + std::to_string(GetCurrentProcessId());
}

std::string IniPath() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows) + "\\glintharbour.ini";
}

// The program and the table engine it imports, in a folder of their own.
class EngineStart : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA(Folder().c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(KX_ENGINE_EXE, (Folder() + "\\KX3 Engine.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(KX_C4DLL, (Folder() + "\\C4DLL.DLL").c_str(), FALSE));
    DeleteFileA(IniPath().c_str());
  }
  void TearDown() override {
    for (HWND w : windows) DestroyWindow(w);
    DeleteFileA((Folder() + "\\KX3 Engine.exe").c_str());
    DeleteFileA((Folder() + "\\C4DLL.DLL").c_str());
    RemoveDirectoryA(Folder().c_str());
    DeleteFileA(IniPath().c_str());
  }

  // Runs the engine with the arguments; answers its exit code, or -1 when
  // it did not end within the time. `sawMain` tells whether a main video
  // window of the new process appeared meanwhile.
  DWORD Start(const std::string& arguments, bool& sawMain) {
    std::string commandLine = "\"" + Folder() + "\\KX3 Engine.exe\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    EXPECT_TRUE(kxtest::WaitForNoForeignWindows({"GH_Window", "MainVideoWindow"}));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    sawMain = false;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(), &startup,
                        &process))
      return DWORD(-2);
    DWORD code = DWORD(-1);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20000) {
      for (HWND w = FindWindowA(nullptr, "MainVideoWindow"); w; w = FindWindowExA(nullptr, w, nullptr, "MainVideoWindow")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process.dwProcessId) sawMain = true;
      }
      AnswerNotices(process.dwProcessId);
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
        break;
      }
      kxtest::PumpUntil([] { return false; }, 20);
    }
    if (code == DWORD(-1)) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  }

  // Presses OK on the new process's notices, as a user would, counting
  // each once.
  void AnswerNotices(DWORD processId) {
    for (HWND box = FindWindowA("#32770", "Glintharbour International"); box;
         box = FindWindowExA(nullptr, box, "#32770", "Glintharbour International")) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner != processId || !IsWindowVisible(box)) continue;
      if (std::find(notices.begin(), notices.end(), box) == notices.end()) notices.push_back(box);
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }

  std::vector<HWND> windows;
  std::vector<HWND> notices;
};

}  // namespace

TEST_F(EngineStart, AnotherProgramStartingMeansNoStart) {
  windows.push_back(kxtest::MakePlainWindow("GH_Window"));
  bool sawMain = true;
  EXPECT_EQ(0u, Start("7", sawMain));
  EXPECT_FALSE(sawMain);
}

TEST_F(EngineStart, ARunningEngineRefusesAStartUnlessItIsTheCds) {
  struct Case {
    const char* name;
    const char* cdDrive;  // null: no key
  };
  const Case kCases[] = {{"no CD drive setting", nullptr}, {"the CD's engine is not running", "C:"}};
  for (const Case& c : kCases) {
    if (c.cdDrive) WritePrivateProfileStringA("Glintharbour", "CDDrive", c.cdDrive, "glintharbour.ini");
    HWND running = kxtest::MakePlainWindow("MainVideoWindow");
    bool sawMain = true;
    EXPECT_EQ(0u, Start("7", sawMain)) << c.name;
    EXPECT_FALSE(sawMain) << c.name;
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, running, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << c.name;
    DestroyWindow(running);
    DeleteFileA(IniPath().c_str());
  }
}

TEST_F(EngineStart, AFilmNumberSkipsTheSettingsCheckAndEndsByItself) {
  // No settings file at all: a start without arguments refuses to run (its
  // message is the settings check's), a start with a number does not check,
  // finds no such film and ends through its own click.
  bool sawMain = false;
  EXPECT_EQ(0u, Start("7", sawMain));
  EXPECT_TRUE(sawMain);
  EXPECT_EQ(1u, notices.size()) << "the tables at the default DBPath cannot be read: told once";
}
