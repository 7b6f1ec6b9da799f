#pragma once
// launchURL(URL="..."): opens an address or a document with the program
// the system associates with it.
#include "actions/MultimediaAction.h"

class launchURLAction : public MultimediaAction {
 public:
  explicit launchURLAction(ActionParameters& parameters);

  void Execute() override;
  void Describe(std::ostream& out) override;

 private:
  ActionParameters fParameters;
};
