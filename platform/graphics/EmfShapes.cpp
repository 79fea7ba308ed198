// Lines, curves and shapes: the poly records (16- and 32-bit points),
// LineTo, the box shapes, the arcs, SetPixelV; and the two ways every shape
// is drawn: filled with the brush by the DC's fill mode, then outlined with
// the pen. Inside a path bracket the same records add figures to the path.
//
// Box shapes follow GDI's compatible graphics mode: the box excludes its
// right and bottom edges, so a rectangle outline runs along right - 1 and
// bottom - 1, and without a pen the fill is one pixel narrower and shorter.

#include <algorithm>
#include <cmath>

#include <orvane/gdi/RectangleShape.h>
#include <orvane/gdi/detail/BrushPaint.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr size_t kMaxFlattenedPoints = size_t{1} << 21;
constexpr double kPi = 3.14159265358979323846;

double NormalisedSweep(double from, double to, bool clockwise) {
  double sweep = to - from;
  if (clockwise) {
    while (sweep >= 0) sweep -= 2 * kPi;
    while (sweep < -2 * kPi) sweep += 2 * kPi;
  } else {
    while (sweep <= 0) sweep += 2 * kPi;
    while (sweep > 2 * kPi) sweep -= 2 * kPi;
  }
  return sweep;
}

}  // namespace

bool EmfRecordPlayer::PlayShapeRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_LINETO: {
      const gdi::Point p = r.PointL();
      if (r.Ok()) LinesFromCurrent({p});
      return true;
    }
    case EMR_POLYGON: case EMR_POLYLINE: case EMR_POLYBEZIER: case EMR_POLYLINETO: case EMR_POLYBEZIERTO:
      PolyRecord(r, false);
      return true;
    case EMR_POLYGON16: case EMR_POLYLINE16: case EMR_POLYBEZIER16: case EMR_POLYLINETO16:
    case EMR_POLYBEZIERTO16:
      PolyRecord(r, true);
      return true;
    case EMR_POLYPOLYGON: case EMR_POLYPOLYLINE: PolyPolyRecord(r, false); return true;
    case EMR_POLYDRAW: PolyDraw(r, false); return true;
    case EMR_POLYDRAW16: PolyDraw(r, true); return true;
    case EMR_POLYPOLYGON16: case EMR_POLYPOLYLINE16: PolyPolyRecord(r, true); return true;
    case EMR_RECTANGLE: case EMR_ELLIPSE: case EMR_ROUNDRECT: BoxRecord(r); return true;
    case EMR_ARC: case EMR_ARCTO: case EMR_CHORD: case EMR_PIE: ArcRecord(r); return true;
    case EMR_ANGLEARC: AngleArc(r); return true;
    case EMR_SETPIXELV: SetPixel(r); return true;
    default: return false;
  }
}

// --- drawing ----------------------------------------------------------------

void EmfRecordPlayer::PreparePaintDc() {
  const DcState& dc = state_.Dc();
  paintDc_.rop2 = dc.rop2;
  paintDc_.bkColor = dc.bkColor;
  paintDc_.bkMode = dc.bkMode;
  paintDc_.brushOrigin = dc.brushOrigin;
}

bool EmfRecordPlayer::BrushPaint(gdi::Paint& paint) {
  const DcState& dc = state_.Dc();
  PreparePaintDc();
  if (dc.brush.color != BrushObject::Color::Own) {
    gdi::Brush brush = dc.brush.brush;
    brush.color = dc.brush.color == BrushObject::Color::Text ? dc.textColor : dc.bkColor;
    return gdi::BrushPaint(paintDc_, brush, paint);
  }
  if (!dc.brush.mono || !dc.brush.brush.pattern) return gdi::BrushPaint(paintDc_, dc.brush.brush, paint);
  // A monochrome brush: 0 bits in the text colour, 1 bits in the background colour.
  const gdi::PatternImage& source = *dc.brush.brush.pattern;
  if (!monoPattern_) monoPattern_ = std::make_shared<gdi::PatternImage>();
  monoPattern_->width = source.width;
  monoPattern_->height = source.height;
  monoPattern_->pixels.resize(source.pixels.size());
  for (size_t i = 0; i < source.pixels.size(); ++i)
    monoPattern_->pixels[i] = source.pixels[i] == dc.brush.monoZero ? dc.textColor : dc.bkColor;
  gdi::Brush brush = dc.brush.brush;
  brush.pattern = monoPattern_;
  return gdi::BrushPaint(paintDc_, brush, paint);
}

