// Films made by ffmpeg, an independent writer, read as ffprobe reads them;
// each of their tracks copied out by the engine's steps. The copies are read
// by ffprobe afterwards (check_copies.sh) against the .expect files written
// here.
#include "ToolboxSupport.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

using namespace filmtest;

namespace {

// ffprobe's flat output: key=value, strings in quotes. Values are kept as
// written, so that an expectation can repeat them exactly.
std::map<std::string, std::string> ReadProbe(const std::string& path) {
  std::map<std::string, std::string> facts;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    size_t eq = line.find('=');
    if (eq != std::string::npos) facts[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return facts;
}

std::string Unquoted(const std::string& v) {
  return v.size() >= 2 && v.front() == '"' && v.back() == '"' ? v.substr(1, v.size() - 2) : v;
}

std::vector<std::string> Films() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(HostPath(KX_QT_FILMS)))
    if (entry.path().extension() == ".probe") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Conformance : public ToolboxTest {};

TEST_F(Conformance, FfmpegFilmsReadAsFfprobeReadsThem) {
  std::vector<std::string> films = Films();
  ASSERT_GE(films.size(), 9u) << "the films are made by make_films.sh";
  for (const std::string& name : films) {
    SCOPED_TRACE(name);
    auto probe = ReadProbe(HostPath(KX_QT_FILMS) + "/" + name + ".probe");
    Movie movie = nullptr;
    ASSERT_EQ(noErr, LoadMovie(HostPath(KX_QT_FILMS) + "/" + name + ".mov", movie));
    TimeScale scale = GetMovieTimeScale(movie);
    EXPECT_EQ(probe["movie.timescale"], std::to_string(scale));
    double seconds = double(GetMovieDuration(movie)) / scale;
    EXPECT_NEAR(std::stod(Unquoted(probe["format.duration"])), seconds, 1.0 / scale + 1e-6);
    int32_t tracks = GetMovieTrackCount(movie);
    ASSERT_EQ(probe["format.nb_streams"], std::to_string(tracks));
    for (int32_t i = 1; i <= tracks; ++i) {
      std::string key = "streams.stream." + std::to_string(i - 1) + ".";
      Track track = GetMovieIndTrack(movie, i);
      OSType type = 0;
      GetMediaHandlerDescription(GetTrackMedia(track), &type, nullptr, nullptr);
      EXPECT_EQ(Unquoted(probe[key + "codec_type"]) == "video" ? VideoMediaType : SoundMediaType, type);
      Fixed w = 0, h = 0;
      GetTrackDimensions(track, &w, &h);
      if (type == VideoMediaType) {
        EXPECT_EQ(probe[key + "width"], std::to_string(w >> 16));
        EXPECT_EQ(probe[key + "height"], std::to_string(h >> 16));
      }
      EXPECT_NEAR(std::stod(Unquoted(probe[key + "duration"])), double(GetTrackDuration(track)) / scale, 1.0 / scale + 1e-6);
    }
    DisposeMovie(movie);
  }
}

TEST_F(Conformance, TrackCopiesOfFfmpegFilmsKeepTheirFacts) {
  const std::string copies = HostPath(KX_QT_FILMS) + "/copies";
  for (const std::string& name : Films()) {
    auto probe = ReadProbe(HostPath(KX_QT_FILMS) + "/" + name + ".probe");
    int tracks = std::stoi(probe["format.nb_streams"]);
    for (int i = 1; i <= tracks; ++i) {
      SCOPED_TRACE(name + " track " + std::to_string(i));
      // The source is opened anew for each copy: a copy takes its track away.
      Movie movie = nullptr;
      ASSERT_EQ(noErr, LoadMovie(HostPath(KX_QT_FILMS) + "/" + name + ".mov", movie));
      TimeValue duration = GetTrackDuration(GetMovieIndTrack(movie, i));
      std::string copy = copies + "/" + name + "-" + std::to_string(i);
      ASSERT_EQ(noErr, WriteTrackMovieFile(i, movie, copy + ".mov"));
      EXPECT_EQ(tracks - 1, GetMovieTrackCount(movie));
      DisposeMovie(movie);

      Movie reread = nullptr;
      ASSERT_EQ(noErr, LoadMovie(copy + ".mov", reread));
      EXPECT_EQ(1, GetMovieTrackCount(reread));
      EXPECT_EQ(duration, GetMovieDuration(reread));
      DisposeMovie(reread);

      // What ffprobe must read in the copy: the source's facts of this track.
      std::ofstream expect(copy + ".expect");
      std::string from = "streams.stream." + std::to_string(i - 1) + ".";
      expect << "format.nb_streams=1\n";
      expect << "movie.timescale=" << probe["movie.timescale"] << "\n";
      for (const char* field : {"codec_type", "codec_tag_string", "duration", "nb_frames", "width", "height",
                                "sample_rate", "channels", "bits_per_sample"}) {
        auto it = probe.find(from + field);
        if (it == probe.end()) continue;
        expect << "streams.stream.0." << field << "=" << it->second << "\n";
      }
      ASSERT_TRUE(expect.good());
    }
  }
}

}  // namespace
