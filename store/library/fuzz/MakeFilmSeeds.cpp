// Writes the film fuzz target's seeds into the folder named on the command
// line: small films with the system's data block, as the store writes it.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "../tests/FilmBytes.h"
#include "FilmBytesHandler.h"
#include "store/library/CDRomNode.h"
#include "store/library/FilmNode.h"
#include "store/library/FilmUserData.h"
#include "store/library/LibrarySchema.h"

namespace {

bool WriteSeed(const std::filesystem::path& folder, const char* name, const Bytes& bytes) {
  std::FILE* f = std::fopen((folder / name).string().c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// A film whose database holds actions, preferences and a small library.
Bytes FilmWithData() {
  auto* memory = new MemoryDataHandler(filmbytes::Film());
  auto userData = std::make_unique<FilmUserData>(memory, true);
  Database* db = userData->GetDatabase();
  ActionTable* actions = new (db) ActionTable;
  (*actions)[ActionID("sprite1")] = ActionDefinition("playQT(File=\"a.flm\",Track=\"2\")");
  (*actions)[ActionID("sprite2")] = ActionDefinition("launchURL(URL=\"http://example.com/\")");
  db->AddRoot(kActionsRoot, actions);
  Dictionary* preferences = new (db) Dictionary;
  (*preferences)[kNameKey] = "Seed";
  (*preferences)[kTrkLocalKey] = "3";
  db->AddRoot(kPreferencesRoot, preferences);
  CDRomNode* cd = new (db) CDRomNode;
  cd->GetDictionary()[kScreenSaversKey] = "films";
  FilmNode* film = new (db) FilmNode("film");
  film->GetPath() = "a.flm";
  film->SetParent(cd);
  cd->AddChild(film);
  cd->SetExpanded(true);
  db->AddRoot(kCdRomsRoot, cd);
  userData->Save();
  Bytes bytes = memory->Bytes();
  userData.reset();
  delete db;
  return bytes;
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
  if (!WriteSeed(folder, "film_data", FilmWithData()) ||
      !WriteSeed(folder, "film_plain", filmbytes::Film({false}))) {
    std::fprintf(stderr, "cannot write the seeds\n");
    return 1;
  }
  return 0;
}
