#include <orvane/gdi/RectangleShape.h>
#include <orvane/gdi/detail/BrushPaint.h>

#include <array>
#include <utility>

namespace orvane::gdi {

namespace {

// 8 x 8 hatch masks, one byte a row, bit 7 the leftmost pixel. The
// horizontal line lies on row 3 of the cell and the vertical one on column
// 4, as the platform draws them.
constexpr std::array<std::array<uint8_t, 8>, 6> kHatchRows = {{
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal (\)
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal (/)
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
}};

struct HatchCache {
  PatternImage image;
  std::array<uint8_t, 64> mask{};
};

// Builds the 8 x 8 pattern of a hatch brush: hatch lines in the brush colour,
// the rest in the background colour (opaque mode) or left alone (transparent).
const HatchCache& HatchPattern(HatchStyle style, COLORREF fore, COLORREF back, bool opaque) {
  thread_local HatchCache cache;
  cache.image.width = cache.image.height = 8;
  cache.image.pixels.assign(64, back);
  const auto& rows = kHatchRows[static_cast<size_t>(style) % kHatchRows.size()];
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const bool on = (rows[static_cast<size_t>(y)] >> (7 - x)) & 1;
      cache.image.pixels[static_cast<size_t>(y * 8 + x)] = on ? fore : back;
      cache.mask[static_cast<size_t>(y * 8 + x)] = (on || opaque) ? 1 : 0;
    }
  }
  return cache;
}

}  // namespace

bool BrushPaint(const DeviceContext& dc, const Brush& brush, Paint& paint) {
  paint = Paint::Solid(brush.color & 0xFFFFFF, dc.rop2);
  paint.patternOrigin = dc.brushOrigin;
  switch (brush.style) {
    case BrushStyle::Null: return false;
    case BrushStyle::Solid: return true;
    case BrushStyle::Hatched: {
      const HatchCache& h = HatchPattern(brush.hatch, brush.color & 0xFFFFFF, dc.bkColor & 0xFFFFFF,
                                         dc.bkMode == BackgroundMode::Opaque);
      paint.pattern = &h.image;
      paint.patternMask = h.mask.data();
      return true;
    }
    case BrushStyle::Pattern:
      if (!brush.pattern || brush.pattern->width <= 0 || brush.pattern->height <= 0) return true;
      paint.pattern = brush.pattern.get();
      return true;
  }
  return true;
}

const std::vector<uint32_t>& CosmeticDashes(const Pen& pen) {
  static const std::vector<uint32_t> none, dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6},
      dashDotDot{9, 3, 3, 3, 3, 3}, alternate{1, 1};
  switch (pen.style) {
    case PenStyle::Dash: return dash;
    case PenStyle::Dot: return dot;
    case PenStyle::DashDot: return dashDot;
    case PenStyle::DashDotDot: return dashDotDot;
    case PenStyle::Alternate: return alternate;
    case PenStyle::UserStyle: return pen.userDashes.empty() ? none : pen.userDashes;
    default: return none;
  }
}

bool FillRect(HDC dc, const Rect& logical, const Brush& brush) {
  if (!dc) return false;
  Paint paint;
  if (!BrushPaint(*dc, brush, paint)) return true;
  RenderTarget target(*dc);
  target.SetPaint(paint);
  target.FillRect(logical.Offset(dc->origin.x, dc->origin.y));
  return true;
}

