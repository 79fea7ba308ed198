#pragma once
// The device-context state of metafile playback: mapping mode, window and
// viewport, world transform, the selected pen, brush and font, colours and
// modes, the current position and the metafile's clip region; the stack of
// saved states; the table of objects the records create; and the transform
// from the metafile's logical units to the destination's device pixels.
//
// Coordinates go logical -> (world transform) -> page -> (window/viewport
// mapping) -> reference device -> (playback transform: the header's frame
// onto the destination rectangle) -> destination device pixels.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include <orvane/gdi/DrawingObjects.h>
#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/gdi/Region.h>
#include <orvane/gdi/detail/SpanPaint.h>

namespace orvane::emf {

// An affine transform: x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  gdi::PointD Apply(gdi::PointD p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  gdi::PointD ApplyVector(gdi::PointD v) const { return {a * v.x + c * v.y, b * v.x + d * v.y}; }
  // This transform first, then `next`.
  Affine Then(const Affine& next) const;
  bool AxisAligned() const { return b == 0 && c == 0; }
  double Determinant() const { return a * d - b * c; }
  bool Finite() const;
};

// A brush as the records create it; a monochrome brush takes the text and
// background colours of the moment it paints (0 bits: text colour).
struct BrushObject {
  gdi::Brush brush;
  bool mono = false;
  gdi::COLORREF monoZero = 0;  // the colour the decoder gives 0 bits
  // Where a solid brush takes its colour when it paints: its own, or the
  // text or background colour of the moment (hatch styles 8 to 11).
  enum class Color : uint8_t { Own, Text, Background } color = Color::Own;
};

// A logical palette's colours. Shared: changes to a palette reach the
// device contexts it is selected into.
using PaletteColors = std::shared_ptr<std::vector<gdi::COLORREF>>;

struct EmfObject {
  enum class Kind : uint8_t { Pen, Brush, Font, Palette } kind = Kind::Pen;
  gdi::Pen pen;          // width in logical units
  BrushObject brush;
  gdi::Font font;        // height and width in logical units
  PaletteColors palette;
};

struct DcState {
  uint32_t mapMode = 1;  // MM_TEXT
  double windowExtX = 1, windowExtY = 1, viewportExtX = 1, viewportExtY = 1;
  double windowOrgX = 0, windowOrgY = 0, viewportOrgX = 0, viewportOrgY = 0;
  Affine world;
  gdi::Pen pen;          // black, cosmetic, solid
  BrushObject brush;     // white, solid
  gdi::Font font;
  PaletteColors palette;  // nullptr: the default palette
  gdi::COLORREF textColor = 0;
  gdi::COLORREF bkColor = gdi::RGB(255, 255, 255);
  gdi::BackgroundMode bkMode = gdi::BackgroundMode::Opaque;
  gdi::Rop2 rop2 = gdi::Rop2::CopyPen;
  gdi::FillMode fillMode = gdi::FillMode::Alternate;
  uint32_t textAlign = 0;
  double miterLimit = 10;
  bool arcClockwise = false;
  gdi::PointD position;  // current position, logical units
  // Device pixels; nullptr without a clip. Shared with saved states, which
  // copy only the pointer; a change makes a new region. Always inside the
  // meta region, when there is one.
  std::shared_ptr<const gdi::Region> clip;
  // The meta region (EMR_SETMETARGN): no later clipping reaches beyond it;
  // nullptr without one.
  std::shared_ptr<const gdi::Region> metaRegion;
  // Where hatch and pattern tiles start, device pixels (EMR_SETBRUSHORGEX).
  gdi::Point brushOrigin;
  // How bitmap records shrink (EMR_SETSTRETCHBLTMODE): 1 BLACKONWHITE (a
  // device context's default), 2 WHITEONBLACK, 3 COLORONCOLOR, 4 HALFTONE.
  uint32_t stretchMode = 1;
};

class EmfPlaybackState {
 public:
  // `playback` maps reference-device units onto destination pixels; drawing
  // stays inside `universe` (the canvas's drawable region cut to the destination).
  EmfPlaybackState(gdi::BitmapObject* surface, const gdi::Region& universe, const Affine& playback,
                   double devicePixelsX, double devicePixelsY, double deviceMmX, double deviceMmY,
                   uint32_t handleCount);

