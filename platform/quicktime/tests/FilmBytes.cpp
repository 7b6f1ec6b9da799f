#include "FilmBytes.h"

#include "Inflate.h"

#include <cstring>
#include <stdexcept>

namespace filmtest {

Bytes U16(uint16_t v) { return {uint8_t(v >> 8), uint8_t(v)}; }
Bytes U32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }
Bytes U64(uint64_t v) { return Cat({U32(uint32_t(v >> 32)), U32(uint32_t(v))}); }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Atom(const char* type, const Bytes& body) {
  return Cat({U32(uint32_t(body.size() + 8)), Text(std::string(type, 4)), body});
}

namespace {

Bytes Zeros(size_t n) { return Bytes(n, 0); }

Bytes Identity() {
  return Cat({U32(0x10000), U32(0), U32(0), U32(0), U32(0x10000), U32(0), U32(0), U32(0), U32(0x40000000)});
}

Bytes Handler(const char* componentType, const char* subtype, const std::string& name) {
  return Atom("hdlr", Cat({U32(0), Text(componentType), Text(subtype), U32(0), U32(0), U32(0),
                           Bytes{uint8_t(name.size())}, Text(name)}));
}

Bytes SelfReference() {
  return Atom("dinf", Atom("dref", Cat({U32(0), U32(1), Atom("alis", U32(1))})));
}

Bytes TrackHeader(uint32_t id, uint32_t duration, uint32_t width, uint32_t height, uint16_t volume) {
  return Atom("tkhd", Cat({U32(0x0000000F),  // version 0, enabled, in movie, preview and poster
                           U32(0), U32(0),    // creation, modification
                           U32(id), U32(0), U32(duration), Zeros(8),
                           U16(0), U16(0),    // layer, alternate group
                           U16(volume), U16(0), Identity(),
                           U32(width << 16), U32(height << 16)}));
}

Bytes MediaHeader(uint32_t scale, uint32_t duration) {
  return Atom("mdhd", Cat({U32(0), U32(0), U32(0), U32(scale), U32(duration), U16(0), U16(0)}));
}

Bytes VideoDescription() {
  return Cat({U32(86), Text("raw "), Zeros(6), U16(1),  // size, format, reserved, data reference 1
              U16(0), U16(0), Text("test"),               // version, revision, vendor
              U32(0), U32(0),                             // temporal, spatial quality
              U16(64), U16(48),                           // width, height
              U32(72 << 16), U32(72 << 16), U32(0), U16(1),
              Bytes{4}, Text("none"), Zeros(27),          // compressor name, 32 bytes
              U16(24), U16(0xFFFF)});                     // depth, no colour table
}

Bytes SoundDescription() {
  return Cat({U32(36), Text("raw "), Zeros(6), U16(1),
              U16(0), U16(0), U32(0),                     // version 0, revision, vendor
              U16(1), U16(8), U16(0), U16(0),             // mono, 8 bits, compression, packet size
              U32(8000u << 16)});                         // 8000 Hz
}

}  // namespace

