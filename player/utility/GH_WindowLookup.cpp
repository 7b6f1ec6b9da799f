#include "utility/GH_WindowLookup.h"

#include "CP_Callback.h"
#include "CP_Desktop.h"
#include "CP_Utilities.h"
#include "CP_Window.h"
#include "utility/GH_Utility.h"

#include <tlhelp32.h>
#include <winperf.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

CP_Window* FindWindowByTitle(const std::string& title) {
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  if (!desktop) return nullptr;
  // Another program may have a window of the same title: pass over it.
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, nullptr, title.c_str()))) {
    if (CP_Window* ours = desktop->FindWindowByHandle(window)) return ours;
  }
  return nullptr;
}

namespace {

void CopyName(char* destination, size_t size, const char* source) {
  std::snprintf(destination, size, "%s", source);
}

void ClearEntry(TaskListEntry& entry) { std::memset(&entry, 0, sizeof entry); }

}  // namespace

int32_t FindProcessToolhelp(TaskListEntry* entries, int32_t capacity) {
  if (capacity <= 0) return 0;
  HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
  if (!kernel) return 0;
  using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using WalkFn = BOOL(WINAPI*)(HANDLE, PROCESSENTRY32*);
  auto snapshot = reinterpret_cast<SnapshotFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "CreateToolhelp32Snapshot")));
  auto first = reinterpret_cast<WalkFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "Process32First")));
  auto next = reinterpret_cast<WalkFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "Process32Next")));
  if (!snapshot || !first || !next) return 0;

  HANDLE processes = snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 process{};
  process.dwSize = sizeof process;  // 296 bytes
  int32_t count = 0;
  for (BOOL more = first(processes, &process); more && count < capacity; more = next(processes, &process)) {
    TaskListEntry& entry = entries[count++];
    ClearEntry(entry);
    CopyName(entry.processName, sizeof entry.processName, process.szExeFile);
    entry.processId = process.th32ProcessID;
  }
  CloseHandle(processes);
  return count;
}

std::string ProcessNameFromInstance(const wchar_t* instanceName, int32_t length) {
  char name[260] = {};
  const int converted =
      WideCharToMultiByte(CP_ACP, 0, instanceName, length, name, sizeof name - 1, nullptr, nullptr);
  if (converted <= 0) return "unknown";
  name[converted] = 0;
  std::string result(name);
  // Conversion may have carried the name's own terminator.
  result = result.substr(0, std::strlen(name));
  if (result.size() + 4 >= 260) return std::string();
  const size_t dot = result.find('.');
  if (dot != std::string::npos) result.erase(dot);
  return result + ".exe";
}

namespace {

class RegistryKey {
 public:
  explicit RegistryKey(HKEY key = nullptr) : fKey(key) {}
  ~RegistryKey() {
    if (fKey) RegCloseKey(fKey);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  HKEY* Out() { return &fKey; }
  HKEY Get() const { return fKey; }

 private:
  HKEY fKey;
};

// The performance data's process object name and its process-id counter
// index, from the English counter names.
bool FindProcessCounterNames(std::string& objectName, uint32_t& idCounter) {
  char keyName[128];
  std::snprintf(keyName, sizeof keyName, "%s\\%03x", "software\\microsoft\\windows nt\\currentversion\\perflib", 9);
  RegistryKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), "Counters", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return false;
  std::vector<char> counters(size + 2, 0);  // two terminators whatever the value holds
  if (RegQueryValueExA(key.Get(), "Counters", nullptr, nullptr, reinterpret_cast<BYTE*>(counters.data()), &size) !=
      ERROR_SUCCESS)
    return false;

