// The box of a standard WMF, which has no placeable header to give one: its
// window, or else the bounds of what its records draw (see WmfConverter.h).
// Coordinates are read as the conversion reads them (WmfRecordConverter.cpp,
// WmfBitmapRecords.cpp): most records give their parameters last first.

#include <algorithm>
#include <cstdint>
#include <limits>

#include <orvane/graphics/detail/WmfConverter.h>
#include <orvane/graphics/detail/WmfRecordConverter.h>
#include <orvane/graphics/detail/WmfRecordTypes.h>

namespace orvane::vcl {

using namespace wmf;

namespace {

constexpr uint16_t kScreenUnitsPerInch = 96;
constexpr size_t kRecordHeaderWords = 3;

struct Bounds {
  int32_t left = std::numeric_limits<int32_t>::max(), top = left;
  int32_t right = std::numeric_limits<int32_t>::min(), bottom = right;

  bool Empty() const { return left > right; }
  void Add(int32_t x, int32_t y) {
    left = std::min(left, x);
    right = std::max(right, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  }
};

// What one record draws, added to `bounds`; `position` is the current position.
void AddDrawing(uint16_t function, const WmfParams& p, Bounds& bounds, WmfPoint& position) {
  const size_t n = p.Words();
  // A box as bottom, right, top, left from word `first` on.
  const auto box = [&](size_t first) {
    if (n < first + 4) return;
    bounds.Add(p.I16(first + 3), p.I16(first + 2));
    bounds.Add(p.I16(first + 1), p.I16(first));
  };
  // A destination as x at word `xWord`, then y, width and height in the words before it.
  const auto area = [&](size_t xWord) {
    if (n <= xWord) return;
    const int32_t x = p.I16(xWord), y = p.I16(xWord - 1);
    bounds.Add(x, y);
    bounds.Add(x + p.I16(xWord - 2), y + p.I16(xWord - 3));
  };
  // `count` x, y pairs from word `first` on, when they are all there.
  const auto points = [&](size_t first, size_t count) {
    if (first + 2 * count > n) return;
    for (size_t i = 0; i < count; ++i) bounds.Add(p.I16(first + 2 * i), p.I16(first + 2 * i + 1));
  };
  switch (function) {
    case kMoveTo:
      if (n >= 2) position = {p.I16(1), p.I16(0)};
      return;
    case kLineTo:
      if (n < 2) return;
      bounds.Add(position.x, position.y);
      position = {p.I16(1), p.I16(0)};
      bounds.Add(position.x, position.y);
      return;
    case kRectangle:
    case kEllipse: return box(0);
    case kRoundRect: return box(2);
    case kArc:
    case kPie:
    case kChord: return box(4);
    case kPolygon:
    case kPolyline:
      if (n >= 1) points(1, p.U16(0));
      return;
    case kPolyPolygon: {
      const size_t polygons = n >= 1 ? p.U16(0) : 0;
      if (polygons == 0 || 1 + polygons > n) return;
      size_t count = 0;
      for (size_t i = 0; i < polygons; ++i) count += p.U16(1 + i);
      return points(1 + polygons, count);
    }
    case kSetPixel:
      if (n >= 4) bounds.Add(p.I16(3), p.I16(2));
      return;
    case kTextOut: {
      const size_t textWords = n >= 1 ? (size_t{p.U16(0)} + 1) / 2 : 0;
      if (n >= 3 + textWords) bounds.Add(p.I16(2 + textWords), p.I16(1 + textWords));
      return;
    }
    case kExtTextOut:
      if (n >= 2) bounds.Add(p.I16(1), p.I16(0));
      return;
    case kPatBlt: return area(5);
    case kStretchDib: return area(10);
    case kSetDibToDev: return area(8);
    // The forms without a bitmap have one word more before the destination.
    case kDibStretchBlt: return area(n == 11 ? 10 : 9);
    case kDibBitBlt: return area(n == 9 ? 8 : 7);
    default: return;
  }
}

}  // namespace

bool MeasureStandardWmf(const uint8_t* data, size_t size, WmfBox& box) {
  if (size < 2 * 9) return false;
  const size_t headerWords = static_cast<size_t>(data[2] | (data[3] << 8));
  bool haveOrigin = false, haveExtent = false;
  WmfPoint origin, extent, position;
  Bounds bounds;
  for (size_t pos = 2 * headerWords; pos <= size && size - pos >= 2 * kRecordHeaderWords;) {
    const WmfParams record(data + pos, 3);
    const uint64_t words = record.U32(0);
    const uint16_t function = record.U16(2);
    if (words < kRecordHeaderWords || 2 * words > size - pos || function == kEof) break;
    const WmfParams p(data + pos + 2 * kRecordHeaderWords, words - kRecordHeaderWords);
    if (function == kSetWindowOrg && !haveOrigin && p.Words() >= 2) {
      origin = {p.I16(1), p.I16(0)};
      haveOrigin = true;
    } else if (function == kSetWindowExt && !haveExtent && p.Words() >= 2 && p.I16(0) != 0 && p.I16(1) != 0) {
      extent = {p.I16(1), p.I16(0)};
      haveExtent = true;
    } else if (!haveExtent) {
      AddDrawing(function, p, bounds, position);
    }
    if (haveOrigin && haveExtent) break;
    pos += 2 * words;
  }
  if (haveExtent) {
    box = WmfBox{origin.x, origin.y, origin.x + extent.x, origin.y + extent.y, kScreenUnitsPerInch};
    return true;
  }
  if (bounds.Empty()) return false;
  box = WmfBox{bounds.left, bounds.top, std::max(bounds.right, bounds.left + 1), std::max(bounds.bottom, bounds.top + 1),
               kScreenUnitsPerInch};
  return true;
}

}  // namespace orvane::vcl
