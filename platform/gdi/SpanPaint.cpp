#include <orvane/gdi/detail/SpanPaint.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/gdi/DeviceContext.h>

namespace orvane::gdi {

COLORREF ApplyRop2(Rop2 rop, COLORREF p, COLORREF d) {
  COLORREF r = 0;
  switch (rop) {
    case Rop2::Black: r = 0; break;
    case Rop2::NotMergePen: r = ~(p | d); break;
    case Rop2::MaskNotPen: r = ~p & d; break;
    case Rop2::NotCopyPen: r = ~p; break;
    case Rop2::MaskPenNot: r = p & ~d; break;
    case Rop2::Not: r = ~d; break;
    case Rop2::XorPen: r = p ^ d; break;
    case Rop2::NotMaskPen: r = ~(p & d); break;
    case Rop2::MaskPen: r = p & d; break;
    case Rop2::NotXorPen: r = ~(p ^ d); break;
    case Rop2::Nop: r = d; break;
    case Rop2::MergeNotPen: r = ~p | d; break;
    case Rop2::CopyPen: r = p; break;
    case Rop2::MergePenNot: r = p | ~d; break;
    case Rop2::MergePen: r = p | d; break;
    case Rop2::White: r = 0xFFFFFF; break;
  }
  return r & 0xFFFFFF;
}

namespace {

inline COLORREF Read24(const uint8_t* p) { return RGB(p[2], p[1], p[0]); }
inline void Write24(uint8_t* p, COLORREF c) {
  p[0] = GetBValue(c);
  p[1] = GetGValue(c);
  p[2] = GetRValue(c);
}
inline uint32_t Pixel32(COLORREF c) { return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c); }

void SolidCopy32(uint8_t* row, int32_t, int32_t x0, int32_t x1, const Paint& paint) {
  const uint32_t v = Pixel32(paint.color);
  auto* p = reinterpret_cast<uint32_t*>(row) + x0;
  const int32_t n = x1 - x0;
  if constexpr (sizeof(wchar_t) == sizeof(uint32_t)) {
    // The C library's wide fill is a 32-bit pattern fill with the widest stores the processor has;
    // from eight pixels on it beats a loop of our own.
    if (n >= 8) {
      std::wmemset(reinterpret_cast<wchar_t*>(p), static_cast<wchar_t>(v), static_cast<size_t>(n));
      return;
    }
  }
#if defined(__SSE2__)
  // Shorter spans in 16-byte stores, the last one overlapping the one before.
  if (n >= 4) {
    const __m128i four = _mm_set1_epi32(static_cast<int>(v));
    int32_t i = 0;
    for (; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), four);
    if (i < n) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + n - 4), four);
    return;
  }
#endif
  for (int32_t i = 0; i < n; ++i) p[i] = v;
}

void SolidCopy24(uint8_t* row, int32_t, int32_t x0, int32_t x1, const Paint& paint) {
  const uint8_t b = GetBValue(paint.color), g = GetGValue(paint.color), r = GetRValue(paint.color);
  uint8_t* p = row + static_cast<ptrdiff_t>(x0) * 3;
  if (b == g && g == r) {
    std::memset(p, b, static_cast<size_t>(x1 - x0) * 3);
    return;
  }
  for (int32_t n = x1 - x0; n > 0; --n, p += 3) {
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
}

template <int Bpp>
void SolidRop(uint8_t* row, int32_t, int32_t x0, int32_t x1, const Paint& paint) {
  uint8_t* p = row + static_cast<ptrdiff_t>(x0) * Bpp;
  for (int32_t x = x0; x < x1; ++x, p += Bpp) Write24(p, ApplyRop2(paint.rop, paint.color, Read24(p)));
}

template <int Bpp>
void PatternSpan(uint8_t* row, int32_t y, int32_t x0, int32_t x1, const Paint& paint) {
  const PaintRow pattern(paint, y);
  if (pattern.Solid()) return;
  int32_t px = pattern.ColumnOf(x0);
  uint8_t* p = row + static_cast<ptrdiff_t>(x0) * Bpp;
  for (int32_t x = x0; x < x1; ++x, p += Bpp) {
    COLORREF src;
    if (pattern.At(px, src)) Write24(p, paint.rop == Rop2::CopyPen ? src : ApplyRop2(paint.rop, src, Read24(p)));
    if (++px == pattern.Width()) px = 0;
  }
}

}  // namespace

PaintRow::PaintRow(const Paint& paint, int32_t y) : color_(paint.color) {
  const PatternImage* pat = paint.pattern;
  if (!pat || pat->width <= 0 || pat->height <= 0) return;
  const size_t row = static_cast<size_t>(Wrap(int64_t{y} - paint.patternOrigin.y, pat->height)) *
                     static_cast<size_t>(pat->width);
  pixels_ = pat->pixels.data() + row;
  mask_ = paint.patternMask ? paint.patternMask + row : nullptr;
  width_ = pat->width;
  originX_ = paint.patternOrigin.x;
}

