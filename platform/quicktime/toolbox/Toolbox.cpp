#include "Toolbox.h"

#include "Player.h"

namespace qtb {

Toolbox& Toolbox::Get() {
  static Toolbox toolbox;
  return toolbox;
}

MovieRecord* Toolbox::AddMovie(std::unique_ptr<MovieRecord> movie) {
  MovieRecord* m = movie.get();
  m->userDataRecord.movie = m;
  userData.insert(&m->userDataRecord);
  for (auto& t : m->tracks) {
    tracks.insert(t.get());
    if (t->media) media.insert(t->media.get());
  }
  movies.emplace(m, std::move(movie));
  Player::Get().MovieOpened(m);
  return m;
}

TrackRecord* Toolbox::AddTrack(MovieRecord* movie, std::unique_ptr<TrackRecord> track) {
  TrackRecord* t = track.get();
  t->movie = movie;
  movie->tracks.push_back(std::move(track));
  tracks.insert(t);
  return t;
}

MediaRecord* Toolbox::AttachMedia(TrackRecord* track, std::unique_ptr<MediaRecord> m) {
  MediaRecord* r = m.get();
  r->track = track;
  track->media = std::move(m);
  track->model.hasMedia = true;
  media.insert(r);
  return r;
}

void Toolbox::DisposeMedia(MediaRecord* m) {
  TrackRecord* track = m->track;
  Player::Get().TrackGoing(track);
  media.erase(m);
  track->model.hasMedia = false;
  track->model.media = qtf::MediaModel();
  track->media.reset();
}

void Toolbox::DisposeTrack(TrackRecord* t) {
  Player::Get().TrackGoing(t);
  if (t->media) DisposeMedia(t->media.get());
  tracks.erase(t);
  auto& list = t->movie->tracks;
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (it->get() == t) {
      list.erase(it);
      break;
    }
  }
}

void Toolbox::DisposeMovie(MovieRecord* m) {
  if (Player::Get().MovieGoing(m)) {
    // A filter is running: the movie leaves the live ones now, and its
    // memory stays until the outermost call returns.
    for (auto& t : m->tracks) {
      tracks.erase(t.get());
      if (t->media) media.erase(t->media.get());
    }
    userData.erase(&m->userDataRecord);
    auto it = movies.find(m);
    Player::Get().KeepUntilSafe(std::move(it->second));
    movies.erase(it);
    return;
  }
  while (!m->tracks.empty()) DisposeTrack(m->tracks.back().get());
  userData.erase(&m->userDataRecord);
  movies.erase(m);
}

int16_t Toolbox::NewFileNumber() const {
  int16_t n = 1;
  for (const auto& entry : files) {
    if (entry.first != n) break;
    if (n == INT16_MAX) return 0;
    ++n;
  }
  return n;
}

OSErr ErrorFor(const qtf::Status& s) {
  switch (s.fault) {
    case qtf::Fault::None: return noErr;
    case qtf::Fault::Missing: return fnfErr;
    case qtf::Fault::Io: return ioErr;
    case qtf::Fault::NoMovie: return noMovieFound;
    case qtf::Fault::Truncated:
    case qtf::Fault::Corrupt: return invalidMovie;
    case qtf::Fault::Unsupported: return featureUnsupported;
    case qtf::Fault::Changed: return invalidDataRef;
  }
  return paramErr;
}

qtf::Status CheckStamp(const DataFile& file) {
  FileStamp now;
  if (!StampFile(file.path, now)) return qtf::Status::Fail(qtf::Fault::Missing, file.path + " is gone");
  if (now != file.stamp) return qtf::Status::Fail(qtf::Fault::Changed, file.path + " changed");
  return {};
}

std::string SpecPath(const FSSpec* spec) {
  if (!spec || spec->name[0] == 0) return {};
  return std::string(reinterpret_cast<const char*>(spec->name + 1), spec->name[0]);
}

MovieRecord* MakeMovie(qtf::MovieModel&& model, const std::string& path, const FileStamp& stamp) {
  auto movie = std::make_unique<MovieRecord>();
  movie->header = model.header;
  movie->userData = std::move(model.userData);
  movie->file = std::make_shared<DataFile>(DataFile{path, stamp});
  for (qtf::TrackModel& t : model.tracks) {
    auto track = std::make_unique<TrackRecord>();
    track->movie = movie.get();
    track->model = std::move(t);
    auto media = std::make_unique<MediaRecord>();
    media->track = track.get();
    if (track->model.media.selfContained) media->data = movie->file;
    track->media = std::move(media);
    movie->tracks.push_back(std::move(track));
  }
  return Toolbox::Get().AddMovie(std::move(movie));
}

}  // namespace qtb
