#include "CP_TextTrait.h"

const char* const CP_FontNames[kCP_FontNameCount] = {
    "System",      "System",        "Arial",         "Times New Roman", "Palatino",
    "Courier New", "MS Sans Serif", "MS Sans Serif", "MS Sans Serif",
};

CP_TextTrait::CP_TextTrait(uint16_t traitNumber) : fTraitNumber(traitNumber) {
  SetFontName(CP_FontNames[6]);
  fSize = 0;
}

void CP_TextTrait::SetFontName(const std::string& name) {
  fFontName = name;
  if (fFontName == CP_FontNames[6]) {
    fSize = 10;
    fStyle = 0;
  }
}
