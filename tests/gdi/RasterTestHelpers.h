#pragma once
// Helpers for rasteriser tests: a white surface with a render target painting
// in ink, and a picture of the result as rows of '#' (ink) and '.' (white).

#include <string>
#include <vector>

#include "GdiTestHelpers.h"
#include <orvane/gdi/detail/Rasterizer.h>

namespace gditest {

constexpr orvane::gdi::COLORREF kPaper = orvane::gdi::RGB(255, 255, 255);
constexpr orvane::gdi::COLORREF kInk = orvane::gdi::RGB(0, 0, 160);

struct RasterCanvas {
  SurfaceDC surface;
  orvane::gdi::RenderTarget target;
  RasterCanvas(int32_t w, int32_t h, int bits = 32, orvane::gdi::Rop2 rop = orvane::gdi::Rop2::CopyPen)
      : surface(w, h, bits), target(*surface.dc) {
    surface.Fill(kPaper);
    // White XOR this ink gives the ink colour; XOR twice gives white again.
    target.SetPaint(orvane::gdi::Paint::Solid(rop == orvane::gdi::Rop2::XorPen ? (kPaper ^ kInk) : kInk, rop));
  }
  bool Inked(int32_t x, int32_t y) const { return surface.At(x, y) == kInk; }
  // One string per row; '?' marks a colour that is neither ink nor paper.
  std::vector<std::string> Picture() const {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < surface.bitmap->Height(); ++y) {
      std::string row;
      for (int32_t x = 0; x < surface.bitmap->Width(); ++x) {
        const orvane::gdi::COLORREF c = surface.At(x, y);
        row += c == kInk ? '#' : c == kPaper ? '.' : '?';
      }
      rows.push_back(row);
    }
    return rows;
  }
  int InkCount() const {
    int n = 0;
    for (const auto& row : Picture())
      for (char c : row) n += c == '#';
    return n;
  }
};

}  // namespace gditest
