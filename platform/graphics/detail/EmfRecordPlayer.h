#pragma once
// EmfRecordPlayer: plays the records of an enhanced metafile, one at a
// time, onto the playback state's render target. Each record is read
// through a bounds-checked reader; a record whose sizes, counts, offsets or
// handles fail their checks is skipped. Inside a path bracket the drawing
// records add to the path instead of drawing.
//
// One table takes each record type to the handler of its group; a type
// with no handler is not drawn, and the caller may count it. The table
// also marks the records that draw nothing while a path is open; every
// other drawing record hands its figures to the figure sink, which alone
// decides between the path and the target. The groups
// live in separate sources: EmfPlayer.cpp (dispatch table, mapping, modes,
// clipping, records read and ignored), EmfObjects.cpp (pens, brushes,
// fonts), EmfShapes.cpp (lines, curves and shapes), EmfPaths.cpp (path
// records), EmfRegions.cpp (region records), EmfText.cpp (text),
// EmfBitmaps.cpp (bitmap records), EmfGradients.cpp (gradient fills) and
// EmfPalettes.cpp (palettes).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/DibImage.h>
#include <orvane/gdi/DibSource.h>
#include <orvane/gdi/detail/BrushPaint.h>
#include <orvane/gdi/detail/ImageDrawing.h>
#include <orvane/gdi/detail/Rasterizer.h>
#include <orvane/graphics/detail/EmfPath.h>
#include <orvane/graphics/detail/EmfPlayer.h>
#include <orvane/graphics/detail/EmfPlaybackState.h>
#include <orvane/graphics/detail/EmfRecordReader.h>

namespace orvane::emf {

// Work metafile playback has done in this process, counted as it goes, so
// that tests can bound what a picture costs without timing it.
struct PlaybackWork {
  uint64_t drawingRecords = 0;  // drawing records played (not those left out, see Play)
  uint64_t gradientRows = 0;    // rows laid out for gradient triangles
  uint64_t gradientPixels = 0;  // pixels gradient triangles shaded
};
PlaybackWork PlaybackWorkSoFar();
void CountPlaybackWork(const PlaybackWork& more);

class EmfRecordPlayer {
 public:
  explicit EmfRecordPlayer(EmfPlaybackState& state);
  EmfRecordPlayer(const EmfRecordPlayer&) = delete;
  EmfRecordPlayer& operator=(const EmfRecordPlayer&) = delete;

  // Plays one record (the header and EOF are the caller's). False when the
  // player has no handler for its type: nothing of it was drawn. A line,
  // shape or poly record that cannot reach the target's held rows and
  // columns (see OutsideTarget) is left out: in a band of a surface it costs
  // the reading of its points.
  bool Play(EmfRecordReader& record);
  // Whether records of the type paint pixels when played: shapes, lines,
  // region fills, text, bitmaps, gradients and the painting path records.
  static bool Paints(uint32_t type);

  // Pens thinner than `width` device pixels are drawn that wide (see
  // gdi::DeviceContext::thinPenWidth); 0, the default, draws them as they are.
  void SetThinPenWidth(double width) { thinPenWidth_ = width; }
  void SetShapeRules(vcl::ShapeRules rules) { shapeRules_ = rules; }

 private:
  using Handler = bool (EmfRecordPlayer::*)(EmfRecordReader&);
  struct Dispatch {
    Handler handler = nullptr;  // nullptr: no handler
    // Records that add nothing to an open path and draw nothing while it is
    // open (bitmaps, text, region and gradient fills): left whole then.
    bool skippedInPath = false;
    bool draws = false;  // a drawing record: counted in PlaybackWork
  };
  // The dispatch of each record type.
  static const Dispatch* Handlers();
  // Records of state that drawing does not use (colour management, colour
  // adjustment, layout, comments): read and left.
  bool IgnoreRecord(EmfRecordReader& r);
  // Whether a drawing record outside a path cannot paint a pixel of the
  // target's held clip bounds (a band's rows, the clip's columns): the
  // device box of its points, or of its box, widened by what the pen and
  // the shape rules can reach beyond them. Only records whose drawing
  // changes nothing else are judged (a LineTo's move of the current
  // position is made here); for every other record false.
  bool OutsideTarget(const EmfRecordReader& r);
  // How far beyond its points the selected pen may paint, device pixels.
  double PenReach();

  // EmfPlayer.cpp
  bool PlayMappingRecord(EmfRecordReader& r);
  bool PlayModeRecord(EmfRecordReader& r);
  bool PlayClipRecord(EmfRecordReader& r);
  void ClipToLogicalRect(const gdi::Rect& logical, gdi::RegionOp op);

