#include <orvane/detail/RecordedRowReducer.h>

#include <algorithm>

#include <orvane/detail/Reciprocals.h>
#include <orvane/gdi/detail/SpanRecorder.h>

namespace orvane {

RecordedRowReducer::RecordedRowReducer(int32_t factor, int32_t firstColumn, int32_t width)
    : factor_(factor),
      from_(int64_t{firstColumn} * factor),
      to_(from_ + int64_t{width} * factor),
      width_(width),
      differences_(static_cast<size_t>(width) + 1, PixelSums{0, 0, 0, 0}),
      touched_(static_cast<size_t>(width) / 64 + 1, 0) {}

// Adds `samples` (negative: takes them away) samples of `color` to the
// difference of pixel x.
inline void RecordedRowReducer::Add(int32_t x, int32_t samples, uint32_t color) {
  PixelSums& d = differences_[static_cast<size_t>(x)];
  const uint32_t k = static_cast<uint32_t>(samples);
  d.blue += k * gdi::GetBValue(color);
  d.green += k * gdi::GetGValue(color);
  d.red += k * gdi::GetRValue(color);
  d.count += k;
  Touch(x);
}

// Samples [x0, x1) of the row (relative to its first sample) in `color`:
// the part in the first pixel, every pixel between at `factor` samples, and
// the part in the last, as differences at the four pixels where the sums
// change.
void RecordedRowReducer::AddRun(int32_t x0, int32_t x1, uint32_t color) {
  const int32_t n = factor_;
  const int32_t first = x0 / n, last = (x1 - 1) / n;
  if (first == last) {
    Add(first, x1 - x0, color);
    Add(first + 1, x0 - x1, color);
    return;
  }
  const int32_t head = (first + 1) * n - x0, tail = x1 - last * n;
  Add(first, head, color);
  Add(first + 1, n - head, color);
  Add(last, tail - n, color);
  Add(last + 1, -tail, color);
}

void RecordedRowReducer::Reduce(const gdi::SpanRecorder& samples, int32_t firstSampleRow) {
  stretches_.clear();
  for (int32_t k = 0; k < factor_; ++k) {
    const auto runs = samples.Row(firstSampleRow + k);
    auto run = std::lower_bound(runs.begin(), runs.end(), from_,
                                [](const gdi::PaintedRun& r, int64_t x) { return r.x1 <= x; });
    for (; run != runs.end() && run->x0 < to_; ++run)
      AddRun(static_cast<int32_t>(std::max<int64_t>(run->x0, from_) - from_),
             static_cast<int32_t>(std::min<int64_t>(run->x1, to_) - from_), run->color);
  }
  Touch(0);
  Touch(width_);

  const uint64_t perPixel = static_cast<uint64_t>(factor_) * static_cast<uint64_t>(factor_);
  const bool reciprocal = perPixel <= kMaxReciprocal;
  const uint64_t perSample = reciprocal ? kReciprocal.value[perPixel] : 0;
  PixelSums s{0, 0, 0, 0};
  // The touched pixels in order, each ending the stretch before it; their
  // differences are taken and cleared for the next row.
  for (size_t word = 0; word < touched_.size(); ++word) {
    for (uint64_t bits = touched_[word]; bits != 0; bits &= bits - 1) {
      const int32_t x = static_cast<int32_t>(word * 64 + static_cast<size_t>(__builtin_ctzll(bits)));
      if (!stretches_.empty()) stretches_.back().x1 = x;
      if (x == width_) break;
      PixelSums& step = differences_[static_cast<size_t>(x)];
      s.blue += step.blue;
      s.green += step.green;
      s.red += step.red;
      s.count += step.count;
      step = PixelSums{0, 0, 0, 0};
      TargetStretch t{x, x, 0, 0, 0, 0, s.count > 0};
      const uint32_t count = std::max(s.count, 1u);
      if (reciprocal) {
        const uint64_t m = kReciprocal.value[count];
        t.blue = static_cast<uint8_t>((s.blue * m) >> 32);
        t.green = static_cast<uint8_t>((s.green * m) >> 32);
        t.red = static_cast<uint8_t>((s.red * m) >> 32);
        t.coverage = static_cast<uint8_t>((uint64_t{s.count} * 255 * perSample) >> 32);
      } else {
        t.blue = static_cast<uint8_t>(s.blue / count);
        t.green = static_cast<uint8_t>(s.green / count);
        t.red = static_cast<uint8_t>(s.red / count);
        t.coverage = static_cast<uint8_t>(uint64_t{s.count} * 255 / perPixel);
      }
      stretches_.push_back(t);
    }
    touched_[word] = 0;
  }
  differences_[static_cast<size_t>(width_)] = PixelSums{0, 0, 0, 0};
}

}  // namespace orvane
