// Text records (ExtTextOut, PolyTextOut with a string each, SmallTextOut),
// read into runs and drawn alike: the font selected in logical
// units is scaled to device pixels, the reference point is placed by the
// text alignment (left/centre/right, top/baseline/bottom, or the current
// position) along the font's escapement, the opaque rectangle or the text
// cells are filled with the background colour, and the glyphs are drawn
// aliased by the font engine with the record's advances when it has them.

#include <algorithm>
#include <cmath>
#include <optional>

#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/detail/GlyphDrawing.h>
#include <orvane/graphics/detail/EmfRecordPlayer.h>
#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {

constexpr uint32_t kMaxCharacters = 4096;  // per record; longer runs are cut
constexpr double kMaxFontPixels = 2048;
constexpr double kPi = 3.14159265358979323846;

int32_t ScaledFontSize(int32_t logical, double deviceLength) {
  if (logical == 0) return 0;
  const double pixels = std::clamp(std::round(deviceLength), 1.0, kMaxFontPixels);
  return logical < 0 ? -static_cast<int32_t>(pixels) : static_cast<int32_t>(pixels);
}

// Logical advances as device steps: accumulated, then scaled by `unit`, so
// that rounding does not drift along the run.
std::vector<int32_t> DeviceSteps(const std::vector<int32_t>& logicalSteps, double unit) {
  std::vector<int32_t> steps;
  int64_t logical = 0, previous = 0;
  for (const int32_t step : logicalSteps) {
    logical += step;
    const int64_t device = RoundToInt(double(logical) * unit);
    steps.push_back(static_cast<int32_t>(std::clamp<int64_t>(device - previous, -1000000, 1000000)));
    previous = device;
  }
  return steps;
}

}  // namespace

bool EmfRecordPlayer::PlayTextRecord(EmfRecordReader& r) {
  switch (r.Type()) {
    case EMR_EXTTEXTOUTW:
    case EMR_EXTTEXTOUTA: {
      r.Skip(16);  // bounds
      TextRun run;
      run.graphicsMode = r.U32();
      r.Skip(8);  // x and y scale (used only by printing)
      if (ReadEmrText(r, r.Type() == EMR_EXTTEXTOUTW, run)) DrawTextRun(run);
      return true;
    }
    case EMR_POLYTEXTOUTW:
    case EMR_POLYTEXTOUTA: {
      r.Skip(16);
      const uint32_t graphicsMode = r.U32();
      r.Skip(8);
      const uint32_t strings = r.U32();
      // Each string's EMRTEXT is 40 bytes; a count beyond the record is cut to it.
      for (uint32_t i = 0; r.Ok() && i < strings && r.Remaining() >= 40; ++i) {
        TextRun run;
        run.graphicsMode = graphicsMode;
        if (ReadEmrText(r, r.Type() == EMR_POLYTEXTOUTW, run)) DrawTextRun(run);
      }
      return true;
    }
    case EMR_SMALLTEXTOUT: {
      TextRun run;
      if (ReadSmallText(r, run)) DrawTextRun(run);
      return true;
    }
    default: return false;
  }
}

namespace {

std::u32string DecodeText(const uint8_t* string, uint32_t count, bool wide, bool glyphIndices) {
  if (glyphIndices) {
    // Each code unit names a glyph of the font's face.
    std::u32string glyphs;
    for (uint32_t i = 0; i < count; ++i) glyphs.push_back(wide ? string[2 * i] | (string[2 * i + 1] << 8) : string[i]);
    return glyphs;
  }
  if (!wide) {
    std::u32string text;
    for (uint32_t i = 0; i < count; ++i) text.push_back(string[i]);  // single-byte text read as Latin-1
    return text;
  }
  std::vector<uint16_t> units(count);
  for (uint32_t i = 0; i < count; ++i) units[i] = static_cast<uint16_t>(string[2 * i] | (string[2 * i + 1] << 8));
  return gdi::Utf16ToUtf32(units.data(), units.size());
}

// Whether a filled parallelogram can reach any pixel of `clip`: a pixel is
// filled when its corner point lies inside, so within the points' bounds.
bool MayReach(const gdi::Contour& shape, const gdi::Rect& clip) {
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  for (const gdi::PointD& p : shape) {
    minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  }
  return maxX + 1 > clip.left && minX - 1 < clip.right && maxY + 1 > clip.top && minY - 1 < clip.bottom;
}

int32_t LoadI32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24));
}

}  // namespace

