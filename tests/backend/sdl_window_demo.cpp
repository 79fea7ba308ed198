// A program with one form for the window test: a 608 x 429 form (client
// 600 x 402), white, centred on the screen, whose OnPaint fills the client
// rectangle (100, 50)-(300, 150) red. Its icon (MAINICON) is 16 x 16 opaque
// blue but for a transparent top-left pixel. It runs until its window is closed.
// Mouse presses, releases and double clicks are written to standard output
// ("down left 150 75 shift 8", "up ...", "dblclick").
// With the argument --fail it fails before the loop starts (a missing
// resource), which the last-chance handler reports in a message box.

#include <cstdio>

#include <orvane/backend/SdlBackend.h>
#include <orvane/forms/Application.h>
#include <orvane/forms/ClassRegistry.h>
#include <orvane/forms/LastChance.h>
#include <orvane/forms/Resources.h>
#include <orvane/graphics/Canvas.h>

namespace {

class TForm1 : public orvane::vcl::TForm {
 public:
  using TForm::TForm;
  const char* ClassName() const override { return "TForm1"; }

  void FormPaint(orvane::vcl::TComponent*) {
    Canvas().Brush().SetColor(orvane::vcl::clRed);
    Canvas().FillRect(orvane::vcl::TRect{100, 50, 300, 150});
  }
  void FormMouseDown(orvane::vcl::TComponent*, orvane::vcl::TMouseButton button, orvane::vcl::TShiftState shift, int32_t x, int32_t y) {
    Report("down", button, shift, x, y);
  }
  void FormMouseUp(orvane::vcl::TComponent*, orvane::vcl::TMouseButton button, orvane::vcl::TShiftState shift, int32_t x, int32_t y) {
    Report("up", button, shift, x, y);
  }
  void FormDblClick(orvane::vcl::TComponent*) {
    std::printf("dblclick\n");
    std::fflush(stdout);
  }

 private:
  static void Report(const char* what, orvane::vcl::TMouseButton button, orvane::vcl::TShiftState shift, int32_t x, int32_t y) {
    const char* name = button == orvane::vcl::mbLeft ? "left" : button == orvane::vcl::mbRight ? "right" : "middle";
    std::printf("%s %s %d %d shift %d\n", what, name, x, y, static_cast<int>(shift));
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  orvane::backend::UseSdlBackend();
  auto& c = orvane::vcl::ClassRegistry::Instance().Register<TForm1>("TForm1", "TForm");
  orvane::vcl::AddMethod(c, "FormPaint", &TForm1::FormPaint);
  orvane::vcl::AddMethod(c, "FormMouseDown", &TForm1::FormMouseDown);
  orvane::vcl::AddMethod(c, "FormMouseUp", &TForm1::FormMouseUp);
  orvane::vcl::AddMethod(c, "FormDblClick", &TForm1::FormDblClick);
  orvane::vcl::TApplication application;
  try {
    application.Initialize();
    TForm1* form1 = nullptr;
    application.CreateForm(form1);
    if (argc > 1 && std::string(argv[1]) == "--fail") orvane::vcl::GetResource("NOSUCHTHING", orvane::vcl::ResourceKind::Binary);
    application.Run();
  } catch (...) {
    return orvane::vcl::HandleLastChance(std::current_exception());
  }
  return 0;
}
