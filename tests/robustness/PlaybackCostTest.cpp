// Pictures whose records claim far more than they carry: what playing (or
// loading) them costs follows the file and the target, not the claims.
// Counted in pages first touched while playing.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <functional>
#include <utility>

#include "InputBuilders.h"
#include "emf/EmfWriter.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>

using namespace robust;
namespace emf = orvane::emf;

namespace {

// Plays `bytes` onto a grey `size` x `size` bitmap; returns how many pixels are red.
int PlayAndCountRed(const Bytes& bytes, int32_t size, int64_t& faults) {
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(bytes.data(), bytes.size());
  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(size, size);
  bitmap.Canvas().Brush().SetColor(0x808080);
  bitmap.Canvas().FillRect(orvane::vcl::Rect(0, 0, size, size));
  const int64_t before = MinorFaults(RUSAGE_SELF);
  bitmap.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, size, size), &metafile);
  faults = MinorFaults(RUSAGE_SELF) - before;
  int red = 0;
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) red += bitmap.Canvas().Pixel(x, y) == 0x0000FF;
  return red;
}

// 300 pattern brushes, each a 1024 x 1024 run-length DIB whose data only
// ends the bitmap (every pixel takes colour 0, red): 4 MiB of pixels each
// as claimed, one pixel as kept.
TEST(PlaybackCostTest, PatternBrushesKeepTheTileTheyRepeat) {
  emf::Dib dib;
  for (uint32_t v : {40u, 1024u, 1024u, 0x00080001u, 1u, 2u, 0u, 0u, 1u, 0u}) Put32(dib.info, v);  // BI_RLE8, one colour
  Put32(dib.info, 0x00FF0000);  // RGBQUAD (blue, green, red, 0): red
  dib.bits = {0x00, 0x01};      // end of bitmap
  emf::EmfWriter w(emf::HeaderForPixels(16, 16, {1000, 1000}, {100, 100}));
  uint32_t brush = 0;
  for (int i = 0; i < 300; ++i) brush = w.CreateDIBPatternBrushPt(dib);
  w.SelectObject(brush);
  w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
  w.Rectangle({0, 0, 17, 17});
  int64_t faults = 0;
  EXPECT_EQ(PlayAndCountRed(w.Finish(), 16, faults), 256);
  if (kPagesMeasureWhatIsKept) {
    EXPECT_LT(faults, kFewFaults);
  }
}

// A clip region of 65,536 one-pixel rectangles, then 1,024 saves: each save
// shares the region. The clip still holds after a restore.
TEST(PlaybackCostTest, SavedStatesShareTheirClipRegion) {
  std::vector<emf::RectL> dots;
  for (int32_t y = 0; y < 512; y += 2)
    for (int32_t x = 0; x < 512; x += 2) dots.push_back({x, y, x + 1, y + 1});
  emf::EmfWriter w(emf::HeaderForPixels(512, 512, {1000, 1000}, {100, 100}));
  w.ExtSelectClipRgn(emf::RGN_COPY, dots);
  for (int i = 0; i < 1024; ++i) w.SaveDC();
  w.RestoreDC(-1);
  w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, 0x0000FF));
  w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
  w.Rectangle({0, 0, 513, 513});
  int64_t faults = 0;
  EXPECT_EQ(PlayAndCountRed(w.Finish(), 512, faults), 65536);
  EXPECT_LT(faults, kFewFaults);
}

