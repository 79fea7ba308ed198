// draw-to-png PICTURE WIDTH HEIGHT QUALITY OUT.png [exact|one-pixel]
// Draws a picture (.emf, .wmf, .bmp, .ico) anti-aliased onto a white
// bitmap of WIDTH x HEIGHT at a quality from 0 (very low) to 4 (very
// high) and saves the bitmap as a PNG. Lines thinner than a pixel are drawn
// as thin as the picture says (exact, the default) or one pixel wide.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <orvane/OrvanePicture.h>

using namespace orvane;

int main(int argc, char** argv) {
  const bool onePixel = argc == 7 && std::strcmp(argv[6], "one-pixel") == 0;
  if (argc < 6 || argc > 7 || (argc == 7 && !onePixel && std::strcmp(argv[6], "exact") != 0)) {
    std::fprintf(stderr, "usage: %s PICTURE WIDTH HEIGHT QUALITY OUT.png [exact|one-pixel]\n", argv[0]);
    return 2;
  }
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  const FilteredDrawOptions options{static_cast<TOrvanePictureQuality>(std::atoi(argv[4])),
                                    onePixel ? ThinLines::OnePixel : ThinLines::Exact};
  try {
    TPicture picture;
    picture.LoadFromFile(argv[1]);

    TBitmap bitmap;
    bitmap.SetSize(width, height);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(0xFFFFFF);
    canvas.FillRect(Rect(0, 0, width, height));
    const TGraphic& graphic = *picture.Graphic();
    if (graphic.Width() <= 0 || graphic.Height() <= 0) {
      std::fprintf(stderr, "%s: the picture has no size\n", argv[1]);
      return 1;
    }
    FilteredDraw(canvas, 0, 0, graphic, options, double(width) / graphic.Width(), double(height) / graphic.Height());

    SavePng(bitmap, argv[5]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.Message().c_str());
    return 1;
  }
  return 0;
}
