// Films made by ffmpeg, an independent writer, decode to what ffmpeg itself
// decodes from them (make_codec_films.sh): exactly for the lossless codecs
// and the sound formats, within 40 dB PSNR for Photo-JPEG and Cinepak.
#include "Decoder.h"
#include "MovieReader.h"
#include "SoundDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

const std::string kFilms = KX_CODEC_FILMS;

std::vector<uint8_t> ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Film {
  qtf::File file;
  qtf::MovieModel movie;
  const qtf::TrackModel* track = nullptr;

  // Opens a film and finds its first track of a media type.
  ::testing::AssertionResult Open(const std::string& name, qtf::FourCC type) {
    qtf::FileFacts facts;
    qtf::Status s = file.Open(kFilms + "/" + name + ".mov", qtf::File::Mode::Read);
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
    const qtf::SampleTable& samples = film.track->media.samples;
    ASSERT_EQ(1u, samples.descriptions.size());
    qtc::VideoDecoder decoder(samples.descriptions[0]);
    ASSERT_TRUE(decoder.Supported());
    std::vector<uint8_t> reference = ReadWhole(kFilms + "/" + c.film + ".rgb");
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
      if (c.minPsnr == INFINITY)
        ASSERT_EQ(INFINITY, psnr) << "frame " << i << ": " << FirstDifference(frame, want);
      else
        ASSERT_GE(psnr, c.minPsnr) << "frame " << i;
    }
    std::printf("%-10s %u frames, lowest PSNR %.1f dB\n", c.film, samples.sampleCount, worst);
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
