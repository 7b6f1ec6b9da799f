#include "FilmBytes.h"

#include <memory>

#include "store/Database.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmUserData.h"
#include "store/library/StringMaps.h"

namespace filmbytes {

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes BigEndian64(uint64_t value) {
  return Cat({BigEndian32(static_cast<uint32_t>(value >> 32)),
              BigEndian32(static_cast<uint32_t>(value))});
}

Bytes AtomWithSize(uint32_t size, const char* type, const Bytes& body) {
  return Cat({BigEndian32(size), Bytes(type, type + 4), body});
}

Bytes Atom(const char* type, const Bytes& body) {
  return AtomWithSize(static_cast<uint32_t>(body.size() + 8), type, body);
}

Bytes Atom64(const char* type, const Bytes& body, uint64_t wrongSize) {
  const uint64_t size = wrongSize ? wrongSize : body.size() + 16;
  return Cat({BigEndian32(1), Bytes(type, type + 4), BigEndian64(size), body});
}

Bytes MovieHeader() {
  Bytes body = Cat({
      BigEndian32(0),            // version 0, no flags
      BigEndian32(0),            // created
      BigEndian32(0),            // modified
      BigEndian32(600),          // time scale
      BigEndian32(600),          // duration
      BigEndian32(0x00010000),   // preferred rate 1.0
      {0x01, 0x00},              // preferred volume 1.0
      Bytes(10, 0),              // reserved
      BigEndian32(0x00010000), BigEndian32(0), BigEndian32(0),  // unit matrix
      BigEndian32(0), BigEndian32(0x00010000), BigEndian32(0),
      BigEndian32(0), BigEndian32(0), BigEndian32(0x40000000),
      BigEndian32(0), BigEndian32(0),  // preview time and duration
      BigEndian32(300),          // poster time
      BigEndian32(0), BigEndian32(0), BigEndian32(0),  // selection, current time
      BigEndian32(1),            // next track ID
  });
  return Atom("mvhd", body);
}

namespace {

Bytes U16(uint16_t v) { return Bytes{static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }

Bytes UnitMatrix() {
  return Cat({BigEndian32(0x00010000), BigEndian32(0), BigEndian32(0), BigEndian32(0), BigEndian32(0x00010000),
              BigEndian32(0), BigEndian32(0), BigEndian32(0), BigEndian32(0x40000000)});
}

// One 'raw ' 24-bit frame of 4 x 4 (its 48 bytes start the 'mdat' data at
// offset 8), one sample of 600 units at 600 per second.
Bytes VideoTrack() {
  const Bytes header = Atom("tkhd", Cat({BigEndian32(1),                  // version 0, enabled
                                         BigEndian32(0), BigEndian32(0),  // created, modified
                                         BigEndian32(1), BigEndian32(0),  // track ID, reserved
                                         BigEndian32(600), Bytes(8, 0),   // duration, reserved
                                         U16(0), U16(0), U16(0), U16(0),  // layer, group, volume, reserved
                                         UnitMatrix(), BigEndian32(4 << 16), BigEndian32(4 << 16)}));
  const Bytes description = Cat({BigEndian32(86), Bytes{'r', 'a', 'w', ' '}, Bytes(6, 0), U16(1),
                                  U16(0), U16(0), BigEndian32(0), BigEndian32(0), BigEndian32(0),
                                  U16(4), U16(4), BigEndian32(72 << 16), BigEndian32(72 << 16),
                                  BigEndian32(0), U16(1), Bytes(32, 0), U16(24), U16(0xFFFF)});
  const Bytes table = Atom("stbl", Cat({
      Atom("stsd", Cat({BigEndian32(0), BigEndian32(1), description})),
      Atom("stts", Cat({BigEndian32(0), BigEndian32(1), BigEndian32(1), BigEndian32(600)})),
      Atom("stsc", Cat({BigEndian32(0), BigEndian32(1), BigEndian32(1), BigEndian32(1), BigEndian32(1)})),
      Atom("stsz", Cat({BigEndian32(0), BigEndian32(48), BigEndian32(1)})),
      Atom("stco", Cat({BigEndian32(0), BigEndian32(1), BigEndian32(8)})),
  }));
  const Bytes media = Atom("mdia", Cat({
      Atom("mdhd", Cat({BigEndian32(0), BigEndian32(0), BigEndian32(0), BigEndian32(600), BigEndian32(600),
                        U16(0), U16(0)})),
      Atom("hdlr", Cat({BigEndian32(0), Bytes{'m', 'h', 'l', 'r', 'v', 'i', 'd', 'e'}, Bytes(12, 0), Bytes{0}})),
      Atom("minf", Cat({Atom("vmhd", Cat({BigEndian32(1), U16(0x40), U16(0x8000), U16(0x8000), U16(0x8000)})),
                        table})),
  }));
  return Atom("trak", Cat({header, media}));
}

}  // namespace

Bytes Film(const FilmOptions& options) {
  Bytes items;
  if (!options.name.empty()) {
    items = Cat({items, Atom("AANM", Bytes(options.name.begin(), options.name.end()))});
  }
  if (!options.copyright.empty()) {
    items = Cat({items, Atom("AACY", Bytes(options.copyright.begin(), options.copyright.end()))});
  }
  const Bytes userData = Atom("udta", items);
  const Bytes track = options.track ? VideoTrack() : Bytes();
  const Bytes movie = options.userDataFirst ? Atom("moov", Cat({userData, MovieHeader(), track}))
                                            : Atom("moov", Cat({MovieHeader(), userData, track}));
  return Cat({Atom("mdat", Bytes(options.track ? 48 : 16, 0x55)), movie});
}

Bytes BlockStart(uint32_t size) {
  return Cat({BigEndian32(size), Bytes{'u', 'd', 't', 'a'}, Bytes{'f', 'l', 'm', '_'}});
}

void AddFilmData(const std::string& path, const std::vector<std::pair<std::string, std::string>>& actions,
                 const std::map<std::string, std::string>& preferences, const std::string& root) {
  auto userData = std::make_unique<FilmUserData>(new FileDataHandler(path, FileDataHandler::kReadWrite), true);
  Database* db = userData->GetDatabase();
  ActionTable* table = new (db) ActionTable;
  for (const auto& a : actions) (*table)[ActionID(a.first)] = ActionDefinition(a.second);
  db->AddRoot(kActionsRoot, table);
  Dictionary* stored = new (db) Dictionary;
  for (const auto& p : preferences) (*stored)[p.first] = p.second;
  db->AddRoot(root, stored);
  userData->Save();
  userData.reset();
  delete db;
}

}  // namespace filmbytes
