// The fast pixel loops (reduction of key renderings, 32- to 24-bit row
// copies, solid 32-bit spans, blend, and the filtered draw that reduces its
// screen-format surfaces directly) against plain one-sample-at-a-time
// reference loops, on seeded random rasters of odd widths at every factor.
// A failure names the seed and sizes that reproduce it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <orvane/ColorTriple.h>
#include <orvane/detail/CoverageOps.h>
#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include "SampleGraphic.h"
#include <orvane/gdi/detail/PixelMemory.h>
#include <orvane/gdi/detail/PixelRows.h>
#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/graphics/Bitmap.h>

using namespace orvane;

namespace {

constexpr int32_t kFactors[] = {1, 2, 3, 4, 5, 8, 16};
constexpr uint8_t kKeyABytes[3] = {255, 0, 0};  // blue, green, red
constexpr uint8_t kKeyBBytes[3] = {0, 128, 0};

std::string Repro(uint32_t seed, int32_t width, int32_t height, int32_t factor) {
  return "seed " + std::to_string(seed) + ", width " + std::to_string(width) + ", height " + std::to_string(height) +
         ", factor " + std::to_string(factor);
}

// ---- Plain reference loops -------------------------------------------------

bool IsKey(const uint8_t* p, const uint8_t (&key)[3]) { return p[0] == key[0] && p[1] == key[1] && p[2] == key[2]; }

void ReferenceReduce(const SampleRows& a, const SampleRows& b, const TripleRows& color, const TripleRows& coverage,
                     int32_t width, int32_t height, int32_t factor) {
  const int32_t samples = factor * factor;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      int32_t count = 0, sum[3] = {0, 0, 0};
      for (int32_t k = 0; k < factor; ++k)
        for (int32_t l = 0; l < factor; ++l) {
          const ptrdiff_t at = static_cast<ptrdiff_t>(x * factor + l) * a.bytesPerSample;
          const uint8_t* pa = a.Row(y * factor + k) + at;
          const uint8_t* pb = b.Row(y * factor + k) + at;
          if (IsKey(pa, kKeyABytes) && IsKey(pb, kKeyBBytes)) continue;
          ++count;
          for (int i = 0; i < 3; ++i) sum[i] += pa[i];
        }
      uint8_t* c = color.Row(y) + 3 * x;
      if (count > 0)
        for (int i = 0; i < 3; ++i) c[i] = static_cast<uint8_t>(sum[i] / count);
      uint8_t* v = coverage.Row(y) + 3 * x;
      v[0] = v[1] = v[2] = static_cast<uint8_t>(count * 255 / samples);
    }
}

void ReferenceBlend(TFastBMP& dst, const TFastBMP& src, const TFastBMP& coverage, int32_t width, int32_t height) {
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const int c = coverage.RowStarts()[y][3 * x + 2];
      for (int i = 0; i < 3; ++i) {
        uint8_t& d = dst.RowStarts()[y][3 * x + i];
        d = static_cast<uint8_t>(((255 - c) * d) / 255 + (c * src.RowStarts()[y][3 * x + i]) / 255);
      }
    }
}

// ---- Random rasters ----------------------------------------------------------

// Samples that hit every case of the key test: background, the picture in
// one key colour only, one byte off a key, and arbitrary colours.
void RandomSamplePair(std::mt19937& rng, uint8_t* a, uint8_t* b, int bytesPerSample) {
  std::uniform_int_distribution<int> byte(0, 255), kind(0, 5), which(0, 2);
  for (int i = 0; i < 3; ++i) {
    a[i] = kKeyABytes[i];
    b[i] = kKeyBBytes[i];
  }
  switch (kind(rng)) {
    case 0:
    case 1: break;  // background
    case 2:         // the same picture colour in both
      for (int i = 0; i < 3; ++i) a[i] = b[i] = static_cast<uint8_t>(byte(rng));
      break;
    case 3: b[which(rng)] ^= static_cast<uint8_t>(1 + byte(rng) % 255); break;  // B differs from its key
    case 4: a[which(rng)] ^= static_cast<uint8_t>(1 << (byte(rng) % 8)); break;  // A one bit off its key
    default:
      for (int i = 0; i < 3; ++i) {
        a[i] = static_cast<uint8_t>(byte(rng));
        b[i] = static_cast<uint8_t>(byte(rng));
      }
  }
  if (bytesPerSample == 4) {  // the unused byte of the screen format carries garbage
    a[3] = static_cast<uint8_t>(byte(rng));
    b[3] = static_cast<uint8_t>(byte(rng));
  }
}

