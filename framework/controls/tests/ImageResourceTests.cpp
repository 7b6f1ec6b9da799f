// Image views: one bitmap resource as a view's content, at its own size or
// stretched to the frame, through a palette from the bitmap's own colour
// table; the content extent; the stored record in every stream version.
#include "CP_Callback.h"
#include "CP_Canvas.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_ImageResource.h"
#include "ControlTestSupport.h"
#include "MemoryOutStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

using kxtest::PaneAt;

using ImageResourceTest = kxtest::SceneTest;

constexpr int16_t kQuarters = 600;  // 4 x 2, 24 bits
constexpr int16_t kTable8 = 601;    // 4 x 2, 8 bits, 256 table entries
constexpr int16_t kMissing = 999;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// Entry i of table8.bmp's colour table.
COLORREF TableColour(int i) { return RGB(i, 255 - i, (i * 7) & 0xFF); }

// Shows the view and paints its window through WM_PAINT, erasing first;
// the view erases with magenta, so what the bitmap leaves shows.
void Paint(CP_ImageResource* image) {
  image->Show();
  image->SetBackgroundColor(CP_RGBColor(kMagenta), 0);
  RedrawWindow(image->GetHWND(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// What the view's window shows at a point of its client area.
COLORREF Shown(CP_Pane* pane, int x, int y) {
  HDC dc = GetDC(pane->GetHWND());
  const COLORREF pixel = GetPixel(dc, x, y) & 0xFFFFFF;
  ReleaseDC(pane->GetHWND(), dc);
  return pixel;
}

// A 12 x 6 frame: three times the quarters bitmap in each direction.
TEST_F(ImageResourceTest, TheBitmapIsDrawnAtItsOwnSizeUnlessItStretchesToTheFrame) {
  window->Show();
  struct Probe {
    int x, y;
    COLORREF ownSize, stretched;
  };
  const Probe probes[] = {
      {0, 0, kRed, kRed},        {1, 0, kRed, kRed},         {2, 0, kBlue, kRed},
      {3, 1, kYellow, kRed},     {1, 1, kGreen, kRed},       {5, 2, kMagenta, kRed},
      {6, 0, kMagenta, kBlue},   {11, 2, kMagenta, kBlue},   {0, 3, kMagenta, kGreen},
      {5, 5, kMagenta, kGreen},  {6, 3, kMagenta, kYellow},  {11, 5, kMagenta, kYellow},
      {4, 0, kMagenta, kRed},    {0, 2, kMagenta, kRed},
  };
  for (auto fit : {CP_ImageResource::kOwnSize, CP_ImageResource::kStretchToFrame}) {
    const bool stretched = fit == CP_ImageResource::kStretchToFrame;
    SCOPED_TRACE(stretched ? "stretched" : "own size");
    auto* image = new CP_ImageResource(window, PaneAt(20, 10, 12, 6), kQuarters, fit);
    EXPECT_EQ(stretched, image->StretchesToFrame());
    Paint(image);
    ASSERT_TRUE(image->IsVisible());
    for (const Probe& p : probes)
      EXPECT_EQ(stretched ? p.stretched : p.ownSize, Shown(image, p.x, p.y)) << "at " << p.x << ", " << p.y;
    window->DetachSubPane(image, false, true);
  }
}

// The extent is the bitmap's size, whatever the frame; it is what a view
// scrolls over and what the own-size drawing covers.
TEST_F(ImageResourceTest, TheContentExtentIsTheBitmapsSize) {
  struct Case {
    const char* name;
    int16_t id;
    CP_Size extent;
  };
  const Case cases[] = {
      {"24 bits", kQuarters, CP_Size(4, 2)},
      {"8 bits", kTable8, CP_Size(4, 2)},
      {"missing: the extent stays", kMissing, CP_Size(0, 0)},
  };
  for (const Case& c : cases) {
    auto* image = new CP_ImageResource(window, PaneAt(0, 0, 100, 50), c.id, CP_ImageResource::kOwnSize);
    EXPECT_EQ(c.extent, image->GetContentExtent()) << c.name;
    EXPECT_EQ(c.id, image->GetBitmapId()) << c.name;
    window->DetachSubPane(image, false, true);
  }

  // The view keeps its content in its frame by the extent: scrolled past
  // the bitmap it comes back to the start.
  auto* image = new CP_ImageResource(window, PaneAt(0, 0, 2, 2), kQuarters, CP_ImageResource::kOwnSize);
  image->ScrollContentTo(10, 10, false);
  EXPECT_EQ(CP_Point(int16_t(2), int16_t(0)), image->GetScrollPosition()) << "as far as 4 x 2 content allows";
}

TEST_F(ImageResourceTest, AMissingBitmapLeavesTheViewEmpty) {
  window->Show();
  auto* image = new CP_ImageResource(window, PaneAt(0, 0, 12, 6), kMissing, CP_ImageResource::kStretchToFrame);
  EXPECT_EQ(nullptr, image->GetPalette());
  EXPECT_EQ(0, image->CountPaletteEntries());
  Paint(image);
  EXPECT_EQ(kMagenta, Shown(image, 0, 0));
  EXPECT_EQ(kMagenta, Shown(image, 11, 5));
}

// An 8-bit bitmap with colours-used 0 gives a palette of all 256 table
// entries, in table order, and draws in exactly the table's colours.
TEST_F(ImageResourceTest, AnEightBitBitmapGivesAPaletteOfItsWholeColourTable) {
  window->Show();
  auto* image = new CP_ImageResource(window, PaneAt(0, 0, 4, 2), kTable8, CP_ImageResource::kOwnSize);
  ASSERT_NE(nullptr, image->GetPalette());
  EXPECT_EQ(256, image->CountPaletteEntries());
  PALETTEENTRY entries[256] = {};
  ASSERT_EQ(256u, GetPaletteEntries(image->GetPalette(), 0, 256, entries));
  for (int i = 0; i < 256; ++i) {
    const PALETTEENTRY& e = entries[i];
    EXPECT_EQ(TableColour(i), RGB(e.peRed, e.peGreen, e.peBlue)) << "entry " << i;
    EXPECT_EQ(0, e.peFlags) << "entry " << i;
  }

  Paint(image);
  const int top[] = {10, 20, 30, 40};
  const int bottom[] = {250, 251, 252, 253};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(TableColour(top[x]), Shown(image, x, 0)) << "top, " << x;
    EXPECT_EQ(TableColour(bottom[x]), Shown(image, x, 1)) << "bottom, " << x;
  }

  auto* deep = new CP_ImageResource(window, PaneAt(0, 0, 4, 2), kQuarters, CP_ImageResource::kOwnSize);
  EXPECT_EQ(0, deep->CountPaletteEntries()) << "24 bits: no colour table";
}

// ---------------------------------------------------------------------------
// Streams

// The stream as a reader gets it: the 12 header bytes with the version,
// then the objects.
std::vector<uint8_t> Written(int32_t version, const std::vector<CP_ImageResource*>& images) {
  kxtest::MemoryOutStream out(version);
  out.WriteHeader(version, 0);
  for (CP_ImageResource* image : images) out.WriteObject(*image);
  return out.Bytes();
}

std::unique_ptr<CP_HandleBlockInStream> Stream(const std::vector<uint8_t>& bytes) {
  auto* block = new CP_HandleBlock(int32_t(bytes.size()));
  std::memcpy(block->GetPointer(), bytes.data(), bytes.size());
  block->Unlock();
  return std::make_unique<CP_HandleBlockInStream>(block, 1);
}

// Two views in one stream of each version: each comes back with its bitmap
// and, where the version carries it, its stretch flag; the reader takes
// exactly what the writer put, so the second view reads as the first did.
TEST_F(ImageResourceTest, AStreamOfEveryVersionReadsBackWhole) {
  for (int32_t version = 1; version <= 6; ++version) {
    SCOPED_TRACE("version " + std::to_string(version));
    auto* stretched = new CP_ImageResource(window, PaneAt(5, 6, 30, 20), kQuarters, CP_ImageResource::kStretchToFrame);
    auto* plain = new CP_ImageResource(window, PaneAt(40, 6, 10, 10), kTable8, CP_ImageResource::kOwnSize);
    const std::vector<uint8_t> bytes = Written(version, {stretched, plain});
    window->DeleteSubPanes();

    auto in = Stream(bytes);
    CP_ImageResource* first = nullptr;
    CP_ImageResource* second = nullptr;
    ASSERT_NO_THROW({
      first = dynamic_cast<CP_ImageResource*>(in->ReadObject(window));
      second = dynamic_cast<CP_ImageResource*>(in->ReadObject(window));
    }) << "the second view starts where the first ended";
    EXPECT_TRUE(in->IsAtEnd());
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(kQuarters, first->GetBitmapId());
    EXPECT_EQ(version > 2, first->StretchesToFrame()) << "no flag before version 3: the default";
    EXPECT_EQ(CP_Size(4, 2), first->GetContentExtent());
    EXPECT_EQ(CP_Point(int16_t(5), int16_t(6)), first->GetLocation());
    EXPECT_EQ(30, first->GetWidth());
    EXPECT_EQ(window->GetHWND(), GetParent(first->GetHWND()));
    EXPECT_EQ(kTable8, second->GetBitmapId());
    EXPECT_FALSE(second->StretchesToFrame());
    EXPECT_EQ(256, second->CountPaletteEntries()) << "the palette is built for the stored bitmap";
    EXPECT_EQ(CP_Point(int16_t(40), int16_t(6)), second->GetLocation());
    window->DeleteSubPanes();
  }
}

// After the view's record: the bitmap id, then the stretch flag as a
// 16-bit 0 or 1, little-endian.
TEST_F(ImageResourceTest, TheOwnFieldsFollowTheViewsRecord) {
  auto* image = new CP_ImageResource(window, PaneAt(0, 0, 30, 20), 0x0258, CP_ImageResource::kStretchToFrame);
  kxtest::MemoryOutStream view, whole;
  image->CP_View::WriteToStream(view);
  image->WriteToStream(whole);
  const std::vector<uint8_t> own(whole.Bytes().begin() + long(view.Bytes().size()), whole.Bytes().end());
  EXPECT_EQ((std::vector<uint8_t>{0x58, 0x02, 0x01, 0x00}), own);
}

// A paint whose drawing fails still ends the paint and lets the paint DC
// go; the failure reaches the caller once the paint has returned.
class FailingImage : public CP_ImageResource {
 public:
  using CP_ImageResource::CP_ImageResource;
  void DrawContent(const CP_Region& area) override {
    drawnInto = GetCanvas()->GetDC();
    CP_ImageResource::DrawContent(area);
    throw std::runtime_error("drawing failed");
  }
  HDC drawnInto = nullptr;
};

TEST_F(ImageResourceTest, APaintThatThrowsEndsThePaintAndLetsTheDCGo) {
  window->Show();
  auto* image = new FailingImage(window, PaneAt(0, 0, 12, 6), kQuarters, CP_ImageResource::kStretchToFrame);
  image->Show();
  InvalidateRect(image->GetHWND(), nullptr, TRUE);
  UpdateWindow(image->GetHWND());
  EXPECT_THROW(CP_RethrowPendingException(), std::runtime_error);
  ASSERT_NE(nullptr, image->drawnInto);
  EXPECT_EQ(nullptr, image->GetCanvas()->GetDC());
  EXPECT_EQ(0, ReleaseDC(image->GetHWND(), image->drawnInto)) << "EndPaint gave the paint DC back";
}

}  // namespace