  DcState& Dc() { return dc_; }
  const DcState& Dc() const { return dc_; }

  // Logical units -> destination pixels (the full chain), and the playback part alone.
  const Affine& LogicalToDevice();
  const Affine& Playback() const { return playback_; }
  // Call after changing the mapping or the world transform.
  void TransformChanged() { transformValid_ = false; }
  // A logical point in destination pixels, snapped to 1/16 pixel and kept in a safe range.
  gdi::PointD ToDevice(gdi::PointD logical);
  gdi::PointD ToDevice(gdi::Point logical) { return ToDevice(gdi::PointD{double(logical.x), double(logical.y)}); }
  // The device length of a logical length along x (pen widths, font sizes).
  double DeviceLengthX(double logical);
  double DeviceLengthY(double logical);

  void SetMapMode(uint32_t mode);

  // Saved states: false when the request names no saved state. A saved
  // state's pattern and palette count against the objects' budget (see
  // StoreObject) for as long as it holds them; a save that would take the
  // table and the saved states past it is not made, like a save past the
  // budget of changed clip regions.
  void SaveDC();
  bool RestoreDC(int32_t relative);

  // Objects: index 1 .. handleCount-1.
  bool ValidIndex(uint32_t index) const { return index >= 1 && index < handleCount_; }
  // False (and nothing stored) for an index outside the table, or when the
  // table's objects and the saved states together would hold more pattern
  // and palette memory than their budget (128 MiB). Memory held by both a
  // table entry and saved states counts once.
  bool StoreObject(uint32_t index, EmfObject&& object);
  const EmfObject* FindObject(uint32_t index) const;
  void DeleteObject(uint32_t index);

  // Clipping, in device pixels. The metafile's region is combined with the
  // universe and the meta region; without one those are drawable.
  void CombineClip(const gdi::Region& region, gdi::RegionOp op);
  void ResetClip();
  void OffsetClip(int32_t dx, int32_t dy);
  // Makes the clip region part of the meta region (their intersection) and
  // leaves no clip region beyond it.
  void SetMetaRegion();
  const gdi::Region& Universe() const { return universe_; }
  // The region drawing goes to: universe cut by the metafile's clip.
  gdi::RenderTarget& Target();
  gdi::BitmapObject* Surface() const { return surface_; }

 private:
  Affine PageToDevice() const;

  gdi::BitmapObject* surface_;
  gdi::Region universe_;
  Affine playback_;
  double devicePixelsX_, devicePixelsY_, deviceMmX_, deviceMmY_;
  uint32_t handleCount_;
  DcState dc_;
  std::vector<DcState> saved_;
  size_t savedClipBytes_ = 0;
  // The object table by index (below handleCount_, which is at most 65535),
  // only as long as the highest index stored.
  std::vector<std::optional<EmfObject>> objects_;
  // Pattern pixels and palettes held by table entries or saved states: how
  // many of them hold each (by its address) and what it may take; the
  // current state's own are not counted.
  struct Held {
    size_t bytes = 0;
    size_t holders = 0;
  };
  struct HeldMemory {
    const void* address = nullptr;
    size_t bytes = 0;
  };
  using Holdings = std::array<HeldMemory, 2>;
  static Holdings HoldingsOf(const gdi::Brush& brush, const PaletteColors& palette);
  void Hold(const Holdings& memory);
  void Release(const Holdings& memory);
  // What holding `memory` would add to heldBytes_.
  size_t AddedBytes(const Holdings& memory) const;
  std::unordered_map<const void*, Held> held_;
  size_t heldBytes_ = 0;
  Affine logicalToDevice_;
  bool transformValid_ = false;
  std::optional<gdi::RenderTarget> target_;
};

// Clamps a device coordinate into a range every later step handles
// (NaN becomes the low end).
double ClampDevice(double v);
// Rounds a double to int32, clamped.
int32_t RoundToInt(double v);

// The union of regions, joined pairwise so that each join stays small.
gdi::Region UnionOfRegions(std::vector<gdi::Region> parts);
// The region operation of a clip record's mode (RGN_AND .. RGN_COPY, checked by the caller).
gdi::RegionOp RegionOpForMode(uint32_t mode);

}  // namespace orvane::emf
