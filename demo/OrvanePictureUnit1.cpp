#include "OrvanePictureUnit1.h"

#include "forms/ClassRegistry.h"

TForm1* Form1 = nullptr;

void RegisterOrvanePictureUnit1() {
  static bool done = false;
  if (done) return;
  orvane::RegisterOrvaneImage();
  auto& c = vcl::ClassRegistry::Instance().Register<TForm1>("TForm1", "TForm");
  vcl::AddField(c, "Label1", &TForm1::Label1);
  vcl::AddField(c, "Image1", &TForm1::Image1);
  vcl::AddField(c, "Label2", &TForm1::Label2);
  vcl::AddField(c, "Label3", &TForm1::Label3);
  vcl::AddField(c, "OrvaneImage1", &TForm1::OrvaneImage1);
  vcl::AddMethod(c, "FormPaint", &TForm1::FormPaint);
  done = true;
}
