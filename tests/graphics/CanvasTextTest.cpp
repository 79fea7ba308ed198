#include <gtest/gtest.h>

#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/detail/GlyphDrawing.h>
#include <orvane/graphics/Bitmap.h>

using namespace orvane::vcl;

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
  orvane::gdi::Font font;
  font.faceName = "Arial";
  font.height = -17;
  EXPECT_EQ(c.TextWidth("Hello"), orvane::gdi::TextWidth(font, U"Hello"));
  EXPECT_EQ(c.TextHeight("Hello"), orvane::gdi::GetTextMetrics(font).height);
  EXPECT_EQ(c.TextWidth(""), 0);
  c.Font().SetStyle(fsBold);
  EXPECT_GT(c.TextWidth("Hello"), orvane::gdi::TextWidth(font, U"Hello"));
  // Measuring needs no device context.
  TCanvas bare;
  bare.Font().SetName("Arial");
  bare.Font().SetHeight(-17);
  EXPECT_EQ(bare.TextWidth("Hello"), orvane::gdi::TextWidth(font, U"Hello"));
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
  orvane::gdi::Font font = b.Canvas().Font().ToGdi();
  orvane::gdi::RenderTarget target(*b.Canvas().Handle());
  orvane::gdi::DrawGlyphs(target, font, orvane::gdi::PointD{6, 7.0 + orvane::gdi::GetTextMetrics(font).ascent}, U"Hg", orvane::gdi::RGB(255, 0, 0));
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
