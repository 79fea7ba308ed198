// Writes the seed metafiles for metafile_fuzzer into the folder given on
// the command line (fuzz/corpus/metafile/): small EMFs covering the record
// groups, made with the EMF writer, and a few broken ones.

#include <cstdio>
#include <string>
#include <vector>

#include "emf/EmfWriter.h"

namespace {

void Save(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
  const std::string path = folder + "/" + name;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

orvane::emf::EmfWriter Writer() { return orvane::emf::EmfWriter(orvane::emf::HeaderForPixels(64, 64)); }

std::vector<uint8_t> Shapes() {
  auto w = Writer();
  w.SetMapMode(orvane::emf::MM_ANISOTROPIC);
  w.SetWindowExtEx(640, 640);
  w.SetViewportExtEx(64, 64);
  const uint32_t pen = w.CreatePen(orvane::emf::PS_DASH, 0, orvane::emf::Rgb(0, 0, 255));
  const uint32_t brush = w.CreateBrushIndirect(orvane::emf::BS_HATCHED, orvane::emf::Rgb(255, 0, 0), orvane::emf::HS_DIAGCROSS);
  w.SelectObject(pen);
  w.SelectObject(brush);
  w.Rectangle({10, 10, 300, 200});
  w.Ellipse({100, 100, 600, 400});
  w.RoundRect({50, 400, 400, 600}, {40, 40});
  w.Pie({300, 300, 600, 600}, {600, 450}, {450, 300});
  w.Chord({0, 300, 300, 600}, {0, 450}, {150, 600});
  w.Arc({0, 0, 640, 640}, {640, 320}, {320, 0});
  w.MoveToEx(5, 5);
  w.ArcTo({20, 20, 200, 200}, {200, 110}, {110, 20});
  w.AngleArc({320, 320}, 100, 30, 300);
  w.SetPolyFillMode(orvane::emf::WINDING);
  w.PolyPolygon16({{{0, 0}, {100, 0}, {100, 100}}, {{20, 20}, {80, 20}, {50, 90}}});
  w.Polyline({{0, 630}, {630, 0}});
  w.PolyPolyline16({{{1, 1}, {2, 2}}, {{3, 3}, {4, 4}, {5, 5}}});
  w.PolyDraw({{40, 40}, {60, 40}, {60, 60}, {70, 70}, {80, 40}, {90, 60}},
             {orvane::emf::PT_MOVETO, orvane::emf::PT_LINETO, orvane::emf::PT_LINETO, orvane::emf::PT_BEZIERTO,
              orvane::emf::PT_BEZIERTO, orvane::emf::PT_BEZIERTO | orvane::emf::PT_CLOSEFIGURE});
  w.SetPixelV(32, 32, orvane::emf::Rgb(1, 2, 3));
  w.FillRgn(brush, {{2, 2, 20, 12}, {10, 6, 30, 30}});
  w.PaintRgn({{40, 40, 50, 60}});
  w.InvertRgn({{0, 0, 64, 8}, {4, 4, 8, 40}});
  w.FrameRgn(brush, 3, 2, {{10, 10, 40, 30}, {30, 20, 60, 50}});
  w.DeleteObject(pen);
  w.DeleteObject(brush);
  return w.Finish();
}

std::vector<uint8_t> Paths() {
  auto w = Writer();
  w.SetWorldTransform({0.7f, 0.7f, -0.7f, 0.7f, 32, 0});
  w.SelectObject(w.ExtCreatePen(orvane::emf::PS_GEOMETRIC | orvane::emf::PS_USERSTYLE | orvane::emf::PS_ENDCAP_SQUARE | orvane::emf::PS_JOIN_MITER,
                                3, orvane::emf::Rgb(0, 128, 0), {4, 2, 1, 2}));
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, orvane::emf::Rgb(200, 100, 0)));
  w.SetMiterLimit(4);
  w.BeginPath();
  w.MoveToEx(2, 2);
  w.PolyBezierTo({{20, 0}, {40, 40}, {60, 2}});
  w.LineTo(60, 60);
  w.PolylineTo16({{30, 50}, {2, 60}});
  w.CloseFigure();
  w.PolyDraw16({{5, 5}, {9, 5}, {9, 9}, {12, 9}, {14, 2}, {18, 4}},
               {orvane::emf::PT_MOVETO, orvane::emf::PT_LINETO, orvane::emf::PT_LINETO | orvane::emf::PT_CLOSEFIGURE,
                orvane::emf::PT_BEZIERTO, orvane::emf::PT_BEZIERTO, orvane::emf::PT_BEZIERTO});
  w.Rectangle({10, 10, 20, 20});
  w.EndPath();
  w.StrokeAndFillPath();
  w.SaveDC();
  w.BeginPath();
  w.Ellipse({0, 0, 40, 40});
  w.EndPath();
  w.SelectClipPath(orvane::emf::RGN_AND);
  w.ExcludeClipRect({10, 10, 15, 15});
  w.SetROP2(7);
  w.Polygon16({{0, 0}, {64, 0}, {64, 64}});
  w.RestoreDC(-1);
  w.ModifyWorldTransform({2, 0, 0, 2, 0, 0}, orvane::emf::MWT_RIGHTMULTIPLY);
  w.PolyBezier16({{0, 0}, {10, 30}, {20, -30}, {30, 0}});
  return w.Finish();
}

