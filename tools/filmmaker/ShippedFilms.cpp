#include "ShippedFilms.h"

#include "Glyphs.h"
#include "Scenes.h"

#include <cmath>

namespace film {

namespace {

constexpr uint32_t kScale = 600;          // time units per second of every track we make
constexpr uint32_t kSpriteSeconds = 600;  // sprite scenes stay as long as anyone looks

const std::string kCopyright = "(c) Glintharbour";

struct ButtonSpec {
  std::string name;  // the sprite's name and the text its click sends
  Glyph glyph;
  std::string caption;  // empty: a glyph alone
  bool script = false;  // sends a script command rather than the application string
  int x = 0, y = 0, width = 0, height = 0;
};

uint16_t AddImage(SpriteKeyFrame& frame, Picture picture, qtf::FourCC codec = qtf::Tag("rle ")) {
  frame.images.push_back({std::move(picture), codec, 24});
  return uint16_t(frame.images.size());
}

// A button: three pictures (normal, under the mouse, pressed) and a sprite
// that shows them as the mouse moves and presses, and sends its name on
// the press. The picture changes come before the name: a command may end
// the film's window.
void AddButton(SpriteKeyFrame& frame, const ButtonSpec& b) {
  auto picture = [&](ButtonState state) {
    return b.caption.empty() ? ButtonPicture(b.width, b.height, b.glyph, state)
                             : CaptionButtonPicture(b.width, b.height, b.glyph, b.caption, state);
  };
  const uint16_t normal = AddImage(frame, picture(ButtonState::Normal));
  const uint16_t hover = AddImage(frame, picture(ButtonState::Hover));
  const uint16_t pressed = AddImage(frame, picture(ButtonState::Pressed));
  Sprite s;
  s.name = b.name;
  s.image = normal;
  s.x = b.x;
  s.y = b.y;
  s.graphicsMode = qtf::kModeTransparent;  // round corners over the background
  s.opColour = palette::kKey;
  const uint32_t number = uint32_t(frame.sprites.size() + 1);
  const SpriteAction send = b.script ? ScriptCommand(b.name) : ApplicationNumberAndString(number, b.name);
  s.events = {
      {qtf::kEventMouseClick, {SetImageIndex(pressed), send}},
      {qtf::kEventClickEnd, {SetImageIndex(normal)}},
      {qtf::kEventClickEndTrigger, {SetImageIndex(hover)}},
      {qtf::kEventMouseEnter, {SetImageIndex(hover)}},
      {qtf::kEventMouseExit, {SetImageIndex(normal)}},
  };
  frame.sprites.push_back(std::move(s));
}

// A sprite without events at the back of the scene.
void AddBackground(SpriteKeyFrame& frame, Picture picture, qtf::FourCC codec = qtf::Tag("rle ")) {
  Sprite s;
  s.name = "Background";
  s.image = AddImage(frame, std::move(picture), codec);
  s.layer = 10;
  frame.sprites.push_back(std::move(s));
}

SpriteTrack OneScene(int width, int height, SpriteKeyFrame key, bool enabled) {
  SpriteTrack t;
  t.place.enabled = enabled;
  t.width = width;
  t.height = height;
  t.timeScale = kScale;
  SpriteFrame f;
  f.key = std::move(key);
  f.duration = kSpriteSeconds * kScale;
  t.frames.push_back(std::move(f));
  return t;
}

// ---- the controller strip ---------------------------------------------------

Picture ControllerBackground() {
  const int w = kControllerWidth, h = kControllerHeight, handle = w - kControllerHandle;
  Picture p(w, h);
  p.VerticalGradient(0, 0, handle, h, palette::kSlate, palette::kNight);
  p.FillRect(0, 0, handle, 1, palette::kEdge);
  // The handle: a raised face with grip lines and an arrow, in the part
  // that stays on the screen when the strip is pushed away.
  p.VerticalGradient(handle, 0, w, h, palette::kEdge, palette::kSlate);
  p.FillRect(handle, 0, handle + 1, h, palette::kNight);
  for (int x = handle + 5; x < handle + 10; x += 2) p.FillRect(x, 8, x + 1, h - 8, palette::kPale);
  DrawGlyph(p, Glyph::Forwards, w - 7, h / 2, 10, palette::kAmber);
  return p;
}

FilmSpec ControllerFilm() {
  const Glyph glyphs[] = {Glyph::PlayPause, Glyph::Rewind,   Glyph::SkipForwards, Glyph::SkipBackwards,
                          Glyph::OpenClose, Glyph::Hide,     Glyph::Question,     Glyph::Stop,
                          Glyph::Globe,     Glyph::Library,  Glyph::Install};
  const std::vector<std::string>& names = ControllerButtonNames();
  SpriteKeyFrame key;
  const int area = kControllerWidth - kControllerHandle, count = int(names.size());
  for (int i = 0; i < count; ++i) {
    ButtonSpec b{names[size_t(i)], glyphs[i], ""};
    b.x = 1 + int(std::lround(i * double(area) / count));
    b.y = 4;
    b.width = 25;
    b.height = 40;
    AddButton(key, b);
  }
  AddBackground(key, ControllerBackground(), qtf::Tag("raw "));
  FilmSpec spec;
  spec.sprites.push_back(OneScene(kControllerWidth, kControllerHeight, std::move(key), true));
  spec.name = "Controller strip";
  spec.copyright = kCopyright;
  return spec;
}

// ---- a film's own strip -------------------------------------------------------

// A strip of 48 pixels with a lamp at its left that blinks (override
// frames) and caption buttons. The system's films keep it disabled: the
// player copies it out into a film of its own, which enables it.
SpriteTrack FilmStrip(int width, const std::vector<ButtonSpec>& buttons, double seconds) {
  SpriteKeyFrame key;
  std::vector<ButtonSpec> placed = buttons;
  const int lampWidth = 28, gap = 6;
  const int buttonWidth = (width - lampWidth - gap * (int(buttons.size()) + 1)) / int(buttons.size());
  for (size_t i = 0; i < placed.size(); ++i) {
    placed[i].x = lampWidth + gap + int(i) * (buttonWidth + gap);
    placed[i].y = 6;
    placed[i].width = buttonWidth;
    placed[i].height = 36;
    AddButton(key, placed[i]);
  }
  Picture lampOn(20, 20, palette::kKey), lampOff(20, 20, palette::kKey);
  DrawGlyph(lampOn, Glyph::Lamp, 10, 10, 18, palette::kAmber);
  DrawGlyph(lampOff, Glyph::Lamp, 10, 10, 18, palette::kSlate);
  Sprite lamp;
  lamp.name = "Lamp";
  lamp.image = AddImage(key, lampOn);
  AddImage(key, lampOff);
  lamp.x = 4;
  lamp.y = 14;
  lamp.graphicsMode = qtf::kModeTransparent;
  lamp.opColour = palette::kKey;
  const uint32_t lampId = uint32_t(key.sprites.size() + 1);
  key.sprites.push_back(lamp);
  Picture back(width, 48);
  back.VerticalGradient(0, 0, width, 48, palette::kSlate, palette::kNight);
  back.FillRect(0, 0, width, 1, palette::kEdge);
  AddBackground(key, std::move(back));

  SpriteTrack t;
  t.place.enabled = false;
  t.place.layer = -1;
  t.width = width;
  t.height = 48;
  t.timeScale = kScale;
  SpriteFrame first;
  first.key = std::move(key);
  first.duration = kScale / 2;
  t.frames.push_back(std::move(first));
  // Every half second the lamp changes: the key frame shows it lit, each
  // override frame one of the two pictures.
  const int halves = std::max(1, int(seconds * 2));
  for (int i = 1; i < halves; ++i) {
    SpriteFrame f;
    SpriteOverride o;
    o.spriteId = lampId;
    o.image = uint16_t(lamp.image + (i % 2));
    f.overrides.push_back(o);
    f.duration = kScale / 2;
    t.frames.push_back(std::move(f));
  }
  return t;
}

std::map<std::string, std::string> FilmPreferences(const std::string& name, const std::string& gmid,
                                                   const std::string& version) {
  std::map<std::string, std::string> p = {
      {"name", name},          {"copyright", kCopyright}, {"Version", version},
      {"TrkLocal", "3"},       {"TrkGlobal", "3"},        {"TrkBackground", "0"},
  };
  if (!gmid.empty()) p["GMID"] = gmid;
  return p;
}

VideoTrack Video(std::vector<Picture> frames, uint32_t frameDuration, qtf::FourCC codec = qtf::Tag("rle "),
                 uint16_t depth = 24) {
  VideoTrack v;
  v.codec = codec;
  v.depth = depth;
  v.timeScale = kScale;
  v.frameDuration = frameDuration;
  v.frames = std::move(frames);
  return v;
}

// A chord of three notes that swells and fades, mono or the same in both channels.
SoundTrack Chord(SoundFormat format, double seconds, std::initializer_list<double> notes) {
  std::vector<int16_t> mix(size_t(seconds * format.rate), 0);
  for (double f : notes) {
    const std::vector<int16_t> t = Tone(format.rate, f, seconds, 0.25);
    for (size_t i = 0; i < mix.size() && i < t.size(); ++i) mix[i] = int16_t(mix[i] + t[i]);
  }
  SoundTrack s;
  s.format = format;
  for (int16_t v : mix)
    for (uint16_t c = 0; c < format.channels; ++c) s.frames.push_back(v);
  return s;
}

// ---- the default film ----------------------------------------------------------

FilmSpec DefaultFilm() {
  // Every track lasts as long as the title: the movie ends with the
  // longest track, disabled ones too, and the player loops this film.
  constexpr int kSeconds = 12;
  FilmSpec spec;
  std::vector<Picture> title;
  for (int i = 0; i < kSeconds * 5; ++i) title.push_back(TitleFrame(320, 240, i / (kSeconds * 5.0)));
  spec.video.push_back(Video(std::move(title), kScale / 5));
  // The help film: its pages, four seconds each, played alone.
  std::vector<Picture> pages = HelpPages(320, 240);
  VideoTrack help = Video(pages, kSeconds * kScale / uint32_t(pages.size()));
  help.place.enabled = false;
  spec.video.push_back(std::move(help));
  spec.sprites.push_back(FilmStrip(300,
                                   {{"ShowHelp", Glyph::Question, "HELP"},
                                    {"VisitWebSite", Glyph::Globe, "WEB", /*script=*/true},
                                    {"CloseWindow", Glyph::Close, "QUIT"}},
                                   kSeconds));
  spec.name = "Glintharbour";
  spec.copyright = kCopyright;
  spec.system = SystemData{
      {{"ShowHelp", "playQT(AutoPlay=\"1\",FullScreen=\"0\",Track=\"2\")"},
       {"VisitWebSite", "launchURL(URL=\"http://www.glintharbour.example/\")"}},
      FilmPreferences("Glintharbour", "", "1")};
  return spec;
}

// ---- the list film -------------------------------------------------------------

constexpr int kScreenWidth = 640, kScreenHeight = 480;

// A button of the list film's pages, in a column at the bottom right.
ButtonSpec MenuButton(const std::string& name, Glyph glyph, const std::string& caption, int row, bool script = false) {
  ButtonSpec b{name, glyph, caption, script};
  b.width = 200;
  b.height = 48;
  b.x = kScreenWidth - b.width - 40;
  b.y = kScreenHeight - 40 - (row + 1) * (b.height + 12);
  return b;
}

SpriteTrack MenuPage(bool enabled) {
  SpriteKeyFrame key;
  AddButton(key, MenuButton("ShowGallery", Glyph::Forwards, "GALLERY", 3));
  AddButton(key, MenuButton("ShowCredits", Glyph::Forwards, "CREDITS", 2, /*script=*/true));
  AddButton(key, MenuButton("CloseWindow", Glyph::Close, "BACK", 1));
  AddButton(key, MenuButton("Exit", Glyph::Exit, "QUIT", 0));
  AddBackground(key, Backdrop(kScreenWidth, kScreenHeight, "EXTRAS", "CHOOSE WHAT TO SEE"));
  return OneScene(kScreenWidth, kScreenHeight, std::move(key), enabled);
}

// Three slides on top of each other: a click on the front one hides it and
// shows the one behind.
SpriteTrack GalleryPage(bool enabled) {
  SpriteKeyFrame key;
  AddButton(key, MenuButton("ShowCredits", Glyph::Forwards, "CREDITS", 1));
  AddButton(key, MenuButton("CloseWindow", Glyph::Close, "BACK", 0));
  const char* titles[] = {"DUSK", "EVENING", "NIGHT"};
  for (int i = 0; i < 3; ++i) {
    Picture slide(324, 244, palette::kPale);
    slide.Paste(HarbourFrame(320, 240, 0.2 + 0.3 * i, titles[i]), 2, 2);
    Sprite s;
    s.name = std::string("Slide") + char('1' + i);
    s.image = AddImage(key, std::move(slide));
    s.x = 40;
    s.y = 140;
    s.layer = int16_t(i + 1);
    if (i < 2) s.events = {{qtf::kEventMouseClick, {SetVisible(false)}}};
    key.sprites.push_back(std::move(s));
  }
  AddBackground(key, Backdrop(kScreenWidth, kScreenHeight, "GALLERY", "CLICK A PICTURE FOR THE NEXT"));
  return OneScene(kScreenWidth, kScreenHeight, std::move(key), enabled);
}

SpriteTrack CreditsPage(bool enabled) {
  SpriteKeyFrame key;
  AddButton(key, MenuButton("ShowMenu", Glyph::SkipBackwards, "MENU", 2));
  AddButton(key, MenuButton("CloseWindow", Glyph::Close, "BACK", 1));
  AddButton(key, MenuButton("Exit", Glyph::Exit, "QUIT", 0));
  Picture back = Backdrop(kScreenWidth, kScreenHeight, "CREDITS", "THE PEOPLE OF THE HARBOUR");
  const char* lines[] = {"FILMS AND PICTURES", "DRAWN BY THE FILM MAKER", "", "SOUND", "THREE NOTES AT DUSK", "",
                         "THANK YOU FOR WATCHING"};
  int y = 170;
  for (const char* line : lines) {
    back.DrawText(60, y, line, palette::kPale, 2);
    y += 26;
  }
  AddBackground(key, std::move(back));
  return OneScene(kScreenWidth, kScreenHeight, std::move(key), enabled);
}

FilmSpec ListFilm() {
  FilmSpec spec;
  // Each track is a page played on its own; only the first shows when the
  // film is played whole.
  spec.sprites.push_back(MenuPage(true));
  spec.sprites.push_back(GalleryPage(false));
  spec.sprites.push_back(CreditsPage(false));
  spec.name = "Glintharbour extras";
  spec.copyright = kCopyright;
  spec.system = SystemData{
      {{"ShowCredits", "playQT(File=\"em.flm\",FullScreen=\"1\",Track=\"3\")"},
       {"ShowGallery", "playQT(File=\"em.flm\",FullScreen=\"1\",Track=\"2\")"},
       {"ShowMenu", "playQT(File=\"em.flm\",FullScreen=\"1\",Track=\"1\")"}},
      FilmPreferences("Glintharbour extras", "", "1")};
  return spec;
}

// ---- sample films for play lists ----------------------------------------------

std::vector<Picture> HarbourFrames(int width, int height, int count, const std::string& title) {
  std::vector<Picture> frames;
  for (int i = 0; i < count; ++i) frames.push_back(HarbourFrame(width, height, i / double(count), title));
  return frames;
}

FilmSpec Sample240() {
  FilmSpec spec;
  spec.video.push_back(Video(HarbourFrames(320, 240, 60, "HARBOUR LIGHTS"), kScale / 10));
  spec.sound.push_back(Chord({qtf::Tag("twos"), 1, 16, 22050}, 6.0, {261.63, 329.63, 392.0}));
  spec.sprites.push_back(FilmStrip(300,
                                   {{"ShowHarbour", Glyph::Forwards, "WATCH"},
                                    {"HarbourSound", Glyph::Lamp, "LISTEN", /*script=*/true},
                                    {"VisitHarbour", Glyph::Globe, "WEB"}},
                                   6));
  spec.name = "Harbour Lights";
  spec.copyright = kCopyright;
  spec.system = SystemData{
      {{"HarbourSound", "playQTAudio(File=\"samplesound.flm\")"},
       {"ShowHarbour", "playQT(AutoPlay=\"1\",FullScreen=\"0\",Track=\"1\")"},
       {"VisitHarbour", "launchURL(URL=\"http://www.glintharbour.example/harbour\")"}},
      FilmPreferences("Harbour Lights", "1001", "2")};
  return spec;
}

FilmSpec Sample200() {
  FilmSpec spec;
  spec.video.push_back(Video(HarbourFrames(320, 200, 5, "LIGHTHOUSE"), kScale, qtf::Tag("raw "), 16));
  spec.sound.push_back(Chord({qtf::Tag("raw "), 1, 8, 11025}, 5.0, {220.0, 277.18, 329.63}));
  spec.sprites.push_back(FilmStrip(300,
                                   {{"ShowLighthouse", Glyph::Forwards, "WATCH", /*script=*/true},
                                    {"CloseWindow", Glyph::Close, "QUIT"}},
                                   5));
  spec.name = "Lighthouse";
  spec.copyright = kCopyright;
  spec.system = SystemData{{{"ShowLighthouse", "playQT(AutoPlay=\"1\",FullScreen=\"1\",Track=\"1\")"}},
                           FilmPreferences("Lighthouse", "1002", "2")};
  return spec;
}

FilmSpec SamplePlain() {
  FilmSpec spec;
  spec.video.push_back(Video(HarbourFrames(320, 240, 30, "PLAIN HARBOUR"), kScale / 10));
  spec.sound.push_back(Chord({qtf::Tag("twos"), 1, 16, 22050}, 3.0, {293.66, 369.99, 440.0}));
  spec.name = "Plain harbour";
  spec.copyright = kCopyright;
  return spec;
}

FilmSpec SampleSound() {
  FilmSpec spec;
  spec.sound.push_back(Chord({qtf::Tag("twos"), 2, 16, 22050}, 4.0, {196.0, 246.94, 293.66}));
  spec.name = "Harbour sounds";
  spec.copyright = kCopyright;
  spec.system = SystemData{{}, FilmPreferences("Harbour sounds", "1003", "2")};
  return spec;
}

}  // namespace

const std::vector<std::string>& ControllerButtonNames() {
  static const std::vector<std::string> names = {
      "SPRITE_PlayPause",  "SPRITE_Rewind",   "SPRITE_SkipForwards", "SPRITE_SkipBackwards",
      "SPRITE_OpenCloseStrip", "Hide",       "Sprite_LaunchFaq",    "SPRITE_StopVideo",
      "SPRITE_WebLink",    "SPRITE_LaunchPlayer", "Sprite_Install"};
  return names;
}

const std::vector<ShippedFilm>& ShippedFilms() {
  static const std::vector<ShippedFilm> films = {
      {"cs.flm", "the controller strip: 320 x 48, eleven buttons and the handle", ControllerFilm},
      {"default.flm", "title film, help film (track 2) and its strip (track 3)", DefaultFilm},
      {"em.flm", "the list film: three full-screen pages of buttons", ListFilm},
      {"sample240.flm", "sample: 320 x 240 picture, sound and strip", Sample240},
      {"sample200.flm", "sample: 320 x 200 picture, sound and strip", Sample200},
      {"sampleplain.flm", "sample without the system's data", SamplePlain},
      {"samplesound.flm", "sample with sound only", SampleSound},
  };
  return films;
}

const ShippedFilm* FindShippedFilm(const std::string& fileName) {
  for (const ShippedFilm& f : ShippedFilms())
    if (f.fileName == fileName) return &f;
  return nullptr;
}

}  // namespace film
