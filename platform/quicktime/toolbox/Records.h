#pragma once
// What the toolbox's handles point to. A movie owns its tracks, a track its
// media; the toolbox keeps a register of the live ones so that a disposed or
// foreign handle gets an error, never a crash.
#include "HostFiles.h"
#include "Model.h"
#include "QTToolbox.h"

#include <memory>
#include <string>
#include <vector>

namespace qtb {

// The file that holds a media's samples, as the toolbox last saw it. The
// file is opened only for the length of one call.
struct DataFile {
  std::string path;
  FileStamp stamp;
};

class MovieOutput;

// A movie's own clock and sound level, and where it draws.
struct PlayState {
  uint32_t serial = 0;     // names the movie in the trace
  int64_t time = 0;        // in the movie's time scale, 0 .. duration
  double fraction = 0;     // of a time unit, carried from one advance to the next
  Fixed rate = 0;          // 16.16; 0 stopped
  int16_t volume = 0x100;  // 8.8; below 0 silent
  GrafPort* port = nullptr;
  uint64_t pass = 0;       // the idle pass that last advanced it
};

}  // namespace qtb

// A window's port: drawing goes to the window's client area, whose
// coordinates are the port's.
struct GrafPort {
  void* window = nullptr;
  uint32_t serial = 0;
};

struct UserDataRecord {
  MovieRecord* movie = nullptr;
};

struct MediaRecord {
  TrackRecord* track = nullptr;
  std::shared_ptr<qtb::DataFile> data;  // null: the samples cannot be reached
  bool writable = false;                // new samples may be appended to data
  bool editing = false;                 // between BeginMediaEdits and EndMediaEdits

  qtf::MediaModel& Model();
};

struct TrackRecord {
  MovieRecord* movie = nullptr;
  qtf::TrackModel model;  // model.hasMedia is true exactly when media is set
  std::unique_ptr<MediaRecord> media;
};

struct MovieRecord {
  qtf::MovieHeader header;
  std::vector<std::unique_ptr<TrackRecord>> tracks;
  qtf::UserDataList userData;
  UserDataRecord userDataRecord;
  bool active = false;
  // The file the movie was read from or created in; new media keep their
  // samples there.
  std::shared_ptr<qtb::DataFile> file;
  bool fileWritable = false;
  qtb::PlayState play;
  // Decoders and caches of what the movie shows and sounds; made when it
  // first plays or draws.
  std::shared_ptr<qtb::MovieOutput> output;
};

inline qtf::MediaModel& MediaRecord::Model() { return track->model.media; }
