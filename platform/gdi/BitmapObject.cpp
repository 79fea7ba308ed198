#include <orvane/gdi/BitmapObject.h>

#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/detail/PixelMemory.h>
#include <orvane/gdi/detail/SpanRecorder.h>

namespace orvane::gdi {

BitmapObject::BitmapObject(int32_t width, int32_t height, PixelFormat format, int32_t stride, uint8_t* bits,
                           size_t bytes)
    : width_(width), height_(height), format_(format), stride_(stride), bits_(bits), bytes_(bytes) {}

BitmapObject::BitmapObject(int32_t width, int32_t height, SpanRecorder& recorder)
    : BitmapObject(width, height, PixelFormat::Bgrx32, 0, nullptr, 0) {
  recorder_ = &recorder;
  bandTop_ = recorder.Top();
  bandRows_ = recorder.Rows();
}

BitmapObject::~BitmapObject() { ReleasePixelMemory(bits_, bytes_); }

bool BitmapObject::PixelsReadable() const {
  if (!recorder_) return true;
  recorder_->MarkReadsDestination();
  return false;
}

bool BitmapObject::SetBand(int32_t top, int32_t rows) {
  if (recorder_) return false;  // its rows are the recorder's
  if (top < 0 || rows < 0 || int64_t{top} + rows > height_) return false;
  if (static_cast<uint64_t>(stride_) * static_cast<uint64_t>(rows) > bytes_) return false;
  bandTop_ = top;
  bandRows_ = rows;
  return true;
}

int64_t DibRowBytes(int64_t width, int bitsPerPixel) {
  if (width < 0 || bitsPerPixel <= 0 || width > (int64_t{1} << 40)) return -1;
  return ((width * bitsPerPixel + 31) / 32) * 4;
}

namespace {

HBITMAP MakeSurface(int32_t width, int32_t height, PixelFormat format) {
  if (width < 0 || height < 0) return nullptr;
  const int64_t stride = DibRowBytes(width, format == PixelFormat::Bgr24 ? 24 : 32);
  if (stride < 0) return nullptr;
  const uint64_t total = static_cast<uint64_t>(stride) * static_cast<uint64_t>(height);
  if (total > kMaxSurfaceBytes || stride > INT32_MAX) return nullptr;
  const size_t bytes = static_cast<size_t>(total);
  uint8_t* bits = AcquirePixelMemory(bytes);
  if (!bits) return nullptr;
  return new BitmapObject(width, height, format, static_cast<int32_t>(stride), bits, bytes);
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, unsigned usage, void** bits, void* section, uint32_t offset) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS || section || offset != 0) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB) return nullptr;
  if (h.biBitCount != 24 && h.biBitCount != 32) return nullptr;
  if (h.biHeight > 0 || h.biHeight == INT32_MIN) return nullptr;  // only top-down sections
  HBITMAP bitmap = MakeSurface(h.biWidth, -h.biHeight, h.biBitCount == 24 ? PixelFormat::Bgr24 : PixelFormat::Bgrx32);
  if (bitmap && bits) *bits = bitmap->Bits();
  return bitmap;
}

HBITMAP CreateScreenBitmap(int32_t width, int32_t height) { return MakeSurface(width, height, PixelFormat::Bgrx32); }

bool DeleteObject(HGDIOBJ object) {
  if (!object) return false;
  if (auto* bitmap = dynamic_cast<BitmapObject*>(object)) {
    if (bitmap->selectCount > 0) return false;
    delete bitmap;
    return true;
  }
  if (auto* dc = dynamic_cast<DeviceContext*>(object)) return DeleteDC(dc);
  delete object;
  return true;
}

}  // namespace orvane::gdi