bool EmfRecordPlayer::ReadEmrText(EmfRecordReader& r, bool wide, TextRun& run) {
  run.reference = r.PointL();
  const uint32_t chars = r.U32(), stringOffset = r.U32();
  run.options = r.U32();
  run.rect = r.RectL();
  const uint32_t dxOffset = r.U32();
  if (!r.Ok()) return false;
  const uint8_t* string = nullptr;
  if (!r.Block(stringOffset, uint64_t{chars} * (wide ? 2 : 1), string)) return false;
  const uint32_t count = std::min(chars, kMaxCharacters);
  if (count > 0) run.text = DecodeText(string, count, wide, run.options & ETO_GLYPH_INDEX);
  // The x advances, each followed by a y advance with ETO_PDY.
  const bool pdy = run.options & ETO_PDY;
  const uint64_t stride = pdy ? 2 : 1;
  const uint8_t* dx = nullptr;
  if (dxOffset != 0 && r.Block(dxOffset, uint64_t{chars} * 4 * stride, dx) && dx && run.text.size() == count) {
    for (uint32_t i = 0; i < count; ++i) {
      run.dx.push_back(LoadI32(dx + i * 4 * stride));
      if (pdy) run.dy.push_back(LoadI32(dx + i * 4 * stride + 4));
    }
  }
  return true;
}

// EMR_SMALLTEXTOUT: reference point, count, options, graphics mode and
// scales, the rectangle unless ETO_NO_RECT, then the characters (one byte
// each with ETO_SMALL_CHARS, else UTF-16), and no advances.
bool EmfRecordPlayer::ReadSmallText(EmfRecordReader& r, TextRun& run) {
  run.reference = r.PointL();
  const uint32_t chars = r.U32();
  run.options = r.U32();
  run.graphicsMode = r.U32();
  r.Skip(8);  // x and y scale
  if (!(run.options & ETO_NO_RECT)) run.rect = r.RectL();
  const bool wide = !(run.options & ETO_SMALL_CHARS);
  const uint8_t* string = nullptr;
  if (!r.Ok() || !r.Block(r.Size() - r.Remaining(), uint64_t{chars} * (wide ? 2 : 1), string)) return false;
  const uint32_t count = std::min(chars, kMaxCharacters);
  if (count > 0) run.text = DecodeText(string, count, wide, run.options & ETO_GLYPH_INDEX);
  return true;
}

