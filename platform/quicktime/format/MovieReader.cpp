#include "MovieReader.h"

#include "Inflate.h"

#include <algorithm>

namespace qtf {

namespace {

Status Corrupt(const std::string& what) { return Status::Fail(Fault::Corrupt, what); }
Status Cut(const std::string& what) { return Status::Fail(Fault::Truncated, what); }

bool ReadMatrix(ByteReader& r, Matrix& m) {
  for (int32_t& v : m.m)
    if (!r.ReadI32(v)) return false;
  return true;
}

// Reads a full atom's version byte and 24 flag bits.
bool ReadVersion(ByteReader& r, uint8_t& version, uint32_t& flags) {
  uint32_t word;
  if (!r.ReadU32(word)) return false;
  version = uint8_t(word >> 24);
  flags = word & 0xFFFFFF;
  return true;
}

// Reads a time stored in 32 bits by version 0 and in 64 by version 1.
bool ReadTime(ByteReader& r, uint8_t version, uint64_t& v) {
  if (version == 1) return r.ReadU64(v);
  uint32_t x;
  if (!r.ReadU32(x)) return false;
  v = x;
  return true;
}

Status ParseMovieHeader(ByteReader r, MovieHeader& h) {
  uint8_t version;
  uint32_t flags;
  if (!ReadVersion(r, version, flags)) return Cut("movie header cut short");
  if (version > 1) return Status::Fail(Fault::Unsupported, "movie header version " + std::to_string(version));
  if (!ReadTime(r, version, h.creationTime) || !ReadTime(r, version, h.modificationTime) ||
      !r.ReadU32(h.timeScale) || !ReadTime(r, version, h.duration) || !r.ReadI32(h.preferredRate) ||
      !r.ReadI16(h.preferredVolume) || !r.Skip(10) || !ReadMatrix(r, h.matrix) ||
      !r.ReadU32(h.previewTime) || !r.ReadU32(h.previewDuration) || !r.ReadU32(h.posterTime) ||
      !r.ReadU32(h.selectionTime) || !r.ReadU32(h.selectionDuration) || !r.ReadU32(h.currentTime) ||
      !r.ReadU32(h.nextTrackId))
    return Cut("movie header cut short");
  if (h.timeScale == 0) return Corrupt("movie time scale is 0");
  return {};
}

Status ParseTrackHeader(ByteReader r, TrackHeader& h) {
  uint8_t version;
  if (!ReadVersion(r, version, h.flags)) return Cut("track header cut short");
  if (version > 1) return Status::Fail(Fault::Unsupported, "track header version " + std::to_string(version));
  if (!ReadTime(r, version, h.creationTime) || !ReadTime(r, version, h.modificationTime) ||
      !r.ReadU32(h.id) || !r.Skip(4) || !ReadTime(r, version, h.duration) || !r.Skip(8) ||
      !r.ReadI16(h.layer) || !r.ReadI16(h.alternateGroup) || !r.ReadI16(h.volume) || !r.Skip(2) ||
      !ReadMatrix(r, h.matrix) || !r.ReadI32(h.width) || !r.ReadI32(h.height))
    return Cut("track header cut short");
  return {};
}

Status ParseMediaHeader(ByteReader r, MediaModel& m) {
  uint8_t version;
  uint32_t flags;
  uint64_t duration;
  if (!ReadVersion(r, version, flags)) return Cut("media header cut short");
  if (version > 1) return Status::Fail(Fault::Unsupported, "media header version " + std::to_string(version));
  if (!ReadTime(r, version, m.creationTime) || !ReadTime(r, version, m.modificationTime) ||
      !r.ReadU32(m.timeScale) || !ReadTime(r, version, duration) || !r.ReadU16(m.language) ||
      !r.ReadU16(m.quality))
    return Cut("media header cut short");
  if (m.timeScale == 0) return Corrupt("media time scale is 0");
  return {};
}

// Handler reference: the media's type and the handler's maker and name.
Status ParseHandler(ByteReader r, FourCC& subtype, FourCC& manufacturer, std::string& name) {
  uint8_t version;
  uint32_t flags, componentType, componentFlags, mask;
  if (!ReadVersion(r, version, flags) || !r.ReadU32(componentType) || !r.ReadU32(subtype) ||
      !r.ReadU32(manufacturer) || !r.ReadU32(componentFlags) || !r.ReadU32(mask))
    return Cut("handler reference cut short");
  // The name is a length-prefixed string in movie files, zero-terminated in
  // some others: a first byte that cannot be a length marks the latter.
  name.clear();
  const char* p = reinterpret_cast<const char*>(r.Current());
  size_t n = r.Remaining();
  if (n == 0) return {};
  if (uint8_t(p[0]) <= n - 1) {
    name.assign(p + 1, uint8_t(p[0]));
  } else {
    name.assign(p, std::find(p, p + n, '\0'));
  }
  return {};
}

Status ParseEditList(ByteReader r, std::vector<Edit>& edits) {
  uint8_t version;
  uint32_t flags, count;
  if (!ReadVersion(r, version, flags) || !r.ReadU32(count)) return Cut("edit list cut short");
  if (version > 1) return Status::Fail(Fault::Unsupported, "edit list version " + std::to_string(version));
  size_t entrySize = version == 1 ? 20 : 12;
  if (count > r.Remaining() / entrySize) return Cut("edit list counts more edits than it holds");
  edits.clear();
  edits.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    Edit e;
    if (version == 1) {
      if (!r.ReadU64(e.duration) || !r.ReadI64(e.mediaTime)) return Cut("edit list cut short");
    } else {
      uint32_t d;
      int32_t t;
      if (!r.ReadU32(d) || !r.ReadI32(t)) return Cut("edit list cut short");
      e.duration = d;
      e.mediaTime = t;
    }
    if (!r.ReadI32(e.rate)) return Cut("edit list cut short");
    if (e.mediaTime < -1) return Corrupt("edit " + std::to_string(i + 1) + " starts before its media");
    if (e.duration > (uint64_t(1) << 62)) return Corrupt("edit " + std::to_string(i + 1) + " is too long");
    edits.push_back(e);
  }
  return {};
}

// User data items are atoms: their type names the item, their body is its
// data. Items are not needed to play a movie, so a damaged item ends the
// list instead of failing the movie.
void ParseUserData(ByteReader r, UserDataList& items) {
  bool more = true;
  while (more) {
    FourCC type;
    ByteReader body;
    if (!NextAtom(r, more, type, body).Ok() || !more) return;
    UserDataItem item;
    item.type = type;
    if (!body.ReadBytes(body.Remaining(), item.data)) return;
    items.push_back(std::move(item));
  }
}

struct DataRefs {
  bool present = false;
  std::vector<bool> self;  // per entry: the data is in the movie's own file
};

Status ParseDataInfo(ByteReader r, DataRefs& refs) {
  bool more = true;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more || type != Tag("dref")) continue;
    uint8_t version;
    uint32_t flags, count;
    if (!ReadVersion(body, version, flags) || !body.ReadU32(count)) return Cut("data references cut short");
    if (count > body.Remaining() / 12) return Cut("data references count more than they hold");
    refs.present = true;
    refs.self.clear();
    for (uint32_t i = 0; i < count; ++i) {
      bool entryMore;
      FourCC entryType;
      ByteReader entry;
      s = NextAtom(body, entryMore, entryType, entry);
      if (!s.Ok()) return s;
      if (!entryMore) return Cut("data references count more than they hold");
      uint32_t entryFlags = 0;
      if (!entry.ReadU32(entryFlags)) return Cut("data reference cut short");
      refs.self.push_back((entryFlags & 1) != 0);
    }
  }
  return {};
}

