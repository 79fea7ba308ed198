// Filtered drawing from spans must give exactly the bytes of the key-surface
// rendering: seeded random pictures at odd sizes and scales, the whole draw
// onto a canvas reaching past its edges, every mix mode and block transfer
// over a fill and over nothing. Only graphics that read the canvas may fall
// back to key surfaces.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <orvane/FastBMP.h>
#include <orvane/FilteredDraw.h>
#include "emf/EmfWriter.h"
#include <orvane/detail/FilteredDrawTesting.h>
#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/Metafile.h>

using namespace orvane;
namespace emf = orvane::emf;

namespace {

constexpr size_t kUnbanded = std::numeric_limits<size_t>::max();
constexpr auto kSpans = FilteredRendering::Automatic, kKeys = FilteredRendering::KeySurfaces;
const TOrvanePictureQuality kQualities[] = {opqVeryLow, opqLow, opqMed, opqHigh, opqVeryHigh};

class Way {
 public:
  Way(FilteredRendering how, size_t budget)
      : how_(SetFilteredRenderingForTesting(how)), budget_(SetBandBudgetForTesting(budget)) {}
  ~Way() {
    SetFilteredRenderingForTesting(how_);
    SetBandBudgetForTesting(budget_);
  }

 private:
  FilteredRendering how_;
  size_t budget_;
};

// "" when equal, else where the first difference lies: planes of
// width x height pixels of `bytesPerPixel` bytes each, named by `planes`.
std::string FirstDifference(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got, int32_t width,
                            int32_t height, int32_t bytesPerPixel, const std::vector<const char*>& planes) {
  if (want.size() != got.size()) return "sizes differ";
  const auto diff = std::mismatch(want.begin(), want.end(), got.begin());
  if (diff.first == want.end()) return {};
  const size_t bpp = size_t(bytesPerPixel), row = size_t(width) * bpp, plane = row * size_t(height);
  const size_t i = size_t(diff.first - want.begin()), inPlane = i % plane;
  std::ostringstream out;
  out << "byte " << i << " of " << want.size() << ": " << planes[i / plane] << " pixel (" << inPlane % row / bpp
      << ", " << inPlane / row << ") channel " << inPlane % bpp << " is " << int(*diff.second) << ", want "
      << int(*diff.first);
  return out.str();
}

// Colour and coverage rows of a rendering scaled by (sx, sy), joined; the
// target size is that of the filtered draw.
std::vector<uint8_t> Render(const vcl::TGraphic& graphic, TOrvanePictureQuality quality, double sx, double sy,
                            FilteredRendering how, size_t budget, int32_t& width, int32_t& height) {
  width = int32_t(std::nearbyint(graphic.Width() * sx));
  height = int32_t(std::nearbyint(graphic.Height() * sy));
  const Way way(how, budget);
  TFastBMP color(width, height), coverage(width, height);
  RenderFiltered(color, coverage, graphic, quality, sx, sy);
  std::vector<uint8_t> bytes;
  for (const TFastBMP* raster : {&color, &coverage})
    for (int32_t y = 0; y < height; ++y)
      bytes.insert(bytes.end(), raster->RowStarts()[y], raster->RowStarts()[y] + size_t(width) * 3);
  return bytes;
}

// Spans, unbanded and in one-row bands, against unbanded key surfaces;
// the spans are to carry the whole draw unless `readsCanvas`. Returns how
// many fully covered pixels the reference has.
size_t ExpectSpansMatchKeys(const vcl::TGraphic& graphic, TOrvanePictureQuality quality, double sx, double sy,
                            const std::string& what, bool readsCanvas = false) {
  int32_t w = 0, h = 0;
  const std::vector<uint8_t> want = Render(graphic, quality, sx, sy, kKeys, kUnbanded, w, h);
  for (size_t budget : {kUnbanded, size_t{1}}) {
    const size_t fallbacks = KeySurfaceFallbacksForTesting();
    const std::vector<uint8_t> got = Render(graphic, quality, sx, sy, kSpans, budget, w, h);
    EXPECT_EQ(KeySurfaceFallbacksForTesting() - fallbacks, readsCanvas ? 1u : 0u) << what << ": fallbacks";
    EXPECT_EQ(FirstDifference(want, got, w, h, 3, {"colour", "coverage"}), "")
        << what << ", " << w << "x" << h << ", quality " << int(quality) << (budget == 1 ? ", one-row bands" : "");
  }
  return size_t(std::count(want.begin() + std::ptrdiff_t(want.size() / 2), want.end(), uint8_t{255}));
}

std::unique_ptr<vcl::TMetafile> Metafile(emf::EmfWriter& w) {
  const std::vector<uint8_t> bytes = w.Finish();
  auto metafile = std::make_unique<vcl::TMetafile>();
  metafile->LoadFromBytes(bytes.data(), bytes.size());
  return metafile;
}

emf::EmfWriter Writer(int32_t width, int32_t height) {
  return emf::EmfWriter(emf::HeaderForPixels(width, height, {1000, 1000}, {100, 100}));
}

class Random {
 public:
  explicit Random(uint32_t seed) : state_(uint64_t{seed} * 0x9E3779B97F4A7C15ull | 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return uint32_t(state_ >> 32);
  }
  int32_t In(int32_t lo, int32_t hi) { return lo + int32_t(Next() % uint32_t(hi - lo + 1)); }
  bool Chance(int32_t percent) { return In(0, 99) < percent; }
  template <class T, size_t N>
  T Pick(const T (&items)[N]) { return items[Next() % N]; }