  objectName.clear();
  idCounter = 0;
  const char* previous = "";
  for (size_t at = 0; at < size && counters[at];) {
    const char* text = &counters[at];
    const size_t length = strnlen(text, size - at);
    if (CompareTextNoCase(text, "process") == 0) objectName = previous;
    if (CompareTextNoCase(text, "id process") == 0) idCounter = uint32_t(std::strtoul(previous, nullptr, 10));
    previous = text;
    at += length + 1;
  }
  return !objectName.empty() && idCounter != 0;
}

// Reads a record of the performance data at `offset`, inside the data only.
// Offsets are summed in 64 bits: a stored length cannot wrap them around.
template <typename T>
const T* At(const std::vector<uint8_t>& data, uint64_t offset) {
  if (offset > data.size() || sizeof(T) > data.size() - offset) return nullptr;
  return reinterpret_cast<const T*>(data.data() + size_t(offset));
}

}  // namespace

int32_t ReadProcessInstances(const std::vector<uint8_t>& data, uint32_t idCounter, TaskListEntry* entries,
                             int32_t capacity) {
  if (capacity <= 1) return 0;
  const auto* block = At<PERF_DATA_BLOCK>(data, 0);
  if (!block || std::memcmp(block->Signature, L"PERF", 8) != 0) return 0;
  const uint64_t objectAt = block->HeaderLength;
  const auto* object = At<PERF_OBJECT_TYPE>(data, objectAt);
  if (!object) return 0;

  // The process-id counter's place in each instance's counter block.
  bool found = false;
  uint32_t idOffset = 0;
  uint64_t counterAt = objectAt + object->HeaderLength;
  for (DWORD i = 0; i < object->NumCounters; ++i) {
    const auto* counter = At<PERF_COUNTER_DEFINITION>(data, counterAt);
    if (!counter || counter->ByteLength == 0) return 0;
    if (counter->CounterNameTitleIndex == idCounter) {
      idOffset = counter->CounterOffset;
      found = true;
      break;
    }
    counterAt += counter->ByteLength;
  }
  if (!found || object->NumInstances <= 0) return 0;

  const int32_t count = std::min<int32_t>(capacity - 1, object->NumInstances);
  uint64_t instanceAt = objectAt + object->DefinitionLength;
  int32_t filled = 0;
  for (; filled < count; ++filled) {
    const auto* instance = At<PERF_INSTANCE_DEFINITION>(data, instanceAt);
    if (!instance || instance->ByteLength < sizeof(PERF_INSTANCE_DEFINITION)) break;
    const uint64_t nameAt = instanceAt + instance->NameOffset;
    const uint64_t blockAt = instanceAt + instance->ByteLength;
    const auto* counters = At<PERF_COUNTER_BLOCK>(data, blockAt);
    const auto* id = At<DWORD>(data, blockAt + idOffset);
    if (!counters || !id || counters->ByteLength == 0 || nameAt > data.size() ||
        instance->NameLength > data.size() - nameAt)
      break;

    TaskListEntry& entry = entries[filled];
    ClearEntry(entry);
    // The name's byte length counts its terminator.
    const int32_t characters = int32_t(instance->NameLength / sizeof(wchar_t));
    std::vector<wchar_t> name(size_t(characters) + 1, 0);
    std::memcpy(name.data(), data.data() + size_t(nameAt), size_t(characters) * sizeof(wchar_t));
    const int32_t length = int32_t(wcsnlen(name.data(), size_t(characters)));
    CopyName(entry.processName, sizeof entry.processName,
             length == 0 ? "unknown" : ProcessNameFromInstance(name.data(), length).c_str());
    entry.processId = *id == 0 ? 0xFFFFFFFEu : *id;
    instanceAt = blockAt + counters->ByteLength;
  }
  return filled;
}

int32_t FindProcessOnNT(TaskListEntry* entries, int32_t capacity) {
  if (capacity <= 1) return 0;
  std::string objectName;
  uint32_t idCounter = 0;
  if (!FindProcessCounterNames(objectName, idCounter)) return 0;

  std::vector<uint8_t> data(51200);
  DWORD size = DWORD(data.size());
  LONG result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, objectName.c_str(), nullptr, nullptr, data.data(), &size);
  while (result == ERROR_MORE_DATA) {
    data.assign(data.size() + 25600, 0);
    size = DWORD(data.size());
    result = RegQueryValueExA(HKEY_PERFORMANCE_DATA, objectName.c_str(), nullptr, nullptr, data.data(), &size);
  }
  RegCloseKey(HKEY_PERFORMANCE_DATA);
  if (result != ERROR_SUCCESS || size == 0 || size > data.size()) return 0;
  data.resize(size);

  return ReadProcessInstances(data, idCounter, entries, capacity);
}

