#pragma once
// Span filling: everything the rasteriser, the canvas and the metafile
// player paint ends up as horizontal spans [x0, x1) on a row. The function
// that writes a span is chosen once per paint from the surface format, the
// paint kind and the raster operation, never per pixel.

#include <cstdint>
#include <span>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/DrawingObjects.h>
#include <orvane/gdi/Region.h>
#include <orvane/gdi/detail/SpanRecorder.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// What a span is painted with: a solid colour, or a pattern repeated from an
// origin (brush patterns and hatches; `patternMask`, when present, marks the
// pattern pixels that are painted, the others being left alone).
struct Paint {
  COLORREF color = 0;
  Rop2 rop = Rop2::CopyPen;
  const PatternImage* pattern = nullptr;
  const uint8_t* patternMask = nullptr;  // width*height bytes, 1 = paint
  Point patternOrigin;                   // device position of pattern pixel (0, 0)

  static Paint Solid(COLORREF c, Rop2 r = Rop2::CopyPen) { return Paint{c, r, nullptr, nullptr, {}}; }
};

// `paint` along device row y: its colour where it has no pattern, else its
// pattern's row, column by column.
class PaintRow {
 public:
  PaintRow(const Paint& paint, int32_t y);
  bool Solid() const { return pixels_ == nullptr; }
  COLORREF Color() const { return color_; }
  // The pattern column of device column x.
  int32_t ColumnOf(int32_t x) const;
  int32_t Width() const { return width_; }
  // The colour of pattern column c; false where the mask leaves it alone.
  bool At(int32_t c, COLORREF& out) const {
    if (mask_ && !mask_[c]) return false;
    out = pixels_[c];
    return true;
  }

 private:
  COLORREF color_ = 0;
  const COLORREF* pixels_ = nullptr;
  const uint8_t* mask_ = nullptr;
  int32_t width_ = 0;
  int32_t originX_ = 0;
};

// Lays one pattern repeat's operations, `repeat` (runs in pattern columns
// [0, width), sorted, apart), along device columns [x0, x1), x0 falling on
// pattern column `column`. The parts are written from `out` on, each joined
// to the one before it (back to `begin`) where they touch with the same
// operation; returns the new end. `out` has room for every part.
PixelOpRun* LayRepeat(std::span<const PixelOpRun> repeat, int32_t width, int32_t column, int32_t x0, int32_t x1,
                      PixelOpRun* begin, PixelOpRun* out);

// The operations of one repeat laid along [x0, x1) as LayRepeat lays them,
// in room of this thread's kept until the next call.
std::span<const PixelOpRun> LaidRepeat(std::span<const PixelOpRun> repeat, int32_t width, int32_t column, int32_t x0,
                                       int32_t x1);

using SpanFn = void (*)(uint8_t* row, int32_t y, int32_t x0, int32_t x1, const Paint& paint);

SpanFn SelectSpanFn(PixelFormat format, const Paint& paint);

// Paints every pixel of `surface` in `color`, as a copy-pen fill of its whole
// bounds would (32-bit pixels get 0 in their unused byte).
void FillSurface(BitmapObject& surface, COLORREF color);

// Combines a source colour with a destination colour by a binary raster operation.
COLORREF ApplyRop2(Rop2 rop, COLORREF pen, COLORREF dst);

// Writes spans to a surface, limited to a drawable region (device
// coordinates). Spans may come in any order; each is cut to the region.
// A recording surface (one with a SpanRecorder) takes the spans as runs of
// the colours the pixels would get instead.
class RenderTarget {
 public:
  RenderTarget(BitmapObject* surface, Region drawable);
  // The surface and drawable region of a device context.
  explicit RenderTarget(const class DeviceContext& dc);

  bool IsEmpty() const { return surface_ == nullptr || drawable_.IsEmpty(); }
  const Region& Drawable() const { return drawable_; }
  // Where pixels go: the clip's bounds cut to the rows the surface holds.
  Rect HeldClipBounds() const { return bounds_; }
  // The clip bounds over the whole surface, not cut to a band it may be held
  // in. Anything that decides how to draw from the clip's size (how far to
  // clip in advance, when to give up dashes) uses these, so the decision is
  // the same in every band; only where pixels go is cut to HeldClipBounds().
  Rect WholeClipBounds() const { return layoutBounds_; }
  BitmapObject* Surface() const { return surface_; }

  void SetPaint(const Paint& paint);
  const Paint& CurrentPaint() const { return paint_; }
  // Inline: the rasterisers call this once per span, the common single-rectangle case costs no call.
  void Span(int32_t y, int32_t x0, int32_t x1) {
    if (!fn_ || y < bounds_.top || y >= bounds_.bottom || x0 >= x1 || paint_.rop == Rop2::Nop) return;
    if (!singleRect_) {
      SpanInRegion(y, x0, x1);
      return;
    }
    const int32_t a = x0 > bounds_.left ? x0 : bounds_.left;
    const int32_t b = x1 < bounds_.right ? x1 : bounds_.right;
    if (a >= b) return;
    if (!recorder_) fn_(surface_->Row(y), y, a, b, paint_);
    else if (recordsSolid_) recorder_->Paint(y, a, b, recordedColor_);
    else RecordSpan(y, a, b);
  }
  void FillRect(const Rect& deviceRect);
  // Changes the pixels of row y by `ops` (sorted, not overlapping), cut to
  // the drawable region; the current paint plays no part. A recording
  // surface records what the pixels would become over either key.
  void PaintOps(int32_t y, std::span<const PixelOpRun> ops);
  // Changes [x0, x1) of row y, cut to the drawable region, by one pattern
  // repeat's operations laid along it (as LayRepeat lays them). A recording
  // surface keeps them as repeating colours where it can.
  void PaintRepeating(int32_t y, int32_t x0, int32_t x1, std::span<const PixelOpRun> repeat, int32_t width,
                      int32_t column);
  // The recorder that every span within HeldClipBounds() (one rectangle)
  // goes to as SpanRecorder::Paint in RecordedColor(); nullptr when spans
  // take another way.
  SpanRecorder* SolidRecorder() const {
    return recorder_ && recordsSolid_ && singleRect_ && fn_ && paint_.rop != Rop2::Nop ? recorder_ : nullptr;
  }
  COLORREF RecordedColor() const { return recordedColor_; }
  // Whether PaintRepeating keeps a repeat of `width` columns as repeating colours.
  bool KeepsRepeats(int32_t width) const { return recorder_ && SpanRecorder::CanRepeat(width); }

 private:
  void SpanInRegion(int32_t y, int32_t x0, int32_t x1);
  void RecordSpan(int32_t y, int32_t x0, int32_t x1);

  BitmapObject* surface_;
  SpanRecorder* recorder_ = nullptr;
  // For a recorder: the paint is one colour whatever is under it, this one.
  bool recordsSolid_ = false;
  COLORREF recordedColor_ = 0;
  Region drawable_;
  Rect bounds_;
  Rect layoutBounds_;
  bool singleRect_;
  Paint paint_;
  SpanFn fn_ = nullptr;
};

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