Status ParseDescriptions(ByteReader r, std::vector<SampleDescription>& out) {
  uint8_t version;
  uint32_t flags, count;
  if (!ReadVersion(r, version, flags) || !r.ReadU32(count)) return Cut("sample descriptions cut short");
  if (count > r.Remaining() / 16) return Cut("sample descriptions count more than they hold");
  out.clear();
  for (uint32_t i = 0; i < count; ++i) {
    ByteReader peek = r;
    uint32_t size, format;
    if (!peek.ReadU32(size) || !peek.ReadU32(format)) return Cut("sample description cut short");
    if (size < 16) return Corrupt("sample description " + std::to_string(i + 1) + " is too small");
    SampleDescription d;
    d.format = format;
    if (!r.ReadBytes(size, d.entry)) return Cut("sample description " + std::to_string(i + 1) + " passes its table's end");
    out.push_back(std::move(d));
  }
  return {};
}

struct RawChunkRun {
  uint32_t firstChunk, samplesPerChunk, description;
};

Status ParseSampleTable(ByteReader r, MediaModel& media, const DataRefs& refs, uint64_t fileSize) {
  SampleTable& t = media.samples;
  bool haveDescriptions = false, haveTimes = false, haveRuns = false, haveSizes = false, haveOffsets = false;
  std::vector<RawChunkRun> runs;
  std::vector<uint64_t> offsets;
  bool more = true;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more) break;
    uint8_t version;
    uint32_t flags, count = 0;
    if (type == Tag("stsd")) {
      s = ParseDescriptions(body, t.descriptions);
      if (!s.Ok()) return s;
      haveDescriptions = true;
      continue;
    }
    if (type == Tag("stts") || type == Tag("stsc") || type == Tag("stco") || type == Tag("co64") ||
        type == Tag("stss")) {
      if (!ReadVersion(body, version, flags) || !body.ReadU32(count))
        return Cut("table '" + TagText(type) + "' cut short");
    }
    if (type == Tag("stts")) {
      if (count > body.Remaining() / 8) return Cut("time-to-sample table counts more than it holds");
      t.times.resize(count);
      for (SampleTable::TimeRun& run : t.times)
        if (!body.ReadU32(run.count) || !body.ReadU32(run.duration)) return Cut("time-to-sample table cut short");
      haveTimes = true;
    } else if (type == Tag("stsc")) {
      if (count > body.Remaining() / 12) return Cut("sample-to-chunk table counts more than it holds");
      runs.resize(count);
      for (RawChunkRun& run : runs)
        if (!body.ReadU32(run.firstChunk) || !body.ReadU32(run.samplesPerChunk) || !body.ReadU32(run.description))
          return Cut("sample-to-chunk table cut short");
      haveRuns = true;
    } else if (type == Tag("stsz")) {
      if (!ReadVersion(body, version, flags) || !body.ReadU32(t.constantSize) || !body.ReadU32(t.sampleCount))
        return Cut("sample size table cut short");
      if (t.constantSize == 0) {
        if (t.sampleCount > body.Remaining() / 4) return Cut("sample size table counts more than it holds");
        t.sizes.resize(t.sampleCount);
        for (uint32_t& size : t.sizes)
          if (!body.ReadU32(size)) return Cut("sample size table cut short");
      }
      haveSizes = true;
    } else if (type == Tag("stco") || type == Tag("co64")) {
      size_t entry = type == Tag("co64") ? 8 : 4;
      if (count > body.Remaining() / entry) return Cut("chunk offset table counts more than it holds");
      offsets.resize(count);
      for (uint64_t& offset : offsets) {
        if (entry == 8) {
          if (!body.ReadU64(offset)) return Cut("chunk offset table cut short");
        } else {
          uint32_t o;
          if (!body.ReadU32(o)) return Cut("chunk offset table cut short");
          offset = o;
        }
      }
      haveOffsets = true;
    } else if (type == Tag("stss")) {
      if (count > body.Remaining() / 4) return Cut("sync sample table counts more than it holds");
      t.allSync = false;
      t.syncSamples.resize(count);
      for (uint32_t& s32 : t.syncSamples)
        if (!body.ReadU32(s32)) return Cut("sync sample table cut short");
    }
  }
  if (!haveDescriptions || !haveTimes || !haveRuns || !haveSizes || !haveOffsets)
    return Corrupt("sample table lacks one of its tables");

  // Spread the sample-to-chunk runs over the chunks.
  t.chunks.assign(offsets.size(), SampleTable::Chunk());
  for (size_t i = 0; i < offsets.size(); ++i) t.chunks[i].offset = offsets[i];
  for (size_t i = 0; i < runs.size(); ++i) {
    const RawChunkRun& run = runs[i];
    uint64_t first = run.firstChunk;
    uint64_t next = i + 1 < runs.size() ? runs[i + 1].firstChunk : uint64_t(offsets.size()) + 1;
    if (first == 0 || (i == 0 && first != 1) || next <= first)
      return Corrupt("sample-to-chunk runs out of order");
    if (first > offsets.size()) return Corrupt("sample-to-chunk run past the last chunk");
    if (next > offsets.size() + 1) next = offsets.size() + 1;
    if (run.samplesPerChunk == 0) return Corrupt("sample-to-chunk run with empty chunks");
    for (uint64_t c = first; c < next; ++c) {
      t.chunks[c - 1].sampleCount = run.samplesPerChunk;
      t.chunks[c - 1].description = run.description;
    }
  }
  if (runs.empty() && !offsets.empty()) return Corrupt("chunks without a sample-to-chunk table");

  Status s = t.Index(media.type);
  if (!s.Ok()) return s;

  // Which file holds the samples.
  media.selfContained = true;
  if (refs.present) {
    for (const SampleDescription& d : t.descriptions) {
      uint16_t index = d.DataRefIndex();
      if (index == 0 || index > refs.self.size()) return Corrupt("sample description names a missing data reference");
      if (!refs.self[index - 1]) media.selfContained = false;
    }
  }
  if (media.selfContained) return t.CheckInside(fileSize);
  return {};
}

