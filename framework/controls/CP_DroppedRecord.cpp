#include "CP_DroppedRecord.h"

#include "CP_HandleBlock.h"
#include "CP_Utilities.h"

#include <cstring>

namespace {

// After the record: the magic value, then the id of the process that made it.
constexpr uint32_t kStampMagic = 0x4B584452;  // "KXDR"
constexpr size_t kStampedSize = sizeof(CP_DragRecord) + 2 * sizeof(uint32_t);

bool IsOurDragFormat(const FORMATETC* format) {
  return format->cfFormat == kCP_DragFormat && (format->tymed & TYMED_HGLOBAL) &&
         format->dwAspect == DVASPECT_CONTENT;
}

}  // namespace

HRESULT CP_GetStampedDragData(CP_M_PaneDragDrop& source, FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  if (!IsOurDragFormat(format)) return DV_E_FORMATETC;
  CP_DragRecord record;
  std::memset(&record, 0, sizeof record);
  source.MakeDragData(record, 1);
  source.KeepUntilDragEnds(record.text);

  HGLOBAL memory = AllocGlobalBlock(GMEM_FIXED, kStampedSize);
  if (!memory) return E_OUTOFMEMORY;
  auto* bytes = reinterpret_cast<uint8_t*>(memory);
  const uint32_t stamp[2] = {kStampMagic, uint32_t(GetCurrentProcessId())};
  std::memcpy(bytes, &record, sizeof record);
  std::memcpy(bytes + sizeof record, stamp, sizeof stamp);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = memory;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT CP_CheckPaneDropFormat(const FORMATETC* format) {
  if (format && (format->cfFormat == CF_HDROP || format->cfFormat == kCP_DragFormat) &&
      (format->tymed & TYMED_HGLOBAL) && format->dwAspect == DVASPECT_CONTENT)
    return S_OK;
  return DV_E_FORMATETC;
}

CP_HandleBlock* CP_MakeTextBlock(const std::string& text) {
  auto* block = new CP_HandleBlock(int32_t(text.size() + 1));
  if (auto* bytes = static_cast<char*>(block->GetPointer())) {
    std::memcpy(bytes, text.data(), text.size());
    bytes[text.size()] = 0;
  }
  block->Unlock();
  return block;
}

std::string CP_DragRecordText(const CP_DragRecord& record) {
  if (!record.text) return std::string();
  const int32_t size = record.text->GetSize();
  const auto* bytes = static_cast<const char*>(record.text->GetPointer());
  std::string text;
  if (bytes && size > 0) {
    const void* end = std::memchr(bytes, 0, size_t(size));
    text.assign(bytes, end ? static_cast<const char*>(end) - bytes : size);
  }
  record.text->Unlock();
  return text;
}

CP_DroppedRecord::CP_DroppedRecord() { std::memset(&fRecord, 0, sizeof fRecord); }

CP_DroppedRecord::~CP_DroppedRecord() { GiveBackText(); }

void CP_DroppedRecord::GiveBackText() {
  if (fRecord.text) fRecord.text->RemoveReference();
  fRecord.text = nullptr;
}

bool CP_DroppedRecord::Take(IDataObject* data) {
  GiveBackText();
  std::memset(&fRecord, 0, sizeof fRecord);
  if (!data) return false;
  FORMATETC format = CP_DragFormatDescription();
  if (data->QueryGetData(&format) != S_OK) return false;
  STGMEDIUM medium = {};
  if (data->GetData(&format, &medium) != S_OK) return false;

  bool ours = false;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal &&
      GlobalSize(medium.hGlobal) >= kStampedSize) {
    if (const auto* bytes = static_cast<const uint8_t*>(GlobalLock(medium.hGlobal))) {
      uint32_t stamp[2];
      std::memcpy(stamp, bytes + sizeof fRecord, sizeof stamp);
      ours = stamp[0] == kStampMagic && stamp[1] == uint32_t(GetCurrentProcessId());
      if (ours) std::memcpy(&fRecord, bytes, sizeof fRecord);
      GlobalUnlock(medium.hGlobal);
      // The source holds the text only until its drag ends.
      if (fRecord.text) fRecord.text->AddReference();
    }
  }
  ReleaseStgMedium(&medium);
  return ours;
}
