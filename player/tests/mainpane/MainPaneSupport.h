#pragma once
// A main video pane in a real framework window, on the films the build
// makes, with the movie toolbox's trace at hand.
#include "CP_Desktop.h"
#include "CP_Framework.h"
#include "CP_Window.h"
#include "QTStandInControl.h"
#include "WinTestSupport.h"
#include "../support/StandInTrace.h"
#include "panes/GH_QT_MoviePane.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace mainpane {

// Not the engine's own title: other programs' tests look for that one.
constexpr const char* kWindowTitle = "kx main pane test";

inline std::string ShippedFilm(const std::string& name) { return "Z:" + std::string(KX_SHIPPED_FILMS) + "/" + name; }

using standin::Trace;

// The controller actions of the trace ("play 65536", "volume 250",
// "goto ..."), in order.
inline std::vector<std::string> Actions() {
  std::vector<std::string> actions;
  for (const std::string& line : standin::TraceLines("action mc")) {
    const size_t space = line.find(' ', 7);
    if (space != std::string::npos) actions.push_back(line.substr(space + 1));
  }
  return actions;
}

inline void ClearTrace() { QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0); }

// The settings file in the Windows folder, written as the tests need it.
inline void WriteSetting(const char* key, const char* value) {
  WritePrivateProfileStringA("Glintharbour", key, value, "glintharbour.ini");
}

// The CD data file "BINFILE.GHC" of the file form: no film items, only
// action records (type, command text, action name).
using Bytes = std::vector<uint8_t>;

inline void PutI32(Bytes& b, size_t at, int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(uint32_t(v) >> (8 * i));
}

inline Bytes ActionRecordBytes(int32_t type, const std::string& text, const std::string& name) {
  Bytes b(496, 0);
  PutI32(b, 8, type);
  std::memcpy(b.data() + 12, text.data(), text.size());
  std::memcpy(b.data() + 296, name.data(), name.size());
  return b;
}

// Writes the data file with these actions into the current folder.
inline void WriteDataFile(const std::vector<Bytes>& actions) {
  Bytes file(552, 0);
  PutI32(file, 4, int32_t(actions.size()));
  for (const Bytes& a : actions) file.insert(file.end(), a.begin(), a.end());
  FILE* f = std::fopen("BINFILE.GHC", "wb");
  ASSERT_NE(nullptr, f);
  std::fwrite(file.data(), 1, file.size(), f);
  std::fclose(f);
}

class MainPaneTest : public ::testing::Test {
 protected:
  // A pane in a borderless window of the given size, with the toolbox's
  // manual clock so that films move only when the test says.
  void Start(const char* commandLine, int16_t width, int16_t height, int16_t filmWidth, int16_t filmHeight,
             int32_t placement = 1, uint8_t mute = 0, int32_t volume = 10) {
    StartFramework(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL);
    started = true;
    InitQuickTime();
    QTStandInControl(kQTStandInManualClock, 0, nullptr, 0);
    QTStandInControl(kQTStandInTraceStart, 0, nullptr, 0);
    MakePane(width, height, filmWidth, filmHeight, placement, mute, volume);
  }
  // A fresh window and pane in place of the last ones. The window stays
  // hidden: the panes are driven by messages and calls, and a shown window
  // costs the display server seconds to take down.
  void MakePane(int16_t width, int16_t height, int16_t filmWidth, int16_t filmHeight, int32_t placement = 1,
                uint8_t mute = 0, int32_t volume = 10) {
    delete window;
    CP_WindowInfo info(CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(width, height)), CP_Window::kDocument);
    info.style = WS_POPUP;
    info.exStyle = 0;
    window = NewWindow(info);
    pane = new GH_QT_MoviePane(nullptr, window, CP_PaneInfo(CP_Point(int16_t(0), int16_t(0)), CP_Size(width, height)),
                               nullptr, placement, filmWidth, filmHeight, 1, 1, mute, volume, 0);
  }
  // The pane's owner; a case may take one that notes what reaches it.
  virtual CP_Window* NewWindow(const CP_WindowInfo& info) { return new CP_Window(nullptr, info, kWindowTitle, 1); }
  void TearDown() override {
    if (!started) return;
    delete window;  // and its pane
    window = nullptr;
    pane = nullptr;
    QTStandInControl(kQTStandInTraceStop, 0, nullptr, 0);
    QTStandInControl(kQTStandInRealClock, 0, nullptr, 0);
    StopFramework();
    started = false;
  }

  Rect Box() const {
    Rect box{};
    if (Movie movie = pane->GetMovie()) GetMovieBox(movie, &box);
    return box;
  }

  CP_Window* window = nullptr;
  GH_QT_MoviePane* pane = nullptr;
  bool started = false;
};

}  // namespace mainpane
