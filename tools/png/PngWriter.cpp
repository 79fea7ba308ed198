#include "png/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>

namespace orvanetools {

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
    throw orvane::rtl::EOutOfResources();
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw orvane::rtl::EOutOfResources();
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
  orvane::rtl::WriteFileAtomically(path, EncodePng(image));
}

bool ReadPngFile(const std::string& path, PngImage& image) {
  png_image decoded{};
  decoded.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&decoded, path.c_str())) return false;
  const bool alpha = (decoded.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  decoded.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
  image.width = static_cast<int32_t>(decoded.width);
  image.height = static_cast<int32_t>(decoded.height);
  image.channels = alpha ? 4 : 3;
  image.pixels.assign(PNG_IMAGE_SIZE(decoded), 0);
  if (!png_image_finish_read(&decoded, nullptr, image.pixels.data(), 0, nullptr)) {
    png_image_free(&decoded);
    return false;
  }
  return true;
}

}  // namespace orvanetools
