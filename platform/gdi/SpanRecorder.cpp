#include <orvane/gdi/detail/SpanRecorder.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvane::gdi {

namespace {

// Runs in a block: 768 KiB. A row that needs more gets a block of its own.
constexpr size_t kBlockRuns = size_t{1} << 16;
// Repeating colours a recorder keeps at most.
constexpr size_t kMostRepeating = size_t{1} << 16;
// Blocks kept between recorders on this thread.
constexpr size_t kKeptBlocks = 32;
thread_local std::vector<RunMemory> keptBlocks;

// Calls `add(x, x + 1, overA, overB)` for each column of [a, b) in `colors`.
template <class Add>
void AddColumns(const RepeatingColors& colors, int32_t a, int32_t b, const Add& add) {
  for (int32_t x = a; x < b; ++x) add(x, x + 1, colors.overA[colors.ColumnOf(x)], colors.overB[colors.ColumnOf(x)]);
}

}  // namespace

SpanRecorder::SpanRecorder(int32_t width, int32_t top, int32_t rows, COLORREF keyA, COLORREF keyB)
    : width_(width), top_(top), keyA_(keyA), keyB_(keyB), rows_(static_cast<size_t>(rows > 0 ? rows : 0)) {}

SpanRecorder::~SpanRecorder() {
  for (Block& block : blocks_)
    if (block.size == kBlockRuns && keptBlocks.size() < kKeptBlocks) keptBlocks.push_back(std::move(block.runs));
}

PaintedRun* SpanRecorder::Take(size_t runs) {
  takenRuns_ += runs;
  if (Bytes() > limit_) overLimit_ = true;
  if (current_ < blocks_.size() && blocks_[current_].size - used_ >= runs) {
    PaintedRun* room = blocks_[current_].runs.get() + used_;
    used_ += runs;
    return room;
  }
  const size_t size = std::max(runs, kBlockRuns);
  Block block;
  block.size = size;
  if (size == kBlockRuns && !keptBlocks.empty()) {
    block.runs = std::move(keptBlocks.back());
    keptBlocks.pop_back();
  } else {
    block.runs.reset(static_cast<PaintedRun*>(::operator new(size * sizeof(PaintedRun))));
  }
  blocks_.push_back(std::move(block));
  // A block of a row's own is used up at once; others are filled from the front.
  if (size > kBlockRuns) return blocks_.back().runs.get();
  current_ = blocks_.size() - 1;
  used_ = runs;
  return blocks_[current_].runs.get();
}

bool SpanRecorder::Grow(RowRuns& row, uint32_t extra) {
  const size_t capacity = std::max<size_t>(kFirstRoom, 2 * (size_t{row.size} + extra));
  if (capacity > UINT32_MAX) {
    overLimit_ = true;
    return false;
  }
  PaintedRun* room = Take(capacity);
  std::copy_n(row.runs, row.size, room);
  row.runs = room;
  row.capacity = static_cast<uint32_t>(capacity);
  return true;
}

namespace {

// Moves `n` runs from `from` to `to`, the two ranges overlapping either
// way. Rows move by a few runs at a time (three on average): a loop of one
// 16-byte copy a run beats a call to memmove.
inline void MoveRuns(PaintedRun* to, const PaintedRun* from, uint32_t n) {
  static_assert(sizeof(PaintedRun) == 16);
#if defined(__SSE2__)
  const auto copy = [](PaintedRun* t, const PaintedRun* f) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(t), _mm_loadu_si128(reinterpret_cast<const __m128i*>(f)));
  };
#else
  const auto copy = [](PaintedRun* t, const PaintedRun* f) { std::memcpy(t, f, sizeof(PaintedRun)); };
#endif
  if (to > from) {
    for (uint32_t i = n; i-- > 0;) copy(to + i, from + i);
  } else {
    for (uint32_t i = 0; i < n; ++i) copy(to + i, from + i);
  }
}

#if defined(__SSE2__)
// Moves kRuns runs from `from` to `to`, all read before any is written.
template <int kRuns>
inline void MoveBlock(PaintedRun* to, const PaintedRun* from) {
  __m128i block[kRuns];
#pragma GCC unroll 8
  for (int i = 0; i < kRuns; ++i) block[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
#pragma GCC unroll 8
  for (int i = 0; i < kRuns; ++i) _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), block[i]);
}
#endif

}  // namespace

