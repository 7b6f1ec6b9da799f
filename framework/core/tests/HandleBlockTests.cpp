#include "CP_HandleBlock.h"
#include "CP_RefCounted.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(HandleBlockTest, NewBlocksAreZeroFilled) {
  CP_HandleBlock one;
  EXPECT_EQ(1, one.GetSize());
  CP_HandleBlock block(100);
  EXPECT_EQ(100, block.GetSize());
  const uint8_t* p = static_cast<const uint8_t*>(block.GetPointer());
  ASSERT_NE(nullptr, p);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(0, p[i]) << i;
}

TEST(HandleBlockTest, SizeIsTheSmallerOfRealAndLogical) {
  CP_HandleBlock block(16);
  std::memcpy(block.GetPointer(), "0123456789abcdef", 16);
  block.Unlock();
  block.SetSize(5);
  EXPECT_EQ(5, block.GetSize());
  char out[8] = {};
  block.ReadBytes(out, 5);
  EXPECT_STREQ("01234", out);
  block.SetSize(40);
  EXPECT_EQ(40, block.GetSize());
  EXPECT_EQ(0, std::memcmp(block.GetPointer(), "01234", 5));
}

TEST(HandleBlockTest, ReadBytesNeverPassesTheEnd) {
  CP_HandleBlock block(4);
  std::memcpy(block.GetPointer(), "wxyz", 4);
  block.Unlock();
  char out[16];
  std::memset(out, '-', sizeof out);
  block.ReadBytes(out, 16);
  EXPECT_EQ(0, std::memcmp(out, "wxyz----", 8));
  block.ReadBytes(out, 0);
  block.ReadBytes(nullptr, 4);
}

TEST(HandleBlockTest, LockTwiceThenUnlockOnceClearsTheFlag) {
  CP_HandleBlock block(8);
  block.Lock();
  EXPECT_TRUE(block.IsLocked());
  block.Lock();  // already locked: Windows is not asked again
  block.Unlock();
  EXPECT_FALSE(block.IsLocked());
  EXPECT_EQ(0u, GlobalFlags(block.GetHandle()) & GMEM_LOCKCOUNT);
}

// Counts its own deletion.
class Counted : public CP_M_ReferenceCounted {
 public:
  explicit Counted(int& deleted) : fDeleted(deleted) {}
  ~Counted() override { ++fDeleted; }

 private:
  int& fDeleted;
};

TEST(ReferenceCountTest, DeletedWhenTheLastHolderReleases) {
  int deleted = 0;
  Counted* never = new Counted(deleted);
  never->RemoveReference();  // nobody ever held it
  EXPECT_EQ(1, deleted);

  Counted* twice = new Counted(deleted);
  twice->AddReference();
  twice->AddReference();
  twice->RemoveReference();
  EXPECT_EQ(1, deleted);
  EXPECT_EQ(1, twice->GetReferenceCount());
  twice->RemoveReference();
  EXPECT_EQ(2, deleted);
}

}  // namespace
