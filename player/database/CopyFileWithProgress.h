#pragma once
// Copying a film file into a folder with a modeless progress dialog that
// can be cancelled, and the procedure of the "please wait" dialog shown
// while a CD is imported. Both dialogs pump the thread's messages through
// the caller's work; the main video window takes no input meanwhile.
#include <cstdint>
#include <string>

#include "CP_FileSpec.h"
#include "CP_Win.h"
#include "GH_PartialCopy.h"

// Dialog resources and their controls.
enum : int {
  kFileCopyDialog = 101,
  kFileCopyNameText = 1002,
  kFileCopyProgressBar = 1000,
  kImportDialog = 20100,
  kImportText = 20200,
  kDatabaseDialogIcon = 1014,
};

class CopyFileWithProgress {
public:
  // What Copy answers.
  enum Result : int32_t {
    kCopied = 0,
    kNoSpec = 1,
    kSourceUnreadable = 2,
    kCancelled = 4,
    kNoRoom = 5,
    kFileError = 6,
    kNoFolder = 7,
    kNotOpen = 8,
    kNameTaken = GH_PartialCopy::kNameTaken,              // a file holds the name; it stays as it is
    kFolderInTheWay = GH_PartialCopy::kFolderInTheWay,    // a folder holds the name
    kNoTemporaryName = GH_PartialCopy::kNoTemporaryName,  // the folder takes no new file
  };
  static constexpr uint32_t kChunkSize = 102400;

  // Makes the dialog, hidden, and disables the main video window.
  CopyFileWithProgress(const CP_FileSpec& source, const CP_FileSpec& destination);
  // Destroys a dialog that Copy has not removed.
  ~CopyFileWithProgress();
  CopyFileWithProgress(const CopyFileWithProgress&) = delete;
  CopyFileWithProgress& operator=(const CopyFileWithProgress&) = delete;

  // Copies the source into the destination's folder under the source's
  // name, which the copy takes only when it is whole and on the disk; a
  // file or folder that holds that name, before or when the copy is done,
  // stays and the copy is not kept. Then removes the dialog.
  int32_t Copy();

  HWND DialogWindow() const { return fDialog; }

private:
  int32_t CopyFiles();
  void RemoveDialog();

  HWND fDialog = nullptr;
  HWND fProgressBar = nullptr;
  CP_FileSpec fSource;
  CP_FileSpec fDestination;
};

INT_PTR CALLBACK FileCopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ImportProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
