// What a large PNG costs to load (pages first touched: one copy of its
// pixels) and what text outside the picture costs to play (glyphs
// rendered: none turned), with the pixels that must come out unchanged:
// a PNG's rows whichever way they are stored, a failed load's old picture,
// and text that reaches the picture only in part.

#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "InputBuilders.h"
#include "emf/EmfWriter.h"
#include <orvane/FastBMP.h>
#include <orvane/Png.h>
#include <orvane/gdi/FontEngine.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/rtl/Exceptions.h>

using namespace robust;
namespace emf = orvane::emf;
using orvane::vcl::TBitmap;

namespace {

// --- PNG ---------------------------------------------------------------------

struct PngLayout {
  uint32_t width = 0, height = 0;
  int colorType = PNG_COLOR_TYPE_GRAY, bitDepth = 8;
  bool interlaced = false;
  // Filled rows (bytes as libpng takes them); rows past `rows` are written as zeros.
  std::vector<Bytes> rows;
  // Rows handed to libpng before the bytes are taken, unfinished (0: all, and the file ends properly).
  uint32_t stopAfter = 0;
};

PngLayout Layout(uint32_t width, uint32_t height, int colorType, int bitDepth) {
  PngLayout layout;
  layout.width = width, layout.height = height, layout.colorType = colorType, layout.bitDepth = bitDepth;
  return layout;
}

// A PNG file written by libpng. An unfinished file ends with the image
// data flushed so far.
Bytes WritePng(const PngLayout& layout) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write the test image";
    return {};
  }
  const auto append = [](png_structp p, png_bytep data, png_size_t n) {
    Bytes& bytes = *static_cast<Bytes*>(png_get_io_ptr(p));
    bytes.insert(bytes.end(), data, data + n);
  };
  png_set_write_fn(png, &out, append, [](png_structp) {});
  png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const Bytes zeros(png_get_rowbytes(png, info), 0);
  const int passes = png_set_interlace_handling(png);
  uint32_t written = 0;
  for (int pass = 0; pass < passes; ++pass)
    for (uint32_t y = 0; y < layout.height; ++y, ++written) {
      if (layout.stopAfter && written == layout.stopAfter) {
        png_write_flush(png);
        png_destroy_write_struct(&png, &info);
        return out;
      }
      png_write_row(png, const_cast<png_bytep>(y < layout.rows.size() ? layout.rows[y].data() : zeros.data()));
    }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A 16384 x 16384 1-bit PNG of 32 KiB: black, but for its first row and
// the last pixel of its second, which are white. Loaded, it is 1 GiB of
// 32-bit pixels (262,144 pages); a whole-image buffer in between would
// touch 0.75 GiB more.
TEST(PngLoadCostTest, AOneBitPngDecodesStraightIntoTheBitmap) {
  constexpr uint32_t kSide = 16384;
  PngLayout layout = Layout(kSide, kSide, PNG_COLOR_TYPE_GRAY, 1);
  layout.rows = {Bytes(kSide / 8, 0xFF), Bytes(kSide / 8, 0)};
  layout.rows[1].back() = 0x01;
  const Bytes file = WritePng(layout);
  ASSERT_LT(file.size(), 64u * 1024);

  TBitmap bitmap;
  const int64_t before = MinorFaults(RUSAGE_SELF);
  EXPECT_EQ(orvane::LoadPng(bitmap, file.data(), file.size()), nullptr);
  const int64_t faults = MinorFaults(RUSAGE_SELF) - before;
  ASSERT_EQ(bitmap.Width(), int32_t(kSide));
  ASSERT_EQ(bitmap.Height(), int32_t(kSide));
  if (kPagesMeasureWhatIsKept) {
    EXPECT_LT(faults, int64_t{kSide} * kSide * 4 / 4096 + 16384);
  }
  const struct {
    int32_t x, y;
    uint32_t colour;
  } samples[] = {{0, 0, 0xFFFFFF},    {16383, 0, 0xFFFFFF},  {0, 1, 0},        {16382, 1, 0},
                 {16383, 1, 0xFFFFFF}, {8191, 8191, 0},       {16383, 16383, 0}};
  for (const auto& s : samples) EXPECT_EQ(bitmap.Canvas().Pixel(s.x, s.y), s.colour) << s.x << "," << s.y;
}

