// stb_image_write, for the tests' JPEG pictures.
#include "TestFilms.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace codectest {

namespace {

void Append(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

}  // namespace

Bytes EncodeJpeg(int width, int height, const std::vector<uint8_t>& rgb, int quality) {
  Bytes jpeg;
  stbi_write_jpg_to_func(Append, &jpeg, width, height, 3, rgb.data(), quality);
  return jpeg;
}

}  // namespace codectest
