#include <orvane/RgbaImage.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include <orvane/detail/CoverageOps.h>
#include <orvane/detail/FilteredRows.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FloatMath.h>
#include <orvane/rtl/Messages.h>

namespace orvane {

namespace {

// Bytes of the rows worked on at once: colour, coverage (3 bytes a pixel
// each) and RGBA (4). Small against any image worth streaming, large enough
// that the per-band calls cost nothing.
constexpr size_t kBandBytes = size_t{6} << 20;

// One target row of colour and coverage (B, G, R each) as RGBA.
void StraightRow(const uint8_t* color, const uint8_t* coverage, uint8_t* out, int32_t width) {
  for (int32_t x = 0; x < width; ++x, color += 3, coverage += 3, out += 4) {
    out[0] = color[2];
    out[1] = color[1];
    out[2] = color[0];
    out[3] = coverage[2];
  }
}

void PremultipliedRow(const uint8_t* color, const uint8_t* coverage, uint8_t* out, int32_t width) {
  for (int32_t x = 0; x < width; ++x, color += 3, coverage += 3, out += 4) {
    const uint32_t c = coverage[2];
    out[0] = static_cast<uint8_t>(color[2] * c / 255);
    out[1] = static_cast<uint8_t>(color[1] * c / 255);
    out[2] = static_cast<uint8_t>(color[0] * c / 255);
    out[3] = static_cast<uint8_t>(c);
  }
}

// The blend of FilteredDraw over the background.
void OpaqueRow(const uint8_t* color, const uint8_t* coverage, uint8_t* out, int32_t width, const uint8_t rgb[3]) {
  for (int32_t x = 0; x < width; ++x, color += 3, coverage += 3, out += 4) {
    for (int i = 0; i < 3; ++i) out[i] = BlendChannel(rgb[i], color[2 - i], coverage[2]);
    out[3] = 255;
  }
}

// Checks the size and makes the rows' renderer; raises before anything is drawn.
struct SizedDrawing {
  SizedDrawing(const vcl::TGraphic& graphic, const PictureSize& size, const FilteredDrawOptions& options)
      : drawn(SizeFor(size, graphic)) {
    if (drawn.width <= 0 || drawn.height <= 0) throw rtl::EInvalidOperation(rtl::msg::NegativeSize);
    if (!IsDrawableSize(drawn)) throw rtl::EOutOfResources();
    const double scaleX = rtl::CheckedDivide(static_cast<double>(drawn.width), graphic.Width());
    const double scaleY = rtl::CheckedDivide(static_cast<double>(drawn.height), graphic.Height());
    rows.emplace(graphic, options, scaleX, scaleY);
  }
  PixelSize drawn;
  std::optional<FilteredRows> rows;
};

// Hands the drawing's rows to `sink` a band at a time.
void DrawBands(SizedDrawing& drawing, const RgbaOptions& options, const RgbaRowSink& sink) {
  FilteredRows& rows = *drawing.rows;
  const auto width = static_cast<int32_t>(drawing.drawn.width), height = static_cast<int32_t>(drawing.drawn.height);
  // The scale is width / graphic width, so the filtered target is this
  // size; the buffers take the wider of the two all the same, and rows or
  // columns the target lacks stay uncovered.
  const int32_t bufferWidth = std::max(width, rows.Width());
  const size_t tripleStride = (static_cast<size_t>(bufferWidth) * 3 + 3) & ~size_t{3};
  const size_t rgbaStride = static_cast<size_t>(width) * 4;
  const int32_t bandRows = static_cast<int32_t>(
      std::clamp<size_t>(kBandBytes / (2 * tripleStride + rgbaStride), 1, static_cast<size_t>(height)));
  std::vector<uint8_t> color, coverage, rgba;
  try {
    color.resize(tripleStride * static_cast<size_t>(bandRows));
    coverage.resize(color.size());
    rgba.resize(rgbaStride * static_cast<size_t>(bandRows));
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  const auto stride = static_cast<ptrdiff_t>(tripleStride);
  const uint8_t background[3] = {static_cast<uint8_t>(options.background & 0xFF),
                                 static_cast<uint8_t>((options.background >> 8) & 0xFF),
                                 static_cast<uint8_t>((options.background >> 16) & 0xFF)};
  for (int32_t top = 0; top < height; top += bandRows) {
    const int32_t count = std::min(bandRows, height - top);
    // Colour is written only where the picture paints, coverage only
    // within the target: both start from nothing painted.
    std::fill(color.begin(), color.end(), uint8_t{0});
    std::fill(coverage.begin(), coverage.end(), uint8_t{0});
    rows.Render(top, count, {color.data(), stride}, {coverage.data(), stride});
    for (int32_t r = 0; r < count; ++r) {
      const uint8_t* c = color.data() + static_cast<size_t>(r) * tripleStride;
      const uint8_t* a = coverage.data() + static_cast<size_t>(r) * tripleStride;
      uint8_t* out = rgba.data() + static_cast<size_t>(r) * rgbaStride;
      switch (options.alpha) {
        case AlphaMode::Straight: StraightRow(c, a, out, width); break;
        case AlphaMode::Premultiplied: PremultipliedRow(c, a, out, width); break;
        case AlphaMode::Opaque: OpaqueRow(c, a, out, width, background); break;
      }
    }
    sink(RgbaRows{top, count, width, rgba.data(), rgbaStride});
  }
}

}  // namespace

PixelSize DrawRgbaRows(const vcl::TGraphic& graphic, const PictureSize& size, const RgbaOptions& options,
                       const RgbaRowSink& sink) {
  SizedDrawing drawing(graphic, size, options.drawing);
  DrawBands(drawing, options, sink);
  return drawing.drawn;
}

RgbaImage DrawRgba(const vcl::TGraphic& graphic, const PictureSize& size, const RgbaOptions& options) {
  SizedDrawing drawing(graphic, size, options.drawing);
  RgbaImage image;
  image.width = static_cast<int32_t>(drawing.drawn.width);
  image.height = static_cast<int32_t>(drawing.drawn.height);
  image.alpha = options.alpha;
  const size_t rowBytes = static_cast<size_t>(image.width) * 4;
  try {
    image.pixels.resize(rowBytes * static_cast<size_t>(image.height));
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  DrawBands(drawing, options, [&image, rowBytes](const RgbaRows& rows) {
    for (int32_t r = 0; r < rows.count; ++r)
      std::memcpy(image.pixels.data() + static_cast<size_t>(rows.top + r) * rowBytes, rows.Row(r), rowBytes);
  });
  return image;
}

}  // namespace orvane