 private:
  uint64_t state_;
};

// Raster operations that paint without reading the destination, and those that read it.
constexpr uint32_t kPlainRops[] = {13, 4, 1, 16, 11};
constexpr uint32_t kReadingRops[] = {2, 3, 5, 6, 7, 8, 9, 10, 12, 14, 15};

uint32_t Colour(Random& r) {
  switch (r.In(0, 9)) {
    case 0: return uint32_t(KeyColorA);
    case 1: return uint32_t(KeyColorB);
    case 2: return uint32_t(KeyColorB) + 1;  // one off a key colour
    default: return r.Next() & 0xFFFFFF;
  }
}

// Every draw from the generator is taken in a statement of its own: the
// order in which a call's arguments are evaluated differs between
// compilers, and a seed must give the same picture with each.
std::unique_ptr<vcl::TMetafile> RandomPicture(uint32_t seed, bool readingRops) {
  Random r(seed);
  const int32_t width = r.In(12, 72), height = r.In(12, 72);
  const auto at = [&](int32_t side) { return r.In(-side / 4, side + side / 4); };
  const auto point = [&] { return emf::PointL{at(width), at(height)}; };
  const auto box = [&] { return emf::RectL{at(width), at(height), at(width), at(height)}; };
  emf::EmfWriter w = Writer(width, height);
  for (int32_t shapes = r.In(5, 12); shapes > 0; --shapes) {
    w.SetROP2(readingRops && r.Chance(30) ? r.Pick(kReadingRops) : r.Pick(kPlainRops));
    const int32_t pen = r.In(0, 3);
    if (pen == 0) {
      w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
    } else if (pen == 1) {  // cosmetic
      const uint32_t style = uint32_t(r.In(0, 3));
      const int32_t width = r.In(0, 1);
      w.SelectObject(w.CreatePen(style, width, Colour(r)));
    } else {
      uint32_t style = emf::PS_GEOMETRIC | r.Pick({emf::PS_SOLID, emf::PS_DASH, emf::PS_DASHDOT});
      style |= r.Pick({emf::PS_ENDCAP_ROUND, emf::PS_ENDCAP_SQUARE, emf::PS_ENDCAP_FLAT});
      style |= r.Pick({emf::PS_JOIN_ROUND, emf::PS_JOIN_BEVEL, emf::PS_JOIN_MITER});
      const uint32_t width = uint32_t(r.In(2, 9));
      w.SelectObject(w.ExtCreatePen(style, width, Colour(r)));
    }
    const int32_t brush = r.In(0, 3);
    if (brush == 0) {
      w.SelectObject(emf::kStockObjectFlag | emf::NULL_BRUSH);
    } else if (brush == 1) {
      const uint32_t colour = Colour(r);
      w.SelectObject(w.CreateBrushIndirect(emf::BS_HATCHED, colour, uint32_t(r.In(0, 5))));
    } else if (brush == 2) {
      w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, Colour(r)));
    } else {  // a pattern of a few pixels, as wide as no hatch
      const int32_t patternWidth = r.In(1, 5), patternHeight = r.In(1, 3);
      std::vector<uint32_t> pixels(size_t(patternWidth * patternHeight));
      for (uint32_t& p : pixels) p = Colour(r);
      w.SelectObject(w.CreateDIBPatternBrushPt(emf::MakeDib24(patternWidth, patternHeight, pixels)));
    }
    w.SetBkMode(uint32_t(r.In(1, 2)));
    w.SetBkColor(Colour(r));
    if (r.Chance(30)) {  // tiles starting elsewhere than at the origin
      const int32_t originX = r.In(-9, 9), originY = r.In(-9, 9);
      w.SetBrushOrgEx(originX, originY);
    }
    w.SetPolyFillMode(uint32_t(r.In(1, 2)));

