// Filtered drawings of a demo-like picture against baselines measured in the
// same run: AGG and cairo drawing the same shapes anti-aliased straight at
// the target sizes, the plain aliased drawing, memset/memcpy of the bytes
// the two-key stages move, and the picture with wide pens across it as XOR
// pens against the same as copy pens. Every draw is also a Google Benchmark
// (--ratios_only leaves those and the table below out).
//
// Then the ratios, one a line as `ratio NAME: VALUE`: each is the median
// over rounds, in which the two draws take turns, of the ratio of this
// thread's CPU times (--ratio_rounds=N, default 9). Then the peak resident
// sizes of an orvane-render process drawing the picture at 16384 x 16384
// (measured first, while this process is small; --render_tool=PATH, empty
// to skip) and of a 4096 x 4096 opqVeryHigh draw in a process of its own,
// and a table of the time per sample and per target pixel of whole
// filtered draws from 16 x 16 to 512 x 512 at every quality level
// (--no_linearity_table leaves it out).

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AggBaseline.h"
#include "AlternatingCpuTimes.h"
#include "DemoLikePicture.h"
#include "emf/EmfWriter.h"
#include <orvane/ColorTriple.h>
#include <orvane/detail/CoverageOps.h>
#include <orvane/FilteredDraw.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/gdi/detail/SpanPaint.h>
#include <orvane/graphics/Metafile.h>

namespace {

using namespace orvanebench;
using Draw = std::function<void()>;

struct Target {
  int32_t width, height;
};
constexpr Target kDemoTargets[] = {{101, 101}, {51, 51}, {100, 120}, {50, 60}};
constexpr int32_t kFactor = 8;

const std::vector<BezierShape>& Shapes() {
  static const auto shapes = MakeDemoLikeShapes();
  return shapes;
}

const orvane::vcl::TMetafile& Picture(PensAcross pens = PensAcross::None) {
  static std::map<PensAcross, std::unique_ptr<orvane::vcl::TMetafile>> pictures;
  auto& kept = pictures[pens];
  if (!kept) {
    const auto bytes = MakeDemoLikeMetafile(Shapes(), pens);
    kept = std::make_unique<orvane::vcl::TMetafile>();
    kept->LoadFromBytes(bytes.data(), bytes.size());
  }
  return *kept;
}

// Many cheap records: `count` polygons, each covering the whole picture of
// 128 x 128. The cost a record must stay flat with the count.
const orvane::vcl::TMetafile& ManyPolygons(int count) {
  static std::map<int, std::unique_ptr<orvane::vcl::TMetafile>> pictures;
  auto& kept = pictures[count];
  if (!kept) {
    orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(128, 128, {1000, 1000}, {100, 100}));
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
    for (int i = 0; i < count; ++i) {
      if (i % 256 == 0) w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, uint32_t(i) * 2654435761u & 0xFFFFFF));
      w.Polygon16({{0, 0}, {128, int16_t(i % 7)}, {128, 128}, {int16_t(i % 5), 128}});
    }
    const std::vector<uint8_t> bytes = w.Finish();
    kept = std::make_unique<orvane::vcl::TMetafile>();
    kept->LoadFromBytes(bytes.data(), bytes.size());
  }
  return *kept;
}

// Bitmap records whose source is a run-length DIB declared `side` x `side`
// with four bytes of data: 2 000 StretchDIBits over the whole picture of
// 256 x 256. What a record costs follows the pixels it covers and its data,
// so the declared side must not matter.
const orvane::vcl::TMetafile& DeclaredBitmaps(int side) {
  static std::map<int, std::unique_ptr<orvane::vcl::TMetafile>> pictures;
  auto& kept = pictures[side];
  if (!kept) {
    orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(256, 256, {1000, 1000}, {100, 100}));
    const orvane::emf::Dib dib = orvane::emf::MakeDibRle(side, side, 8, {0x0000FF}, {0x00, 0x00, 0x00, 0x01});
    for (int i = 0; i < 2000; ++i) w.StretchDIBits(0, 0, 256, 256, 0, 0, side, side, dib);
    const std::vector<uint8_t> bytes = w.Finish();
    kept = std::make_unique<orvane::vcl::TMetafile>();
    kept->LoadFromBytes(bytes.data(), bytes.size());
  }
  return *kept;
}

