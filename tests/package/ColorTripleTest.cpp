#include <gtest/gtest.h>

#include <orvane/ColorTriple.h>
#include <orvane/FastBMP.h>
#include <orvane/graphics/Bitmap.h>

using namespace orvane;

TEST(ColorTripleTest, KeyColoursSplitAndJoin) {
  EXPECT_EQ(ColorToTriple(0xFF0000), (TColorTriple{0, 0, 255}));
  EXPECT_EQ(ColorToTriple(0x008000), (TColorTriple{0, 128, 0}));
  EXPECT_EQ(TripleToColor(TColorTriple{0, 0, 255}), 0xFF0000);
  EXPECT_EQ(TripleToColor(TColorTriple{0, 128, 0}), 0x008000);
  EXPECT_EQ(ColorToTriple(0x123456), (TColorTriple{0x56, 0x34, 0x12}));
}

TEST(ColorTripleTest, OutOfRangeComponentsSpillOver) {
  EXPECT_EQ(TripleToColor(TColorTriple{256, 0, 0}), 0x000100);
  EXPECT_EQ(ColorToTriple(0x01000000), (TColorTriple{0, 0, 256}));
  EXPECT_EQ(TripleToColor(TColorTriple{-1, 0, 0}), -1);
  // Two's complement wrap-around instead of overflow.
  EXPECT_EQ(TripleToColor(TColorTriple{0, 0, 0x8000}), INT32_MIN);
  // A negative value gives components that are zero or negative.
  const TColorTriple n = ColorToTriple(-1);
  EXPECT_EQ(n, (TColorTriple{-1, 0, 0}));
  const TColorTriple m = ColorToTriple(-65537);
  EXPECT_EQ(m, (TColorTriple{-1, 0, -1}));
}

TEST(MakeBoundsTest, CornerPlusSize) {
  const auto r = MakeBounds(0, 0, 10, 20);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 10);
  EXPECT_EQ(r.bottom, 20);
  EXPECT_EQ(MakeBounds(-5, 7, 3, 1), (orvane::vcl::TRect{-5, 7, -2, 8}));
}

TEST(FillSolidTest, PaintsEveryPixelOfANewOffscreenBitmap) {
  orvane::vcl::TBitmap bitmap;
  bitmap.SetWidth(10);
  bitmap.SetHeight(20);
  FillSolid(bitmap.Canvas(), 0, 0, 10, 20, TColorTriple{0x11, 0x22, 0x33});
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(bitmap.Canvas().Pixel(x, y), 0x332211) << x << "," << y;
  // Pen and brush keep the fill colour; the brush is solid.
  EXPECT_EQ(bitmap.Canvas().Pen().Color(), 0x332211);
  EXPECT_EQ(bitmap.Canvas().Brush().Color(), 0x332211);
  EXPECT_EQ(bitmap.Canvas().Brush().Style(), orvane::vcl::bsSolid);
}

TEST(FillSolidTest, KeyColoursArriveExactlyInATwentyFourBitRaster) {
  for (int32_t key : {0xFF0000, 0x008000}) {
    orvane::vcl::TBitmap bitmap;
    bitmap.SetWidth(7);
    bitmap.SetHeight(5);
    FillSolid(bitmap.Canvas(), 0, 0, 7, 5, ColorToTriple(key));
    TFastBMP raster(7, 5);
    orvane::gdi::BitBlt(raster.MemoryDC(), 0, 0, 7, 5, bitmap.Canvas().Handle(), 0, 0, orvane::gdi::SRCCOPY);
    const uint8_t want[3] = {static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key)};
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        for (int i = 0; i < 3; ++i) ASSERT_EQ(raster.RowStarts()[y][3 * x + i], want[i]);
  }
}
