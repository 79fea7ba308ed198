#include <gtest/gtest.h>

#include <cmath>

#include "DibBytes.h"
#include "GdiTestHelpers.h"
#include <orvane/gdi/DibImage.h>
#include <orvane/gdi/DibSource.h>
#include <orvane/gdi/detail/ImageDrawing.h>

using namespace dibtest;
using namespace orvane::gdi;
using gditest::SurfaceDC;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = 0, kWhite = RGB(255, 255, 255), kGray = RGB(128, 128, 128), kYellow = RGB(255, 255, 0);

// Decodes, and checks that the same DIB read where it lies agrees: it opens
// when the decode succeeds, and sampling any pixel, in any order, gives the
// decoded colour.
bool Decode(const Bytes& header, const Bytes& bits, DibImage& out, uint64_t maxPixels = uint64_t{1} << 26) {
  const bool decoded = DecodeDib(header.data(), header.size(), bits.data(), bits.size(), out, maxPixels);
  DibSource source;
  const bool opened = source.Open(header.data(), header.size(), bits.data(), bits.size());
  if (!decoded) return false;
  EXPECT_TRUE(opened);
  if (!opened) return true;
  std::vector<SourcePixel> backwards;
  for (int32_t r = out.height - 1; r >= 0; --r)
    for (int32_t c = out.width - 1; c >= 0; --c) backwards.push_back({r, c});
  std::vector<COLORREF> sampled(backwards.size());
  source.Sample(backwards.data(), backwards.size(), sampled.data());
  for (size_t i = 0; i < backwards.size(); ++i)
    EXPECT_EQ(sampled[i], out.pixels[static_cast<size_t>(backwards[i].row * out.width + backwards[i].column)])
        << "row " << backwards[i].row << ", column " << backwards[i].column;
  return true;
}

// The image's rows, top first, for comparing whole images at once.
std::vector<std::vector<COLORREF>> Rows(const DibImage& image) {
  std::vector<std::vector<COLORREF>> rows;
  for (int32_t y = 0; y < image.height; ++y)
    rows.emplace_back(image.pixels.begin() + y * image.width, image.pixels.begin() + (y + 1) * image.width);
  return rows;
}
using RowList = std::vector<std::vector<COLORREF>>;

}  // namespace

// --- Uncompressed formats ------------------------------------------------

TEST(DibDecodeTest, OneBitBottomUpRowsArePaddedAndFlipped) {
  Bytes header = InfoHeader(3, 2, 1);
  AddPalette(header, {kRed, kBlue});
  const Bytes bits = {0xA0, 0, 0, 0,   // bottom row: 1 0 1
                      0x40, 0, 0, 0};  // top row:    0 1 0
  DibImage image;
  ASSERT_TRUE(Decode(header, bits, image));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(Rows(image), (RowList{{kRed, kBlue, kRed}, {kBlue, kRed, kBlue}}));
}

TEST(DibDecodeTest, FourBitTopDownWithShortTableGivesBlackPastTheTable) {
  Bytes header = InfoHeader(3, -2, 4, BI_RGB, 3);
  AddPalette(header, {kRed, kGreen, kBlue});
  const Bytes bits = {0x01, 0x20, 0, 0,   // top row: 0 1 2
                      0x25, 0x00, 0, 0};  // 2 5 0 (5 lies past the three entries)
  DibImage image;
  ASSERT_TRUE(Decode(header, bits, image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kGreen, kBlue}, {kBlue, kBlack, kRed}}));
}

TEST(DibDecodeTest, EightBitTableIsFullUnlessColorsUsedSaysOtherwise) {
  const Bytes bits = {1, 200, 0, 0};
  Bytes full = InfoHeader(2, 1, 8);  // 0 colours used: all 256 entries must be there
  AddPalette(full, {kRed, kGreen});
  DibImage image;
  EXPECT_FALSE(Decode(full, bits, image));
  EXPECT_TRUE(image.pixels.empty());

  Bytes two = InfoHeader(2, 1, 8, BI_RGB, 2);
  AddPalette(two, {kRed, kGreen});
  ASSERT_TRUE(Decode(two, bits, image));
  EXPECT_EQ(Rows(image), (RowList{{kGreen, kBlack}}));
}

