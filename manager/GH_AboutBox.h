#pragma once
// The about box of the Help menu: the product picture, closed by a click,
// a key or Enter.
#include "CP_Win.h"

class GH_AboutBox {
 public:
  GH_AboutBox() = default;
  virtual ~GH_AboutBox() = default;

  // Modal over `owner`; the dialog's result, -1 when it could not be made.
  INT_PTR Run(HWND owner);
};

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
