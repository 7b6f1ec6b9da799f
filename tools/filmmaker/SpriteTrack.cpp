#include "SpriteTrack.h"

#include "VideoEncoder.h"

namespace film {

namespace {

Bytes U16Bytes(uint16_t v) { return Bytes{uint8_t(v >> 8), uint8_t(v)}; }

Bytes TranslationMatrix(int x, int y) {
  qtf::ByteWriter w;
  const int32_t m[9] = {0x10000, 0, 0, 0, 0x10000, 0, x * 0x10000, y * 0x10000, 0x40000000};
  for (int32_t v : m) w.U32(uint32_t(v));
  return std::move(w.Data());
}

// Characters and a zero byte.
Bytes CString(const std::string& text) {
  Bytes out(text.begin(), text.end());
  out.push_back(0);
  return out;
}

void AddActions(QTAtom& parent, const std::vector<SpriteAction>& actions) {
  uint32_t id = 1;
  for (const SpriteAction& a : actions) {
    QTAtom& action = parent.Add(qtf::kActionAtom, id++);
    // The programs' filters read the type first and the parameters after it.
    action.AddU32(qtf::kWhichAction, 1, a.type);
    uint32_t index = 1;
    for (const Bytes& p : a.parameters) action.AddLeaf(qtf::kActionParameter, index++, p);
  }
}

// An image description (data reference 0, the data's size filled in) and
// one key sample of the image.
Bytes ImageData(const SpriteImage& image) {
  const uint16_t width = uint16_t(image.picture.Width()), height = uint16_t(image.picture.Height());
  const bool animation = image.codec == qtf::Tag("rle ");
  Bytes data = animation ? EncodeAnimation(image.picture, nullptr, image.depth) : EncodeRaw(image.picture, image.depth);
  Bytes out = VideoDescription(image.codec, width, height, image.depth, animation ? "Animation" : "None").entry;
  constexpr size_t kDataReferenceAt = 14, kDataSizeAt = 44;
  out[kDataReferenceAt] = 0;  // images name no data reference
  out[kDataReferenceAt + 1] = 0;
  const uint32_t size = uint32_t(data.size());
  for (size_t i = 0; i < 4; ++i) out[kDataSizeAt + i] = uint8_t(size >> (8 * (3 - i)));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

}  // namespace

SpriteAction ApplicationNumberAndString(uint32_t number, const std::string& text) {
  return {qtf::kActionApplicationNumberAndString, {U32Bytes(number), PascalString(text)}};
}

SpriteAction ScriptCommand(const std::string& command, const std::string& arguments) {
  SpriteAction a{qtf::kActionScriptCommand, {U32Bytes(1), CString(command)}};
  if (!arguments.empty()) a.parameters.push_back(CString(arguments));
  return a;
}

SpriteAction SetImageIndex(uint16_t index) { return {qtf::kActionSpriteSetImageIndex, {U16Bytes(index)}}; }

SpriteAction SetVisible(bool visible) { return {qtf::kActionSpriteSetVisible, {U16Bytes(visible ? 1 : 0)}}; }

qtf::SampleDescription SpriteDescription() {
  qtf::ByteWriter w;
  w.U32(16);
  w.U32(qtf::Tag("sprt"));
  w.Zeros(6);
  w.U16(1);
  qtf::SampleDescription d;
  d.format = qtf::Tag("sprt");
  d.entry = std::move(w.Data());
  return d;
}

Bytes KeyFrameSample(const SpriteKeyFrame& frame) {
  QTAtom root(qtf::Tag("sean"), 1);
  QTAtom& images = root.Add(qtf::kSpriteSharedData, 1).Add(qtf::kSpriteImages, 1);
  uint32_t imageId = 1;
  for (const SpriteImage& image : frame.images)
    images.Add(qtf::kSpriteImage, imageId++).AddLeaf(qtf::kSpriteImageData, 1, ImageData(image));

  uint32_t spriteId = 1;
  for (const Sprite& s : frame.sprites) {
    QTAtom& atom = root.Add(qtf::kSpriteAtom, spriteId++);
    atom.AddLeaf(qtf::kSpriteMatrix, 1, TranslationMatrix(s.x, s.y));
    atom.AddU16(qtf::kSpriteVisible, 1, s.visible ? 1 : 0);
    atom.AddU16(qtf::kSpriteLayer, 1, uint16_t(s.layer));
    qtf::ByteWriter mode;
    mode.U32(s.graphicsMode);
    // Each component's byte in both halves of its 16-bit value.
    mode.U16(uint16_t(s.opColour.r * 0x101));
    mode.U16(uint16_t(s.opColour.g * 0x101));
    mode.U16(uint16_t(s.opColour.b * 0x101));
    atom.AddLeaf(qtf::kSpriteGraphicsMode, 1, std::move(mode.Data()));
    atom.AddU16(qtf::kSpriteImageIndex, 1, s.image);
    if (!s.name.empty()) atom.AddLeaf(qtf::kSpriteName, 1, Bytes(s.name.begin(), s.name.end()));
    for (const SpriteEvent& e : s.events) AddActions(atom.Add(qtf::kEventAtom, e.first), e.second);
  }
  if (!frame.frameLoaded.empty()) AddActions(root.Add(qtf::kEventFrameLoaded, 1), frame.frameLoaded);
  return ContainerBytes(root);
}

Bytes OverrideSample(const std::vector<SpriteOverride>& overrides, const std::vector<SpriteAction>& frameLoaded) {
  QTAtom root(qtf::Tag("sean"), 1);
  for (const SpriteOverride& o : overrides) {
    QTAtom& atom = root.Add(qtf::kSpriteAtom, o.spriteId);
    if (o.position) atom.AddLeaf(qtf::kSpriteMatrix, 1, TranslationMatrix(o.position->first, o.position->second));
    if (o.visible) atom.AddU16(qtf::kSpriteVisible, 1, *o.visible ? 1 : 0);
    if (o.layer) atom.AddU16(qtf::kSpriteLayer, 1, uint16_t(*o.layer));
    if (o.image) atom.AddU16(qtf::kSpriteImageIndex, 1, *o.image);
  }
  if (!frameLoaded.empty()) AddActions(root.Add(qtf::kEventFrameLoaded, 1), frameLoaded);
  return ContainerBytes(root);
}

}  // namespace film
