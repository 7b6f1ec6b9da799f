#include "CP_ImageResource.h"

#include "CP_ImagePalette.h"
#include "CP_InStream.h"
#include "CP_OutStream.h"

namespace {

// Streams of earlier versions carry no stretch flag.
constexpr int16_t kFirstVersionWithStretch = 3;

}  // namespace

CP_ImageResource::CP_ImageResource(CP_View* superPane, const CP_PaneInfo& info, int16_t bitmapId, Fit fit)
    : CP_View(superPane, info), fBitmapId(bitmapId), fStretch(fit) {
  SetUpImage();
  MakeWindow(superPane, info.location, info.size);
}

CP_ImageResource::CP_ImageResource(CP_View* superPane, Stored) : CP_View(superPane, CP_PaneInfo()) {}

CP_ImageResource::~CP_ImageResource() = default;

CP_M_Reanimatable* CP_ImageResource::CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in) {
  auto* superPane = dynamic_cast<CP_View*>(superView);
  auto* image = new CP_ImageResource(superPane, Stored{});
  try {
    image->ReadFromStream(nullptr, in);
    image->UpdateImageOrigin();
    image->SetPrintFrame(image->fLocation, image->fSize);
    image->SetUpImage();
  } catch (...) {
    delete image;
    throw;
  }
  image->MakeWindow(superPane, image->fLocation, image->fSize);
  return image;
}

void CP_ImageResource::SetUpImage() {
  fPalette = std::make_unique<CP_ImagePalette>(fBitmapId);
  if (fPalette->HasBitmap()) SetContentExtent(fPalette->GetExtent());
}

HPALETTE CP_ImageResource::GetPalette() const { return fPalette ? fPalette->GetHandle() : nullptr; }

int16_t CP_ImageResource::CountPaletteEntries() const { return fPalette ? fPalette->CountEntries() : 0; }

void CP_ImageResource::DrawContent(const CP_Region&) {
  const CP_Size size = fStretch == kStretchToFrame ? CP_Size(GetWidth(), GetHeight()) : fImageSize;
  DrawImageResource(fCanvas.get(), fBitmapId, GetPalette(), size.width, size.height);
}

// The writer leaves the flag out where the reader does not expect it, so
// that a stream of any version reads back whole.
void CP_ImageResource::WriteToStream(CP_OutStream& out) {
  CP_View::WriteToStream(out);
  out.WriteInt16(fBitmapId);
  if (int16_t(out.GetVersion()) >= kFirstVersionWithStretch) out.WriteBool(fStretch);
}

void CP_ImageResource::ReadFromStream(void* context, CP_InStream& in) {
  CP_View::ReadFromStream(context, in);
  in.ReadInt16(fBitmapId);
  if (int16_t(in.GetVersion()) >= kFirstVersionWithStretch) in.ReadBool(fStretch);
}
