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

// The source pixels that destination pixels combine along one axis: pixel
// i's are index[first[i]] .. index[first[i + 1] - 1], each inside the
// image, with their weights (only Halftone reads those).
struct AxisTaps {
  std::vector<size_t> first{0};
  std::vector<int32_t> index;
  std::vector<uint64_t> weight;
  void Clear() {
    first.assign(1, 0);
    index.clear();
    weight.clear();
  }
  void Add(int32_t source, uint64_t w) {
    index.push_back(source);
    weight.push_back(w);
  }
  void EndPixel() { first.push_back(index.size()); }
  size_t Pixels() const { return first.size() - 1; }
};

// What a row of destination pixels takes from the source: for pixel i (whose
// source pixel at[i] has row -1 when it has none) whether it has a source
// pixel, its colour, its mask bit and, when blending asks for it, its alpha.
class SourceSampler {
 public:
  SourceSampler(const ImageSource& image, const ImageTransfer& how) : image_(image), how_(how) {}
  void Sample(const std::vector<SourcePixel>& at);
  // After Sample: replaces the colour of each pixel that has one by what the
  // transfer's mode (BlackOnWhite, WhiteOnBlack or Halftone) makes of
  // destination row `rowPixel`'s source rows in `rows`, each across the
  // pixel's taps in `columns`. A source row alike to the last one read is
  // not read again.
  void Combine(const AxisTaps& rows, size_t rowPixel, const AxisTaps& columns);

  std::vector<COLORREF> colors;
  std::vector<uint8_t> present, maskBit, alpha;
  bool hasAlpha = false;

 private:
  void SampleMask();
  // One source row combined across each pixel's column taps, into across_.
  void CombineAcross(int32_t row, const AxisTaps& columns);

  const ImageSource& image_;
  const ImageTransfer& how_;
  std::vector<SourcePixel> batch_, maskAt_;
  std::vector<size_t> where_, maskWhere_;
  std::vector<COLORREF> batchColors_, maskColors_;
  std::vector<uint8_t> batchAlpha_;
  std::vector<SourcePixel> tapAt_;
  std::vector<COLORREF> tapColors_, combined_;
  std::vector<uint8_t> combinedAny_;
  // The last source row combined across (-1: none), for the one set of
  // column taps a sampler is given: for AND and OR one colour a pixel, for
  // Halftone its weighted channel sums and weight.
  int32_t acrossRow_ = -1;
  std::vector<COLORREF> across_;
  std::vector<uint8_t> acrossAny_;  // the pixel has a tap in the row
  std::vector<uint64_t> acrossSums_;  // 4 a pixel: red, green, blue, weight
  std::vector<unsigned __int128> downSums_;
};

}  // namespace orvane::gdi
