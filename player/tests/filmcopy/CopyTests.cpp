// The film copy with its progress dialog, and the import dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CP_Application.h"
#include "CP_Callback.h"
#include "CP_Desktop.h"
#include "CP_Window.h"
#include "DiskFaults.h"
#include "FileTestSupport.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"
#include "WindowTestSupport.h"
#include "database/CopyFileWithProgress.h"

namespace {

using Bytes = std::vector<char>;

class FilmCopy : public FrameworkTest {
protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fFolder = std::string(temp) + "kxcopy_" + info->name();
    fFrom = fFolder + "\\from";
    fTo = fFolder + "\\to";
    // A run that was stopped part way may have left its files behind.
    kxtest::TempFolder::DeleteTree(fFolder);
    CreateDirectoryA(fFolder.c_str(), nullptr);
    CreateDirectoryA(fFrom.c_str(), nullptr);
    CreateDirectoryA(fTo.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::string& f : fFiles) {
      SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(f.c_str());
    }
    RemoveDirectoryA(fFrom.c_str());
    RemoveDirectoryA(fTo.c_str());
    RemoveDirectoryA(fFolder.c_str());
    while (!CP_Desktop::GetDesktop()->GetDocumentWindows().empty())
      delete CP_Desktop::GetDesktop()->GetDocumentWindows().front();
    delete fApp;
    FrameworkTest::TearDown();
  }

  std::string Write(const std::string& path, const Bytes& bytes) {
    fFiles.push_back(path);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(nullptr, f) << path;
    if (f) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return path;
  }
  Bytes Read(const std::string& path) {
    Bytes out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
    std::fclose(f);
    return out;
  }
  static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
  static Bytes Film(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = char(i * 7 + i / 251);
    return b;
  }

  CP_Window* MainVideoWindow() {
    fApp = new CP_Application;
    return new CP_Window(fApp, kxtest::Describe(CP_Window::kDocument, 20, 20, 120, 80), "MainVideoWindow");
  }

  std::string fFolder, fFrom, fTo;
  std::vector<std::string> fFiles;
  CP_Application* fApp = nullptr;
};

// A window that runs `act` when the message posted to it is served: posted
// before a copy, inside the copy's message pump after its first chunk.
class Observer {
 public:
  explicit Observer(std::function<void()> act) : fAct(std::move(act)) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "kx_copy_observer";
    RegisterClassA(&wc);
    fWindow = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, this);
  }
  ~Observer() { DestroyWindow(fWindow); }
  Observer(const Observer&) = delete;
  Observer& operator=(const Observer&) = delete;

  void Post() { PostMessageA(fWindow, kAct, 0, 0); }
  bool Ran() const { return fRan; }

 private:
  static constexpr UINT kAct = WM_APP + 7;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
      SetWindowLongPtrA(window, GWLP_USERDATA,
                        LONG_PTR(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Observer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kAct && self) {
      self->fRan = true;
      self->fAct();
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  std::function<void()> fAct;
  HWND fWindow = nullptr;
  bool fRan = false;
};

std::string DialogText(HWND dialog, int id) {
  char text[256] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

TEST_F(FilmCopy, AFilmIsCopiedUnderItsOwnNameWhileTheMainWindowWaits) {
  CP_Window* main = MainVideoWindow();
  const Bytes film = Film(3 * CopyFileWithProgress::kChunkSize + 17);
  const std::string source = Write(fFrom + "\\Sea.flm", film);
  fFiles.push_back(fTo + "\\Sea.flm");
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\anything", false));
  HWND dialog = copy.DialogWindow();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Sea.flm", DialogText(dialog, kFileCopyNameText));
  EXPECT_FALSE(IsWindowVisible(dialog)) << "shown only when the copy starts";
  EXPECT_EQ(main->GetHWND(), GetWindow(dialog, GW_OWNER));
  EXPECT_FALSE(IsWindowEnabled(main->GetHWND()));
  EXPECT_EQ(CopyFileWithProgress::kCopied, copy.Copy());
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(main->GetHWND()));
  EXPECT_EQ(film, Read(fTo + "\\Sea.flm"));
}

// Refuses every dialog window while it lives.
class DialogRefusal {
 public:
  DialogRefusal() : fHook(SetWindowsHookExA(WH_CBT, Refuse, nullptr, GetCurrentThreadId())) {}
  ~DialogRefusal() { UnhookWindowsHookEx(fHook); }
  DialogRefusal(const DialogRefusal&) = delete;
  DialogRefusal& operator=(const DialogRefusal&) = delete;

 private:
  static LRESULT CALLBACK Refuse(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
      char name[64] = {};
      GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
      if (std::string(name) == "#32770") return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  HHOOK fHook;
};

TEST_F(FilmCopy, WithoutItsDialogTheCopyLeavesTheMainWindowTakingInput) {
  CP_Window* main = MainVideoWindow();
  const Bytes film = Film(1000);
  const std::string source = Write(fFrom + "\\Sea.flm", film);
  fFiles.push_back(fTo + "\\Sea.flm");
  DialogRefusal refusal;
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\anything", false));
  EXPECT_EQ(nullptr, copy.DialogWindow());
  EXPECT_TRUE(IsWindowEnabled(main->GetHWND()));
  EXPECT_EQ(CopyFileWithProgress::kCopied, copy.Copy());
  EXPECT_TRUE(IsWindowEnabled(main->GetHWND()));
  EXPECT_EQ(film, Read(fTo + "\\Sea.flm"));
}

TEST_F(FilmCopy, SizesAtTheChunkEdgesCopyWhole) {
  for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(CopyFileWithProgress::kChunkSize),
                           std::size_t(CopyFileWithProgress::kChunkSize + 1)}) {
    const Bytes film = Film(size);
    const std::string source = Write(fFrom + "\\Edge.flm", film);
    fFiles.push_back(fTo + "\\Edge.flm");
    CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
    EXPECT_EQ(CopyFileWithProgress::kCopied, copy.Copy()) << size;
    EXPECT_EQ(film, Read(fTo + "\\Edge.flm")) << size;
    DeleteFileA((fTo + "\\Edge.flm").c_str());  // a copy never replaces it
  }
}

