#pragma once
// Scenes, data objects and drawing surfaces for the list and tree tests.
#include "CP_Canvas.h"
#include "CP_DragDrop.h"
#include "PaneTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kxtest {

// A framework window under OLE, shown, so that the controls in it lay out
// and hit-test as on the screen.
class ListScene : public SceneTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SceneTest::SetUp();
    ShowWindow(window->GetHWND(), SW_SHOWNOACTIVATE);
    window->Show();
  }
  void TearDown() override {
    SceneTest::TearDown();
    OleUninitialize();
  }
};

// A memory device context of its own size with a 24-bit bitmap, filled with
// one colour.
class MemoryDC {
 public:
  MemoryDC(int width, int height, COLORREF fill) : fWidth(width), fHeight(height) {
    HDC screen = GetDC(nullptr);
    fDC = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    fBitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    fOld = SelectObject(fDC, fBitmap);
    Fill(fill);
  }
  ~MemoryDC() {
    SelectObject(fDC, fOld);
    DeleteObject(fBitmap);
    DeleteDC(fDC);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  void Fill(COLORREF color) {
    RECT all{0, 0, fWidth, fHeight};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(fDC, &all, brush);
    DeleteObject(brush);
  }
  COLORREF At(int x, int y) const { return GetPixel(fDC, x, y) & 0xFFFFFF; }
  // How many pixels of the rectangle have the colour.
  int Count(const RECT& r, COLORREF color) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == color;
    return n;
  }
  HDC Get() const { return fDC; }

 private:
  int fWidth, fHeight;
  HDC fDC = nullptr;
  HBITMAP fBitmap = nullptr;
  HGDIOBJ fOld = nullptr;
};

// A data object of another program: it offers its bytes under one format,
// in global memory, and counts what it was asked. With `alsoFiles` it also
// claims a file list, which is what the panes' accept test looks for.
class ForeignData : public IDataObject {
 public:
  ForeignData(CLIPFORMAT format, std::vector<uint8_t> bytes, bool alsoFiles = false)
      : fFormat(format), fBytes(std::move(bytes)), fAlsoFiles(alsoFiles) {}
  virtual ~ForeignData() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDataObject) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++fCount; }
  ULONG STDMETHODCALLTYPE Release() override { return --fCount; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    ++gets;
    if (!format || format->cfFormat != fFormat || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, fBytes.size());
    std::memcpy(GlobalLock(memory), fBytes.data(), fBytes.size());
    GlobalUnlock(memory);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    return format->cfFormat == fFormat || (fAlsoFiles && format->cfFormat == CF_HDROP) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

  int gets = 0;
  ULONG fCount = 1;

 private:
  CLIPFORMAT fFormat;
  std::vector<uint8_t> fBytes;
  bool fAlsoFiles;
};

// A record as another program could send it: 24 bytes whose pointer fields
// hold values that mean nothing here.
inline std::vector<uint8_t> ForeignRecord(uint32_t secondKind, size_t extra = 0) {
  CP_DragRecord record;
  std::memset(&record, 0, sizeof record);
  record.format = 999;
  record.kind = 0x54455854;  // 'TEXT'
  record.count = 1;
  record.text = reinterpret_cast<CP_HandleBlock*>(uintptr_t(0x00BAD000));
  record.secondKind = secondKind;
  record.item = reinterpret_cast<void*>(uintptr_t(0x00BAD100));
  std::vector<uint8_t> bytes(sizeof record + extra, 0xEE);
  std::memcpy(bytes.data(), &record, sizeof record);
  return bytes;
}

// Drags `data` onto the target's registered window at a point of that
// window's client area, as OLE's drag loop would: enter, then drop.
inline DWORD DropAt(CP_M_DragTarget& target, IDataObject* data, POINT client) {
  HWND window = target.GetRegisteredWindow();
  ClientToScreen(window, &client);
  POINTL at{client.x, client.y};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  IDropTarget* drop = target.GetDropTarget();
  drop->DragEnter(data, 0, at, &effect);
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  drop->Drop(data, 0, at, &effect);
  return effect;
}

// The drag block a pane's data object hands out under format 999.
inline std::vector<uint8_t> DragBlock(IDataObject* data) {
  FORMATETC format = CP_DragFormatDescription();
  STGMEDIUM medium = {};
  if (data->GetData(&format, &medium) != S_OK) return {};
  const SIZE_T size = GlobalSize(medium.hGlobal);
  std::vector<uint8_t> bytes(size);
  std::memcpy(bytes.data(), GlobalLock(medium.hGlobal), size);
  GlobalUnlock(medium.hGlobal);
  ReleaseStgMedium(&medium);
  return bytes;
}

}  // namespace kxtest