struct Rasters {
  Rasters(uint32_t seed, int32_t width, int32_t height, int32_t factor, int bpp)
      : bpp(bpp), stride((static_cast<ptrdiff_t>(width) * factor * bpp + 3) / 4 * 4 + 4 * (seed % 3)) {
    std::mt19937 rng(seed);
    const size_t bytes = static_cast<size_t>(stride) * height * factor;
    a.resize(bytes);
    b.resize(bytes);
    for (size_t r = 0; r < static_cast<size_t>(height * factor); ++r)
      for (ptrdiff_t s = 0; s + bpp <= stride; s += bpp)
        RandomSamplePair(rng, &a[r * stride + s], &b[r * stride + s], bpp);
  }
  SampleRows A() const { return {a.data(), stride, bpp}; }
  SampleRows B() const { return {b.data(), stride, bpp}; }
  int bpp;
  ptrdiff_t stride;
  std::vector<uint8_t> a, b;
};

// An output raster with a guard byte after every row, all filled with a
// byte pattern so untouched colour pixels show.
struct Output {
  Output(int32_t width, int32_t height) : stride(3 * width + 1), bytes(static_cast<size_t>(stride) * height) {
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 13);
  }
  TripleRows Rows() { return {bytes.data(), stride}; }
  ptrdiff_t stride;
  std::vector<uint8_t> bytes;
};

}  // namespace

TEST(PixelStagesReferenceTest, ReductionMatchesTheReferenceOnRandomRasters) {
  const int32_t widths[] = {1, 3, 7, 13, 129, 131};
  uint32_t seed = 1000;
  for (int bpp : {3, 4})
    for (int32_t factor : kFactors)
      for (int32_t width : widths) {
        const int32_t height = 1 + static_cast<int32_t>(seed % 3);
        const Rasters in(seed, width, height, factor, bpp);
        Output refColor(width, height), refCoverage(width, height);
        ReferenceReduce(in.A(), in.B(), refColor.Rows(), refCoverage.Rows(), width, height, factor);
        for (LoopSet loops : {LoopSet::Best, LoopSet::Sse2, LoopSet::Plain}) {
          Output color(width, height), coverage(width, height);
          ReduceKeyRenderings(in.A(), in.B(), color.Rows(), coverage.Rows(), width, height, factor, loops);
          ASSERT_EQ(color.bytes, refColor.bytes) << Repro(seed, width, height, factor) << ", " << bpp
                                                 << " bytes a sample, loop set " << static_cast<int>(loops);
          ASSERT_EQ(coverage.bytes, refCoverage.bytes) << Repro(seed, width, height, factor) << ", " << bpp
                                                       << " bytes a sample, loop set " << static_cast<int>(loops);
        }
        ++seed;
      }
}

TEST(PixelStagesReferenceTest, ExtractCoverageOfRastersMatchesTheReference) {
  uint32_t seed = 2000;
  for (int32_t factor : kFactors)
    for (int32_t width : {1, 5, 9, 133}) {
      const int32_t height = 2;
      TFastBMP a(width * factor, height * factor), b(width * factor, height * factor);
      std::mt19937 rng(seed);
      for (int32_t r = 0; r < height * factor; ++r)
        for (int32_t s = 0; s < width * factor; ++s)
          RandomSamplePair(rng, a.RowStarts()[r] + 3 * s, b.RowStarts()[r] + 3 * s, 3);
      TFastBMP color(width, height), coverage(width, height), refColor(width, height), refCoverage(width, height);
      for (TFastBMP* c : {&color, &refColor}) std::memset(c->PixelData(), 0x5A, static_cast<size_t>(c->ImageSize()));
      a.ExtractCoverage(b, color, coverage, width, height, factor);
      ReferenceReduce({a.PixelData(), a.RowStride(), 3}, {b.PixelData(), b.RowStride(), 3},
                      {refColor.PixelData(), refColor.RowStride()}, {refCoverage.PixelData(), refCoverage.RowStride()},
                      width, height, factor);
      ASSERT_EQ(0, std::memcmp(color.PixelData(), refColor.PixelData(), static_cast<size_t>(color.ImageSize())))
          << Repro(seed, width, height, factor);
      ASSERT_EQ(0, std::memcmp(coverage.PixelData(), refCoverage.PixelData(), static_cast<size_t>(coverage.ImageSize())))
          << Repro(seed, width, height, factor);
      ++seed;
    }
}

