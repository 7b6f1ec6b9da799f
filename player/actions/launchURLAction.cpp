#include "actions/launchURLAction.h"

#include "CP_URLHandler.h"

launchURLAction::launchURLAction(ActionParameters& parameters) : MultimediaAction(parameters) {
  fParameters = parameters;
}

void launchURLAction::Execute() {
  std::string url;
  for (const auto& entry : fParameters)
    if (entry.first == "URL") url = entry.second;
  // Passed as it stands: no quoting, trimming or check of the scheme.
  if (url.empty()) return;
  CP_URLHandler handler(url);
  handler.Open();
}

void launchURLAction::Describe(std::ostream& out) {
  DescribeLaunch();
  MultimediaAction::Describe(out);
}