Status ParseMediaInfo(ByteReader r, MediaModel& media, uint64_t fileSize) {
  bool more = true, haveTable = false;
  DataRefs refs;
  ByteReader table;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more) break;
    if (type == Tag("vmhd") || type == Tag("smhd") || type == Tag("gmhd") || type == Tag("nmhd")) {
      ByteWriter w;
      size_t a = w.BeginAtom(type);
      w.Bytes(body.Current(), body.Remaining());
      w.EndAtom(a);
      media.infoHeader = std::move(w.Data());
    } else if (type == Tag("dinf")) {
      s = ParseDataInfo(body, refs);
      if (!s.Ok()) return s;
    } else if (type == Tag("stbl") && !haveTable) {
      table = body;
      haveTable = true;
    }
  }
  if (!haveTable) return Corrupt("media has no sample table");
  return ParseSampleTable(table, media, refs, fileSize);
}

Status ParseMedia(ByteReader r, MediaModel& media, uint64_t fileSize) {
  bool more = true, haveHeader = false, haveHandler = false, haveInfo = false;
  ByteReader info;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more) break;
    if (type == Tag("mdhd") && !haveHeader) {
      s = ParseMediaHeader(body, media);
      haveHeader = true;
    } else if (type == Tag("hdlr") && !haveHandler) {
      s = ParseHandler(body, media.type, media.manufacturer, media.handlerName);
      haveHandler = true;
    } else if (type == Tag("minf") && !haveInfo) {
      info = body;
      haveInfo = true;
    }
    if (!s.Ok()) return s;
  }
  if (!haveHeader) return Corrupt("media has no header");
  if (!haveHandler) return Corrupt("media has no handler reference");
  if (!haveInfo) return Corrupt("media has no media information");
  // The handler decides how sound chunks are measured, so it is read first.
  return ParseMediaInfo(info, media, fileSize);
}

