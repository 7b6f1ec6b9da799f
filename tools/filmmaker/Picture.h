#pragma once
// A picture drawn in code: the frames, sprite images and button glyphs of
// the films we ship. Pixels are 0x00RRGGBB, rows top to bottom, the layout
// the decoders produce, so a picture compares directly with a decoded one.
#include <cstdint>
#include <string>
#include <vector>

namespace film {

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
  uint32_t Packed() const { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }
};

// Colour between a (t = 0) and b (t = 1).
Colour Mix(Colour a, Colour b, double t);

class Picture {
 public:
  Picture() = default;
  Picture(int width, int height, Colour fill = {});

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  // Every drawing operation clips to the picture.
  void Set(int x, int y, Colour c);
  void FillRect(int left, int top, int right, int bottom, Colour c);
  void FrameRect(int left, int top, int right, int bottom, Colour c);
  // Top to bottom from one colour to the other.
  void VerticalGradient(int left, int top, int right, int bottom, Colour from, Colour to);
  // A rectangle whose corners are cut by radius pixels.
  void FillRoundRect(int left, int top, int right, int bottom, int radius, Colour c);
  void FillCircle(double cx, double cy, double radius, Colour c);
  // A convex or concave polygon, filled by the even-odd rule at pixel centres.
  void FillPolygon(const std::vector<double>& xy, Colour c);

  // Text in the built-in 5 x 7 font, scale pixels per font pixel; letters
  // are drawn in capitals, characters the font lacks as blanks.
  void DrawText(int x, int y, const std::string& text, Colour c, int scale = 1);
  static int TextWidth(const std::string& text, int scale = 1);
  static int TextHeight(int scale = 1) { return 7 * scale; }
  void DrawTextCentred(int centreX, int y, const std::string& text, Colour c, int scale = 1);

  // Copies another picture in with its top-left corner at (x, y).
  void Paste(const Picture& from, int x, int y);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace film
