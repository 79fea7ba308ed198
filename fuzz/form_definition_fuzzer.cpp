// Reads arbitrary bytes as a form definition into a plain form on a
// headless backend. Every failure must be a runtime exception.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include <orvane/backend/HeadlessBackend.h>
#include <orvane/forms/Application.h>
#include <orvane/forms/FormReader.h>
#include <orvane/rtl/Exceptions.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static orvane::backend::HeadlessBackend backend;
  static orvane::vcl::TApplication application(backend);
  auto* form = new orvane::vcl::TForm(&application);
  try {
    orvane::vcl::ReadFormDefinition(std::string_view(reinterpret_cast<const char*>(data), size), *form);
    form->Show();
    application.ProcessMessages();
  } catch (const orvane::rtl::Exception&) {
  }
  delete form;
  backend.ClearMessageBoxes();
  return 0;
}
