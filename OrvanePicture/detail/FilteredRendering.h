#pragma once
// The two ways target rows of a filtered draw are rendered and reduced to
// colour and coverage. Both give the same bytes for every graphic they take.
//
// - From spans: the graphic is played once into span recorders, a band of
//   target rows at a time, and each target row is reduced from the painted
//   runs of its sample rows. No pixels of the supersampled size exist. It
//   cannot take a graphic that paints by reading what is under the paint.
// - With key surfaces: the graphic is played twice, over two key colours,
//   into screen-format surfaces, and a sample counts as background where
//   both show their key colour. It takes every graphic.

#include <cstdint>
#include <memory>

#include <orvane/detail/CoverageOps.h>
#include <orvane/graphics/Graphic.h>

namespace orvane {

namespace gdi {
class SpanRecorder;
}

// The target (W x H) and the supersampling factor N.
struct SupersampledTarget {
  int32_t width;
  int32_t height;
  int32_t factor;
  // Pens thinner than this many samples are drawn this wide (0: as they are).
  double thinPenWidth = 0;
  int32_t SampledWidth() const { return width * factor; }
  int32_t SampledHeight() const { return height * factor; }
  bool Empty() const { return width <= 0 || height <= 0; }
};

// Bytes of a key surface held at once, and the span recorders' share
// (several times that: they hold runs, not pixels).
size_t KeySurfaceBandBytes();
size_t SpanBandBytes();

// Target rows and columns to render: [top, top + rows) x [left, left + width).
struct TargetRows {
  int32_t top;
  int32_t rows;
  int32_t left;
  int32_t width;
};

// Renders `part` of the target into rows 0 onwards of `color` and
// `coverage`, column `part.left` first.
void RenderRowsWithKeySurfaces(const vcl::TGraphic& graphic, const SupersampledTarget& t, const TargetRows& part,
                               const TripleRows& color, const TripleRows& coverage);

// The same from spans, keeping the recorded band from one call to the next
// so that rows asked for in order are played once per band.
class SpanRendering {
 public:
  // Rows are asked for below target row `endRow` only.
  SpanRendering(const vcl::TGraphic& graphic, const SupersampledTarget& t, int32_t endRow);
  ~SpanRendering();
  SpanRendering(const SpanRendering&) = delete;
  SpanRendering& operator=(const SpanRendering&) = delete;

  // False, with nothing written, when the graphic painted in a way that
  // depends on what is under the paint: the rows must come from key surfaces.
  bool RenderRows(const TargetRows& part, const TripleRows& color, const TripleRows& coverage);

  // The recorder holding target row y from its sample row `firstSampleRow`
  // on, and the target rows it holds from y (at least one), recording the
  // band first when needed; nullptr when the graphic painted in a way that
  // depends on what is under the paint.
  const gdi::SpanRecorder* RecordedRows(int32_t y, int32_t& rowsHeld);

 private:
  // Plays the graphic into a recorder of target rows [top, top + rows).
  std::unique_ptr<gdi::SpanRecorder> Record(int32_t top, int32_t rows) const;
  // Records the band that starts at target row `top`, as many rows as the budget allows.
  bool RecordBandFrom(int32_t top);

  const vcl::TGraphic& graphic_;
  SupersampledTarget target_;
  int32_t endRow_;
  std::unique_ptr<gdi::SpanRecorder> band_;
  int32_t bandTop_ = 0;   // target rows of the band
  int32_t bandRows_ = 0;
  double bytesPerRow_ = 0;  // of target rows recorded so far
};

}  // namespace orvane
