// The film-size pop-up of the tool bar: the screen sizes offered for films,
// and the storing of the user's choice for the engine.
#include "CP_Menu.h"
#include "CP_PopupMenu.h"
#include "CP_SDIApp_Document.h"
#include "GH_Settings.h"

#include <cstdint>

namespace {

struct OfferedSize {
  const char* text;
  int32_t height;  // the least screen height that offers it
};

constexpr OfferedSize kSizes[] = {
    {"640 x 480", 480},   {"800 x 600", 600},   {"1024 x 768", 768},
    {"1152 x 864", 864},  {"1280 x 1024", 1024}, {"1600 x 1200", 1200},
};

}  // namespace

// Each item's command is its number in the table; only the screen's height
// decides what fits.
void CP_SDIApp_Document::FillScreenSizeMenu() {
  if (!screenSizeMenu) return;
  const int32_t height = GetSystemMetrics(SM_CYSCREEN);
  for (int32_t n = 0; n < int32_t(sizeof kSizes / sizeof kSizes[0]); ++n)
    if (kSizes[n].height <= height) screenSizeMenu->AppendItem(kSizes[n].text, n);
}

void CP_SDIApp_Document::StoreChosenScreenSize() {
  if (!sizePopup || !screenSizeMenu) return;
  const int16_t position = sizePopup->GetValue();
  if (position <= 0) return;
  char text[30] = {};
  screenSizeMenu->GetItemText(position, text, int16_t(sizeof text));
  WriteIniString(kIniSection, "AutoResize", "0", kIniFile);
  WriteIniString(kIniSection, "ScreenSize", text, kIniFile);
}
