// draw-to-png PICTURE WIDTH HEIGHT QUALITY OUT.png [exact|one-pixel]
// Draws a picture (.emf, .wmf, .bmp, .ico) anti-aliased at WIDTH x HEIGHT
// (one of them 0 keeps the aspect ratio) and a quality from 0 (very low)
// to 4 (very high), opaque over white, and saves it as an RGB PNG. Lines
// thinner than a pixel are drawn as thin as the picture says (exact, the
// default) or one pixel wide.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <orvane/OrvanePicture.h>
#include <orvane/RgbaImage.h>

using namespace orvane;

int main(int argc, char** argv) {
  const bool onePixel = argc == 7 && std::strcmp(argv[6], "one-pixel") == 0;
  if (argc < 6 || argc > 7 || (argc == 7 && !onePixel && std::strcmp(argv[6], "exact") != 0)) {
    std::fprintf(stderr, "usage: %s PICTURE WIDTH HEIGHT QUALITY OUT.png [exact|one-pixel]\n", argv[0]);
    return 2;
  }
  RgbaOptions options;
  options.drawing = {static_cast<TOrvanePictureQuality>(std::atoi(argv[4])),
                     onePixel ? ThinLines::OnePixel : ThinLines::Exact};
  options.alpha = AlphaMode::Opaque;
  options.background = 0xFFFFFF;
  try {
    TPicture picture;
    picture.LoadFromFile(argv[1]);
    if (!picture.Graphic()) {
      std::fprintf(stderr, "%s: no picture\n", argv[1]);
      return 1;
    }
    const RgbaImage image =
        DrawRgba(*picture.Graphic(), PictureSize::Exact(std::atoi(argv[2]), std::atoi(argv[3])), options);
    SavePng(image, argv[5]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.Message().c_str());
    return 1;
  }
  return 0;
}
