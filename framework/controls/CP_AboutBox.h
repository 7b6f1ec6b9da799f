#pragma once
// The framework's own about box: two blocks of text about how the program
// was made and an "OK" button, shown as a dialog until OK is pressed.
#include "CP_Commander.h"

#include <cstdint>

class CP_Dialog;

class CP_AboutBox : public CP_M_Commander {
 public:
  CP_AboutBox() : CP_M_Commander(nullptr) {}
  ~CP_AboutBox() override = default;

  // Shows the fixed box and returns once OK was pressed.
  virtual void ShowModal();
  // The same with the box's window and panes rebuilt from the "CPob"
  // resource `resourceId`.
  virtual void ShowModalFromResource(int16_t resourceId);
  // The two texts and the default "OK" button, which the dialog hears.
  virtual void BuildContent(CP_Dialog& dialog);

 private:
  // Steps the dialog until it reports the OK button.
  static void RunUntilOK(CP_Dialog& dialog);
};
