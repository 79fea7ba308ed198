// One-pixel (cosmetic) lines as GDI draws them. The points are rounded to
// whole pixels; a line lights one pixel per step along its major axis, from
// its first point up to but not including its last, and on the minor axis the
// pixel nearest the true line, a tie going to the upper (x-major) or left
// (y-major) pixel as the diamond rule has it. A polyline's lines chain, so
// every joint is lit once, and the dash pattern advances one unit per pixel
// from one line into the next.
//
// Clipping only narrows the range of steps that are visited: the DDA starts
// at the first visible step with the error term it would have had there, so
// the pixels inside the clip bounds are exactly those of the whole line and a
// line from -1e9 to 1e9 costs only its visible pixels.

#include <cmath>
#include <cstdlib>

#include <orvane/gdi/detail/DashPattern.h>
#include <orvane/gdi/detail/Strokers.h>

namespace orvane::gdi {

namespace {

// Rounded coordinates are pinned to +-2^50 so all step arithmetic fits.
constexpr double kCoordLimit = 1125899906842624.0;

struct IPoint {
  int64_t x;
  int64_t y;
};

enum class Pass { All, On, Off };

inline __int128 FloorDiv128(__int128 a, __int128 b) {  // b > 0
  __int128 q = a / b;
  if (a % b < 0) --q;
  return q;
}

// Collects pixels into runs on a row and writes each run as one span.
class RunWriter {
 public:
  explicit RunWriter(RenderTarget& target) : target_(target) {}
  ~RunWriter() { Flush(); }
  void Pixel(int64_t x, int64_t y) {
    if (y == y_ && x == right_) {
      ++right_;
      return;
    }
    if (y == y_ && x == left_ - 1 && right_ > left_) {
      --left_;
      return;
    }
    Flush();
    y_ = y;
    left_ = x;
    right_ = x + 1;
  }
  void Flush() {
    if (right_ > left_) target_.Span(static_cast<int32_t>(y_), static_cast<int32_t>(left_), static_cast<int32_t>(right_));
    left_ = right_ = 0;
    y_ = INT64_MIN;
  }

 private:
  RenderTarget& target_;
  int64_t y_ = INT64_MIN, left_ = 0, right_ = 0;
};

class LineStroker {
 public:
  LineStroker(const Rect& clip, const DashPattern& pattern, Pass pass, RunWriter& out)
      : clip_(clip), pattern_(pattern), pass_(pass), out_(out) {}

