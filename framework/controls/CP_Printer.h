#pragma once
// A document's page set-up and printer: the Windows page set-up and print
// dialogs, the printer device context they return and the print-job calls
// on it. The printer owns the device-mode and device-names blocks that the
// dialogs hand back and the printer device context.
#include "CP_Geometry.h"
#include "CP_Win.h"

#include <commdlg.h>

#include <cstdint>

class CP_Printer {
 public:
  // Margins in thousandths of an inch.
  static constexpr int32_t kDefaultMargin = 500;
  static constexpr WORD kHighestPage = 99;

  CP_Printer();
  CP_Printer(const CP_Printer&) = delete;
  CP_Printer& operator=(const CP_Printer&) = delete;
  virtual ~CP_Printer();

  // True when the user confirmed.
  virtual bool PageSetupDialog();
  virtual bool CanPrint() { return true; }
  // Pages 1 to 99; keeps the printer device context it returns.
  virtual bool PrintDialog();

  // In points, from the paper size of the page set-up.
  CP_Rect GetPaperRect() const;
  int16_t GetCopies() const { return int16_t(fPrint.nCopies); }
  uint16_t GetFirstPage() const { return fPrint.nFromPage; }
  uint16_t GetLastPage() const { return fPrint.nToPage; }
  HDC GetDC() const { return fDC; }

  virtual bool PreparePrinting() { return true; }
  virtual void FinishPrinting() {}
  // One print job named "CP_Printer"; false when it cannot start.
  virtual bool StartDocument();
  virtual void EndDocument();
  virtual void StartPage();
  virtual void EndPage();
  virtual void ReleasePrinterDC();

  const PAGESETUPDLGA& GetPageSetup() const { return fPageSetup; }
  const PRINTDLGA& GetPrintRecord() const { return fPrint; }

 protected:
  // Takes the blocks a dialog left in its record: the printer owns them
  // from now on, and a block they replace is freed.
  void AdoptBlocks(HGLOBAL devMode, HGLOBAL devNames);
  // Takes the device context a print dialog returned, deleting the one it
  // replaces.
  void AdoptDC(HDC dc);

  PAGESETUPDLGA fPageSetup = {};
  PRINTDLGA fPrint = {};
  HDC fDC = nullptr;
};
