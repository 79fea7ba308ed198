#pragma once
// Helpers for the metafile player tests: a writer whose reference device
// makes one logical unit one destination pixel when the picture is drawn at
// its natural size (1000 x 1000 px on 100 x 100 mm: 1 px = 10 frame units),
// a canvas filled with a known background, and a row-by-row picture of
// which pixels changed.

#include <string>
#include <vector>

#include "emf/EmfWriter.h"
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>

namespace emftest {

constexpr orvane::vcl::TColor kBackground = 0x808080;  // grey: neither the white brush nor the black pen
constexpr orvane::vcl::TColor kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kBlack = 0, kWhite = 0xFFFFFF;

inline orvane::emf::EmfWriter Writer(int32_t width, int32_t height) {
  return orvane::emf::EmfWriter(orvane::emf::HeaderForPixels(width, height, {1000, 1000}, {100, 100}));
}

// A writer whose frame is `frameWidth` x `frameHeight` logical pixels.
inline orvane::emf::EmfWriter WriterWithFrame(int32_t frameWidth, int32_t frameHeight) { return Writer(frameWidth, frameHeight); }

struct Canvas {
  orvane::vcl::TBitmap bitmap;
  Canvas(int32_t width, int32_t height, orvane::vcl::TColor background = kBackground) {
    bitmap.SetSize(width, height);
    Clear(background);
  }
  void Clear(orvane::vcl::TColor background) {
    for (int32_t y = 0; y < bitmap.Height(); ++y)
      for (int32_t x = 0; x < bitmap.Width(); ++x) bitmap.Canvas().SetPixel(x, y, background);
  }
  orvane::vcl::TColor At(int32_t x, int32_t y) { return bitmap.Canvas().Pixel(x, y); }
  void Play(const std::vector<uint8_t>& bytes, const orvane::vcl::TRect& dest) {
    orvane::vcl::TMetafile metafile;
    metafile.LoadFromBytes(bytes.data(), bytes.size());
    bitmap.Canvas().StretchDraw(dest, &metafile);
  }
  void Play(const std::vector<uint8_t>& bytes) { Play(bytes, orvane::vcl::Rect(0, 0, bitmap.Width(), bitmap.Height())); }
  // One string per row: '.' for the background colour, '#' for `ink`, '?' for anything else.
  std::vector<std::string> Rows(orvane::vcl::TColor ink, orvane::vcl::TColor background = kBackground) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < bitmap.Height(); ++y) {
      std::string row;
      for (int32_t x = 0; x < bitmap.Width(); ++x) {
        const orvane::vcl::TColor c = At(x, y);
        row.push_back(c == background ? '.' : c == ink ? '#' : '?');
      }
      rows.push_back(row);
    }
    return rows;
  }
  // Column span [first, last] of `ink` in a row, or {-1, -1}.
  std::pair<int, int> Span(int32_t y, orvane::vcl::TColor ink) {
    int first = -1, last = -1;
    for (int32_t x = 0; x < bitmap.Width(); ++x)
      if (At(x, y) == ink) {
        if (first < 0) first = x;
        last = x;
      }
    return {first, last};
  }
  int Count(orvane::vcl::TColor ink) {
    int n = 0;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
      for (int32_t x = 0; x < bitmap.Width(); ++x) n += At(x, y) == ink;
    return n;
  }
};

// Selects a solid brush of `color` and the null pen.
inline void SolidFill(orvane::emf::EmfWriter& w, uint32_t color) {
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, color));
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
}

// vcl colours (red low) are the same numbers as metafile colour values.
inline uint32_t C(orvane::vcl::TColor c) { return static_cast<uint32_t>(c); }

}  // namespace emftest
