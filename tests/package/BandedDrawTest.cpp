// Filtered drawing from spans, and with key surfaces in bands of target
// rows, must give exactly the pixels of drawing the whole supersampled
// surface over both key colours at once. Each case renders a picture that
// way as the reference and compares every byte of colour and coverage of
// the other ways with it. Also the surface band itself: which pixels it
// holds and what the writers do with the others.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include "SampleGraphic.h"
#include "emf/EmfWriter.h"
#include "pictures/PictureEmf.h"
#include <orvane/detail/FilteredDrawTesting.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/detail/PixelMemory.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>

using namespace orvane;
namespace fs = std::filesystem;

namespace {

constexpr size_t kUnbanded = std::numeric_limits<size_t>::max();
const TOrvanePictureQuality kQualities[] = {opqVeryLow, opqLow, opqMed, opqHigh, opqVeryHigh};

class BandBudget {
 public:
  explicit BandBudget(size_t bytes) : previous_(SetBandBudgetForTesting(bytes)) {}
  ~BandBudget() { SetBandBudgetForTesting(previous_); }

 private:
  size_t previous_;
};

class Rendering {
 public:
  explicit Rendering(FilteredRendering how) : previous_(SetFilteredRenderingForTesting(how)) {}
  ~Rendering() { SetFilteredRenderingForTesting(previous_); }

 private:
  FilteredRendering previous_;
};

// Colour and coverage rows of a rendering, joined.
std::vector<uint8_t> Render(const orvane::vcl::TGraphic& graphic, TOrvanePictureQuality quality, int32_t width,
                            int32_t height, size_t budget, FilteredRendering how = FilteredRendering::Automatic) {
  const BandBudget scope(budget);
  const Rendering way(how);
  TFastBMP color(width, height), coverage(width, height);
  RenderFiltered(color, coverage, graphic, quality, double(width) / graphic.Width(),
                 double(height) / graphic.Height());
  std::vector<uint8_t> bytes;
  for (const TFastBMP* raster : {&color, &coverage})
    for (int32_t y = 0; y < height; ++y)
      bytes.insert(bytes.end(), raster->RowStarts()[y], raster->RowStarts()[y] + size_t(width) * 3);
  return bytes;
}

// Bytes of one supersampled surface row of a target `width` wide: the budget
// for `rows` target rows a band.
size_t BudgetForRows(int32_t width, TOrvanePictureQuality quality, int32_t rows) {
  const size_t n = size_t(SupersampleFactor(quality));
  return size_t(width) * n * 4 * n * size_t(rows);
}

// The reference: key surfaces, unbanded. Compared with spans (unbanded, in
// bands of one target row and of `rows` rows) and with key surfaces in the
// same bands (a partial last band when `height` is not a multiple), at
// every quality.
void ExpectBandsMatchWhole(const orvane::vcl::TGraphic& graphic, int32_t width, int32_t height, int32_t rows,
                           const std::string& what) {
  constexpr auto kSpans = FilteredRendering::Automatic, kKeys = FilteredRendering::KeySurfaces;
  for (TOrvanePictureQuality q : kQualities) {
    const std::vector<uint8_t> whole = Render(graphic, q, width, height, kUnbanded, kKeys);
    // Something is drawn: fully covered pixels in the coverage (the second half).
    EXPECT_NE(std::find(whole.begin() + std::ptrdiff_t(whole.size() / 2), whole.end(), 255), whole.end()) << what;
    const struct {
      const char* name;
      size_t budget;
      FilteredRendering how;
    } ways[] = {{"spans", kUnbanded, kSpans},
                {"spans, one-row bands", 1, kSpans},
                {"spans, bands of some rows", BudgetForRows(width, q, rows), kSpans},
                {"key surfaces, one-row bands", 1, kKeys},
                {"key surfaces, bands of some rows", BudgetForRows(width, q, rows), kKeys}};
    for (const auto& way : ways) {
      const std::vector<uint8_t> bytes = Render(graphic, q, width, height, way.budget, way.how);
      const auto diff = std::mismatch(whole.begin(), whole.end(), bytes.begin());
      EXPECT_EQ(diff.first, whole.end()) << what << ", quality " << int(q) << ", " << way.name << ": byte "
                                         << (diff.first - whole.begin()) << " of " << whole.size() << " differs";
    }
  }
}

std::unique_ptr<orvane::vcl::TMetafile> Metafile(const std::vector<uint8_t>& bytes) {
  auto metafile = std::make_unique<orvane::vcl::TMetafile>();
  metafile->LoadFromBytes(bytes.data(), bytes.size());
  return metafile;
}

orvane::emf::EmfWriter Writer(int32_t width, int32_t height) {
  return orvane::emf::EmfWriter(orvane::emf::HeaderForPixels(width, height, {1000, 1000}, {100, 100}));
}

void Brush(orvane::emf::EmfWriter& w, uint32_t color) {
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, color));
}

}  // namespace

