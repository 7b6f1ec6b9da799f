#pragma once
// Sprite media samples: what one sample of a 'sprt' track says about its
// images, its sprites, their events and the actions those run. The byte
// layout is written down in platform/quicktime/SPRITES.md. Platform-free;
// every value is read from untrusted bytes.
#include "AtomContainer.h"
#include "Model.h"

#include <string>
#include <vector>

namespace qtf {

// Atom types of a sample.
constexpr FourCC kSpriteSharedData = Tag("dflt");
constexpr FourCC kSpriteImages = Tag("imct");
constexpr FourCC kSpriteImage = Tag("imag");
constexpr FourCC kSpriteImageData = Tag("imda");
constexpr FourCC kSpriteAtom = Tag("sprt");
constexpr FourCC kSpriteName = Tag("name");
constexpr FourCC kSpriteMatrix = 1;
constexpr FourCC kSpriteVisible = 4;
constexpr FourCC kSpriteLayer = 5;
constexpr FourCC kSpriteGraphicsMode = 6;
constexpr FourCC kSpriteImageIndex = 100;

// Events: an event atom's ID is its event type; frame loaded sits at the root.
constexpr FourCC kEventAtom = Tag("evnt");
constexpr FourCC kEventMouseClick = Tag("clik");
constexpr FourCC kEventClickEnd = Tag("cend");
constexpr FourCC kEventClickEndTrigger = Tag("trig");
constexpr FourCC kEventMouseEnter = Tag("entr");
constexpr FourCC kEventMouseExit = Tag("exit");
constexpr FourCC kEventIdle = Tag("idle");
constexpr FourCC kEventKey = Tag("key ");
constexpr FourCC kEventFrameLoaded = Tag("fram");

// Actions.
constexpr FourCC kActionAtom = Tag("actn");
constexpr FourCC kWhichAction = Tag("whic");
constexpr FourCC kActionParameter = Tag("parm");

constexpr uint32_t kActionMovieSetVolume = 1024;
constexpr uint32_t kActionMovieSetRate = 1025;
constexpr uint32_t kActionMovieGoToTime = 1027;
constexpr uint32_t kActionSpriteSetImageIndex = 3073;
constexpr uint32_t kActionSpriteSetVisible = 3074;
constexpr uint32_t kActionSpriteTranslate = 3080;
constexpr uint32_t kActionApplicationNumberAndString = 8192;
// Ours: a command text for the program, given to its filter as a script.
constexpr uint32_t kActionScriptCommand = Tag("KXsc");

// Graphics modes a sprite is drawn with.
constexpr uint32_t kModeCopy = 0;
constexpr uint32_t kModeBlend = 32;
constexpr uint32_t kModeTransparent = 36;

// A sample with more sprites than this keeps the first ones.
constexpr size_t kMaxSprites = 1024;

struct SpriteProperties {
  bool hasMatrix = false, hasVisible = false, hasLayer = false, hasMode = false, hasImage = false,
       hasName = false;
  Matrix matrix;
  bool visible = true;
  int16_t layer = 0;
  uint32_t mode = kModeCopy;
  uint16_t opColor[3] = {0, 0, 0};
  int16_t imageIndex = 1;
  std::string name;
};

struct SpriteEvent {
  FourCC type = 0;
  std::vector<uint32_t> actions;  // offsets of the 'actn' atoms, in order
};

struct SpriteAtom {
  uint32_t id = 0;
  SpriteProperties properties;
  std::vector<SpriteEvent> events;

  // The actions of an event; none when the sprite does not handle it.
  const std::vector<uint32_t>* Actions(FourCC event) const;
};

struct SpriteImage {
  uint32_t id = 0;
  SampleDescription description;  // the image description, as a video description
  uint32_t dataOffset = 0;        // the coded image, in the sample's bytes
  uint32_t dataSize = 0;
};

struct SpriteSample {
  bool hasSharedData = false;  // a 'dflt' atom: the sample can be a key frame
  std::vector<SpriteImage> images;
  std::vector<SpriteAtom> sprites;  // in storage order
  std::vector<uint32_t> frameLoaded;

  const SpriteImage* Image(int32_t index) const;
};

// Reads one sample. A sample that breaks the container's rules or whose
// property data is too short for its type is damaged, and nothing of it is
// used. Unknown atoms are passed over.
Status ReadSpriteSample(const uint8_t* bytes, size_t size, SpriteSample& out);

// One action, as its atoms give it: the type and each parameter's data.
struct WiredAction {
  uint32_t type = 0;
  std::vector<ByteReader> parameters;  // parameters[k - 1] is 'parm' ID k; empty when absent
};

// Reads the action atom at index of a parsed container; false when it has
// no type (a 'whic' leaf of four bytes or more).
bool ReadWiredAction(const AtomContainer& container, int index, WiredAction& out);

}  // namespace qtf