  // Draws the line from p to `end` (without the end pixel); `position_` counts the
  // pixel steps of the polyline so far, for the dash pattern.
  void Line(IPoint p, IPoint end) {
    const int64_t dx = end.x - p.x, dy = end.y - p.y;
    if (dx == 0 && dy == 0) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t maj0 = xMajor ? p.x : p.y, min0 = xMajor ? p.y : p.x;
    const int64_t dMaj = xMajor ? dx : dy, dMin = xMajor ? dy : dx;
    const int64_t n = std::llabs(dMaj);
    const int64_t s = dMaj > 0 ? 1 : -1;
    const int64_t majLo = xMajor ? clip_.left : clip_.top, majHi = xMajor ? clip_.right : clip_.bottom;
    const int64_t minLo = xMajor ? clip_.top : clip_.left, minHi = xMajor ? clip_.bottom : clip_.right;
    const double startPos = position_;
    position_ += static_cast<double>(n);

    // Steps whose major coordinate is visible.
    int64_t kFrom, kTo;
    if (s > 0) {
      kFrom = std::max<int64_t>(0, majLo - maj0);
      kTo = std::min<int64_t>(n, majHi - maj0);
    } else {
      kFrom = std::max<int64_t>(0, maj0 - (majHi - 1));
      kTo = std::min<int64_t>(n, maj0 - majLo + 1);
    }
    if (kFrom >= kTo) return;

    // The minor coordinate of step k: min0 + ceil((2k*dMin - n) / 2n), which
    // rounds k*dMin/n to the nearest integer with halves going down.
    const __int128 twoN = static_cast<__int128>(2) * n;
    auto minorAt = [&](int64_t k) {
      const __int128 v = static_cast<__int128>(2) * k * dMin - n;
      return min0 - static_cast<int64_t>(FloorDiv128(-v, twoN));
    };
    // First k in [lo, hi) for which pred holds (pred is monotone).
    auto firstTrue = [](int64_t lo, int64_t hi, auto pred) {
      while (lo < hi) {
        const int64_t mid = lo + (hi - lo) / 2;
        if (pred(mid)) hi = mid;
        else lo = mid + 1;
      }
      return lo;
    };
    const int64_t firstMinor = minorAt(kFrom), lastMinor = minorAt(kTo - 1);
    const bool allVisible = firstMinor >= minLo && firstMinor < minHi && lastMinor >= minLo && lastMinor < minHi;
    if (!allVisible) {
      if (dMin >= 0) {
        kFrom = firstTrue(kFrom, kTo, [&](int64_t k) { return minorAt(k) >= minLo; });
        kTo = firstTrue(kFrom, kTo, [&](int64_t k) { return minorAt(k) >= minHi; });
      } else {
        kFrom = firstTrue(kFrom, kTo, [&](int64_t k) { return minorAt(k) < minHi; });
        kTo = firstTrue(kFrom, kTo, [&](int64_t k) { return minorAt(k) < minLo; });
      }
      if (kFrom >= kTo) return;
    }

    // DDA: v = 2k*dMin - n kept as q * 2n + r with 0 <= r < 2n; the minor
    // offset is ceil(v / 2n) = q + (r != 0).
    const int64_t twoN64 = 2 * n, step = 2 * dMin;
    const __int128 v0 = static_cast<__int128>(2) * kFrom * dMin - n;
    const __int128 q0 = FloorDiv128(v0, twoN);
    int64_t q = static_cast<int64_t>(q0);
    int64_t r = static_cast<int64_t>(v0 - q0 * twoN);
    const bool dashed = !pattern_.IsSolid();
    DashPattern::Cursor cursor;
    if (dashed) cursor = pattern_.At(startPos + static_cast<double>(kFrom));
    int64_t major = maj0 + s * kFrom;
    for (int64_t k = kFrom; k < kTo; ++k) {
      const bool on = !dashed || cursor.On();
      if (pass_ == Pass::All || (pass_ == Pass::On) == on) {
        const int64_t minor = min0 + q + (r != 0);
        if (xMajor) out_.Pixel(major, minor);
        else out_.Pixel(minor, major);
      }
      if (dashed) pattern_.Advance(cursor, 1);
      major += s;
      r += step;
      if (r >= twoN64) {
        r -= twoN64;
        ++q;
      } else if (r < 0) {
        r += twoN64;
        --q;
      }
    }
  }

 private:
  Rect clip_;
  const DashPattern& pattern_;
  Pass pass_;
  RunWriter& out_;
  double position_ = 0;
};

void StrokePass(RenderTarget& target, const std::vector<IPoint>& pts, bool closed, const DashPattern& pattern,
                Pass pass) {
  RunWriter out(target);
  LineStroker stroker(target.HeldClipBounds(), pattern, pass, out);
  for (size_t i = 0; i + 1 < pts.size(); ++i) stroker.Line(pts[i], pts[i + 1]);
  if (closed) stroker.Line(pts.back(), pts.front());
}

}  // namespace

void StrokeCosmeticPolyline(RenderTarget& target, const std::vector<PointD>& points, bool closed,
                            const std::vector<double>& dashes, const Paint* gapPaint) {
  if (target.IsEmpty() || points.size() < 2) return;
  thread_local std::vector<IPoint> pts;
  pts.clear();
  for (const PointD& p : points) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    pts.push_back(IPoint{static_cast<int64_t>(std::floor(std::clamp(p.x, -kCoordLimit, kCoordLimit) + 0.5)),
                         static_cast<int64_t>(std::floor(std::clamp(p.y, -kCoordLimit, kCoordLimit) + 0.5))});
  }
  const DashPattern pattern(dashes);
  if (pattern.IsSolid()) {
    StrokePass(target, pts, closed, pattern, Pass::All);
    return;
  }
  StrokePass(target, pts, closed, pattern, Pass::On);
  if (gapPaint) {
    const Paint saved = target.CurrentPaint();
    target.SetPaint(*gapPaint);
    StrokePass(target, pts, closed, pattern, Pass::Off);
    target.SetPaint(saved);
  }
}

}  // namespace orvane::gdi
