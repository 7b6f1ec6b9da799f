#include "CopyFileWithProgress.h"

#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_FileSystem.h"
#include "CP_Window.h"
#include "GH_Globals.h"
#include "GH_MainWindow.h"
#include "GH_Resources.h"
#include "GH_Utilities.h"

#include <cstdio>
#include <exception>
#include <memory>

uint8_t CopyCancelled = 0;

namespace {

constexpr uint32_t kBlockSize = 102400;

HWND MainWindowHandle() {
  CP_Window* main = FindMainWindow(mainWindowTitle);
  return main ? main->GetHWND() : nullptr;
}

bool OpensForReading(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

// Lets the program's windows, the dialog's Cancel among them, run between
// two blocks.
void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The copy is written under a name of its own in the destination folder
// and takes the film's name only when whole: a scan of the folder meanwhile
// (the engine's "installed" message runs one) must not record half a film,
// and a copy that fails leaves none behind. The scans list ".flm" and
// ".mov" files; this name ends in ".tmp".
class PartialCopy {
 public:
  explicit PartialCopy(const std::string& folder) {
    char path[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), "kx", 0, path)) fPath = path;
  }
  ~PartialCopy() {
    if (!fPath.empty()) DeleteFileA(fPath.c_str());
  }
  PartialCopy(const PartialCopy&) = delete;
  PartialCopy& operator=(const PartialCopy&) = delete;

  const std::string& Path() const { return fPath; }

  // Only a file that was there when the copy began is replaced: one that
  // appeared meanwhile is another film's.
  bool TakeName(const std::string& target, bool replace) {
    if (!replace) return Keep(MoveFileA(fPath.c_str(), target.c_str()));
    const DWORD attributes = GetFileAttributesA(target.c_str());
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only mark would refuse
    if (Keep(MoveFileExA(fPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))) return true;
    SetFileAttributesA(target.c_str(), attributes);
    return false;
  }

 private:
  bool Keep(BOOL moved) {
    if (moved) fPath.clear();
    return moved != FALSE;
  }

  std::string fPath;
};

}  // namespace

INT_PTR CALLBACK CopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDialogIcon(dialog);
      return 0;
    case WM_COMMAND:
      // The close box sends the Cancel button's command too.
      if (LOWORD(wParam) != IDCANCEL) return 0;
      EndDialog(dialog, kCopyCancelled);
      CopyCancelled = 1;
      return 1;
    case WM_PAINT:
      ValidateDialogPaint(dialog);
      return 0;
    default:
      return 0;
  }
}

CopyFileWithProgress::CopyFileWithProgress(const CP_FileSpec& source,
                                           const CP_FileSpec& destination)
    : fSource(source), fDestination(destination) {
  const std::string name = source.IsSpecified() ? source.Name() : "--NoName--";
  HWND main = MainWindowHandle();
  if (main) {
    EnableWindow(main, FALSE);
    fMainDisabled = true;
  }
  fDialog = CreateDialogParamA(ManagerInstance(), MAKEINTRESOURCEA(GH_DIALOG_FILECOPY), main,
                               CopyDialogProc, 0);
  if (fDialog)
    SendDlgItemMessageA(fDialog, GH_ITEM_COPY_NAME, WM_SETTEXT, 0, LPARAM(name.c_str()));
  CopyCancelled = 0;
}

CopyFileWithProgress::~CopyFileWithProgress() { EndDialogAndFreeMainWindow(); }

void CopyFileWithProgress::EndDialogAndFreeMainWindow() {
  if (fMainDisabled) {
    // Looked up again: the window may have gone while messages ran.
    if (HWND main = MainWindowHandle()) {
      EnableWindow(main, TRUE);
      BringWindowToTop(main);
    }
    fMainDisabled = false;
  }
  if (fDialog) {
    DestroyWindow(fDialog);
    fDialog = nullptr;
  }
}

int16_t CopyFileWithProgress::Copy() {
  auto buffer = std::make_unique<uint8_t[]>(kBlockSize);
  int16_t result = kCopyFailed;
  try {
    result = CopyBlocks(buffer.get());
  } catch (const CP_BaseException&) {
    result = kCopyFailed;
  } catch (const std::exception&) {
    result = kCopyFailed;
  }
  EndDialogAndFreeMainWindow();
  return result;
}

int16_t CopyFileWithProgress::CopyBlocks(uint8_t* buffer) {
  if (!fSource.IsSpecified() || !fDestination.IsSpecified()) return kCopyNoSpec;

  // The copy keeps the source's name in the destination's folder.
  const std::string folder = fDestination.FolderPath();
  const bool folderPresent = CP_FileSystem::DirectoryExists(CP_FileSpec(folder, true));
  if (folderPresent) fDestination.SetName(fSource.Name());

  if (!OpensForReading(fSource.Path())) return kCopySourceMissing;
  // Asked before the free space: a folder that is not there has none.
  if (!folderPresent) return kCopyNoFolder;

  CP_File source(fSource);
  source.Open(GENERIC_READ);
  const int64_t size = source.GetSize();
  if (size >= int64_t(FreeDiskSpace(folder))) return kCopyNoSpace;

  const std::string target = fDestination.Path();
  const bool replacing = IsFile(target);
  // A folder of the film's name is in the way: the copy could never take it.
  if (!replacing && GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) return kCopyFailed;
  PartialCopy partial(folder);
  if (partial.Path().empty()) return kCopyFailed;
  CP_File destination(CP_FileSpec(partial.Path(), false));
  destination.Create(GENERIC_READ | GENERIC_WRITE, 0, 0, true);
  destination.Open(GENERIC_READ | GENERIC_WRITE);

  fProgress = GetDlgItem(fDialog, GH_ITEM_COPY_PROGRESS);
  SendMessageA(fProgress, PBM_SETPOS, 0, 0);
  SendMessageA(fProgress, PBM_SETSTEP, 1, 0);
  if (!source.IsOpen() || !destination.IsOpen()) return kCopyNotOpen;

  if (fDialog) ShowWindow(fDialog, SW_SHOW);
  int64_t copied = 0;
  int percent = size == 0 ? 100 : 0;  // an empty file is copied once it exists
  while (!CopyCancelled && percent < 100 && copied <= size) {
    uint32_t count = kBlockSize;
    source.Read(buffer, &count);
    // The file yields less than its size said: the copy is not whole.
    if (count == 0) return kCopyFailed;
    destination.Write(buffer, &count);
    copied += count;
    percent = int(double(copied) / double(size) * 100.0);
    SendMessageA(fProgress, PBM_SETPOS, WPARAM(percent), 0);
    DispatchWaitingMessages();
  }
  source.Close();
  destination.Close();
  if (CopyCancelled) return kCopyCancelled;
  if (!partial.TakeName(target, replacing)) return kCopyFailed;
  return kCopyDone;
}
