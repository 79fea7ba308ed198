// Shrinking bitmaps by the stretch mode, and the pixel each stretch keeps
// at a tie, worked by hand on sources of a few pixels. Shares: shrinking 6
// into 3 gives each destination pixel source pixels {0, 1}, {2, 3}, {4, 5};
// 6 into 2 gives {0, 1, 2}, {3, 4, 5}. COLORONCOLOR keeps a share's last
// column and its first row.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "../gdi/DibBytes.h"
#include "EmfTestSupport.h"
#include <orvane/graphics/Icon.h>

namespace {

using namespace emftest;
namespace emf = orvane::emf;
using orvane::vcl::TColor;

constexpr uint32_t kAnd = 1, kOr = 2, kDrop = 3, kHalftone = 4;

// Red channels whose ANDs and ORs tell which pixels were combined:
// F0 & CC = C0, AA & 0F = 0A, 33 & 55 = 11; F0 & CC & AA = 80, 0F & 33 & 55 = 01;
// F0 | CC = FC, AA | 0F = AF, 33 | 55 = 77; F0 | CC | AA = FE, 0F | 33 | 55 = 7F.
const std::vector<uint32_t> kBits = {0xF0, 0xCC, 0xAA, 0x0F, 0x33, 0x55};
const std::vector<uint32_t> kRamp = {0, 30, 60, 90, 120, 150};

enum class Record { StretchDIBits, StretchBlt, PlgBlt };

// The picture a record makes of `source` (w x h, top row first) stretched
// into (1, 1) .. (1 + cx, 1 + cy) after `setup`: the destination's pixels,
// row by row.
std::vector<TColor> Stretched(Record record, const std::function<void(emf::EmfWriter&)>& setup, int32_t w,
                              int32_t h, const std::vector<uint32_t>& source, int32_t cx, int32_t cy) {
  auto writer = Writer(8, 8);
  setup(writer);
  const emf::Dib dib = emf::MakeDib24(w, h, source);
  switch (record) {
    case Record::StretchDIBits: writer.StretchDIBits(1, 1, cx, cy, 0, 0, w, h, dib); break;
    case Record::StretchBlt: writer.StretchBlt(1, 1, cx, cy, emf::SRCCOPY, dib, 0, 0, w, h); break;
    case Record::PlgBlt: writer.PlgBlt({{{1, 1}, {1 + cx, 1}, {1, 1 + cy}}}, dib, 0, 0, w, h); break;
  }
  Canvas canvas(8, 8);
  canvas.Play(writer.Finish());
  std::vector<TColor> out;
  for (int32_t y = 1; y <= cy; ++y)
    for (int32_t x = 1; x <= cx; ++x) out.push_back(canvas.At(x, y));
  return out;
}

std::function<void(emf::EmfWriter&)> Mode(uint32_t mode) {
  return [mode](emf::EmfWriter& w) { w.SetStretchBltMode(mode); };
}

// A 6 x 6 white source with a black diagonal, and one of red 10 x + 40 y.
std::vector<uint32_t> Diagonal() {
  std::vector<uint32_t> px(36, 0xFFFFFF);
  for (int i = 0; i < 6; ++i) px[size_t(7 * i)] = 0;
  return px;
}
std::vector<uint32_t> Plane() {
  std::vector<uint32_t> px;
  for (uint32_t y = 0; y < 6; ++y)
    for (uint32_t x = 0; x < 6; ++x) px.push_back(10 * x + 40 * y);
  return px;
}

}  // namespace

