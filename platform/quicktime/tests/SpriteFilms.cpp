#include "SpriteFilms.h"

namespace filmtest {

namespace {

Bytes Zeros(size_t n) { return Bytes(n, 0); }

Bytes S16(int16_t v) { return U16(uint16_t(v)); }

Bytes Matrix(int x, int y) {
  return Cat({U32(0x10000), U32(0), U32(0), U32(0), U32(0x10000), U32(0), U32(uint32_t(x) << 16),
              U32(uint32_t(y) << 16), U32(0x40000000)});
}

Bytes Identity() { return Matrix(0, 0); }

Bytes Handler(const char* componentType, const char* subtype, const std::string& name) {
  return Atom("hdlr", Cat({U32(0), Text(componentType), Text(subtype), U32(0), U32(0), U32(0),
                           Bytes{uint8_t(name.size())}, Text(name)}));
}

Bytes SelfReference() { return Atom("dinf", Atom("dref", Cat({U32(0), U32(1), Atom("alis", U32(1))}))); }

Bytes TrackHeader(uint32_t id, uint32_t duration, uint32_t width, uint32_t height, int16_t layer) {
  return Atom("tkhd", Cat({U32(0x0000000F), U32(0), U32(0), U32(id), U32(0), U32(duration), Zeros(8),
                           S16(layer), U16(0), U16(0), U16(0), Identity(), U32(width << 16), U32(height << 16)}));
}

Bytes MediaHeader(uint32_t scale, uint32_t duration) {
  return Atom("mdhd", Cat({U32(0), U32(0), U32(0), U32(scale), U32(duration), U16(0), U16(0)}));
}

// One chunk per sample, at the given offsets.
Bytes SampleTable(const Bytes& description, const std::vector<uint32_t>& sizes, const std::vector<uint32_t>& offsets,
                  uint32_t duration, const std::vector<bool>& keys) {
  Bytes stsz = Cat({U32(0), U32(0), U32(uint32_t(sizes.size()))});
  Bytes stco = Cat({U32(0), U32(uint32_t(offsets.size()))});
  for (uint32_t s : sizes) stsz = Cat({stsz, U32(s)});
  for (uint32_t o : offsets) stco = Cat({stco, U32(o)});
  Bytes table = Cat({Atom("stsd", Cat({U32(0), U32(1), description})),
                     Atom("stts", Cat({U32(0), U32(1), U32(uint32_t(sizes.size())), U32(duration)}))});
  if (!keys.empty()) {
    Bytes sync;
    uint32_t count = 0;
    for (size_t i = 0; i < keys.size(); ++i)
      if (keys[i]) {
        sync = Cat({sync, U32(uint32_t(i + 1))});
        ++count;
      }
    table = Cat({table, Atom("stss", Cat({U32(0), U32(count), sync}))});
  }
  return Atom("stbl", Cat({table, Atom("stsc", Cat({U32(0), U32(1), U32(1), U32(1), U32(1)})), Atom("stsz", stsz),
                           Atom("stco", stco)}));
}

Bytes RawDescription(uint16_t width, uint16_t height, uint32_t dataSize) {
  return Cat({U32(86), Text("raw "), Zeros(6), U16(0),  // size, codec, reserved, data reference
              U16(0), U16(0), Text("test"), U32(0), U32(0), U16(width), U16(height), U32(72 << 16),
              U32(72 << 16), U32(dataSize), U16(1), Bytes{4}, Text("none"), Zeros(27), U16(24),
              U16(0xFFFF)});
}

Bytes Pixels(uint16_t width, uint16_t height, uint32_t rgb) {
  Bytes data;
  data.reserve(size_t(width) * height * 3);
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    data.push_back(uint8_t(rgb >> 16));
    data.push_back(uint8_t(rgb >> 8));
    data.push_back(uint8_t(rgb));
  }
  return data;
}

}  // namespace

Bytes QTLeaf(uint32_t type, uint32_t id, const Bytes& data) {
  return Cat({U32(uint32_t(data.size() + 20)), U32(type), U32(id), U16(0), U16(0), U32(0), data});
}

