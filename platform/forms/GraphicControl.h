#pragma once
// TGraphicControl: a windowless control that paints on its parent's
// surface. The form paints it (see TForm::PaintRegion) through PaintTo,
// which lends the control's canvas a device context whose origin is the
// control's top-left corner and whose clip is the control's area cut by the
// region being repainted; Paint draws through that canvas. Pen, brush and
// font settings of the canvas persist from one paint to the next.

#include <orvane/forms/Control.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  const char* ClassName() const override { return "TGraphicControl"; }

  TCanvas& Canvas() { return canvas_; }
  // An opaque control paints every pixel of its area; the form's paint
  // handler is clipped away from it. None of the stock controls is opaque.
  virtual bool IsOpaque() const { return false; }

  // Runs Paint on `dc`, which the caller has prepared (origin and clip);
  // the canvas lets go of the context again however Paint ends.
  void PaintTo(gdi::HDC dc);

 protected:
  virtual void Paint() {}

 private:
  TCanvas canvas_;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
