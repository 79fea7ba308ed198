// Drawing a picture into a caller's RGBA buffer.

#include <cstring>

#include <orvane/RgbaImage.h>
#include <orvane/orvane.h>
#include "CallGuard.h"
#include "RenderRequest.h"

using orvane::capi::CallGuard;
using orvane::capi::Require;

extern "C" {

orvane_status orvane_render_size(const orvane_picture* picture, const orvane_render_options* options,
                                 int32_t* width, int32_t* height) {
  return CallGuard([&] {
    Require(picture && width && height, "picture, width and height must not be NULL");
    const orvane::capi::RenderRequest request = orvane::capi::MakeRenderRequest(*picture, options);
    *width = static_cast<int32_t>(request.drawn.width);
    *height = static_cast<int32_t>(request.drawn.height);
  });
}

orvane_status orvane_render(const orvane_picture* picture, const orvane_render_options* options, uint8_t* pixels,
                            int32_t width, int32_t height, size_t stride) {
  return CallGuard([&] {
    Require(picture && pixels, "picture and pixels must not be NULL");
    const orvane::capi::RenderRequest request = orvane::capi::MakeRenderRequest(*picture, options);
    Require(width == request.drawn.width && height == request.drawn.height,
            "width and height are not the size orvane_render_size gives for these options");
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    Require(stride >= rowBytes, "stride is less than width * 4");
    orvane::DrawRgbaRows(*picture->graphic, request.size, request.rgba, [&](const orvane::RgbaRows& rows) {
      for (int32_t i = 0; i < rows.count; ++i)
        std::memcpy(pixels + static_cast<size_t>(rows.top + i) * stride, rows.Row(i), rowBytes);
    });
  });
}

}  // extern "C"
