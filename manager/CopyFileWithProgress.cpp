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
static_assert(int(GH_PartialCopy::kReady) == kCopyDone, "a finished copy answers done");

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

  GH_PartialCopy partial(fDestination.Path());
  if (const GH_PartialCopy::Result begun = partial.Begin()) return begun;
  CP_File& destination = partial.File();

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
  if (CopyCancelled) return kCopyCancelled;
  return partial.Finish();
}