// An interlaced image comes in seven passes over the rows; loaded, it is
// the same as the image stored row after row (and so is its alpha).
TEST(PngLoadCostTest, InterlacedImagesLoadLikeTheirPlainTwins) {
  const struct {
    const char* what;
    int colorType, bitDepth, bytesPerPixel;
  } cases[] = {{"16-bit grey", PNG_COLOR_TYPE_GRAY, 16, 2},
               {"8-bit RGBA", PNG_COLOR_TYPE_RGB_ALPHA, 8, 4},
               {"16-bit RGB", PNG_COLOR_TYPE_RGB, 16, 6}};
  for (const auto& c : cases) {
    PngLayout layout = Layout(13, 11, c.colorType, c.bitDepth);
    uint32_t seed = 12345;
    for (uint32_t y = 0; y < layout.height; ++y) {
      Bytes row(size_t(layout.width) * c.bytesPerPixel);
      for (uint8_t& b : row) b = static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16);
      layout.rows.push_back(row);
    }
    const Bytes plain = WritePng(layout);
    layout.interlaced = true;
    const Bytes interlaced = WritePng(layout);
    TBitmap a, b;
    const auto alphaA = orvane::LoadPng(a, plain.data(), plain.size());
    const auto alphaB = orvane::LoadPng(b, interlaced.data(), interlaced.size());
    ASSERT_EQ(alphaA == nullptr, alphaB == nullptr) << c.what;
    for (int32_t y = 0; y < 11; ++y)
      for (int32_t x = 0; x < 13; ++x) {
        ASSERT_EQ(a.Canvas().Pixel(x, y), b.Canvas().Pixel(x, y)) << c.what << " at " << x << "," << y;
        if (alphaA) {
          ASSERT_EQ(alphaA->RowStarts()[y][3 * x], alphaB->RowStarts()[y][3 * x]) << c.what;
        }
      }
  }
}

// Bad data found after rows have decoded raises like any bad PNG and
// leaves the old picture, also in a bitmap of the image's own size (whose
// surface the rows would go to directly).
TEST(PngLoadCostTest, BadDataAfterGoodRowsLeavesTheOldPicture) {
  PngLayout cut = Layout(64, 64, PNG_COLOR_TYPE_RGB, 8);
  cut.rows.assign(64, Bytes(64 * 3, 0x40));
  cut.stopAfter = 40;
  const struct {
    const char* what;
    Bytes file;
    int32_t side;  // of the bitmap before loading
  } cases[] = {{"cut short, other size", WritePng(cut), 8}, {"cut short, same size", WritePng(cut), 64}};
  for (const auto& c : cases) {
    TBitmap bitmap;
    bitmap.SetSize(c.side, c.side);
    bitmap.Canvas().SetPixel(5, 6, 0x123456);
    try {
      orvane::LoadPng(bitmap, c.file.data(), c.file.size());
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const orvane::rtl::Exception& e) {
      EXPECT_STREQ(e.ClassName(), "EInvalidGraphic") << c.what;
    }
    EXPECT_EQ(bitmap.Width(), c.side) << c.what;
    EXPECT_EQ(bitmap.Canvas().Pixel(5, 6), 0x123456u) << c.what;
    EXPECT_EQ(bitmap.Canvas().Pixel(0, 0), 0xFFFFFFu) << c.what;
  }
}

// --- text ----------------------------------------------------------------------

constexpr uint32_t kBackground = 0xFFFFFF, kTextColour = 0x0000FF, kBkColour = 0x00FF00, kPenColour = 0xFF0000;

