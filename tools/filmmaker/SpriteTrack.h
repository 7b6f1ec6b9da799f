#pragma once
// Sprite samples as the stand-in's sprite runtime reads them (described in
// platform/quicktime/SPRITES.md, whose reader's constants are used here):
// atom containers whose key frames carry the shared images and the sprites
// with their properties, events and wired actions, and whose override
// frames change some properties.
#include "AtomWriter.h"
#include "Picture.h"
#include "SampleTable.h"
#include "SpriteSample.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace film {

struct SpriteAction {
  uint32_t type = 0;
  std::vector<Bytes> parameters;  // 'parm' 1, 2, ... in order
};

// The system's buttons: the number and the text reach the program's filter.
SpriteAction ApplicationNumberAndString(uint32_t number, const std::string& text);
// A command text for the program's filter as a script command.
SpriteAction ScriptCommand(const std::string& command, const std::string& arguments = std::string());
SpriteAction SetImageIndex(uint16_t index);
SpriteAction SetVisible(bool visible);

struct SpriteImage {
  Picture picture;
  qtf::FourCC codec = qtf::Tag("rle ");  // 'rle ' or 'raw '
  uint16_t depth = 24;
};

using SpriteEvent = std::pair<qtf::FourCC, std::vector<SpriteAction>>;

struct Sprite {
  std::string name;
  uint16_t image = 1;  // the image index, from 1
  int x = 0, y = 0;    // where the image's top-left corner lies in the track
  bool visible = true;
  int16_t layer = 0;   // a lower layer lies in front
  uint32_t graphicsMode = qtf::kModeCopy;
  Colour opColour;     // the colour a transparent sprite leaves out
  std::vector<SpriteEvent> events;
};

struct SpriteKeyFrame {
  std::vector<SpriteImage> images;  // image index i is images[i - 1]
  std::vector<Sprite> sprites;      // sprite ID i is sprites[i - 1]
  std::vector<SpriteAction> frameLoaded;
};

// What an override frame changes on one sprite of its key frame.
struct SpriteOverride {
  uint32_t spriteId = 0;
  std::optional<uint16_t> image;
  std::optional<bool> visible;
  std::optional<std::pair<int, int>> position;
  std::optional<int16_t> layer;
};

// The 16-byte 'sprt' sample description.
qtf::SampleDescription SpriteDescription();

// The atom containers of the samples, as the track stores them.
Bytes KeyFrameSample(const SpriteKeyFrame& frame);
Bytes OverrideSample(const std::vector<SpriteOverride>& overrides,
                     const std::vector<SpriteAction>& frameLoaded = {});

}  // namespace film
