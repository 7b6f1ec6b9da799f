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

  // Replaces the whole file with these texts, in order; answers their new
  // blocks. The caller holds the table's exclusive lock.
  Code Rewrite(const std::vector<std::string>& texts, std::vector<uint32_t>& blocks);

 private:
  MemoFile(std::unique_ptr<File> file, uint32_t blockSize)
      : file_(std::move(file)), blockSize_(blockSize) {}

  std::unique_ptr<File> file_;
  uint32_t blockSize_;
};

}  // namespace xbase
