#pragma once
// One open xBase table: a FoxPro 2.x .dbf file, its .fpt memo file and its
// tags, with a current row and a record buffer.
//
// Sharing: any number of programs may have a table open. Each keeps the
// tags' order in memory and, before it positions, compares the header's row
// count and change counters with what it knows, so it sees rows another
// program appended and reloads after another program's pack. Writes happen
// under an exclusive lock and take the row number from the file at that
// moment. Reads take no lock when the header is the same before and after
// them and shows no rewrite under way; otherwise they are done again under
// a shared lock, so they never see a pack or a rewrite half done.
//
// A pack, a memo compaction and the tag marks rewrite the files in place
// through a rollback journal (Journal.h). A program that stops part way
// leaves the header marked as rewriting; whoever takes the lock next puts
// the table back from the journal, or, with none, settles the mark and
// makes every program rebuild its order.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "File.h"
#include "Format.h"
#include "Journal.h"
#include "MemoFile.h"
#include "Tag.h"

namespace xbase {

class Table {
 public:
  // `base` is the path without extension: the files are base + ".dbf",
  // ".fpt" and ".tags". On failure `why` names the check that fired.
  static Code Open(FileSystem& fs, const std::string& base, std::unique_ptr<Table>& table,
                   std::string& why);
  // Creates the files of a new, empty table and opens it. Never replaces
  // an existing table.
  static Code Create(FileSystem& fs, const std::string& base, const std::vector<FieldSpec>& fields,
                     const std::vector<TagDef>& tags, std::unique_ptr<Table>& table, std::string& why);

  ~Table();  // writes a changed row; a failure there is lost, so callers Close first
  Code Close();  // writes a changed row; the table is unusable afterwards

  const std::vector<Field>& Fields() const { return layout_.fields; }
  int FindField(std::string_view name) const { return layout_.FindField(name); }
  size_t TagCount() const { return tags_.size(); }
  const Tag& TagAt(size_t i) const { return *tags_[i]; }
  int FindTag(std::string_view name) const;  // -1 when absent
  // -1 selects record order. The current row stays current.
  Code SelectTag(int tag);
  int SelectedTag() const { return selected_; }

  // Positioning. Each first writes a changed row.
  Code First();
  Code Last();
  Code Skip(int32_t n);
  Code Seek(std::string_view key);      // exact: the whole key, trailing blanks ignored
  Code SeekNext(std::string_view key);  // the next row in tag order if it has the key
  bool AtEnd() const { return !row_ && !appending_; }
  bool IsDeleted() const;
  std::optional<uint32_t> Row() const { return row_; }  // 0-based record number
  Code Count(uint32_t& count);

  // A new row: start, set fields, append. The row number is taken from the
  // file under the lock when it is appended.
  Code AppendStart();
  Code Append();
  // Append, with the numeric `field` of the new row first set, under the
  // lock, to one more than the greatest value it holds in any row, rows
  // marked deleted included: two programs appending at once never take the
  // same number. Numbers start at 1, whatever lies below.
  Code AppendNumbered(int field);
  Code MarkDeleted();
  Code Flush();
  // Removes rows marked deleted; leaves no current row. With none marked
  // the files stay as they are.
  Code Pack();
  // Rewrites the memo file with only the memos rows point at, in row order;
  // a memo file laid out so already stays as it is. A pointer it cannot
  // follow leaves both files as they are and answers why.
  Code CompactMemo();

  // Field values of the current row (or of the row being appended). With no
  // row, numbers read 0 and texts blank. Texts of character fields come back
  // padded to the field width.
  int32_t GetNumber(int field);
  std::string GetText(int field);
  std::string GetMemo(int field);
  Code SetNumber(int field, int32_t value);
  Code SetText(int field, std::string_view text);
  Code SetMemo(int field, std::string_view text);

  // The check that fired on the last failure, for people reading a dump.
  const std::string& LastError() const { return why_; }
  void ClearError() { why_.clear(); }
  // Whether a read since the table opened met a memo it could not follow,
  // so that a program can say once which table is damaged.
  bool MetDamage() const { return metDamage_; }

 private:
  Table(FileSystem& fs, std::string base) : fs_(fs), base_(std::move(base)) {}

  bool HasRow() const { return row_.has_value() || appending_; }
  uint64_t RowOffset(uint32_t row) const {
    return layout_.headerLength + uint64_t(row) * layout_.recordLength;
  }
  Code Fail(Code code, std::string why);

