#include "utility/GH_WindowLookup.h"

#include "CP_Application.h"
#include "CP_Desktop.h"
#include "CP_Window.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
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
