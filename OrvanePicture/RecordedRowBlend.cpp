#include <orvane/detail/RecordedRowBlend.h>

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/gdi/BitmapObject.h>
#include <orvane/detail/CoverageOps.h>
#include <orvane/detail/RecordedRowReducer.h>

namespace orvane {

namespace {

// Writes `word` to the n 32-bit pixels from p: four at a time where SSE2
// is there (the compiler leaves the plain loop a store a pixel).
inline void FillWords(uint8_t* p, int32_t n, uint32_t word) {
  int32_t x = 0;
#if defined(__SSE2__)
  const __m128i four = _mm_set1_epi32(static_cast<int32_t>(word));
  for (; x + 4 <= n; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * x), four);
#endif
  for (; x < n; ++x) std::memcpy(p + 4 * x, &word, 4);
}

// Target pixels [x0, x1) of the reduced row onto `d` (the pixel of x0).
void BlendStretches(const std::vector<TargetStretch>& stretches, int32_t x0, int32_t x1, uint8_t* d,
                    int32_t bytesPerPixel) {
  auto t = std::upper_bound(stretches.begin(), stretches.end(), x0,
                            [](int32_t x, const TargetStretch& s) { return x < s.x1; });
  for (; t != stretches.end() && t->x0 < x1; ++t) {
    const int32_t from = std::max(t->x0, x0), to = std::min(t->x1, x1);
    uint8_t* p = d + static_cast<ptrdiff_t>(from - x0) * bytesPerPixel;
    if (t->coverage == 0) continue;
    if (t->coverage == 255 && bytesPerPixel == 4) {
      // Covered 32-bit pixels are one word each, the unused byte 0.
      const uint32_t word = uint32_t{t->blue} | uint32_t{t->green} << 8 | uint32_t{t->red} << 16;
      FillWords(p, to - from, word);
      continue;
    }
    for (int32_t x = from; x < to; ++x, p += bytesPerPixel) {
      if (t->coverage == 255) {
        p[0] = t->blue;
        p[1] = t->green;
        p[2] = t->red;
      } else {
        p[0] = BlendChannel(p[0], t->blue, t->coverage);
        p[1] = BlendChannel(p[1], t->green, t->coverage);
        p[2] = BlendChannel(p[2], t->red, t->coverage);
      }
      if (bytesPerPixel == 4) p[3] = 0;
    }
  }
}

}  // namespace

int32_t BlendRecordedRows(SpanRendering& spans, int32_t factor, gdi::HDC target, int64_t deviceX, int64_t deviceY,
                          const TargetRows& part) {
  gdi::BitmapObject* surface = target->Surface();
  // A surface without pixels to write (a recording one is told it was read).
  if (!surface || !surface->PixelsReadable()) return part.rows;
  const int32_t bytesPerPixel = surface->BytesPerPixel();
  const int64_t blockLeft = deviceX + part.left, blockRight = blockLeft + part.width;
  const int64_t blockTop = deviceY + part.top, blockBottom = blockTop + part.rows;
  const gdi::Region drawable = target->HeldClip();
  const std::vector<gdi::Rect>& rects = drawable.Rects();
  RecordedRowReducer reducer(factor, part.left, part.width);
  // The clip's rectangles come in bands of equal top and bottom; each row of
  // a band is reduced once for all of them.
  for (size_t first = 0; first < rects.size();) {
    size_t end = first + 1;
    while (end < rects.size() && rects[end].top == rects[first].top) ++end;
    const int64_t top = std::max<int64_t>(rects[first].top, blockTop);
    const int64_t bottom = std::min<int64_t>(rects[first].bottom, blockBottom);
    for (int64_t row = top; row < bottom;) {
      const int32_t y = static_cast<int32_t>(row - deviceY);
      int32_t held = 0;
      const gdi::SpanRecorder* band = spans.RecordedRows(y, held);
      if (!band) return y - part.top;
      for (const int64_t last = std::min<int64_t>(bottom, row + held); row < last; ++row) {
        reducer.Reduce(*band, static_cast<int32_t>(row - deviceY) * factor);
        for (size_t r = first; r < end; ++r) {
          const int64_t left = std::max<int64_t>(rects[r].left, blockLeft);
          const int64_t right = std::min<int64_t>(rects[r].right, blockRight);
          if (left >= right) continue;
          BlendStretches(reducer.Stretches(), static_cast<int32_t>(left - blockLeft),
                         static_cast<int32_t>(right - blockLeft),
                         surface->Row(static_cast<int32_t>(row)) + static_cast<ptrdiff_t>(left) * bytesPerPixel,
                         bytesPerPixel);
        }
      }
    }
    first = end;
  }
  return part.rows;
}

}  // namespace orvane
