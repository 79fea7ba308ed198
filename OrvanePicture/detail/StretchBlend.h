#pragma once
// Blending one reduced stretch of a target row onto the surface's pixels:
// pixels nothing painted are left alone, pixels painted in every sample
// get the stretch's colour, the rest are blended by its coverage. A
// four-byte pixel that is written gets 0 in its fourth byte.

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/detail/CoverageOps.h>
#include <orvane/detail/RecordedRowReducer.h>

namespace orvane {

// Writes `word` to the n 32-bit pixels from p (n > 0): four at a time
// where SSE2 is there (the compiler leaves the plain loop a store a pixel).
// The last four, or fewer than four, are written over each other, so no
// loop ends on a count that varies from stretch to stretch.
inline void FillWords(uint8_t* p, int32_t n, uint32_t word) {
  const auto one = [&](int32_t x) { std::memcpy(p + 4 * x, &word, 4); };
#if defined(__SSE2__)
  if (n >= 4) {
    const __m128i four = _mm_set1_epi32(static_cast<int32_t>(word));
    for (int32_t x = 0; x + 4 < n; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * x), four);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * (n - 4)), four);
    return;
  }
  one(0);
  one(n >> 1);
  one(n - 1);
#else
  for (int32_t x = 0; x < n; ++x) one(x);
#endif
}

// The n pixels from p (`bytesPerPixel` 3 or 4 bytes each) under stretch `t`.
inline void BlendStretch(const TargetStretch& t, uint8_t* p, int32_t n, int32_t bytesPerPixel) {
  if (t.coverage == 0) return;
  if (t.coverage == 255 && bytesPerPixel == 4) {
    // Covered 32-bit pixels are one word each, the unused byte 0.
    FillWords(p, n, uint32_t{t.blue} | uint32_t{t.green} << 8 | uint32_t{t.red} << 16);
    return;
  }
  for (int32_t x = 0; x < n; ++x, p += bytesPerPixel) {
    if (t.coverage == 255) {
      p[0] = t.blue;
      p[1] = t.green;
      p[2] = t.red;
    } else {
      p[0] = BlendChannel(p[0], t.blue, t.coverage);
      p[1] = BlendChannel(p[1], t.green, t.coverage);
      p[2] = BlendChannel(p[2], t.red, t.coverage);
    }
    if (bytesPerPixel == 4) p[3] = 0;
  }
}

}  // namespace orvane
