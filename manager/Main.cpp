// The entry function of "Glintharbour KX3".
#include "GH_StartModes.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
  const char* arguments = commandLine ? commandLine : "";
  return RunStart(ChooseStartMode(arguments), instance, previous, arguments, showCommand);
}
