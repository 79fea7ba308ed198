#include "OrvanePictureUnit1.h"

#include <orvane/forms/ClassRegistry.h>

TForm1* Form1 = nullptr;

void RegisterOrvanePictureUnit1() {
  static bool done = false;
  if (done) return;
  orvane::RegisterOrvaneImage();
  auto& c = orvane::vcl::ClassRegistry::Instance().Register<TForm1>("TForm1", "TForm");
  orvane::vcl::AddField(c, "Label1", &TForm1::Label1);
  orvane::vcl::AddField(c, "Image1", &TForm1::Image1);
  orvane::vcl::AddField(c, "Label2", &TForm1::Label2);
  orvane::vcl::AddField(c, "Label3", &TForm1::Label3);
  orvane::vcl::AddField(c, "OrvaneImage1", &TForm1::OrvaneImage1);
  orvane::vcl::AddMethod(c, "FormPaint", &TForm1::FormPaint);
  done = true;
}
