#include <gtest/gtest.h>

#include "gdi/FontEngine.h"
#include "graphics/Bitmap.h"

using namespace vcl;

namespace {

constexpr TColor kBack = 0x30A050;

void Prepare(TBitmap& bitmap, int32_t w, int32_t h) {
  bitmap.SetSize(w, h);
  TCanvas& c = bitmap.Canvas();
  c.Pen().SetColor(kBack);
  c.Brush().SetColor(kBack);
  c.Rectangle(0, 0, w, h);
  c.Font().SetName("Arial");
  c.Font().SetHeight(-17);
  c.Font().SetColor(clRed);
}

}  // namespace

TEST(CanvasTextTest, MeasuresInTheCurrentFont) {
  TBitmap bitmap;
  Prepare(bitmap, 10, 10);
  TCanvas& c = bitmap.Canvas();
  gdi::Font font;
  font.faceName = "Arial";
  font.height = -17;
  EXPECT_EQ(c.TextWidth("Hello"), gdi::TextWidth(font, U"Hello"));
  EXPECT_EQ(c.TextHeight("Hello"), gdi::GetTextMetrics(font).height);
  EXPECT_EQ(c.TextWidth(""), 0);
  c.Font().SetStyle(fsBold);
  EXPECT_GT(c.TextWidth("Hello"), gdi::TextWidth(font, U"Hello"));
  // Measuring needs no device context.
  TCanvas bare;
  bare.Font().SetName("Arial");
  bare.Font().SetHeight(-17);
  EXPECT_EQ(bare.TextWidth("Hello"), gdi::TextWidth(font, U"Hello"));
  bare.TextOut(0, 0, "Hello");  // draws nothing, fails nothing
}

TEST(CanvasTextTest, OpaqueTextFillsExactlyItsCellWithTheBrushColour) {
  TBitmap bitmap;
  Prepare(bitmap, 80, 40);
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetColor(clWhite);
  const int32_t w = c.TextWidth("Hello"), h = c.TextHeight("Hello");
  c.TextOut(6, 7, "Hello");
  int ink = 0;
  for (int32_t y = 0; y < 40; ++y) {
    for (int32_t x = 0; x < 80; ++x) {
      const TColor p = c.Pixel(x, y);
      if (x >= 6 && x < 6 + w && y >= 7 && y < 7 + h) {
        EXPECT_TRUE(p == clWhite || p == clRed) << x << "," << y;
        ink += p == clRed;
      } else {
        EXPECT_EQ(p, kBack) << x << "," << y;
      }
    }
  }
  EXPECT_GT(ink, 20);
}

TEST(CanvasTextTest, TransparentTextChangesOnlyGlyphPixelsAtTheBaselineBelowTheTop) {
  TBitmap a, b;
  Prepare(a, 80, 40);
  Prepare(b, 80, 40);
  a.Canvas().Brush().SetStyle(bsClear);
  a.Canvas().TextOut(6, 7, "Hg");
  // The same glyphs drawn directly with their baseline at the cell's top plus the ascent.
  gdi::Font font = b.Canvas().Font().ToGdi();
  gdi::RenderTarget target(*b.Canvas().Handle());
  gdi::DrawGlyphs(target, font, gdi::PointD{6, 7.0 + gdi::GetTextMetrics(font).ascent}, U"Hg", gdi::RGB(255, 0, 0));
  int ink = 0;
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 80; ++x) {
      EXPECT_EQ(a.Canvas().Pixel(x, y), b.Canvas().Pixel(x, y)) << x << "," << y;
      ink += a.Canvas().Pixel(x, y) == clRed;
      if (y < 7) {
        EXPECT_EQ(a.Canvas().Pixel(x, y), kBack);
      }
    }
  EXPECT_GT(ink, 20);
}
