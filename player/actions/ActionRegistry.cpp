// The makers of every action that command texts can name. They live in this
// one unit, registered in this order, so that the registry is complete
// before any text arrives and none of them is left out of the program.
#include "actions/BeginScreenSaverAction.h"
#include "actions/MultimediaAction.h"
#include "actions/launchAppAction.h"
#include "actions/launchURLAction.h"
#include "actions/playQTAction.h"
#include "actions/playQTAudioAction.h"
#include "actions/playQTFrameAction.h"

namespace {

MultimediaActionMaker<playQTAction> gPlayQTMaker(std::string("playQT"));
MultimediaActionMaker<launchURLAction> gLaunchURLMaker(std::string("launchURL"));
MultimediaActionMaker<launchAppAction> gLaunchAppMaker(std::string("launchApp"));
MultimediaActionMaker<playQTFrameAction> gPlayQTFrameMaker(std::string("playQTFrame"));
MultimediaActionMaker<BeginScreenSaverAction> gBeginScreenSaverMaker(std::string("BeginScreenSaver"));
MultimediaActionMaker<playQTAudioAction> gPlayQTAudioMaker(std::string("playQTAudio"));

}  // namespace

MultimediaAction* MultimediaActionFactory::CreateAction(const std::string& name, ActionParameters& parameters) {
  try {
    return Find(name)->Make(parameters);
  } catch (const Exception&) {
    return nullptr;
  }
}
