// Drawing decoded images into device space: nearest pixel, as GDI's
// COLORONCOLOR stretch mode, with raster operations, masks and alpha.

#include <orvane/gdi/DibImage.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include <orvane/gdi/BitmapObject.h>

namespace orvane::gdi {

namespace {

// --- Axis-aligned stretching --------------------------------------------------

// A ternary raster operation whose result does not depend on the pattern is
// a function of source and destination alone: its low nibble is then the
// same truth table as a binary raster operation's (source in the pen's place).
Rop2 SourceRop(uint32_t rasterOp) {
  const uint32_t table = (rasterOp >> 16) & 0xFF;
  if ((table >> 4) != (table & 15)) return Rop2::CopyPen;
  return static_cast<Rop2>((table & 15) + 1);
}

bool UsesSource(Rop2 rop) {
  return rop != Rop2::Black && rop != Rop2::White && rop != Rop2::Not && rop != Rop2::Nop;
}

// Rounds a device coordinate to a whole pixel, half away from zero, kept
// within the 32-bit range; false when it is not a number.
bool DevicePixel(double v, int64_t& out) {
  if (std::isnan(v)) return false;
  constexpr double lim = 2147483647.0;
  v = v < -lim ? -lim : v > lim ? lim : v;
  out = static_cast<int64_t>(std::round(v));
  return true;
}

// Maps destination offsets [from, to) of an extent `dst` onto the source
// pixels under their centres, mirrored when asked; -1 marks a source pixel
// outside [0, limit). A centre exactly on the boundary of two source pixels
// takes the lower one, as the platform's stretching does:
// srcLow + ceil((2o + 1) * src / (2 dst)) - 1.
void MapAxis(std::vector<int32_t>& map, int64_t from, int64_t to, int64_t dst, int64_t srcLow, int64_t src,
             bool mirror, int32_t limit) {
  map.resize(static_cast<size_t>(to - from));
  for (int64_t o = from; o < to; ++o) {
    const int64_t k = mirror ? dst - 1 - o : o;
    const __int128 num = static_cast<__int128>(2 * k + 1) * src - 1;  // > 0: src >= 1
    const int64_t s = srcLow + static_cast<int64_t>(num / (2 * static_cast<__int128>(dst)));
    map[static_cast<size_t>(o - from)] = (s >= 0 && s < limit) ? static_cast<int32_t>(s) : -1;
  }
}

void Stretch(RenderTarget& target, const DibImage& image, const uint8_t* mask, double dstX, double dstY,
             double dstWidth, double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
             Rop2 rop) {
  if (target.IsEmpty() || rop == Rop2::Nop) return;
  int64_t l, t, r, b;
  if (!DevicePixel(dstX, l) || !DevicePixel(dstY, t) || !DevicePixel(dstX + dstWidth, r) ||
      !DevicePixel(dstY + dstHeight, b))
    return;
  bool flipX = r < l, flipY = b < t;
  if (flipX) std::swap(l, r);
  if (flipY) std::swap(t, b);
  const int64_t dw = r - l, dh = b - t;
  if (dw == 0 || dh == 0) return;
  const Rect clip = target.HeldClipBounds();
  const int64_t vl = std::max<int64_t>(l, clip.left), vr = std::min<int64_t>(r, clip.right);
  const int64_t vt = std::max<int64_t>(t, clip.top), vb = std::min<int64_t>(b, clip.bottom);
  if (vl >= vr || vt >= vb) return;

  if (!UsesSource(rop)) {
    target.SetPaint(Paint::Solid(0, rop));
    for (int64_t y = vt; y < vb; ++y)
      target.Span(static_cast<int32_t>(y), static_cast<int32_t>(vl), static_cast<int32_t>(vr));
    return;
  }

  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<size_t>(image.width) * static_cast<size_t>(image.height))
    return;
  int64_t sx = srcX, sy = srcY, sw = srcWidth, sh = srcHeight;
  if (sw < 0) {
    sx += sw;
    sw = -sw;
    flipX = !flipX;
  }
  if (sh < 0) {
    sy += sh;
    sh = -sh;
    flipY = !flipY;
  }
  if (sw == 0 || sh == 0) return;

  std::vector<int32_t> columns, rows;
  MapAxis(columns, vl - l, vr - l, dw, sx, sw, flipX, image.width);
  MapAxis(rows, vt - t, vb - t, dh, sy, sh, flipY, image.height);

  // The spans of one source row, reused while consecutive rows show it.
  struct Run {
    int32_t x0, x1;
    COLORREF color;
  };
  std::vector<Run> runs;
  int32_t runsRow = -1;
  for (int64_t y = vt; y < vb; ++y) {
    const int32_t srow = rows[static_cast<size_t>(y - vt)];
    if (srow < 0) continue;
    if (srow != runsRow) {
      runs.clear();
      runsRow = srow;
      const COLORREF* src = image.pixels.data() + static_cast<size_t>(srow) * static_cast<size_t>(image.width);
      const uint8_t* m = mask ? mask + static_cast<size_t>(srow) * static_cast<size_t>(image.width) : nullptr;
      for (size_t i = 0; i < columns.size();) {
        const int32_t c = columns[i];
        if (c < 0 || (m && !m[c])) {
          ++i;
          continue;
        }
        const COLORREF color = src[c];
        size_t j = i + 1;
        while (j < columns.size() && columns[j] >= 0 && (!m || m[columns[j]]) && src[columns[j]] == color) ++j;
        runs.push_back(Run{static_cast<int32_t>(vl + static_cast<int64_t>(i)),
                           static_cast<int32_t>(vl + static_cast<int64_t>(j)), color});
        i = j;
      }
    }
    for (const Run& run : runs) {
      target.SetPaint(Paint::Solid(run.color, rop));
      target.Span(static_cast<int32_t>(y), run.x0, run.x1);
    }
  }
}

}  // namespace

void StretchImage(RenderTarget& target, const DibImage& image, double dstX, double dstY, double dstWidth,
                  double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth, int32_t srcHeight,
                  uint32_t rasterOp) {
  Stretch(target, image, nullptr, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight,
          SourceRop(rasterOp));
}

void StretchImageMasked(RenderTarget& target, const DibImage& image, const uint8_t* mask, double dstX, double dstY,
                        double dstWidth, double dstHeight, int32_t srcX, int32_t srcY, int32_t srcWidth,
                        int32_t srcHeight) {
  Stretch(target, image, mask, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth, srcHeight, Rop2::CopyPen);
}

}  // namespace orvane::gdi