  // EmfObjects.cpp
  bool PlayObjectRecord(EmfRecordReader& r);
  void CreatePen(EmfRecordReader& r);
  void ExtCreatePen(EmfRecordReader& r);
  void CreateBrushIndirect(EmfRecordReader& r);
  void CreateDibBrush(EmfRecordReader& r, bool mono);
  void CreateFont(EmfRecordReader& r);
  void SelectObject(uint32_t handle);
  void SelectStockObject(uint32_t n);

  // EmfShapes.cpp
  bool PlayShapeRecord(EmfRecordReader& r);
  void PolyRecord(EmfRecordReader& r, bool sixteenBit);
  void PolyPolyRecord(EmfRecordReader& r, bool sixteenBit);
  void PolyDraw(EmfRecordReader& r, bool sixteenBit);
  void BoxRecord(EmfRecordReader& r);
  void ArcRecord(EmfRecordReader& r);
  void AngleArc(EmfRecordReader& r);
  void SetPixel(EmfRecordReader& r);
  // Drawing with the selected brush and pen, in device pixels.
  void Fill(const std::vector<gdi::Contour>& contours);  // by the fill mode
  void Fill(const std::vector<gdi::Contour>& contours, gdi::FillMode mode);
  void Stroke(const std::vector<gdi::PointD>& points, bool closed);
  void FillAndStroke(const std::vector<gdi::PointD>& outline);
  bool BrushPaint(gdi::Paint& paint);
  // Gives paintDc_ the modes of the moment that brush paints read.
  void PreparePaintDc();
  // The selected pen's stroke in device pixels; `thickenedCosmetic`, when
  // given, is set when a cosmetic pen is drawn thicker by the thin-pen width.
  gdi::StrokeStyle PenStyle(bool* thickenedCosmetic = nullptr);
  void LimitDashCost(gdi::StrokeStyle& style, const std::vector<gdi::PointD>& points);
  // The figure sink: the one place that decides whether a figure goes to
  // the open path or is drawn.
  // Whole figures: added to the path, or (closed) filled and stroked or
  // (open) stroked; the closed ones of a set are all filled before any is
  // stroked. TakenByPath adds them to an open path and says so, for shapes
  // that draw themselves in their own way otherwise.
  void Figures(const std::vector<gdi::Contour>& figures, bool closed);
  void Figure(const std::vector<gdi::PointD>& points, bool closed) { Figures({points}, closed); }
  bool TakenByPath(const std::vector<gdi::Contour>& figures, bool closed);
  // Segments as they come, from a device point: added to the open path one
  // by one (curves whole), or gathered into one polyline a figure (curves
  // flattened), stroked where the figure ends.
  class Segments {
   public:
    Segments(EmfRecordPlayer& player, gdi::PointD from);
    // Ends the figure open; the next segment starts a new one at `to`.
    void MoveTo(gdi::PointD to);
    void LineTo(gdi::PointD to);
    void BezierTo(gdi::PointD c1, gdi::PointD c2, gdi::PointD to);
    // A line back to the figure's start, which the next segment starts from.
    void Close();
    // Ends the figure open; the sink takes nothing more.
    void End();

   private:
    EmfRecordPlayer& player_;
    bool toPath_;
    gdi::PointD at_, start_;
    std::vector<gdi::PointD> figure_;  // the polyline to stroke, when drawn
  };
  // Lines from a device point through `points`.
  void SegmentsFrom(gdi::PointD from, const std::vector<gdi::PointD>& points);
  // Segments from the current position: drawn, or added to the path.
  void LinesFromCurrent(const std::vector<gdi::Point>& points);
  void BeziersFromCurrent(const std::vector<gdi::Point>& points);
  std::vector<gdi::PointD> DevicePoints(const std::vector<gdi::Point>& logical);
  std::vector<gdi::PointD> FlattenBeziers(const std::vector<gdi::PointD>& devicePoints);
  // The device outline of an ellipse-based shape in a logical box.
  gdi::Contour EllipseOutline(const gdi::Rect& box);
  gdi::Contour RoundRectOutline(const gdi::Rect& box, gdi::Point corner);
  std::vector<gdi::PointD> ArcOutline(const gdi::Rect& box, gdi::Point start, gdi::Point end);
  // Points of an elliptic arc sampled in logical space: centre, radii, start
  // angle and sweep in radians (counter-clockwise positive, y down).
  std::vector<gdi::PointD> SampleArc(gdi::PointD centre, double rx, double ry, double start, double sweep);
  bool DeviceBox(const gdi::Rect& logical, double& l, double& t, double& r, double& b);

