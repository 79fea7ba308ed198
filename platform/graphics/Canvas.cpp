#include <orvane/gdi/detail/GlyphDrawing.h>
#include <orvane/graphics/Canvas.h>

#include <cmath>

#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/RectangleShape.h>
#include <orvane/graphics/Graphic.h>

namespace orvane::vcl {

gdi::Pen TPen::ToGdi() const {
  gdi::Pen pen;
  pen.color = ColorToRGB(color_);
  pen.width = width_;
  switch (style_) {
    case psSolid: pen.style = gdi::PenStyle::Solid; break;
    case psDash: pen.style = gdi::PenStyle::Dash; break;
    case psDot: pen.style = gdi::PenStyle::Dot; break;
    case psDashDot: pen.style = gdi::PenStyle::DashDot; break;
    case psDashDotDot: pen.style = gdi::PenStyle::DashDotDot; break;
    case psClear: pen.style = gdi::PenStyle::Null; break;
    case psInsideFrame: pen.style = gdi::PenStyle::InsideFrame; break;
  }
  return pen;
}

gdi::Brush TBrush::ToGdi() const {
  gdi::Brush brush;
  brush.color = ColorToRGB(color_);
  switch (style_) {
    case bsSolid: brush.style = gdi::BrushStyle::Solid; break;
    case bsClear: brush.style = gdi::BrushStyle::Null; break;
    default:
      brush.style = gdi::BrushStyle::Hatched;
      brush.hatch = static_cast<gdi::HatchStyle>(style_ - bsHorizontal);
      break;
  }
  return brush;
}

gdi::Font TFont::ToGdi() const {
  gdi::Font font;
  font.faceName = name_;
  font.height = height_;
  font.weight = (style_ & fsBold) ? 700 : 400;
  font.italic = (style_ & fsItalic) != 0;
  font.underline = (style_ & fsUnderline) != 0;
  font.strikeOut = (style_ & fsStrikeOut) != 0;
  font.charSet = charset_;
  return font;
}

void TCanvas::Realize() {
  if (!dc_) return;
  dc_->pen = pen_.ToGdi();
  dc_->brush = brush_.ToGdi();
  dc_->font = font_.ToGdi();
  dc_->textColor = ColorToRGB(font_.Color());
  // A solid brush makes the background opaque in the brush colour (dash gaps,
  // hatch gaps and text cells); any other brush leaves the background alone.
  if (brush_.Style() == bsSolid) {
    dc_->bkColor = ColorToRGB(brush_.Color());
    dc_->bkMode = gdi::BackgroundMode::Opaque;
  } else {
    dc_->bkMode = gdi::BackgroundMode::Transparent;
  }
}

gdi::HDC TCanvas::Handle() {
  Realize();
  return dc_;
}

void TCanvas::Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  gdi::Rectangle(Handle(), x1, y1, x2, y2);
}

void TCanvas::FillRect(const TRect& r) {
  gdi::HDC dc = Handle();
  if (dc) gdi::FillRect(dc, r, dc->brush);
}

void TCanvas::StretchDraw(const TRect& r, const TGraphic* graphic) {
  if (graphic) graphic->Draw(*this, r);
}

void TCanvas::Draw(int32_t x, int32_t y, const TGraphic* graphic) {
  if (graphic) graphic->Draw(*this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::TextOut(int32_t x, int32_t y, const std::string& utf8) {
  gdi::HDC dc = Handle();
  if (!dc) return;
  const std::u32string text = gdi::Utf8ToUtf32(utf8);
  if (text.empty()) return;
  const gdi::Font& font = dc->font;
  const gdi::TextMetrics tm = gdi::GetTextMetrics(font);
  // The baseline lies `ascent` below the top of the cell, measured
  // perpendicular to the (possibly turned) baseline.
  const double rad = font.escapement * M_PI / 1800.0;
  const double down = tm.ascent;
  const gdi::PointD origin{static_cast<double>(x) + dc->origin.x + down * std::sin(rad),
                           static_cast<double>(y) + dc->origin.y + down * std::cos(rad)};
  gdi::RenderTarget target(*dc);
  if (dc->bkMode == gdi::BackgroundMode::Opaque)
    gdi::FillTextBackground(target, font, origin, gdi::TextWidth(font, text), dc->bkColor);
  gdi::DrawGlyphs(target, font, origin, text, dc->textColor);
}

int32_t TCanvas::TextWidth(const std::string& utf8) { return gdi::TextWidth(font_.ToGdi(), gdi::Utf8ToUtf32(utf8)); }

int32_t TCanvas::TextHeight(const std::string&) { return gdi::GetTextMetrics(font_.ToGdi()).height; }

TColor TCanvas::Pixel(int32_t x, int32_t y) const {
  if (!dc_ || !dc_->Surface()) return -1;
  const int64_t dx = int64_t{x} + dc_->origin.x, dy = int64_t{y} + dc_->origin.y;
  const gdi::BitmapObject* s = dc_->Surface();
  if (!s->PixelsReadable()) return -1;
  const gdi::Rect held = s->HeldBounds();
  if (dx < held.left || dy < held.top || dx >= held.right || dy >= held.bottom) return -1;
  const uint8_t* p = s->Row(static_cast<int32_t>(dy)) + dx * s->BytesPerPixel();
  return static_cast<TColor>(gdi::RGB(p[2], p[1], p[0]));
}

void TCanvas::SetPixel(int32_t x, int32_t y, TColor color) {
  if (!dc_) return;
  gdi::RenderTarget target(*dc_);
  target.SetPaint(gdi::Paint::Solid(ColorToRGB(color)));
  const int64_t dx = int64_t{x} + dc_->origin.x, dy = int64_t{y} + dc_->origin.y;
  if (dx < INT32_MIN || dx >= INT32_MAX || dy < INT32_MIN || dy > INT32_MAX) return;
  target.Span(static_cast<int32_t>(dy), static_cast<int32_t>(dx), static_cast<int32_t>(dx + 1));
}

}  // namespace orvane::vcl