int32_t PaintRow::ColumnOf(int32_t x) const { return Wrap(int64_t{x} - originX_, width_); }

void FillSurface(BitmapObject& surface, COLORREF color) {
  const Paint paint = Paint::Solid(color);
  const SpanFn fn = SelectSpanFn(surface.Format(), paint);
  const Rect held = surface.HeldBounds();
  const int32_t width = held.Width(), height = held.Height();
  if (width <= 0 || height <= 0) return;
  if (surface.Format() == PixelFormat::Bgrx32 && int64_t{surface.Stride()} == int64_t{width} * 4 &&
      int64_t{width} * height <= INT32_MAX) {
    // Rows without padding follow each other: the whole surface is one span.
    fn(surface.Bits(), held.top, 0, width * height, paint);
    return;
  }
  for (int32_t y = held.top; y < held.bottom; ++y) fn(surface.Row(y), y, 0, width, paint);
}

SpanFn SelectSpanFn(PixelFormat format, const Paint& paint) {
  const bool is24 = format == PixelFormat::Bgr24;
  if (paint.pattern && paint.pattern->width > 0 && paint.pattern->height > 0)
    return is24 ? PatternSpan<3> : PatternSpan<4>;
  if (paint.rop == Rop2::CopyPen) return is24 ? SolidCopy24 : SolidCopy32;
  return is24 ? SolidRop<3> : SolidRop<4>;
}

RenderTarget::RenderTarget(BitmapObject* surface, Region drawable)
    : surface_(surface), drawable_(std::move(drawable)) {
  if (surface_ && surface_->IsBanded()) {
    Region whole = drawable_;
    whole.IntersectRect(surface_->WholeBounds());
    layoutBounds_ = whole.Bounds();
  }
  if (surface_) {
    drawable_.IntersectRect(surface_->HeldBounds());
    recorder_ = surface_->Recorder();
  }
  bounds_ = drawable_.Bounds();
  if (!surface_ || !surface_->IsBanded()) layoutBounds_ = bounds_;
  singleRect_ = drawable_.Rects().size() == 1;
  SetPaint(Paint{});
}

RenderTarget::RenderTarget(const DeviceContext& dc) : RenderTarget(dc.Surface(), dc.WholeClip()) {}

void RenderTarget::SetPaint(const Paint& paint) {
  paint_ = paint;
  if (paint_.pattern && (paint_.pattern->width <= 0 || paint_.pattern->height <= 0)) paint_.pattern = nullptr;
  fn_ = surface_ ? SelectSpanFn(surface_->Format(), paint_) : nullptr;
  if (!recorder_) return;
  // Spans are never painted with R2_NOP, so a paint that reads nothing sets its colour outright.
  recordsSolid_ = !paint_.pattern && !Rop2ReadsDestination(paint_.rop);
  recordedColor_ = ApplyRop2(paint_.rop, paint_.color, 0);
}

void RenderTarget::SpanInRegion(int32_t y, int32_t x0, int32_t x1) {
  if (recorder_) {
    drawable_.ForEachSpanPart(y, x0, x1, [&](int32_t a, int32_t b) { RecordSpan(y, a, b); });
    return;
  }
  uint8_t* row = surface_->Row(y);
  drawable_.ForEachSpanPart(y, x0, x1, [&](int32_t a, int32_t b) { fn_(row, y, a, b, paint_); });
}

void RenderTarget::PaintOps(int32_t y, std::span<const PixelOpRun> ops) {
  if (!surface_ || ops.empty() || y < bounds_.top || y >= bounds_.bottom) return;
  // Within a one-rectangle clip, operations that all change something go as they are.
  if (recorder_ && singleRect_ && ops.front().x0 >= bounds_.left && ops.back().x1 <= bounds_.right &&
      std::none_of(ops.begin(), ops.end(),
                   [](const PixelOpRun& run) { return run.x0 >= run.x1 || run.op.LeavesAlone(); })) {
    recorder_->PaintOps(y, ops);
    return;
  }
  thread_local std::vector<PixelOpRun> cut;
  cut.clear();
  size_t k = 0;
  drawable_.ForEachSpanPart(y, ops.front().x0, ops.back().x1, [&](int32_t a, int32_t b) {
    while (k < ops.size() && ops[k].x1 <= a) ++k;
    for (size_t j = k; j < ops.size() && ops[j].x0 < b; ++j) {
      const int32_t x0 = std::max(ops[j].x0, a), x1 = std::min(ops[j].x1, b);
      if (x0 < x1 && !ops[j].op.LeavesAlone()) cut.push_back(PixelOpRun{x0, x1, ops[j].op});
    }
  });
  if (cut.empty()) return;
  if (recorder_) {
    recorder_->PaintOps(y, cut);
    return;
  }
  const int32_t bpp = surface_->BytesPerPixel();
  uint8_t* row = surface_->Row(y);
  for (const PixelOpRun& run : cut) {
    uint8_t* p = row + static_cast<ptrdiff_t>(run.x0) * bpp;
    if (run.op.kind == PixelOp::Kind::Bits && run.op.keep == 0) {
      const Paint copy = Paint::Solid(run.op.flip);
      (bpp == 3 ? SolidCopy24 : SolidCopy32)(row, y, run.x0, run.x1, copy);
      continue;
    }
    for (int32_t x = run.x0; x < run.x1; ++x, p += bpp) Write24(p, run.op.Apply(Read24(p)));
  }
}