TEST(DibDecodeTest, SixteenBitsAre555UnlessBitFieldsSayOtherwise) {
  // 5-bit 16 widens by repeating its bits: 10000 -> 10000100 = 132.
  Bytes rgb = InfoHeader(3, 1, 16);
  Bytes bits;
  for (uint32_t v : {0x7FFFu, 0x7C00u, 0x0210u}) Add16(bits, v);
  Add16(bits, 0);  // pad to 8 bytes
  DibImage image;
  ASSERT_TRUE(Decode(rgb, bits, image));
  EXPECT_EQ(Rows(image), (RowList{{kWhite, kRed, RGB(0, 132, 132)}}));

  // 5-6-5: 6-bit 32 = 100000 widens to 10000010 = 130.
  Bytes fields = InfoHeader(2, 1, 16, BI_BITFIELDS);
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Add32(fields, m);
  Bytes bits565;
  Add16(bits565, 0x07E0);
  Add16(bits565, 0x8410);
  ASSERT_TRUE(Decode(fields, bits565, image));
  EXPECT_EQ(Rows(image), (RowList{{kGreen, RGB(132, 130, 132)}}));
}

TEST(DibDecodeTest, TwentyFourAndThirtyTwoBits) {
  const Bytes bits24 = {1, 2, 3, 4, 5, 6, 0, 0,        // bottom row, padded to 8
                        7, 8, 9, 10, 11, 12, 0, 0};    // top row
  DibImage image;
  ASSERT_TRUE(Decode(InfoHeader(2, 2, 24), bits24, image));
  EXPECT_EQ(Rows(image), (RowList{{RGB(9, 8, 7), RGB(12, 11, 10)}, {RGB(3, 2, 1), RGB(6, 5, 4)}}));

  ASSERT_TRUE(Decode(InfoHeader(1, 1, 32), {1, 2, 3, 99}, image));  // B, G, R, unused
  EXPECT_EQ(Rows(image), (RowList{{RGB(3, 2, 1)}}));

  Bytes fields = InfoHeader(1, 1, 32, BI_BITFIELDS);  // red in the lowest byte
  for (uint32_t m : {0x000000FFu, 0x0000FF00u, 0x00FF0000u}) Add32(fields, m);
  ASSERT_TRUE(Decode(fields, {1, 2, 3, 0}, image));
  EXPECT_EQ(Rows(image), (RowList{{RGB(1, 2, 3)}}));
}

TEST(DibDecodeTest, LargerHeadersAreReadByTheirSizeField) {
  // A 124-byte header holds its masks itself; the table follows the header.
  Bytes v5 = InfoHeader(1, 1, 32, BI_BITFIELDS);
  v5[0] = 124;
  for (uint32_t m : {0x000000FFu, 0x0000FF00u, 0x00FF0000u, 0xFF000000u}) Add32(v5, m);
  v5.resize(124, 0);
  DibImage image;
  ASSERT_TRUE(Decode(v5, {1, 2, 3, 0}, image));
  EXPECT_EQ(Rows(image), (RowList{{RGB(1, 2, 3)}}));

  Bytes v4 = InfoHeader(2, 1, 1);
  v4[0] = 108;
  v4.resize(108, 0);
  AddPalette(v4, {kYellow, kBlue});
  ASSERT_TRUE(Decode(v4, {0x40, 0, 0, 0}, image));
  EXPECT_EQ(Rows(image), (RowList{{kYellow, kBlue}}));
}

TEST(DibDecodeTest, CoreHeaderUsesThreeByteTableEntries) {
  Bytes core;
  Add32(core, 12);
  Add16(core, 2);
  Add16(core, 1);
  Add16(core, 1);
  Add16(core, 1);
  AddBytes(core, {0, 0, 255, 255, 0, 0});  // RGBTRIPLEs (blue, green, red): red, blue
  DibImage image;
  ASSERT_TRUE(Decode(core, {0x40, 0, 0, 0}, image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kBlue}}));
  EXPECT_EQ(DibHeaderLength(core.data(), core.size()), 18u);
}

// --- RLE -----------------------------------------------------------------

