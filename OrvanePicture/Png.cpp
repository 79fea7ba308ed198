#include <orvane/Png.h>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <utility>

#include <orvane/FastBMP.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/RgbaImage.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>
#include <orvane/rtl/Messages.h>

namespace orvane {

struct PngRowWriter::State {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Sink sink;
  std::exception_ptr sinkError;  // what the sink raised, to raise again once out of libpng
  int32_t rowsLeft = 0;
  bool failed = false;
  ~State() { png_destroy_write_struct(&png, &info); }
};

namespace {

using WriterState = PngRowWriter::State;

// Errors end the libpng step under way through its jump buffer, unprinted.
void WriteError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void WriteWarning(png_structp, png_const_charp) {}

void WriteToSink(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<WriterState*>(png_get_io_ptr(png));
  bool raised = false;
  try {
    state->sink(data, length);
  } catch (...) {
    state->sinkError = std::current_exception();
    raised = true;
  }
  // Out of the handler first: the jump must not leave an exception half handled.
  if (raised) png_error(png, "the sink failed");
}
void NoFlush(png_structp) {}

// Runs one step of libpng; false when libpng ended it with an error. No
// object with a destructor lives in this frame, which the jump skips.
bool RunStep(WriterState& state, void (*step)(WriterState&, const void*), const void* argument) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  step(state, argument);
  return true;
}

struct Header {
  int32_t width, height;
  int channels;
};

void WriteHeader(WriterState& state, const void* argument) {
  const auto& h = *static_cast<const Header*>(argument);
  png_set_write_fn(state.png, &state, WriteToSink, NoFlush);
  png_set_IHDR(state.png, state.info, static_cast<png_uint_32>(h.width), static_cast<png_uint_32>(h.height), 8,
               h.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Each row's filter is chosen among none, sub and up: on rendered
  // pictures that compresses as well as choosing among all five, in a
  // quarter to a third less time. No filter at all is faster still, but
  // leaves pictures with embedded photographs several times larger.
  png_set_filter(state.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE | PNG_FILTER_SUB | PNG_FILTER_UP);
  png_write_info(state.png, state.info);
}

void WriteOneRow(WriterState& state, const void* row) {
  png_write_row(state.png, static_cast<png_const_bytep>(row));
}

void WriteEnd(WriterState& state, const void*) { png_write_end(state.png, nullptr); }

}  // namespace

PngRowWriter::PngRowWriter(int32_t width, int32_t height, int channels, Sink sink)
    : state_(std::make_unique<State>()) {
  state_->sink = std::move(sink);
  state_->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, WriteError, WriteWarning);
  state_->info = state_->png ? png_create_info_struct(state_->png) : nullptr;
  if (!state_->png || !state_->info) throw rtl::EOutOfResources();
  const Header header{width, height, channels == 4 ? 4 : 3};
  state_->rowsLeft = height;
  if (!RunStep(*state_, WriteHeader, &header)) {
    if (state_->sinkError) std::rethrow_exception(state_->sinkError);
    throw rtl::EOutOfResources();
  }
}

PngRowWriter::~PngRowWriter() = default;

namespace {

void Step(WriterState& state, void (*step)(WriterState&, const void*), const void* argument) {
  if (state.failed) throw rtl::EOutOfResources();
  if (RunStep(state, step, argument)) return;
  state.failed = true;
  if (state.sinkError) std::rethrow_exception(std::exchange(state.sinkError, nullptr));
  throw rtl::EOutOfResources();
}

}  // namespace

// libpng neither refuses rows beyond the height nor an end before the last row.
void PngRowWriter::WriteRow(const uint8_t* row) {
  if (state_->rowsLeft <= 0) throw rtl::EOutOfResources();
  Step(*state_, WriteOneRow, row);
  --state_->rowsLeft;
}

void PngRowWriter::Finish() {
  if (state_->rowsLeft != 0) throw rtl::EOutOfResources();
  Step(*state_, WriteEnd, nullptr);
}

