#pragma once
// The demo-like shapes drawn anti-aliased by AGG straight at a target size:
// a baseline for the filtered drawing, built only into the benchmarks.

#include <cstdint>
#include <memory>
#include <vector>

#include "DemoLikePicture.h"

namespace orvanebench {

// A BGRA raster of one target size with AGG's rasteriser and scanline,
// made once; Draw paints the shapes over whatever the raster holds, as the
// cairo baseline does.
class AggTarget {
 public:
  AggTarget(int32_t width, int32_t height);
  ~AggTarget();
  AggTarget(const AggTarget&) = delete;
  AggTarget& operator=(const AggTarget&) = delete;

  void Draw(const std::vector<BezierShape>& shapes);
  // Colour value (red in bits 0-7) of a pixel, for checking what was drawn.
  uint32_t PixelAt(int32_t x, int32_t y) const;

 private:
  struct Renderer;
  int32_t width_, height_;
  std::vector<uint8_t> pixels_;
  std::unique_ptr<Renderer> renderer_;
};

}  // namespace orvanebench