TEST(DibRleTest, Rle8RunsAbsoluteRunsDeltaAndEndOfLine) {
  Bytes header = InfoHeader(4, 3, 8, BI_RLE8, 5);
  AddPalette(header, {kGray, kRed, kGreen, kBlue, kWhite});
  const Bytes stream = {
      0x03, 0x01, 0x00, 0x00,                    // bottom row: 1 1 1, end of line
      0x00, 0x03, 0x02, 0x03, 0x01, 0x00,        // absolute 2 3 1, padded to a word
      0x00, 0x00,                                // end of line
      0x00, 0x02, 0x02, 0x00, 0x01, 0x04,        // delta (2, 0), then one 4
      0x00, 0x01,                                // end of bitmap
      0x05, 0x03};                               // after the end: ignored
  DibImage image;
  ASSERT_TRUE(Decode(header, stream, image));
  EXPECT_EQ(Rows(image), (RowList{{kGray, kGray, kWhite, kGray},
                                  {kGreen, kBlue, kRed, kGray},
                                  {kRed, kRed, kRed, kGray}}));
}

TEST(DibRleTest, Rle8RunsStopAtTheRowEndAndDeltasBelowTheImageEndIt) {
  Bytes header = InfoHeader(2, 2, 8, BI_RLE8, 3);
  AddPalette(header, {kGray, kRed, kGreen});
  const Bytes stream = {0x05, 0x01, 0x00, 0x00,   // five 1s on a row of two
                        0x01, 0x02,               // row 1: one 2
                        0x00, 0x02, 0x00, 0x05,   // delta five rows down: past the image
                        0x02, 0x01};              // never written
  DibImage image;
  ASSERT_TRUE(Decode(header, stream, image));
  EXPECT_EQ(Rows(image), (RowList{{kGreen, kGray}, {kRed, kRed}}));
}

TEST(DibRleTest, Rle4AlternatesNibblesAndPadsAbsoluteRuns) {
  Bytes header = InfoHeader(5, 2, 4, BI_RLE4, 7);
  AddPalette(header, {kGray, kRed, kGreen, kBlue, kWhite, kBlack, kYellow});
  const Bytes stream = {0x05, 0x12, 0x00, 0x00,   // bottom row: 1 2 1 2 1
                        0x00, 0x03, 0x34, 0x50,   // absolute 3 4 5 (two bytes: no pad)
                        0x00, 0x02, 0x01, 0x00,   // delta (1, 0)
                        0x01, 0x60, 0x00, 0x01};  // one 6, end of bitmap
  DibImage image;
  ASSERT_TRUE(Decode(header, stream, image));
  EXPECT_EQ(Rows(image), (RowList{{kBlue, kWhite, kBlack, kGray, kYellow}, {kRed, kGreen, kRed, kGreen, kRed}}));

  // Five nibbles take three bytes, padded with a fourth.
  Bytes header6 = InfoHeader(6, 1, 4, BI_RLE4, 7);
  AddPalette(header6, {kGray, kRed, kGreen, kBlue, kWhite, kBlack, kYellow});
  ASSERT_TRUE(Decode(header6, {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x01, 0x60, 0x00, 0x01}, image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kGreen, kBlue, kWhite, kBlack, kYellow}}));
}

TEST(DibRleTest, TruncatedStreamsEndTheImageCleanly) {
  Bytes header = InfoHeader(4, 1, 8, BI_RLE8, 3);
  AddPalette(header, {kGray, kRed, kGreen});
  DibImage image;
  // An absolute run of three with one byte left: that one is drawn.
  ASSERT_TRUE(Decode(header, {0x03, 0x01, 0x00, 0x03, 0x02}, image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kRed, kRed, kGreen}}));
  // Half a pair, and a delta without its offsets.
  ASSERT_TRUE(Decode(header, {0x02, 0x01, 0x00}, image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kRed, kGray, kGray}}));
  ASSERT_TRUE(Decode(header, {0x01, 0x02, 0x00, 0x02, 0x01}, image));
  EXPECT_EQ(Rows(image), (RowList{{kGreen, kGray, kGray, kGray}}));
  // biSizeImage shorter than the bits given limits the stream.
  Bytes limited = InfoHeader(4, 1, 8, BI_RLE8, 3, 2);
  AddPalette(limited, {kGray, kRed, kGreen});
  ASSERT_TRUE(Decode(limited, {0x01, 0x01, 0x01, 0x02}, image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kGray, kGray, kGray}}));
}

// --- Refused data --------------------------------------------------------