// --- The draws. Each maker sets up what its draw needs once; the Draw it
// returns is one run, timed by Google Benchmark and by the ratio rounds.

// One filtered draw of `picture` onto a window of the target's size.
Draw FilteredDrawing(const orvane::vcl::TMetafile& picture, int32_t side, orvane::TOrvanePictureQuality quality) {
  auto window = std::make_shared<orvane::vcl::TBitmap>();
  window->SetSize(side, side);
  return [window, &picture, side, quality] {
    orvane::OrvaneStretchDraw(window->Canvas(), orvane::vcl::Rect(0, 0, side - 1, side - 1), &picture, quality);
  };
}

// The demo's four filtered drawings at opqHigh, side by side on one window.
Draw FourFilteredDrawings() {
  auto window = std::make_shared<orvane::vcl::TBitmap>();
  window->SetSize(600, 402);
  return [window] {
    int x = 0;
    for (const Target& t : kDemoTargets) {
      orvane::OrvaneStretchDraw(window->Canvas(), orvane::vcl::Bounds(x, 0, t.width - 1, t.height - 1), &Picture(),
                                orvane::opqHigh);
      x += 110;
    }
  };
}

// The plain aliased drawing of the picture, stretched to side x side.
Draw AliasedDrawing(int32_t side) {
  auto window = std::make_shared<orvane::vcl::TBitmap>();
  window->SetSize(side, side);
  return [window, side] { window->Canvas().StretchDraw(orvane::vcl::Rect(0, 0, side, side), &Picture()); };
}

// AGG drawing the shapes anti-aliased at each of the targets.
Draw AggDrawing(std::vector<Target> targets) {
  auto rasters = std::make_shared<std::vector<std::unique_ptr<AggTarget>>>();
  for (const Target& t : targets) rasters->push_back(std::make_unique<AggTarget>(t.width, t.height));
  return [rasters] {
    for (const auto& raster : *rasters) raster->Draw(Shapes());
  };
}

// The shapes as cairo paths, control points rounded as the metafile has them.
void CairoShapes(cairo_t* cr, double scaleX, double scaleY) {
  for (const BezierShape& s : Shapes()) {
    cairo_new_path(cr);
    cairo_move_to(cr, std::round(s.startX) * scaleX, std::round(s.startY) * scaleY);
    for (size_t i = 0; i + 5 < s.controls.size(); i += 6)
      cairo_curve_to(cr, std::round(s.controls[i]) * scaleX, std::round(s.controls[i + 1]) * scaleY,
                     std::round(s.controls[i + 2]) * scaleX, std::round(s.controls[i + 3]) * scaleY,
                     std::round(s.controls[i + 4]) * scaleX, std::round(s.controls[i + 5]) * scaleY);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, (s.rgb & 0xFF) / 255.0, ((s.rgb >> 8) & 0xFF) / 255.0, (s.rgb >> 16) / 255.0);
    cairo_fill(cr);
  }
}

struct CairoSurfaces {
  ~CairoSurfaces() {
    for (cairo_surface_t* s : surfaces) cairo_surface_destroy(s);
  }
  std::vector<Target> targets;
  std::vector<cairo_surface_t*> surfaces;
};

Draw CairoDrawing(std::vector<Target> targets, cairo_antialias_t antialias) {
  auto kept = std::make_shared<CairoSurfaces>();
  kept->targets = std::move(targets);
  for (const Target& t : kept->targets)
    kept->surfaces.push_back(cairo_image_surface_create(CAIRO_FORMAT_RGB24, t.width, t.height));
  return [kept, antialias] {
    for (size_t k = 0; k < kept->surfaces.size(); ++k) {
      cairo_t* cr = cairo_create(kept->surfaces[k]);
      cairo_set_antialias(cr, antialias);
      CairoShapes(cr, double(kept->targets[k].width) / kPictureWidth, double(kept->targets[k].height) / kPictureHeight);
      cairo_destroy(cr);
    }
  };
}

