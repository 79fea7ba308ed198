// draw-to-png PICTURE WIDTH HEIGHT QUALITY OUT.png
// Draws a picture (.emf, .wmf, .bmp, .ico) anti-aliased onto a white
// bitmap of WIDTH x HEIGHT at a quality from 0 (very low) to 4 (very
// high) and saves the bitmap as a PNG.
#include <cstdio>
#include <cstdlib>

#include <orvane/OrvanePicture.h>

using namespace orvane;

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s PICTURE WIDTH HEIGHT QUALITY OUT.png\n", argv[0]);
    return 2;
  }
  const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
  const auto quality = static_cast<TOrvanePictureQuality>(std::atoi(argv[4]));
  try {
    TPicture picture;
    picture.LoadFromFile(argv[1]);

    TBitmap bitmap;
    bitmap.SetSize(width, height);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(0xFFFFFF);
    canvas.FillRect(Rect(0, 0, width, height));
    // The destination rectangle of OrvaneStretchDraw includes its right and bottom edges.
    OrvaneStretchDraw(canvas, Rect(0, 0, width - 1, height - 1), picture.Graphic(), quality);

    SavePng(bitmap, argv[5]);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: %s\n", argv[1], e.Message().c_str());
    return 1;
  }
  return 0;
}
