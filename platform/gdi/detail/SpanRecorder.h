#pragma once
// A drawing surface without pixels: what the rasteriser paints is kept as
// runs of one colour per row, later paint replacing earlier paint where they
// overlap, so each row ends as the list of intervals a real surface would
// show painted, with their colours. The filtered draw reduces these rows to
// colour and coverage; clip regions are read from them. Memory follows the
// number of runs, not the width times the height.
//
// Paint that combines with what is under it (a raster operation that reads
// the destination, an alpha blend) is kept exactly too, relative to two key
// colours: a run holds the colour a surface first filled with key A would
// show and the one a surface filled with key B would show (PixelOp.h). An
// unpainted pixel shows the keys themselves, and paint that leaves a pixel
// showing both keys (an XOR painted twice) leaves it unpainted.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/gdi/detail/PixelOp.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// Columns [x0, x1) painted in `color` over key A and `colorB` over key B
// (red in the low byte, no flags); paint that reads nothing under it gives
// both the same colour. A run with kRepeats set in both shows colours that
// repeat along the row instead (SpanRecorder::Repeating).
struct PaintedRun {
  static constexpr COLORREF kRepeats = 0x80000000;
  int32_t x0;
  int32_t x1;
  COLORREF color;
  COLORREF colorB = 0;
  bool SameColors(const PaintedRun& o) const { return color == o.color && colorB == o.colorB; }
  bool Repeats() const { return (color & kRepeats) != 0; }
  friend constexpr bool operator==(const PaintedRun&, const PaintedRun&) = default;
};

// v modulo n (n > 0), in [0, n) also for negative v.
inline int32_t Wrap(int64_t v, int32_t n) {
  const int64_t m = v % n;
  return static_cast<int32_t>(m < 0 ? m + n : m);
}

// Colours that repeat every `width` columns, as a pattern brush lays them
// along a row: column x shows overA[ColumnOf(x)] over key A and
// overB[ColumnOf(x)] over key B, a pair equal to the keys being a pixel
// left unpainted.
struct RepeatingColors {
  static constexpr int32_t kMostWidth = 32;
  int32_t width = 0;  // at most kMostWidth
  int32_t phase = 0;  // the columns that show pattern column 0, modulo the width
  COLORREF overA[kMostWidth] = {};
  COLORREF overB[kMostWidth] = {};
  int32_t ColumnOf(int64_t x) const { return Wrap(x - phase, width); }
  friend constexpr bool operator==(const RepeatingColors&, const RepeatingColors&) = default;
};

// Memory for runs, left unwritten until rows take it (runs are aggregates,
// made as they are assigned), so a fresh block costs only the pages used.
struct FreeRunMemory {
  void operator()(PaintedRun* runs) const { ::operator delete(runs); }
};
using RunMemory = std::unique_ptr<PaintedRun[], FreeRunMemory>;

class SpanRecorder {
 public:
  // Rows [top, top + rows) of a surface `width` pixels wide, none painted,
  // each unpainted pixel showing `keyA` and `keyB`.
  SpanRecorder(int32_t width, int32_t top, int32_t rows, COLORREF keyA = 0, COLORREF keyB = 0xFFFFFF);
  ~SpanRecorder();
  SpanRecorder(const SpanRecorder&) = delete;
  SpanRecorder& operator=(const SpanRecorder&) = delete;

  // The runs a row first has room for: most rows end with about ten, and
  // each move to more room copies the row.
  static constexpr uint32_t kFirstRoom = 16;

  int32_t Width() const { return width_; }
  int32_t Top() const { return top_; }
  int32_t Rows() const { return static_cast<int32_t>(rows_.size()); }

  // Paints [x0, x1) of row y (a row held, columns within the width) over
  // whatever was painted there before. Touching runs of one colour join.
  void Paint(int32_t y, int32_t x0, int32_t x1, COLORREF color) {
    if (overLimit_) return;
    RowRuns& row = rows_[static_cast<size_t>(y - top_)];
    // Drawing from left to right, as fills and bitmaps mostly do, appends.
    if (row.size == 0 || row.runs[row.size - 1].x1 < x0) {
      if (row.size == row.capacity && !Grow(row, 1)) return;
      row.runs[row.size++] = PaintedRun{x0, x1, color, color};
      return;
    }
    PaintedRun& last = row.runs[row.size - 1];
    if (last.x1 == x0 && last.color == color && last.colorB == color) {
      last.x1 = x1;
      return;
    }
    PaintOver(row, x0, x1, color);
  }

  // Changes row y by `ops` (sorted, neither overlapping nor empty, columns
  // within the width): each pixel's colours over either key are changed as
  // a surface over that key would change them, the pixels between the runs
  // left as they are.
  void PaintOps(int32_t y, std::span<const PixelOpRun> ops);

  // Whether paint repeating every `width` columns can be kept as runs of
  // repeating colours.
  static bool CanRepeat(int32_t width) { return width > 0 && width <= RepeatingColors::kMostWidth; }

