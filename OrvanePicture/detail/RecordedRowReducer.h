#pragma once
// One target row reduced from its N recorded sample rows by following their
// runs. The painted runs of the N rows are added up per target pixel as
// range additions on a difference array (a run costs the same however wide
// it is), and the sums change only where a run starts or ends: the row
// comes out as stretches of pixels of one colour and coverage, each worked
// out once with the arithmetic of the key-rendering reduction. Where
// nothing is painted the coverage is 0; where every sample is painted it is
// 255 and the colour is the mean (a pixel of one colour in all its samples
// gives exactly that colour).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvane {

namespace gdi {
class SpanRecorder;
struct RepeatingColors;
}

// Target pixels [x0, x1) of a row, all of one colour (the mean of their
// painted samples; meaningful only when `painted`) and coverage.
struct TargetStretch {
  int32_t x0;
  int32_t x1;
  uint8_t blue, green, red, coverage;
  bool painted;
};

class RecordedRowReducer {
 public:
  // Target columns [firstColumn, firstColumn + width) at `factor` samples a
  // pixel, a power of two (as every quality level's is).
  RecordedRowReducer(int32_t factor, int32_t firstColumn, int32_t width);

  // Reduces the target row whose sample rows start at `firstSampleRow`.
  void Reduce(const gdi::SpanRecorder& samples, int32_t firstSampleRow);

  // Reduces the target row like Reduce and blends its stretches within
  // columns [x0, x1) (relative to firstColumn) straight onto `pixels`, the
  // pixel of column x0, `bytesPerPixel` (3 or 4) bytes each, without
  // keeping them: pixels nothing painted are left alone, pixels painted in
  // every sample get the colour, the rest are blended by the coverage.
  void ReduceOnto(const gdi::SpanRecorder& samples, int32_t firstSampleRow, int32_t x0, int32_t x1, uint8_t* pixels,
                  int32_t bytesPerPixel);

  // The row's stretches, left to right, covering [0, width) (x relative to firstColumn).
  const std::vector<TargetStretch>& Stretches() const { return stretches_; }

 private:
  // Per target pixel: sums of blue, green and red of the painted samples and
  // their count, as differences from the pixel before. Unsigned arithmetic
  // wraps, and every final sum fits (at most 256 * 255 a channel).
  struct PixelSums {
    uint32_t blue, green, red, count;
  };
  // Adds the runs of the target row's sample rows to the differences.
  void AddRows(const gdi::SpanRecorder& samples, int32_t firstSampleRow);
  // Sums the differences up, clearing them, and hands each stretch of the
  // row to `take`, left to right.
  template <class Take>
  void TakeStretches(const Take& take);
  // Samples [x0, x1) in repeating colours (their pixels over key A, the
  // pixels showing both keys unpainted).
  void AddRepeatingRun(int32_t x0, int32_t x1, const gdi::RepeatingColors& colors, uint32_t keyA, uint32_t keyB);
  void AddSums(int32_t x, const PixelSums& sums) {
    PixelSums& d = differences_[static_cast<size_t>(x)];
    d.blue += sums.blue, d.green += sums.green, d.red += sums.red, d.count += sums.count;
    Touch(x);
  }
  void Touch(int32_t x) { touched_[static_cast<size_t>(x)] = 1; }

  int32_t factor_;
  int32_t shift_;  // log2 of the factor: pixels are found by a shift, not a division
  int64_t from_, to_;  // the sample columns of the row
  int32_t width_;
  std::vector<PixelSums> differences_;  // zero but at the touched pixels
  // A byte per pixel whose difference may be nonzero (a store is cheaper
  // than setting a bit), in whole blocks of 64 for scanning.
  std::vector<uint8_t> touched_;
  std::vector<TargetStretch> stretches_;
};

}  // namespace orvane
