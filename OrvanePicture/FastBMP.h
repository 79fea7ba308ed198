#pragma once
// TFastBMP: a 24-bit top-down raster (blue, green, red; rows padded to 4
// bytes) whose pixels the package reads and writes directly through a table
// of row starts, with a memory device context for block copies to and from
// canvases. The memory of a new raster is all zero (black).
//
// A negative width or height gives a raster without pixels (an empty row
// table, or rows that no loop from 0 to the size less 1 enters). A size whose
// pixel memory cannot be had raises EOutOfMemory before anything is written.

#include <cstdint>
#include <memory>

#include <orvane/gdi/UniqueHandles.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane {

class TFastBMP {
 public:
  TFastBMP(int32_t width, int32_t height);
  virtual ~TFastBMP();
  TFastBMP(const TFastBMP&) = delete;
  TFastBMP& operator=(const TFastBMP&) = delete;

  int32_t Width() const { return Width_; }
  int32_t Height() const { return Height_; }
  uint8_t* const* RowStarts() const { return RowStarts_.get(); }
  gdi::HDC MemoryDC() const { return MemoryDC_.get(); }

  int32_t RowPad() const { return RowPad_; }
  int32_t RowStride() const { return RowStride_; }
  int32_t ImageSize() const { return ImageSize_; }
  uint8_t* PixelData() const { return PixelData_; }

  // Reduces this rendering (A, over KeyColorA) and `renderingB` (over
  // KeyColorB), both at least Width*Factor x Height*Factor, to a colour and a
  // coverage raster of Width x Height.
  void ExtractCoverage(const TFastBMP& renderingB, TFastBMP& colorOut, TFastBMP& coverageOut, int32_t width,
                       int32_t height, int32_t factor) const;

  // Blends `colorSource` over this raster by the coverage in the third byte of
  // each `coverage` pixel: d = ((255 - c) * d) div 255 + (c * s) div 255.
  void BlendWithCoverage(const TFastBMP& colorSource, const TFastBMP& coverage, int32_t width, int32_t height);

 private:
  int32_t RowPad_ = 0;
  int32_t RowStride_ = 0;
  int32_t ImageSize_ = 0;
  int32_t Width_ = 0;
  int32_t Height_ = 0;
  std::unique_ptr<uint8_t*[]> RowStarts_;
  uint8_t* PixelData_ = nullptr;
  gdi::UniqueBitmap SectionHandle_;
  gdi::UniqueDC MemoryDC_;
  gdi::BITMAPINFO SectionInfo_{};
  gdi::BITMAPINFOHEADER HeaderTemplate_{};
};

}  // namespace orvane

ORVANE_PUBLIC_END
