#include "utility/GH_WindowLookup.h"

#include "CP_Application.h"
#include "CP_Desktop.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <winperf.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class EngineLookup : public FrameworkTest {
 protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    app = new CP_Application;
  }
  void TearDown() override {
    for (HWND w : plain) DestroyWindow(w);
    while (!CP_Desktop::GetDesktop()->GetDocumentWindows().empty())
      delete CP_Desktop::GetDesktop()->GetDocumentWindows().front();
    delete app;
    FrameworkTest::TearDown();
  }

  CP_Window* MakeDocumentWindow(const std::string& title) {
    return new CP_Window(app, kxtest::Describe(CP_Window::kDocument, 20, 20, 120, 80), title);
  }
  HWND MakePlain(const std::string& title) {
    HWND w = CreateWindowExA(0, "STATIC", title.c_str(), WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    plain.push_back(w);
    return w;
  }
  std::vector<std::string> DocumentTitles() {
    std::vector<std::string> titles;
    for (CP_Window* w : CP_Desktop::GetDesktop()->GetDocumentWindows()) titles.push_back(w->GetTitle());
    return titles;
  }

  CP_Application* app = nullptr;
  std::vector<HWND> plain;
};

TEST_F(EngineLookup, FindWindowByTitleAnswersOnlyFrameworkWindows) {
  CP_Window* video = MakeDocumentWindow("MainVideoWindow");
  MakePlain("Foreign window");
  EXPECT_EQ(video, FindWindowByTitle("MainVideoWindow"));
  EXPECT_EQ(nullptr, FindWindowByTitle("Foreign window")) << "not a framework window";
  EXPECT_EQ(nullptr, FindWindowByTitle("No such window"));
  // A foreign window of the same title, above ours, is passed over.
  MakePlain("MainVideoWindow");
  EXPECT_EQ(video, FindWindowByTitle("MainVideoWindow"));
}

TEST_F(EngineLookup, ClosingLeavesOnlyTheMainVideoWindow) {
  const std::vector<std::vector<std::string>> kOrders = {
      {"MainVideoWindow", "A", "B"}, {"A", "MainVideoWindow", "B"}, {"A", "B", "MainVideoWindow"}};
  for (const auto& order : kOrders) {
    for (const std::string& title : order) MakeDocumentWindow(title);
    CloseWindowsExceptMainVideo();
    EXPECT_EQ(std::vector<std::string>{"MainVideoWindow"}, DocumentTitles()) << order[0] << order[1] << order[2];
    delete FindWindowByTitle("MainVideoWindow");
  }
}

TEST_F(EngineLookup, ClosingPassesWindowsThatStay) {
  // A window that does not delete itself stays in the list: the walk goes
  // on past it and ends.
  MakeDocumentWindow("A");
  CP_Window* keeps = MakeDocumentWindow("Keeps itself");
  keeps->SetOwnsItself(false);
  MakeDocumentWindow("B");
  MakeDocumentWindow("MainVideoWindow");
  CloseWindowsExceptMainVideo();
  EXPECT_EQ((std::vector<std::string>{"Keeps itself", "MainVideoWindow"}), DocumentTitles());
}

std::string OwnProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  return path;
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

TEST_F(EngineLookup, ProcessListsHoldThisProcess) {
  std::unique_ptr<TaskListEntry[]> entries(new TaskListEntry[kTaskListCapacity]);
  EXPECT_EQ(0, FindProcessToolhelp(entries.get(), 0));
  EXPECT_EQ(1, FindProcessToolhelp(entries.get(), 1));

  const int32_t count = FindProcessToolhelp(entries.get(), kTaskListCapacity);
  ASSERT_GT(count, 0);
  auto own = std::find_if(entries.get(), entries.get() + count,
                          [](const TaskListEntry& e) { return e.processId == GetCurrentProcessId(); });
  ASSERT_NE(entries.get() + count, own);
  EXPECT_EQ(0u, own->flags);
  EXPECT_STRCASEEQ(FileName(OwnProgramPath()).c_str(), FileName(own->processName).c_str());

  // The performance data, where the system keeps it, never fills the last entry.
  const int32_t onNT = FindProcessOnNT(entries.get(), 3);
  EXPECT_LE(onNT, 2);
  EXPECT_EQ(0, FindProcessOnNT(entries.get(), 1));
}

