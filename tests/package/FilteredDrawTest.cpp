#include <gtest/gtest.h>

#include <orvane/FilteredDraw.h>
#include "SampleGraphic.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

using namespace orvane;
using orvanetest::SampleGraphic;
using orvane::vcl::TColor;

namespace {

constexpr TColor kWhite = 0xFFFFFF;

// A graphic painting every sample in one colour.
SampleGraphic Solid(int32_t w, int32_t h, TColor color) {
  return SampleGraphic(w, h, [color](int32_t, int32_t, int32_t, int32_t) { return std::optional<TColor>(color); });
}

struct Canvas {
  Canvas(int32_t w, int32_t h, TColor fill = kWhite) {
    bitmap.SetSize(w, h);
    if (fill != kWhite) {
      bitmap.Canvas().Brush().SetColor(fill);
      bitmap.Canvas().FillRect(orvane::vcl::Rect(0, 0, w, h));
      bitmap.Canvas().Brush().SetColor(kWhite);
    }
  }
  TColor At(int32_t x, int32_t y) { return bitmap.Canvas().Pixel(x, y); }
  orvane::vcl::TCanvas& c() { return bitmap.Canvas(); }
  orvane::vcl::TBitmap bitmap;
};

}  // namespace

TEST(OrvaneStretchDrawTest, RectangleIncludesItsRightColumnAndBottomRow) {
  Canvas canvas(160, 360);
  const SampleGraphic g = Solid(224, 287, 0x123456);
  OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(90, 300, 140, 350), &g, opqLow);
  EXPECT_EQ(canvas.At(90, 300), 0x123456);
  EXPECT_EQ(canvas.At(140, 350), 0x123456);
  EXPECT_EQ(canvas.At(140, 300), 0x123456);
  EXPECT_EQ(canvas.At(89, 320), kWhite);
  EXPECT_EQ(canvas.At(141, 320), kWhite);
  EXPECT_EQ(canvas.At(100, 299), kWhite);
  EXPECT_EQ(canvas.At(100, 351), kWhite);
}

TEST(OrvaneStretchDrawTest, OnePixelAndNoPixel) {
  Canvas canvas(5, 5);
  const SampleGraphic g = Solid(10, 10, 0x0000FF);
  OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(2, 2, 2, 2), &g, opqMed);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(canvas.At(x, y), (x == 2 && y == 2) ? 0x0000FF : kWhite);
  Canvas untouched(5, 5);
  g.drawCount = 0;
  EXPECT_NO_THROW(OrvaneStretchDraw(untouched.c(), orvane::vcl::Rect(2, 2, 1, 1), &g, opqMed));
  EXPECT_NO_THROW(OrvaneStretchDraw(untouched.c(), orvane::vcl::Rect(2, 2, -40, 3), &g, opqMed));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(untouched.At(x, y), kWhite);
  EXPECT_EQ(g.drawCount, 0);
}

TEST(OrvaneStretchDrawTest, EmptyGraphicFailsWithFloatingPointErrorsBeforeDrawing) {
  Canvas canvas(5, 5);
  const SampleGraphic noWidth = Solid(0, 10, 0), noHeight = Solid(10, 0, 0);
  try {
    OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 4, 4), &noWidth, opqHigh);
    FAIL();
  } catch (const orvane::rtl::EZeroDivide& e) {
    EXPECT_EQ(e.Message(), "Gleitkommadivision durch Null");
  }
  try {
    OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(3, 0, 2, 4), &noWidth, opqHigh);  // extent 0 as well
    FAIL();
  } catch (const orvane::rtl::EInvalidOp& e) {
    EXPECT_EQ(e.Message(), "Ungültige Gleitkommaoperation");
  }
  EXPECT_THROW(OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 4, 4), &noHeight, opqHigh), orvane::rtl::EZeroDivide);
  EXPECT_THROW(OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 3, 4, 2), &noHeight, opqHigh), orvane::rtl::EInvalidOp);
  EXPECT_EQ(noWidth.drawCount + noHeight.drawCount, 0);
  EXPECT_NO_THROW(OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 4, 4), nullptr, opqHigh));
}

TEST(OrvaneStretchDrawTest, QualityChoosesTheSampleGrid) {
  // Black over white on the left sixteenth of the samples: N = 16 covers 16 of
  // 256 samples (coverage 15), N = 8 covers 8 of 64 (coverage 31), and every
  // byte from 4 up draws at N = 16. The blend gives 255 - coverage.
  const SampleGraphic g(1, 1, [](int32_t x, int32_t, int32_t w, int32_t) {
    return x * 16 < w ? std::optional<TColor>(0) : std::nullopt;
  });
  const std::pair<uint8_t, int> cases[] = {{opqHigh, 255 - 31}, {opqVeryHigh, 255 - 15}, {5, 255 - 15}, {255, 255 - 15}};
  for (auto [quality, grey] : cases) {
    Canvas canvas(1, 1);
    OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 0, 0), &g, static_cast<TOrvanePictureQuality>(quality));
    EXPECT_EQ(canvas.At(0, 0), grey * 0x010101) << "quality byte " << int(quality);
  }
}

