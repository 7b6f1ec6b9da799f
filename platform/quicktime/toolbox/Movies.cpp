// Starting the toolbox, file specifications, opening and closing movies, and
// the movie's own facts.
#include "MovieReader.h"
#include "Player.h"
#include "Toolbox.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using qtb::Guard;
using qtb::GuardVoid;
using qtb::SetError;
using qtb::Toolbox;

namespace {

TimeValue ClampTime(uint64_t t) { return t > uint64_t(INT32_MAX) ? INT32_MAX : TimeValue(t); }

using qtf::Box;

Box NaturalBox(const MovieRecord& movie) {
  std::vector<const qtf::TrackModel*> tracks;
  for (const auto& t : movie.tracks) tracks.push_back(&t->model);
  return qtf::NaturalBox(tracks);
}

int16_t ToShort(double v) {
  double r = std::floor(v + 0.5);
  return int16_t(std::max(-32768.0, std::min(32767.0, r)));
}

int32_t ToFixed(double v) {
  double r = std::floor(v * 65536.0 + 0.5);
  return int32_t(std::max(-2147483648.0, std::min(2147483647.0, r)));
}

}  // namespace

namespace qtb {

Rect MovieBox(const MovieRecord& movie) {
  Box b = qtf::Transform(movie.header.matrix, NaturalBox(movie));
  return Rect{ToShort(b.top), ToShort(b.left), ToShort(b.bottom), ToShort(b.right)};
}

void SetMovieBox(MovieRecord& movie, const Rect& box) {
  // The movie's matrix takes the natural box onto the new one: a box of
  // another size scales the picture.
  Box n = NaturalBox(movie);
  double sx = 1, sy = 1;
  if (!n.Empty()) {
    sx = (box.right - box.left) / (n.right - n.left);
    sy = (box.bottom - box.top) / (n.bottom - n.top);
  }
  qtf::Matrix matrix;
  matrix.m[0] = ToFixed(sx);
  matrix.m[4] = ToFixed(sy);
  matrix.m[6] = ToFixed(box.left - n.left * sx);
  matrix.m[7] = ToFixed(box.top - n.top * sy);
  movie.header.matrix = matrix;
}

int64_t PlayLength(const MovieRecord& movie) {
  return int64_t(std::min<uint64_t>(MovieDuration(movie), uint64_t(INT64_MAX) / 4));
}

uint64_t MovieDuration(const MovieRecord& movie) {
  uint64_t duration = 0;
  for (const auto& t : movie.tracks)
    duration = std::max(duration, qtf::TrackDuration(t->model, movie.header.timeScale));
  return duration;
}

}  // namespace qtb

// --- Start and end -------------------------------------------------------

OSErr InitializeQTML(int32_t) {
  Toolbox::Get().qtmlReady = true;
  return SetError(noErr);
}

void TerminateQTML(void) {
  // The library may be unloaded next: its timer and sound end first.
  qtb::Player::Get().StopEverything();
  Toolbox& tb = Toolbox::Get();
  tb.moviesReady = false;
  tb.qtmlReady = false;
  tb.files.clear();
}

OSErr EnterMovies(void) {
  Toolbox& tb = Toolbox::Get();
  if (!tb.qtmlReady) return SetError(qtmlUninitialized);
  tb.moviesReady = true;
  return SetError(noErr);
}

void ExitMovies(void) {
  qtb::Player::Get().StopEverything();
  Toolbox::Get().moviesReady = false;
}

OSErr GetMoviesError(void) { return Toolbox::Get().error; }

// --- File specifications and movie files -----------------------------------

OSErr FSMakeFSSpec(int16_t vRefNum, int32_t dirID, ConstStr255Param fileName, FSSpec* spec) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    if (!spec || !fileName) return SetError(paramErr);
    std::memset(spec, 0, sizeof *spec);
    // Volumes and folders are not kept apart: the name holds the whole path.
    if (vRefNum != 0 || dirID != 0) return SetError(paramErr);
    std::string name(reinterpret_cast<const char*>(fileName + 1), fileName[0]);
    if (name.empty() || name.find('\0') != std::string::npos) return SetError(bdNamErr);
    std::string full = qtb::FullPath(name);
    // A path that does not fit the name would name another file once cut.
    if (full.empty() || full.size() > 255) return SetError(bdNamErr);
    spec->name[0] = uint8_t(full.size());
    std::memcpy(spec->name + 1, full.data(), full.size());
    // A file that is not there yet still gets its specification, to create it.
    return SetError(qtb::FileExists(full) ? noErr : fnfErr);
  });
}

OSErr OpenMovieFile(const FSSpec* fileSpec, int16_t* resRefNum, int8_t permission) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    if (resRefNum) *resRefNum = 0;
    if (!tb.moviesReady) return SetError(movieToolboxUninitialized);
    if (!fileSpec || !resRefNum) return SetError(paramErr);
    std::string path = qtb::SpecPath(fileSpec);
    if (path.empty()) return SetError(fnfErr);
    bool write = permission == fsWrPerm || permission == fsRdWrPerm;
    if (!qtb::FileExists(path)) return SetError(fnfErr);
    // Only a look: the file is opened again by each call that needs it.
    qtf::File probe;
    qtf::Status s = probe.Open(path, write ? qtf::File::Mode::Update : qtf::File::Mode::Read);
    if (!s.Ok()) return SetError(s.fault == qtf::Fault::Missing ? fnfErr : permErr);
    probe.Close();
    int16_t number = tb.NewFileNumber();
    if (number == 0) return SetError(tmfoErr);
    tb.files[number] = qtb::MovieFile{path, write};
    *resRefNum = number;
    return SetError(noErr);
  });
}

