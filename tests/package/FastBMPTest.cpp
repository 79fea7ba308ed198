#include <gtest/gtest.h>

#include <orvane/FastBMP.h>
#include <orvane/rtl/Exceptions.h>

using namespace orvane;

TEST(FastBMPTest, RowPaddingTable) {
  const int32_t pads[] = {1, 2, 3, 0, 1};
  const int32_t strides[] = {4, 8, 12, 12, 16};
  for (int32_t w = 1; w <= 5; ++w) {
    TFastBMP r(w, 3);
    EXPECT_EQ(r.RowPad(), pads[w - 1]) << "width " << w;
    EXPECT_EQ(r.RowStride(), strides[w - 1]) << "width " << w;
    EXPECT_EQ(r.ImageSize(), strides[w - 1] * 3);
    EXPECT_EQ(r.RowStride() % 4, 0);
  }
}

TEST(FastBMPTest, RowsAreTopDownAndZeroed) {
  TFastBMP r(5, 4);
  for (int32_t y = 0; y < 4; ++y) {
    EXPECT_EQ(r.RowStarts()[y], r.PixelData() + y * 16);
    for (int32_t i = 0; i < 15; ++i) EXPECT_EQ(r.RowStarts()[y][i], 0);
  }
  // Pixel memory is the section's: a block copy into the context shows in the rows.
  EXPECT_EQ(r.MemoryDC()->Surface()->Bits(), r.PixelData());
}

TEST(FastBMPTest, ZeroSizesAreCreatableAndUsable) {
  TFastBMP flat(7, 0);
  EXPECT_EQ(flat.Height(), 0);
  TFastBMP thin(0, 3);
  EXPECT_EQ(thin.RowStride(), 0);
  EXPECT_EQ(thin.RowStarts()[0], thin.RowStarts()[2]);
  EXPECT_TRUE(orvane::gdi::BitBlt(thin.MemoryDC(), 0, 0, 0, 3, flat.MemoryDC(), 0, 0, orvane::gdi::SRCCOPY));
  EXPECT_TRUE(orvane::gdi::BitBlt(flat.MemoryDC(), 0, 0, 7, 0, thin.MemoryDC(), 0, 0, orvane::gdi::SRCCOPY));
}

TEST(FastBMPTest, NegativeSizesGiveRastersWithoutPixels) {
  TFastBMP a(-4, 3);
  EXPECT_EQ(a.Width(), -4);
  EXPECT_EQ(a.RowStride(), 0);
  TFastBMP b(4, -3);
  EXPECT_EQ(b.Height(), -3);
  EXPECT_EQ(b.ImageSize(), 0);
  EXPECT_TRUE(orvane::gdi::BitBlt(a.MemoryDC(), 0, 0, -4, 3, b.MemoryDC(), 0, 0, orvane::gdi::SRCCOPY));
}

TEST(FastBMPTest, HugeSizesAreRefusedWithOutOfMemory) {
  EXPECT_THROW(TFastBMP(INT32_MAX, 1), orvane::rtl::EOutOfMemory);
  EXPECT_THROW(TFastBMP(100000, 100000), orvane::rtl::EOutOfMemory);
  EXPECT_THROW(TFastBMP(1, INT32_MAX), orvane::rtl::EOutOfMemory);
  EXPECT_THROW(TFastBMP(0, 600000000), orvane::rtl::EOutOfMemory);  // no pixels, but a row table of 4.8 GB
  try {
    TFastBMP(30000, 30000);
    FAIL() << "no error";
  } catch (const orvane::rtl::Exception& e) {
    EXPECT_EQ(e.Message(), "Zu wenig Arbeitsspeicher");
  }
}
