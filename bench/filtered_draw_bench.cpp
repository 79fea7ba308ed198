// The demo's four filtered drawings at opqHigh (targets 101 x 101, 51 x 51,
// 100 x 120, 50 x 60) of a demo-like picture, per stage and in total, with
// two baselines measured in the same run: moving the same bytes with
// memset/memcpy, and cairo drawing the same shapes anti-aliased directly at
// the target sizes. Also a 512 x 512 draw at three qualities against the
// plain aliased drawing, a 4096 x 4096 draw, and a picture with XOR pens
// (drawn over two key colours) against its time on the code before
// filtered draws were made from spans. Prints the ratios at the end, one a
// line, the peak resident size of a 4096 x 4096 opqVeryHigh draw (in a
// process of its own), then a table of the time per sample and per target
// pixel of a whole filtered draw for targets from 16 x 16 to 512 x 512 at
// every quality level (--no_linearity_table leaves it out).

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

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

struct Target {
  int32_t width, height;
};
constexpr Target kTargets[] = {{101, 101}, {51, 51}, {100, 120}, {50, 60}};
constexpr int32_t kFactor = 8;

const std::vector<BezierShape>& Shapes() {
  static const auto shapes = MakeDemoLikeShapes();
  return shapes;
}

const orvane::vcl::TMetafile& Picture() {
  static orvane::vcl::TMetafile* picture = [] {
    auto* m = new orvane::vcl::TMetafile();
    const auto bytes = MakeDemoLikeMetafile(Shapes());
    m->LoadFromBytes(bytes.data(), bytes.size());
    return m;
  }();
  return *picture;
}

// The same with wide XOR pens across it.
const orvane::vcl::TMetafile& XorPicture() {
  static orvane::vcl::TMetafile* picture = [] {
    auto* m = new orvane::vcl::TMetafile();
    const auto bytes = MakeDemoLikeMetafile(Shapes(), true);
    m->LoadFromBytes(bytes.data(), bytes.size());
    return m;
  }();
  return *picture;
}

// Seconds of BM_FallbackDraw512 on the code before filtered draws were made
// from spans (commit ec0b8af, this machine, median of 9 repetitions).
constexpr double kFallbackBefore = 0.0380;

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

// Working rasters of one target, made once outside the timed loop.
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

std::vector<std::unique_ptr<StageBuffers>> MakeStageBuffers() {
  std::vector<std::unique_ptr<StageBuffers>> buffers;
  for (const Target& t : kTargets) buffers.push_back(std::make_unique<StageBuffers>(t));
  return buffers;
}

void BlendIntoWindow(StageBuffers& s, orvane::vcl::TBitmap& window) {
  const Target& t = s.t;
  orvane::gdi::BitBlt(s.backdrop.MemoryDC(), 0, 0, t.width, t.height, window.Canvas().Handle(), 0, 0, orvane::gdi::SRCCOPY);
  s.backdrop.BlendWithCoverage(s.color, s.coverage, t.width, t.height);
  orvane::gdi::BitBlt(window.Canvas().Handle(), 0, 0, t.width, t.height, s.backdrop.MemoryDC(), 0, 0, orvane::gdi::SRCCOPY);
}

void BM_FourFilteredDrawings(benchmark::State& state) {
  orvane::vcl::TBitmap window;
  window.SetSize(600, 402);
  for (auto _ : state) {
    int x = 0;
    for (const Target& t : kTargets) {
      orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Bounds(x, 0, t.width - 1, t.height - 1), &Picture(),
                                orvane::opqHigh);
      x += 110;
    }
  }
}
BENCHMARK(BM_FourFilteredDrawings)->Unit(benchmark::kMillisecond);

// One filtered draw of `picture` onto a window of the target's size.
void FilteredDrawOf(benchmark::State& state, const orvane::vcl::TMetafile& picture, int32_t side,
                    orvane::TOrvanePictureQuality quality) {
  orvane::vcl::TBitmap window;
  window.SetSize(side, side);
  for (auto _ : state) orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, side - 1, side - 1), &picture, quality);
}
void BM_FilteredDraw512Low(benchmark::State& state) { FilteredDrawOf(state, Picture(), 512, orvane::opqLow); }
void BM_FilteredDraw512High(benchmark::State& state) { FilteredDrawOf(state, Picture(), 512, orvane::opqHigh); }
void BM_FilteredDraw512VeryHigh(benchmark::State& state) { FilteredDrawOf(state, Picture(), 512, orvane::opqVeryHigh); }
void BM_FilteredDraw4096High(benchmark::State& state) { FilteredDrawOf(state, Picture(), 4096, orvane::opqHigh); }
void BM_FallbackDraw512(benchmark::State& state) { FilteredDrawOf(state, XorPicture(), 512, orvane::opqHigh); }
BENCHMARK(BM_FilteredDraw512Low)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredDraw512High)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredDraw512VeryHigh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredDraw4096High)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_FallbackDraw512)->Unit(benchmark::kMillisecond);

