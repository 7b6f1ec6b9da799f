#include "CP_Framework.h"

#include "CP_Clipboard.h"
#include "CP_ControlClasses.h"
#include "CP_Desktop.h"
#include "CP_MenuBar.h"
#include "QTGlue.h"

HINSTANCE gCP_Instance = nullptr;
HINSTANCE gCP_PrevInstance = nullptr;
const char* gCP_CommandLine = "";
int gCP_ShowCommand = SW_SHOWNORMAL;
bool gCP_Started = false;
bool gCP_QTMLPresent = false;
bool gCP_MoviesReady = false;

const char* GetCommandLineText() { return gCP_CommandLine; }

void StartFramework(HINSTANCE instance, HINSTANCE prevInstance, const char* commandLine,
                    int showCommand) {
  gCP_Instance = instance;
  gCP_PrevInstance = prevInstance;
  gCP_CommandLine = commandLine ? commandLine : "";
  gCP_ShowCommand = showCommand;
  gCP_Started = true;
  new CP_Desktop;
  InitCommonControls();
  CP_RegisterControlClasses();
}

void StopFramework() {
  if (gCP_QTMLPresent) {
    TerminateQTML();
    gCP_QTMLPresent = false;
  }
  delete CP_Clipboard::GetClipboard();
  delete CP_Desktop::GetDesktop();
  delete CP_MenuBar::GetMenuBar();
}

int16_t InitQTML() {
  const OSErr result = InitializeQTML(0);
  gCP_QTMLPresent = (result == noErr);
  return result;
}

int16_t InitQuickTime() {
  gCP_MoviesReady = false;
  InitQTML();  // its failure does not stop the toolbox call
  const OSErr result = EnterMovies();
  gCP_MoviesReady = (result == noErr);
  return result;
}
