#pragma once
// Finding windows by title and running programs by their file, keeping one
// copy of a program running, and closing the engine's secondary windows.
#include "CP_Win.h"

#include <cstdint>
#include <string>
#include <vector>

class CP_Window;

// One running process. Callers keep arrays of 256 of them.
struct TaskListEntry {
  uint32_t processId;        // an id of 0 is kept as 0xFFFFFFFE on NT-family systems
  uint32_t parentProcessId;  // not filled
  uint32_t flags;            // 0
  HWND window;               // a top-level window of the process, from the title pass
  char processName[260];     // the executable's path, or "name.exe" from the performance data
  char windowTitle[64];      // that window's title, from the title pass
};

constexpr int32_t kTaskListCapacity = 256;

// The framework window whose native window is the first top-level window
// with exactly this title; null when there is none or when that window is
// not the framework's.
CP_Window* FindWindowByTitle(const std::string& title);

// Fill up to `capacity` entries (NT: `capacity` - 1); each answers the number
// filled, 0 on any failure.
int32_t FindProcessToolhelp(TaskListEntry* entries, int32_t capacity);
int32_t FindProcessOnNT(TaskListEntry* entries, int32_t capacity);
// The entries of a block of performance data of the process object: each
// instance's name and, from its counter block, the counter `idCounter`.
// Stops at the first instance that does not lie inside the data.
int32_t ReadProcessInstances(const std::vector<uint8_t>& data, uint32_t idCounter, TaskListEntry* entries,
                             int32_t capacity);
// The NT performance data's instance name as a program file name: cut at
// its first "." and given ".exe"; "unknown" when it cannot be converted.
std::string ProcessNameFromInstance(const wchar_t* instanceName, int32_t length);
// Gives each entry the last titled visible top-level window of its process.
void FillTaskWindowTitles(TaskListEntry* entries, int32_t count);

// True when a process of the program at `path` runs; its titled window, if
// any, is brought to the foreground and given the focus.
bool ActivateRunningProgram(const char* path);

// Asks every document window not titled "MainVideoWindow" to close.
void CloseWindowsExceptMainVideo();
