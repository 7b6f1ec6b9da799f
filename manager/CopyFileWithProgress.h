#pragma once
// Copies one film file in blocks on the program's one thread, with a small
// progress dialog whose Cancel button works because every waiting message is
// dispatched between blocks. The main window is disabled meanwhile.
#include "CP_FileSpec.h"
#include "CP_Win.h"
#include "GH_PartialCopy.h"

#include <cstdint>

// What a copy came to. No copy answers 3.
enum GH_CopyResult : int16_t {
  kCopyDone = 0,
  kCopyNoSpec = 1,          // the source or the destination is empty
  kCopySourceMissing = 2,   // the source does not open for reading
  kCopyCancelled = 4,       // nothing is left at the destination
  kCopyNoSpace = 5,         // not enough free space at the destination
  kCopyFailed = 6,          // a file error while copying; nothing is left at the destination
  kCopyNoFolder = 7,        // the destination folder does not exist
  kCopyNotOpen = 8,         // a file was not open after opening it
  kCopyNameTaken = GH_PartialCopy::kNameTaken,              // a file holds the name; it stays as it is
  kCopyFolderInTheWay = GH_PartialCopy::kFolderInTheWay,    // a folder holds the name
  kCopyNoTemporaryName = GH_PartialCopy::kNoTemporaryName,  // the folder takes no new file
};

// Set by the dialog's Cancel, looked at by the copy between blocks.
extern uint8_t CopyCancelled;

class CopyFileWithProgress {
 public:
  // Makes the dialog hidden, owned by the main window when it exists, which
  // is disabled until the copy ends.
  CopyFileWithProgress(const CP_FileSpec& source, const CP_FileSpec& destination);
  // A copy that was never run still gives the main window back.
  ~CopyFileWithProgress();
  CopyFileWithProgress(const CopyFileWithProgress&) = delete;
  CopyFileWithProgress& operator=(const CopyFileWithProgress&) = delete;

  // Copies the source into the destination's folder under the source's own
  // name, which the copy takes only when it is whole and on the disk; a file
  // or folder that holds that name, before or when the copy is done, stays
  // and the copy is not kept. Called once.
  int16_t Copy();

  HWND GetDialog() const { return fDialog; }

 private:
  int16_t CopyBlocks(uint8_t* buffer);
  void EndDialogAndFreeMainWindow();

  HWND fDialog = nullptr;
  HWND fProgress = nullptr;
  CP_FileSpec fSource;
  CP_FileSpec fDestination;
  bool fMainDisabled = false;
};

INT_PTR CALLBACK CopyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
