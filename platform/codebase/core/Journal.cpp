#include "Journal.h"

#include <algorithm>
#include <memory>

#include "Bytes.h"

namespace xbase {
namespace {

constexpr uint8_t kMagic[8] = {'X', 'B', 'J', 'O', 'U', 'R', 'N', '1'};
constexpr size_t kHeadSize = 8 + 4 + 4 + 8 + 8 + kHeaderFixed;
constexpr size_t kRangeHead = 4 + 8 + 8;
constexpr size_t kTrailer = 4;
constexpr uint64_t kChunk = 1 << 20;  // bytes copied at once

struct CrcTable {
  uint32_t entry[256];
  constexpr CrcTable() : entry() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entry[i] = c;
    }
  }
};
constexpr CrcTable kCrcTable;

// The CRC-32 of zlib and PNG: a journal cut or torn anywhere fails it.
class Crc {
 public:
  void Add(const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) c_ = kCrcTable.entry[(c_ ^ p[i]) & 0xFF] ^ (c_ >> 8);
  }
  uint32_t Value() const { return ~c_; }

 private:
  uint32_t c_ = 0xFFFFFFFFu;
};

void StoreU64LE(uint8_t* p, uint64_t v) {
  StoreU32LE(p, uint32_t(v));
  StoreU32LE(p + 4, uint32_t(v >> 32));
}
uint64_t LoadU64LE(const uint8_t* p) { return uint64_t(LoadU32LE(p)) | uint64_t(LoadU32LE(p + 4)) << 32; }

// Writes a journal from its start, keeping the checksum of what it wrote.
class Writer {
 public:
  explicit Writer(File& out) : out_(out) {}
  [[nodiscard]] bool Put(const uint8_t* p, size_t n) {
    crc_.Add(p, n);
    if (!out_.WriteAt(pos_, p, n)) return false;
    pos_ += n;
    return true;
  }
  [[nodiscard]] bool Finish() {
    uint8_t trailer[kTrailer];
    StoreU32LE(trailer, crc_.Value());
    return out_.WriteAt(pos_, trailer, kTrailer);
  }

 private:
  File& out_;
  uint64_t pos_ = 0;
  Crc crc_;
};

Code Failed(Code code, std::string& why, std::string text) {
  why = std::move(text);
  return code;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size) {
  Crc crc;
  crc.Add(data, size);
  return crc.Value();
}

// What a journal's head holds, and which files it saved ranges of.
struct Journal::Head {
  uint32_t writes = 0;
  uint32_t count = 0;
  uint64_t sizes[2] = {0, 0};
  uint8_t header[kHeaderFixed] = {};
  bool saved[2] = {false, false};
};

Code Journal::Save(uint32_t writes, const std::vector<Range>& ranges, std::string& why) {
  if (fs_.Exists(path_) && !fs_.Remove(path_))
    return Failed(Code::IoError, why, "cannot remove the journal " + path_ + " left from before");
  Code c = Write(writes, ranges, why);
  if (c != Code::Ok) (void)fs_.Remove(path_);
  return c;
}

Code Journal::Write(uint32_t writes, const std::vector<Range>& ranges, std::string& why) {
  std::unique_ptr<File> out = fs_.Open(path_, OpenMode::CreateNew);
  if (!out) return Failed(Code::IoError, why, "cannot create the journal " + path_);
  uint8_t head[kHeadSize] = {};
  std::copy(kMagic, kMagic + sizeof kMagic, head);
  StoreU32LE(head + 8, writes);
  StoreU32LE(head + 12, uint32_t(ranges.size()));
  uint64_t tableSize = 0, memoSize = 0;
  if (!table_.Size(tableSize) || (memo_ && !memo_->Size(memoSize)) || !table_.ReadAt(0, head + 32, kHeaderFixed))
    return Failed(Code::IoError, why, "cannot read the table to journal it");
  StoreU64LE(head + 16, tableSize);
  StoreU64LE(head + 24, memoSize);

  const std::string cannotWrite = "cannot write the journal " + path_;
  Writer w(*out);
  if (!w.Put(head, kHeadSize)) return Failed(Code::IoError, why, cannotWrite);
  std::vector<uint8_t> buffer;
  for (const Range& r : ranges) {
    File* source = r.file == kTable ? &table_ : memo_;
    uint8_t rangeHead[kRangeHead];
    StoreU32LE(rangeHead, r.file);
    StoreU64LE(rangeHead + 4, r.offset);
    StoreU64LE(rangeHead + 12, r.length);
    if (!w.Put(rangeHead, kRangeHead)) return Failed(Code::IoError, why, cannotWrite);
    for (uint64_t done = 0; done < r.length;) {
      const size_t n = size_t(std::min(kChunk, r.length - done));
      buffer.resize(n);
      if (!source || !source->ReadAt(r.offset + done, buffer.data(), n))
        return Failed(Code::IoError, why, "cannot read the table to journal it");
      if (!w.Put(buffer.data(), n)) return Failed(Code::IoError, why, cannotWrite);
      done += n;
    }
  }
  if (!w.Finish() || !out->Sync()) return Failed(Code::IoError, why, cannotWrite);
  return Code::Ok;
}

Code Journal::Check(uint32_t writes, Found& found, std::string& why) {
  found = Found::None;
  std::unique_ptr<File> in = fs_.Open(path_, OpenMode::Existing);
  if (!in) return fs_.Exists(path_) ? Failed(Code::IoError, why, "cannot open the journal " + path_) : Code::Ok;
  uint64_t size = 0;
  if (!in->Size(size)) return Failed(Code::IoError, why, "cannot read the journal " + path_);
  Head head;
  Code c = Walk(*in, size, Apply::No, head, why);
  if (c == Code::IoError) return c;
  found = Found::Stale;
  if (c != Code::Ok) return Code::Ok;
  if (head.writes != writes) {
    why = "the journal belongs to another rewrite";
    return Code::Ok;
  }
  found = Found::Whole;
  return Code::Ok;
}

