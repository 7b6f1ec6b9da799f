#include "CP_ImageList.h"

#include "CP_Canvas.h"
#include "CP_Framework.h"

namespace {

constexpr size_t kHeaderWords = 9;  // eight fields and the count

int16_t WordAt(const uint8_t* bytes, size_t index) {
  return int16_t(uint16_t(bytes[2 * index]) | uint16_t(bytes[2 * index + 1]) << 8);
}

}  // namespace

CP_ImageListResourceError ParseImageListResource(const uint8_t* bytes, size_t size,
                                                 CP_ImageListResource& out) {
  if (!bytes || size < kHeaderWords * 2) return CP_ImageListResourceError::kTruncatedHeader;
  const int16_t count = WordAt(bytes, 8);
  if (count < 0) return CP_ImageListResourceError::kBadCount;
  // The count is the file's claim: it must fit in the bytes after the header.
  const size_t room = (size - kHeaderWords * 2) / 2;
  if (size_t(count) > room) return CP_ImageListResourceError::kTruncatedIds;

  CP_ImageListResource parsed;
  parsed.width = WordAt(bytes, 0);
  parsed.height = WordAt(bytes, 1);
  parsed.masked = WordAt(bytes, 2);
  parsed.maskColor = CP_RGBColor(uint16_t(WordAt(bytes, 3)), uint16_t(WordAt(bytes, 4)),
                                 uint16_t(WordAt(bytes, 5)));
  parsed.maskFlag = WordAt(bytes, 6);
  parsed.value = WordAt(bytes, 7);
  parsed.bitmapIds.reserve(size_t(count));
  for (size_t i = 0; i < size_t(count); ++i)
    parsed.bitmapIds.push_back(uint16_t(WordAt(bytes, kHeaderWords + i)));
  out = std::move(parsed);
  return CP_ImageListResourceError::kNone;
}

CP_ImageList::CP_ImageList(int16_t initialCount, int16_t width, int16_t height, uint8_t masked)
    : fWidth(width), fHeight(height), fCapacity(initialCount), fMasked(masked) {
  const int w = width < 1 ? 1 : width;
  const int h = height < 1 ? 1 : height;
  fHandle = ImageList_Create(w, h, masked == 1 ? ILC_MASK : ILC_COLOR, initialCount, fGrow);
}

CP_ImageList::~CP_ImageList() {
  if (fHandle) ImageList_Destroy(fHandle);
}

void CP_ImageList::AddBitmap(uint16_t bitmapId) {
  HBITMAP bitmap = LoadBitmapA(gCP_Instance, MAKEINTRESOURCEA(bitmapId));
  ImageList_Add(fHandle, bitmap, nullptr);
  // The list keeps its own copy of the pixels.
  if (bitmap) DeleteObject(bitmap);
  ++fAdded;
  ++fCapacity;
}

void CP_ImageList::AddBitmapMasked(uint16_t bitmapId, const CP_RGBColor& maskColor, uint8_t) {
  HBITMAP bitmap = LoadBitmapA(gCP_Instance, MAKEINTRESOURCEA(bitmapId));
  ImageList_AddMasked(fHandle, bitmap, maskColor.ToPaletteColorRef());
  if (bitmap) DeleteObject(bitmap);
  ++fAdded;
  ++fCapacity;
}

void CP_ImageList::AddIcon(uint16_t iconId) {
  // Icons from LoadIconA are shared: they are never destroyed.
  HICON icon = LoadIconA(gCP_Instance, MAKEINTRESOURCEA(iconId));
  ImageList_ReplaceIcon(fHandle, -1, icon);
  ++fAdded;
  ++fCapacity;
}

int16_t CP_ImageList::CountImages() const { return int16_t(ImageList_GetImageCount(fHandle)); }

void CP_ImageList::SetImageSize(int16_t width, int16_t height) {
  ImageList_SetIconSize(fHandle, width, height);
}

void CP_ImageList::Draw(CP_Canvas* canvas, int16_t image, const CP_Point& point, uint8_t selected) {
  if (image < 1 || !canvas) return;
  ImageList_Draw(fHandle, image - 1, canvas->GetDC(), point.h, point.v,
                 selected == 1 ? ILD_SELECTED : ILD_NORMAL);
}

bool CP_ImageList::LoadFromResource(uint16_t resourceId) {
  HRSRC found = FindResourceA(gCP_Instance, MAKEINTRESOURCEA(resourceId), "CPil");
  if (!found) return false;
  HGLOBAL loaded = LoadResource(gCP_Instance, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  CP_ImageListResource resource;
  if (ParseImageListResource(static_cast<const uint8_t*>(bytes), SizeofResource(gCP_Instance, found),
                             resource) != CP_ImageListResourceError::kNone)
    return false;

  SetImageSize(resource.width, resource.height);
  fResourceValue = resource.value;
  for (uint16_t id : resource.bitmapIds) {
    if (resource.masked == 1)
      AddBitmapMasked(id, resource.maskColor, resource.maskFlag != 0);
    else
      AddBitmap(id);
  }
  fCapacity = int16_t(resource.bitmapIds.size());
  return true;
}
