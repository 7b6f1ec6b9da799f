#pragma once
// launchApp(File="...",Params="...",CDPathRelative="...",SingleInstance="..."):
// starts a program, as a rule one on the film CD, or brings a running copy
// of it to the front.
#include "actions/MultimediaAction.h"

#include <string>

class launchAppAction : public MultimediaAction {
 public:
  explicit launchAppAction(ActionParameters& parameters);

  void Execute() override;
  void Describe(std::ostream& out) override;

 private:
  ActionParameters fParameters;
};

// The folder a relative File is taken from, ending with a backslash unless
// empty: the current folder when the engine plays from a CD data file
// there, else the CDDrive setting.
std::string LaunchBaseFolder(bool playsFromCurrentFolder);
