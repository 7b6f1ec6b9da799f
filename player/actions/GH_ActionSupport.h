#pragma once
// What several of the engine's actions share: the Path setting as a folder,
// the film of the main video pane, and hiding the engine's strips.
#include "QTToolbox.h"

#include <string>

// The `Path` setting with a trailing backslash; "none\" without the key.
std::string ReadPathFolder();
// The same, except that an empty setting stays empty: the current folder.
std::string ReadPathFolderOrCurrent();

// A second movie of the film that the main video pane shows; none without
// a "MainVideoWindow" holding a 'MAIN' pane with a film.
Movie OpenMainPaneFilm();

// Hides the framework window of that title, when there is one.
void HideWindowTitled(const std::string& title);
