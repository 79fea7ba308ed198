// Image records worked by hand on tiny targets: alpha blending, mask and
// parallelogram blits, bitmaps under a turning transform, gradient fills,
// palettes, and where device vertices are rounded.

#include <gtest/gtest.h>

#include "EmfTestSupport.h"
#include <orvane/graphics/detail/EmfRecords.h>

namespace {

using namespace emftest;
namespace emf = orvane::emf;

constexpr orvane::vcl::TColor Rgb(int r, int g, int b) { return static_cast<orvane::vcl::TColor>(r | (g << 8) | (b << 16)); }

const emf::Dib kChecker = emf::MakeDib24(2, 2, {C(kRed), C(kBlue), C(kBlue), C(kRed)});

// Alpha blending over the grey background (128): constant alpha weighs
// source and destination; per-pixel alpha takes a premultiplied source.
TEST(EmfImageRecordsTest, AlphaBlendWeighsSourceOverDestination) {
  struct Case {
    const char* name;
    uint8_t constantAlpha;
    bool sourceAlpha;
    uint32_t pixel;  // top byte: alpha
    orvane::vcl::TColor expected;
  };
  const Case cases[] = {
      // 255 * 128 / 255 + 128 * 127 / 255 = 128 + 63.75: red 192, others 64.
      {"constant half", 128, false, C(kRed), Rgb(192, 64, 64)},
      {"constant opaque", 255, false, C(kBlue), kBlue},
      {"constant none", 0, false, C(kBlue), kBackground},
      // Premultiplied half red: 128 + 128 * 127 / 255.
      {"pixel half", 255, true, 0x80000080, Rgb(192, 64, 64)},
      {"pixel clear", 255, true, 0x00000000, kBackground},
      // Both: colour and alpha scaled by 64/255, then 64 + 128 * 191 / 255.
      {"pixel and constant", 64, true, 0xFF0000FF, Rgb(160, 96, 96)},
  };
  for (const Case& c : cases) {
    auto w = Writer(4, 4);
    w.AlphaBlend(0, 0, 4, 4, c.constantAlpha, c.sourceAlpha, emf::MakeDib32(1, 1, {c.pixel}), 0, 0, 1, 1);
    Canvas canvas(4, 4);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Count(c.expected), 16) << c.name;
  }
  // Clipped to the left half; stretched, the source's left column goes there.
  auto w = Writer(4, 4);
  w.IntersectClipRect({0, 0, 2, 4});
  w.AlphaBlend(0, 0, 4, 4, 255, false, kChecker, 0, 0, 2, 2);
  Canvas canvas(4, 4);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"##..", "##..", "??..", "??.."}));
}

// MaskBlt: mask bit 1 takes the foreground operation, 0 the background's;
// the mask is read by its bits whatever its colour table says.
TEST(EmfImageRecordsTest, MaskBltChoosesAnOperationPerMaskBit) {
  const emf::Dib mask = emf::MakeDibIndexed(3, 2, 1, {C(kWhite), C(kBlack)}, {1, 0, 1, 0, 1, 1});
  struct Case {
    const char* name;
    uint32_t rop4;
    int32_t xMask;
    std::vector<std::string> rows;  // '#' red, '.' grey, '?' other
  };
  const Case cases[] = {
      {"background keeps the destination", (0xAAu << 24) | emf::SRCCOPY, 0, {"#.", ".#"}},
      {"background blackens", (0x00u << 24) | emf::SRCCOPY, 0, {"#?", "?#"}},
      {"mask origin moved", (0xAAu << 24) | emf::SRCCOPY, 1, {".?", "?#"}},
  };
  for (const Case& c : cases) {
    auto w = Writer(2, 2);
    w.MaskBlt(0, 0, 2, 2, c.rop4, kChecker, 0, 0, &mask, c.xMask, 0);
    Canvas canvas(2, 2);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kRed), c.rows) << c.name;
  }
}

