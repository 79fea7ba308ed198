#include <orvane/graphics/Bitmap.h>

#include <algorithm>
#include <cstring>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/detail/ImageDrawing.h>
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

namespace {

// A surface's pixels as a stretch source.
class SurfaceSource final : public gdi::ImageSource {
 public:
  explicit SurfaceSource(const gdi::BitmapObject& surface) : surface_(surface) {}
  int32_t Width() const override { return surface_.Width(); }
  int32_t Height() const override { return surface_.Height(); }
  void Sample(const gdi::SourcePixel* at, size_t count, gdi::COLORREF* out) const override {
    const size_t bpp = static_cast<size_t>(surface_.BytesPerPixel());
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* p = surface_.Row(at[i].row) + static_cast<size_t>(at[i].column) * bpp;
      out[i] = gdi::RGB(p[2], p[1], p[0]);
    }
  }

 private:
  const gdi::BitmapObject& surface_;
};

}  // namespace

void StretchSurface(TCanvas& canvas, const TRect& dst, const gdi::BitmapObject& src) {
  gdi::HDC dc = canvas.Handle();
  if (!dc || src.Width() <= 0 || src.Height() <= 0 || !src.Bits()) return;
  gdi::RenderTarget target(*dc);
  const double left = static_cast<double>(dst.left) + dc->origin.x, top = static_cast<double>(dst.top) + dc->origin.y;
  const double right = static_cast<double>(dst.right) + dc->origin.x;
  const double bottom = static_cast<double>(dst.bottom) + dc->origin.y;
  gdi::ImageTransfer how;
  how.rule = gdi::StretchRule::BitmapDraw;
  gdi::TransferImage(target, SurfaceSource(src), gdi::DeviceParallelogram{left, top, right, top, left, bottom}, 0, 0,
                     src.Width(), src.Height(), how);
}

}  // namespace orvane::vcl
