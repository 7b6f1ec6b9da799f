#pragma once
// Window messages handed to QuickTime's movie controllers.
#include "CP_Win.h"
#include "QTToolbox.h"

// Gives a movie controller a window message as the event it expects, with
// the message's time and cursor position; answers whether the controller
// took it.
bool OfferMessageToController(MovieController controller, HWND window, UINT message, WPARAM wParam,
                              LPARAM lParam);
