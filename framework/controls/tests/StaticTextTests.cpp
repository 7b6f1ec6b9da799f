// Static text: the native label, its colours, its failure to be made.
#include "CP_Canvas.h"
#include "CP_Exception.h"
#include "CP_StaticText.h"
#include "CP_TextTrait.h"
#include "ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

using kxtest::PaneAt;
using kxtest::WindowText;

using StaticTextTest = kxtest::SceneTest;

COLORREF BrushColor(HBRUSH brush) {
  LOGBRUSH info = {};
  GetObjectA(brush, sizeof info, &info);
  return info.lbColor;
}

// What the label's parent answers when Windows asks for its colours.
struct Colours {
  HBRUSH brush;
  COLORREF background;
  COLORREF text;
};

Colours AskColours(CP_Pane* parent, CP_StaticText* label) {
  HDC dc = CreateCompatibleDC(nullptr);
  SetBkColor(dc, RGB(1, 2, 3));
  SetTextColor(dc, RGB(4, 5, 6));
  const LRESULT answer = SendMessageA(parent->GetHWND(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                      reinterpret_cast<LPARAM>(label->GetHWND()));
  Colours c{reinterpret_cast<HBRUSH>(answer), GetBkColor(dc), GetTextColor(dc)};
  DeleteDC(dc);
  return c;
}

TEST_F(StaticTextTest, LabelIsANativeStaticWithItsText) {
  auto* label = new CP_StaticText(window, PaneAt(10, 10, 120, 20), "Volume");
  HWND h = label->GetHWND();
  ASSERT_NE(nullptr, h);
  char className[32] = {};
  GetClassNameA(h, className, sizeof className);
  EXPECT_STREQ("Static", className);
  EXPECT_EQ("Volume", WindowText(h));
  EXPECT_EQ("Volume", label->GetText());
  EXPECT_EQ(label, CP_Pane::FromWindow(h));
  window->Show();
  EXPECT_TRUE(IsWindowVisible(h));
  UpdateWindow(window->GetHWND());  // paints through the framework procedure
}

TEST_F(StaticTextTest, ColoursComeFromTheSuperPaneAndTheTextTrait) {
  window->SetBackgroundColor(CP_RGBColor(0xFF00, 0x8000, 0x0000), 0);
  auto* label = new CP_StaticText(window, PaneAt(10, 10, 120, 20), "Volume");
  auto* trait = new CP_TextTrait;
  trait->SetColor(CP_RGBColor(0x0000, 0x0000, 0xFF00));
  label->UseTextTrait(trait);
  EXPECT_EQ(trait, label->GetTextTrait());
  EXPECT_EQ(1, trait->GetReferenceCount());

  const Colours c = AskColours(window, label);
  ASSERT_NE(nullptr, c.brush);
  EXPECT_EQ(RGB(0xFF, 0x80, 0x00), c.background & 0xFFFFFF);
  EXPECT_EQ(RGB(0xFF, 0x80, 0x00), BrushColor(c.brush) & 0xFFFFFF);
  EXPECT_EQ(RGB(0x00, 0x00, 0xFF), c.text & 0xFFFFFF);

  const Colours again = AskColours(window, label);
  EXPECT_NE(OBJ_BRUSH, GetObjectType(c.brush)) << "one brush for all: the old one is gone";
  EXPECT_EQ(OBJ_BRUSH, GetObjectType(again.brush));
}

TEST_F(StaticTextTest, LabelWithoutASuperPaneGivesNoBrushButItsTextColour) {
  auto* label = new CP_StaticText(window, PaneAt(10, 10, 120, 20), "Loose");
  auto* trait = new CP_TextTrait;
  trait->SetColor(CP_RGBColor(0x0000, 0xFF00, 0x0000));
  label->UseTextTrait(trait);
  window->DetachSubPane(label, false, false);
  ASSERT_EQ(nullptr, label->GetSuperPane());

  const Colours c = AskColours(window, label);
  EXPECT_EQ(nullptr, c.brush);
  EXPECT_EQ(RGB(1, 2, 3), c.background) << "untouched";
  EXPECT_EQ(RGB(0x00, 0xFF, 0x00), c.text & 0xFFFFFF);
  HWND h = label->GetHWND();
  delete label;
  DestroyWindow(h);
}

TEST_F(StaticTextTest, LabelThatGetsNoWindowThrowsTheNullPointerError) {
  try {
    CP_StaticText label(nullptr, PaneAt(0, 0, 50, 20), "Lost");
    FAIL() << "a child window without a parent was made";
  } catch (const CP_MemoryException& failure) {
    EXPECT_STREQ("NULL Pointer", failure.GetText());
    EXPECT_STREQ("CP_StaticText", failure.GetSourceFile());
    EXPECT_EQ(205, failure.GetLine());
  }
}

}  // namespace
