// EMR_GRADIENTFILL: rectangles shaded from left to right or top to
// bottom, and triangles shaded between their corners. Vertex colours have
// 16-bit channels; a pixel's channel is the interpolated 16-bit value,
// truncated, then its high byte. Triangles cover the pixels a polygon fill
// of the three corners covers, and each takes the colour at its own point.
// A rectangle under a turning transform is two triangles, which shade it
// the same way.

#include <algorithm>
#include <cmath>

#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

struct Vertex {
  gdi::PointD device;
  double channels[3];  // red, green, blue: 0 .. 65535
};

gdi::COLORREF ColorOf(const double channels[3]) {
  uint8_t c[3];
  for (int i = 0; i < 3; ++i) {
    const double v = std::clamp(std::floor(channels[i]), 0.0, 65535.0);
    c[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> 8);
  }
  return gdi::RGB(c[0], c[1], c[2]);
}

// Paints the pixels [x0, x1) of row y, each in the colour `colorAt` gives, in runs of one colour.
template <class ColorAt>
void ShadeSpan(gdi::RenderTarget& target, int32_t y, int32_t x0, int32_t x1, ColorAt colorAt) {
  for (int32_t x = x0; x < x1;) {
    const gdi::COLORREF c = colorAt(x);
    int32_t end = x + 1;
    while (end < x1 && colorAt(end) == c) ++end;
    target.SetPaint(gdi::Paint::Solid(c));
    target.Span(y, x, end);
    x = end;
  }
}

void ShadeTriangle(gdi::RenderTarget& target, const Vertex& a, const Vertex& b, const Vertex& c) {
  const double x0 = a.device.x, y0 = a.device.y;
  const double ux = b.device.x - x0, uy = b.device.y - y0, vx = c.device.x - x0, vy = c.device.y - y0;
  const double det = ux * vy - uy * vx;
  if (det == 0 || !std::isfinite(det)) return;
  const gdi::Region covered =
      gdi::RegionFromContours({{a.device, b.device, c.device}}, gdi::FillMode::Winding, target.HeldClipBounds());
  for (const gdi::Rect& rect : covered.Rects()) {
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
      ShadeSpan(target, y, rect.left, rect.right, [&](int32_t x) {
        const double px = x - x0, py = y - y0;
        const double wb = (px * vy - vx * py) / det, wc = (ux * py - px * uy) / det, wa = 1 - wb - wc;
        double channels[3];
        for (int i = 0; i < 3; ++i) channels[i] = wa * a.channels[i] + wb * b.channels[i] + wc * c.channels[i];
        return ColorOf(channels);
      });
    }
  }
}

}  // namespace

bool EmfRecordPlayer::PlayGradientRecord(EmfRecordReader& r) {
  r.Skip(16);  // bounds
  const uint32_t vertexCount = r.U32(), objectCount = r.U32(), mode = r.U32();
  if (!r.Ok() || mode > GRADIENT_FILL_TRIANGLE) return true;
  const uint64_t perObject = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
  if (uint64_t{vertexCount} * 16 + uint64_t{objectCount} * perObject * 4 > r.Remaining()) return true;
  std::vector<gdi::Point> logical(vertexCount);
  std::vector<Vertex> vertices(vertexCount);
  for (uint32_t i = 0; i < vertexCount; ++i) {
    logical[i] = r.PointL();
    vertices[i].device = state_.ToDevice(logical[i]);
    for (double& channel : vertices[i].channels) channel = static_cast<uint16_t>(r.I16());
    r.Skip(2);  // alpha: not used on a plain surface
  }
  std::vector<uint32_t> indices;
  if (!r.U32Array(uint64_t{objectCount} * perObject, indices)) return true;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return true;
  const bool upright = state_.LogicalToDevice().AxisAligned();

  for (size_t k = 0; k + perObject <= indices.size(); k += perObject) {
    if (std::any_of(indices.begin() + k, indices.begin() + k + perObject, [&](uint32_t i) { return i >= vertexCount; }))
      continue;
    if (mode == GRADIENT_FILL_TRIANGLE) {
      ShadeTriangle(target, vertices[indices[k]], vertices[indices[k + 1]], vertices[indices[k + 2]]);
      continue;
    }
    const Vertex &v0 = vertices[indices[k]], &v1 = vertices[indices[k + 1]];
    const bool horizontal = mode == GRADIENT_FILL_RECT_H;
    if (!upright) {
      // The other two corners take the colours of the side they lie on.
      const gdi::Point p0 = logical[indices[k]], p1 = logical[indices[k + 1]];
      Vertex c01{state_.ToDevice(gdi::Point{p1.x, p0.y}), {}}, c10{state_.ToDevice(gdi::Point{p0.x, p1.y}), {}};
      std::copy_n(horizontal ? v1.channels : v0.channels, 3, c01.channels);
      std::copy_n(horizontal ? v0.channels : v1.channels, 3, c10.channels);
      ShadeTriangle(target, v0, c01, v1);
      ShadeTriangle(target, v0, v1, c10);
      continue;
    }
    const int32_t ax = RoundToInt(v0.device.x), ay = RoundToInt(v0.device.y);
    const int32_t bx = RoundToInt(v1.device.x), by = RoundToInt(v1.device.y);
    // Shading runs from the vertex on the left (top) to the one on the right (bottom).
    const bool swapped = horizontal ? bx < ax : by < ay;
    const Vertex& from = swapped ? v1 : v0;
    const Vertex& to = swapped ? v0 : v1;
    const gdi::Rect box{std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
    const gdi::Rect clip = target.HeldClipBounds();
    const int32_t top = std::max(box.top, clip.top), bottom = std::min(box.bottom, clip.bottom);
    const int32_t left = std::max(box.left, clip.left), right = std::min(box.right, clip.right);
    const int64_t length = horizontal ? int64_t{box.right} - box.left : int64_t{box.bottom} - box.top;
    if (length <= 0) continue;
    const auto colorAt = [&](int64_t pos) {
      double channels[3];
      for (int i = 0; i < 3; ++i)
        channels[i] = std::floor((from.channels[i] * static_cast<double>(length - pos) +
                                  to.channels[i] * static_cast<double>(pos)) / static_cast<double>(length));
      return ColorOf(channels);
    };
    for (int32_t y = top; y < bottom; ++y) {
      if (horizontal) {
        ShadeSpan(target, y, left, right, [&](int32_t x) { return colorAt(int64_t{x} - box.left); });
      } else {
        const gdi::COLORREF c = colorAt(int64_t{y} - box.top);
        ShadeSpan(target, y, left, right, [c](int32_t) { return c; });
      }
    }
  }
  return true;
}

}  // namespace orvane::emf
