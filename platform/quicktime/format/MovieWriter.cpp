#include "MovieWriter.h"

#include <algorithm>

namespace qtf {

namespace {

bool Needs64(uint64_t v) { return v > 0xFFFFFFFFu; }

void WriteMatrix(ByteWriter& w, const Matrix& m) {
  for (int32_t v : m.m) w.U32(uint32_t(v));
}

void WriteTime(ByteWriter& w, bool wide, uint64_t v) {
  if (wide) {
    w.U64(v);
  } else {
    w.U32(uint32_t(v));
  }
}

void WriteUserData(ByteWriter& w, const UserDataList& items) {
  if (items.empty()) return;
  size_t udta = w.BeginAtom(Tag("udta"));
  for (const UserDataItem& item : items) {
    size_t a = w.BeginAtom(item.type);
    w.Bytes(item.data);
    w.EndAtom(a);
  }
  w.EndAtom(udta);
}

void WriteMovieHeader(ByteWriter& w, const MovieHeader& h, uint64_t duration, uint32_t nextTrackId) {
  bool wide = Needs64(h.creationTime) || Needs64(h.modificationTime) || Needs64(duration);
  size_t a = w.BeginAtom(Tag("mvhd"));
  w.U32(wide ? 0x01000000u : 0);
  WriteTime(w, wide, h.creationTime);
  WriteTime(w, wide, h.modificationTime);
  w.U32(h.timeScale);
  WriteTime(w, wide, duration);
  w.U32(uint32_t(h.preferredRate));
  w.U16(uint16_t(h.preferredVolume));
  w.Zeros(10);
  WriteMatrix(w, h.matrix);
  w.U32(h.previewTime);
  w.U32(h.previewDuration);
  w.U32(h.posterTime);
  w.U32(h.selectionTime);
  w.U32(h.selectionDuration);
  w.U32(h.currentTime);
  w.U32(nextTrackId);
  w.EndAtom(a);
}

void WriteTrackHeader(ByteWriter& w, const TrackHeader& h, uint64_t duration) {
  bool wide = Needs64(h.creationTime) || Needs64(h.modificationTime) || Needs64(duration);
  size_t a = w.BeginAtom(Tag("tkhd"));
  w.U32((wide ? 0x01000000u : 0) | (h.flags & 0xFFFFFF));
  WriteTime(w, wide, h.creationTime);
  WriteTime(w, wide, h.modificationTime);
  w.U32(h.id);
  w.U32(0);
  WriteTime(w, wide, duration);
  w.Zeros(8);
  w.U16(uint16_t(h.layer));
  w.U16(uint16_t(h.alternateGroup));
  w.U16(uint16_t(h.volume));
  w.U16(0);
  WriteMatrix(w, h.matrix);
  w.U32(uint32_t(h.width));
  w.U32(uint32_t(h.height));
  w.EndAtom(a);
}

void WriteEdits(ByteWriter& w, const std::vector<Edit>& edits) {
  bool wide = false;
  for (const Edit& e : edits)
    if (Needs64(e.duration) || e.mediaTime > INT32_MAX) wide = true;
  size_t edts = w.BeginAtom(Tag("edts"));
  size_t a = w.BeginAtom(Tag("elst"));
  w.U32(wide ? 0x01000000u : 0);
  w.U32(uint32_t(edits.size()));
  for (const Edit& e : edits) {
    WriteTime(w, wide, e.duration);
    WriteTime(w, wide, uint64_t(e.mediaTime));
    w.U32(uint32_t(e.rate));
  }
  w.EndAtom(a);
  w.EndAtom(edts);
}

void WriteHandler(ByteWriter& w, FourCC componentType, FourCC subtype, FourCC manufacturer,
                  const std::string& name) {
  size_t a = w.BeginAtom(Tag("hdlr"));
  w.U32(0);
  w.U32(componentType);
  w.U32(subtype);
  w.U32(manufacturer);
  w.U32(0);
  w.U32(0);
  w.PascalString(name);
  w.EndAtom(a);
}

void WriteInfoHeader(ByteWriter& w, const MediaModel& m) {
  if (!m.infoHeader.empty()) {
    w.Bytes(m.infoHeader);
    return;
  }
  if (m.type == Tag("vide")) {
    size_t a = w.BeginAtom(Tag("vmhd"));
    w.U32(1);
    w.U16(0x40);  // dither copy
    w.U16(0x8000);
    w.U16(0x8000);
    w.U16(0x8000);
    w.EndAtom(a);
  } else if (m.type == Tag("soun")) {
    size_t a = w.BeginAtom(Tag("smhd"));
    w.U32(0);
    w.U16(0);  // balance
    w.U16(0);
    w.EndAtom(a);
  } else {
    size_t g = w.BeginAtom(Tag("gmhd"));
    size_t a = w.BeginAtom(Tag("gmin"));
    w.U32(0);
    w.U16(0x40);
    w.U16(0x8000);
    w.U16(0x8000);
    w.U16(0x8000);
    w.U16(0);
    w.U16(0);
    w.EndAtom(a);
    w.EndAtom(g);
  }
}

void WriteSampleTable(ByteWriter& w, const SampleTable& t) {
  size_t stbl = w.BeginAtom(Tag("stbl"));

  size_t a = w.BeginAtom(Tag("stsd"));
  w.U32(0);
  w.U32(uint32_t(t.descriptions.size()));
  for (const SampleDescription& d : t.descriptions) {
    std::vector<uint8_t> entry = d.entry;
    // The data is in this file: the one data reference.
    if (entry.size() >= 16) {
      entry[14] = 0;
      entry[15] = 1;
    }
    w.Bytes(entry);
  }
  w.EndAtom(a);

  // Runs of equal durations are merged.
  std::vector<SampleTable::TimeRun> times;
  for (const SampleTable::TimeRun& run : t.times) {
    if (run.count == 0) continue;
    if (!times.empty() && times.back().duration == run.duration &&
        uint64_t(times.back().count) + run.count <= 0xFFFFFFFFu) {
      times.back().count += run.count;
    } else {
      times.push_back(run);
    }
  }
  a = w.BeginAtom(Tag("stts"));
  w.U32(0);
  w.U32(uint32_t(times.size()));
  for (const SampleTable::TimeRun& run : times) {
    w.U32(run.count);
    w.U32(run.duration);
  }
  w.EndAtom(a);

  if (!t.allSync) {
    a = w.BeginAtom(Tag("stss"));
    w.U32(0);
    w.U32(uint32_t(t.syncSamples.size()));
    for (uint32_t s : t.syncSamples) w.U32(s);
    w.EndAtom(a);
  }

  // Consecutive chunks of the same shape make one run.
  size_t stsc = w.BeginAtom(Tag("stsc"));
  w.U32(0);
  size_t countAt = w.Size();
  w.U32(0);
  uint32_t runs = 0;
  for (size_t i = 0; i < t.chunks.size(); ++i) {
    const SampleTable::Chunk& c = t.chunks[i];
    if (i > 0 && t.chunks[i - 1].sampleCount == c.sampleCount && t.chunks[i - 1].description == c.description)
      continue;
    w.U32(uint32_t(i + 1));
    w.U32(c.sampleCount);
    w.U32(c.description);
    ++runs;
  }
  for (int i = 0; i < 4; ++i) w.Data()[countAt + i] = uint8_t(runs >> (8 * (3 - i)));
  w.EndAtom(stsc);

  a = w.BeginAtom(Tag("stsz"));
  w.U32(0);
  w.U32(t.constantSize);
  w.U32(t.sampleCount);
  if (t.constantSize == 0)
    for (uint32_t s : t.sizes) w.U32(s);
  w.EndAtom(a);

  bool wide = std::any_of(t.chunks.begin(), t.chunks.end(),
                          [](const SampleTable::Chunk& c) { return Needs64(c.offset); });
  a = w.BeginAtom(wide ? Tag("co64") : Tag("stco"));
  w.U32(0);
  w.U32(uint32_t(t.chunks.size()));
  for (const SampleTable::Chunk& c : t.chunks) WriteTime(w, wide, c.offset);
  w.EndAtom(a);

  w.EndAtom(stbl);
}

void WriteMedia(ByteWriter& w, const MediaModel& m) {
  size_t mdia = w.BeginAtom(Tag("mdia"));

  uint64_t duration = m.samples.Duration();
  bool wide = Needs64(m.creationTime) || Needs64(m.modificationTime) || Needs64(duration);
  size_t a = w.BeginAtom(Tag("mdhd"));
  w.U32(wide ? 0x01000000u : 0);
  WriteTime(w, wide, m.creationTime);
  WriteTime(w, wide, m.modificationTime);
  w.U32(m.timeScale);
  WriteTime(w, wide, duration);
  w.U16(m.language);
  w.U16(m.quality);
  w.EndAtom(a);

  WriteHandler(w, Tag("mhlr"), m.type, m.manufacturer,
               m.handlerName.empty() ? DefaultHandlerName(m.type) : m.handlerName);

  size_t minf = w.BeginAtom(Tag("minf"));
  WriteInfoHeader(w, m);
  WriteHandler(w, Tag("dhlr"), Tag("alis"), 0, "Alias Data Handler");
  size_t dinf = w.BeginAtom(Tag("dinf"));
  a = w.BeginAtom(Tag("dref"));
  w.U32(0);
  w.U32(1);
  size_t alis = w.BeginAtom(Tag("alis"));
  w.U32(1);  // self reference: the data is in this file
  w.EndAtom(alis);
  w.EndAtom(a);
  w.EndAtom(dinf);
  WriteSampleTable(w, m.samples);
  w.EndAtom(minf);

  w.EndAtom(mdia);
}

}  // namespace

std::string DefaultHandlerName(FourCC mediaType) {
  if (mediaType == Tag("vide")) return "Video Media Handler";
  if (mediaType == Tag("soun")) return "Sound Media Handler";
  if (mediaType == Tag("sprt")) return "Sprite Media Handler";
  if (mediaType == Tag("text")) return "Text Media Handler";
  return "Media Handler";
}

std::vector<uint8_t> BuildMovieAtom(const MovieHeader& header, const std::vector<const TrackModel*>& tracks,
                                    const UserDataList& userData) {
  ByteWriter w;
  size_t moov = w.BeginAtom(Tag("moov"));
  uint64_t duration = 0;
  uint32_t nextId = std::max<uint32_t>(header.nextTrackId, 1);
  for (const TrackModel* t : tracks) {
    duration = std::max(duration, TrackDuration(*t, header.timeScale));
    if (t->header.id >= nextId && t->header.id < 0xFFFFFFFFu) nextId = t->header.id + 1;
  }
  WriteMovieHeader(w, header, duration, nextId);
  for (const TrackModel* t : tracks) {
    size_t trak = w.BeginAtom(Tag("trak"));
    WriteTrackHeader(w, t->header, TrackDuration(*t, header.timeScale));
    if (t->hasEditList) WriteEdits(w, t->edits);
    if (t->hasMedia) WriteMedia(w, t->media);
    WriteUserData(w, t->userData);
    w.EndAtom(trak);
  }
  WriteUserData(w, userData);
  w.EndAtom(moov);
  return std::move(w.Data());
}

uint64_t AtomHeaderSize(uint64_t bodySize) { return bodySize + 8 > 0xFFFFFFFFu ? 16 : 8; }

std::vector<uint8_t> AtomHeader(FourCC type, uint64_t totalSize) {
  ByteWriter w;
  if (totalSize > 0xFFFFFFFFu) {
    w.U32(1);
    w.U32(type);
    w.U64(totalSize);
  } else {
    w.U32(uint32_t(totalSize));
    w.U32(type);
  }
  return std::move(w.Data());
}

}  // namespace qtf
