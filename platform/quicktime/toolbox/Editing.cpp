// Making movie files, tracks and media, copying track segments between
// movies, and writing the movie into its file.
#include "File.h"
#include "MovieWriter.h"
#include "Toolbox.h"

#include <algorithm>

using qtb::Guard;
using qtb::SetError;
using qtb::Toolbox;

namespace {

constexpr uint32_t kRateOne = 0x10000;

// Media time that a stretch of track time covers at an edit's rate.
uint64_t MediaAdvance(uint64_t trackTime, uint32_t movieScale, uint32_t mediaScale, int32_t rate) {
  if (rate <= 0) return 0;
  return qtf::MulDiv(qtf::MulDiv(trackTime, mediaScale, movieScale), uint32_t(rate), kRateOne);
}

// Appends the chunks [first, last) of one media's file to another's, as one
// 'mdat' atom, and gives their new offsets. On failure the target is cut
// back to its old end.
qtf::Status CopyChunks(qtb::DataFile& from, qtb::DataFile& to, const qtf::SampleTable& table,
                       size_t first, size_t last, std::vector<uint64_t>& offsets) {
  uint64_t total = 0;
  for (size_t c = first; c < last; ++c) total += table.chunks[c].bytes;
  offsets.clear();
  if (first == last) return {};
  qtf::Status s = qtb::CheckStamp(from);
  if (!s.Ok()) return s;
  s = qtb::CheckStamp(to);
  if (!s.Ok()) return s;

  qtf::File in, out;
  s = in.Open(from.path, qtf::File::Mode::Read);
  if (!s.Ok()) return s;
  s = out.Open(to.path, qtf::File::Mode::Update);
  if (!s.Ok()) return s;
  const uint64_t start = out.Size();
  std::vector<uint8_t> header = qtf::AtomHeader(qtf::Tag("mdat"), qtf::AtomHeaderSize(total) + total);
  s = out.WriteAt(start, header.data(), header.size());
  uint64_t pos = start + header.size();
  std::vector<uint8_t> buffer(64 * 1024);
  for (size_t c = first; c < last && s.Ok(); ++c) {
    const qtf::SampleTable::Chunk& chunk = table.chunks[c];
    offsets.push_back(pos);
    for (uint64_t done = 0; done < chunk.bytes && s.Ok();) {
      size_t n = size_t(std::min<uint64_t>(buffer.size(), chunk.bytes - done));
      s = in.ReadAt(chunk.offset + done, n, buffer.data());
      if (s.Ok()) s = out.WriteAt(pos, buffer.data(), n);
      done += n;
      pos += n;
    }
  }
  qtf::Status closed = out.Close();
  if (s.Ok()) s = closed;
  if (!s.Ok()) qtb::TruncateFile(to.path, start);
  qtb::StampFile(to.path, to.stamp);
  return s;
}

// True when every sample duration of [first, last) converts between the
// scales without rounding.
bool ConvertsExactly(const qtf::SampleTable& t, uint32_t first, uint32_t last, uint32_t from, uint32_t to) {
  uint64_t sample = 0;
  for (const qtf::SampleTable::TimeRun& run : t.times) {
    uint64_t end = sample + run.count;
    if (end > first && sample < last && (uint64_t(run.duration) * to) % from != 0) return false;
    sample = end;
  }
  return true;
}

// The durations of [first, last) in the new time scale, as runs. Sample
// starts are converted from their exact times, so rounding never adds up.
bool ConvertDurations(const qtf::SampleTable& t, uint32_t first, uint32_t last, uint32_t from, uint32_t to,
                      std::vector<qtf::SampleTable::TimeRun>& runs) {
  runs.clear();
  auto add = [&runs](uint32_t count, uint32_t duration) {
    if (!runs.empty() && runs.back().duration == duration && uint64_t(runs.back().count) + count <= 0xFFFFFFFFu) {
      runs.back().count += count;
    } else {
      runs.push_back({count, duration});
    }
  };
  const uint64_t base = t.SampleTime(first);
  if (ConvertsExactly(t, first, last, from, to)) {
    uint64_t sample = 0;
    for (const qtf::SampleTable::TimeRun& run : t.times) {
      uint64_t lo = std::max<uint64_t>(sample, first), hi = std::min<uint64_t>(sample + run.count, last);
      if (lo < hi) {
        uint64_t d = uint64_t(run.duration) * to / from;
        if (d > 0xFFFFFFFFu) return false;
        add(uint32_t(hi - lo), uint32_t(d));
      }
      sample += run.count;
    }
    return true;
  }
  uint64_t previous = 0;
  for (uint32_t s = first; s < last; ++s) {
    uint64_t end = qtf::MulDiv(t.SampleTime(s) + t.SampleDuration(s) - base, to, from);
    uint64_t d = end - previous;
    if (d == 0 || d > 0xFFFFFFFFu) return false;
    add(1, uint32_t(d));
    previous = end;
  }
  return true;
}

// Puts edits into a track's edit list at a track time, splitting the edit
// that time falls in; a time past the end is reached with an empty edit.
std::vector<qtf::Edit> InsertEdits(const std::vector<qtf::Edit>& edits, uint64_t at,
                                   const std::vector<qtf::Edit>& inserted, uint32_t movieScale, uint32_t mediaScale) {
  std::vector<qtf::Edit> out;
  uint64_t pos = 0;
  bool done = false;
  for (const qtf::Edit& e : edits) {
    if (!done && at <= pos) {
      out.insert(out.end(), inserted.begin(), inserted.end());
      done = true;
    }
    if (!done && at < pos + e.duration) {
      qtf::Edit head = e, tail = e;
      head.duration = at - pos;
      tail.duration = e.duration - head.duration;
      if (e.mediaTime >= 0)
        tail.mediaTime = e.mediaTime + int64_t(MediaAdvance(head.duration, movieScale, mediaScale, e.rate));
      out.push_back(head);
      out.insert(out.end(), inserted.begin(), inserted.end());
      out.push_back(tail);
      done = true;
    } else {
      out.push_back(e);
    }
    pos += e.duration;
  }
  if (!done) {
    if (at > pos) out.push_back(qtf::Edit{at - pos, -1, int32_t(kRateOne)});
    out.insert(out.end(), inserted.begin(), inserted.end());
  }
  return out;
}

OSErr InsertSegment(TrackRecord* src, TrackRecord* dst, uint64_t srcIn, uint64_t srcDuration, uint64_t dstIn) {
  if (!src->media || !dst->media) return invalidMedia;
  MediaRecord* sm = src->media.get();
  MediaRecord* dm = dst->media.get();
  qtf::MediaModel& sModel = sm->Model();
  qtf::MediaModel& dModel = dm->Model();
  if (sModel.type != dModel.type) return mediaTypesDontMatch;
  if (!dm->editing || !dm->writable || !dm->data) return dataNotOpenForWrite;
  const uint32_t ms = src->movie->header.timeScale, md = dst->movie->header.timeScale;
  const uint32_t ss = sModel.timeScale;
  const qtf::SampleTable& st = sModel.samples;
  qtf::SampleTable& dt = dModel.samples;

  uint64_t srcTotal = qtf::TrackDuration(src->model, ms);
  if (srcIn > srcTotal) return invalidTime;
  uint64_t srcEnd = srcIn + std::min(srcDuration, srcTotal - srcIn);
  if (srcEnd == srcIn) return noErr;

  // The source's edits within the segment.
  std::vector<qtf::Edit> pieces;
  uint64_t pos = 0;
  for (const qtf::Edit& e : qtf::EffectiveEdits(src->model, ms)) {
    uint64_t lo = std::max(pos, srcIn), hi = std::min(pos + e.duration, srcEnd);
    if (lo < hi) {
      qtf::Edit p = e;
      p.duration = hi - lo;
      if (e.mediaTime >= 0) p.mediaTime = e.mediaTime + int64_t(MediaAdvance(lo - pos, ms, ss, e.rate));
      pieces.push_back(p);
    }
    pos += e.duration;
  }

  // The chunks that hold the media those edits show. Whole chunks are
  // copied: sound packets are never cut.
  uint64_t mediaLo = UINT64_MAX, mediaHi = 0;
  for (const qtf::Edit& p : pieces) {
    if (p.mediaTime < 0) continue;
    uint64_t len = std::max<uint64_t>(MediaAdvance(p.duration, ms, ss, p.rate), 1);
    mediaLo = std::min(mediaLo, uint64_t(p.mediaTime));
    mediaHi = std::max(mediaHi, uint64_t(p.mediaTime) + len);
  }
  size_t c0 = 0, c1 = 0;
  uint32_t firstSample = 0, lastSample = 0, sLo, sHi;
  if (mediaLo < mediaHi && st.SampleAtTime(mediaLo, sLo)) {
    if (!st.SampleAtTime(std::min(mediaHi, st.Duration()) - 1, sHi)) sHi = st.sampleCount - 1;
    c0 = st.ChunkOfSample(sLo);
    c1 = size_t(st.ChunkOfSample(sHi)) + 1;
    firstSample = uint32_t(st.chunks[c0].firstSample);
    lastSample = uint32_t(st.chunks[c1 - 1].firstSample + st.chunks[c1 - 1].sampleCount);
  }
  if (c0 < c1 && !sm->data) return invalidDataRef;

  // Sample durations that the destination's time scale cannot hold exactly
  // make an empty destination take the source's scale instead.
  if (dt.sampleCount == 0 && dModel.timeScale != ss && !ConvertsExactly(st, firstSample, lastSample, ss, dModel.timeScale))
    dModel.timeScale = ss;
  const uint32_t sd = dModel.timeScale;
  std::vector<qtf::SampleTable::TimeRun> runs;
  if (!ConvertDurations(st, firstSample, lastSample, ss, sd, runs)) return invalidDuration;
  if (uint64_t(dt.sampleCount) + (lastSample - firstSample) > 0xFFFFFFFFu) return invalidDuration;
  bool sameSizes = dt.sampleCount == 0 || dt.constantSize == st.constantSize;
  if (!sameSizes && (dt.CountsFrames() || st.CountsFrames())) return featureUnsupported;

  const uint64_t srcBase = st.SampleTime(firstSample);
  const uint64_t dstBase = dt.Duration();
  auto toDst = [&](int64_t t) -> int64_t {
    if (t < 0) return -1;
    uint64_t rel = uint64_t(t) > srcBase ? uint64_t(t) - srcBase : 0;
    return int64_t(dstBase + qtf::MulDiv(rel, sd, ss));
  };
  std::vector<qtf::Edit> dstEdits = qtf::EffectiveEdits(dst->model, md);

  std::vector<uint64_t> offsets;
  qtf::Status s = CopyChunks(*sm->data, *dm->data, st, c0, c1, offsets);
  if (!s.Ok()) return qtb::ErrorFor(s);

  // The samples join the destination's tables.
  const uint32_t oldCount = dt.sampleCount;
  const uint32_t added = lastSample - firstSample;
  if (oldCount == 0) {
    dt.constantSize = st.constantSize;
    dt.sizes.clear();
  } else if (dt.constantSize != st.constantSize && dt.constantSize != 0) {
    dt.sizes.assign(oldCount, dt.constantSize);
    dt.constantSize = 0;
  }
  if (dt.constantSize == 0) {
    for (uint32_t i = firstSample; i < lastSample; ++i)
      dt.sizes.push_back(st.constantSize ? st.constantSize : st.sizes[i]);
  }
  std::vector<uint32_t> descriptionMap(st.descriptions.size());
  for (size_t i = 0; i < st.descriptions.size(); ++i) {
    auto same = std::find_if(dt.descriptions.begin(), dt.descriptions.end(),
                             [&](const qtf::SampleDescription& d) { return d.entry == st.descriptions[i].entry; });
    if (same == dt.descriptions.end()) {
      dt.descriptions.push_back(st.descriptions[i]);
      same = dt.descriptions.end() - 1;
    }
    descriptionMap[i] = uint32_t(same - dt.descriptions.begin()) + 1;
  }
  for (size_t c = c0; c < c1; ++c) {
    qtf::SampleTable::Chunk chunk;
    chunk.offset = offsets[c - c0];
    chunk.sampleCount = st.chunks[c].sampleCount;
    chunk.description = descriptionMap[st.chunks[c].description - 1];
    dt.chunks.push_back(chunk);
  }
  dt.times.insert(dt.times.end(), runs.begin(), runs.end());
  if (oldCount == 0) {
    dt.allSync = st.allSync;
    dt.syncSamples.clear();
  }
  if (!(dt.allSync && st.allSync)) {
    if (dt.allSync) {
      dt.syncSamples.clear();
      for (uint32_t i = 1; i <= oldCount; ++i) dt.syncSamples.push_back(i);
      dt.allSync = false;
    }
    for (uint32_t i = firstSample; i < lastSample; ++i)
      if (st.IsSync(i)) dt.syncSamples.push_back(oldCount + (i - firstSample) + 1);
  }
  dt.sampleCount = oldCount + added;
  s = dt.Index(dModel.type);
  if (!s.Ok()) return invalidMedia;

  std::vector<qtf::Edit> inserted;
  for (const qtf::Edit& p : pieces) {
    qtf::Edit e = p;
    e.duration = qtf::MulDiv(p.duration, md, ms);
    e.mediaTime = toDst(p.mediaTime);
    if (e.duration > 0) inserted.push_back(e);
  }
  dst->model.edits = InsertEdits(dstEdits, dstIn, inserted, md, sd);
  dst->model.hasEditList = true;
  return noErr;
}

}  // namespace