std::vector<uint8_t> TextAndBitmaps() {
  auto w = Writer();
  orvane::emf::LogFontW font;
  font.height = -14;
  font.escapement = 300;
  font.faceName = u"Segoe UI;Tahoma;Arial Unicode MS";
  w.SelectObject(w.ExtCreateFontIndirectW(font));
  w.SetTextAlign(24 | 6);
  w.SetBkMode(orvane::emf::OPAQUE);
  w.SetBkColor(orvane::emf::Rgb(255, 255, 0));
  const std::vector<int32_t> dx = {8, 8, 8};
  w.ExtTextOutW({32, 32}, u"Abc", orvane::emf::ETO_CLIPPED, {0, 0, 50, 50}, &dx);
  w.ExtTextOutA({2, 60}, "xyz");
  w.SmallTextOut({4, 40}, u"small", orvane::emf::ETO_NO_RECT | orvane::emf::ETO_SMALL_CHARS);
  w.SmallTextOut({4, 50}, u"wide", orvane::emf::ETO_OPAQUE, {0, 45, 30, 58});
  w.PolyTextOutW({{{1, 1}, u"one"}, {{30, 20}, u"two"}});
  w.TransparentBlt(40, 40, 20, 10, orvane::emf::Rgb(0, 0, 255),
                   orvane::emf::MakeDib24(2, 2, {orvane::emf::Rgb(255, 0, 0), orvane::emf::Rgb(0, 0, 255),
                                                 orvane::emf::Rgb(0, 0, 255), orvane::emf::Rgb(0, 255, 0)}),
                   0, 0, 2, 2);
  const orvane::emf::Dib rgb = orvane::emf::MakeDib24(3, 2, {0xFF, 0xFF00, 0xFF0000, 0, 0xFFFFFF, 0x808080});
  const orvane::emf::Dib indexed = orvane::emf::MakeDibIndexed(4, 2, 4, {0xFF, 0xFF00}, {0, 1, 0, 1, 1, 0, 1, 0});
  w.StretchDIBits(0, 0, 30, 20, 0, 0, 3, 2, rgb);
  w.BitBlt(30, 0, 4, 2, orvane::emf::SRCCOPY, &indexed, 0, 0);
  w.StretchBlt(30, 10, 20, 20, orvane::emf::SRCCOPY, indexed, 0, 0, 4, 2);
  w.SetDIBitsToDevice(40, 40, 0, 0, 3, 2, rgb);
  w.SelectObject(w.CreateDIBPatternBrushPt(rgb));
  w.BitBlt(0, 40, 20, 20, orvane::emf::PATCOPY);
  w.SelectObject(w.CreateMonoBrush(orvane::emf::MakeDibIndexed(8, 8, 1, {0, 0xFFFFFF}, std::vector<uint8_t>(64, 1))));
  w.BitBlt(20, 40, 20, 20, orvane::emf::PATINVERT);
  w.ExtSelectClipRgn(orvane::emf::RGN_XOR, {{0, 0, 32, 32}, {40, 40, 60, 60}});
  w.OffsetClipRgn(3, 3);
  w.GdiComment({'E', 'M', 'F', '+', 0, 0, 0, 0});
  return w.Finish();
}

