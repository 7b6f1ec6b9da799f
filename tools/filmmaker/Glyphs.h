#pragma once
// Button glyphs and button pictures for the sprite strips and menus.
#include "Picture.h"

#include <string>

namespace film {

enum class Glyph {
  PlayPause,
  Rewind,
  SkipForwards,
  SkipBackwards,
  OpenClose,
  Hide,
  Question,
  Stop,
  Globe,
  Library,
  Install,
  Close,
  Exit,
  Forwards,
  Lamp,
};

enum class ButtonState { Normal, Hover, Pressed };

// Draws the glyph centred on (cx, cy), about size pixels across.
void DrawGlyph(Picture& p, Glyph glyph, int cx, int cy, int size, Colour c);

// A button of the size: a rounded face with the glyph, lighter when the
// mouse is over it, sunk when pressed. Its corners are palette::kKey, for
// a sprite that leaves that colour out.
Picture ButtonPicture(int width, int height, Glyph glyph, ButtonState state);

// A wide button with a glyph at its left and a caption.
Picture CaptionButtonPicture(int width, int height, Glyph glyph, const std::string& caption, ButtonState state);

// The colours the films share.
namespace palette {
constexpr Colour kNight{14, 22, 38};
constexpr Colour kDeep{24, 40, 66};
constexpr Colour kSea{28, 70, 110};
constexpr Colour kSlate{44, 58, 82};
constexpr Colour kEdge{96, 118, 150};
constexpr Colour kPale{222, 228, 238};
constexpr Colour kAmber{255, 196, 72};
constexpr Colour kFoam{170, 210, 230};
// Drawn nowhere else: the colour transparent sprites leave out.
constexpr Colour kKey{255, 0, 255};
}  // namespace palette

}  // namespace film
