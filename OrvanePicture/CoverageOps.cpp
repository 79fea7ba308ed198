// The two pixel loops of the filtered rendering: reduction of two key-colour
// renderings to colour and coverage, and compositing by coverage. Both work
// through row starts with 32-bit integer arithmetic only.

#include "OrvanePicture/FastBMP.h"

namespace orvane {

namespace {
// Key colours as raster bytes (blue, green, red).
constexpr uint8_t kKeyA[3] = {255, 0, 0};   // $FF0000, pure blue
constexpr uint8_t kKeyB[3] = {0, 128, 0};   // $008000, dark green

inline bool IsKey(const uint8_t* p, const uint8_t (&key)[3]) {
  return p[0] == key[0] && p[1] == key[1] && p[2] == key[2];
}
}  // namespace

void TFastBMP::ExtractCoverage(const TFastBMP& renderingB, TFastBMP& colorOut, TFastBMP& coverageOut, int32_t width,
                               int32_t height, int32_t factor) const {
  if (factor <= 0 || width <= 0 || height <= 0) return;
  const int32_t samples = factor * factor;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* colorRow = colorOut.RowStarts()[y];
    uint8_t* coverageRow = coverageOut.RowStarts()[y];
    for (int32_t x = 0; x < width; ++x) {
      int32_t count = 0, sumRed = 0, sumGreen = 0, sumBlue = 0;
      for (int32_t k = 0; k < factor; ++k) {
        const int32_t sourceRow = y * factor + k;
        const uint8_t* a = RowStarts()[sourceRow] + 3 * static_cast<ptrdiff_t>(x) * factor;
        const uint8_t* b = renderingB.RowStarts()[sourceRow] + 3 * static_cast<ptrdiff_t>(x) * factor;
        for (int32_t l = 0; l < factor; ++l, a += 3, b += 3) {
          // Background only where each rendering shows its own key colour.
          if (IsKey(a, kKeyA) && IsKey(b, kKeyB)) continue;
          ++count;
          sumBlue += a[0];
          sumGreen += a[1];
          sumRed += a[2];
        }
      }
      if (count > 0) {
        uint8_t* c = colorRow + 3 * static_cast<ptrdiff_t>(x);
        c[0] = static_cast<uint8_t>(sumBlue / count);
        c[1] = static_cast<uint8_t>(sumGreen / count);
        c[2] = static_cast<uint8_t>(sumRed / count);
      }
      const auto coverage = static_cast<uint8_t>(count * 255 / samples);
      uint8_t* v = coverageRow + 3 * static_cast<ptrdiff_t>(x);
      v[0] = v[1] = v[2] = coverage;
    }
  }
}

void TFastBMP::BlendWithCoverage(const TFastBMP& colorSource, const TFastBMP& coverage, int32_t width,
                                 int32_t height) {
  if (width <= 0 || height <= 0) return;
  // Row by row gives the same bytes as the column-major order and walks memory in order.
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* d = RowStarts()[y];
    const uint8_t* s = colorSource.RowStarts()[y];
    const uint8_t* c = coverage.RowStarts()[y];
    for (int32_t x = 0; x < width; ++x, d += 3, s += 3, c += 3) {
      const int32_t cover = c[2];
      if (cover == 0) continue;
      const int32_t keep = 255 - cover;
      for (int i = 2; i >= 0; --i) d[i] = static_cast<uint8_t>((keep * d[i]) / 255 + (cover * s[i]) / 255);
    }
  }
}

}  // namespace orvane
