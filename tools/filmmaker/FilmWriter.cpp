#include "FilmWriter.h"

#include "File.h"
#include "MovieWriter.h"
#include "VideoEncoder.h"
#include "store/Database.h"
#include "store/Exception.h"
#include "store/library/ActionTable.h"
#include "store/library/FilmUserData.h"
#include "store/library/LibrarySchema.h"
#include "store/library/StringMaps.h"

#include <memory>

namespace film {

namespace {

using qtf::Fault;
using qtf::Status;

// The largest picture the players draw.
constexpr int kMaxSide = 4096;

// A track ready to write: its model, and the bytes of each of its chunks in
// the order of the model's chunk table. Chunk offsets are set when the
// film is laid out.
struct Built {
  qtf::TrackModel model;
  std::vector<Bytes> chunks;
};

qtf::Matrix Translation(int x, int y) {
  qtf::Matrix m;
  m.m[6] = x * 0x10000;
  m.m[7] = y * 0x10000;
  return m;
}

void Place(const TrackPlace& place, qtf::TrackHeader& h) {
  h.flags = qtf::kTrackInMovie | qtf::kTrackInPreview | qtf::kTrackInPoster;
  if (place.enabled) h.flags |= qtf::kTrackEnabled;
  h.layer = place.layer;
  h.matrix = Translation(place.x, place.y);
}

// One chunk per sample: the tracks are small and read whole.
void AddSample(Built& b, Bytes sample) {
  qtf::SampleTable& t = b.model.media.samples;
  t.sizes.push_back(uint32_t(sample.size()));
  t.chunks.push_back({0, 1, 1});
  ++t.sampleCount;
  b.chunks.push_back(std::move(sample));
}

Status BuildVideo(const VideoTrack& v, Built& b) {
  if (v.frames.empty()) return Status::Fail(Fault::Corrupt, "a video track without frames");
  const int width = v.frames[0].Width(), height = v.frames[0].Height();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return Status::Fail(Fault::Corrupt, "a video frame of no size or too large");
  for (const Picture& p : v.frames)
    if (p.Width() != width || p.Height() != height)
      return Status::Fail(Fault::Corrupt, "video frames of different sizes");
  const bool animation = v.codec == qtf::Tag("rle ");
  if (!animation && v.codec != qtf::Tag("raw "))
    return Status::Fail(Fault::Unsupported, "no encoder for '" + qtf::TagText(v.codec) + "'");
  if (!EncodableDepth(v.depth)) return Status::Fail(Fault::Unsupported, "no encoder for this depth");
  if (v.timeScale == 0 || v.frameDuration == 0) return Status::Fail(Fault::Corrupt, "video frames of no length");

  Place(v.place, b.model.header);
  b.model.header.width = width << 16;
  b.model.header.height = height << 16;
  b.model.hasMedia = true;
  qtf::MediaModel& m = b.model.media;
  m.type = qtf::Tag("vide");
  m.timeScale = v.timeScale;
  qtf::SampleTable& t = m.samples;
  t.descriptions.push_back(
      VideoDescription(v.codec, uint16_t(width), uint16_t(height), v.depth, animation ? "Animation" : "None"));
  t.times.push_back({uint32_t(v.frames.size()), v.frameDuration});
  t.allSync = !animation;
  const uint32_t keyInterval = v.keyInterval ? v.keyInterval : 1;
  for (size_t i = 0; i < v.frames.size(); ++i) {
    if (!animation) {
      AddSample(b, EncodeRaw(v.frames[i], v.depth));
      continue;
    }
    const bool key = i % keyInterval == 0;
    if (key) t.syncSamples.push_back(uint32_t(i + 1));
    AddSample(b, EncodeAnimation(v.frames[i], key ? nullptr : &v.frames[i - 1], v.depth));
  }
  return {};
}

Status BuildSound(const SoundTrack& s, Built& b) {
  if (!EncodableSound(s.format)) return Status::Fail(Fault::Unsupported, "no encoder for this sound format");
  const size_t channels = s.format.channels;
  if (s.frames.empty() || s.frames.size() % channels != 0)
    return Status::Fail(Fault::Corrupt, "sound without whole frames");
  Place(s.place, b.model.header);
  b.model.header.volume = 0x100;
  b.model.hasMedia = true;
  qtf::MediaModel& m = b.model.media;
  m.type = qtf::Tag("soun");
  m.timeScale = s.format.rate;
  qtf::SampleTable& t = m.samples;
  t.descriptions.push_back(SoundDescription(s.format));
  // Uncompressed sound counts one sample per frame, each of size 1; a chunk
  // holds half a second.
  const size_t frames = s.frames.size() / channels;
  t.times.push_back({uint32_t(frames), 1});
  t.constantSize = 1;
  t.sampleCount = uint32_t(frames);
  const size_t perChunk = std::max<size_t>(s.format.rate / 2, 1);
  for (size_t first = 0; first < frames; first += perChunk) {
    const size_t n = std::min(perChunk, frames - first);
    t.chunks.push_back({0, uint32_t(n), 1});
    std::vector<int16_t> part(s.frames.begin() + long(first * channels),
                              s.frames.begin() + long((first + n) * channels));
    b.chunks.push_back(EncodeSound(s.format, part));
  }
  return {};
}

Status BuildSprites(const SpriteTrack& s, Built& b) {
  if (s.frames.empty() || !s.frames[0].key)
    return Status::Fail(Fault::Corrupt, "a sprite track must begin with a key frame");
  if (s.width <= 0 || s.height <= 0 || s.width > kMaxSide || s.height > kMaxSide || s.timeScale == 0)
    return Status::Fail(Fault::Corrupt, "a sprite track of no size");
  Place(s.place, b.model.header);
  b.model.header.width = s.width << 16;
  b.model.header.height = s.height << 16;
  b.model.hasMedia = true;
  qtf::MediaModel& m = b.model.media;
  m.type = qtf::Tag("sprt");
  m.timeScale = s.timeScale;
  qtf::SampleTable& t = m.samples;
  t.descriptions.push_back(SpriteDescription());
  t.allSync = false;
  for (size_t i = 0; i < s.frames.size(); ++i) {
    const SpriteFrame& f = s.frames[i];
    if (f.duration == 0) return Status::Fail(Fault::Corrupt, "a sprite frame of no length");
    t.times.push_back({1, f.duration});
    if (f.key) {
      t.syncSamples.push_back(uint32_t(i + 1));
      AddSample(b, KeyFrameSample(*f.key));
    } else {
      AddSample(b, OverrideSample(f.overrides, f.frameLoaded));
    }
  }
  return {};
}

qtf::UserDataList MovieItems(const FilmSpec& spec) {
  qtf::UserDataList items;
  if (!spec.name.empty()) items.push_back({qtf::Tag("AANM"), Bytes(spec.name.begin(), spec.name.end())});
  if (!spec.copyright.empty()) items.push_back({qtf::Tag("AACY"), Bytes(spec.copyright.begin(), spec.copyright.end())});
  return items;
}

Bytes UserDataAtom(const FilmSpec& spec) {
  qtf::ByteWriter w;
  const size_t udta = w.BeginAtom(qtf::Tag("udta"));
  for (const qtf::UserDataItem& item : MovieItems(spec)) {
    const size_t a = w.BeginAtom(item.type);
    w.Bytes(item.data);
    w.EndAtom(a);
  }
  w.EndAtom(udta);
  return std::move(w.Data());
}

// Every command text must come back unchanged from the table, so that what
// the programs read is what the film's author wrote.
Status CheckActions(const SystemData& data) {
  for (const auto& a : data.actions) {
    const ActionDefinition parsed(a.second);
    if (parsed.GetName().empty() || parsed.GetText() != a.second)
      return Status::Fail(Fault::Corrupt, "the command text of \"" + a.first + "\" does not read back as written: " +
                                              a.second);
  }
  return {};
}

// Appends the system's block to a written film through the store. The
// user data is saved while its database exists, then the database goes.
Status AddSystemBlock(const std::string& path, const SystemData& data) {
  std::unique_ptr<Database> database;
  try {
    auto userData = std::make_unique<FilmUserData>(new FileDataHandler(path, FileDataHandler::kReadWrite), true);
    database.reset(userData->GetDatabase());
    ActionTable* actions = new (database.get()) ActionTable;
    for (const auto& a : data.actions) (*actions)[ActionID(a.first)] = ActionDefinition(a.second);
    database->AddRoot(kActionsRoot, actions);
    Dictionary* preferences = new (database.get()) Dictionary;
    for (const auto& p : data.preferences) (*preferences)[p.first] = p.second;
    database->AddRoot(kPreferencesRoot, preferences);
    userData->Save();
  } catch (const Exception& e) {
    return Status::Fail(Fault::Io, "the film's own data could not be written: " + e.GetMessageText());
  }
  return {};
}

// The film's bytes without the system's block, which only the store writes.
Status BuildFilmBytes(const FilmSpec& spec, std::vector<uint8_t>& out) {
  // Tracks are numbered in this order: video, sound, sprites.
  std::vector<Built> tracks(spec.video.size() + spec.sound.size() + spec.sprites.size());
  if (tracks.empty()) return Status::Fail(Fault::Corrupt, "a film without tracks");
  size_t n = 0;
  Status s;
  for (const VideoTrack& v : spec.video)
    if (s.Ok()) s = BuildVideo(v, tracks[n++]);
  for (const SoundTrack& t : spec.sound)
    if (s.Ok()) s = BuildSound(t, tracks[n++]);
  for (const SpriteTrack& t : spec.sprites)
    if (s.Ok()) s = BuildSprites(t, tracks[n++]);
  if (!s.Ok()) {
    s.what = "track " + std::to_string(n) + ": " + s.what;
    return s;
  }
  for (size_t i = 0; i < tracks.size(); ++i) tracks[i].model.header.id = uint32_t(i + 1);

  // The media data first, then the movie.
  uint64_t payload = 0;
  for (const Built& b : tracks)
    for (const Bytes& c : b.chunks) payload += c.size();
  const uint64_t headerSize = qtf::AtomHeaderSize(payload);
  out = qtf::AtomHeader(qtf::Tag("mdat"), headerSize + payload);
  uint64_t position = headerSize;
  std::vector<const qtf::TrackModel*> models;
  for (Built& b : tracks) {
    qtf::SampleTable& t = b.model.media.samples;
    for (size_t c = 0; c < b.chunks.size(); ++c) {
      t.chunks[c].offset = position;
      position += b.chunks[c].size();
      out.insert(out.end(), b.chunks[c].begin(), b.chunks[c].end());
    }
    s = t.Index(b.model.media.type);
    if (!s.Ok()) return s;
    models.push_back(&b.model);
  }

  qtf::MovieHeader header;
  if (!spec.system) {
    const Bytes movie = qtf::BuildMovieAtom(header, models, MovieItems(spec));
    out.insert(out.end(), movie.begin(), movie.end());
    return {};
  }
  // The system's films: the movie's user data before its header.
  Bytes movie = qtf::BuildMovieAtom(header, models, {});
  const Bytes userData = UserDataAtom(spec);
  movie.insert(movie.begin() + 8, userData.begin(), userData.end());
  const uint32_t size = uint32_t(movie.size());
  for (int i = 0; i < 4; ++i) movie[size_t(i)] = uint8_t(size >> (8 * (3 - i)));
  out.insert(out.end(), movie.begin(), movie.end());
  return {};
}

}  // namespace

Status WriteFilm(const FilmSpec& spec, const std::string& path) {
  if (spec.system) {
    Status s = CheckActions(*spec.system);
    if (!s.Ok()) return s;
  }
  std::vector<uint8_t> bytes;
  Status s = BuildFilmBytes(spec, bytes);
  if (!s.Ok()) return s;
  {
    qtf::File file;
    s = file.Open(path, qtf::File::Mode::Create);
    if (s.Ok()) s = file.WriteAt(0, bytes.data(), bytes.size());
    Status closed = file.Close();
    if (s.Ok()) s = closed;
    if (!s.Ok()) return s;
  }
  if (spec.system) return AddSystemBlock(path, *spec.system);
  return {};
}

}  // namespace film
