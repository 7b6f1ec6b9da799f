// 'jpeg' (Photo-JPEG): each sample is one baseline JPEG picture, decoded by
// stb_image. A picture of another size than the description's is placed at
// the top left; what it does not cover is black.
#include "Codecs.h"

#include <algorithm>
#include <climits>

// Only the JPEG reader, without files and without the shared failure text,
// so that decoders on several threads keep nothing in common.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 4096
#include <stb_image.h>

namespace qtc {

static_assert(STBI_MAX_DIMENSIONS == kMaxFrameSide, "pictures larger than a frame are refused");

DecodeResult DecodePhotoJpeg(const VideoInfo& info, const uint8_t* data, size_t size, Frame& frame) {
  std::fill(frame.pixels.begin(), frame.pixels.end(), 0);
  if (size == 0 || size > size_t(INT_MAX)) return DecodeResult::Damaged;
  int width = 0, height = 0, components = 0;
  // A picture's claimed size is checked against STBI_MAX_DIMENSIONS before
  // anything is allocated for it.
  stbi_uc* rgba = stbi_load_from_memory(data, int(size), &width, &height, &components, 4);
  if (!rgba) return DecodeResult::Damaged;
  const size_t w = std::min<size_t>(size_t(width), info.width), h = std::min<size_t>(size_t(height), info.height);
  for (size_t y = 0; y < h; ++y) {
    const stbi_uc* in = rgba + y * size_t(width) * 4;
    uint32_t* out = &frame.pixels[y * info.width];
    for (size_t x = 0; x < w; ++x, in += 4) out[x] = Rgb(in[0], in[1], in[2]);
  }
  stbi_image_free(rgba);
  return DecodeResult::Ok;
}

}  // namespace qtc