// Plays an EMF of `side` x `side` pixels at 1:1 onto a white bitmap; the
// pixels row after row.
std::vector<uint32_t> Play(const Bytes& bytes, int32_t side) {
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromBytes(bytes.data(), bytes.size());
  TBitmap bitmap;
  bitmap.SetSize(side, side);
  bitmap.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, side, side), &metafile);
  std::vector<uint32_t> pixels;
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < side; ++x) pixels.push_back(bitmap.Canvas().Pixel(x, y));
  return pixels;
}

emf::EmfWriter Writer(int32_t side, const emf::LogFontW& font) {
  emf::EmfWriter w(emf::HeaderForPixels(side, side, {1000, 1000}, {100, 100}));
  w.SelectObject(w.ExtCreateFontIndirectW(font));
  w.SetTextColor(kTextColour);
  w.SetBkColor(kBkColour);
  w.SetBkMode(emf::TRANSPARENT);
  return w;
}

// 20,000 strings of 52 distinct letters in a font turned by 30 degrees,
// every one of them 700 pixels or more below a 64 x 64 picture, each with
// an opaque rectangle inside the picture. The rectangles are filled; of the
// glyphs, only the upright ones are rendered, once, to measure the strings.
TEST(TextCostTest, TextOutsideThePictureRendersNoTurnedGlyph) {
  emf::LogFontW font;
  font.height = -16;
  font.escapement = font.orientation = 300;
  emf::EmfWriter w = Writer(64, font);
  const std::u16string letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  std::vector<emf::EmfWriter::EmrText> strings;
  for (int32_t k = 0; k < 20000; ++k)
    strings.push_back({{-3000 + (k % 100) * 60, 1000 + (k / 100) * 20}, letters, emf::ETO_OPAQUE, {10, 10, 20, 20}, {}});
  w.PolyTextOutW(emf::GM_COMPATIBLE, strings);
  const Bytes bytes = w.Finish();

  orvane::gdi::ClearFontCaches();
  const std::vector<uint32_t> pixels = Play(bytes, 64);
  EXPECT_LE(orvane::gdi::GetFontCacheStats().glyphs, letters.size());
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const bool inRect = x >= 10 && x < 20 && y >= 10 && y < 20;
      ASSERT_EQ(pixels[size_t(y * 64 + x)], inRect ? kBkColour : kBackground) << x << "," << y;
    }
}

