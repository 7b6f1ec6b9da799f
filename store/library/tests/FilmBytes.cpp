#include "FilmBytes.h"

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

Bytes Film(const FilmOptions& options) {
  Bytes items;
  if (!options.name.empty()) {
    items = Cat({items, Atom("AANM", Bytes(options.name.begin(), options.name.end()))});
  }
  if (!options.copyright.empty()) {
    items = Cat({items, Atom("AACY", Bytes(options.copyright.begin(), options.copyright.end()))});
  }
  const Bytes userData = Atom("udta", items);
  const Bytes movie = options.userDataFirst ? Atom("moov", Cat({userData, MovieHeader()}))
                                            : Atom("moov", Cat({MovieHeader(), userData}));
  return Cat({Atom("mdat", Bytes(16, 0x55)), movie});
}

Bytes BlockStart(uint32_t size) {
  return Cat({BigEndian32(size), Bytes{'u', 'd', 't', 'a'}, Bytes{'f', 'l', 'm', '_'}});
}

}  // namespace filmbytes
