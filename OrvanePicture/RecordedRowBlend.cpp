#include <orvane/detail/RecordedRowBlend.h>

#include <algorithm>
#include <vector>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/detail/RecordedRowReducer.h>
#include <orvane/detail/StretchBlend.h>

namespace orvane {

namespace {

// Target pixels [x0, x1) of the reduced row onto `d` (the pixel of x0).
void BlendStretches(const std::vector<TargetStretch>& stretches, int32_t x0, int32_t x1, uint8_t* d,
                    int32_t bytesPerPixel) {
  auto t = std::upper_bound(stretches.begin(), stretches.end(), x0,
                            [](int32_t x, const TargetStretch& s) { return x < s.x1; });
  for (; t != stretches.end() && t->x0 < x1; ++t) {
    const int32_t from = std::max(t->x0, x0), to = std::min(t->x1, x1);
    BlendStretch(*t, d + static_cast<ptrdiff_t>(from - x0) * bytesPerPixel, to - from, bytesPerPixel);
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
  // The columns [x0, x1) of a clip rectangle within the block, relative to
  // its left; false when it has none there.
  const auto columns = [&](const gdi::Rect& rect, int32_t& x0, int32_t& x1) {
    const int64_t left = std::max<int64_t>(rect.left, blockLeft), right = std::min<int64_t>(rect.right, blockRight);
    x0 = static_cast<int32_t>(left - blockLeft);
    x1 = static_cast<int32_t>(right - blockLeft);
    return left < right;
  };
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
        const int32_t firstSampleRow = static_cast<int32_t>(row - deviceY) * factor;
        uint8_t* const pixels = surface->Row(static_cast<int32_t>(row));
        // One rectangle (the common case): the row is blended as it is reduced.
        int32_t x0 = 0, x1 = 0;
        if (end == first + 1) {
          if (columns(rects[first], x0, x1))
            reducer.ReduceOnto(*band, firstSampleRow, x0, x1, pixels + (blockLeft + x0) * bytesPerPixel, bytesPerPixel);
          continue;
        }
        reducer.Reduce(*band, firstSampleRow);
        for (size_t r = first; r < end; ++r)
          if (columns(rects[r], x0, x1))
            BlendStretches(reducer.Stretches(), x0, x1, pixels + (blockLeft + x0) * bytesPerPixel, bytesPerPixel);
      }
    }
    first = end;
  }
  return part.rows;
}

}  // namespace orvane