// Bytes the pixel stages move for one target: two key fills of the 32-bit
// offscreen bitmap, two 32-to-24-bit copies, the reduction reading both
// renderings, and the blend with its two copies (small).
double StageBytes(const Target& t) {
  const double samples = double(t.width) * kFactor * t.height * kFactor;
  const double pixels = double(t.width) * t.height;
  return samples * (2 * 4 + 2 * (4 + 3) + 2 * 3) + pixels * (3 * 3 + 4 * 3);
}

// The same for the stages as the filtered draw runs them: two key fills of
// two 32-bit surfaces, the reduction reading both, and the blend.
double DirectStageBytes(const Target& t) {
  const double samples = double(t.width) * kFactor * t.height * kFactor;
  const double pixels = double(t.width) * t.height;
  return samples * (2 * 4 + 2 * 4) + pixels * (3 * 3 + 4 * 3);
}

double DemoTargetsBytes(double (*bytes)(const Target&)) {
  double total = 0;
  for (const Target& t : kDemoTargets) total += bytes(t);
  return total;
}

// Working rasters of one target.
struct StageBuffers {
  explicit StageBuffers(const Target& t)
      : t(t), a(t.width * kFactor, t.height * kFactor), b(t.width * kFactor, t.height * kFactor),
        color(t.width, t.height), coverage(t.width, t.height), backdrop(t.width, t.height) {
    for (orvane::vcl::TBitmap* s : {&offscreen, &offscreenB}) s->SetSize(t.width * kFactor, t.height * kFactor);
  }
  Target t;
  orvane::vcl::TBitmap offscreen, offscreenB;
  orvane::TFastBMP a, b, color, coverage, backdrop;
};

struct DemoStageBuffers {
  DemoStageBuffers() {
    window.SetSize(200, 200);
    for (const Target& t : kDemoTargets) targets.push_back(std::make_unique<StageBuffers>(t));
  }
  orvane::vcl::TBitmap window;
  std::vector<std::unique_ptr<StageBuffers>> targets;
};

void BlendIntoWindow(StageBuffers& s, orvane::vcl::TBitmap& window) {
  const Target& t = s.t;
  orvane::gdi::BitBlt(s.backdrop.MemoryDC(), 0, 0, t.width, t.height, window.Canvas().Handle(), 0, 0, orvane::gdi::SRCCOPY);
  s.backdrop.BlendWithCoverage(s.color, s.coverage, t.width, t.height);
  orvane::gdi::BitBlt(window.Canvas().Handle(), 0, 0, t.width, t.height, s.backdrop.MemoryDC(), 0, 0, orvane::gdi::SRCCOPY);
}

// The pixel stages of the four drawings, without the playback: key fills,
// copies to 24-bit rasters, reduction of those, blend.
Draw PixelStages() {
  auto kept = std::make_shared<DemoStageBuffers>();
  return [kept] {
    for (const auto& s : kept->targets) {
      const int32_t wn = s->t.width * kFactor, hn = s->t.height * kFactor;
      orvane::vcl::TCanvas& canvas = s->offscreen.Canvas();
      orvane::FillSolid(canvas, 0, 0, wn, hn, orvane::ColorToTriple(orvane::KeyColorA));
      orvane::gdi::BitBlt(s->a.MemoryDC(), 0, 0, wn, hn, canvas.Handle(), 0, 0, orvane::gdi::SRCCOPY);
      orvane::FillSolid(canvas, 0, 0, wn, hn, orvane::ColorToTriple(orvane::KeyColorB));
      orvane::gdi::BitBlt(s->b.MemoryDC(), 0, 0, wn, hn, canvas.Handle(), 0, 0, orvane::gdi::SRCCOPY);
      s->a.ExtractCoverage(s->b, s->color, s->coverage, s->t.width, s->t.height, kFactor);
      BlendIntoWindow(*s, kept->window);
    }
  };
}

