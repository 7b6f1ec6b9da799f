#pragma once
// Files in memory that fail as disks and programs do, from the N-th write
// on. Every WriteAt, Truncate, Sync, Remove and file made counts as a write:
// - Fail: that one write fails and changes nothing; later ones succeed;
// - Stop: the program stops there: that write and every later one never
//   happen, so the files are what the next program finds;
// - StopTorn: the same, but that write leaves the first half of its bytes;
// - Full: the disk is full from there on: a write that would grow a file
//   stores what fits inside the file and fails.
#include <algorithm>
#include <memory>
#include <string>

#include "File.h"
#include "Table.h"

namespace xbasetest {

class FaultyFileSystem : public xbase::FileSystem {
 public:
  enum class Mode { Fail, Stop, StopTorn, Full };

  explicit FaultyFileSystem(xbase::MemoryFileSystem& target) : target_(target) {}

  // Fails from the `at`-th write from now on (counting from 1).
  void Arm(int at, Mode mode) {
    writes_ = 0;
    at_ = at;
    mode_ = mode;
  }
  void Heal() { at_ = 0; }
  int Writes() const { return writes_; }

  std::unique_ptr<xbase::File> Open(const std::string& path, xbase::OpenMode mode) override;
  bool Exists(const std::string& path) override { return target_.Exists(path); }
  bool Remove(const std::string& path) override { return Next(false) == Verdict::Write && target_.Remove(path); }

  enum class Verdict { Write, Refuse, Tear, Short };
  // Counts a write and says what becomes of it; `grows` when it would make
  // a file larger.
  Verdict Next(bool grows) {
    ++writes_;
    if (at_ == 0 || writes_ < at_) return Verdict::Write;
    switch (mode_) {
      case Mode::Fail: return writes_ == at_ ? Verdict::Refuse : Verdict::Write;
      case Mode::Stop: return Verdict::Refuse;
      case Mode::StopTorn: return writes_ == at_ ? Verdict::Tear : Verdict::Refuse;
      case Mode::Full: return grows ? Verdict::Short : Verdict::Write;
    }
    return Verdict::Refuse;
  }

 private:
  xbase::MemoryFileSystem& target_;
  int at_ = 0;
  Mode mode_ = Mode::Fail;
  int writes_ = 0;
};

class FaultyFile : public xbase::File {
 public:
  FaultyFile(FaultyFileSystem& fs, std::unique_ptr<xbase::File> file) : fs_(fs), file_(std::move(file)) {}

  bool ReadAt(uint64_t offset, void* data, size_t size) override { return file_->ReadAt(offset, data, size); }
  bool Size(uint64_t& size) override { return file_->Size(size); }
  bool Lock(xbase::LockKind kind) override { return file_->Lock(kind); }
  void Unlock() override { file_->Unlock(); }

  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    const uint64_t now = SizeNow();
    switch (fs_.Next(offset + size > now)) {
      case FaultyFileSystem::Verdict::Write: return file_->WriteAt(offset, data, size);
      case FaultyFileSystem::Verdict::Tear: (void)file_->WriteAt(offset, data, size / 2); return false;
      case FaultyFileSystem::Verdict::Short:
        if (offset < now) (void)file_->WriteAt(offset, data, size_t(now - offset));
        return false;
      case FaultyFileSystem::Verdict::Refuse: return false;
    }
    return false;
  }
  bool Truncate(uint64_t size) override {
    return fs_.Next(size > SizeNow()) == FaultyFileSystem::Verdict::Write && file_->Truncate(size);
  }
  bool Sync() override { return fs_.Next(false) == FaultyFileSystem::Verdict::Write && file_->Sync(); }

 private:
  uint64_t SizeNow() {
    uint64_t size = 0;
    (void)file_->Size(size);
    return size;
  }

  FaultyFileSystem& fs_;
  std::unique_ptr<xbase::File> file_;
};

inline std::unique_ptr<xbase::File> FaultyFileSystem::Open(const std::string& path, xbase::OpenMode mode) {
  if (mode == xbase::OpenMode::CreateNew && Next(false) != Verdict::Write) return nullptr;
  std::unique_ptr<xbase::File> file = target_.Open(path, mode);
  if (!file) return nullptr;
  return std::make_unique<FaultyFile>(*this, std::move(file));
}

inline const char* ModeName(FaultyFileSystem::Mode mode) {
  switch (mode) {
    case FaultyFileSystem::Mode::Fail: return "Fail";
    case FaultyFileSystem::Mode::Stop: return "Stop";
    case FaultyFileSystem::Mode::StopTorn: return "StopTorn";
    case FaultyFileSystem::Mode::Full: return "Full";
  }
  return "Unknown";
}

// Leaves in `disk` what a pack of its table "T" leaves when the program
// stops just after the pack overwrote its first row: a mix of old and new
// that only the journal can undo. False when no stop does.
inline bool StopPackHalfWay(xbase::MemoryFileSystem& disk) {
  const char* const names[] = {"T.dbf", "T.fpt", "T.tags", "T.jnl"};
  const std::vector<uint8_t> before = disk.Get("T.dbf");
  for (int n = 1; n < 1000; ++n) {
    xbase::MemoryFileSystem copy;
    for (const char* name : names)
      if (disk.Exists(name)) copy.Put(name, disk.Get(name));
    FaultyFileSystem faulty(copy);
    std::unique_ptr<xbase::Table> t;
    std::string why;
    if (xbase::Table::Open(faulty, "T", t, why) != xbase::Code::Ok) return false;
    faulty.Arm(n, FaultyFileSystem::Mode::Stop);
    if (t->Pack() == xbase::Code::Ok) return false;  // it went through before any row moved
    const std::vector<uint8_t> dbf = copy.Get("T.dbf");
    if (!std::equal(dbf.begin() + xbase::kHeaderFixed, dbf.end(), before.begin() + xbase::kHeaderFixed, before.end())) {
      for (const char* name : names)
        if (copy.Exists(name)) disk.Put(name, copy.Get(name));
      return true;
    }
  }
  return false;
}

}  // namespace xbasetest
