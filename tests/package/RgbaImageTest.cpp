// Pictures drawn into RGBA: each alpha mode against the filtered colour and
// coverage (RenderFiltered) interleaved by hand, opaque against FilteredDraw
// on a filled canvas; the row form's bands, and what it costs in pages.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/RgbaImage.h>
#include <orvane/gdi/BitmapObject.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>
#include "emf/EmfWriter.h"

using namespace orvane;
namespace emf = orvane::emf;

namespace {

// Anti-aliased edges in several colours, a hairline, a lone dot (one
// sample at any quality) and an area left bare.
std::unique_ptr<vcl::TMetafile> Picture() {
  emf::EmfWriter w(emf::HeaderForPixels(50, 40, {1000, 1000}, {100, 100}));
  w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, 0x2080F0));
  w.SelectObject(w.CreatePen(emf::PS_SOLID, 3, 0x10C040));
  w.Ellipse({3, 2, 37, 31});
  w.SelectObject(w.CreatePen(emf::PS_SOLID, 0, 0x800000));
  w.MoveToEx(2, 38);
  w.LineTo(48, 5);
  w.SetPixelV(45, 35, 0x0000FF);
  const std::vector<uint8_t> bytes = w.Finish();
  auto metafile = std::make_unique<vcl::TMetafile>();
  metafile->LoadFromBytes(bytes.data(), bytes.size());
  return metafile;
}

RgbaOptions Options(const FilteredDrawOptions& drawing, AlphaMode alpha, vcl::TColor background = vcl::clWhite) {
  RgbaOptions o;
  o.drawing = drawing;
  o.alpha = alpha;
  o.background = background;
  return o;
}

int64_t MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

}  // namespace

TEST(RgbaImageTest, EachModeFollowsTheFilteredColourAndCoverage) {
  const auto picture = Picture();
  const struct {
    int32_t width, height;
    FilteredDrawOptions drawing;
  } cases[] = {
      {1, 1, {opqMed, ThinLines::Exact}},
      {13, 7, {opqLow, ThinLines::OnePixel}},
      {31, 17, {opqHigh, ThinLines::Exact}},
      {6, 29, {opqVeryHigh, ThinLines::OnePixel}},  // coverage rounds to 0 over one sample of 256
  };
  const vcl::TColor background = 0x3366CC;  // R 0xCC, G 0x66, B 0x33
  const uint8_t backgroundRgb[3] = {0xCC, 0x66, 0x33};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " quality " << int(c.drawing.quality));
    const double scaleX = double(c.width) / picture->Width(), scaleY = double(c.height) / picture->Height();
    TFastBMP color(c.width, c.height), coverage(c.width, c.height);
    RenderFiltered(color, coverage, *picture, c.drawing, scaleX, scaleY);
    vcl::TBitmap canvas;
    canvas.SetSize(c.width, c.height);
    canvas.Canvas().Brush().SetColor(background);
    canvas.Canvas().FillRect(vcl::Rect(0, 0, c.width, c.height));
    FilteredDraw(canvas.Canvas(), 0, 0, *picture, c.drawing, scaleX, scaleY);

    const PictureSize size = PictureSize::Exact(c.width, c.height);
    const RgbaImage straight = DrawRgba(*picture, size, Options(c.drawing, AlphaMode::Straight));
    const RgbaImage premultiplied = DrawRgba(*picture, size, Options(c.drawing, AlphaMode::Premultiplied));
    const RgbaImage opaque = DrawRgba(*picture, size, Options(c.drawing, AlphaMode::Opaque, background));
    for (const RgbaImage* image : {&straight, &premultiplied, &opaque}) {
      ASSERT_EQ(image->width, c.width);
      ASSERT_EQ(image->height, c.height);
      ASSERT_EQ(image->pixels.size(), size_t(c.width) * size_t(c.height) * 4);
    }
    EXPECT_EQ(opaque.alpha, AlphaMode::Opaque);
    int partial = 0;
    for (int32_t y = 0; y < c.height; ++y)
      for (int32_t x = 0; x < c.width; ++x) {
        const uint8_t* bgr = color.RowStarts()[y] + 3 * x;
        const uint32_t a = coverage.RowStarts()[y][3 * x];
        const uint8_t* shown = canvas.Surface()->Row(y) + 4 * x;
        partial += a > 0 && a < 255;
        for (int i = 0; i < 3; ++i) {
          const uint32_t s = bgr[2 - i];
          ASSERT_EQ(straight.Row(y)[4 * x + i], s) << x << "," << y;
          ASSERT_EQ(premultiplied.Row(y)[4 * x + i], s * a / 255) << x << "," << y;
          ASSERT_EQ(opaque.Row(y)[4 * x + i], shown[2 - i]) << x << "," << y;
          // Premultiplied over the background by its own rule gives the opaque pixel.
          ASSERT_EQ(backgroundRgb[i] * (255 - a) / 255 + premultiplied.Row(y)[4 * x + i], shown[2 - i]);
        }
        ASSERT_EQ(straight.Row(y)[4 * x + 3], a);
        ASSERT_EQ(premultiplied.Row(y)[4 * x + 3], a);
        ASSERT_EQ(opaque.Row(y)[4 * x + 3], 255);
      }
    if (c.width * c.height > 1) {
      EXPECT_GT(partial, 0) << "the case has no edges to tell the modes apart";
    }
  }
}