// Inlined where it is used: painting over calls it for nearly every paint.
[[gnu::always_inline]] inline PaintedRun* SpanRecorder::MakeRoom(RowRuns& row, uint32_t first, uint32_t last,
                                                                  uint32_t count) {
  const uint32_t removed = last - first;
  if (count > removed && row.size + (count - removed) > row.capacity && !Grow(row, count - removed)) return nullptr;
  PaintedRun* runs = row.runs;
  if (count != removed) {
    const uint32_t tail = row.size - last, to = first + count;
#if defined(__SSE2__)
    // Most rows move a few runs: up to four, or else up to eight, move as
    // one block, read whole before it is written (so overlap either way is
    // safe), whatever their number, with no loop to mispredict; room past
    // the row's end is read and written but not used.
    const uint32_t reach = std::max(to, last);
    if (tail <= 4 && reach + 4 <= row.capacity) MoveBlock<4>(runs + to, runs + last);
    else if (tail <= 8 && reach + 8 <= row.capacity) MoveBlock<8>(runs + to, runs + last);
    else
#endif
      MoveRuns(runs + to, runs + last, tail);
  }
  row.size = row.size + count - removed;
  return runs;
}

void SpanRecorder::PaintOver(RowRuns& row, int32_t x0, int32_t x1, COLORREF color) {
  PaintedRun* runs = row.runs;
  // The runs that overlap or touch [x0, x1): from the first ending at or
  // after x0 to the last starting at or before x1.
  // Rows painted one after another mostly have their runs alike: where the
  // last paint found its first run is tried before searching.
  uint32_t first = foundAt_;
  if (first >= row.size || runs[first].x1 < x0 || (first > 0 && runs[first - 1].x1 >= x0)) {
    first = 0;
    uint32_t after = row.size;
    while (first < after) {
      const uint32_t mid = (first + after) / 2;
      if (runs[mid].x1 < x0) first = mid + 1;
      else after = mid;
    }
  }
  foundAt_ = first;
  uint32_t last = first;
  while (last < row.size && runs[last].x0 <= x1) ++last;
  // Only the first of them can reach left of x0 and only the last right of
  // x1: one of the paint's colour widens it, one of another keeps its part
  // outside. A run touching [x0, x1) reaches outside it, so neither case
  // needs more. The part kept on the left is the first run cut short where
  // it lies; the part on the right is written after the new run.
  const auto ofThePaint = [color](const PaintedRun& run) { return run.color == color && run.colorB == color; };
  int32_t from = x0, to = x1;
  bool keepLeft = false, keepRight = false;
  int32_t rightEnd = 0;
  COLORREF rightA = 0, rightB = 0;
  if (first != last) {
    const PaintedRun& left = runs[first];
    if (left.x0 < x0) {
      if (ofThePaint(left)) from = left.x0;
      else keepLeft = true;
    }
    const PaintedRun& right = runs[last - 1];
    if (right.x1 > x1) {
      if (ofThePaint(right)) {
        to = right.x1;
      } else {
        keepRight = true;
        rightEnd = right.x1;
        rightA = right.color;
        rightB = right.colorB;
      }
    }
  }
  const uint32_t kept = first + keepLeft;
  runs = MakeRoom(row, kept, last, 1u + keepRight);
  if (!runs) return;
  if (keepLeft) runs[first].x1 = x0;
  // Written field by field: a block copy of runs just built stalls on reading them back.
  PaintedRun* out = runs + kept;
  *out = PaintedRun{from, to, color, color};
  if (keepRight) out[1] = PaintedRun{x1, rightEnd, rightA, rightB};
}

