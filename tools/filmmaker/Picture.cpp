#include "Picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace film {

namespace {

// The 5 x 7 font: seven rows per character, the leftmost pixel in bit 4.
struct Glyph {
  char c;
  uint8_t rows[7];
};

constexpr Glyph kFont[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}},
    {'?', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x00, 0x04}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}}, {'(', {0x02, 0x04, 0x08, 0x08, 0x08, 0x04, 0x02}},
    {')', {0x08, 0x04, 0x02, 0x02, 0x02, 0x04, 0x08}}, {'\'', {0x04, 0x04, 0x08, 0x00, 0x00, 0x00, 0x00}},
    {'"', {0x0A, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00}}, {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}},
    {'=', {0x00, 0x00, 0x1F, 0x00, 0x1F, 0x00, 0x00}}, {'&', {0x0C, 0x12, 0x14, 0x08, 0x15, 0x12, 0x0D}},
    {'<', {0x02, 0x04, 0x08, 0x10, 0x08, 0x04, 0x02}}, {'>', {0x08, 0x04, 0x02, 0x01, 0x02, 0x04, 0x08}},
};

const Glyph* FindGlyph(char c) {
  const char upper = char(std::toupper(static_cast<unsigned char>(c)));
  for (const Glyph& g : kFont)
    if (g.c == upper) return &g;
  return nullptr;
}

constexpr int kAdvance = 6;  // five columns and a gap

uint8_t Channel(double v) { return uint8_t(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Colour Mix(Colour a, Colour b, double t) {
  return {Channel(a.r + (b.r - a.r) * t), Channel(a.g + (b.g - a.g) * t), Channel(a.b + (b.b - a.b) * t)};
}

Picture::Picture(int width, int height, Colour fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(size_t(width_) * size_t(height_), fill.Packed()) {}

void Picture::Set(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[size_t(y) * size_t(width_) + size_t(x)] = c.Packed();
}

void Picture::FillRect(int left, int top, int right, int bottom, Colour c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (left >= right) return;
  for (int y = top; y < bottom; ++y)
    std::fill(pixels_.begin() + size_t(y) * size_t(width_) + size_t(left),
              pixels_.begin() + size_t(y) * size_t(width_) + size_t(right), c.Packed());
}

void Picture::FrameRect(int left, int top, int right, int bottom, Colour c) {
  FillRect(left, top, right, top + 1, c);
  FillRect(left, bottom - 1, right, bottom, c);
  FillRect(left, top, left + 1, bottom, c);
  FillRect(right - 1, top, right, bottom, c);
}

void Picture::VerticalGradient(int left, int top, int right, int bottom, Colour from, Colour to) {
  const int span = std::max(bottom - top - 1, 1);
  for (int y = top; y < bottom; ++y) FillRect(left, y, right, y + 1, Mix(from, to, double(y - top) / span));
}

void Picture::FillRoundRect(int left, int top, int right, int bottom, int radius, Colour c) {
  radius = std::max(0, std::min({radius, (right - left) / 2, (bottom - top) / 2}));
  for (int y = top; y < bottom; ++y) {
    // How far the row is inside a corner's band, and how much the corner cuts there.
    int band = std::max({radius - (y - top), radius - (bottom - 1 - y), 0});
    int cut = 0;
    if (band > 0) {
      double dy = band - 0.5;
      cut = int(std::lround(radius - std::sqrt(std::max(0.0, double(radius) * radius - dy * dy))));
    }
    FillRect(left + cut, y, right - cut, y + 1, c);
  }
}

void Picture::FillCircle(double cx, double cy, double radius, Colour c) {
  const int top = int(std::floor(cy - radius)), bottom = int(std::ceil(cy + radius));
  const int left = int(std::floor(cx - radius)), right = int(std::ceil(cx + radius));
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy <= radius * radius) Set(x, y, c);
    }
}

void Picture::FillPolygon(const std::vector<double>& xy, Colour c) {
  const size_t n = xy.size() / 2;
  if (n < 3) return;
  for (int y = 0; y < height_; ++y) {
    const double py = y + 0.5;
    std::vector<double> crossings;
    for (size_t i = 0; i < n; ++i) {
      const double x0 = xy[2 * i], y0 = xy[2 * i + 1];
      const double x1 = xy[2 * ((i + 1) % n)], y1 = xy[2 * ((i + 1) % n) + 1];
      if ((y0 <= py) == (y1 <= py)) continue;
      crossings.push_back(x0 + (py - y0) * (x1 - x0) / (y1 - y0));
    }
    std::sort(crossings.begin(), crossings.end());
    for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
      // Pixels whose centres lie between the two crossings.
      const int from = int(std::ceil(crossings[i] - 0.5)), to = int(std::floor(crossings[i + 1] - 0.5));
      FillRect(from, y, to + 1, y + 1, c);
    }
  }
}

void Picture::DrawText(int x, int y, const std::string& text, Colour c, int scale) {
  for (char ch : text) {
    if (const Glyph* g = FindGlyph(ch)) {
      for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
          if (g->rows[row] & (0x10 >> col))
            FillRect(x + col * scale, y + row * scale, x + (col + 1) * scale, y + (row + 1) * scale, c);
    }
    x += kAdvance * scale;
  }
}

int Picture::TextWidth(const std::string& text, int scale) {
  return text.empty() ? 0 : (int(text.size()) * kAdvance - 1) * scale;
}

void Picture::DrawTextCentred(int centreX, int y, const std::string& text, Colour c, int scale) {
  DrawText(centreX - TextWidth(text, scale) / 2, y, text, c, scale);
}

void Picture::Paste(const Picture& from, int x, int y) {
  for (int row = 0; row < from.height_; ++row) {
    const int ty = y + row;
    if (ty < 0 || ty >= height_) continue;
    for (int col = 0; col < from.width_; ++col) {
      const int tx = x + col;
      if (tx < 0 || tx >= width_) continue;
      pixels_[size_t(ty) * size_t(width_) + size_t(tx)] = from.pixels_[size_t(row) * size_t(from.width_) + size_t(col)];
    }
  }
}

}  // namespace film