Code Journal::Restore(uint32_t writes, uint32_t restoredWrites, std::string& why) {
  std::unique_ptr<File> in = fs_.Open(path_, OpenMode::Existing);
  uint64_t size = 0;
  if (!in || !in->Size(size)) return Failed(Code::IoError, why, "cannot read the journal " + path_);
  // The whole journal is checked before anything is put back.
  Head head;
  Code c = Walk(*in, size, Apply::No, head, why);
  if (c != Code::Ok) return c;
  if (head.writes != writes) return Failed(Code::Damaged, why, "the journal belongs to another rewrite");
  c = Walk(*in, size, Apply::Yes, head, why);
  if (c != Code::Ok) return c;
  const bool memoSaved = memo_ && head.saved[kMemo];
  if (!table_.Truncate(head.sizes[kTable]) || (memoSaved && !memo_->Truncate(head.sizes[kMemo])) ||
      (memoSaved && !memo_->Sync()) || !table_.Sync())
    return Failed(Code::IoError, why, "cannot put the table back");
  // Last, the header: until it is written the table stays marked as
  // rewriting, so a program stopped here leaves the journal to be put back
  // again. Its new write count tells every reader that passed by that the
  // rows changed under it.
  StoreU32LE(head.header + 24, restoredWrites);
  if (!table_.WriteAt(0, head.header, kHeaderFixed) || !table_.Sync())
    return Failed(Code::IoError, why, "cannot put the table's header back");
  return Code::Ok;
}

Code Journal::Walk(File& in, uint64_t size, Apply apply, Head& head, std::string& why) {
  if (size < kHeadSize + kTrailer) return Failed(Code::Damaged, why, "the journal is cut short");
  uint8_t bytes[kHeadSize];
  if (!in.ReadAt(0, bytes, kHeadSize)) return Failed(Code::IoError, why, "cannot read the journal");
  if (!std::equal(kMagic, kMagic + sizeof kMagic, bytes))
    return Failed(Code::Damaged, why, "the file beside the table is no journal");
  head.writes = LoadU32LE(bytes + 8);
  head.count = LoadU32LE(bytes + 12);
  head.sizes[kTable] = LoadU64LE(bytes + 16);
  head.sizes[kMemo] = LoadU64LE(bytes + 24);
  std::copy(bytes + 32, bytes + kHeadSize, head.header);
  // Only this table's own journal: the same kind of table, the same layout.
  uint8_t now[kHeaderFixed];
  if (!table_.ReadAt(0, now, kHeaderFixed)) return Failed(Code::IoError, why, "cannot read the table's header");
  if (now[0] != head.header[0] || !std::equal(now + 8, now + 12, head.header + 8))
    return Failed(Code::Damaged, why, "the journal belongs to another table");

  Crc crc;
  crc.Add(bytes, kHeadSize);
  const uint64_t end = size - kTrailer;
  uint64_t pos = kHeadSize;
  if (head.count > (end - pos) / kRangeHead) return Failed(Code::Damaged, why, "the journal's ranges run past its end");
  std::vector<uint8_t> buffer;
  for (uint32_t i = 0; i < head.count; ++i) {
    uint8_t rangeHead[kRangeHead];
    if (end - pos < kRangeHead) return Failed(Code::Damaged, why, "a journal range runs past its end");
    if (!in.ReadAt(pos, rangeHead, kRangeHead)) return Failed(Code::IoError, why, "cannot read the journal");
    crc.Add(rangeHead, kRangeHead);
    pos += kRangeHead;
    const uint32_t which = LoadU32LE(rangeHead);
    const uint64_t offset = LoadU64LE(rangeHead + 4), length = LoadU64LE(rangeHead + 12);
    // A memo file that cannot be opened now is no reason to drop the
    // journal: it may be all that can put the texts back.
    if (which == kMemo && !memo_) return Failed(Code::IoError, why, "cannot open the memo file to put it back");
    File* target = which == kTable ? &table_ : which == kMemo ? memo_ : nullptr;
    if (!target) return Failed(Code::Damaged, why, "a journal range names no file of the table");
    if (length > end - pos) return Failed(Code::Damaged, why, "a journal range runs past its end");
    // What was saved lay within its file as the rewrite found it.
    if (offset > head.sizes[which] || length > head.sizes[which] - offset)
      return Failed(Code::Damaged, why, "a journal range lies outside its file");
    head.saved[which] = true;
    for (uint64_t done = 0; done < length;) {
      const size_t n = size_t(std::min(kChunk, length - done));
      buffer.resize(n);
      if (!in.ReadAt(pos, buffer.data(), n)) return Failed(Code::IoError, why, "cannot read the journal");
      crc.Add(buffer.data(), n);
      if (apply == Apply::Yes && !target->WriteAt(offset + done, buffer.data(), n))
        return Failed(Code::IoError, why, "cannot put the table back");
      pos += n;
      done += n;
    }
  }
  if (pos != end) return Failed(Code::Damaged, why, "the journal holds more than its ranges");
  uint8_t trailer[kTrailer];
  if (!in.ReadAt(end, trailer, kTrailer)) return Failed(Code::IoError, why, "cannot read the journal");
  if (LoadU32LE(trailer) != crc.Value()) return Failed(Code::Damaged, why, "the journal's checksum does not match");
  return Code::Ok;
}

}  // namespace xbase
