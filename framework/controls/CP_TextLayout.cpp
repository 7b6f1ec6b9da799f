#include "CP_TextLayout.h"

#include <algorithm>

namespace {

constexpr int32_t kNarrowestLine = 5;

}  // namespace

CP_TextLine CP_BreakLine(const std::string& text, size_t start, int32_t width,
                         const CP_TextMeasure& measure) {
  CP_TextLine line;
  line.start = start;
  size_t fitEnd = start;  // just after the space of the last word that fit
  size_t scan = start;
  for (;;) {
    const size_t space = text.find(' ', scan);
    if (space == std::string::npos) {
      line.reachedEnd = true;
      const size_t rest = text.size() - start;
      if (measure(text.data() + start, int32_t(rest)).width < width) fitEnd = text.size();
      break;
    }
    if (measure(text.data() + start, int32_t(space - start)).width >= width) break;
    fitEnd = space + 1;
    scan = space + 1;
  }
  if (fitEnd == start) {
    const size_t space = text.find(' ', start);
    fitEnd = space == std::string::npos ? text.size() : space + 1;
  }
  line.length = fitEnd - start;
  line.spaces = int16_t(std::count(text.begin() + std::ptrdiff_t(start),
                                   text.begin() + std::ptrdiff_t(fitEnd), ' '));
  return line;
}

std::vector<CP_TextLine> CP_BreakLines(const std::string& text, int32_t width,
                                       const CP_TextMeasure& measure) {
  std::vector<CP_TextLine> lines;
  if (width < kNarrowestLine) return lines;
  for (size_t position = 0; position < text.size();) {
    lines.push_back(CP_BreakLine(text, position, width, measure));
    position += lines.back().length;
  }
  return lines;
}
