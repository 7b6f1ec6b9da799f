// startclock: starts a program in its own folder, waits until that process
// shows a visible window with the given title, then closes the window and
// waits for the program to end. Prints the seconds each took: to the window,
// and from the close to the program's end.
//   startclock "C:\...\Glintharbour KX3.exe" ["Glintharbour Player"]
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct Search {
  DWORD process;
  const char* title;
  HWND found;
};

BOOL CALLBACK CheckWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  if (process == search->process && IsWindowVisible(window) && std::string(title) == search->title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindProcessWindow(DWORD process, const char* title) {
  Search search{process, title, nullptr};
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: startclock program [window title]\n");
    return 2;
  }
  const std::string program = argv[1];
  const char* title = argc > 2 ? argv[2] : "Glintharbour Player";
  const std::string folder = program.substr(0, program.find_last_of('\\'));
  std::string commandLine = "\"" + program + "\"";

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &child)) {
    std::fprintf(stderr, "startclock: cannot start %s (%lu)\n", program.c_str(), GetLastError());
    return 1;
  }
  HWND window = nullptr;
  LARGE_INTEGER shown = start;
  const DWORD limit = GetTickCount() + 300000;
  while (!window && GetTickCount() < limit) {
    if (WaitForSingleObject(child.hProcess, 5) == WAIT_OBJECT_0) break;
    window = FindProcessWindow(child.dwProcessId, title);
    QueryPerformanceCounter(&shown);
  }
  int result = 0;
  LARGE_INTEGER closing;
  QueryPerformanceCounter(&closing);
  if (window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else {
    std::fprintf(stderr, "startclock: no window \"%s\" appeared\n", title);
    result = 1;
  }
  if (WaitForSingleObject(child.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(child.hProcess, 1);
    if (window) std::fprintf(stderr, "startclock: the program did not end within a minute of its close\n");
    result = 1;
  } else if (window) {
    LARGE_INTEGER ended;
    QueryPerformanceCounter(&ended);
    std::printf("%.3f %.3f\n", Seconds(start, shown), Seconds(closing, ended));
  }
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return result;
}
