#pragma once
// Reading back what the film maker wrote, independently of how it wrote it:
// QT atom containers by the rules the sprite runtime applies, sprite key
// frames as sprites with their images, properties and actions, and samples
// out of film files.
#include "Bytes.h"
#include "Model.h"

#include <map>
#include <string>
#include <vector>

namespace filmcheck {

using Bytes = std::vector<uint8_t>;

struct AtomNode {
  qtf::FourCC type = 0;
  uint32_t id = 0;
  bool leaf = false;
  Bytes data;  // a leaf's
  std::vector<AtomNode> children;

  // The first child of the type (and the ID, when given); null when none.
  const AtomNode* Child(qtf::FourCC type, uint32_t id = 0) const;
  std::vector<const AtomNode*> Children(qtf::FourCC type) const;
};

// A container: 12-byte header, root 'sean' ID 1; children fill each parent
// exactly and number its child count. False with the broken rule otherwise.
bool ReadContainer(const Bytes& bytes, AtomNode& root, std::string& why);

struct Action {
  uint32_t type = 0;
  std::vector<Bytes> parameters;
  // For 0x2000: the string parameter, for the script command the command.
  std::string Text() const;
};

struct SpriteInfo {
  uint32_t id = 0;
  std::string name;
  int x = 0, y = 0;
  uint16_t image = 0;
  bool visible = true;
  int16_t layer = 0;
  uint32_t mode = 0;
  std::map<qtf::FourCC, std::vector<Action>> events;
};

struct ImageInfo {
  qtf::SampleDescription description;  // with data reference 0
  Bytes data;
  uint16_t width = 0, height = 0;
};

struct KeyFrame {
  std::vector<ImageInfo> images;  // index 1 first
  std::vector<SpriteInfo> sprites;
};

// Reads a key frame sample; fails the calling test on a broken rule.
bool ReadKeyFrame(const Bytes& sample, KeyFrame& out, std::string& why);

// The bytes of sample i (0-based) of a track of a film file.
Bytes SampleBytes(const std::string& path, const qtf::TrackModel& track, uint32_t sample);

// Whole file.
Bytes FileBytes(const std::string& path);

// The store's readers of a film's own data. They turn '/' into '\', which a
// native path would not survive, so they are given the plain file name from
// inside the film's folder.
std::map<std::string, std::string> StoredActions(const std::string& path);
bool StoredPreferences(const std::string& path, std::map<std::string, std::string>& preferences);

}  // namespace filmcheck
