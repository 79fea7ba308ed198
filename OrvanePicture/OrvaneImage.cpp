#include <orvane/OrvaneImage.h>

#include <orvane/FilteredDraw.h>
#include <orvane/forms/ClassRegistry.h>

namespace orvane {

TOrvaneImage::TOrvaneImage(vcl::TComponent* owner)
    : TGraphicControl(owner), picture_(std::make_unique<vcl::TPicture>()) {
  SetHeight(105);
  SetWidth(105);
  // The field starts at opqVeryLow, so this stores the level and invalidates.
  SetQuality(opqMed);
}

TOrvaneImage::~TOrvaneImage() = default;

void TOrvaneImage::SetAutoSize(bool value) {
  autoSize_ = value;
  PropertyChanged(this);
}

void TOrvaneImage::SetCenter(bool value) {
  if (value == center_) return;
  center_ = value;
  PropertyChanged(this);
}

void TOrvaneImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  PropertyChanged(this);
}

void TOrvaneImage::SetQuality(TOrvanePictureQuality value) {
  if (value == quality_) return;
  quality_ = value;
  PropertyChanged(this);
}

void TOrvaneImage::SetPicture(const vcl::TPicture* value) {
  picture_->Assign(value);
  PropertyChanged(this);
}

void TOrvaneImage::SetPicture(const vcl::TGraphic* value) {
  picture_->Assign(value);
  PropertyChanged(this);
}

void TOrvaneImage::PropertyChanged(vcl::TComponent* /*sender*/) {
  const int32_t pw = picture_->Width(), ph = picture_->Height();
  if (autoSize_ && pw > 0 && ph > 0) SetBounds(Left(), Top(), pw, ph);
  Invalidate();
}

vcl::TRect TOrvaneImage::PictureRect() const {
  const int32_t pw = picture_->Width(), ph = picture_->Height();
  if (stretch_) return vcl::Rect(0, 0, Width(), Height());
  if (center_) {
    // Widened: the differences of two 32-bit sizes need not fit in 32 bits.
    const auto left = static_cast<int32_t>((int64_t{Width()} - pw) / 2);
    const auto top = static_cast<int32_t>((int64_t{Height()} - ph) / 2);
    return vcl::Rect(left, top, left + pw, top + ph);
  }
  return vcl::Rect(0, 0, pw, ph);
}

void TOrvaneImage::Paint() {
  vcl::TCanvas& canvas = Canvas();
  if (IsDesigning()) {
    canvas.Pen().SetStyle(vcl::psDash);
    canvas.Brush().SetStyle(vcl::bsClear);
    canvas.Rectangle(0, 0, Width(), Height());
  }
  if (picture_->Width() <= 0 || picture_->Height() <= 0) return;
  OrvaneStretchDraw(canvas, PictureRect(), picture_->Graphic(), quality_);
}

namespace {

TOrvaneImage& AsImage(vcl::TComponent& c) { return static_cast<TOrvaneImage&>(c); }

}  // namespace

void RegisterOrvaneImage() {
  static const bool registered = [] {
    vcl::ClassRegistry::Instance()
        .Register<TOrvaneImage>("TOrvaneImage", "TGraphicControl")
        .Property("AutoSize",
                  [](vcl::TComponent& c, const vcl::FormValue& v) { AsImage(c).SetAutoSize(vcl::ValueAsBoolean(v)); })
        .Property("Center",
                  [](vcl::TComponent& c, const vcl::FormValue& v) { AsImage(c).SetCenter(vcl::ValueAsBoolean(v)); })
        .Property("Quality",
                  [](vcl::TComponent& c, const vcl::FormValue& v) {
                    // A level's name, compared as the reader compares identifiers.
                    if (v.kind == vcl::FormValue::Kind::Identifier)
                      for (uint8_t level = opqVeryLow; level <= opqVeryHigh; ++level)
                        if (vcl::SameText(v.text, QualityName(level))) {
                          AsImage(c).SetQuality(static_cast<TOrvanePictureQuality>(level));
                          return;
                        }
                    vcl::InvalidValue(v);
                  })
        .Property("Picture.Data",
                  [](vcl::TComponent& c, const vcl::FormValue& v) {
                    if (v.kind != vcl::FormValue::Kind::Binary) vcl::InvalidValue(v);
                    // The existing container reads the record into itself;
                    // the control hears nothing of it.
                    AsImage(c).Picture().ReadData(v.data, v.size);
                  })
        .Property("Stretch",
                  [](vcl::TComponent& c, const vcl::FormValue& v) { AsImage(c).SetStretch(vcl::ValueAsBoolean(v)); });
    // Visible and the click and mouse events come from TControl's entry.
    return true;
  }();
  (void)registered;
}

}  // namespace orvane