// The pixel stages as the filtered draw runs them: key fills of two
// screen-format surfaces, reduction straight from them, blend.
Draw DirectPixelStages() {
  auto kept = std::make_shared<DemoStageBuffers>();
  return [kept] {
    for (const auto& s : kept->targets) {
      orvane::gdi::BitmapObject& a = *s->offscreen.Surface();
      orvane::gdi::BitmapObject& b = *s->offscreenB.Surface();
      orvane::gdi::FillSurface(a, orvane::vcl::ColorToRGB(orvane::KeyColorA));
      orvane::gdi::FillSurface(b, orvane::vcl::ColorToRGB(orvane::KeyColorB));
      orvane::ReduceKeyRenderings({a.Bits(), a.Stride(), 4}, {b.Bits(), b.Stride(), 4},
                                  {s->color.PixelData(), s->color.RowStride()},
                                  {s->coverage.PixelData(), s->coverage.RowStride()}, s->t.width, s->t.height,
                                  kFactor);
      BlendIntoWindow(*s, kept->window);
    }
  };
}

// Baseline: `total` bytes moved with memset and memcpy, half as fills and
// half as a copy (which reads and writes).
Draw MoveBytes(double total) {
  const size_t block = static_cast<size_t>(total / 4);
  auto from = std::make_shared<std::vector<uint8_t>>(block, 1), to = std::make_shared<std::vector<uint8_t>>(block, 0);
  return [from, to, block] {
    std::memset(to->data(), 0x55, block);
    std::memset(from->data(), 0x66, block);
    std::memcpy(to->data(), from->data(), block);
    benchmark::DoNotOptimize(to->data());
  };
}

struct Measured {
  const char* name;
  std::function<Draw()> make;
  benchmark::TimeUnit unit = benchmark::kMillisecond;
  double bytes = 0;    // moved by a run, for a throughput column
  int iterations = 0;  // 0: as many as Google Benchmark wants
};

const std::vector<Measured>& AllMeasured() {
  using orvane::opqHigh;
  static const std::vector<Measured> all = {
      {"FourFilteredDrawings", FourFilteredDrawings},
      {"AggFourTargets", [] { return AggDrawing({std::begin(kDemoTargets), std::end(kDemoTargets)}); }},
      {"CairoAntialiasedTargets",
       [] { return CairoDrawing({std::begin(kDemoTargets), std::end(kDemoTargets)}, CAIRO_ANTIALIAS_DEFAULT); }},
      {"FilteredDraw512Low", [] { return FilteredDrawing(Picture(), 512, orvane::opqLow); }},
      {"FilteredDraw512High", [] { return FilteredDrawing(Picture(), 512, opqHigh); }},
      {"FilteredDraw512VeryHigh", [] { return FilteredDrawing(Picture(), 512, orvane::opqVeryHigh); }},
      {"Agg512", [] { return AggDrawing({{512, 512}}); }},
      {"FilteredDraw4096High", [] { return FilteredDrawing(Picture(), 4096, opqHigh); }, benchmark::kMillisecond, 0, 2},
      {"Agg4096", [] { return AggDrawing({{4096, 4096}}); }, benchmark::kMillisecond, 0, 2},
      {"XorPensDraw512High", [] { return FilteredDrawing(Picture(PensAcross::Xor), 512, opqHigh); }},
      {"CopyPensDraw512High", [] { return FilteredDrawing(Picture(PensAcross::Copy), 512, opqHigh); }},
      {"AliasedDraw512", [] { return AliasedDrawing(512); }},
      // The fixed cost of a draw: a 16 x 16 target at factor 1, where the
      // picture's records and shapes outweigh its 256 samples.
      {"SmallFilteredDraw", [] { return FilteredDrawing(Picture(), 16, orvane::opqVeryLow); }, benchmark::kMicrosecond},
      {"ManyPolygons/2000", [] { return FilteredDrawing(ManyPolygons(2000), 128, opqHigh); }},
      {"ManyPolygons/20000", [] { return FilteredDrawing(ManyPolygons(20000), 128, opqHigh); }},
      {"DeclaredBitmaps/16", [] { return FilteredDrawing(DeclaredBitmaps(16), 256, orvane::opqLow); }},
      {"DeclaredBitmaps/4096", [] { return FilteredDrawing(DeclaredBitmaps(4096), 256, orvane::opqLow); }},
      // The aliased fill alone: the picture played at 8 x the large demo target.
      {"AliasedPlayback808", [] { return AliasedDrawing(808); }},
      {"CairoAliasedFill808", [] { return CairoDrawing({{808, 808}}, CAIRO_ANTIALIAS_NONE); }},
      {"PixelStages", PixelStages, benchmark::kMillisecond, DemoTargetsBytes(StageBytes)},
      {"MemoryBaseline", [] { return MoveBytes(DemoTargetsBytes(StageBytes)); }, benchmark::kMillisecond,
       DemoTargetsBytes(StageBytes)},
      {"DirectPixelStages", DirectPixelStages, benchmark::kMillisecond, DemoTargetsBytes(DirectStageBytes)},
      {"DirectMemoryBaseline", [] { return MoveBytes(DemoTargetsBytes(DirectStageBytes)); }, benchmark::kMillisecond,
       DemoTargetsBytes(DirectStageBytes)},
  };
  return all;
}

