// Rows of bytes to pixels. Uncompressed films spend nearly all their decoding
// here, so x86 processors with SSSE3 move four pixels at a time.
#include "Codecs.h"

#if defined(__i386__) || defined(__x86_64__)
#include <tmmintrin.h>
#define KX_PIXELS_SSSE3 1
#endif

namespace qtc {

void RgbRowPlain(const uint8_t* in, uint32_t* out, size_t n) {
  if (n == 0) return;
  for (size_t x = 0; x + 1 < n; ++x, in += 3) out[x] = RgbAt(in);
  out[n - 1] = Rgb(in[0], in[1], in[2]);
}

void RgbaRowPlain(const uint8_t* in, uint32_t* out, size_t n) {
  for (size_t x = 0; x < n; ++x, in += 4) out[x] = RgbAt(in);
}

namespace {

#ifdef KX_PIXELS_SSSE3
// Each 16-byte load takes four pixels; the output bytes of a pixel are b, g,
// r and a zero (index -1).
__attribute__((target("ssse3"))) void RgbRowSsse3(const uint8_t* in, uint32_t* out, size_t n) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1);
  size_t x = 0;
  // A load reads 16 bytes for 12: stop while the row still has 4 to spare.
  for (; x + 6 <= n; x += 4, in += 12)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order));
  RgbRowPlain(in, out + x, n - x);
}

__attribute__((target("ssse3"))) void RgbaRowSsse3(const uint8_t* in, uint32_t* out, size_t n) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1);
  size_t x = 0;
  for (; x + 4 <= n; x += 4, in += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order));
  RgbaRowPlain(in, out + x, n - x);
}

bool HasSsse3() { return __builtin_cpu_supports("ssse3"); }
#endif

}  // namespace

void RgbRow(const uint8_t* in, uint32_t* out, size_t n) {
#ifdef KX_PIXELS_SSSE3
  if (HasSsse3()) return RgbRowSsse3(in, out, n);
#endif
  RgbRowPlain(in, out, n);
}

void RgbaRow(const uint8_t* in, uint32_t* out, size_t n) {
#ifdef KX_PIXELS_SSSE3
  if (HasSsse3()) return RgbaRowSsse3(in, out, n);
#endif
  RgbaRowPlain(in, out, n);
}

}  // namespace qtc
