// The drag-and-drop objects are driven directly, as OLE would call them,
// without OLE's modal drag loop.
#include "CP_Callback.h"
#include "CP_DragDrop.h"
#include "CP_HandleBlock.h"
#include "CP_Exception.h"
#include "PaneTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

using kxtest::PaneAt;
using kxtest::SceneTest;

// OLE for the window-bound tests.
class DragDropTest : public SceneTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    SceneTest::SetUp();
  }
  void TearDown() override {
    SceneTest::TearDown();
    OleUninitialize();
  }
};

// A text block that counts its going.
class CountedBlock : public CP_HandleBlock {
 public:
  explicit CountedBlock(int* gone) : CP_HandleBlock(4), fGone(gone) {}
  ~CountedBlock() override { ++*fGone; }

 private:
  int* fGone;
};

// A pane that fills a recognisable record and logs the drops it takes.
class DragPane : public kxtest::ProbePane, public CP_M_PaneDragDrop {
 public:
  DragPane(CP_View* super, const CP_PaneInfo& info) : kxtest::ProbePane(super, info), CP_M_PaneDragDrop(this) {}

  void MakeDragData(CP_DragRecord& record, int16_t index) override {
    if (fail) throw std::runtime_error("no record");
    madeWith = index;
    record.format = 999;
    record.kind = CP_FourCC("TEXT");
    record.count = 1;
    record.secondKind = CP_FourCC("TTIT");
    record.item = this;
    if (textGone) record.text = new CountedBlock(textGone);
  }
  HRESULT CheckDropFormat(FORMATETC* format) override {
    return format && format->cfFormat == kCP_DragFormat ? S_OK : DV_E_FORMATETC;
  }
  bool CanAcceptDrop(IDataObject*, DWORD, LONG, LONG, DWORD*) override { return accept; }
  void ReceiveDrop(IDataObject* data, DWORD, LONG x, LONG y, DWORD* effect) override {
    ++drops;
    droppedData = data;
    dropPoint = POINT{x, y};
    keptDuringDrop = GetKeptData();
    if (effect) *effect = DROPEFFECT_COPY;
  }
  void DragOver(DWORD keyState, LONG x, LONG y, DWORD* effect) override {
    ++overs;
    CP_M_PaneDragDrop::DragOver(keyState, x, y, effect);
  }

  int16_t madeWith = 0;
  int* textGone = nullptr;  // when set, each record carries a counted text block
  bool fail = false;
  bool accept = true;
  int drops = 0;
  int overs = 0;
  IDataObject* droppedData = nullptr;
  IDataObject* keptDuringDrop = nullptr;
  POINT dropPoint = {};
};

// An IUnknown that counts its references.
class CountedOwner : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++count; }
  ULONG STDMETHODCALLTYPE Release() override { return --count; }
  ULONG count = 1;
};

FORMATETC Format(CLIPFORMAT format, DWORD tymed, DWORD aspect = DVASPECT_CONTENT) {
  FORMATETC f = {};
  f.cfFormat = format;
  f.dwAspect = aspect;
  f.lindex = -1;
  f.tymed = tymed;
  return f;
}

// References an object holds: one added and taken away again.
ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

TEST(EnumeratorTest, OneFormat) {
  CountedOwner owner;
  const FORMATETC formats[] = {CP_DragFormatDescription()};
  auto* enumerator = new CP_Enumerator(&owner, formats, 1, sizeof(FORMATETC), IID_IEnumFORMATETC);
  EXPECT_EQ(2u, owner.count) << "the owner lives while the enumerator does";

  FORMATETC out[2] = {};
  ULONG fetched = 7;
  EXPECT_EQ(S_OK, enumerator->Next(1, out, &fetched));
  EXPECT_EQ(1u, fetched);
  EXPECT_EQ(0, std::memcmp(&formats[0], &out[0], sizeof(FORMATETC)));
  EXPECT_EQ(S_FALSE, enumerator->Next(1, out, &fetched));
  EXPECT_EQ(0u, fetched);
  EXPECT_EQ(S_OK, enumerator->Reset());
  EXPECT_EQ(S_FALSE, enumerator->Skip(1)) << "0 + 1 is not below 1";
  EXPECT_EQ(0u, enumerator->GetIndex());
  EXPECT_EQ(S_FALSE, enumerator->Next(1, nullptr, nullptr)) << "nowhere to put it";

  void* object = nullptr;
  EXPECT_EQ(S_OK, enumerator->QueryInterface(IID_IEnumFORMATETC, &object));
  EXPECT_EQ(enumerator, object);
  EXPECT_EQ(S_OK, enumerator->QueryInterface(IID_IUnknown, &object));
  EXPECT_EQ(E_NOINTERFACE, enumerator->QueryInterface(IID_IDataObject, &object));
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(4u, owner.count);
  enumerator->Release();
  enumerator->Release();
  EXPECT_EQ(0u, enumerator->Release());
  EXPECT_EQ(1u, owner.count) << "every reference went back to the owner";
}

