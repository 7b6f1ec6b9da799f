#pragma once
// Sprite films written byte by byte for tests, independent of the
// library's reader: QT atom containers, sprite samples with raw 24-bit
// images, wired actions, and a film that holds them in a sprite track.
#include "FilmBytes.h"

#include <string>
#include <vector>

namespace filmtest {

constexpr uint32_t Code(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) | (uint32_t(uint8_t(s[2])) << 8) |
         uint32_t(uint8_t(s[3]));
}

// A QT atom: 20-byte header, then data (a leaf) or children.
Bytes QTLeaf(uint32_t type, uint32_t id, const Bytes& data);
Bytes QTParent(uint32_t type, uint32_t id, const std::vector<Bytes>& children);
// A container: 12-byte header and the 'sean' root holding the children.
Bytes Container(const std::vector<Bytes>& children);

// Actions ('actn' atoms): the type first, then the parameters in order.
Bytes Action(uint32_t type, const std::vector<Bytes>& parameters, uint32_t id = 1);
Bytes AppAction(uint32_t number, const std::string& text);         // 8192: number, Pascal string
Bytes ScriptAction(const std::string& command, const std::string& arguments = "");  // 'KXsc'
Bytes SetImageAction(int16_t index);
Bytes SetVisibleAction(bool visible);
Bytes TranslateAction(int x, int y, bool relative);
// An event atom of a sprite, or the frame-loaded atom with type "fram".
Bytes Event(const char (&type)[5], const std::vector<Bytes>& actions);

// An 'imda' body: a 'raw ' 24-bit image description and one colour.
Bytes RawImage(uint16_t width, uint16_t height, uint32_t rgb);

struct TestSprite {
  uint32_t id = 1;
  int16_t image = 1;
  int x = 0, y = 0;
  bool visible = true;
  int16_t layer = 0;
  std::string name;
  std::vector<Bytes> events;
  uint32_t mode = 0;
  uint16_t opColor[3] = {0, 0, 0};
  bool properties = true;  // false: no property atoms at all
};
Bytes SpriteAtom(const TestSprite& s);

// A key frame: the images (as RawImage bodies, IDs 1, 2, ...), the sprites,
// then whatever else the root should hold.
Bytes KeyFrame(const std::vector<Bytes>& images, const std::vector<TestSprite>& sprites,
               const std::vector<Bytes>& more = {});

struct SpriteFilmOptions {
  uint16_t width = 320, height = 48;
  std::vector<Bytes> samples;        // each lasts one second
  std::vector<bool> keyFrames;       // empty: every sample is one
  uint32_t videoColour = 0xFFFFFFFF; // not 0xFFFFFFFF: a video track of that colour under the sprites
  uint16_t videoWidth = 0, videoHeight = 0;  // 0: the sprite track's size
};
// A film with one sprite track (layer -1), time scale 600.
Bytes SpriteFilm(const SpriteFilmOptions& options);

// The system's controller strip as the tests model it: 320 x 48, eleven
// buttons 26 pixels wide from the left, each sending its name as
// application number (its index) and string on a click.
extern const char* const kStripButtons[11];
Bytes StripFilm();

}  // namespace filmtest