// Text drawn at the current position moves it even where nothing of it
// shows: 20,000 strings above the picture take the position from far left
// to x = 32, from where a line to (32, 164) is the picture's column 32.
TEST(TextCostTest, TextOutsideThePictureStillMovesTheCurrentPosition) {
  emf::LogFontW font;
  font.height = -16;
  orvane::gdi::Font realised;
  realised.height = -16;
  realised.faceName = "Liberation Sans";
  const int32_t width = orvane::gdi::TextWidth(realised, U"Ab");
  ASSERT_GT(width, 0);
  constexpr int32_t kStrings = 20000;
  emf::EmfWriter w = Writer(64, font);
  w.SetTextAlign(orvane::gdi::TA_UPDATECP);
  w.MoveToEx(32 - kStrings * width, -100);
  w.PolyTextOutW(std::vector<std::pair<emf::PointL, std::u16string>>(kStrings, {{0, 0}, u"Ab"}));
  w.SelectObject(w.CreatePen(emf::PS_SOLID, 1, kPenColour));
  w.LineTo(32, 164);
  const std::vector<uint32_t> pixels = Play(w.Finish(), 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(pixels[size_t(y * 64 + x)], x == 32 ? kPenColour : kBackground) << x << "," << y;
}

// Text that reaches a clip window in part draws there exactly what it
// draws without the window: strings across the window's edges and
// corners, and beyond them, in one POLYTEXTOUTW through the window against
// the same strings as EXTTEXTOUTW records without it. Turned glyphs are
// skipped by a reach worked out from their upright rendering, which these
// turned, slanted, underlined, widely spaced and large runs put to the test.
TEST(TextCostTest, TextReachingAClipWindowDrawsAsWithoutIt) {
  using T = emf::EmfWriter::EmrText;
  const emf::RectL window{40, 40, 88, 88};
  // Reference points on and around the window's edges and corners.
  std::vector<T> around;
  for (int32_t i = 0; i < 6; ++i)
    for (const emf::PointL p : {emf::PointL{24 + 16 * i, 38}, emf::PointL{24 + 16 * i, 92}, emf::PointL{36, 24 + 16 * i},
                                emf::PointL{90, 24 + 16 * i}})
      around.push_back(T{p, u"Wjg\u00C5|", 0, {}, {}});
  const auto with = [&](uint32_t options, const std::vector<int32_t>& dx) {
    std::vector<T> strings = around;
    for (T& s : strings) {
      s.options = options;
      s.rect = {s.reference.x - 6, s.reference.y - 6, s.reference.x + 14, s.reference.y + 10};
      s.dx = dx;
    }
    return strings;
  };
  const auto font = [](int32_t height, int32_t escapement, bool italic = false, bool lines = false) {
    emf::LogFontW f;
    f.height = height;
    f.escapement = f.orientation = escapement;
    f.italic = italic;
    f.underline = f.strikeOut = lines;
    return f;
  };
  const struct {
    const char* what;
    emf::LogFontW font;
    uint32_t align, bkMode;
    std::vector<T> strings;
  } cases[] = {
      {"upright", font(-16, 0), orvane::gdi::TA_BASELINE, emf::TRANSPARENT, around},
      {"turned 30 degrees, slanted", font(-16, 300, true), 0, emf::TRANSPARENT, around},
      {"turned 90 degrees, underlined and struck out", font(-14, 900, false, true), 0, emf::TRANSPARENT, around},
      {"turned 180 degrees, advances back and forth", font(-16, 1800), 0, emf::TRANSPARENT,
       with(0, {12, -5, 20, 0, 9})},
      {"turned 250 degrees, opaque background, centred at the bottom", font(-12, 2500),
       orvane::gdi::TA_CENTER | orvane::gdi::TA_BOTTOM, emf::OPAQUE, around},
      {"opaque and clipped rectangles", font(-16, 450), 0, emf::TRANSPARENT,
       with(emf::ETO_OPAQUE | emf::ETO_CLIPPED, {})},
      {"large, turned 10 degrees", font(-60, 100), orvane::gdi::TA_RIGHT, emf::TRANSPARENT, around},
  };
  for (const auto& c : cases) {
    const auto writer = [&] {
      emf::EmfWriter w = Writer(128, c.font);
      w.SetTextAlign(c.align);
      w.SetBkMode(c.bkMode);
      return w;
    };
    emf::EmfWriter whole = writer();
    for (const T& s : c.strings) whole.ExtTextOutW(s.reference, s.text, s.options, s.rect, s.dx.empty() ? nullptr : &s.dx);
    emf::EmfWriter windowed = writer();
    windowed.IntersectClipRect(window);
    windowed.PolyTextOutW(emf::GM_COMPATIBLE, c.strings);
    // Where the window lets pixels through: a fill of the whole picture through it.
    emf::EmfWriter mask = writer();
    mask.IntersectClipRect(window);
    mask.SelectObject(mask.CreateBrushIndirect(emf::BS_SOLID, kPenColour));
    mask.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
    mask.Rectangle({0, 0, 129, 129});

    const std::vector<uint32_t> expected = Play(whole.Finish(), 128), got = Play(windowed.Finish(), 128),
                                inside = Play(mask.Finish(), 128);
    int textInside = 0;
    for (size_t i = 0; i < got.size(); ++i) {
      const bool through = inside[i] == kPenColour;
      ASSERT_EQ(got[i], through ? expected[i] : kBackground) << c.what << " at " << i % 128 << "," << i / 128;
      textInside += through && expected[i] == kTextColour;
    }
    EXPECT_GT(textInside, 0) << c.what;
  }
}

}  // namespace
