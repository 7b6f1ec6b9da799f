// Controls written to the framework byte stream and rebuilt by class name
// through the reanimator, as stored object trees hold them.
#include "ByteFixture.h"
#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "CP_Menu.h"
#include "CP_PopupMenu.h"
#include "CP_PushButton.h"
#include "CP_StaticText.h"
#include "CP_StatusBar.h"
#include "ControlTestSupport.h"
#include "MemoryOutStream.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using kxtest::PaneAt;
using kxtest::WindowText;

using ControlStreamTest = kxtest::SceneTest;

std::vector<uint8_t> Written(CP_M_Reanimatable& object) {
  kxtest::MemoryOutStream out;
  out.WriteObject(object);
  return out.Bytes();
}

// A stream without header over the bytes; it owns its block.
std::unique_ptr<CP_HandleBlockInStream> Stream(const std::vector<uint8_t>& bytes) {
  auto* block = new CP_HandleBlock(int32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(block->GetPointer(), bytes.data(), bytes.size());
  block->Unlock();
  return std::make_unique<CP_HandleBlockInStream>(block, 0);
}

template <typename T>
T* ReadBack(const std::vector<uint8_t>& bytes, CP_View* view) {
  auto in = Stream(bytes);
  CP_M_Reanimatable* object = in->ReadObject(view);
  EXPECT_TRUE(in->IsAtEnd()) << "the reader takes what the writer put";
  auto* typed = dynamic_cast<T*>(object);
  EXPECT_NE(nullptr, typed);
  return typed;
}

TEST_F(ControlStreamTest, PushButtonComesBackWithItsFieldsAndWindow) {
  auto* original = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "Play", false);
  original->SetBroadcastCode(12);
  original->SetIdentifier(0x706C6179);
  const std::vector<uint8_t> bytes = Written(*original);
  window->DetachSubPane(original, false, true);

  auto* button = ReadBack<CP_PushButton>(bytes, window);
  ASSERT_NE(nullptr, button);
  EXPECT_EQ(window, button->GetSuperPane());
  EXPECT_EQ(button, window->FindSubPaneById(0x706C6179, false));
  EXPECT_EQ(12, button->GetBroadcastCode());
  EXPECT_EQ(1, button->GetMaxValue());
  EXPECT_FALSE(button->IsDefault());
  EXPECT_EQ("Play", WindowText(button->GetControlWindow()));
  EXPECT_EQ(window->GetHWND(), GetParent(button->GetHWND()));
  const RECT r = kxtest::PlaceInParent(button->GetHWND());
  EXPECT_EQ(10, r.left);
  EXPECT_EQ(20, r.top);
  EXPECT_EQ(24, r.bottom - r.top);
  window->Show();
  EXPECT_TRUE(IsWindowVisible(button->GetHWND())) << "a stored visible button waits for its window";
}

TEST_F(ControlStreamTest, LabelPopupAndStatusBarComeBackWithTheirOwnFields) {
  auto* label = new CP_StaticText(window, PaneAt(10, 10, 100, 20), "Choose");
  auto* popup = new CP_PopupMenu(window, PaneAt(10, 40, 120, 24), "Sizes", new CP_Menu(150, "Sizes", uint8_t(0)), 10);
  popup->SetBroadcastCode(3);
  auto* bar = new CP_StatusBar(window, PaneAt(0, 170, 300, 22), true, false, false);
  const std::vector<uint8_t> labelBytes = Written(*label);
  const std::vector<uint8_t> popupBytes = Written(*popup);
  const std::vector<uint8_t> barBytes = Written(*bar);
  window->DeleteSubPanes();

  auto* label2 = ReadBack<CP_StaticText>(labelBytes, window);
  ASSERT_NE(nullptr, label2);
  EXPECT_EQ("Choose", WindowText(label2->GetHWND()));

  auto* popup2 = ReadBack<CP_PopupMenu>(popupBytes, window);
  ASSERT_NE(nullptr, popup2);
  EXPECT_EQ("Sizes", popup2->GetLabel());
  EXPECT_EQ(10, popup2->GetExtraValue());
  EXPECT_EQ(150, popup2->GetMenuId());
  EXPECT_EQ(3, popup2->GetBroadcastCode());
  EXPECT_EQ(CP_PlatformControl::kPopupMenu, popup2->GetControlKind());
  EXPECT_EQ(3, SendMessageA(popup2->GetControlWindow(), CB_GETCOUNT, 0, 0)) << "items from the menu id";
  EXPECT_EQ(3, popup2->GetMaxValue());

  auto* bar2 = ReadBack<CP_StatusBar>(barBytes, window);
  ASSERT_NE(nullptr, bar2);
  EXPECT_TRUE(bar2->IsAttached());
  EXPECT_FALSE(bar2->IsAtBottom());
  EXPECT_EQ(CCS_TOP, GetWindowLongA(bar2->GetHWND(), GWL_STYLE) & (CCS_TOP | CCS_BOTTOM | CCS_NORESIZE));
  EXPECT_EQ(1, bar2->GetBindings().top);
}

