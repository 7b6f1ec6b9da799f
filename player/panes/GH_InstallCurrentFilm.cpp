// Copying the film that plays from the CD into the films folder.
#include "panes/GH_QT_MoviePane.h"

#include "CP_FileSpec.h"
#include "CP_Win.h"
#include "GH_PartialCopy.h"
#include "database/CopyFileWithProgress.h"
#include "document/GH_Globals.h"
#include "utility/GH_FilmFolders.h"

namespace {

// The box for a copy status; empty when the status is shown by no box.
// Texts that end in ": " are shown so, with nothing after the colon.
std::string CopyStatusText(int32_t status, const PlaylistEntry& film, const std::string& folder) {
  switch (status) {
    case CopyFileWithProgress::kCopied:
    case CopyFileWithProgress::kCancelled:  // nothing to say
      return std::string();
    case CopyFileWithProgress::kSourceUnreadable:
      return "Source file for movie not found.";
    case CopyFileWithProgress::kNoRoom:
      return "Not enough space available on the destination drive for movie: ";
    case CopyFileWithProgress::kFileError:
      return "An exception occurred while copying movie";
    case CopyFileWithProgress::kNoFolder:
      return "Copy failed for movie. Check that the directory exists.";
    case CopyFileWithProgress::kNameTaken:
    case CopyFileWithProgress::kFolderInTheWay:
    case CopyFileWithProgress::kNoTemporaryName:
      return GH_NotCopiedText(status, film.itemText, folder, film.fileName);
    default:
      return "Undefined error while copying movie: ";
  }
}

}  // namespace

int32_t GH_QT_MoviePane::InstallCurrentFilm() {
  if (!fCurrentEntry) return -1;
  Pause();

  std::string filmsFolder;
  if (fCDDatabase) {
    std::vector<DriveRecord> drives;
    fCDDatabase->ReadAllDrives(drives);
    DriveRecord drive;
    drive.label = FilmsFolderName;
    // The record is read whatever the number of drives: with more than one
    // the films folder would otherwise be unknown and the film would land
    // in the root of the current drive.
    if (fCDDatabase->FindDriveRecord(drive) == 0) {
      if (drives.size() == 1 && drive.path.size() <= 1) {
        drive.path = RenameM01FilesToFlm();
        // A films folder the library cannot record takes no film: the
        // manager would not find it there.
        if (fCDDatabase->SelectMovieDirectoryDrive(drive) != 0) {
          fCDDatabase->ReportWriteFailures();
          return -1;
        }
      }
      filmsFolder = drive.path;
    }
  }
  PlaylistEntry entry;
  entry.itemId = fCurrentEntry->itemId;
  if (!fCDDatabase || fCDDatabase->LookupItem(entry)) return -1;
  if (entry.itemType != 4 || entry.iconResId == 1) return -1;
  // No record, or one without a folder: the default films folder. Only the
  // drive row's own set-up above moves the downloaded films; this fallback
  // copies the one film and leaves "Internet Movies" as it is.
  if (filmsFolder.size() <= 1) filmsFolder = DefaultFilmsFolder();

  int32_t status = -1;
  if (!filmsFolder.empty()) {
    if (filmsFolder.back() == '\\') filmsFolder.pop_back();
    const CP_FileSpec destination(filmsFolder + "\\" + entry.fileName, false);
    // A film kept in a folder of the disc is copied from that folder.
    const std::string folderOnDisc = entry.filePath.empty() ? std::string() : entry.filePath + "\\";
    const CP_FileSpec source(FilmRoot + folderOnDisc + entry.fileName, false);
    std::string sourcePath, destinationPath;
    source.GetPath(sourcePath);
    destination.GetPath(destinationPath);
    if (!sourcePath.empty() && !destinationPath.empty()) {
      CopyFileWithProgress copy(source, destination);
      status = copy.Copy();
    }
  } else {
    // Nowhere to copy to.
    status = CopyFileWithProgress::kNoFolder;
  }
  const std::string text = CopyStatusText(status, entry, filmsFolder);
  if (!text.empty()) MessageBoxA(fWindow, text.c_str(), "Glintharbour International", MB_OK);
  return status;
}
