#include "CP_Printer.h"

namespace {

constexpr double kPointsPerThousandth = 0.001 * 72;

}  // namespace

// The dialogs are handed no blocks at first: they make valid ones for the
// default printer, which the printer then owns.
CP_Printer::CP_Printer() {
  fPageSetup.lStructSize = sizeof fPageSetup;
  fPageSetup.hwndOwner = nullptr;
  fPageSetup.Flags = PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
  fPageSetup.rtMargin = RECT{kDefaultMargin, kDefaultMargin, kDefaultMargin, kDefaultMargin};
  fPageSetup.hDevMode = nullptr;
  fPageSetup.hDevNames = nullptr;
}

CP_Printer::~CP_Printer() {
  ReleasePrinterDC();
  AdoptBlocks(nullptr, nullptr);
}

void CP_Printer::AdoptBlocks(HGLOBAL devMode, HGLOBAL devNames) {
  if (fPageSetup.hDevMode && fPageSetup.hDevMode != devMode) GlobalFree(fPageSetup.hDevMode);
  if (fPageSetup.hDevNames && fPageSetup.hDevNames != devNames) GlobalFree(fPageSetup.hDevNames);
  fPageSetup.hDevMode = devMode;
  fPageSetup.hDevNames = devNames;
  // Both records name the same blocks, so each is freed once.
  fPrint.hDevMode = devMode;
  fPrint.hDevNames = devNames;
}

void CP_Printer::AdoptDC(HDC dc) {
  if (fDC && fDC != dc) DeleteDC(fDC);
  fDC = dc;
}

bool CP_Printer::PageSetupDialog() {
  PAGESETUPDLGA record = fPageSetup;
  const BOOL confirmed = PageSetupDlgA(&record);
  // A cancelled dialog may still have replaced the blocks.
  HGLOBAL devMode = record.hDevMode;
  HGLOBAL devNames = record.hDevNames;
  record.hDevMode = fPageSetup.hDevMode;
  record.hDevNames = fPageSetup.hDevNames;
  if (confirmed) fPageSetup = record;
  AdoptBlocks(devMode, devNames);
  return confirmed != FALSE;
}

bool CP_Printer::PrintDialog() {
  PRINTDLGA record = {};
  record.lStructSize = sizeof record;
  record.hwndOwner = nullptr;
  record.hDevMode = fPageSetup.hDevMode;
  record.hDevNames = fPageSetup.hDevNames;
  record.Flags = PD_RETURNDC | PD_PAGENUMS;
  record.nFromPage = 1;
  record.nToPage = kHighestPage;
  record.nMinPage = 1;
  record.nMaxPage = kHighestPage;
  const BOOL confirmed = PrintDlgA(&record);
  fPrint = record;
  AdoptBlocks(record.hDevMode, record.hDevNames);
  if (confirmed) AdoptDC(record.hDC);
  return confirmed != FALSE;
}

CP_Rect CP_Printer::GetPaperRect() const {
  const int32_t width = int32_t(fPageSetup.ptPaperSize.x * kPointsPerThousandth);
  const int32_t height = int32_t(fPageSetup.ptPaperSize.y * kPointsPerThousandth);
  return CP_Rect(0, 0, width, height);
}

bool CP_Printer::StartDocument() {
  DOCINFOA info = {};
  info.cbSize = sizeof info;
  info.lpszDocName = "CP_Printer";
  return StartDocA(fDC, &info) != SP_ERROR;
}

void CP_Printer::EndDocument() { EndDoc(fDC); }
void CP_Printer::StartPage() { ::StartPage(fDC); }
void CP_Printer::EndPage() { ::EndPage(fDC); }

void CP_Printer::ReleasePrinterDC() {
  if (fDC) DeleteDC(fDC);
  fDC = nullptr;
}
