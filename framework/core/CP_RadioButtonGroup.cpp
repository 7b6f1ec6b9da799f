#include "CP_RadioButtonGroup.h"

#include <algorithm>

void CP_RadioButtonGroup::RemoveButton(CP_Control* button) {
  auto it = std::find(fButtons.begin(), fButtons.end(), button);
  if (it != fButtons.end()) fButtons.erase(it);
}
