#include "ToolboxSupport.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace filmtest {

std::string HostPath(const std::string& unixPath) {
#ifdef _WIN32
  if (!unixPath.empty() && unixPath[0] == '/') return "Z:" + unixPath;
#endif
  return unixPath;
}

std::string ScratchDir() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string dir = HostPath(KX_QT_SCRATCH) + "/" + info->test_suite_name() + "." + info->name();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

bool Remove(const std::string& path) { return std::remove(path.c_str()) == 0; }

FSSpec SpecFor(const std::string& path) {
  Str255 name;
  size_t n = path.size() > 255 ? 255 : path.size();
  name[0] = uint8_t(n);
  std::memcpy(name + 1, path.data(), n);
  FSSpec spec;
  FSMakeFSSpec(0, 0, name, &spec);
  return spec;
}

OSErr LoadMovie(const std::string& path, Movie& movie) {
  movie = nullptr;
  FSSpec spec = SpecFor(path);
  int16_t file = 0;
  OSErr err = OpenMovieFile(&spec, &file, fsRdPerm);
  if (err != noErr) return err;
  err = NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  return err;
}

OSErr WriteTrackMovieFile(int32_t index, Movie source, const std::string& path) {
  Track sourceTrack = GetMovieIndTrack(source, index);
  if (!sourceTrack) return GetMoviesError();
  TimeValue duration = GetTrackDuration(sourceTrack);
  FSSpec spec = SpecFor(path);
  int16_t file = 0;
  Movie copy = nullptr;
  OSErr err = CreateMovieFile(&spec, FourCharCode("TVOD"), 0,
                              createMovieFileDeleteCurFile | createMovieFileDontCreateResFile, &file, &copy);
  if (err != noErr) return err;
  CopyMovieSettings(source, copy);
  TimeScale scale = GetMovieTimeScale(source);
  Fixed width = 0, height = 0;
  GetTrackDimensions(sourceTrack, &width, &height);
  Track track = NewMovieTrack(copy, width, height, 0);
  OSType type = 0;
  GetMediaHandlerDescription(GetTrackMedia(sourceTrack), &type, nullptr, nullptr);
  Media media = NewTrackMedia(track, type, scale, nullptr, 0);
  if ((err = BeginMediaEdits(media)) == noErr && (err = CopyTrackSettings(sourceTrack, track)) == noErr) {
    err = InsertTrackSegment(sourceTrack, track, 0, duration, 0);
    SetTrackEnabled(track, 1);
    OSErr ended = EndMediaEdits(media);
    if (err == noErr) err = ended;
    if (err == noErr) err = AddMovieResource(copy, file, nullptr, nullptr);
  }
  CloseMovieFile(file);
  DisposeTrackMedia(media);
  DisposeMovieTrack(track);
  if (err == noErr) DisposeMovieTrack(sourceTrack);
  DisposeMovie(copy);
  return err;
}

void ToolboxTest::SetUp() {
  ASSERT_EQ(noErr, InitializeQTML(0));
  ASSERT_EQ(noErr, EnterMovies());
  dir_ = ScratchDir();
}

void ToolboxTest::TearDown() {
  ExitMovies();
  TerminateQTML();
}

}  // namespace filmtest
