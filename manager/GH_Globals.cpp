#include "GH_Globals.h"

#include "CP_Framework.h"

std::string mainWindowTitle = "Glintharbour Player";
const std::string filmsFolderAlias = "Glintharbour Films";
std::string cdDriveRoot;

HINSTANCE ManagerInstance() { return gCP_Instance ? gCP_Instance : GetModuleHandleA(nullptr); }