gdi::StrokeStyle EmfRecordPlayer::PenStyle(bool* thickenedCosmetic) {
  // A simple pen no wider than one device pixel is cosmetic; user dash
  // lengths scale like the width.
  // A pen wider than twice the destination's perimeter covers all of it
  // wherever its centre line crosses it; wider pens only cost time.
  const gdi::Pen& pen = state_.Dc().pen;
  const gdi::Rect area = state_.Universe().Bounds();
  const double widest = 2.0 * (double(area.Width()) + area.Height()) + 16;
  gdi::StrokeStyle style = gdi::StrokeStyleFor(pen, std::min(state_.DeviceLengthX(pen.width), widest));
  style.miterLimit = state_.Dc().miterLimit;
  if (thinPenWidth_ > 0 && style.width < thinPenWidth_) {
    // Drawn thicker, the pattern keeps its look: cosmetic dashes and dots
    // (in pixels) grow by the new width, geometric ones (in widths) with it.
    const double scale = thinPenWidth_ / style.width;
    for (double& d : style.dashes) d *= scale;
    if (style.cosmetic) {
      if (thickenedCosmetic) *thickenedCosmetic = true;
      style.cosmetic = false;
      style.endCap = gdi::PenEndCap::Flat;
      style.join = gdi::PenJoin::Miter;
      style.gapPaint = nullptr;
    }
    style.width = thinPenWidth_;
  }
  return style;
}

void EmfRecordPlayer::LimitDashCost(gdi::StrokeStyle& style, const std::vector<gdi::PointD>& points) {
  // Each dash of a wide pen is filled as its own piece, so many short dashes
  // of a wide pen cost far more than the area they cover. Past a budget of
  // a few destination areas the line is drawn solid.
  if (style.cosmetic || style.dashes.empty()) return;
  const gdi::Rect area = state_.Universe().Bounds();
  const double diagonal = std::hypot(double(area.Width()), double(area.Height())) + 2 * style.width;
  double period = 0, length = 0;
  for (double d : style.dashes) period += d;
  for (size_t i = 1; i < points.size(); ++i)
    length += std::min(std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y), diagonal);
  const double pieces = period > 0 ? length / period * double(style.dashes.size()) / 2 : 0;
  const double budget = 16.0 * (double(area.Width()) * area.Height() + 1024);
  if (!(pieces * std::min(style.width, diagonal) * std::min(style.width, diagonal) <= budget)) style.dashes.clear();
}

void EmfRecordPlayer::Fill(const std::vector<gdi::Contour>& contours) { Fill(contours, state_.Dc().fillMode); }

void EmfRecordPlayer::Fill(const std::vector<gdi::Contour>& contours, gdi::FillMode mode) {
  gdi::Paint paint;
  if (contours.empty() || !BrushPaint(paint)) return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  target.SetPaint(paint);
  gdi::FillPolygons(target, contours, mode);
}

void EmfRecordPlayer::Stroke(const std::vector<gdi::PointD>& points, bool closed) {
  const DcState& dc = state_.Dc();
  if (dc.pen.style == gdi::PenStyle::Null || points.size() < 2) return;
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;
  bool thickenedCosmetic = false;
  gdi::StrokeStyle style = PenStyle(&thickenedCosmetic);
  LimitDashCost(style, points);
  // The gaps of a cosmetic dashed line take the background colour in opaque mode.
  const gdi::Paint gaps = gdi::Paint::Solid(dc.bkColor, dc.rop2);
  if (dc.bkMode == gdi::BackgroundMode::Opaque) style.gapPaint = &gaps;
  target.SetPaint(gdi::Paint::Solid(dc.pen.color, dc.rop2));
  if (dc.pen.hatched) {
    // The hatch in the pen colour over the pen's area.
    gdi::Brush hatch;
    hatch.style = gdi::BrushStyle::Hatched;
    hatch.color = dc.pen.color;
    hatch.hatch = dc.pen.hatch;
    gdi::Paint paint;
    PreparePaintDc();
    if (gdi::BrushPaint(paintDc_, hatch, paint)) target.SetPaint(paint);
  }
  if (thickenedCosmetic) {
    // A one-pixel line paints the pixels to the right of and below its
    // points: the thick line covers the blocks those pixels begin.
    std::vector<gdi::PointD> moved = points;
    for (gdi::PointD& p : moved) p = {p.x + thinPenWidth_ / 2, p.y + thinPenWidth_ / 2};
    gdi::StrokePolyline(target, moved, closed, style);
    return;
  }
  gdi::StrokePolyline(target, points, closed, style);
}