// Ternary raster operations combine the brush, the source and the grey
// destination (0x80 in every channel) bit by bit, worked by truth table.
TEST(EmfImageRecordsTest, TernaryOperationsCombineBrushSourceAndDestination) {
  struct Case {
    const char* name;
    uint32_t rop;
    uint32_t brush, source;
    orvane::vcl::TColor expected;
  };
  const Case cases[] = {
      // P and S: 0xF0 & 0x3C, 0x0F & 0x3C.
      {"MERGECOPY", 0x00C000CA, Rgb(0xF0, 0x0F, 0x0F), Rgb(0x3C, 0x3C, 0x3C), Rgb(0x30, 0x0C, 0x0C)},
      // Where the source is set the destination, elsewhere the pattern.
      {"source selects destination", 0x00B8074A, C(kRed), C(kGreen), Rgb(255, 128, 0)},
      // Where the source is set the pattern, elsewhere the destination.
      {"source selects pattern", 0x00E20746, C(kRed), C(kGreen), Rgb(128, 0, 128)},
      // D or P or not S, with a white source: D or P.
      {"PATPAINT", 0x00FB0A09, C(kRed), C(kWhite), Rgb(255, 128, 128)},
      // P xor S xor D.
      {"three-way xor", 0x00960169, Rgb(0x0F, 0xF0, 0), Rgb(0xFF, 0, 0x0F), Rgb(0x70, 0x70, 0x8F)},
  };
  for (const Case& c : cases) {
    auto w = Writer(2, 2);
    w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, c.brush));
    w.StretchBlt(0, 0, 2, 2, c.rop, emf::MakeDib24(1, 1, {c.source}), 0, 0, 1, 1);
    Canvas canvas(2, 2);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Count(c.expected), 4) << c.name;
  }
  // A black vertical hatch in transparent mode: only column 4 of each 8
  // takes the pattern where the white source selects it; the others stay as
  // they were. Each source pixel covers 7 columns, so the second starts
  // within a repeat and the third past the hatch's line.
  auto w = Writer(21, 1);
  w.SetBkMode(emf::TRANSPARENT);
  w.SelectObject(w.CreateBrushIndirect(emf::BS_HATCHED, C(kBlack), emf::HS_VERTICAL));
  w.StretchBlt(0, 0, 21, 1, 0x00E20746, emf::MakeDib24(3, 1, {C(kWhite), C(kWhite), C(kWhite)}), 0, 0, 3, 1);
  Canvas canvas(21, 1);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Rows(kBlack), (std::vector<std::string>{"....#.......#.......#"}));
}

// A quarter turn: the source's top edge runs down the right side. Each
// pixel centre mapped back: column = floor((y + .5) / 2), row = floor((3.5 - x) / 2).
TEST(EmfImageRecordsTest, ParallelogramsMapEveryPixelCentreBack) {
  const std::vector<std::string> turned = {"..##", "..##", "##..", "##.."};  // '#' red, '.' blue
  auto plg = Writer(4, 4);
  plg.PlgBlt({{{4, 0}, {4, 4}, {0, 0}}}, kChecker, 0, 0, 2, 2);
  Canvas a(4, 4);
  a.Play(plg.Finish());
  EXPECT_EQ(a.Rows(kRed, kBlue), turned);

  // Only the mask's 1 bit (top-left source pixel) is drawn.
  const emf::Dib mask = emf::MakeDibIndexed(2, 2, 1, {C(kBlack), C(kWhite)}, {1, 0, 0, 0});
  auto masked = Writer(4, 4);
  masked.PlgBlt({{{4, 0}, {4, 4}, {0, 0}}}, kChecker, 0, 0, 2, 2, &mask);
  Canvas b(4, 4);
  b.Play(masked.Finish());
  EXPECT_EQ(b.Rows(kRed), (std::vector<std::string>{"..##", "..##", "....", "...."}));

  // The same turn as a world transform, for each bitmap record that maps its rectangle.
  for (int record = 0; record < 3; ++record) {
    auto w = Writer(4, 4);
    w.SetWorldTransform({0, 1, -1, 0, 4, 0});
    if (record == 0) w.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, kChecker);
    if (record == 1) w.StretchBlt(0, 0, 4, 4, emf::SRCCOPY, kChecker, 0, 0, 2, 2);
    if (record == 2) {
      w.SetWorldTransform({0, 2, -2, 0, 4, 0});
      w.BitBlt(0, 0, 2, 2, emf::SRCCOPY, &kChecker);
    }
    Canvas canvas(4, 4);
    canvas.Play(w.Finish());
    EXPECT_EQ(canvas.Rows(kRed, kBlue), turned) << record;
  }
}

