#include <gtest/gtest.h>

#include "GdiTestHelpers.h"
#include <orvane/gdi/detail/PixelMemory.h>

using gditest::SurfaceDC;
using namespace orvane::gdi;

TEST(DibSectionTest, RowsArePaddedToFourBytesAndZeroed) {
  for (auto [w, stride] : {std::pair{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}}) {
    SurfaceDC s(w, 2, 24);
    ASSERT_NE(s.bitmap, nullptr);
    EXPECT_EQ(s.bitmap->Stride(), stride) << "width " << w;
    EXPECT_EQ(s.bitmap->Row(1) - s.bitmap->Row(0), stride);
    EXPECT_EQ(s.At(w - 1, 1), 0u);
  }
}

TEST(DibSectionTest, RefusesWhatItCannotHoldSafely) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = 40;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = reinterpret_cast<void*>(1);
  info.bmiHeader.biWidth = 100000;
  info.bmiHeader.biHeight = -100000;  // 30 GB
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  info.bmiHeader.biWidth = INT32_MAX;
  info.bmiHeader.biHeight = -INT32_MAX;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biWidth = -5;
  info.bmiHeader.biHeight = -5;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biWidth = 5;
  info.bmiHeader.biHeight = 5;  // bottom-up is not offered
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateScreenBitmap(1 << 20, 1 << 20), nullptr);
}

TEST(BitBltTest, KeyColoursSurviveThirtyTwoToTwentyFourBits) {
  SurfaceDC screen(4, 3, 32), raster(4, 3, 24);
  screen.Fill(RGB(0, 0, 255));  // $FF0000
  screen.Set(1, 1, RGB(0, 128, 0));  // $008000
  ASSERT_TRUE(BitBlt(raster.dc, 0, 0, 4, 3, screen.dc, 0, 0, SRCCOPY));
  const uint8_t* p = raster.bitmap->Row(0);
  EXPECT_EQ(p[0], 255);
  EXPECT_EQ(p[1], 0);
  EXPECT_EQ(p[2], 0);
  const uint8_t* q = raster.bitmap->Row(1) + 3;
  EXPECT_EQ(q[0], 0);
  EXPECT_EQ(q[1], 128);
  EXPECT_EQ(q[2], 0);
  // And back again.
  SurfaceDC back(4, 3, 32);
  BitBlt(back.dc, 0, 0, 4, 3, raster.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(back.At(1, 1), RGB(0, 128, 0));
  EXPECT_EQ(back.At(3, 2), RGB(0, 0, 255));
}

TEST(BitBltTest, PointsAreLogicalAndClippingLimitsTheWrite) {
  SurfaceDC src(3, 3, 24), dst(10, 10, 32);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) src.Set(x, y, RGB(static_cast<uint8_t>(10 * x), static_cast<uint8_t>(10 * y), 1));
  dst.dc->origin = Point{4, 5};             // logical (0,0) at device (4,5)
  dst.dc->SetClip(Region(Rect{4, 5, 6, 7}));  // only 2 x 2 device pixels drawable
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 3, 3, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.At(4, 5), RGB(0, 0, 1));
  EXPECT_EQ(dst.At(5, 6), RGB(10, 10, 1));
  EXPECT_EQ(dst.At(6, 5), 0u);  // clipped
  EXPECT_EQ(dst.At(4, 7), 0u);  // clipped

  // Copy out of a context with an origin: the source point is logical as well.
  SurfaceDC out(2, 2, 24);
  ASSERT_TRUE(BitBlt(out.dc, 0, 0, 2, 2, dst.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(out.At(1, 1), RGB(10, 10, 1));
}

TEST(BitBltTest, BlocksHangingOverTheSourceCopyOnlyWhatExists) {
  SurfaceDC src(2, 2, 24), dst(4, 4, 24);
  src.Fill(RGB(7, 7, 7));
  dst.Fill(RGB(1, 1, 1));
  ASSERT_TRUE(BitBlt(dst.dc, 1, 1, 4, 4, src.dc, -1, 0, SRCCOPY));
  EXPECT_EQ(dst.At(1, 1), RGB(1, 1, 1));  // source column -1 does not exist
  EXPECT_EQ(dst.At(2, 1), RGB(7, 7, 7));
  EXPECT_EQ(dst.At(3, 2), RGB(7, 7, 7));
  EXPECT_EQ(dst.At(2, 3), RGB(1, 1, 1));
}

TEST(BitBltTest, EmptyAndNegativeSizesTouchNothing) {
  SurfaceDC src(3, 3, 24), dst(3, 3, 24);
  src.Fill(RGB(9, 9, 9));
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 0, 3, src.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc, 0, 0, 3, -2, src.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc, INT32_MAX, INT32_MAX, 3, 3, src.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc, INT32_MIN, 0, 3, 3, src.dc, INT32_MIN, 0, SRCCOPY));
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.At(x, y), 0u);
  SurfaceDC empty(0, 0, 24);
  ASSERT_NE(empty.bitmap, nullptr);
  EXPECT_TRUE(BitBlt(empty.dc, 0, 0, 0, 0, src.dc, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(src.dc, 0, 0, 0, 0, empty.dc, 0, 0, SRCCOPY));
}

TEST(BitmapObjectTest, SelectedBitmapsCannotBeDeleted) {
  SurfaceDC s(2, 2, 24);
  EXPECT_FALSE(DeleteObject(s.bitmap));
  EXPECT_FALSE(DeleteObject(nullptr));
}

TEST(PixelMemoryTest, RecycledBlocksComeBackZeroed) {
  TrimPixelMemoryCache();
  const size_t bytes = 256 * 1024;
  uint8_t* a = AcquirePixelMemory(bytes);
  ASSERT_NE(a, nullptr);
  a[0] = 5;
  a[bytes - 1] = 7;
  ReleasePixelMemory(a, bytes);
  EXPECT_EQ(CachedPixelMemoryBytes(), bytes);
  uint8_t* b = AcquirePixelMemory(bytes);
  EXPECT_EQ(b, a);
  EXPECT_EQ(b[0], 0);
  EXPECT_EQ(b[bytes - 1], 0);
  ReleasePixelMemory(b, bytes);
  TrimPixelMemoryCache();
  EXPECT_EQ(CachedPixelMemoryBytes(), 0u);
}
