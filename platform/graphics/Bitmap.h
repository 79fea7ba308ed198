#pragma once
// TBitmap: an offscreen bitmap in the screen's pixel format (32 bits a
// pixel, 8 bits a channel, so key colours survive copies exactly). Once its
// Width and then its Height are set above 0 it holds that many pixels, all
// white, and draws through its own canvas.

#include <memory>
#include <vector>

#include <orvane/gdi/UniqueHandles.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TBitmap : public TGraphic {
 public:
  TBitmap();
  ~TBitmap() override;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  const char* ClassName() const override { return "TBitmap"; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  // Resizing keeps the pixels that stay inside and makes the new ones white;
  // a size that cannot be provided raises EOutOfResources and keeps the old one.
  void SetWidth(int32_t value) { SetSize(value, height_); }
  void SetHeight(int32_t value) { SetSize(width_, value); }
  void SetSize(int32_t width, int32_t height);

  TCanvas& Canvas() { return *canvas_; }
  // The pixel surface (nullptr while either side is 0).
  gdi::BitmapObject* Surface() const { return surface_.get(); }

  void Draw(TCanvas& canvas, const TRect& r) const override;
  std::unique_ptr<TGraphic> Clone() const override;
  // Loads a BMP file (1, 4, 8, 16, 24 or 32 bits a pixel, uncompressed, RLE
  // or bit fields); bad data raises EInvalidGraphic "Bitmap ist ungültig" and
  // keeps the old content.
  void LoadFromBytes(const uint8_t* data, size_t size) override;
  // The bitmap as a BMP file: 24 bits a pixel, bottom-up (empty when either side is 0).
  std::vector<uint8_t> SaveToBytes() const;

 public:
  uint64_t FileBytesClaimed(const uint8_t* head, size_t size) const override;

 private:
  void ReplaceSurface(gdi::UniqueBitmap surface, int32_t width, int32_t height);

  int32_t width_ = 0;
  int32_t height_ = 0;
  gdi::UniqueBitmap surface_;
  gdi::UniqueDC dc_;
  std::unique_ptr<TCanvas> canvas_;
};

// Draws `src` (a whole surface) stretched into `dst` rectangle of a canvas,
// each pixel taking one source pixel (COLORONCOLOR, by the bitmap drawing's
// rule at ties); only drawable pixels change.
void StretchSurface(TCanvas& canvas, const TRect& dst, const gdi::BitmapObject& src);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
