#include "document/GH_Player_Application.h"

#include "CP_Volume.h"
#include "document/GH_Globals.h"
#include "document/GH_Player_Document.h"
#include "utility/GH_Settings.h"

GH_Player_Application::GH_Player_Application() : CP_DocApplication(1) {
  ReadIniString("Glintharbour", "CDDrive", "none", FilmRoot, "glintharbour.ini");
  // Present but empty: look for the drive once and remember it, even when
  // there is none.
  if (FilmRoot.empty()) {
    FindCDDrive(FilmRoot);
    WriteIniString("Glintharbour", "CDDrive", FilmRoot, "glintharbour.ini");
  }
  if (!FilmRoot.empty() && FilmRoot.back() != '\\') FilmRoot += "\\";
  PlayerApplication = this;
  MakeNewDocument();
}

GH_Player_Application::~GH_Player_Application() {
  if (PlayerApplication == this) PlayerApplication = nullptr;
}

int32_t GH_Player_Application::ExecuteCommand(int32_t command) {
  if (command == kCmd_New) return 0;
  return CP_Application::ExecuteCommand(command);
}

void GH_Player_Application::GetCommandStatus(int32_t, CP_M_MenuEnabler*) {}

CP_Document* GH_Player_Application::MakeNewDocument() {
  fDocument = nullptr;
  fDocument = new GH_Player_Document(this);
  return fDocument;
}

void FindCDDrive(std::string& root) {
  root.clear();
  CP_VolumeIterator end;
  for (CP_VolumeIterator it(1); ++it, it != end;) {
    CP_Volume volume = *it;
    if (!volume.IsNotCDROM()) {
      root = std::string(1, char('A' + volume.GetDriveNumber())) + ":\\";
      return;
    }
  }
}
