#include "DemoLikePicture.h"

#include <cmath>
#include <random>

#include "emf/EmfWriter.h"

namespace orvanebench {

std::vector<BezierShape> MakeDemoLikeShapes(int count) {
  std::mt19937 random(20261208);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<BezierShape> shapes;
  for (int i = 0; i < count; ++i) {
    BezierShape s;
    s.rgb = static_cast<uint32_t>(random()) & 0xFFFFFF;
    const double cx = unit(random) * kPictureWidth, cy = unit(random) * kPictureHeight;
    const double radius = 4 + unit(random) * 40;
    const int segments = 4 + static_cast<int>(unit(random) * 4);
    const double kappa = 4.0 / 3.0 * std::tan(M_PI / (2.0 * segments));
    std::vector<double> px, py, tx, ty;
    for (int k = 0; k < segments; ++k) {
      const double a = 2 * M_PI * k / segments;
      const double r = radius * (0.5 + unit(random));
      px.push_back(cx + r * std::cos(a));
      py.push_back(cy + r * std::sin(a));
      tx.push_back(-std::sin(a) * r * kappa);
      ty.push_back(std::cos(a) * r * kappa);
    }
    s.startX = px[0];
    s.startY = py[0];
    for (int k = 0; k < segments; ++k) {
      const int n = (k + 1) % segments;
      s.controls.insert(s.controls.end(), {px[k] + tx[k], py[k] + ty[k], px[n] - tx[n], py[n] - ty[n], px[n], py[n]});
    }
    shapes.push_back(std::move(s));
  }
  return shapes;
}

std::vector<uint8_t> MakeDemoLikeMetafile(const std::vector<BezierShape>& shapes, PensAcross pens) {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(kPictureWidth, kPictureHeight));
  w.SetMapMode(orvane::emf::MM_ANISOTROPIC);
  w.SetWindowExtEx(kPictureWidth, kPictureHeight);
  w.SetViewportExtEx(kPictureWidth, kPictureHeight);
  w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::NULL_PEN);
  auto point = [](double x, double y) {
    return orvane::emf::PointS{static_cast<int16_t>(std::lround(x)), static_cast<int16_t>(std::lround(y))};
  };
  for (const BezierShape& s : shapes) {
    const uint32_t brush = w.CreateBrushIndirect(orvane::emf::BS_SOLID, s.rgb);
    w.SelectObject(brush);
    w.BeginPath();
    w.MoveToEx(static_cast<int32_t>(std::lround(s.startX)), static_cast<int32_t>(std::lround(s.startY)));
    std::vector<orvane::emf::PointS> points;
    for (size_t i = 0; i + 1 < s.controls.size(); i += 2) points.push_back(point(s.controls[i], s.controls[i + 1]));
    w.PolyBezierTo16(points);
    w.CloseFigure();
    w.EndPath();
    w.FillPath();
    w.SelectObject(orvane::emf::kStockObjectFlag | orvane::emf::WHITE_BRUSH);
    w.DeleteObject(brush);
  }
  if (pens != PensAcross::None) {
    w.SetROP2(pens == PensAcross::Xor ? 7 : 13);  // R2_XORPEN, R2_COPYPEN
    w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, 9, 0xFFFFFF));
    for (int32_t i = 0; i < 5; ++i) {
      w.MoveToEx(0, 20 + 60 * i);
      w.LineTo(kPictureWidth, 60 * i - 20);
    }
  }
  return w.Finish();
}

}  // namespace orvanebench