// Blending, mask and parallelogram blits, gradients and palettes, some
// under a turning transform.
std::vector<uint8_t> ImageRecords() {
  auto w = Writer();
  const orvane::emf::Dib argb = orvane::emf::MakeDib32(2, 2, {0x800000FF, 0xFF00FF00, 0x00000000, 0x40404040});
  const orvane::emf::Dib mask = orvane::emf::MakeDibIndexed(2, 2, 1, {0, 0xFFFFFF}, {1, 0, 0, 1});
  w.AlphaBlend(0, 0, 30, 30, 200, true, argb, 0, 0, 2, 2);
  w.MaskBlt(30, 0, 2, 2, (0xAAu << 24) | orvane::emf::SRCCOPY, argb, 0, 0, &mask, 0, 0);
  w.PlgBlt({{{40, 40}, {60, 30}, {30, 60}}}, argb, 0, 0, 2, 2, &mask, 0, 0);
  w.GradientFill({{0, 0, 0xFF00, 0, 0, 0}, {64, 32, 0, 0xFF00, 0, 0}, {0, 64, 0, 0, 0xFF00, 0}}, {0, 1, 2},
                 orvane::emf::GRADIENT_FILL_TRIANGLE);
  w.GradientFill({{0, 0, 0xFF00, 0, 0, 0}, {32, 16, 0, 0, 0xFF00, 0}}, {0, 1}, orvane::emf::GRADIENT_FILL_RECT_V);
  const uint32_t palette = w.CreatePalette({0xFF, 0xFF00, 0xFF0000});
  w.SelectPalette(palette);
  w.RealizePalette();
  w.SetPaletteEntries(palette, 1, {0x00FFFF});
  w.ResizePalette(palette, 5);
  w.StretchDIBits(0, 32, 16, 16, 0, 0, 2, 1, orvane::emf::MakeDibPaletteIndexed(2, 1, 8, {0, 4}, {0, 1}),
                  orvane::emf::SRCCOPY, orvane::emf::DIB_PAL_COLORS);
  w.SetWorldTransform({0.8f, 0.6f, -0.6f, 0.8f, 20, 0});
  w.StretchBlt(0, 0, 20, 10, orvane::emf::SRCCOPY, argb, 0, 0, 2, 2);
  w.GradientFill({{0, 0, 0xFF00, 0, 0, 0}, {32, 16, 0, 0, 0xFF00, 0}}, {0, 1}, orvane::emf::GRADIENT_FILL_RECT_H);
  return w.Finish();
}

// Ternary raster operations with pattern and source: hatches in both
// background modes, a pattern brush, a mask with a pattern operation for
// its background, and a fill by an operation without a source.
std::vector<uint8_t> TernaryOperations() {
  auto w = Writer();
  const orvane::emf::Dib rgb = orvane::emf::MakeDib24(3, 2, {0xFF, 0xFF00, 0xFF0000, 0, 0xFFFFFF, 0x808080});
  const orvane::emf::Dib mask = orvane::emf::MakeDibIndexed(2, 2, 1, {0, 0xFFFFFF}, {1, 0, 0, 1});
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, 0x3060C0));
  w.Rectangle({0, 0, 40, 64});
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_HATCHED, 0, orvane::emf::HS_DIAGCROSS));
  w.StretchBlt(2, 2, 60, 20, 0x00B8074A, rgb, 0, 0, 3, 2);
  w.SetBkMode(orvane::emf::TRANSPARENT);
  w.StretchBlt(2, 24, 60, 20, 0x00E20746, rgb, 0, 0, 3, 2);
  w.SelectObject(w.CreateDIBPatternBrushPt(rgb));
  w.MaskBlt(0, 40, 64, 20, (0x5Au << 24) | 0x00C000CA, rgb, 0, 0, &mask, 0, 0);
  w.BitBlt(10, 10, 40, 40, 0x00A000C9);
  return w.Finish();
}