TEST(PixelStagesReferenceTest, RowCopy32To24MatchesTheReferenceAndStaysInTheRow) {
  std::mt19937 rng(3000);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int32_t count = 0; count <= 70; ++count)
    for (int offset = 0; offset < 3; ++offset) {
      std::vector<uint8_t> src(static_cast<size_t>(count) * 4 + 8);
      for (auto& v : src) v = static_cast<uint8_t>(byte(rng));
      std::vector<uint8_t> expected(static_cast<size_t>(count) * 3 + 8, 0xEE);
      for (int32_t i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) expected[static_cast<size_t>(offset + 3 * i + k)] = src[static_cast<size_t>(4 * i + k)];
      for (auto copy : {orvane::gdi::Copy32To24Row, orvane::gdi::Copy32To24RowPortable}) {
        std::vector<uint8_t> dst(expected.size(), 0xEE);
        copy(dst.data() + offset, src.data(), count);
        ASSERT_EQ(dst, expected) << "seed 3000, count " << count << ", offset " << offset;
      }
    }
}

TEST(PixelStagesReferenceTest, SolidSpansOfEveryLengthFillExactlyTheirPixels) {
  orvane::gdi::HBITMAP surface = orvane::gdi::CreateScreenBitmap(120, 1);
  ASSERT_NE(surface, nullptr);
  orvane::gdi::RenderTarget target(surface, orvane::gdi::Region(surface->HeldBounds()));
  target.SetPaint(orvane::gdi::Paint::Solid(orvane::gdi::RGB(0x12, 0x34, 0x56)));
  for (int32_t x0 = 0; x0 < 5; ++x0)
    for (int32_t length = 0; length <= 100; ++length) {
      std::memset(surface->Bits(), 0xEE, 480);
      target.Span(0, x0, x0 + length);
      for (int32_t x = 0; x < 120; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, surface->Bits() + 4 * x, 4);
        const bool inside = x >= x0 && x < x0 + length;
        ASSERT_EQ(pixel, inside ? 0x123456u : 0xEEEEEEEEu) << "span from " << x0 << ", length " << length << ", x " << x;
      }
    }
  orvane::gdi::DeleteObject(surface);
}

TEST(PixelStagesReferenceTest, BlendMatchesTheReferenceForEveryCoverage) {
  for (int32_t width : {1, 16, 17, 18, 33, 257}) {
    const int32_t height = 3;
    const uint32_t seed = 4000 + static_cast<uint32_t>(width);
    TFastBMP dst(width, height), plain(width, height), ref(width, height), src(width, height), coverage(width, height);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        for (int i = 0; i < 3; ++i) {
          dst.RowStarts()[y][3 * x + i] = static_cast<uint8_t>(byte(rng));
          src.RowStarts()[y][3 * x + i] = static_cast<uint8_t>(byte(rng));
          // Every coverage value along row 0, random ones below; only the third byte counts.
          coverage.RowStarts()[y][3 * x + i] = static_cast<uint8_t>(y == 0 && i == 2 ? x % 256 : byte(rng));
        }
    // The extremes of the products: all 255 under full and no coverage.
    for (int i = 0; i < 3; ++i) dst.RowStarts()[1][i] = src.RowStarts()[1][i] = 255;
    for (TFastBMP* copy : {&plain, &ref})
      std::memcpy(copy->PixelData(), dst.PixelData(), static_cast<size_t>(dst.ImageSize()));
    dst.BlendWithCoverage(src, coverage, width, height);
    BlendWithCoveragePlain(plain, src, coverage, width, height);
    ReferenceBlend(ref, src, coverage, width, height);
    ASSERT_EQ(0, std::memcmp(dst.PixelData(), ref.PixelData(), static_cast<size_t>(dst.ImageSize())))
        << Repro(seed, width, height, 1);
    ASSERT_EQ(0, std::memcmp(plain.PixelData(), ref.PixelData(), static_cast<size_t>(dst.ImageSize())))
        << Repro(seed, width, height, 1) << ", plain loop";
  }
}

