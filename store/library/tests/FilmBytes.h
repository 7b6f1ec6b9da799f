#pragma once
// Films written atom by atom for the tests and the fuzz seeds.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "../../tests/StoreTestSupport.h"
#include "store/library/LibrarySchema.h"

namespace filmbytes {

Bytes Cat(std::initializer_list<Bytes> parts);
Bytes BigEndian64(uint64_t value);
// An atom whose size word counts its header and body.
Bytes Atom(const char* type, const Bytes& body);
// An atom with the size word given, right or wrong.
Bytes AtomWithSize(uint32_t size, const char* type, const Bytes& body);
// An atom with a 64-bit size (size word 1); wrongSize replaces the true one.
Bytes Atom64(const char* type, const Bytes& body, uint64_t wrongSize = 0);
// 'mvhd' of a film of 600 units at 600 per second, poster time 300.
Bytes MovieHeader();

struct FilmOptions {
  // The system's own films put their user data first in the movie atom; a
  // film with 'mvhd' first counts as having no data block.
  bool userDataFirst = true;
  // 'AANM' and 'AACY' items in the movie's user data.
  std::string name = "Tiny film";
  std::string copyright = "(c) Glintharbour";
  // A video track of one 4 x 4 frame lasting the whole 600 units, so that
  // the film has a length.
  bool track = false;
};

// 'mdat' with a few bytes, then 'moov'.
Bytes Film(const FilmOptions& options = {});

// The 12-byte start of a data block of the given atom size.
Bytes BlockStart(uint32_t size);

// Gives the film at path a database of its own holding these bindings and,
// under root, these preferences.
void AddFilmData(const std::string& path, const std::vector<std::pair<std::string, std::string>>& actions,
                 const std::map<std::string, std::string>& preferences,
                 const std::string& root = kPreferencesRoot);

}  // namespace filmbytes
