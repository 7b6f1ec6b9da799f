#pragma once
// What the library manager's windows share beside the process-wide values
// of GH_Globals.h and the CD database's own (`cdDatabase`, `itemList`): the
// one library document, the settings file's names and a few helpers.
#include "GH_Globals.h"
#include "GH_Settings.h"

#include <string>

class CP_SDIApp_Document;

// Set while the document builds its window.
extern CP_SDIApp_Document* currentLibraryDocument;


#include "CP_Win.h"

class CP_Pane;
class GH_PREV_QT_MoviePane;

// The main window's handle, the owner of the messages about films and CDs;
// null while it does not exist.
HWND MainWindowHandle();
// A message box owned by the main window.
int MainWindowMessage(const std::string& text, const char* caption, UINT style);

// The preview pane of the window that holds `pane`: the sub-pane 'THUM' of
// its sub-pane 'SPLT', or with `deep` the first 'THUM' at any depth; null
// when it is not there.
GH_PREV_QT_MoviePane* FindPreviewPane(CP_Pane* pane, bool deep = false);
// Shows nothing in the preview, which lets go of its film file.
void EmptyPreview(GH_PREV_QT_MoviePane* preview, bool drawFrame);
