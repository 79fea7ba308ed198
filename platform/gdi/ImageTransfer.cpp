// Drawing images into device space: stretched by a rule and a stretch
// mode, with raster operations, masks and alpha.

#include <orvane/gdi/DibImage.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/detail/ImageDrawing.h>
#include <orvane/gdi/detail/SourceSampler.h>

namespace orvane::gdi {

namespace {

// --- Axis-aligned stretching --------------------------------------------------

// A ternary raster operation whose result does not depend on the pattern is
// a function of source and destination alone: its low nibble is then the
// same truth table as a binary raster operation's (source in the pen's place).
Rop2 SourceRop(uint32_t rasterOp) {
  const uint32_t table = (rasterOp >> 16) & 0xFF;
  if ((table >> 4) != (table & 15)) return Rop2::CopyPen;
  return static_cast<Rop2>((table & 15) + 1);
}

bool UsesSource(Rop2 rop) {
  return rop != Rop2::Black && rop != Rop2::White && rop != Rop2::Not && rop != Rop2::Nop;
}

// Rounds a device coordinate to a whole pixel, half away from zero, kept
// within the 32-bit range; false when it is not a number.
bool DevicePixel(double v, int64_t& out) {
  if (std::isnan(v)) return false;
  constexpr double lim = 2147483647.0;
  v = v < -lim ? -lim : v > lim ? lim : v;
  out = static_cast<int64_t>(std::round(v));
  return true;
}

// At most this many source pixels a destination pixel and axis are
// combined: a share wider than that is represented by as many spread
// evenly across it, so that what a shrink costs follows the destination,
// not the source size a record declares.
constexpr int64_t kMaxTaps = 32;

// Where destination pixel k's share of a shrunk source starts (k = dst: the
// source's end), the records' rule: columns ceil(k src / dst), rows
// floor(k src / dst + 1/2).
int64_t ShareStart(bool rows, int64_t k, int64_t src, int64_t dst) {
  using I = __int128;
  return static_cast<int64_t>(rows ? (2 * I{k} * src + dst) / (2 * I{dst}) : (I{k} * src + dst - 1) / I{dst});
}

// The source offset (0 .. src - 1) destination pixel k (0 .. dst - 1) takes.
int64_t PickOffset(StretchRule rule, bool rows, int64_t k, int64_t src, int64_t dst) {
  using I = __int128;
  // A centre on the boundary of two source pixels: (2k + 1) src / (2 dst) exactly.
  if (rule == StretchRule::BitmapDraw) return static_cast<int64_t>((2 * I{k} + 1) * src / (2 * I{dst}));
  if (rule == StretchRule::IconDraw || src <= dst)
    return static_cast<int64_t>(((2 * I{k} + 1) * src - 1) / (2 * I{dst}));  // > 0: src >= 1
  if (rule == StretchRule::BlockRecord && dst == 1) return 0;
  return rows ? ShareStart(true, k, src, dst) : ShareStart(false, k + 1, src, dst) - 1;
}

// What one axis of a stretch takes for each visible destination pixel: the
// source pixel it keeps (-1: none inside the image) and, under a combining
// mode, the source pixels it combines.
struct AxisMap {
  std::vector<int32_t> pick;
  AxisTaps taps;
  bool combines = false;  // some pixel has more than one tap
};

// Source offsets [lo, hi) as taps of one destination pixel (at most
// kMaxTaps, spread evenly), each weighing 1 or, when `dst` is not 0, the
// part of [k src, (k + 1) src) it covers (in 1/dst of a source pixel).
void AddTaps(AxisTaps& taps, int64_t lo, int64_t hi, int64_t k, int64_t src, int64_t dst, int64_t srcLow,
             int32_t limit) {
  const int64_t count = hi - lo;
  const bool spread = count > kMaxTaps;
  for (int64_t j = 0; j < (spread ? kMaxTaps : count); ++j) {
    const int64_t offset = spread ? lo + static_cast<int64_t>(static_cast<__int128>(j) * count / kMaxTaps) : lo + j;
    const int64_t s = srcLow + offset;
    if (s < 0 || s >= limit) continue;
    uint64_t weight = 1;
    if (dst != 0 && !spread) {
      const __int128 from = std::max<__int128>(static_cast<__int128>(k) * src, static_cast<__int128>(offset) * dst);
      const __int128 to =
          std::min<__int128>(static_cast<__int128>(k + 1) * src, static_cast<__int128>(offset + 1) * dst);
      weight = static_cast<uint64_t>(to - from);
    }
    taps.Add(static_cast<int32_t>(s), weight);
  }
  taps.EndPixel();
}

// Maps destination offsets [from, to) of an extent `dst` onto the source
// extent `src` from `srcLow`, mirrored when asked, by the transfer's rule
// and mode; source pixels outside [0, limit) are left out.
void MapAxis(AxisMap& map, int64_t from, int64_t to, int64_t dst, int64_t srcLow, int64_t src, bool mirror,
             int32_t limit, bool rows, const ImageTransfer& how) {
  map.pick.resize(static_cast<size_t>(to - from));
  map.taps.Clear();
  map.combines = false;
  const bool halftone = how.mode == StretchMode::Halftone;
  const bool shares = !halftone && how.mode != StretchMode::ColorOnColor;
  for (int64_t o = from; o < to; ++o) {
    const int64_t k = mirror ? dst - 1 - o : o;
    const int64_t s = srcLow + PickOffset(how.rule, rows, k, src, dst);
    map.pick[static_cast<size_t>(o - from)] = (s >= 0 && s < limit) ? static_cast<int32_t>(s) : -1;
    if (halftone) {
      const int64_t lo = static_cast<int64_t>(static_cast<__int128>(k) * src / dst);
      const int64_t hi = static_cast<int64_t>((static_cast<__int128>(k + 1) * src + dst - 1) / dst);
      AddTaps(map.taps, lo, hi, k, src, dst, srcLow, limit);
    } else if (shares && src > dst) {
      const bool whole = how.rule == StretchRule::BlockRecord && dst == 1;
      AddTaps(map.taps, whole ? 0 : ShareStart(rows, k, src, dst), whole ? src : ShareStart(rows, k + 1, src, dst),
              k, src, 0, srcLow, limit);
    } else if (shares) {
      // Enlarging: the kept pixel alone.
      if (s >= 0 && s < limit) map.taps.Add(static_cast<int32_t>(s), 1);
      map.taps.EndPixel();
    }
    if (!map.taps.index.empty()) {
      const size_t i = map.taps.Pixels() - 1;
      if (map.taps.first[i + 1] - map.taps.first[i] > 1) map.combines = true;
    }
  }
}

// An axis-aligned destination: its corners rounded to pixels, whether each
// axis runs backwards, and the part [vl, vr) x [vt, vb) the clip lets through.
struct AxisDestination {
  int64_t l = 0, t = 0, dw = 0, dh = 0;
  int64_t vl = 0, vr = 0, vt = 0, vb = 0;
  bool flipX = false, flipY = false;
};

// False when nothing of the destination can be drawn.
bool PlaceAxisDestination(const RenderTarget& target, double x0, double y0, double x1, double y1,
                          AxisDestination& d) {
  int64_t r, b;
  if (!DevicePixel(x0, d.l) || !DevicePixel(y0, d.t) || !DevicePixel(x1, r) || !DevicePixel(y1, b)) return false;
  d.flipX = r < d.l;
  d.flipY = b < d.t;
  if (d.flipX) std::swap(d.l, r);
  if (d.flipY) std::swap(d.t, b);
  d.dw = r - d.l;
  d.dh = b - d.t;
  const Rect clip = target.HeldClipBounds();
  d.vl = std::max<int64_t>(d.l, clip.left), d.vr = std::min<int64_t>(r, clip.right);
  d.vt = std::max<int64_t>(d.t, clip.top), d.vb = std::min<int64_t>(b, clip.bottom);
  return d.dw != 0 && d.dh != 0 && d.vl < d.vr && d.vt < d.vb;
}

// What each visible column and row of the destination takes from the
// source (a negative source extent mirrors); false for an empty source
// rectangle.
bool MapSourceAxes(const AxisDestination& d, const ImageSource& image, const ImageTransfer& how, int32_t srcX,
                   int32_t srcY, int32_t srcWidth, int32_t srcHeight, AxisMap& columns, AxisMap& rows) {
  int64_t sx = srcX, sy = srcY, sw = srcWidth, sh = srcHeight;
  bool flipX = d.flipX, flipY = d.flipY;
  if (sw < 0) {
    sx += sw;
    sw = -sw;
    flipX = !flipX;
  }
  if (sh < 0) {
    sy += sh;
    sh = -sh;
    flipY = !flipY;
  }
  if (sw == 0 || sh == 0) return false;
  MapAxis(columns, d.vl - d.l, d.vr - d.l, d.dw, sx, sw, flipX, image.Width(), false, how);
  MapAxis(rows, d.vt - d.t, d.vb - d.t, d.dh, sy, sh, flipY, image.Height(), true, how);
  return true;
}

bool ImageUsable(const ImageSource& image) { return image.Width() > 0 && image.Height() > 0; }

void Stretch(RenderTarget& target, const ImageSource& image, const ImageTransfer& how, double dstX, double dstY,
             double dstWidth, double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight) {
  const Rop2 rop = SourceRop(how.rasterOp);
  if (target.IsEmpty() || rop == Rop2::Nop) return;
  AxisDestination d;
  if (!PlaceAxisDestination(target, dstX, dstY, dstX + dstWidth, dstY + dstHeight, d)) return;
  const int64_t vl = d.vl, vr = d.vr, vt = d.vt, vb = d.vb;

  if (!UsesSource(rop)) {
    target.SetPaint(Paint::Solid(0, rop));
    for (int64_t y = vt; y < vb; ++y)
      target.Span(static_cast<int32_t>(y), static_cast<int32_t>(vl), static_cast<int32_t>(vr));
    return;
  }

  if (!ImageUsable(image)) return;
  AxisMap columnMap, rowMap;
  if (!MapSourceAxes(d, image, how, srcX, srcY, srcWidth, srcHeight, columnMap, rowMap)) return;
  const std::vector<int32_t>& columns = columnMap.pick;
  const bool combine = columnMap.combines || rowMap.combines;

  // The spans of one source row, reused while consecutive rows show it or
  // one alike.
  std::vector<PixelOpRun> runs;
  int32_t runsRow = -1;
  // A combined row depends on every source row it takes; rows that all
  // show what runsRow shows combine to what that row alone combines to.
  const auto tapsAlikeRunsRow = [&](int64_t y) {
    const AxisTaps& taps = rowMap.taps;
    const size_t p = static_cast<size_t>(y - vt);
    if (how.mask || p + 1 >= taps.first.size()) return false;
    for (size_t j = taps.first[p]; j < taps.first[p + 1]; ++j)
      if (taps.index[j] != runsRow && !image.RowsAlike(taps.index[j], runsRow)) return false;
    return true;
  };
  bool runsFromAlikeRows = false;
  SourceSampler sampler(image, how);
  std::vector<SourcePixel> at(columns.size());
  for (int64_t y = vt; y < vb; ++y) {
    const int32_t srow = rowMap.pick[static_cast<size_t>(y - vt)];
    if (srow < 0) continue;
    // A mask is not the source: its rows may differ where the source's are
    // alike.
    const bool again = combine ? runsRow >= 0 && runsFromAlikeRows && tapsAlikeRunsRow(y)
                               : runsRow >= 0 && (how.mask ? srow == runsRow : image.RowsAlike(srow, runsRow));
    if (!again) {
      runs.clear();
      runsRow = srow;
      runsFromAlikeRows = combine && tapsAlikeRunsRow(y);
      for (size_t i = 0; i < columns.size(); ++i)
        at[i] = columns[i] < 0 ? SourcePixel{-1, -1} : SourcePixel{srow, columns[i]};
      sampler.Sample(at);
      if (combine) sampler.Combine(rowMap.taps, static_cast<size_t>(y - vt), columnMap.taps);
      const auto drawn = [&](size_t i) { return sampler.present[i] && sampler.maskBit[i]; };
      for (size_t i = 0; i < columns.size();) {
        if (!drawn(i)) {
          ++i;
          continue;
        }
        const COLORREF color = sampler.colors[i];
        size_t j = i + 1;
        while (j < columns.size() && drawn(j) && sampler.colors[j] == color) ++j;
        runs.push_back(PixelOpRun{static_cast<int32_t>(vl + static_cast<int64_t>(i)),
                                  static_cast<int32_t>(vl + static_cast<int64_t>(j)), PixelOp::FromRop2(rop, color)});
        i = j;
      }
    }
    target.PaintOps(static_cast<int32_t>(y), runs);
  }
}

// --- Transfers: masks, two raster operations, alpha, parallelograms --------

// Paints one destination row: pixel x0 + i takes the source pixel at[i]
// (row -1 for none), changed by the blend or by the raster operation its
// mask bit picks, with the brush's pattern at that pixel.
class RowPainter {
 public:
  RowPainter(RenderTarget& target, const ImageSource& image, const ImageTransfer& how)
      : target_(target), how_(how), sampler_(image, how), fore_(RopTable(how.rasterOp)),
        back_(RopTable(how.maskedOutRasterOp)) {}

