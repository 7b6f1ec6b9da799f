#pragma once
// Panes take part in OLE drag and drop through three mixins: a drag source
// that starts a drag and answers the drop target's data requests, a drag
// target that registers a window and passes the target events on, and the
// pane mixin that is both, with the framework's private drag format.
#include "CP_DragDropObjects.h"
#include "CP_Geometry.h"

#include <cstdint>
#include <vector>

class CP_Event;
class CP_HandleBlock;
class CP_Pane;

// The framework's private drag format: a number used as it is, without
// registration.
constexpr CLIPFORMAT kCP_DragFormat = 999;

// The record that travels in global memory under format 999: 24 bytes in
// the 32-bit build. It carries pointers, so it means something only inside
// the process that made it; the 64-bit build lays it out with its own
// pointers (40 bytes).
struct CP_DragRecord {
  uint32_t format;       // 999
  uint32_t kind;         // 'TEXT'
  uint16_t count;        // 1
  uint8_t flag;
  uint8_t reserved;
  CP_HandleBlock* text;  // the text and a terminating zero; a receiver adds its own reference
  uint32_t secondKind;   // 'TTIT' when the record carries a tree-table item
  void* item;
};
static_assert(sizeof(CP_DragRecord) == (sizeof(void*) == 4 ? 24 : 40), "the drag record's layout");

// The one format description of the framework's drag data.
FORMATETC CP_DragFormatDescription();

class CP_M_DragSource {
 public:
  // Keeps its own copy of the format descriptions it offers.
  CP_M_DragSource(const FORMATETC* formats, uint32_t count);
  // Gives up its COM objects; one that OLE still holds fails every request.
  virtual ~CP_M_DragSource();
  CP_M_DragSource(const CP_M_DragSource&) = delete;
  CP_M_DragSource& operator=(const CP_M_DragSource&) = delete;

  // The data object's requests; each answers E_NOTIMPL here.
  virtual HRESULT GetData(FORMATETC* format, STGMEDIUM* medium);
  virtual HRESULT QueryGetData(FORMATETC* format);
  virtual HRESULT GetDataHere(FORMATETC* format, STGMEDIUM* medium);
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out);
  virtual HRESULT SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release);
  virtual HRESULT DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection);
  virtual HRESULT DUnadvise(DWORD connection);
  virtual HRESULT EnumDAdvise(IEnumSTATDATA** out);

  // A new enumerator over the offered formats; E_FAIL when none can be made.
  HRESULT EnumFormats(IEnumFORMATETC** out);
  void SetDragStart(const CP_Point& point) { fDragStart = point; }
  const CP_Point& GetDragStart() const { return fDragStart; }
  // Runs OLE's drag loop with copy and move allowed; true, with the effect,
  // when the data was dropped. The event and the byte are not read.
  bool RunDrag(CP_Event& event, uint8_t unused, DWORD& effect);

  IDataObject* GetDataObject() const { return fDataObject; }
  IDropSource* GetDropSource() const { return fDropSource; }

  // A block that a handed-out record points to. A target elsewhere, or none,
  // never gives it back, so the source holds it until the drag ends or the
  // source goes; a receiver in this process adds its own reference.
  void KeepUntilDragEnds(CP_HandleBlock* block);

 private:
  void ReleaseHandedOut() noexcept;

  CP_Point fDragStart;
  CP_IDropSource* fDropSource;
  CP_IDataObject* fDataObject;
  std::vector<FORMATETC> fFormats;
  CP_Enumerator* fLastEnumerator = nullptr;  // the last handed out; never followed
  std::vector<CP_HandleBlock*> fHandedOut;
};

class CP_M_DragTarget {
 public:
  explicit CP_M_DragTarget(CP_Pane* owner) : fOwner(owner) {}
  // Revokes the registration and lets the drop target go.
  virtual ~CP_M_DragTarget();
  CP_M_DragTarget(const CP_M_DragTarget&) = delete;
  CP_M_DragTarget& operator=(const CP_M_DragTarget&) = delete;

  // Makes the window an OLE drop target for this mixin, once.
  void RegisterTarget(HWND window);

  // Points are screen coordinates. DragEnter keeps the data object for this
  // drag only when AcceptsData agrees.
  virtual void DragEnter(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect);
  virtual void DragOver(DWORD keyState, LONG x, LONG y, DWORD* effect);
  virtual void DragLeave() {}
  virtual void Drop(IDataObject*, DWORD, LONG, LONG, DWORD*) {}
  virtual bool AcceptsData(IDataObject*, DWORD, LONG, LONG, DWORD*) { return false; }

  CP_Pane* GetOwner() const { return fOwner; }
  HWND GetRegisteredWindow() const { return fWindow; }
  IDropTarget* GetDropTarget() const { return fDropTarget; }
  // The data object kept at DragEnter, or null.
  IDataObject* GetKeptData() const;
  // Gives the kept data object back now; the drop target then has nothing
  // left to give back after the drop.
  void ReleaseKeptData();

 private:
  CP_Pane* fOwner;
  HWND fWindow = nullptr;
  CDropTarget* fDropTarget = nullptr;
};

// Drag source and drag target of a pane, over the one private format.
class CP_M_PaneDragDrop : public CP_M_DragSource, public CP_M_DragTarget {
 public:
  explicit CP_M_PaneDragDrop(CP_Pane* owner);

  // Format 999 in global memory, content aspect: the pane fills a zeroed
  // record (MakeDragData with item position 1), handed over in a fixed
  // global block. Anything else: DV_E_FORMATETC.
  HRESULT GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT QueryGetData(FORMATETC* format) override { return CheckDropFormat(format); }
  bool AcceptsData(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override {
    return CanAcceptDrop(data, keyState, x, y, effect);
  }
  void Drop(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) override {
    ReceiveDrop(data, keyState, x, y, effect);
  }

  // The pane's hooks: a record dropped at a point, and the record of a drag.
  virtual void ReceiveDragData(CP_DragRecord&, const CP_Point&) {}
  virtual void MakeDragData(CP_DragRecord&, int16_t) {}
  // The format test, the accept test and the drop as the panes name them.
  virtual HRESULT CheckDropFormat(FORMATETC*) { return E_NOTIMPL; }
  virtual bool CanAcceptDrop(IDataObject*, DWORD, LONG, LONG, DWORD*) { return false; }
  virtual void ReceiveDrop(IDataObject*, DWORD, LONG, LONG, DWORD*) {}
};
