#include "RenderRequest.h"

#include <cmath>
#include <cstring>
#include <string>

#include "CallGuard.h"

namespace orvane::capi {

namespace {

// The size of the options as this interface first had them; smaller
// structs come from no version of the header.
constexpr size_t kFirstOptionsSize = sizeof(orvane_render_options);

PictureSize AskedSize(const orvane_picture& picture, const orvane_render_options& o) {
  switch (o.size_rule) {
    case ORVANE_SIZE_NATURAL: return PictureSize::Natural();
    case ORVANE_SIZE_EXACT:
      Require(o.width >= 0 && o.height >= 0 && (o.width > 0 || o.height > 0),
              "an exact size needs sides of 0 or more, one of them positive");
      return PictureSize::Exact(o.width, o.height);
    case ORVANE_SIZE_FIT:
      Require(o.width > 0 && o.height > 0, "a box to fit needs positive sides");
      return PictureSize::Fit(o.width, o.height);
    case ORVANE_SIZE_DPI:
      Require(std::isfinite(o.dpi) && o.dpi > 0, "dpi must be a positive number");
      return PictureSize::AtDpi(o.dpi, picture.inchesWide, picture.inchesHigh);
    default: Require(false, "unknown size rule");
  }
  return {};
}

std::string SizeText(PixelSize size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

}  // namespace

RenderRequest MakeRenderRequest(const orvane_picture& picture, const orvane_render_options* options) {
  orvane_render_options o;
  orvane_render_options_init(&o);
  if (options) {
    Require(options->struct_size >= kFirstOptionsSize && options->struct_size <= sizeof(orvane_render_options),
            "struct_size is not sizeof(orvane_render_options)");
    // Fields a smaller (older) struct lacks keep their defaults.
    std::memcpy(&o, options, options->struct_size);
  }
  Require(o.quality >= opqVeryLow && o.quality <= opqVeryHigh, "quality must be 0 to 4");
  Require(o.thin_lines == ORVANE_THIN_LINES_ONE_PIXEL || o.thin_lines == ORVANE_THIN_LINES_EXACT,
          "unknown thin-line mode");
  Require(o.alpha >= ORVANE_ALPHA_STRAIGHT && o.alpha <= ORVANE_ALPHA_OPAQUE, "unknown alpha mode");
  Require(o.background <= 0xFFFFFF, "background must be 0xRRGGBB");

  RenderRequest request;
  request.size = AskedSize(picture, o);
  request.rgba.drawing.quality = static_cast<TOrvanePictureQuality>(o.quality);
  request.rgba.drawing.thinLines = o.thin_lines == ORVANE_THIN_LINES_EXACT ? ThinLines::Exact : ThinLines::OnePixel;
  request.rgba.alpha = o.alpha == ORVANE_ALPHA_OPAQUE          ? AlphaMode::Opaque
                       : o.alpha == ORVANE_ALPHA_PREMULTIPLIED ? AlphaMode::Premultiplied
                                                               : AlphaMode::Straight;
  // 0xRRGGBB to a colour value, red in bits 0-7.
  const uint32_t rgb = o.background;
  request.rgba.background = static_cast<vcl::TColor>((rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));

  request.drawn = SizeFor(request.size, *picture.graphic);
  if (request.drawn.width <= 0 || request.drawn.height <= 0)
    throw ApiFailure{ORVANE_ERROR_INVALID_PICTURE, "the picture has no size to draw it at"};
  if (!IsDrawableSize(request.drawn))
    throw ApiFailure{ORVANE_ERROR_TOO_LARGE, "the size to draw, " + SizeText(request.drawn) +
                                                 ", is above the limit of " +
                                                 SizeText({kLargestPictureSide, kLargestPictureSide})};
  return request;
}

}  // namespace orvane::capi
