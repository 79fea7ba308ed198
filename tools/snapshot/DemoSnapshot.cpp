#include "snapshot/DemoSnapshot.h"

#include "OrvanePictureUnit1.h"

namespace orvanetools {

DemoSnapshot::DemoSnapshot() {
  RegisterOrvanePictureUnit1();
  application_ = std::make_unique<orvane::vcl::TApplication>(backend_);
  application_->Initialize();
  application_->CreateForm(Form1);
  Form1->Show();
}

DemoSnapshot::~DemoSnapshot() {
  application_.reset();
  Form1 = nullptr;
}

void DemoSnapshot::Paint() { application_->ProcessMessages(); }

void DemoSnapshot::Repaint(const orvane::gdi::Rect& rect) {
  Form1->InvalidateRect(rect);
  application_->ProcessMessages();
}

int32_t DemoSnapshot::Pixel(int32_t x, int32_t y) const {
  return backend_.FindWindow(Form1->Window()->Id())->Pixel(x, y);
}

orvane::PngImage DemoSnapshot::ClientArea() const {
  const auto* window = backend_.FindWindow(Form1->Window()->Id());
  orvane::PngImage png;
  png.width = window->ClientWidth();
  png.height = window->ClientHeight();
  png.channels = 3;
  for (int32_t y = 0; y < png.height; ++y)
    for (int32_t x = 0; x < png.width; ++x) {
      const auto c = static_cast<uint32_t>(window->Pixel(x, y));
      png.pixels.insert(png.pixels.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    }
  return png;
}

}  // namespace orvanetools
