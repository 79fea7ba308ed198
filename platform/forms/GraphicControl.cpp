#include "forms/GraphicControl.h"

namespace vcl {

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

}  // namespace vcl
