#include "CP_Canvas.h"
#include "CP_Font.h"
#include "CP_TextTrait.h"
#include "DibSurface.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string FaceOf(const CP_Font& font) { return font.GetDescription().lfFaceName; }

int CALLBACK NoteRegular(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM found) {
  const ENUMLOGFONTA* face = reinterpret_cast<const ENUMLOGFONTA*>(font);
  if (std::strcmp(reinterpret_cast<const char*>(face->elfStyle), "Regular") == 0) *reinterpret_cast<bool*>(found) = true;
  return 1;
}

bool HasRegularFace(const char* family) {
  bool found = false;
  HDC dc = GetDC(nullptr);
  EnumFontFamiliesA(dc, family, NoteRegular, reinterpret_cast<LPARAM>(&found));
  ReleaseDC(nullptr, dc);
  return found;
}

TEST(FontTest, NewFontHasNoHandleAndALineHeightOf13) {
  CP_Font font;
  EXPECT_EQ("", font.GetName());
  EXPECT_EQ(12, font.GetSize());
  EXPECT_EQ(nullptr, font.GetHandle());
  EXPECT_EQ(13, font.GetLineHeight());
}

TEST(FontTest, PointSizesBecomeCharacterHeightsAt96Dpi) {
  struct Case {
    int16_t points;
    LONG height;
  };
  const Case cases[] = {{12, -16}, {10, -13}, {8, -11}, {24, -32}};
  CP_Font font;
  for (const Case& c : cases) {
    font.SetNameAndSize("Arial", c.points);
    EXPECT_EQ(c.height, font.GetDescription().lfHeight) << c.points;
    EXPECT_EQ(0, font.GetDescription().lfWidth) << c.points;
    font.SetSize(c.points);
    EXPECT_EQ(c.height, font.GetDescription().lfHeight) << c.points;
  }
}

TEST(FontTest, StyleBitsSetWeightAndFlags) {
  struct Case {
    int16_t bits;
    LONG weight;
    BYTE italic, underline, strikeOut;
  };
  const Case cases[] = {
      {0x1, 700, 0, 0, 0}, {0x0, 0, 0, 0, 0},  // not 400
      {0x2, 0, 1, 0, 0},   {0x4, 0, 0, 1, 0},  {0x8, 0, 0, 0, 1}, {0xF, 700, 1, 1, 1},
  };
  CP_Font font;
  font.SetNameAndSize("Arial", 12);
  for (const Case& c : cases) {
    font.SetStyle(c.bits);
    const LOGFONTA& lf = font.GetDescription();
    EXPECT_EQ(c.weight, lf.lfWeight) << c.bits;
    EXPECT_EQ(c.italic, lf.lfItalic) << c.bits;
    EXPECT_EQ(c.underline, lf.lfUnderline) << c.bits;
    EXPECT_EQ(c.strikeOut, lf.lfStrikeOut) << c.bits;
    EXPECT_NE(nullptr, font.GetHandle()) << c.bits;
  }
}

TEST(FontTest, EqualFontsShareOneRecordUntilBothChange) {
  const int32_t before = CP_FontRecord::CountRecords();
  CP_Font a, b;
  a.SetNameAndSize("Arial", 12);
  b.SetNameAndSize("Arial", 12);
  const HFONT shared = a.GetHandle();
  ASSERT_NE(nullptr, shared);
  EXPECT_EQ(shared, b.GetHandle());
  EXPECT_EQ(before + 1, CP_FontRecord::CountRecords());

  // The face is compared case-sensitively.
  CP_Font c;
  c.SetNameAndSize("ARIAL", 12);
  EXPECT_NE(shared, c.GetHandle());

  a.SetSize(14);
  EXPECT_NE(shared, a.GetHandle());
  EXPECT_EQ(OBJ_FONT, GetObjectType(shared));  // b still uses it
  b.SetNameAndSize("Courier New", 12);
  EXPECT_EQ(0u, GetObjectType(shared));
  // Asking for an existing description makes no GDI font.
  const int32_t count = CP_FontRecord::CountRecords();
  b.SetNameAndSize("Arial", 14);
  EXPECT_EQ(a.GetHandle(), b.GetHandle());
  EXPECT_EQ(count - 1, CP_FontRecord::CountRecords());  // the Courier record went
}

TEST(FontTest, FamilyLookUpTakesTheRegularFaceOnly) {
  CP_Font font;
  font.SetNameAndSize("Arial", 12);
  // No face of this family is styled "Regular": the description stays.
  font.SetName("DejaVu Sans");
  EXPECT_EQ("DejaVu Sans", font.GetName());
  EXPECT_EQ("Arial", FaceOf(font));
  font.SetName("No Such Family");
  EXPECT_EQ("Arial", FaceOf(font));
  EXPECT_EQ(-16, font.GetDescription().lfHeight);

  const char* regular = "DejaVu Math TeX Gyre";
  if (!HasRegularFace(regular)) GTEST_SKIP() << "no font family with a Regular face installed";
  font.SetSize(10);
  font.SetName(regular);
  EXPECT_EQ(regular, FaceOf(font));
  EXPECT_EQ(-13, font.GetDescription().lfHeight);  // the height is the font's own
}

