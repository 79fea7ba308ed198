#pragma once
// A drawing surface without pixels: what the rasteriser paints is kept as
// runs of one colour per row, later paint replacing earlier paint where they
// overlap, so each row ends as the list of intervals a real surface would
// show painted, with their colours. The filtered draw reduces these rows to
// colour and coverage; clip regions are read from them. Memory follows the
// number of runs, not the width times the height.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <orvane/gdi/GdiTypes.h>

namespace orvane::gdi {

// Columns [x0, x1) painted in `color` (red in the low byte, no flags).
struct PaintedRun {
  int32_t x0;
  int32_t x1;
  COLORREF color;
  friend constexpr bool operator==(const PaintedRun&, const PaintedRun&) = default;
};

class SpanRecorder {
 public:
  // Rows [top, top + rows) of a surface `width` pixels wide, none painted.
  SpanRecorder(int32_t width, int32_t top, int32_t rows);

  int32_t Width() const { return width_; }
  int32_t Top() const { return top_; }
  int32_t Rows() const { return static_cast<int32_t>(rows_.size()); }

  // Paints [x0, x1) of row y (a row held, columns within the width) over
  // whatever was painted there before. Touching runs of one colour join.
  void Paint(int32_t y, int32_t x0, int32_t x1, COLORREF color) {
    if (overLimit_) return;
    std::vector<PaintedRun>& row = rows_[static_cast<size_t>(y - top_)];
    // Drawing from left to right, as fills and bitmaps mostly do, appends.
    if (row.empty() || row.back().x1 < x0) {
      const size_t capacity = row.capacity();
      row.push_back(PaintedRun{x0, x1, color});
      if (row.capacity() != capacity) Grown(capacity, row.capacity());
    } else if (row.back().x1 == x0 && row.back().color == color) {
      row.back().x1 = x1;
    } else {
      PaintOver(row, x0, x1, color);
    }
  }

  // The runs of row y, sorted, neither overlapping nor touching in one colour.
  const std::vector<PaintedRun>& Row(int32_t y) const { return rows_[static_cast<size_t>(y - top_)]; }

  // Something was to be painted in a way that depends on the pixels under
  // it (a raster operation reading the destination): the rows do not say
  // what a real surface would show.
  void MarkReadsDestination() { readsDestination_ = true; }
  bool ReadsDestination() const { return readsDestination_; }

  // About how many bytes the rows hold.
  size_t Bytes() const { return rows_.size() * sizeof(rows_[0]) + runCapacity_ * sizeof(PaintedRun); }

  // Once the rows hold more than `bytes`, further paint is dropped and
  // OverLimit() says the rows are incomplete.
  void SetLimit(size_t bytes) { limit_ = bytes; }
  bool OverLimit() const { return overLimit_; }

 private:
  void PaintOver(std::vector<PaintedRun>& row, int32_t x0, int32_t x1, COLORREF color);
  void Grown(size_t before, size_t after) {
    runCapacity_ += after - before;
    if (Bytes() > limit_) overLimit_ = true;
  }

  int32_t width_;
  int32_t top_;
  std::vector<std::vector<PaintedRun>> rows_;
  size_t runCapacity_ = 0;  // runs the rows have room for
  size_t limit_ = SIZE_MAX;
  bool overLimit_ = false;
  bool readsDestination_ = false;
};

}  // namespace orvane::gdi