// Performance data of the process object as the system hands it over: the
// block header, the object, two counter definitions (the process id is
// the second, at offset 8 of each counter block) and one instance per
// process, each name followed by its counter block.
constexpr uint32_t kIdCounter = 784;
struct PerfProcess {
  std::wstring name;
  uint32_t id;
};
std::vector<uint8_t> PerfData(const std::vector<PerfProcess>& processes) {
  std::vector<uint8_t> data;
  auto put = [&](const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    data.insert(data.end(), b, b + n);
  };
  PERF_DATA_BLOCK block{};
  std::memcpy(block.Signature, L"PERF", 8);
  block.HeaderLength = sizeof block;
  block.NumObjectTypes = 1;
  put(&block, sizeof block);
  PERF_OBJECT_TYPE object{};
  object.HeaderLength = sizeof object;
  object.DefinitionLength = sizeof object + 2 * sizeof(PERF_COUNTER_DEFINITION);
  object.NumCounters = 2;
  object.NumInstances = LONG(processes.size());
  put(&object, sizeof object);
  PERF_COUNTER_DEFINITION counter{};
  counter.ByteLength = sizeof counter;
  counter.CounterNameTitleIndex = 6;  // some other counter
  counter.CounterOffset = 4;
  put(&counter, sizeof counter);
  counter.CounterNameTitleIndex = kIdCounter;
  counter.CounterOffset = 8;
  put(&counter, sizeof counter);
  for (const PerfProcess& p : processes) {
    const uint32_t nameBytes = uint32_t((p.name.size() + 1) * 2);
    PERF_INSTANCE_DEFINITION instance{};
    instance.NameOffset = sizeof instance;
    instance.NameLength = nameBytes;
    instance.ByteLength = sizeof instance + ((nameBytes + 7) / 8) * 8;
    put(&instance, sizeof instance);
    std::vector<uint8_t> name(instance.ByteLength - sizeof instance, 0);
    std::memcpy(name.data(), p.name.c_str(), nameBytes);
    put(name.data(), name.size());
    const uint32_t counters[3] = {12, 0xAAAAAAAA, p.id};  // the counter block's length first
    put(counters, sizeof counters);
  }
  return data;
}

// Where the n-th instance (from 0) starts in PerfData's bytes.
size_t InstanceAt(const std::vector<uint8_t>& data, int n) {
  size_t at = sizeof(PERF_DATA_BLOCK) + sizeof(PERF_OBJECT_TYPE) + 2 * sizeof(PERF_COUNTER_DEFINITION);
  for (int i = 0; i < n; ++i) {
    PERF_INSTANCE_DEFINITION instance;
    std::memcpy(&instance, &data[at], sizeof instance);
    at += instance.ByteLength + 12;
  }
  return at;
}

TEST_F(EngineLookup, PerformanceDataGivesProgramNamesAndIds) {
  const std::vector<PerfProcess> kProcesses = {
      {L"ZUDaruzo", 100}, {L"my.app", 0}, {L"Idle", 4}, {L"x", 7}, {L"y", 8}};
  const std::vector<uint8_t> good = PerfData(kProcesses);
  TaskListEntry entries[8] = {};
  ASSERT_EQ(5, ReadProcessInstances(good, kIdCounter, entries, 8));
  EXPECT_STREQ("ZUDaruzo.exe", entries[0].processName);
  EXPECT_EQ(100u, entries[0].processId);
  EXPECT_STREQ("my.exe", entries[1].processName) << "cut at its first full stop";
  EXPECT_EQ(0xFFFFFFFEu, entries[1].processId) << "an id of 0 is kept apart";
  EXPECT_EQ(8u, entries[4].processId);
  EXPECT_EQ(2, ReadProcessInstances(good, kIdCounter, entries, 3)) << "the last entry stays free";

  auto damaged = [&](size_t offset, uint32_t value) {
    std::vector<uint8_t> d = good;
    std::memcpy(&d[offset], &value, sizeof value);
    return d;
  };
  const size_t second = InstanceAt(good, 1);
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    int32_t want;
  };
  const Case kCases[] = {
      {"no signature", damaged(0, 0x45545245), 0},
      {"no process-id counter", PerfData(kProcesses), 0},  // asked for another counter below
      {"instance length past the end", damaged(second + offsetof(PERF_INSTANCE_DEFINITION, ByteLength), 0xFFFFFFF0u), 1},
      {"name past the end", damaged(second + offsetof(PERF_INSTANCE_DEFINITION, NameOffset), 0xFFFFFF00u), 1},
      {"name longer than the data", damaged(second + offsetof(PERF_INSTANCE_DEFINITION, NameLength), 0x7FFFFFFFu), 1},
      {"cut inside the second instance", std::vector<uint8_t>(good.begin(), good.begin() + second + 10), 1},
      {"object header past the end", damaged(offsetof(PERF_DATA_BLOCK, HeaderLength), 0xFFFFFFF8u), 0},
  };
  for (const Case& c : kCases) {
    const uint32_t id = std::string(c.name) == "no process-id counter" ? kIdCounter + 2 : kIdCounter;
    EXPECT_EQ(c.want, ReadProcessInstances(c.data, id, entries, 8)) << c.name;
  }
  // A counter block of length 0 would never move on: the walk stops there.
  std::vector<uint8_t> stuck = good;
  const uint32_t zero = 0;
  PERF_INSTANCE_DEFINITION first;
  std::memcpy(&first, &good[InstanceAt(good, 0)], sizeof first);
  std::memcpy(&stuck[InstanceAt(good, 0) + first.ByteLength], &zero, 4);
  EXPECT_EQ(0, ReadProcessInstances(stuck, kIdCounter, entries, 8));
}

