// Opens a table made from the input and puts every operation to it.
// Input: the sizes of the .dbf, the .fpt and the journal (4 bytes each,
// little-endian), their bytes in that order, and the rest as the tag file.
// A journal is only read when the header is marked as rewriting.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Bytes.h"
#include "Table.h"

using namespace xbase;

namespace {

void Walk(Table& t) {
  int rows = 0;
  for (Code c = t.First(); c == Code::Ok && rows < 5000; c = t.Skip(1), ++rows) {
    for (size_t f = 0; f < t.Fields().size(); ++f) {
      (void)t.GetNumber(int(f));
      (void)t.GetText(int(f));
      (void)t.GetMemo(int(f));
    }
    (void)t.IsDeleted();
  }
}

void Exercise(Table& t) {
  Walk(t);
  for (int tag = 0; tag < int(t.TagCount()); ++tag) {
    (void)t.SelectTag(tag);
    Walk(t);
    if (t.First() == Code::Ok) {
      std::string key = t.GetText(t.TagAt(size_t(tag)).FieldIndex());
      (void)t.Seek(key);
      (void)t.SeekNext(key);
      (void)t.Skip(-3);
    }
    (void)t.Seek("1");
  }
  (void)t.SelectTag(-1);
  if (t.AppendStart() == Code::Ok) {
    for (size_t f = 0; f < t.Fields().size(); ++f) {
      (void)t.SetNumber(int(f), -12345);
      (void)t.SetText(int(f), "fuzz text");
      (void)t.SetMemo(int(f), "fuzz memo");
    }
    (void)t.Append();
  }
  if (t.First() == Code::Ok) {
    (void)t.MarkDeleted();
    (void)t.SetMemo(0, "changed");
    (void)t.Flush();
  }
  uint32_t count = 0;
  (void)t.Count(count);
  (void)t.Pack();
  (void)t.CompactMemo();
  Walk(t);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteReader r(data, size);
  uint32_t dbfSize = 0, fptSize = 0, journalSize = 0;
  const uint8_t *dbf = nullptr, *fpt = nullptr, *journal = nullptr;
  if (!r.ReadU32LE(dbfSize) || !r.ReadU32LE(fptSize) || !r.ReadU32LE(journalSize) || !r.ReadBytes(dbfSize, dbf) ||
      !r.ReadBytes(fptSize, fpt) || !r.ReadBytes(journalSize, journal))
    return 0;
  const uint8_t* tags = nullptr;
  size_t tagSize = r.Remaining();
  if (!r.ReadBytes(tagSize, tags)) return 0;

  MemoryFileSystem fs;
  fs.Put("T.dbf", std::vector<uint8_t>(dbf, dbf + dbfSize));
  if (fptSize) fs.Put("T.fpt", std::vector<uint8_t>(fpt, fpt + fptSize));
  if (journalSize) fs.Put("T.jnl", std::vector<uint8_t>(journal, journal + journalSize));
  if (tagSize) fs.Put("T.tags", std::vector<uint8_t>(tags, tags + tagSize));
  std::unique_ptr<Table> t;
  std::string why;
  if (Table::Open(fs, "T", t, why) != Code::Ok) return 0;
  Exercise(*t);
  (void)t->Close();
  // What the changes left must open again, or be refused cleanly.
  if (Table::Open(fs, "T", t, why) == Code::Ok) Walk(*t);
  return 0;
}
