// Writes the fuzz target's seeds into the folder named on the command line:
// databases as the store itself writes them.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "../tests/MemoryDataHandler.h"
#include "FuzzSample.h"
#include "store/Database.h"

namespace {

bool WriteSeed(const std::filesystem::path& folder, const char* name,
               const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen((folder / name).string().c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> EmptyDatabase() {
  MemoryDataHandler memory;
  std::unique_ptr<Database> db(
      Database::Create(new StreamDataHandler(&memory), "Database", 100, 30));
  return memory.Bytes();
}

std::vector<uint8_t> SampleTree() {
  MemoryDataHandler memory;
  std::unique_ptr<Database> db(
      Database::Create(new StreamDataHandler(&memory), "Database", 100, 30));
  FuzzSample* top = new (db.get()) FuzzSample;
  top->text = "top";
  top->name = "Actions";
  for (int i = 0; i < 3; ++i) {
    FuzzSample* child = new (db.get()) FuzzSample;
    child->number = i;
    child->flag = i % 2 != 0;
    child->text = std::string(i * 20, 'c');
    top->next.push_back(db_ptr<FuzzSample>(child));
  }
  db->AddRoot("Actions", top);
  db->AddRoot("Preferences", new (db.get()) FuzzSample);
  Database::SaveAll(db.get());
  // One object rewritten larger, so the free list holds a block.
  top->text = std::string(200, 't');
  top->SetModified(true);
  Database::SaveAll(db.get());
  return memory.Bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "cannot make %s\n", argv[1]);
    return 1;
  }
  if (!WriteSeed(folder, "empty", EmptyDatabase()) || !WriteSeed(folder, "tree", SampleTree())) {
    std::fprintf(stderr, "cannot write the seeds\n");
    return 1;
  }
  return 0;
}
