#include "CP_DragDrop.h"

#include "CP_Callback.h"
#include "CP_HandleBlock.h"
#include "CP_Utilities.h"

#include <cstring>
#include <new>

FORMATETC CP_DragFormatDescription() {
  FORMATETC format = {};
  format.cfFormat = kCP_DragFormat;
  format.ptd = nullptr;
  format.dwAspect = DVASPECT_CONTENT;
  format.lindex = -1;
  format.tymed = TYMED_HGLOBAL;
  return format;
}

// ---------------------------------------------------------------------------
// Drag source

CP_M_DragSource::CP_M_DragSource(const FORMATETC* formats, uint32_t count)
    : fDropSource(new CP_IDropSource), fDataObject(new CP_IDataObject(this)) {
  if (formats) fFormats.assign(formats, formats + count);
}

// OLE may still hold the objects (a drop target that kept the data object):
// they are let go by their counts, never deleted under a holder.
CP_M_DragSource::~CP_M_DragSource() {
  ReleaseHandedOut();
  fDataObject->DetachSource();
  fDataObject->Release();
  fDropSource->Release();
}

HRESULT CP_M_DragSource::GetData(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::QueryGetData(FORMATETC*) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::DUnadvise(DWORD) { return E_NOTIMPL; }
HRESULT CP_M_DragSource::EnumDAdvise(IEnumSTATDATA**) { return E_NOTIMPL; }

HRESULT CP_M_DragSource::EnumFormats(IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  auto* enumerator = new (std::nothrow) CP_Enumerator(
      fDropSource, fFormats.data(), ULONG(fFormats.size()), sizeof(FORMATETC), IID_IEnumFORMATETC);
  *out = enumerator;
  if (!enumerator) return E_FAIL;
  fLastEnumerator = enumerator;
  return S_OK;
}

bool CP_M_DragSource::RunDrag(CP_Event&, uint8_t, DWORD& effect) {
  if (!fDataObject || !fDropSource) return false;
  DWORD result = DROPEFFECT_NONE;
  const HRESULT answer =
      DoDragDrop(fDataObject, fDropSource, DROPEFFECT_COPY | DROPEFFECT_MOVE, &result);
  ReleaseHandedOut();
  // A failure kept inside one of the COM calls goes on from here.
  CP_RethrowPendingException();
  if (answer != DRAGDROP_S_DROP) return false;
  effect = result;
  return true;
}

void CP_M_DragSource::KeepUntilDragEnds(CP_HandleBlock* block) {
  if (!block) return;
  block->AddReference();
  fHandedOut.push_back(block);
}

void CP_M_DragSource::ReleaseHandedOut() noexcept {
  for (CP_HandleBlock* block : fHandedOut) block->RemoveReference();
  fHandedOut.clear();
}

// ---------------------------------------------------------------------------
// Drag target

CP_M_DragTarget::~CP_M_DragTarget() {
  if (!fDropTarget) return;
  if (fWindow) RevokeDragDrop(fWindow);
  CoLockObjectExternal(fDropTarget, FALSE, TRUE);
  fDropTarget->Release();
  fDropTarget->DetachTarget();
  fDropTarget->ReleaseKeptData();
  fDropTarget->Release();  // the reference it was made with
  fDropTarget = nullptr;
}

void CP_M_DragTarget::RegisterTarget(HWND window) {
  if (fDropTarget) return;
  fWindow = window;
  fDropTarget = new CDropTarget(this);
  fDropTarget->AddRef();
  CoLockObjectExternal(fDropTarget, TRUE, FALSE);
  RegisterDragDrop(window, fDropTarget);
}

void CP_M_DragTarget::DragEnter(IDataObject* data, DWORD keyState, LONG x, LONG y, DWORD* effect) {
  const bool accepted = AcceptsData(data, keyState, x, y, effect);
  if (!fDropTarget) return;
  if (accepted && data) {
    data->AddRef();
    fDropTarget->SetKeptData(data);
  } else {
    fDropTarget->SetKeptData(nullptr);
  }
}

void CP_M_DragTarget::DragOver(DWORD, LONG, LONG, DWORD* effect) {
  if (effect) *effect = DROPEFFECT_NONE;
}

IDataObject* CP_M_DragTarget::GetKeptData() const { return fDropTarget ? fDropTarget->GetKeptData() : nullptr; }

void CP_M_DragTarget::ReleaseKeptData() {
  if (fDropTarget) fDropTarget->ReleaseKeptData();
}

// ---------------------------------------------------------------------------
// Pane drag and drop

namespace {

const FORMATETC kPaneFormats[] = {CP_DragFormatDescription()};

}  // namespace

CP_M_PaneDragDrop::CP_M_PaneDragDrop(CP_Pane* owner)
    : CP_M_DragSource(kPaneFormats, 1), CP_M_DragTarget(owner) {}

HRESULT CP_M_PaneDragDrop::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  if (format->cfFormat != kCP_DragFormat || !(format->tymed & TYMED_HGLOBAL) ||
      format->dwAspect != DVASPECT_CONTENT)
    return DV_E_FORMATETC;
  CP_DragRecord record;
  std::memset(&record, 0, sizeof record);
  MakeDragData(record, 1);
  KeepUntilDragEnds(record.text);
  HGLOBAL memory = AllocGlobalBlock(GMEM_FIXED, sizeof record);
  if (!memory) return E_OUTOFMEMORY;
  std::memcpy(reinterpret_cast<void*>(memory), &record, sizeof record);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}