    w.SaveDC();
    const int32_t clip = r.In(0, 5);
    if (clip == 0) w.IntersectClipRect(box());
    if (clip == 1) w.ExcludeClipRect(box());
    if (clip == 2) {
      w.BeginPath();
      w.Ellipse(box());
      w.EndPath();
      w.SelectClipPath(r.Chance(50) ? emf::RGN_AND : emf::RGN_DIFF);
    }
    if (r.Chance(15)) {  // turned about the middle
      const float a = float(r.In(-60, 60)) * 0.01745f, c = std::cos(a), s = std::sin(a);
      const float cx = float(width) / 2, cy = float(height) / 2;
      w.SetWorldTransform({c, s, -s, c, cx - cx * c + cy * s, cy - cx * s - cy * c});
    }
    switch (r.In(0, 7)) {
      case 7: {  // images: parallelogram and mask blits, gradients; blending only where reading is wanted
        std::vector<uint32_t> pixels(12);
        for (uint32_t& p : pixels) p = Colour(r) | (r.Next() & 0xFF000000);
        const emf::Dib image = emf::MakeDib32(4, 3, pixels);
        const int32_t kind = r.In(0, readingRops ? 4 : 2);
        if (kind == 0) {
          w.PlgBlt({point(), point(), point()}, image, 0, 0, 4, 3);
        } else if (kind == 1) {
          const emf::Dib mask = emf::MakeDibIndexed(2, 2, 1, {0, 0xFFFFFF}, {1, 0, 0, 1});
          const emf::RectL to = box();
          w.MaskBlt(to.left, to.top, to.right - to.left, to.bottom - to.top, (0xAAu << 24) | emf::SRCCOPY, image, 0, 0,
                    &mask, 0, 0);
        } else if (kind == 2) {
          const emf::PointL a = point(), b = point(), c = point();
          w.GradientFill({{a.x, a.y, 0xFF00, 0, 0x1200, 0}, {b.x, b.y, 0, 0xFF00, 0, 0}, {c.x, c.y, 0, 0, 0xFF00, 0}},
                         {0, 1, 2}, emf::GRADIENT_FILL_TRIANGLE);
        } else if (kind == 4) {  // a ternary operation with the current brush
          constexpr uint32_t kTernary[] = {0x00B8074A, 0x00E20746, 0x00960169, 0x00660046, 0x005A0049};
          const emf::RectL to = box();
          w.StretchBlt(to.left, to.top, to.right - to.left, to.bottom - to.top, r.Pick(kTernary), image, 0, 0, 4, 3);
        } else {
          const emf::RectL to = box();
          w.AlphaBlend(to.left, to.top, to.right - to.left, to.bottom - to.top, uint8_t(r.In(0, 255)), r.Chance(50),
                       image, 0, 0, 4, 3);
        }
        break;
      }
      case 0: {
        std::vector<emf::PointL> points(size_t(r.In(3, 6)));
        for (auto& p : points) p = point();
        w.Polygon(points);
        break;
      }
      case 1: w.Ellipse(box()); break;
      case 2: w.Rectangle(box()); break;
      case 3: w.RoundRect(box(), {r.In(2, 20), r.In(2, 20)}); break;
      case 4:
        if (r.Chance(50)) {
          w.PolyBezier({point(), point(), point(), point(), point(), point(), point()});
        } else {  // a closed, filled curve
          w.BeginPath();
          const emf::PointL start = point();
          w.MoveToEx(start.x, start.y);
          w.PolyBezierTo({point(), point(), point()});
          w.CloseFigure();
          w.EndPath();
          w.StrokeAndFillPath();
        }
        break;
      case 5: {
        const emf::RectL pieBox = box();
        const emf::PointL from = point();
        w.Pie(pieBox, from, point());
        break;
      }
      default: {
        emf::LogFontW font;
        font.height = -r.In(6, 18);
        font.escapement = r.Chance(30) ? r.In(-900, 900) : 0;
        font.weight = r.Chance(30) ? 700 : 400;
        w.SelectObject(w.ExtCreateFontIndirectW(font));
        w.SetTextColor(Colour(r));
        w.ExtTextOutW(point(), u"Wg Span 17");
      }
    }
    w.RestoreDC(-1);
  }
  return Metafile(w);
}

