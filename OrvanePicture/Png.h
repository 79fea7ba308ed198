#pragma once
// PNG files through libpng, 8 bits a channel: a plain raster type with its
// encoder and reader, and the same for bitmaps, where a coverage raster
// (as the filtered draw and sprites make it) may travel as the alpha channel.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <orvane/rtl/Visibility.h>

namespace orvane::vcl {
class TBitmap;
}

namespace orvane {

class TFastBMP;
class TOrvaneBitmap;
struct RgbaImage;

ORVANE_PUBLIC_BEGIN

struct PngImage {
  int32_t width = 0;
  int32_t height = 0;
  int channels = 3;             // 3: RGB, 4: RGBA
  std::vector<uint8_t> pixels;  // rows top first, width * channels bytes each
};

// The PNG file bytes of an image; raises rtl::EOutOfResources if libpng fails.
std::vector<uint8_t> EncodePng(const PngImage& image);

// Writes the PNG so that the file appears complete or not at all.
void WritePngFile(const std::string& path, const PngImage& image);

// A PNG made a row at a time, for images too large to hold: the file's
// bytes go to the sink as they are made. The same rows give the same bytes
// as EncodePng. The sink may raise; its exception then leaves the call
// that wrote, and the writer is done with. Errors of libpng (a size of no
// pixels or beyond its limits, rows beyond the height, Finish before the
// last row) raise rtl::EOutOfResources.
class PngRowWriter {
 public:
  using Sink = std::function<void(const uint8_t* bytes, size_t size)>;
  // channels: 3 (RGB) or 4 (RGBA). Writes the header.
  PngRowWriter(int32_t width, int32_t height, int channels, Sink sink);
  ~PngRowWriter();
  PngRowWriter(const PngRowWriter&) = delete;
  PngRowWriter& operator=(const PngRowWriter&) = delete;

  // The next row, top first: width * channels bytes.
  void WriteRow(const uint8_t* row);
  // Writes the end of the file, after the last row.
  void Finish();

  struct State;  // the writer's own

 private:
  std::unique_ptr<State> state_;
};

// Reads a PNG of any colour type as 8-bit RGB, or RGBA when it has alpha;
// false when the file cannot be read or is not a PNG.
bool ReadPngFile(const std::string& path, PngImage& image);

// Writes a bitmap as an opaque RGB PNG or, with `coverage` (a raster of the
// bitmap's size whose red channel holds the coverage, 0-255), as RGBA with
// the coverage as alpha. Raises rtl::EInvalidOperation when the sizes differ,
// the runtime's file errors when the file cannot be written.
void SavePng(const vcl::TBitmap& bitmap, const std::string& path, const TFastBMP* coverage = nullptr);

// A sprite's colour raster with its coverage as alpha, RGBA.
void SavePng(const TOrvaneBitmap& sprite, const std::string& path);

// An RGBA image as RGBA, or as RGB when it was drawn opaque.
void SavePng(const RgbaImage& image, const std::string& path);

// Loads a PNG into a bitmap (resized to the image) and returns, for an
// image with alpha, a coverage raster of its size whose three channels hold
// the alpha (null for an opaque image). Raises rtl::EFOpenError (and the
// other file errors) when the file cannot be read and rtl::EInvalidGraphic
// when it is not a PNG; the bitmap is changed only on success. The file is
// checked to its end, then decoded row by row straight into the bitmap:
// loading costs one copy of the pixels (and the coverage raster, if any).
std::unique_ptr<TFastBMP> LoadPng(vcl::TBitmap& bitmap, const std::string& path);
// The same from the bytes of a PNG file in memory.
std::unique_ptr<TFastBMP> LoadPng(vcl::TBitmap& bitmap, const uint8_t* data, size_t size);

ORVANE_PUBLIC_END

}  // namespace orvane