namespace {

// The filtered draw done the plain way: a 32-bit offscreen bitmap filled with
// each key colour and drawn on, copied to 24-bit rasters, reduced and blended
// by the reference loops.
void ReferenceFilteredDraw(orvane::vcl::TBitmap& window, int32_t x, int32_t y, const orvane::vcl::TGraphic& graphic, int32_t w,
                           int32_t h, int32_t factor) {
  orvane::vcl::TBitmap offscreen;
  offscreen.SetSize(w * factor, h * factor);
  TFastBMP a(w * factor, h * factor), b(w * factor, h * factor);
  for (auto [key, raster] : {std::pair{KeyColorA, &a}, std::pair{KeyColorB, &b}}) {
    FillSolid(offscreen.Canvas(), 0, 0, w * factor, h * factor, ColorToTriple(key));
    offscreen.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, w * factor, h * factor), &graphic);
    for (int32_t r = 0; r < h * factor; ++r)
      for (int32_t s = 0; s < w * factor; ++s) std::memcpy(raster->RowStarts()[r] + 3 * s, offscreen.Surface()->Row(r) + 4 * s, 3);
  }
  TFastBMP color(w, h), coverage(w, h), backdrop(w, h);
  ReferenceReduce({a.PixelData(), a.RowStride(), 3}, {b.PixelData(), b.RowStride(), 3},
                  {color.PixelData(), color.RowStride()}, {coverage.PixelData(), coverage.RowStride()}, w, h, factor);
  for (int32_t r = 0; r < h; ++r)
    for (int32_t s = 0; s < w; ++s) std::memcpy(backdrop.RowStarts()[r] + 3 * s, window.Surface()->Row(y + r) + 4 * (x + s), 3);
  ReferenceBlend(backdrop, color, coverage, w, h);
  // Back to the screen format: the unused byte becomes 0.
  for (int32_t r = 0; r < h; ++r)
    for (int32_t s = 0; s < w; ++s) {
      uint8_t* p = window.Surface()->Row(y + r) + 4 * (x + s);
      std::memcpy(p, backdrop.RowStarts()[r] + 3 * s, 3);
      p[3] = 0;
    }
}

}  // namespace

TEST(PixelStagesReferenceTest, FilteredDrawMatchesThePlainPipelineAtEveryQuality) {
  for (uint8_t quality = opqVeryLow; quality <= opqVeryHigh; ++quality) {
    const uint32_t seed = 5000 + quality;
    // Each supersample is, by a hash of its place, left alone, one of the
    // key colours, or an arbitrary colour.
    const orvanetest::SampleGraphic graphic(
        7, 5, [seed](int32_t x, int32_t y, int32_t, int32_t) -> std::optional<orvane::vcl::TColor> {
          uint32_t hash = (static_cast<uint32_t>(x) * 73856093u) ^ (static_cast<uint32_t>(y) * 19349663u) ^ seed;
          hash = hash * 2654435761u;
          switch (hash >> 29) {
            case 0:
            case 1:
            case 2: return std::nullopt;
            case 3: return KeyColorA;
            case 4: return KeyColorB;
            default: return static_cast<orvane::vcl::TColor>((hash >> 5) & 0xFFFFFF);
          }
        });
    const int32_t factor = SupersampleFactor(quality);
    const int32_t w = 13, h = 9;  // the graphic (7 x 5) scaled to odd sizes
    orvane::vcl::TBitmap window, expected;
    for (orvane::vcl::TBitmap* bitmap : {&window, &expected}) {
      bitmap->SetSize(20, 14);
      for (int32_t r = 0; r < 14; ++r)
        for (int32_t s = 0; s < 20; ++s) bitmap->Canvas().SetPixel(s, r, static_cast<orvane::vcl::TColor>((r * 977 + s * 131) * 2311 & 0xFFFFFF));
    }
    OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(3, 2, 3 + w - 1, 2 + h - 1), &graphic, static_cast<TOrvanePictureQuality>(quality));
    ReferenceFilteredDraw(expected, 3, 2, graphic, w, h, factor);
    for (int32_t r = 0; r < 14; ++r)
      ASSERT_EQ(0, std::memcmp(window.Surface()->Row(r), expected.Surface()->Row(r), 20 * 4))
          << Repro(seed, w, h, factor) << ", row " << r;
  }
}