// A graphic that fills a rectangle in its left half, then copies the left
// half onto the right half by reading the canvas: pixel by pixel through
// Pixel, or as one block copy from the canvas's device context.
class CanvasReadingGraphic : public vcl::TGraphic {
 public:
  enum class Read { Nothing, Pixel, BlockCopy };
  explicit CanvasReadingGraphic(Read read) : read_(read) {}
  const char* ClassName() const override { return "CanvasReadingGraphic"; }
  int32_t Width() const override { return 12; }
  int32_t Height() const override { return 8; }
  void Draw(vcl::TCanvas& canvas, const vcl::TRect& r) const override {
    const int32_t half = (r.right - r.left) / 2, height = r.bottom - r.top;
    canvas.Brush().SetColor(0x2040C0);
    canvas.FillRect(vcl::TRect{r.left + half / 5, r.top + height / 5, r.left + half - half / 7, r.bottom - height / 3});
    if (read_ == Read::Pixel) {
      for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.left + half; ++x) canvas.SetPixel(x + half, y, canvas.Pixel(x, y));
    } else if (read_ == Read::BlockCopy) {
      gdi::HDC dc = canvas.Handle();
      gdi::BitBlt(dc, r.left + half, r.top, half, height, dc, r.left, r.top, gdi::SRCCOPY);
    }
  }
  std::unique_ptr<vcl::TGraphic> Clone() const override { return std::make_unique<CanvasReadingGraphic>(read_); }
  void LoadFromBytes(const uint8_t*, size_t) override {}

 private:
  Read read_;
};

}  // namespace

TEST(SpanRenderingTest, GraphicsThatReadTheCanvasAreDrawnOverBothKeys) {
  using Read = CanvasReadingGraphic::Read;
  const size_t shape = ExpectSpansMatchKeys(CanvasReadingGraphic(Read::Nothing), opqLow, 1, 1, "no read");
  ASSERT_GT(shape, 0u);
  for (Read read : {Read::Pixel, Read::BlockCopy}) {
    const std::string what = read == Read::Pixel ? "read through Pixel" : "block copy";
    // The copy shows the shape a second time, its background staying background.
    EXPECT_EQ(ExpectSpansMatchKeys(CanvasReadingGraphic(read), opqLow, 1, 1, what, true), 2 * shape) << what;
  }
}

TEST(SpanRenderingTest, RandomPicturesAtOddSizesAndScales) {
  // Target sizes (scale 0: a size given by the other pair) or scales.
  const struct {
    int32_t width, height;
    double sx, sy;
  } targets[] = {{1, 1, 0, 0}, {3, 70, 0, 0}, {70, 3, 0, 0}, {37, 23, 0, 0}, {0, 0, 1.37, 0.61}, {0, 0, 0.29, 2.13}};
  size_t covered = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    const bool readingRops = seed % 3 == 0;
    const auto picture = RandomPicture(seed, readingRops);
    for (size_t t = 0; t < std::size(targets); ++t) {
      const auto& target = targets[t];
      const double sx = target.sx ? target.sx : double(target.width) / picture->Width();
      const double sy = target.sy ? target.sy : double(target.height) / picture->Height();
      covered += ExpectSpansMatchKeys(*picture, kQualities[(seed + t) % 5], sx, sy,
                                      "seed " + std::to_string(seed) + (readingRops ? " (reading rops)" : ""));
    }
  }
  EXPECT_GT(covered, 0u);
}

