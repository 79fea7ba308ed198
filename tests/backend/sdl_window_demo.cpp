// A program with one form for the window test: a 608 x 429 form (client
// 600 x 402), white, centred on the screen, whose OnPaint fills the client
// rectangle (100, 50)-(300, 150) red. Its icon (MAINICON) is 16 x 16 opaque
// blue but for a transparent top-left pixel. It runs until its window is closed.
// With the argument --fail it fails before the loop starts (a missing
// resource), which the last-chance handler reports in a message box.

#include "forms/Application.h"
#include "forms/ClassRegistry.h"
#include "forms/LastChance.h"
#include "forms/Resources.h"
#include "graphics/Canvas.h"

namespace {

class TForm1 : public vcl::TForm {
 public:
  using TForm::TForm;
  const char* ClassName() const override { return "TForm1"; }

  void FormPaint(vcl::TComponent*) {
    Canvas().Brush().SetColor(vcl::clRed);
    Canvas().FillRect(vcl::TRect{100, 50, 300, 150});
  }
};

}  // namespace

int main(int argc, char** argv) {
  auto& c = vcl::ClassRegistry::Instance().Register<TForm1>("TForm1", "TForm");
  vcl::AddMethod(c, "FormPaint", &TForm1::FormPaint);
  vcl::TApplication application;
  try {
    application.Initialize();
    TForm1* form1 = nullptr;
    application.CreateForm(form1);
    if (argc > 1 && std::string(argv[1]) == "--fail") vcl::GetResource("NOSUCHTHING", vcl::ResourceKind::Binary);
    application.Run();
  } catch (...) {
    return vcl::HandleLastChance(std::current_exception());
  }
  return 0;
}