TEST(RgbaImageTest, TheRowFormHandsOutTheImageInOrderedBands) {
  const auto picture = Picture();
  const RgbaOptions options = Options({opqLow, ThinLines::Exact}, AlphaMode::Straight);
  const PictureSize size = PictureSize::Fit(2000, 2000);  // 2000 x 1600
  const RgbaImage image = DrawRgba(*picture, size, options);
  int32_t next = 0, bands = 0;
  const PixelSize drawn = DrawRgbaRows(*picture, size, options, [&](const RgbaRows& rows) {
    ASSERT_EQ(rows.top, next);
    ASSERT_EQ(rows.width, 2000);
    for (int32_t r = 0; r < rows.count; ++r)
      ASSERT_EQ(std::memcmp(rows.Row(r), image.Row(rows.top + r), 2000 * 4), 0) << rows.top + r;
    next += rows.count;
    ++bands;
  });
  EXPECT_EQ(drawn, (PixelSize{2000, 1600}));
  EXPECT_EQ(next, 1600);
  EXPECT_GT(bands, 1);
}

TEST(RgbaImageTest, StreamingATallTargetTouchesFarFewerPagesThanTheImage) {
  const auto picture = Picture();
  const RgbaOptions options = Options({opqVeryLow, ThinLines::Exact}, AlphaMode::Opaque);
  const PictureSize size = PictureSize::Exact(1024, 16384);
  const int64_t imagePages = int64_t{1024} * 16384 * 4 / 4096;  // 16384
  uint64_t sum = 0;
  const int64_t before = MinorFaults();
  DrawRgbaRows(*picture, size, options, [&sum](const RgbaRows& rows) {
    for (int32_t r = 0; r < rows.count; ++r) sum += rows.Row(r)[4 * (r % rows.width)];
  });
  const int64_t streamed = MinorFaults() - before;
  EXPECT_GT(sum, 0u);
  EXPECT_LT(streamed, imagePages / 4) << "pages touched while streaming";  // about 1900 measured
}

TEST(RgbaImageTest, SizesWithoutPixelsOrBeyondTheLimitAndSinkErrorsLeaveTheCall) {
  const auto picture = Picture();
  const RgbaOptions options;
  EXPECT_THROW(DrawRgba(*picture, PictureSize::Exact(-1, 5), options), rtl::EInvalidOperation);
  EXPECT_THROW(DrawRgba(*picture, PictureSize::Exact(16385, 5), options), rtl::EOutOfResources);
  EXPECT_THROW(DrawRgba(vcl::TMetafile(), PictureSize::Exact(5, 5), options), rtl::EMathError);  // no size to scale
  int calls = 0;
  EXPECT_THROW(DrawRgbaRows(*picture, PictureSize::Exact(3000, 3000), options,
                            [&calls](const RgbaRows&) {
                              ++calls;
                              throw std::runtime_error("stop");
                            }),
               std::runtime_error);
  EXPECT_EQ(calls, 1);
}
