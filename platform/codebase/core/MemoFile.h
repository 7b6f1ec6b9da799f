#pragma once
// The FoxPro .fpt memo file: a 512-byte header (next free block and block
// size, big-endian) and memo blocks, each an 8-byte head (kind, length)
// followed by the text.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "File.h"
#include "Format.h"

namespace xbase {

class MemoFile {
 public:
  static constexpr uint32_t kHeaderSize = 512;
  static constexpr uint32_t kBlockSize = 64;  // of the files we create

  static Code Open(std::unique_ptr<File> file, std::unique_ptr<MemoFile>& memo, std::string& why);
  static std::vector<uint8_t> NewFileBytes();

  // Block 0 is an empty memo.
  Code Read(uint32_t block, std::string& text, std::string& why);

  // Writes a memo at the end of the file and answers its block (0 for an
  // empty text). The old block is left in place for the next compaction:
  // it is never overwritten, because nothing proves that no other row
  // points at it. The caller holds the table's exclusive lock.
  Code Append(std::string_view text, uint32_t& block);

  // The file laid out anew with only these texts, in order: the bytes of
  // its blocks, each text's block (0 for an empty one) and the file's end.
  struct Plan {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> blocks;
    uint64_t end = 0;
  };
  Code Lay(const std::vector<std::string>& texts, Plan& plan) const;
  // Writes a plan's blocks over the file's and points the header's next
  // free block at the plan's end. The caller holds the table's exclusive
  // lock, has saved the file up to the plan's end in the table's journal,
  // and cuts the file at the plan's end once the rows point at the new
  // blocks: until then old rows may point past it.
  Code Rewrite(const Plan& plan);

  File& Backing() { return *file_; }

 private:
  MemoFile(std::unique_ptr<File> file, uint32_t blockSize)
      : file_(std::move(file)), blockSize_(blockSize) {}

  std::unique_ptr<File> file_;
  uint32_t blockSize_;
};

}  // namespace xbase
