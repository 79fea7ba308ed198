// Reads arbitrary bytes as a form definition into a plain form on a
// headless backend. Every failure must be a runtime exception.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "backend/HeadlessBackend.h"
#include "forms/Application.h"
#include "forms/FormReader.h"
#include "rtl/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static backend::HeadlessBackend backend;
  static vcl::TApplication application(backend);
  auto* form = new vcl::TForm(&application);
  try {
    vcl::ReadFormDefinition(std::string_view(reinterpret_cast<const char*>(data), size), *form);
    form->Show();
    application.ProcessMessages();
  } catch (const rtl::Exception&) {
  }
  delete form;
  backend.ClearMessageBoxes();
  return 0;
}
