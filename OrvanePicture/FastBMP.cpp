#include <orvane/FastBMP.h>

#include <new>

#include <orvane/rtl/Exceptions.h>

namespace orvane {

TFastBMP::TFastBMP(int32_t width, int32_t height) : Width_(width), Height_(height) {
  // Pixels exist only for non-negative sizes; a negative side has none.
  const int32_t pixelWidth = width > 0 ? width : 0;
  const int32_t pixelHeight = height > 0 ? height : 0;

  HeaderTemplate_.biSize = sizeof(gdi::BITMAPINFOHEADER);
  HeaderTemplate_.biWidth = pixelWidth;
  HeaderTemplate_.biHeight = -pixelHeight;  // negative: top-down rows
  HeaderTemplate_.biPlanes = 1;
  HeaderTemplate_.biBitCount = 24;
  HeaderTemplate_.biCompression = gdi::BI_RGB;
  SectionInfo_.bmiHeader = HeaderTemplate_;

  // Refuse, before anything is made, a size whose stride or image size does not fit 32 bits.
  const int64_t stride = 3 * int64_t{pixelWidth} + pixelWidth % 4;
  if (stride > INT32_MAX || stride * pixelHeight > INT32_MAX) throw rtl::EOutOfMemory();
  // Nor may the row table's size in bytes exceed 32 bits.
  if (int64_t{pixelHeight} * static_cast<int64_t>(sizeof(uint8_t*)) > INT32_MAX) throw rtl::EOutOfMemory();

  void* bits = nullptr;
  SectionHandle_.reset(gdi::CreateDIBSection(nullptr, &SectionInfo_, gdi::DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!SectionHandle_) throw rtl::EOutOfMemory();
  PixelData_ = static_cast<uint8_t*>(bits);

  try {
    RowStarts_.reset(new uint8_t*[static_cast<size_t>(pixelHeight)]);
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  RowPad_ = pixelWidth % 4;
  RowStride_ = 3 * pixelWidth + RowPad_;
  ImageSize_ = RowStride_ * pixelHeight;
  for (int32_t y = 0; y < pixelHeight; ++y) RowStarts_[static_cast<size_t>(y)] = PixelData_ + static_cast<ptrdiff_t>(y) * RowStride_;

  MemoryDC_.reset(gdi::CreateCompatibleDC(nullptr));
  if (!MemoryDC_) throw rtl::EOutOfMemory();
  MemoryDC_->Select(SectionHandle_.get());
}

// The device context goes before the section it selects (members in reverse order).
TFastBMP::~TFastBMP() = default;

}  // namespace orvane
