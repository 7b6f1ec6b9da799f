// Films made by ffmpeg, an independent writer, decode to what ffmpeg itself
// decodes from them (make_codec_films.sh): exactly for the lossless codecs
// and the sound formats, within 40 dB PSNR for Photo-JPEG and Cinepak. Films
// ffmpeg cannot make (Animation at the indexed depths, Cinepak's selective
// code book updates) are made here and decoded by ffmpeg as well.
#include "Decoder.h"
#include "MovieReader.h"
#include "SoundDecoder.h"
#include "TestFilms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::string kFilms = KX_CODEC_FILMS;
const std::string kScratch = KX_CODEC_SCRATCH;

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Film {
  qtf::File file;
  qtf::MovieModel movie;
  const qtf::TrackModel* track = nullptr;

  // Opens a film and finds its first track of a media type.
  ::testing::AssertionResult Open(const std::string& name, qtf::FourCC type, const std::string& folder = kFilms) {
    qtf::FileFacts facts;
    qtf::Status s = file.Open(folder + "/" + name + ".mov", qtf::File::Mode::Read);
    if (s.Ok()) s = qtf::ReadMovie(file, movie, facts);
    if (!s.Ok()) return ::testing::AssertionFailure() << name << ": " << s.what;
    for (const qtf::TrackModel& t : movie.tracks)
      if (t.media.type == type) {
        track = &t;
        return ::testing::AssertionSuccess();
      }
    return ::testing::AssertionFailure() << name << " has no track of that type";
  }

  std::vector<uint8_t> Sample(uint32_t i) {
    uint64_t offset = 0, size = 0;
    std::vector<uint8_t> bytes;
    if (!track->media.samples.SampleRange(i, offset, size)) return bytes;
    bytes.resize(size);
    if (!file.ReadAt(offset, bytes.size(), bytes.data()).Ok()) bytes.clear();
    return bytes;
  }

  std::vector<uint8_t> Chunk(const qtf::SampleTable::Chunk& c) {
    std::vector<uint8_t> bytes(c.bytes);
    if (!file.ReadAt(c.offset, bytes.size(), bytes.data()).Ok()) bytes.clear();
    return bytes;
  }
};

// Peak signal to noise ratio of our frame against an rgb24 frame; infinite when equal.
double Psnr(const qtc::Frame& ours, const uint8_t* reference) {
  double squares = 0;
  for (size_t i = 0; i < ours.pixels.size(); ++i) {
    uint32_t p = ours.pixels[i];
    const int mine[3] = {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
    for (int k = 0; k < 3; ++k) {
      double d = mine[k] - reference[3 * i + k];
      squares += d * d;
    }
  }
  if (squares == 0) return INFINITY;
  return 10 * std::log10(255.0 * 255.0 / (squares / (3.0 * ours.pixels.size())));
}

// Where our frame first differs from the reference, for the failure message.
std::string FirstDifference(const qtc::Frame& ours, const uint8_t* reference) {
  for (size_t i = 0; i < ours.pixels.size(); ++i) {
    uint32_t want = uint32_t(reference[3 * i]) << 16 | uint32_t(reference[3 * i + 1]) << 8 | reference[3 * i + 2];
    if (ours.pixels[i] != want) {
      char text[96];
      std::snprintf(text, sizeof text, "pixel (%zu, %zu): ours %06X, ffmpeg's %06X", i % ours.width, i / ours.width,
                    ours.pixels[i], want);
      return text;
    }
  }
  return "none";
}

struct VideoCase {
  const char* film;
  double minPsnr;  // INFINITY: identical
};

// Decodes every frame of a film's video track and compares each with ffmpeg's
// frames (rgb24, one after the other).
void ExpectFramesMatch(Film& film, const std::vector<uint8_t>& reference, double minPsnr) {
  const qtf::SampleTable& samples = film.track->media.samples;
  ASSERT_EQ(1u, samples.descriptions.size());
  qtc::VideoDecoder decoder(samples.descriptions[0]);
  ASSERT_TRUE(decoder.Supported());
  const size_t frameBytes = size_t(decoder.Width()) * decoder.Height() * 3;
  ASSERT_EQ(samples.sampleCount * frameBytes, reference.size()) << "ffmpeg's frames";
  qtc::Frame frame;
  double worst = INFINITY;
  for (uint32_t i = 0; i < samples.sampleCount; ++i) {
    std::vector<uint8_t> bytes = film.Sample(i);
    ASSERT_EQ(qtc::DecodeResult::Ok, decoder.Decode(bytes.data(), bytes.size(), frame)) << "frame " << i;
    const uint8_t* want = reference.data() + i * frameBytes;
    double psnr = Psnr(frame, want);
    worst = std::min(worst, psnr);
    if (minPsnr == INFINITY)
      ASSERT_EQ(INFINITY, psnr) << "frame " << i << ": " << FirstDifference(frame, want);
    else
      ASSERT_GE(psnr, minPsnr) << "frame " << i;
  }
  std::printf("%u frames, lowest PSNR %.1f dB\n", samples.sampleCount, worst);
}

TEST(Conformance, VideoDecodesAsFfmpegDecodes) {
  const VideoCase kCases[] = {
      {"raw24", INFINITY}, {"raw32", INFINITY}, {"raw16", INFINITY}, {"raw8", INFINITY},
      {"raw1", INFINITY},  {"rawgray", INFINITY}, {"rle24", INFINITY}, {"rle32", INFINITY},
      {"rle16", INFINITY}, {"rlegray", INFINITY}, {"jpeg", 40},       {"jpeg422", 40},
      {"cvid", 40},        {"cvidgray", 40},
  };
  for (const VideoCase& c : kCases) {
    SCOPED_TRACE(c.film);
    Film film;
    ASSERT_TRUE(film.Open(c.film, qtf::Tag("vide")));
    std::printf("%-10s ", c.film);
    ExpectFramesMatch(film, ReadWhole(kFilms + "/" + c.film + ".rgb"), c.minPsnr);
  }
}

TEST(Conformance, SoundDecodesAsFfmpegDecodes) {
  for (const char* name : {"sound-raw8", "sound-twos8", "sound-twos16", "sound-sowt16", "sound-ima4", "sound-ima4stereo"}) {
    SCOPED_TRACE(name);
    Film film;
    ASSERT_TRUE(film.Open(name, qtf::Tag("soun")));
    const qtf::SampleTable& samples = film.track->media.samples;
    qtc::SoundDecoder decoder(samples.descriptions.at(0));
    ASSERT_TRUE(decoder.Supported());
    std::vector<int16_t> ours;
    for (const qtf::SampleTable::Chunk& c : samples.chunks) {
      std::vector<uint8_t> bytes = film.Chunk(c);
      decoder.Decode(bytes.data(), bytes.size(), ours);
    }
    std::vector<uint8_t> reference = ReadWhole(kFilms + "/" + name + ".s16");
    ASSERT_EQ(reference.size(), ours.size() * 2);
    for (size_t i = 0; i < ours.size(); ++i) {
      int16_t want = int16_t(reference[2 * i] | reference[2 * i + 1] << 8);
      ASSERT_EQ(want, ours[i]) << "sample " << i;
    }
  }
}

}  // namespace