TEST(SpanRenderingTest, DrawOntoACanvasPartlyOutsideIt) {
  const auto fill = [](vcl::TBitmap& bitmap) {
    const int32_t colours[] = {KeyColorA, KeyColorB, 0xFFFFFF, 0x2D5B89};
    bitmap.SetSize(40, 30);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 40; ++x) bitmap.Canvas().SetPixel(x, y, vcl::TColor(colours[(x / 2 + y) % 4]));
  };
  const auto canvasBytes = [](const vcl::TBitmap& bitmap) {
    const gdi::BitmapObject& s = *bitmap.Surface();
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < s.Height(); ++y)
      bytes.insert(bytes.end(), s.Row(y), s.Row(y) + size_t(s.Width()) * size_t(s.BytesPerPixel()));
    return bytes;
  };
  // A rectangle for OrvaneStretchDraw, or with scales a FilteredDraw at its top-left corner.
  const struct {
    int32_t left, top, right, bottom;
    double sx, sy;
  } draws[] = {{5, 4, 30, 25, 0, 0},   {-7, -5, 20, 18, 0, 0},     {25, 20, 52, 41, 0, 0},
               {-3, -3, 45, 35, 0, 0}, {-4, 22, 0, 0, 0.73, 1.9}, {31, -4, 0, 0, 1.1, 0.8}};
  // Odd draws go through a clip of two bands, one of them of two rectangles.
  const gdi::Region clip = gdi::Region::Combine(
      gdi::Region::Combine(gdi::Region(gdi::Rect{2, 3, 20, 12}), gdi::Region(gdi::Rect{26, 3, 37, 12}),
                           gdi::RegionOp::Or),
      gdi::Region(gdi::Rect{10, 12, 38, 27}), gdi::RegionOp::Or);
  for (bool readingRops : {false, true}) {
    const auto picture = RandomPicture(readingRops ? 21 : 22, readingRops);
    int drawn = 0;  // draws that changed the canvas
    for (size_t d = 0; d < std::size(draws); ++d) {
      const auto& draw = draws[d];
      const TOrvanePictureQuality quality = kQualities[(d + readingRops) % 5];
      vcl::TBitmap want, got;
      for (auto [canvas, how] : {std::pair{&want, kKeys}, std::pair{&got, kSpans}}) {
        fill(*canvas);
        if (d % 2) canvas->Canvas().Handle()->SetClip(clip);
        const Way way(how, kUnbanded);
        if (draw.sx) FilteredDraw(canvas->Canvas(), draw.left, draw.top, *picture, quality, draw.sx, draw.sy);
        else
          OrvaneStretchDraw(canvas->Canvas(), vcl::Rect(draw.left, draw.top, draw.right, draw.bottom), picture.get(),
                            quality);
      }
      const std::vector<uint8_t> wantBytes = canvasBytes(want);
      vcl::TBitmap untouched;
      fill(untouched);
      drawn += wantBytes != canvasBytes(untouched);
      EXPECT_EQ(FirstDifference(wantBytes, canvasBytes(got), 40, 30, want.Surface()->BytesPerPixel(), {"canvas"}), "")
          << "draw " << d << (readingRops ? ", reading rops" : "");
    }
    EXPECT_GE(drawn, 4) << (readingRops ? "reading rops" : "plain rops");
  }
}