// Two CDs may ship films of one file name: a file or folder that holds the
// name stays as it was and the copy is not made. So when the folder takes
// no new file at all.
TEST_F(FilmCopy, WhatHoldsTheFilmsNameStays) {
  const std::string source = Write(fFrom + "\\Sea.flm", Film(5000));
  const Bytes other(100000, 'o');
  struct Case {
    const char* name;
    char holder;  // 'f' a file, 'r' a read-only file, 'd' a folder, 0 nothing
    bool refusing;
    int32_t want;
  } const kCases[] = {
      {"another film", 'f', false, CopyFileWithProgress::kNameTaken},
      {"another film, read-only", 'r', false, CopyFileWithProgress::kNameTaken},
      {"a folder", 'd', false, CopyFileWithProgress::kFolderInTheWay},
      {"no new file in the folder", 0, true, CopyFileWithProgress::kNoTemporaryName},
  };
  const std::string target = fTo + "\\Sea.flm";
  for (const Case& c : kCases) {
    if (c.holder == 'd') CreateDirectoryA(target.c_str(), nullptr);
    if (c.holder == 'f' || c.holder == 'r') Write(target, other);
    if (c.holder == 'r') SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY);
    {
      std::unique_ptr<kxtest::RefusingFolder> refusing;
      if (c.refusing) refusing = std::make_unique<kxtest::RefusingFolder>(fTo);
      CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
      EXPECT_EQ(c.want, copy.Copy()) << c.name;
    }
    EXPECT_EQ(c.holder ? std::vector<std::string>{"Sea.flm"} : std::vector<std::string>{}, kxtest::FolderEntries(fTo)) << c.name;
    if (c.holder == 'f' || c.holder == 'r') {
      EXPECT_EQ(other, Read(target)) << c.name;
    }
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(target.c_str());
    RemoveDirectoryA(target.c_str());
  }
}

// A film of the same name put into the folder while the copy runs is kept;
// the copy is not.
TEST_F(FilmCopy, AFilmThatTurnsUpDuringTheCopyIsKept) {
  const std::string source = Write(fFrom + "\\Sea.flm", Film(3 * CopyFileWithProgress::kChunkSize));
  const std::string target = fTo + "\\Sea.flm";
  fFiles.push_back(target);
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  Observer observer([&] { Write(target, Bytes(10, 'o')); });
  observer.Post();
  EXPECT_EQ(CopyFileWithProgress::kNameTaken, copy.Copy());
  EXPECT_TRUE(observer.Ran());
  EXPECT_EQ(Bytes(10, 'o'), Read(target));
  EXPECT_EQ(std::vector<std::string>{"Sea.flm"}, kxtest::FolderEntries(fTo));
}