namespace {

// What ffmpeg decodes from a film: rgb24 frames one after the other.
std::vector<uint8_t> FfmpegFrames(const std::string& path) {
  std::string command = "ffmpeg -nostdin -loglevel error -i '" + path +
                        "' -fps_mode passthrough -f rawvideo -pix_fmt rgb24 -";
  std::vector<uint8_t> out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
  pclose(pipe);
  return out;
}

void WriteFilm(const std::string& name, const codectest::Bytes& film) {
  std::filesystem::create_directories(kScratch);
  std::ofstream out(kScratch + "/" + name + ".mov", std::ios::binary);
  out.write(reinterpret_cast<const char*>(film.data()), std::streamsize(film.size()));
}

// Our film, decoded by us and by ffmpeg.
void ExpectOurFilmMatches(const std::string& name, const codectest::Bytes& bytes, double minPsnr) {
  WriteFilm(name, bytes);
  Film film;
  ASSERT_TRUE(film.Open(name, qtf::Tag("vide"), kScratch));
  std::printf("%-10s ", name.c_str());
  ExpectFramesMatch(film, FfmpegFrames(kScratch + "/" + name + ".mov"), minPsnr);
}

// 1 bit is left out: ffmpeg reads 1-bit lines by other rules than every
// other depth's (it reports positions before the picture for such films);
// the unit tests cover it.
TEST(Conformance, AnimationAtIndexedDepthsDecodesAsFfmpegDecodes) {
  struct Case {
    const char* name;
    uint16_t depth;
    bool ownTable;
  };
  const Case kCases[] = {{"rle8-table", 8, true}, {"rle8", 8, false},    {"rle4", 4, false},
                         {"rle2", 2, false},      {"rle4-gray", 36, false}};
  const int width = 37, height = 9, frames = 4;
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const unsigned bits = c.depth > 32 ? c.depth - 32u : c.depth, colours = 1u << bits;
    const unsigned unitPixels = 32 / bits, unitBytes = 4;
    // Lines 0, 4 and 8 are one colour throughout; a box on lines 3 to 6 moves.
    auto index = [&](int x, int y, int f) {
      if (y % 4 == 0) return unsigned(y / 4 + 1) % colours;
      unsigned v = unsigned(x / 3 + 2 * y) % colours;
      if (f > 0 && y >= 3 && y < 7 && x >= 5 * f && x < 5 * f + 12) v = (v + unsigned(f)) % colours;
      return v;
    };
    std::vector<std::vector<std::vector<codectest::Bytes>>> units(frames);  // [frame][line][unit]
    for (int f = 0; f < frames; ++f) {
      units[f].resize(height);
      for (int y = 0; y < height; ++y)
        for (unsigned u = 0; u * unitPixels < unsigned(width); ++u) {
          codectest::Bytes unit(unitBytes, 0);
          for (unsigned p = 0; p < unitPixels; ++p) {
            unsigned x = u * unitPixels + p;
            unsigned v = x < unsigned(width) ? index(int(x), y, f) : 0;
            unit[p * bits / 8] |= uint8_t(v << (8 - bits - (p * bits) % 8));
          }
          units[f][y].push_back(unit);
        }
    }
    codectest::TrackSpec track;
    std::vector<uint32_t> table;
    if (c.ownTable)
      for (uint32_t i = 0; i < 256; ++i) table.push_back(i << 16 | (255 - i) << 8 | ((i * 7) & 255));
    track.description = codectest::VideoDescription("rle ", width, height, c.depth, table);
    track.sync = {1};
    for (int f = 0; f < frames; ++f) {
      std::vector<codectest::AnimationLine> lines;
      int first = 0, last = height - 1;
      if (f > 0) {  // only the lines that changed, skipping what did not
        while (first < height && units[f][first] == units[f - 1][first]) ++first;
        while (last > first && units[f][last] == units[f - 1][last]) --last;
      }
      for (int y = first; y <= last; ++y) lines.push_back({units[f][y], f > 0 ? &units[f - 1][y] : nullptr});
      track.samples.push_back(codectest::AnimationSample(lines, uint16_t(first), f > 0));
    }
    ExpectOurFilmMatches(c.name, codectest::MakeFilm({track}), INFINITY);
  }
}

