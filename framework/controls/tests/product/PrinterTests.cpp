// The printer's page set-up and the print run of a print view, against a
// printer whose device context is a memory DC: no printer of the system is
// ever asked.
#include "CP_Document.h"
#include "CP_Menu.h"
#include "CP_MenuBar.h"
#include "CP_PrintView.h"
#include "CP_Printer.h"
#include "ProductTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A memory DC over a 700 x 900 DIB that outlives the DC, so the printed
// pixels can be read after the run released the DC.
struct Paper {
  Paper() {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 700;
    info.bmiHeader.biHeight = -900;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 700, 900, WHITENESS);
  }
  ~Paper() { DeleteObject(bitmap); }
  uint32_t Pixel(int x, int y) const {
    GdiFlush();
    return bits[y * 700 + x] & 0xFFFFFF;
  }
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  uint32_t* bits = nullptr;
};

// The dialogs answer as told and fill the print record as a confirmed
// print dialog would; the job calls are logged.
class TestPrinter : public CP_Printer {
 public:
  explicit TestPrinter(Log& log) : fLog(log) {}

  bool PageSetupDialog() override {
    fLog.push_back("page setup");
    fPageSetup.ptPaperSize = POINT{8500, 11000};
    return pageSetupAnswer;
  }
  bool PrintDialog() override {
    fLog.push_back("print dialog");
    if (!printAnswer) return false;
    fPrint.nCopies = copies;
    fPrint.nFromPage = from;
    fPrint.nToPage = to;
    AdoptDC(paper ? paper->dc : CreateCompatibleDC(nullptr));
    return true;
  }
  bool PreparePrinting() override {
    fLog.push_back("prepare");
    return prepareAnswer;
  }
  void FinishPrinting() override { fLog.push_back("finish"); }
  bool StartDocument() override {
    ++jobs;
    const bool started = jobs != failingJob;
    fLog.push_back(started ? "job" : "job failed");
    return started;
  }
  void EndDocument() override { fLog.push_back("end job"); }
  void StartPage() override { fLog.push_back("page"); }
  void EndPage() override { fLog.push_back("end page"); }
  void ReleasePrinterDC() override {
    fLog.push_back("release");
    CP_Printer::ReleasePrinterDC();
  }

  using CP_Printer::AdoptBlocks;
  using CP_Printer::AdoptDC;

  bool pageSetupAnswer = true;
  bool printAnswer = true;
  bool prepareAnswer = true;
  int failingJob = 0;
  int jobs = 0;
  WORD copies = 1, from = 1, to = 99;
  Paper* paper = nullptr;

 private:
  Log& fLog;
};

// A pane that asks for a number of pages and paints its print frame red.
class PrintedPane : public CP_Pane {
 public:
  PrintedPane(Log& log, const char* name, int16_t columns, int16_t rows)
      : CP_Pane(CP_Point(int16_t(0), int16_t(0)), CP_Size(50, 50)), fLog(log), fName(name), fColumns(columns),
        fRows(rows) {}
  void CountPrintPages(CP_Printer*, const CP_Rect&, int16_t& columns, int16_t& rows) override {
    if (fColumns > 0) columns = fColumns;
    if (fRows > 0) rows = fRows;
  }
  void BeginPrinting(CP_Printer*) override { fLog.push_back(fName + " begin"); }
  void EndPrinting(CP_Printer*) override { fLog.push_back(fName + " end"); }
  void DrawForPrinting(const CP_Region& paper, CP_Canvas* canvas, int16_t page) override {
    fLog.push_back(fName + " " + std::to_string(page));
    CP_Pane::DrawForPrinting(paper, canvas, page);
  }
  void DrawContent(const CP_Region&) override {
    const RECT r = GetFrameRect().ToRECT();
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(fCanvas->GetDC(), &r, red);
    DeleteObject(red);
  }

 private:
  Log& fLog;
  std::string fName;
  int16_t fColumns, fRows;
};

using PrinterTest = FrameworkTest;

TEST_F(PrinterTest, NewPrinterHasHalfInchMarginsAndNoBlocksYet) {
  CP_Printer printer;
  const PAGESETUPDLGA& setup = printer.GetPageSetup();
  EXPECT_EQ(sizeof(PAGESETUPDLGA), setup.lStructSize);
  EXPECT_EQ(nullptr, setup.hwndOwner);
  EXPECT_EQ(DWORD(PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES), setup.Flags);
  EXPECT_EQ(500, setup.rtMargin.left);
  EXPECT_EQ(500, setup.rtMargin.top);
  EXPECT_EQ(500, setup.rtMargin.right);
  EXPECT_EQ(500, setup.rtMargin.bottom);
  // Zero-filled blocks are no valid device mode: the dialog makes its own.
  EXPECT_EQ(nullptr, setup.hDevMode);
  EXPECT_EQ(nullptr, setup.hDevNames);
  EXPECT_EQ(nullptr, printer.GetDC());
  EXPECT_TRUE(printer.CanPrint());
}

