// The image list: the "CPil" resource, filling from resources, drawing.
#include "ByteFixture.h"
#include "CP_Canvas.h"
#include "CP_ImageList.h"
#include "FrameworkFixture.h"
#include "ListsTestSupport.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian words.
Bytes Words(std::initializer_list<int> words) {
  Bytes bytes;
  for (int w : words) {
    bytes.push_back(uint8_t(w & 0xFF));
    bytes.push_back(uint8_t((w >> 8) & 0xFF));
  }
  return bytes;
}

// A valid resource: 16 x 12, masked with (0x1234, 0x5678, 0x9ABC), flag 1,
// value 7, two bitmaps 401 and 402.
Bytes Valid() { return Words({16, 12, 1, 0x1234, 0x5678, 0x9ABC, 1, 7, 2, 401, 402}); }

Bytes Cut(Bytes bytes, size_t size) {
  bytes.resize(size);
  return bytes;
}

Bytes WithCount(int count) {
  Bytes bytes = Valid();
  bytes[16] = uint8_t(count & 0xFF);
  bytes[17] = uint8_t((count >> 8) & 0xFF);
  return bytes;
}

TEST(ImageListResourceTest, CountsMustFitInTheResource) {
  using E = CP_ImageListResourceError;
  struct Case {
    const char* name;
    Bytes input;
    E want;
    size_t ids;
  };
  Bytes trailing = Valid();
  trailing.push_back(0x55);  // half a word after the last id
  const Case kCases[] = {
      {"valid", Valid(), E::kNone, 2},
      {"a byte after the ids", trailing, E::kNone, 2},
      {"no bitmaps", Cut(WithCount(0), 18), E::kNone, 0},
      {"empty", Bytes(), E::kTruncatedHeader, 0},
      {"cut inside the count", Cut(Valid(), 17), E::kTruncatedHeader, 0},
      {"count past the end", WithCount(3), E::kTruncatedIds, 0},
      {"second id cut in half", Cut(Valid(), 21), E::kTruncatedIds, 0},
      {"count 0x7FFF", WithCount(0x7FFF), E::kTruncatedIds, 0},
      {"negative count", WithCount(-1), E::kBadCount, 0},
  };
  for (const Case& c : kCases) {
    CP_ImageListResource parsed;
    parsed.bitmapIds = {9, 9, 9};
    EXPECT_EQ(c.want, ParseImageListResource(c.input.data(), c.input.size(), parsed)) << c.name;
    if (c.want == E::kNone) EXPECT_EQ(c.ids, parsed.bitmapIds.size()) << c.name;
    else EXPECT_EQ(3u, parsed.bitmapIds.size()) << c.name << ": a refused resource changes nothing";
  }
}

TEST(ImageListResourceTest, FieldsAreSignedLittleEndianWords) {
  const Bytes bytes = Valid();
  CP_ImageListResource parsed;
  ASSERT_EQ(CP_ImageListResourceError::kNone, ParseImageListResource(bytes.data(), bytes.size(), parsed));
  EXPECT_EQ(16, parsed.width);
  EXPECT_EQ(12, parsed.height);
  EXPECT_EQ(1, parsed.masked);
  EXPECT_EQ(CP_RGBColor(0x1234, 0x5678, 0x9ABC), parsed.maskColor);
  EXPECT_EQ(1, parsed.maskFlag);
  EXPECT_EQ(7, parsed.value);
  EXPECT_EQ((std::vector<uint16_t>{401, 402}), parsed.bitmapIds);
}

using ImageListTest = FrameworkTest;

int IconWidth(const CP_ImageList& list) {
  int w = 0, h = 0;
  ImageList_GetIconSize(list.GetHandle(), &w, &h);
  return w;
}

TEST_F(ImageListTest, ResourceFillsTheListAndCountsItsBitmaps) {
  CP_ImageList list(3, 32, 32, 1);
  EXPECT_EQ(3, list.GetCapacity());
  ASSERT_TRUE(list.LoadFromResource(300));
  EXPECT_EQ(2, list.CountImages());
  EXPECT_EQ(8, IconWidth(list));
  EXPECT_EQ(2, list.GetCapacity()) << "the resource's count";
  EXPECT_EQ(2, list.GetAdded());
  EXPECT_EQ(77, list.GetResourceValue());

  ASSERT_TRUE(list.LoadFromResource(301));
  EXPECT_EQ(2, list.CountImages()) << "the list was emptied; the 8-pixel bitmap is two 4-pixel images";
  EXPECT_EQ(4, IconWidth(list));
  EXPECT_EQ(1, list.GetCapacity());
  EXPECT_EQ(3, list.GetAdded()) << "every add counts";
  EXPECT_EQ(5, list.GetResourceValue());
}

