// Writes the fuzz target's seeds into the folder named on the command line:
// tables as the engine writes them, one laid out as other FoxPro writers do
// (a 263-byte gap after the fields, 128-byte memo blocks), and one a pack
// left half done, with its journal.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Bytes.h"
#include "FaultyFileSystem.h"
#include "Table.h"

using namespace xbase;

namespace {

// The target's input: the three sizes, the .dbf, the .fpt, the journal,
// the tag file.
std::vector<uint8_t> Input(const std::vector<uint8_t>& dbf, const std::vector<uint8_t>& fpt, const std::string& tags,
                           const std::vector<uint8_t>& journal = {}) {
  std::vector<uint8_t> out(12);
  StoreU32LE(out.data(), uint32_t(dbf.size()));
  StoreU32LE(out.data() + 4, uint32_t(fpt.size()));
  StoreU32LE(out.data() + 8, uint32_t(journal.size()));
  out.insert(out.end(), dbf.begin(), dbf.end());
  out.insert(out.end(), fpt.begin(), fpt.end());
  out.insert(out.end(), journal.begin(), journal.end());
  out.insert(out.end(), tags.begin(), tags.end());
  return out;
}

bool WriteSeed(const std::filesystem::path& folder, const char* name, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen((folder / name).string().c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

void FillMemoTable(MemoryFileSystem& fs) {
  std::unique_ptr<Table> t;
  std::string why;
  Table::Create(fs, "T", {{"ID", 'N', 11, 0}, {"NAME", 'C', 10, 0}, {"NOTE", 'M', 10, 0}},
                {{"IDX", "ID"}, {"NAMEX", "NAME"}}, t, why);
  const char* names[] = {"ABC", "ABCD", "abc"};
  for (int i = 0; i < 3; ++i) {
    (void)t->AppendStart();
    (void)t->SetNumber(0, 3 - i);
    (void)t->SetText(1, names[i]);
    (void)t->SetMemo(2, std::string(size_t(i) * 40, 'm'));
    (void)t->Append();
  }
  (void)t->First();
  (void)t->MarkDeleted();
  (void)t->Close();
}

std::vector<uint8_t> MemoTable() {
  MemoryFileSystem fs;
  FillMemoTable(fs);
  return Input(fs.Get("T.dbf"), fs.Get("T.fpt"), "IDX ID\r\nNAMEX NAME\r\n");
}

// The memo table as a pack that stopped after moving a row leaves it.
std::vector<uint8_t> HalfPackedTable() {
  MemoryFileSystem fs;
  FillMemoTable(fs);
  if (!xbasetest::StopPackHalfWay(fs)) return {};
  return Input(fs.Get("T.dbf"), fs.Get("T.fpt"), "IDX ID\r\nNAMEX NAME\r\n", fs.Get("T.jnl"));
}

std::vector<uint8_t> PlainTable() {
  MemoryFileSystem fs;
  std::unique_ptr<Table> t;
  std::string why;
  Table::Create(fs, "T", {{"DRIVEID", 'N', 11, 0}, {"LABEL", 'C', 20, 0}, {"ON", 'L', 1, 0}, {"WHEN", 'D', 8, 0}},
                {{"ALIASROOT", "LABEL"}}, t, why);
  (void)t->AppendStart();
  (void)t->SetNumber(0, 1);
  (void)t->SetText(1, "Films");
  (void)t->Append();
  (void)t->Close();
  return Input(fs.Get("T.dbf"), {}, "ALIASROOT LABEL\n");
}

std::vector<uint8_t> ForeignTable() {
  const uint32_t header = 32 + 3 * 32 + 1 + 263, record = 32;
  std::vector<uint8_t> dbf(header + 2 * record, 0);
  dbf[0] = 0xF5;
  StoreU32LE(&dbf[4], 2);
  StoreU16LE(&dbf[8], uint16_t(header));
  StoreU16LE(&dbf[10], uint16_t(record));
  dbf[29] = 0x03;
  const struct {
    const char* name;
    char type;
    uint8_t width;
  } fields[] = {{"NAME", 'C', 10}, {"NUM", 'N', 11}, {"NOTE", 'M', 10}};
  uint32_t offset = 1;
  for (int i = 0; i < 3; ++i) {
    uint8_t* d = &dbf[32 + size_t(i) * 32];
    std::copy_n(fields[i].name, std::string(fields[i].name).size(), d);
    d[11] = uint8_t(fields[i].type);
    StoreU32LE(d + 12, offset);
    d[16] = fields[i].width;
    offset += fields[i].width;
  }
  dbf[32 + 96] = 0x0D;
  // Character text to the left, numbers and memo blocks to the right.
  auto left = [](std::string s, size_t w) { return s + std::string(w - s.size(), ' '); };
  auto right = [](std::string s, size_t w) { return std::string(w - s.size(), ' ') + s; };
  const std::string rows = " " + left("abc", 10) + right("42", 11) + right("4", 10) +  //
                           " " + left("de", 10) + right("-7", 11) + right("5", 10);
  std::copy(rows.begin(), rows.end(), dbf.begin() + header);
  std::vector<uint8_t> fpt(5 * 128 + 8, 0);
  StoreU32BE(&fpt[0], 6);
  StoreU16BE(&fpt[6], 128);
  StoreU32BE(&fpt[512], 1);
  StoreU32BE(&fpt[516], 10);
  const std::string memo = "hello memo";
  std::copy(memo.begin(), memo.end(), fpt.begin() + 520);
  StoreU32BE(&fpt[640], 1);
  return Input(dbf, fpt, "N NUM\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::filesystem::path folder = argv[1];
  std::filesystem::create_directories(folder);
  const std::vector<uint8_t> halfPacked = HalfPackedTable();
  bool ok = !halfPacked.empty() && WriteSeed(folder, "memo", MemoTable()) && WriteSeed(folder, "plain", PlainTable()) &&
            WriteSeed(folder, "foreign", ForeignTable()) && WriteSeed(folder, "halfpacked", halfPacked);
  return ok ? 0 : 1;
}
