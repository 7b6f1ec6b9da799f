// QT atom containers and sprite samples read from bytes: a valid sample
// read field by field, and damaged ones, each made by changing one field.
#include "SpriteFilms.h"
#include "SpriteSample.h"

#include <gtest/gtest.h>

using namespace filmtest;

namespace {

qtf::Status ParseContainer(const Bytes& b) {
  qtf::AtomContainer c;
  return c.Parse(b.data(), b.size());
}

// A container nested n levels below the root.
Bytes Nested(int levels) {
  Bytes inner = QTLeaf(Code("leaf"), 1, U32(7));
  for (int i = 0; i < levels; ++i) inner = QTParent(Code("nest"), 1, {inner});
  return Container({inner});
}

// The offset of the root's first child: after the container's and the
// root's headers.
constexpr size_t kFirstChild = 32;

TEST(AtomContainers, DamagedContainersAreRefusedWhole) {
  // Root: two children, a leaf of 4 bytes and a parent with one leaf.
  const Bytes good = Container({QTLeaf(Code("leaf"), 1, U32(7)), QTParent(Code("kids"), 2, {QTLeaf(Code("leaf"), 3, U16(9))})});
  auto with = [&](size_t offset, uint32_t value) {
    Bytes b = good;
    PutU32(b, offset, value);
    return b;
  };
  auto cut = [&](size_t n) { return Bytes(good.begin(), good.begin() + n); };
  auto count = [&](size_t atom, uint16_t n) {
    Bytes b = good;
    b[atom + 14] = uint8_t(n >> 8);
    b[atom + 15] = uint8_t(n);
    return b;
  };
  const size_t kids = kFirstChild + 24;
  const struct {
    const char* name;
    Bytes bytes;
    qtf::Fault want;
  } kCases[] = {
      {"valid", good, qtf::Fault::None},
      {"empty root", Container({}), qtf::Fault::None},
      {"nested to the limit", Nested(qtf::kMaxAtomDepth - 1), qtf::Fault::None},
      {"nested past the limit", Nested(qtf::kMaxAtomDepth + 1), qtf::Fault::Corrupt},
      {"cut inside the container header", cut(8), qtf::Fault::Truncated},
      {"cut inside the root header", cut(20), qtf::Fault::Truncated},
      {"cut inside a child", cut(good.size() - 3), qtf::Fault::Corrupt},
      {"root is not 'sean'", with(16, Code("nope")), qtf::Fault::Corrupt},
      {"root smaller than the container", with(12, uint32_t(good.size() - 16)), qtf::Fault::Corrupt},
      {"a child smaller than its header", with(kFirstChild, 12), qtf::Fault::Corrupt},
      {"a child past its parent", with(kFirstChild, 400), qtf::Fault::Corrupt},
      {"a grandchild past its parent", with(kids + 20, 40), qtf::Fault::Corrupt},
      {"more children than counted", count(12, 1), qtf::Fault::Corrupt},
      {"fewer children than counted", count(12, 3), qtf::Fault::Corrupt},
      {"a leaf counted as a parent", count(kFirstChild, 1), qtf::Fault::Corrupt},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.want, ParseContainer(c.bytes).fault) << c.name;
}

TEST(AtomContainers, AtomsAreNamedByTheirOffsets) {
  const Bytes b = Container({QTLeaf(Code("leaf"), 5, U32(7)), QTParent(Code("kids"), 2,
                                                                      {QTLeaf(Code("leaf"), 3, U16(9)),
                                                                       QTLeaf(Code("leaf"), 4, Bytes{})})});
  qtf::AtomContainer c;
  ASSERT_TRUE(c.Parse(b.data(), b.size()).Ok());
  EXPECT_EQ(qtf::AtomContainer::kRoot, c.FromOffset(0));
  int first = c.FromOffset(kFirstChild);
  ASSERT_GE(first, 0);
  EXPECT_EQ(5u, c.At(first).id);
  EXPECT_EQ(-1, c.FromOffset(kFirstChild + 20)) << "the leaf's data is no atom";
  EXPECT_EQ(-1, c.FromOffset(-4));
  int kids = c.ChildByIndex(qtf::AtomContainer::kRoot, Code("kids"), 1);
  EXPECT_EQ(2, c.CountChildren(kids, Code("leaf")));
  EXPECT_EQ(2, c.CountChildren(qtf::AtomContainer::kRoot, 0));
  EXPECT_EQ(4u, c.At(c.ChildByIndex(kids, Code("leaf"), 2)).id);
  EXPECT_EQ(-1, c.ChildByIndex(kids, Code("leaf"), 3));
  qtf::ByteReader data;
  EXPECT_FALSE(c.Data(kids, data)) << "a parent has no data";
  ASSERT_TRUE(c.Data(c.ChildById(kids, Code("leaf"), 4), data));
  EXPECT_EQ(0u, data.Remaining());
}

// One key frame, field by field: two images, a sprite with every property,
// a name and a click that runs two actions, a sprite with none, and a
// frame-loaded action.
Bytes ValidKeyFrame() {
  TestSprite full;
  full.id = 7;
  full.image = 2;
  full.x = 10;
  full.y = 4;
  full.visible = false;
  full.layer = -3;
  full.mode = 36;
  full.opColor[0] = 0xFFFF;
  full.name = "SPRITE_Rewind";
  full.events = {Event("clik", {AppAction(1, "SPRITE_Rewind"), SetImageAction(1)})};
  TestSprite bare;
  bare.id = 9;
  bare.properties = false;
  return KeyFrame({RawImage(4, 2, 0xFF0000), RawImage(3, 3, 0x00FF00)}, {full, bare},
                  {Event("fram", {ScriptAction("go")})});
}

TEST(SpriteSamples, AKeyFrameIsReadFieldByField) {
  Bytes b = ValidKeyFrame();
  qtf::SpriteSample s;
  ASSERT_TRUE(qtf::ReadSpriteSample(b.data(), b.size(), s).Ok());
  EXPECT_TRUE(s.hasSharedData);
  ASSERT_EQ(2u, s.images.size());
  EXPECT_EQ(qtf::Tag("raw "), s.images[1].description.format);
  EXPECT_EQ(86u, s.images[1].description.entry.size());
  EXPECT_EQ(27u, s.images[1].dataSize) << "3 x 3 pixels of 3 bytes";
  EXPECT_EQ(0x00, b[s.images[1].dataOffset]);
  EXPECT_EQ(0xFF, b[s.images[1].dataOffset + 1]);

  ASSERT_EQ(2u, s.sprites.size());
  const qtf::SpriteAtom& full = s.sprites[0];
  EXPECT_EQ(7u, full.id);
  EXPECT_EQ(2, full.properties.imageIndex);
  EXPECT_EQ(10 << 16, full.properties.matrix.m[6]);
  EXPECT_EQ(4 << 16, full.properties.matrix.m[7]);
  EXPECT_FALSE(full.properties.visible);
  EXPECT_EQ(-3, full.properties.layer);
  EXPECT_EQ(36u, full.properties.mode);
  EXPECT_EQ(0xFFFF, full.properties.opColor[0]);
  EXPECT_EQ("SPRITE_Rewind", full.properties.name);
  ASSERT_NE(nullptr, full.Actions(qtf::kEventMouseClick));
  EXPECT_EQ(2u, full.Actions(qtf::kEventMouseClick)->size());
  EXPECT_EQ(nullptr, full.Actions(qtf::kEventClickEnd));

  const qtf::SpriteAtom& bare = s.sprites[1];
  EXPECT_FALSE(bare.properties.hasMatrix || bare.properties.hasVisible || bare.properties.hasImage);
  EXPECT_TRUE(bare.properties.visible) << "the default";
  EXPECT_EQ(1, bare.properties.imageIndex);

  // The click's first action: its type and its two parameters.
  qtf::AtomContainer c;
  ASSERT_TRUE(c.Parse(b.data(), b.size()).Ok());
  qtf::WiredAction a;
  ASSERT_TRUE(qtf::ReadWiredAction(c, c.FromOffset((*full.Actions(qtf::kEventMouseClick))[0]), a));
  EXPECT_EQ(8192u, a.type);
  ASSERT_EQ(2u, a.parameters.size());
  uint32_t number = 0;
  uint8_t length = 0;
  EXPECT_TRUE(a.parameters[0].ReadU32(number));
  EXPECT_EQ(1u, number);
  EXPECT_TRUE(a.parameters[1].ReadU8(length));
  EXPECT_EQ(13u, length);
  ASSERT_EQ(1u, s.frameLoaded.size());
  ASSERT_TRUE(qtf::ReadWiredAction(c, c.FromOffset(s.frameLoaded[0]), a));
  EXPECT_EQ(qtf::kActionScriptCommand, a.type);
  EXPECT_FALSE(qtf::ReadWiredAction(c, c.FromOffset(kFirstChild), a)) << "the shared data has no type";
}

// Finds the first atom of a type in a sample by its bytes, as a test does.
size_t Find(const Bytes& b, const char (&type)[5]) {
  for (size_t i = 4; i + 4 <= b.size(); ++i)
    if (GetU32(b, i) == Code(type)) return i - 4;
  return std::string::npos;
}

TEST(SpriteSamples, DamagedSamplesAreRefusedWhole) {
  const Bytes good = ValidKeyFrame();
  auto shorter = [&](const char (&type)[5], uint32_t id, size_t by) {
    // Cuts `by` bytes from the first leaf of that type and ID, and every
    // size around it, so that only the leaf is wrong.
    qtf::AtomContainer c;
    EXPECT_TRUE(c.Parse(good.data(), good.size()).Ok());
    for (size_t i = 1; i < c.Count(); ++i) {
      if (c.At(int(i)).type != Code(type) || c.At(int(i)).id != id) continue;
      Bytes b = good;
      size_t at = c.At(int(i)).offset;
      b.erase(b.begin() + long(at + c.At(int(i)).size - by), b.begin() + long(at + c.At(int(i)).size));
      for (int a = int(i); a >= 0; a = c.At(a).parent) {
        size_t o = a == 0 ? 12 : c.At(a).offset;
        PutU32(b, o, GetU32(b, o) - uint32_t(by));
      }
      return b;
    }
    ADD_FAILURE() << "no atom " << type;
    return good;
  };
  Bytes descriptionTooBig = good;
  PutU32(descriptionTooBig, Find(good, "imda") + 20, 4000);
  Bytes descriptionTooSmall = good;
  PutU32(descriptionTooSmall, Find(good, "imda") + 20, 40);
  Bytes noImageData = good;
  PutU32(noImageData, Find(good, "imda") + 4, Code("imdx"));
  const struct {
    const char* name;
    Bytes bytes;
  } kCases[] = {
      {"a matrix of 35 bytes", shorter("\0\0\0\1", 1, 1)},
      {"a layer of 1 byte", shorter("\0\0\0\5", 1, 1)},
      {"a graphics mode of 9 bytes", shorter("\0\0\0\6", 1, 1)},
      {"an image index of 1 byte", shorter("\0\0\0d", 1, 1)},
      {"an image description past its atom", descriptionTooBig},
      {"an image description of 40 bytes", descriptionTooSmall},
      {"an image without its data", noImageData},
      {"the container cut short", Bytes(good.begin(), good.end() - 1)},
  };
  for (const auto& c : kCases) {
    qtf::SpriteSample s;
    s.sprites.resize(1);
    EXPECT_EQ(qtf::Fault::Corrupt, qtf::ReadSpriteSample(c.bytes.data(), c.bytes.size(), s).fault) << c.name;
    EXPECT_TRUE(s.sprites.empty() && s.images.empty()) << c.name << ": nothing of it is kept";
  }
}

TEST(SpriteSamples, RepeatedAndUnknownAtomsDoNotDisturb) {
  TestSprite first, again;
  first.id = again.id = 3;
  first.name = "first";
  again.name = "again";
  Bytes b = KeyFrame({RawImage(2, 2, 0)}, {first, again},
                     {QTLeaf(Code("what"), 1, U32(1)), QTParent(Code("more"), 1, {QTLeaf(Code("deep"), 1, {})})});
  qtf::SpriteSample s;
  ASSERT_TRUE(qtf::ReadSpriteSample(b.data(), b.size(), s).Ok());
  ASSERT_EQ(1u, s.sprites.size());
  EXPECT_EQ("first", s.sprites[0].properties.name);
  // An override sample: sprites with only what changes, no shared data.
  Bytes o = Container({QTParent(Code("sprt"), 3, {QTLeaf(4, 1, U16(0))})});
  ASSERT_TRUE(qtf::ReadSpriteSample(o.data(), o.size(), s).Ok());
  EXPECT_FALSE(s.hasSharedData);
  ASSERT_EQ(1u, s.sprites.size());
  EXPECT_TRUE(s.sprites[0].properties.hasVisible);
  EXPECT_FALSE(s.sprites[0].properties.visible);
  EXPECT_FALSE(s.sprites[0].properties.hasImage);
}

}  // namespace