// Bitmap records whose run-length sources declare far more than their few
// bytes hold, with encoded and absolute runs, deltas and a mask.
std::vector<uint8_t> ClaimedBitmaps() {
  auto w = Writer();
  const orvane::emf::Dib rle8 = orvane::emf::MakeDibRle(
      4096, 4096, 8, {0xFF, 0xFF00, 0xFF0000},
      {0x03, 0x01, 0x00, 0x03, 0x02, 0x00, 0x01, 0x00, 0x00, 0x02, 0x05, 0x40, 0x07, 0x02, 0x00, 0x01});
  const orvane::emf::Dib rle4 =
      orvane::emf::MakeDibRle(2000, 3000, 4, {0xFF, 0xFF00, 0xFF0000}, {0x05, 0x12, 0x00, 0x03, 0x21, 0x20, 0x00, 0x01});
  const orvane::emf::Dib mask = orvane::emf::MakeDibIndexed(2, 2, 1, {0, 0xFFFFFF}, {1, 0, 0, 1});
  w.StretchDIBits(0, 0, 64, 64, 0, 0, 4096, 4096, rle8);
  w.SetDIBitsToDevice(0, 0, 0, 4090, 64, 64, rle8);
  w.StretchBlt(0, 0, 64, 64, orvane::emf::SRCINVERT, rle4, 0, 0, 2000, 3000);
  w.TransparentBlt(0, 0, 64, 64, 0xFF, rle8, 0, 0, 4096, 4096);
  w.AlphaBlend(0, 0, 64, 64, 128, false, rle4, 0, 2990, 10, 10);
  w.MaskBlt(0, 0, 64, 64, (0xAAu << 24) | orvane::emf::SRCCOPY, rle8, 0, 0, &mask, 0, 0);
  w.PlgBlt({{{40, 0}, {64, 30}, {0, 40}}}, rle4, 0, 0, 2000, 3000, &mask, 1, 1);
  return w.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : ".";
  Save(folder, "shapes.emf", Shapes());
  Save(folder, "paths.emf", Paths());
  Save(folder, "text-bitmaps.emf", TextAndBitmaps());
  Save(folder, "image-records.emf", ImageRecords());
  Save(folder, "ternary-ops.emf", TernaryOperations());
  Save(folder, "claimed-bitmaps.emf", ClaimedBitmaps());

  // Broken: a record of size 0, a count far beyond the record, a handle out
  // of range, a file cut short (byte count patched to match), mapping to 0.
  auto w = Writer();
  w.Record(orvane::emf::EMR_POLYGON, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x40, 0x42, 0x0F, 0, 1, 0, 0, 0});
  w.SelectObject(40000);
  w.Raw({orvane::emf::EMR_SAVEDC, 0, 0, 0, 0, 0, 0, 0});
  Save(folder, "broken-records.emf", w.Finish());
  std::vector<uint8_t> cut = Shapes();
  cut.resize(cut.size() / 2 / 4 * 4);
  const uint32_t n = static_cast<uint32_t>(cut.size());
  for (int i = 0; i < 4; ++i) cut[orvane::emf::header::kBytes + static_cast<size_t>(i)] = static_cast<uint8_t>(n >> (8 * i));
  Save(folder, "cut-short.emf", cut);
  auto z = Writer();
  z.SetMapMode(orvane::emf::MM_ISOTROPIC);
  z.SetWindowExtEx(0, 0);
  z.ScaleViewportExtEx(0, 0, 1, 0);
  z.SetWorldTransform({0, 0, 0, 0, 0, 0});
  z.Ellipse({0, 0, 64, 64});
  Save(folder, "degenerate-mapping.emf", z.Finish());
  return 0;
}