Bytes QTParent(uint32_t type, uint32_t id, const std::vector<Bytes>& children) {
  Bytes body;
  for (const Bytes& c : children) body = Cat({body, c});
  return Cat({U32(uint32_t(body.size() + 20)), U32(type), U32(id), U16(0), U16(uint16_t(children.size())), U32(0),
              body});
}

Bytes Container(const std::vector<Bytes>& children) {
  return Cat({Zeros(10), U16(0), QTParent(Code("sean"), 1, children)});
}

Bytes Action(uint32_t type, const std::vector<Bytes>& parameters, uint32_t id) {
  std::vector<Bytes> children{QTLeaf(Code("whic"), 1, U32(type))};
  for (size_t i = 0; i < parameters.size(); ++i) children.push_back(QTLeaf(Code("parm"), uint32_t(i + 1), parameters[i]));
  return QTParent(Code("actn"), id, children);
}

Bytes AppAction(uint32_t number, const std::string& text) {
  return Action(8192, {U32(number), Cat({Bytes{uint8_t(text.size())}, Text(text)})});
}

Bytes ScriptAction(const std::string& command, const std::string& arguments) {
  std::vector<Bytes> parameters{U32(1), Cat({Text(command), Bytes{0}})};
  if (!arguments.empty()) parameters.push_back(Cat({Text(arguments), Bytes{0}}));
  return Action(Code("KXsc"), parameters);
}

Bytes SetImageAction(int16_t index) { return Action(3073, {S16(index)}); }
Bytes SetVisibleAction(bool visible) { return Action(3074, {S16(visible ? 1 : 0)}); }
Bytes TranslateAction(int x, int y, bool relative) {
  return Action(3080, {U32(uint32_t(x) << 16), U32(uint32_t(y) << 16), Bytes{uint8_t(relative ? 1 : 0)}});
}

Bytes Event(const char (&type)[5], const std::vector<Bytes>& actions) {
  std::vector<Bytes> numbered;
  for (size_t i = 0; i < actions.size(); ++i) {
    Bytes a = actions[i];
    PutU32(a, 8, uint32_t(i + 1));  // the action's atom ID
    numbered.push_back(a);
  }
  if (std::string(type) == "fram") return QTParent(Code("fram"), 1, numbered);
  return QTParent(Code("evnt"), Code(type), numbered);
}

Bytes RawImage(uint16_t width, uint16_t height, uint32_t rgb) {
  Bytes pixels = Pixels(width, height, rgb);
  return Cat({RawDescription(width, height, uint32_t(pixels.size())), pixels});
}

Bytes SpriteAtom(const TestSprite& s) {
  std::vector<Bytes> children;
  if (s.properties) {
    children = {QTLeaf(1, 1, Matrix(s.x, s.y)),
                QTLeaf(4, 1, S16(s.visible ? 1 : 0)),
                QTLeaf(5, 1, S16(s.layer)),
                QTLeaf(6, 1, Cat({U32(s.mode), U16(s.opColor[0]), U16(s.opColor[1]), U16(s.opColor[2])})),
                QTLeaf(100, 1, S16(s.image))};
  }
  if (!s.name.empty()) children.push_back(QTLeaf(Code("name"), 1, Text(s.name)));
  for (const Bytes& e : s.events) children.push_back(e);
  return QTParent(Code("sprt"), s.id, children);
}

Bytes KeyFrame(const std::vector<Bytes>& images, const std::vector<TestSprite>& sprites, const std::vector<Bytes>& more) {
  std::vector<Bytes> imag;
  for (size_t i = 0; i < images.size(); ++i)
    imag.push_back(QTParent(Code("imag"), uint32_t(i + 1), {QTLeaf(Code("imda"), 1, images[i])}));
  std::vector<Bytes> root{QTParent(Code("dflt"), 1, {QTParent(Code("imct"), 1, imag)})};
  for (const TestSprite& s : sprites) root.push_back(SpriteAtom(s));
  for (const Bytes& m : more) root.push_back(m);
  return Container(root);
}

