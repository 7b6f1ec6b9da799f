#include "CP_Exception.h"
#include "CP_HandleBlock.h"
#include "CP_HandleBlockStream.h"
#include "MemoryOutStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A new block holding the bytes; the stream that takes it holds the only
// reference.
CP_HandleBlock* BlockOf(const Bytes& bytes) {
  CP_HandleBlock* block = new CP_HandleBlock(int32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(block->GetPointer(), bytes.data(), bytes.size());
  block->Unlock();
  return block;
}

// A stream over plain memory whose byte-order option the test chooses: the
// block stream always forbids swapping.
class MemoryInStream : public CP_InStream {
 public:
  MemoryInStream(Bytes bytes, uint16_t byteOrder) : CP_InStream(1, 0, byteOrder), fBytes(std::move(bytes)) {}
  uint32_t GetLength() const override { return uint32_t(fBytes.size()); }
  uint32_t GetPosition() const override { return fPosition; }
  void SetPosition(uint32_t position) override { fPosition = position; }
  void ReadRawBytes(void* buffer, uint32_t count) override {
    if (TryReadRawBytes(buffer, count) != count) throw CP_PlfrmErrorException(kCP_StreamEndError, "test", 0);
  }
  uint32_t TryReadRawBytes(void* buffer, uint32_t count) override {
    if (count > fBytes.size() - fPosition) return 0;
    std::memcpy(buffer, fBytes.data() + fPosition, count);
    fPosition += count;
    return count;
  }

 private:
  Bytes fBytes;
  uint32_t fPosition = 0;
};

void Put16(Bytes& b, uint16_t v, bool bigEndian) {
  if (bigEndian) b.insert(b.end(), {uint8_t(v >> 8), uint8_t(v)});
  else b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)});
}

