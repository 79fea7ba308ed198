#include "FormsTestHelpers.h"

#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Picture.h>

namespace formstest {

namespace {

class TRecorder : public orvane::vcl::TComponent {
 public:
  explicit TRecorder(orvane::vcl::TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TRecorder"; }
};

void Record(orvane::vcl::TComponent& c, const char* property, const orvane::vcl::FormValue& v) {
  std::string text;
  switch (v.kind) {
    case orvane::vcl::FormValue::Kind::Integer: text = std::to_string(v.integer); break;
    case orvane::vcl::FormValue::Kind::String: text = "'" + v.text + "'"; break;
    case orvane::vcl::FormValue::Kind::Identifier: text = v.text; break;
    case orvane::vcl::FormValue::Kind::Set:
      text = "[";
      for (const auto& item : v.items) text += (text.size() > 1 ? "," : "") + item;
      text += "]";
      break;
    case orvane::vcl::FormValue::Kind::Binary: text = "<" + std::to_string(v.size) + " bytes>"; break;
  }
  RecorderLog().push_back(c.Name() + "." + property + "=" + text);
}

}  // namespace

std::vector<std::string>& RecorderLog() {
  static std::vector<std::string> log;
  return log;
}

void RegisterTestClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  auto& r = orvane::vcl::ClassRegistry::Instance();
  r.Register<TProbe>("TProbe", "TGraphicControl")
      .Property("Color", [](orvane::vcl::TComponent& c, const orvane::vcl::FormValue& v) {
        static_cast<TProbe&>(c).color = orvane::vcl::ValueAsColor(v);
      });
  r.Register<TBox>("TBox", "TWinControl");
  r.Register<TRecorder>("TRecorder", "TComponent")
      .Property("First", [](orvane::vcl::TComponent& c, const orvane::vcl::FormValue& v) { Record(c, "First", v); })
      .Property("Second", [](orvane::vcl::TComponent& c, const orvane::vcl::FormValue& v) { Record(c, "Second", v); })
      .Property("Third", [](orvane::vcl::TComponent& c, const orvane::vcl::FormValue& v) { Record(c, "Third", v); });
  auto& form = r.Register<TTestForm>("TTestForm", "TForm");
  orvane::vcl::AddField(form, "Probe1", &TTestForm::Probe1);
  orvane::vcl::AddField(form, "Image1", &TTestForm::Image1);
  orvane::vcl::AddField(form, "Probe2", &TTestForm::Probe2);
  orvane::vcl::AddMethod(form, "FormPaint", &TTestForm::FormPaint);
  orvane::vcl::AddMethod(form, "ProbeClick", &TTestForm::ProbeClick);
  orvane::vcl::AddMethod(form, "ProbeMouseDown", &TTestForm::ProbeMouseDown);
}

void AddResource(const std::string& name, orvane::vcl::ResourceKind kind, std::string bytes) {
  static std::list<std::string> keep;  // list: the strings never move
  keep.push_back(std::move(bytes));
  orvane::vcl::RegisterResource(name, kind, reinterpret_cast<const uint8_t*>(keep.back().data()), keep.back().size());
}

std::string BitmapPictureRecord(orvane::vcl::TColor tl, orvane::vcl::TColor tr, orvane::vcl::TColor bl, orvane::vcl::TColor br) {
  orvane::vcl::TBitmap bitmap;
  bitmap.SetSize(2, 2);
  bitmap.Canvas().SetPixel(0, 0, tl);
  bitmap.Canvas().SetPixel(1, 0, tr);
  bitmap.Canvas().SetPixel(0, 1, bl);
  bitmap.Canvas().SetPixel(1, 1, br);
  orvane::vcl::TPicture picture;
  picture.Assign(&bitmap);
  const std::vector<uint8_t> record = picture.WriteData();
  return std::string(record.begin(), record.end());
}

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const orvane::rtl::Exception& e) {
    return std::string(e.ClassName()) + ": " + e.Message();
  }
  return "no error";
}

}  // namespace formstest
