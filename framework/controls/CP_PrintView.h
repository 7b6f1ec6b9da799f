#pragma once
// A hidden view made for one print run: it holds the panes to print, each
// with a place and size on the paper, and prints them copy after copy, page
// after page, into a canvas over the printer's device context. The panes
// are neither owned nor re-parented.
#include "CP_View.h"

#include <cstdint>
#include <memory>
#include <vector>

class CP_Printer;

class CP_PrintView : public CP_View {
 public:
  // The frame is normally the paper rectangle. The printer is borrowed.
  CP_PrintView(const CP_Rect& frame, CP_Printer* printer);
  // Destroys the view's own window; the listed panes stay as they are.
  ~CP_PrintView() override;

  // The view as CP_View writes it; nothing is read back.
  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  void RegisterWindowClass() override;

  // Sets the pane's print frame; panes are printed in the order added.
  void AddPane(CP_Pane* pane, const CP_Point& origin, const CP_Size& size);
  // The largest column and row counts the listed panes ask for; without a
  // list the arguments keep what the caller put there.
  void CountPages(CP_Printer* printer, const CP_Rect& paper, int16_t& columns, int16_t& rows);
  // Each copy is a print job of its own; the printer's device context is
  // released at the end in every case.
  virtual void Print(CP_Printer* printer);

  CP_Printer* GetPrinter() const { return fPrinter; }
  const std::vector<CP_Pane*>* GetPrintPanes() const { return fPanes.get(); }

 protected:
  const char* RuntimeClassName() const override { return "CP_PrintView"; }

 private:
  void PrintCopy(CP_Printer* printer);

  CP_Printer* fPrinter;
  std::unique_ptr<std::vector<CP_Pane*>> fPanes;
};