TEST(FontTest, LongFaceNamesAreCutTo31Characters) {
  const std::string name(40, 'F');
  CP_Font font;
  font.SetNameAndSize(name, 12);
  EXPECT_EQ(name, font.GetName());
  EXPECT_EQ(std::string(31, 'F'), FaceOf(font));
  EXPECT_NE(nullptr, font.GetHandle());
}

TEST(FontTest, CanvasFontIsSelectedWhileDrawing) {
  kxtest::DibSurface surface(8, 8);
  HDC dc = surface.DC();
  HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  CP_Canvas canvas;
  canvas.AttachDC(dc);
  CP_Font& font = canvas.GetFont();
  font.SetNameAndSize("Arial", 12);
  canvas.BeginDrawing(nullptr, nullptr);
  EXPECT_EQ(font.GetHandle(), GetCurrentObject(dc, OBJ_FONT));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  EXPECT_EQ(metrics.tmHeight + metrics.tmExternalLeading, font.GetLineHeight());

  // A rebuild while selected: the old font goes back out before its record
  // is given up, the new one comes in.
  const HFONT old = font.GetHandle();
  font.SetSize(30);
  EXPECT_EQ(0u, GetObjectType(old));
  EXPECT_EQ(font.GetHandle(), GetCurrentObject(dc, OBJ_FONT));

  CP_TextTrait trait;
  trait.SetFontName("Courier New");
  trait.SetSize(9);
  trait.SetColor(CP_RGBColor(0, 0xFFFF, 0));
  font.ApplyTextTrait(trait);
  EXPECT_EQ("Courier New", FaceOf(font));
  EXPECT_EQ(9, font.GetSize());
  EXPECT_EQ(RGB(0, 255, 0), GetTextColor(dc) & 0xFFFFFF);
  EXPECT_EQ(font.GetHandle(), GetCurrentObject(dc, OBJ_FONT));

  canvas.EndDrawing();
  EXPECT_EQ(original, GetCurrentObject(dc, OBJ_FONT));
  EXPECT_EQ(13, font.GetLineHeight());  // no canvas once deselected
}

TEST(FontTest, AttachingReadsTheDeviceContextsFont) {
  kxtest::DibSurface surface(8, 8);
  LOGFONTA current = {};
  GetObjectA(GetCurrentObject(surface.DC(), OBJ_FONT), sizeof current, &current);
  CP_Canvas canvas;
  canvas.AttachDC(surface.DC());
  CP_Font font;
  font.AttachCanvas(&canvas);
  EXPECT_STREQ(current.lfFaceName, font.GetDescription().lfFaceName);
  EXPECT_EQ(current.lfHeight, font.GetDescription().lfHeight);
  EXPECT_EQ(GetCurrentObject(surface.DC(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

TEST(FontTest, ControlWindowIsToldOfEveryNewFont) {
  HWND parent = kxtest::MakePlainWindow();
  HWND label = CreateWindowExA(0, "STATIC", "x", WS_CHILD, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, label);
  {
    CP_Font font;
    font.SetWindow(label);
    font.SetNameAndSize("Arial", 11);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font.GetHandle()), SendMessageA(label, WM_GETFONT, 0, 0));
    font.SetStyle(1);
    EXPECT_EQ(reinterpret_cast<LRESULT>(font.GetHandle()), SendMessageA(label, WM_GETFONT, 0, 0));
  }
  DestroyWindow(parent);
}

TEST(TextTraitTest, DefaultsAndTheDefaultFontName) {
  CP_TextTrait trait(13);
  EXPECT_EQ(13, trait.GetTraitNumber());
  EXPECT_EQ("MS Sans Serif", trait.GetFontName());
  EXPECT_EQ(0, trait.GetSize());
  EXPECT_EQ(0, trait.GetStyle());
  EXPECT_EQ(0, trait.GetJustification());
  EXPECT_EQ(1, trait.GetOption());
  EXPECT_EQ(CP_RGBColor::Black, trait.GetColor());
  EXPECT_EQ(0xFFFF, CP_TextTrait().GetTraitNumber());

  trait.SetStyle(3);
  trait.SetFontName("Arial");  // only the name
  EXPECT_EQ(0, trait.GetSize());
  EXPECT_EQ(3, trait.GetStyle());
  trait.SetFontName("MS Sans Serif");
  EXPECT_EQ(10, trait.GetSize());
  EXPECT_EQ(0, trait.GetStyle());

  EXPECT_STREQ("System", CP_FontNames[0]);
  EXPECT_STREQ("Courier New", CP_FontNames[5]);
  EXPECT_STREQ("MS Sans Serif", CP_FontNames[8]);
}

}  // namespace