void EmfRecordPlayer::FillAndStroke(const std::vector<gdi::PointD>& outline) {
  Fill({outline});
  Stroke(outline, true);
}

std::vector<gdi::PointD> EmfRecordPlayer::DevicePoints(const std::vector<gdi::Point>& logical) {
  std::vector<gdi::PointD> out;
  out.reserve(logical.size());
  for (const gdi::Point& p : logical) out.push_back(state_.ToDevice(p));
  return out;
}

std::vector<gdi::PointD> EmfRecordPlayer::FlattenBeziers(const std::vector<gdi::PointD>& d) {
  std::vector<gdi::PointD> out;
  if (d.empty()) return out;
  out.push_back(d[0]);
  for (size_t i = 1; i + 2 < d.size() && out.size() < kMaxFlattenedPoints; i += 3)
    gdi::FlattenBezier(d[i - 1], d[i], d[i + 1], d[i + 2], out);
  return out;
}

// --- the figure sink ---------------------------------------------------------

bool EmfRecordPlayer::TakenByPath(const std::vector<gdi::Contour>& figures, bool closed) {
  if (!path_.Recording()) return false;
  for (const gdi::Contour& f : figures) path_.AddFigure(f, closed);
  return true;
}

void EmfRecordPlayer::Figures(const std::vector<gdi::Contour>& figures, bool closed) {
  if (TakenByPath(figures, closed)) return;
  if (closed) Fill(figures);
  for (const gdi::Contour& f : figures) Stroke(f, closed);
}

EmfRecordPlayer::Segments::Segments(EmfRecordPlayer& player, gdi::PointD from)
    : player_(player), toPath_(player.path_.Recording()), at_(from), start_(from) {
  if (!toPath_) figure_.push_back(from);
}

void EmfRecordPlayer::Segments::MoveTo(gdi::PointD to) {
  End();
  if (toPath_) player_.path_.MoveTo();
  else figure_.assign(1, to);
  at_ = start_ = to;
}

void EmfRecordPlayer::Segments::LineTo(gdi::PointD to) {
  if (toPath_) player_.path_.LineTo(at_, to);
  else figure_.push_back(to);
  at_ = to;
}

void EmfRecordPlayer::Segments::BezierTo(gdi::PointD c1, gdi::PointD c2, gdi::PointD to) {
  if (toPath_) player_.path_.BezierTo(at_, c1, c2, to);
  else if (figure_.size() < kMaxFlattenedPoints) gdi::FlattenBezier(at_, c1, c2, to, figure_);
  at_ = to;
}

void EmfRecordPlayer::Segments::Close() {
  if (toPath_) player_.path_.CloseFigure();
  else player_.Stroke(figure_, true);
  figure_.assign(toPath_ ? 0 : 1, start_);
  at_ = start_;
}

void EmfRecordPlayer::Segments::End() {
  if (!toPath_) player_.Stroke(figure_, false);
  figure_.clear();
}

void EmfRecordPlayer::SegmentsFrom(gdi::PointD from, const std::vector<gdi::PointD>& points) {
  Segments segments(*this, from);
  for (const gdi::PointD& p : points) segments.LineTo(p);
  segments.End();
}

void EmfRecordPlayer::LinesFromCurrent(const std::vector<gdi::Point>& points) {
  if (points.empty()) return;
  DcState& dc = state_.Dc();
  const gdi::PointD from = state_.ToDevice(dc.position);
  dc.position = gdi::PointD{double(points.back().x), double(points.back().y)};
  SegmentsFrom(from, DevicePoints(points));
}

