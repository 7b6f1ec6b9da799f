#include "CP_PrintView.h"

#include "CP_Canvas.h"
#include "CP_Event.h"
#include "CP_Framework.h"
#include "CP_Printer.h"
#include "CP_Region.h"

namespace {

constexpr char kClassName[] = "CP_PrintView";

// Gives the printer's device context back however the run ends.
class PrinterDCRelease {
 public:
  explicit PrinterDCRelease(CP_Printer* printer) : fPrinter(printer) {}
  PrinterDCRelease(const PrinterDCRelease&) = delete;
  PrinterDCRelease& operator=(const PrinterDCRelease&) = delete;
  ~PrinterDCRelease() { fPrinter->ReleasePrinterDC(); }

 private:
  CP_Printer* fPrinter;
};

}  // namespace

CP_PrintView::CP_PrintView(const CP_Rect& frame, CP_Printer* printer) : CP_View(frame), fPrinter(printer) {
  RegisterWindowClass();
  fWindowStyle = WS_POPUP;
  HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP, frame.left, frame.top, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, gCP_Instance, nullptr);
  InstallWindow(window, PaneWindowProc);
  // Without a super-pane this only marks the view as waiting to be shown.
  Show();
}

CP_PrintView::~CP_PrintView() {
  HWND window = fWindow;
  ReleaseWindow();
  fWindow = nullptr;
  if (window) DestroyWindow(window);
}

void CP_PrintView::RegisterWindowClass() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = gCP_Instance;
  wc.hIcon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));    // IDI_APPLICATION
  wc.hIconSm = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  RegisterClassExA(&wc);
}

void CP_PrintView::WriteToStream(CP_OutStream& out) { CP_View::WriteToStream(out); }

void CP_PrintView::ReadFromStream(void*, CP_InStream&) {}

void CP_PrintView::AddPane(CP_Pane* pane, const CP_Point& origin, const CP_Size& size) {
  if (!fPanes) fPanes = std::make_unique<std::vector<CP_Pane*>>();
  fPanes->push_back(pane);
  if (pane) pane->SetPrintFrame(origin, size);
}

void CP_PrintView::CountPages(CP_Printer* printer, const CP_Rect& paper, int16_t& columns, int16_t& rows) {
  if (!fPanes) return;
  columns = 1;
  rows = 1;
  // Not reset between panes: a pane that leaves them alone repeats the
  // answer of the pane before it.
  int16_t across = 0;
  int16_t down = 0;
  for (CP_Pane* pane : *fPanes) {
    if (!pane) continue;
    pane->CountPrintPages(printer, paper, across, down);
    if (uint16_t(across) > uint16_t(columns)) columns = across;
    if (uint16_t(down) > uint16_t(rows)) rows = down;
  }
}

void CP_PrintView::Print(CP_Printer* printer) {
  const PrinterDCRelease release(printer);
  if (!printer->PreparePrinting()) return;
  const int16_t copies = printer->GetCopies();
  for (int16_t copy = 1; copy <= copies; ++copy) PrintCopy(printer);
  printer->FinishPrinting();
}

void CP_PrintView::PrintCopy(CP_Printer* printer) {
  if (!printer->StartDocument()) return;
  const CP_Rect paper = printer->GetPaperRect();
  int16_t columns = 1;
  int16_t rows = 1;
  CountPages(printer, paper, columns, rows);
  const uint16_t pageCount = uint16_t(columns * rows);
  uint32_t first = printer->GetFirstPage();
  if (first == 0) first = 1;
  uint32_t last = printer->GetLastPage();
  if (last > pageCount) last = pageCount;

  CP_Canvas canvas;
  canvas.AttachDC(printer->GetDC());
  const std::vector<CP_Pane*> panes = fPanes ? *fPanes : std::vector<CP_Pane*>();
  for (CP_Pane* pane : panes)
    if (pane) pane->BeginPrinting(printer);
  for (uint32_t page = first; page <= last; ++page) {
    printer->StartPage();
    TakeFocus(&canvas);
    for (CP_Pane* pane : panes) {
      if (!pane) continue;
      const CP_Region region(paper);
      pane->DrawForPrinting(region, &canvas, int16_t(page));
    }
    printer->EndPage();
  }
  for (CP_Pane* pane : panes)
    if (pane) pane->EndPrinting(printer);
  printer->EndDocument();
  canvas.DetachDC();
}