// The plain aliased drawing of the picture at 512 x 512.
void BM_AliasedDraw512(benchmark::State& state) {
  orvane::vcl::TBitmap window;
  window.SetSize(512, 512);
  for (auto _ : state) window.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, 512, 512), &Picture());
}
BENCHMARK(BM_AliasedDraw512)->Unit(benchmark::kMillisecond);

// The fixed cost of a draw: a 16 x 16 target at factor 1, where the
// picture's records and shapes outweigh its 256 samples.
void BM_SmallFilteredDraw(benchmark::State& state) {
  orvane::vcl::TBitmap window;
  window.SetSize(64, 64);
  for (auto _ : state)
    orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, 15, 15), &Picture(), orvane::opqVeryLow);
}
BENCHMARK(BM_SmallFilteredDraw)->Unit(benchmark::kMicrosecond);

// Many cheap records: `count` polygons, each covering the whole picture,
// drawn filtered at 128 x 128. The cost a record must stay flat with the count.
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

void BM_ManyPolygons(benchmark::State& state) {
  const auto& picture = ManyPolygons(int(state.range(0)));
  orvane::vcl::TBitmap window;
  window.SetSize(128, 128);
  for (auto _ : state)
    orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, 127, 127), &picture, orvane::opqHigh);
}
BENCHMARK(BM_ManyPolygons)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

// Bitmap records whose source is a run-length DIB declared `side` x `side`
// with four bytes of data: 2 000 StretchDIBits over the whole picture,
// drawn filtered at 256 x 256. What a record costs follows the pixels it
// covers and its data, so the declared side must not matter.
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

void BM_DeclaredBitmaps(benchmark::State& state) {
  const auto& picture = DeclaredBitmaps(int(state.range(0)));
  orvane::vcl::TBitmap window;
  window.SetSize(256, 256);
  for (auto _ : state)
    orvane::OrvaneStretchDraw(window.Canvas(), orvane::vcl::Rect(0, 0, 256, 256), &picture, orvane::opqLow);
}
BENCHMARK(BM_DeclaredBitmaps)->Arg(16)->Arg(4096)->Unit(benchmark::kMillisecond);

// The aliased fill alone: the picture played at 8 x the large target.
void BM_AliasedPlayback808(benchmark::State& state) {
  orvane::vcl::TBitmap offscreen;
  offscreen.SetSize(808, 808);
  for (auto _ : state) offscreen.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, 808, 808), &Picture());
}
BENCHMARK(BM_AliasedPlayback808)->Unit(benchmark::kMillisecond);

