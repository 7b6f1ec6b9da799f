#pragma once
// playQTAudio(File="...",Track="...",Background="..."): plays the sound of
// a film, or of one of its tracks, in a small window off the screen while
// the films on the screen go on. Without a Background key it is a one-off
// sound in a window titled "playQTAudio"; with one, the film becomes the
// sound of the "BackgroundAudio" window, stacked on the films it had.
#include "actions/MultimediaAction.h"

class playQTAudioAction : public MultimediaAction {
 public:
  explicit playQTAudioAction(ActionParameters& parameters);

  void Execute() override;
  void Describe(std::ostream& out) override;

 private:
  ActionParameters fParameters;
};
