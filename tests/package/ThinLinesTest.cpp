// Thin lines drawn one target pixel wide: the coverage across a one-pixel
// line adds up to one pixel wherever the line falls between target pixels,
// dashes keep their lengths in target pixels, and both ways of rendering
// give the same bytes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/detail/FilteredDrawTesting.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include "emf/EmfWriter.h"

using namespace orvane;
namespace emf = orvane::emf;

namespace {

constexpr int32_t kSide = 60;  // the picture's logical units (and pixels)

// One-pixel black lines of `style`: horizontal at y = `at`, vertical at x = `at`.
std::unique_ptr<vcl::TMetafile> Lines(int32_t at, uint32_t style = emf::PS_SOLID) {
  emf::EmfWriter w(emf::HeaderForPixels(kSide, kSide, {1000, 1000}, {100, 100}));
  w.SelectObject(w.CreatePen(style, 0, 0x000000));
  w.MoveToEx(4, at);
  w.LineTo(kSide - 4, at);
  w.MoveToEx(at, 4);
  w.LineTo(at, kSide - 4);
  const std::vector<uint8_t> bytes = w.Finish();
  auto metafile = std::make_unique<vcl::TMetafile>();
  metafile->LoadFromBytes(bytes.data(), bytes.size());
  return metafile;
}

struct Rendered {
  int32_t size;
  std::vector<int> coverage;  // size x size, top row first
  int At(int32_t x, int32_t y) const { return coverage[size_t(y) * size_t(size) + size_t(x)]; }
};

Rendered Render(const vcl::TGraphic& graphic, int32_t size, ThinLines thin, FilteredRendering how) {
  const FilteredRendering previous = SetFilteredRenderingForTesting(how);
  TFastBMP color(size, size), coverage(size, size);
  const double scale = double(size) / kSide;
  RenderFiltered(color, coverage, graphic, FilteredDrawOptions{opqHigh, thin}, scale, scale);
  SetFilteredRenderingForTesting(previous);
  Rendered r{size, {}};
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) r.coverage.push_back(coverage.RowStarts()[y][3 * x]);
  return r;
}

}  // namespace

TEST(ThinLinesTest, AOnePixelLineCoversOneTargetPixelAcrossAtAnyOffset) {
  // Target sizes that put the lines at many fractions of a target pixel.
  for (int32_t size : {60, 47, 73, 29}) {
    for (int32_t at : {20, 31, 37}) {
      const auto picture = Lines(at);
      const Rendered r = Render(*picture, size, ThinLines::OnePixel, FilteredRendering::Automatic);
      const std::string what = "size " + std::to_string(size) + ", line at " + std::to_string(at);
      // Away from the ends and from the crossing, across each line.
      const double scale = double(size) / kSide;
      const int32_t from = int32_t(8 * scale) + 1, to = int32_t((kSide - 8) * scale) - 1;
      const int32_t crossing = int32_t(at * scale);
      for (int32_t i = from; i < to; ++i) {
        if (i >= crossing - 1 && i <= crossing + 2) continue;
        int across = 0, down = 0;
        for (int32_t j = 0; j < size; ++j) {
          across += r.At(i, j);  // a column of the horizontal line
          down += r.At(j, i);    // a row of the vertical line
        }
        ASSERT_NEAR(across, 255, 2) << what << ", column " << i;
        ASSERT_NEAR(down, 255, 2) << what << ", row " << i;
      }
    }
  }
}

TEST(ThinLinesTest, ExactDrawingKeepsTheLineOneSampleWide) {
  // At opqHigh one sample row of eight: 8 of the block's 64 samples, 8 x 255 / 64 truncated.
  const auto picture = Lines(20);
  const Rendered r = Render(*picture, kSide, ThinLines::Exact, FilteredRendering::Automatic);
  int across = 0;
  for (int32_t y = 0; y < kSide; ++y) across += r.At(30, y);
  EXPECT_EQ(across, 8 * 255 / 64);
}

TEST(ThinLinesTest, DashesKeepTheirLengthInTargetPixels) {
  // Thickened at opqHigh, the dashed line is dashed where the aliased
  // drawing at the target size is; a dash's first and last target pixels
  // are half covered (the line covers the blocks its pixels begin, with
  // flat ends), and are left out.
  const auto picture = Lines(20, emf::PS_DASH);
  const Rendered thick = Render(*picture, kSide, ThinLines::OnePixel, FilteredRendering::Automatic);
  vcl::TBitmap aliased;
  aliased.SetSize(kSide, kSide);
  aliased.Canvas().Brush().SetColor(0xFFFFFF);
  aliased.Canvas().FillRect(vcl::Rect(0, 0, kSide, kSide));
  aliased.Canvas().StretchDraw(vcl::Rect(0, 0, kSide, kSide), picture.get());
  int dashed = 0, gaps = 0;
  for (int32_t x = 6; x < kSide - 6; ++x) {
    if (x >= 18 && x <= 22) continue;  // the vertical line
    int column = 0;
    for (int32_t y = 0; y < kSide; ++y) column += thick.At(x, y);
    if (column > 100 && column < 156) continue;
    const bool black = aliased.Canvas().Pixel(x, 20) == 0;
    EXPECT_EQ(column > 128, black) << "column " << x;
    (black ? dashed : gaps)++;
  }
  EXPECT_GT(dashed, 10);
  EXPECT_GT(gaps, 5);
}

TEST(ThinLinesTest, SpansAndKeySurfacesAgree) {
  for (uint32_t style : {emf::PS_SOLID, emf::PS_DOT}) {
    const auto picture = Lines(33, style);
    const Rendered spans = Render(*picture, 41, ThinLines::OnePixel, FilteredRendering::Automatic);
    const Rendered keys = Render(*picture, 41, ThinLines::OnePixel, FilteredRendering::KeySurfaces);
    EXPECT_EQ(spans.coverage, keys.coverage) << style;
  }
}