TEST(DibDecodeTest, RefusesInconsistentHeadersAndShortData) {
  const Bytes bits(64, 0);
  auto refused = [&](const Bytes& header, const char* what) {
    DibImage image;
    image.width = 7;
    EXPECT_FALSE(Decode(header, bits, image)) << what;
    EXPECT_EQ(image.width, 0) << what;
    EXPECT_TRUE(image.pixels.empty()) << what;
  };
  refused(InfoHeader(0, 1, 24), "width 0");
  refused(InfoHeader(-2, 1, 24), "negative width");
  refused(InfoHeader(2, 0, 24), "height 0");
  refused(InfoHeader(2, INT32_MIN, 24), "height that cannot be negated");
  refused(InfoHeader(2, 1, 3), "3 bits a pixel");
  refused(InfoHeader(2, 1, 4, BI_RLE8, 1), "RLE8 at 4 bits");
  refused(InfoHeader(2, 1, 24, BI_BITFIELDS), "bit fields at 24 bits");
  refused(InfoHeader(2, 1, 32, 4), "JPEG");
  refused(InfoHeader(2, -1, 8, BI_RLE8, 1), "top-down RLE");
  refused(InfoHeader(2, 1, 32, BI_BITFIELDS), "bit fields without their masks");
  Bytes shortHeader = InfoHeader(2, 1, 24);
  shortHeader.resize(39);
  refused(shortHeader, "header shorter than 40 bytes");
  Bytes oddSize = InfoHeader(2, 1, 24);
  oddSize[0] = 41;
  refused(oddSize, "header size past the data");
  Bytes shortTable = InfoHeader(2, 1, 4, BI_RGB, 3);
  AddPalette(shortTable, {kRed, kGreen});
  refused(shortTable, "colour table cut short");

  DibImage image;
  EXPECT_FALSE(DecodeDib(nullptr, 0, bits.data(), bits.size(), image));
  const Bytes header = InfoHeader(2, 2, 24);
  EXPECT_FALSE(Decode(header, Bytes(15, 0), image)) << "bits one byte short of 2 rows of 8";
  EXPECT_TRUE(Decode(header, Bytes(16, 0), image));
}

TEST(DibDecodeTest, RefusesImagesAboveThePixelLimitBeforeAllocating) {
  DibImage image;
  EXPECT_FALSE(Decode(InfoHeader(3, 2, 24), Bytes(24, 0), image, 5));
  EXPECT_TRUE(Decode(InfoHeader(3, 2, 24), Bytes(24, 0), image, 6));
  // No limit: the sizes themselves must still be checked against the bits.
  EXPECT_FALSE(Decode(InfoHeader(1 << 20, 1 << 20, 32), Bytes(16, 0), image, UINT64_MAX));
  EXPECT_FALSE(Decode(InfoHeader(INT32_MAX, INT32_MAX, 1), Bytes(16, 0), image, UINT64_MAX));
  // An RLE image is refused by the limit alone.
  Bytes rle = InfoHeader(30000, 30000, 8, BI_RLE8, 1);
  AddPalette(rle, {kRed});
  EXPECT_FALSE(Decode(rle, {0x00, 0x01}, image));
}

TEST(DibPackedTest, BitsFollowTheTableOrSitAtTheGivenOffset) {
  Bytes packed = InfoHeader(2, 1, 1, BI_RGB, 2);
  AddPalette(packed, {kRed, kBlue});
  EXPECT_EQ(DibHeaderLength(packed.data(), packed.size()), 48u);
  AddBytes(packed, {0x40, 0, 0, 0});
  DibImage image;
  ASSERT_TRUE(DecodePackedDib(packed.data(), packed.size(), image));
  EXPECT_EQ(Rows(image), (RowList{{kRed, kBlue}}));

  Bytes gap = InfoHeader(2, 1, 1, BI_RGB, 2);
  AddPalette(gap, {kRed, kBlue});
  AddBytes(gap, {0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0});
  ASSERT_TRUE(DecodePackedDib(gap.data(), gap.size(), image, 52));
  EXPECT_EQ(Rows(image), (RowList{{kBlue, kRed}}));
  EXPECT_FALSE(DecodePackedDib(gap.data(), gap.size(), image, gap.size() + 1));

  // A colour count that wraps any 32-bit size: the bits cannot be found.
  Bytes wrapping = InfoHeader(2, 1, 1, BI_RGB, 0xFFFFFFFF);
  AddPalette(wrapping, {kRed, kBlue});
  AddBytes(wrapping, {0x40, 0, 0, 0});
  EXPECT_FALSE(DecodePackedDib(wrapping.data(), wrapping.size(), image));

  Bytes fields = InfoHeader(1, 1, 16, BI_BITFIELDS);
  for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Add32(fields, m);
  EXPECT_EQ(DibHeaderLength(fields.data(), fields.size()), 52u);
  EXPECT_EQ(DibHeaderLength(nullptr, 0), 0u);
  const Bytes garbage = {'B', 'M', 0, 0, 0, 0};
  EXPECT_EQ(DibHeaderLength(garbage.data(), garbage.size()), 0u);
}

