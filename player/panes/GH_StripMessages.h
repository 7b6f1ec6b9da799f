#pragma once
// The window messages that the controller and sprite strips answer alike.
#include "CP_Pane.h"
#include "CP_Win.h"

// The strip's port is made when its window is, the film paints the whole
// background, a double click and the cursor go through the framework pane,
// and anything else goes to the system.
LRESULT AnswerStripMessage(CP_Pane& pane, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
