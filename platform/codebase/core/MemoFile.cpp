#include "MemoFile.h"

#include "Bytes.h"

namespace xbase {
namespace {

constexpr uint32_t kBlockHead = 8;
constexpr uint32_t kTextKind = 1;

uint64_t RoundUp(uint64_t n, uint32_t unit) { return (n + unit - 1) / unit * unit; }

}  // namespace

Code MemoFile::Open(std::unique_ptr<File> file, std::unique_ptr<MemoFile>& memo, std::string& why) {
  uint8_t head[8];
  if (!file->ReadAt(0, head, sizeof head)) {
    why = "the memo file is shorter than its header";
    return Code::Truncated;
  }
  uint32_t blockSize = LoadU16BE(head + 6);
  if (blockSize == 0) {
    why = "the memo file's block size is 0";
    return Code::Damaged;
  }
  memo.reset(new MemoFile(std::move(file), blockSize));
  return Code::Ok;
}

std::vector<uint8_t> MemoFile::NewFileBytes() {
  std::vector<uint8_t> bytes(kHeaderSize, 0);
  StoreU32BE(bytes.data(), kHeaderSize / kBlockSize);
  StoreU16BE(bytes.data() + 6, kBlockSize);
  return bytes;
}

Code MemoFile::Read(uint32_t block, std::string& text, std::string& why) {
  text.clear();
  if (block == 0) return Code::Ok;
  uint64_t size = 0;
  if (!file_->Size(size)) return Code::IoError;
  uint64_t offset = uint64_t(block) * blockSize_;
  // A block inside the header, or one whose head is past the end, is no memo.
  if (offset < kHeaderSize || offset > size || size - offset < kBlockHead) {
    why = "a memo pointer lies outside the memo file";
    return Code::Damaged;
  }
  uint8_t head[kBlockHead];
  if (!file_->ReadAt(offset, head, sizeof head)) return Code::IoError;
  uint32_t length = LoadU32BE(head + 4);
  if (length > size - offset - kBlockHead) {
    why = "a memo runs past the end of the memo file";
    return Code::Truncated;
  }
  text.resize(length);
  if (length != 0 && !file_->ReadAt(offset + kBlockHead, &text[0], length)) {
    text.clear();
    return Code::IoError;
  }
  return Code::Ok;
}

Code MemoFile::Append(std::string_view text, uint32_t& block) {
  block = 0;
  if (text.empty()) return Code::Ok;
  if (text.size() > UINT32_MAX - kBlockHead - blockSize_) return Code::NoRoom;
  uint8_t header[8];
  uint64_t size = 0;
  if (!file_->ReadAt(0, header, sizeof header) || !file_->Size(size)) return Code::IoError;
  // Never below the file's end: a damaged next-free pointer must not make a
  // new memo overwrite old ones.
  uint64_t offset = uint64_t(LoadU32BE(header)) * blockSize_;
  if (offset < RoundUp(size, blockSize_)) offset = RoundUp(size, blockSize_);
  if (offset < kHeaderSize) offset = RoundUp(kHeaderSize, blockSize_);
  uint64_t used = RoundUp(kBlockHead + text.size(), blockSize_);
  uint64_t nextFree = (offset + used) / blockSize_;
  if (nextFree > UINT32_MAX) return Code::NoRoom;

  std::vector<uint8_t> bytes(size_t(used), 0);
  StoreU32BE(bytes.data(), kTextKind);
  StoreU32BE(bytes.data() + 4, uint32_t(text.size()));
  std::copy(text.begin(), text.end(), bytes.begin() + kBlockHead);
  if (!file_->WriteAt(offset, bytes.data(), bytes.size())) return Code::IoError;
  StoreU32BE(header, uint32_t(nextFree));
  if (!file_->WriteAt(0, header, 4)) return Code::IoError;
  block = uint32_t(offset / blockSize_);
  return Code::Ok;
}

Code MemoFile::Lay(const std::vector<std::string>& texts, Plan& plan) const {
  plan = Plan();
  uint64_t offset = RoundUp(kHeaderSize, blockSize_);
  plan.blocks.assign(texts.size(), 0);
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& t = texts[i];
    if (t.empty()) continue;
    uint64_t used = RoundUp(kBlockHead + t.size(), blockSize_);
    if ((offset + used) / blockSize_ > UINT32_MAX) return Code::NoRoom;
    size_t at = plan.bytes.size();
    plan.bytes.resize(at + size_t(used), 0);
    StoreU32BE(&plan.bytes[at], kTextKind);
    StoreU32BE(&plan.bytes[at + 4], uint32_t(t.size()));
    std::copy(t.begin(), t.end(), plan.bytes.begin() + long(at + kBlockHead));
    plan.blocks[i] = uint32_t(offset / blockSize_);
    offset += used;
  }
  plan.end = offset;
  return Code::Ok;
}

Code MemoFile::Rewrite(const Plan& plan) {
  uint8_t header[kHeaderSize];
  if (!file_->ReadAt(0, header, kHeaderSize)) return Code::IoError;
  StoreU32BE(header, uint32_t(plan.end / blockSize_));
  uint64_t start = RoundUp(kHeaderSize, blockSize_);
  if (start > kHeaderSize) {
    std::vector<uint8_t> pad(size_t(start - kHeaderSize), 0);
    if (!file_->WriteAt(kHeaderSize, pad.data(), pad.size())) return Code::IoError;
  }
  if ((!plan.bytes.empty() && !file_->WriteAt(start, plan.bytes.data(), plan.bytes.size())) ||
      !file_->WriteAt(0, header, kHeaderSize)) {
    return Code::IoError;
  }
  return Code::Ok;
}

}  // namespace xbase