  // With `rows`, each pixel's colour combines source rows rows->first[rowPixel]
  // .. across its `columns` taps (SourceSampler::Combine).
  void Paint(int32_t y, int64_t x0, const std::vector<SourcePixel>& at, const AxisTaps* rows = nullptr,
             size_t rowPixel = 0, const AxisTaps* columns = nullptr) {
    // Neighbouring pixels that take one source pixel (an enlargement takes
    // each for several) are sampled once, as a group; combined pixels each
    // form a group of their own.
    groupStart_.clear();
    if (rows) {
      for (size_t i = 0; i <= at.size(); ++i) groupStart_.push_back(i);
      sampler_.Sample(at);
      sampler_.Combine(*rows, rowPixel, *columns);
    } else {
      distinct_.clear();
      for (size_t i = 0; i < at.size(); ++i)
        if (i == 0 || at[i].row != at[i - 1].row || at[i].column != at[i - 1].column) {
          groupStart_.push_back(i);
          distinct_.push_back(at[i]);
        }
      groupStart_.push_back(at.size());
      sampler_.Sample(distinct_);
    }
    // Each operation covers a pixel at least: room for one a pixel is taken
    // once, and the row's are written into it without a call per operation.
    if (ops_.size() < at.size()) ops_.resize(at.size());
    PixelOpRun* const opsBegin = ops_.data();
    PixelOpRun* opsEnd = opsBegin;
    // Neighbouring groups mostly take the same operation: it is worked out
    // again only when what it is made from changes.
    bool known = false;
    COLORREF lastSource = 0, lastPattern = 0;
    int lastAlpha = -1;
    uint8_t lastTable = 0;
    PixelOp op;
    const auto blendFor = [&](COLORREF source, int alpha) {
      if (known && source == lastSource && alpha == lastAlpha) return;
      op = PixelOp::Blend(source, how_.constantAlpha, alpha);
      known = true, lastSource = source, lastAlpha = alpha;
    };
    const auto ropFor = [&](uint8_t table, COLORREF pattern, COLORREF source) {
      if (known && source == lastSource && table == lastTable && pattern == lastPattern) return;
      op = PixelOp::FromRop3(table, pattern, source);
      known = true, lastSource = source, lastTable = table, lastPattern = pattern;
    };
    const auto append = [&](int32_t a, int32_t b) {
      if (op.LeavesAlone()) return;
      if (opsEnd != opsBegin && opsEnd[-1].x1 == a && opsEnd[-1].op == op) opsEnd[-1].x1 = b;
      else *opsEnd++ = PixelOpRun{a, b, op};
    };
    const PaintRow brushRow(how_.brush ? *how_.brush : gdi::Paint{}, y);
    bool repeatKnown = false;
    uint8_t repeatTable = 0;
    COLORREF repeatSource = 0;
    for (size_t k = 0; k + 1 < groupStart_.size(); ++k) {
      if (!sampler_.present[k]) continue;
      const int32_t xa = static_cast<int32_t>(x0 + static_cast<int64_t>(groupStart_[k]));
      const int32_t xb = static_cast<int32_t>(x0 + static_cast<int64_t>(groupStart_[k + 1]));
      const COLORREF source = sampler_.colors[k] & 0xFFFFFF;
      if (how_.blend) {
        blendFor(source, sampler_.hasAlpha ? sampler_.alpha[k] : -1);
        append(xa, xb);
        continue;
      }
      const uint8_t table = sampler_.maskBit[k] ? fore_ : back_;
      if (!RopTableUsesPattern(table) || !how_.brush) {
        ropFor(table, 0, source);
        append(xa, xb);
        continue;
      }
      if (brushRow.Solid()) {
        ropFor(table, brushRow.Color(), source);
        append(xa, xb);
        continue;
      }
      // The pattern changes from pixel to pixel: the operations of one
      // repeat, in runs of pattern columns, laid along the group. Columns
      // the pattern's mask leaves out stay as they are.
      if (!repeatKnown || table != repeatTable || source != repeatSource) {
        repeat_.clear();
        for (int32_t c = 0; c < brushRow.Width(); ++c) {
          COLORREF pattern = 0;
          if (!brushRow.At(c, pattern)) continue;
          ropFor(table, pattern, source);
          if (op.LeavesAlone()) continue;
          if (!repeat_.empty() && repeat_.back().x1 == c && repeat_.back().op == op) ++repeat_.back().x1;
          else repeat_.push_back(PixelOpRun{c, c + 1, op});
        }
        repeatKnown = true, repeatTable = table, repeatSource = source;
      }
      // A group wider than a couple of repeats goes on its own, so that a
      // recording surface can keep it as repeating colours.
      if (xb - xa > 2 * brushRow.Width() && target_.KeepsRepeats(brushRow.Width())) {
        target_.PaintRepeating(y, xa, xb, repeat_, brushRow.Width(), brushRow.ColumnOf(xa));
        continue;
      }
      opsEnd = LayRepeat(repeat_, brushRow.Width(), brushRow.ColumnOf(xa), xa, xb, opsBegin, opsEnd);
    }
    target_.PaintOps(y, {opsBegin, opsEnd});
  }