namespace {

}  // namespace

TEST(PixelStagesReferenceTest, WholeSurfaceFillsOfEitherFormat) {
  for (int bits : {24, 32})
    for (int32_t width : {1, 3, 5, 8}) {
      orvane::gdi::BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(orvane::gdi::BITMAPINFOHEADER);
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = -3;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = static_cast<uint16_t>(bits);
      info.bmiHeader.biCompression = orvane::gdi::BI_RGB;
      void* raw = nullptr;
      orvane::gdi::HBITMAP surface = orvane::gdi::CreateDIBSection(nullptr, &info, orvane::gdi::DIB_RGB_COLORS, &raw, nullptr, 0);
      ASSERT_NE(surface, nullptr);
      const size_t bytes = static_cast<size_t>(surface->Stride()) * 3;
      std::memset(surface->Bits(), 0xEE, bytes);
      orvane::gdi::FillSurface(*surface, orvane::gdi::RGB(0x12, 0x34, 0x56));
      const int bpp = bits / 8;
      for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < surface->Stride(); ++x) {
          const uint8_t expected = x < width * bpp ? (x % bpp == 0 ? 0x56 : x % bpp == 1 ? 0x34 : x % bpp == 2 ? 0x12 : 0)
                                                   : 0xEE;  // row padding stays as it was
          ASSERT_EQ(surface->Row(y)[x], expected) << bits << " bits, width " << width << ", byte " << x << " of row " << y;
        }
      orvane::gdi::DeleteObject(surface);
    }
}

TEST(PixelStagesReferenceTest, RecycledPixelMemoryIsClearedOnlyWhenAskedTo) {
  orvane::gdi::TrimPixelMemoryCache();
  const size_t bytes = 256 * 1024;
  uint8_t* block = orvane::gdi::AcquirePixelMemory(bytes);
  ASSERT_NE(block, nullptr);
  std::memset(block, 0x77, bytes);
  orvane::gdi::ReleasePixelMemory(block, bytes);
  EXPECT_EQ(orvane::gdi::CachedPixelMemoryBytes(), bytes);
  // The same block again, as it was left: no pages cleared or faulted in.
  uint8_t* again = orvane::gdi::AcquirePixelMemoryForOverwrite(bytes);
  EXPECT_EQ(again, block);
  EXPECT_EQ(again[bytes - 1], 0x77);
  orvane::gdi::ReleasePixelMemory(again, bytes);
  uint8_t* cleared = orvane::gdi::AcquirePixelMemory(bytes);
  ASSERT_NE(cleared, nullptr);
  EXPECT_EQ(std::count(cleared, cleared + bytes, 0), static_cast<std::ptrdiff_t>(bytes));
  orvane::gdi::ReleasePixelMemory(cleared, bytes);
  EXPECT_EQ(orvane::gdi::AcquirePixelMemoryForOverwrite(orvane::gdi::kMaxSurfaceBytes + 1), nullptr);
  orvane::gdi::TrimPixelMemoryCache();
  EXPECT_EQ(orvane::gdi::CachedPixelMemoryBytes(), 0u);
}
