#include "AggBaseline.h"

#include <cmath>

#include <agg_conv_curve.h>
#include <agg_conv_transform.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>
#include <agg_trans_affine.h>

namespace orvanebench {

namespace {

// AGG's subdivision stops when a piece lies within 0.5 / scale of its chord;
// the curves are flattened after the scaling, so 5 gives the 0.1 device
// pixels that cairo and the library's own flattening use.
constexpr double kApproximationScale = 5.0;

}  // namespace

struct AggTarget::Renderer {
  Renderer(uint8_t* pixels, int32_t width, int32_t height)
      : buffer(pixels, unsigned(width), unsigned(height), width * 4), format(buffer), base(format) {
    rasterizer.clip_box(0, 0, width, height);
  }
  agg::rendering_buffer buffer;
  agg::pixfmt_bgra32 format;
  agg::renderer_base<agg::pixfmt_bgra32> base;
  agg::rasterizer_scanline_aa<> rasterizer;
  agg::scanline_u8 scanline;
  agg::path_storage path;
};

AggTarget::AggTarget(int32_t width, int32_t height)
    : width_(width), height_(height), pixels_(size_t(width) * size_t(height) * 4, 0xFF),
      renderer_(std::make_unique<Renderer>(pixels_.data(), width, height)) {}

AggTarget::~AggTarget() = default;

// The control points rounded to whole picture pixels, as the metafile and
// the cairo baseline have them, then scaled to the target.
void AggTarget::Draw(const std::vector<BezierShape>& shapes) {
  Renderer& r = *renderer_;
  agg::trans_affine scaling =
      agg::trans_affine_scaling(double(width_) / kPictureWidth, double(height_) / kPictureHeight);
  for (const BezierShape& s : shapes) {
    r.path.remove_all();
    r.path.move_to(std::round(s.startX), std::round(s.startY));
    for (size_t i = 0; i + 5 < s.controls.size(); i += 6)
      r.path.curve4(std::round(s.controls[i]), std::round(s.controls[i + 1]), std::round(s.controls[i + 2]),
                    std::round(s.controls[i + 3]), std::round(s.controls[i + 4]), std::round(s.controls[i + 5]));
    r.path.close_polygon();
    agg::conv_transform<agg::path_storage> scaled(r.path, scaling);
    agg::conv_curve<agg::conv_transform<agg::path_storage>> flattened(scaled);
    flattened.approximation_scale(kApproximationScale);
    r.rasterizer.reset();
    r.rasterizer.add_path(flattened);
    agg::render_scanlines_aa_solid(r.rasterizer, r.scanline, r.base,
                                   agg::rgba8(s.rgb & 0xFF, (s.rgb >> 8) & 0xFF, (s.rgb >> 16) & 0xFF));
  }
}

uint32_t AggTarget::PixelAt(int32_t x, int32_t y) const {
  const uint8_t* p = pixels_.data() + (size_t(y) * size_t(width_) + size_t(x)) * 4;
  return uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16;
}

}  // namespace orvanebench
