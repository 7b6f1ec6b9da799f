#include "Scenes.h"

#include "Glyphs.h"

#include <cmath>
#include <iterator>

namespace film {

namespace {

constexpr double kPi = 3.141592653589793;

}  // namespace

Picture HarbourFrame(int width, int height, double phase, const std::string& title) {
  Picture p(width, height);
  const int horizon = height * 5 / 8;
  p.VerticalGradient(0, 0, width, horizon, palette::kNight, Colour{214, 120, 70});
  p.VerticalGradient(0, horizon, width, height, palette::kSea, palette::kNight);

  // Waves: short light strokes drifting to the left.
  for (int row = 0; row < 6; ++row) {
    const int y = horizon + 6 + row * (height - horizon) / 6;
    const int drift = int(phase * 80) * (row % 2 ? 1 : 2);
    for (int x = -40; x < width + 40; x += 40) {
      const int left = x + (row * 17) % 40 - drift % 40;
      p.FillRect(left, y, left + 14 - row, y + 1, palette::kFoam);
    }
  }

  // The lighthouse, its lamp and the beam sweeping to and fro.
  const int towerX = width * 3 / 4, towerTop = horizon - height / 3;
  const double beam = std::sin(phase * 2 * kPi) * 0.5;
  p.FillPolygon({towerX + 0.5, towerTop + 6.0, towerX + 160.0, towerTop - 20 + 60 * beam, towerX + 160.0,
                 towerTop + 14 + 60 * beam},
                Mix(palette::kAmber, Colour{214, 120, 70}, 0.45));
  p.FillPolygon({towerX - 8.0, double(horizon), towerX + 8.0, double(horizon), towerX + 5.0, towerTop + 10.0,
                 towerX - 5.0, towerTop + 10.0},
                palette::kPale);
  for (int band = 0; band < 3; ++band) {
    const int y = towerTop + 18 + band * (horizon - towerTop - 18) / 3;
    p.FillRect(towerX - 8, y, towerX + 9, y + 5, Colour{190, 50, 50});
  }
  p.FillRect(towerX - 6, towerTop + 4, towerX + 7, towerTop + 10, palette::kSlate);
  p.FillCircle(towerX + 0.5, towerTop + 6.0, 4.0, palette::kAmber);

  // The boat crossing from left to right.
  const double boatX = -40 + phase * (width + 80);
  const double waterline = horizon + (height - horizon) * 0.45;
  p.FillPolygon({boatX - 24, waterline - 8, boatX + 24, waterline - 8, boatX + 16, waterline, boatX - 16, waterline},
                Colour{90, 50, 30});
  p.FillPolygon({boatX, waterline - 10, boatX, waterline - 46, boatX + 20, waterline - 12}, palette::kPale);
  p.FillPolygon({boatX - 2, waterline - 10, boatX - 2, waterline - 38, boatX - 18, waterline - 12}, palette::kFoam);

  if (!title.empty()) p.DrawTextCentred(width / 2, height / 12, title, palette::kPale, 2);
  return p;
}

Picture TitleFrame(int width, int height, double phase) {
  Picture p(width, height);
  p.VerticalGradient(0, 0, width, height, palette::kDeep, palette::kNight);
  const double cx = width / 2.0, cy = height * 0.42;
  for (int ray = 0; ray < 8; ++ray) {
    const double a = (ray / 8.0 + phase / 8.0) * 2 * kPi;
    const double spread = 0.09;
    const double r = width;
    p.FillPolygon({cx, cy, cx + r * std::cos(a - spread), cy + r * std::sin(a - spread), cx + r * std::cos(a + spread),
                   cy + r * std::sin(a + spread)},
                  Mix(palette::kDeep, palette::kSea, 0.6));
  }
  p.FillCircle(cx, cy, height / 10.0, palette::kAmber);
  p.DrawTextCentred(width / 2, int(height * 0.62), "GLINTHARBOUR", palette::kPale, 3);
  p.DrawTextCentred(width / 2, int(height * 0.62) + 30, "KX3 FILM PLAYER", palette::kFoam, 1);
  return p;
}

Picture TextPage(int width, int height, const std::string& heading, const std::vector<std::string>& lines) {
  Picture p(width, height);
  p.VerticalGradient(0, 0, width, height, palette::kDeep, palette::kNight);
  p.FrameRect(4, 4, width - 4, height - 4, palette::kEdge);
  p.DrawTextCentred(width / 2, 16, heading, palette::kAmber, 2);
  int y = 48;
  for (const std::string& line : lines) {
    p.DrawText(16, y, line, palette::kPale);
    y += 14;
  }
  return p;
}

std::vector<Picture> HelpPages(int width, int height) {
  struct Entry {
    Glyph glyph;
    const char* text;
  };
  const Entry first[] = {
      {Glyph::PlayPause, "PAUSE OR GO ON PLAYING"},   {Glyph::Rewind, "START THE FILM AGAIN"},
      {Glyph::SkipForwards, "NEXT FILM"},            {Glyph::SkipBackwards, "FILM BEFORE"},
      {Glyph::OpenClose, "OPEN OR CLOSE THE STRIP"}, {Glyph::Hide, "HIDE THE STRIP"},
  };
  const Entry second[] = {
      {Glyph::Question, "THESE HELP PAGES"},   {Glyph::Stop, "STOP THE FILMS"},
      {Glyph::Globe, "VISIT OUR WEB SITE"},    {Glyph::Library, "OPEN THE FILM LIBRARY"},
      {Glyph::Install, "KEEP THIS FILM"},
  };
  std::vector<Picture> pages;
  auto page = [&](const std::string& heading, const Entry* begin, const Entry* end) {
    Picture p = TextPage(width, height, heading, {});
    int y = 52;
    for (const Entry* e = begin; e != end; ++e) {
      p.FillRoundRect(16, y - 6, 42, y + 18, 4, palette::kSlate);
      DrawGlyph(p, e->glyph, 29, y + 6, 16, palette::kPale);
      p.DrawText(54, y + 3, e->text, palette::kPale);
      y += 30;
    }
    pages.push_back(std::move(p));
  };
  page("THE CONTROL STRIP", std::begin(first), std::end(first));
  page("MORE CONTROLS", std::begin(second), std::end(second));
  pages.push_back(TextPage(width, height, "HELP",
                           {"CLICK THE HANDLE AT THE RIGHT", "OF THE STRIP TO SLIDE IT IN", "OR OUT.", "",
                            "CLICK OR PRESS A KEY TO", "RETURN TO YOUR FILMS."}));
  return pages;
}

Picture Backdrop(int width, int height, const std::string& heading, const std::string& subheading) {
  Picture p(width, height);
  p.VerticalGradient(0, 0, width, height, palette::kDeep, palette::kNight);
  p.FrameRect(8, 8, width - 8, height - 8, palette::kEdge);
  p.FrameRect(12, 12, width - 12, height - 12, palette::kSlate);
  p.DrawTextCentred(width / 2, height / 10, heading, palette::kAmber, 4);
  p.DrawTextCentred(width / 2, height / 10 + 44, subheading, palette::kFoam, 2);
  return p;
}

}  // namespace film
