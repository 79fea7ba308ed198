#include <orvane/Png.h>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <new>

#include <orvane/FastBMP.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>
#include <orvane/rtl/Messages.h>

namespace orvane {

namespace {
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}
}  // namespace

std::vector<uint8_t> EncodePng(const PngImage& image) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, &info);
    throw rtl::EOutOfResources();
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw rtl::EOutOfResources();
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               image.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t stride = static_cast<size_t>(image.width) * static_cast<size_t>(image.channels);
  for (int32_t y = 0; y < image.height; ++y)
    png_write_row(png, const_cast<png_bytep>(image.pixels.data() + static_cast<size_t>(y) * stride));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

void WritePngFile(const std::string& path, const PngImage& image) {
  rtl::WriteFileAtomically(path, EncodePng(image));
}

namespace {

constexpr uint64_t kMaxDecodedBytes = uint64_t(1) << 30;

// Decodes a PNG held in memory; false when it is not one.
bool DecodePng(const uint8_t* data, size_t size, PngImage& image) {
  png_image decoded{};
  decoded.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&decoded, data, size)) return false;
  const bool alpha = (decoded.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  decoded.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  image.width = static_cast<int32_t>(decoded.width);
  image.height = static_cast<int32_t>(decoded.height);
  image.channels = alpha ? 4 : 3;
  // Deflate expands at most about 1032 times, and the widest conversion
  // (1-bit palette to RGBA) 32 times more: a claim beyond that cannot be
  // carried by the file, and nothing is allocated for it.
  const uint64_t bytes = uint64_t(PNG_IMAGE_SIZE(decoded));
  if (bytes > kMaxDecodedBytes || bytes > uint64_t(size) * 1032u * 32u + (1u << 20)) {
    png_image_free(&decoded);
    return false;
  }
  try {
    image.pixels.assign(static_cast<size_t>(bytes), 0);
  } catch (const std::bad_alloc&) {
    png_image_free(&decoded);
    throw rtl::EOutOfMemory();
  }
  if (!png_image_finish_read(&decoded, nullptr, image.pixels.data(), 0, nullptr)) {
    png_image_free(&decoded);
    return false;
  }
  return true;
}

// The bytes of one pixel of a bitmap's surface (B, G, R first in both formats).
int32_t BytesPerPixel(const gdi::BitmapObject& surface) {
  return surface.Format() == gdi::PixelFormat::Bgrx32 ? 4 : 3;
}

// An RGB image of the colour rows (B, G, R first in each `step`-byte pixel),
// or RGBA with the red channel of `coverage` as alpha.
template <class ColourRow>
PngImage Interleave(int32_t width, int32_t height, int32_t step, ColourRow colourRow, const TFastBMP* coverage) {
  PngImage png;
  png.width = width;
  png.height = height;
  png.channels = coverage ? 4 : 3;
  if (width <= 0 || height <= 0) return png;
  png.pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(png.channels));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* c = colourRow(y);
    const uint8_t* a = coverage ? coverage->RowStarts()[y] : nullptr;
    for (int32_t x = 0; x < width; ++x, c += step) {
      png.pixels.insert(png.pixels.end(), {c[2], c[1], c[0]});
      if (a) png.pixels.push_back(a[3 * x + 2]);
    }
  }
  return png;
}

}  // namespace

bool ReadPngFile(const std::string& path, PngImage& image) {
  std::vector<uint8_t> bytes;
  try {
    bytes = rtl::ReadWholeFile(path);
  } catch (const rtl::Exception&) {
    return false;
  }
  return DecodePng(bytes.data(), bytes.size(), image);
}

void SavePng(const vcl::TBitmap& bitmap, const std::string& path, const TFastBMP* coverage) {
  if (coverage && (coverage->Width() != bitmap.Width() || coverage->Height() != bitmap.Height()))
    throw rtl::EInvalidOperation(rtl::msg::InvalidBitmap);
  const gdi::BitmapObject* surface = bitmap.Surface();
  const auto row = [surface](int32_t y) { return surface->Row(y); };
  // A bitmap without a surface has no pixels to write.
  WritePngFile(path, surface ? Interleave(bitmap.Width(), bitmap.Height(), BytesPerPixel(*surface), row, coverage)
                             : Interleave(0, 0, 3, row, coverage));
}

void SavePng(const TOrvaneBitmap& sprite, const std::string& path) {
  const TFastBMP* color = sprite.ColorRaster();
  const TFastBMP* coverage = sprite.CoverageRaster();
  const bool rasters = color && coverage;
  const auto row = [color](int32_t y) { return color->RowStarts()[y]; };
  PngImage png = Interleave(rasters ? std::max(0, color->Width()) : 0, rasters ? std::max(0, color->Height()) : 0, 3,
                            row, coverage);
  png.channels = 4;  // a sprite's PNG is RGBA even without rasters
  WritePngFile(path, png);
}

std::unique_ptr<TFastBMP> LoadPng(vcl::TBitmap& bitmap, const std::string& path) {
  const std::vector<uint8_t> bytes = rtl::ReadWholeFile(path);
  return LoadPng(bitmap, bytes.data(), bytes.size());
}

std::unique_ptr<TFastBMP> LoadPng(vcl::TBitmap& bitmap, const uint8_t* data, size_t size) {
  PngImage png;
  if (!DecodePng(data, size, png)) throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap);
  std::unique_ptr<TFastBMP> coverage;
  if (png.channels == 4) coverage = std::make_unique<TFastBMP>(png.width, png.height);
  bitmap.SetSize(png.width, png.height);
  const gdi::BitmapObject* surface = bitmap.Surface();
  if (!surface) return coverage;
  const int32_t step = BytesPerPixel(*surface);
  const uint8_t* source = png.pixels.data();
  for (int32_t y = 0; y < png.height; ++y) {
    uint8_t* c = surface->Row(y);
    uint8_t* a = coverage ? coverage->RowStarts()[y] : nullptr;
    for (int32_t x = 0; x < png.width; ++x, c += step, source += png.channels) {
      c[0] = source[2];
      c[1] = source[1];
      c[2] = source[0];
      if (a) a[3 * x] = a[3 * x + 1] = a[3 * x + 2] = source[3];
    }
  }
  return coverage;
}

}  // namespace orvane