void SpanRecorder::PaintOps(int32_t y, std::span<const PixelOpRun> ops) {
  if (overLimit_ || ops.empty()) return;
  RowRuns& row = rows_[static_cast<size_t>(y - top_)];
  const PaintedRun* runs = row.runs;
  const int32_t from = ops.front().x0, to = ops.back().x1;
  uint32_t i = static_cast<uint32_t>(
      std::lower_bound(runs, runs + row.size, from, [](const PaintedRun& r, int32_t x) { return r.x1 <= x; }) - runs);
  // Each piece starts at an operation's or a run's edge, or at a column of
  // repeating colours: room for that many is taken once, and pieces are
  // written into it without a call each.
  thread_local std::vector<PaintedRun> room;
  size_t most = 2 * (ops.size() + row.size) + 2;
  for (uint32_t k = i; k < row.size && runs[k].x0 < to; ++k)
    if (runs[k].Repeats()) most += static_cast<size_t>(std::min(runs[k].x1, to) - std::max(runs[k].x0, from));
  if (room.size() < most) room.resize(most);
  PaintedRun* const first = room.data();
  PaintedRun* last = first;
  // What [from, to) shows afterwards, piece by piece; a stretch left showing
  // both keys is unpainted.
  const auto add = [&](int32_t a, int32_t b, COLORREF overA, COLORREF overB) {
    if (overA == keyA_ && overB == keyB_) return;
    if (last != first && last[-1].x1 == a && last[-1].color == overA && last[-1].colorB == overB)
      last[-1].x1 = b;
    else
      *last++ = PaintedRun{a, b, overA, overB};
  };
  // Calls `f(a, b, overA, overB, under)` for the stretches of [a0, b0) of
  // one run or gap as the row shows them now; `under` holds the repeating
  // colours of a run that has them (then overA and overB are the run's
  // own). Runs ending before a0 have been passed.
  const auto stretches = [&](int32_t a0, int32_t b0, auto&& f) {
    while (i < row.size && runs[i].x1 <= a0) ++i;
    int32_t at = a0;
    for (uint32_t k = i; k < row.size && runs[k].x0 < b0; ++k) {
      if (runs[k].x0 > at) f(at, runs[k].x0, keyA_, keyB_, nullptr);
      const int32_t end = std::min(runs[k].x1, b0);
      f(std::max(runs[k].x0, at), end, runs[k].color, runs[k].colorB,
        runs[k].Repeats() ? &Repeating(runs[k]) : nullptr);
      at = end;
    }
    if (at < b0) f(at, b0, keyA_, keyB_, nullptr);
  };
  const auto keep = [&](int32_t a, int32_t b, COLORREF overA, COLORREF overB, const RepeatingColors*) {
    add(a, b, overA, overB);
  };
  // Paint that reads nothing and leaves no gap replaces all under it.
  bool replaces = true;
  for (size_t k = 0; k < ops.size() && replaces; ++k)
    replaces = ops[k].op.kind == PixelOp::Kind::Bits && ops[k].op.keep == 0 && (k == 0 || ops[k - 1].x1 == ops[k].x0);
  if (replaces) {
    for (const PixelOpRun& run : ops) add(run.x0, run.x1, run.op.flip, run.op.flip);
    Replace(row, from, to, {first, last});
    return;
  }
  RepeatingColors made;
  int32_t at = from;
  for (const PixelOpRun& run : ops) {
    if (run.x0 > at) stretches(at, run.x0, keep);
    const PixelOp& op = run.op;
    if (op.kind == PixelOp::Kind::Bits && op.keep == 0) {
      add(run.x0, run.x1, op.flip, op.flip);
    } else {
      stretches(run.x0, run.x1, [&](int32_t a, int32_t b, COLORREF overA, COLORREF overB,
                                    const RepeatingColors* under) {
        if (!under) {
          add(a, b, op.Apply(overA), op.Apply(overB));
          return;
        }
        // Over repeating colours the result repeats too, column by column.
        made = *under;
        for (int32_t c = 0; c < made.width; ++c) {
          made.overA[c] = op.Apply(made.overA[c]);
          made.overB[c] = op.Apply(made.overB[c]);
        }
        COLORREF madeA, madeB;
        if (b - a > made.width && RunColors(made, madeA, madeB)) {
          add(a, b, madeA, madeB);
          return;
        }
        AddColumns(made, a, b, add);
      });
    }
    at = run.x1;
  }
  Replace(row, from, to, {first, last});
}

