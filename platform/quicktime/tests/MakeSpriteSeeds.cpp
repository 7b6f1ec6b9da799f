// Writes the fuzzer's seeds: sprite samples of the kinds the tests use.
// Usage: make_sprite_fuzz_seeds <folder>
#include "SpriteFilms.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

using namespace filmtest;

namespace {

bool Write(const std::string& path, const Bytes& b) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  mkdir(dir.c_str(), 0777);
  TestSprite button;
  button.x = 4;
  button.y = 4;
  button.name = "SPRITE_PlayPause";
  button.events = {Event("clik", {AppAction(1, "SPRITE_PlayPause"), SetImageAction(2)}),
                   Event("trig", {ScriptAction("playQT(Track=\"2\")", "x")}),
                   Event("entr", {SetVisibleAction(false)}), Event("exit", {TranslateAction(3, 1, true)}),
                   Event("key ", {Action(1025, {U32(0x10000)})}), Event("idle", {Action(1024, {U16(0x100)})})};
  TestSprite back;
  back.id = 2;
  back.layer = 3;
  back.mode = 36;
  TestSprite blend;
  blend.id = 3;
  blend.mode = 32;
  blend.opColor[1] = 0x8000;
  const Bytes seeds[] = {
      KeyFrame({RawImage(8, 6, 0xFF0000), RawImage(4, 4, 0x00FF00)}, {button, back, blend},
               {Event("fram", {Action(1027, {U32(300)})})}),
      Container({QTParent(Code("sprt"), 1, {QTLeaf(4, 1, U16(0)), QTLeaf(100, 1, U16(2))})}),
      Container({}),
  };
  int n = 0;
  for (const Bytes& b : seeds)
    if (!Write(dir + "/seed" + std::to_string(n++), b)) return 1;
  return 0;
}