TEST(BandedDrawTest, DemoPicturesAtOddSizes) {
  const fs::path data = fs::path(ORVANE_SOURCE_DIR) / "demo" / "data";
  int played = 0;
  for (const char* name : {"Bicycl.EMF", "Hockey2.EMF", "Socer.EMF"}) {
    std::ifstream in(data / name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto picture = Metafile(bytes);
    ASSERT_GT(picture->Width(), 0) << name;
    ExpectBandsMatchWhole(*picture, 41, 37, 5, name);
    ++played;
  }
  EXPECT_EQ(played, 3);
  // The picture the demo's form embeds, from its path data.
  std::ifstream in(fs::path(ORVANE_SOURCE_DIR) / "tools" / "pictures" / "embedded.paths", std::ios::binary);
  ASSERT_TRUE(in);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto embedded = Metafile(orvanetools::EncodePictureEmf(orvanetools::ParsePathData(text)));
  ExpectBandsMatchWhole(*embedded, 61, 79, 6, "embedded picture");
}

// Text, bitmaps and a hatch; with `destinationOps` also an inversion and an
// XOR pen, which read what is under them and so take the key surfaces.
std::unique_ptr<orvane::vcl::TMetafile> TextAndBitmaps(bool destinationOps) {
  orvane::emf::EmfWriter w = Writer(60, 50);
  orvane::emf::LogFontW font;
  font.height = -13;
  w.SelectObject(w.ExtCreateFontIndirectW(font));
  w.SetTextColor(0x0000C0);
  w.SetBkColor(0x00E0FF);
  w.SetBkMode(2);  // opaque
  w.ExtTextOutW({3, 2}, u"Band Wg");
  font.escapement = 300;
  font.height = -11;
  w.SelectObject(w.ExtCreateFontIndirectW(font));
  w.SetBkMode(1);
  w.ExtTextOutW({4, 44}, u"tilted", orvane::emf::ETO_CLIPPED, {0, 30, 40, 46});

  std::vector<uint32_t> pixels(7 * 5);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint32_t(i * 0x0B1D37) & 0xFFFFFF;
  w.StretchDIBits(20, 12, 33, 17, 0, 0, 7, 5, orvane::emf::MakeDib24(7, 5, pixels));
  w.StretchDIBits(50, 40, -9, -7, 1, 1, 5, 3, orvane::emf::MakeDib32(7, 5, pixels));
  w.SetDIBitsToDevice(2, 20, 0, 0, 7, 5, orvane::emf::MakeDib24(7, 5, pixels));
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_HATCHED, 0x008000, orvane::emf::HS_DIAGCROSS));
  w.BitBlt(30, 30, 20, 15, orvane::emf::PATCOPY);
  if (destinationOps) {
    w.BitBlt(10, 31, 12, 11, orvane::emf::DSTINVERT);
    w.SetROP2(7);  // xor pen
  } else {
    w.SetROP2(4);  // not copy pen: the pen's inverse whatever is under it
  }
  Brush(w, 0x5A5A5A);
  w.Ellipse({5, 5, 40, 35});
  return Metafile(w.Finish());
}

TEST(BandedDrawTest, TextBitmapsPatternsAndRasterOperations) {
  ExpectBandsMatchWhole(*TextAndBitmaps(false), 43, 31, 3, "text and bitmaps");
  ExpectBandsMatchWhole(*TextAndBitmaps(true), 43, 31, 3, "text and bitmaps, inverted and XORed");
}