namespace {

struct TitlePass {
  TaskListEntry* entries;
  int32_t count;
};

BOOL CALLBACK TakeWindowTitle(HWND window, LPARAM data) {
  return CP_GuardCallback(TRUE, [&] {
    TitlePass& pass = *reinterpret_cast<TitlePass*>(data);
    // Hidden windows, such as the system's input-method helpers that every
    // process has, are nothing to bring to the front.
    if (!IsWindowVisible(window)) return TRUE;
    DWORD processId = 0;
    if (!GetWindowThreadProcessId(window, &processId)) return TRUE;
    for (int32_t i = 0; i < pass.count; ++i) {
      TaskListEntry& entry = pass.entries[i];
      if (entry.processId != processId) continue;
      entry.window = window;
      char title[64] = {};
      GetWindowTextA(window, title, sizeof title);
      if (title[0]) CopyName(entry.windowTitle, sizeof entry.windowTitle, title);
      break;
    }
    return TRUE;
  });
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

void FillTaskWindowTitles(TaskListEntry* entries, int32_t count) {
  TitlePass pass{entries, count};
  EnumWindows(TakeWindowTitle, reinterpret_cast<LPARAM>(&pass));
  CP_RethrowPendingException();
}

bool ActivateRunningProgram(const char* path) {
  std::unique_ptr<TaskListEntry[]> entries(new TaskListEntry[kTaskListCapacity]);
  std::string wanted = path ? path : "";
  int32_t count = 0;
  if (GetOSKind() == kOSKind_NT) {
    // The performance data names programs without their folder.
    wanted = FileNameOf(wanted);
    count = FindProcessOnNT(entries.get(), kTaskListCapacity);
    // Where the system keeps no performance data, the snapshot's names
    // are file names as well.
    if (count == 0) {
      count = FindProcessToolhelp(entries.get(), kTaskListCapacity);
      for (int32_t i = 0; i < count; ++i)
        CopyName(entries[i].processName, sizeof entries[i].processName,
                 FileNameOf(entries[i].processName).c_str());
    }
  } else {
    count = FindProcessToolhelp(entries.get(), kTaskListCapacity);
  }
  // No name finds nothing: a process whose name could not be read is listed
  // with an empty one.
  if (wanted.empty()) return false;
  FillTaskWindowTitles(entries.get(), count);

  for (int32_t i = 0; i < count; ++i) {
    const TaskListEntry& entry = entries[i];
    if (CompareTextNoCase(entry.processName, wanted.c_str()) != 0) continue;
    // A process without a titled window is running all the same; there is
    // nothing of it to bring forward.
    if (entry.windowTitle[0]) {
      if (HWND window = FindWindowA(nullptr, entry.windowTitle)) {
        SetForegroundWindow(window);
        SetFocus(window);
      }
    }
    return true;
  }
  return false;
}

void CloseWindowsExceptMainVideo() {
  CP_Desktop* desktop = CP_Desktop::GetDesktop();
  if (!desktop) return;
  // Closing changes the list: start again from its head after each one.
  // A window that stays (it refused, or does not delete itself) is passed
  // on the next walks, so the walk always ends.
  std::vector<CP_Window*> stayed;
  for (;;) {
    CP_Window* toClose = nullptr;
    for (CP_Window* window : desktop->GetDocumentWindows()) {
      if (window->GetTitle() == "MainVideoWindow") continue;
      if (std::find(stayed.begin(), stayed.end(), window) != stayed.end()) continue;
      toClose = window;
      break;
    }
    if (!toClose) return;
    toClose->TryClose();
    const auto& windows = desktop->GetDocumentWindows();
    if (std::find(windows.begin(), windows.end(), toClose) != windows.end()) stayed.push_back(toClose);
  }
}