  // Changes [x0, x1) of row y (columns within the width) by operations that
  // repeat every `width` columns (CanRepeat): `repeat` holds them for
  // pattern columns [0, width) (sorted, apart, the columns between left
  // alone), x0 falling on pattern column `column`. Where the row shows one
  // colour pair, or repeating colours whose repeat and this one's share a
  // multiple of at most RepeatingColors::kMostWidth columns, for longer
  // than that multiple, the result is one run of repeating colours.
  void PaintRepeating(int32_t y, int32_t x0, int32_t x1, std::span<const PixelOpRun> repeat, int32_t width,
                      int32_t column);

  // The colours of a run that Repeats().
  const RepeatingColors& Repeating(const PaintedRun& run) const {
    return repeating_[run.color & ~PaintedRun::kRepeats];
  }
  COLORREF KeyA() const { return keyA_; }
  COLORREF KeyB() const { return keyB_; }

  // Paints [x0, x1) of row y with `pen` by the raster operation `rop`.
  void PaintRop(int32_t y, int32_t x0, int32_t x1, Rop2 rop, COLORREF pen) {
    if (x0 >= x1) return;
    const PixelOpRun run{x0, x1, PixelOp::FromRop2(rop, pen)};
    PaintOps(y, {&run, 1});
  }

  // The runs of row y, sorted, neither overlapping nor touching in one colour.
  std::span<const PaintedRun> Row(int32_t y) const {
    const RowRuns& row = rows_[static_cast<size_t>(y - top_)];
    return {row.runs, row.size};
  }

  // Pixels were to be read, or copied to or from the surface: the rows do
  // not say what a real surface would show. Marked through
  // BitmapObject::PixelsReadable only.
  void MarkReadsDestination() { readsDestination_ = true; }
  bool ReadsDestination() const { return readsDestination_; }

  // About how many bytes the rows hold (the room they have taken; the
  // blocks it is taken from hold at most one block more).
  size_t Bytes() const {
    return rows_.size() * sizeof(RowRuns) + takenRuns_ * sizeof(PaintedRun) +
           repeating_.size() * (sizeof(RepeatingColors) + kRepeatingIndexBytes);
  }

  // Once the rows hold more than `bytes`, further paint is dropped and
  // OverLimit() says the rows are incomplete.
  void SetLimit(size_t bytes) { limit_ = bytes; }
  bool OverLimit() const { return overLimit_; }

 private:
  // A row's runs: runs[0, size), with room for `capacity`.
  struct RowRuns {
    PaintedRun* runs = nullptr;
    uint32_t size = 0;
    uint32_t capacity = 0;
  };
  // Memory for runs, taken by rows from the front.
  struct Block {
    RunMemory runs;
    size_t size = 0;
  };
  // Paints [x0, x1) of the row in `color` (over either key) over what it holds.
  void PaintOver(RowRuns& row, int32_t x0, int32_t x1, COLORREF color);
  // Makes runs [first, last) of the row `count` places long, moving the rest
  // of the row once; the row's runs, or nullptr when it cannot grow.
  PaintedRun* MakeRoom(RowRuns& row, uint32_t first, uint32_t last, uint32_t count);
  // Replaces the runs of [x0, x1) by `pieces` (sorted, within [x0, x1)).
  void Replace(RowRuns& row, int32_t x0, int32_t x1, std::span<const PaintedRun> pieces);
  // Moves the row to fresh room for `extra` more runs; false, and over the
  // limit, when the row cannot have it.
  bool Grow(RowRuns& row, uint32_t extra);
  PaintedRun* Take(size_t runs);
  // The number of `colors` among the repeating colours, added when new;
  // UINT32_MAX when no more can be added.
  uint32_t Intern(const RepeatingColors& colors);
  // The colours of a run showing `colors`: one pair where every column has
  // it, else repeating colours; false when no more of those fit.
  bool RunColors(const RepeatingColors& colors, COLORREF& overA, COLORREF& overB);

  // About what the index of repeating colours takes for each.
  static constexpr size_t kRepeatingIndexBytes = 32;

  int32_t width_;
  int32_t top_;
  COLORREF keyA_, keyB_;
  std::vector<RowRuns> rows_;
  // The rows' runs live in blocks taken one after another; a row that
  // outgrows its room moves to room further on, leaving the old unused.
  // Blocks are handed on from one recorder to the next on a thread, so
  // repeated draws reuse memory already faulted in, and no block is ever
  // copied to a larger one.
  std::vector<Block> blocks_;
  // Repeating colours, each kept once, found by a hash of their contents.
  std::vector<RepeatingColors> repeating_;
  std::unordered_map<uint64_t, uint32_t> repeatingByHash_;
  size_t current_ = SIZE_MAX;  // the block rows take room from, once there is one
  size_t used_ = 0;            // runs taken from it
  size_t takenRuns_ = 0;       // room taken by rows, old room included
  size_t limit_ = SIZE_MAX;
  bool overLimit_ = false;
  bool readsDestination_ = false;
  uint32_t foundAt_ = 0;  // the first run the last PaintOver replaced or cut
};

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
