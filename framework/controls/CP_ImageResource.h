#pragma once
// A view whose content is one bitmap resource, drawn through a palette
// built from the bitmap's own colour table.
#include "CP_RefCounted.h"
#include "CP_View.h"

#include <cstdint>
#include <memory>

class CP_ImagePalette;
class CP_M_Reanimatable;

class CP_ImageResource : public CP_View, public CP_M_ReferenceCounted {
 public:
  // How the bitmap fills the view.
  enum Fit : uint8_t { kOwnSize = 0, kStretchToFrame = 1 };

  // The bitmap's size becomes the content extent. A missing bitmap leaves
  // the view empty; one that is found but cannot be loaded throws
  // CP_MemoryException.
  CP_ImageResource(CP_View* superPane, const CP_PaneInfo& info, int16_t bitmapId, Fit fit);
  ~CP_ImageResource() override;

  // A stored image view: the view's record, the bitmap id and, from format
  // version 3 on, the stretch flag.
  static CP_M_Reanimatable* CreateFromStream(CP_M_Reanimatable* superView, CP_InStream& in);

  void WriteToStream(CP_OutStream& out) override;
  void ReadFromStream(void* context, CP_InStream& in) override;
  // The whole bitmap from the content's top-left corner: at its own size,
  // or stretched to the frame.
  void DrawContent(const CP_Region& area) override;

  int16_t GetBitmapId() const { return fBitmapId; }
  bool StretchesToFrame() const { return fStretch == kStretchToFrame; }
  // Null for a bitmap without colour table and for a missing one.
  HPALETTE GetPalette() const;
  int16_t CountPaletteEntries() const;

 protected:
  const char* RuntimeClassName() const override { return "CP_ImageResource"; }

 private:
  struct Stored {};
  CP_ImageResource(CP_View* superPane, Stored);

  // The palette from the bitmap's colour table; the bitmap's size becomes
  // the content extent.
  void SetUpImage();

  int16_t fBitmapId = 0;
  uint8_t fStretch = kOwnSize;
  std::unique_ptr<CP_ImagePalette> fPalette;
};
