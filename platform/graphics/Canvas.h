#pragma once
// TCanvas: a drawing surface with a pen, a brush and a font, over a device
// context. Pen, brush and font settings take effect at the next drawing call;
// Handle() returns the device context with all three selected.

#include <string>

#include <orvane/gdi/DeviceContext.h>
#include <orvane/graphics/GraphicsTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TGraphic;

class TPen {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle value) { style_ = value; }
  int32_t Width() const { return width_; }
  void SetWidth(int32_t value) { width_ = value < 1 ? 1 : value; }
  gdi::Pen ToGdi() const;

 private:
  TColor color_ = clBlack;
  TPenStyle style_ = psSolid;
  int32_t width_ = 1;
};

class TBrush {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle value) { style_ = value; }
  gdi::Brush ToGdi() const;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

class TFont {
 public:
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }
  // Pixels: negative is the character height, positive the cell height.
  int32_t Height() const { return height_; }
  void SetHeight(int32_t value) { height_ = value; }
  TColor Color() const { return color_; }
  void SetColor(TColor value) { color_ = value; }
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles value) { style_ = value; }
  uint8_t Charset() const { return charset_; }
  void SetCharset(uint8_t value) { charset_ = value; }
  gdi::Font ToGdi() const;
  friend bool operator==(const TFont&, const TFont&) = default;

 private:
  std::string name_ = "MS Sans Serif";
  int32_t height_ = -11;
  TColor color_ = clWindowText;
  TFontStyles style_ = 0;
  uint8_t charset_ = DEFAULT_CHARSET;
};

class TCanvas {
 public:
  // A canvas over a device context that it does not own (may be null: such a canvas draws nothing).
  explicit TCanvas(gdi::HDC dc = nullptr) : dc_(dc) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  void SetHandle(gdi::HDC dc) { dc_ = dc; }
  // The device context with the current pen, brush and font selected.
  gdi::HDC Handle();

  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TFont& Font() { return font_; }

  // Fills columns x1..x2-1 and rows y1..y2-1 with the brush and outlines them with the pen.
  void Rectangle(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void Rectangle(const TRect& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  // Fills the rectangle with the brush, no outline.
  void FillRect(const TRect& r);
  // Draws the graphic stretched into the rectangle; nothing without a graphic.
  void StretchDraw(const TRect& r, const TGraphic* graphic);
  void Draw(int32_t x, int32_t y, const TGraphic* graphic);

  // Draws `utf8` with the top-left of its text cell at (x, y), in the font's
  // colour; with a solid brush the cell is first filled with the brush colour.
  void TextOut(int32_t x, int32_t y, const std::string& utf8);
  // The width of `utf8` in the current font (the sum of its advances), pixels.
  int32_t TextWidth(const std::string& utf8);
  // The cell height (ascent + descent) of the current font, pixels.
  int32_t TextHeight(const std::string& utf8);

  TColor Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, TColor color);

 private:
  void Realize();
  gdi::HDC dc_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
