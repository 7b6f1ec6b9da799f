// c4bench: how fast the table engine serves a GH_ConfigDB of 100,000 rows.
// Builds the table in a folder (a fresh one under the temporary folder
// unless one is given), then times reading the files' bytes, opening,
// seeks on ITEMID and on ALIASROOT, appends with flush and a full walk.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "C4Dll.h"
#include "Database.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "c4bench: %s\n", what.c_str());
  std::exit(1);
}

std::string AliasRoot(int i) { return "CD " + std::to_string(i % 1000) + " Film Library"; }

struct Fields {
  C4Field *id, *parent, *type, *text, *path, *file, *alias, *volume;
};

Fields Find(C4Table* t) {
  Fields f{C4FindField(t, "ITEM_ID"),  C4FindField(t, "PARENT_ID"), C4FindField(t, "ITEMTYPE"),
           C4FindField(t, "ITEMTEXT"), C4FindField(t, "FILEPATH"),  C4FindField(t, "FILENAME"),
           C4FindField(t, "ALIASROOT"), C4FindField(t, "VOLUMENAME")};
  if (!f.id || !f.parent || !f.type || !f.text || !f.path || !f.file || !f.alias || !f.volume)
    Die("GH_ConfigDB lacks a field");
  return f;
}

// One row as the programs append it: move to last, number, start, store, append.
void AppendItem(C4Table* t, const Fields& f, int i, bool flush) {
  C4Last(t);
  int32_t id = C4GetNumber(f.id) + 1;
  if (C4AppendStart(t, 1) != C4_OK) Die("start append failed");
  C4SetNumber(f.id, id);
  C4SetNumber(f.parent, i % 1000 + 1);
  C4SetNumber(f.type, 4);
  C4SetText(f.text, ("Film number " + std::to_string(i) + " [ 3.50 MB]").c_str());
  C4SetMemo(f.path, "films\\collection");
  C4SetText(f.file, ("film" + std::to_string(i) + ".flm").c_str());
  C4SetText(f.alias, AliasRoot(i).c_str());
  C4SetMemo(f.volume, ("VOLUME" + std::to_string(i % 1000)).c_str());
  if (C4Append(t) != C4_OK) Die("append failed");
  if (flush && C4Flush(t) != C4_OK) Die("flush failed");
}

uint64_t ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  uint64_t total = 0;
  while (in.read(buffer.data(), std::streamsize(buffer.size())) || in.gcount() > 0) total += uint64_t(in.gcount());
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const int kRows = 100000;
  fs::path folder;
  if (argc > 1) {
    folder = argv[1];
  } else {
    folder = fs::temp_directory_path() / ("c4bench-" + std::to_string(std::random_device{}()));
  }
  fs::create_directories(folder);
  std::string why;
  if (kxdb::SeedDatabase(folder.string(), why) != xbase::Code::Ok) Die(why);
  const std::string base = kxdb::TablePath(folder.string(), "GH_ConfigDB");

  C4Engine engine;
  if (C4Init(&engine, nullptr, C4_VERSION, 0, 0) != C4_OK) Die("init failed");
  C4InitDone(&engine);

  {
    C4Table* t = C4Open(&engine, base.c_str());
    if (!t) Die("cannot open " + base);
    C4SelectTag(t, C4FindTag(t, "ITEMID"));
    Fields f = Find(t);
    Clock::time_point start = Clock::now();
    for (int i = C4Count(t); i < kRows; ++i) AppendItem(t, f, i, false);  // after the seed rows
    C4Flush(t);
    std::printf("building %d rows:           %8.3f s\n", kRows, Seconds(start));
    C4Close(t);
  }

  Clock::time_point start = Clock::now();
  uint64_t bytes = ReadBytes(base + ".dbf") + ReadBytes(base + ".fpt") + ReadBytes(base + ".tags");
  double readTime = Seconds(start);
  std::printf("reading the files' bytes:     %8.3f s  (%.1f MB)\n", readTime, double(bytes) / 1e6);

  start = Clock::now();
  C4Table* t = C4Open(&engine, base.c_str());
  double openTime = Seconds(start);
  if (!t) Die("cannot open " + base);
  std::printf("opening the table:            %8.3f s  (%.2f x reading)\n", openTime, openTime / readTime);
  if (C4Count(t) != kRows) Die("the table does not hold " + std::to_string(kRows) + " rows");

  C4Tag* itemId = C4FindTag(t, "ITEMID");
  C4Tag* aliasRoot = C4FindTag(t, "ALIASROOT");
  Fields f = Find(t);
  std::mt19937 random(42);

  const int kSeeks = 200000;
  C4SelectTag(t, itemId);
  std::vector<std::string> keys;
  for (int i = 0; i < kSeeks; ++i) keys.push_back(std::to_string(int(random() % (kRows - 1)) + 1));  // the items 1 to 99,999
  start = Clock::now();
  int64_t sum = 0;
  for (const std::string& k : keys) {
    if (C4Seek(t, k.c_str()) != C4_OK) Die("seek " + k + " failed");
    sum += C4GetNumber(f.id);
  }
  double t1 = Seconds(start);
  std::printf("seeks on ITEMID:              %8.0f per second\n", kSeeks / t1);

  C4SelectTag(t, aliasRoot);
  keys.clear();
  for (int i = 0; i < kSeeks; ++i) keys.push_back(AliasRoot(int(random() % 1000)));
  start = Clock::now();
  for (const std::string& k : keys) {
    if (C4Seek(t, k.c_str()) != C4_OK) Die("seek " + k + " failed");
    sum += C4GetNumber(f.id);
  }
  double t2 = Seconds(start);
  std::printf("seeks on ALIASROOT:           %8.0f per second\n", kSeeks / t2);

  const int kAppends = 10000;
  C4SelectTag(t, itemId);
  start = Clock::now();
  for (int i = 0; i < kAppends; ++i) AppendItem(t, f, kRows + i, true);
  double t3 = Seconds(start);
  std::printf("appends with flush:           %8.0f per second\n", kAppends / t3);

  start = Clock::now();
  int rows = 0;
  for (int c = C4First(t); c == C4_OK; c = C4Skip(t, 1)) {
    sum += C4GetNumber(f.id);
    ++rows;
  }
  double t4 = Seconds(start);
  std::printf("full walk in ITEMID order:    %8.3f s  (%d rows, %.0f rows per second)\n", t4, rows, rows / t4);

  C4Close(t);
  C4Release(&engine);
  if (argc <= 1) fs::remove_all(folder);
  return sum == 0 ? 1 : 0;
}
