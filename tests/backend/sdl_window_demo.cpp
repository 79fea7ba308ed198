// A program with one form for the window test: a 608 x 429 form (client
// 600 x 402), white, centred on the screen, whose OnPaint fills the client
// rectangle (100, 50)-(300, 150) red. Its icon (MAINICON) is 16 x 16 opaque
// blue but for a transparent top-left pixel. It runs until its window is closed.
// Mouse presses, releases and double clicks are written to standard output
// ("down left 150 75 shift 8", "up ...", "dblclick").
// With the argument --fail it fails before the loop starts (a missing
// resource), which the last-chance handler reports in a message box.

#include <cstdio>

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
  void FormMouseDown(vcl::TComponent*, vcl::TMouseButton button, vcl::TShiftState shift, int32_t x, int32_t y) {
    Report("down", button, shift, x, y);
  }
  void FormMouseUp(vcl::TComponent*, vcl::TMouseButton button, vcl::TShiftState shift, int32_t x, int32_t y) {
    Report("up", button, shift, x, y);
  }
  void FormDblClick(vcl::TComponent*) {
    std::printf("dblclick\n");
    std::fflush(stdout);
  }

 private:
  static void Report(const char* what, vcl::TMouseButton button, vcl::TShiftState shift, int32_t x, int32_t y) {
    const char* name = button == vcl::mbLeft ? "left" : button == vcl::mbRight ? "right" : "middle";
    std::printf("%s %s %d %d shift %d\n", what, name, x, y, static_cast<int>(shift));
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  auto& c = vcl::ClassRegistry::Instance().Register<TForm1>("TForm1", "TForm");
  vcl::AddMethod(c, "FormPaint", &TForm1::FormPaint);
  vcl::AddMethod(c, "FormMouseDown", &TForm1::FormMouseDown);
  vcl::AddMethod(c, "FormMouseUp", &TForm1::FormMouseUp);
  vcl::AddMethod(c, "FormDblClick", &TForm1::FormDblClick);
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
