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

#include "backend/HeadlessBackend.h"
#include "forms/Application.h"
#include "forms/ClassRegistry.h"
#include "forms/Image.h"
#include "forms/Label.h"
#include "forms/Resources.h"
#include "rtl/Exceptions.h"

namespace gdi {
inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace gdi

namespace formstest {

constexpr vcl::TColor kLime = 0x00FF00;
constexpr vcl::TColor kYellow = 0x00FFFF;

// Fills far beyond its own bounds with Color, so that any missing clip shows.
class TProbe : public vcl::TGraphicControl {
 public:
  explicit TProbe(vcl::TComponent* owner) : TGraphicControl(owner) {}
  const char* ClassName() const override { return "TProbe"; }

  vcl::TColor color = vcl::clBlack;
  int paints = 0;
  // When set, Paint throws this instead of painting.
  std::function<void()> fail;

 protected:
  void Paint() override {
    ++paints;
    if (fail) fail();
    Canvas().Brush().SetColor(color);
    Canvas().Brush().SetStyle(vcl::bsSolid);
    Canvas().FillRect(vcl::Rect(-500, -500, 500, 500));
  }
};

// A container control, so that definitions can nest.
class TBox : public vcl::TWinControl {
 public:
  explicit TBox(vcl::TComponent* owner) : TWinControl(owner) {}
  const char* ClassName() const override { return "TBox"; }
};

// A form with three published controls and handlers that record their calls.
class TTestForm : public vcl::TForm {
 public:
  explicit TTestForm(vcl::TComponent* owner) : TForm(owner) {}
  const char* ClassName() const override { return "TTestForm"; }

  TProbe* Probe1 = nullptr;
  vcl::TImage* Image1 = nullptr;
  TProbe* Probe2 = nullptr;

  vcl::TColor paintColor = vcl::clRed;
  int formPaints = 0;
  std::vector<std::string> log;

  void FormPaint(vcl::TComponent* sender) {
    ++formPaints;
    EXPECT_EQ(sender, this);
    Canvas().Brush().SetColor(paintColor);
    Canvas().Brush().SetStyle(vcl::bsSolid);
    Canvas().FillRect(vcl::Rect(0, 0, 2000, 2000));
  }
  void ProbeClick(vcl::TComponent* sender) { log.push_back("click " + sender->Name()); }
  void ProbeMouseDown(vcl::TComponent* sender, vcl::TMouseButton, vcl::TShiftState, int32_t x, int32_t y) {
    log.push_back("down " + sender->Name() + " " + std::to_string(x) + "," + std::to_string(y));
  }
};

// Registers TProbe, TBox, TTestForm and a recording class TRecorder once.
void RegisterTestClasses();
// Setter calls of TRecorder objects, in order ("Name.Property=value").
std::vector<std::string>& RecorderLog();

// Registers a form definition (or binary) resource whose bytes stay alive.
void AddResource(const std::string& name, vcl::ResourceKind kind, std::string bytes);

// A 2 x 2 bitmap picture record: top-left, top-right, bottom-left, bottom-right.
std::string BitmapPictureRecord(vcl::TColor tl, vcl::TColor tr, vcl::TColor bl, vcl::TColor br);

// The message of the exception that `action` raises ("no error" when none).
std::string ErrorText(const std::function<void()>& action);

class FormsTest : public ::testing::Test {
 protected:
  FormsTest() : application(backend) { RegisterTestClasses(); }
  backend::HeadlessBackend backend;
  vcl::TApplication application;

  backend::HeadlessWindow& WindowOf(vcl::TForm& form) {
    auto* w = backend.FindWindow(form.Window()->Id());
    EXPECT_NE(w, nullptr);
    return *w;
  }
};

}  // namespace formstest