Status ParseTrack(ByteReader r, TrackModel& track, uint64_t fileSize) {
  bool more = true, haveHeader = false;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more) break;
    if (type == Tag("tkhd") && !haveHeader) {
      s = ParseTrackHeader(body, track.header);
      haveHeader = true;
    } else if (type == Tag("mdia") && !track.hasMedia) {
      s = ParseMedia(body, track.media, fileSize);
      track.hasMedia = true;
    } else if (type == Tag("edts")) {
      bool editMore = true;
      while (editMore && s.Ok()) {
        FourCC editType;
        ByteReader editBody;
        s = NextAtom(body, editMore, editType, editBody);
        if (s.Ok() && editMore && editType == Tag("elst") && !track.hasEditList) {
          s = ParseEditList(editBody, track.edits);
          track.hasEditList = true;
        }
      }
    } else if (type == Tag("udta")) {
      ParseUserData(body, track.userData);
    }
    if (!s.Ok()) return s;
  }
  if (!haveHeader) return Corrupt("track has no header");
  if (!track.hasMedia) return Corrupt("track has no media");
  return {};
}

Status ParseCompressedMovie(ByteReader r, uint64_t fileSize, MovieModel& movie) {
  bool more = true;
  FourCC method = 0;
  ByteReader data;
  bool haveData = false;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more) break;
    if (type == Tag("dcom")) {
      if (!body.ReadU32(method)) return Cut("compression method cut short");
    } else if (type == Tag("cmvd")) {
      data = body;
      haveData = true;
    }
  }
  if (method != Tag("zlib")) return Status::Fail(Fault::Unsupported, "movie header compressed with '" + TagText(method) + "'");
  if (!haveData) return Corrupt("compressed movie header has no data");
  uint32_t expanded;
  if (!data.ReadU32(expanded)) return Cut("compressed movie header cut short");
  if (expanded > kMaxMovieAtomSize) return Status::Fail(Fault::Unsupported, "compressed movie header too large");
  std::vector<uint8_t> bytes;
  Status s = Inflate(data.Current(), data.Remaining(), expanded, bytes);
  if (!s.Ok()) return s;
  ByteReader inner(bytes);
  bool innerMore;
  FourCC type;
  ByteReader body;
  s = NextAtom(inner, innerMore, type, body);
  if (!s.Ok()) return s;
  if (!innerMore || type != Tag("moov")) return Corrupt("compressed movie header holds no movie");
  // A compressed movie inside a compressed movie would let one file expand without end.
  ByteReader check = body;
  bool childMore = true;
  while (childMore) {
    FourCC childType;
    ByteReader childBody;
    s = NextAtom(check, childMore, childType, childBody);
    if (!s.Ok()) return s;
    if (childMore && childType == Tag("cmov")) return Corrupt("compressed movie header inside another");
  }
  s = ParseMovieAtom(body, fileSize, movie);
  movie.compressedHeader = true;
  return s;
}

}  // namespace

