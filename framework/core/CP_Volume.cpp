#include "CP_Volume.h"

#include "CP_Win.h"

#include <shellapi.h>

std::string CP_Volume::GetRootPath() const {
  if (fDriveNumber < 0 || fDriveNumber > 25) return std::string();
  return std::string(1, char('A' + fDriveNumber)) + ":\\";
}

std::string CP_Volume::GetDisplayName() const {
  SHFILEINFOA info = {};
  SHGetFileInfoA(GetRootPath().c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME);
  info.szDisplayName[sizeof info.szDisplayName - 1] = '\0';
  return info.szDisplayName;
}

bool CP_Volume::IsNotCDROM() const {
  if (GetLogicalDrives() == 0) return true;
  return GetDriveTypeA(GetRootPath().c_str()) != DRIVE_CDROM;
}

CP_VolumeIterator& CP_VolumeIterator::operator++() {
  const DWORD mask = GetLogicalDrives();
  bool found = false;
  while (mask != 0 && !found && fActive && fNextIndex >= 0 && fNextIndex < 32) {
    if (mask & (DWORD(1) << fNextIndex)) {
      fCurrent.SetDriveNumber(fNextIndex);
      found = true;
    }
    ++fNextIndex;
  }
  if (!found) BecomeEnd();
  return *this;
}

void CP_VolumeIterator::BecomeEnd() {
  fActive = false;
  fNextIndex = -1;
}
