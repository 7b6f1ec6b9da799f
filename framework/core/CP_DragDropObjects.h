#pragma once
// The four small COM objects through which the framework's drag-and-drop
// mixins talk to OLE: a drop source, a data object that forwards to its drag
// source, an enumerator over a copied array of items, and a drop target that
// forwards to its drag target. Reference counts are plain integers: all
// calls come on the framework's one thread.
#include "CP_Win.h"

#include <ole2.h>

#include <cstdint>
#include <vector>

class CP_M_DragSource;
class CP_M_DragTarget;

class CP_IDropSource : public IDropSource {
 public:
  CP_IDropSource() = default;
  virtual ~CP_IDropSource() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // Escape cancels; a released left button drops.
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

 private:
  ULONG fCount = 1;
};

class CP_IDataObject : public IDataObject {
 public:
  explicit CP_IDataObject(CP_M_DragSource* source) : fSource(source) {}
  virtual ~CP_IDataObject() = default;

  // The source goes before the object when OLE still holds it: every
  // request then fails.
  void DetachSource() { fSource = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink,
                                    DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

 private:
  ULONG fCount = 1;
  CP_M_DragSource* fSource;
};

// A COM enumerator over its own copy of `count` items of `itemSize` bytes;
// it keeps its owner alive while it lives.
class CP_Enumerator : public IEnumFORMATETC {
 public:
  // Starts with one reference, which it hands out.
  CP_Enumerator(IUnknown* owner, const void* items, ULONG count, ULONG itemSize, REFIID iid);
  virtual ~CP_Enumerator() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, FORMATETC* out, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

  ULONG GetIndex() const { return fIndex; }

 private:
  ULONG fCount = 0;
  IUnknown* fOwner;
  ULONG fIndex = 0;
  ULONG fItemCount;
  std::vector<uint8_t> fItems;
  IID fIid;
  ULONG fItemSize;
};

class CDropTarget : public IDropTarget {
 public:
  explicit CDropTarget(CP_M_DragTarget* target) : fTarget(target) {}
  virtual ~CDropTarget();

  // The drag target goes before the object when OLE still holds it.
  void DetachTarget() { fTarget = nullptr; }
  // The data object accepted at DragEnter: held with one reference until
  // the drag leaves or drops.
  void SetKeptData(IDataObject* data);
  IDataObject* GetKeptData() const { return fKept; }
  void ReleaseKeptData();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

 private:
  ULONG fCount = 1;
  IDataObject* fKept = nullptr;
  CP_M_DragTarget* fTarget;
};
