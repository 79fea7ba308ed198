#include <gtest/gtest.h>

#include <orvane/graphics/Bitmap.h>

using namespace orvane::vcl;

TEST(CanvasTest, NewCanvasHasBlackSolidPenAndWhiteSolidBrush) {
  TCanvas canvas;
  EXPECT_EQ(canvas.Pen().Color(), clBlack);
  EXPECT_EQ(canvas.Pen().Style(), psSolid);
  EXPECT_EQ(canvas.Pen().Width(), 1);
  EXPECT_EQ(canvas.Brush().Color(), clWhite);
  EXPECT_EQ(canvas.Brush().Style(), bsSolid);
}

TEST(CanvasTest, SettingsTakeEffectAtTheNextDrawingCall) {
  TBitmap bitmap;
  bitmap.SetWidth(6);
  bitmap.SetHeight(6);
  TCanvas& c = bitmap.Canvas();
  c.Pen().SetColor(0x0000AA);
  c.Brush().SetColor(0x00AA00);
  EXPECT_EQ(c.Pixel(2, 2), clWhite);  // nothing drawn yet
  c.Rectangle(0, 0, 5, 5);
  EXPECT_EQ(c.Pixel(0, 0), 0x0000AA);
  EXPECT_EQ(c.Pixel(4, 4), 0x0000AA);
  EXPECT_EQ(c.Pixel(2, 2), 0x00AA00);
  EXPECT_EQ(c.Pixel(5, 5), clWhite);
  // The handle carries the selected pen and brush.
  EXPECT_EQ(c.Handle()->pen.color, 0x0000AAu);
  EXPECT_EQ(c.Handle()->brush.color, 0x00AA00u);
}

TEST(CanvasTest, RectangleWithOneColourFillsExactlyTheArea) {
  TBitmap bitmap;
  bitmap.SetSize(12, 9);
  TCanvas& c = bitmap.Canvas();
  c.Pen().SetColor(0x123456);
  c.Brush().SetColor(0x123456);
  c.Rectangle(2, 3, 10, 8);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(c.Pixel(x, y), (x >= 2 && x < 10 && y >= 3 && y < 8) ? 0x123456 : clWhite) << x << "," << y;
}

TEST(CanvasTest, DashedOutlineWithClearBrushLeavesTheInsideAlone) {
  TBitmap bitmap;
  bitmap.SetSize(40, 10);
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetColor(0x00FF00);
  c.FillRect(Rect(0, 0, 40, 10));
  c.Pen().SetStyle(psDash);
  c.Pen().SetColor(clBlack);
  c.Brush().SetStyle(bsClear);
  c.Rectangle(0, 0, 40, 10);
  EXPECT_EQ(c.Pixel(0, 0), clBlack);
  EXPECT_EQ(c.Pixel(20, 0), 0x00FF00);  // dash gap, transparent
  EXPECT_EQ(c.Pixel(5, 5), 0x00FF00);   // inside untouched
}

TEST(CanvasTest, StretchDrawWithoutGraphicDoesNothing) {
  TBitmap bitmap;
  bitmap.SetSize(3, 3);
  bitmap.Canvas().StretchDraw(Rect(0, 0, 3, 3), nullptr);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), clWhite);
}

TEST(CanvasTest, SystemColoursResolve) {
  EXPECT_EQ(ColorToRGB(clWindowText), 0u);
  EXPECT_EQ(ColorToRGB(clWhite), 0xFFFFFFu);
  EXPECT_EQ(ColorToRGB(0x01123456), 0x123456u);
}

TEST(RectConstructionTest, BoundsIsCornerAndSize) {
  EXPECT_EQ(Bounds(3, 4, 10, 20), Rect(3, 4, 13, 24));
  // A picture's size comes from its file: far edges past the 32-bit range stop at its ends.
  EXPECT_EQ(Bounds(1, -1, INT32_MAX, INT32_MIN), Rect(1, -1, INT32_MAX, INT32_MIN));
  EXPECT_EQ(Rect(90, 300, 140, 350).Width(), 50);
}
