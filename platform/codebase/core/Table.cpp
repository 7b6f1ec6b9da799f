#include "Table.h"

#include <algorithm>
#include <functional>

#include "Bytes.h"

namespace xbase {
namespace {

constexpr size_t kMaxTagFileBytes = 64 * 1024;
constexpr size_t kChunkBytes = 1 << 20;

// The tags the table's own field descriptors name, in field order; none
// when two descriptors name the same tag or one names a tag on a memo,
// which no table we write does.
std::vector<TagDef> CarriedTags(const Layout& layout) {
  std::vector<TagDef> tags;
  for (const Field& f : layout.fields) {
    if (f.tag.empty()) continue;
    if (f.IsMemo()) return {};
    for (const TagDef& t : tags)
      if (SameName(t.name, f.tag)) return {};
    tags.push_back({f.tag, f.name});
  }
  return tags;
}

// Whether every tag orders by a field that can be ordered by.
bool TagsFitLayout(const std::vector<TagDef>& tags, const Layout& layout, std::string& why) {
  for (const TagDef& d : tags) {
    int field = layout.FindField(d.field);
    if (field < 0 || layout.fields[size_t(field)].IsMemo()) {
      why = "tag " + d.name + " orders by " + d.field + ", which is no field it can order by";
      return false;
    }
  }
  return true;
}

// The same tags on the same fields, in any order.
bool SameTags(const std::vector<TagDef>& a, const std::vector<TagDef>& b) {
  if (a.size() != b.size()) return false;
  for (const TagDef& x : a) {
    auto same = [&](const TagDef& y) { return SameName(x.name, y.name) && SameName(x.field, y.field); };
    if (std::none_of(b.begin(), b.end(), same)) return false;
  }
  return true;
}

}  // namespace

Table::~Table() {
  if (dbf_) (void)WritePending();
}

Code Table::Fail(Code code, std::string why) {
  why_ = std::move(why);
  return code;
}

Code Table::Open(FileSystem& fs, const std::string& base, std::unique_ptr<Table>& table,
                 std::string& why) {
  std::unique_ptr<Table> t(new Table(fs, base));
  Code c = t->OpenFiles(why);
  if (c != Code::Ok) return c;
  table = std::move(t);
  return Code::Ok;
}

Code Table::OpenFiles(std::string& why) {
  dbf_ = fs_.Open(base_ + ".dbf", OpenMode::Existing);
  if (!dbf_) {
    why = "cannot open " + base_ + ".dbf";
    return Code::IoError;
  }
  FileLock lock(*dbf_, LockKind::Shared);
  bool marksAllowed = true;
  for (;;) {
    if (!lock.Held()) {
      why = "cannot lock " + base_ + ".dbf";
      return Code::IoError;
    }
    Want want = Want::Nothing;
    Code c = Load(lock.Kind(), marksAllowed, want, why);
    if (want == Want::Nothing) return c;
    if (lock.Relock(LockKind::Exclusive)) continue;
    if (want == Want::Recovery) {
      why = "cannot lock " + base_ + ".dbf to put back a rewrite left half done";
      return Code::IoError;
    }
    // A table that may only be read works from its tag file as it is.
    marksAllowed = false;
    (void)lock.Relock(LockKind::Shared);
  }
}

Code Table::Load(LockKind held, bool marksAllowed, Want& want, std::string& why) {
  tags_.clear();
  memo_.reset();
  uint8_t fixed[kHeaderFixed];
  if (!dbf_->ReadAt(0, fixed, sizeof fixed)) {
    why = "the file is shorter than a table header";
    return Code::Truncated;
  }
  HeaderState state = ReadHeaderState(fixed);
  std::unique_ptr<File> fpt = fs_.Open(base_ + ".fpt", OpenMode::Existing);
  if (state.Rewriting()) {
    if (held != LockKind::Exclusive) {
      want = Want::Recovery;
      return Code::Ok;
    }
    Code c = Recover(fpt.get(), state);
    if (c != Code::Ok || !dbf_->ReadAt(0, fixed, sizeof fixed)) {
      why = c != Code::Ok ? why_ : "cannot read the header";
      return c != Code::Ok ? c : Code::IoError;
    }
    state = ReadHeaderState(fixed);
  }
  std::vector<uint8_t> header(std::max<size_t>(LoadU16LE(fixed + 8), kHeaderFixed));
  if (!dbf_->ReadAt(0, header.data(), header.size())) {
    why = "the file ends inside its header";
    return Code::Truncated;
  }
  Code c = ParseLayout(header.data(), header.size(), layout_, why);
  if (c != Code::Ok) return c;
  uint64_t size = 0;
  if (!dbf_->Size(size)) return Code::IoError;
  if (state.count > layout_.RowsFitting(size)) {
    why = "the row count runs past the end of the file";
    return Code::Truncated;
  }

  if (layout_.HasMemo()) {
    if (!fpt) {
      why = "the memo file " + base_ + ".fpt is missing";
      return Code::IoError;
    }
    c = MemoFile::Open(std::move(fpt), memo_, why);
    if (c != Code::Ok) return c;
  }

  std::vector<TagDef> unmarked;
  c = LoadTags(unmarked, why);
  if (c != Code::Ok) return c;
  known_ = state;
  if (!unmarked.empty() && marksAllowed && TagMarksFree(header, layout_)) {
    if (held != LockKind::Exclusive) {
      want = Want::Marks;
      return Code::Ok;
    }
    // A failure leaves the table as it was, working from its tag file.
    (void)MarkTags(unmarked);
    why_.clear();
  }

  record_.assign(layout_.recordLength, ' ');
  changed_.assign(layout_.fields.size() + 1, false);
  memoNew_.assign(layout_.fields.size(), std::nullopt);
  memoRead_.assign(layout_.fields.size(), std::nullopt);

  c = Reindex(0, known_.count, true);
  if (c != Code::Ok) {
    why = why_;
    return c;
  }
  if (known_.count > 0) {
    c = LoadRow(0);
    if (c != Code::Ok) {
      why = why_;
      return c;
    }
  }
  return Code::Ok;
}

Code Table::ReadTagFile(std::vector<TagDef>& defs, bool& present, std::string& why) {
  present = false;
  std::unique_ptr<File> file = fs_.Open(base_ + ".tags", OpenMode::Existing);
  if (!file) return Code::Ok;
  present = true;
  uint64_t size = 0;
  if (!file->Size(size)) {
    why = "cannot read the tag file";
    return Code::IoError;
  }
  if (size > kMaxTagFileBytes) {
    why = "the tag file is too large";
    return Code::Damaged;
  }
  std::string text(size_t(size), '\0');
  if (size != 0 && !file->ReadAt(0, &text[0], text.size())) {
    why = "cannot read the tag file";
    return Code::IoError;
  }
  Code c = ParseTagFile(text, defs, why);
  if (c != Code::Ok) return c;
  return TagsFitLayout(defs, layout_, why) ? Code::Ok : Code::Damaged;
}

// The tag file only repeats what the descriptors say; a failed write leaves
// the table working from its descriptors all the same.
void Table::WriteTagFile(const std::vector<TagDef>& defs) {
  const std::string path = base_ + ".tags";
  const std::string text = FormatTagFile(defs);
  std::unique_ptr<File> file = fs_.Open(path, OpenMode::Existing);
  if (!file) file = fs_.Open(path, OpenMode::CreateNew);
  if (!file || !file->WriteAt(0, text.data(), text.size())) return;
  (void)file->Truncate(text.size());
}

Code Table::LoadTags(std::vector<TagDef>& unmarked, std::string& why) {
  unmarked.clear();
  const std::vector<TagDef> carried = CarriedTags(layout_);
  std::vector<TagDef> defs;
  bool present = false;
  std::string fileWhy;
  Code c = ReadTagFile(defs, present, fileWhy);
  if (!carried.empty()) {
    // The table names its tags itself: a tag file that is lost, damaged or
    // says otherwise is written again from them.
    if (!present || c != Code::Ok || !SameTags(defs, carried)) {
      WriteTagFile(carried);
      defs = carried;
    }
  } else if (c != Code::Ok) {
    why = fileWhy;
    return c;
  } else {
    unmarked = defs;
  }
  for (const TagDef& d : defs) {
    int field = layout_.FindField(d.field);
    tags_.push_back(std::make_unique<Tag>(d.name, field, layout_.fields[size_t(field)]));
  }
  return Code::Ok;
}

Code Table::Create(FileSystem& fs, const std::string& base, const std::vector<FieldSpec>& fields,
                   const std::vector<TagDef>& tags, std::unique_ptr<Table>& table, std::string& why) {
  std::vector<uint8_t> header;
  Code c = BuildHeader(fields, header, why);
  if (c != Code::Ok) return c;
  Layout layout;
  c = ParseLayout(header.data(), header.size(), layout, why);
  if (c != Code::Ok) return c;
  // The tag file must read back as what was asked for.
  std::string tagText = FormatTagFile(tags);
  std::vector<TagDef> parsed;
  if (ParseTagFile(tagText, parsed, why) != Code::Ok || parsed.size() != tags.size()) {
    why = "bad tag names: " + why;
    return Code::BadArgument;
  }
  if (!TagsFitLayout(parsed, layout, why)) return Code::BadArgument;
  // Each field's descriptor names the one tag that orders by it.
  for (const TagDef& t : parsed) {
    const size_t field = size_t(layout.FindField(t.field));
    if (!layout.fields[field].tag.empty()) {
      why = "two tags order by " + t.field;
      return Code::BadArgument;
    }
    layout.fields[field].tag = t.name;
    StoreTagMark(header, field, t.name);
  }

  for (const char* ext : {".dbf", ".fpt", ".tags"}) {
    if (fs.Exists(base + ext)) {
      why = base + ext + " exists already";
      return Code::Exists;
    }
  }
  header.push_back(kFileEnd);
  std::unique_ptr<File> dbf = fs.Open(base + ".dbf", OpenMode::CreateNew);
  if (!dbf || !dbf->WriteAt(0, header.data(), header.size())) {
    why = "cannot write " + base + ".dbf";
    return Code::IoError;
  }
  if (layout.HasMemo()) {
    std::vector<uint8_t> bytes = MemoFile::NewFileBytes();
    std::unique_ptr<File> fpt = fs.Open(base + ".fpt", OpenMode::CreateNew);
    if (!fpt || !fpt->WriteAt(0, bytes.data(), bytes.size())) {
      why = "cannot write " + base + ".fpt";
      return Code::IoError;
    }
  }
  if (!tags.empty()) {
    std::unique_ptr<File> file = fs.Open(base + ".tags", OpenMode::CreateNew);
    if (!file || !file->WriteAt(0, tagText.data(), tagText.size())) {
      why = "cannot write " + base + ".tags";
      return Code::IoError;
    }
  }
  dbf.reset();
  return Open(fs, base, table, why);
}

Code Table::Close() {
  if (!dbf_) return Code::Ok;
  Code c = WritePending();
  tags_.clear();
  memo_.reset();
  dbf_.reset();
  row_.reset();
  appending_ = false;
  return c;
}

int Table::FindTag(std::string_view name) const {
  for (size_t i = 0; i < tags_.size(); ++i)
    if (SameName(tags_[i]->Name(), name)) return int(i);
  return -1;
}

Code Table::SelectTag(int tag) {
  if (tag < -1 || tag >= int(tags_.size())) return Fail(Code::BadArgument, "no such tag");
  selected_ = tag;
  return Code::Ok;
}

Code Table::ReadHeader(uint8_t* header, HeaderState& state) {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  if (!dbf_->ReadAt(0, header, kHeaderFixed)) return Fail(Code::IoError, "cannot read the header");
  state = ReadHeaderState(header);
  return Code::Ok;
}

Code Table::Refresh() {
  uint8_t header[kHeaderFixed];
  HeaderState now;
  Code c = ReadHeader(header, now);
  if (c != Code::Ok) return c;
  if (now.Rewriting()) {
    c = Recover(memo_ ? &memo_->Backing() : nullptr, now);
    if (c == Code::Ok) c = ReadHeader(header, now);
    if (c != Code::Ok) return c;
  }
  if (now.SameOrder(known_)) {
    known_.writes = now.writes;
    return Code::Ok;
  }
  if (LoadU16LE(header + 8) != layout_.headerLength || LoadU16LE(header + 10) != layout_.recordLength)
    return Fail(Code::Damaged, "the table's layout changed while it was open");
  uint64_t size = 0;
  if (!dbf_->Size(size)) return Fail(Code::IoError, "cannot read the file size");
  if (now.count > layout_.RowsFitting(size))
    return Fail(Code::Truncated, "the row count runs past the end of the file");
  bool all = now.generation != known_.generation || now.epoch != known_.epoch || now.count < known_.count;
  c = Reindex(all ? 0 : known_.count, now.count, all);
  if (c != Code::Ok) return c;
  known_ = now;
  return Code::Ok;
}

Code Table::TradeForRecovery(FileLock& lock) {
  uint8_t header[kHeaderFixed];
  HeaderState now;
  Code c = ReadHeader(header, now);
  if (c != Code::Ok || !now.Rewriting()) return c;
  if (!lock.Relock(LockKind::Exclusive)) return Fail(Code::IoError, "cannot lock the table");
  return Code::Ok;
}

Code Table::EachRow(uint32_t from, uint32_t to, const std::function<Code(uint32_t, const uint8_t*)>& visit) {
  const uint32_t length = layout_.recordLength;
  const uint32_t chunk = std::max<uint32_t>(1, uint32_t(kChunkBytes / length));
  std::vector<uint8_t> buffer;
  for (uint32_t row = from; row < to;) {
    uint32_t n = std::min(chunk, to - row);
    buffer.resize(size_t(n) * length);
    if (!dbf_->ReadAt(RowOffset(row), buffer.data(), buffer.size()))
      return Fail(Code::Truncated, "the file ends before its last row");
    for (uint32_t i = 0; i < n; ++i) {
      Code c = visit(row + i, buffer.data() + size_t(i) * length);
      if (c != Code::Ok) return c;
    }
    row += n;
  }
  return Code::Ok;
}

Code Table::Reindex(uint32_t from, uint32_t to, bool all) {
  if (tags_.empty()) return Code::Ok;
  std::vector<std::vector<Tag::Entry>> entries(all ? tags_.size() : 0);
  for (auto& e : entries) e.reserve(to);
  Code c = EachRow(from, to, [&](uint32_t row, const uint8_t* record) {
    for (size_t t = 0; t < tags_.size(); ++t) {
      if (all) {
        entries[t].push_back(Tag::Entry{tags_[t]->KeyOf(record), row});
      } else {
        tags_[t]->Add(row, tags_[t]->KeyOf(record));
      }
    }
    return Code::Ok;
  });
  if (c != Code::Ok) return c;
  if (all)
    for (size_t t = 0; t < tags_.size(); ++t) tags_[t]->Build(std::move(entries[t]));
  return Code::Ok;
}

void Table::Unpositioned() {
  row_.reset();
  appending_ = false;
  std::fill(record_.begin(), record_.end(), uint8_t(' '));
  std::fill(changed_.begin(), changed_.end(), false);
  std::fill(memoNew_.begin(), memoNew_.end(), std::nullopt);
  std::fill(memoRead_.begin(), memoRead_.end(), std::nullopt);
}

Code Table::LoadRow(uint32_t row) {
  Unpositioned();
  if (!dbf_->ReadAt(RowOffset(row), record_.data(), record_.size())) {
    std::fill(record_.begin(), record_.end(), uint8_t(' '));
    return Fail(Code::Truncated, "the file ends inside a row");
  }
  row_ = row;
  rowEpoch_ = known_.epoch;
  rowWrites_ = seenWrites_;
  return Code::Ok;
}

Code Table::Move(std::optional<uint32_t> row, Code absent) {
  if (!row) {
    Unpositioned();
    return absent;
  }
  return LoadRow(*row);
}

Code Table::MoveBeforeFirst(uint32_t first) {
  Code c = LoadRow(first);
  return c == Code::Ok ? Code::Bof : c;
}

Code Table::Reading(const std::function<Code()>& attempt) {
  const std::optional<uint32_t> row = row_;
  const uint32_t epoch = rowEpoch_;
  uint8_t before[kHeaderFixed], after[kHeaderFixed];
  if (dbf_->ReadAt(0, before, kHeaderFixed)) {
    HeaderState seen = ReadHeaderState(before);
    if (!seen.Rewriting() && seen.SameOrder(known_)) {
      seenWrites_ = seen.writes;
      Code c = attempt();
      if (dbf_->ReadAt(0, after, kHeaderFixed) && SameHeaderState(before, after)) return c;
      row_ = row;  // the next attempt starts where this one did
      rowEpoch_ = epoch;
    }
  }
  FileLock lock(*dbf_, LockKind::Shared);
  if (!lock.Held()) return Fail(Code::IoError, "cannot lock the table");
  Code c = TradeForRecovery(lock);
  if (c == Code::Ok) c = Refresh();
  if (c != Code::Ok) return c;
  seenWrites_ = known_.writes;
  return attempt();
}

Code Table::BeforeMove() {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  return WritePending();
}

Code Table::First() {
  Code c = BeforeMove();
  if (c != Code::Ok) return c;
  return Reading([this] {
    if (selected_ < 0) return Move(known_.count ? std::optional<uint32_t>(0) : std::nullopt, Code::Eof);
    const Tag& t = *tags_[size_t(selected_)];
    return Move(t.Size() ? std::optional<uint32_t>(t.Begin()->row) : std::nullopt, Code::Eof);
  });
}

Code Table::Last() {
  Code c = BeforeMove();
  if (c != Code::Ok) return c;
  return Reading([this] {
    if (selected_ < 0)
      return Move(known_.count ? std::optional<uint32_t>(known_.count - 1) : std::nullopt, Code::Eof);
    const Tag& t = *tags_[size_t(selected_)];
    return Move(t.Size() ? std::optional<uint32_t>(std::prev(t.End())->row) : std::nullopt, Code::Eof);
  });
}

Code Table::Skip(int32_t n) {
  Code c = BeforeMove();
  if (c != Code::Ok) return c;
  return Reading([this, n] { return SkipFrom(n); });
}

Code Table::SkipFrom(int32_t n) {
  // A row read before another program's pack is no longer where it was.
  bool onRow = row_ && rowEpoch_ == known_.epoch && *row_ < known_.count;
  if (known_.count == 0 || (!onRow && n >= 0)) return Move(std::nullopt, Code::Eof);
  if (selected_ < 0) {
    int64_t target = (onRow ? int64_t(*row_) : int64_t(known_.count)) + n;
    if (target >= int64_t(known_.count)) return Move(std::nullopt, Code::Eof);
    if (target < 0) return MoveBeforeFirst(0);
    return LoadRow(uint32_t(target));
  }
  const Tag& t = *tags_[size_t(selected_)];
  Tag::Iterator it = onRow ? t.At(*row_) : t.End();
  if (onRow && it == t.End()) return Move(std::nullopt, Code::Eof);
  if (n >= 0) {
    for (int64_t i = 0; i < n && it != t.End(); ++i) ++it;
    if (it == t.End()) return Move(std::nullopt, Code::Eof);
    return LoadRow(it->row);
  }
  for (int64_t i = 0; i < -int64_t(n); ++i) {
    if (it == t.Begin()) return MoveBeforeFirst(t.Begin()->row);
    --it;
  }
  return LoadRow(it->row);
}

Code Table::Seek(std::string_view key) {
  Code c = BeforeMove();
  if (c != Code::Ok) return c;
  if (selected_ < 0) return Fail(Code::BadArgument, "a seek needs a selected tag");
  return Reading([this, key] {
    const Tag& t = *tags_[size_t(selected_)];
    Tag::Key k;
    if (!t.KeyFromText(key, k)) return Move(std::nullopt, Code::NotFound);
    Tag::Iterator it = t.Find(k);
    if (it == t.End()) return Move(std::nullopt, Code::NotFound);
    return LoadRow(it->row);
  });
}

Code Table::SeekNext(std::string_view key) {
  Code c = BeforeMove();
  if (c != Code::Ok) return c;
  if (selected_ < 0) return Fail(Code::BadArgument, "a seek needs a selected tag");
  return Reading([this, key] {
    const Tag& t = *tags_[size_t(selected_)];
    Tag::Key k;
    if (!t.KeyFromText(key, k)) return Move(std::nullopt, Code::NotFound);
    Tag::Iterator it = t.End();
    if (row_ && rowEpoch_ == known_.epoch) it = t.At(*row_);
    if (it != t.End() && t.Equal(it->key, k)) {
      ++it;  // the current row has the key: the next one must have it too
      if (it == t.End() || !t.Equal(it->key, k)) it = t.End();
    } else {
      it = t.Find(k);  // not on the key yet: its first row
    }
    if (it == t.End()) return Move(std::nullopt, Code::NotFound);
    return LoadRow(it->row);
  });
}

bool Table::IsDeleted() const { return HasRow() && record_[0] == kDeletedMark; }

Code Table::Count(uint32_t& count) {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  return Reading([this, &count] {
    count = known_.count;
    return Code::Ok;
  });
}

Code Table::AppendStart() {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  Code c = WritePending();
  Unpositioned();
  if (c != Code::Ok) return c;
  for (const Field& f : layout_.fields) {
    // Binary fields start as zero bytes, text ones as blanks.
    if (f.type == 'I' || (f.IsMemo() && f.width == 4))
      std::fill_n(record_.begin() + f.offset, f.width, uint8_t(0));
  }
  appending_ = true;
  return Code::Ok;
}

Code Table::ReadMemoAt(const uint8_t* record, const Field& f, std::string& text) {
  text.clear();
  uint32_t block = 0;
  if (!ReadMemoBlock(f, record, block)) return Fail(Code::Damaged, "a memo pointer is not a number");
  if (block == 0) return Code::Ok;
  if (!memo_) return Fail(Code::Damaged, "the table has no memo file");
  std::string why;
  Code c = memo_->Read(block, text, why);
  if (c != Code::Ok) return Fail(c, why.empty() ? "cannot read a memo" : why);
  return Code::Ok;
}

Code Table::WriteMemos(const std::vector<std::optional<std::string>>& texts, std::vector<uint8_t>& record) {
  for (size_t i = 0; i < layout_.fields.size(); ++i) {
    if (!texts[i]) continue;
    if (!memo_) return Fail(Code::Damaged, "the table has no memo file");
    uint32_t block = 0;
    Code c = memo_->Append(*texts[i], block);
    if (c != Code::Ok) return Fail(c, "cannot write a memo");
    StoreMemoBlock(layout_.fields[i], block, record.data());
  }
  return Code::Ok;
}

Code Table::WriteHeader(const HeaderState& state) {
  uint8_t header[kHeaderFixed];
  if (!dbf_->ReadAt(0, header, sizeof header)) return Fail(Code::IoError, "cannot read the header");
  WriteHeaderState(header, state);
  if (!dbf_->WriteAt(0, header, sizeof header)) return Fail(Code::IoError, "cannot write the header");
  return Code::Ok;
}

Code Table::BeginRewrite(HeaderState& state) {
  state.writes = NextMark(state.writes, Mark::Row);
  Code c = WriteHeader(state);
  if (c == Code::Ok) known_ = state;
  return c;
}

Code Table::EndRewrite(HeaderState& state) {
  ++state.writes;
  Code c = WriteHeader(state);
  if (c == Code::Ok) known_ = state;
  return c;
}

Code Table::Append() {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  if (!appending_) return Fail(Code::NoAppend, "append without start-append");
  FileLock lock(*dbf_, LockKind::Exclusive);
  if (!lock.Held()) return Fail(Code::IoError, "cannot lock the table");
  Code c = Refresh();
  if (c != Code::Ok) return c;
  return AppendRow();
}

Code Table::AppendNumbered(int field) {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  if (!appending_) return Fail(Code::NoAppend, "append without start-append");
  if (field < 0 || size_t(field) >= layout_.fields.size() || !layout_.fields[size_t(field)].IsNumeric())
    return Fail(Code::BadArgument, "no numeric field to number the row by");
  FileLock lock(*dbf_, LockKind::Exclusive);
  if (!lock.Held()) return Fail(Code::IoError, "cannot lock the table");
  Code c = Refresh();
  if (c != Code::Ok) return c;
  double greatest = 0;
  c = GreatestNumber(field, greatest);
  if (c != Code::Ok) return c;
  if (greatest >= double(INT32_MAX))
    return Fail(Code::NoRoom, "field " + layout_.fields[size_t(field)].name + " has no number left");
  c = SetNumber(field, ToInt32(greatest) + 1);
  if (c != Code::Ok) return c;
  return AppendRow();
}

Code Table::GreatestNumber(int field, double& greatest) {
  greatest = 0;
  for (const auto& t : tags_) {
    if (t->FieldIndex() != field) continue;
    if (t->Size() > 0) greatest = std::max(greatest, std::prev(t->End())->key.number);
    return Code::Ok;
  }
  // No tag orders by the field: every row is read. A tag made for the
  // moment reads the value as the tags do.
  const Tag probe(std::string(), field, layout_.fields[size_t(field)]);
  return EachRow(0, known_.count, [&](uint32_t, const uint8_t* record) {
    greatest = std::max(greatest, probe.KeyOf(record).number);
    return Code::Ok;
  });
}

Code Table::AppendRow() {
  const uint32_t row = known_.count;  // taken under the lock: no other append can have it
  if (row == UINT32_MAX) return Fail(Code::NoRoom, "the table is full");
  std::vector<uint8_t> record = record_;
  Code c = WriteMemos(memoNew_, record);
  if (c != Code::Ok) return c;
  record.push_back(kFileEnd);
  if (!dbf_->WriteAt(RowOffset(row), record.data(), record.size()))
    return Fail(Code::IoError, "cannot write the new row");
  record.pop_back();
  HeaderState s = known_;
  s.count = row + 1;
  c = WriteHeader(s);
  if (c != Code::Ok) return c;
  known_ = s;
  for (auto& t : tags_) t->Add(row, t->KeyOf(record.data()));

  std::vector<std::optional<std::string>> texts = std::move(memoNew_);
  Unpositioned();
  record_ = std::move(record);
  memoNew_.assign(layout_.fields.size(), std::nullopt);
  memoRead_ = std::move(texts);
  row_ = row;
  rowEpoch_ = known_.epoch;
  rowWrites_ = known_.writes;
  return Code::Ok;
}

void Table::UpdateKeys(uint32_t row, const uint8_t* before, const uint8_t* after, bool& changed) {
  for (auto& t : tags_) {
    Tag::Key a = t->KeyOf(before), b = t->KeyOf(after);
    if (t->Equal(a, b) && a.text == b.text) continue;
    t->Add(row, std::move(b));
    changed = true;
  }
}

Code Table::WritePending() {
  if (appending_ || !row_) return Code::Ok;  // an append never finished is dropped by the move
  if (std::find(changed_.begin(), changed_.end(), true) == changed_.end()) return Code::Ok;

  // Whatever happens below, the change is settled once: a failure is
  // answered now and does not block every later move.
  std::vector<bool> changed = changed_;
  std::vector<std::optional<std::string>> memoNew = memoNew_;
  std::fill(changed_.begin(), changed_.end(), false);
  std::fill(memoNew_.begin(), memoNew_.end(), std::nullopt);

  FileLock lock(*dbf_, LockKind::Exclusive);
  if (!lock.Held()) return Fail(Code::IoError, "cannot lock the table");
  Code c = Refresh();
  if (c != Code::Ok) return c;
  const uint32_t row = *row_;
  if (rowEpoch_ != known_.epoch || row >= known_.count)
    return Fail(Code::Packed, "another program packed the table; the change was not written");

  // Only the fields this program changed go into the row as it is on disk
  // now, so another program's change to other fields survives.
  std::vector<uint8_t> disk(layout_.recordLength);
  if (!dbf_->ReadAt(RowOffset(row), disk.data(), disk.size()))
    return Fail(Code::Truncated, "the file ends inside a row");
  std::vector<uint8_t> merged = disk;
  for (size_t i = 0; i < layout_.fields.size(); ++i) {
    const Field& f = layout_.fields[i];
    if (!changed[i] || f.IsMemo()) continue;
    std::copy_n(record_.begin() + f.offset, f.width, merged.begin() + f.offset);
  }
  if (changed.back()) merged[0] = record_[0];

  // A memo rewritten with the text it has keeps its block, so that rows
  // rewritten whole do not make the memo file grow. A pointer that cannot
  // be read read as empty: that empty text written back keeps the pointer,
  // or the text it may still lead to would be lost at the next compaction;
  // the caller hears that the text was not cleared.
  std::vector<std::optional<std::string>> memoWrite = memoNew;
  std::string uncleared;
  for (size_t i = 0; i < layout_.fields.size(); ++i) {
    if (!memoWrite[i]) continue;
    std::string current;
    const Code read = ReadMemoAt(merged.data(), layout_.fields[i], current);
    if (read != Code::Ok && memoWrite[i]->empty() && uncleared.empty()) uncleared = layout_.fields[i].name;
    if (read == Code::Ok ? current == *memoWrite[i] : memoWrite[i]->empty()) memoWrite[i].reset();
  }
  c = WriteMemos(memoWrite, merged);
  if (c != Code::Ok) return c;

  // Readers that pass by without a lock see the odd count and take it.
  HeaderState s = known_;
  c = BeginRewrite(s);
  if (c != Code::Ok) return c;
  bool written = dbf_->WriteAt(RowOffset(row), merged.data(), merged.size());
  bool keysChanged = false;
  if (written) UpdateKeys(row, disk.data(), merged.data(), keysChanged);
  if (keysChanged) ++s.generation;  // others must rebuild their order
  c = EndRewrite(s);
  if (!written) return Fail(Code::IoError, "cannot write the row");
  if (c != Code::Ok) return c;
  rowWrites_ = known_.writes;
  for (size_t i = 0; i < layout_.fields.size(); ++i)
    if (memoNew[i]) memoRead_[i] = std::move(memoNew[i]);
  record_ = std::move(merged);
  if (!uncleared.empty()) {
    metDamage_ = true;
    return Fail(Code::Damaged, "the text of " + uncleared + " was not cleared: its memo pointer leads nowhere");
  }
  return Code::Ok;
}

Code Table::Flush() {
  if (!dbf_) return Fail(Code::BadArgument, "the table is closed");
  return WritePending();
}

Code Table::MarkDeleted() {
  if (!HasRow()) return Fail(Code::NoRow, "no current row to mark");
  record_[0] = kDeletedMark;
  changed_.back() = true;
  return Code::Ok;
}

std::string Table::RawText(int field) const {
  const Field& f = layout_.fields[size_t(field)];
  return std::string(reinterpret_cast<const char*>(record_.data() + f.offset), f.width);
}

int32_t Table::GetNumber(int field) {
  if (field < 0 || size_t(field) >= layout_.fields.size() || !HasRow()) return 0;
  const Field& f = layout_.fields[size_t(field)];
  if (f.type == 'I') return int32_t(LoadU32LE(record_.data() + f.offset));
  if (f.type == 'L') {
    char c = char(record_[f.offset]);
    return c == 'T' || c == 't' || c == 'Y' || c == 'y' ? 1 : 0;
  }
  if (f.IsMemo()) return ToInt32(ReadNumberLenient(GetMemo(field)));
  return ToInt32(ReadNumberLenient(RawText(field)));
}

std::string Table::GetText(int field) {
  if (field < 0 || size_t(field) >= layout_.fields.size()) return std::string();
  const Field& f = layout_.fields[size_t(field)];
  if (f.IsMemo()) return GetMemo(field);
  if (!HasRow()) return std::string(f.width, ' ');
  if (f.type == 'I') return std::to_string(GetNumber(field));
  return RawText(field);
}

std::string Table::GetMemo(int field) {
  if (field < 0 || size_t(field) >= layout_.fields.size()) return std::string();
  const Field& f = layout_.fields[size_t(field)];
  if (!f.IsMemo()) return GetText(field);
  if (!HasRow()) return std::string();
  size_t i = size_t(field);
  if (memoNew_[i]) return *memoNew_[i];
  if (memoRead_[i]) return *memoRead_[i];

  // A memo that cannot be read reads as empty; LastError tells why.
  std::string text;
  Code c = Code::Ok;
  if (appending_) {
    c = ReadMemoAt(record_.data(), f, text);
  } else {
    c = Reading([&] {
      // Rows rewritten in place since this one was read may have moved
      // its memo: the pointer is then taken from the row as it is now.
      if (rowEpoch_ != known_.epoch) return Fail(Code::Packed, "the row was packed away");
      if (seenWrites_ == rowWrites_) return ReadMemoAt(record_.data(), f, text);
      std::vector<uint8_t> now(layout_.recordLength);
      if (!dbf_->ReadAt(RowOffset(*row_), now.data(), now.size()))
        return Fail(Code::Truncated, "the file ends inside a row");
      return ReadMemoAt(now.data(), f, text);
    });
  }
  if (c == Code::Damaged || c == Code::Truncated) metDamage_ = true;
  memoRead_[i] = text;
  return text;
}

Code Table::StoreRaw(int field, std::string_view bytes) {
  const Field& f = layout_.fields[size_t(field)];
  std::fill_n(record_.begin() + f.offset, f.width, uint8_t(' '));
  std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), f.width), record_.begin() + f.offset);
  changed_[size_t(field)] = true;
  return Code::Ok;
}

