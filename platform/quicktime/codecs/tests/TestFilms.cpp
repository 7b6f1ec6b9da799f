#include "TestFilms.h"

#include "MovieWriter.h"

#include <algorithm>

namespace codectest {

namespace {

qtf::FourCC TagOf(const char* s) {
  return qtf::FourCC(uint8_t(s[0])) << 24 | qtf::FourCC(uint8_t(s[1])) << 16 | qtf::FourCC(uint8_t(s[2])) << 8 |
         uint8_t(s[3]);
}

}  // namespace

qtf::SampleDescription VideoDescription(const char* codec, uint16_t width, uint16_t height, uint16_t depth,
                                        const std::vector<uint32_t>& colours) {
  qtf::ByteWriter w;
  w.U32(0);  // size, set below
  w.U32(TagOf(codec));
  w.Zeros(6);
  w.U16(1);             // data reference
  w.Zeros(4);           // version, revision
  w.U32(qtf::Tag("test"));
  w.Zeros(8);           // qualities
  w.U16(width);
  w.U16(height);
  w.U32(72u << 16);
  w.U32(72u << 16);
  w.U32(0);             // data size
  w.U16(1);             // frames per sample
  w.Zeros(32);          // compressor name
  w.U16(depth);
  w.U16(colours.empty() ? 0xFFFF : 0);
  if (!colours.empty()) {
    w.U32(0);           // seed
    w.U16(0x8000);      // flags
    w.U16(uint16_t(colours.size() - 1));
    for (uint32_t c : colours) {
      w.U16(0);
      w.U16(uint16_t((c >> 16 & 0xFF) * 0x101));
      w.U16(uint16_t((c >> 8 & 0xFF) * 0x101));
      w.U16(uint16_t((c & 0xFF) * 0x101));
    }
  }
  qtf::SampleDescription d;
  d.format = TagOf(codec);
  d.entry = std::move(w.Data());
  uint32_t size = uint32_t(d.entry.size());
  for (int i = 0; i < 4; ++i) d.entry[i] = uint8_t(size >> (24 - 8 * i));
  return d;
}

qtf::SampleDescription SoundDescription(const char* format, uint16_t channels, uint16_t bits) {
  qtf::ByteWriter w;
  w.U32(36);
  w.U32(TagOf(format));
  w.Zeros(6);
  w.U16(1);
  w.Zeros(8);  // version 0, revision, vendor
  w.U16(channels);
  w.U16(bits);
  w.Zeros(4);  // compression, packet size
  w.U32(22050u << 16);
  qtf::SampleDescription d;
  d.format = TagOf(format);
  d.entry = std::move(w.Data());
  return d;
}

qtf::Matrix Place(double scaleX, double scaleY, double x, double y) {
  qtf::Matrix m;
  m.m[0] = int32_t(scaleX * 65536);
  m.m[4] = int32_t(scaleY * 65536);
  m.m[6] = int32_t(x * 65536);
  m.m[7] = int32_t(y * 65536);
  return m;
}

Bytes MakeFilm(const std::vector<TrackSpec>& specs, const qtf::Matrix& movieMatrix) {
  Bytes media;
  std::vector<qtf::TrackModel> tracks;
  uint32_t id = 1;
  for (const TrackSpec& spec : specs) {
    qtf::TrackModel t;
    qtf::VideoFormat vf;
    (void)qtf::ReadVideoFormat(spec.description, vf);
    t.header.id = id++;
    if (!spec.enabled) t.header.flags &= ~qtf::kTrackEnabled;
    t.header.layer = spec.layer;
    t.header.matrix = spec.matrix;
    t.header.width = int32_t(spec.width ? spec.width : vf.width) << 16;
    t.header.height = int32_t(spec.height ? spec.height : vf.height) << 16;
    t.hasEditList = !spec.edits.empty();
    t.edits = spec.edits;
    t.hasMedia = true;
    t.media.type = qtf::Tag("vide");
    t.media.timeScale = spec.timeScale;
    t.media.handlerName = qtf::DefaultHandlerName(t.media.type);
    qtf::SampleTable& s = t.media.samples;
    s.descriptions.push_back(spec.description);
    s.times.push_back({uint32_t(spec.samples.size()), 1});
    for (const Bytes& sample : spec.samples) {
      qtf::SampleTable::Chunk c;
      c.offset = 8 + media.size();  // after the 'mdat' header
      c.sampleCount = 1;
      s.chunks.push_back(c);
      s.sizes.push_back(uint32_t(sample.size()));
      media.insert(media.end(), sample.begin(), sample.end());
    }
    s.sampleCount = uint32_t(spec.samples.size());
    s.allSync = spec.sync.empty();
    s.syncSamples = spec.sync;
    (void)s.Index(t.media.type);
    tracks.push_back(std::move(t));
  }
  std::vector<const qtf::TrackModel*> list;
  for (const qtf::TrackModel& t : tracks) list.push_back(&t);
  qtf::MovieHeader header;
  header.matrix = movieMatrix;
  Bytes film = qtf::AtomHeader(qtf::Tag("mdat"), media.size() + 8);
  film.insert(film.end(), media.begin(), media.end());
  Bytes movie = qtf::BuildMovieAtom(header, list, {});
  film.insert(film.end(), movie.begin(), movie.end());
  return film;
}

}  // namespace codectest

