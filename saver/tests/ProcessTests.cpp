// The saver program run as Windows runs it, in an installation of its own
// with stand-ins for the engine and the library manager.
#include "SaverTestSupport.h"
#include "ScreenSaverLibrary.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using savertest::Installation;
using savertest::kEngine;
using savertest::kManager;
using savertest::SaverProcess;

using Lines = std::vector<std::string>;

// Stand-ins that an unquoted command line would start in place of the
// program, or that would see the rest of the path as arguments.
void AddDecoys(const Installation& installation) {
  const std::string folderName = installation.Folder().substr(installation.Outside().size() + 1);
  CopyFileA(savertest::HostPath(KX_STANDIN).c_str(),
            (installation.Outside() + "\\" + folderName.substr(0, folderName.find(' ')) + ".exe").c_str(), FALSE);
  installation.AddProgram("KX3.exe");
  installation.AddProgram("Glintharbour.exe");
}

Lines DecoysStarted(const Installation& installation) {
  Lines started = installation.Started();
  std::ifstream outside(installation.Outside() + "\\started.log");
  for (std::string line; std::getline(outside, line);) started.push_back(line);
  return started;
}

// The saver and its configuration start their program once, with no
// arguments, even from folders with blanks in their names; on this system
// the saver stays, still answering messages, until the program ends.
TEST(SaverProgram, StartsItsProgramAndStaysUntilItEnds) {
  struct Case {
    const char* folder;
    const char* pathEnd;  // what `Path` has after the folder
    const char* arguments;
    const char* program;
    bool hasWindow;  // Wine lists no window still inside its creation message
  };
  const Case kCases[] = {
      {"kx saver", "", "/s", kEngine, false},
      {"kx-player saver", "\\", "-S", kEngine, false},  // "-p" in the saver's own path is no preview
      {"kx saver", "", "/c", kManager, true},
      {"kx saver", "\\", "", kManager, true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.folder) + " " + c.arguments);
    Installation installation(c.folder);
    installation.AddProgram(kEngine);
    installation.AddProgram(kManager);
    AddDecoys(installation);
    installation.SetPath((installation.Folder() + c.pathEnd).c_str());

    SaverProcess saver(installation.AddSaver(), c.arguments);
    ASSERT_TRUE(saver.Started());
    ASSERT_TRUE(installation.WaitForStarts(1));
    Sleep(300);
    EXPECT_TRUE(saver.Running()) << "the saver waits for its program";
    if (c.hasWindow) {
      HWND window = saver.TopWindow();
      ASSERT_NE(nullptr, window);
      DWORD_PTR answer = 0;
      EXPECT_NE(0, SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer))
          << "a waiting saver still answers messages";
    }

    installation.EndPrograms();
    EXPECT_TRUE(saver.WaitForEnd());
    EXPECT_EQ(Lines{std::string(c.program) + "|"}, DecoysStarted(installation));
  }
}

// A manager already running, even minimised, is brought to the front and
// nothing is started.
TEST(SaverProgram, BringsARunningManagerForward) {
  Installation installation;
  installation.AddProgram(kEngine);
  installation.EndPrograms();
  HWND manager = kxtest::MakePlainWindow("Glintharbour Player");
  HWND other = kxtest::MakePlainWindow("kxtest other");
  ShowWindow(manager, SW_SHOWMINIMIZED);
  ShowWindow(other, SW_SHOW);
  SetForegroundWindow(other);

  SaverProcess saver(installation.AddSaver(), "/s");
  EXPECT_TRUE(saver.WaitForEnd());
  EXPECT_TRUE(kxtest::PumpUntil([&] { return !IsIconic(manager) && GetForegroundWindow() == manager; }, 3000));
  EXPECT_TRUE(installation.Started().empty());
  DestroyWindow(other);
  DestroyWindow(manager);
}

