// Reduction of recorded sample rows to colour and coverage rasters, a
// target row at a time by following the rows' runs.

#include <algorithm>
#include <bit>

#include <orvane/detail/CoverageOps.h>
#include <orvane/detail/RecordedRowReducer.h>

namespace orvane {

void ReduceRecordedRows(const gdi::SpanRecorder& samples, int32_t firstRow, int32_t firstColumn,
                        const TripleRows& color, const TripleRows& coverage, int32_t width, int32_t height,
                        int32_t factor) {
  if (factor <= 0 || !std::has_single_bit(static_cast<uint32_t>(factor)) || width <= 0 || height <= 0 ||
      firstColumn < 0)
    return;
  RecordedRowReducer reducer(factor, firstColumn, width);
  for (int32_t y = 0; y < height; ++y) {
    reducer.Reduce(samples, firstRow + y * factor);
    uint8_t* const c = color.Row(y);
    uint8_t* const v = coverage.Row(y);
    for (const TargetStretch& t : reducer.Stretches()) {
      if (t.painted)
        for (int32_t x = t.x0; x < t.x1; ++x) {
          c[3 * x] = t.blue;
          c[3 * x + 1] = t.green;
          c[3 * x + 2] = t.red;
        }
      std::fill(v + 3 * t.x0, v + 3 * t.x1, t.coverage);
    }
  }
}

}  // namespace orvane
