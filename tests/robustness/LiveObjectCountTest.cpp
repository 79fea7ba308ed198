// The live-object counts that the leak checks rely on: each kind goes up
// when an object is made or copied and back down when it goes.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include <orvane/gdi/DeviceContext.h>
#include <orvane/graphics/Bitmap.h>

namespace {

int64_t Count(orvane::gdi::LiveKind kind) { return orvane::gdi::LiveObjectCount(kind); }

TEST(LiveObjectCountTest, EveryKindCountsItsObjectsAndCopies) {
  using orvane::gdi::LiveKind;
  const int64_t bitmaps = Count(LiveKind::Bitmap), dcs = Count(LiveKind::DeviceContext);
  const int64_t pens = Count(LiveKind::Pen), brushes = Count(LiveKind::Brush), fonts = Count(LiveKind::Font);
  const int64_t total = orvane::gdi::LiveObjectCount();
  {
    orvane::gdi::HDC dc = orvane::gdi::CreateCompatibleDC(nullptr);  // a DC holds one pen, brush and font
    EXPECT_EQ(Count(LiveKind::DeviceContext), dcs + 1);
    EXPECT_EQ(Count(LiveKind::Pen), pens + 1);
    orvane::gdi::HBITMAP bitmap = orvane::gdi::CreateScreenBitmap(3, 2);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
    EXPECT_EQ(orvane::gdi::LiveObjectCount(), total + 5);

    orvane::gdi::Pen pen = dc->pen;    // a copy is one more
    orvane::gdi::Brush brush;
    orvane::gdi::Font font = dc->font;
    orvane::gdi::Font moved = std::move(font);  // a moved-from value still exists until it goes
    EXPECT_EQ(Count(LiveKind::Pen), pens + 2);
    EXPECT_EQ(Count(LiveKind::Brush), brushes + 2);
    EXPECT_EQ(Count(LiveKind::Font), fonts + 3);
    dc->font = moved;  // assignment makes nothing new
    EXPECT_EQ(Count(LiveKind::Font), fonts + 3);

    // A bitmap selected into a DC cannot be deleted; once released it can.
    orvane::gdi::SelectObject(dc, bitmap);
    EXPECT_FALSE(orvane::gdi::DeleteObject(bitmap));
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
    EXPECT_TRUE(orvane::gdi::DeleteDC(dc));
    EXPECT_TRUE(orvane::gdi::DeleteObject(bitmap));
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps);
    EXPECT_EQ(Count(LiveKind::DeviceContext), dcs);
  }
  EXPECT_EQ(orvane::gdi::LiveObjectCount(), total);
  {
    // A toolkit bitmap: its device context and surface, released with it.
    orvane::vcl::TBitmap bitmap;
    bitmap.SetSize(4, 4);
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
    EXPECT_EQ(Count(LiveKind::DeviceContext), dcs + 1);
    bitmap.SetSize(8, 8);  // the old surface goes with the new one in place
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
  }
  EXPECT_EQ(orvane::gdi::LiveObjectCount(), total);
}

// Counts are kept per thread: an object made on one thread and released on
// another, and a thread that has ended, still add up to the process's total.
TEST(LiveObjectCountTest, ObjectsCountAcrossThreads) {
  using orvane::gdi::LiveKind;
  const int64_t pens = Count(LiveKind::Pen);
  std::unique_ptr<orvane::gdi::Pen> kept;
  std::thread maker([&] {
    kept = std::make_unique<orvane::gdi::Pen>();
    orvane::gdi::Pen gone;
  });
  maker.join();
  EXPECT_EQ(Count(LiveKind::Pen), pens + 1);
  std::thread releaser([&] { kept.reset(); });
  releaser.join();
  EXPECT_EQ(Count(LiveKind::Pen), pens);
}

}  // namespace