void EmfRecordPlayer::BeziersFromCurrent(const std::vector<gdi::Point>& points) {
  if (points.empty()) return;
  DcState& dc = state_.Dc();
  std::vector<gdi::PointD>& device = curvePoints_;
  device.clear();
  device.push_back(state_.ToDevice(dc.position));
  for (const gdi::Point& p : points) device.push_back(state_.ToDevice(p));
  dc.position = gdi::PointD{double(points.back().x), double(points.back().y)};
  Segments segments(*this, device[0]);
  for (size_t i = 1; i + 2 < device.size(); i += 3) segments.BezierTo(device[i], device[i + 1], device[i + 2]);
  segments.End();
}

// --- poly records -----------------------------------------------------------

void EmfRecordPlayer::PolyRecord(EmfRecordReader& r, bool sixteenBit) {
  r.Skip(16);  // bounds
  const uint32_t count = r.U32();
  std::vector<gdi::Point>& points = polyPoints_;
  if (!r.Ok() || !r.Points(count, sixteenBit, points)) return;
  switch (r.Type()) {
    case EMR_POLYGON: case EMR_POLYGON16:
      if (points.size() >= 2) Figure(DevicePoints(points), true);
      return;
    case EMR_POLYLINE: case EMR_POLYLINE16:
      if (points.size() >= 2) Figure(DevicePoints(points), false);
      return;
    case EMR_POLYLINETO: case EMR_POLYLINETO16: LinesFromCurrent(points); return;
    case EMR_POLYBEZIER: case EMR_POLYBEZIER16: {
      if (points.empty() || (points.size() - 1) % 3 != 0) return;
      Figure(FlattenBeziers(DevicePoints(points)), false);
      return;
    }
    case EMR_POLYBEZIERTO: case EMR_POLYBEZIERTO16:
      if (points.size() % 3 == 0) BeziersFromCurrent(points);
      return;
    default: return;
  }
}

void EmfRecordPlayer::PolyPolyRecord(EmfRecordReader& r, bool sixteenBit) {
  r.Skip(16);  // bounds
  const uint32_t polys = r.U32(), total = r.U32();
  std::vector<uint32_t> counts;
  std::vector<gdi::Point> points;
  if (!r.Ok() || !r.U32Array(polys, counts)) return;
  uint64_t sum = 0;
  for (uint32_t c : counts) sum += c;
  if (sum != total || !r.Points(total, sixteenBit, points)) return;

  const bool polygon = r.Type() == EMR_POLYPOLYGON || r.Type() == EMR_POLYPOLYGON16;
  const std::vector<gdi::PointD> device = DevicePoints(points);
  std::vector<gdi::Contour> figures;
  size_t at = 0;
  for (uint32_t c : counts) {
    if (c >= 2) figures.emplace_back(device.begin() + static_cast<ptrdiff_t>(at),
                                     device.begin() + static_cast<ptrdiff_t>(at + c));
    at += c;
  }
  Figures(figures, polygon);
}