void RenderTarget::RecordSpan(int32_t y, int32_t x0, int32_t x1) {
  if (recordsSolid_) {
    recorder_->Paint(y, x0, x1, recordedColor_);
    return;
  }
  if (!paint_.pattern) {
    recorder_->PaintRop(y, x0, x1, paint_.rop, paint_.color);
    return;
  }
  // The pattern row's runs of one colour over one repeat, masked-out
  // pixels left alone, laid along the span; the span's runs are recorded at
  // once (one at a time, each would move the rest of the row).
  thread_local std::vector<PixelOpRun> repeat;
  repeat.clear();
  const PaintRow pattern(paint_, y);
  COLORREF last = 0;
  for (int32_t c = 0; c < pattern.Width(); ++c) {
    COLORREF color;
    if (!pattern.At(c, color)) continue;
    if (!repeat.empty() && repeat.back().x1 == c && color == last) ++repeat.back().x1;
    else repeat.push_back(PixelOpRun{c, c + 1, PixelOp::FromRop2(paint_.rop, color)});
    last = color;
  }
  if (repeat.empty()) return;
  const int32_t column = pattern.ColumnOf(x0);
  if (SpanRecorder::CanRepeat(pattern.Width())) recorder_->PaintRepeating(y, x0, x1, repeat, pattern.Width(), column);
  else recorder_->PaintOps(y, LaidRepeat(repeat, pattern.Width(), column, x0, x1));
}

void RenderTarget::PaintRepeating(int32_t y, int32_t x0, int32_t x1, std::span<const PixelOpRun> repeat,
                                  int32_t width, int32_t column) {
  if (!surface_ || repeat.empty() || width <= 0 || x0 >= x1 || y < bounds_.top || y >= bounds_.bottom) return;
  if (recorder_ && SpanRecorder::CanRepeat(width)) {
    const auto part = [&](int32_t a, int32_t b) {
      recorder_->PaintRepeating(y, a, b, repeat, width, Wrap(int64_t{column} + (int64_t{a} - x0), width));
    };
    if (!singleRect_) {
      drawable_.ForEachSpanPart(y, x0, x1, part);
      return;
    }
    const int32_t a = std::max(x0, bounds_.left), b = std::min(x1, bounds_.right);
    if (a < b) part(a, b);
    return;
  }
  PaintOps(y, LaidRepeat(repeat, width, column, x0, x1));
}

std::span<const PixelOpRun> LaidRepeat(std::span<const PixelOpRun> repeat, int32_t width, int32_t column, int32_t x0,
                                       int32_t x1) {
  thread_local std::vector<PixelOpRun> ops;
  const size_t room = static_cast<size_t>((int64_t{x1} - x0 + column) / width + 1) * repeat.size();
  if (ops.size() < room) ops.resize(room);
  return {ops.data(), LayRepeat(repeat, width, column, x0, x1, ops.data(), ops.data())};
}

PixelOpRun* LayRepeat(std::span<const PixelOpRun> repeat, int32_t width, int32_t column, int32_t x0, int32_t x1,
                      PixelOpRun* begin, PixelOpRun* out) {
  if (repeat.empty()) return out;
  // From device column of pattern column 0 in the repeat that holds x0.
  for (int64_t base = int64_t{x0} - column; base < x1; base += width) {
    for (const PixelOpRun& run : repeat) {
      const int32_t a = static_cast<int32_t>(std::max<int64_t>(base + run.x0, x0));
      const int32_t b = static_cast<int32_t>(std::min<int64_t>(base + run.x1, x1));
      if (a >= b) continue;
      if (out != begin && out[-1].x1 == a && out[-1].op == run.op) out[-1].x1 = b;
      else *out++ = PixelOpRun{a, b, run.op};
    }
  }
  return out;
}

void RenderTarget::FillRect(const Rect& r) {
  const Rect cut = r.Intersect(bounds_);
  for (int32_t y = cut.top; y < cut.bottom; ++y) Span(y, cut.left, cut.right);
}

}  // namespace orvane::gdi
