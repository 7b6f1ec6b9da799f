#pragma once
// The rollback journal of a rewrite in place (a pack, a memo compaction,
// tag marks written into old tables). Two programs may have a table open,
// and Windows renames no file another program holds open, so a table is
// rewritten where it lies. Before anything is overwritten, the bytes the
// rewrite will overwrite are copied beside the table (base + ".jnl") with
// the table's fixed header and both files' sizes, checksummed and forced to
// disk. Only then is the header marked as rewriting. Whoever next takes the
// table's lock and finds the mark puts the saved bytes back from a whole
// journal, so a table is the old one or the new one, never a mix.
//
// Layout, little-endian: "XBJOURN1"; the odd write count the rewrite marks
// the header with (4 bytes); the number of ranges (4); the .dbf's and the
// .fpt's sizes before the rewrite (8 each); the .dbf's 32-byte fixed
// header; then each range: its file (4; 0 the .dbf, 1 the .fpt), offset (8),
// length (8) and bytes; last, the CRC-32 of everything before it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "File.h"
#include "Format.h"

namespace xbase {

// The journal's checksum: the CRC-32 of zlib and PNG.
uint32_t Crc32(const uint8_t* data, size_t size);

class Journal {
 public:
  enum Which : uint32_t { kTable = 0, kMemo = 1 };
  struct Range {
    Which file;
    uint64_t offset;
    uint64_t length;
  };
  enum class Found {
    None,   // no journal
    Whole,  // a whole journal of this rewrite: it can be put back
    Stale,  // cut short, damaged, or another rewrite's: nothing to put back
  };

  // `memo` is null for a table without a memo file. The caller holds the
  // table's exclusive lock for every call.
  Journal(FileSystem& fs, std::string path, File& table, File* memo)
      : fs_(fs), path_(std::move(path)), table_(table), memo_(memo) {}

  // Saves `ranges` (each within its file) for a rewrite that will mark the
  // header with `writes`, and forces the journal to disk. A journal left
  // from before is removed first; on failure nothing is left behind.
  Code Save(uint32_t writes, const std::vector<Range>& ranges, std::string& why);

  // What lies beside the table for the rewrite that marked the header with
  // `writes`. Reads in bounded pieces: no length the journal claims is
  // trusted before it is checked against the journal's size.
  Code Check(uint32_t writes, Found& found, std::string& why);

  // Puts back what a whole journal of `writes` saved and forces it to disk;
  // the fixed header goes last, with `restoredWrites` as its write count.
  Code Restore(uint32_t writes, uint32_t restoredWrites, std::string& why);

  // True when the journal is gone.
  bool Remove() { return fs_.Remove(path_); }

 private:
  struct Head;
  enum class Apply { No, Yes };

  Code Write(uint32_t writes, const std::vector<Range>& ranges, std::string& why);
  // Reads the journal through, checking every length and the checksum;
  // with Apply::Yes also writes each range back where it came from.
  Code Walk(File& in, uint64_t size, Apply apply, Head& head, std::string& why);

  FileSystem& fs_;
  std::string path_;
  File& table_;
  File* memo_;
};

}  // namespace xbase
