#pragma once
// The drag record of the list and tree panes on its way through OLE. Format
// 999 is an unregistered number that any program may offer, and the record
// carries raw pointers: the block a pane hands out holds the 24-byte record
// followed by a stamp (a magic value and this process's id), and a dropped
// block without this process's stamp is refused before any of its pointers
// is looked at.
#include "CP_DragDrop.h"

#include <string>

class CP_HandleBlock;

// The data object's answer for the panes: for format 999 in global memory
// with the content aspect, `source` fills a zeroed record (MakeDragData with
// position 1), which goes out stamped. Anything else: DV_E_FORMATETC.
HRESULT CP_GetStampedDragData(CP_M_PaneDragDrop& source, FORMATETC* format, STGMEDIUM* medium);

// The panes' format test: S_OK for a file list (15) or the drag record
// (999) in global memory with the content aspect; else DV_E_FORMATETC.
HRESULT CP_CheckPaneDropFormat(const FORMATETC* format);

// A new block holding the text and a terminating zero.
CP_HandleBlock* CP_MakeTextBlock(const std::string& text);

// The text in a record's block: up to its first zero, never past the block's
// end; empty without a block.
std::string CP_DragRecordText(const CP_DragRecord& record);

// A record taken out of a dropped data object. It holds a reference to the
// text block its record brought and gives it back when it goes.
class CP_DroppedRecord {
 public:
  CP_DroppedRecord();
  ~CP_DroppedRecord();
  CP_DroppedRecord(const CP_DroppedRecord&) = delete;
  CP_DroppedRecord& operator=(const CP_DroppedRecord&) = delete;

  // Asks the data object for format 999 and copies the record out when the
  // block bears this process's stamp; the medium is released in every case.
  // False, with a zeroed record, when there is nothing of ours.
  bool Take(IDataObject* data);

  CP_DragRecord& Record() { return fRecord; }

 private:
  void GiveBackText();

  CP_DragRecord fRecord;
};
