#pragma once
// TOrvaneImage: a graphic control that shows its picture through the
// filtered stretch draw at a chosen quality level: at its own size at the
// top-left corner, centred (Center), or stretched over the whole control
// (Stretch). With AutoSize the control takes the picture's size whenever one
// of its own properties changes.
//
// The control is not told about changes made inside its picture container:
// loading a file into Picture() directly neither resizes nor repaints it;
// assigning through SetPicture does both.

#include <memory>

#include <orvane/Quality.h>
#include <orvane/forms/GraphicControl.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

class TOrvaneImage : public vcl::TGraphicControl {
 public:
  // 105 x 105 pixels, an empty picture, Quality opqMed, the flags false.
  explicit TOrvaneImage(vcl::TComponent* owner);
  ~TOrvaneImage() override;
  const char* ClassName() const override { return "TOrvaneImage"; }

  bool AutoSize() const { return autoSize_; }
  bool Stretch() const { return stretch_; }
  bool Center() const { return center_; }
  TOrvanePictureQuality Quality() const { return quality_; }
  vcl::TPicture& Picture() { return *picture_; }
  const vcl::TPicture& Picture() const { return *picture_; }

  // Stores the value and runs PropertyChanged on every write.
  void SetAutoSize(bool value);
  // These three compare first: writing the stored value does nothing.
  void SetCenter(bool value);
  void SetStretch(bool value);
  void SetQuality(TOrvanePictureQuality value);
  // The container takes a copy (nullptr empties it), then PropertyChanged
  // runs, on every write. An error while copying leaves before that.
  void SetPicture(const vcl::TPicture* value);
  void SetPicture(const vcl::TGraphic* value);

  // Where the picture is drawn, in the control's coordinates: the client
  // rectangle with Stretch; centred with Center (halves truncated toward
  // zero, so a larger picture starts left of or above the control);
  // otherwise at the picture's own size at the top-left corner.
  vcl::TRect PictureRect() const;

 protected:
  // With AutoSize and a picture of positive size, takes the picture's size
  // (keeping Left and Top); then invalidates the control in every case.
  void PropertyChanged(vcl::TComponent* sender);
  // Designing: a dashed outline of the control (the pen and brush styles
  // stay so). Then the picture's graphic, whatever its class, through the
  // filtered draw into PictureRect; the container is never changed.
  void Paint() override;

 private:
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  TOrvanePictureQuality quality_ = opqVeryLow;
  std::unique_ptr<vcl::TPicture> picture_;
};

// Registers TOrvaneImage and its published properties with the class
// registry, so that form definitions can create it; call before reading a
// definition that holds one. Later calls do nothing.
void RegisterOrvaneImage();

}  // namespace orvane

ORVANE_PUBLIC_END
