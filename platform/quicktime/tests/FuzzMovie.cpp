// Opens arbitrary bytes as a film; whatever opens is walked sample by sample,
// written back and read again, which must succeed.
#include "MovieReader.h"
#include "MovieWriter.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  qtf::MemorySource source(data, size);
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  if (!qtf::ReadMovie(source, movie, facts).Ok()) return 0;

  std::vector<const qtf::TrackModel*> tracks;
  for (const qtf::TrackModel& t : movie.tracks) {
    // Only media in the film's own file are written back, as the toolbox does.
    if (t.media.selfContained) tracks.push_back(&t);
    const qtf::SampleTable& s = t.media.samples;
    uint32_t limit = std::min<uint32_t>(s.sampleCount, 4096);
    for (uint32_t i = 0; i < limit; ++i) {
      uint64_t offset, bytes;
      uint32_t found;
      (void)s.SampleRange(i, offset, bytes);
      (void)s.SampleAtTime(s.SampleTime(i), found);
      (void)s.IsSync(i);
      (void)s.ChunkOfSample(i);
    }
    (void)qtf::TrackDuration(t, movie.header.timeScale);
    for (const qtf::SampleDescription& d : s.descriptions) {
      qtf::SoundFormat sf;
      qtf::VideoFormat vf;
      (void)qtf::ReadSoundFormat(d, sf);
      (void)qtf::ReadVideoFormat(d, vf);
    }
  }

  std::vector<uint8_t> atom = qtf::BuildMovieAtom(movie.header, tracks, movie.userData);
  qtf::ByteReader whole(atom), body;
  bool more;
  qtf::FourCC type;
  qtf::MovieModel again;
  if (!qtf::NextAtom(whole, more, type, body).Ok() || !more ||
      !qtf::ParseMovieAtom(body, facts.fileSize, again).Ok() || again.tracks.size() != tracks.size())
    __builtin_trap();
  return 0;
}
