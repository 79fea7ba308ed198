#include <gtest/gtest.h>

#include "../gdi/DibBytes.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/rtl/Exceptions.h>

using namespace dibtest;
using namespace orvane::vcl;

namespace {

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// A 2 x 2 icon at 4 bits: colours (top) red, blue / (bottom) blue, red, with
// the top-left and bottom-right pixels masked out by the AND mask.
Bytes CheckerIcon() {
  Bytes image = InfoHeader(2, 4, 4, 0, 2);
  AddPalette(image, {kRed, kBlue});
  AddBytes(image, {0x10, 0, 0, 0, 0x01, 0, 0, 0});  // colour rows, bottom first
  AddBytes(image, {0x40, 0, 0, 0, 0x80, 0, 0, 0});  // AND rows, bottom first (1 = transparent)
  return IconFile(image, 2, 2, 4);
}

void Load(TIcon& icon, const Bytes& file) { icon.LoadFromBytes(file.data(), file.size()); }

std::vector<TColor> Drawn(const TIcon& icon, int32_t w, int32_t h) {
  TBitmap canvas;
  canvas.SetSize(w, h);
  canvas.Canvas().Brush().SetColor(kGreen);
  canvas.Canvas().FillRect(Rect(0, 0, w, h));
  canvas.Canvas().StretchDraw(Rect(0, 0, w, h), &icon);
  std::vector<TColor> out;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) out.push_back(canvas.Canvas().Pixel(x, y));
  return out;
}

}  // namespace

TEST(IconTest, FirstImageDrawsStretchedThroughItsAndMask) {
  TIcon icon;
  Load(icon, CheckerIcon());
  EXPECT_EQ(icon.Width(), 2);
  EXPECT_EQ(icon.Height(), 2);
  EXPECT_EQ(Drawn(icon, 4, 4), (std::vector<TColor>{kGreen, kGreen, kBlue, kBlue,  //
                                                    kGreen, kGreen, kBlue, kBlue,  //
                                                    kBlue, kBlue, kGreen, kGreen,  //
                                                    kBlue, kBlue, kGreen, kGreen}));
  // A copy shares the image and draws the same.
  const auto copy = icon.Clone();
  EXPECT_EQ(static_cast<const TIcon&>(*copy).Image(), icon.Image());
}

TEST(IconTest, ThirtyTwoBitImagesUseAlphaWhenTheyHaveAny) {
  Bytes alpha = InfoHeader(2, 2, 32);
  AddBytes(alpha, {0, 0, 255, 255, 255, 0, 0, 0});  // red opaque, blue with alpha 0
  AddBytes(alpha, {0, 0, 0, 0});                    // AND mask: both opaque, overruled by alpha
  TIcon icon;
  Load(icon, IconFile(alpha, 2, 1, 32));
  EXPECT_EQ(Drawn(icon, 2, 1), (std::vector<TColor>{kRed, kGreen}));

  Bytes noAlpha = InfoHeader(2, 2, 32);
  AddBytes(noAlpha, {0, 0, 255, 0, 255, 0, 0, 0});
  AddBytes(noAlpha, {0x40, 0, 0, 0});  // AND mask: the second pixel transparent
  Load(icon, IconFile(noAlpha, 2, 1, 32));
  EXPECT_EQ(Drawn(icon, 2, 1), (std::vector<TColor>{kRed, kGreen}));
}

TEST(IconTest, BadFilesRaiseAndKeepTheOldIcon) {
  TIcon icon;
  Load(icon, CheckerIcon());
  const Bytes good = CheckerIcon();
  auto patched = [&](size_t at, uint8_t value) {
    Bytes b = good;
    b[at] = value;
    return b;
  };
  Bytes noMask = InfoHeader(2, 4, 4, 0, 2);  // a 4-bit image without its AND mask
  AddPalette(noMask, {kRed, kBlue});
  AddBytes(noMask, {0x10, 0, 0, 0, 0x01, 0, 0, 0});
  Bytes png = good;
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (size_t i = 0; i < 8; ++i) png[22 + i] = signature[i];
  const Bytes cases[] = {
      {},
      patched(0, 1),              // reserved word not 0
      patched(2, 2),              // a cursor file
      patched(4, 0),              // no images
      patched(6 + 12, 0xF0),      // image offset past the end
      patched(6 + 8, 0xFF),       // image size past the end
      patched(22 + 8, 0),         // header height 0
      patched(22 + 14, 3),        // 3 bits a pixel
      IconFile(noMask, 2, 2, 4),
      png,
  };
  for (const Bytes& file : cases) {
    try {
      Load(icon, file);
      ADD_FAILURE() << "loaded " << file.size() << " bytes";
    } catch (const orvane::rtl::EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Symbol ist ungültig");
    }
    EXPECT_EQ(icon.Width(), 2);
  }
  EXPECT_EQ(Drawn(icon, 2, 2), (std::vector<TColor>{kGreen, kBlue, kBlue, kGreen}));
}

TEST(IconTest, SavedIconLoadsBackWithItsMask) {
  TIcon icon;
  Load(icon, CheckerIcon());
  const Bytes saved = icon.SaveToBytes();
  TIcon copy;
  Load(copy, saved);
  EXPECT_EQ(copy.Image()->pixels, icon.Image()->pixels);
  EXPECT_EQ(*copy.Mask(), *icon.Mask());
  EXPECT_EQ(*icon.Mask(), (std::vector<uint8_t>{0, 1, 1, 0}));
  EXPECT_TRUE(TIcon().SaveToBytes().empty());
}
