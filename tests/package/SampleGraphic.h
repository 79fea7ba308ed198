#pragma once
// A test graphic defined sample by sample: when drawn into a rectangle it
// asks a function, for each pixel of the rectangle, which colour the
// picture has there (or none: the pixel keeps its colour). This lets tests
// state exactly which supersamples a filtered drawing sees.

#include <functional>
#include <optional>

#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Graphic.h>

namespace orvanetest {

class SampleGraphic : public orvane::vcl::TGraphic {
 public:
  // sample(x, y, width, height): the colour at pixel (x, y) of a drawing of width x height.
  using SampleFn = std::function<std::optional<orvane::vcl::TColor>(int32_t, int32_t, int32_t, int32_t)>;
  SampleGraphic(int32_t width, int32_t height, SampleFn fn) : width_(width), height_(height), fn_(std::move(fn)) {}

  const char* ClassName() const override { return "SampleGraphic"; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  void Draw(orvane::vcl::TCanvas& canvas, const orvane::vcl::TRect& r) const override {
    ++drawCount;
    for (int32_t y = 0; y < r.Height(); ++y)
      for (int32_t x = 0; x < r.Width(); ++x)
        if (auto c = fn_(x, y, r.Width(), r.Height())) canvas.SetPixel(r.left + x, r.top + y, *c);
  }
  std::unique_ptr<orvane::vcl::TGraphic> Clone() const override { return std::make_unique<SampleGraphic>(*this); }
  void LoadFromBytes(const uint8_t*, size_t) override {}

  mutable int drawCount = 0;

 private:
  int32_t width_, height_;
  SampleFn fn_;
};

}  // namespace orvanetest