namespace codectest {

namespace {

// A skip of n units: the skip byte counts one more, and runs longer than 254
// go on after a 0 code.
void Skip(Bytes& out, size_t n, bool lineStart) {
  do {
    size_t part = std::min<size_t>(n, 254);
    if (!lineStart) out.push_back(0);
    out.push_back(uint8_t(part + 1));
    lineStart = false;
    n -= part;
  } while (n > 0);
}

}  // namespace

Bytes AnimationSample(const std::vector<AnimationLine>& lines, uint16_t firstLine, bool withLineRange) {
  Bytes out = {0, 0, 0, 0, 0, uint8_t(withLineRange ? 8 : 0)};
  if (withLineRange) {
    out.insert(out.end(), {uint8_t(firstLine >> 8), uint8_t(firstLine), 0, 0, uint8_t(lines.size() >> 8),
                           uint8_t(lines.size()), 0, 0});
  }
  for (const AnimationLine& line : lines) {
    const std::vector<Bytes>& u = line.units;
    auto same = [&](size_t i) { return line.previous && (*line.previous)[i] == u[i]; };
    size_t i = 0, skipped = 0;
    while (i < u.size() && same(i)) ++i, ++skipped;
    Skip(out, skipped, true);
    while (i < u.size()) {
      size_t n = 0;
      while (i + n < u.size() && same(i + n)) ++n;
      if (n > 0) {
        if (i + n == u.size()) break;  // the rest of the line stays
        Skip(out, n, false);
        i += n;
        continue;
      }
      n = 1;
      while (i + n < u.size() && n < 128 && u[i + n] == u[i] && !same(i + n)) ++n;
      if (n >= 2) {
        out.push_back(uint8_t(-int(n)));
        out.insert(out.end(), u[i].begin(), u[i].end());
        i += n;
        continue;
      }
      n = 0;
      while (i + n < u.size() && n < 127 && !same(i + n) && !(i + n + 1 < u.size() && u[i + n + 1] == u[i + n]))
        ++n;
      if (n == 0) n = 1;
      out.push_back(uint8_t(n));
      for (size_t k = 0; k < n; ++k) out.insert(out.end(), u[i + k].begin(), u[i + k].end());
      i += n;
    }
    out.push_back(0xFF);
  }
  uint32_t size = uint32_t(out.size());
  for (int k = 0; k < 4; ++k) out[k] = uint8_t(size >> (24 - 8 * k));
  return out;
}

namespace {

void Put16(Bytes& b, uint16_t v) { b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)}); }

}  // namespace

Bytes CinepakChunk(uint16_t id, const Bytes& body) {
  Bytes out;
  Put16(out, id);
  Put16(out, uint16_t(body.size() + 4));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

Bytes CinepakStrip(uint16_t id, uint16_t width, uint16_t height, const Bytes& chunks) {
  Bytes out;
  for (uint16_t v : {id, uint16_t(chunks.size() + 12), uint16_t(0), uint16_t(0), height, width}) Put16(out, v);
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

Bytes CinepakFrame(uint8_t flags, uint16_t width, uint16_t height, const std::vector<Bytes>& strips) {
  Bytes body;
  for (const Bytes& s : strips) body.insert(body.end(), s.begin(), s.end());
  uint32_t length = uint32_t(body.size() + 10);
  Bytes out = {flags, uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length)};
  for (uint16_t v : {width, height, uint16_t(strips.size())}) Put16(out, v);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace codectest