std::vector<uint8_t> EncodePng(const PngImage& image) {
  std::vector<uint8_t> out;
  try {
    PngRowWriter writer(image.width, image.height, image.channels,
                        [&out](const uint8_t* bytes, size_t size) { out.insert(out.end(), bytes, bytes + size); });
    const size_t stride = static_cast<size_t>(image.width) * static_cast<size_t>(image.channels == 4 ? 4 : 3);
    for (int32_t y = 0; y < image.height; ++y) writer.WriteRow(image.pixels.data() + static_cast<size_t>(y) * stride);
    writer.Finish();
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  return out;
}

void WritePngFile(const std::string& path, const PngImage& image) {
  rtl::WriteFileAtomically(path, EncodePng(image));
}

namespace {

constexpr uint64_t kMaxDecodedBytes = uint64_t(1) << 30;

// Whether a width x height image of `channels` 8-bit channels can come out
// of a PNG file of `fileBytes`: deflate expands at most about 1032 times,
// and the widest conversion (1-bit palette to RGBA) 32 times more, so a
// claim beyond that cannot be carried by the file and nothing is allocated
// for it; nor for more than 1 GiB.
bool DecodedSizeFits(uint32_t width, uint32_t height, int channels, size_t fileBytes) {
  const uint64_t bytes = uint64_t{width} * height * static_cast<uint64_t>(channels);
  return bytes <= kMaxDecodedBytes && bytes <= uint64_t(fileBytes) * 1032u * 32u + (1u << 20);
}

// One pass of libpng over a PNG in memory, row by row. Errors of libpng
// end the step under way (which then answers false) and are not printed;
// warnings are dropped, and so are benign errors (a damaged ancillary
// chunk, image data beyond the last row). Each step that calls into libpng
// sets its jump buffer itself and keeps no object with a destructor in its
// frame.
class PngRowReader {
 public:
  PngRowReader(const uint8_t* data, size_t size) : data_(data), size_(size) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
    info_ = png_ ? png_create_info_struct(png_) : nullptr;
    if (!png_ || !info_) {
      png_destroy_read_struct(&png_, &info_, nullptr);
      throw rtl::EOutOfMemory();
    }
    png_set_read_fn(png_, this, Read);
  }
  ~PngRowReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
  PngRowReader(const PngRowReader&) = delete;
  PngRowReader& operator=(const PngRowReader&) = delete;

  // Reads the signature and the chunks before the image data; false when
  // this is not a PNG.
  bool ReadHeader() {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_set_benign_errors(png_, 1);
    png_read_info(png_, info_);
    return true;
  }
  uint32_t Width() const { return png_get_image_width(png_, info_); }
  uint32_t Height() const { return png_get_image_height(png_, info_); }
  // An alpha channel, or a transparency chunk that makes one.
  bool HasAlpha() const {
    return (png_get_color_type(png_, info_) & PNG_COLOR_MASK_ALPHA) || png_get_valid(png_, info_, PNG_INFO_tRNS);
  }

  // Rows as the file holds them, unconverted (only to check the data).
  bool PrepareUnconverted() {
    if (setjmp(png_jmpbuf(png_))) return false;
    passes_ = png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    return true;
  }
  // Rows of 8-bit sRGB samples (16-bit samples are taken as linear, others
  // as sRGB unless the file says otherwise), palettes and grey expanded,
  // transparency made alpha: R, G, B and, with `alpha`, A; or, for
  // `Layout::Bgrx`, B, G, R and a fourth byte, the alpha or 255.
  enum class Layout { Rgb, Bgrx };
  bool Prepare(bool alpha, Layout layout) {
    if (setjmp(png_jmpbuf(png_))) return false;
    const int colorType = png_get_color_type(png_, info_);
    const bool sixteen = png_get_bit_depth(png_, info_) == 16;
    png_set_expand(png_);
    if (!(colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png_);
    // The first call names the samples' gamma where the file gives none, the second the output's.
    png_set_alpha_mode_fixed(png_, PNG_ALPHA_PNG, sixteen ? PNG_GAMMA_LINEAR : PNG_DEFAULT_sRGB);
    if (sixteen) png_set_scale_16(png_);
    png_set_alpha_mode_fixed(png_, PNG_ALPHA_PNG, PNG_DEFAULT_sRGB);
    if (layout == Layout::Bgrx) {
      if (!alpha) png_set_filler(png_, 0xFF, PNG_FILLER_AFTER);
      png_set_bgr(png_);
    }
    passes_ = png_set_interlace_handling(png_);
    png_read_update_info(png_, info_);
    return png_get_rowbytes(png_, info_) == size_t{Width()} * (alpha || layout == Layout::Bgrx ? 4 : 3);
  }
  // Decodes every row of every pass, row y of a pass into rowOf(y) (null:
  // decoded and dropped), then `done(y)` once row y is complete.
  template <class RowOf, class Done>
  bool ReadRows(RowOf rowOf, Done done) {
    if (setjmp(png_jmpbuf(png_))) return false;
    const uint32_t height = Height();
    for (int pass = 0; pass < passes_; ++pass) {
      const bool last = pass + 1 == passes_;
      for (uint32_t y = 0; y < height; ++y) {
        png_read_row(png_, rowOf(y), nullptr);
        if (last) done(y);
      }
    }
    return true;
  }

 private:
  static void Read(png_structp png, png_bytep out, png_size_t length) {
    auto* self = static_cast<PngRowReader*>(png_get_io_ptr(png));
    if (length > self->size_ - self->at_) png_error(png, "read beyond the end of the data");
    std::memcpy(out, self->data_ + self->at_, length);
    self->at_ += length;
  }
  static void Error(png_structp png, png_const_charp) { png_longjmp(png, 1); }
  static void Warning(png_structp, png_const_charp) {}

  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int passes_ = 1;
};

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
  PngRowReader reader(bytes.data(), bytes.size());
  if (!reader.ReadHeader()) return false;
  const bool alpha = reader.HasAlpha();
  const int channels = alpha ? 4 : 3;
  if (!DecodedSizeFits(reader.Width(), reader.Height(), channels, bytes.size()) ||
      !reader.Prepare(alpha, PngRowReader::Layout::Rgb))
    return false;
  PngImage decoded;
  decoded.width = static_cast<int32_t>(reader.Width());
  decoded.height = static_cast<int32_t>(reader.Height());
  decoded.channels = channels;
  const size_t stride = size_t{reader.Width()} * static_cast<size_t>(channels);
  try {
    decoded.pixels.assign(stride * reader.Height(), 0);
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  uint8_t* pixels = decoded.pixels.data();
  if (!reader.ReadRows([pixels, stride](uint32_t y) { return pixels + y * stride; }, [](uint32_t) {})) return false;
  image = std::move(decoded);
  return true;
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

void SavePng(const RgbaImage& image, const std::string& path) {
  const size_t rowBytes = static_cast<size_t>(std::max(0, image.width)) * 4;
  if (image.pixels.size() < rowBytes * static_cast<size_t>(std::max(0, image.height)))
    throw rtl::EInvalidOperation(rtl::msg::InvalidBitmap);
  const bool opaque = image.alpha == AlphaMode::Opaque;
  std::vector<uint8_t> file;
  try {
    PngRowWriter writer(image.width, image.height, opaque ? 3 : 4,
                        [&file](const uint8_t* bytes, size_t size) { file.insert(file.end(), bytes, bytes + size); });
    std::vector<uint8_t> rgb(opaque ? static_cast<size_t>(image.width) * 3 : 0);
    for (int32_t y = 0; y < image.height; ++y) {
      const uint8_t* row = image.Row(y);
      if (opaque) {
        for (int32_t x = 0; x < image.width; ++x) std::memcpy(&rgb[3 * size_t(x)], row + 4 * size_t(x), 3);
        row = rgb.data();
      }
      writer.WriteRow(row);
    }
    writer.Finish();
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  rtl::WriteFileAtomically(path, file);
}

std::unique_ptr<TFastBMP> LoadPng(vcl::TBitmap& bitmap, const std::string& path) {
  const std::vector<uint8_t> bytes = rtl::ReadWholeFile(path);
  return LoadPng(bitmap, bytes.data(), bytes.size());
}

std::unique_ptr<TFastBMP> LoadPng(vcl::TBitmap& bitmap, const uint8_t* data, size_t size) {
  // The whole file is decoded once and dropped, row by row, before anything
  // is made: bad data leaves the bitmap as it was. The second decoding goes
  // straight into the bitmap's surface, the one copy of the pixels there is.
  bool alpha = false;
  uint32_t width = 0, height = 0;
  {
    PngRowReader check(data, size);
    if (!check.ReadHeader()) throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap);
    alpha = check.HasAlpha();
    width = check.Width();
    height = check.Height();
    if (!DecodedSizeFits(width, height, alpha ? 4 : 3, size) || !check.PrepareUnconverted() ||
        !check.ReadRows([](uint32_t) -> png_bytep { return nullptr; }, [](uint32_t) {}))
      throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap);
  }
  const auto w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
  std::unique_ptr<TFastBMP> coverage;
  if (alpha) coverage = std::make_unique<TFastBMP>(w, h);
  PngRowReader reader(data, size);
  if (!reader.ReadHeader() || !reader.Prepare(alpha, PngRowReader::Layout::Bgrx))
    throw rtl::EInvalidGraphic(rtl::msg::InvalidBitmap);

  bitmap.SetSize(w, h);
  const gdi::BitmapObject* surface = bitmap.Surface();
  if (!surface) return coverage;
  // A bitmap's surface is in the screen format, four bytes a pixel (B, G,
  // R, unused): a row of the converted image fits it exactly. With alpha,
  // the fourth byte moves to the coverage raster once its row is complete.
  const auto rowOf = [surface](uint32_t y) { return surface->Row(static_cast<int32_t>(y)); };
  const auto split = [surface, &coverage, w](uint32_t y) {
    if (!coverage) return;
    uint8_t* c = surface->Row(static_cast<int32_t>(y));
    uint8_t* a = coverage->RowStarts()[y];
    for (int32_t x = 0; x < w; ++x, c += 4, a += 3) {
      a[0] = a[1] = a[2] = c[3];
      c[3] = 0xFF;
    }
  };
  // The data was read to its end once already: only memory libpng needs
  // for its buffers can fail here (and the bitmap then holds part of the image).
  if (!reader.ReadRows(rowOf, split)) throw rtl::EOutOfMemory();
  return coverage;
}

}  // namespace orvane