// --- Stretching ------------------------------------------------------------

namespace {

DibImage TwoPixels() { return DibImage{2, 1, {kRed, kBlue}}; }

}  // namespace

TEST(DibStretchTest, NearestPixelWithMirroringAndRounding) {
  SurfaceDC s(8, 2, 32);
  s.Fill(kWhite);
  RenderTarget target(*s.dc);
  StretchImage(target, TwoPixels(), 1, 0, 4, 2, 0, 0, 2, 1, SRCCOPY);
  const COLORREF plain[8] = {kWhite, kRed, kRed, kBlue, kBlue, kWhite, kWhite, kWhite};
  for (int x = 0; x < 8; ++x) {
    EXPECT_EQ(s.At(x, 0), plain[x]) << x;
    EXPECT_EQ(s.At(x, 1), plain[x]) << x;
  }

  s.Fill(kWhite);
  StretchImage(target, TwoPixels(), 5, 0, -4, 1, 0, 0, 2, 1, SRCCOPY);  // columns 1..4, mirrored
  const COLORREF mirrored[6] = {kWhite, kBlue, kBlue, kRed, kRed, kWhite};
  for (int x = 0; x < 6; ++x) EXPECT_EQ(s.At(x, 0), mirrored[x]) << x;
  EXPECT_EQ(s.At(1, 1), kWhite);

  s.Fill(kWhite);
  StretchImage(target, TwoPixels(), 0, 0, 2, 1, 2, 0, -2, 1, SRCCOPY);  // a negative source width mirrors too
  EXPECT_EQ(s.At(0, 0), kBlue);
  EXPECT_EQ(s.At(1, 0), kRed);

  // 0.6 and 0.6 + 3.8 = 4.4 round to columns 1..3: 3 columns for 2 pixels,
  // centres at 1/3, 1 and 5/3 source pixels; the middle one lies on the
  // boundary and takes the lower pixel: 0, 0, 1.
  s.Fill(kWhite);
  StretchImage(target, TwoPixels(), 0.6, 0.4, 3.8, 0.8, 0, 0, 2, 1, SRCCOPY);
  const COLORREF rounded[5] = {kWhite, kRed, kRed, kBlue, kWhite};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(s.At(x, 0), rounded[x]) << x;
  EXPECT_EQ(s.At(1, 1), kWhite);
}

TEST(DibStretchTest, RasterOperations) {
  const COLORREF d = RGB(0x0F, 0xF0, 0x33), src = RGB(0x55, 0x0F, 0xF0);
  const struct {
    uint32_t rop;
    COLORREF expected;
  } cases[] = {
      {0x00CC0020, src},                     // SRCCOPY
      {0x00EE0086, RGB(0x5F, 0xFF, 0xF3)},   // SRCPAINT: S | D
      {0x008800C6, RGB(0x05, 0x00, 0x30)},   // SRCAND: S & D
      {0x00660046, RGB(0x5A, 0xFF, 0xC3)},   // SRCINVERT: S ^ D
      {0x00330008, RGB(0xAA, 0xF0, 0x0F)},   // NOTSRCCOPY: ~S
      {0x00000042, kBlack},                  // BLACKNESS
      {0x00FF0062, kWhite},                  // WHITENESS
      {0x00550009, RGB(0xF0, 0x0F, 0xCC)},   // DSTINVERT: ~D
      {0x00F00021, src},                     // PATCOPY needs a brush: copies the source instead
  };
  const DibImage one{1, 1, {src}};
  for (const auto& c : cases) {
    SurfaceDC s(3, 1, 24);
    s.Fill(d);
    RenderTarget target(*s.dc);
    StretchImage(target, one, 1, 0, 1, 1, 0, 0, 1, 1, c.rop);
    EXPECT_EQ(s.At(1, 0), c.expected) << std::hex << c.rop;
    EXPECT_EQ(s.At(0, 0), d) << std::hex << c.rop;
    EXPECT_EQ(s.At(2, 0), d) << std::hex << c.rop;
  }
}

