#include "panes/GH_CDData.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

int32_t ReadI32(const uint8_t* p) {
  return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

// A text field ends at its first zero byte or at the field's end, whichever
// comes first: a field that the file filled to the brim is still bounded.
std::string ReadText(const uint8_t* p, size_t width) {
  const void* zero = std::memchr(p, 0, width);
  const size_t length = zero ? size_t(static_cast<const uint8_t*>(zero) - p) : width;
  return std::string(reinterpret_cast<const char*>(p), length);
}

PlaylistEntry ParseItem(const uint8_t* p) {
  PlaylistEntry item;
  item.itemId = ReadI32(p + 0);
  item.sortOrder = ReadI32(p + 4);
  item.parentId = ReadI32(p + 8);
  item.itemType = ReadI32(p + 12);
  item.parentType = ReadI32(p + 16);
  item.itemText = ReadText(p + 20, 100);
  item.iconResId = int16_t(ReadI32(p + 120) & 0xFFFF);
  item.loop = ReadI32(p + 124);
  item.rate = ReadI32(p + 128);
  item.play = ReadI32(p + 136);
  item.tkLocal = ReadI32(p + 140);
  item.tkGlobal = ReadI32(p + 144);
  item.tkBkg = ReadI32(p + 148);
  item.filePath = ReadText(p + 152, 250);
  item.fileName = ReadText(p + 402, 60);
  item.aliasRoot = ReadText(p + 462, 30);
  item.volumeName = ReadText(p + 492, 30);
  item.origin = ReadText(p + 522, 30);
  return item;
}

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

int32_t CDActionRecord::GetType() const { return ReadI32(bytes.data() + 8); }
std::string CDActionRecord::GetCommandText() const { return ReadText(bytes.data() + 12, 254); }
std::string CDActionRecord::GetAliasRoot() const { return ReadText(bytes.data() + 266, 30); }
std::string CDActionRecord::GetActionName() const { return ReadText(bytes.data() + 296, 200); }

int32_t GH_CDData::Load(const std::string& path, std::string& rootAlias) {
  std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return 3;
  // Record by record: a short read ends the walk where the file ends.
  Read([&](uint8_t* target, size_t n) { return std::fread(target, 1, n, file.get()) == n; }, rootAlias);
  return 0;
}

void GH_CDData::Parse(const uint8_t* data, size_t size, std::string& rootAlias) {
  size_t offset = 0;
  Read(
      [&](uint8_t* target, size_t n) {
        if (n > size - offset) return false;
        std::memcpy(target, data + offset, n);
        offset += n;
        return true;
      },
      rootAlias);
}

void GH_CDData::Read(const std::function<bool(uint8_t*, size_t)>& read, std::string& rootAlias) {
  fFilmItems.clear();
  fActions.clear();
  fThirds.clear();
  fHeader.fill(0);
  if (!read(fHeader.data(), kHeaderSize)) return;
  // The counts are the file's word: they only bound the loops, which stop
  // at the first record the file cannot fill.
  const int32_t itemCount = ReadI32(fHeader.data() + 0);
  const int32_t actionCount = ReadI32(fHeader.data() + 4);
  const int32_t thirdCount = ReadI32(fHeader.data() + 8);
  std::array<uint8_t, kItemSize> itemBytes;
  for (int32_t i = 0; i < itemCount; ++i) {
    if (!read(itemBytes.data(), kItemSize)) return;
    PlaylistEntry item = ParseItem(itemBytes.data());
    if (item.itemId == 1) rootAlias = item.aliasRoot;
    if (item.itemType == 4) fFilmItems.push_back(std::move(item));
  }
  for (int32_t i = 0; i < actionCount; ++i) {
    CDActionRecord record;
    if (!read(record.bytes.data(), CDActionRecord::kSize)) return;
    fActions.push_back(record);
  }
  for (int32_t i = 0; i < thirdCount; ++i) {
    std::array<uint8_t, kThirdSize> third;
    if (!read(third.data(), kThirdSize)) return;
    fThirds.push_back(third);
  }
}
