#pragma once
// Logical drives: one drive as a value, and a walk over the drives present.
#include <cstdint>
#include <string>

class CP_Volume {
 public:
  CP_Volume() = default;
  explicit CP_Volume(int16_t driveNumber) : fDriveNumber(driveNumber) {}
  CP_Volume(const CP_Volume&) = default;
  CP_Volume& operator=(const CP_Volume&) = default;
  virtual ~CP_Volume() = default;

  void Assign(const CP_Volume& other) { *this = other; }
  int16_t GetDriveNumber() const { return fDriveNumber; }
  void SetDriveNumber(int16_t driveNumber) { fDriveNumber = driveNumber; }

  // "C:\" for drive 2; empty for a number outside A: to Z:.
  std::string GetRootPath() const;
  // The name the shell shows for the drive.
  std::string GetDisplayName() const;
  void GetDisplayName(std::string& out) const { out = GetDisplayName(); }
  // False only for a CD-ROM drive.
  bool IsNotCDROM() const;

 private:
  int16_t fDriveNumber = -1;  // 0 is A:; -1 until a drive is set
};

class CP_VolumeIterator {
 public:
  // The end of every walk.
  CP_VolumeIterator() = default;
  // A walk that has not reached its first drive yet; the first ++ does.
  explicit CP_VolumeIterator(uint8_t option) : fActive(true), fOption(option), fNextIndex(0) {}

  CP_VolumeIterator& operator++();
  CP_Volume operator*() const { return fCurrent; }
  bool operator!=(const CP_VolumeIterator& other) const { return fNextIndex != other.fNextIndex; }

  uint8_t GetOption() const { return fOption; }

 private:
  void BecomeEnd();

  bool fActive = false;
  uint8_t fOption = 1;
  int16_t fNextIndex = -1;  // always just past the drive found last
  CP_Volume fCurrent;
};