TEST_F(PrinterTest, PaperRectangleIsInPoints) {
  Log log;
  TestPrinter printer(log);
  printer.PageSetupDialog();
  EXPECT_EQ(CP_Rect(0, 0, 612, 792), printer.GetPaperRect());
}

TEST_F(PrinterTest, PrinterOwnsTheBlocksAndDCsTheDialogsHandBack) {
  Log log;
  auto printer = std::make_unique<TestPrinter>(log);
  HGLOBAL mode1 = GlobalAlloc(GHND, 148);
  HGLOBAL names = GlobalAlloc(GHND, 8);
  HGLOBAL mode2 = GlobalAlloc(GHND, 148);
  printer->AdoptBlocks(mode1, names);
  printer->AdoptBlocks(mode2, names);
  EXPECT_EQ(0u, GlobalSize(mode1)) << "the replaced block was freed";
  EXPECT_EQ(8u, GlobalSize(names)) << "the kept one was not";
  EXPECT_EQ(mode2, printer->GetPageSetup().hDevMode);
  EXPECT_EQ(mode2, printer->GetPrintRecord().hDevMode) << "both records name the one block";

  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(nullptr);
  printer->AdoptDC(first);
  printer->AdoptDC(second);
  EXPECT_EQ(0u, GetObjectType(first)) << "a second print dialog's DC replaces the first";
  EXPECT_EQ(DWORD(OBJ_MEMDC), GetObjectType(second));

  printer.reset();
  EXPECT_EQ(0u, GlobalSize(mode2));
  EXPECT_EQ(0u, GlobalSize(names));
  EXPECT_EQ(0u, GetObjectType(second));
}

// The page range of the print dialog against the pages the panes ask for.
TEST_F(PrinterTest, PagesPrintedAreTheDialogsRangeWithinThePanesGrid) {
  struct Case {
    const char* name;
    std::vector<std::pair<int16_t, int16_t>> panes;  // columns, rows
    WORD from, to;
    std::vector<int> pages;
  };
  const Case kCases[] = {
      {"one page", {{1, 1}}, 1, 99, {1}},
      {"2 x 1 and 1 x 3 make a grid of 6", {{2, 1}, {1, 3}}, 1, 99, {1, 2, 3, 4, 5, 6}},
      {"from page 2 of 3", {{1, 3}}, 2, 99, {2, 3}},
      {"first page 0 means 1", {{1, 2}}, 0, 99, {1, 2}},
      {"a range past the pages", {{1, 2}}, 5, 99, {}},
      {"a pane that leaves the counts repeats the one before", {{3, 1}, {0, 0}}, 1, 99, {1, 2, 3}},
  };
  for (const Case& c : kCases) {
    Log log;
    TestPrinter printer(log);
    printer.from = c.from;
    printer.to = c.to;
    ASSERT_TRUE(printer.PrintDialog());
    CP_PrintView view(CP_Rect(0, 0, 612, 792), &printer);
    std::vector<std::unique_ptr<PrintedPane>> panes;
    for (const auto& p : c.panes) {
      panes.push_back(std::make_unique<PrintedPane>(log, "p", p.first, p.second));
      view.AddPane(panes.back().get(), CP_Point(int16_t(72), int16_t(72)), CP_Size(100, 100));
    }
    view.Print(&printer);
    std::vector<int> pages;
    for (const std::string& entry : log)
      if (entry == "page") pages.push_back(int(pages.size()) + int(c.from == 0 ? 1 : c.from));
    EXPECT_EQ(c.pages, pages) << c.name;
  }
}

