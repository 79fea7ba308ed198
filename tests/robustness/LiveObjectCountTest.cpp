// The live-object counts that the leak checks rely on: each kind goes up
// when an object is made or copied and back down when it goes.

#include <gtest/gtest.h>

#include "gdi/DeviceContext.h"
#include "graphics/Bitmap.h"

namespace {

int64_t Count(gdi::LiveKind kind) { return gdi::LiveObjectCount(kind); }

TEST(LiveObjectCountTest, EveryKindCountsItsObjectsAndCopies) {
  using gdi::LiveKind;
  const int64_t bitmaps = Count(LiveKind::Bitmap), dcs = Count(LiveKind::DeviceContext);
  const int64_t pens = Count(LiveKind::Pen), brushes = Count(LiveKind::Brush), fonts = Count(LiveKind::Font);
  const int64_t total = gdi::LiveObjectCount();
  {
    gdi::HDC dc = gdi::CreateCompatibleDC(nullptr);  // a DC holds one pen, brush and font
    EXPECT_EQ(Count(LiveKind::DeviceContext), dcs + 1);
    EXPECT_EQ(Count(LiveKind::Pen), pens + 1);
    gdi::HBITMAP bitmap = gdi::CreateScreenBitmap(3, 2);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
    EXPECT_EQ(gdi::LiveObjectCount(), total + 5);

    gdi::Pen pen = dc->pen;    // a copy is one more
    gdi::Brush brush;
    gdi::Font font = dc->font;
    gdi::Font moved = std::move(font);  // a moved-from value still exists until it goes
    EXPECT_EQ(Count(LiveKind::Pen), pens + 2);
    EXPECT_EQ(Count(LiveKind::Brush), brushes + 2);
    EXPECT_EQ(Count(LiveKind::Font), fonts + 3);
    dc->font = moved;  // assignment makes nothing new
    EXPECT_EQ(Count(LiveKind::Font), fonts + 3);

    // A bitmap selected into a DC cannot be deleted; once released it can.
    gdi::SelectObject(dc, bitmap);
    EXPECT_FALSE(gdi::DeleteObject(bitmap));
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
    EXPECT_TRUE(gdi::DeleteDC(dc));
    EXPECT_TRUE(gdi::DeleteObject(bitmap));
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps);
    EXPECT_EQ(Count(LiveKind::DeviceContext), dcs);
  }
  EXPECT_EQ(gdi::LiveObjectCount(), total);
  {
    // A toolkit bitmap: its device context and surface, released with it.
    vcl::TBitmap bitmap;
    bitmap.SetSize(4, 4);
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
    EXPECT_EQ(Count(LiveKind::DeviceContext), dcs + 1);
    bitmap.SetSize(8, 8);  // the old surface goes with the new one in place
    EXPECT_EQ(Count(LiveKind::Bitmap), bitmaps + 1);
  }
  EXPECT_EQ(gdi::LiveObjectCount(), total);
}

}  // namespace