const Measured& Find(const std::string& name) {
  for (const Measured& m : AllMeasured())
    if (m.name == name) return m;
  std::fprintf(stderr, "filtered_draw_bench: no draw named %s\n", name.c_str());
  std::exit(2);
}

void RegisterBenchmarks() {
  for (const Measured& m : AllMeasured()) {
    auto* b = benchmark::RegisterBenchmark(("BM_" + std::string(m.name)).c_str(), [&m](benchmark::State& state) {
      const Draw draw = m.make();
      for (auto _ : state) draw();
      if (m.bytes > 0) state.SetBytesProcessed(static_cast<int64_t>(m.bytes * double(state.iterations())));
    });
    b->Unit(m.unit);
    if (m.iterations > 0) b->Iterations(m.iterations);
  }
}

struct RatioLine {
  const char* label;                   // after "ratio "
  const char* numerator, *denominator;  // names of draws in AllMeasured
  double divisor = 1;                  // what the time ratio is divided by for the line
  const char* costText = nullptr;      // then also the numerator's cost a record, over `records`
  double records = 0;
};

const RatioLine kRatioLines[] = {
    {"high_512_vs_agg", "FilteredDraw512High", "Agg512"},
    {"four_draws_vs_agg", "FourFilteredDrawings", "AggFourTargets"},
    {"veryhigh_512_vs_agg", "FilteredDraw512VeryHigh", "Agg512"},
    {"high_4096_vs_agg", "FilteredDraw4096High", "Agg4096"},
    {"rop_picture_vs_plain_512", "XorPensDraw512High", "CopyPensDraw512High"},
    {"four_draws_vs_cairo_aa", "FourFilteredDrawings", "CairoAntialiasedTargets"},
    {"high_vs_aliased_512", "FilteredDraw512High", "AliasedDraw512"},
    {"veryhigh_vs_low_512", "FilteredDraw512VeryHigh", "FilteredDraw512Low"},
    // Time per target pixel; 64 times the pixels.
    {"per_pixel_4096_vs_512", "FilteredDraw4096High", "FilteredDraw512High", 64},
    // Linear in the records: 20 000 polygons cost ten times 2 000 (per-record ratio 1.0).
    {"per_record_20000_vs_2000", "ManyPolygons/20000", "ManyPolygons/2000", 10,
     "20 000 full-picture polygons at 128 x 128, high", 20000},
    // The declared size of a bitmap record's source costs nothing (ratio 1.0).
    {"rle_declared_4096_vs_16", "DeclaredBitmaps/4096", "DeclaredBitmaps/16", 1,
     "2 000 StretchDIBits of a declared 4096 x 4096 RLE, 256 x 256, low", 2000},
    {"pixel stages / memset+memcpy of the same bytes", "PixelStages", "MemoryBaseline"},
    {"pixel stages as the filtered draw runs them / memset+memcpy of the same bytes", "DirectPixelStages",
     "DirectMemoryBaseline"},
    {"aliased playback / cairo aliased fill (808 x 808)", "AliasedPlayback808", "CairoAliasedFill808"},
};