bool SpanRecorder::RunColors(const RepeatingColors& colors, COLORREF& overA, COLORREF& overB) {
  const int32_t width = colors.width;
  if (std::equal(colors.overA + 1, colors.overA + width, colors.overA) &&
      std::equal(colors.overB + 1, colors.overB + width, colors.overB)) {
    overA = colors.overA[0];
    overB = colors.overB[0];
    return true;
  }
  const uint32_t index = Intern(colors);
  if (index == UINT32_MAX) return false;
  overA = overB = PaintedRun::kRepeats | index;
  return true;
}

uint32_t SpanRecorder::Intern(const RepeatingColors& colors) {
  uint64_t hash =
      0xCBF29CE484222325ull ^ static_cast<uint64_t>(colors.width) << 8 ^ static_cast<uint64_t>(colors.phase);
  for (int32_t c = 0; c < colors.width; ++c)
    hash = (hash ^ (uint64_t{colors.overA[c]} << 32 | colors.overB[c])) * 0x100000001B3ull;
  const auto known = repeatingByHash_.find(hash);
  if (known != repeatingByHash_.end() && repeating_[known->second] == colors) return known->second;
  // Colours are never given back while the recorder lives, and a band of
  // one row has no limit: past this many (about 19 MiB), paint is laid
  // column by column as runs, which later paint replaces. Two colours of
  // one hash keep only the first findable.
  if (repeating_.size() >= kMostRepeating) return UINT32_MAX;
  const uint32_t index = static_cast<uint32_t>(repeating_.size());
  repeating_.push_back(colors);
  if (known == repeatingByHash_.end()) repeatingByHash_.emplace(hash, index);
  if (Bytes() > limit_) overLimit_ = true;
  return index;
}

void SpanRecorder::PaintRepeating(int32_t y, int32_t x0, int32_t x1, std::span<const PixelOpRun> repeat,
                                  int32_t width, int32_t column) {
  if (overLimit_ || x0 >= x1 || repeat.empty() || !CanRepeat(width)) return;
  RowRuns& row = rows_[static_cast<size_t>(y - top_)];
  // The operation of each pattern column; none where it is left alone.
  const PixelOp* opOf[RepeatingColors::kMostWidth] = {};
  bool replaces = true;
  for (const PixelOpRun& run : repeat)
    for (int32_t c = std::max(run.x0, 0); c < std::min(run.x1, width); ++c) opOf[c] = &run.op;
  for (int32_t c = 0; c < width && replaces; ++c)
    replaces = opOf[c] && opOf[c]->kind == PixelOp::Kind::Bits && opOf[c]->keep == 0;
  RepeatingColors made;
  made.width = width;
  made.phase = Wrap(int64_t{x0} - column, width);

  thread_local std::vector<PaintedRun> pieces;
  pieces.clear();
  const auto add = [&](int32_t a, int32_t b, COLORREF overA, COLORREF overB) {
    if (overA == keyA_ && overB == keyB_) return;
    if (!pieces.empty() && pieces.back().x1 == a && pieces.back().color == overA && pieces.back().colorB == overB)
      pieces.back().x1 = b;
    else
      pieces.push_back(PaintedRun{a, b, overA, overB});
  };
  // [a, b) in the colours made, or a column at a time once no more
  // repeating colours fit.
  const auto addMade = [&](int32_t a, int32_t b) {
    COLORREF overA, overB;
    if (RunColors(made, overA, overB)) {
      add(a, b, overA, overB);
      return;
    }
    AddColumns(made, a, b, add);
  };
  const auto result = [&](int32_t c, COLORREF& overA, COLORREF& overB) {
    if (!opOf[c]) return;
    overA = opOf[c]->Apply(overA);
    overB = opOf[c]->Apply(overB);
  };

  if (replaces) {
    for (int32_t c = 0; c < width; ++c) made.overA[c] = made.overB[c] = opOf[c]->flip;
    addMade(x0, x1);
    Replace(row, x0, x1, pieces);
    return;
  }
  // What the row shows over [a, b): one pair, or the repeating colours
  // `under`; the result repeats with both their repeats.
  const int32_t phase = made.phase;
  const auto paintOver = [&](int32_t a, int32_t b, COLORREF pairA, COLORREF pairB, const RepeatingColors* under) {
    const int32_t both = under ? std::lcm(width, under->width) : width;
    if (b - a > both && both <= RepeatingColors::kMostWidth) {
      made.width = both;
      made.phase = phase;
      for (int32_t c = 0; c < both; ++c) {
        const int32_t u = under ? under->ColumnOf(int64_t{phase} + c) : 0;
        made.overA[c] = under ? under->overA[u] : pairA;
        made.overB[c] = under ? under->overB[u] : pairB;
        result(c % width, made.overA[c], made.overB[c]);
      }
      std::fill(made.overA + both, made.overA + RepeatingColors::kMostWidth, 0);
      std::fill(made.overB + both, made.overB + RepeatingColors::kMostWidth, 0);
      addMade(a, b);
      return;
    }
    for (int32_t x = a, c = Wrap(int64_t{a} - phase, width); x < b; ++x) {
      COLORREF overA = under ? under->overA[under->ColumnOf(x)] : pairA;
      COLORREF overB = under ? under->overB[under->ColumnOf(x)] : pairB;
      result(c, overA, overB);
      add(x, x + 1, overA, overB);
      if (++c == width) c = 0;
    }
  };
  const PaintedRun* runs = row.runs;
  uint32_t k = static_cast<uint32_t>(
      std::lower_bound(runs, runs + row.size, x0, [](const PaintedRun& r, int32_t x) { return r.x1 <= x; }) - runs);
  int32_t at = x0;
  for (; k < row.size && runs[k].x0 < x1; ++k) {
    if (runs[k].x0 > at) paintOver(at, runs[k].x0, keyA_, keyB_, nullptr);
    const int32_t a = std::max(runs[k].x0, at), b = std::min(runs[k].x1, x1);
    paintOver(a, b, runs[k].color, runs[k].colorB, runs[k].Repeats() ? &Repeating(runs[k]) : nullptr);
    at = b;
  }
  if (at < x1) paintOver(at, x1, keyA_, keyB_, nullptr);
  Replace(row, x0, x1, pieces);
}

