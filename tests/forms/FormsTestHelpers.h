#pragma once
// Shared pieces of the toolkit tests: a headless application, a graphic
// control that paints a solid colour (or fails) and records its paints, a
// form class with published fields and handlers, and form definitions
// registered as resources from strings.

#include <gtest/gtest.h>

#include <functional>
#include <list>
#include <string>
#include <vector>

#include <orvane/backend/HeadlessBackend.h>
#include <orvane/forms/Application.h>
#include <orvane/forms/ClassRegistry.h>
#include <orvane/forms/Image.h>
#include <orvane/forms/Label.h>
#include <orvane/forms/Resources.h>
#include <orvane/rtl/Exceptions.h>

namespace orvane::gdi {
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace orvane::gdi

namespace formstest {

constexpr orvane::vcl::TColor kLime = 0x00FF00;
constexpr orvane::vcl::TColor kYellow = 0x00FFFF;

// Fills far beyond its own bounds with Color, so that any missing clip shows.
class TProbe : public orvane::vcl::TGraphicControl {
 public:
  explicit TProbe(orvane::vcl::TComponent* owner) : TGraphicControl(owner) {}
  const char* ClassName() const override { return "TProbe"; }

  orvane::vcl::TColor color = orvane::vcl::clBlack;
  int paints = 0;
  // When set, Paint throws this instead of painting.
  std::function<void()> fail;

 protected:
  void Paint() override {
    ++paints;
    if (fail) fail();
    Canvas().Brush().SetColor(color);
    Canvas().Brush().SetStyle(orvane::vcl::bsSolid);
    Canvas().FillRect(orvane::vcl::Rect(-500, -500, 500, 500));
  }
};

// A container control, so that definitions can nest.
class TBox : public orvane::vcl::TWinControl {
 public:
  explicit TBox(orvane::vcl::TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TBox"; }
};

// A form with three published controls and handlers that record their calls.
class TTestForm : public orvane::vcl::TForm {
 public:
  explicit TTestForm(orvane::vcl::TComponent* owner) : TForm(owner) {}
  const char* ClassName() const override { return "TTestForm"; }

  TProbe* Probe1 = nullptr;
  orvane::vcl::TImage* Image1 = nullptr;
  TProbe* Probe2 = nullptr;

  orvane::vcl::TColor paintColor = orvane::vcl::clRed;
  int formPaints = 0;
  std::vector<std::string> log;

  void FormPaint(orvane::vcl::TComponent* sender) {
    ++formPaints;
    EXPECT_EQ(sender, this);
    Canvas().Brush().SetColor(paintColor);
    Canvas().Brush().SetStyle(orvane::vcl::bsSolid);
    Canvas().FillRect(orvane::vcl::Rect(0, 0, 2000, 2000));
  }
  void ProbeClick(orvane::vcl::TComponent* sender) { log.push_back("click " + sender->Name()); }
  void ProbeMouseDown(orvane::vcl::TComponent* sender, orvane::vcl::TMouseButton, orvane::vcl::TShiftState, int32_t x, int32_t y) {
    log.push_back("down " + sender->Name() + " " + std::to_string(x) + "," + std::to_string(y));
  }
};

// Registers TProbe, TBox, TTestForm and a recording class TRecorder once.
void RegisterTestClasses();
// Setter calls of TRecorder objects, in order ("Name.Property=value").
std::vector<std::string>& RecorderLog();

// Registers a form definition (or binary) resource whose bytes stay alive.
void AddResource(const std::string& name, orvane::vcl::ResourceKind kind, std::string bytes);

// A 2 x 2 bitmap picture record: top-left, top-right, bottom-left, bottom-right.
std::string BitmapPictureRecord(orvane::vcl::TColor tl, orvane::vcl::TColor tr, orvane::vcl::TColor bl, orvane::vcl::TColor br);

// The message of the exception that `action` raises ("no error" when none).
std::string ErrorText(const std::function<void()>& action);

class FormsTest : public ::testing::Test {
 protected:
  FormsTest() : application(backend) { RegisterTestClasses(); }
  orvane::backend::HeadlessBackend backend;
  orvane::vcl::TApplication application;

  orvane::backend::HeadlessWindow& WindowOf(orvane::vcl::TForm& form) {
    auto* w = backend.FindWindow(form.Window()->Id());
    EXPECT_NE(w, nullptr);
    return *w;
  }
};

}  // namespace formstest
