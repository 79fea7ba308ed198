#pragma once
// A device context: a selected surface, a logical origin, a clip region and
// the drawing state (pen, brush, font, colours, modes). Drawing calls take
// logical coordinates; logical (0, 0) lies at device point `origin`. The
// clip region is in device coordinates; without one the whole surface is
// drawable. Whatever is drawn is limited to the surface and the clip region.

#include <orvane/gdi/BitmapObject.h>
#include <orvane/gdi/DrawingObjects.h>
#include <orvane/gdi/Region.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

class DeviceContext : public GdiObject {
 public:
  DeviceContext() = default;
  ~DeviceContext() override;
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  BitmapObject* Surface() const { return surface_; }
  BitmapObject* Select(BitmapObject* bitmap);  // returns the previous one

  Point origin;  // device position of logical (0, 0)

  // Clip region in device coordinates (nullptr-like when !HasClip()).
  bool HasClip() const { return hasClip_; }
  const Region& ClipRegion() const { return clip_; }
  void SetClip(const Region& deviceRegion);
  void ClearClip();
  // The region actually drawable: the surface bounds, cut by the clip region.
  // Of a surface held in bands, only the current band's rows.
  Region HeldClip() const;
  // The same for the whole surface, band or not: what drawing code lays out
  // against, so that a shape gets the same pixels in every band.
  Region WholeClip() const;

  Pen pen;
  Brush brush;
  Font font;
  COLORREF textColor = 0;
  COLORREF bkColor = RGB(255, 255, 255);
  BackgroundMode bkMode = BackgroundMode::Opaque;
  Rop2 rop2 = Rop2::CopyPen;
  FillMode fillMode = FillMode::Alternate;
  uint32_t textAlign = 0;
  Point brushOrigin;
  // Pens that would be drawn thinner than this many device pixels are drawn
  // this wide instead, their cosmetic dashes and dots scaled by it, and a
  // one-pixel pen covers the block of this size whose top-left pixel it would
  // paint (0: pens as they are). A drawing made at N times its final size
  // sets N, so that thin lines come out one final pixel wide.
  double thinPenWidth = 0;

 private:
  BitmapObject* surface_ = nullptr;
  bool hasClip_ = false;
  Region clip_;
  [[no_unique_address]] LiveTally<LiveKind::DeviceContext> tally_;
};

// A new memory device context; it holds no surface until one is selected.
HDC CreateCompatibleDC(HDC dc);
// Selects a bitmap into a memory device context; returns the previous
// bitmap (nullptr when there was none, or on failure).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
bool DeleteDC(HDC dc);

// Copies a width x height block pixel for pixel, converting between 24- and
// 32-bit surfaces; each point is in its own context's logical coordinates,
// and only the part inside the source surface and inside the destination's
// drawable region is written. Only SRCCOPY is supported.
bool BitBlt(HDC dst, int32_t x, int32_t y, int32_t width, int32_t height, HDC src, int32_t sx, int32_t sy,
            uint32_t rop);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