OSErr CreateMovieFile(const FSSpec* fileSpec, OSType, int16_t, int32_t createMovieFileFlags, int16_t* resRefNum,
                      Movie* newMovie) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    if (resRefNum) *resRefNum = 0;
    if (newMovie) *newMovie = nullptr;
    if (!tb.moviesReady) return SetError(movieToolboxUninitialized);
    std::string path = qtb::SpecPath(fileSpec);
    if (path.empty()) return SetError(bdNamErr);
    bool open = !(createMovieFileFlags & createMovieFileDontOpenFile);
    bool makeMovie = !(createMovieFileFlags & createMovieFileDontCreateMovie);
    if ((open && !resRefNum) || (makeMovie && !newMovie)) return SetError(paramErr);
    int16_t number = open ? tb.NewFileNumber() : 0;
    if (open && number == 0) return SetError(tmfoErr);

    if (qtb::FileExists(path)) {
      if (!(createMovieFileFlags & createMovieFileDeleteCurFile)) return SetError(dupFNErr);
      if (!qtb::RemoveFile(path)) return SetError(permErr);
    }
    // The file starts empty; media data and then the movie are appended.
    qtf::File file;
    qtf::Status s = file.Open(path, qtf::File::Mode::Create);
    if (s.Ok()) s = file.Close();
    if (!s.Ok()) return SetError(s.fault == qtf::Fault::Missing ? fnfErr : ioErr);
    auto data = std::make_shared<qtb::DataFile>();
    data->path = path;
    if (!qtb::StampFile(path, data->stamp)) return SetError(ioErr);

    if (open) {
      tb.files[number] = qtb::MovieFile{path, true};
      *resRefNum = number;
    }
    if (makeMovie) {
      auto movie = std::make_unique<MovieRecord>();
      movie->file = data;
      movie->fileWritable = true;
      movie->active = true;
      *newMovie = tb.AddMovie(std::move(movie));
    }
    return SetError(noErr);
  });
}

