// "KX3 Engine.exe" started as a process of its own in a Wine prefix whose
// system folder has no QuickTime library: the splash's presence check ends
// the start with one message box, and only opening the library counts.
#include "CP_Win.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kBoxCaption = "Glintharbour International";
const char* const kNoQuickTime = "Quicktime is not installed on this system";

std::string Folder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + "kx_engine_noqt_" + std::to_string(GetCurrentProcessId());
}

std::string LibraryPath() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\Quicktime.qts";
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TitleOf(HWND window) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

BOOL CALLBACK AddWindowOf(HWND window, LPARAM found) {
  auto* windows = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(found);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == windows->first) windows->second.push_back(window);
  return TRUE;
}

// The top-level windows of another process.
std::vector<HWND> WindowsOf(DWORD processId) {
  std::pair<DWORD, std::vector<HWND>> found{processId, {}};
  EnumWindows(AddWindowOf, reinterpret_cast<LPARAM>(&found));
  return found.second;
}

BOOL CALLBACK AddChild(HWND child, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
  return TRUE;
}

// A message box's static controls: the text, and the icon when it has one.
struct BoxContents {
  std::string text;
  HWND icon = nullptr;
};

BoxContents ContentsOf(HWND box) {
  std::vector<HWND> children;
  EnumChildWindows(box, AddChild, reinterpret_cast<LPARAM>(&children));
  BoxContents contents;
  for (HWND child : children) {
    if (ClassOf(child) != "Static") continue;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      contents.icon = child;
    else if (!TitleOf(child).empty())
      contents.text = TitleOf(child);
  }
  return contents;
}

// What a test saw of the engine's process while it ran.
struct Watch {
  std::set<HWND> boxes;   // every message box, by handle
  HWND ours = nullptr;    // the first box of the presence check
  bool sawMain = false;   // a "MainVideoWindow" appeared
  std::set<std::string> visible;  // class and title of every visible window
};

void Look(DWORD processId, Watch& watch) {
  for (HWND w : WindowsOf(processId)) {
    const std::string title = TitleOf(w);
    if (title == "MainVideoWindow") watch.sawMain = true;
    if (ClassOf(w) == "#32770" && IsWindowVisible(w)) {
      watch.boxes.insert(w);
      if (!watch.ours && title == kBoxCaption && ContentsOf(w).text == kNoQuickTime) watch.ours = w;
    }
    if (IsWindowVisible(w)) watch.visible.insert(ClassOf(w) + "/" + title);
  }
}

// A started engine; one still running when the test ends is ended.
struct EngineProcess {
  explicit EngineProcess(const PROCESS_INFORMATION& started) : info(started) {}
  ~EngineProcess() {
    if (WaitForSingleObject(info.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  EngineProcess(const EngineProcess&) = delete;
  EngineProcess& operator=(const EngineProcess&) = delete;

  PROCESS_INFORMATION info;
};

// The engine and the table engine it imports, in a folder of their own, in
// a prefix of their own: nothing else runs there, so the engine's look-ups
// by title meet only its own windows.
class SplashQuickTimeCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA(Folder().c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(KX_ENGINE_EXE, (Folder() + "\\KX3 Engine.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(KX_C4DLL, (Folder() + "\\C4DLL.DLL").c_str(), FALSE));
  }
  void TearDown() override {
    process.reset();
    DeleteFileA(LibraryPath().c_str());
    DeleteFileA((Folder() + "\\KX3 Engine.exe").c_str());
    DeleteFileA((Folder() + "\\C4DLL.DLL").c_str());
    RemoveDirectoryA(Folder().c_str());
  }

  // A film number skips the settings check, so no settings file is needed.
  bool Start() {
    std::string commandLine = "\"" + Folder() + "\\KX3 Engine.exe\" 7";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(), &startup,
                        &started))
      return false;
    process = std::make_unique<EngineProcess>(started);
    return true;
  }

  bool Ended() const { return WaitForSingleObject(process->info.hProcess, 0) == WAIT_OBJECT_0; }

  // Watches the engine until `done` answers true, the process ended or the
  // time passed.
  template <typename Done>
  void WatchUntil(Watch& watch, Done done, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
      Look(process->info.dwProcessId, watch);
      if (done() || Ended()) return;
      Sleep(20);
    }
  }

  DWORD ExitCode() const {
    DWORD code = DWORD(-1);
    GetExitCodeProcess(process->info.hProcess, &code);
    return code;
  }

  std::unique_ptr<EngineProcess> process;
};

}  // namespace