// Every bitmap record, 100 times each, with a source declared 4096 x 4096
// in run-length form whose four bytes of data end a line and the bitmap:
// every pixel takes colour 0, red. Decoding that source would touch 20,480
// pages a record; reading it where it lies touches none.
TEST(PlaybackCostTest, BitmapRecordsCostTheirDataNotTheSizeTheyDeclare) {
  const emf::Dib huge = emf::MakeDibRle(4096, 4096, 8, {0x0000FF}, {0x00, 0x00, 0x00, 0x01});
  const emf::Dib huge4 = emf::MakeDibRle(4096, 4096, 4, {0x0000FF}, {0x00, 0x00, 0x00, 0x01});
  const emf::Dib mask = emf::MakeDibIndexed(32, 32, 1, {0, 0xFFFFFF}, std::vector<uint8_t>(32 * 32, 1));
  const struct {
    const char* record;
    std::function<void(emf::EmfWriter&)> draw;
  } cases[] = {
      {"StretchDIBits", [&](emf::EmfWriter& w) { w.StretchDIBits(0, 0, 32, 32, 0, 0, 4096, 4096, huge); }},
      {"SetDIBitsToDevice", [&](emf::EmfWriter& w) { w.SetDIBitsToDevice(0, 0, 0, 0, 32, 32, huge); }},
      {"BitBlt", [&](emf::EmfWriter& w) { w.BitBlt(0, 0, 32, 32, emf::SRCCOPY, &huge4, 4000, 9); }},
      {"StretchBlt", [&](emf::EmfWriter& w) { w.StretchBlt(0, 0, 32, 32, emf::SRCCOPY, huge, 0, 0, 4096, 4096); }},
      {"TransparentBlt",
       [&](emf::EmfWriter& w) { w.TransparentBlt(0, 0, 32, 32, emf::Rgb(0, 0, 255), huge, 0, 0, 4096, 4096); }},
      {"AlphaBlend", [&](emf::EmfWriter& w) { w.AlphaBlend(0, 0, 32, 32, 255, false, huge, 0, 0, 4096, 4096); }},
      {"MaskBlt",
       [&](emf::EmfWriter& w) { w.MaskBlt(0, 0, 32, 32, (0xAAu << 24) | emf::SRCCOPY, huge, 100, 100, &mask, 0, 0); }},
      {"PlgBlt", [&](emf::EmfWriter& w) { w.PlgBlt({{{0, 0}, {32, 0}, {0, 32}}}, huge, 0, 0, 4096, 4096); }},
  };
  for (const auto& c : cases) {
    emf::EmfWriter w(emf::HeaderForPixels(32, 32, {1000, 1000}, {100, 100}));
    for (int i = 0; i < 100; ++i) c.draw(w);
    int64_t faults = 0;
    EXPECT_EQ(PlayAndCountRed(w.Finish(), 32, faults), 32 * 32) << c.record;
    EXPECT_LT(faults, kFewFaults) << c.record;
  }
}

// A 64-byte run-length BMP declaring 8192 x 8192 is a legal picture: it
// loads, with its pixels held once (the bitmap's own 65,536 pages), not
// decoded a second time beside them.
TEST(PlaybackCostTest, ALargeRunLengthBmpLoadsWithOneCopyOfItsPixels) {
  Bytes bmp = {'B', 'M'};
  Put32(bmp, 64);  // file size
  Put32(bmp, 0);
  Put32(bmp, 14 + 40 + 4);  // the bits follow a one-entry table
  for (uint32_t v : {40u, 8192u, 8192u, 0x00080001u, 1u, 6u, 0u, 0u, 1u, 0u}) Put32(bmp, v);  // BI_RLE8
  Put32(bmp, 0x00FF0000);                                                                    // red
  bmp.insert(bmp.end(), {0x02, 0x00, 0x00, 0x00, 0x00, 0x01});  // two of colour 0, end of line, end of bitmap
  ASSERT_EQ(bmp.size(), 64u);
  orvane::vcl::TBitmap bitmap;
  const int64_t before = MinorFaults(RUSAGE_SELF);
  bitmap.LoadFromBytes(bmp.data(), bmp.size());
  const int64_t faults = MinorFaults(RUSAGE_SELF) - before;
  ASSERT_EQ(bitmap.Width(), 8192);
  ASSERT_EQ(bitmap.Height(), 8192);
  for (const auto& [x, y] : {std::pair{0, 0}, {8191, 8191}, {4000, 17}})
    EXPECT_EQ(bitmap.Canvas().Pixel(x, y), 0x0000FF) << x << ", " << y;
  // A second copy would double the count; the sanitizer's shadow of the
  // one copy adds a quarter.
  constexpr int64_t kOneCopy = int64_t{8192} * 8192 * 4 / 4096;
  EXPECT_LT(faults, kOneCopy * 3 / 2);
}

}  // namespace