void PrintRatio(const RatioLine& line, int rounds) {
  // Made afresh for each line, so that no more than two draws' rasters are held at once.
  const Draw numerator = Find(line.numerator).make(), denominator = Find(line.denominator).make();
  const MedianCpuSeconds t = TimeAlternately(numerator, denominator, rounds);
  std::printf("ratio %s: %.2f  (CPU %.3f ms / %.3f ms)\n", line.label, t.ratio / line.divisor,
              t.first * 1e3, t.second * 1e3);
  if (line.costText) std::printf("cost a record (%s): %.1f us\n", line.costText, t.first * 1e6 / line.records);
  std::fflush(stdout);
}

// How far AGG's drawing lies from the filtered drawing at 512 x 512, both
// over white: a baseline that drew something else would show here.
void PrintBaselineCheck() {
  orvane::vcl::TBitmap window;
  window.SetSize(512, 512);
  orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, 511, 511), &Picture(), orvane::opqHigh);
  AggTarget agg(512, 512);
  agg.Draw(Shapes());
  const orvane::gdi::BitmapObject& surface = *window.Surface();
  double difference = 0;
  for (int32_t y = 0; y < 512; ++y) {
    const uint8_t* row = surface.Bits() + ptrdiff_t(y) * surface.Stride();
    for (int32_t x = 0; x < 512; ++x) {
      const uint32_t ours = uint32_t(row[4 * x + 2]) | uint32_t(row[4 * x + 1]) << 8 | uint32_t(row[4 * x]) << 16;
      const uint32_t theirs = agg.PixelAt(x, y);
      for (int shift = 0; shift < 24; shift += 8)
        difference += std::abs(int((ours >> shift) & 0xFF) - int((theirs >> shift) & 0xFF));
    }
  }
  std::printf("AGG 512 x 512 against the opqHigh filtered draw: %.2f a channel on average (of 255)\n",
              difference / (512.0 * 512 * 3));
}

// Median thread CPU time in seconds of `draw`, run at least 3 times and for at least 0.2 s.
template <typename Fn>
double MedianCpuSecondsOf(Fn&& draw) {
  std::vector<double> times;
  double spent = 0;
  while (times.size() < 3 || (spent < 0.2 && times.size() < 1000)) {
    const double start = ThreadCpuSeconds();
    draw();
    const double t = ThreadCpuSeconds() - start;
    times.push_back(t);
    spent += t;
  }
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
}