// Every case gives the same pixels by each record: the ties where they
// differ are in the next test.
TEST(StretchModeTest, ShrinkingCombinesOrDropsTheSharesPixelsByTheMode) {
  const struct Case {
    const char* name;
    uint32_t mode;
    int32_t w, h;
    std::vector<uint32_t> source;
    int32_t cx, cy;
    std::vector<TColor> expected;
  } cases[] = {
      {"AND, 6 into 3", kAnd, 6, 1, kBits, 3, 1, {0xC0, 0x0A, 0x11}},
      {"AND, 6 into 2", kAnd, 6, 1, kBits, 2, 1, {0x80, 0x01}},
      {"AND, 6 rows into 3", kAnd, 1, 6, kBits, 1, 3, {0xC0, 0x0A, 0x11}},
      {"OR, 6 into 3", kOr, 6, 1, kBits, 3, 1, {0xFC, 0xAF, 0x77}},
      {"OR, 6 rows into 2", kOr, 1, 6, kBits, 1, 2, {0xFE, 0x7F}},
      {"drop, 6 into 3: last of each share", kDrop, 6, 1, kBits, 3, 1, {0xCC, 0x0F, 0x55}},
      {"drop, 6 into 2", kDrop, 6, 1, kBits, 2, 1, {0xAA, 0x55}},
      {"drop, 6 rows into 3: first of each share", kDrop, 1, 6, kBits, 1, 3, {0xF0, 0xAA, 0x33}},
      {"drop, 6 rows into 2", kDrop, 1, 6, kBits, 1, 2, {0xF0, 0x0F}},
      // The average over the area covered: pairs, triples; 5 into 2 covers
      // 0, 1 and half of 2, then half of 2, 3 and 4: (0 + 30 + 30) / 2.5, (30 + 90 + 120) / 2.5.
      {"halftone, 6 into 3", kHalftone, 6, 1, kRamp, 3, 1, {15, 75, 135}},
      {"halftone, 6 rows into 2", kHalftone, 1, 6, kRamp, 1, 2, {30, 120}},
      {"halftone, 5 into 2", kHalftone, 5, 1, {0, 30, 60, 90, 120}, 2, 1, {24, 96}},
      // Enlarging 2 into 3 too: the middle pixel covers a third of each.
      {"halftone, 2 into 3", kHalftone, 2, 1, {0, 90}, 3, 1, {0, 45, 90}},
      // Both ways at once: black strokes on white survive AND, not COLORONCOLOR
      // (which keeps source pixels (2, 0), (5, 0), (2, 3) and (5, 3), all white).
      {"AND, 6 x 6 into 2 x 2", kAnd, 6, 6, Diagonal(), 2, 2, {0, 0xFFFFFF, 0xFFFFFF, 0}},
      {"drop, 6 x 6 into 2 x 2", kDrop, 6, 6, Diagonal(), 2, 2, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
      // Block means: x 1 or 4, y 1 or 4.
      {"halftone, 6 x 6 into 2 x 2", kHalftone, 6, 6, Plane(), 2, 2, {50, 80, 170, 200}},
      // Enlarging keeps the nearest pixel.
      {"AND, 2 into 5", kAnd, 2, 1, {0xF0, 0x0F}, 5, 1, {0xF0, 0xF0, 0xF0, 0x0F, 0x0F}},
  };
  for (const Case& c : cases)
    for (Record record : {Record::StretchDIBits, Record::StretchBlt, Record::PlgBlt})
      EXPECT_EQ(Stretched(record, Mode(c.mode), c.w, c.h, c.source, c.cx, c.cy), c.expected)
          << c.name << ", record " << int(record);
}

// The mode is device-context state: BLACKONWHITE by default, saved and
// restored with it; modes outside 1 .. 4 are refused.
TEST(StretchModeTest, TheModeIsDeviceContextState) {
  const std::vector<TColor> anded = {0xC0, 0x0A, 0x11}, ored = {0xFC, 0xAF, 0x77}, dropped = {0xCC, 0x0F, 0x55};
  const struct {
    const char* name;
    std::function<void(emf::EmfWriter&)> setup;
    std::vector<TColor> expected;
  } cases[] = {
      {"default", [](emf::EmfWriter&) {}, anded},
      {"refused modes",
       [](emf::EmfWriter& w) {
         for (uint32_t mode : {kDrop, 0u, 5u}) w.SetStretchBltMode(mode);
       },
       dropped},
      {"restored",
       [](emf::EmfWriter& w) {
         w.SetStretchBltMode(kOr);
         w.SaveDC();
         w.SetStretchBltMode(kDrop);
         w.RestoreDC(-1);
       },
       ored},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Stretched(Record::StretchDIBits, c.setup, 6, 1, kBits, 3, 1), c.expected) << c.name;
}

// TransparentBlt drops pixels under AND and OR, AlphaBlend under every mode;
// the kept pixel decides transparency and the mask bit. Under HALFTONE the
// transparent colour weighs nothing.
TEST(StretchModeTest, MasksAndTransparencyFollowTheKeptPixel) {
  constexpr uint32_t kKey = 0x00FF00;
  const auto play = [](const std::function<void(emf::EmfWriter&)>& draw) {
    auto w = Writer(8, 8);
    draw(w);
    Canvas canvas(8, 8);
    canvas.Play(w.Finish());
    return std::vector<TColor>{canvas.At(1, 1), canvas.At(2, 1), canvas.At(3, 1)};
  };
  const emf::Dib bits = emf::MakeDib24(6, 1, kBits);
  EXPECT_EQ(play([&](emf::EmfWriter& w) { w.TransparentBlt(1, 1, 3, 1, kKey, bits, 0, 0, 6, 1); }),
            (std::vector<TColor>{0xCC, 0x0F, 0x55}));
  EXPECT_EQ(play([&](emf::EmfWriter& w) {
              w.SetStretchBltMode(kHalftone);
              w.AlphaBlend(1, 1, 3, 1, 255, false, bits, 0, 0, 6, 1);
            }),
            (std::vector<TColor>{0xCC, 0x0F, 0x55}));
  // Shares (0, 30), (key, 90), (120, key): the last keeps the key and is left out.
  EXPECT_EQ(play([&](emf::EmfWriter& w) {
              w.SetStretchBltMode(kHalftone);
              w.TransparentBlt(1, 1, 3, 1, kKey, emf::MakeDib24(6, 1, {0, 30, kKey, 90, 120, kKey}), 0, 0, 6, 1);
            }),
            (std::vector<TColor>{15, 90, kBackground}));
  // The mask drops source pixel 3, the middle share's kept one.
  const emf::Dib mask = emf::MakeDibIndexed(6, 1, 1, {0, 0xFFFFFF}, {1, 1, 1, 0, 1, 1});
  EXPECT_EQ(play([&](emf::EmfWriter& w) { w.PlgBlt({{{1, 1}, {4, 1}, {1, 2}}}, bits, 0, 0, 6, 1, &mask, 0, 0); }),
            (std::vector<TColor>{0xC0, kBackground, 0x11}));
}

// COLORONCOLOR ties: one destination pixel for two source pixels keeps the
// last with StretchDIBits, the first with StretchBlt; 3 into 2 keeps green,
// blue across and red, blue down with both. Enlarging takes the pixel under
// each centre, the lower one on a boundary. TBitmap::Draw takes the upper
// one there, TIcon::Draw the lower.
TEST(StretchModeTest, TiesFollowWhereTheStretchIsMade) {
  const std::vector<uint32_t> two = {C(kRed), C(kBlue)}, three = {C(kRed), C(kGreen), C(kBlue)};
  const struct Case {
    Record record;
    bool down;
    const std::vector<uint32_t>& source;
    int32_t size;
    std::vector<TColor> expected;
  } cases[] = {
      {Record::StretchDIBits, false, two, 1, {kBlue}},
      {Record::StretchBlt, false, two, 1, {kRed}},
      {Record::StretchDIBits, true, two, 1, {kRed}},
      {Record::StretchBlt, true, two, 1, {kRed}},
      {Record::StretchDIBits, false, three, 2, {kGreen, kBlue}},
      {Record::StretchBlt, false, three, 2, {kGreen, kBlue}},
      {Record::StretchDIBits, true, three, 2, {kRed, kBlue}},
      {Record::StretchBlt, true, three, 2, {kRed, kBlue}},
      {Record::StretchDIBits, false, two, 3, {kRed, kRed, kBlue}},
      {Record::StretchBlt, true, two, 5, {kRed, kRed, kRed, kBlue, kBlue}},
  };
  for (const Case& c : cases) {
    const int32_t n = int32_t(c.source.size());
    EXPECT_EQ(Stretched(c.record, Mode(kDrop), c.down ? 1 : n, c.down ? n : 1, c.source, c.down ? 1 : c.size,
                        c.down ? c.size : 1),
              c.expected)
        << "record " << int(c.record) << (c.down ? " down " : " across ") << n << " into " << c.size;
  }

  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(2, 1);
  bitmap.Canvas().SetPixel(0, 0, kRed);
  bitmap.Canvas().SetPixel(1, 0, kBlue);
  dibtest::Bytes image = dibtest::InfoHeader(2, 2, 24);
  dibtest::AddBytes(image, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0, 0});  // red, blue
  dibtest::AddBytes(image, {0, 0, 0, 0});                                // AND mask: opaque
  const dibtest::Bytes file = dibtest::IconFile(image, 2, 1, 24);
  orvane::vcl::TIcon icon;
  icon.LoadFromBytes(file.data(), file.size());
  for (const auto& [graphic, expected] : {std::pair<orvane::vcl::TGraphic*, TColor>{&bitmap, kBlue}, {&icon, kRed}}) {
    Canvas canvas(1, 1);
    canvas.bitmap.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, 1, 1), graphic);
    EXPECT_EQ(canvas.At(0, 0), expected) << graphic->ClassName();
  }
}

// A clip, as a band of the target is, draws exactly what the whole
// destination draws there: shares count from the destination's corner.
TEST(StretchModeTest, ClippingKeepsTheWholeDestinationsShares) {
  for (uint32_t mode : {kAnd, kDrop, kHalftone}) {
    const auto draw = [&](bool clipped) {
      auto w = Writer(8, 8);
      w.SetStretchBltMode(mode);
      if (clipped) w.IntersectClipRect({2, 3, 8, 8});
      w.StretchDIBits(1, 1, 5, 5, 0, 0, 6, 6, emf::MakeDib24(6, 6, Plane()));
      Canvas canvas(8, 8);
      canvas.Play(w.Finish());
      std::vector<TColor> inside;
      for (int32_t y = 3; y < 8; ++y)
        for (int32_t x = 2; x < 8; ++x) inside.push_back(canvas.At(x, y));
      return inside;
    };
    EXPECT_EQ(draw(true), draw(false)) << "mode " << mode;
  }
}