// Every cut of a stored button fails cleanly and leaves nothing behind.
TEST_F(ControlStreamTest, CutRecordFailsWithoutLeavingAPane) {
  auto* original = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "Play", false);
  const std::vector<uint8_t> bytes = Written(*original);
  window->DetachSubPane(original, false, true);
  const size_t nameEnd = 2 + std::strlen("CP_PushButton");
  for (size_t cut = nameEnd; cut < bytes.size(); ++cut) {
    auto in = Stream(std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(cut)));
    EXPECT_THROW(in->ReadObject(window), CP_BaseException) << "cut at " << cut;
    EXPECT_TRUE(window->GetSubPanes().empty()) << "cut at " << cut;
  }
}

// The reference stream: a button, a label and a status bar as one stored
// tree holds them. Every build writes these bytes and rebuilds the controls
// from them.
TEST_F(ControlStreamTest, TheReferenceStreamIsWrittenAndReadByEveryBuild) {
  const std::string fixture = std::string(KX_FIXTURES) + "/controls.stream";
  auto* button = new CP_PushButton(window, PaneAt(10, 20, 80, 24), "Play", true);
  button->SetBroadcastCode(12);
  button->SetIdentifier(0x706C6179);
  auto* label = new CP_StaticText(window, PaneAt(10, 50, 100, 20), "Choose");
  auto* bar = new CP_StatusBar(window, PaneAt(0, 170, 300, 22), true, false, false);
  kxtest::MemoryOutStream out;
  out.WriteObject(*button).WriteObject(*label).WriteObject(*bar);
  window->DeleteSubPanes();
  kxfixture::ExpectSameBytes(fixture, out.Bytes());

  auto in = Stream(kxfixture::Reference(fixture));
  auto* button2 = dynamic_cast<CP_PushButton*>(in->ReadObject(window));
  auto* label2 = dynamic_cast<CP_StaticText*>(in->ReadObject(window));
  auto* bar2 = dynamic_cast<CP_StatusBar*>(in->ReadObject(window));
  EXPECT_TRUE(in->IsAtEnd());
  ASSERT_NE(nullptr, button2);
  EXPECT_EQ(button2, window->FindSubPaneById(0x706C6179, false));
  EXPECT_EQ(12, button2->GetBroadcastCode());
  EXPECT_TRUE(button2->IsDefault());
  EXPECT_EQ("Play", WindowText(button2->GetControlWindow()));
  const RECT r = kxtest::PlaceInParent(button2->GetHWND());
  EXPECT_EQ(10, r.left);
  EXPECT_EQ(20, r.top);
  EXPECT_EQ(80, r.right - r.left);
  ASSERT_NE(nullptr, label2);
  EXPECT_EQ("Choose", WindowText(label2->GetHWND()));
  ASSERT_NE(nullptr, bar2);
  EXPECT_TRUE(bar2->IsAttached());
  EXPECT_FALSE(bar2->IsAtBottom());
}

}  // namespace