TEST_F(PrinterTest, EachCopyIsAJobOfItsOwnAndThePanesDrawAtTheirPrintFrame) {
  Log log;
  Paper paper;
  TestPrinter printer(log);
  printer.paper = &paper;
  printer.copies = 2;
  printer.PrintDialog();
  CP_PrintView view(CP_Rect(0, 0, 612, 792), &printer);
  EXPECT_FALSE(IsWindowVisible(view.GetHWND())) << "the view's window stays hidden";
  PrintedPane a(log, "a", 1, 2), b(log, "b", 1, 1);
  view.AddPane(&a, CP_Point(int16_t(72), int16_t(72)), CP_Size(468, 648));
  view.AddPane(&b, CP_Point(int16_t(300), int16_t(500)), CP_Size(10, 10));
  log.clear();
  view.Print(&printer);
  const Log copy = {"job", "a begin", "b begin", "page", "a 1", "b 1", "end page",
                    "page", "a 2", "b 2", "end page", "a end", "b end", "end job"};
  Log want = {"prepare"};
  want.insert(want.end(), copy.begin(), copy.end());
  want.insert(want.end(), copy.begin(), copy.end());
  want.push_back("finish");
  want.push_back("release");
  EXPECT_EQ(want, log);
  EXPECT_EQ(nullptr, printer.GetDC());
  EXPECT_EQ(0xFF0000u, paper.Pixel(73, 73)) << "one inch in";
  EXPECT_EQ(0xFF0000u, paper.Pixel(539, 719));
  EXPECT_EQ(0xFFFFFFu, paper.Pixel(71, 73));
  EXPECT_EQ(0xFFFFFFu, paper.Pixel(541, 73));
  EXPECT_EQ(0, a.GetLocation().h) << "the pane's own frame is back";
}

TEST_F(PrinterTest, FailedJobSkipsOnlyItsCopyAndAViewWithoutPanesPrintsOneEmptyPage) {
  Log log;
  TestPrinter printer(log);
  printer.copies = 3;
  printer.failingJob = 2;
  printer.PrintDialog();
  CP_PrintView view(CP_Rect(0, 0, 612, 792), &printer);
  log.clear();
  view.Print(&printer);
  const Log want = {"prepare", "job", "page", "end page", "end job", "job failed",
                    "job", "page", "end page", "end job", "finish", "release"};
  EXPECT_EQ(want, log);
}

TEST_F(PrinterTest, RunThatMayNotPrepareOnlyReleasesTheDC) {
  Log log;
  TestPrinter printer(log);
  printer.prepareAnswer = false;
  printer.PrintDialog();
  CP_PrintView view(CP_Rect(0, 0, 612, 792), &printer);
  log.clear();
  view.Print(&printer);
  EXPECT_EQ((Log{"prepare", "release"}), log);
}

class PrintingDocument : public CP_Document {
 public:
  PrintingDocument(CP_M_Commander* parent, Log& log) : CP_Document(parent), fLog(log) {}
  void Print() override { fLog.push_back("print"); }
  TestPrinter* printer = nullptr;
  bool printAnswer = true;

 protected:
  std::unique_ptr<CP_Printer> MakePrinter() override {
    fLog.push_back("make printer");
    auto made = std::make_unique<TestPrinter>(fLog);
    made->printAnswer = printAnswer;
    printer = made.get();
    return made;
  }

 private:
  Log& fLog;
};

TEST_F(PrinterTest, DocumentMakesItsPrinterOnceAndAsksForThePageSetUpFirst) {
  CP_Application app;
  struct Case {
    const char* name;
    std::vector<int32_t> commands;
    bool printAnswer;
    Log want;
  };
  const Case kCases[] = {
      {"page set-up twice", {7, 7}, true, {"make printer", "page setup", "page setup"}},
      {"first print", {8}, true, {"make printer", "page setup", "print dialog", "print"}},
      {"print after page set-up", {7, 8}, true, {"make printer", "page setup", "print dialog", "print"}},
      {"cancelled print dialog", {8}, false, {"make printer", "page setup", "print dialog"}},
  };
  for (const Case& c : kCases) {
    Log log;
    auto* document = new PrintingDocument(&app, log);
    document->printAnswer = c.printAnswer;
    for (int32_t command : c.commands) EXPECT_EQ(0, document->ExecuteCommand(command)) << c.name;
    EXPECT_EQ(c.want, log) << c.name;
    EXPECT_EQ(document->printer, document->GetPrinter());
    delete document;
  }
}

TEST_F(PrinterTest, PageSetUpAndPrintAreAlwaysEnabled) {
  CP_Application app;
  CreateMenuBar();
  CP_MenuBar::GetMenuBar()->LoadMenus(131);
  Log log;
  PrintingDocument document(&app, log);
  CP_M_Commander::UpdateMenus();
  CP_Menu* file = CP_MenuBar::GetMenuBar()->FindMenuByCommand(kCmd_Print);
  ASSERT_NE(nullptr, file);
  for (UINT position : {0u, 1u})
    EXPECT_EQ(0u, GetMenuState(file->GetHandle(), position, MF_BYPOSITION) & MF_GRAYED) << position;
}

}  // namespace
