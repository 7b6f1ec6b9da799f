#include "document/GH_Globals.h"

std::string FilmRoot;
GH_Player_Application* PlayerApplication = nullptr;
const std::string FilmsFolderName = "Glintharbour Films";
HINSTANCE gEngineInstance = nullptr;
HINSTANCE gEnginePrevInstance = nullptr;
