// Reading sprite files: a 4-byte width and a 4-byte height (little-endian,
// signed), the colour plane (3 x W x H bytes, red, green, blue, rows without
// gaps, top row first) and the coverage plane (W x H bytes). The planes are
// read through a small buffer straight into the rasters' rows.
//
// What the sprite holds after a failure, by the step that failed:
//   open                  unchanged
//   width                 the bytes read overwrite the low-order bytes of Width
//   height                Width from the file; likewise for Height
//   size outside the format (a negative side, a colour plane over 2^31 - 1
//   bytes; EInOutError 100), or rasters that cannot be had (pixels over the
//   surface limit of 1 GiB a raster, or over 2^23 rows; EOutOfMemory):
//                         refused before anything is made: old size, old rasters
//   rasters               (the system has no memory for them; EOutOfMemory)
//                         the old rasters freed, the new ones made so far, all
//                         zero; Draw draws nothing
//   colour plane          new size, both new rasters all zero
//   coverage plane        colour raster filled, coverage raster all zero
//   close                 completely loaded
// A plane the file does not hold in full is found missing from the file's
// size before it is read, so a short file never leaves half a plane (unless
// the file shrinks while it is read). The file is closed on every way out.

#include <algorithm>
#include <limits>

#include <orvane/OrvaneBitmap.h>
#include <orvane/gdi/detail/PixelMemory.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

namespace orvane {

namespace {

constexpr int kShortRead = 100;
constexpr uint64_t kHeaderBytes = 8;
constexpr uint64_t kChunkPixels = 16384;

// Reads up to 4 bytes into the low-order bytes of `field` (little-endian),
// then fails with code 100 if fewer than 4 arrived.
void ReadHeaderField(rtl::InputFile& file, int32_t& field) {
  uint8_t bytes[4];
  const size_t got = file.ReadSome(bytes, 4);
  uint32_t value = static_cast<uint32_t>(field);
  for (size_t i = 0; i < got; ++i) value = (value & ~(0xFFu << (8 * i))) | (uint32_t{bytes[i]} << (8 * i));
  field = static_cast<int32_t>(value);
  if (got != 4) throw rtl::EInOutError(kShortRead);
}

bool InsideTheFormat(int32_t width, int32_t height) {
  return width >= 0 && height >= 0 &&
         3 * uint64_t(width) * uint64_t(height) <= uint64_t(std::numeric_limits<int32_t>::max());
}

// A raster's pixels (rows padded to 4 bytes) are held to the surface limit,
// and its table of row starts, which is written when the raster is made, to
// 64 MiB: however tall a header claims a sprite of no or few pixels to be,
// the two tables never touch more than 128 MiB the file does not carry.
constexpr int64_t kMostRows = (int64_t{64} << 20) / sizeof(uint8_t*);

bool RasterCanBeHad(int32_t width, int32_t height) {
  const uint64_t rowBytes = 3 * uint64_t(width) + uint64_t(width) % 4;
  return rowBytes * uint64_t(height) <= gdi::kMaxSurfaceBytes && height <= kMostRows;
}

// Reads a plane of `bytesPerPixel` bytes a pixel into `raster`, `store`
// turning each file pixel into the raster's three bytes.
template <typename Store>
void ReadPlane(rtl::InputFile& file, TFastBMP& raster, size_t bytesPerPixel, Store store) {
  const int32_t width = raster.Width();
  uint64_t left = uint64_t(width) * uint64_t(std::max(0, raster.Height()));
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(left, kChunkPixels)) * bytesPerPixel);
  int32_t x = 0, y = 0;
  while (left > 0) {
    const size_t count = static_cast<size_t>(std::min(left, kChunkPixels));
    file.ReadExact(buffer.data(), count * bytesPerPixel);
    const uint8_t* in = buffer.data();
    for (size_t i = 0; i < count; ++i, in += bytesPerPixel) {
      store(raster.RowStarts()[y] + 3 * x, in);
      if (++x == width) x = 0, ++y;
    }
    left -= count;
  }
}

}  // namespace

void TOrvaneBitmap::LoadSpriteFile(const std::string& fileName) {
  rtl::InputFile file(fileName);
  const int32_t oldWidth = Width_, oldHeight = Height_;
  ReadHeaderField(file, Width_);
  ReadHeaderField(file, Height_);

  const int32_t width = Width_, height = Height_;
  if (!InsideTheFormat(width, height) || !RasterCanBeHad(width, height)) {
    Width_ = oldWidth;
    Height_ = oldHeight;
    if (!InsideTheFormat(width, height)) throw rtl::EInOutError(kShortRead);
    throw rtl::EOutOfMemory();
  }
  ReplaceRasters(width, height);

  const uint64_t pixels = uint64_t(width) * uint64_t(height);
  const uint64_t planes = file.Size() > kHeaderBytes ? file.Size() - kHeaderBytes : 0;
  if (planes < 3 * pixels) throw rtl::EInOutError(kShortRead);
  ReadPlane(file, *ColorRaster_, 3, [](uint8_t* out, const uint8_t* in) {
    out[0] = in[2];  // blue
    out[1] = in[1];  // green
    out[2] = in[0];  // red
  });
  if (planes < 4 * pixels) throw rtl::EInOutError(kShortRead);
  ReadPlane(file, *CoverageRaster_, 1, [](uint8_t* out, const uint8_t* in) { out[0] = out[1] = out[2] = *in; });
  file.Close();
}

}  // namespace orvane
