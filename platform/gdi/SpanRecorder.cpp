#include <orvane/gdi/SpanRecorder.h>

#include <algorithm>
#include <cstdint>

namespace orvane::gdi {

SpanRecorder::SpanRecorder(int32_t width, int32_t top, int32_t rows)
    : width_(width), top_(top), rows_(static_cast<size_t>(rows > 0 ? rows : 0)) {}

void SpanRecorder::PaintOver(std::vector<PaintedRun>& row, int32_t x0, int32_t x1, COLORREF color) {
  // The runs that overlap or touch [x0, x1): from the first ending at or
  // after x0 to the last starting at or before x1.
  const auto first = std::lower_bound(row.begin(), row.end(), x0,
                                      [](const PaintedRun& r, int32_t x) { return r.x1 < x; });
  auto last = std::upper_bound(first, row.end(), x1, [](int32_t x, const PaintedRun& r) { return x < r.x0; });
  PaintedRun pieces[3];
  int count = 0;
  PaintedRun painted{x0, x1, color};
  if (first != last) {
    const PaintedRun left = *first, right = *(last - 1);
    if (left.x0 < x0 || (left.x1 == x0 && left.color != color)) {
      if (left.color == color) painted.x0 = left.x0;
      else pieces[count++] = PaintedRun{left.x0, std::min(left.x1, x0), left.color};
    }
    pieces[count++] = painted;
    if (right.x1 > x1 || (right.x0 == x1 && right.color != color)) {
      if (right.color == color) pieces[count - 1].x1 = right.x1;
      else pieces[count++] = PaintedRun{std::max(right.x0, x1), right.x1, right.color};
    }
  } else {
    pieces[count++] = painted;
  }
  // Replace [first, last) by the pieces, moving the rest of the row once.
  const ptrdiff_t removed = last - first;
  const ptrdiff_t index = first - row.begin();
  if (count > removed) {
    const size_t capacity = row.capacity();
    row.insert(row.begin() + index + removed, static_cast<size_t>(count - removed), PaintedRun{});
    if (row.capacity() != capacity) Grown(capacity, row.capacity());
  } else if (count < removed) {
    row.erase(row.begin() + index + count, row.begin() + index + removed);
  }
  std::copy(pieces, pieces + count, row.begin() + index);
}

}  // namespace orvane::gdi