TEST(EnumeratorTest, SeveralItemsSkipAndClone) {
  CountedOwner owner;
  const uint32_t items[] = {10, 20, 30};
  auto* enumerator = new CP_Enumerator(&owner, items, 3, sizeof(uint32_t), IID_IEnumFORMATETC);
  uint32_t out[5] = {};
  ULONG fetched = 0;
  EXPECT_EQ(S_OK, enumerator->Next(5, reinterpret_cast<FORMATETC*>(out), &fetched)) << "fewer than asked";
  EXPECT_EQ(3u, fetched);
  EXPECT_EQ(30u, out[2]);
  enumerator->Reset();
  EXPECT_EQ(S_OK, enumerator->Skip(2));
  EXPECT_EQ(S_FALSE, enumerator->Skip(1));
  EXPECT_EQ(S_FALSE, enumerator->Skip(0xFFFFFFFF)) << "no wrap-round";
  EXPECT_EQ(2u, enumerator->GetIndex());

  IEnumFORMATETC* clone = nullptr;
  EXPECT_EQ(S_OK, enumerator->Clone(&clone));
  ASSERT_NE(nullptr, clone);
  EXPECT_EQ(2u, static_cast<CP_Enumerator*>(clone)->GetIndex()) << "at the same place";
  enumerator->Release();
  EXPECT_EQ(S_OK, clone->Next(1, reinterpret_cast<FORMATETC*>(out), &fetched)) << "its own copy of the items";
  EXPECT_EQ(30u, out[0]);
  clone->Release();
  EXPECT_EQ(1u, owner.count);
}

TEST(DropSourceTest, EscapeCancelsAReleasedButtonDrops) {
  struct Case {
    BOOL escape;
    DWORD keys;
    HRESULT want;
  } const cases[] = {
      {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {TRUE, 0, DRAGDROP_S_CANCEL},
      {FALSE, 0, DRAGDROP_S_DROP},
      {FALSE, MK_RBUTTON, DRAGDROP_S_DROP},
      {FALSE, MK_LBUTTON, S_OK},
      {FALSE, MK_LBUTTON | MK_SHIFT, S_OK},
  };
  auto* source = new CP_IDropSource;
  for (const Case& c : cases) EXPECT_EQ(c.want, source->QueryContinueDrag(c.escape, c.keys)) << c.keys;
  EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, source->GiveFeedback(DROPEFFECT_COPY));
  void* object = nullptr;
  EXPECT_EQ(S_OK, source->QueryInterface(IID_IDropSource, &object));
  EXPECT_EQ(E_NOINTERFACE, source->QueryInterface(IID_IDropTarget, &object));
  source->Release();
  EXPECT_EQ(0u, source->Release());
}

