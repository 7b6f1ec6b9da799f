#pragma once
// The file a film copy writes, in the folder where the film goes but under
// a temporary name ("kx" and up to four hex digits, ".tmp"): it takes the
// film's name only when it is whole and on the disk. A scan of the folder
// meanwhile finds no half film (the scans list ".flm" and ".mov" files), a
// copy that fails or is cancelled leaves nothing behind, and a file that
// holds the film's name is never replaced. Both programs' copiers write
// through it.
#include "CP_File.h"

#include <cstdint>
#include <string>

class GH_PartialCopy {
 public:
  // How a copy's start or its end came out. The values are those of the
  // copiers' own results for the same ends.
  enum Result : int16_t {
    kReady = 0,
    kNameTaken = 9,         // a file holds the film's name
    kFolderInTheWay = 10,   // a folder holds the film's name
    kNoTemporaryName = 11,  // the folder takes no new file
  };

  // `target` is the film's full path.
  explicit GH_PartialCopy(std::string target);
  // Deletes the temporary file unless it took the film's name.
  ~GH_PartialCopy();
  GH_PartialCopy(const GH_PartialCopy&) = delete;
  GH_PartialCopy& operator=(const GH_PartialCopy&) = delete;

  // Checks that the film's name is free, removes what earlier copies into
  // the folder left behind, then makes the temporary file and opens it for
  // writing. Throws the framework's file error when it does not open.
  Result Begin();
  // The temporary file, open for writing after a successful Begin.
  CP_File& File() { return fFile; }
  // Puts what was written on the disk, closes the file and gives it the
  // film's name by a rename that never replaces: kNameTaken or
  // kFolderInTheWay when the name was taken meanwhile. A failed flush,
  // close or rename throws the framework's file error.
  Result Finish();

  const std::string& TemporaryPath() const { return fTemporary; }

 private:
  std::string fTarget;
  std::string fTemporary;  // empty when there is none (any more) to delete
  CP_File fFile;
};

// Deletes the temporary copies in `folder` that a crash or a power cut left:
// only files of the temporary copies' name pattern, last written some
// minutes ago and open nowhere (a copy under way holds its file open).
void GH_RemoveLeftOverCopies(const std::string& folder);

// True for a name made for a temporary copy.
bool GH_IsTemporaryCopyName(const std::string& name);

// The message for a film not copied for one of the reasons above, naming
// the film, the folder it was to go into and its file name there. Empty
// for any other result.
std::string GH_NotCopiedText(int32_t result, const std::string& title, std::string folder,
                             const std::string& fileName);
