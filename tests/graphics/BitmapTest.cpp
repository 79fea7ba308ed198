#include <gtest/gtest.h>

#include <orvane/gdi/BitmapObject.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

using namespace orvane::vcl;

TEST(BitmapTest, HoldsWhitePixelsOnceBothSidesAreSet) {
  TBitmap bitmap;
  EXPECT_EQ(bitmap.Surface(), nullptr);
  bitmap.SetWidth(10);
  EXPECT_EQ(bitmap.Surface(), nullptr);  // height still 0
  bitmap.SetHeight(20);
  ASSERT_NE(bitmap.Surface(), nullptr);
  EXPECT_EQ(bitmap.Surface()->Format(), orvane::gdi::PixelFormat::Bgrx32);
  EXPECT_EQ(bitmap.Width(), 10);
  EXPECT_EQ(bitmap.Height(), 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(bitmap.Canvas().Pixel(x, y), clWhite);
}

TEST(BitmapTest, ResizingKeepsWhatStaysInside) {
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  bitmap.Canvas().SetPixel(1, 1, 0x010203);
  bitmap.SetSize(8, 2);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 1), 0x010203);
  EXPECT_EQ(bitmap.Canvas().Pixel(7, 1), clWhite);
}

TEST(BitmapTest, UnavailableSizeRaisesOutOfResourcesAndKeepsTheOldOne) {
  TBitmap bitmap;
  bitmap.SetSize(5, 5);
  bitmap.SetWidth(100000);
  try {
    bitmap.SetHeight(100000);
    FAIL() << "no error";
  } catch (const orvane::rtl::EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Systemressourcen erschöpft.");
  }
  EXPECT_EQ(bitmap.Width(), 100000);  // the width alone needed no pixels
  EXPECT_EQ(bitmap.Height(), 5);
}

TEST(BitmapTest, StretchDrawIsNearestPixel) {
  TBitmap source;
  source.SetSize(2, 1);
  source.Canvas().SetPixel(0, 0, 0x0000FF);
  source.Canvas().SetPixel(1, 0, 0x00FF00);
  TBitmap target;
  target.SetSize(6, 2);
  target.Canvas().StretchDraw(Rect(1, 0, 5, 2), &source);
  EXPECT_EQ(target.Canvas().Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Canvas().Pixel(1, 0), 0x0000FF);
  EXPECT_EQ(target.Canvas().Pixel(2, 1), 0x0000FF);
  EXPECT_EQ(target.Canvas().Pixel(3, 0), 0x00FF00);
  EXPECT_EQ(target.Canvas().Pixel(4, 1), 0x00FF00);
  EXPECT_EQ(target.Canvas().Pixel(5, 0), clWhite);
}