// Nanoseconds per supersample of a whole filtered draw of the picture, for
// square targets from 16 to 512 pixels at every quality level, and the
// spread (largest over smallest) of each column and of the whole table;
// then the same draws per target pixel.
void PrintLinearityTable() {
  const int32_t sides[] = {16, 32, 64, 128, 256, 512};
  std::printf("\ntime per sample (ns, CPU) of a filtered draw, target side x quality level\n");
  std::printf("%8s", "side");
  for (int q = orvane::opqVeryLow; q <= orvane::opqVeryHigh; ++q)
    std::printf(" %12s", orvane::QualityName(static_cast<uint8_t>(q)));
  std::printf("\n");
  double table[6][5] = {};
  double perPixel[6][5] = {};
  orvane::vcl::TBitmap window;
  window.SetSize(512, 512);
  for (int i = 0; i < 6; ++i) {
    const int32_t side = sides[i];
    std::printf("%8d", side);
    for (int q = orvane::opqVeryLow; q <= orvane::opqVeryHigh; ++q) {
      const auto quality = static_cast<orvane::TOrvanePictureQuality>(q);
      const double factor = orvane::SupersampleFactor(quality);
      const double seconds = MedianCpuSecondsOf(
          [&] { orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, side - 1, side - 1), &Picture(), quality); });
      table[i][q] = seconds * 1e9 / (double(side) * side * factor * factor);
      perPixel[i][q] = seconds * 1e9 / (double(side) * side);
      std::printf(" %12.3f", table[i][q]);
      std::fflush(stdout);
    }
    std::printf("\n");
  }
  std::printf("%8s", "spread");
  double lowest = INFINITY, highest = 0, lowestBig = INFINITY, highestBig = 0;
  for (int q = 0; q < 5; ++q) {
    double lo = INFINITY, hi = 0;
    for (int i = 0; i < 6; ++i) {
      lo = std::min(lo, table[i][q]);
      hi = std::max(hi, table[i][q]);
      const double samples = double(sides[i]) * sides[i] * orvane::SupersampleFactor(static_cast<uint8_t>(q)) *
                             orvane::SupersampleFactor(static_cast<uint8_t>(q));
      if (samples >= 65536) {
        lowestBig = std::min(lowestBig, table[i][q]);
        highestBig = std::max(highestBig, table[i][q]);
      }
    }
    lowest = std::min(lowest, lo);
    highest = std::max(highest, hi);
    std::printf(" %12.2f", hi / lo);
  }
  std::printf("\nspread of time per sample over the whole table: %.2f\n", highest / lowest);
  std::printf("spread of time per sample over draws of 65536 samples or more: %.2f\n", highestBig / lowestBig);
  std::printf("\ntime per target pixel (ns, CPU) of the same draws\n%8s", "side");
  for (int q = orvane::opqVeryLow; q <= orvane::opqVeryHigh; ++q)
    std::printf(" %12s", orvane::QualityName(static_cast<uint8_t>(q)));
  std::printf("\n");
  for (int i = 0; i < 6; ++i) {
    std::printf("%8d", sides[i]);
    for (int q = 0; q < 5; ++q) std::printf(" %12.1f", perPixel[i][q]);
    std::printf("\n");
  }
}

// In a process of its own: a 4096 x 4096 window, one opqVeryHigh draw onto
// it, and the peak resident size in KiB on standard output. The peak is the
// process's memory's high-water mark (VmHWM), which starts afresh with the
// program; getrusage's maximum would carry over the spawning process's.
constexpr int32_t kRssSide = 4096;
int PeakRssChild() {
  orvane::vcl::TBitmap window;
  window.SetSize(kRssSide, kRssSide);
  orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, kRssSide - 1, kRssSide - 1), &Picture(),
                            orvane::opqVeryHigh);
  FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof line, status))
    if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
  std::fclose(status);
  std::printf("%ld\n", kib);
  return kib > 0 ? 0 : 1;
}