TEST(DibStretchTest, StaysInsideTheClipAndTheSourceImage) {
  SurfaceDC s(8, 4, 32);
  s.Fill(kWhite);
  const Rect inside{2, 1, 6, 3};
  RenderTarget clipped(s.bitmap, Region(inside));
  const DibImage red{1, 1, {kRed}};
  StretchImage(clipped, red, -100, -100, 1000, 1000, 0, 0, 1, 1, SRCCOPY);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(s.At(x, y), inside.Contains(x, y) ? kRed : kWhite) << x << "," << y;

  // A destination far larger than the surface costs only the visible pixels;
  // columns 0..7 lie just right of its middle, which shows the right pixel.
  s.Fill(kWhite);
  RenderTarget whole(*s.dc);
  StretchImage(whole, TwoPixels(), -1e9, 0, 2e9, 1, 0, 0, 2, 1, SRCCOPY);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(s.At(x, 0), kBlue) << x;
  EXPECT_EQ(s.At(0, 1), kWhite);

  // A source rectangle half outside the image: its outer half draws nothing.
  s.Fill(kWhite);
  StretchImage(whole, TwoPixels(), 0, 0, 4, 1, -1, 0, 2, 1, SRCCOPY);
  const COLORREF half[5] = {kWhite, kWhite, kRed, kRed, kWhite};
  for (int x = 0; x < 5; ++x) EXPECT_EQ(s.At(x, 0), half[x]) << x;

  // Not a number, zero extents and a broken image draw nothing.
  s.Fill(kWhite);
  StretchImage(whole, TwoPixels(), std::nan(""), 0, 4, 1, 0, 0, 2, 1, SRCCOPY);
  StretchImage(whole, TwoPixels(), 0, 0, 0.2, 1, 0, 0, 2, 1, SRCCOPY);
  StretchImage(whole, TwoPixels(), 0, 0, 4, 1, 0, 0, 0, 1, SRCCOPY);
  StretchImage(whole, DibImage{4, 4, {kRed}}, 0, 0, 4, 1, 0, 0, 4, 4, SRCCOPY);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(s.At(x, 0), kWhite) << x;
}

TEST(DibStretchTest, MaskedPixelsKeepTheDestination) {
  SurfaceDC s(4, 2, 32);
  s.Fill(kGreen);
  RenderTarget target(*s.dc);
  const DibImage image{2, 2, {kRed, kBlue, kBlue, kRed}};
  const uint8_t mask[4] = {1, 0, 0, 1};
  StretchImageMasked(target, image, mask, 0, 0, 4, 2, 0, 0, 2, 2);
  const COLORREF top[4] = {kRed, kRed, kGreen, kGreen}, bottom[4] = {kGreen, kGreen, kRed, kRed};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(s.At(x, 0), top[x]) << x;
    EXPECT_EQ(s.At(x, 1), bottom[x]) << x;
  }
}

// A run-length image drawn where it lies: rows the stream leaves alone are
// drawn alike (index 0), a row it writes is not mistaken for one of them,
// before or after it. Three rows at two device rows each.
TEST(DibStretchTest, RunLengthRowsTheStreamLeavesAloneStayApartFromWrittenOnes) {
  Bytes header = InfoHeader(2, 3, 8, BI_RLE8, 2);
  AddPalette(header, {kGray, kRed});
  const Bytes stream = {0x00, 0x00, 0x01, 0x01, 0x00, 0x01};  // bottom row left alone; middle: red, gray
  DibSource source;
  ASSERT_TRUE(source.Open(header.data(), header.size(), stream.data(), stream.size()));
  SurfaceDC s(2, 6, 32);
  s.Fill(kWhite);
  RenderTarget target(*s.dc);
  TransferImage(target, source, {0, 0, 2, 0, 0, 6}, 0, 0, 2, 3, ImageTransfer{});
  const COLORREF left[6] = {kGray, kGray, kRed, kRed, kGray, kGray};
  for (int y = 0; y < 6; ++y) {
    EXPECT_EQ(s.At(0, y), left[y]) << y;
    EXPECT_EQ(s.At(1, y), kGray) << y;
  }
}