// The disk fails the copy where real disks fail: full part way, when the
// data is put on the disk, or at the close. The error is reported and no
// file is left under the film's name or any other.
TEST_F(FilmCopy, AFailingDiskLeavesNoFile) {
  const Bytes film = Film(3 * CopyFileWithProgress::kChunkSize);
  const std::string source = Write(fFrom + "\\Sea.flm", film);
  fFiles.push_back(fTo + "\\Sea.flm");
  const kxtest::DiskFaults::Fault kFaults[] = {kxtest::DiskFaults::kFullAfter, kxtest::DiskFaults::kFlushFails,
                                               kxtest::DiskFaults::kCloseFails};
  for (kxtest::DiskFaults::Fault fault : kFaults) {
    kxtest::MessageBoxWatcher reports("CP_Exception", IDOK);
    {
      kxtest::DiskFaults faults(fTo, fault, CopyFileWithProgress::kChunkSize + 100);
      ASSERT_TRUE(faults.Applied());
      CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
      EXPECT_EQ(CopyFileWithProgress::kFileError, copy.Copy()) << fault;
      EXPECT_EQ(1, faults.Failures()) << fault;
    }
    EXPECT_EQ(1, reports.Count()) << fault;
    EXPECT_EQ(std::vector<std::string>{}, kxtest::FolderEntries(fTo)) << fault;
  }
  CopyFileWithProgress again(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  EXPECT_EQ(CopyFileWithProgress::kCopied, again.Copy());
  EXPECT_EQ(film, Read(fTo + "\\Sea.flm"));
}

// An exception that a window raises while the copy pumps its messages ends
// the copy on its way out of it; the half copy goes with it.
TEST_F(FilmCopy, AnExceptionDuringTheCopyLeavesNoFile) {
  const std::string source = Write(fFrom + "\\Sea.flm", Film(3 * CopyFileWithProgress::kChunkSize));
  fFiles.push_back(fTo + "\\Sea.flm");
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  Observer observer([] { CP_GuardCallback([] { throw std::runtime_error("a window failed"); }); });
  observer.Post();
  EXPECT_THROW(copy.Copy(), std::runtime_error);
  EXPECT_TRUE(observer.Ran());
  EXPECT_EQ(std::vector<std::string>{}, kxtest::FolderEntries(fTo));
}

// What a crash left of an earlier copy goes with the next copy.
TEST_F(FilmCopy, ACopyRemovesTheTemporaryCopyACrashLeft) {
  const std::string source = Write(fFrom + "\\Sea.flm", Film(1000));
  fFiles.push_back(fTo + "\\Sea.flm");
  const std::string leftOver = Write(fTo + "\\kx1f.tmp", Film(500));
  ASSERT_TRUE(kxtest::WrittenMinutesAgo(leftOver, 60));
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  EXPECT_EQ(CopyFileWithProgress::kCopied, copy.Copy());
  EXPECT_EQ(std::vector<std::string>{"Sea.flm"}, kxtest::FolderEntries(fTo));
}

TEST_F(FilmCopy, CancelEndsTheCopyAfterTheChunkAndLeavesNoFile) {
  const std::string source = Write(fFrom + "\\Long.flm", Film(5 * CopyFileWithProgress::kChunkSize));
  fFiles.push_back(fTo + "\\Long.flm");
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  // Waiting in the queue, the click on Cancel is served by the pump after the first chunk.
  PostMessageA(copy.DialogWindow(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               LPARAM(GetDlgItem(copy.DialogWindow(), IDCANCEL)));
  EXPECT_EQ(CopyFileWithProgress::kCancelled, copy.Copy());
  EXPECT_FALSE(Exists(fTo + "\\Long.flm"));
  // The next copy starts with the flag cleared.
  CopyFileWithProgress again(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  EXPECT_EQ(CopyFileWithProgress::kCopied, again.Copy());
}

TEST_F(FilmCopy, CopiesThatCannotStartTouchNothing) {
  const std::string source = Write(fFrom + "\\Sea.flm", Film(10));
  struct Case {
    const char* name;
    CP_FileSpec from, to;
    std::vector<int32_t> want;
  } const kCases[] = {
      {"no source", CP_FileSpec(), CP_FileSpec(fTo + "\\x", false), {CopyFileWithProgress::kNoSpec}},
      {"no destination", CP_FileSpec(source, false), CP_FileSpec(), {CopyFileWithProgress::kNoSpec}},
      {"unreadable source", CP_FileSpec(fFrom + "\\None.flm", false), CP_FileSpec(fTo + "\\x", false),
       {CopyFileWithProgress::kSourceUnreadable}},
      {"no destination folder", CP_FileSpec(source, false), CP_FileSpec(fTo + "\\missing\\x", false),
       {CopyFileWithProgress::kNoRoom, CopyFileWithProgress::kNoFolder}},
  };
  for (const Case& c : kCases) {
    CopyFileWithProgress copy(c.from, c.to);
    if (!c.from.IsSpecified()) {
      EXPECT_EQ("--NoName--", DialogText(copy.DialogWindow(), kFileCopyNameText));
    }
    const int32_t result = copy.Copy();
    EXPECT_NE(c.want.end(), std::find(c.want.begin(), c.want.end(), result)) << c.name << ": " << result;
    EXPECT_FALSE(Exists(fTo + "\\Sea.flm")) << c.name;
    EXPECT_FALSE(Exists(fTo + "\\missing")) << c.name;
  }
}

TEST_F(FilmCopy, TheImportDialogSaysWhatHappens) {
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kImportDialog), nullptr,
                                   ImportProgressDialogProc, 0);
  ASSERT_NE(nullptr, dialog);
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ("Please wait while the CD is imported", DialogText(dialog, kImportText));
  // No Cancel here: a click on the dialog's close command leaves it up.
  SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(IsWindow(dialog));
  DestroyWindow(dialog);
}

TEST_F(FilmCopy, BothDialogsCarryTheDialogIcon) {
  const std::string source = Write(fFrom + "\\Sea.flm", Film(10));
  CopyFileWithProgress copy(CP_FileSpec(source, false), CP_FileSpec(fTo + "\\x", false));
  HWND import = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kImportDialog), nullptr,
                                   ImportProgressDialogProc, 0);
  for (HWND dialog : {copy.DialogWindow(), import}) {
    ASSERT_NE(nullptr, dialog);
    EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(0, SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));
  }
  DestroyWindow(import);
}

}  // namespace
