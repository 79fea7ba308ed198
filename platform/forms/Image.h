#pragma once
// TImage: the stock image control. It shows its picture's graphic: at its
// own size at the top-left corner, centred (Center), or with Stretch drawn
// into the whole client rectangle (0, 0, Width, Height), with Proportional
// keeping the picture's aspect ratio (and never enlarging it, as the stock
// control does), centred when Center is set.

#include <memory>

#include <orvane/forms/GraphicControl.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  const char* ClassName() const override { return "TImage"; }

  TPicture& Picture() { return *picture_; }
  // Takes a copy of the other picture's graphic and repaints.
  void SetPicture(const TPicture* value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);

  // Where the graphic is drawn, in the control's coordinates.
  TRect DestRect() const;

 protected:
  void Paint() override;

 private:
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
