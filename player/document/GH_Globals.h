#pragma once
// The engine's process-wide values that several of its parts read.
#include "CP_Win.h"

#include <string>

class GH_Player_Application;

// The folder that holds the film CD's files, ending with "\" when not empty.
// The application object sets it from the `CDDrive` setting; the main video
// pane's file form replaces it with the current directory.
extern std::string FilmRoot;

// The application object, set by its constructor before the document is made.
extern GH_Player_Application* PlayerApplication;

// The label of the films-folder drive row and the alias root of installed
// films.
extern const std::string FilmsFolderName;

// The instance handles WinMain received; the frame windows register their
// class with them.
extern HINSTANCE gEngineInstance;
extern HINSTANCE gEnginePrevInstance;
