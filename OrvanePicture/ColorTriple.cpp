#include <orvane/ColorTriple.h>

namespace orvane {

namespace {
// Two's-complement wrap-around without signed overflow.
int32_t Wrap(uint32_t value) { return static_cast<int32_t>(value); }
}  // namespace

int32_t TripleToColor(const TColorTriple& t) {
  return Wrap(static_cast<uint32_t>(t.B) * 65536u + static_cast<uint32_t>(t.G) * 256u + static_cast<uint32_t>(t.R));
}

TColorTriple ColorToTriple(int32_t color) {
  TColorTriple t;
  t.B = color / 65536;
  const int32_t rest = color - t.B * 65536;
  t.G = rest / 256;
  t.R = rest - t.G * 256;
  return t;
}

vcl::TRect MakeBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  return vcl::TRect{left, top, Wrap(static_cast<uint32_t>(left) + static_cast<uint32_t>(width)),
                    Wrap(static_cast<uint32_t>(top) + static_cast<uint32_t>(height))};
}

void FillSolid(vcl::TCanvas& canvas, int32_t x, int32_t y, int32_t width, int32_t height, TColorTriple color) {
  canvas.Pen().SetColor(TripleToColor(color));
  canvas.Brush().SetStyle(vcl::bsSolid);
  canvas.Brush().SetColor(TripleToColor(color));
  const vcl::TRect r = MakeBounds(x, y, width, height);
  canvas.Rectangle(r.left, r.top, r.right, r.bottom);
}

}  // namespace orvane