TEST(OrvaneStretchDrawTest, VeryLowGivesHardEdgesOverTheBackdrop) {
  Canvas canvas(4, 1, 0x00FF00);
  const SampleGraphic g(4, 1, [](int32_t x, int32_t, int32_t, int32_t) {
    return x % 2 == 0 ? std::optional<TColor>(0x0000AA) : std::nullopt;
  });
  OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 3, 0), &g, opqVeryLow);
  EXPECT_EQ(canvas.At(0, 0), 0x0000AA);
  EXPECT_EQ(canvas.At(1, 0), 0x00FF00);
  EXPECT_EQ(canvas.At(2, 0), 0x0000AA);
  EXPECT_EQ(canvas.At(3, 0), 0x00FF00);
}

TEST(OrvaneStretchDrawTest, BlendsOverAPatternedCanvasAsWorkedByHand) {
  // Canvas: column 0 red (R 200), column 1 grey (60, 60, 60). Graphic at N = 2:
  // target pixel 0 has 3 of 4 samples in (0, 0, 120) -> coverage 191;
  // target pixel 1 has 1 of 4 samples in (255, 255, 255) -> coverage 63.
  Canvas canvas(2, 1);
  canvas.c().SetPixel(0, 0, 0x0000C8);  // red 200
  canvas.c().SetPixel(1, 0, 0x3C3C3C);
  const SampleGraphic g(2, 1, [](int32_t x, int32_t y, int32_t, int32_t) -> std::optional<TColor> {
    if (x < 2) return (x == 1 && y == 1) ? std::nullopt : std::optional<TColor>(0x780000);  // blue 120
    return (x == 2 && y == 0) ? std::optional<TColor>(0xFFFFFF) : std::nullopt;
  });
  OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 1, 0), &g, opqLow);
  // Pixel 0: red (64*200)/255 + (191*0)/255 = 50; green 0; blue 0 + (191*120)/255 = 89.
  EXPECT_EQ(canvas.At(0, 0), 50 | (0 << 8) | (89 << 16));
  // Pixel 1: each byte (192*60)/255 + (63*255)/255 = 45 + 63 = 108.
  EXPECT_EQ(canvas.At(1, 0), 108 * 0x010101);
}

TEST(OrvaneStretchDrawTest, CanvasPenAndBrushStayAsTheyWere) {
  Canvas canvas(10, 10);
  canvas.c().Pen().SetColor(0x010203);
  canvas.c().Pen().SetStyle(orvane::vcl::psDash);
  canvas.c().Brush().SetColor(0x040506);
  canvas.c().Brush().SetStyle(orvane::vcl::bsClear);
  const SampleGraphic g = Solid(3, 3, 0);
  OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(1, 1, 5, 5), &g, opqLow);
  EXPECT_EQ(canvas.c().Pen().Color(), 0x010203);
  EXPECT_EQ(canvas.c().Pen().Style(), orvane::vcl::psDash);
  EXPECT_EQ(canvas.c().Brush().Color(), 0x040506);
  EXPECT_EQ(canvas.c().Brush().Style(), orvane::vcl::bsClear);
}

TEST(OrvaneStretchDrawTest, ABitmapGraphicDrawsFiltered) {
  orvane::vcl::TBitmap picture;
  picture.SetSize(2, 2);
  picture.Canvas().SetPixel(0, 0, 0x0000FF);
  Canvas canvas(4, 4);
  OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 3, 3), &picture, opqMed);
  EXPECT_EQ(canvas.At(0, 0), 0x0000FF);
  EXPECT_EQ(canvas.At(3, 3), kWhite);
}

TEST(OrvaneStretchDrawTest, SupersampledSidesBeyond32BitsFailQuickly) {
  Canvas canvas(4, 4);
  const SampleGraphic g = Solid(10, 10, 0);
  EXPECT_THROW(OrvaneStretchDraw(canvas.c(), orvane::vcl::Rect(0, 0, 1 << 28, 3), &g, opqVeryHigh), orvane::rtl::EOutOfResources);
  EXPECT_THROW(FilteredDraw(canvas.c(), 0, 0, g, opqHigh, 1e300, 1), orvane::rtl::EInvalidOp);
  EXPECT_EQ(g.drawCount, 0);
  EXPECT_EQ(canvas.At(0, 0), kWhite);
}

TEST(FilteredDrawTest, ScalesRoundHalfToEven) {
  // 10 x 10 graphic at scale 0.25 -> 2.5 -> 2 pixels; at 0.35 -> 3.5 -> 4.
  const SampleGraphic g = Solid(10, 10, 0);
  Canvas a(6, 6), b(6, 6);
  FilteredDraw(a.c(), 0, 0, g, opqVeryLow, 0.25, 0.25);
  EXPECT_EQ(a.At(1, 1), 0);
  EXPECT_EQ(a.At(2, 2), kWhite);
  FilteredDraw(b.c(), 0, 0, g, opqVeryLow, 0.35, 0.35);
  EXPECT_EQ(b.At(3, 3), 0);
  EXPECT_EQ(b.At(4, 4), kWhite);
}
