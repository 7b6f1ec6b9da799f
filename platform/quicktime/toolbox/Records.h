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

}  // namespace qtb

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
};

inline qtf::MediaModel& MediaRecord::Model() { return track->model.media; }