void Put32(Bytes& b, uint32_t v, bool bigEndian) {
  if (bigEndian) b.insert(b.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
  else b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
}

// Mark (2 bytes), signature 'VORN' (4), version (4), flag word (2).
Bytes Header(uint16_t mark, bool bigEndian, int32_t version, uint16_t flag) {
  Bytes b;
  Put16(b, mark, bigEndian);
  Put32(b, 0x564F524E, bigEndian);
  Put32(b, uint32_t(version), bigEndian);
  Put16(b, flag, bigEndian);
  return b;
}

struct Thrown {
  int32_t code = 0;
  int32_t line = 0;
};

template <typename F>
Thrown ThrownBy(F&& f) {
  try {
    f();
  } catch (const CP_BaseException& e) {
    return {e.GetErrorCode(), e.GetLine()};
  }
  return {};
}

constexpr uint16_t kMaySwap = 0;
constexpr uint16_t kBlockStream = CP_InStream::kNeverSwap;

TEST(StreamTest, HeaderTable) {
  struct Case {
    const char* name;
    Bytes bytes;
    uint16_t byteOrder;
    int32_t wantCode, wantLine;
    bool swapping;
  };
  const Case cases[] = {
      {"L, little-endian", Header('L', false, 6, 1), kBlockStream, 0, 0, false},
      {"L, little-endian, may swap", Header('L', false, 6, 1), kMaySwap, 0, 0, false},
      // Never swapping, the big-endian signature reads reversed.
      {"B, big-endian, never swap", Header('B', true, 6, 1), kBlockStream, -1000, 194, false},
      {"B, big-endian, may swap", Header('B', true, 6, 1), kMaySwap, 0, 0, true},
      {"B mark, little-endian, may swap", Header('B', false, 6, 1), kMaySwap, -1000, 194, true},
      {"version 0", Header('L', false, 0, 1), kBlockStream, -1001, 202, false},
      {"version 7", Header('L', false, 7, 1), kBlockStream, -1001, 202, false},
      {"version 1", Header('L', false, 1, 0), kBlockStream, 0, 0, false},
      {"mark 0x1234", Header(0x1234, false, 6, 1), kBlockStream, -1001, 174, false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<CP_InStream> in;
    if (c.byteOrder == kBlockStream) in = std::make_unique<CP_HandleBlockInStream>(BlockOf(c.bytes), 1);
    else in = std::make_unique<MemoryInStream>(c.bytes, c.byteOrder);
    Thrown got = ThrownBy([&] { in->ReadHeader(); });
    EXPECT_EQ(c.wantCode, got.code) << c.name;
    EXPECT_EQ(c.wantLine, got.line) << c.name;
    EXPECT_EQ(c.swapping, in->IsSwapping()) << c.name;
    EXPECT_EQ(c.wantCode == 0, in->IsHeaderRead()) << c.name;
  }
}

TEST(StreamTest, GoodHeaderSetsVersionAndFlag) {
  CP_HandleBlockInStream in(BlockOf(Header('L', false, 3, 7)), 1);
  EXPECT_EQ(6, in.GetVersion());
  EXPECT_EQ(0, in.GetHeaderFlag());
  in.ReadHeader();
  EXPECT_EQ(3, in.GetVersion());
  EXPECT_EQ(1, in.GetHeaderFlag());
  EXPECT_TRUE(in.IsHeaderRead());
  EXPECT_TRUE(in.IsAtEnd());
}

TEST(StreamTest, FirstReadReadsTheHeaderThenValues) {
  kxtest::MemoryOutStream out;
  out.WriteHeader(6, 1);
  out.WriteInt32(-2).WriteInt16(300);
  const Bytes& bytes = out.Bytes();
  // The writer never swaps: 'L' then the signature low byte first.
  const Bytes start = {0x4C, 0x00, 'N', 'R', 'O', 'V'};
  EXPECT_TRUE(std::equal(start.begin(), start.end(), bytes.begin()));

  CP_HandleBlockInStream in(BlockOf(bytes), 1);
  int32_t a = 0;
  int16_t b = 0;
  in.ReadInt32(a).ReadInt16(b);
  EXPECT_TRUE(in.IsHeaderRead());
  EXPECT_EQ(-2, a);
  EXPECT_EQ(300, b);
  EXPECT_TRUE(in.IsAtEnd());
}

TEST(StreamTest, SwappedStreamReversesEveryLaterValue) {
  Bytes bytes = Header('B', true, 5, 0);
  Put16(bytes, 0x1234, true);
  Put32(bytes, 0x01020304, true);
  Put16(bytes, 7, true);  // point h
  Put16(bytes, 9, true);  // point v
  Put16(bytes, 0xFFFF, true);
  Put16(bytes, 0x8000, true);
  Put16(bytes, 0x0001, true);
  MemoryInStream in(bytes, kMaySwap);
  uint16_t a = 0;
  uint32_t b = 0;
  CP_Point p;
  CP_RGBColor color;
  in.ReadInt16(a).ReadInt32(b).ReadPoint(p).ReadRGBColor(color);
  EXPECT_EQ(5, in.GetVersion());
  EXPECT_EQ(0x1234, a);
  EXPECT_EQ(0x01020304u, b);
  EXPECT_EQ(CP_Point(7, 9), p);
  EXPECT_EQ(CP_RGBColor(0xFFFF, 0x8000, 0x0001), color);
}

TEST(StreamTest, ValuesRoundTripInTheirStoredOrder) {
  kxtest::MemoryOutStream out;
  CP_Bindings bindings;
  bindings.left = 1;
  bindings.bottom = 1;
  out.WriteInt16(-3)
      .WriteInt32(0x7FFFFFFF)
      .WriteBool(1)
      .WriteString("caf\xE9")
      .WritePoint(CP_Point(-4, 5))
      .WriteSize(CP_Size(640, 480))
      .WriteBindings(bindings)
      .WriteRGBColor(CP_RGBColor(0xFFFF, 0x1234, 0));
  const Bytes want = {
      0xFD, 0xFF,                     // -3
      0xFF, 0xFF, 0xFF, 0x7F,         // 0x7FFFFFFF
      0x01, 0x00,                     // true
      0x04, 0x00, 'c', 'a', 'f', 0xE9,  // length, then the characters
      0xFC, 0xFF, 0x05, 0x00,         // h, then v
      0x80, 0x02, 0xE0, 0x01,         // width, then height
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,  // left, top, right, bottom
      0xFF, 0xFF, 0x34, 0x12, 0x00, 0x00,              // red, green, blue
  };
  EXPECT_EQ(want, out.Bytes());

  CP_HandleBlockInStream in(BlockOf(out.Bytes()), 0);
  int16_t a = 0;
  int32_t b = 0;
  bool flag = false;
  std::string text;
  CP_Point point;
  CP_Size size;
  CP_Bindings gotBindings;
  CP_RGBColor color;
  in.ReadInt16(a).ReadInt32(b).ReadBool(flag).ReadString(text).ReadPoint(point).ReadSize(size);
  in.ReadBindings(gotBindings).ReadRGBColor(color);
  EXPECT_EQ(-3, a);
  EXPECT_EQ(0x7FFFFFFF, b);
  EXPECT_TRUE(flag);
  EXPECT_EQ("caf\xE9", text);
  EXPECT_EQ(CP_Point(-4, 5), point);
  EXPECT_EQ(CP_Size(640, 480), size);
  EXPECT_EQ(1, gotBindings.left);
  EXPECT_EQ(0, gotBindings.top);
  EXPECT_EQ(0, gotBindings.right);
  EXPECT_EQ(1, gotBindings.bottom);
  EXPECT_EQ(CP_RGBColor(0xFFFF, 0x1234, 0), color);
  EXPECT_TRUE(in.IsAtEnd());
}

TEST(StreamTest, WritersIssueOneWritePerField) {
  kxtest::MemoryOutStream out;
  out.WriteString("abc");
  EXPECT_EQ(2, out.Writes());  // the length, then all characters at once
  out.WriteRGBColor(CP_RGBColor());
  EXPECT_EQ(5, out.Writes());
  out.WriteString("");
  EXPECT_EQ(6, out.Writes());
}

TEST(StreamTest, OverlongTextIsRefusedBeforeAnythingIsWritten) {
  kxtest::MemoryOutStream out;
  const std::string longest(0xFFFF, 'x');
  out.WriteString(longest);
  EXPECT_EQ(size_t(2 + 0xFFFF), out.Bytes().size());
  Thrown got = ThrownBy([&] { out.WriteString(std::string(0x10000, 'x')); });
  EXPECT_EQ(-50, got.code);
  EXPECT_EQ(size_t(2 + 0xFFFF), out.Bytes().size());

  // A length with its high bit set is a length, not a negative size.
  CP_HandleBlockInStream in(BlockOf(out.Bytes()), 0);
  std::string text;
  in.ReadString(text);
  EXPECT_EQ(longest, text);
}

// Reading from a block its owner holds locked leaves it locked, once: the
// owner's pointer stays good and its own unlock is the last.
TEST(StreamTest, ReadingKeepsTheOwnersLock) {
  CP_HandleBlock* block = BlockOf({1, 2, 3, 4});
  block->AddReference();  // the owner's
  void* owned = block->GetPointer();
  {
    CP_HandleBlockInStream in(block, 0);
    uint8_t bytes[2] = {};
    in.ReadRawBytes(bytes, 2);
    EXPECT_EQ(2, bytes[1]);
    EXPECT_TRUE(block->IsLocked());
    EXPECT_EQ(1u, GlobalFlags(block->GetHandle()) & GMEM_LOCKCOUNT);
    EXPECT_EQ(owned, block->GetPointer());
  }
  block->Unlock();
  EXPECT_FALSE(block->IsLocked());
  EXPECT_EQ(0u, GlobalFlags(block->GetHandle()) & GMEM_LOCKCOUNT);
  // Unlocked, the stream locks for each read and unlocks again.
  {
    CP_HandleBlockInStream in(block, 0);
    uint8_t byte = 0;
    in.ReadRawBytes(&byte, 1);
    EXPECT_FALSE(block->IsLocked());
    EXPECT_EQ(0u, GlobalFlags(block->GetHandle()) & GMEM_LOCKCOUNT);
  }
  block->RemoveReference();
}

TEST(StreamTest, StringsAndBoolsAsStored) {
  struct Case {
    const char* name;
    Bytes bytes;
    std::string want;
    int32_t wantCode;
  };
  const Case cases[] = {
      {"empty", {0x00, 0x00}, "", 0},
      {"embedded NUL ends the text", {0x04, 0x00, 'a', 'b', 0x00, 'c'}, "ab", 0},
      {"length past the end", {0x05, 0x00, 'a', 'b'}, "unchanged", -1002},
      {"length 0xFFFF with two bytes", {0xFF, 0xFF, 'a', 'b'}, "unchanged", -1002},
      {"cut inside the length", {0x05}, "unchanged", -1002},
  };
  for (const Case& c : cases) {
    CP_HandleBlockInStream in(BlockOf(c.bytes), 0);
    std::string text = "unchanged";
    Thrown got = ThrownBy([&] { in.ReadString(text); });
    EXPECT_EQ(c.wantCode, got.code) << c.name;
    EXPECT_EQ(c.want, text) << c.name;
  }

  CP_HandleBlockInStream in(BlockOf({0x02, 0x00, 0x00, 0x00, 0x00, 0x01}), 0);
  uint8_t a = 9, b = 9, c = 9;
  in.ReadBool(a).ReadBool(b).ReadBool(c);
  EXPECT_EQ(1, a);  // a stored 2 reads as true
  EXPECT_EQ(0, b);
  EXPECT_EQ(1, c);  // 0x0100: any non-zero value
}

TEST(StreamTest, RawReadsAtTheEndOfABlock) {
  CP_HandleBlockInStream in(BlockOf(Bytes(10, 0xAB)), 0);
  EXPECT_EQ(10u, in.GetLength());
  uint8_t buffer[4] = {};

  in.SetPosition(8);
  EXPECT_EQ(0u, in.TryReadRawBytes(buffer, 3));
  EXPECT_EQ(8u, in.GetPosition());
  Thrown got = ThrownBy([&] { in.ReadRawBytes(buffer, 3); });
  EXPECT_EQ(-1002, got.code);
  EXPECT_EQ(372, got.line);
  EXPECT_EQ(8u, in.GetPosition());
  EXPECT_FALSE(in.IsAtEnd());

  in.ReadRawBytes(buffer, 2);
  EXPECT_EQ(10u, in.GetPosition());
  EXPECT_EQ(0xAB, buffer[1]);
  EXPECT_TRUE(in.IsAtEnd());
  EXPECT_EQ(0u, in.TryRead(buffer, 1));
  EXPECT_EQ(0u, in.TryRead(buffer, 0));

  // Positions past the end, and counts that would wrap round, read nothing.
  struct Case {
    uint32_t position, count;
  };
  const Case cases[] = {{11, 0}, {11, 1}, {2, 0xFFFFFFFF}, {0xFFFFFFFF, 2}, {0xFFFFFFF0, 0x20}};
  for (const Case& c : cases) {
    in.SetPosition(c.position);
    EXPECT_EQ(0u, in.TryReadRawBytes(buffer, c.count)) << c.position << "+" << c.count;
    EXPECT_EQ(-1002, ThrownBy([&] { in.ReadRawBytes(buffer, c.count); }).code) << c.position;
    EXPECT_EQ(c.position, in.GetPosition());
    EXPECT_TRUE(in.IsAtEnd() || c.position < 10);
  }
}

TEST(StreamTest, TheStreamHoldsAReferenceToItsBlock) {
  CP_HandleBlock* shared = BlockOf(Bytes(4, 1));
  shared->AddReference();
  {
    CP_HandleBlockInStream in(shared, 0);
    EXPECT_EQ(2, shared->GetReferenceCount());
  }
  EXPECT_EQ(1, shared->GetReferenceCount());
  shared->RemoveReference();  // deleted here
}

}  // namespace
