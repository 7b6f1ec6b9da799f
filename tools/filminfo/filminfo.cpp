// filminfo FILM...: prints a film's movie and track facts, its user-data
// items and whether it carries the system's 'flm_' block.
// filminfo --frame SECONDS --out FILE.png FILM: writes the picture the film
// shows at that time, at the movie box's size.
#include "MoviePicture.h"
#include "MovieReader.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace {

double Fixed16(int32_t v) { return v / 65536.0; }

// The item's bytes as text, others escaped; long items are cut for the screen.
std::string Quoted(const std::vector<uint8_t>& data) {
  std::string text = "\"";
  size_t shown = 0;
  for (uint8_t c : data) {
    if (++shown > 80) {
      text += "...";
      break;
    }
    if (c < 32 || c >= 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      text += hex;
    } else {
      text += char(c);
    }
  }
  return text + "\"";
}

void PrintDescription(size_t index, const qtf::MediaModel& media, const qtf::SampleDescription& d) {
  std::printf("  description %zu: '%s'", index + 1, qtf::TagText(d.format).c_str());
  qtf::VideoFormat vf;
  qtf::SoundFormat sf;
  if (media.type == qtf::Tag("vide") && qtf::ReadVideoFormat(d, vf)) {
    std::printf(" %u x %u, %u bits, \"%s\"", vf.width, vf.height, vf.depth, vf.compressorName.c_str());
  } else if (media.type == qtf::Tag("soun") && qtf::ReadSoundFormat(d, sf)) {
    std::printf(" version %u, %u channel(s), %u bits, %.0f Hz", sf.version, sf.channels, sf.bitsPerSample,
                sf.sampleRate / 65536.0);
    if (sf.samplesPerPacket)
      std::printf(", %u frames per packet, %u bytes per frame", sf.samplesPerPacket, sf.bytesPerFrame);
  }
  std::printf("\n");
}

void PrintTrack(size_t index, const qtf::TrackModel& t, uint32_t movieScale) {
  const qtf::MediaModel& m = t.media;
  const qtf::SampleTable& s = m.samples;
  std::printf("track %zu: id %u, %s, '%s' \"%s\", duration %" PRIu64 ", %g x %g, layer %d, volume %.2f\n",
              index + 1, t.header.id, (t.header.flags & qtf::kTrackEnabled) ? "enabled" : "disabled",
              qtf::TagText(m.type).c_str(), m.handlerName.c_str(), qtf::TrackDuration(t, movieScale),
              Fixed16(t.header.width), Fixed16(t.header.height), t.header.layer, t.header.volume / 256.0);
  size_t sync = s.allSync ? s.sampleCount : s.syncSamples.size();
  std::printf("  media: time scale %u, duration %" PRIu64 ", %u samples in %zu chunks, %zu key samples%s\n",
              m.timeScale, s.Duration(), s.sampleCount, s.chunks.size(), sync,
              m.selfContained ? "" : ", data in another file");
  for (size_t i = 0; i < s.descriptions.size(); ++i) PrintDescription(i, m, s.descriptions[i]);
  if (t.hasEditList) {
    std::printf("  edits:");
    for (const qtf::Edit& e : t.edits)
      std::printf(" [%" PRIu64 " from %" PRId64 " at %g]", e.duration, e.mediaTime, e.rate / 65536.0);
    std::printf("\n");
  }
  for (const qtf::UserDataItem& item : t.userData)
    std::printf("  user data '%s', %zu bytes: %s\n", qtf::TagText(item.type).c_str(), item.data.size(),
                Quoted(item.data).c_str());
}

