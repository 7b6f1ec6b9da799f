#pragma once
// BeginScreenSaver(Mode="..."): turns a running engine into its screen-saver
// layout: the main video pane over the screen above a band at the bottom,
// a controller strip at the bottom left and a sprite strip beside it, then
// the main pane starts again from its command line. Mode changes nothing.
#include "actions/MultimediaAction.h"

#include <cstdint>
#include <string>

class BeginScreenSaverAction : public MultimediaAction {
 public:
  explicit BeginScreenSaverAction(ActionParameters& parameters);

  void Execute() override;
  void Describe(std::ostream& out) override;

 private:
  ActionParameters fParameters;
};

// The playback size of a ScreenSize value such as "800 x 600"; a value
// without "x" gives its own number for both.
void ParsePlaybackSize(const std::string& text, int16_t& width, int16_t& height);