  // EmfPaths.cpp
  bool PlayPathRecord(EmfRecordReader& r);
  void WidenPath();

  // EmfRegions.cpp
  bool PlayRegionRecord(EmfRecordReader& r);
  // The rectangles of a record's region data (`dataSize` bytes from here)
  // as device contours (and as they stand, when asked); false when the data
  // fails its checks.
  bool RegionContours(EmfRecordReader& r, uint32_t dataSize, std::vector<gdi::Contour>& out,
                      std::vector<gdi::Rect>* logical = nullptr);

  // EmfText.cpp
  // One string of a text record: where, how, the characters (glyph
  // indices with ETO_GLYPH_INDEX) and the record's advances (logical; dx
  // empty when the font's are to be used, dy only with ETO_PDY).
  struct TextRun {
    gdi::Point reference;
    uint32_t options = 0;
    uint32_t graphicsMode = 1;  // GM_COMPATIBLE
    gdi::Rect rect;
    std::u32string text;
    std::vector<int32_t> dx, dy;
  };
  bool PlayTextRecord(EmfRecordReader& r);
  // An EMRTEXT (as ExtTextOut and PolyTextOut hold them) or a small text
  // record's fields; false when they fail their checks.
  bool ReadEmrText(EmfRecordReader& r, bool wide, TextRun& run);
  bool ReadSmallText(EmfRecordReader& r, TextRun& run);
  void DrawTextRun(const TextRun& run);

  // EmfBitmaps.cpp
  enum class BlockKind : uint8_t { BitBlt, StretchBlt, TransparentBlt, AlphaBlend, MaskBlt };
  bool PlayBitmapRecord(EmfRecordReader& r);
  void StretchDibBits(EmfRecordReader& r);
  void BlockTransfer(EmfRecordReader& r, BlockKind kind);
  void PlgBlt(EmfRecordReader& r);
  void SetDibBitsToDevice(EmfRecordReader& r);
  // A block transfer without a source: the raster operation alone decides.
  void FillByRasterOp(const gdi::DeviceParallelogram& where, uint32_t rop);
  // Points `how.brush` at the current brush, in `brush`, where its raster
  // operations use a pattern; false when they do and the brush is null.
  bool TakeBrushPattern(gdi::ImageTransfer& how, gdi::Paint& brush);
  // A record's DIB, read where it lies in the record; false when it fails
  // its checks.
  bool RecordDib(EmfRecordReader& r, uint32_t usage, uint32_t infoOffset, uint32_t infoSize, uint32_t bitsOffset,
                 uint32_t bitsSize, gdi::DibSource& image);
  // A monochrome mask: white where its bit is 1, black where 0; false
  // unless it is a 1-bit DIB.
  bool RecordMask(EmfRecordReader& r, uint32_t infoOffset, uint32_t infoSize, uint32_t bitsOffset, uint32_t bitsSize,
                  gdi::DibSource& mask);
  // Three logical corners of a destination in device pixels.
  gdi::DeviceParallelogram DeviceCorners(gdi::PointD origin, gdi::PointD right, gdi::PointD down);

  // EmfGradients.cpp
  bool PlayGradientRecord(EmfRecordReader& r);

  // EmfPalettes.cpp
  bool PlayPaletteRecord(EmfRecordReader& r);
  // A DIB_PAL_COLORS header and table (16-bit palette indices) as the same
  // header with the colours of the selected palette; false when it fails its checks.
  bool PaletteColorTable(const uint8_t* info, size_t infoSize, std::vector<uint8_t>& out) const;

  EmfPlaybackState& state_;
  double thinPenWidth_ = 0;
  vcl::ShapeRules shapeRules_ = vcl::ShapeRules::Advanced;
  EmfPath path_;
  gdi::DeviceContext paintDc_;  // carries the modes BrushPaint reads; never drawn into
  std::shared_ptr<gdi::PatternImage> monoPattern_;  // a monochrome brush in the colours of the moment
  // Room kept from one record to the next, so most records allocate nothing:
  // the logical points of a poly record, the device points of curves from
  // the current position, and the contours of a filled path.
  std::vector<gdi::Point> polyPoints_;
  std::vector<gdi::PointD> curvePoints_;
  std::vector<gdi::Contour> pathContours_;
};

}  // namespace orvane::emf
