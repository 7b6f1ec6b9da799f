#pragma once
// playQT(File="...",Track=,AutoPlay=,FullScreen=,DismissOnClick=,
// DismissOnKey=,ExitOnEnd=,Loop=,CloseAllWindows=): shows a film, or one
// track of it, in a new full-screen "EMWindow"; with CloseAllWindows the
// main video pane plays the film itself. Without File the main pane's
// current film is shown. The engine's controller and sprite strips are
// hidden first, whatever happens after.
#include "actions/MultimediaAction.h"

class playQTAction : public MultimediaAction {
 public:
  explicit playQTAction(ActionParameters& parameters);

  void Execute() override;
  void Describe(std::ostream& out) override;

 private:
  ActionParameters fParameters;
};
