// What saved device-context states, gradient triangles and pictures played
// once per band cost: the pages saved objects keep, and the work playback
// does (records drawn, rows and pixels shaded), never time.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <functional>
#include <vector>

#include "InputBuilders.h"
#include "emf/EmfWriter.h"
#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include <orvane/detail/FilteredDrawTesting.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>

using namespace robust;
namespace emf = orvane::emf;

namespace {

constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGrey = 0x808080;

// Plays `bytes` onto a grey `size` x `size` bitmap: its pixels, and the pages first touched.
std::vector<uint32_t> Play(const Bytes& bytes, int32_t size, int64_t& faults) {
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(bytes.data(), bytes.size());
  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(size, size);
  bitmap.Canvas().Brush().SetColor(kGrey);
  bitmap.Canvas().FillRect(orvane::vcl::Rect(0, 0, size, size));
  const int64_t before = MinorFaults(RUSAGE_SELF);
  bitmap.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, size, size), &metafile);
  faults = MinorFaults(RUSAGE_SELF) - before;
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < size; ++y)
    for (int32_t x = 0; x < size; ++x) pixels.push_back(uint32_t(bitmap.Canvas().Pixel(x, y)));
  return pixels;
}

int Count(const std::vector<uint32_t>& pixels, uint32_t color) {
  int n = 0;
  for (uint32_t p : pixels) n += p == color;
  return n;
}

emf::EmfWriter Writer(int32_t size) { return emf::EmfWriter(emf::HeaderForPixels(size, size, {1000, 1000}, {100, 100})); }

}  // namespace

// 1,024 saves, each holding an object made for it and deleted from the
// table right after: a 1024 x 1024 pattern brush that repeats nowhere
// (4 MiB of pixels kept), or a palette resized to 65,535 entries. Saves and
// table share one 128 MiB budget: past it objects are not made, so saves
// share the last object they hold. The first save still holds its own: a
// restore to it draws red (the pattern's top-left pixel blue).
TEST(SavedStateCostTest, SavedObjectsCountAgainstTheObjectBudget) {
  // Colour 0 red; moved up to the top row (bottom-up), one blue pixel, and the end.
  const emf::Dib pattern = emf::MakeDibRle(
      1024, 1024, 8, {kRed, kBlue},
      {0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 255, 0, 2, 0, 3, 0x01, 0x01, 0x00, 0x01});
  const struct {
    const char* name;
    std::function<void(emf::EmfWriter&)> save;  // makes, selects and saves one object
    std::function<void(emf::EmfWriter&)> draw;  // unselects it, restores the first save, draws
    int red;
  } cases[] = {
      {"pattern brushes",
       [&](emf::EmfWriter& w) {
         const uint32_t brush = w.CreateDIBPatternBrushPt(pattern);
         w.SelectObject(brush);
         w.SaveDC();
         w.DeleteObject(brush);
       },
       [](emf::EmfWriter& w) {
         w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, kBlue));
         w.RestoreDC(1);
         w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
         w.Rectangle({0, 0, 17, 17});
       },
       255},
      {"palettes",
       [](emf::EmfWriter& w) {
         const uint32_t palette = w.CreatePalette({kRed});
         w.SelectPalette(palette);
         w.ResizePalette(palette, 0xFFFF);
         w.SaveDC();
         w.DeleteObject(palette);
       },
       [](emf::EmfWriter& w) {
         w.SelectPalette(emf::kStockObjectFlag | emf::DEFAULT_PALETTE);  // index 0 black
         w.RestoreDC(1);
         w.StretchDIBits(0, 0, 16, 16, 0, 0, 1, 1, emf::MakeDibPaletteIndexed(1, 1, 8, {0}, {0}), emf::SRCCOPY,
                         emf::DIB_PAL_COLORS);
       },
       256},
  };
  for (const auto& c : cases) {
    emf::EmfWriter w = Writer(16);
    for (int i = 0; i < 1024; ++i) c.save(w);
    c.draw(w);
    int64_t faults = 0;
    const std::vector<uint32_t> pixels = Play(w.Finish(), 16, faults);
    EXPECT_EQ(Count(pixels, kRed), c.red) << c.name;
    EXPECT_EQ(Count(pixels, kBlue), 256 - c.red) << c.name;
    // The budget's pages and a quarter more; without it 1,024 saved objects
    // keep 4 GiB (patterns) or 256 MiB (palettes).
    if (kPagesMeasureWhatIsKept) {
      EXPECT_LT(faults, (int64_t{128} << 20) / 4096 * 5 / 4) << c.name;
    }
  }
}

