#include <orvane/forms/Image.h>

#include <cstdint>

namespace orvane::vcl {

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() = default;

void TImage::SetPicture(const TPicture* value) {
  picture_->Assign(value);
  Invalidate();
}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  if (value == proportional_) return;
  proportional_ = value;
  Invalidate();
}

TRect TImage::DestRect() const {
  const int32_t cw = Width(), ch = Height();
  int32_t w = picture_->Width(), h = picture_->Height();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      // Fit the larger ratio: compare w/cw with h/ch in 64 bits.
      if (int64_t{w} * ch > int64_t{h} * cw) {
        h = static_cast<int32_t>(int64_t{cw} * h / w);
        w = cw;
      } else {
        w = static_cast<int32_t>(int64_t{ch} * w / h);
        h = ch;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  if (center_) {
    // In 64 bits: a picture's size comes from its file and may be anything.
    const int32_t left = gdi::ClampToInt32((int64_t{cw} - w) / 2), top = gdi::ClampToInt32((int64_t{ch} - h) / 2);
    return Bounds(left, top, w, h);
  }
  return Bounds(0, 0, w, h);
}

void TImage::Paint() {
  if (IsDesigning()) {
    Canvas().Pen().SetStyle(psDash);
    Canvas().Brush().SetStyle(bsClear);
    Canvas().Rectangle(0, 0, Width(), Height());
  }
  Canvas().StretchDraw(DestRect(), picture_->Graphic());
}

}  // namespace orvane::vcl
