// TForm1::FormPaint: the comparison, drawn anew on every paint from the files
// "Socer.EMF", "Socer.OBM", "Bicycl.EMF" and "Hockey2.EMF" in the current
// directory. Every filtered step uses opqHigh. Nothing is caught: a failing
// step ends the paint and its error goes to the application's display; the
// picture container and the sprites are released on every way out.

#include <memory>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include "OrvanePictureUnit1.h"
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>

void TForm1::FormPaint(orvane::vcl::TComponent*) {
  using orvane::opqHigh;
  orvane::vcl::TCanvas& canvas = Canvas();
  auto picture = std::make_unique<orvane::vcl::TPicture>();                       // 1
  picture->LoadFromFile("Socer.EMF");                                     // 2
  {
    auto sprite = std::make_unique<orvane::TOrvaneBitmap>();              // 3
    sprite->LoadSpriteFile("Socer.OBM");                                  // 4
    sprite->Draw(canvas, 8, 112);                                         // 5
    canvas.StretchDraw(orvane::vcl::Rect(328, 112, 433, 231), picture->Metafile());  // 6
  }                                                                       // 7
  picture->LoadFromFile("Bicycl.EMF");                                    // 8
  {
    auto sprite = std::make_unique<orvane::TOrvaneBitmap>();              // 9
    sprite->Render(picture->Metafile(), 50, 60, opqHigh);                 // 10
    sprite->Draw(canvas, 140, 132);                                       // 11
    canvas.StretchDraw(orvane::vcl::Rect(460, 132, 510, 192), picture->Metafile());  // 12
    sprite->Render(picture->Metafile(), 100, 120, opqHigh);               // 13
    sprite->Draw(canvas, 150, 122);                                       // 14
    canvas.StretchDraw(orvane::vcl::Rect(470, 122, 570, 242), picture->Metafile());  // 15
  }                                                                       // 16
  picture->LoadFromFile("Hockey2.EMF");                                   // 17
  orvane::OrvaneStretchDraw(canvas, orvane::vcl::Rect(90, 300, 140, 350), picture->Metafile(), opqHigh);  // 18
  canvas.StretchDraw(orvane::vcl::Rect(408, 300, 458, 350), picture->Metafile());                         // 19
  orvane::OrvaneStretchDraw(canvas, orvane::vcl::Rect(10, 275, 110, 375), picture->Metafile(), opqHigh);  // 20
  canvas.StretchDraw(orvane::vcl::Rect(328, 275, 428, 375), picture->Metafile());                         // 21
}                                                                         // 22: the container goes