Code Table::SetNumber(int field, int32_t value) {
  if (field < 0 || size_t(field) >= layout_.fields.size()) return Fail(Code::BadArgument, "no such field");
  if (!HasRow()) return Fail(Code::NoRow, "no current row to change");
  const Field& f = layout_.fields[size_t(field)];
  switch (f.type) {
    case 'I': {
      uint8_t bytes[4];
      StoreU32LE(bytes, uint32_t(value));
      std::copy_n(bytes, 4, record_.begin() + f.offset);
      changed_[size_t(field)] = true;
      return Code::Ok;
    }
    case 'N':
    case 'F': {
      std::string text;
      if (FormatNumber(f, value, text) != Code::Ok)
        return Fail(Code::NoRoom, "field " + f.name + " is too narrow for " + std::to_string(value));
      return StoreRaw(field, text);
    }
    case 'L': return StoreRaw(field, value ? "T" : "F");
    case 'D': return Fail(Code::BadArgument, "a date field takes no number");
    default: return SetText(field, std::to_string(value));
  }
}

Code Table::SetText(int field, std::string_view text) {
  if (field < 0 || size_t(field) >= layout_.fields.size()) return Fail(Code::BadArgument, "no such field");
  if (!HasRow()) return Fail(Code::NoRow, "no current row to change");
  const Field& f = layout_.fields[size_t(field)];
  if (f.IsMemo()) return SetMemo(field, text);
  if (f.IsNumeric()) {
    double v = 0;
    if (!ReadNumberStrict(text, v) || v != double(ToInt32(v)))
      return Fail(Code::BadArgument, "\"" + std::string(text) + "\" is no whole number");
    return SetNumber(field, ToInt32(v));
  }
  if (text.size() > f.width && f.type != 'C')
    return Fail(Code::NoRoom, "the text is wider than field " + f.name);
  return StoreRaw(field, text);  // character fields keep what fits
}

Code Table::SetMemo(int field, std::string_view text) {
  if (field < 0 || size_t(field) >= layout_.fields.size()) return Fail(Code::BadArgument, "no such field");
  if (!HasRow()) return Fail(Code::NoRow, "no current row to change");
  const Field& f = layout_.fields[size_t(field)];
  if (!f.IsMemo()) return SetText(field, text);
  memoNew_[size_t(field)] = std::string(text);
  changed_[size_t(field)] = true;
  return Code::Ok;
}

}  // namespace xbase
