// The entry function of "Glintharbour KX3".
#include "GH_StartModes.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  const char* arguments = commandLine ? commandLine : "";
  switch (ChooseStartMode(arguments)) {
    case GH_StartMode::kDiagnostics:
      return RunDiagnosticsStart(instance, previous, arguments, showCommand);
    case GH_StartMode::kFilmsFolder:
      return RunFilmsFolderStart();
    case GH_StartMode::kNormal:
    default:
      return RunNormalStart(instance, previous, arguments, showCommand);
  }
}