TEST(SpanRenderingTest, BlockTransfersOverAFillAndOverNothing) {
  // Ternary operations of pattern, source and destination, and their kin
  // without a source.
  constexpr uint32_t kRops[] = {0x00C000CA, 0x00B8074A, 0x00E20746, 0x00FB0A09, 0x00960169,
                                0x00660046, 0x008800C6, 0x005A0049, 0x00550009, 0x00A000C9};
  const emf::Dib image = emf::MakeDib32(
      5, 3, {0x00000000, 0x80FFFFFF, 0xFF0000FF, 0x4000FF00, uint32_t(KeyColorA), uint32_t(KeyColorB), 0x20123456,
             0xFFFF0000, 0x00808080, 0xC0C0C0C0, uint32_t(KeyColorB) + 1, 0x10000000, 0xFFFFFFFF, 0x7F7F7F7F, 0x01020304});
  const emf::Dib mask = emf::MakeDibIndexed(2, 2, 1, {0, 0xFFFFFF}, {1, 0, 0, 1});
  const emf::Dib pattern = emf::MakeDib24(2, 2, {0x3050A0, uint32_t(KeyColorA), uint32_t(KeyColorB), 0xFFFFFF});
  for (size_t i = 0; i < std::size(kRops) * 4; ++i) {
    const uint32_t rop = kRops[i % std::size(kRops)];
    const size_t brushKind = i / std::size(kRops);  // solid, opaque hatch, transparent hatch, pattern
    emf::EmfWriter w = Writer(30, 24);
    w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
    w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, 0x3060C0));
    w.Rectangle({0, 0, 18, 25});
    if (brushKind == 0) w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, 0x10E070));
    // The transparent hatch is black: pattern pixels of colour 0 beside left-out ones.
    if (brushKind == 1 || brushKind == 2)
      w.SelectObject(w.CreateBrushIndirect(emf::BS_HATCHED, brushKind == 1 ? 0xA02080 : 0, emf::HS_DIAGCROSS));
    if (brushKind == 2) w.SetBkMode(emf::TRANSPARENT);
    if (brushKind == 3) w.SelectObject(w.CreateDIBPatternBrushPt(pattern));
    w.StretchBlt(2, 2, 26, 9, rop, image, 0, 0, 5, 3);
    w.BitBlt(10, 12, 19, 5, rop);
    w.MaskBlt(1, 16, 27, 7, (kRops[(i + 3) % std::size(kRops)] & 0xFF0000u) << 8 | rop, image, 0, 0, &mask, 0, 0);
    w.AlphaBlend(6, 5, 20, 14, uint8_t(40 + 50 * brushKind), i % 2 == 1, image, 0, 0, 5, 3);
    const auto picture = Metafile(w);
    const std::string what = "rop " + std::to_string(rop >> 16) + ", brush " + std::to_string(brushKind);
    EXPECT_GT(ExpectSpansMatchKeys(*picture, kQualities[i % 5], 23.0 / 30, 19.0 / 24, what), 0u) << what;
  }
}

TEST(SpanRenderingTest, EveryMixModeOverAFill) {
  for (uint32_t rop = 1; rop <= 16; ++rop) {
    // A fill over part of the picture, then a wide-pen hatched ellipse and a
    // line in the mix mode, over the fill and over nothing.
    emf::EmfWriter w = Writer(30, 24);
    w.SelectObject(emf::kStockObjectFlag | emf::NULL_PEN);
    w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, 0x3060C0));
    w.Rectangle({0, 0, 18, 25});
    w.SelectObject(w.CreateBrushIndirect(emf::BS_SOLID, uint32_t(KeyColorB)));
    w.Rectangle({0, 9, 31, 15});
    w.SetROP2(rop);
    w.SelectObject(w.ExtCreatePen(emf::PS_GEOMETRIC | emf::PS_DASH, 5, 0x00C0FF));
    w.SelectObject(w.CreateBrushIndirect(emf::BS_HATCHED, 0xA02080, emf::HS_DIAGCROSS));
    w.Ellipse({4, 3, 27, 21});
    w.SelectObject(w.CreatePen(emf::PS_SOLID, 0, uint32_t(KeyColorA)));
    w.MoveToEx(0, 23);
    w.LineTo(29, 1);
    // An inversion across the fill, the mix-mode shapes and nothing.
    if (rop % 4 == 0) w.InvertRgn({{2, 5, 25, 8}, {12, 16, 30, 20}});
    const auto picture = Metafile(w);
    const std::string what = "rop " + std::to_string(rop);
    EXPECT_GT(ExpectSpansMatchKeys(*picture, kQualities[rop % 5], 23.0 / 30, 19.0 / 24, what), 0u) << what;
  }
}
