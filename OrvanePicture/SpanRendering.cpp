// Target rows rendered from one playback into span recorders.

#include <algorithm>
#include <cstdint>

#include <orvane/ColorTriple.h>
#include <orvane/Quality.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/detail/SpanRecorder.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/detail/FilteredRendering.h>

namespace orvane {

SpanRendering::SpanRendering(const vcl::TGraphic& graphic, const SupersampledTarget& t, int32_t endRow)
    : graphic_(graphic), target_(t), endRow_(std::min(endRow, t.height)) {}

SpanRendering::~SpanRendering() = default;

std::unique_ptr<gdi::SpanRecorder> SpanRendering::Record(int32_t top, int32_t rows) const {
  const int32_t n = target_.factor;
  auto recorder = std::make_unique<gdi::SpanRecorder>(target_.SampledWidth(), top * n, rows * n, KeyColorA, KeyColorB);
  // A band of one target row is as small as bands get: it is never cut short.
  if (rows > 1) recorder->SetLimit(SpanBandBytes());
  // The surface outlives the device context that selects it, and that the canvas over it.
  gdi::BitmapObject surface(target_.SampledWidth(), target_.SampledHeight(), *recorder);
  gdi::DeviceContext dc;
  dc.Select(&surface);
  dc.thinPenWidth = target_.thinPenWidth;
  vcl::TCanvas canvas;
  canvas.SetHandle(&dc);
  canvas.StretchDraw(MakeBounds(0, 0, target_.SampledWidth(), target_.SampledHeight()), &graphic_);
  return recorder;
}

bool SpanRendering::RecordBandFrom(int32_t top) {
  band_.reset();
  const int32_t remaining = std::max(1, endRow_ - top);
  // Until a band has been measured: each sample row with its list and its
  // first room for runs. Then what the rows so far needed, a quarter to spare.
  const double perRow = bytesPerRow_ > 0 ? bytesPerRow_ * 1.25
                                         : static_cast<double>(target_.factor) *
                                               (16 + gdi::SpanRecorder::kFirstRoom * sizeof(gdi::PaintedRun));
  int32_t rows = static_cast<int32_t>(
      std::clamp(static_cast<double>(SpanBandBytes()) / perRow, 1.0, static_cast<double>(remaining)));
  for (;;) {
    std::unique_ptr<gdi::SpanRecorder> recorder = Record(top, rows);
    if (recorder->ReadsDestination()) return false;
    if (!recorder->OverLimit()) {
      bytesPerRow_ = std::max(bytesPerRow_, static_cast<double>(recorder->Bytes()) / rows);
      band_ = std::move(recorder);
      bandTop_ = top;
      bandRows_ = rows;
      return true;
    }
    rows = std::max(1, rows / 2);
  }
}

const gdi::SpanRecorder* SpanRendering::RecordedRows(int32_t y, int32_t& rowsHeld) {
  if (!band_ || y < bandTop_ || y >= bandTop_ + bandRows_) {
    if (!RecordBandFrom(y)) return nullptr;
  }
  rowsHeld = bandTop_ + bandRows_ - y;
  return band_.get();
}

bool SpanRendering::RenderRows(const TargetRows& part, const TripleRows& color, const TripleRows& coverage) {
  for (int32_t done = 0; done < part.rows;) {
    const int32_t y = part.top + done;
    int32_t held = 0;
    const gdi::SpanRecorder* band = RecordedRows(y, held);
    if (!band) return false;
    const int32_t count = std::min(part.rows - done, held);
    ReduceRecordedRows(*band, y * target_.factor, part.left, {color.Row(done), color.stride},
                       {coverage.Row(done), coverage.stride}, part.width, count, target_.factor);
    done += count;
  }
  return true;
}

}  // namespace orvane