Bytes TinyFilm(const TinyFilmOptions& o) {
  // Media data first: frames of 10, 20 and 30 bytes, then 800 sound bytes.
  Bytes frames;
  for (int i = 0; i < 60; ++i) frames.push_back(uint8_t(i));
  Bytes sound(800, 0x80);
  const uint32_t dataStart = 8;  // after the 'mdat' header
  Bytes mdat = Atom("mdat", Cat({frames, sound}));

  Bytes video = Atom(
      "trak",
      Cat({TrackHeader(1, 600, 64, 48, 0),
           Atom("edts", Atom("elst", Cat({U32(0), U32(1), U32(600), U32(0), U32(0x10000)}))),
           Atom("mdia",
                Cat({MediaHeader(30, 30), Handler("mhlr", "vide", "Video Media Handler"),
                     Atom("minf",
                          Cat({Atom("vmhd", Cat({U32(1), U16(0x40), U16(0x8000), U16(0x8000), U16(0x8000)})),
                               Handler("dhlr", "alis", "Alias Data Handler"), SelfReference(),
                               Atom("stbl", Cat({Atom("stsd", Cat({U32(0), U32(1), VideoDescription()})),
                                                 Atom("stts", Cat({U32(0), U32(1), U32(3), U32(10)})),
                                                 Atom("stss", Cat({U32(0), U32(1), U32(1)})),
                                                 Atom("stsc", Cat({U32(0), U32(1), U32(1), U32(3), U32(1)})),
                                                 Atom("stsz", Cat({U32(0), U32(0), U32(3), U32(10), U32(20), U32(30)})),
                                                 Atom("stco", Cat({U32(0), U32(1), U32(dataStart)}))}))}))}))}));

  Bytes audio = Atom(
      "trak",
      Cat({TrackHeader(2, 600, 0, 0, 0x100),
           Atom("mdia",
                Cat({MediaHeader(8000, 800), Handler("mhlr", "soun", "Sound Media Handler"),
                     Atom("minf",
                          Cat({Atom("smhd", Cat({U32(0), U16(0), U16(0)})),
                               Handler("dhlr", "alis", "Alias Data Handler"), SelfReference(),
                               Atom("stbl", Cat({Atom("stsd", Cat({U32(0), U32(1), SoundDescription()})),
                                                 Atom("stts", Cat({U32(0), U32(1), U32(800), U32(1)})),
                                                 Atom("stsc", Cat({U32(0), U32(1), U32(1), U32(400), U32(1)})),
                                                 Atom("stsz", Cat({U32(0), U32(1), U32(800)})),
                                                 Atom("stco", Cat({U32(0), U32(2), U32(dataStart + 60),
                                                                   U32(dataStart + 460)}))}))}))}))}));

  Bytes mvhd = Atom("mvhd", Cat({U32(0), U32(0), U32(0),     // version, creation, modification
                                 U32(600), U32(600),          // time scale, duration
                                 U32(0x10000), U16(0x100), Zeros(10), Identity(),
                                 U32(0), U32(0), U32(300),    // preview time and duration, poster time
                                 U32(0), U32(0), U32(0),      // selection, current time
                                 U32(3)}));                   // next track id
  Bytes udta = o.userData ? Atom("udta", Cat({Atom("AANM", Text("Tiny film")), Atom("AACY", Text("(c) Glintharbour")),
                                              U32(0)}))
                          : Bytes{};
  Bytes children = o.userDataFirst ? Cat({udta, mvhd, video}) : Cat({mvhd, video, udta});
  if (o.withSound) children = Cat({children, audio});
  Bytes moov = Atom("moov", children);
  if (o.compressed) {
    Bytes packed = qtf::Deflate(moov);
    moov = Atom("moov", Atom("cmov", Cat({Atom("dcom", Text("zlib")),
                                          Atom("cmvd", Cat({U32(uint32_t(moov.size())), packed}))})));
  }
  Bytes film = Cat({mdat, moov});
  if (o.filmBlock) film = Cat({film, Atom("udta", Cat({Text("flm_"), Bytes(70, 0x11)}))});
  return film;
}

size_t FindAtom(const Bytes& film, const std::vector<const char*>& path, int trackIndex) {
  size_t begin = 0, end = film.size();
  size_t found = std::string::npos;
  for (const char* type : path) {
    found = std::string::npos;
    int seen = 0;
    for (size_t pos = begin; pos + 8 <= end;) {
      uint64_t size = GetU32(film, pos);
      if (size == 1 && pos + 16 <= end) size = (uint64_t(GetU32(film, pos + 8)) << 32) | GetU32(film, pos + 12);
      if (size < 8 || pos + size > end) break;
      if (std::memcmp(&film[pos + 4], type, 4) == 0 &&
          (std::strcmp(type, "trak") != 0 || seen++ == trackIndex)) {
        found = pos;
        break;
      }
      pos += size;
    }
    if (found == std::string::npos) throw std::runtime_error(std::string("no atom ") + type);
    begin = found + 8;
    end = found + GetU32(film, found);
    if (GetU32(film, found) == 1) {
      begin += 8;
      end = found + ((uint64_t(GetU32(film, found + 8)) << 32) | GetU32(film, found + 12));
    }
    // Full atoms whose children follow a header of their own.
    if (std::strcmp(type, "dref") == 0 || std::strcmp(type, "stsd") == 0) begin += 8;
  }
  return found;
}

void PutU32(Bytes& b, size_t offset, uint32_t v) {
  Bytes x = U32(v);
  std::memcpy(&b[offset], x.data(), 4);
}

uint32_t GetU32(const Bytes& b, size_t offset) {
  return (uint32_t(b[offset]) << 24) | (uint32_t(b[offset + 1]) << 16) | (uint32_t(b[offset + 2]) << 8) |
         b[offset + 3];
}

}  // namespace filmtest