OSErr CopyMovieSettings(Movie srcMovie, Movie dstMovie) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    MovieRecord* src = tb.LiveMovie(srcMovie);
    MovieRecord* dst = tb.LiveMovie(dstMovie);
    if (!src || !dst) return SetError(invalidMovie);
    // Tracks already in the destination keep their length in seconds.
    if (dst->header.timeScale != src->header.timeScale) {
      for (auto& t : dst->tracks)
        for (qtf::Edit& e : t->model.edits) e.duration = qtf::MulDiv(e.duration, src->header.timeScale, dst->header.timeScale);
    }
    qtf::MovieHeader& d = dst->header;
    const qtf::MovieHeader& s = src->header;
    d.timeScale = s.timeScale;
    d.preferredRate = s.preferredRate;
    d.preferredVolume = s.preferredVolume;
    d.matrix = s.matrix;
    d.previewTime = s.previewTime;
    d.previewDuration = s.previewDuration;
    d.posterTime = s.posterTime;
    d.selectionTime = s.selectionTime;
    d.selectionDuration = s.selectionDuration;
    dst->userData = src->userData;
    return SetError(noErr);
  });
}

Track NewMovieTrack(Movie theMovie, Fixed width, Fixed height, int16_t trackVolume) {
  return Guard<Track>(nullptr, [&]() -> Track {
    Toolbox& tb = Toolbox::Get();
    MovieRecord* m = tb.LiveMovie(theMovie);
    if (!m) {
      SetError(invalidMovie);
      return nullptr;
    }
    uint32_t id = std::max<uint32_t>(m->header.nextTrackId, 1);
    for (const auto& t : m->tracks) id = std::max(id, t->model.header.id + 1);
    if (id == 0) {
      SetError(invalidTrack);
      return nullptr;
    }
    auto track = std::make_unique<TrackRecord>();
    track->model.header.id = id;
    track->model.header.width = width;
    track->model.header.height = height;
    track->model.header.volume = trackVolume;
    m->header.nextTrackId = id + 1;
    SetError(noErr);
    return tb.AddTrack(m, std::move(track));
  });
}