TEST(EmfImageRecordsTest, GradientFillsInterpolateSixteenBitChannels) {
  // Left to right, red 65535 to 0 over four pixels: 65535 (4 - x) / 4, high byte.
  auto h = Writer(4, 2);
  h.GradientFill({{4, 2, 0, 0, 0, 0}, {0, 0, 0xFFFF, 0, 0, 0}}, {1, 0}, emf::GRADIENT_FILL_RECT_H);
  Canvas rect(4, 2);
  rect.Play(h.Finish());
  const orvane::vcl::TColor reds[] = {Rgb(255, 0, 0), Rgb(191, 0, 0), Rgb(127, 0, 0), Rgb(63, 0, 0)};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(rect.At(x, 0), reds[x]) << x;
    EXPECT_EQ(rect.At(x, 1), reds[x]) << x;
  }
  // Top to bottom, the vertices given bottom-right first.
  auto v = Writer(1, 4);
  v.GradientFill({{0, 0, 0, 0, 0xFFFF, 0}, {1, 4, 0, 0, 0, 0}}, {0, 1}, emf::GRADIENT_FILL_RECT_V);
  Canvas column(1, 4);
  column.Play(v.Finish());
  EXPECT_EQ(column.At(0, 1), Rgb(0, 0, 191));
  EXPECT_EQ(column.At(0, 3), Rgb(0, 0, 63));

  // A triangle covers the points with x + y < 4 (ten pixels); each takes
  // the colour at its own point: (1, 0) is 3/4 red and 1/4 green.
  auto t = Writer(4, 4);
  t.GradientFill({{0, 0, 0xFF00, 0, 0, 0}, {4, 0, 0, 0xFF00, 0, 0}, {0, 4, 0, 0, 0xFF00, 0}}, {0, 1, 2},
                 emf::GRADIENT_FILL_TRIANGLE);
  Canvas tri(4, 4);
  tri.Play(t.Finish());
  EXPECT_EQ(tri.Count(kBackground), 6);
  EXPECT_EQ(tri.At(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(tri.At(1, 0), Rgb(191, 63, 0));
  EXPECT_EQ(tri.At(1, 1), Rgb(127, 63, 63));
  EXPECT_EQ(tri.At(3, 1), kBackground);
}

// DIB_PAL_COLORS tables index the selected palette, which records can change.
TEST(EmfImageRecordsTest, PaletteIndexedBitmapsFollowTheSelectedPalette) {
  const emf::Dib image = emf::MakeDibPaletteIndexed(2, 1, 8, {1, 0}, {0, 1});
  auto w = Writer(2, 4);
  w.StretchDIBits(0, 0, 2, 1, 0, 0, 2, 1, image, emf::SRCCOPY, emf::DIB_PAL_COLORS);  // default palette
  const uint32_t palette = w.CreatePalette({C(kRed), C(kGreen)});
  w.SelectPalette(palette);
  w.RealizePalette();
  w.StretchDIBits(0, 1, 2, 1, 0, 0, 2, 1, image, emf::SRCCOPY, emf::DIB_PAL_COLORS);
  w.SetPaletteEntries(palette, 0, {C(kBlue)});
  w.StretchDIBits(0, 2, 2, 1, 0, 0, 2, 1, image, emf::SRCCOPY, emf::DIB_PAL_COLORS);
  w.ResizePalette(palette, 1);  // index 1 is gone: the first entry stands in
  w.StretchDIBits(0, 3, 2, 1, 0, 0, 2, 1, image, emf::SRCCOPY, emf::DIB_PAL_COLORS);
  Canvas canvas(2, 4);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.At(0, 0), Rgb(128, 0, 0));  // default entry 1: dark red
  EXPECT_EQ(canvas.At(1, 0), kBlack);           // default entry 0
  EXPECT_EQ(canvas.At(0, 1), kGreen);
  EXPECT_EQ(canvas.At(1, 1), kRed);
  EXPECT_EQ(canvas.At(1, 2), kBlue);
  EXPECT_EQ(canvas.At(0, 3), kBlue);
}

// Device vertices are kept in 1/16 pixel: an edge at 3.0198 lies at 3, so
// pixel 3 (right of the edge) is outside; at 1/256 it would be inside.
TEST(EmfImageRecordsTest, DeviceVerticesAreRoundedToSixteenthsOfAPixel) {
  auto w = Writer(5, 2);
  w.SetWorldTransform({1.0066f, 0, 0, 1, 0, 0});
  SolidFill(w, C(kRed));
  w.Polygon({{0, 0}, {3, 0}, {3, 2}, {0, 2}});
  Canvas canvas(5, 2);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"###..", "###.."}));
}

// Half a sixteenth rounds away from zero: edges at 1 1/32 and 3 1/32 lie at
// 1 1/16 and 3 1/16, so pixel 1 is outside and pixel 3 inside (rounding
// halves to even would give 1 and 3 and the opposite).
TEST(EmfImageRecordsTest, HalfSixteenthsRoundAwayFromZero) {
  auto w = Writer(5, 2);
  w.SetWorldTransform({1, 0, 0, 1, 1.0f / 32, 0});
  SolidFill(w, C(kRed));
  w.Polygon({{1, 0}, {3, 0}, {3, 2}, {1, 2}});
  Canvas canvas(5, 2);
  canvas.Play(w.Finish());
  EXPECT_EQ(canvas.Rows(kRed), (std::vector<std::string>{"..##.", "..##."}));
}

}  // namespace