TEST_F(SplashQuickTimeCheck, WithoutTheLibraryOneBoxOverTheSplashAndTheEngineEnds) {
  ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(LibraryPath().c_str())) << "this prefix has no QuickTime";
  ASSERT_TRUE(Start());
  Watch watch;
  WatchUntil(watch, [&] { return watch.ours != nullptr; });
  ASSERT_NE(nullptr, watch.ours) << "no box before the engine ended or the time passed";
  HWND box = watch.ours;

  const BoxContents contents = ContentsOf(box);
  EXPECT_EQ(kNoQuickTime, contents.text);
  // Which icon it shows cannot be read from another process (its handle is
  // not ours to draw); that it shows one can.
  ASSERT_NE(nullptr, contents.icon);
  EXPECT_TRUE(IsWindowVisible(contents.icon));
  EXPECT_NE(0, SendMessageA(contents.icon, STM_GETICON, 0, 0)) << "a box without an icon";
  HWND okButton = GetDlgItem(box, IDOK);
  ASSERT_NE(nullptr, okButton);
  EXPECT_EQ(nullptr, GetDlgItem(box, IDCANCEL)) << "OK alone";

  HWND owner = GetWindow(box, GW_OWNER);
  ASSERT_NE(nullptr, owner);
  EXPECT_EQ("GH_Player", ClassOf(owner));
  EXPECT_EQ("GH_Window", TitleOf(owner));
  // Nothing but the splash and the box is on the screen.
  EXPECT_EQ((std::set<std::string>{"#32770/Glintharbour International", "GH_Player/GH_Window"}), watch.visible);

  PostMessageA(okButton, BM_CLICK, 0, 0);
  WatchUntil(watch, [] { return false; }, 10000);
  ASSERT_TRUE(Ended()) << "the engine goes on after the box";
  EXPECT_EQ(0u, ExitCode());
  EXPECT_EQ(1u, watch.boxes.size());
  EXPECT_FALSE(watch.sawMain);
}

TEST_F(SplashQuickTimeCheck, AnEmptyLibraryPassesTheCheck) {
  // Only opening the file is tested; QuickTime's own start-up is another matter.
  FILE* library = std::fopen(LibraryPath().c_str(), "wb");
  ASSERT_NE(nullptr, library);
  std::fclose(library);
  ASSERT_TRUE(Start());
  Watch watch;
  WatchUntil(watch, [&] { return watch.ours != nullptr || watch.sawMain; });
  ASSERT_EQ(nullptr, watch.ours);
  EXPECT_TRUE(watch.sawMain) << "the engine went on to its main window";
  // This prefix has no CD database: the engine says so once, and OK lets
  // it go on. The film number names no film, so it then ends by itself.
  std::set<HWND> notices;
  WatchUntil(watch, [&] {
    for (HWND box : watch.boxes) {
      if (notices.count(box) || !IsWindowVisible(box)) continue;
      if (ContentsOf(box).text.find("cannot be read") == std::string::npos) continue;
      notices.insert(box);
      PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
    return false;
  });
  ASSERT_TRUE(Ended());
  EXPECT_EQ(0u, ExitCode());
  EXPECT_EQ(nullptr, watch.ours);
  EXPECT_EQ(1u, notices.size());
}
