#include "CP_Clipboard.h"
#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "FrameworkFixture.h"
#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace {

using ClipboardTest = FrameworkTest;

CP_HandleBlock* BlockOf(const std::string& bytes) {
  auto* block = new CP_HandleBlock(int32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(block->GetPointer(), bytes.data(), bytes.size());
  block->Unlock();
  return block;
}

std::string BytesOf(CP_HandleBlock* block, size_t count) {
  std::string bytes(count, '\0');
  block->ReadBytes(&bytes[0], int32_t(count));
  return bytes;
}

// What another program reading the clipboard would see.
std::string ClipboardText() {
  HWND owner = kxtest::MakePlainWindow("reader");
  std::string text = "<none>";
  if (OpenClipboard(owner)) {
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
      if (const char* p = static_cast<const char*>(GlobalLock(data))) {
        text.assign(p, strnlen(p, GlobalSize(data)));
        GlobalUnlock(data);
      }
    }
    CloseClipboard();
  }
  DestroyWindow(owner);
  return text;
}

// As another program would put it there.
void PutForeignData(UINT format, const std::string& bytes) {
  HWND owner = kxtest::MakePlainWindow("writer");
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  if (format != 0) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    SetClipboardData(format, memory);
  }
  CloseClipboard();
  DestroyWindow(owner);
}

TEST_F(ClipboardTest, TextRoundTrip) {
  CP_Clipboard clipboard;
  EXPECT_EQ(&clipboard, CP_Clipboard::GetClipboard());
  std::unique_ptr<CP_HandleBlock> block(BlockOf(std::string("Cut Text") + '\0'));
  clipboard.PutData(block.get(), CF_TEXT);
  EXPECT_EQ("Cut Text", ClipboardText());
  EXPECT_EQ(9, block->GetSize());  // the caller's block is left as it was

  std::unique_ptr<CP_HandleBlock> back(clipboard.GetData(CF_TEXT));
  ASSERT_NE(nullptr, back);
  ASSERT_GE(back->GetSize(), 9);
  EXPECT_EQ(std::string("Cut Text") + '\0', BytesOf(back.get(), 9));

  // From another program, and through the text commands' name.
  PutForeignData(CF_TEXT, std::string("pasted") + '\0');
  back.reset(clipboard.GetData(CF_TEXT));
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(std::string("pasted") + '\0', BytesOf(back.get(), 7));
  clipboard.SetData(block.get(), CF_TEXT, 1);
  EXPECT_EQ("Cut Text", ClipboardText());
}

// Clipboard data is as large as it is, well past 32767 bytes.
TEST_F(ClipboardTest, LargeTextKeepsItsSize) {
  CP_Clipboard clipboard;
  std::string text;
  for (int i = 0; text.size() < 40000; ++i) text += "line " + std::to_string(i) + "\r\n";
  std::unique_ptr<CP_HandleBlock> block(BlockOf(text + '\0'));
  clipboard.PutData(block.get(), CF_TEXT);
  EXPECT_EQ(text, ClipboardText());
  std::unique_ptr<CP_HandleBlock> back(clipboard.GetData(CF_TEXT));
  ASSERT_NE(nullptr, back);
  ASSERT_GE(size_t(back->GetSize()), text.size() + 1);
  EXPECT_EQ(text + '\0', BytesOf(back.get(), text.size() + 1));
}

TEST_F(ClipboardTest, NoTextMeansNoData) {
  CP_Clipboard clipboard;
  const UINT own = RegisterClipboardFormatA("kxtest private");
  PutForeignData(own, "abc");
  EXPECT_TRUE(IsClipboardFormatAvailable(own));
  // Any format is refused while no text is there, even one that is.
  EXPECT_EQ(nullptr, clipboard.GetData(own));
  EXPECT_EQ(nullptr, clipboard.GetData(CF_TEXT));
  PutForeignData(0, "");
  EXPECT_EQ(nullptr, clipboard.GetData(CF_TEXT));
}

TEST_F(ClipboardTest, EmptyBlockPutsEmptyData) {
  CP_Clipboard clipboard;
  std::unique_ptr<CP_HandleBlock> block(new CP_HandleBlock(0));
  clipboard.PutData(block.get(), CF_TEXT);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  EXPECT_EQ("", ClipboardText());
}

// A clipboard held by another program: the failure is reported and what
// the clipboard held is kept.
TEST_F(ClipboardTest, BusyClipboardIsReported) {
  CP_Clipboard clipboard;
  PutForeignData(CF_TEXT, std::string("kept") + '\0');
  std::atomic<bool> held{false}, release{false};
  std::thread holder([&] {
    HWND owner = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
    held = OpenClipboard(owner) != FALSE;
    while (!release) Sleep(5);
    CloseClipboard();
    DestroyWindow(owner);
  });
  while (!held) Sleep(5);
  std::unique_ptr<CP_HandleBlock> block(BlockOf(std::string("new") + '\0'));
  EXPECT_THROW(clipboard.PutData(block.get(), CF_TEXT), CP_PlfrmErrorException);
  EXPECT_EQ(nullptr, clipboard.GetData(CF_TEXT));  // cannot be opened either
  release = true;
  holder.join();
  EXPECT_EQ("kept", ClipboardText());
  EXPECT_THROW(clipboard.PutData(nullptr, CF_TEXT), CP_MemoryException);
}

}  // namespace
