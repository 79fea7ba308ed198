// Reading sprite files: a 4-byte width and a 4-byte height (little-endian,
// signed), the colour plane (3 x W x H bytes, red, green, blue, rows without
// gaps, top row first) and the coverage plane (W x H bytes). Four reads, one
// scratch buffer for both planes, unpacked through the rasters' row starts.
//
// What the sprite holds after a failure, by the step that failed:
//   open                  unchanged
//   width                 the bytes read overwrite the low-order bytes of Width
//   height                Width from the file; likewise for Height
//   header out of range (a side over 2^20), or claiming over 16 MiB more than the file holds:
//                         Width and Height from the file, rasters unchanged
//   rasters or buffer     the old rasters freed, the new ones made so far, all zero
//   colour plane          both new rasters all zero
//   coverage plane        colour raster filled, coverage raster all zero
//   close                 completely loaded
// The file is closed and the buffer released on every way out.

#include <cstring>
#include <limits>
#include <new>

#include <orvane/OrvaneBitmap.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

namespace orvane {

namespace {

constexpr int kShortRead = 100;
constexpr uint64_t kLargestMissingPlane = 16u << 20;  // bytes
// A side this long has no raster a program could hold, even with the other side 0.
constexpr int32_t kLargestSide = 1 << 20;

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

}  // namespace

void TOrvaneBitmap::LoadSpriteFile(const std::string& fileName) {
  rtl::InputFile file(fileName);
  ReadHeaderField(file, Width_);
  ReadHeaderField(file, Height_);

  // A header outside the format's limits is refused before anything is made.
  const int64_t pixels = int64_t{Width_} * Height_;
  if (Width_ < 0 || Height_ < 0 || pixels > std::numeric_limits<int32_t>::max() / 3)
    throw rtl::EInOutError(kShortRead);
  // So is a header that claims far more than the file holds: making rasters
  // for a plane that cannot arrive would only cost time and memory.
  const uint64_t available = file.Size() >= 8 ? file.Size() - 8 : 0;
  if (static_cast<uint64_t>(3 * pixels) > available + kLargestMissingPlane || Width_ > kLargestSide ||
      Height_ > kLargestSide)
    throw rtl::EInOutError(kShortRead);

  ReplaceRasters(Width_, Height_);
  const auto colorBytes = static_cast<size_t>(3 * pixels);
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[colorBytes == 0 ? 1 : colorBytes]);
  if (!buffer) throw rtl::EOutOfMemory();

  file.ReadExact(buffer.get(), colorBytes);
  const uint8_t* in = buffer.get();
  for (int32_t y = 0; y < Height_; ++y) {
    uint8_t* out = ColorRaster_->RowStarts()[y];
    for (int32_t x = 0; x < Width_; ++x, in += 3, out += 3) {
      out[0] = in[2];  // blue
      out[1] = in[1];  // green
      out[2] = in[0];  // red
    }
  }

  file.ReadExact(buffer.get(), static_cast<size_t>(pixels));
  in = buffer.get();
  for (int32_t y = 0; y < Height_; ++y) {
    uint8_t* out = CoverageRaster_->RowStarts()[y];
    for (int32_t x = 0; x < Width_; ++x, ++in, out += 3) out[0] = out[1] = out[2] = *in;
  }

  buffer.reset();
  file.Close();
}

}  // namespace orvane
