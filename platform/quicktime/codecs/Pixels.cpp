// Rows of bytes to pixels. Uncompressed films spend most of their decoding
// here, so x86 processors with SSSE3 move four pixels at a time, and those
// with AVX2 eight.
#include "Codecs.h"

#if defined(__i386__) || defined(__x86_64__)
#include <immintrin.h>
#define KX_PIXELS_X86 1
#endif

namespace qtc {

namespace {

void RgbRowPlain(const uint8_t* in, uint32_t* out, size_t n) {
  if (n == 0) return;
  for (size_t x = 0; x + 1 < n; ++x, in += 3) out[x] = RgbAt(in);
  out[n - 1] = Rgb(in[0], in[1], in[2]);
}

void RgbaRowPlain(const uint8_t* in, uint32_t* out, size_t n) {
  for (size_t x = 0; x < n; ++x, in += 4) out[x] = RgbAt(in);
}

#ifdef KX_PIXELS_X86
// The output bytes of four pixels (b, g, r and a zero: index -1) from 12
// bytes of r, g, b or 16 of r, g, b, a.
#define KX_RGB_ORDER 2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1
#define KX_RGBA_ORDER 2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1

__attribute__((target("ssse3"))) void RgbRowSsse3(const uint8_t* in, uint32_t* out, size_t n) {
  const __m128i order = _mm_setr_epi8(KX_RGB_ORDER);
  size_t x = 0;
  // A load reads 16 bytes for 12: stop while the row still has 4 to spare.
  for (; x + 6 <= n; x += 4, in += 12)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order));
  RgbRowPlain(in, out + x, n - x);
}

__attribute__((target("ssse3"))) void RgbaRowSsse3(const uint8_t* in, uint32_t* out, size_t n) {
  const __m128i order = _mm_setr_epi8(KX_RGBA_ORDER);
  size_t x = 0;
  for (; x + 4 <= n; x += 4, in += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                     _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order));
  RgbaRowPlain(in, out + x, n - x);
}

// AVX2 shuffles within each 16-byte half: each half gets its own four pixels.
__attribute__((target("avx2"))) void RgbRowAvx2(const uint8_t* in, uint32_t* out, size_t n) {
  const __m256i order = _mm256_setr_epi8(KX_RGB_ORDER, KX_RGB_ORDER);
  size_t x = 0;
  for (; x + 10 <= n; x += 8, in += 24) {
    __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in))),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 12)), 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_shuffle_epi8(v, order));
  }
  RgbRowSsse3(in, out + x, n - x);
}

__attribute__((target("avx2"))) void RgbaRowAvx2(const uint8_t* in, uint32_t* out, size_t n) {
  const __m256i order = _mm256_setr_epi8(KX_RGBA_ORDER, KX_RGBA_ORDER);
  size_t x = 0;
  for (; x + 8 <= n; x += 8, in += 32)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                        _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(in)), order));
  RgbaRowSsse3(in, out + x, n - x);
}
#endif

}  // namespace

std::vector<RowConverters> RowConvertersHere() {
  std::vector<RowConverters> here = {{"plain", RgbRowPlain, RgbaRowPlain}};
#ifdef KX_PIXELS_X86
  if (__builtin_cpu_supports("ssse3")) here.push_back({"SSSE3", RgbRowSsse3, RgbaRowSsse3});
  if (__builtin_cpu_supports("avx2")) here.push_back({"AVX2", RgbRowAvx2, RgbaRowAvx2});
#endif
  return here;
}

// The processor is asked once per row, which costs nothing beside the row.
void RgbRow(const uint8_t* in, uint32_t* out, size_t n) {
#ifdef KX_PIXELS_X86
  if (__builtin_cpu_supports("avx2")) return RgbRowAvx2(in, out, n);
  if (__builtin_cpu_supports("ssse3")) return RgbRowSsse3(in, out, n);
#endif
  RgbRowPlain(in, out, n);
}

void RgbaRow(const uint8_t* in, uint32_t* out, size_t n) {
#ifdef KX_PIXELS_X86
  if (__builtin_cpu_supports("avx2")) return RgbaRowAvx2(in, out, n);
  if (__builtin_cpu_supports("ssse3")) return RgbaRowSsse3(in, out, n);
#endif
  RgbaRowPlain(in, out, n);
}

}  // namespace qtc
