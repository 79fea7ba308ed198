#pragma once
// TIcon: the first image of an icon file (.ico), drawn stretched with its
// transparency mask (pixels outside the mask keep the canvas's colour).

#include <memory>
#include <vector>

#include <orvane/gdi/DibImage.h>
#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TIcon : public TGraphic {
 public:
  const char* ClassName() const override { return "TIcon"; }
  int32_t Width() const override { return image_ ? image_->width : 0; }
  int32_t Height() const override { return image_ ? image_->height : 0; }
  void Draw(TCanvas& canvas, const TRect& r) const override;
  std::unique_ptr<TGraphic> Clone() const override;
  // Loads the first image of an icon file (a DIB with its AND mask; a 32-bit
  // image with any alpha above 0 uses alpha > 0 as its mask). Bad data, and
  // PNG-compressed images, raise EInvalidGraphic "Symbol ist ungültig" and
  // keep the old content.
  void LoadFromBytes(const uint8_t* data, size_t size) override;
  // The icon as an icon file with one 32-bit image and its AND mask (empty when empty).
  std::vector<uint8_t> SaveToBytes() const;

  // The image, top row first; `mask` marks (1) the opaque pixels.
  const gdi::DibImage* Image() const { return image_.get(); }
  const std::vector<uint8_t>* Mask() const { return mask_.get(); }

 public:
  uint64_t FileBytesClaimed(const uint8_t* head, size_t size) const override;

 private:
  std::shared_ptr<const gdi::DibImage> image_;
  std::shared_ptr<const std::vector<uint8_t>> mask_;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