// Run as on Windows 95, 98 and ME (Wine reports that version to the saver's
// file name): the manager is looked for on the desktop "default", and an
// engine that starts is left running while the saver ends at once.
TEST(SaverProgram, OnWindows98TheSaverEndsAtOnce) {
  const char kName[] = "kx3saver98.scr";
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER,
                                           (std::string("Software\\Wine\\AppDefaults\\") + kName).c_str(), 0,
                                           nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
  RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
  RegCloseKey(key);

  {
    SCOPED_TRACE("nothing running");
    Installation installation;
    installation.AddProgram(kEngine);
    SaverProcess saver(installation.AddSaver(kName), "/s");
    ASSERT_TRUE(installation.WaitForStarts(1));
    EXPECT_TRUE(saver.WaitForEnd()) << "the saver does not wait for the engine";
    EXPECT_EQ(Lines{std::string(kEngine) + "|"}, installation.Started());
  }
  {
    SCOPED_TRACE("manager running");
    Installation installation;
    installation.AddProgram(kEngine);
    installation.EndPrograms();
    HWND manager = kxtest::MakePlainWindow("Glintharbour Player");
    ShowWindow(manager, SW_SHOWMINIMIZED);
    SaverProcess saver(installation.AddSaver(kName), "/s");
    EXPECT_TRUE(saver.WaitForEnd());
    EXPECT_TRUE(kxtest::PumpUntil([&] { return !IsIconic(manager); }, 3000));
    EXPECT_TRUE(installation.Started().empty());
    DestroyWindow(manager);
  }
}

// The preview fills the area Windows gives it, starts nothing, and ends
// with its parent window, here one of another process.
TEST(SaverProgram, PreviewLivesInItsParentWindow) {
  Installation installation;
  installation.AddProgram(kEngine);
  installation.AddProgram(kManager);
  installation.EndPrograms();
  HWND area = kxtest::MakePlainWindow("kxtest preview area");
  SetWindowPos(area, HWND_TOPMOST, 400, 300, 320, 240, SWP_SHOWWINDOW);

  SaverProcess saver(installation.AddSaver(), "/p " + std::to_string(reinterpret_cast<UINT_PTR>(area)));
  HWND preview = nullptr;
  ASSERT_TRUE(kxtest::PumpUntil([&] { return (preview = FindWindowExA(area, nullptr, kScreenSaverClass, nullptr)); }));
  RECT areaClient{}, previewClient{};
  GetClientRect(area, &areaClient);
  GetClientRect(preview, &previewClient);
  EXPECT_TRUE(EqualRect(&areaClient, &previewClient)) << "the preview fills the area";

  EXPECT_TRUE(saver.Running());
  DestroyWindow(area);
  EXPECT_TRUE(saver.WaitForEnd()) << "the preview ends with its parent";
  EXPECT_TRUE(installation.Started().empty());
}

}  // namespace

namespace {

// The picture at the top-left of the preview, black around it. A preview
// inside another process's window is not drawn on this display, so the
// probe runs the preview in a window of its own process.
TEST(SaverProgram, PreviewDrawsThePicture) {
  const std::string probe = savertest::HostPath(KX_PREVIEW_PROBE);
  std::string commandLine = "\"" + probe + "\" /p";
  // Its report goes to a file: a pipe may stay open in Wine's own helpers.
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string reportPath = std::string(temp) + "kxprobe" + std::to_string(GetCurrentProcessId()) + ".txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE report = CreateFileA(reportPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, report);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = report;
  startup.hStdError = report;
  PROCESS_INFORMATION info = {};
  const BOOL started = CreateProcessA(probe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &info);
  CloseHandle(report);
  ASSERT_TRUE(started);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(info.hProcess, 20000));
  DWORD exitCode = 99;
  GetExitCodeProcess(info.hProcess, &exitCode);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  std::ifstream in(reportPath);
  const std::string output((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileA(reportPath.c_str());
  EXPECT_EQ(0u, exitCode) << output;
}

}  // namespace