 private:
  static uint8_t RopTable(uint32_t rasterOp) { return static_cast<uint8_t>(rasterOp >> 16); }

  RenderTarget& target_;
  const ImageTransfer& how_;
  SourceSampler sampler_;
  uint8_t fore_, back_;
  std::vector<PixelOpRun> ops_;  // room for a row's operations
  std::vector<PixelOpRun> repeat_;  // a pattern repeat's operations, in pattern columns
  std::vector<SourcePixel> distinct_;
  std::vector<size_t> groupStart_;  // group k: pixels [groupStart_[k], groupStart_[k + 1])
};

// Axis-aligned: the destination rectangle and the source pixel of each
// column and row exactly as Stretch maps them.
void AxisTransfer(RenderTarget& target, const ImageSource& image, const DeviceParallelogram& where, int32_t srcX,
                  int32_t srcY, int32_t srcWidth, int32_t srcHeight, const ImageTransfer& how) {
  AxisDestination d;
  AxisMap columnMap, rowMap;
  if (!PlaceAxisDestination(target, where.originX, where.originY, where.rightX, where.downY, d) ||
      !MapSourceAxes(d, image, how, srcX, srcY, srcWidth, srcHeight, columnMap, rowMap))
    return;
  const int64_t vl = d.vl, vt = d.vt, vb = d.vb;
  const std::vector<int32_t>& columns = columnMap.pick;
  const bool combine = columnMap.combines || rowMap.combines;
  RowPainter painter(target, image, how);
  std::vector<SourcePixel> at(columns.size());
  for (int64_t y = vt; y < vb; ++y) {
    const size_t rowPixel = static_cast<size_t>(y - vt);
    const int32_t srow = rowMap.pick[rowPixel];
    if (srow < 0) continue;
    for (size_t i = 0; i < columns.size(); ++i)
      at[i] = columns[i] < 0 ? SourcePixel{-1, -1} : SourcePixel{srow, columns[i]};
    painter.Paint(static_cast<int32_t>(y), vl, at, combine ? &rowMap.taps : nullptr, rowPixel, &columnMap.taps);
  }
}

// The x interval (lo, hi) where a + b x lies in [0, 1); empty when lo > hi.
void UnitInterval(double a, double b, double& lo, double& hi) {
  if (b == 0) {
    if (a < 0 || a >= 1) lo = 1, hi = 0;
    return;
  }
  double x0 = -a / b, x1 = (1 - a) / b;
  if (x0 > x1) std::swap(x0, x1);
  lo = std::max(lo, x0);
  hi = std::min(hi, x1);
}

// Any parallelogram: each pixel centre mapped back through the inverse of
// the corners' affine map.
void ParallelogramTransfer(RenderTarget& target, const ImageSource& image, const DeviceParallelogram& where,
                           int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight, const ImageTransfer& how) {
  double ox = where.originX, oy = where.originY;
  double ux = where.rightX - ox, uy = where.rightY - oy, vx = where.downX - ox, vy = where.downY - oy;
  int64_t sx = srcX, sy = srcY, sw = srcWidth, sh = srcHeight;
  // A mirrored source is the same as a destination edge run backwards.
  if (sw < 0) {
    sx += sw, sw = -sw;
    ox += ux, oy += uy, ux = -ux, uy = -uy;
  }
  if (sh < 0) {
    sy += sh, sh = -sh;
    ox += vx, oy += vy, vx = -vx, vy = -vy;
  }
  const double det = ux * vy - uy * vx;
  if (sw == 0 || sh == 0 || !std::isfinite(det) || std::fabs(det) < 1e-9 || !std::isfinite(ox) || !std::isfinite(oy))
    return;
  const Rect clip = target.HeldClipBounds();
  const double ys[4] = {oy, oy + uy, oy + vy, oy + uy + vy};
  const double top = std::max<double>(clip.top, std::floor(*std::min_element(ys, ys + 4)));
  const double bottom = std::min<double>(clip.bottom, std::ceil(*std::max_element(ys, ys + 4)));
  // s (across) and t (down) of a centre: linear in x along a row.
  const double sdx = vy / det, tdx = -uy / det;
  RowPainter painter(target, image, how);
  std::vector<SourcePixel> at;
  for (double yf = top; yf < bottom; ++yf) {
    const double cy = yf + 0.5 - oy;
    const double s0 = (-ox * vy - cy * vx) / det, t0 = (ux * cy + uy * ox) / det;
    // s(x) = s0 + (x + 0.5) sdx, likewise t.
    double lo = clip.left, hi = clip.right;
    UnitInterval(s0 + 0.5 * sdx, sdx, lo, hi);
    UnitInterval(t0 + 0.5 * tdx, tdx, lo, hi);
    if (lo > hi) continue;
    const int64_t x0 = std::max<int64_t>(clip.left, static_cast<int64_t>(std::floor(lo)) - 1);
    const int64_t x1 = std::min<int64_t>(clip.right, static_cast<int64_t>(std::ceil(hi)) + 1);
    if (x0 >= x1) continue;
    at.assign(static_cast<size_t>(x1 - x0), SourcePixel{-1, -1});
    for (int64_t x = x0; x < x1; ++x) {
      const double s = s0 + (static_cast<double>(x) + 0.5) * sdx, t = t0 + (static_cast<double>(x) + 0.5) * tdx;
      if (s < 0 || s >= 1 || t < 0 || t >= 1) continue;
      const int64_t col = sx + std::min<int64_t>(sw - 1, static_cast<int64_t>(s * static_cast<double>(sw)));
      const int64_t row = sy + std::min<int64_t>(sh - 1, static_cast<int64_t>(t * static_cast<double>(sh)));
      if (col < 0 || col >= image.Width() || row < 0 || row >= image.Height()) continue;
      at[static_cast<size_t>(x - x0)] = SourcePixel{static_cast<int32_t>(row), static_cast<int32_t>(col)};
    }
    painter.Paint(static_cast<int32_t>(yf), x0, at);
  }
}

bool DecodedImageUsable(const DibImage& image) {
  return image.width > 0 && image.height > 0 &&
         image.pixels.size() >= static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
}

}  // namespace

void StretchImage(RenderTarget& target, const DibImage& image, double dstX, double dstY, double dstWidth,
                  double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                  uint32_t rasterOp) {
  ImageTransfer how;
  how.rasterOp = rasterOp;
  if (!UsesSource(SourceRop(rasterOp))) {
    // Nothing is read from the image: even an empty one fills.
    Stretch(target, PixelsSource(image), how, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight);
    return;
  }
  if (!DecodedImageUsable(image)) return;
  Stretch(target, PixelsSource(image), how, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight);
}

void StretchImageMasked(RenderTarget& target, const DibImage& image, const uint8_t* mask, double dstX, double dstY,
                        double dstWidth, double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth,
                        int32_t srcHeight, StretchRule rule) {
  if (!DecodedImageUsable(image)) return;
  const ByteMaskSource maskSource(mask, image.width, image.height);
  ImageTransfer how;
  how.rule = rule;
  if (mask) how.mask = &maskSource;
  Stretch(target, PixelsSource(image), how, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight);
}

void TransferImage(RenderTarget& target, const ImageSource& image, const DeviceParallelogram& where, int32_t srcX,
                   int32_t srcY, int32_t srcWidth, int32_t srcHeight, const ImageTransfer& how) {
  if (target.IsEmpty() || !ImageUsable(image)) return;
  // Raster operations of source and destination alone, unmasked, keep to runs.
  const bool plain = !how.blend && !RopTableUsesPattern(static_cast<uint8_t>(how.rasterOp >> 16)) &&
                     (!Masked(how) || SourceRop(how.maskedOutRasterOp) == Rop2::Nop);
  if (where.AxisAligned() && plain) {
    // The stretch keeps runs per source row: the usual case, kept fast.
    Stretch(target, image, how, where.originX, where.originY, where.rightX - where.originX,
            where.downY - where.originY, srcX, srcY, srcWidth, srcHeight);
  } else if (where.AxisAligned()) {
    AxisTransfer(target, image, where, srcX, srcY, srcWidth, srcHeight, how);
  } else {
    ParallelogramTransfer(target, image, where, srcX, srcY, srcWidth, srcHeight, how);
  }
}

}  // namespace orvane::gdi