bool Rectangle(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (!dc) return false;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  const Rect r = Rect{x1, y1, x2, y2}.Offset(dc->origin.x, dc->origin.y);
  RenderTarget target(*dc);
  const Pen& pen = dc->pen;
  const bool hasPen = pen.style != PenStyle::Null;
  const int32_t w = hasPen ? std::max(1, pen.width) : 0;

  Paint brushPaint;
  if (BrushPaint(*dc, dc->brush, brushPaint)) {
    target.SetPaint(brushPaint);
    if (!hasPen) target.FillRect(Rect{r.left, r.top, r.right - 1, r.bottom - 1});
    else target.FillRect(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  }
  if (!hasPen || r.IsEmpty()) return true;

  const COLORREF penColor = pen.color & 0xFFFFFF;
  const auto& dashes = CosmeticDashes(pen);
  if (w > 1 && dashes.empty()) {
    // A wide solid pen centred on the one-pixel border.
    target.SetPaint(Paint::Solid(penColor, dc->rop2));
    const int32_t lo = (w - 1) / 2, hi = w / 2;
    target.FillRect(Rect{r.left - lo, r.top - lo, r.right + hi, r.top + 1 + hi});            // top
    target.FillRect(Rect{r.left - lo, r.bottom - 1 - lo, r.right + hi, r.bottom + hi});      // bottom
    target.FillRect(Rect{r.left - lo, r.top + 1 + hi, r.left + 1 + hi, r.bottom - 1 - lo});  // left
    target.FillRect(Rect{r.right - 1 - lo, r.top + 1 + hi, r.right + hi, r.bottom - 1 - lo});  // right
    return true;
  }

  // A cosmetic border, walked clockwise from the top-left corner as the closed
  // polyline (x1,y1) (x2-1,y1) (x2-1,y2-1) (x1,y2-1), each pixel once, with
  // the dash pattern running on around the corners.
  const Paint on = Paint::Solid(penColor, dc->rop2);
  const bool opaqueGaps = dc->bkMode == BackgroundMode::Opaque;
  const Paint off = Paint::Solid(dc->bkColor & 0xFFFFFF, dc->rop2);
  uint64_t period = 0;
  for (uint32_t d : dashes) period += d;
  // Whether the pixel at position `p` along the border falls on a dash.
  auto dashOn = [&](uint64_t p) {
    if (period == 0) return true;
    p %= period;
    for (size_t i = 0;; i = (i + 1) % dashes.size()) {
      if (p < dashes[i]) return i % 2 == 0;
      p -= dashes[i];
    }
  };
  const Rect clip = target.HeldClipBounds();
  // Plots positions first..first+count-1 of one side, pixel k at (x0 + k*dx, y0 + k*dy),
  // visiting only the pixels inside the clip bounds.
  auto side = [&](uint64_t first, int64_t x0, int64_t y0, int dx, int dy, int64_t count) {
    int64_t kFrom = 0, kTo = count;
    auto limit = [&](int64_t start, int d, int64_t lo, int64_t hi) {
      if (d == 0) {
        if (start < lo || start >= hi) kTo = 0;
        return;
      }
      const int64_t a = d > 0 ? lo - start : start - (hi - 1);
      const int64_t b = d > 0 ? hi - start : start - lo + 1;
      kFrom = std::max(kFrom, a);
      kTo = std::min(kTo, b);
    };
    limit(x0, dx, clip.left, clip.right);
    limit(y0, dy, clip.top, clip.bottom);
    for (int64_t k = kFrom; k < kTo; ++k) {
      const bool drawOn = dashOn(first + static_cast<uint64_t>(k));
      if (!drawOn && !opaqueGaps) continue;
      target.SetPaint(drawOn ? on : off);
      const auto x = static_cast<int32_t>(x0 + k * dx);
      target.Span(static_cast<int32_t>(y0 + k * dy), x, x + 1);
    }
  };
  const int64_t L = r.left, T = r.top, R = int64_t{r.right} - 1, B = int64_t{r.bottom} - 1;
  if (L == R || T == B) {  // degenerate: a single row or column
    if (T == B) side(0, L, T, 1, 0, R - L + 1);
    else side(0, L, T, 0, 1, B - T + 1);
    return true;
  }
  const int64_t w1 = R - L, h1 = B - T;
  side(0, L, T, 1, 0, w1);
  side(static_cast<uint64_t>(w1), R, T, 0, 1, h1);
  side(static_cast<uint64_t>(w1 + h1), R, B, -1, 0, w1);
  side(static_cast<uint64_t>(2 * w1 + h1), L, B, 0, -1, h1);
  return true;
}

}  // namespace orvane::gdi