void BM_CairoAliasedFill808(benchmark::State& state) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 808, 808);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  const double scale = 808.0 / kPictureWidth, scaleY = 808.0 / kPictureHeight;
  for (auto _ : state) {
    for (const BezierShape& s : Shapes()) {
      cairo_new_path(cr);
      cairo_move_to(cr, std::round(s.startX) * scale, std::round(s.startY) * scaleY);
      for (size_t i = 0; i + 5 < s.controls.size(); i += 6)
        cairo_curve_to(cr, std::round(s.controls[i]) * scale, std::round(s.controls[i + 1]) * scaleY,
                       std::round(s.controls[i + 2]) * scale, std::round(s.controls[i + 3]) * scaleY,
                       std::round(s.controls[i + 4]) * scale, std::round(s.controls[i + 5]) * scaleY);
      cairo_close_path(cr);
      cairo_set_source_rgb(cr, (s.rgb & 0xFF) / 255.0, ((s.rgb >> 8) & 0xFF) / 255.0, (s.rgb >> 16) / 255.0);
      cairo_fill(cr);
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(BM_CairoAliasedFill808)->Unit(benchmark::kMillisecond);

// The pixel stages of the four drawings, without the playback: key fills,
// copies to 24-bit rasters, reduction of those, blend.
void BM_PixelStages(benchmark::State& state) {
  const auto buffers = MakeStageBuffers();
  orvane::vcl::TBitmap window;
  window.SetSize(200, 200);
  double bytes = 0;
  for (auto _ : state) {
    for (const auto& s : buffers) {
      const int32_t wn = s->t.width * kFactor, hn = s->t.height * kFactor;
      orvane::vcl::TCanvas& canvas = s->offscreen.Canvas();
      orvane::FillSolid(canvas, 0, 0, wn, hn, orvane::ColorToTriple(orvane::KeyColorA));
      orvane::gdi::BitBlt(s->a.MemoryDC(), 0, 0, wn, hn, canvas.Handle(), 0, 0, orvane::gdi::SRCCOPY);
      orvane::FillSolid(canvas, 0, 0, wn, hn, orvane::ColorToTriple(orvane::KeyColorB));
      orvane::gdi::BitBlt(s->b.MemoryDC(), 0, 0, wn, hn, canvas.Handle(), 0, 0, orvane::gdi::SRCCOPY);
      s->a.ExtractCoverage(s->b, s->color, s->coverage, s->t.width, s->t.height, kFactor);
      BlendIntoWindow(*s, window);
      bytes += StageBytes(s->t);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_PixelStages)->Unit(benchmark::kMillisecond);

// The pixel stages as the filtered draw runs them: key fills of two
// screen-format surfaces, reduction straight from them, blend.
void BM_DirectPixelStages(benchmark::State& state) {
  const auto buffers = MakeStageBuffers();
  orvane::vcl::TBitmap window;
  window.SetSize(200, 200);
  double bytes = 0;
  for (auto _ : state) {
    for (const auto& s : buffers) {
      orvane::gdi::BitmapObject& a = *s->offscreen.Surface();
      orvane::gdi::BitmapObject& b = *s->offscreenB.Surface();
      orvane::gdi::FillSurface(a, orvane::vcl::ColorToRGB(orvane::KeyColorA));
      orvane::gdi::FillSurface(b, orvane::vcl::ColorToRGB(orvane::KeyColorB));
      orvane::ReduceKeyRenderings({a.Bits(), a.Stride(), 4}, {b.Bits(), b.Stride(), 4},
                                  {s->color.PixelData(), s->color.RowStride()},
                                  {s->coverage.PixelData(), s->coverage.RowStride()}, s->t.width, s->t.height,
                                  kFactor);
      BlendIntoWindow(*s, window);
      bytes += DirectStageBytes(s->t);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_DirectPixelStages)->Unit(benchmark::kMillisecond);

// Baseline: `total` bytes moved with memset and memcpy, half as fills and
// half as a copy (which reads and writes).
void MoveBytes(benchmark::State& state, double total) {
  const size_t block = static_cast<size_t>(total / 4);
  std::vector<uint8_t> from(block, 1), to(block, 0);
  for (auto _ : state) {
    std::memset(to.data(), 0x55, block);
    std::memset(from.data(), 0x66, block);
    std::memcpy(to.data(), from.data(), block);
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(total) * state.iterations());
}

void BM_MemoryBaseline(benchmark::State& state) {
  double total = 0;
  for (const Target& t : kTargets) total += StageBytes(t);
  MoveBytes(state, total);
}
BENCHMARK(BM_MemoryBaseline)->Unit(benchmark::kMillisecond);

void BM_DirectMemoryBaseline(benchmark::State& state) {
  double total = 0;
  for (const Target& t : kTargets) total += DirectStageBytes(t);
  MoveBytes(state, total);
}
BENCHMARK(BM_DirectMemoryBaseline)->Unit(benchmark::kMillisecond);

void BM_CairoAntialiasedTargets(benchmark::State& state) {
  std::vector<cairo_surface_t*> surfaces;
  for (const Target& t : kTargets) surfaces.push_back(cairo_image_surface_create(CAIRO_FORMAT_RGB24, t.width, t.height));
  for (auto _ : state) {
    for (size_t k = 0; k < surfaces.size(); ++k) {
      cairo_t* cr = cairo_create(surfaces[k]);
      cairo_scale(cr, double(kTargets[k].width) / kPictureWidth, double(kTargets[k].height) / kPictureHeight);
      for (const BezierShape& s : Shapes()) {
        cairo_new_path(cr);
        cairo_move_to(cr, std::round(s.startX), std::round(s.startY));
        for (size_t i = 0; i + 5 < s.controls.size(); i += 6)
          cairo_curve_to(cr, std::round(s.controls[i]), std::round(s.controls[i + 1]), std::round(s.controls[i + 2]),
                         std::round(s.controls[i + 3]), std::round(s.controls[i + 4]), std::round(s.controls[i + 5]));
        cairo_close_path(cr);
        cairo_set_source_rgb(cr, (s.rgb & 0xFF) / 255.0, ((s.rgb >> 8) & 0xFF) / 255.0, (s.rgb >> 16) / 255.0);
        cairo_fill(cr);
      }
      cairo_destroy(cr);
    }
  }
  for (auto* s : surfaces) cairo_surface_destroy(s);
}
BENCHMARK(BM_CairoAntialiasedTargets)->Unit(benchmark::kMillisecond);

// Collects the real time per iteration of each benchmark for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median")
        times[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)] =
            run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

// Median wall time in seconds of `draw`, run at least 3 times and for at least 0.2 s.
template <typename Fn>
double MedianSeconds(Fn&& draw) {
  std::vector<double> times;
  double spent = 0;
  while (times.size() < 3 || (spent < 0.2 && times.size() < 1000)) {
    const auto start = std::chrono::steady_clock::now();
    draw();
    const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
  std::printf("\ntime per sample (ns) of a filtered draw, target side x quality level\n");
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
      const double seconds = MedianSeconds(
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
  std::printf("\ntime per target pixel (ns) of the same draws\n%8s", "side");
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

}  // namespace

int main(int argc, char** argv) {
  bool table = true;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--peak_rss_child") == 0) return PeakRssChild();
    if (std::strcmp(argv[i], "--no_linearity_table") == 0) table = false;
    else argv[kept++] = argv[i];
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  auto ratio = [&](const char* a, const char* b) { return t.count(a) && t.count(b) && t[b] > 0 ? t[a] / t[b] : NAN; };
  std::printf("ratio pixel stages / memset+memcpy of the same bytes: %.2f\n", ratio("BM_PixelStages", "BM_MemoryBaseline"));
  std::printf("ratio aliased playback / cairo aliased fill (808 x 808): %.2f\n",
              ratio("BM_AliasedPlayback808", "BM_CairoAliasedFill808"));
  std::printf("ratio four filtered drawings / cairo anti-aliased at the targets: %.2f\n",
              ratio("BM_FourFilteredDrawings", "BM_CairoAntialiasedTargets"));
  std::printf("ratio pixel stages as the filtered draw runs them / memset+memcpy of the same bytes: %.2f\n",
              ratio("BM_DirectPixelStages", "BM_DirectMemoryBaseline"));
  std::printf("ratio four_draws_vs_cairo_aa: %.2f\n", ratio("BM_FourFilteredDrawings", "BM_CairoAntialiasedTargets"));
  std::printf("ratio high_vs_aliased_512: %.2f\n", ratio("BM_FilteredDraw512High", "BM_AliasedDraw512"));
  // Linear in the records: 20 000 polygons cost ten times 2 000 (per-record ratio 1.0).
  std::printf("ratio per_record_20000_vs_2000: %.2f\n",
              ratio("BM_ManyPolygons/20000", "BM_ManyPolygons/2000") / 10);
  if (t.count("BM_ManyPolygons/20000"))
    std::printf("cost a record (20 000 full-picture polygons at 128 x 128, high): %.1f us\n",
                t["BM_ManyPolygons/20000"] * 1e3 / 20000);  // milliseconds a run
  // The declared size of a bitmap record's source costs nothing (ratio 1.0).
  std::printf("ratio rle_declared_4096_vs_16: %.2f\n", ratio("BM_DeclaredBitmaps/4096", "BM_DeclaredBitmaps/16"));
  if (t.count("BM_DeclaredBitmaps/4096"))
    std::printf("cost a record (2 000 StretchDIBits of a declared 4096 x 4096 RLE, 256 x 256, low): %.1f us\n",
                t["BM_DeclaredBitmaps/4096"] * 1e3 / 2000);
  std::printf("ratio veryhigh_vs_low_512: %.2f\n", ratio("BM_FilteredDraw512VeryHigh", "BM_FilteredDraw512Low"));
  std::printf("ratio per_pixel_4096_vs_512: %.2f\n", ratio("BM_FilteredDraw4096High", "BM_FilteredDraw512High") / 64);
  const double fallback = t.count("BM_FallbackDraw512") ? t["BM_FallbackDraw512"] : NAN;
  std::printf("ratio fallback_vs_before: %.2f (%.2f ms now, %.2f ms before)\n", fallback * 1e-3 / kFallbackBefore,
              fallback, kFallbackBefore * 1e3);
  const double rss = ChildPeakRss(argv[0]);
  const double raster = 4.0 * kRssSide * kRssSide;
  std::printf("peak resident size of a %d x %d opqVeryHigh draw: %.1f MiB (its target raster %.1f MiB)\n", kRssSide,
              kRssSide, rss / 1048576, raster / 1048576);
  std::printf("ratio peak_rss_4096_veryhigh_vs_64mib_plus_raster: %.2f\n", rss / (64.0 * 1048576 + raster));
  if (table) PrintLinearityTable();
  benchmark::Shutdown();
  return 0;
}