TEST(BandedDrawTest, WidePensDashesAndClipping) {
  orvane::emf::EmfWriter w = Writer(80, 64);
  w.SaveDC();
  w.IntersectClipRect({4, 6, 75, 58});
  w.ExcludeClipRect({30, 20, 44, 33});
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_DASH | orvane::emf::PS_ENDCAP_SQUARE | orvane::emf::PS_JOIN_MITER, 7,
                                0x802000));
  Brush(w, 0x20A0F0);
  w.Polygon({{2, 60}, {40, 1}, {78, 55}, {40, 40}});
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_SOLID | orvane::emf::PS_ENDCAP_ROUND, 13, 0x00A000));
  w.Polyline({{-20, 10}, {70, 30}, {10, 62}});
  w.RestoreDC(-1);

  // A clip path: an ellipse, a pie and a dotted cosmetic pen inside it.
  w.BeginPath();
  w.Ellipse({10, 8, 70, 60});
  w.EndPath();
  w.SelectClipPath(1);  // and
  w.SelectObject(w.CreatePen(orvane::emf::PS_DOT, 0, 0x0000FF));
  for (int32_t i = 0; i < 80; i += 6) {
    w.MoveToEx(i, 0);
    w.LineTo(80 - i, 64);
  }
  w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 3, 0x000000));
  Brush(w, 0xC0C0FF);
  w.Pie({0, 0, 60, 50}, {60, 0}, {0, 50});
  // Shapes reaching far beyond the surface: clipped ahead of scan conversion.
  w.SetMapMode(1);
  Brush(w, 0x406080);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  w.Polygon({{-1900000000, 20}, {1900000000, 30}, {35, 1900000000}});
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_DASHDOT, 5, 0x800080));
  w.Polyline({{-2000000000, 50}, {2000000000, 47}});
  const auto picture = Metafile(w.Finish());
  ExpectBandsMatchWhole(*picture, 53, 45, 4, "pens and clipping");
  ExpectBandsMatchWhole(*picture, 7, 61, 9, "pens and clipping, narrow");
}

TEST(BandedDrawTest, PensWiderThanABandReachInFromOutside) {
  // Centre lines outside the picture; only the pens' width reaches in, from
  // above 10 rows deep, from the left with a dashed pen.
  orvane::emf::EmfWriter w = Writer(20, 40);
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_ENDCAP_FLAT, 100, 0xFF0000));
  w.MoveToEx(-30, -40);
  w.LineTo(50, -40);
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_DASH | orvane::emf::PS_ENDCAP_FLAT, 30, 0x00FF00));
  w.MoveToEx(-12, -20);
  w.LineTo(-12, 60);
  const auto picture = Metafile(w.Finish());
  ExpectBandsMatchWhole(*picture, 20, 40, 3, "wide pens outside");

  // So many short dashes over the whole picture that they are given up for a
  // solid line; a band sees only a few of them, and must give them up too.
  // The line runs up and down one column, its dashes on the same rows each
  // time, so dashed and solid differ.
  orvane::emf::EmfWriter many = Writer(20, 40);
  many.SelectObject(many.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_USERSTYLE | orvane::emf::PS_ENDCAP_FLAT, 2, 0x0000FF,
                                      {1, 1}));
  std::vector<orvane::emf::PointL> zigzag;
  for (int32_t i = 0; i <= 300; ++i) zigzag.push_back({5, i % 2 ? 39 : 0});
  many.Polyline(zigzag);
  const auto dashes = Metafile(many.Finish());
  ExpectBandsMatchWhole(*dashes, 20, 40, 3, "many dashes");
}