// Points of move-to, line-to and Bézier-to types, any of them closing its
// figure, from the current position. The types are checked first: a record
// with an unknown type or a Bézier run cut short draws nothing. Drawn, each
// figure is one polyline (closed where a point closed it); in a path, the
// segments go to it as they come.
void EmfRecordPlayer::PolyDraw(EmfRecordReader& r, bool sixteenBit) {
  r.Skip(16);  // bounds
  const uint32_t count = r.U32();
  std::vector<gdi::Point> points;
  if (!r.Ok() || !r.Points(count, sixteenBit, points) || r.Remaining() < count) return;
  std::vector<uint8_t> types(count);
  for (uint8_t& t : types) t = r.U8();
  for (size_t i = 0; i < count;) {
    const uint8_t kind = types[i] & ~PT_CLOSEFIGURE;
    if (kind == PT_BEZIERTO) {
      if (count - i < 3) return;
      for (size_t k = 0; k < 3; ++k)
        if ((types[i + k] & ~PT_CLOSEFIGURE) != PT_BEZIERTO || (k < 2 && (types[i + k] & PT_CLOSEFIGURE))) return;
      i += 3;
    } else if (kind == PT_LINETO || (kind == PT_MOVETO && !(types[i] & PT_CLOSEFIGURE))) {
      ++i;
    } else {
      return;
    }
  }
  DcState& dc = state_.Dc();
  gdi::PointD position = dc.position, startPosition = position;  // logical: now, and where the figure began
  Segments segments(*this, state_.ToDevice(position));
  for (size_t i = 0; i < count;) {
    const uint8_t kind = types[i] & ~PT_CLOSEFIGURE;
    if (kind == PT_MOVETO) {
      position = startPosition = gdi::PointD{double(points[i].x), double(points[i].y)};
      segments.MoveTo(state_.ToDevice(points[i]));
      ++i;
      continue;
    }
    const size_t step = kind == PT_BEZIERTO ? 3 : 1;
    const bool closes = types[i + step - 1] & PT_CLOSEFIGURE;
    if (kind == PT_LINETO) {
      segments.LineTo(state_.ToDevice(points[i]));
    } else {
      segments.BezierTo(state_.ToDevice(points[i]), state_.ToDevice(points[i + 1]), state_.ToDevice(points[i + 2]));
    }
    position = gdi::PointD{double(points[i + step - 1].x), double(points[i + step - 1].y)};
    i += step;
    if (closes) {  // a line back to the figure's start, which becomes the current point
      segments.Close();
      position = startPosition;
    }
  }
  segments.End();
  dc.position = position;
}

// --- box shapes -------------------------------------------------------------

bool EmfRecordPlayer::DeviceBox(const gdi::Rect& logical, double& l, double& t, double& r, double& b) {
  if (!state_.LogicalToDevice().AxisAligned()) return false;
  const gdi::PointD p = state_.ToDevice(gdi::Point{logical.left, logical.top});
  const gdi::PointD q = state_.ToDevice(gdi::Point{logical.right, logical.bottom});
  l = std::round(std::min(p.x, q.x));
  t = std::round(std::min(p.y, q.y));
  r = std::round(std::max(p.x, q.x));
  b = std::round(std::max(p.y, q.y));
  return true;
}

std::vector<gdi::PointD> EmfRecordPlayer::SampleArc(gdi::PointD centre, double rx, double ry, double start,
                                                    double sweep) {
  // Segments short enough to stay within a quarter pixel of the curve.
  const double radius = std::max({state_.DeviceLengthX(rx), state_.DeviceLengthY(ry), 1.0});
  const double step = 2 * std::acos(std::max(-1.0, 1 - 0.25 / radius));
  const double n = std::clamp(std::ceil(std::fabs(sweep) / std::max(step, 1e-6)), 2.0, 4096.0);
  std::vector<gdi::PointD> out;
  out.reserve(static_cast<size_t>(n) + 1);
  for (int i = 0; i <= static_cast<int>(n); ++i) {
    const double a = start + sweep * i / n;
    out.push_back(state_.ToDevice(gdi::PointD{centre.x + rx * std::cos(a), centre.y - ry * std::sin(a)}));
  }
  return out;
}

gdi::Contour EmfRecordPlayer::EllipseOutline(const gdi::Rect& box) {
  double l, t, r, b;
  if (DeviceBox(box, l, t, r, b)) return gdi::EllipseContour(l, t, r, b);
  const gdi::PointD centre{(double(box.left) + box.right) / 2, (double(box.top) + box.bottom) / 2};
  gdi::Contour c = SampleArc(centre, std::fabs(double(box.right) - box.left) / 2,
                             std::fabs(double(box.bottom) - box.top) / 2, 0, 2 * kPi);
  c.pop_back();
  return c;
}