// Runs this program as the child above; its peak resident size in bytes, or -1.
double ChildPeakRss(const char* self) {
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char flag[] = "--peak_rss_child";
  char* args[] = {const_cast<char*>(self), flag, nullptr};
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  char text[64] = {};
  const ssize_t got = failed ? -1 : read(out[0], text, sizeof text - 1);
  close(out[0]);
  int status = 0;
  if (!failed) waitpid(pid, &status, 0);
  if (failed || got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::atof(text) * 1024;
}

constexpr int32_t kToolSide = 16384;

struct ToolRun {
  bool ran = false;
  double peakMiB = NAN, seconds = NAN;  // peak resident size, CPU time (user + system)
  double spawnerMiB = NAN;              // this process's own peak when it spawned the tool
};

// One orvane-render process drawing the demo-like picture, written to a
// temporary .emf, at kToolSide x kToolSide opqHigh into a temporary PNG; its
// peak resident size from wait4. That maximum starts from the spawning
// process's peak, so this runs while the bench is still small.
ToolRun RenderToolPeakRss(const std::string& tool) {
  namespace fs = std::filesystem;
  ToolRun run;
  std::string dirName = (fs::temp_directory_path() / "filtered_draw_bench.XXXXXX").string();
  if (!mkdtemp(dirName.data())) return run;
  const fs::path dir = dirName;
  const std::string input = (dir / "demo-like.emf").string(), output = (dir / "demo-like.png").string();
  {
    const auto bytes = MakeDemoLikeMetafile(Shapes());
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  const std::string size = std::to_string(kToolSide) + "x" + std::to_string(kToolSide);
  std::vector<std::string> words = {tool, "--size", size, "--quality", "high", input, output};
  std::vector<char*> args;
  for (std::string& w : words) args.push_back(w.data());
  args.push_back(nullptr);
  rusage own{};
  getrusage(RUSAGE_SELF, &own);
  run.spawnerMiB = double(own.ru_maxrss) / 1024;
  pid_t pid = 0;
  if (posix_spawn(&pid, tool.c_str(), nullptr, nullptr, args.data(), environ) == 0) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
      run.ran = true;
      run.peakMiB = double(usage.ru_maxrss) / 1024;  // KiB
      run.seconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                    double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
    }
  }
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return run;
}

#ifdef ORVANE_RENDER_TOOL
const char* const kDefaultRenderTool = ORVANE_RENDER_TOOL;
#else
const char* const kDefaultRenderTool = "";
#endif

}  // namespace

int main(int argc, char** argv) {
  bool table = true, benchmarks = true;
  int rounds = 9;
  std::string renderTool = kDefaultRenderTool;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--peak_rss_child") return PeakRssChild();
    if (a == "--no_linearity_table") table = false;
    else if (a == "--ratios_only") benchmarks = table = false;
    else if (a.rfind("--ratio_rounds=", 0) == 0) rounds = std::max(1, std::atoi(a.c_str() + 15));
    else if (a.rfind("--render_tool=", 0) == 0) renderTool = a.substr(14);
    else argv[kept++] = argv[i];
  }
  argc = kept;

  const ToolRun tool = renderTool.empty() ? ToolRun{} : RenderToolPeakRss(renderTool);

  if (benchmarks) {
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
  }

  std::printf("\nratios of thread CPU times, medians of %d alternating rounds\n", rounds);
  PrintBaselineCheck();
  for (const RatioLine& line : kRatioLines) PrintRatio(line, rounds);

  if (renderTool.empty()) {
    std::printf("render tool: skipped (--render_tool=)\n");
  } else {
    if (!tool.ran) std::printf("render tool: %s did not draw the picture at %d x %d\n", renderTool.c_str(), kToolSide, kToolSide);
    else
      std::printf("render tool: %d x %d high, %.1f s CPU; this process's own peak when it spawned it: %.1f MiB\n",
                  kToolSide, kToolSide, tool.seconds, tool.spawnerMiB);
    std::printf("ratio render_tool_peak_rss_16384_high: %.1f  (MiB)\n", tool.peakMiB);
  }
  const double rss = ChildPeakRss(argv[0]);
  const double raster = 4.0 * kRssSide * kRssSide;
  std::printf("peak resident size of a %d x %d opqVeryHigh draw: %.1f MiB (its target raster %.1f MiB)\n", kRssSide,
              kRssSide, rss / 1048576, raster / 1048576);
  std::printf("ratio peak_rss_4096_veryhigh_vs_64mib_plus_raster: %.2f\n", rss / (64.0 * 1048576 + raster));
  if (table) PrintLinearityTable();
  if (benchmarks) benchmark::Shutdown();
  return 0;
}
