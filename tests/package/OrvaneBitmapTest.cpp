#include <gtest/gtest.h>

#include <orvane/OrvaneBitmap.h>
#include "SampleGraphic.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>

using namespace orvane;
using orvanetest::SampleGraphic;
using orvane::vcl::TColor;

namespace {

SampleGraphic Solid(int32_t w, int32_t h, TColor color) {
  return SampleGraphic(w, h, [color](int32_t, int32_t, int32_t, int32_t) { return std::optional<TColor>(color); });
}

bool AllZero(const TFastBMP& r) {
  for (int32_t y = 0; y < r.Height(); ++y)
    for (int32_t i = 0; i < 3 * r.Width(); ++i)
      if (r.RowStarts()[y][i] != 0) return false;
  return true;
}

void FillRaster(TFastBMP& r, uint8_t b, uint8_t g, uint8_t red) {
  for (int32_t y = 0; y < r.Height(); ++y)
    for (int32_t x = 0; x < r.Width(); ++x) {
      r.RowStarts()[y][3 * x] = b;
      r.RowStarts()[y][3 * x + 1] = g;
      r.RowStarts()[y][3 * x + 2] = red;
    }
}

}  // namespace

TEST(OrvaneBitmapTest, NewSpriteIsEmptyAndDrawsNothing) {
  TOrvaneBitmap sprite;
  EXPECT_EQ(sprite.ColorRaster(), nullptr);
  EXPECT_EQ(sprite.CoverageRaster(), nullptr);
  EXPECT_EQ(sprite.Width(), 0);
  EXPECT_EQ(sprite.Height(), 0);
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(3, 3);
  sprite.Draw(canvas.Canvas(), 0, 0);
  EXPECT_EQ(canvas.Canvas().Pixel(0, 0), 0xFFFFFF);
}

TEST(OrvaneBitmapTest, RenderMakesRastersOfTheRequestedSizeAndRenderingAgainReplacesThem) {
  const SampleGraphic g = Solid(224, 287, 0x0000FF);
  TOrvaneBitmap sprite;
  sprite.Render(&g, 50, 60, opqLow);
  ASSERT_NE(sprite.ColorRaster(), nullptr);
  EXPECT_EQ(sprite.ColorRaster()->Width(), 50);
  EXPECT_EQ(sprite.ColorRaster()->Height(), 60);
  EXPECT_EQ(sprite.CoverageRaster()->Width(), 50);
  EXPECT_EQ(sprite.CoverageRaster()->RowStarts()[59][3 * 49 + 2], 255);

  orvane::vcl::TBitmap canvas;
  canvas.SetSize(300, 300);
  sprite.Draw(canvas.Canvas(), 140, 132);
  for (int y = 120; y < 200; ++y)
    for (int x = 130; x < 200; ++x) {
      const bool inside = x >= 140 && x <= 189 && y >= 132 && y <= 191;
      ASSERT_EQ(canvas.Canvas().Pixel(x, y), inside ? 0x0000FF : 0xFFFFFF) << x << "," << y;
    }

  sprite.Render(&g, 100, 120, opqLow);
  EXPECT_EQ(sprite.Width(), 100);
  EXPECT_EQ(sprite.ColorRaster()->Width(), 100);
  EXPECT_EQ(sprite.CoverageRaster()->Height(), 120);
  orvane::vcl::TBitmap second;
  second.SetSize(300, 300);
  sprite.Draw(second.Canvas(), 150, 122);
  EXPECT_EQ(second.Canvas().Pixel(249, 241), 0x0000FF);
  EXPECT_EQ(second.Canvas().Pixel(250, 241), 0xFFFFFF);
  EXPECT_EQ(second.Canvas().Pixel(249, 242), 0xFFFFFF);
}

TEST(OrvaneBitmapTest, DrawingTwiceBlendsTwice) {
  const SampleGraphic g = Solid(2, 2, 0);
  TOrvaneBitmap sprite;
  sprite.Render(&g, 2, 2, opqVeryLow);
  FillRaster(*sprite.CoverageRaster(), 128, 128, 128);
  FillRaster(*sprite.ColorRaster(), 0, 0, 0);
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(2, 2);
  sprite.Draw(canvas.Canvas(), 0, 0);
  EXPECT_EQ(canvas.Canvas().Pixel(1, 1), 127 * 0x010101);
  sprite.Draw(canvas.Canvas(), 0, 0);
  EXPECT_EQ(canvas.Canvas().Pixel(1, 1), 63 * 0x010101);
}

TEST(OrvaneBitmapTest, ZeroCoverageLeavesTheCanvasAndFullCoverageReplacesIt) {
  const SampleGraphic g = Solid(3, 3, 0);
  TOrvaneBitmap sprite;
  sprite.Render(&g, 3, 3, opqVeryLow);
  FillRaster(*sprite.ColorRaster(), 1, 2, 3);
  FillRaster(*sprite.CoverageRaster(), 0, 0, 0);
  orvane::vcl::TBitmap canvas;
  canvas.SetSize(5, 5);
  sprite.Draw(canvas.Canvas(), 1, 1);
  EXPECT_EQ(canvas.Canvas().Pixel(2, 2), 0xFFFFFF);
  FillRaster(*sprite.CoverageRaster(), 255, 255, 255);
  sprite.Draw(canvas.Canvas(), 1, 1);
  EXPECT_EQ(canvas.Canvas().Pixel(2, 2), 0x010203);  // red 3, green 2, blue 1
  EXPECT_EQ(canvas.Canvas().Pixel(4, 4), 0xFFFFFF);
}

TEST(OrvaneBitmapTest, EmptyMetafileFailsAfterMakingAllZeroRasters) {
  orvane::vcl::TMetafile empty;
  TOrvaneBitmap sprite;
  try {
    sprite.Render(&empty, 30, 20, opqHigh);
    FAIL() << "no error";
  } catch (const orvane::rtl::EZeroDivide& e) {
    EXPECT_EQ(e.Message(), "Gleitkommadivision durch Null");
  }
  ASSERT_NE(sprite.ColorRaster(), nullptr);
  EXPECT_EQ(sprite.ColorRaster()->Width(), 30);
  EXPECT_EQ(sprite.CoverageRaster()->Height(), 20);
  EXPECT_TRUE(AllZero(*sprite.ColorRaster()));
  EXPECT_TRUE(AllZero(*sprite.CoverageRaster()));
  EXPECT_THROW(sprite.Render(&empty, 0, 20, opqHigh), orvane::rtl::EInvalidOp);
}

TEST(OrvaneBitmapTest, NoGraphicOrNegativeSizeIsRefusedAndTheSpriteKept) {
  const SampleGraphic g = Solid(4, 4, 0x00FF00);
  TOrvaneBitmap sprite;
  sprite.Render(&g, 4, 4, opqLow);
  const TFastBMP* before = sprite.ColorRaster();
  EXPECT_THROW(sprite.Render(nullptr, 4, 4, opqLow), orvane::rtl::EInvalidOperation);
  EXPECT_THROW(sprite.Render(&g, -1, 4, opqLow), orvane::rtl::EInvalidOperation);
  EXPECT_THROW(sprite.Render(&g, 4, -9, opqLow), orvane::rtl::EInvalidOperation);
  EXPECT_EQ(sprite.ColorRaster(), before);
  EXPECT_EQ(sprite.Width(), 4);
}