Status NextAtom(ByteReader& list, bool& more, FourCC& type, ByteReader& body) {
  more = false;
  if (list.Remaining() == 0) return {};
  if (list.Remaining() < 8) {
    for (const uint8_t* p = list.Current(); p != list.Current() + list.Remaining(); ++p)
      if (*p != 0) return Cut("atom header cut short");
    return {};
  }
  uint32_t size32;
  if (!list.ReadU32(size32) || !list.ReadU32(type)) return Cut("atom header cut short");
  uint64_t size = size32, header = 8;
  if (size32 == 1) {
    if (!list.ReadU64(size)) return Cut("atom '" + TagText(type) + "' 64-bit size cut short");
    header = 16;
  } else if (size32 == 0) {
    return Corrupt("atom '" + TagText(type) + "' has size 0");
  }
  if (size < header) return Corrupt("atom '" + TagText(type) + "' smaller than its header");
  if (size - header > list.Remaining()) return Cut("atom '" + TagText(type) + "' passes its parent's end");
  if (!list.Sub(size_t(size - header), body)) return Cut("atom '" + TagText(type) + "' passes its parent's end");
  more = true;
  return {};
}

Status ParseMovieAtom(ByteReader r, uint64_t fileSize, MovieModel& movie) {
  movie = MovieModel();
  bool more = true, haveHeader = false;
  while (more) {
    FourCC type;
    ByteReader body;
    Status s = NextAtom(r, more, type, body);
    if (!s.Ok()) return s;
    if (!more) break;
    if (type == Tag("cmov")) return ParseCompressedMovie(body, fileSize, movie);
    if (type == Tag("mvhd") && !haveHeader) {
      s = ParseMovieHeader(body, movie.header);
      haveHeader = true;
    } else if (type == Tag("trak")) {
      movie.tracks.emplace_back();
      s = ParseTrack(body, movie.tracks.back(), fileSize);
      if (!s.Ok()) s.what = "track " + std::to_string(movie.tracks.size()) + ": " + s.what;
    } else if (type == Tag("udta")) {
      ParseUserData(body, movie.userData);
    }
    if (!s.Ok()) return s;
  }
  if (!haveHeader) return Corrupt("movie has no header");
  return {};
}