// A rounded rectangle under a transform that turns or shears it: its four
// corner arcs sampled in logical space and mapped, the sides joining them.
gdi::Contour EmfRecordPlayer::RoundRectOutline(const gdi::Rect& box, gdi::Point corner) {
  const double l = std::min(box.left, box.right), r = std::max(box.left, box.right);
  const double t = std::min(box.top, box.bottom), b = std::max(box.top, box.bottom);
  const double rx = std::min(std::fabs(double(corner.x)) / 2, (r - l) / 2);
  const double ry = std::min(std::fabs(double(corner.y)) / 2, (b - t) / 2);
  if (rx <= 0 || ry <= 0) {
    return {state_.ToDevice(gdi::PointD{l, t}), state_.ToDevice(gdi::PointD{r, t}), state_.ToDevice(gdi::PointD{r, b}),
            state_.ToDevice(gdi::PointD{l, b})};
  }
  // Counter-clockwise from the right end of the top side's arc, as the angles grow.
  const gdi::PointD centres[4] = {{r - rx, t + ry}, {l + rx, t + ry}, {l + rx, b - ry}, {r - rx, b - ry}};
  gdi::Contour outline;
  for (int quarter = 0; quarter < 4; ++quarter) {
    const std::vector<gdi::PointD> arc = SampleArc(centres[quarter], rx, ry, quarter * kPi / 2, kPi / 2);
    outline.insert(outline.end(), arc.begin(), arc.end());
  }
  return outline;
}

void EmfRecordPlayer::BoxRecord(EmfRecordReader& r) {
  const gdi::Rect box = r.RectL();
  gdi::Point corner;
  if (r.Type() == EMR_ROUNDRECT) corner = r.PointL();
  if (!r.Ok()) return;
  const DcState& dc = state_.Dc();
  const bool hasPen = dc.pen.style != gdi::PenStyle::Null;
  double l, t, rt, b;
  const bool axisAligned = DeviceBox(box, l, t, rt, b);
  if (axisAligned && hasPen && dc.pen.style == gdi::PenStyle::InsideFrame) {
    // The pen stays inside the box: the outline moves in by half its width.
    const double inset = std::floor(state_.DeviceLengthX(dc.pen.width) / 2);
    if (inset > 0 && rt - l > 2 * inset && b - t > 2 * inset) {
      l += inset;
      t += inset;
      rt -= inset;
      b -= inset;
    }
  }

  // In the advanced graphics mode a rectangle takes its right and bottom
  // edges: with a pen the border runs along them, and with the null pen
  // rectangles and round rectangles fill the whole box (the fill of an
  // outline leaves its right and bottom edges out). Other shapes keep the box.
  const bool advanced = shapeRules_ == vcl::ShapeRules::Advanced;
  const double edge = advanced ? 0 : 1;
  std::vector<gdi::PointD> outline;
  bool cosmeticInset = false;
  switch (r.Type()) {
    case EMR_RECTANGLE:
      if (axisAligned) {
        outline = {{l, t}, {rt - edge, t}, {rt - edge, b - edge}, {l, b - edge}};
        cosmeticInset = true;
      } else {
        outline = {state_.ToDevice(gdi::Point{box.left, box.top}), state_.ToDevice(gdi::Point{box.right, box.top}),
                   state_.ToDevice(gdi::Point{box.right, box.bottom}),
                   state_.ToDevice(gdi::Point{box.left, box.bottom})};
      }
      break;
    case EMR_ELLIPSE: outline = axisAligned ? gdi::EllipseContour(l, t, rt, b) : EllipseOutline(box); break;
    case EMR_ROUNDRECT:
      if (axisAligned) {
        const double grow = advanced && !hasPen ? 1 : 0;
        outline = gdi::RoundRectContour(l, t, rt + grow, b + grow,
                                        std::round(state_.DeviceLengthX(std::abs(double(corner.x)))),
                                        std::round(state_.DeviceLengthY(std::abs(double(corner.y)))));
      } else {
        outline = RoundRectOutline(box, corner);
      }
      break;
    default: return;
  }
  if (outline.empty() || TakenByPath({outline}, true)) return;
  if (cosmeticInset && hasPen && PenStyle().cosmetic) {
    // A one-pixel border covers the box's edge pixels; the brush fills only inside them.
    const double r1 = rt - edge, b1 = b - edge;
    if (r1 - l > 1 && b1 - t > 1) Fill({gdi::Contour{{l + 1, t + 1}, {r1, t + 1}, {r1, b1}, {l + 1, b1}}});
    Stroke(outline, true);
    return;
  }
  FillAndStroke(outline);
}

// --- arcs -------------------------------------------------------------------