// Records in strips of their own: a band leaves out those that cannot reach
// its rows, and must still get every pixel, also from pens, miter tips,
// curves and turned shapes that reach beyond their points, from a LineTo
// whose move is kept, and with thin pens drawn a target pixel wide.
TEST(BandedDrawTest, RecordsOutsideABandAreLeftOutWithoutChangingAPixel) {
  namespace emf = orvane::emf;
  emf::EmfWriter w = Writer(40, 48);
  Brush(w, 0x3070E0);
  // A miter tip 5 rows below the points, and a wide pen's edge from above the picture.
  w.SelectObject(w.ExtCreatePen(emf::PS_GEOMETRIC | emf::PS_JOIN_MITER | emf::PS_ENDCAP_FLAT, 3, 0x106010));
  w.Polyline({{1, 1}, {4, 12}, {7, 1}});
  w.SelectObject(w.ExtCreatePen(emf::PS_GEOMETRIC | emf::PS_ENDCAP_ROUND, 16, 0x801010));
  w.Polyline({{20, -6}, {38, -6}});
  // Cosmetic dashes and moves: the second line starts where the first ended.
  w.SelectObject(w.CreatePen(emf::PS_DASH, 0, 0x000080));
  w.MoveToEx(1, 14);
  w.LineTo(30, 15);
  w.LineTo(3, 17);
  w.SelectObject(w.CreatePen(emf::PS_SOLID, 2, 0x404040));
  w.Ellipse({1, 19, 12, 25});
  w.RoundRect({13, 19, 24, 25}, {5, 4});
  w.Pie({25, 19, 38, 26}, {38, 19}, {25, 26});
  w.Chord({1, 26, 12, 31}, {12, 26}, {1, 31});
  w.Arc({13, 26, 24, 31}, {24, 26}, {13, 31});
  w.PolyBezier({{25, 27}, {30, 20}, {34, 36}, {38, 28}});
  w.PolyPolygon16({{{2, 32}, {9, 32}, {5, 36}}, {{12, 33}, {19, 33}, {15, 37}}});
  w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
  w.Rectangle({22, 32, 30, 36});
  w.Polygon({{-900, 40}, {-890, 40}, {-895, 47}});  // far left: in no band
  // Turned by 30 degrees about (20, 42).
  w.SetWorldTransform({0.866f, 0.5f, -0.5f, 0.866f, 20, 42});
  w.SelectObject(w.CreatePen(emf::PS_SOLID, 1, 0x00A0A0));
  w.Rectangle({-12, -3, 0, 3});
  w.Ellipse({2, -3, 14, 4});
  const auto picture = Metafile(w.Finish());
  ExpectBandsMatchWhole(*picture, 40, 48, 3, "records in strips");

  // Thin pens a target pixel wide, and how many records one-row bands draw.
  for (TOrvanePictureQuality q : {opqLow, opqHigh}) {
    std::vector<uint8_t> results[2];
    uint64_t drawn[2];
    for (int banded = 0; banded < 2; ++banded) {
      const BandBudget scope(banded ? 1 : kUnbanded);
      const Rendering way(banded ? FilteredRendering::Automatic : FilteredRendering::KeySurfaces);
      TFastBMP color(40, 48), coverage(40, 48);
      const uint64_t before = emf::PlaybackWorkSoFar().drawingRecords;
      RenderFiltered(color, coverage, *picture, FilteredDrawOptions{q, ThinLines::OnePixel}, 1.0, 1.0);
      drawn[banded] = emf::PlaybackWorkSoFar().drawingRecords - before;
      for (const TFastBMP* raster : {&color, &coverage})
        for (int32_t y = 0; y < 48; ++y)
          results[banded].insert(results[banded].end(), raster->RowStarts()[y], raster->RowStarts()[y] + 40 * 3);
    }
    EXPECT_TRUE(results[0] == results[1]) << "thin lines, quality " << int(q);
    // Unbanded over two keys: each of the 14 records that reach the
    // picture twice. In 48 bands: each in those its rows and pens reach.
    EXPECT_EQ(drawn[0], 2 * 14u) << int(q);
    EXPECT_LT(drawn[1], 48 * 14u / 2) << int(q);
  }
}

