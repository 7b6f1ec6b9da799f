// Decodes arbitrary samples with every decoder (see FuzzInput.h), and draws
// arbitrary films at a few times. Nothing may crash, read or write out of
// bounds, or leave a frame of the wrong size.
#include "Decoder.h"
#include "FuzzInput.h"
#include "MovieReader.h"
#include "MoviePicture.h"
#include "SoundDecoder.h"
#include "TestFilms.h"

using namespace codectest;

namespace {

void DrawFilm(const uint8_t* data, size_t size) {
  qtf::MemorySource source(data, size);
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  if (!qtf::ReadMovie(source, movie, facts).Ok()) return;
  // Keep each input quick: long runs between key samples decode slowly, and
  // huge boxes teach the fuzzer nothing new.
  for (const qtf::TrackModel& t : movie.tracks)
    if (t.media.samples.sampleCount > 4096) return;
  qtc::MoviePicture picture(movie, source);
  if (int64_t(picture.Width()) * picture.Height() > (1 << 16)) return;
  qtc::Frame frame;
  for (uint64_t time : {uint64_t(0), uint64_t(1000), uint64_t(10)})
    if (picture.Draw(time, frame) && frame.pixels.size() != size_t(frame.width) * frame.height) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  if (data[0] == kFuzzFilm) {
    DrawFilm(data + 1, size - 1);
    return 0;
  }
  const FuzzKind& kind = kFuzzKinds[data[0] % kFuzzKindCount];
  std::vector<uint32_t> colours;
  if (data[3] & 1)
    for (uint32_t i = 0; i < 16; ++i) colours.push_back(i * 0x110F0D);
  qtf::ByteReader r(data + 4, size - 4);
  std::vector<std::pair<const uint8_t*, size_t>> samples;
  uint16_t length;
  while (samples.size() < 16 && r.ReadU16(length)) {
    size_t n = std::min<size_t>(length, r.Remaining());
    samples.push_back({r.Current(), n});
    (void)r.Skip(n);
  }

  if (kind.depth == 0) {
    qtc::SoundDecoder sound(SoundDescription(kind.format, kind.channels, kind.bits));
    std::vector<int16_t> out;
    for (auto [bytes, n] : samples) {
      size_t before = out.size(), frames = sound.Decode(bytes, n, out);
      if (out.size() - before != frames * kind.channels) __builtin_trap();
    }
    return 0;
  }
  qtc::VideoDecoder video(VideoDescription(kind.format, data[1], data[2], kind.depth, colours));
  qtc::Frame frame;
  for (auto [bytes, n] : samples) {
    // A copy of exactly the sample's size, so that reading past it is caught.
    std::vector<uint8_t> sample(bytes, bytes + n);
    (void)video.Decode(sample.data(), sample.size(), frame);
    if (frame.pixels.size() != size_t(frame.width) * frame.height) __builtin_trap();
  }
  return 0;
}
