// The table's rewrites in place: the pack, the memo compaction and the tag
// marks, each through the rollback journal, and the recovery of a rewrite
// another program left half done.
#include <algorithm>
#include <set>

#include "Bytes.h"
#include "Table.h"

namespace xbase {

Code Table::Recover(File* fpt, const HeaderState& now) {
  Journal journal(fs_, base_ + ".jnl", *dbf_, fpt);
  Journal::Found found = Journal::Found::None;
  std::string why;
  Code c = journal.Check(now.writes, found, why);
  if (c != Code::Ok) return Fail(c, "a rewrite was left half done, and " + why);
  if (found == Journal::Found::Whole) {
    c = journal.Restore(now.writes, now.writes + 1, why);
    if (c != Code::Ok) return Fail(c, "a rewrite was left half done and cannot be put back: " + why);
    (void)journal.Remove();  // no longer matches the header
    return Code::Ok;
  }
  // Nothing to put back: a single row's write was cut short, or the
  // journal is unusable and was never applied. The rows stand as they are,
  // and the new counters make every program read them again.
  if (found == Journal::Found::Stale) (void)journal.Remove();
  HeaderState settled = now;
  ++settled.writes;
  ++settled.generation;
  ++settled.epoch;
  return WriteHeader(settled);
}

Code Table::Rewrite(const std::vector<Journal::Range>& ranges, const std::function<Code(HeaderState&)>& body) {
  Journal journal(fs_, base_ + ".jnl", *dbf_, memo_ ? &memo_->Backing() : nullptr);
  const HeaderState before = known_;
  const uint32_t mark = NextMark(before.writes, Mark::Journalled);
  std::string why;
  Code c = journal.Save(mark, ranges, why);
  if (c != Code::Ok) return Fail(c, why);  // nothing was overwritten

  HeaderState s = before;
  s.writes = mark;
  c = WriteHeader(s);
  if (c == Code::Ok && !dbf_->Sync()) c = Fail(Code::IoError, "cannot force the table to disk");
  if (c == Code::Ok) c = body(s);
  if (c == Code::Ok && !SyncFiles()) c = Fail(Code::IoError, "cannot force the rewritten table to disk");
  if (c == Code::Ok) {
    // The commit: from this header on, the journal no longer matches it.
    s.writes = mark + 1;
    c = WriteHeader(s);
    if (c == Code::Ok && !dbf_->Sync()) c = Fail(Code::IoError, "cannot force the table's header to disk");
  }
  if (c != Code::Ok) return Undo(journal, before, mark, c);
  (void)journal.Remove();
  known_ = s;
  return Code::Ok;
}

Code Table::Undo(Journal& journal, const HeaderState& before, uint32_t mark, Code failure) {
  const std::string failed = why_;
  // This program's order was built for the table the journal puts back.
  known_ = before;
  uint8_t header[kHeaderFixed];
  HeaderState disk;
  if (ReadHeader(header, disk) != Code::Ok) return Fail(failure, failed + "; the table is put back when next opened");
  if (disk.writes != mark && disk.writes != mark + 1) {
    // The mark never reached the file, so nothing was overwritten.
    (void)journal.Remove();
    return Fail(failure, failed);
  }
  std::string why;
  const uint32_t restored = disk.writes + (disk.Rewriting() ? 1 : 2);
  if (journal.Restore(mark, restored, why) != Code::Ok)
    return Fail(failure, failed + "; the table is put back when next opened (" + why + ")");
  (void)journal.Remove();
  known_.writes = restored;
  return Fail(failure, failed + "; the table was put back as it was");
}

bool Table::SyncFiles() { return dbf_->Sync() && (!memo_ || memo_->Backing().Sync()); }

Code Table::FirstDeleted(std::optional<uint32_t>& first) {
  first.reset();
  Code c = EachRow(0, known_.count, [&](uint32_t row, const uint8_t* record) {
    if (record[0] != kDeletedMark) return Code::Ok;
    first = row;
    return Code::Eof;  // found: the walk stops here
  });
  return c == Code::Eof ? Code::Ok : c;
}

Code Table::Pack() {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  Code c = WritePending();
  Unpositioned();
  if (c != Code::Ok) return c;
  FileLock lock(*dbf_, LockKind::Exclusive);
  if (!lock.Held()) return Fail(Code::IoError, "cannot lock the table");
  c = Refresh();
  if (c != Code::Ok) return c;
  std::optional<uint32_t> first;
  c = FirstDeleted(first);
  if (c != Code::Ok || !first) return c;

  // The rows from the first deleted one on and the end mark after them are
  // overwritten or cut off; whatever lies past the end mark is no row.
  uint64_t size = 0;
  if (!dbf_->Size(size)) return Fail(Code::IoError, "cannot read the file size");
  const uint64_t from = RowOffset(*first), to = std::min(size, RowOffset(known_.count) + 1);
  std::vector<std::vector<Tag::Entry>> entries(tags_.size());
  c = Rewrite({{Journal::kTable, from, to - from}},
              [&](HeaderState& s) { return MoveLiveRows(entries, s); });
  if (c != Code::Ok) return c;
  for (size_t t = 0; t < tags_.size(); ++t) tags_[t]->Build(std::move(entries[t]));
  return Code::Ok;
}

// Rows only ever move towards the front, so each is read before anything
// is written over it.
Code Table::MoveLiveRows(std::vector<std::vector<Tag::Entry>>& entries, HeaderState& state) {
  const uint32_t length = layout_.recordLength;
  uint32_t kept = 0;
  Code c = EachRow(0, known_.count, [&](uint32_t row, const uint8_t* record) {
    if (record[0] == kDeletedMark) return Code::Ok;
    if (kept != row && !dbf_->WriteAt(RowOffset(kept), record, length))
      return Fail(Code::IoError, "cannot write a row while packing");
    for (size_t t = 0; t < tags_.size(); ++t) entries[t].push_back(Tag::Entry{tags_[t]->KeyOf(record), kept});
    ++kept;
    return Code::Ok;
  });
  if (c != Code::Ok) return c;
  uint8_t end = kFileEnd;
  if (!dbf_->WriteAt(RowOffset(kept), &end, 1) || !dbf_->Truncate(RowOffset(kept) + 1))
    return Fail(Code::IoError, "cannot shorten the file");
  state.count = kept;
  ++state.epoch;
  ++state.generation;
  return Code::Ok;
}

std::vector<size_t> Table::MemoFields() const {
  std::vector<size_t> fields;
  for (size_t i = 0; i < layout_.fields.size(); ++i)
    if (layout_.fields[i].IsMemo()) fields.push_back(i);
  return fields;
}

// Every memo a row points at, in row order. A pointer that leads nowhere
// may be one damaged digit away from a text only it reaches: the memo file
// is then left as it is, since a rewrite would drop that text.
Code Table::ReadMemoTexts(std::vector<uint8_t>& rows, std::vector<std::string>& texts) {
  const std::vector<size_t> memoFields = MemoFields();
  const uint32_t length = layout_.recordLength;
  rows.resize(size_t(known_.count) * length);
  if (!rows.empty() && !dbf_->ReadAt(RowOffset(0), rows.data(), rows.size()))
    return Fail(Code::Truncated, "the file ends before its last row");
  texts.clear();
  texts.reserve(size_t(known_.count) * memoFields.size());
  for (uint32_t r = 0; r < known_.count; ++r) {
    for (size_t f : memoFields) {
      std::string text;
      const Code read = ReadMemoAt(rows.data() + size_t(r) * length, layout_.fields[f], text);
      if (read != Code::Ok)
        return Fail(read, "row " + std::to_string(r + 1) + ": " + why_ + "; the memo file was left as it is");
      texts.push_back(std::move(text));
    }
  }
  return Code::Ok;
}

// Whether every row points at the block the plan gives its memo and the
// file holds nothing more: a compaction would change nothing.
bool Table::LaidOutAs(const std::vector<uint8_t>& rows, const MemoFile::Plan& plan) {
  uint64_t size = 0;
  if (!memo_->Backing().Size(size) || size != plan.end) return false;
  const std::vector<size_t> memoFields = MemoFields();
  size_t k = 0;
  for (uint32_t r = 0; r < known_.count; ++r) {
    for (size_t f : memoFields) {
      uint32_t block = 0;
      const uint8_t* record = rows.data() + size_t(r) * layout_.recordLength;
      if (!ReadMemoBlock(layout_.fields[f], record, block) || block != plan.blocks[k++]) return false;
    }
  }
  return true;
}

Code Table::CompactMemo() {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  Code c = WritePending();
  Unpositioned();
  if (c != Code::Ok) return c;
  if (!memo_) return Code::Ok;
  FileLock lock(*dbf_, LockKind::Exclusive);
  if (!lock.Held()) return Fail(Code::IoError, "cannot lock the table");
  c = Refresh();
  if (c != Code::Ok) return c;

  std::vector<uint8_t> rows;
  std::vector<std::string> texts;
  c = ReadMemoTexts(rows, texts);
  if (c != Code::Ok) return c;
  MemoFile::Plan plan;
  if (memo_->Lay(texts, plan) != Code::Ok) return Fail(Code::NoRoom, "the memos do not fit one memo file");
  if (LaidOutAs(rows, plan)) return Code::Ok;

  // The rows and the memo file up to its new end are saved: a cut anywhere
  // puts back rows that point at their old texts. Blocks past the new end
  // are cut off only once the rows point at the new ones.
  uint64_t memoSize = 0;
  if (!memo_->Backing().Size(memoSize)) return Fail(Code::IoError, "cannot read the memo file's size");
  std::vector<Journal::Range> ranges = {{Journal::kMemo, 0, std::min(memoSize, plan.end)}};
  if (!rows.empty()) ranges.push_back({Journal::kTable, RowOffset(0), rows.size()});
  const std::vector<size_t> memoFields = MemoFields();
  c = Rewrite(ranges, [&](HeaderState&) {
    if (memo_->Rewrite(plan) != Code::Ok) return Fail(Code::IoError, "cannot rewrite the memo file");
    size_t k = 0;
    for (uint32_t r = 0; r < known_.count; ++r) {
      uint8_t* record = rows.data() + size_t(r) * layout_.recordLength;
      for (size_t f : memoFields) StoreMemoBlock(layout_.fields[f], plan.blocks[k++], record);
    }
    if (!rows.empty() && !dbf_->WriteAt(RowOffset(0), rows.data(), rows.size()))
      return Fail(Code::IoError, "cannot write the rows' memo pointers");
    return Code::Ok;
  });
  // Blocks left past the end are unused, and the next compaction cuts them.
  if (c == Code::Ok) (void)memo_->Backing().Truncate(plan.end);
  return c;
}

Code Table::MarkTags(const std::vector<TagDef>& defs) {
  std::vector<uint8_t> header(layout_.headerLength);
  if (!dbf_->ReadAt(0, header.data(), header.size())) return Fail(Code::IoError, "cannot read the header");
  // A descriptor names one tag: two tags on one field stay in the tag file alone.
  std::set<int> fields;
  for (const TagDef& d : defs) {
    const int field = layout_.FindField(d.field);
    if (!fields.insert(field).second) return Code::Ok;
    StoreTagMark(header, size_t(field), d.name);
  }
  const size_t descriptors = header.size() - kHeaderFixed;
  Code c = Rewrite({{Journal::kTable, kHeaderFixed, descriptors}}, [&](HeaderState&) {
    if (!dbf_->WriteAt(kHeaderFixed, header.data() + kHeaderFixed, descriptors))
      return Fail(Code::IoError, "cannot write the field descriptors");
    return Code::Ok;
  });
  if (c != Code::Ok) return c;
  for (const TagDef& d : defs) layout_.fields[size_t(layout_.FindField(d.field))].tag = d.name;
  return Code::Ok;
}

}  // namespace xbase
