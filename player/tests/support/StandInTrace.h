// Reading the movie toolbox stand-in's trace from a test.
#pragma once

#include "QTStandInControl.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace standin {

inline std::string Trace() {
  const int32_t n = QTStandInControl(kQTStandInTraceRead, 0, nullptr, 0);
  std::string text(size_t(n > 0 ? n : 0) + 1, '\0');
  QTStandInControl(kQTStandInTraceRead, 0, &text[0], int32_t(text.size()));
  text.resize(size_t(n > 0 ? n : 0));
  return text;
}

// The trace lines that start with the prefix, in order.
inline std::vector<std::string> TraceLines(const std::string& prefix) {
  std::vector<std::string> lines;
  std::istringstream in(Trace());
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  return lines;
}

}  // namespace standin
