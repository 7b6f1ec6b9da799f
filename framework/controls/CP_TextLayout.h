#pragma once
// Breaking a paragraph into lines that fit a width, measured through a
// callback so that the rule can be used with any device and tested without
// one. Words are separated by single spaces; a word owns the space after it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct CP_TextExtent {
  int32_t width = 0;
  int32_t height = 0;
};

// The extent of `count` characters from `chars` on one line.
using CP_TextMeasure = std::function<CP_TextExtent(const char* chars, int32_t count)>;

struct CP_TextLine {
  size_t start = 0;
  size_t length = 0;       // the trailing space included
  int16_t spaces = 0;      // spaces on the line, the trailing one included
  bool reachedEnd = false;  // the scan for this line reached the end of the text
};

// The line that starts at `start` (before the end of `text`) in `width`
// pixels: words are taken while the line up to the next word's space stays
// narrower than the width; when the scan reaches the end and all of the
// rest is narrower, the rest is the line. A first word that is already too
// wide gets the line to itself, so every line holds at least one character
// and the layout always moves on.
CP_TextLine CP_BreakLine(const std::string& text, size_t start, int32_t width,
                         const CP_TextMeasure& measure);

// Every line of the text in `width` pixels; none below a width of 5.
std::vector<CP_TextLine> CP_BreakLines(const std::string& text, int32_t width,
                                       const CP_TextMeasure& measure);