int Describe(const char* path) {
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  qtf::Status s = qtf::ReadMovieFile(path, movie, facts);
  if (!s.Ok()) {
    std::fprintf(stderr, "filminfo: %s: %s\n", path, s.what.c_str());
    return 1;
  }
  const qtf::MovieHeader& h = movie.header;
  std::vector<const qtf::TrackModel*> tracks;
  uint64_t duration = 0;
  for (const qtf::TrackModel& t : movie.tracks) {
    tracks.push_back(&t);
    duration = std::max(duration, qtf::TrackDuration(t, h.timeScale));
  }
  qtf::Box box = qtf::Transform(h.matrix, qtf::NaturalBox(tracks));
  std::printf("film: %s\n", path);
  std::printf("movie: time scale %u, duration %" PRIu64 " (%.3f s), poster time %u, rate %g, volume %g\n",
              h.timeScale, duration, double(duration) / h.timeScale, h.posterTime, Fixed16(h.preferredRate),
              h.preferredVolume / 256.0);
  std::printf("box: top %.0f, left %.0f, bottom %.0f, right %.0f\n", std::floor(box.top + 0.5),
              std::floor(box.left + 0.5), std::floor(box.bottom + 0.5), std::floor(box.right + 0.5));
  std::printf("compressed movie header: %s\n", movie.compressedHeader ? "yes" : "no");
  std::printf("system block 'flm_': %s\n", facts.filmBlock ? "yes" : "no");
  std::printf("tracks: %zu\n", movie.tracks.size());
  for (size_t i = 0; i < movie.tracks.size(); ++i) PrintTrack(i, movie.tracks[i], h.timeScale);
  std::printf("user data items: %zu\n", movie.userData.size());
  for (const qtf::UserDataItem& item : movie.userData)
    std::printf("  '%s', %zu bytes: %s\n", qtf::TagText(item.type).c_str(), item.data.size(),
                Quoted(item.data).c_str());
  return 0;
}

void AppendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

int WriteFrame(const char* path, const char* timeText, const char* pngPath) {
  char* end = nullptr;
  double seconds = std::strtod(timeText, &end);
  if (end == timeText || *end != '\0' || !(seconds >= 0) || seconds > 1e9) {
    std::fprintf(stderr, "filminfo: the time must be seconds from the start, such as 1.5: %s\n", timeText);
    return 2;
  }
  qtf::File file;
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  qtf::Status s = file.Open(path, qtf::File::Mode::Read);
  if (s.Ok()) s = qtf::ReadMovie(file, movie, facts);
  if (!s.Ok()) {
    std::fprintf(stderr, "filminfo: %s: %s\n", path, s.what.c_str());
    return 1;
  }
  qtc::MoviePicture picture(movie, file);
  qtc::Frame frame;
  uint64_t time = uint64_t(std::llround(seconds * movie.header.timeScale));
  if (!picture.Draw(time, frame)) {
    std::fprintf(stderr, "filminfo: %s: no picture: the movie box is %d x %d\n", path, picture.Width(),
                 picture.Height());
    return 1;
  }
  std::vector<uint8_t> rgb;
  rgb.reserve(frame.pixels.size() * 3);
  for (uint32_t p : frame.pixels) rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
  std::vector<uint8_t> png;
  if (!stbi_write_png_to_func(AppendBytes, &png, frame.width, frame.height, 3, rgb.data(), frame.width * 3)) {
    std::fprintf(stderr, "filminfo: the picture could not be encoded\n");
    return 1;
  }
  qtf::File out;
  s = out.Open(pngPath, qtf::File::Mode::Create);
  if (s.Ok()) s = out.WriteAt(0, png.data(), png.size());
  if (s.Ok()) s = out.Close();
  if (!s.Ok()) {
    std::fprintf(stderr, "filminfo: %s: %s\n", pngPath, s.what.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

constexpr const char* kUsage = "usage: filminfo FILM...\n       filminfo --frame SECONDS --out FILE.png FILM\n";

int main(int argc, char** argv) {
  // --frame and --out, in any order around one film.
  const char *time = nullptr, *png = nullptr, *film = nullptr;
  bool frameMode = false, wrong = false;
  for (int i = 1; i < argc; ++i) {
    const char** option = std::strcmp(argv[i], "--frame") == 0 ? &time : std::strcmp(argv[i], "--out") == 0 ? &png : nullptr;
    if (option) {
      frameMode = true;
      if (i + 1 >= argc || *option) wrong = true;
      else *option = argv[++i];
    } else if (!film) {
      film = argv[i];
    }
  }
  if (frameMode) {
    if (wrong || !time || !png || !film || argc != 6) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    return WriteFrame(film, time, png);
  }
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  int result = 0;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) std::printf("\n");
    result |= Describe(argv[i]);
  }
  return result;
}
