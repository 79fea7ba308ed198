#pragma once
// GDI objects and bitmap surfaces. A surface is top-down, 24 bits a pixel
// (B, G, R, rows padded to 4 bytes) or 32 bits a pixel (B, G, R, unused),
// which is the screen format. Sizes are computed in 64 bits and refused when
// they exceed kMaxSurfaceBytes, so no size can lead to a write out of bounds.

#include <cstddef>
#include <cstdint>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

// Live-object counts, for finding leaks: bitmaps and device contexts count
// themselves while they exist, and so do pen, brush and font values (every
// copy counts). Process-wide and thread-safe; counting costs a plain add to
// counters of the thread's own.
enum class LiveKind : uint8_t { Bitmap, DeviceContext, Pen, Brush, Font };
constexpr int kLiveKinds = 5;
int64_t LiveObjectCount(LiveKind kind);
int64_t LiveObjectCount();  // all kinds together

void CountLiveObject(LiveKind kind, int delta);

// A member that makes its owner count as one live object of kind K.
template <LiveKind K>
struct LiveTally {
  LiveTally() { CountLiveObject(K, 1); }
  LiveTally(const LiveTally&) { CountLiveObject(K, 1); }
  LiveTally& operator=(const LiveTally&) { return *this; }
  ~LiveTally() { CountLiveObject(K, -1); }
  friend bool operator==(const LiveTally&, const LiveTally&) { return true; }
};

class GdiObject {
 public:
  virtual ~GdiObject() = default;
};
using HGDIOBJ = GdiObject*;

enum class PixelFormat : uint8_t { Bgr24, Bgrx32 };

class SpanRecorder;

class BitmapObject : public GdiObject {
 public:
  BitmapObject(int32_t width, int32_t height, PixelFormat format, int32_t stride, uint8_t* bits, size_t bytes);
  // A screen-format surface without pixels whose painting goes to
  // `recorder` (not owned), holding the recorder's rows as its band.
  BitmapObject(int32_t width, int32_t height, SpanRecorder& recorder);
  ~BitmapObject() override;
  BitmapObject(const BitmapObject&) = delete;
  BitmapObject& operator=(const BitmapObject&) = delete;

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  PixelFormat Format() const { return format_; }
  int32_t BytesPerPixel() const { return format_ == PixelFormat::Bgr24 ? 3 : 4; }
  int32_t Stride() const { return stride_; }
  // The memory of the rows held: row HeldBounds().top is the first.
  uint8_t* Bits() const { return bits_; }
  uint8_t* Row(int32_t y) const { return bits_ + (static_cast<ptrdiff_t>(y) - bandTop_) * stride_; }
  // The pixels held: all of them, or the rows of the band.
  Rect HeldBounds() const { return Rect{0, bandTop_, width_, bandTop_ + bandRows_}; }
  // The whole surface, whether all of it is held or a band only.
  Rect WholeBounds() const { return Rect{0, 0, width_, height_}; }

  // Holds only rows [top, top + rows) of the surface in its memory (a band
  // of a surface too tall to be had at once); drawing then writes exactly
  // the pixels the whole surface would get in those rows, and nothing
  // else. The band may be moved down the surface for the next part of a
  // drawing. False, and nothing changed, when the rows lie outside the
  // surface or do not fit the memory.
  bool SetBand(int32_t top, int32_t rows);
  bool IsBanded() const { return bandTop_ != 0 || bandRows_ != height_; }

  // The recorder that takes this surface's painting, or nullptr for a
  // surface with pixels. A recording surface has no rows to read or write.
  SpanRecorder* Recorder() const { return recorder_; }

  // Whether the surface's pixels can be read (or copied to). Every reader of
  // what a surface shows asks first: a recording surface has no pixels, so
  // its recorder is marked as read and the drawing is made again on
  // surfaces that have them.
  bool PixelsReadable() const;

  int selectCount = 0;  // device contexts that have this bitmap selected

 private:
  int32_t width_;
  int32_t height_;
  PixelFormat format_;
  int32_t stride_;
  uint8_t* bits_;
  size_t bytes_;
  int32_t bandTop_ = 0;
  int32_t bandRows_ = height_;
  SpanRecorder* recorder_ = nullptr;
  [[no_unique_address]] LiveTally<LiveKind::Bitmap> tally_;
};
using HBITMAP = BitmapObject*;

struct BITMAPINFOHEADER {
  uint32_t biSize = 0;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 0;
  uint16_t biBitCount = 0;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RGBQUAD {
  uint8_t rgbBlue = 0;
  uint8_t rgbGreen = 0;
  uint8_t rgbRed = 0;
  uint8_t rgbReserved = 0;
};

struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

class DeviceContext;
using HDC = DeviceContext*;

// Bytes of one row of `width` pixels at `bitsPerPixel`, padded to 4 bytes; -1 when it overflows.
int64_t DibRowBytes(int64_t width, int bitsPerPixel);

// Creates a top-down (negative biHeight) uncompressed 24- or 32-bit section
// and hands back its zeroed pixel memory through `bits`. A width or height of
// 0 gives a section with no pixels. Returns nullptr (and *bits = nullptr) for
// anything else: a bottom-up or other format, a negative width, or a size over
// the limit or not available.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, unsigned usage, void** bits, void* section,
                         uint32_t offset);

// A screen-format (32-bit) bitmap of the given size, zeroed; nullptr when it cannot be made.
HBITMAP CreateScreenBitmap(int32_t width, int32_t height);

// Deletes a bitmap (not while a device context has it selected) or a device context.
bool DeleteObject(HGDIOBJ object);

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