// 80,000 triangles a record: a mesh of triangles a fifth of a pixel wide
// tiling 40 x 40 pixels, each a row or two; the same target-wide triangle
// stacked, red and blue in turn, the last blue: each pixel is shaded once;
// and triangles far to the right of the target: nothing at all.
TEST(GradientCostTest, TrianglesCostTheRowsAndPixelsTheyCover) {
  constexpr uint32_t kTriangles = 80000;
  const auto vertex = [](int32_t x, int32_t y, uint32_t color) {
    // Channels whose high byte is 255 or 0 whatever the rounding of the weights.
    return emf::TriVertex{x, y, uint16_t(color & 0xFF ? 0xFF80 : 0), 0, uint16_t(color & 0xFF0000 ? 0xFF80 : 0), 0};
  };
  const struct {
    const char* name;
    std::function<void(emf::EmfWriter&)> draw;
    uint32_t color;
    int colored;          // pixels of that colour, the others grey
    uint64_t rowBudget;   // rows laid out
    uint64_t pixelBudget;  // pixels shaded
  } cases[] = {
      {"mesh",
       [&](emf::EmfWriter& w) {
         // Ten logical units a pixel; 200 x 200 cells of 2 x 2 units, two triangles each.
         w.SetMapMode(emf::MM_ANISOTROPIC);
         w.SetWindowExtEx(10, 10);
         w.SetViewportExtEx(1, 1);
         std::vector<emf::TriVertex> vertices;
         for (int32_t y = 0; y <= 200; ++y)
           for (int32_t x = 0; x <= 200; ++x) vertices.push_back(vertex(2 * x, 2 * y, kRed));
         std::vector<uint32_t> indices;
         for (uint32_t y = 0; y < 200; ++y)
           for (uint32_t x = 0; x < 200; ++x) {
             const uint32_t at = y * 201 + x;
             indices.insert(indices.end(), {at, at + 1, at + 201, at + 1, at + 202, at + 201});
           }
         w.GradientFill(vertices, indices, emf::GRADIENT_FILL_TRIANGLE);
       },
       kRed, 1600, 5 * kTriangles, 1600},
      {"stacked",
       [&](emf::EmfWriter& w) {
         const std::vector<emf::TriVertex> vertices{vertex(-64, -64, kRed), vertex(192, -64, kRed),
                                                    vertex(-64, 192, kRed), vertex(-64, -64, kBlue),
                                                    vertex(192, -64, kBlue), vertex(-64, 192, kBlue)};
         std::vector<uint32_t> indices;
         for (uint32_t i = 0; i < kTriangles; ++i) indices.insert(indices.end(), {i % 2 * 3, i % 2 * 3 + 1, i % 2 * 3 + 2});
         w.GradientFill(vertices, indices, emf::GRADIENT_FILL_TRIANGLE);
       },
       kBlue, 64 * 64, 70 * uint64_t{kTriangles}, 64 * 64},
      {"beyond the target",
       [&](emf::EmfWriter& w) {
         const std::vector<emf::TriVertex> vertices{vertex(1000, 0, kRed), vertex(1100, 0, kRed),
                                                    vertex(1000, 64, kRed)};
         std::vector<uint32_t> indices;
         for (uint32_t i = 0; i < kTriangles; ++i) indices.insert(indices.end(), {0, 1, 2});
         w.GradientFill(vertices, indices, emf::GRADIENT_FILL_TRIANGLE);
       },
       kRed, 0, 0, 0},
  };
  for (const auto& c : cases) {
    emf::EmfWriter w = Writer(64);
    c.draw(w);
    const emf::PlaybackWork before = emf::PlaybackWorkSoFar();
    int64_t faults = 0;
    const std::vector<uint32_t> pixels = Play(w.Finish(), 64, faults);
    const emf::PlaybackWork after = emf::PlaybackWorkSoFar();
    EXPECT_EQ(Count(pixels, c.color), c.colored) << c.name;
    EXPECT_EQ(Count(pixels, kGrey), 64 * 64 - c.colored) << c.name;
    EXPECT_LE(after.gradientRows - before.gradientRows, c.rowBudget) << c.name;
    EXPECT_LE(after.gradientPixels - before.gradientPixels, c.pixelBudget) << c.name;
  }
}

// 4,000 tiny outlined triangles in one strip of a 256 x 256 picture, drawn
// filtered at opqVeryHigh (4096 x 4096 samples) in bands of one target row,
// from spans and over key colours (twice a band). A band away from the
// strip leaves them out: the records are drawn in the bands the strip
// reaches, not in all 256.
TEST(BandCostTest, RecordsAreDrawnOnlyInTheBandsTheyReach) {
  constexpr int kShapes = 4000;
  emf::EmfWriter w = Writer(256);
  w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, kRed));
  for (int i = 0; i < kShapes; ++i) {
    const int16_t x = int16_t(i * 37 % 254), y = int16_t(120 + i % 5);
    w.Polygon16({{x, y}, {int16_t(x + 2), y}, {x, int16_t(y + 2)}});
  }
  orvane::vcl::TMetafile picture;
  const Bytes bytes = w.Finish();
  picture.LoadFromBytes(bytes.data(), bytes.size());
  const size_t budget = orvane::SetBandBudgetForTesting(1);
  for (const auto how : {orvane::FilteredRendering::Automatic, orvane::FilteredRendering::KeySurfaces}) {
    const orvane::FilteredRendering previous = orvane::SetFilteredRenderingForTesting(how);
    orvane::TFastBMP color(256, 256), coverage(256, 256);
    const uint64_t before = emf::PlaybackWorkSoFar().drawingRecords;
    orvane::RenderFiltered(color, coverage, picture, orvane::opqVeryHigh, 1.0, 1.0);
    const uint64_t drawn = emf::PlaybackWorkSoFar().drawingRecords - before;
    orvane::SetFilteredRenderingForTesting(previous);
    const uint64_t playbacks = how == orvane::FilteredRendering::KeySurfaces ? 2 : 1;
    // Rows 120 to 126 and the pen's pixel beyond: a few bands more at most.
    EXPECT_LE(drawn, playbacks * 12 * kShapes) << int(how);
    const auto covered = [&](int32_t y) {
      int sum = 0;
      for (int32_t x = 0; x < 3 * 256; ++x) sum += coverage.RowStarts()[y][x];
      return sum;
    };
    EXPECT_GT(covered(121), 0) << int(how);
    EXPECT_EQ(covered(60), 0) << int(how);
  }
  orvane::SetBandBudgetForTesting(budget);
}