TEST_F(ImageListTest, BadOrMissingResourcesLeaveTheListAsItWas) {
  struct Case {
    const char* name;
    uint16_t id;
  };
  const Case kCases[] = {{"missing", 399}, {"more ids claimed than named", 302}, {"cut header", 304}};
  for (const Case& c : kCases) {
    CP_ImageList list(0, 8, 8, 1);
    ASSERT_TRUE(list.LoadFromResource(300));
    EXPECT_FALSE(list.LoadFromResource(c.id)) << c.name;
    EXPECT_EQ(2, list.CountImages()) << c.name;
    EXPECT_EQ(8, IconWidth(list)) << c.name;
    EXPECT_EQ(77, list.GetResourceValue()) << c.name;
  }
}

TEST_F(ImageListTest, ResourceWithoutBitmapsOnlyResizesAndEmpties) {
  CP_ImageList list(0, 8, 8, 1);
  ASSERT_TRUE(list.LoadFromResource(300));
  ASSERT_TRUE(list.LoadFromResource(303));
  EXPECT_EQ(0, list.CountImages());
  EXPECT_EQ(12, IconWidth(list));
  EXPECT_EQ(0, list.GetCapacity());
  EXPECT_EQ(9, list.GetResourceValue());
}

TEST_F(ImageListTest, ZeroSizeMakesAOnePixelListButKeepsTheFields) {
  CP_ImageList list(0, 0, -4, 0);
  ASSERT_NE(nullptr, list.GetHandle());
  int w = 0, h = 0;
  ImageList_GetIconSize(list.GetHandle(), &w, &h);
  EXPECT_EQ(1, w);
  EXPECT_EQ(1, h);
  EXPECT_EQ(0, list.GetWidth());
  EXPECT_EQ(-4, list.GetHeight());
}

TEST_F(ImageListTest, AddsCountEvenWhenWindowsRefuses) {
  CP_ImageList list(0, 8, 8, 1);
  list.AddIcon(501);
  list.AddBitmap(402);
  list.AddBitmapMasked(401, CP_RGBColor::White, 0);
  EXPECT_EQ(3, list.CountImages());
  list.AddBitmap(499);  // no such bitmap
  EXPECT_EQ(3, list.CountImages());
  EXPECT_EQ(4, list.GetAdded());
  EXPECT_EQ(4, list.GetCapacity());
}

TEST_F(ImageListTest, DrawsOneImageWithItsMaskAndNothingBelowOne) {
  CP_ImageList list(0, 8, 8, 1);
  ASSERT_TRUE(list.LoadFromResource(300));
  constexpr COLORREF kGrey = RGB(10, 20, 30);
  kxtest::MemoryDC memory(40, 20, kGrey);
  CP_Canvas canvas;
  canvas.AttachDC(memory.Get());

  for (int16_t image : {int16_t(0), int16_t(-1), int16_t(3)}) {
    list.Draw(&canvas, image, CP_Point(int16_t(4), int16_t(2)), 0);
    EXPECT_EQ(40 * 20, memory.Count(RECT{0, 0, 40, 20}, kGrey)) << "image " << image;
  }

  list.Draw(&canvas, 1, CP_Point(int16_t(4), int16_t(2)), 0);
  EXPECT_EQ(RGB(255, 0, 0), memory.At(5, 3)) << "the red half";
  EXPECT_EQ(kGrey, memory.At(10, 3)) << "white is the mask colour: the background stays";
  EXPECT_EQ(kGrey, memory.At(3, 3)) << "left of the image";

  list.Draw(&canvas, 2, CP_Point(int16_t(20), int16_t(10)), 0);
  EXPECT_EQ(RGB(0, 0, 255), memory.At(23, 13));
  canvas.DetachDC();
}

// The reference "CPil" resource as every build links it; its fields are
// read from the reference file.
TEST(ImageListResourceTest, TheReferenceResourceIsTheSameInEveryBuild) {
  const std::string fixture = std::string(KX_FIXTURES) + "/two-masked.CPil";
  kxfixture::ExpectSameBytes(fixture, kxtest::ResourceBytes("CPil", 300));
  EXPECT_EQ(Words({8, 8, 1, -1, -1, -1, 1, 77, 2, 401, 402}), kxfixture::Reference(fixture));
}

}  // namespace
