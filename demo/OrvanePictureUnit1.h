#pragma once
// The demo's main window: a title line, two column headings, and the same
// embedded picture drawn by the package's image control (left) and by the
// stock image control (right); the paint handler draws the rest of the
// comparison from files in the current directory.

#include <orvane/OrvaneImage.h>
#include <orvane/forms/Form.h>
#include <orvane/forms/Image.h>
#include <orvane/forms/Label.h>

class TForm1 : public orvane::vcl::TForm {
 public:
  using orvane::vcl::TForm::TForm;
  const char* ClassName() const override { return "TForm1"; }

  orvane::vcl::TLabel* Label1 = nullptr;
  orvane::vcl::TImage* Image1 = nullptr;
  orvane::vcl::TLabel* Label2 = nullptr;
  orvane::vcl::TLabel* Label3 = nullptr;
  orvane::TOrvaneImage* OrvaneImage1 = nullptr;

  // Draws the comparison: each drawing of the package in the left half beside
  // its plain stretched twin in the right half.
  void FormPaint(orvane::vcl::TComponent* sender);
};

// The main window; set before its construction begins, empty if it failed.
extern TForm1* Form1;

// Registers TForm1, its fields and handler, and the package's image control
// with the form-definition reader (idempotent).
void RegisterOrvanePictureUnit1();