TEST_F(DragDropTest, DataObjectAnswersOnlyThePrivateFormatInGlobalMemory) {
  struct Case {
    const char* name;
    FORMATETC format;
    HRESULT want;
  } const cases[] = {
      {"format 999 in global memory", Format(999, TYMED_HGLOBAL), S_OK},
      {"also offered as a stream", Format(999, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
      {"a stream only", Format(999, TYMED_ISTREAM), DV_E_FORMATETC},
      {"a file list", Format(CF_HDROP, TYMED_HGLOBAL), DV_E_FORMATETC},
      {"text", Format(CF_TEXT, TYMED_HGLOBAL), DV_E_FORMATETC},
      {"a thumbnail", Format(999, TYMED_HGLOBAL, DVASPECT_THUMBNAIL), DV_E_FORMATETC},
  };
  auto* pane = AddPane<DragPane>(window, PaneAt(0, 0, 50, 50));
  IDataObject* data = pane->GetDataObject();
  for (const Case& c : cases) {
    FORMATETC format = c.format;
    STGMEDIUM medium = {};
    EXPECT_EQ(c.want, data->GetData(&format, &medium)) << c.name;
    if (c.want != S_OK) continue;
    EXPECT_EQ(DWORD(TYMED_HGLOBAL), medium.tymed) << c.name;
    EXPECT_EQ(nullptr, medium.pUnkForRelease) << c.name;
    ASSERT_EQ(sizeof(CP_DragRecord), GlobalSize(medium.hGlobal)) << c.name;
    CP_DragRecord record;
    std::memcpy(&record, GlobalLock(medium.hGlobal), sizeof record);
    GlobalUnlock(medium.hGlobal);
    EXPECT_EQ(999u, record.format) << c.name;
    EXPECT_EQ(CP_FourCC("TEXT"), record.kind) << c.name;
    EXPECT_EQ(CP_FourCC("TTIT"), record.secondKind) << c.name;
    EXPECT_EQ(static_cast<void*>(pane), record.item) << c.name;
    EXPECT_EQ(nullptr, record.text) << c.name << ": the rest of the record starts zeroed";
    EXPECT_EQ(1, pane->madeWith) << c.name;
    ReleaseStgMedium(&medium);
  }

  FORMATETC format = Format(999, TYMED_HGLOBAL);
  EXPECT_EQ(S_OK, data->QueryGetData(&format)) << "asks the pane's format test";
  FORMATETC other = Format(CF_TEXT, TYMED_HGLOBAL);
  EXPECT_EQ(DV_E_FORMATETC, data->QueryGetData(&other));
  STGMEDIUM medium = {};
  EXPECT_EQ(E_NOTIMPL, data->GetDataHere(&format, &medium));
  EXPECT_EQ(E_NOTIMPL, data->SetData(&format, &medium, FALSE));
  EXPECT_EQ(E_NOTIMPL, data->DUnadvise(1));
  void* object = nullptr;
  EXPECT_EQ(S_OK, data->QueryInterface(IID_IDataObject, &object));
  data->Release();
  EXPECT_EQ(E_NOINTERFACE, data->QueryInterface(IID_IDropSource, &object));

  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
  FORMATETC offered = {};
  ULONG fetched = 0;
  EXPECT_EQ(S_OK, formats->Next(1, &offered, &fetched));
  EXPECT_EQ(999, offered.cfFormat);
  EXPECT_EQ(DWORD(TYMED_HGLOBAL), offered.tymed);
  EXPECT_EQ(-1, offered.lindex);
  formats->Release();

  // A failure in the pane's code stays out of OLE's frames.
  pane->fail = true;
  EXPECT_EQ(E_UNEXPECTED, data->GetData(&format, &medium));
  EXPECT_TRUE(CP_HasPendingException());
  EXPECT_THROW(CP_RethrowPendingException(), std::runtime_error);
}

// A target in another program frees only the global memory of the record:
// the text blocks a drag handed out go when the drag ends.
TEST_F(DragDropTest, TextBlocksHandedOutGoWhenTheDragEnds) {
  int gone = 0;
  auto* pane = AddPane<DragPane>(window, PaneAt(0, 0, 50, 50));
  pane->textGone = &gone;
  IDataObject* data = pane->GetDataObject();
  for (int i = 0; i < 3; ++i) {
    FORMATETC format = Format(999, TYMED_HGLOBAL);
    STGMEDIUM medium = {};
    ASSERT_EQ(S_OK, data->GetData(&format, &medium));
    ReleaseStgMedium(&medium);
  }
  EXPECT_EQ(0, gone) << "still the drag's";
  CP_Event event;
  DWORD effect = DROPEFFECT_NONE;
  pane->RunDrag(event, 0, effect);  // no button is down: the drag ends at once
  EXPECT_EQ(3, gone);

  // Handed out outside a drag, they go with the source.
  FORMATETC format = Format(999, TYMED_HGLOBAL);
  STGMEDIUM medium = {};
  ASSERT_EQ(S_OK, data->GetData(&format, &medium));
  ReleaseStgMedium(&medium);
  EXPECT_EQ(3, gone);
  delete pane;
  EXPECT_EQ(4, gone);
}

TEST_F(DragDropTest, BaseDragSourceAnswersNotImplemented) {
  const FORMATETC formats[] = {CP_DragFormatDescription()};
  CP_M_DragSource source(formats, 1);
  FORMATETC format = formats[0];
  STGMEDIUM medium = {};
  EXPECT_EQ(E_NOTIMPL, source.GetDataObject()->GetData(&format, &medium));
  EXPECT_EQ(E_NOTIMPL, source.GetDataObject()->QueryGetData(&format));
}

TEST_F(DragDropTest, DataObjectHeldByOthersOutlivesItsSource) {
  IDataObject* data = nullptr;
  IEnumFORMATETC* formats = nullptr;
  {
    const FORMATETC offered[] = {CP_DragFormatDescription()};
    CP_M_DragSource source(offered, 1);
    data = source.GetDataObject();
    data->AddRef();
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
  }
  FORMATETC format = Format(999, TYMED_HGLOBAL);
  STGMEDIUM medium = {};
  EXPECT_EQ(E_UNEXPECTED, data->GetData(&format, &medium));
  FORMATETC out = {};
  EXPECT_EQ(S_OK, formats->Next(1, &out, nullptr));
  formats->Release();
  EXPECT_EQ(0u, data->Release());
}

TEST_F(DragDropTest, RefusedDataNeverReachesTheDrop) {
  auto* target = AddPane<DragPane>(window, PaneAt(0, 0, 50, 50));
  auto* source = AddPane<DragPane>(window, PaneAt(60, 0, 50, 50));
  target->RegisterTarget(target->GetHWND());
  IDropTarget* drop = target->GetDropTarget();
  ASSERT_NE(nullptr, drop);
  IDataObject* data = source->GetDataObject();
  const ULONG before = References(data);

  target->accept = false;
  DWORD effect = DROPEFFECT_COPY;
  EXPECT_EQ(S_OK, drop->DragEnter(data, MK_LBUTTON, POINTL{5, 6}, &effect));
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect) << "the base DragOver ran after the enter";
  EXPECT_EQ(nullptr, target->GetKeptData());
  EXPECT_EQ(before, References(data));
  EXPECT_EQ(S_OK, drop->Drop(data, 0, POINTL{5, 6}, &effect));
  EXPECT_EQ(0, target->drops);
  EXPECT_EQ(2, target->overs) << "after the enter and after the drop";
}

TEST_F(DragDropTest, AcceptedDataIsKeptUntilTheDropAndGivenBackOnce) {
  auto* target = AddPane<DragPane>(window, PaneAt(0, 0, 50, 50));
  auto* source = AddPane<DragPane>(window, PaneAt(60, 0, 50, 50));
  target->RegisterTarget(target->GetHWND());
  IDropTarget* drop = target->GetDropTarget();
  IDataObject* data = source->GetDataObject();
  const ULONG before = References(data);

  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  drop->DragEnter(data, MK_LBUTTON, POINTL{5, 6}, &effect);
  EXPECT_EQ(data, target->GetKeptData());
  EXPECT_EQ(before + 1, References(data));
  drop->DragOver(MK_LBUTTON, POINTL{7, 8}, &effect);
  EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
  drop->Drop(data, 0, POINTL{9, 10}, &effect);
  EXPECT_EQ(1, target->drops);
  EXPECT_EQ(data, target->droppedData);
  EXPECT_EQ(data, target->keptDuringDrop);
  EXPECT_EQ(9, target->dropPoint.x);
  EXPECT_EQ(10, target->dropPoint.y);
  EXPECT_EQ(nullptr, target->GetKeptData());
  EXPECT_EQ(before, References(data));

  // A drop whose pane gives the data back itself is not given back twice.
  drop->DragEnter(data, MK_LBUTTON, POINTL{5, 6}, &effect);
  target->ReleaseKeptData();
  EXPECT_EQ(before, References(data));
  drop->Drop(data, 0, POINTL{9, 10}, &effect);
  EXPECT_EQ(1, target->drops) << "nothing kept, nothing dropped";
  EXPECT_EQ(before, References(data));

  // Leaving gives it back too.
  drop->DragEnter(data, MK_LBUTTON, POINTL{5, 6}, &effect);
  drop->DragLeave();
  EXPECT_EQ(before, References(data));
}

TEST_F(DragDropTest, RegistrationLastsAsLongAsTheTarget) {
  auto* pane = AddPane<DragPane>(window, PaneAt(0, 0, 50, 50));
  HWND native = pane->GetHWND();
  pane->RegisterTarget(native);
  EXPECT_EQ(native, pane->GetRegisteredWindow());
  auto* other = new CDropTarget(nullptr);
  EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(native, other));
  window->DetachSubPane(pane, false, false);
  delete pane;
  EXPECT_EQ(S_OK, RegisterDragDrop(native, other)) << "revoked with the target";
  RevokeDragDrop(native);
  other->Release();
  DestroyWindow(native);
}

}  // namespace
