#include "Glyphs.h"

#include <algorithm>
#include <cmath>

namespace film {

namespace {

// Shapes are laid out on a square of side 2 around the glyph's centre and
// scaled to its size.
class Pen {
 public:
  Pen(Picture& p, int cx, int cy, int size, Colour c) : p_(p), cx_(cx + 0.5), cy_(cy + 0.5), h_(size / 2.0), c_(c) {}

  void Polygon(std::initializer_list<double> unit) {
    std::vector<double> xy;
    bool isX = true;
    for (double v : unit) {
      xy.push_back(isX ? cx_ + v * h_ : cy_ + v * h_);
      isX = !isX;
    }
    p_.FillPolygon(xy, c_);
  }
  void Rect(double l, double t, double r, double b) { Polygon({l, t, r, t, r, b, l, b}); }
  void Circle(double x, double y, double radius) { p_.FillCircle(cx_ + x * h_, cy_ + y * h_, radius * h_, c_); }
  void Ring(double radius, double thickness, Colour inside) {
    Circle(0, 0, radius);
    p_.FillCircle(cx_, cy_, (radius - thickness) * h_, inside);
  }

 private:
  Picture& p_;
  double cx_, cy_, h_;
  Colour c_;
};

Colour Face(ButtonState s) {
  switch (s) {
    case ButtonState::Hover: return {62, 84, 116};
    case ButtonState::Pressed: return {26, 34, 50};
    default: return palette::kSlate;
  }
}

Colour Ink(ButtonState s) { return s == ButtonState::Normal ? palette::kPale : palette::kAmber; }

}  // namespace

void DrawGlyph(Picture& p, Glyph glyph, int cx, int cy, int size, Colour c) {
  Pen pen(p, cx, cy, size, c);
  switch (glyph) {
    case Glyph::PlayPause:
      pen.Polygon({-0.9, -0.7, 0.1, 0, -0.9, 0.7});
      pen.Rect(0.3, -0.7, 0.5, 0.7);
      pen.Rect(0.7, -0.7, 0.9, 0.7);
      break;
    case Glyph::Rewind:
      pen.Polygon({0, -0.7, -0.9, 0, 0, 0.7});
      pen.Polygon({0.9, -0.7, 0, 0, 0.9, 0.7});
      break;
    case Glyph::SkipForwards:
      pen.Polygon({-0.7, -0.7, 0.4, 0, -0.7, 0.7});
      pen.Rect(0.5, -0.7, 0.75, 0.7);
      break;
    case Glyph::SkipBackwards:
      pen.Polygon({0.7, -0.7, -0.4, 0, 0.7, 0.7});
      pen.Rect(-0.75, -0.7, -0.5, 0.7);
      break;
    case Glyph::OpenClose:
      pen.Polygon({-0.95, 0, -0.35, -0.6, -0.35, 0.6});
      pen.Polygon({0.95, 0, 0.35, -0.6, 0.35, 0.6});
      pen.Rect(-0.4, -0.15, 0.4, 0.15);
      break;
    case Glyph::Hide:
      pen.Polygon({-0.7, -0.5, 0.7, -0.5, 0, 0.3});
      pen.Rect(-0.8, 0.55, 0.8, 0.8);
      break;
    case Glyph::Question: {
      const int scale = std::max(1, (size + 4) / 8);
      p.DrawTextCentred(cx, cy - Picture::TextHeight(scale) / 2, "?", c, scale);
      break;
    }
    case Glyph::Stop:
      pen.Rect(-0.65, -0.65, 0.65, 0.65);
      break;
    case Glyph::Globe: {
      pen.Circle(0, 0, 0.9);
      Pen hollow(p, cx, cy, size, palette::kNight);
      hollow.Rect(-0.75, -0.05, 0.75, 0.05);
      hollow.Rect(-0.05, -0.75, 0.05, 0.75);
      hollow.Rect(-0.6, -0.45, 0.6, -0.38);
      hollow.Rect(-0.6, 0.38, 0.6, 0.45);
      break;
    }
    case Glyph::Library:
      pen.Rect(-0.8, -0.8, -0.35, 0.8);
      pen.Rect(-0.25, -0.6, 0.2, 0.8);
      pen.Polygon({0.3, -0.7, 0.7, -0.8, 0.95, 0.7, 0.55, 0.8});
      break;
    case Glyph::Install:
      pen.Rect(-0.18, -0.9, 0.18, 0.1);
      pen.Polygon({-0.6, 0, 0.6, 0, 0, 0.55});
      pen.Rect(-0.85, 0.65, 0.85, 0.85);
      break;
    case Glyph::Close:
      pen.Polygon({-0.75, -0.55, -0.55, -0.75, 0.75, 0.55, 0.55, 0.75});
      pen.Polygon({0.55, -0.75, 0.75, -0.55, -0.55, 0.75, -0.75, 0.55});
      break;
    case Glyph::Exit:
      pen.Rect(-0.8, -0.8, -0.1, 0.8);
      pen.Polygon({0.05, -0.15, 0.45, -0.15, 0.45, -0.45, 0.95, 0, 0.45, 0.45, 0.45, 0.15, 0.05, 0.15});
      break;
    case Glyph::Forwards:
      pen.Polygon({-0.6, -0.8, 0.6, 0, -0.6, 0.8});
      break;
    case Glyph::Lamp:
      pen.Circle(0, -0.2, 0.6);
      pen.Rect(-0.3, 0.45, 0.3, 0.85);
      break;
  }
}

Picture ButtonPicture(int width, int height, Glyph glyph, ButtonState state) {
  Picture p(width, height, palette::kKey);
  const int sink = state == ButtonState::Pressed ? 1 : 0;
  p.FillRoundRect(0, 0, width, height, 5, palette::kEdge);
  p.FillRoundRect(1, 1, width - 1, height - 1, 4, Face(state));
  const int size = std::min(width, height) - 10;
  DrawGlyph(p, glyph, width / 2 + sink, height / 2 + sink, size, Ink(state));
  return p;
}

Picture CaptionButtonPicture(int width, int height, Glyph glyph, const std::string& caption, ButtonState state) {
  Picture p(width, height, palette::kKey);
  const int sink = state == ButtonState::Pressed ? 1 : 0;
  p.FillRoundRect(0, 0, width, height, 8, palette::kEdge);
  p.FillRoundRect(2, 2, width - 2, height - 2, 7, Face(state));
  const int size = height - 16;
  DrawGlyph(p, glyph, 8 + size / 2 + sink, height / 2 + sink, size, Ink(state));
  const int scale = height >= 40 ? 2 : 1;
  p.DrawText(16 + size + sink, (height - Picture::TextHeight(scale)) / 2 + sink, caption, Ink(state), scale);
  return p;
}

}  // namespace film
