#include "pictures/PictureEmf.h"

#include <cmath>

namespace orvanetools {

namespace {

constexpr orvane::emf::SizeL kDevicePixels{640, 480};
constexpr orvane::emf::SizeL kDeviceMillimeters{169, 127};

// Truncated, so that converting back stays within 0.04 pixel below the
// size and rounds to it.
int32_t FrameExtent(int64_t pixels, int64_t devicePixels, int64_t deviceMillimeters) {
  return static_cast<int32_t>(pixels * deviceMillimeters * 100 / devicePixels);
}

int16_t Unit(double v) {
  // The parser keeps coordinates within -32768..32767; clamp anyway for
  // pictures built in code.
  const double r = std::round(v);
  return static_cast<int16_t>(r < -32768 ? -32768 : r > 32767 ? 32767 : r);
}

orvane::emf::PointS Point(const PathPoint& p) { return orvane::emf::PointS{Unit(p.x), Unit(p.y)}; }

void WritePath(orvane::emf::EmfWriter& w, const PathShape& shape) {
  w.BeginPath();
  std::vector<orvane::emf::PointS> cubics;
  const auto flush = [&] {
    if (!cubics.empty()) w.PolyBezierTo16(cubics);
    cubics.clear();
  };
  for (const PathCommand& c : shape.commands) {
    if (c.op != PathOp::Cubic) flush();
    switch (c.op) {
      case PathOp::Move: {
        const orvane::emf::PointS p = Point(c.points[0]);
        w.MoveToEx(p.x, p.y);
        break;
      }
      case PathOp::Line: {
        const orvane::emf::PointS p = Point(c.points[0]);
        w.LineTo(p.x, p.y);
        break;
      }
      case PathOp::Cubic:
        for (const PathPoint& p : c.points) cubics.push_back(Point(p));
        break;
      case PathOp::Close:
        w.CloseFigure();
        break;
    }
  }
  flush();
  w.EndPath();
}

}  // namespace

orvane::emf::HeaderInfo PictureHeader(int width, int height) {
  orvane::emf::HeaderInfo h;
  h.devicePixels = kDevicePixels;
  h.deviceMillimeters = kDeviceMillimeters;
  h.bounds = orvane::emf::RectL{0, 0, width - 1, height - 1};
  h.frame = orvane::emf::RectL{0, 0, FrameExtent(width, kDevicePixels.cx, kDeviceMillimeters.cx),
                       FrameExtent(height, kDevicePixels.cy, kDeviceMillimeters.cy)};
  return h;
}

std::vector<uint8_t> EncodePictureEmf(const PathPicture& picture) {
  orvane::emf::EmfWriter w(PictureHeader(picture.width, picture.height));
  w.SetMapMode(orvane::emf::MM_ANISOTROPIC);
  w.SetWindowOrgEx(0, 0);
  w.SetWindowExtEx(picture.width, picture.height);
  w.SetViewportOrgEx(0, 0);
  w.SetViewportExtEx(picture.width, picture.height);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  bool haveMode = false;
  bool alternate = false;
  for (const PathShape& shape : picture.shapes) {
    if (!haveMode || shape.alternate != alternate) {
      w.SetPolyFillMode(shape.alternate ? orvane::emf::ALTERNATE : orvane::emf::WINDING);
      haveMode = true;
      alternate = shape.alternate;
    }
    const uint32_t brush = w.CreateBrushIndirect(orvane::emf::BS_SOLID, shape.rgb);
    w.SelectObject(brush);
    WritePath(w, shape);
    w.FillPath();
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::WHITE_BRUSH);
    w.DeleteObject(brush);
  }
  return w.Finish();
}

}  // namespace orvanetools
