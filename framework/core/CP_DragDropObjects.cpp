#include "CP_DragDropObjects.h"

#include "CP_Callback.h"
#include "CP_DragDrop.h"

#include <cstring>
#include <new>

namespace {

// Answers the object itself, with a reference, for IUnknown and `own`.
template <typename T>
HRESULT AnswerInterface(T* self, REFIID iid, REFIID own, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, own)) {
    *object = self;
    self->AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

}  // namespace

// ---------------------------------------------------------------------------
// Drop source

HRESULT CP_IDropSource::QueryInterface(REFIID iid, void** object) {
  return AnswerInterface(this, iid, IID_IDropSource, object);
}

ULONG CP_IDropSource::AddRef() { return ++fCount; }

ULONG CP_IDropSource::Release() {
  const ULONG count = --fCount;
  if (count == 0) delete this;
  return count;
}

HRESULT CP_IDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed) return DRAGDROP_S_CANCEL;
  if (!(keyState & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT CP_IDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---------------------------------------------------------------------------
// Data object: every request goes to the drag source. The source is
// framework code: what it throws is kept for the framework and the request
// fails.

HRESULT CP_IDataObject::QueryInterface(REFIID iid, void** object) {
  return AnswerInterface(this, iid, IID_IDataObject, object);
}

ULONG CP_IDataObject::AddRef() { return ++fCount; }

ULONG CP_IDataObject::Release() {
  const ULONG count = --fCount;
  if (count == 0) delete this;
  return count;
}

HRESULT CP_IDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->GetData(format, medium); });
}

HRESULT CP_IDataObject::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->GetDataHere(format, medium); });
}

HRESULT CP_IDataObject::QueryGetData(FORMATETC* format) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->QueryGetData(format); });
}

HRESULT CP_IDataObject::GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->GetCanonicalFormatEtc(in, out); });
}

HRESULT CP_IDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->SetData(format, medium, release); });
}

HRESULT CP_IDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** out) {
  if (!fSource) {
    if (out) *out = nullptr;
    return E_FAIL;
  }
  return CP_GuardCallback<HRESULT>(E_FAIL, [&] { return fSource->EnumFormats(out); });
}

HRESULT CP_IDataObject::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED,
                                   [&] { return fSource->DAdvise(format, flags, sink, connection); });
}

HRESULT CP_IDataObject::DUnadvise(DWORD connection) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->DUnadvise(connection); });
}

HRESULT CP_IDataObject::EnumDAdvise(IEnumSTATDATA** out) {
  if (!fSource) return E_UNEXPECTED;
  return CP_GuardCallback<HRESULT>(E_UNEXPECTED, [&] { return fSource->EnumDAdvise(out); });
}

// ---------------------------------------------------------------------------
// Enumerator

CP_Enumerator::CP_Enumerator(IUnknown* owner, const void* items, ULONG count, ULONG itemSize,
                             REFIID iid)
    : fOwner(owner), fItemCount(count), fIid(iid), fItemSize(itemSize) {
  AddRef();
  const auto* bytes = static_cast<const uint8_t*>(items);
  if (bytes) fItems.assign(bytes, bytes + size_t(count) * itemSize);
  else fItemCount = 0;
}

HRESULT CP_Enumerator::QueryInterface(REFIID iid, void** object) {
  return AnswerInterface(this, iid, fIid, object);
}

ULONG CP_Enumerator::AddRef() {
  if (fOwner) fOwner->AddRef();
  return ++fCount;
}

ULONG CP_Enumerator::Release() {
  IUnknown* owner = fOwner;
  const ULONG count = --fCount;
  if (count == 0) delete this;
  if (owner) owner->Release();
  return count;
}

HRESULT CP_Enumerator::Next(ULONG wanted, FORMATETC* out, ULONG* fetched) {
  if (fItemCount == 0 || !out || fIndex >= fItemCount) {
    if (fetched) *fetched = 0;
    return S_FALSE;
  }
  auto* destination = reinterpret_cast<uint8_t*>(out);
  ULONG copied = 0;
  while (fIndex < fItemCount && copied < wanted) {
    std::memcpy(destination + size_t(copied) * fItemSize, &fItems[size_t(fIndex) * fItemSize], fItemSize);
    ++fIndex;
    ++copied;
  }
  if (fetched) *fetched = copied;
  return S_OK;
}

HRESULT CP_Enumerator::Skip(ULONG count) {
  // index + count must stay strictly below the item count.
  if (fIndex >= fItemCount || count >= fItemCount - fIndex) return S_FALSE;
  fIndex += count;
  return S_OK;
}

HRESULT CP_Enumerator::Reset() {
  fIndex = 0;
  return S_OK;
}

HRESULT CP_Enumerator::Clone(IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  auto* clone = new (std::nothrow) CP_Enumerator(fOwner, fItems.data(), fItemCount, fItemSize, fIid);
  *out = clone;
  if (!clone) return E_OUTOFMEMORY;
  clone->fIndex = fIndex;
  return S_OK;
}

// ---------------------------------------------------------------------------
// Drop target

CDropTarget::~CDropTarget() { ReleaseKeptData(); }

void CDropTarget::SetKeptData(IDataObject* data) {
  if (data == fKept) {
    if (data) data->Release();  // already held once
    return;
  }
  ReleaseKeptData();
  fKept = data;
}

void CDropTarget::ReleaseKeptData() {
  IDataObject* kept = fKept;
  fKept = nullptr;
  if (kept) kept->Release();
}

HRESULT CDropTarget::QueryInterface(REFIID iid, void** object) {
  return AnswerInterface(this, iid, IID_IDropTarget, object);
}

ULONG CDropTarget::AddRef() { return ++fCount; }

ULONG CDropTarget::Release() {
  const ULONG count = --fCount;
  if (count == 0) delete this;
  return count;
}

HRESULT CDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  CP_GuardCallback([&] {
    if (fTarget) fTarget->DragEnter(data, keyState, point.x, point.y, effect);
  });
  return DragOver(keyState, point, effect);
}

HRESULT CDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!fTarget) {
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  CP_GuardCallback([&] { fTarget->DragOver(keyState, point.x, point.y, effect); });
  return S_OK;
}

HRESULT CDropTarget::DragLeave() {
  CP_GuardCallback([&] {
    if (fTarget) fTarget->DragLeave();
  });
  ReleaseKeptData();
  return S_OK;
}

// A drop reaches the pane only when the pane accepted the data at DragEnter.
HRESULT CDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (fKept) {
    CP_GuardCallback([&] {
      if (fTarget) fTarget->Drop(data, keyState, point.x, point.y, effect);
    });
    ReleaseKeptData();
  }
  return DragOver(keyState, point, effect);
}
