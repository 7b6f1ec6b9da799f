#include "CP_HandleBlock.h"
#include "CP_TextFileConvert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

CP_HandleBlock* BlockOf(const std::string& bytes) {
  auto* block = new CP_HandleBlock(int32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(block->GetPointer(), bytes.data(), bytes.size());
  block->Unlock();
  return block;
}

std::string BytesOf(CP_HandleBlock* block) {
  std::string bytes(size_t(block->GetSize()), '\0');
  block->ReadBytes(&bytes[0], block->GetSize());
  return bytes;
}

TEST(TextFileConvertTest, LoneCarriageReturnsGainLineFeeds) {
  struct Case {
    const char* name;
    std::string in;
    std::string want;
    bool sameBlock;
  };
  const Case cases[] = {
      {"lone CR", "a\rb", "a\r\nb", false},
      {"CR at the very end", "a\rb\r", "a\r\nb\r\n", false},
      {"LF alone is left", "a\nb", "a\nb", false},
      {"CR LF: given back", "a\r\nb", "a\r\nb", true},
      {"CR LF after a lone CR: given back", "a\rb\r\nc", "a\rb\r\nc", true},
      {"empty", "", "", false},
      {"only CRs", "\r\r\r", "\r\n\r\n\r\n", false},
  };
  for (const Case& c : cases) {
    CP_HandleBlock* source = BlockOf(c.in);
    CP_HandleBlock* result = ConvertLineEndsToCRLF(source);
    ASSERT_NE(nullptr, result) << c.name;
    EXPECT_EQ(c.sameBlock, result == source) << c.name;
    EXPECT_EQ(c.want, BytesOf(result)) << c.name;
    delete result;  // the source went with the conversion unless it came back
  }
  EXPECT_EQ(nullptr, ConvertLineEndsToCRLF(nullptr));
}

}  // namespace