Media NewTrackMedia(Track theTrack, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType) {
  return Guard<Media>(nullptr, [&]() -> Media {
    Toolbox& tb = Toolbox::Get();
    TrackRecord* t = tb.LiveTrack(theTrack);
    if (!t) {
      SetError(invalidTrack);
      return nullptr;
    }
    if (t->media || timeScale <= 0) {
      SetError(paramErr);
      return nullptr;
    }
    // Samples go into the movie's own file; other data references are not kept.
    if (dataRef) {
      SetError(featureUnsupported);
      return nullptr;
    }
    if (!t->movie->file) {
      SetError(invalidDataRef);
      return nullptr;
    }
    t->model.media = qtf::MediaModel();
    t->model.media.type = mediaType;
    t->model.media.timeScale = uint32_t(timeScale);
    t->model.media.handlerName = qtf::DefaultHandlerName(mediaType);
    t->model.media.samples.Index(mediaType);
    auto media = std::make_unique<MediaRecord>();
    media->data = t->movie->file;
    media->writable = t->movie->fileWritable;
    SetError(noErr);
    return tb.AttachMedia(t, std::move(media));
  });
}

OSErr BeginMediaEdits(Media theMedia) {
  MediaRecord* m = Toolbox::Get().LiveMedia(theMedia);
  if (!m) return SetError(invalidMedia);
  // Media read from a film are never written to.
  if (!m->writable) return SetError(wrPermErr);
  m->editing = true;
  return SetError(noErr);
}

