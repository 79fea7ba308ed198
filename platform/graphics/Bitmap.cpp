#include <orvane/graphics/Bitmap.h>

#include <algorithm>
#include <cstring>

#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/rtl/Exceptions.h>

namespace orvane::vcl {

TBitmap::TBitmap() : dc_(gdi::CreateCompatibleDC(nullptr)), canvas_(std::make_unique<TCanvas>(dc_.get())) {}

// The device context goes before the surface it selects (members in reverse order).
TBitmap::~TBitmap() = default;

void TBitmap::ReplaceSurface(gdi::UniqueBitmap surface, int32_t width, int32_t height) {
  dc_->Select(surface.get());
  surface_.swap(surface);  // the old surface, no longer selected, goes with `surface`
  width_ = width;
  height_ = height;
}

void TBitmap::SetSize(int32_t width, int32_t height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == width_ && height == height_) return;
  if (width == 0 || height == 0) {
    ReplaceSurface(nullptr, width, height);
    return;
  }
  gdi::UniqueBitmap fresh(gdi::CreateScreenBitmap(width, height));
  if (!fresh) throw rtl::EOutOfResources();
  // White, then whatever of the old picture still fits.
  for (int32_t y = 0; y < height; ++y) std::memset(fresh->Row(y), 0xFF, static_cast<size_t>(width) * 4);
  if (surface_) {
    const int32_t w = std::min(width, width_), h = std::min(height, height_);
    for (int32_t y = 0; y < h; ++y) std::memcpy(fresh->Row(y), surface_->Row(y), static_cast<size_t>(w) * 4);
  }
  ReplaceSurface(std::move(fresh), width, height);
}

void TBitmap::Draw(TCanvas& canvas, const TRect& r) const {
  if (surface_) StretchSurface(canvas, r, *surface_);
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->SetSize(width_, height_);
  for (int32_t y = 0; y < height_; ++y)
    std::memcpy(copy->surface_->Row(y), surface_->Row(y), static_cast<size_t>(width_) * 4);
  return copy;
}

void StretchSurface(TCanvas& canvas, const TRect& dst, const gdi::BitmapObject& src) {
  gdi::HDC dc = canvas.Handle();
  if (!dc || src.Width() <= 0 || src.Height() <= 0) return;
  TRect d = dst;
  const bool flipX = d.right < d.left, flipY = d.bottom < d.top;
  if (flipX) std::swap(d.left, d.right);
  if (flipY) std::swap(d.top, d.bottom);
  const int64_t dw = int64_t{d.right} - d.left, dh = int64_t{d.bottom} - d.top;
  if (dw == 0 || dh == 0) return;
  gdi::RenderTarget target(*dc);
  const gdi::Rect device = d.Offset(dc->origin.x, dc->origin.y);
  const gdi::Rect visible = device.Intersect(target.HeldClipBounds());
  const int32_t sbpp = src.BytesPerPixel();
  for (int32_t y = visible.top; y < visible.bottom; ++y) {
    int64_t oy = y - device.top;
    if (flipY) oy = dh - 1 - oy;
    const int64_t sy = (2 * oy + 1) * src.Height() / (2 * dh);
    const uint8_t* srow = src.Row(static_cast<int32_t>(sy));
    // Runs of equal source pixels become one span.
    int32_t x = visible.left;
    while (x < visible.right) {
      int64_t ox = x - device.left;
      if (flipX) ox = dw - 1 - ox;
      const int64_t sx = (2 * ox + 1) * src.Width() / (2 * dw);
      const uint8_t* p = srow + sx * sbpp;
      const gdi::COLORREF c = gdi::RGB(p[2], p[1], p[0]);
      int32_t end = x + 1;
      while (end < visible.right) {
        int64_t o2 = end - device.left;
        if (flipX) o2 = dw - 1 - o2;
        if ((2 * o2 + 1) * src.Width() / (2 * dw) != sx) break;
        ++end;
      }
      target.SetPaint(gdi::Paint::Solid(c));
      target.Span(y, x, end);
      x = end;
    }
  }
}

}  // namespace orvane::vcl
