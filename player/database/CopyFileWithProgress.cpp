#include "database/CopyFileWithProgress.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "CP_Callback.h"
#include "CP_Exception.h"
#include "CP_File.h"
#include "CP_FileSystem.h"
#include "CP_Window.h"
#include "utility/GH_Utility.h"
#include "utility/GH_WindowLookup.h"

namespace {

// Set by the copy dialog's Cancel button; one copy runs at a time.
bool gCopyCancelled = false;

const char* const kMainVideoWindow = "MainVideoWindow";

static_assert(int(GH_PartialCopy::kReady) == CopyFileWithProgress::kCopied, "a finished copy answers copied");

HWND MainVideoWindow() {
  CP_Window* window = FindWindowByTitle(kMainVideoWindow);
  return window ? window->GetHWND() : nullptr;
}

bool Readable(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

void SetDialogIcons(HWND dialog) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDatabaseDialogIcon));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, LPARAM(icon));
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, LPARAM(icon));
}

// Both dialogs draw nothing of their own and leave every message but
// Cancel to the dialog manager.
INT_PTR CommonDialogMessage(HWND dialog, UINT message) {
  if (message == WM_INITDIALOG) {
    SetDialogIcons(dialog);
  } else if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
  }
  return FALSE;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  CP_RethrowPendingException();
}

}  // namespace

INT_PTR CALLBACK FileCopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, CopyFileWithProgress::kCancelled);
    gCopyCancelled = true;
    return TRUE;
  }
  return CommonDialogMessage(dialog, message);
}

INT_PTR CALLBACK ImportProgressDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  return CommonDialogMessage(dialog, message);
}

CopyFileWithProgress::CopyFileWithProgress(const CP_FileSpec& source, const CP_FileSpec& destination)
    : fSource(source), fDestination(destination) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const std::string shownName = fSource.IsSpecified() ? fSource.Name() : "--NoName--";
  HWND owner = MainVideoWindow();
  if (owner) EnableWindow(owner, FALSE);
  fDialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kFileCopyDialog), owner,
                               FileCopyDialogProc, 0);
  if (fDialog)
    SetDlgItemTextA(fDialog, kFileCopyNameText, shownName.c_str());
  else if (owner)
    EnableWindow(owner, TRUE);  // no dialog will give the window back its input
  gCopyCancelled = false;
}

CopyFileWithProgress::~CopyFileWithProgress() { RemoveDialog(); }

int32_t CopyFileWithProgress::Copy() {
  int32_t result = kFileError;
  try {
    result = CopyFiles();
  } catch (const CP_BaseException& error) {
    error.Report();
    result = kFileError;
  }
  RemoveDialog();
  return result;
}

int32_t CopyFileWithProgress::CopyFiles() {
  std::vector<char> buffer(kChunkSize);
  CP_File source;
  if (!fSource.IsSpecified() || !fDestination.IsSpecified()) return kNoSpec;

  const std::string folder = fDestination.FolderPath();
  const bool usable = CP_FileSystem::DirectoryExists(CP_FileSpec(folder, true));
  if (usable) fDestination.SetName(fSource.Name());

  source.SetSpec(fSource);
  if (!Readable(fSource.Path())) return kSourceUnreadable;
  source.Open(GENERIC_READ);
  const uint32_t size = source.GetSize();

  std::string root = folder;
  if (root.empty() || root.back() != '\\') root += '\\';
  if (uint64_t(size) >= FreeDiskSpace(root.c_str())) return kNoRoom;

  // Another film's file of the same name is never replaced: two CDs may
  // ship films of one name.
  GH_PartialCopy partial(fDestination.Path());
  if (usable) {
    if (const GH_PartialCopy::Result begun = partial.Begin()) return begun;
  }
  CP_File& destination = partial.File();
  fProgressBar = fDialog ? GetDlgItem(fDialog, kFileCopyProgressBar) : nullptr;
  SendMessageA(fProgressBar, PBM_SETPOS, 0, 0);
  SendMessageA(fProgressBar, PBM_SETSTEP, 1, 0);
  if (!usable) return kNoFolder;
  if (!source.IsOpen() || !destination.IsOpen()) return kNotOpen;
  if (fDialog) ShowWindow(fDialog, SW_SHOW);

  uint32_t copied = 0;
  int16_t percent = 0;
  while (!gCopyCancelled && percent < 100 && copied <= size) {
    uint32_t count = kChunkSize;
    source.Read(buffer.data(), &count);
    // A source that ends before its size (or an empty one) ends the copy.
    if (count == 0) break;
    destination.Write(buffer.data(), &count);
    copied += count;
    percent = size == 0 ? 100 : int16_t(double(copied) / double(size) * 100.0);
    SendMessageA(fProgressBar, PBM_SETPOS, WPARAM(percent), 0);
    PumpMessages();
  }
  source.Close();
  if (gCopyCancelled) return kCancelled;
  // A source that shrank while it was copied leaves no half copy behind.
  if (copied < size) return kFileError;
  return partial.Finish();
}

void CopyFileWithProgress::RemoveDialog() {
  if (!fDialog) return;
  if (HWND owner = MainVideoWindow()) {
    EnableWindow(owner, TRUE);
    BringWindowToTop(owner);
  }
  DestroyWindow(fDialog);
  fDialog = nullptr;
  fProgressBar = nullptr;
}
