#pragma once
// Target rows of a filtered drawing, rendered in order a band at a time, for
// callers that take the colour and coverage rows as they come (an image
// written out row by row) instead of holding the whole target.

#include <cstdint>
#include <memory>

#include <orvane/FilteredDraw.h>
#include <orvane/detail/CoverageOps.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

class FilteredRows {
 public:
  // The target is sized as FilteredDraw sizes it (raising as it does).
  FilteredRows(const vcl::TGraphic& graphic, const FilteredDrawOptions& options, double scaleX, double scaleY);
  ~FilteredRows();
  FilteredRows(const FilteredRows&) = delete;
  FilteredRows& operator=(const FilteredRows&) = delete;

  int32_t Width() const;
  int32_t Height() const;

  // Colour and coverage (in all three bytes) of target rows [top, top + rows),
  // every column, into rows 0 onwards. Rows are best asked for from the top
  // down: each band of the graphic is then played once.
  void Render(int32_t top, int32_t rows, const TripleRows& color, const TripleRows& coverage);

  class Renderer;  // the library's own

 private:
  std::unique_ptr<Renderer> renderer_;
  int32_t width_ = 0, height_ = 0;
};

}  // namespace orvane

ORVANE_PUBLIC_END
