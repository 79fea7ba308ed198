#pragma once
// Reading what an image transfer draws: a row of destination pixels at a
// time, each pixel's source colour, mask bit and alpha, asked of the source
// (and the mask) in one batch a row.

#include <cstdint>
#include <vector>

#include <orvane/gdi/DibImage.h>
#include <orvane/gdi/ImageSource.h>
#include <orvane/gdi/detail/ImageDrawing.h>

namespace orvane::gdi {

// A decoded image as a source.
class PixelsSource final : public ImageSource {
 public:
  explicit PixelsSource(const DibImage& image) : image_(image) {}
  int32_t Width() const override { return image_.width; }
  int32_t Height() const override { return image_.height; }
  void Sample(const SourcePixel* at, size_t count, COLORREF* out) const override;

 private:
  const DibImage& image_;
};

// A mask of one byte a pixel (not 0: drawn) as a source: white or black.
class ByteMaskSource final : public ImageSource {
 public:
  ByteMaskSource(const uint8_t* mask, int32_t width, int32_t height) : mask_(mask), width_(width), height_(height) {}
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  void Sample(const SourcePixel* at, size_t count, COLORREF* out) const override;

 private:
  const uint8_t* mask_;
  int32_t width_, height_;
};

// True when some source pixels may be masked out.
inline bool Masked(const ImageTransfer& how) { return how.mask || how.transparentColor >= 0; }

// What a row of destination pixels takes from the source: for pixel i (whose
// source pixel at[i] has row -1 when it has none) whether it has a source
// pixel, its colour, its mask bit and, when blending asks for it, its alpha.
class SourceSampler {
 public:
  SourceSampler(const ImageSource& image, const ImageTransfer& how) : image_(image), how_(how) {}
  void Sample(const std::vector<SourcePixel>& at);

  std::vector<COLORREF> colors;
  std::vector<uint8_t> present, maskBit, alpha;
  bool hasAlpha = false;

 private:
  void SampleMask();

  const ImageSource& image_;
  const ImageTransfer& how_;
  std::vector<SourcePixel> batch_, maskAt_;
  std::vector<size_t> where_, maskWhere_;
  std::vector<COLORREF> batchColors_, maskColors_;
  std::vector<uint8_t> batchAlpha_;
};

}  // namespace orvane::gdi