Status ReadMovie(DataSource& source, MovieModel& movie, FileFacts& facts) {
  facts = FileFacts();
  facts.fileSize = source.Size();
  uint64_t end = source.Size();
  uint64_t offset = 0;
  bool found = false;
  uint64_t movieOffset = 0, movieBody = 0, movieSize = 0;
  // Every atom moves the walk forward by at least its header, so it ends.
  while (offset < end) {
    uint8_t head[16];
    if (end - offset < 8) return Cut("atom header cut short at offset " + std::to_string(offset));
    Status s = source.ReadAt(offset, 8, head);
    if (!s.Ok()) return s;
    ByteReader r(head, 8);
    uint32_t size32 = 0;
    FourCC type = 0;
    if (!r.ReadU32(size32) || !r.ReadU32(type)) return Cut("atom header cut short");
    uint64_t size = size32, header = 8;
    if (size32 == 1) {
      if (end - offset < 16) return Cut("atom '" + TagText(type) + "' 64-bit size cut short");
      s = source.ReadAt(offset + 8, 8, head + 8);
      if (!s.Ok()) return s;
      ByteReader r64(head + 8, 8);
      if (!r64.ReadU64(size)) return Cut("atom header cut short");
      header = 16;
    } else if (size32 == 0) {
      size = end - offset;  // the last atom of a file may run to its end
    }
    if (size < header) return Corrupt("atom '" + TagText(type) + "' smaller than its header at offset " + std::to_string(offset));
    if (size > end - offset) return Cut("atom '" + TagText(type) + "' passes the end of the file");
    if (type == Tag("moov") && !found) {
      found = true;
      movieOffset = offset;
      movieBody = offset + header;
      movieSize = size - header;
    } else if (type == Tag("udta") && size - header >= 4) {
      uint8_t word[4];
      s = source.ReadAt(offset + header, 4, word);
      if (!s.Ok()) return s;
      if (word[0] == 'f' && word[1] == 'l' && word[2] == 'm' && word[3] == '_') facts.filmBlock = true;
    }
    offset += size;
  }
  if (!found) return Status::Fail(Fault::NoMovie, "no movie in the file");
  if (movieSize > kMaxMovieAtomSize) return Status::Fail(Fault::Unsupported, "movie atom too large");
  facts.movieOffset = movieOffset;
  std::vector<uint8_t> bytes(static_cast<size_t>(movieSize));
  Status s = source.ReadAt(movieBody, bytes.size(), bytes.data());
  if (!s.Ok()) return s;
  return ParseMovieAtom(ByteReader(bytes), end, movie);
}

Status ReadMovieFile(const std::string& path, MovieModel& movie, FileFacts& facts) {
  File file;
  Status s = file.Open(path, File::Mode::Read);
  if (!s.Ok()) return s;
  return ReadMovie(file, movie, facts);
}

}  // namespace qtf