std::vector<gdi::PointD> EmfRecordPlayer::ArcOutline(const gdi::Rect& box, gdi::Point start, gdi::Point end) {
  const Affine& m = state_.LogicalToDevice();
  const bool clockwise = state_.Dc().arcClockwise != (m.Determinant() < 0);
  double l, t, r, b;
  if (DeviceBox(box, l, t, r, b))
    return gdi::ArcPoints(l, t, r, b, state_.ToDevice(start), state_.ToDevice(end), clockwise);
  const gdi::PointD centre{(double(box.left) + box.right) / 2, (double(box.top) + box.bottom) / 2};
  const double rx = std::fabs(double(box.right) - box.left) / 2, ry = std::fabs(double(box.bottom) - box.top) / 2;
  if (rx == 0 || ry == 0) return {};
  const auto angle = [&](gdi::Point p) { return std::atan2(-(p.y - centre.y) / ry, (p.x - centre.x) / rx); };
  const double a0 = angle(start);
  return SampleArc(centre, rx, ry, a0, NormalisedSweep(a0, angle(end), state_.Dc().arcClockwise));
}

void EmfRecordPlayer::ArcRecord(EmfRecordReader& r) {
  const gdi::Rect box = r.RectL();
  const gdi::Point start = r.PointL(), end = r.PointL();
  if (!r.Ok()) return;
  std::vector<gdi::PointD> arc = ArcOutline(box, start, end);
  if (arc.empty()) return;
  DcState& dc = state_.Dc();
  switch (r.Type()) {
    case EMR_ARC: Figure(arc, false); return;
    case EMR_ARCTO: {
      // A line from the current position to the arc's start, then the arc.
      const gdi::PointD from = state_.ToDevice(dc.position);
      const gdi::PointD centre{(double(box.left) + box.right) / 2, (double(box.top) + box.bottom) / 2};
      const double rx = std::fabs(double(box.right) - box.left) / 2, ry = std::fabs(double(box.bottom) - box.top) / 2;
      const double dx = end.x - centre.x, dy = end.y - centre.y;
      const double k = (rx > 0 && ry > 0 && (dx != 0 || dy != 0)) ? 1 / std::hypot(dx / rx, dy / ry) : 0;
      dc.position = gdi::PointD{centre.x + dx * k, centre.y + dy * k};
      SegmentsFrom(from, arc);
      return;
    }
    case EMR_CHORD: Figure(arc, true); return;
    case EMR_PIE: {
      double l, t, rt, b;
      const gdi::PointD centre = DeviceBox(box, l, t, rt, b)
                                     ? gdi::PointD{(l + rt) / 2, (t + b) / 2}
                                     : state_.ToDevice(gdi::PointD{(double(box.left) + box.right) / 2,
                                                                   (double(box.top) + box.bottom) / 2});
      arc.push_back(centre);
      Figure(arc, true);
      return;
    }
    default: return;
  }
}

void EmfRecordPlayer::AngleArc(EmfRecordReader& r) {
  const gdi::Point centre = r.PointL();
  const uint32_t radius = r.U32();
  const float startDegrees = r.F32(), sweepDegrees = r.F32();
  if (!r.Ok() || radius > 0x7FFFFFFF || !std::isfinite(startDegrees) || !std::isfinite(sweepDegrees)) return;
  const double start = std::fmod(double(startDegrees), 360.0) * kPi / 180;
  const double sweep = std::clamp(double(sweepDegrees), -720.0, 720.0) * kPi / 180;
  const gdi::PointD c{double(centre.x), double(centre.y)};
  std::vector<gdi::PointD> arc = SampleArc(c, radius, radius, start, sweep);
  DcState& dc = state_.Dc();
  const gdi::PointD from = state_.ToDevice(dc.position);
  dc.position = gdi::PointD{c.x + radius * std::cos(start + sweep), c.y - radius * std::sin(start + sweep)};
  SegmentsFrom(from, arc);
}

void EmfRecordPlayer::SetPixel(EmfRecordReader& r) {
  const gdi::Point p = r.PointL();
  const uint32_t color = r.U32();
  if (!r.Ok()) return;
  const gdi::PointD d = state_.ToDevice(p);
  gdi::RenderTarget& target = state_.Target();
  const int32_t x = RoundToInt(d.x), y = RoundToInt(d.y);
  target.SetPaint(gdi::Paint::Solid(color & 0xFFFFFF));
  target.Span(y, x, x + 1);
}

}  // namespace orvane::emf