OSErr EndMediaEdits(Media theMedia) {
  MediaRecord* m = Toolbox::Get().LiveMedia(theMedia);
  if (!m) return SetError(invalidMedia);
  m->editing = false;
  return SetError(noErr);
}

OSErr CopyTrackSettings(Track srcTrack, Track dstTrack) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    TrackRecord* src = tb.LiveTrack(srcTrack);
    TrackRecord* dst = tb.LiveTrack(dstTrack);
    if (!src || !dst) return SetError(invalidTrack);
    qtf::TrackHeader& d = dst->model.header;
    const qtf::TrackHeader& s = src->model.header;
    d.matrix = s.matrix;
    d.layer = s.layer;
    d.alternateGroup = s.alternateGroup;
    d.volume = s.volume;
    dst->model.userData = src->model.userData;
    if (src->media && dst->media && src->model.media.type == dst->model.media.type) {
      dst->model.media.infoHeader = src->model.media.infoHeader;
      dst->model.media.language = src->model.media.language;
      dst->model.media.quality = src->model.media.quality;
    }
    return SetError(noErr);
  });
}

OSErr InsertTrackSegment(Track srcTrack, Track dstTrack, TimeValue srcIn, TimeValue srcDuration, TimeValue dstIn) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    TrackRecord* src = tb.LiveTrack(srcTrack);
    TrackRecord* dst = tb.LiveTrack(dstTrack);
    if (!src || !dst || src == dst) return SetError(invalidTrack);
    if (srcIn < 0 || dstIn < 0) return SetError(invalidTime);
    if (srcDuration < 0) return SetError(invalidDuration);
    return SetError(InsertSegment(src, dst, uint64_t(srcIn), uint64_t(srcDuration), uint64_t(dstIn)));
  });
}

OSErr AddMovieResource(Movie theMovie, int16_t resRefNum, int16_t* resId, ConstStr255Param) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    MovieRecord* m = tb.LiveMovie(theMovie);
    if (!m) return SetError(invalidMovie);
    auto entry = tb.files.find(resRefNum);
    if (entry == tb.files.end()) return SetError(rfNumErr);
    if (!entry->second.writable) return SetError(wrPermErr);
    const std::string path = entry->second.path;

    // Every sample must be in the file the movie goes to.
    std::vector<const qtf::TrackModel*> tracks;
    for (const auto& t : m->tracks) {
      if (!t->media) continue;
      if (t->model.media.samples.sampleCount > 0 && (!t->media->data || t->media->data->path != path))
        return SetError(invalidDataRef);
      tracks.push_back(&t->model);
    }
    std::vector<uint8_t> atom = qtf::BuildMovieAtom(m->header, tracks, m->userData);

    std::shared_ptr<qtb::DataFile> data = m->file && m->file->path == path ? m->file : nullptr;
    if (data) {
      qtf::Status s = qtb::CheckStamp(*data);
      if (!s.Ok()) return SetError(qtb::ErrorFor(s));
    }
    qtf::File file;
    qtf::Status s = file.Open(path, qtf::File::Mode::Update);
    if (!s.Ok()) return SetError(s.fault == qtf::Fault::Missing ? fnfErr : permErr);
    uint64_t start = file.Size();
    s = file.WriteAt(start, atom.data(), atom.size());
    qtf::Status closed = file.Close();
    if (s.Ok()) s = closed;
    if (!s.Ok()) qtb::TruncateFile(path, start);
    if (data) qtb::StampFile(path, data->stamp);
    if (!s.Ok()) return SetError(s.fault == qtf::Fault::Missing ? fnfErr : ioErr);
    if (resId) *resId = movieInDataForkResID;
    return SetError(noErr);
  });
}