TEST(BandedDrawTest, BitmapGraphicAndCanvasDrawing) {
  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(5, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) bitmap.Canvas().SetPixel(x, y, orvane::vcl::TColor(0x102030 * (x + 1) + 0x0F0000 * y));
  ExpectBandsMatchWhole(bitmap, 13, 11, 2, "bitmap");

  // The whole filtered draw, blend included, onto a canvas with something on it.
  const orvanetest::SampleGraphic disc(9, 9, [](int32_t x, int32_t y, int32_t w, int32_t h) {
    const int64_t dx = 2 * int64_t{x} + 1 - w, dy = 2 * int64_t{y} + 1 - h;
    return dx * dx + dy * dy <= int64_t{w} * w ? std::optional<orvane::vcl::TColor>(0x2080FF) : std::nullopt;
  });
  for (TOrvanePictureQuality q : kQualities) {
    orvane::vcl::TBitmap whole, banded;
    for (orvane::vcl::TBitmap* target : {&whole, &banded}) {
      target->SetSize(30, 30);
      target->Canvas().Brush().SetColor(0x00FF00);
      target->Canvas().FillRect(orvane::vcl::Rect(0, 10, 30, 20));
    }
    {
      const BandBudget scope(kUnbanded);
      disc.drawCount = 0;
      OrvaneStretchDraw(whole.Canvas(), orvane::vcl::Rect(3, 4, 25, 26), &disc, q);
      EXPECT_EQ(disc.drawCount, 1) << "one playback";
    }
    {
      const BandBudget scope(1);
      const Rendering keys(FilteredRendering::KeySurfaces);
      disc.drawCount = 0;
      OrvaneStretchDraw(banded.Canvas(), orvane::vcl::Rect(3, 4, 25, 26), &disc, q);
      EXPECT_EQ(disc.drawCount, 2 * 23) << "one band a target row, two key colours each";
    }
    int differing = 0;
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 30; ++x) differing += whole.Canvas().Pixel(x, y) != banded.Canvas().Pixel(x, y);
    EXPECT_EQ(differing, 0) << "quality " << int(q);
  }
}

TEST(BandedDrawTest, RastersShorterThanTheTargetGetOnlyTheirRows) {
  const orvanetest::SampleGraphic stripes(4, 4, [](int32_t, int32_t y, int32_t, int32_t h) {
    return y * 4 / h % 2 ? std::optional<orvane::vcl::TColor>(0x0000FF) : std::nullopt;
  });
  TFastBMP color(9, 5), coverage(9, 5);
  const BandBudget scope(BudgetForRows(9, opqMed, 2));
  stripes.drawCount = 0;
  RenderFiltered(color, coverage, stripes, opqMed, 9.0 / 4, 12.0 / 4);  // target 9 x 12
  EXPECT_EQ(stripes.drawCount, 1) << "one playback for the five rows the rasters hold";
  // Target rows 3..5 lie in the second stripe: red, fully covered.
  EXPECT_EQ(coverage.RowStarts()[4][0], 255);
  EXPECT_EQ(color.RowStarts()[4][2], 255);
  EXPECT_EQ(coverage.RowStarts()[1][0], 0);
}

TEST(SurfaceBandTest, BoundsRowsAndRefusedBands) {
  orvane::gdi::HBITMAP bitmap = orvane::gdi::CreateScreenBitmap(6, 10);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_FALSE(bitmap->IsBanded());
  EXPECT_TRUE(bitmap->SetBand(4, 3));
  EXPECT_TRUE(bitmap->IsBanded());
  EXPECT_EQ(bitmap->HeldBounds(), (orvane::gdi::Rect{0, 4, 6, 7}));
  EXPECT_EQ(bitmap->WholeBounds(), (orvane::gdi::Rect{0, 0, 6, 10}));
  EXPECT_EQ(bitmap->Row(4), bitmap->Bits());
  EXPECT_EQ(bitmap->Row(6), bitmap->Bits() + 2 * 24);
  EXPECT_FALSE(bitmap->SetBand(8, 3));  // past the bottom
  EXPECT_FALSE(bitmap->SetBand(-1, 2));
  EXPECT_EQ(bitmap->HeldBounds(), (orvane::gdi::Rect{0, 4, 6, 7}));
  EXPECT_TRUE(bitmap->SetBand(0, 10));
  EXPECT_FALSE(bitmap->IsBanded());
  orvane::gdi::DeleteObject(bitmap);

  // Memory for three rows takes no band of four.
  const size_t bytes = 3 * 24;
  uint8_t* memory = orvane::gdi::AcquirePixelMemory(bytes);
  ASSERT_NE(memory, nullptr);
  orvane::gdi::BitmapObject partial(6, 100, orvane::gdi::PixelFormat::Bgrx32, 24, memory, bytes);
  EXPECT_TRUE(partial.SetBand(97, 3));
  EXPECT_FALSE(partial.SetBand(10, 4));
}

