// codecbench [FOLDER]: how fast our decoders decode films made by ffmpeg,
// against ffmpeg's own single-threaded decoding of the same films
// ("ffmpeg -threads 1 -i FILM -f null -"), per codec at 320x240 and 640x480.
// The films are made in FOLDER (a fresh one under the temporary folder unless
// one is given). Our figure includes reading each sample from the file, as
// ffmpeg's does. Each figure is the best of several rounds, taken in turns,
// so that other work on the machine weighs on both alike.
//
// For figures that mean something, use a release build without sanitizers:
//   CC=clang CXX=clang++ cmake -S . -B build/release -G Ninja \
//     -DCMAKE_BUILD_TYPE=Release -DKX_SANITIZE=OFF && cmake --build build/release --target codecbench
//   build/release/tools/codecbench/codecbench
#include "Decoder.h"
#include "MovieReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Every film: 4 seconds of ffmpeg's moving test picture at 25 frames a second.
constexpr int kFrames = 100;
// ffmpeg reads each film this many times over, so that its start-up weighs little.
constexpr int kFfmpegLoops = 30;
constexpr int kRounds = 5;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "codecbench: %s\n", what.c_str());
  std::exit(1);
}

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) Die("cannot run: " + command);
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  if (pclose(pipe) != 0) Die("failed: " + command);
  return out;
}

void MakeFilm(const std::string& path, const std::string& size, const std::string& codec) {
  if (fs::exists(path)) return;
  Run("ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc=size=" + size + ":rate=25:duration=" +
      std::to_string(kFrames / 25) + " " + codec + " '" + path + "' 2>&1");
}

// Our decoding: every sample read from the film and decoded, in order, for at
// least 0.3 seconds. Frames per second.
double OurFps(const std::string& path) {
  qtf::File file;
  qtf::MovieModel movie;
  qtf::FileFacts facts;
  if (!file.Open(path, qtf::File::Mode::Read).Ok() || !qtf::ReadMovie(file, movie, facts).Ok())
    Die("cannot read " + path);
  const qtf::SampleTable& samples = movie.tracks.at(0).media.samples;
  std::vector<uint8_t> sample;
  qtc::Frame frame;
  uint64_t decoded = 0;
  auto start = Clock::now();
  double seconds = 0;
  do {
    qtc::VideoDecoder decoder(samples.descriptions.at(0));
    for (uint32_t i = 0; i < samples.sampleCount; ++i) {
      uint64_t offset, size;
      if (!samples.SampleRange(i, offset, size)) Die("no sample " + std::to_string(i));
      sample.resize(size);
      if (!file.ReadAt(offset, sample.size(), sample.data()).Ok()) Die("cannot read a sample");
      if (decoder.Decode(sample.data(), sample.size(), frame) != qtc::DecodeResult::Ok) Die("a sample failed");
      ++decoded;
    }
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 0.3);
  return decoded / seconds;
}

// ffmpeg's decoding, single-threaded, frames thrown away; its own timing of
// the work (rtime), without its start-up.
double FfmpegFps(const std::string& path) {
  std::string out = Run("ffmpeg -nostdin -benchmark -threads 1 -stream_loop " + std::to_string(kFfmpegLoops - 1) +
                        " -i '" + path + "' -f null - 2>&1");
  size_t at = out.find("rtime=");
  if (at == std::string::npos) Die("no timing from ffmpeg");
  double seconds = std::atof(out.c_str() + at + 6);
  return seconds > 0 ? double(kFrames) * kFfmpegLoops / seconds : 0;
}

}  // namespace

int main(int argc, char** argv) {
  fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "codecbench";
  fs::create_directories(folder);
  struct Codec {
    const char* name;
    const char* args;
  };
  const Codec codecs[] = {{"raw", "-c:v rawvideo -pix_fmt rgb24"},
                          {"rle", "-c:v qtrle -pix_fmt rgb24"},
                          {"jpeg", "-c:v mjpeg -q:v 3"},
                          {"cvid", "-c:v cinepak"}};
  std::printf("%-6s %-9s %12s %12s %8s\n", "codec", "size", "ours fps", "ffmpeg fps", "ratio");
  for (const Codec& c : codecs) {
    for (const char* size : {"320x240", "640x480"}) {
      std::string path = (folder / (std::string(c.name) + "-" + size + ".mov")).string();
      MakeFilm(path, size, c.args);
      double ours = 0, theirs = 0;
      for (int round = 0; round < kRounds; ++round) {
        ours = std::max(ours, OurFps(path));
        theirs = std::max(theirs, FfmpegFps(path));
      }
      std::printf("%-6s %-9s %12.0f %12.0f %8.2f\n", c.name, size, ours, theirs, theirs > 0 ? ours / theirs : 0);
      std::fflush(stdout);
    }
  }
  return 0;
}