TEST_F(EngineLookup, PerformanceDataNamesBecomeProgramFileNames) {
  struct Case {
    const wchar_t* instance;
    const char* want;
  };
  const Case kCases[] = {
      {L"ZUDaruzo", "ZUDaruzo.exe"},
      {L"my.app", "my.exe"},
      {L"a.b.c", "a.exe"},
  };
  for (const Case& c : kCases)
    EXPECT_EQ(c.want, ProcessNameFromInstance(c.instance, int32_t(wcslen(c.instance)))) << c.want;
}

TEST_F(EngineLookup, EachEntryKeepsTheLastTitledWindowOfItsProcess) {
  HWND first = MakePlain("KX lookup first");
  HWND second = MakePlain("KX lookup second");
  HWND untitled = MakePlain("");
  for (HWND w : {first, second, untitled}) ShowWindow(w, SW_SHOWNOACTIVATE);
  // Enumeration follows the stacking order: `second` over `first` over an
  // untitled window, which does not take the title.
  SetWindowPos(second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(untitled, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Hidden windows (the system's own helper windows among them) are no
  // window of the program to bring forward.
  HWND hidden = MakePlain("KX lookup hidden");
  SetWindowPos(hidden, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  TaskListEntry entries[2] = {};
  entries[0].processId = GetCurrentProcessId();
  entries[1].processId = 0xFFFFFFF0u;  // no such process
  FillTaskWindowTitles(entries, 2);
  EXPECT_STREQ("KX lookup first", entries[0].windowTitle);
  EXPECT_EQ(untitled, entries[0].window);
  EXPECT_EQ(nullptr, entries[1].window);
  EXPECT_STREQ("", entries[1].windowTitle);
}

TEST_F(EngineLookup, ARunningProgramIsFoundAndItsWindowBroughtForward) {
  // `mine` lies below `other`, which has the foreground.
  HWND mine = MakePlain("KX lookup mine");
  ShowWindow(mine, SW_SHOWNOACTIVATE);
  HWND other = MakePlain("KX lookup other");
  ShowWindow(other, SW_SHOW);
  SetForegroundWindow(other);
  kxtest::PumpUntil([&] { return GetForegroundWindow() == other; }, 2000);

  // Compared by file name and without regard to case, whatever the folder.
  std::string upper = FileName(OwnProgramPath());
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  EXPECT_TRUE(ActivateRunningProgram(("C:\\elsewhere\\" + upper).c_str()));
  kxtest::PumpUntil([&] { return GetForegroundWindow() == mine; }, 2000);
  EXPECT_EQ(mine, GetForegroundWindow()) << "the last titled window of the process";

  EXPECT_FALSE(ActivateRunningProgram("C:\\nowhere\\KX no such program.exe"));
  EXPECT_FALSE(ActivateRunningProgram(""));
}

}  // namespace
