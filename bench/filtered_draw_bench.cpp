// The demo's four filtered drawings at opqHigh (targets 101 x 101, 51 x 51,
// 100 x 120, 50 x 60) of a demo-like picture, per stage and in total, with
// two baselines measured in the same run: moving the same bytes with
// memset/memcpy, and cairo drawing the same shapes anti-aliased directly at
// the target sizes. Prints the ratios at the end.

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "DemoLikePicture.h"
#include "OrvanePicture/ColorTriple.h"
#include "OrvanePicture/FilteredDraw.h"
#include "graphics/Bitmap.h"
#include "graphics/Metafile.h"

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

const vcl::TMetafile& Picture() {
  static vcl::TMetafile* picture = [] {
    auto* m = new vcl::TMetafile();
    const auto bytes = MakeDemoLikeMetafile(Shapes());
    m->LoadFromBytes(bytes.data(), bytes.size());
    return m;
  }();
  return *picture;
}

// Bytes the pixel stages move for one target: two key fills of the 32-bit
// offscreen bitmap, two 32-to-24-bit copies, the reduction reading both
// renderings, and the blend with its two copies (small).
double StageBytes(const Target& t) {
  const double samples = double(t.width) * kFactor * t.height * kFactor;
  const double pixels = double(t.width) * t.height;
  return samples * (2 * 4 + 2 * (4 + 3) + 2 * 3) + pixels * (3 * 3 + 4 * 3);
}

void BM_FourFilteredDrawings(benchmark::State& state) {
  vcl::TBitmap window;
  window.SetSize(600, 402);
  for (auto _ : state) {
    int x = 0;
    for (const Target& t : kTargets) {
      orvane::OrvaneStretchDraw(window.Canvas(), vcl::Bounds(x, 0, t.width - 1, t.height - 1), &Picture(),
                                orvane::opqHigh);
      x += 110;
    }
  }
}
BENCHMARK(BM_FourFilteredDrawings)->Unit(benchmark::kMillisecond);

// The aliased fill alone: the picture played at 8 x the large target.
void BM_AliasedPlayback808(benchmark::State& state) {
  vcl::TBitmap offscreen;
  offscreen.SetSize(808, 808);
  for (auto _ : state) offscreen.Canvas().StretchDraw(vcl::Rect(0, 0, 808, 808), &Picture());
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

// The pixel stages of one filtered drawing at the large target, without the playback.
void BM_PixelStages(benchmark::State& state) {
  vcl::TBitmap offscreen, window;
  window.SetSize(200, 200);
  double bytes = 0;
  for (auto _ : state) {
    for (const Target& t : kTargets) {
      const int32_t wn = t.width * kFactor, hn = t.height * kFactor;
      offscreen.SetSize(wn, hn);
      orvane::TFastBMP a(wn, hn), b(wn, hn), color(t.width, t.height), coverage(t.width, t.height),
          backdrop(t.width, t.height);
      orvane::FillSolid(offscreen.Canvas(), 0, 0, wn, hn, orvane::ColorToTriple(orvane::KeyColorA));
      gdi::BitBlt(a.MemoryDC(), 0, 0, wn, hn, offscreen.Canvas().Handle(), 0, 0, gdi::SRCCOPY);
      orvane::FillSolid(offscreen.Canvas(), 0, 0, wn, hn, orvane::ColorToTriple(orvane::KeyColorB));
      gdi::BitBlt(b.MemoryDC(), 0, 0, wn, hn, offscreen.Canvas().Handle(), 0, 0, gdi::SRCCOPY);
      a.ExtractCoverage(b, color, coverage, t.width, t.height, kFactor);
      gdi::BitBlt(backdrop.MemoryDC(), 0, 0, t.width, t.height, window.Canvas().Handle(), 0, 0, gdi::SRCCOPY);
      backdrop.BlendWithCoverage(color, coverage, t.width, t.height);
      gdi::BitBlt(window.Canvas().Handle(), 0, 0, t.width, t.height, backdrop.MemoryDC(), 0, 0, gdi::SRCCOPY);
      bytes += StageBytes(t);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_PixelStages)->Unit(benchmark::kMillisecond);

// Baseline: the same number of bytes moved with memset and memcpy.
void BM_MemoryBaseline(benchmark::State& state) {
  double total = 0;
  for (const Target& t : kTargets) total += StageBytes(t);
  // Half the traffic as fills, half as copies (each copy reads and writes).
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
BENCHMARK(BM_MemoryBaseline)->Unit(benchmark::kMillisecond);

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
        times[run.run_name.function_name] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.times;
  auto ratio = [&](const char* a, const char* b) { return t.count(a) && t.count(b) && t[b] > 0 ? t[a] / t[b] : NAN; };
  std::printf("ratio pixel stages / memset+memcpy of the same bytes: %.2f\n", ratio("BM_PixelStages", "BM_MemoryBaseline"));
  std::printf("ratio aliased playback / cairo aliased fill (808 x 808): %.2f\n",
              ratio("BM_AliasedPlayback808", "BM_CairoAliasedFill808"));
  std::printf("ratio four filtered drawings / cairo anti-aliased at the targets: %.2f\n",
              ratio("BM_FourFilteredDrawings", "BM_CairoAntialiasedTargets"));
  benchmark::Shutdown();
  return 0;
}
