#include "SpriteSample.h"

namespace qtf {

namespace {

// Bytes of an image description up to its colour table ID.
constexpr uint32_t kImageDescriptionSize = 86;
constexpr size_t kDataSizeField = 44;

Status Damaged(const std::string& what) { return Status::Fail(Fault::Corrupt, "sprite sample: " + what); }

// A property's data: a leaf at least `need` bytes long.
bool PropertyData(const AtomContainer& c, int atom, size_t need, ByteReader& r) {
  return c.Data(atom, r) && r.Remaining() >= need;
}

Status ReadProperty(const AtomContainer& c, int atom, SpriteProperties& p) {
  const AtomContainer::Atom& a = c.At(atom);
  ByteReader r;
  switch (a.type) {
    case kSpriteMatrix:
      if (!PropertyData(c, atom, 36, r)) return Damaged("a matrix shorter than 36 bytes");
      for (int32_t& v : p.matrix.m) (void)r.ReadI32(v);
      p.hasMatrix = true;
      return {};
    case kSpriteVisible: {
      int16_t v = 0;
      if (!PropertyData(c, atom, 2, r) || !r.ReadI16(v)) return Damaged("a visibility shorter than 2 bytes");
      p.visible = v != 0;
      p.hasVisible = true;
      return {};
    }
    case kSpriteLayer:
      if (!PropertyData(c, atom, 2, r) || !r.ReadI16(p.layer)) return Damaged("a layer shorter than 2 bytes");
      p.hasLayer = true;
      return {};
    case kSpriteGraphicsMode:
      if (!PropertyData(c, atom, 10, r) || !r.ReadU32(p.mode) || !r.ReadU16(p.opColor[0]) ||
          !r.ReadU16(p.opColor[1]) || !r.ReadU16(p.opColor[2]))
        return Damaged("a graphics mode shorter than 10 bytes");
      p.hasMode = true;
      return {};
    case kSpriteImageIndex:
      if (!PropertyData(c, atom, 2, r) || !r.ReadI16(p.imageIndex))
        return Damaged("an image index shorter than 2 bytes");
      p.hasImage = true;
      return {};
    case kSpriteName:
      if (!c.Data(atom, r)) return Damaged("a name that is not a leaf");
      p.name.clear();
      while (r.Remaining() > 0) {
        uint8_t ch = 0;
        (void)r.ReadU8(ch);
        if (ch == 0) break;
        p.name.push_back(char(ch));
      }
      p.hasName = true;
      return {};
    default:
      return {};
  }
}

// The actions of an event atom, or of the frame-loaded atom.
void ReadActions(const AtomContainer& c, int event, std::vector<uint32_t>& out) {
  for (int k = c.At(event).firstChild; k >= 0; k = c.At(k).nextSibling)
    if (c.At(k).type == kActionAtom) out.push_back(c.OffsetOf(k));
}

Status ReadSprite(const AtomContainer& c, int atom, SpriteAtom& sprite) {
  sprite.id = c.At(atom).id;
  for (int k = c.At(atom).firstChild; k >= 0; k = c.At(k).nextSibling) {
    if (c.At(k).type == kEventAtom) {
      // The first handler of an event type counts.
      if (sprite.Actions(c.At(k).id)) continue;
      SpriteEvent e;
      e.type = c.At(k).id;
      ReadActions(c, k, e.actions);
      sprite.events.push_back(std::move(e));
      continue;
    }
    Status s = ReadProperty(c, k, sprite.properties);
    if (!s.Ok()) return s;
  }
  return {};
}

Status ReadImage(const AtomContainer& c, int imag, SpriteImage& image) {
  image.id = c.At(imag).id;
  int data = c.ChildById(imag, kSpriteImageData, 1);
  if (data < 0) data = c.ChildByIndex(imag, kSpriteImageData, 1);
  ByteReader r;
  if (data < 0 || !c.Data(data, r)) return Damaged("an image without its data");
  const uint8_t* start = r.Current();
  const size_t available = r.Remaining();
  uint32_t descriptionSize = 0, codec = 0;
  if (!r.ReadU32(descriptionSize) || !r.ReadU32(codec)) return Damaged("an image description cut short");
  if (descriptionSize < kImageDescriptionSize) return Damaged("an image description below 86 bytes");
  if (descriptionSize > available) return Damaged("an image description past its atom");
  image.description.format = codec;
  image.description.entry.assign(start, start + descriptionSize);
  uint32_t stated = uint32_t(start[kDataSizeField]) << 24 | uint32_t(start[kDataSizeField + 1]) << 16 |
                    uint32_t(start[kDataSizeField + 2]) << 8 | start[kDataSizeField + 3];
  uint32_t rest = uint32_t(available - descriptionSize);
  image.dataOffset = c.At(data).DataOffset() + descriptionSize;
  // The stated size may only shorten what the atom holds.
  image.dataSize = stated > 0 && stated < rest ? stated : rest;
  return {};
}

}  // namespace

const std::vector<uint32_t>* SpriteAtom::Actions(FourCC event) const {
  for (const SpriteEvent& e : events)
    if (e.type == event) return &e.actions;
  return nullptr;
}

const SpriteImage* SpriteSample::Image(int32_t index) const {
  for (const SpriteImage& i : images)
    if (int64_t(i.id) == int64_t(index)) return &i;
  return nullptr;
}

Status ReadSpriteSample(const uint8_t* bytes, size_t size, SpriteSample& out) {
  out = SpriteSample{};
  AtomContainer c;
  Status s = c.Parse(bytes, size);
  if (!s.Ok()) return s;
  SpriteSample sample;
  const int root = AtomContainer::kRoot;
  int shared = c.ChildById(root, kSpriteSharedData, 1);
  if (shared < 0) shared = c.ChildByIndex(root, kSpriteSharedData, 1);
  if (shared >= 0) {
    sample.hasSharedData = true;
    int images = c.ChildByIndex(shared, kSpriteImages, 1);
    if (images >= 0) {
      for (int k = c.At(images).firstChild; k >= 0; k = c.At(k).nextSibling) {
        if (c.At(k).type != kSpriteImage) continue;
        SpriteImage image;
        s = ReadImage(c, k, image);
        if (!s.Ok()) return s;
        // The first image of an ID counts.
        if (!sample.Image(int32_t(image.id))) sample.images.push_back(std::move(image));
      }
    }
  }
  for (int k = c.At(root).firstChild; k >= 0; k = c.At(k).nextSibling) {
    const AtomContainer::Atom& a = c.At(k);
    if (a.type == kEventFrameLoaded && sample.frameLoaded.empty()) {
      ReadActions(c, k, sample.frameLoaded);
    } else if (a.type == kSpriteAtom && sample.sprites.size() < kMaxSprites) {
      bool seen = false;
      for (const SpriteAtom& other : sample.sprites) seen = seen || other.id == a.id;
      if (seen) continue;
      SpriteAtom sprite;
      s = ReadSprite(c, k, sprite);
      if (!s.Ok()) return s;
      sample.sprites.push_back(std::move(sprite));
    }
  }
  out = std::move(sample);
  return {};
}

bool ReadWiredAction(const AtomContainer& c, int index, WiredAction& out) {
  out = WiredAction{};
  if (index < 0 || size_t(index) >= c.Count()) return false;
  int which = c.ChildByIndex(index, kWhichAction, 1);
  ByteReader r;
  if (which < 0 || !c.Data(which, r) || !r.ReadU32(out.type)) return false;
  // Parameter k is the k-th 'parm' child.
  for (int k = c.At(index).firstChild; k >= 0; k = c.At(k).nextSibling) {
    if (c.At(k).type != kActionParameter) continue;
    ByteReader p;
    if (!c.Data(k, p)) p = ByteReader();
    out.parameters.push_back(p);
  }
  return true;
}

}  // namespace qtf