void SpanRecorder::Replace(RowRuns& row, int32_t x0, int32_t x1, std::span<const PaintedRun> pieces) {
  // The runs that overlap or touch [x0, x1), [first, last), and what takes
  // their place: their parts outside [x0, x1) around the pieces (joined
  // already among themselves), touching runs of the same colours joined.
  PaintedRun* runs = row.runs;
  const uint32_t first = static_cast<uint32_t>(
      std::lower_bound(runs, runs + row.size, x0, [](const PaintedRun& r, int32_t x) { return r.x1 < x; }) - runs);
  uint32_t last = first;
  while (last < row.size && runs[last].x0 <= x1) ++last;
  // Only the first of them can reach left of x0, only the last right of x1.
  PaintedRun left{}, right{};
  const bool hasLeft = first < last && runs[first].x0 < x0;
  const bool hasRight = first < last && runs[last - 1].x1 > x1;
  if (hasLeft) left = PaintedRun{runs[first].x0, std::min(runs[first].x1, x0), runs[first].color, runs[first].colorB};
  if (hasRight)
    right = PaintedRun{std::max(runs[last - 1].x0, x1), runs[last - 1].x1, runs[last - 1].color, runs[last - 1].colorB};
  const bool joinLeft = hasLeft && !pieces.empty() && pieces.front().x0 == left.x1 && pieces.front().SameColors(left);
  const bool joinRight =
      hasRight && !pieces.empty() && pieces.back().x1 == right.x0 && pieces.back().SameColors(right);
  const uint32_t count = static_cast<uint32_t>(hasLeft + hasRight + pieces.size() - joinLeft - joinRight);
  runs = MakeRoom(row, first, last, count);
  if (!runs) return;
  PaintedRun* out = runs + first;
  if (hasLeft) *out++ = left;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i == 0 && joinLeft) out[-1].x1 = pieces[0].x1;
    else *out++ = pieces[i];
  }
  if (joinRight) out[-1].x1 = right.x1;
  else if (hasRight) *out = right;
}

}  // namespace orvane::gdi