void EmfRecordPlayer::DrawTextRun(const TextRun& run) {
  const gdi::Point reference = run.reference;
  const uint32_t options = run.options;
  const gdi::Rect rect = run.rect;
  DcState& dc = state_.Dc();
  gdi::RenderTarget& target = state_.Target();
  if (target.IsEmpty()) return;

  // The opaque/clipping rectangle in device pixels: a rectangle under
  // transforms that keep it upright, else the parallelogram it maps to.
  gdi::Rect deviceRect;
  std::optional<gdi::Contour> turnedRect;
  const bool hasRect = (options & (ETO_OPAQUE | ETO_CLIPPED)) && !(options & ETO_NO_RECT);
  if (hasRect) {
    double l, t, rt, b;
    if (DeviceBox(rect, l, t, rt, b)) {
      deviceRect = gdi::Rect{RoundToInt(l), RoundToInt(t), RoundToInt(rt), RoundToInt(b)};
    } else {
      turnedRect = gdi::Contour{state_.ToDevice(gdi::Point{rect.left, rect.top}),
                                state_.ToDevice(gdi::Point{rect.right, rect.top}),
                                state_.ToDevice(gdi::Point{rect.right, rect.bottom}),
                                state_.ToDevice(gdi::Point{rect.left, rect.bottom})};
    }
  }
  if (hasRect && (options & ETO_OPAQUE)) {
    target.SetPaint(gdi::Paint::Solid(dc.bkColor));
    if (turnedRect) gdi::FillPolygons(target, {*turnedRect}, gdi::FillMode::Winding);
    else if (!deviceRect.IsEmpty()) target.FillRect(deviceRect);
  }
  const std::u32string& text = run.text;
  if (text.empty()) return;
  const bool glyphIndices = options & ETO_GLYPH_INDEX;

  gdi::Font font = dc.font;
  font.height = ScaledFontSize(font.height, state_.DeviceLengthY(std::abs(double(font.height))));
  font.width = ScaledFontSize(font.width, state_.DeviceLengthX(std::abs(double(font.width))));
  const Affine& toDevice = state_.LogicalToDevice();
  if (toDevice.AxisAligned() && (toDevice.a < 0 || toDevice.d < 0)) {
    // The escapement turns the text in the logical space: under a mapping
    // that flips an axis it turns the other way as seen on the device (with
    // y up, 900 reads from top to bottom), the alignment in the turned frame.
    const double escapement = font.escapement / 10.0 * kPi / 180;
    const double x = toDevice.a < 0 ? -std::cos(escapement) : std::cos(escapement);
    const double y = toDevice.d < 0 ? -std::sin(escapement) : std::sin(escapement);
    // Angles from a file may be anything: the turn is taken within one round
    // (unchanged below 360 degrees), so it cannot overflow.
    const int32_t turn = static_cast<int32_t>((int64_t{font.orientation} - font.escapement) % 3600);
    font.escapement = static_cast<int32_t>(std::lround(std::atan2(y, x) * 1800 / kPi));
    font.orientation = font.escapement + turn;
    // The advanced mode applies the whole transform to the glyphs, the flip included.
    font.mirrored = run.graphicsMode == GM_ADVANCED && (toDevice.a < 0) != (toDevice.d < 0);
  } else if (run.graphicsMode == GM_ADVANCED && !toDevice.AxisAligned()) {
    // The advanced mode turns the glyphs with the transform: the baseline
    // runs along the transformed escapement.
    const double escapement = font.escapement / 10.0 * kPi / 180;
    const gdi::PointD v = toDevice.ApplyVector({std::cos(escapement), -std::sin(escapement)});
    if (v.x != 0 || v.y != 0) {
      const double tenths = std::round(std::atan2(-v.y, v.x) * 1800 / kPi);
      font.escapement = font.orientation = static_cast<int32_t>(tenths);
    }
    font.mirrored = toDevice.Determinant() < 0;
  }

  // Advances: the record's or the font's.
  std::vector<int32_t> advances;
  if (!run.dx.empty()) {
    advances = DeviceSteps(run.dx, state_.DeviceLengthX(1));
  } else {
    advances = gdi::CharacterAdvances(font, text, glyphIndices);
  }
  // Summed exactly as integers (a double's running sum would wait on each addition).
  int64_t sum = 0;
  for (const int32_t a : advances) sum += a;
  const double width = static_cast<double>(sum);

  // Placement along the escapement: `along` runs with the text, `down` towards its descent.
  const gdi::TextMetrics metrics = gdi::GetTextMetrics(font);
  const double angle = font.escapement / 10.0 * kPi / 180;
  const gdi::PointD along{std::cos(angle), -std::sin(angle)}, down{std::sin(angle), std::cos(angle)};
  const bool updateCp = (dc.textAlign & gdi::TA_UPDATECP) != 0;
  const gdi::PointD ref = state_.ToDevice(updateCp ? dc.position : gdi::PointD{double(reference.x), double(reference.y)});
  double shift = 0;
  if ((dc.textAlign & gdi::TA_CENTER) == gdi::TA_CENTER) shift = -width / 2;
  else if (dc.textAlign & gdi::TA_RIGHT) shift = -width;
  double drop = metrics.ascent;  // TA_TOP
  if ((dc.textAlign & gdi::TA_BASELINE) == gdi::TA_BASELINE) drop = 0;
  else if (dc.textAlign & gdi::TA_BOTTOM) drop = -metrics.descent;
  // Mirrored glyphs have their ascent on the other side of the baseline:
  // the drop runs along the cell's side as the flip of the axis leaves it.
  gdi::PointD dropAlong = down;
  if (font.mirrored) dropAlong = toDevice.d < 0 ? gdi::PointD{-down.x, down.y} : gdi::PointD{down.x, -down.y};
  const gdi::PointD origin{ref.x + along.x * shift + dropAlong.x * drop,
                           ref.y + along.y * shift + dropAlong.y * drop};
  if (updateCp) {
    const double unit = state_.DeviceLengthX(1);
    if (unit > 0 && !(dc.textAlign & gdi::TA_RIGHT)) dc.position.x += width / unit;
  }

  // Clipped text draws through a target cut to the rectangle; a rectangle
  // outside the clip leaves nothing to draw (and no clip region to copy).
  std::optional<gdi::RenderTarget> clipped;
  if (hasRect && (options & ETO_CLIPPED)) {
    if (turnedRect ? !MayReach(*turnedRect, target.HeldClipBounds())
                   : deviceRect.Intersect(target.HeldClipBounds()).IsEmpty())
      return;
    gdi::Region region = state_.Dc().clip ? *state_.Dc().clip : state_.Universe();
    if (turnedRect) {
      const gdi::Region inside = gdi::RegionFromContours({*turnedRect}, gdi::FillMode::Winding, region.Bounds());
      region = gdi::Region::Combine(region, inside, gdi::RegionOp::And);
    } else {
      region.IntersectRect(deviceRect);
    }
    clipped.emplace(state_.Surface(), region);
  }
  gdi::RenderTarget& out = clipped ? *clipped : target;

  if (dc.bkMode == gdi::BackgroundMode::Opaque && !(options & ETO_OPAQUE)) {
    // Opaque background: the text cells take the background colour.
    gdi::FillTextBackground(out, font, origin, static_cast<int32_t>(std::clamp(width, 0.0, 1e7)), dc.bkColor);
  }
  gdi::GlyphPlacement placement;
  placement.glyphIndices = glyphIndices;
  placement.advances = advances.size() == text.size() ? &advances : nullptr;
  // y advances: logical steps down the y axis, as device steps towards the descent.
  std::vector<int32_t> downAdvances;
  if (!run.dy.empty()) {
    const gdi::PointD yAxis = toDevice.ApplyVector({0, 1});
    downAdvances = DeviceSteps(run.dy, yAxis.x * down.x + yAxis.y * down.y);
    placement.downAdvances = &downAdvances;
  }
  gdi::DrawGlyphs(out, font, origin, text, dc.textColor, placement);
}

}  // namespace orvane::emf