TEST(SurfaceBandTest, WritersKeepToTheBandAndReadersSeeOnlyIt) {
  // A 4 x 20 surface holding rows 6..10 in memory for eight rows: the three
  // spare rows after the band show any write below it.
  const size_t bytes = 8 * 16;
  uint8_t* memory = orvane::gdi::AcquirePixelMemory(bytes);
  ASSERT_NE(memory, nullptr);
  std::memset(memory, 0xAB, bytes);
  auto surface = std::make_unique<orvane::gdi::BitmapObject>(4, 20, orvane::gdi::PixelFormat::Bgrx32, 16, memory, bytes);
  ASSERT_TRUE(surface->SetBand(6, 5));
  const auto spareUntouched = [&] {
    for (size_t i = 5 * 16; i < bytes; ++i)
      if (memory[i] != 0xAB) return false;
    return true;
  };
  orvane::gdi::FillSurface(*surface, 0x0000FF);
  for (int32_t y = 6; y < 11; ++y) EXPECT_EQ(surface->Row(y)[2], 0xFF) << y;
  EXPECT_TRUE(spareUntouched());

  orvane::gdi::DeviceContext dc;
  dc.Select(surface.get());
  EXPECT_EQ(dc.HeldClip().Bounds(), (orvane::gdi::Rect{0, 6, 4, 11}));
  EXPECT_EQ(dc.WholeClip().Bounds(), (orvane::gdi::Rect{0, 0, 4, 20}));
  {
    orvane::gdi::RenderTarget target(dc);
    EXPECT_EQ(target.HeldClipBounds(), (orvane::gdi::Rect{0, 6, 4, 11}));
    EXPECT_EQ(target.WholeClipBounds(), (orvane::gdi::Rect{0, 0, 4, 20}));
    target.SetPaint(orvane::gdi::Paint::Solid(0x00FF00));
    target.FillRect({0, 0, 4, 20});
  }
  for (int32_t y = 6; y < 11; ++y) EXPECT_EQ(surface->Row(y)[1], 0xFF) << y;
  EXPECT_TRUE(spareUntouched());

  // A blit out of the band takes only the rows held.
  orvane::gdi::HBITMAP copy = orvane::gdi::CreateScreenBitmap(4, 20);
  ASSERT_NE(copy, nullptr);
  {
    orvane::gdi::DeviceContext copyDc;
    copyDc.Select(copy);
    EXPECT_TRUE(orvane::gdi::BitBlt(&copyDc, 0, 0, 4, 20, &dc, 0, 0, orvane::gdi::SRCCOPY));
    for (int32_t y = 0; y < 20; ++y) EXPECT_EQ(copy->Row(y)[1], (y >= 6 && y < 11) ? 0xFF : 0) << y;
    // A blit into the band writes only its rows: they turn black, nothing beyond them is written.
    EXPECT_TRUE(orvane::gdi::BitBlt(&dc, 0, -2, 4, 20, &copyDc, 0, 0, orvane::gdi::SRCCOPY));
    EXPECT_EQ(surface->Row(6)[1], 0xFF);   // from copy row 8
    EXPECT_EQ(surface->Row(9)[1], 0);      // from copy row 11
    EXPECT_TRUE(spareUntouched());
  }
  orvane::gdi::DeleteObject(copy);

  orvane::vcl::TCanvas canvas;
  canvas.SetHandle(&dc);
  EXPECT_EQ(canvas.Pixel(1, 8), orvane::vcl::TColor(0x00FF00));
  EXPECT_EQ(canvas.Pixel(1, 9), orvane::vcl::TColor(0));
  EXPECT_EQ(canvas.Pixel(1, 5), -1);
  EXPECT_EQ(canvas.Pixel(1, 11), -1);
  canvas.SetHandle(nullptr);
  dc.Select(nullptr);
}
