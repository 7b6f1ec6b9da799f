// C4DLL.DLL itself: its exports, and two processes sharing its tables.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "C4Dll.h"
#include "Database.h"
#include "TempDir.h"

namespace {

const WORD kOrdinals[] = {29,  41,  56,  76,  78,  81,  84,  88,  89,  90,  95,  115, 119, 124, 131,
                          133, 139, 140, 144, 147, 185, 189, 202, 205, 212, 216, 300, 301, 302, 303, 304};

TEST(DllTest, ExportsEveryEntryByOrdinalOnly) {
  HMODULE dll = GetModuleHandleA("C4DLL.DLL");
  ASSERT_NE(nullptr, dll);
  for (WORD ordinal : kOrdinals)
    EXPECT_NE(nullptr, GetProcAddress(dll, MAKEINTRESOURCEA(ordinal))) << ordinal;
  EXPECT_EQ(nullptr, GetProcAddress(dll, "C4Open"));
  EXPECT_EQ(nullptr, GetProcAddress(dll, "C4Open@8"));

  // Called by number, as a program that looks the entries up would.
  using Init = int32_t(__stdcall*)(C4Engine*, const char*, int32_t, int32_t, int32_t);
  using Release = int32_t(__stdcall*)(C4Engine*);
  auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(41))));
  auto release = reinterpret_cast<Release>(reinterpret_cast<void*>(GetProcAddress(dll, MAKEINTRESOURCEA(29))));
  C4Engine engine;
  ASSERT_EQ(C4_OK, init(&engine, nullptr, C4_VERSION, 0, 0));
  EXPECT_NE(nullptr, engine.state);
  EXPECT_EQ(C4_OK, release(&engine));
  EXPECT_EQ(nullptr, engine.state);
}

class Process {
 public:
  explicit Process(const std::string& arguments) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe = self;
    exe = exe.substr(0, exe.find_last_of("\\/") + 1) + "c4append.exe";
    std::string line = "\"" + exe + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      CloseHandle(pi.hThread);
      process_ = pi.hProcess;
    }
  }
  ~Process() {
    if (process_) CloseHandle(process_);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Started() const { return process_ != nullptr; }
  DWORD Wait() {
    WaitForSingleObject(process_, 60000);
    DWORD code = 999;
    GetExitCodeProcess(process_, &code);
    return code;
  }

 private:
  HANDLE process_ = nullptr;
};

class TwoProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    ASSERT_EQ(xbase::Code::Ok, kxdb::SeedDatabase(dir_.Path(), why)) << why;
    ASSERT_EQ(C4_OK, C4Init(&engine_, nullptr, C4_VERSION, 0, 0));
    // Kept open throughout, as the library manager keeps its tables.
    config_ = C4Open(&engine_, Base().c_str());
    ASSERT_NE(nullptr, config_);
    ASSERT_EQ(C4_OK, C4SelectTag(config_, C4FindTag(config_, "ITEMID")));
    text_ = C4FindField(config_, "ITEMTEXT");
    path_ = C4FindField(config_, "FILEPATH");
  }
  void TearDown() override { C4Release(&engine_); }

  std::string Base() const { return kxdb::TablePath(dir_.Path(), "GH_ConfigDB"); }

  // How often each item text occurs, the seed rows left out.
  std::map<std::string, int> Texts() {
    std::map<std::string, int> texts;
    for (int c = C4First(config_); c == C4_OK; c = C4Skip(config_, 1)) {
      std::string t = C4GetText(text_);
      while (!t.empty() && t.back() == ' ') t.pop_back();
      if (t != "Wastebasket" && t != "Glintharbour Films") ++texts[t];
    }
    return texts;
  }

  TempDir dir_;
  C4Engine engine_;
  C4Table* config_ = nullptr;
  C4Field* text_ = nullptr;
  C4Field* path_ = nullptr;
};

TEST_F(TwoProcessTest, AppendsFromTwoProcessesAtOnceLoseNothing) {
  const int kEach = 200;
  Process a("append \"" + Base() + "\" A " + std::to_string(kEach));
  Process b("append \"" + Base() + "\" B " + std::to_string(kEach));
  ASSERT_TRUE(a.Started() && b.Started());
  EXPECT_EQ(0u, a.Wait());
  EXPECT_EQ(0u, b.Wait());

  EXPECT_EQ(2 + 2 * kEach, C4Count(config_)) << "this open sees the other processes' rows";
  std::map<std::string, int> texts = Texts();
  EXPECT_EQ(size_t(2 * kEach), texts.size());
  for (const char* prefix : {"A", "B"}) {
    for (int i = 0; i < kEach; ++i) {
      std::string name = prefix + std::to_string(i);
      EXPECT_EQ(1, texts[name]) << name;
    }
  }
  // Every row kept its own memo and got a number of its own.
  C4Field* id = C4FindField(config_, "ITEM_ID");
  std::map<int32_t, std::string> numbers;
  for (int c = C4First(config_); c == C4_OK; c = C4Skip(config_, 1)) {
    std::string t = C4GetText(text_);
    while (!t.empty() && t.back() == ' ') t.pop_back();
    if (t[0] == 'A' || t[0] == 'B') {
      EXPECT_EQ("folder of " + t, std::string(C4GetMemo(path_)));
    }
    auto [at, added] = numbers.emplace(C4GetNumber(id), t);
    EXPECT_TRUE(added) << t << " has the number of " << at->second;
  }
  EXPECT_EQ(1 + 2 * kEach, numbers.rbegin()->first) << "numbered from 2, after the seed rows";
}

TEST_F(TwoProcessTest, PackInAnotherProcessIsNoticed) {
  Process fill("append \"" + Base() + "\" X 10");
  ASSERT_TRUE(fill.Started());
  ASSERT_EQ(0u, fill.Wait());
  Process keep("append \"" + Base() + "\" K 10");
  ASSERT_TRUE(keep.Started());
  ASSERT_EQ(0u, keep.Wait());
  ASSERT_EQ(22, C4Count(config_));
  ASSERT_EQ(C4_OK, C4Seek(config_, "19"));  // K7, held while the other process packs

  Process pack("pack \"" + Base() + "\" X");
  ASSERT_TRUE(pack.Started());
  ASSERT_EQ(0u, pack.Wait());

  EXPECT_EQ(12, C4Count(config_));
  std::map<std::string, int> texts = Texts();
  EXPECT_EQ(10u, texts.size());
  for (int i = 0; i < 10; ++i) EXPECT_EQ(1, texts["K" + std::to_string(i)]) << i;
  ASSERT_EQ(C4_OK, C4Seek(config_, "19"));
  EXPECT_STREQ("folder of K7", C4GetMemo(path_));
}

}  // namespace