TEST(Conformance, CinepakCodeBookUpdatesDecodeAsFfmpegDecodes) {
  using codectest::Bytes;
  using codectest::CinepakChunk;
  auto strip = [](uint16_t id, const Bytes& chunks) { return codectest::CinepakStrip(id, 16, 8, chunks); };
  auto cat = [](std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  };
  const Bytes v1 = CinepakChunk(0x2200, {20, 40, 60, 80, 10, 246, 200, 180, 160, 140, 226, 20,
                                         128, 128, 128, 128, 0, 0, 90, 100, 110, 120, 50, 50});
  const Bytes v4 = CinepakChunk(0x2000, {30, 60, 90, 120, 236, 30, 250, 10, 250, 10, 20, 236,
                                         70, 70, 170, 170, 40, 40, 15, 15, 15, 15, 196, 196});
  // Blocks: V4, V1, V4, V1, V1, V4, V4, V1.
  const Bytes intra = CinepakChunk(0x3000, {0xA6, 0, 0, 0, 0, 1, 2, 3, 1, 3, 2, 1, 0, 2, 3, 1, 1, 2, 2, 0, 3, 0, 3, 0});
  // The second strip replaces V1 entries 1 and 3 and V4 entry 0 (luma only)
  // and draws from those and from what it took over from the first strip.
  const Bytes someV1 = CinepakChunk(0x2300, {0x50, 0, 0, 0, 10, 10, 250, 250, 20, 20, 240, 240, 240, 10, 10, 226, 236});
  const Bytes someV4 = CinepakChunk(0x2500, {0x80, 0, 0, 0, 99, 150, 201, 252});
  const Bytes mixed = CinepakChunk(0x3000, {0x55, 0, 0, 0, 0, 0, 1, 2, 3, 1, 0, 0, 0, 0, 2, 1, 2, 3, 0, 3, 2, 2, 2, 2});
  const Bytes key = codectest::CinepakFrame(0, 16, 16, {strip(0x1000, cat({v1, v4, intra})), strip(0x1000, cat({someV1, someV4, mixed}))});
  // Flags 1: each strip keeps its own code books from the last frame.
  const Bytes v4Entry2 = CinepakChunk(0x2100, {0x20, 0, 0, 0, 5, 250, 5, 250, 128, 127});
  const Bytes inter = CinepakChunk(0x3100, {0x4E, 0x30, 0, 0, 2, 2, 2, 0, 1, 3, 3, 3, 3, 3});
  const Bytes allV1 = CinepakChunk(0x3200, {0, 1, 2, 3, 3, 2, 1, 0});
  const Bytes delta = codectest::CinepakFrame(1, 16, 16, {strip(0x1100, cat({v4Entry2, inter})), strip(0x1100, allV1)});
  // Flags 0 again: the second strip takes over the first's new luma entries.
  const Bytes grayV1 = CinepakChunk(0x2600, {10, 60, 110, 160, 240, 190, 140, 90});
  const Bytes coded = CinepakChunk(0x3100, {0xAA, 0xAA, 0, 0, 0, 1, 2, 3, 0, 1, 2, 3});
  const Bytes again = codectest::CinepakFrame(0, 16, 16, {strip(0x1100, cat({grayV1, CinepakChunk(0x3200, {0, 1, 0, 1, 1, 0, 1, 0})})),
                                                          strip(0x1100, coded)});
  codectest::TrackSpec track;
  track.description = codectest::VideoDescription("cvid", 16, 16, 24);
  track.samples = {key, delta, again};
  track.sync = {1};
  ExpectOurFilmMatches("cvid-books", codectest::MakeFilm({track}), INFINITY);
}

}  // namespace