Bytes SpriteFilm(const SpriteFilmOptions& o) {
  const uint32_t count = uint32_t(o.samples.size());
  const uint32_t duration = 600 * count;
  const bool video = o.videoColour != 0xFFFFFFFF;
  const uint16_t vw = o.videoWidth ? o.videoWidth : o.width, vh = o.videoHeight ? o.videoHeight : o.height;
  Bytes frame = video ? Pixels(vw, vh, o.videoColour) : Bytes{};

  // Media data: the samples, then the video frame.
  Bytes data;
  std::vector<uint32_t> sizes, offsets;
  for (const Bytes& s : o.samples) {
    offsets.push_back(uint32_t(8 + data.size()));
    sizes.push_back(uint32_t(s.size()));
    data = Cat({data, s});
  }
  const uint32_t frameOffset = uint32_t(8 + data.size());
  Bytes mdat = Atom("mdat", Cat({data, frame}));

  Bytes spriteDescription = Cat({U32(16), Text("sprt"), Zeros(6), U16(1)});
  Bytes gmhd = Atom("gmhd", Atom("gmin", Cat({U32(0), U16(0x40), U16(0x8000), U16(0x8000), U16(0x8000), U16(0), U16(0)})));
  Bytes sprites = Atom(
      "trak", Cat({TrackHeader(1, duration, o.width, o.height, -1),
                   Atom("mdia", Cat({MediaHeader(600, duration), Handler("mhlr", "sprt", "Sprite Media Handler"),
                                     Atom("minf", Cat({gmhd, Handler("dhlr", "alis", "Alias Data Handler"),
                                                       SelfReference(),
                                                       SampleTable(spriteDescription, sizes, offsets, 600,
                                                                   o.keyFrames)}))}))}));
  Bytes tracks = sprites;
  if (video) {
    Bytes videoDescription = RawDescription(vw, vh, 0);
    videoDescription[15] = 1;  // data reference 1
    Bytes vmhd = Atom("vmhd", Cat({U32(1), U16(0x40), U16(0x8000), U16(0x8000), U16(0x8000)}));
    tracks = Cat({tracks, Atom("trak", Cat({TrackHeader(2, duration, vw, vh, 0),
                                            Atom("mdia", Cat({MediaHeader(600, duration),
                                                              Handler("mhlr", "vide", "Video Media Handler"),
                                                              Atom("minf", Cat({vmhd,
                                                                                Handler("dhlr", "alis", "Alias Data Handler"),
                                                                                SelfReference(),
                                                                                SampleTable(videoDescription,
                                                                                            {uint32_t(frame.size())},
                                                                                            {frameOffset}, duration,
                                                                                            {})}))}))}))});
  }
  Bytes mvhd = Atom("mvhd", Cat({U32(0), U32(0), U32(0), U32(600), U32(duration), U32(0x10000), U16(0x100), Zeros(10),
                                 Identity(), U32(0), U32(0), U32(0), U32(0), U32(0), U32(0), U32(3)}));
  return Cat({mdat, Atom("moov", Cat({mvhd, tracks}))});
}

const char* const kStripButtons[11] = {"SPRITE_PlayPause",     "SPRITE_Rewind",      "SPRITE_SkipForwards",
                                       "SPRITE_SkipBackwards", "SPRITE_OpenCloseStrip", "Hide",
                                       "Sprite_LaunchFaq",     "SPRITE_StopVideo",   "SPRITE_WebLink",
                                       "SPRITE_LaunchPlayer",  "Sprite_Install"};

Bytes StripFilm() {
  std::vector<TestSprite> buttons;
  for (int i = 0; i < 11; ++i) {
    TestSprite b;
    b.id = uint32_t(i + 1);
    b.image = int16_t(1 + i % 2);
    b.x = 26 * i;
    b.name = kStripButtons[i];
    b.events = {Event("clik", {AppAction(uint32_t(i), kStripButtons[i])})};
    buttons.push_back(b);
  }
  SpriteFilmOptions o;
  o.samples = {KeyFrame({RawImage(26, 48, 0x3050A0), RawImage(26, 48, 0x5070C0)}, buttons)};
  return SpriteFilm(o);
}

}  // namespace filmtest
