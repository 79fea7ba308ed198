#include <orvane/forms/GraphicControl.h>

namespace orvane::vcl {

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(gdi::HDC dc) {
  struct Release {
    TCanvas& canvas;
    ~Release() { canvas.SetHandle(nullptr); }
  } release{canvas_};
  canvas_.SetHandle(dc);
  canvas_.Font() = Font();
  Paint();
}

}  // namespace orvane::vcl