OSErr NewMovieFromFile(Movie* theMovie, int16_t resRefNum, int16_t* resId, StringPtr resName,
                       int16_t newMovieFlags, Boolean* dataRefWasChanged) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    if (theMovie) *theMovie = nullptr;
    if (dataRefWasChanged) *dataRefWasChanged = 0;
    if (resName) resName[0] = 0;
    if (!tb.moviesReady) return SetError(movieToolboxUninitialized);
    if (!theMovie) return SetError(paramErr);
    auto file = tb.files.find(resRefNum);
    if (file == tb.files.end()) return SetError(rfNumErr);
    const std::string path = file->second.path;
    qtb::FileStamp before, after;
    if (!qtb::StampFile(path, before)) return SetError(fnfErr);
    qtf::MovieModel model;
    qtf::FileFacts facts;
    qtf::Status s = qtf::ReadMovieFile(path, model, facts);
    if (!s.Ok()) return SetError(qtb::ErrorFor(s));
    // A file rewritten while it was read is not the file the tables describe.
    if (!qtb::StampFile(path, after) || after != before || after.size != facts.fileSize)
      return SetError(invalidDataRef);
    MovieRecord* movie = qtb::MakeMovie(std::move(model), path, after);
    movie->active = (newMovieFlags & newMovieActive) != 0;
    if (resId) *resId = movieInDataForkResID;
    *theMovie = movie;
    return SetError(noErr);
  });
}

OSErr CloseMovieFile(int16_t resRefNum) {
  Toolbox& tb = Toolbox::Get();
  if (tb.files.erase(resRefNum) == 0) return SetError(rfNumErr);
  return SetError(noErr);
}

void DisposeMovie(Movie theMovie) {
  GuardVoid([&] {
    Toolbox& tb = Toolbox::Get();
    MovieRecord* m = tb.LiveMovie(theMovie);
    if (!m) {
      SetError(invalidMovie);
      return;
    }
    tb.DisposeMovie(m);
    SetError(noErr);
  });
}

// --- The movie's facts -------------------------------------------------------

void SetMovieActive(Movie theMovie, Boolean active) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  if (!m) {
    SetError(invalidMovie);
    return;
  }
  m->active = active != 0;
  SetError(noErr);
}

Boolean GetMovieActive(Movie theMovie) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  SetError(m ? noErr : invalidMovie);
  return m && m->active;
}

void GetMovieBox(Movie theMovie, Rect* boxRect) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  if (!boxRect) {
    SetError(paramErr);
    return;
  }
  *boxRect = Rect{0, 0, 0, 0};
  if (!m) {
    SetError(invalidMovie);
    return;
  }
  *boxRect = qtb::MovieBox(*m);
  SetError(noErr);
}

void SetMovieBox(Movie theMovie, const Rect* boxRect) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  if (!m) {
    SetError(invalidMovie);
    return;
  }
  if (!boxRect || boxRect->right < boxRect->left || boxRect->bottom < boxRect->top) {
    SetError(invalidRect);
    return;
  }
  qtb::SetMovieBox(*m, *boxRect);
  SetError(noErr);
}

void MacOffsetRect(Rect* r, int16_t dh, int16_t dv) {
  if (!r) return;
  r->left = int16_t(r->left + dh);
  r->right = int16_t(r->right + dh);
  r->top = int16_t(r->top + dv);
  r->bottom = int16_t(r->bottom + dv);
}

TimeScale GetMovieTimeScale(Movie theMovie) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  SetError(m ? noErr : invalidMovie);
  return m ? TimeScale(std::min<uint32_t>(m->header.timeScale, INT32_MAX)) : 0;
}

TimeValue GetMovieDuration(Movie theMovie) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  if (!m) {
    SetError(invalidMovie);
    return 0;
  }
  SetError(noErr);
  return ClampTime(qtb::MovieDuration(*m));
}

TimeValue GetMoviePosterTime(Movie theMovie) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  SetError(m ? noErr : invalidMovie);
  return m ? ClampTime(m->header.posterTime) : 0;
}

// --- User data ---------------------------------------------------------------

UserData GetMovieUserData(Movie theMovie) {
  MovieRecord* m = Toolbox::Get().LiveMovie(theMovie);
  SetError(m ? noErr : invalidMovie);
  return m ? &m->userDataRecord : nullptr;
}

int16_t CountUserDataType(UserData theUserData, OSType udType) {
  UserDataRecord* u = Toolbox::Get().LiveUserData(theUserData);
  if (!u) {
    SetError(paramErr);
    return 0;
  }
  size_t n = 0;
  for (const qtf::UserDataItem& item : u->movie->userData)
    if (item.type == udType) ++n;
  SetError(noErr);
  return int16_t(std::min<size_t>(n, INT16_MAX));
}

OSErr GetUserData(UserData theUserData, Handle data, OSType udType, int32_t index) {
  return Guard<OSErr>(paramErr, [&]() -> OSErr {
    Toolbox& tb = Toolbox::Get();
    UserDataRecord* u = tb.LiveUserData(theUserData);
    if (!u) return SetError(paramErr);
    if (data && !tb.handles.count(data)) return SetError(nilHandleErr);
    const qtf::UserDataItem* found = nullptr;
    int32_t seen = 0;
    for (const qtf::UserDataItem& item : u->movie->userData) {
      if (item.type == udType && ++seen == index) {
        found = &item;
        break;
      }
    }
    if (!found) return SetError(userDataItemNotFound);
    // Without a handle the call only tells whether the item is there.
    if (data && !qtb::ResizeHandle(data, int32_t(found->data.size()))) return SetError(memFullErr);
    if (data && !found->data.empty()) std::memcpy(*data, found->data.data(), found->data.size());
    return SetError(noErr);
  });
}
