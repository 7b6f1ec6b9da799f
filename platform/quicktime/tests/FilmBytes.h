#pragma once
// Films written byte by byte for tests, independent of the library's writer,
// and helpers that damage them one field at a time.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace filmtest {

using Bytes = std::vector<uint8_t>;

Bytes U16(uint16_t v);
Bytes U32(uint32_t v);
Bytes U64(uint64_t v);
Bytes Text(const std::string& s);
Bytes Cat(std::initializer_list<Bytes> parts);
Bytes Atom(const char* type, const Bytes& body);

struct TinyFilmOptions {
  bool userDataFirst = false;   // 'udta' before 'mvhd' inside 'moov', as the system's films have it
  bool compressed = false;      // the movie atom inside 'cmov'
  bool filmBlock = false;       // the system's 'udta'/'flm_' block at the top level
  bool withSound = true;        // a second track of 8-bit sound
  bool userData = true;         // 'AANM' and 'AACY' items
};

// A small valid film: an 'mdat' with three video frames of 10, 20 and 30
// bytes and 800 sound samples, then the movie:
//   movie: time scale 600, duration 600, poster time 300
//   track 1: video 64 x 48, edit list of one edit (600 -> media 0), media
//            time scale 30, three frames of 10 units, 'raw ' 24-bit
//   track 2: sound, no edit list, media time scale 8000, 800 one-byte
//            samples in two chunks of 400, 'raw ' mono 8-bit
//   user data: 'AANM' "Tiny film", 'AACY' "(c) Glintharbour"
Bytes TinyFilm(const TinyFilmOptions& options = {});

// Offset of the header of the atom at this path ("moov", "trak", ...); the
// n-th atom of a type is asked for with a repeated name's index.
size_t FindAtom(const Bytes& film, const std::vector<const char*>& path, int trackIndex = 0);
void PutU32(Bytes& b, size_t offset, uint32_t v);
uint32_t GetU32(const Bytes& b, size_t offset);

}  // namespace filmtest