  Code OpenFiles(std::string& why);
  // What loading found it needs the exclusive lock for.
  enum class Want { Nothing, Recovery, Marks };
  Code Load(LockKind held, bool marksAllowed, Want& want, std::string& why);
  // The tags: the ones the field descriptors name, whose tag file is written
  // again when it is missing or says otherwise; else the tag file's, which
  // `unmarked` then holds when the descriptors can take them.
  Code LoadTags(std::vector<TagDef>& unmarked, std::string& why);
  // Writes the tags' names into the descriptors of a table made before
  // they were, so that a lost tag file can be written again from them.
  // The caller holds the exclusive lock.
  Code MarkTags(const std::vector<TagDef>& defs);
  // The tag file's tags; `present` false when there is no tag file.
  Code ReadTagFile(std::vector<TagDef>& defs, bool& present, std::string& why);
  void WriteTagFile(const std::vector<TagDef>& defs);
  Code ReadHeader(uint8_t* header, HeaderState& state);
  // Compares the header with what this program knows and catches up. A
  // rewrite left half done is put right first, which needs the exclusive
  // lock: a caller with the shared lock trades it with TradeForRecovery.
  Code Refresh();
  Code TradeForRecovery(FileLock& lock);
  // Puts back or settles the rewrite another program left half done.
  // `fpt` is the memo file, if any. The caller holds the exclusive lock.
  Code Recover(File* fpt, const HeaderState& now);
  // Runs `attempt` (a positioning or a read) as described at the top.
  // `attempt` must give the same answer when it is run again.
  Code Reading(const std::function<Code()>& attempt);
  Code BeforeMove();
  Code SkipFrom(int32_t n);
  // Visits rows [from, to) in record order, read a piece at a time; a
  // visit that answers other than Ok ends the walk with that answer.
  Code EachRow(uint32_t from, uint32_t to, const std::function<Code(uint32_t, const uint8_t*)>& visit);
  Code Reindex(uint32_t from, uint32_t to, bool all);
  Code LoadRow(uint32_t row);
  void Unpositioned();
  // Makes `row` current, or, when there is none, no row and answers `absent`.
  Code Move(std::optional<uint32_t> row, Code absent);
  Code MoveBeforeFirst(uint32_t first);  // a skip that went before the first row

  Code WritePending();
  Code ReadMemoAt(const uint8_t* record, const Field& field, std::string& text);
  Code WriteMemos(const std::vector<std::optional<std::string>>& texts, std::vector<uint8_t>& record);
  void UpdateKeys(uint32_t row, const uint8_t* before, const uint8_t* after, bool& changed);
  Code WriteHeader(const HeaderState& state);
  // An odd write count while one row is rewritten in place.
  Code BeginRewrite(HeaderState& state);
  Code EndRewrite(HeaderState& state);
  // Rewrites the files in place through `body` with `ranges` saved in the
  // journal first; `body` may change the state the commit writes. On any
  // failure the table is put back and this program's order still fits it.
  // The caller holds the exclusive lock and has caught up.
  Code Rewrite(const std::vector<Journal::Range>& ranges, const std::function<Code(HeaderState&)>& body);
  // Puts the table back after a rewrite failed with `failure`; answers it.
  Code Undo(Journal& journal, const HeaderState& before, uint32_t mark, Code failure);
  bool SyncFiles();
  Code FirstDeleted(std::optional<uint32_t>& first);
  Code MoveLiveRows(std::vector<std::vector<Tag::Entry>>& entries, HeaderState& state);
  std::vector<size_t> MemoFields() const;
  Code ReadMemoTexts(std::vector<uint8_t>& rows, std::vector<std::string>& texts);
  bool LaidOutAs(const std::vector<uint8_t>& rows, const MemoFile::Plan& plan);
  // Append's work once the caller holds the exclusive lock and has caught up.
  Code AppendRow();
  // The greatest value of a numeric field in any row; 0 when none is above.
  Code GreatestNumber(int field, double& greatest);

  std::string RawText(int field) const;
  Code StoreRaw(int field, std::string_view bytes);

  FileSystem& fs_;
  std::string base_;
  std::unique_ptr<File> dbf_;
  std::unique_ptr<MemoFile> memo_;
  Layout layout_;
  HeaderState known_;  // the header as this program last caught up with it
  std::vector<std::unique_ptr<Tag>> tags_;
  int selected_ = -1;

  std::optional<uint32_t> row_;
  bool appending_ = false;
  uint32_t rowEpoch_ = 0;              // the epoch the row was read in
  uint32_t rowWrites_ = 0;             // the write count the row was read at
  uint32_t seenWrites_ = 0;            // the write count of the read under way
  std::vector<uint8_t> record_;        // the current row as the caller sees it
  std::vector<bool> changed_;          // per field, plus the deletion flag at the end
  std::vector<std::optional<std::string>> memoNew_;   // memo texts set, not yet written
  std::vector<std::optional<std::string>> memoRead_;  // memo texts read from this row
  std::string why_;
  bool metDamage_ = false;
};

}  // namespace xbase
