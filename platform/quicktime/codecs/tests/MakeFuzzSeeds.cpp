// Writes the decoders' fuzzer seeds: the first samples of each conformance
// film in the fuzz input's form, and a few small films.
// Usage: make_codec_fuzz_seeds FILMS SEEDS
#include "FuzzInput.h"
#include "MovieReader.h"
#include "TestFilms.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

using namespace codectest;

namespace {

void Write(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The kind whose format and depth (or channels and bits) a film's first track has.
int KindOf(const qtf::SampleDescription& d) {
  qtf::VideoFormat vf;
  qtf::SoundFormat sf;
  bool video = qtf::ReadVideoFormat(d, vf), sound = qtf::ReadSoundFormat(d, sf);
  for (int k = 0; k < kFuzzKindCount; ++k) {
    const FuzzKind& kind = kFuzzKinds[k];
    if (qtf::TagText(d.format) != kind.format) continue;
    if (kind.depth && video && kind.depth == vf.depth) return k;
    if (!kind.depth && sound && kind.channels == sf.channels && kind.bits == sf.bitsPerSample) return k;
  }
  return -1;
}

void SeedFromFilm(const std::filesystem::path& film, const std::string& seeds) {
  qtf::File file;
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  if (!file.Open(film.string(), qtf::File::Mode::Read).Ok() || !qtf::ReadMovie(file, movie, facts).Ok() ||
      movie.tracks.empty())
    return;
  const qtf::SampleTable& s = movie.tracks[0].media.samples;
  int kind = s.descriptions.empty() ? -1 : KindOf(s.descriptions[0]);
  qtf::VideoFormat vf;
  (void)qtf::ReadVideoFormat(s.descriptions[0], vf);
  if (kind < 0 || vf.width > 255 || vf.height > 255) return;
  Bytes seed = {uint8_t(kind), uint8_t(vf.width), uint8_t(vf.height), 0};
  // Video: the first three samples. Sound: the start of the first chunk.
  for (uint32_t i = 0; i < 3 && !s.chunks.empty(); ++i) {
    uint64_t offset = s.chunks[0].offset, size = std::min<uint64_t>(s.chunks[0].bytes, 2048);
    if (vf.depth && !s.SampleRange(i, offset, size)) break;
    if (size > 0xFFFF) break;
    Bytes sample(size);
    if (!file.ReadAt(offset, sample.size(), sample.data()).Ok()) break;
    seed.insert(seed.end(), {uint8_t(size >> 8), uint8_t(size)});
    seed.insert(seed.end(), sample.begin(), sample.end());
    if (!vf.depth) break;
  }
  Write(seeds + "/" + film.stem().string(), seed);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_codec_fuzz_seeds FILMS SEEDS\n");
    return 2;
  }
  std::filesystem::create_directories(argv[2]);
  for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
    if (entry.path().extension() == ".mov") SeedFromFilm(entry.path(), argv[2]);

  // Two tracks, one moved and doubled, one with key and difference samples.
  TrackSpec still;
  still.description = VideoDescription("raw ", 2, 2, 8, {0xFF0000, 0x00FF00});
  still.samples = {{0, 1, 1, 0}};
  still.matrix = Place(2, 2, 1, 1);
  still.layer = -1;
  TrackSpec moving;
  moving.description = VideoDescription("rle ", 4, 2, 24);
  moving.samples = {{0, 0, 0, 12, 0, 0, 1, 0xFC, 9, 9, 9, 0xFF, 1, 0xFF},
                    {0, 0, 0, 11, 0, 0, 2, 1, 7, 7, 7, 0xFF, 1, 0xFF}};
  moving.sync = {1};
  moving.edits = {{30, -1, 0x10000}, {120, 0, 0x10000}};
  Bytes film = MakeFilm({still, moving});
  film.insert(film.begin(), kFuzzFilm);
  Write(std::string(argv[2]) + "/film", film);
  return 0;
}
