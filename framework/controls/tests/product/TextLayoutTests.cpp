// Breaking paragraphs into lines, measured by a stand-in for a font whose
// characters are all 10 pixels wide and 12 high; and the shortening of one
// line with "...".
#include "CP_ImgShapes.h"
#include "CP_TextLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CP_TextExtent TenPixelsEach(const char*, int32_t count) { return {count * 10, 12}; }

struct Line {
  std::string text;
  int16_t spaces;
  bool reachedEnd;
  bool operator==(const Line& o) const {
    return text == o.text && spaces == o.spaces && reachedEnd == o.reachedEnd;
  }
};

std::ostream& operator<<(std::ostream& out, const Line& line) {
  return out << "[\"" << line.text << "\" spaces " << line.spaces << (line.reachedEnd ? " end]" : "]");
}

std::vector<Line> Break(const std::string& text, int32_t width) {
  std::vector<Line> lines;
  for (const CP_TextLine& line : CP_BreakLines(text, width, TenPixelsEach))
    lines.push_back({text.substr(line.start, line.length), line.spaces, line.reachedEnd});
  return lines;
}

TEST(TextLayoutTest, LinesBreakAfterTheLastWordThatIsNarrowerThanTheWidth) {
  struct Case {
    const char* name;
    std::string text;
    int32_t width;
    std::vector<Line> want;
  };
  const Case kCases[] = {
      {"all fits", "aa bb cc", 100, {{"aa bb cc", 2, true}}},
      // The third line's scan reaches the end of the text.
      {"words keep their spaces", "aaaa bbbb cccc dddd", 50,
       {{"aaaa ", 1, false}, {"bbbb ", 1, false}, {"cccc ", 1, true}, {"dddd", 0, true}}},
      // The scan for the first line reached the end: that line is not
      // justified even though a word wraps after it.
      {"last word wraps alone", "aa bb cc", 55, {{"aa bb ", 2, true}, {"cc", 0, true}}},
      {"exactly the width is too wide", "aa bb", 50, {{"aa ", 1, true}, {"bb", 0, true}}},
      {"a word wider than the line gets one of its own", "abcdefgh ij", 50,
       {{"abcdefgh ", 1, false}, {"ij", 0, true}}},
      {"a last word wider than the line", "ab abcdefghij", 50, {{"ab ", 1, true}, {"abcdefghij", 0, true}}},
      {"one word wider than the line", "abcdefghijkl", 50, {{"abcdefghijkl", 0, true}}},
      {"trailing space stays on the line", "ab ", 100, {{"ab ", 1, true}}},
      {"two spaces in a row", "aa  bb", 100, {{"aa  bb", 2, true}}},
      {"width of 5 still lays out", "a b", 5, {{"a ", 1, false}, {"b", 0, true}}},
      {"width below 5 gives no lines", "aa bb", 4, {}},
      {"empty text", "", 100, {}},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, Break(c.text, c.width)) << c.name;
}

// A measure that finds nothing wide still moves the layout on: every line
// takes at least one word.
TEST(TextLayoutTest, EveryLineTakesAtLeastOneWordWhateverTheMeasure) {
  auto tooWide = [](const char*, int32_t) { return CP_TextExtent{1000, 12}; };
  const std::vector<CP_TextLine> lines = CP_BreakLines("a b c", 50, tooWide);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(2u, lines[0].length);
  EXPECT_EQ(1u, lines[2].length);
}

TEST(TextLayoutTest, FittedTextShortensWithThreeDots) {
  struct Case {
    int32_t fit;
    const char* want;
  };
  const Case kCases[] = {
      {11, "Hello world"}, {20, "Hello world"}, {10, "Hello w..."}, {4, "H..."},
      {3, "..."},          {2, "He"},          {1, "H"},          {0, ""},
  };
  for (const Case& c : kCases) EXPECT_EQ(c.want, CP_ImgShape_Text::FittedText("Hello world", c.fit)) << c.fit;
}

}  // namespace
