#include <gtest/gtest.h>

#include "../gdi/DibBytes.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>

using namespace dibtest;
using namespace orvane::vcl;

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

std::vector<TColor> Pixels(TBitmap& bitmap) {
  std::vector<TColor> out;
  for (int32_t y = 0; y < bitmap.Height(); ++y)
    for (int32_t x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.Canvas().Pixel(x, y));
  return out;
}

void Load(TBitmap& bitmap, const Bytes& file) { bitmap.LoadFromBytes(file.data(), file.size()); }

}  // namespace

TEST(BmpReaderTest, LoadsPaletteAndTrueColourFiles) {
  TBitmap bitmap;
  Bytes one = InfoHeader(3, 2, 1);
  AddPalette(one, {kRed, kBlue});
  AddBytes(one, {0xA0, 0, 0, 0, 0x40, 0, 0, 0});  // bottom 1 0 1, top 0 1 0
  Load(bitmap, BmpFile(one, 48));
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{kRed, kBlue, kRed, kBlue, kRed, kBlue}));

  Bytes four = InfoHeader(2, -1, 4, 0, 3);  // top-down
  AddPalette(four, {kRed, kGreen, kBlue});
  AddBytes(four, {0x21, 0, 0, 0});
  Load(bitmap, BmpFile(four, 52));
  EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{kBlue, kGreen}));

  Bytes eight = InfoHeader(1, 2, 8, 0, 2);
  AddPalette(eight, {kGreen, kRed});
  AddBytes(eight, {1, 0, 0, 0, 0, 0, 0, 0});
  Load(bitmap, BmpFile(eight, 48));
  EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{kGreen, kRed}));

  Bytes rgb24 = InfoHeader(1, 1, 24);
  AddBytes(rgb24, {0x30, 0x20, 0x10, 0});
  Load(bitmap, BmpFile(rgb24, 40));
  EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{0x302010}));

  Bytes rgb32 = InfoHeader(2, 1, 32);
  AddBytes(rgb32, {1, 2, 3, 0xFF, 4, 5, 6, 0});
  Load(bitmap, BmpFile(rgb32, 40));
  EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{0x010203, 0x040506}));
}

TEST(BmpReaderTest, BitsAreFoundThroughTheFileHeaderOffset) {
  Bytes dib = InfoHeader(1, 1, 24);
  AddBytes(dib, {9, 9, 9, 9, 0xCC, 0xBB, 0xAA, 0});  // four bytes of gap before the bits
  TBitmap bitmap;
  Load(bitmap, BmpFile(dib, 44));
  EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{0xCCBBAA}));
}

TEST(BmpReaderTest, BadDataRaisesAndKeepsTheOldPicture) {
  TBitmap bitmap;
  bitmap.SetSize(2, 1);
  bitmap.Canvas().SetPixel(1, 0, kRed);

  Bytes good = InfoHeader(2, 2, 24);
  good.resize(good.size() + 16, 0);
  Bytes wrongMagic = BmpFile(good, 40);
  wrongMagic[1] = 'A';
  Bytes shortBits = BmpFile(good, 40);
  shortBits.pop_back();
  Bytes offsetPastEnd = BmpFile(good, 40);
  offsetPastEnd[10] = 0xFF;
  offsetPastEnd[11] = 0xFF;
  Bytes tooLarge = BmpFile(InfoHeader(1 << 14, 1 << 14, 1), 40);
  tooLarge.resize(tooLarge.size() + (size_t{1} << 25), 0);  // the bits are there, the size is not allowed
  const Bytes cases[] = {{}, {'B', 'M', 0, 0}, wrongMagic, shortBits, offsetPastEnd, tooLarge, BmpFile({}, 0)};
  for (const Bytes& file : cases) {
    try {
      Load(bitmap, file);
      ADD_FAILURE() << "loaded " << file.size() << " bytes";
    } catch (const orvane::rtl::EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Bitmap ist ungültig");
    }
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Height(), 1);
    EXPECT_EQ(Pixels(bitmap), (std::vector<TColor>{0xFFFFFF, kRed}));
  }
}

TEST(BmpReaderTest, SavedFilesAre24BitBottomUpAndLoadBack) {
  TBitmap bitmap;
  bitmap.SetSize(3, 2);
  bitmap.Canvas().SetPixel(0, 0, 0x010203);
  bitmap.Canvas().SetPixel(2, 1, 0x0A0B0C);
  const Bytes file = bitmap.SaveToBytes();
  ASSERT_EQ(file.size(), 14u + 40u + 2u * 12u);  // rows of 9 bytes padded to 12
  EXPECT_EQ(file[10], 54);
  EXPECT_EQ(file[14 + 8], 2);   // positive height: bottom-up
  EXPECT_EQ(file[14 + 14], 24);
  // The bottom row comes first; its last pixel is (2, 1), stored blue, green, red.
  EXPECT_EQ(file[54 + 6], 0x0A);
  EXPECT_EQ(file[54 + 8], 0x0C);

  TBitmap copy;
  Load(copy, file);
  EXPECT_EQ(Pixels(copy), Pixels(bitmap));
  EXPECT_TRUE(TBitmap().SaveToBytes().empty());
}
